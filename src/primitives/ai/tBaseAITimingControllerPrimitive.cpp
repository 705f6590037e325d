#include "primitives/ai/tBaseAITimingControllerPrimitive.h"

#include <cstring>

#include "apal/nQoAPALMemory.h"
#include "frame/freshStatus.h"
#include "frame/nParseUtilities.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

namespace {

constexpr const char kFile[] = "tBaseAITimingControllerPrimitive";
constexpr const char kListenerSuffix[] = "tBaseAITimingControllerPrimitive::tLibSocketListener";
constexpr uint32_t kLocationWords = 3;
constexpr int32_t kFiniteAcquisition = 2;

using nQoMDBG100::tStatus2;

iSync* openEvent(uint32_t option, tStatus2& status) {
  iSync::tParam param;
  param.kind = 2;
  param.option = option;
  return syncOpen(param, &status.code);
}

}  // namespace

void tBaseAITimingControllerPrimitive::tLibSocketListener::handleRequest(
    const void* request, uint32_t requestSize, void* reply, uint32_t replyCapacity,
    uint32_t* replySize, uint32_t code, uint32_t secondWord, tStatus2& status) {
  if (status.isFatal()) return;
  if (request == nullptr || requestSize != kRequestSize || reply == nullptr ||
      replyCapacity != kReplySize || replySize == nullptr || secondWord != 0) {
    nQoUdR100::setCode(status, nQoUdR100::kBadArgument, {kFile, 610});
    return;
  }
  *replySize = kReplySize;
  uint64_t key = 0;
  std::memcpy(&key, request, sizeof key);
  // The commit that registered the listener answers, not a configuration since.
  const tAITimingConfig& timing = _timing->programmed().configuration.timing;
  if (key != timing.listenerKey || code != kTimingRequest) {
    nQoUdR100::setCode(status, nQoUdR100::kBadArgument, {kFile, 620});
    return;
  }
  const uint32_t words[] = {static_cast<uint32_t>(timing.timingMode),
                            static_cast<uint32_t>(timing.acquisitionType), timing.firstCount};
  std::memcpy(reply, words, sizeof words);
}

tBaseAITimingControllerPrimitive::tBaseAITimingControllerPrimitive(const tAIFirstEntry* owner,
                                                                   iBus* bus, tStatus2& status)
    : _owner(owner),
      _bus(bus),
      _sampleEndLoop(owner != nullptr ? owner->timedLoopThreshold : 0),
      _sampleStartLoop(owner != nullptr ? owner->timedLoopThreshold : 0) {
  if (status.isFatal()) return;
  _recordEndEvent = openEvent(32, status);
  if (status.isFatal()) return;
  _recordEndSecondaryEvent = openEvent(0, status);
  if (status.isFatal()) return;
  _state.setUncommitted();
}

tBaseAITimingControllerPrimitive::~tBaseAITimingControllerPrimitive() {
  unregisterListener();
  syncClose(_recordEndEvent);
  syncClose(_recordEndSecondaryEvent);
}

void* tBaseAITimingControllerPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return classID == &___classID ? this : nullptr;
}

const void* tBaseAITimingControllerPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tBaseAITimingControllerPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

bool tBaseAITimingControllerPrimitive::isReady() const {
  return _state.isInUse() && _owner != nullptr;
}

void tBaseAITimingControllerPrimitive::setConfiguration(
    const tAITimingControllerPrimitiveConfig& configuration, tStatus2& status) {
  if (status.isFatal()) return;
  tAITimingControllerPrimitiveConfig& deployed = _fields.deploying().configuration;
  deployed.timing = configuration.timing;
  deployed.checkStatus(status);
  setMode(configuration.timing.timingMode, status);
  if (configuration.hasRouting != 0) setRouting(configuration.routing, status);
  lowerUnlessArmed();
}

// A held arm keeps its state: the run goes on as its commit and arm
// programmed it, and its passes still notify until the disarm. Otherwise
// the next arm wants a commit first.
void tBaseAITimingControllerPrimitive::lowerUnlessArmed() {
  if (!_armHeld.load()) _state.setUncommitted();
}

void tBaseAITimingControllerPrimitive::setRouting(const tAIRoutingConfig& routing, tStatus2&) {
  tAITimingFields& deployed = _fields.deploying();
  deployed.configuration.routing = routing;
  deployed.sampleClockKind = deployed.configuration.routing.fillInFlags();
}

void tBaseAITimingControllerPrimitive::reserved15(tStatus2& status) {
  nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {kFile, 650});
}

