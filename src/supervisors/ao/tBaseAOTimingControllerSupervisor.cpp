#include "supervisors/ao/tBaseAOTimingControllerSupervisor.h"

namespace nQoUdR100 {

namespace {

constexpr uint32_t kEndA = 257;
constexpr uint32_t kEndB = 258;
constexpr uint32_t kStopAsWell = 259;
constexpr uint32_t kHold = 260;
constexpr uint32_t kRelease = 261;
constexpr uint32_t kSetInterval = 262;
constexpr uint32_t kIsCommitted = 263;
constexpr uint32_t kIsStarted = 265;
constexpr uint32_t kHoldFlag = 266;
constexpr uint32_t kUpdatesDone = 267;
constexpr uint32_t kUpdate = 400;
constexpr uint32_t kUpdateWithTimeout = 401;

}  // namespace

// An engine still held outlives the observer: the release takes the
// notifier back first.
tBaseAOTimingControllerSupervisor::~tBaseAOTimingControllerSupervisor() {
  retire();
  delete _observer;
}

// The task's event without a facade is none; one of another class is -89000.
void tBaseAOTimingControllerSupervisor::initialize(const nQoMRL100::iPrimitiveSettings& settings,
                                                   nQoMRL100::iRuntimeFacade* facade,
                                                   nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _facade = facade;
  _event = lookUpEvent(status);
  tReservingSupervisor::initialize(settings, facade, status);
}

// The observer is made once and kept; done and error events are registered
// only with an event object and a primitive whose event flag is clear. Any
// failure after the broker granted the primitive hands it back. The engine
// goes into the slot, where codes and waits from other threads reach it,
// only once it has its settings and notifier.
void tBaseAOTimingControllerSupervisor::reserveResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  nQoUdP100::tBaseAOTimingControllerPrimitive* timing = reservePrimitive(status);
  if (timing != nullptr) {
    timing->allowWaits();
    if (_observer == nullptr) _observer = new (status) tDoneObserver(_event);
    const bool registering = status.isNotFatal() && _event != nullptr && timing->eventFlag() == 0;
    if (registering) _event->registerEvent(nQoMRL110::kDoneEvent, status);
    if (registering) _event->registerEvent(nQoMRL110::kErrorEvent, status);
    applySettings(status);
    if (status.isFatal()) {
      nQoMDBG100::tStatus2 dropped;
      giveUp(registering, dropped);
      return;
    }
    hold(timing);
  }
  if (status.isNotFatal()) _state = kPlainReserved;
}

// A wait still under way on another thread (the wait operation's, codes 400
// and 401) returns, and one that begins later returns at once; the hand-back
// waits for them, and for every other use under way, to leave the engine.
void tBaseAOTimingControllerSupervisor::releaseResource(nQoMDBG100::tStatus2& status) {
  if (nQoUdP100::tBaseAOTimingControllerPrimitive* timing = getPrimitive())
    giveUp(timing->eventFlag() == 0, status);
  noteReleased();
}

void tBaseAOTimingControllerSupervisor::endCalls(tEngine& timing) { timing.endWaits(); }

// The engine comes down from whatever the codes left (a start after
// unlinkResource too) while its notifier still reports the stop; the
// observer dies with this supervisor and the engine outlives it, so the
// engine loses the notifier before it is handed back. A cancel's stop goes
// too: no cancel reaches the engine once it is out of the slot, and the next
// owner's waits must not end on it. The engine forgets what this task's
// commit programmed, as a fresh reservation finds it.
void tBaseAOTimingControllerSupervisor::giveUp(bool registered, nQoMDBG100::tStatus2& status) {
  handBack(status, [&](tEngine* timing) {
    if (timing == nullptr) return;
    bringDown(*timing, status);
    timing->setCompletionNotifier(nullptr);
    timing->clearStop();
    timing->forget();
  });
  if (registered) unregisterEvents(status);
}

