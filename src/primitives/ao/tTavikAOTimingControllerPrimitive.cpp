#include "primitives/ao/tTavikAOTimingControllerPrimitive.h"

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tDeviceGUIDStatusDescriptionISRSafe.h"
#include "frame/tStatusSite.h"
#include "orb/castToClass.h"
#include "primitives/ao/tBaseAO_FIFOPrimitive.h"
#include "registers/tScopedLockSelection.h"
#include "tavik/tTavikAtomicOperation.h"
#include "tavik/tTavikInterruptDispatcherBinders.h"
#include "tavik/tavikCodeConverters.h"

namespace nQoUdP100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::onFreshStatus;
using nQoUdRLP100::tScopedLockSelection;
using nQoUdRLP100::tTavikInterruptDispatcher;
using nQoUdRLP100::nTavik::tTavik;
namespace nTavik = nQoUdRLP100::nTavik;

constexpr const char kFile[] = "tTavikAOTimingControllerPrimitive";

// Lock groups of the register map.
constexpr uint32_t kAOConfigurationLock = 4;
constexpr uint32_t kAOCommandLock = 5;
constexpr uint32_t kPinDirectionLock = 14;

// tAO_Command_2 bits.
constexpr uint32_t kStartStrobe = 1u << 0;
constexpr uint32_t kBufferDoneBit = 1u << 5;
constexpr uint32_t kIntervalLoadStrobe = 1u << 7;
constexpr uint32_t kBufferLatch = 1u << 10;
constexpr uint32_t kUpdateLatch = 1u << 12;
constexpr uint32_t kEndAStrobe = 1u << 14;
constexpr uint32_t kEndBStrobe = 1u << 15;
// tAO_Command_1 bit 0, the update pulse.
constexpr uint32_t kUpdatePulse = 1u << 0;
// Group-B acknowledges written to 0x106.
constexpr uint16_t kAckEndA = 128;
constexpr uint16_t kAckEndB = 256;
constexpr uint16_t kAckUpdate = 1024;
// The AO status bit that tells which interval load register is in use.
constexpr uint32_t kLoadRegisterInUse = 6;
constexpr uint32_t kUpdateFlag = 5;
// The timing select A that uncommit leaves.
constexpr uint32_t kNeutralTimingSelectA = 28;

// Group-B status bits and enable bits of the four codes.
struct tCodeRow {
  uint32_t source;
  uint32_t statusBit;
  uint32_t enableBit;
  bool secondary;
};
constexpr tCodeRow kCodes[] = {
    {15, 8, 1, false},
    {18, 6, 6, true},
    {8, 7, 0, true},
    {20, 5, 2, true},
};
constexpr uint32_t kAOErrorEnableBit = 5;

bool bit(uint32_t value, uint32_t n) { return ((value >> n) & 1) != 0; }

void openBracket(tTavik& map, tStatus2* status) {
  map.Joint_Reset.write_AO_Configuration_Start(true, status);
}
void closeBracket(tTavik& map, tStatus2* status) {
  map.Joint_Reset.write_AO_Configuration_End(true, status);
}

// A read-modify-write of the tAO_Command_2 soft copy, run on the bus so the
// interrupt path cannot interleave.
class tCommand2Op final : public iBusAtomicOperation {
 public:
  tCommand2Op(tTavik& map, uint32_t set, uint32_t clear, tStatus2* status)
      : _map(map), _set(set), _clear(clear), _status(status) {}
  int32_t operateAtomically() override {
    auto& command2 = _map.AO_Command_2;
    command2.setRegister(static_cast<uint16_t>((command2.getRegister() & ~_clear) | _set), _status);
    command2.flush(_status, 1);
    return _status != nullptr ? _status->code : 0;
  }

 private:
  tTavik& _map;
  uint32_t _set;
  uint32_t _clear;
  tStatus2* _status;
};