// Observer lists --------------------------------------------------------------

void tBaseAITimingControllerPrimitive::addSampleStartObserver(iSampleStartObserver* observer,
                                                              bool enableAtArm, tStatus2& status) {
  tSampleStartRecord record;
  record.observer = observer;
  record.enableAtArm = enableAtArm ? 1 : 0;
  _sampleStartObservers.add(record, status, {kFile, 101});
  lowerUnlessArmed();
}

void tBaseAITimingControllerPrimitive::removeSampleStartObserver(iSampleStartObserver* observer,
                                                                 tStatus2& status) {
  _sampleStartObservers.remove(observer, status);
  lowerUnlessArmed();
}

void tBaseAITimingControllerPrimitive::addSampleEndObserver(iSampleEndObserver* observer,
                                                            tStatus2& status) {
  _sampleEndObservers.add({observer}, status, {kFile, 102});
  lowerUnlessArmed();
}

void tBaseAITimingControllerPrimitive::removeSampleEndObserver(iSampleEndObserver* observer,
                                                               tStatus2& status) {
  _sampleEndObservers.remove(observer, status);
  lowerUnlessArmed();
}

void tBaseAITimingControllerPrimitive::addRecordEndObserver(iRecordEndObserver* observer,
                                                            tStatus2& status) {
  _recordEndObservers.add({observer}, status, {kFile, 103});
  lowerUnlessArmed();
}

void tBaseAITimingControllerPrimitive::removeRecordEndObserver(iRecordEndObserver* observer,
                                                               tStatus2& status) {
  _recordEndObservers.remove(observer, status);
  lowerUnlessArmed();
}

void tBaseAITimingControllerPrimitive::addLastConvertObserver(iLastConvertObserver* observer,
                                                              tStatus2& status) {
  _lastConvertObservers.add({observer}, status, {kFile, 104});
  lowerUnlessArmed();
}

void tBaseAITimingControllerPrimitive::removeLastConvertObserver(iLastConvertObserver* observer,
                                                                 tStatus2& status) {
  _lastConvertObservers.remove(observer, status);
  lowerUnlessArmed();
}

bool tBaseAITimingControllerPrimitive::wantsRecordEnd() const {
  const tAITimingConfig& timing = programmed().configuration.timing;
  return _recordEndObservers.any() || (_lastConvertObservers.any() && timing.timingMode == 3 &&
                                       timing.acquisitionType == kFiniteAcquisition);
}

uint32_t tBaseAITimingControllerPrimitive::enabledAtArmCount() const {
  uint32_t count = 0;
  _sampleStartObservers.forEachInUse(
      [&](const tSampleStartRecord& record) { count += record.enableAtArm != 0 ? 1 : 0; });
  return count;
}

bool tBaseAITimingControllerPrimitive::anyEnabledAtArm() const { return enabledAtArmCount() != 0; }

uint32_t tBaseAITimingControllerPrimitive::sampleEndCount() const {
  uint32_t count = 0;
  _sampleEndObservers.forEachInUse([&](const auto&) { ++count; });
  return count;
}

// Interrupt passes ------------------------------------------------------------

namespace {
using tAnswer = nQoMRTB100::iInterruptHandler::tAnswer;
constexpr tAnswer answerOf(bool pending) {
  return pending ? tAnswer::kHandledWantsSecondary : tAnswer::kHandled;
}
}  // namespace

// Each first pass notifies while the run it takes is live and keeps it for
// its second pass.
tAnswer tBaseAITimingControllerPrimitive::sampleStartPass() {
  const uint32_t run = _runs.live();
  _sampleStartRun.store(run);
  const auto live = [this, run] { return _runs.isLive(run); };
  tStatus2 local;
  const auto pass = _sampleStartObservers.notifyAllOfRun(
      run, live,
      [&](iSampleStartObserver* observer) { return observer->sampleStarted(this, local); });
  return pass.stopped ? tAnswer::kHandled : answerOf(pass.pending);
}

// A second pass of a run that a disarm ended, or that the next arm
// overtook, notifies no one; the disarm waits for one under way.
void tBaseAITimingControllerPrimitive::sampleStartSecondaryPass() {
  const uint32_t run = _sampleStartRun.load();
  const auto live = [this, run] { return _runs.isLive(run); };
  tStatus2 local;
  _runs.access(run, [&] {
    _sampleStartObservers.notifyPendingOfRun(run, live, [&](iSampleStartObserver* observer) {
      observer->sampleStartedSecondary(this, local);
    });
  });
}

