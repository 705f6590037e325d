#include "supervisors/calibration/tBaseAnalogTriggerSupervisor.h"

#include "frame/freshStatus.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mrl/iResourceBroker.h"
#include "reservation/castAnswer.h"
#include "reservation/tSingularResourcePool.h"

namespace nQoUdR100 {

namespace {

using nQoUdP100::tBaseAnalogTriggerPrimitive;
using tPool = tSingularResourcePool<tBaseAnalogTriggerPrimitive*>;

constexpr tPlainStep<tBaseAnalogTriggerPrimitive> kSteps[] = {
    {kPlainCommit, &tBaseAnalogTriggerPrimitive::commit, kPlainCommitted},
    {kPlainUncommit, &tBaseAnalogTriggerPrimitive::uncommit, kPlainResourcesLinked, true},
    {4100, &tBaseAnalogTriggerPrimitive::arm, tPlainStep<tBaseAnalogTriggerPrimitive>::kKeep}};

}  // namespace

void tBaseAnalogTriggerSupervisor::reserveResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
  if (broker != nullptr && status.isNotFatal()) {
    nQoMRL100::iLeafResourcePool* answer = broker->reserve(&_identifier.next(), _facade, status);
    _identifier.hold(answer != nullptr);
    tPool* pool = nQoMRTB100::castAnswer<tPool>(answer, status, {kFile, 139});
    // The parameters go to the trigger before it goes into the slot, where a
    // commit or an arm from another thread reaches it.
    tBaseAnalogTriggerPrimitive* const trigger = pool != nullptr ? pool->getResource() : nullptr;
    if (trigger != nullptr) handOver(*trigger, status);
    hold(trigger);
  }
  if (status.isNotFatal()) _state = kPlainReserved;
}

// Out of reach, the trigger's own release undoes what the codes left (a
// commit or an arm after unlinkResource too) before the hand-back.
void tBaseAnalogTriggerSupervisor::releaseResource(nQoMDBG100::tStatus2& status) {
  handBackGrant(status, [&](tBaseAnalogTriggerPrimitive* trigger) {
    if (trigger != nullptr)
      onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { trigger->release(s); });
  });
  noteReleased();
}

void tBaseAnalogTriggerSupervisor::onControl(tBaseAnalogTriggerPrimitive* trigger, uint32_t code,
                                             nQoMRL100::iControlParameterBlock*,
                                             nQoMRL100::iControlParameterBlock*,
                                             nQoMDBG100::tStatus2& status) {
  if (!runStep(kSteps, trigger, code, status, 167)) setCode(status, kNotSupported, {kFile, 214});
}

void tBaseAnalogTriggerSupervisor::commitCancel(nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || _state != kPlainCommitted) return;
  if (tBaseAnalogTriggerPrimitive* trigger = held()) trigger->release(status);
  _state = kPlainResourcesLinked;
}

void tBaseAnalogTriggerSupervisor::applySettings(nQoMDBG100::tStatus2& status) {
  if (tBaseAnalogTriggerPrimitive* const trigger = held()) handOver(*trigger, status);
}

void tBaseAnalogTriggerSupervisor::handOver(tBaseAnalogTriggerPrimitive& trigger,
                                            nQoMDBG100::tStatus2& status) {
  const auto& words = _settings.deploying().supervisorRecord();
  const uint32_t parameters[] = {static_cast<uint32_t>(words.word1),
                                 static_cast<uint32_t>(words.word2),
                                 words.word3,
                                 words.word4,
                                 words.word5,
                                 static_cast<uint32_t>(words.word6)};
  for (uint32_t index = 0; index < 6 && status.isNotFatal(); ++index)
    trigger.setParameter(index, parameters[index]);
}

}  // namespace nQoUdR100