// A callable run as one atomic run of the bus; it answers the status code.
template <class tInside>
class tOnTheBusOp final : public iBusAtomicOperation {
 public:
  explicit tOnTheBusOp(tInside& inside) : _inside(inside) {}
  int32_t operateAtomically() override { return _inside(); }

 private:
  tInside& _inside;
};

struct tUpdatePulseOp final : nQoUdRLP100::tTavikAtomicOperation<tUpdatePulseOp> {
  using tTavikAtomicOperation::tTavikAtomicOperation;
  static void operate(tTavik& map, tStatus2* status) {
    map.AO_Command_1.setBits(kUpdatePulse, 0, 1, status);
    map.AO_Command_1.flush(status, 0);
  }
};

// The disarm sequence: the disarm strobe in a bracket, then bit 7 of
// tAO_Mode_2 toggled around the interval load strobe, in the order the
// running load register calls for.
template <bool kLoadToggle>
struct tDisarmOp final : nQoUdRLP100::tTavikAtomicOperation<tDisarmOp<kLoadToggle>> {
  using nQoUdRLP100::tTavikAtomicOperation<tDisarmOp>::tTavikAtomicOperation;
  static void operate(tTavik& map, tStatus2* status) {
    openBracket(map, status);
    map.AO_Command_1.write_AO_Disarm(true, status, 1);
    closeBracket(map, status);
    map.AO_Mode_2.set_AO_Mode_2_Bit7(!kLoadToggle, status);
    map.AO_Mode_2.flush(status, 1);
    map.AO_Command_1.write_AO_Interval_Load(true, status, 1);
    map.AO_Mode_2.set_AO_Mode_2_Bit7(kLoadToggle, status);
    map.AO_Mode_2.flush(status, 1);
  }
};

}  // namespace

tTavikAOTimingControllerPrimitive::tTavikAOTimingControllerPrimitive(
    const tAODescription* description, const tAOResources& resources, tBaseAO_FIFOPrimitive* fifo,
    tStatus2& status)
    : tBaseAOTimingControllerPrimitive(description, fifo, status),
      _map(resources.map),
      _helper(resources.helper),
      _dispatcher(resources.dispatcher),
      _device(resources.device) {
  if (status.isFatal()) return;
  _state.setInitial();
  _helper->aoReset(&status);
  const tAOOutputControl none;
  const tAOOutputControl& control =
      description->outputControl != nullptr ? *description->outputControl : none;
  _helper->aoConfigureOutputControl(
      nTavik::tAO_Output_Select{control.outputSelect}, control.personalBit6 != 0,
      control.personalBit5 != 0, control.personalBit12 != 0, control.personalBit10 != 0, &status);
  if (status.isNotFatal()) _state.setUncommitted();
}

tTavikAOTimingControllerPrimitive::~tTavikAOTimingControllerPrimitive() {
  tStatus2 ignored;
  // An arm that no disarm followed leaves the board first; its completion
  // notifier, which may be gone, hears nothing.
  if (_runs.endIfLive(_runs.live())) switchArmOff(ignored);
  for (uint32_t code = 0; code < kCodeCount; ++code) detach(code, ignored);
}

void* tTavikAOTimingControllerPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tTavikAOTimingControllerPrimitive,
                                tBaseAOTimingControllerPrimitive>(this, classID);
}

const void* tTavikAOTimingControllerPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tTavikAOTimingControllerPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

// Helpers -----------------------------------------------------------------------

void tTavikAOTimingControllerPrimitive::changeCommand2(uint32_t set, uint32_t clear,
                                                       tStatus2* status) {
  tCommand2Op operation(*_map, set, clear, status);
  _map->space().bus()->runAtomically(&operation, status != nullptr ? &status->code : nullptr);
}

void tTavikAOTimingControllerPrimitive::command2Locked(uint32_t set, uint32_t clear,
                                                       tStatus2* status) {
  const tScopedLockSelection<tTavik> locked(*_map, {kAOCommandLock}, status);
  changeCommand2(set, clear, status);
}