void tBaseAOTimingControllerSupervisor::unregisterEvents(nQoMDBG100::tStatus2& status) {
  if (_event == nullptr) return;
  for (uint32_t kind : {nQoMRL110::kDoneEvent, nQoMRL110::kErrorEvent}) {
    nQoMDBG100::tStatus2 local;
    _event->unregisterEvent(kind, local);
    status.assign(local);
  }
}

// Words 2 to 22 into the first 21 fields (2 to 5, 12 and 13 only when word
// 1 is 1), 23 to 27 into the rest: the engine's commit drives the update
// output when word 27 is 1. Nothing here writes the board.
void tBaseAOTimingControllerSupervisor::applySettings(nQoMDBG100::tStatus2& status) {
  nQoUdP100::tBaseAOTimingControllerPrimitive* timing = getPrimitive();
  if (timing == nullptr || status.isFatal()) return;
  const tAOTimingControllerFields& w = _settings.deploying().record<0>();
  auto u = [](int32_t word) { return static_cast<uint32_t>(word); };
  timing->deploySettings({.timingSelectB = u(w.word2),
                          .timingFlagB = u(w.word3),
                          .timingSelectA = u(w.word4),
                          .timingFlagA = u(w.word5),
                          .updateInterval = w.word6,
                          .command2Bit11 = u(w.word7),
                          .firstBufferUpdateCount = w.word8,
                          .bufferUpdateCount = w.word9,
                          .bufferCount = w.word10,
                          .mode = u(w.word11),
                          .startTriggerSelect = u(w.word12),
                          .startTriggerFlag = u(w.word13),
                          .triggerSelectBit5 = u(w.word14),
                          .triggerSelectBit6 = u(w.word15),
                          .triggerSelectBit14 = u(w.word16),
                          .initialIntervalCount = w.word17,
                          .mode1Bit0 = u(w.word18),
                          .mode3Bit11 = u(w.word19),
                          .mode3Bit3 = u(w.word20),
                          .mode3Bit4 = u(w.word21),
                          .mode3Bit5 = u(w.word22),
                          .withoutFIFO = w.word23,
                          .countedFirstUpdates = w.word24,
                          .allowLateUpdates = w.word25,
                          .pollUpdates = w.word26,
                          .updateOutput = w.word27 == 1 ? 1u : 0u},
                         w.word1 == 1);
  timing->setCompletionNotifier(_observer);
}

void tBaseAOTimingControllerSupervisor::softwareUpdate(
    nQoUdP100::tBaseAOTimingControllerPrimitive& timing, nQoMDBG100::tStatus2& status) {
  if (timing.blockingWaits())
    timing.waitForNextUpdate(status);
  else
    timing.pollForNextUpdate(status);
}

// Runs on the caller's thread: the update reaches the engine as a use that
// the release ends and waits for.
void tBaseAOTimingControllerSupervisor::waitForNextSampleClock(nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || _facade == nullptr || _facade->mayBlock(status) == 0) return;
  if (!skip()) {
    const bool held = reach([&](nQoUdP100::tBaseAOTimingControllerPrimitive& timing) {
      softwareUpdate(timing, status);
    });
    if (!held) setCode(status, kNullPointer, {kFile, 262});
  }
  nQoMDBG100::tStatus2 dropped;
  _facade->endBlocking(dropped);
}

void tBaseAOTimingControllerSupervisor::onControl(tEngine* timing, uint32_t code,
                                                  nQoMRL100::iControlParameterBlock* in,
                                                  nQoMRL100::iControlParameterBlock* out,
                                                  nQoMDBG100::tStatus2& status) {
  if (timing == nullptr) {
    setCode(status, kNullPointer, {kFile, 319});
    return;
  }
  const nQoUdP100::tPrimitiveState& state = timing->state();
  switch (code) {
    case 1:
      timing->commit(status);
      if (status.isNotFatal()) _state = kPlainCommitted;
      return;
    case 2:
      if (state.isCommitted()) timing->arm(status);
      if (status.isNotFatal()) timing->start(status);
      _state = kStarted;
      return;
    case 3:
    case kStopAsWell:
      // Whatever runs, the update waits under way end.
      if (state.isRunning())
        timing->stop(status);
      else if (state.isArmed())
        timing->disarm(status);
      else
        timing->endWaitsUnderWay();
      _state = kPlainCommitted;
      return;
    case 4:
      timing->uncommit(status);
      _state = kPlainResourcesLinked;
      return;
    default:
      if (!controlOwn(*timing, code, in, out, status)) setCode(status, kNotSupported, {kFile, 714});
  }
}

