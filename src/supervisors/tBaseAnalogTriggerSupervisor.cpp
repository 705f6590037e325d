#include "supervisors/tBaseAnalogTriggerSupervisor.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mrl/iResourceBroker.h"
#include "orb/castToClass.h"
#include "reservation/castAnswer.h"
#include "reservation/tSingularResourcePool.h"
#include "settings/copyCheck.h"

namespace nQoUdR100 {

namespace {

constexpr const char kFile[] = "tBaseAnalogTriggerSupervisor";
using tPool = tSingularResourcePool<nQoUdP100::tBaseAnalogTriggerPrimitive*>;

constexpr uint32_t kInitialized = 1;
constexpr uint32_t kLinked = 2;
constexpr uint32_t kReserved = 3;
constexpr uint32_t kResourcesLinked = 4;
constexpr uint32_t kCommitted = 5;

constexpr uint32_t kCommit = 1;
constexpr uint32_t kUncommit = 4;
constexpr uint32_t kArm = 4100;

}  // namespace

void* tBaseAnalogTriggerSupervisor::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tBaseAnalogTriggerSupervisor, nQoMRL100::iPrimitiveSupervisor>(
      this, classID);
}
const void* tBaseAnalogTriggerSupervisor::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tBaseAnalogTriggerSupervisor*>(this)->___CPPKRLDynamicCast(classID);
}
nQoORB100::tClass tBaseAnalogTriggerSupervisor::getClass(int& status) const {
  return tClassRegistration<tBaseAnalogTriggerSupervisor>::getClass(*this, status);
}

void tBaseAnalogTriggerSupervisor::initialize(const nQoMRL100::iPrimitiveSettings& settings,
                                              nQoMRL100::iRuntimeFacade* facade,
                                              nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _facade = facade;
  deploy(settings, status);
  if (status.isNotFatal()) _state = kInitialized;
}

void tBaseAnalogTriggerSupervisor::deploy(const nQoMRL100::iPrimitiveSettings& settings,
                                          nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const auto* own = static_cast<const tAnalogTriggerSettings*>(
      settings.___CPPKRLDynamicCast(&tAnalogTriggerSettings::___classID));
  if (own == nullptr) {
    setCode(status, kCastFailed, {kFile, 120});
    return;
  }
  _identifier = own->supervisorRecord().identifier;
  _settings = *own;
  checkCopy(status, {kFile, 125}, _identifier, _settings);
  if (status.isNotFatal()) applyParameters(status);
}

void tBaseAnalogTriggerSupervisor::link(nQoMRL100::iPrimitiveSupervisorMap&,
                                        nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) _state = kLinked;
}

// A failed reservation is kept until releaseResource hands it back. Without
// a broker nothing is reserved and nothing reported.
void tBaseAnalogTriggerSupervisor::reserveResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
  if (broker != nullptr && status.isNotFatal()) {
    tPool* pool = nQoMRTB100::castAnswer<tPool>(broker->reserve(&_identifier, _facade, status),
                                                status, {kFile, 139});
    if (pool != nullptr) _primitive = pool->getResource();
    applyParameters(status);
  }
  if (status.isNotFatal()) _state = kReserved;
}

void tBaseAnalogTriggerSupervisor::linkResource(nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) _state = kResourcesLinked;
}

void tBaseAnalogTriggerSupervisor::unlinkResource(nQoMDBG100::tStatus2&) { _state = kReserved; }

// Runs whatever the caller's status holds: the hand-back reports on a fresh
// status merged into the caller's, so an earlier error cannot keep the
// trigger reserved.
void tBaseAnalogTriggerSupervisor::releaseResource(nQoMDBG100::tStatus2& status) {
  _primitive = nullptr;
  nQoMDBG100::tStatus2 local;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(local);
  if (broker != nullptr && local.isNotFatal()) broker->release(&_identifier, _facade, local);
  status.assign(local);
  _state = kLinked;
}

void tBaseAnalogTriggerSupervisor::unlink(nQoMDBG100::tStatus2&) { _state = kInitialized; }

void tBaseAnalogTriggerSupervisor::control(uint32_t code, nQoMRL100::iControlParameterBlock*,
                                           nQoMRL100::iControlParameterBlock*,
                                           nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (_primitive == nullptr) {
    setCode(status, kNullPointer, {kFile, 167});
    return;
  }
  switch (code) {
    case kCommit:
      _primitive->commit(status);
      if (status.isNotFatal()) _state = kCommitted;
      return;
    case kUncommit:
      _primitive->uncommit(status);
      _state = kResourcesLinked;
      return;
    case kArm: _primitive->arm(status); return;
    default: setCode(status, kNotSupported, {kFile, 214});
  }
}

void tBaseAnalogTriggerSupervisor::requestCancel(nQoMDBG100::tStatus2&) {}

void tBaseAnalogTriggerSupervisor::commitCancel(nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || _state != kCommitted) return;
  if (_primitive != nullptr) _primitive->release(status);
  _state = kResourcesLinked;
}

void tBaseAnalogTriggerSupervisor::applyParameters(nQoMDBG100::tStatus2& status) {
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