template <class tInside>
void tTavikAOTimingControllerPrimitive::onTheBus(tInside inside, tStatus2& status) {
  auto answering = [&] {
    inside();
    return status.code;
  };
  tOnTheBusOp<decltype(answering)> operation(answering);
  _map->space().bus()->runAtomically(&operation, &status.code);
}

void tTavikAOTimingControllerPrimitive::enable(tEnable which, tStatus2& status) {
  tTavikInterruptDispatcher::tAtomicStatusRefDispatcher binder(_dispatcher, which, status);
  binder.exec();
}

void tTavikAOTimingControllerPrimitive::enableInRun(tEnable which, tStatus2& status) {
  if (status.isFatal()) return;
  const uint32_t run = _runs.live();
  _runs.actOn(
      run, [&](auto inside) { onTheBus(inside, status); }, [&] { (_dispatcher->*which)(status); });
}

void tTavikAOTimingControllerPrimitive::disable(tDisable which, tStatus2& status) {
  tTavikInterruptDispatcher::tAtomicStatusPtrDispatcher binder(_dispatcher, which);
  binder.exec(&status);
}

bool tTavikAOTimingControllerPrimitive::enabled(uint32_t n) const {
  return bit(_map->Interrupt_B_Enable.getRegister(), n);
}

void tTavikAOTimingControllerPrimitive::attach(uint32_t code, tStatus2& status) {
  if (_attached[code] != 0 || status.isFatal()) return;
  nQoMRTB100::iInterruptHandler* handlers[] = {&_startHandler, &_endRequestHandler,
                                               &_completionHandler, &_updateHandler};
  nQoMRTB100::iSecondaryInterruptHandler* secondaries[] = {nullptr, &_endRequestHandler,
                                                           &_completionHandler, &_updateHandler};
  if (_dispatcher->installHandlers(kCodes[code].source, handlers[code], secondaries[code], status))
    _attached[code] = 1;
}

void tTavikAOTimingControllerPrimitive::detach(uint32_t code, tStatus2& status) {
  if (_attached[code] == 0) return;
  _dispatcher->removeHandlers(kCodes[code].source, &status);
  _attached[code] = 0;
}

void tTavikAOTimingControllerPrimitive::loadCounters(const tAOTimingFields& record,
                                                     tStatus2& status) {
  const bool counted = record.mode == 1 || record.mode == 2;
  _updateCounterWrap = counted ? record.firstBufferUpdateCount - 1 : 0xFFFFFFFF;
  _helper->aoLoadUC(nTavik::encodeAOUCFlag(counted ? 1 : 0) != 0, record.firstBufferUpdateCount,
                    record.bufferUpdateCount, record.bufferCount, &status);
}

// Programming ------------------------------------------------------------------