// Last-convert observers hear the primary pass in mode 2 and the secondary
// pass in mode 3, as the engine reports them in the mode it runs.
tAnswer tBaseAITimingControllerPrimitive::sampleEndPass() {
  const uint32_t run = _runs.live();
  _sampleEndRun.store(run);
  const auto live = [this, run] { return _runs.isLive(run); };
  tStatus2 local;
  auto pass = _sampleEndObservers.notifyAllOfRun(
      run, live, [&](iSampleEndObserver* observer) { return observer->sampleEnded(this, local); });
  if (pass.stopped) return tAnswer::kHandled;
  if (_runMode == 2 && live()) {
    const auto last = _lastConvertObservers.notifyAllOfRun(
        run, live,
        [&](iLastConvertObserver* observer) { return observer->lastConverted(this, local); });
    if (last.stopped) return tAnswer::kHandled;
    pass.pending = pass.pending || last.pending;
  }
  return answerOf(pass.pending);
}

void tBaseAITimingControllerPrimitive::sampleEndSecondaryPass() {
  const uint32_t run = _sampleEndRun.load();
  const auto live = [this, run] { return _runs.isLive(run); };
  tStatus2 local;
  _runs.access(run, [&] {
    const bool through = _sampleEndObservers.notifyPendingOfRun(
        run, live,
        [&](iSampleEndObserver* observer) { observer->sampleEndedSecondary(this, local); });
    if (through && _runMode == 3 && live())
      _lastConvertObservers.notifyPendingOfRun(run, live, [&](iLastConvertObserver* observer) {
        observer->lastConvertedSecondary(this, local);
      });
  });
}

// Once per run: a second record end (the interrupt after stop simulated one)
// notifies no one.
tAnswer tBaseAITimingControllerPrimitive::recordEndPass() {
  if (_recordEndGuard.fetchIncrement() != 0) return tAnswer::kHandled;
  // After the guard: a stop that finds nothing owed finds the record end
  // served, unless a stop since cleared it.
  _recordEndOwed.set(0);
  const uint32_t run = _runs.live();
  _recordEndRun.store(run);
  const auto live = [this, run] { return _runs.isLive(run); };
  tStatus2 local;
  auto pass = _recordEndObservers.notifyAllOfRun(
      run, live, [&](iRecordEndObserver* observer) { return observer->recordEnded(this, local); });
  if (!pass.stopped && _runMode == 3 && live())
    pass.pending = _lastConvertObservers
                       .notifyAllOfRun(run, live,
                                       [&](iLastConvertObserver* observer) {
                                         return observer->lastConverted(this, local);
                                       })
                       .pending ||
                   pass.pending;
  _recordEndSecondaryGuard.set(kSecondaryOwed);
  tStatus2 signal;
  _recordEndEvent->releaseOrSet(&signal.code);
  return answerOf(pass.pending);
}

// Once per primary pass of the run: one that the dispatcher defers past the
// next arm or start finds nothing owed and leaves that run's pass to it.
// A stop waits for the event it sets, whatever run it finds.
void tBaseAITimingControllerPrimitive::recordEndSecondaryPass() {
  uint32_t owed = kSecondaryOwed;
  if (!_recordEndSecondaryGuard.compareExchange(owed, kSecondaryTaken)) return;
  const uint32_t run = _recordEndRun.load();
  const auto live = [this, run] { return _runs.isLive(run); };
  tStatus2 local;
  _runs.access(run, [&] {
    const bool through = _recordEndObservers.notifyPendingOfRun(
        run, live,
        [&](iRecordEndObserver* observer) { observer->recordEndedSecondary(this, local); });
    if (through && _runMode == 3 && live())
      _lastConvertObservers.notifyPendingOfRun(run, live, [&](iLastConvertObserver* observer) {
        observer->lastConvertedSecondary(this, local);
      });
  });
  tStatus2 signal;
  _recordEndSecondaryEvent->releaseOrSet(&signal.code);
}

// A start while a stop holds the gate starts a set of the run that stop
// ends: the record end it waits for stays that run's, and the last stop to
// leave clears it. A record end that came for the set before, with no stop
// since, is served whole before it is cleared: its second pass runs here
// (or the one under way is waited for), as a stop would have run it.
void tBaseAITimingControllerPrimitive::resetRecordEnd(tStatus2& status) {
  _recordEndGate.resetUnlessHeld([&] {
    if (_recordEndGuard.get() != 0) waitForRecordEnd(status);
    clearRecordEnd(status);
  });
}