// 400 and 401 are the wait operation's update, inside the same use.
bool tBaseAOTimingControllerSupervisor::controlOwn(tEngine& timing, uint32_t code,
                                                   nQoMRL100::iControlParameterBlock* in,
                                                   nQoMRL100::iControlParameterBlock* out,
                                                   nQoMDBG100::tStatus2& status) {
  const bool started = !skip() && timing.state().isRunning();
  switch (code) {
    case kEndA:
    case kEndB:
      if (started && code == kEndA) timing.requestEndA(&status);
      if (started && code == kEndB) timing.requestEndB(&status);
      _state = kPlainCommitted;
      return true;
    case kHold:
      if (started) timing.setMode3Hold(1, status);
      return true;
    case kRelease:
      if (!skip() && timing.hold() != 0) timing.setMode3Hold(0, status);
      return true;
    case kSetInterval: {
      tParameterBlockValidateHelper::checkNotNull(in, status);
      tParameterBlockValidateHelper::checkNotNull(out, status);
      if (status.isFatal()) return true;
      if (started) timing.setUpdateInterval(readValue(in, status), status);
      answer(out, started ? 1 : 0, status);
      return true;
    }
    case kIsCommitted:
    case kIsCommitted + 1:
    case kIsStarted:
    case kHoldFlag: answer(out, query(timing, code), status); return true;
    case kUpdatesDone: {
      nQoMDBG100::tStatus2 fresh;
      const uint32_t done = skip() ? 0 : timing.getUpdatesDone(fresh, 0);
      answer(out, done, status);
      answer(out, static_cast<uint32_t>(fresh.code), status);
      return true;
    }
    case kUpdate:
      if (!skip()) softwareUpdate(timing, status);
      return true;
    case kUpdateWithTimeout: {
      const uint32_t timeout = readValue(in, status);
      if (status.isFatal() || skip()) return true;
      timing.setTimeout(timeout, status);
      softwareUpdate(timing, status);
      return true;
    }
    default: return false;
  }
}

// 263 to 265: committed, armed, started (with skip: whether the word says
// committed); 266: the hold flag (0 with skip).
uint32_t tBaseAOTimingControllerSupervisor::query(const tEngine& timing, uint32_t code) const {
  if (code == kHoldFlag) return skip() ? 0 : timing.hold();
  if (skip()) return _state == kPlainCommitted ? 1 : 0;
  const nQoUdP100::tPrimitiveState& state = timing.state();
  if (code == kIsCommitted) return state.isCommitted() ? 1 : 0;
  if (code == kIsStarted) return state.isRunning() ? 1 : 0;
  return state.isArmed() ? 1 : 0;
}

void tBaseAOTimingControllerSupervisor::onCancel(tEngine& timing, nQoMDBG100::tStatus2&) {
  if (_cancelStops) timing.requestStop();
}

// From above 4 only.
void tBaseAOTimingControllerSupervisor::commitCancel(nQoMDBG100::tStatus2& status) {
  if (_state <= kPlainResourcesLinked) return;
  if (tEngine* timing = getPrimitive()) bringDown(*timing, status);
  _state = kPlainResourcesLinked;
}

void tBaseAOTimingControllerSupervisor::bringDown(tEngine& timing, nQoMDBG100::tStatus2& status) {
  auto undo = [&](bool due, void (tEngine::*step)(nQoMDBG100::tStatus2&)) {
    if (!due) return;
    nQoMDBG100::tStatus2 local;
    (timing.*step)(local);
    status.assign(local);
  };
  undo(timing.state().isRunning(), &tEngine::stop);
  undo(timing.state().isArmed(), &tEngine::disarm);
  undo(timing.state().isCommitted(), &tEngine::uncommit);
}

}  // namespace nQoUdR100