// A commit after one that holds the handlers attaches only the codes it
// finds detached; its failure detaches only those and leaves the other
// handlers as the commit before left them. A failure of the first commit
// uncommits.
void tTavikAOTimingControllerPrimitive::commit(tStatus2& status) {
  if (status.isFatal()) return;
  // An arm that no disarm followed is disarmed first, with its reports (a
  // run it holds ends with it): the commit reloads the counters and rewrites
  // the trigger, timing and mode registers that the armed engine runs on.
  if (_runs.live() != 0) onFreshStatus(status, [&](tStatus2& s) { disarm(s); });
  // The record takes the settings: the runs of this commit go by them.
  const tAOTimingFields& f = _fields.program();
  uint32_t held = 0;
  for (uint32_t code = 0; code < kCodeCount; ++code) held |= _attached[code].load() << code;
  tStatus2* s = &status;
  {
    const tScopedLockSelection<tTavik> locked(*_map, {kAOConfigurationLock}, s);
    auto& control = _map->AO_Output_Control;
    openBracket(*_map, s);
    control.setBits(0x7C00, 10, nTavik::encodeAO_Output_ControlBits14_10(f.outputSelect), s);
    control.setBits(0x0008, 3, nTavik::encodeAO_Output_ControlBit3(f.outputControlBit3), s);
    control.setBits(0x8000, 15, f.outputSelect != 0 ? 1 : 0, s);
    control.flush(s, 0);
    closeBracket(*_map, s);
  }
  if (f.updateOutput != 0) driveUpdateOutput(status);
  _helper->aoConfigureTrigger(
      nTavik::tAO_Start_Trigger_Select{nTavik::encodeAOTriggerSelect(f.startTriggerSelect)},
      nTavik::encodeAOTriggerFlagB(f.startTriggerFlag) != 0, f.triggerSelectBit5 != 0,
      f.triggerSelectBit6 != 0, f.triggerSelectBit14 != 0, f.mode1Bit0 != 0,
      nTavik::encodeAOTriggerFlagA(f.mode3Bit11) != 0, s);
  loadCounters(f, status);
  _loadToggle = 0;
  _loadedInterval = f.updateInterval;
  _helper->aoConfigureTiming(
      nTavik::tAO_Timing_Select_B{nTavik::encodeAOTimingSelectB(f.timingSelectB)},
      nTavik::encodeAOTimingFlagB(f.timingFlagB) != 0,
      nTavik::tAO_Timing_Select_A{nTavik::encodeAOTimingSelectA(f.timingSelectA)},
      nTavik::encodeAOTimingFlagA(f.timingFlagA) != 0, f.updateInterval, f.command2Bit11 != 0,
      f.initialIntervalCount, s);
  _helper->aoConfigureMode3(f.mode3Bit3 != 0, f.mode3Bit4 != 0, f.mode3Bit5 != 0, s);
  attach(0, status);
  attach(1, status);
  attach(2, status);
  if (f.mode == 2 && f.pollUpdates == 0) attach(3, status);
  noteProgrammed(f);
  _state.setCommitted();
  _updatesDone = 0;
  _armNotAnUpdate = 1;
  _firstArmAfterCommit = 1;
  if (status.isNotFatal()) return;
  tStatus2 fresh;
  if (held == 0) {
    uncommit(fresh);
    return;
  }
  for (uint32_t code = 0; code < kCodeCount; ++code)
    if (((held >> code) & 1) == 0) detach(code, fresh);
}

void tTavikAOTimingControllerPrimitive::uncommit(tStatus2& status) {
  if (_state.isUncommitted()) return;
  // An arm not yet disarmed is disarmed first, with its reports (a run it
  // holds ends with it); the waits under way end with it, or here.
  if (_runs.live() != 0)
    onFreshStatus(status, [&](tStatus2& s) { disarm(s); });
  else
    endWaitsUnderWay();
  // The removals merge their own statuses; the neutral programming runs on
  // one of its own, so a failed removal does not skip it.
  detach(2, status);
  detach(0, status);
  detach(1, status);
  detach(3, status);
  onFreshStatus(status, [&](tStatus2& fresh) {
    tStatus2* s = &fresh;
    const tScopedLockSelection<tTavik> locked(*_map, {kAOConfigurationLock}, s);
    openBracket(*_map, s);
    _map->AO_Output_Control.setBits(0x8000, 15, 0, s);
    _map->AO_Output_Control.flush(s, 0);
    _map->AO_Mode_1.set_AO_Timing_Select_A(nTavik::tAO_Timing_Select_A{kNeutralTimingSelectA}, s);
    _map->AO_Mode_1.flush(s, 0);
    _map->AO_Mode_1.set_AO_Timing_Select_B(nTavik::tAO_Timing_Select_B{0}, s);
    _map->AO_Mode_1.flush(s, 0);
    _map->AO_Trigger_Select.set_AO_Start_Trigger_Select(nTavik::tAO_Start_Trigger_Select{0}, s);
    _map->AO_Trigger_Select.flush(s, 0);
    closeBracket(*_map, s);
  });
  _state.setUncommitted();
}

// Run control ------------------------------------------------------------------