void tBaseAITimingControllerPrimitive::clearRecordEnd(tStatus2& status) {
  _recordEndEvent->reset(&status.code);
  _recordEndSecondaryEvent->reset(&status.code);
  _recordEndGuard.set(0);
  _recordEndSecondaryGuard.set(kSecondaryNotOwed);
}

// Both passes have run once the two events are set; the secondary pass runs
// here when the dispatcher has not taken it yet.
void tBaseAITimingControllerPrimitive::waitForRecordEnd(tStatus2& status) {
  _recordEndEvent->waitOrAcquire(iSync::kWaitForever, &status.code);
  recordEndSecondaryPass();
  _recordEndSecondaryEvent->waitOrAcquire(iSync::kWaitForever, &status.code);
}

void tBaseAITimingControllerPrimitive::endRun() {
  _runs.end();
  _runs.waitForAccesses();
}

// Timed loops and the listener ------------------------------------------------

// A loop that a commit before put in for another event comes out first, so
// the record names the one loop in.
void tBaseAITimingControllerPrimitive::registerTimedLoop(tStatus2& status) {
  const auto event = static_cast<uint32_t>(programmed().configuration.timing.timedLoopEvent);
  if (_timedLoopEvent != event)
    nQoUdR100::onFreshStatus(status, [&](tStatus2& s) { unregisterTimedLoop(s); });
  _timedLoopEvent = event;
  switch (_timedLoopEvent) {
    case 1:
      _sampleStartLoop.loop.counter = 0;
      if (_sampleStartObservers.find(&_sampleStartLoop) == nullptr)
        addSampleStartObserver(&_sampleStartLoop, true, status);
      break;
    case 2:
      _sampleEndLoop.loop.counter = 0;
      if (_sampleEndObservers.find(&_sampleEndLoop) == nullptr)
        addSampleEndObserver(&_sampleEndLoop, status);
      break;
    default: break;
  }
}

// The loop that registerTimedLoop put in, whatever a configuration set since.
void tBaseAITimingControllerPrimitive::unregisterTimedLoop(tStatus2& status) {
  const uint32_t event = _timedLoopEvent;
  _timedLoopEvent = 0;
  switch (event) {
    case 1:
      removeSampleStartObserver(&_sampleStartLoop, status);
      _sampleStartLoop.loop.counter = 0;
      break;
    case 2:
      removeSampleEndObserver(&_sampleEndLoop, status);
      _sampleEndLoop.loop.counter = 0;
      break;
    default: break;
  }
}

// "0x1::0x2A::0x0::tBaseAITimingControllerPrimitive::tLibSocketListener": the
// bus location words in radix 16, then the listener's class.
// A commit without a key takes out the listener of a commit before with one.
void tBaseAITimingControllerPrimitive::registerListener(tStatus2& status) {
  if (status.isFatal()) return;
  const uint64_t key = programmed().configuration.timing.listenerKey;
  if (key == 0) unregisterListener();
  if (key == 0 || _listenerHandle != 0) return;
  char* name = static_cast<char*>(_memNewUsingCRT(kListenerNameLength, 0, nullptr));
  if (name == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, 580});
    return;
  }
  char* end = name;
  for (uint32_t word = 0; word < kLocationWords; ++word) {
    end = nQoUdR100::nQoKABBO_1_0::nParseUtilities::formatIntegerInRadix(
        end, _bus != nullptr ? _bus->location(word) : 0, 16);
    *end++ = ':';
    *end++ = ':';
  }
  std::memcpy(end, kListenerSuffix, sizeof kListenerSuffix);
  _listenerHandle = iLibSocketListener::registerSocketListener(name, &_listener, status);
  _memDelete(name);
}

void tBaseAITimingControllerPrimitive::bringDown() {
  tStatus2 stopped, disarmed, uncommitted;
  if (_runHeld.load()) stop(stopped);
  if (_armHeld.load()) disarm(disarmed);
  if (_sampleStartInstalled != 0 || _sampleEndInstalled != 0 || _recordEndInstalled != 0 ||
      _timedLoopEvent != 0 || _listenerHandle != 0)
    uncommit(uncommitted);
  // Handed back uncommitted also when the codes left nothing of a commit (an
  // arm without one moved the state on all the same).
  _state.setUncommitted();
  _runCommitted = false;
  _runMode = 0;
  _fields.forget();
}

void tBaseAITimingControllerPrimitive::unregisterListener() {
  iLibSocketListener::unregisterSocketListener(_listenerHandle);
  _listenerHandle = 0;
}

}  // namespace nQoUdP100
