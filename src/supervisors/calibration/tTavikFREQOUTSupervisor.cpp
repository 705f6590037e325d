#include "supervisors/calibration/tTavikFREQOUTSupervisor.h"

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mrl/iResourceBroker.h"
#include "reservation/tSingularResourcePool.h"

namespace nQoUdR100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::iTavikFREQOUTPrimitive;
using tPool = tSingularResourcePool<iTavikFREQOUTPrimitive*>;

// Stop is the supervisor's own step.
constexpr tPlainStep<iTavikFREQOUTPrimitive> kSteps[] = {
    {kPlainCommit, &iTavikFREQOUTPrimitive::commit, kPlainCommitted},
    {kPlainStart, &iTavikFREQOUTPrimitive::start, kPlainRunning},
    {kPlainUncommit, &iTavikFREQOUTPrimitive::reset, kPlainResourcesLinked}};

bool isSimulated(const iTavikFREQOUTPrimitive& primitive) {
  const nQoUdP100::tDeviceInfo* info = primitive.getDeviceInfo();
  return info != nullptr && info->simulated != 0;
}

}  // namespace

tTavikFREQOUTSupervisor::~tTavikFREQOUTSupervisor() {
  retire();
  delete _observer;
}

// With a primitive held the values go to it at once.
void tTavikFREQOUTSupervisor::applySettings(tStatus2& status) {
  if (iTavikFREQOUTPrimitive* primitive = held()) applyValues(*primitive, status);
}

// The setters only store; control 1 programs the values.
void tTavikFREQOUTSupervisor::applyValues(iTavikFREQOUTPrimitive& primitive, tStatus2& status) {
  const auto& deployed = _settings.deploying().supervisorRecord();
  primitive.setTimebase(deployed.timebaseSelect, status);
  primitive.setDivider(deployed.divisor, status);
}

void tTavikFREQOUTSupervisor::reserveResource(tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
  if (broker == nullptr || status.isFatal()) return;
  nQoMRL100::iLeafResourcePool* answer = broker->reserve(&_identifier.next(), _facade, status);
  if (answer == nullptr) return;
  auto* pool = static_cast<tPool*>(answer->___CPPKRLDynamicCast(&tPool::___classID));
  if (pool == nullptr) {
    setCode(status, kCastFailed, {kFile, 190});
    tStatus2 dropped;
    broker->release(&_identifier.next(), _facade, dropped);
    return;
  }
  _identifier.hold(true);
  iTavikFREQOUTPrimitive* const primitive = pool->getResource();
  if (primitive == nullptr) return;
  prepare(*primitive, status);
  hold(primitive);
  if (status.isNotFatal()) _state = kPlainReserved;
}

// Before the output goes into the slot, where the codes from other threads
// reach it: a stop there posts through the observer, a commit programs the
// values.
void tTavikFREQOUTSupervisor::prepare(iTavikFREQOUTPrimitive& primitive, tStatus2& status) {
  if (_observer == nullptr) {
    _observer = new (status) tDoneObserver(_event);
    if (_observer == nullptr) return;
  }
  if (!isSimulated(primitive) && _event != nullptr) {
    _event->registerEvent(nQoMRL110::kDoneEvent, status);
    _event->registerEvent(nQoMRL110::kErrorEvent, status);
    _kindsRegistered = true;
  }
  applyValues(primitive, status);
}

// Out of reach, the output comes down from whatever the codes left it in (a
// start after unlinkResource too, and a run that unlinkResource found on): a
// run stops with its done report where an observer can make it, and the
// reset switches it off and returns divider and timebase to their defaults.
void tTavikFREQOUTSupervisor::releaseResource(tStatus2& status) {
  handBackGrant(status, [&](iTavikFREQOUTPrimitive* primitive) {
    const bool on = _on.exchange(false);
    if (primitive == nullptr) return;
    if (on && _observer != nullptr)
      onFreshStatus(status, [&](tStatus2& s) { stop(*primitive, s); });
    onFreshStatus(status, [&](tStatus2& s) { primitive->reset(s); });
    _holdsCommit = false;
  });
  if (_kindsRegistered) {
    for (const uint32_t kind : {nQoMRL110::kDoneEvent, nQoMRL110::kErrorEvent}) {
      tStatus2 local;
      _event->unregisterEvent(kind, local);
      status.assign(local);
    }
    _kindsRegistered = false;
  }
  noteReleased();
}

void tTavikFREQOUTSupervisor::onControl(iTavikFREQOUTPrimitive* primitive, uint32_t code,
                                        nQoMRL100::iControlParameterBlock*,
                                        nQoMRL100::iControlParameterBlock*, tStatus2& status) {
  // A run is stopped first, with its done report, where an observer can make
  // it: the output it drives is neither reprogrammed nor reset under it.
  if (primitive != nullptr && _on.load() && _observer != nullptr && stopsTheRun(code))
    onFreshStatus(status, [&](tStatus2& s) { stop(*primitive, s); });
  if (runStep(kSteps, primitive, code, status, 285)) {
    if (status.isNotFatal() && (code == kPlainStart || code == kPlainUncommit))
      _on = code == kPlainStart;
    // A failed commit may have left the chip part-programmed: no commit is
    // recorded, so the next commit of any values stops a run first.
    if (code == kPlainCommit && status.isNotFatal()) _committed = values();
    if (code == kPlainCommit || (code == kPlainUncommit && status.isNotFatal()))
      _holdsCommit = code == kPlainCommit && status.isNotFatal();
    return;
  }
  if (code == kPlainStop)
    stop(*primitive, status);
  else
    setCode(status, kNotSupported, {kFile, 337});
}

// The is-done action reaches the task's event before the output goes off.
void tTavikFREQOUTSupervisor::stop(iTavikFREQOUTPrimitive& primitive, tStatus2& status) {
  if (_observer == nullptr) {
    setCode(status, kNullPointer, {kFile, 315});
    return;
  }
  const tStatus2 done;
  tStatus2 local;
  _observer->notifyDoneWithStatus(done, local);
  status.assign(local);
  local.clear();
  primitive.stop(local);
  if (local.isNotFatal()) _on = false;
  status.assign(local);
  if (status.isNotFatal()) _state = kPlainCommitted;
}

}  // namespace nQoUdR100