// The run goes by what the commit programmed (with none held, by the record
// as the last commit left it): its trigger, its mode and the counters an
// arm after the first reloads, whatever a deploy wrote since. It begins
// before its sources go on, so that a start trigger finds it live.
void tTavikAOTimingControllerPrimitive::arm(tStatus2& status) {
  if (status.isFatal()) return;
  tStatus2* s = &status;
  const tAOTimingFields& record = _fields.programmed();
  _update.lift(kStopMark);
  _fifoFed.set(record.withoutFIFO == 0 ? 1 : 0);
  _waitCalls = 0;
  takeWaitRules(record);
  if (_firstArmAfterCommit != 0)
    _firstArmAfterCommit = 0;
  else
    loadCounters(record, status);
  _runTriggered = record.startTriggerSelect != 0 ? 1 : 0;
  _runMode = record.mode;
  _runFirst = record.firstBufferUpdateCount;
  _runEach = record.bufferUpdateCount;
  _runBuffers = record.bufferCount;
  // A bus that refuses the atomic run still begins it: the arm's failure
  // disarms it, with its done report.
  tStatus2 bus;
  onTheBus([&] { _runs.begin(); }, bus);
  if (bus.code != 0) _runs.begin();
  status.assign(bus);
  // A source goes on only while a commit holds its handler in the slot.
  if (_runMode == 0 && _attached[2] != 0)
    enable(&tTavikInterruptDispatcher::enableGroupBInterruptBit0, status);
  if (_runMode == 2 && record.pollUpdates == 0) _lastUpdateCount = 0;
  if (_runTriggered != 0 && _attached[0] != 0)
    enable(&tTavikInterruptDispatcher::enableGroupBInterruptBit1, status);
  _done = 0;
  setMode3Hold(0, status);
  const bool personalBit10 = record.withoutFIFO == 0 && _runMode != 2;
  openBracket(*_map, s);
  _map->AO_Personal.set_AO_Personal_Bit10(personalBit10, s);
  _map->AO_Personal.flush(s, 0);
  closeBracket(*_map, s);
  _helper->aoArm(personalBit10, _armNotAnUpdate != 0, s);
  _armNotAnUpdate = 1;
  _state.setArmed();
  if (status.isFatal()) {
    tStatus2 fresh;
    disarm(fresh);
  }
}

// Only an armed engine starts, by what its arm took: the strobe starts
// nothing on an engine that no arm holds, whose state would then say
// running, and a run armed for a start trigger waits for its interrupt.
void tTavikAOTimingControllerPrimitive::start(tStatus2& status) {
  if (status.isFatal() || _runTriggered != 0 || _runs.live() == 0) return;
  command2Locked(kStartStrobe, 0, &status);
  _map->flushBus(&status);
  _state.setRunning();
  _started = 1;
}

// The arm's run ends before the sources are switched off, inside an atomic
// run of the bus, so that the start trigger's pass sees it whole: a wait or
// an end request from here on leaves its source off, and the pass marks no
// start of it. The done report is due only when the disarm, not the
// completion's pass, ended it. A run that no stop ended ends here as a stop
// ends it (the stop's early-end warning is not the disarm's answer).
void tTavikAOTimingControllerPrimitive::disarm(tStatus2& status) {
  if (status.isFatal()) return;
  bool due = false;
  bool runEnds = false;
  const auto take = [&] {
    due = _runs.endIfLive(_runs.live());
    runEnds = _started.exchange(0) != 0;
  };
  tStatus2 bus;
  onTheBus(take, bus);
  // A bus that refused the run still ends it.
  if (bus.code != 0) take();
  // The waits under way leave before the disarm sequence resets the
  // counters they read and the sources go off.
  endWaitsUnderWay();
  endArm(due, runEnds, status);
}

