#include "supervisors/calibration/tBaseAnalogTriggerSupervisor.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mrl/iResourceBroker.h"
#include "reservation/castAnswer.h"
#include "reservation/tSingularResourcePool.h"

namespace nQoUdR100 {

namespace {

using tPool = tSingularResourcePool<nQoUdP100::tBaseAnalogTriggerPrimitive*>;

constexpr uint32_t kArm = 4100;

}  // namespace

void tBaseAnalogTriggerSupervisor::reserveResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
  if (broker != nullptr && status.isNotFatal()) {
    tPool* pool = nQoMRTB100::castAnswer<tPool>(broker->reserve(&_identifier, _facade, status),
                                                status, {kFile, 139});
    if (pool != nullptr) _primitive = pool->getResource();
    applySettings(status);
  }
  if (status.isNotFatal()) _state = kPlainReserved;
}

void tBaseAnalogTriggerSupervisor::releaseResource(nQoMDBG100::tStatus2& status) {
  _primitive = nullptr;
  handBack(&_identifier, _facade, status);
  _state = kPlainLinked;
}

void tBaseAnalogTriggerSupervisor::control(uint32_t code, nQoMRL100::iControlParameterBlock*,
                                           nQoMRL100::iControlParameterBlock*,
                                           nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (_primitive == nullptr) {
    setCode(status, kNullPointer, {kFile, 167});
    return;
  }
  switch (code) {
    case kPlainCommit:
      _primitive->commit(status);
      if (status.isNotFatal()) _state = kPlainCommitted;
      return;
    case kPlainUncommit:
      _primitive->uncommit(status);
      _state = kPlainResourcesLinked;
      return;
    case kArm: _primitive->arm(status); return;
    default: setCode(status, kNotSupported, {kFile, 214});
  }
}

void tBaseAnalogTriggerSupervisor::commitCancel(nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || _state != kPlainCommitted) return;
  if (_primitive != nullptr) _primitive->release(status);
  _state = kPlainResourcesLinked;
}

void tBaseAnalogTriggerSupervisor::applySettings(nQoMDBG100::tStatus2& status) {
  if (_primitive == nullptr) return;
  const auto& words = _settings.supervisorRecord();
  const uint32_t parameters[] = {static_cast<uint32_t>(words.word1),
                                 static_cast<uint32_t>(words.word2),
                                 words.word3,
                                 words.word4,
                                 words.word5,
                                 static_cast<uint32_t>(words.word6)};
  for (uint32_t index = 0; index < 6 && status.isNotFatal(); ++index)
    _primitive->setParameter(index, parameters[index]);
}

}  // namespace nQoUdR100