// The state and the FIFO that fed a run ending here are settled before the
// done report, which may bring the next arm at once.
void tTavikAOTimingControllerPrimitive::endArm(bool due, bool runEnds, tStatus2& status) {
  switchArmOff(status);
  if (_state.isArmed() || _state.isRunning()) _state.setCommitted();
  if (!due) return;
  if (runEnds && _fifoFed.get() != 0 && _fifo != nullptr)
    onFreshStatus(status, [&](tStatus2& s) { _fifo->complete(s); });
  tStatus2 fresh;
  _completionNotifier.call([&](iDoneObserver& notifier) { notifier.notifyDone(fresh); });
}

void tTavikAOTimingControllerPrimitive::switchArmOff(tStatus2& status) {
  // Outside a pass: read under the lock that a start trigger's pass takes to
  // switch its source off.
  const uint32_t on = _dispatcher->enableSoftCopy(nQoUdRLP100::tSwitchRegister::kEnableB);
  if (_loadToggle != 0)
    tDisarmOp<true>(_map, nullptr).run();
  else
    tDisarmOp<false>(_map, nullptr).run();
  _map->flushBus(nullptr);
  // Each disable on a status of its own: a failed one leaves none of the
  // others on.
  const auto off = [&](uint32_t code, tDisable which) {
    if (bit(on, kCodes[code].enableBit))
      onFreshStatus(status, [&](tStatus2& s) { disable(which, s); });
  };
  off(2, &tTavikInterruptDispatcher::disableGroupBInterruptBit0);
  off(0, &tTavikInterruptDispatcher::disableGroupBInterruptBit1);
  off(1, &tTavikInterruptDispatcher::disableGroupBInterruptBit6);
  off(3, &tTavikInterruptDispatcher::disableGroupBInterruptBit2);
}

// The run ends here: its disarm completes the FIFO no second time.
void tTavikAOTimingControllerPrimitive::stop(tStatus2& status) {
  if (status.isFatal()) return;
  _started = 0;
  _helper->aoStop(&status);
  _state.setArmed();
  if (_fifoFed.get() != 0) {
    if (_runMode == 0 && status.code == 0) {
      auto* description =
          _device != nullptr
              ? new nQoUdR100::nQoKABBO_1_0::tDeviceGUIDStatusDescriptionISRSafe(*_device)
              : nullptr;
      nQoUdR100::setCode(status, nQoUdR100::kStoppedEarly, {kFile, 402}, description);
    }
    if (_fifo != nullptr) onFreshStatus(status, [&](tStatus2& s) { _fifo->complete(s); });
  }
  // A failed stop command still ends the FIFO's run and disarms.
  onFreshStatus(status, [&](tStatus2& s) { disarm(s); });
  _updatesDone = getUpdatesDone(status, 1);
}

void tTavikAOTimingControllerPrimitive::requestEndA(tStatus2* status) {
  requestEnd(kAckEndA, 1, &tTavikInterruptDispatcher::enableGroupBInterruptBit6, kEndAStrobe,
             status);
}

void tTavikAOTimingControllerPrimitive::requestEndB(tStatus2* status) {
  requestEnd(kAckEndB, 2, &tTavikInterruptDispatcher::enableGroupBInterruptBit0, kEndBStrobe,
             status);
}

// The end's source goes on only while the commit's handler is attached and
// the arm's run is live, looked at inside the atomic run that switches it
// on: the completion's second pass may disarm after the caller's look at the
// run, and it ends the run before it switches off.
void tTavikAOTimingControllerPrimitive::requestEnd(uint16_t ack, uint32_t code, tEnable which,
                                                   uint32_t strobe, tStatus2* status) {
  _map->Interrupt_B_Ack.writeRegister(ack, status);
  _map->flushBus(status);
  // Without a status the end is still enabled, else the strobe is never served.
  tStatus2 local;
  if (_attached[code] != 0) enableInRun(which, status != nullptr ? *status : local);
  command2Locked(strobe, 0, status);
  _map->flushBus(status);
}

void tTavikAOTimingControllerPrimitive::softwareUpdatePulse(tStatus2& status) {
  tUpdatePulseOp(_map, &status).run();
  _map->flushBus(&status);
}

void tTavikAOTimingControllerPrimitive::setUpdateInterval(uint32_t ticks, tStatus2& status) {
  if (status.isFatal()) return;
  const bool inUse = bit(_map->Read_010C.refresh(&status), kLoadRegisterInUse);
  if (status.isFatal()) return;
  if (inUse != (_loadToggle != 0)) {
    nQoUdR100::setCode(status, nQoUdR100::kIntervalLoadBusy, {kFile, 450});
    return;
  }
  _loadToggle = _loadToggle != 0 ? 0 : 1;
  {
    const tScopedLockSelection<tTavik> locked(*_map, {kAOCommandLock}, &status);
    const uint32_t interval = ticks - 1;
    const uint32_t initial = _fields.programmed().initialIntervalCount - 1;
    if (_loadToggle != 0)
      _map->Write_0154.writeRegister(interval, &status, 1);
    else
      _map->Write_0150.writeRegister(interval, &status, 1);
    changeCommand2(kIntervalLoadStrobe, 0, &status);
    if (_loadToggle != 0)
      _map->Write_0150.writeRegister(initial, &status, 1);
    else
      _map->Write_0154.writeRegister(initial, &status, 1);
  }
  _map->flushBus(&status);
  _loadedInterval = ticks;
}

// Counters -----------------------------------------------------------------------

uint32_t tTavikAOTimingControllerPrimitive::readLatched(
    uint32_t latch, uint32_t (tTavikAOTimingControllerPrimitive::*read)(), tStatus2& status) {
  const tScopedLockSelection<tTavik> locked(*_map, {kAOCommandLock}, &status);
  changeCommand2(latch, 0, &status);
  _readStatus = &status;
  const uint32_t value = (this->*read)();
  changeCommand2(0, latch, &status);
  return status.isFatal() ? 0xFFFFFFFF : value;
}

uint32_t tTavikAOTimingControllerPrimitive::readUpdateCounter(tStatus2& status) {
  return readLatched(kUpdateLatch, &tTavikAOTimingControllerPrimitive::readUpdateRegister, status);
}

uint32_t tTavikAOTimingControllerPrimitive::readBufferCounter(tStatus2& status) {
  return readLatched(kBufferLatch, &tTavikAOTimingControllerPrimitive::readBufferRegister, status);
}

uint32_t tTavikAOTimingControllerPrimitive::readCount120(tStatus2* status) {
  if (status != nullptr && status->isFatal()) return 0;
  return _map->Read_0120.refresh(status);
}

uint32_t tTavikAOTimingControllerPrimitive::getUpdatesDone(tStatus2& status, uint32_t force) {
  if (!_state.isRunning() && force == 0) return _updatesDone;
  uint32_t updates = 0;
  uint32_t buffers = 0;
  {
    const tScopedLockSelection<tTavik> locked(*_map, {kAOCommandLock}, &status);
    const uint32_t latch = _started != 0 ? 1 : 0;
    changeCommand2(latch * kUpdateLatch, kUpdateLatch, &status);
    changeCommand2(latch * kBufferLatch, kBufferLatch, &status);
    updates = _map->Read_0128.refresh(&status);
    buffers = _map->Read_0124.refresh(&status);
    changeCommand2(0, kUpdateLatch, &status);
    changeCommand2(0, kBufferLatch, &status);
  }
  const uint32_t first = _runFirst;
  const uint32_t each = _runEach;
  const uint32_t remaining = _runBuffers - buffers;
  _updatesDone =
      remaining == 1 ? first - 1 - updates : each + first - 1 - updates + (remaining - 2) * each;
  return _updatesDone;
}

// Outputs and the update flag ---------------------------------------------------------

void tTavikAOTimingControllerPrimitive::setMode3Hold(uint32_t flag, tStatus2& status) {
  auto& mode3 = _map->AO_Mode_3;
  mode3.flush(&status, 0);
  mode3.setBits(0x2, 1, flag != 0 ? 1 : 0, &status);
  mode3.flush(&status, 1);
  if (status.isNotFatal()) _hold = flag;
}

void tTavikAOTimingControllerPrimitive::driveUpdateOutput(tStatus2& status) {
  tStatus2* s = &status;
  {
    const tScopedLockSelection<tTavik> locked(*_map, {kPinDirectionLock}, s);
    _map->IO_Bidirection_Pin.setBits(1u << 5, 5, 1, s);
    _map->IO_Bidirection_Pin.flush(s, 1);
  }
  {
    const tScopedLockSelection<tTavik> locked(*_map, {kAOConfigurationLock}, s);
    _map->AO_Output_Control.set_AO_Output_Select(nTavik::tAO_Output_Select{3}, s);
    _map->AO_Output_Control.flush(s, 0);
  }
  _map->flushBus(s);
}

bool tTavikAOTimingControllerPrimitive::isUpdateFlagSet(tStatus2* status) {
  return bit(_map->Read_0106.refresh(status), kUpdateFlag);
}

void tTavikAOTimingControllerPrimitive::acknowledgeUpdateFlag(tStatus2* status) {
  _map->Interrupt_B_Ack.writeRegister(kAckUpdate, status);
}

// Only while the commit's handler is attached and the arm's run is live.
void tTavikAOTimingControllerPrimitive::enableUpdateInterrupt(tStatus2& status) {
  if (_attached[3] == 0) return;
  enableInRun(&tTavikInterruptDispatcher::enableGroupBInterruptBit2, status);
}

// Interrupts ----------------------------------------------------------------------

tTavikAOTimingControllerPrimitive::tAnswer tTavikAOTimingControllerPrimitive::handleInterruptCode(
    uint32_t code) {
  if (code >= kCodeCount) return tAnswer::kNothingPending;
  const tCodeRow& row = kCodes[code];
  const uint32_t groupStatus = _map->Read_0106.getRegister();
  if (!bit(groupStatus, row.statusBit) || !enabled(row.enableBit)) return tAnswer::kNothingPending;
  tStatus2 status;
  switch (code) {
    case 0:
      if (_state.isRunning()) return tAnswer::kNothingPending;
      disable(&tTavikInterruptDispatcher::disableGroupBInterruptBit1, status);
      // A start only of a live run: the disarm ends it inside the bus's atomic
      // run, which this pass runs under.
      if (_runs.live() != 0) {
        _state.setRunning();
        _started = 1;
      }
      return tAnswer::kHandled;
    case 1:
      if (!_state.isRunning()) return tAnswer::kNothingPending;
      disable(&tTavikInterruptDispatcher::disableGroupBInterruptBit6, status);
      _endedRun = _runs.live();
      return tAnswer::kHandledWantsSecondary;
    case 2:
      disable(&tTavikInterruptDispatcher::disableGroupBInterruptBit0, status);
      _endedRun = _runs.live();
      if (enabled(kAOErrorEnableBit))
        disable(&tTavikInterruptDispatcher::disableAOErrorInterrupt, status);
      if (_runEach != 0) changeCommand2(kBufferDoneBit, 0, nullptr);
      return tAnswer::kHandledWantsSecondary;
    default:
      // An update of the live run only: one that comes as a disarm switches
      // the source off, once the disarm ended the run, wakes no wait.
      if (_runs.live() != 0) _update.set();
      return tAnswer::kHandled;
  }
}

// Only the run whose end the first pass saw ends, claimed once: a second
// code's pass, or one after the done report brought the next arm, touches
// nothing. The board ended the run: its updates are counted before the
// disarm, which completes the FIFO that fed it before the done report.
void tTavikAOTimingControllerPrimitive::handleSecondaryInterruptCode(uint32_t) {
  if (!_runs.endIfLive(_endedRun.load())) return;
  _started = 0;
  _done = 1;
  _updatesDone = (_runBuffers - 1) * _runEach + _runFirst;
  tStatus2 fresh;
  endArm(true, true, fresh);
}

}  // namespace nQoUdP100
