#include "primitives/ai/tTavikAITimingControllerPrimitive.h"

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "orb/castToClass.h"
#include "registers/registerStatus.h"
#include "tavik/tTavikAtomicOperation.h"
#include "tavik/tTavikInterruptDispatcherBinders.h"
#include "tavik/tavikCodeConverters.h"

namespace nQoUdP100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::onFreshStatus;
using nQoUdRLP100::tTavikInterruptDispatcher;
using nQoUdRLP100::nTavik::tTavik;
namespace nTavik = nQoUdRLP100::nTavik;

constexpr nQoUdR100::tStatusSite kStoppedEarly{
    "source/qomiop/tavik/ai/tTavikAITimingControllerPrimitive", 202};

// The sample-clock select that stands for none.
constexpr int32_t kWaitTimeout = 0x7FFF0000;
// The second-trigger select that stands for none.
constexpr int32_t kNoSecondTrigger = 32;
constexpr int32_t kContinuousAcquisition = 1;
constexpr int32_t kFiniteAcquisition = 2;
// The counter modes that aiConfigureCounterA and B load.
constexpr uint32_t kCounterAMode = 1;
constexpr uint32_t kCounterBFiniteMode = 6;
// The convert select of modes below 3 when routing word 2 is set.
constexpr uint32_t kFixedConvertSelect = 28;
// A select of the AI_Trigger_Select bits 4:0 that arm uses in mode 2.
constexpr uint32_t kMode2ArmTrigger = 31;

uint32_t flag(int32_t word) { return static_cast<uint32_t>(word); }

void openBracket(tTavik& map, tStatus2* status) {
  map.Joint_Reset.write_AI_Configuration_Start(true, status);
}
void closeBracket(tTavik& map, tStatus2* status) {
  map.Joint_Reset.write_AI_Configuration_End(true, status);
}

// The arm command, run atomically: in a bracket the dirty trigger and mode
// registers, then the arm bits of tAI_Command_1 (bits 12 and 8 with counter A).
template <bool kCounterA>
struct tAtomicArmOp final : nQoUdRLP100::tTavikAtomicOperation<tAtomicArmOp<kCounterA>> {
  using nQoUdRLP100::tTavikAtomicOperation<tAtomicArmOp>::tTavikAtomicOperation;
  static void operate(tTavik& map, tStatus2* status) {
    openBracket(map, status);
    map.AI_Trigger_Select.flush(status, 0);
    map.AI_Mode_2.flush(status, 0);
    closeBracket(map, status);
    map.AI_Command_1.set_AI_Command_1_Bit6(true, status);
    map.AI_Command_1.set_AI_Command_1_Bit10(true, status);
    map.AI_Command_1.set_AI_Command_1_Bit12(kCounterA, status);
    map.AI_Command_1.set_AI_Command_1_Bit8(kCounterA, status);
    map.AI_Command_1.flush(status, 0);
  }
};

struct tAtomicHammerStopOp final : nQoUdRLP100::tTavikAtomicOperation<tAtomicHammerStopOp> {
  using tTavikAtomicOperation::tTavikAtomicOperation;
  static void operate(tTavik& map, tStatus2* status) {
    openBracket(map, status);
    map.AI_Command_1.write_AI_Disarm(true, status, 0);
    closeBracket(map, status);
  }
};

// The record-end handler's primary pass, run on the bus as the interrupt
// would run it.
class tAtomicHandleRecordEndOp final : public iBusAtomicOperation {
 public:
  tAtomicHandleRecordEndOp(nQoMRTB100::iInterruptHandler* handler, tStatus2* status)
      : _handler(handler), _status(status) {}
  int32_t operateAtomically() override {
    _handler->handleInterrupt();
    return _status != nullptr ? _status->code : 0;
  }

 private:
  nQoMRTB100::iInterruptHandler* _handler;
  tStatus2* _status;
};

}  // namespace

tTavikAITimingControllerPrimitive::tTavikAITimingControllerPrimitive(
    const tAIFirstEntry* owner, tTavik* map, nQoUdRLP100::tTavikHelper* helper,
    tTavikInterruptDispatcher* dispatcher, tStatus2& status)
    : tBaseAITimingControllerPrimitive(owner, map != nullptr ? map->space().bus() : nullptr,
                                       status),
      _map(map),
      _helper(helper),
      _dispatcher(dispatcher) {
  if (status.isFatal() || map == nullptr) return;
  openBracket(*map, &status);
  map->AI_Mode_2.set_AI_Mode_2_Bit14(true, &status);
  map->AI_Mode_2.set_AI_Mode_2_Bit15(true, &status);
  map->AI_Mode_2.flush(&status, 1);
  closeBracket(*map, &status);
}

void* tTavikAITimingControllerPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tTavikAITimingControllerPrimitive,
                                tBaseAITimingControllerPrimitive>(this, classID);
}

const void* tTavikAITimingControllerPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tTavikAITimingControllerPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

bool tTavikAITimingControllerPrimitive::isReady() const {
  return tBaseAITimingControllerPrimitive::isReady() && _map != nullptr && _helper != nullptr &&
         _dispatcher != nullptr;
}

tTavikAITimingControllerPrimitive::tStartCommand tTavikAITimingControllerPrimitive::startCommandFor(
    int32_t mode) {
  switch (mode) {
    case 1: return &nQoUdRLP100::tTavikHelper::aiStrobeConvertSync;
    case 2: return &nQoUdRLP100::tTavikHelper::aiStrobeStart;
    case 3: return &nQoUdRLP100::tTavikHelper::aiStrobeStart1;
    default: return nullptr;
  }
}

// The start goes by the mode the board was programmed with: the mode
// deployed here reaches it through the next commit (or an arm with no
// commit behind it).
void tTavikAITimingControllerPrimitive::setMode(int32_t mode, tStatus2& status) {
  if (status.isNotFatal()) _fields.deploying().configuration.timing.timingMode = mode;
}

void tTavikAITimingControllerPrimitive::convertGating(uint32_t gate, tStatus2* status) {
  const bool closed = (gate & 1) != 0;
  openBracket(*_map, status);
  _map->AI_Mode_2.set_AI_Mode_2_Bit14(closed, status);
  _map->AI_Mode_2.set_AI_Mode_2_Bit15(closed, status);
  _map->AI_Mode_2.flush(status, 1);
  closeBracket(*_map, status);
}

// Commit ----------------------------------------------------------------------

// The sample clock and the selects of modes 2 and 3.
void tTavikAITimingControllerPrimitive::programModes1And2(tStatus2* s) {
  const tAITimingConfig& timing = programmed().configuration.timing;
  const int32_t* w = programmed().configuration.routing.words;
  auto& mode1 = _map->AI_Mode_1;
  auto& mode3 = _map->AI_Mode_3;
  auto& r017C = _map->Write_017C;
  if (timing.timingMode >= 1) {
    _runKind = kContinuous;
    mode1.set_AI_Trigger_Once(0, s);
    mode1.set_AI_Mode_1_Bits15_11(
        w[0] == kWaitTimeout ? 0 : nTavik::encodeAI_Mode_1Bits15_11(flag(w[0])), s);
    mode1.set_AI_Mode_1_Bit5(w[1] != 0 ? 1 : 0, s);
  }
  if (timing.timingMode < 2) {
    programNeutralSelects(s);
    return;
  }
  mode3.set_AI_Mode_3_Bit11(nTavik::encodeAI_Mode_3Bit11(flag(w[2])), s);
  r017C.set_AI_017C_Bits4_0(nTavik::encodeAIRegister14Bits4_0(flag(w[3])), s);
  r017C.set_AI_017C_Bit15(flag(w[4]), s);
  r017C.set_AI_017C_Bit5(flag(w[5]), s);
  const bool externalStart = w[3] != 0 && w[3] != 18;
  r017C.set_AI_017C_Bit6(timing.counterAEnable == 0 && externalStart && w[0] != 0 ? 0 : flag(w[6]),
                         s);
  mode3.set_AI_Mode_3_Bit8(nTavik::encodeAI_Mode_3Bit8(flag(w[15])), s);
  mode3.set_AI_Mode_3_Bits4_0(nTavik::encodeAI_Mode_3Bits4_0(flag(w[13])), s);
  mode3.set_AI_Mode_3_Bit5(flag(w[14]), s);
  r017C.set_AI_017C_Bits11_7(
      w[7] == kNoSecondTrigger ? 0 : nTavik::encodeAIRegister14Bits11_7(flag(w[7])), s);
  r017C.set_AI_017C_Bit14(flag(w[8]), s);
  r017C.set_AI_017C_Bit12(flag(w[9]), s);
  r017C.set_AI_017C_Bit13(flag(w[10]), s);
}

// The neutral values of tAI_Mode_3 and 0x17C (modes 0 and 1, and uncommit).
void tTavikAITimingControllerPrimitive::programNeutralSelects(tStatus2* s) {
  auto& mode3 = _map->AI_Mode_3;
  auto& r017C = _map->Write_017C;
  mode3.set_AI_Mode_3_Bit11(1, s);
  r017C.set_AI_017C_Bits4_0(0, s);
  r017C.set_AI_017C_Bit15(0, s);
  r017C.set_AI_017C_Bit5(1, s);
  r017C.set_AI_017C_Bit6(1, s);
  mode3.set_AI_Mode_3_Bits4_0(0, s);
  mode3.set_AI_Mode_3_Bit5(0, s);
  r017C.set_AI_017C_Bits11_7(0, s);
  r017C.set_AI_017C_Bit14(0, s);
  r017C.set_AI_017C_Bit12(1, s);
  r017C.set_AI_017C_Bit13(1, s);
}

void tTavikAITimingControllerPrimitive::programNeutralTrigger(tStatus2* s) {
  auto& trigger = _map->AI_Trigger_Select;
  trigger.set_AI_Trigger_Select_Bits4_0(0, s);
  trigger.set_AI_Trigger_Select_Bit15(0, s);
  trigger.set_AI_Trigger_Select_Bit5(1, s);
  trigger.set_AI_Trigger_Select_Bit6(1, s);
  trigger.set_AI_Trigger_Select_Bits11_7(
      nTavik::encodeAI_Trigger_SelectBits11_7(flag(programmed().configuration.routing.words[20])),
      s);
  trigger.set_AI_Trigger_Select_Bit14(0, s);
  trigger.set_AI_START2_Edge(1, s);
  trigger.set_AI_Trigger_Select_Bit13(1, s);
}

void tTavikAITimingControllerPrimitive::programMode3(tStatus2* s) {
  const tAITimingConfig& timing = programmed().configuration.timing;
  const int32_t* w = programmed().configuration.routing.words;
  auto& mode1 = _map->AI_Mode_1;
  auto& mode2 = _map->AI_Mode_2;
  auto& trigger = _map->AI_Trigger_Select;
  if (timing.acquisitionType == kContinuousAcquisition) {
    _runKind = kContinuous;
    mode1.set_AI_Trigger_Once(0, s);
  } else if (timing.acquisitionType == kFiniteAcquisition) {
    _runKind = timing.secondCount != 0 ? kFiniteSecondTrigger : kFinite;
    mode1.set_AI_Trigger_Once(timing.retriggerable == 0 ? 1 : 0, s);
  }
  mode1.set_AI_Mode_1_Bits10_6(nTavik::encodeAI_Mode_1Bits10_6(flag(w[11])), s);
  mode1.set_AI_Mode_1_Bit4(flag(w[12]), s);
  trigger.set_AI_Trigger_Select_Bits4_0(nTavik::encodeAI_Trigger_SelectBits4_0(flag(w[16])), s);
  trigger.set_AI_Trigger_Select_Bit15(flag(w[17]), s);
  trigger.set_AI_Trigger_Select_Bit5(flag(w[18]), s);
  trigger.set_AI_Trigger_Select_Bit6(flag(w[19]), s);
  if (_runKind == kFinite) {
    mode2.set_AI_Counter_C_Load_Select(nTavik::kFirstLoadRegister, s);
    mode2.set_AI_Counter_C_Mode(0, s);
  } else if (_runKind == kFiniteSecondTrigger) {
    trigger.set_AI_Trigger_Select_Bits11_7(nTavik::encodeAI_Trigger_SelectBits11_7(flag(w[20])), s);
    trigger.set_AI_Trigger_Select_Bit14(flag(w[21]), s);
    trigger.set_AI_START2_Edge(flag(w[22]), s);
    trigger.set_AI_Trigger_Select_Bit13(flag(w[23]), s);
    _map->Write_0128.setRegister(timing.secondCount - 1, s);
    mode2.set_AI_Counter_C_Load_Select(nTavik::kSecondLoadRegister, s);
    mode2.set_AI_Counter_C_Mode(1, s);
  }
  if (_runKind != kContinuous) _map->Write_0124.setRegister(timing.firstCount - 1, s);
  _map->AI_Mode_3.set_AI_Mode_3_Bit9(timing.mode3Bit9, s);
  _map->AI_Mode_3.set_AI_Mode_3_Bit10(timing.mode3Bit10, s);
}

template <class tHandlerType>
void tTavikAITimingControllerPrimitive::install(bool wanted, uint32_t source, tHandlerType& handler,
                                                uint32_t& installed, tStatus2& status) {
  if (!wanted || installed != 0 || status.isFatal()) return;
  if (_dispatcher->installHandlers(source, &handler, &handler, status)) installed = 1;
}

void tTavikAITimingControllerPrimitive::uninstall(uint32_t source, uint32_t& installed,
                                                  tStatus2& status) {
  if (installed == 0) return;
  _dispatcher->removeHandlers(source, &status);
  installed = 0;
}

tTavikAITimingControllerPrimitive::~tTavikAITimingControllerPrimitive() {
  tStatus2 local;
  // An arm that no disarm followed leaves the board first; its scheduler
  // action, which may be gone, hears nothing.
  if (_armHeld.exchange(false)) {
    endRun();
    switchArmOff(local);
  }
  uninstall(kSampleStartSource, _sampleStartInstalled, local);
  uninstall(kSampleEndSource, _sampleEndInstalled, local);
  uninstall(kRecordEndSource, _recordEndInstalled, local);
}

// A commit after one that holds handlers, a timed loop or a listener installs
// and registers only what it finds missing; its failure takes out only the
// handlers and the loop it put in and leaves the rest as the commit before
// left it. A failure of a commit that found nothing held uncommits.
void tTavikAITimingControllerPrimitive::commit(tStatus2& status) {
  if (status.isFatal()) return;
  // An arm that no disarm followed is disarmed first, with its report: the
  // commit reloads the counters and rewrites the modes and the trigger
  // select that the armed engine runs on.
  if (_armHeld.load()) onFreshStatus(status, [&](tStatus2& s) { disarm(s); });
  takeRunMode(_fields.program());
  _runCommitted = true;
  const uint32_t handlersHeld = installedHandlers();
  const uint32_t loopHeld = _timedLoopEvent;
  const bool held = handlersHeld != 0 || loopHeld != 0 || hasListener();
  const tAITimingConfig& timing = programmed().configuration.timing;
  const int32_t* w = programmed().configuration.routing.words;
  tStatus2* s = &status;
  _map->AI_Personal.set_AI_Personal_Bit6(nTavik::encodeAI_PersonalBit6(flag(timing.personalFlag)),
                                         s);
  programModes1And2(s);
  if (timing.timingMode == 3) {
    programMode3(s);
  } else {
    _map->AI_Mode_1.set_AI_Mode_1_Bits10_6(
        w[2] == 0 ? nTavik::encodeAI_Mode_1Bits10_6(flag(w[11])) : kFixedConvertSelect, s);
    _map->AI_Mode_1.set_AI_Mode_1_Bit4(0, s);
    programNeutralTrigger(s);
    _map->AI_Mode_3.set_AI_Mode_3_Bit9(0, s);
    _map->AI_Mode_3.set_AI_Mode_3_Bit10(0, s);
  }
  _map->AI_Mode_2.set_AI_Mode_2_Bit12(nTavik::encodeAITimingBit12(flag(timing.mode2Bit12Select)),
                                      s);
  _map->AI_Mode_1.set_AI_Counter_A_Enable((timing.counterAEnable & 1) != 0, s);
  writeTimingRegisters(status);
  _map->flushBus(s);
  registerTimedLoop(status);
  install(wantsSampleStart(), kSampleStartSource, _sampleStartHandler, _sampleStartInstalled,
          status);
  install(wantsSampleEnd(), kSampleEndSource, _sampleEndHandler, _sampleEndInstalled, status);
  install(wantsRecordEnd(), kRecordEndSource, _recordEndHandler, _recordEndInstalled, status);
  registerListener(status);
  _idle = 1;
  if (status.isFatal()) {
    tStatus2 fresh;
    if (!held) {
      uncommit(fresh);
      return;
    }
    if ((handlersHeld & 1) == 0) uninstall(kSampleStartSource, _sampleStartInstalled, fresh);
    if ((handlersHeld & 2) == 0) uninstall(kSampleEndSource, _sampleEndInstalled, fresh);
    if ((handlersHeld & 4) == 0) uninstall(kRecordEndSource, _recordEndInstalled, fresh);
    if (loopHeld == 0) unregisterTimedLoop(fresh);
  }
  _state.setCommitted();
}

void tTavikAITimingControllerPrimitive::writeTimingRegisters(tStatus2& status) {
  if (status.isFatal()) return;
  const tAITimingConfig& timing = programmed().configuration.timing;
  const int32_t* w = programmed().configuration.routing.words;
  tStatus2* s = &status;
  openBracket(*_map, s);
  _map->AI_Personal.flush(s, 0);
  _map->AI_Mode_1.flush(s, 0);
  _map->AI_Mode_2.flush(s, 0);
  _map->AI_Mode_3.flush(s, 0);
  _map->Write_017C.flush(s, 0);
  _map->AI_Trigger_Select.flush(s, 0);
  if (timing.timingMode >= 2 && w[0] == 0 && timing.counterAEnable != 0)
    _helper->aiConfigureCounterA(timing.counterALoad1 - 1, timing.counterALoad2 - 1,
                                 nTavik::kFirstLoadRegister, kCounterAMode, s);
  if (timing.timingMode == 3) {
    if (w[3] == 0)
      _helper->aiConfigureCounterB(
          timing.counterBLoad1 - 1, timing.counterBLoad2 - 1, nTavik::kFirstLoadRegister,
          timing.acquisitionType == kFiniteAcquisition ? kCounterBFiniteMode : 0, s);
    _map->Write_0124.flush(s, 0);
    _map->Write_0128.flush(s, 0);
    _map->AI_Command_1.write_AI_Counter_C_Load(true, s, 0);
  }
  if (timing.strobeLoadValue > 1)
    _helper->aiLoadAndStrobe(static_cast<uint16_t>(timing.strobeLoadValue - 1), s);
  _map->AI_Mode_1.write_AI_Continuous(_runKind == kContinuous, s, 0);
  _map->AI_Mode_2.write_AI_Second_Trigger(_runKind == kFiniteSecondTrigger, s, 0);
  closeBracket(*_map, s);
}

void tTavikAITimingControllerPrimitive::rewriteRegisters(tStatus2& status) {
  if (_idle == 0) writeTimingRegisters(status);
}

// Handlers come out when installed, also when the lists no longer call for
// them, so no slot keeps a handler of a primitive that is gone.
// Each step on a status of its own (the removals merge theirs already).
void tTavikAITimingControllerPrimitive::uncommit(tStatus2& status) {
  if (status.isFatal()) return;
  // An arm that no disarm followed is disarmed first (a commit since leaves
  // its sources on), so no source stays enabled without its handler.
  if (_armHeld.load()) onFreshStatus(status, [&](tStatus2& s) { disarm(s); });
  uninstall(kSampleStartSource, _sampleStartInstalled, status);
  uninstall(kSampleEndSource, _sampleEndInstalled, status);
  uninstall(kRecordEndSource, _recordEndInstalled, status);
  onFreshStatus(status, [&](tStatus2& s) { unregisterTimedLoop(s); });
  onFreshStatus(status, [&](tStatus2& fresh) {
    tStatus2* s = &fresh;
    _map->AI_Personal.set_AI_Personal_Bit6(0, s);
    _map->AI_Mode_1.set_AI_Mode_1_Bits15_11(0, s);
    _map->AI_Mode_1.set_AI_Mode_1_Bit5(0, s);
    programNeutralSelects(s);
    _map->AI_Mode_3.set_AI_Mode_3_Bit11(0, s);
    programNeutralTrigger(s);
    _map->AI_Mode_2.set_AI_Mode_2_Bit12(0, s);
    openBracket(*_map, s);
    _map->AI_Mode_1.flush(s, 0);
    _map->AI_Mode_3.flush(s, 0);
    _map->Write_017C.flush(s, 0);
    _map->AI_Trigger_Select.flush(s, 0);
    closeBracket(*_map, s);
  });
  onFreshStatus(status, [&](tStatus2& s) { _map->flushBus(&s); });
  unregisterListener();
  _state.setUncommitted();
  _runCommitted = false;
}

void tTavikAITimingControllerPrimitive::takeRunMode(const tAITimingFields& record) {
  _runMode = record.configuration.timing.timingMode;
}

// Run control -----------------------------------------------------------------

void tTavikAITimingControllerPrimitive::switchSource(
    void (tTavikInterruptDispatcher::*enable)(tStatus2&), tStatus2& status) {
  tTavikInterruptDispatcher::tAtomicStatusRefDispatcher binder(_dispatcher, enable, status);
  binder.exec();
}

void tTavikAITimingControllerPrimitive::switchSourceOff(
    void (tTavikInterruptDispatcher::*disable)(tStatus2*), tStatus2& status) {
  tTavikInterruptDispatcher::tAtomicStatusPtrDispatcher binder(_dispatcher, disable);
  binder.exec(&status);
}

void tTavikAITimingControllerPrimitive::arm(tStatus2& status) {
  if (status.isFatal()) return;
  // An arm still held is disarmed first, with its report (and a run it
  // holds stopped): each arm is answered once.
  onFreshStatus(status, [&](tStatus2& s) { tTavikAITimingControllerPrimitive::disarm(s); });
  // By the commit's record: the arm runs the engine its commit programmed.
  if (!_runCommitted) takeRunMode(_fields.program());
  const tAITimingConfig& timing = programmed().configuration.timing;
  tStatus2* s = &status;
  _schedulerAction.call([&](nQoMAS100::iSchedulerAction& action) { action.armed(status); });
  _armTriggerSet = timing.timingMode == 2 ? 1 : 0;
  // A source goes on only while the commit's handler is in its slot: one
  // without stays off and unrecorded, so nothing is left on that no handler
  // would acknowledge.
  const uint32_t sampleStarts = _sampleStartInstalled != 0 ? enabledAtArmCount() : 0;
  const uint32_t sampleEnds = _sampleEndInstalled != 0 ? sampleEndCount() : 0;
  _recordEndEnabled = wantsRecordEnd() && _recordEndInstalled != 0 ? 1 : 0;
  if (_armTriggerSet != 0) {
    _map->AI_Trigger_Select.set_AI_Trigger_Select_Bits4_0(kMode2ArmTrigger, s);
    _map->AI_Trigger_Select.set_AI_Trigger_Select_Bit15(1, s);
    _map->AI_Trigger_Select.set_AI_Trigger_Select_Bit5(0, s);
    _map->AI_Trigger_Select.set_AI_Trigger_Select_Bit6(0, s);
  }
  const bool counterA = timing.counterAEnable == 1;
  const bool external = programmed().sampleClockKind == tAIRoutingConfig::kExternalSampleClock;
  bool gateA = false, gateB = false;
  if (timing.timingMode == 2 || timing.timingMode == 3) gateA = counterA && external;
  if (timing.timingMode == 3 && external)
    gateB = timing.acquisitionType == kContinuousAcquisition ? timing.counterAEnable == 0 : true;
  _map->AI_Mode_2.set_AI_Mode_2_Bit14(gateA, s);
  _map->AI_Mode_2.set_AI_Mode_2_Bit15(gateB, s);
  if (sampleStarts != 0) _sampleStartEnabled = 1;
  for (uint32_t n = sampleStarts; n > 0; --n)
    switchSource(&tTavikInterruptDispatcher::enableGroupAInterruptBit3, status);
  if (sampleEnds != 0) _sampleEndEnabled = 1;
  for (uint32_t n = sampleEnds; n > 0; --n)
    switchSource(&tTavikInterruptDispatcher::enableGroupAInterruptBit4, status);
  if (_recordEndEnabled != 0)
    switchSource(&tTavikInterruptDispatcher::enableGroupAInterruptBit0, status);
  _idle = 0;
  resetRecordEnd(status);
  _recordEndOwed.set(1);
  _runs.begin();
  _armHeld = true;
  _state.setArmed();
  if (counterA)
    tAtomicArmOp<true>(_map, s).run();
  else
    tAtomicArmOp<false>(_map, s).run();
  _map->flushBus(s);
  if (status.isFatal()) {
    tStatus2 fresh;
    disarm(fresh);
  }
}

void tTavikAITimingControllerPrimitive::start(tStatus2& status) {
  if (status.isFatal()) return;
  resetRecordEnd(status);
  _recordEndOwed.set(1);
  if (const tStartCommand command = startCommandFor(_runMode.load())) (_helper->*command)(&status);
  // A run is the start of an armed engine.
  if (status.isNotFatal() && _armHeld.load()) _runHeld = true;
}

void tTavikAITimingControllerPrimitive::runRecordEndAtomically(tStatus2& status) {
  tAtomicHandleRecordEndOp operation(&_recordEndHandler, &status);
  _bus->runAtomically(&operation, &status.code);
}

void tTavikAITimingControllerPrimitive::stop(tStatus2& status) {
  if (status.isFatal()) return;
  const bool run = _runHeld.exchange(false);
  // Below mode 3 there is no record end to wait for: a stop that answers 0
  // still leaves no run converting, so a run the start began is hammer
  // stopped.
  if (_runMode != 3) {
    if (run) hammerStop(status);
    return;
  }
  // A read's start meanwhile leaves this run's record end to this stop; the
  // last stop to leave clears it, events and passes, for the next set.
  nQoUdR100::tResetGate::tHold hold(_recordEndGate, [&] { clearRecordEnd(status); });
  // Owed first, then served: a record-end pass clears the first only after
  // it has marked the second.
  const bool owed = _recordEndOwed.get() != 0;
  if (_recordEndGuard.get() != 0) {
    _idle = 1;
  } else if (!owed) {
    // No arm or start since the record end a stop before reported: a stop
    // run twice reports nothing and waits for nothing. A read's start that
    // came under that stop (whose record end it reported) may have set the
    // engine converting again: that run is hammer stopped, as below mode 3.
    if (run) hammerStop(status);
    return;
  } else {
    hammerStop(status);
    if (_runKind != kContinuous && programmed().configuration.timing.quietStop == 0 &&
        status.code == 0)
      nQoUdR100::setCode(status, nQoUdR100::kStoppedEarly, kStoppedEarly);
    runRecordEndAtomically(status);
  }
  waitForRecordEnd(status);
}

void tTavikAITimingControllerPrimitive::hammerStop(tStatus2& status) {
  tAtomicHammerStopOp(_map, &status).run();
  _map->flushBus(&status);
}

// Each step on a status of its own: a failed stop still switches the
// sources off and closes the gate. The sources and the mode-2 trigger
// select go as arm set them (or the lists call for them), whatever a
// configuration or an observer change did since.
void tTavikAITimingControllerPrimitive::disarm(tStatus2& status) {
  // Only an arm that no disarm followed: a second disarm touches nothing and
  // sends its scheduler action no second report.
  if (status.isFatal() || !_armHeld.load()) return;
  // A run that no stop ended is stopped first, while armed, so its record
  // end reaches the observers; its answer is the stop's, not the disarm's.
  if (_runHeld.load()) {
    tStatus2 stopped;
    tTavikAITimingControllerPrimitive::stop(stopped);
  }
  _armHeld = false;
  // The hammer stop ends a run that a read started meanwhile, too.
  _runHeld = false;
  // No pass of the arm's run notifies after this, nor while the sources go.
  endRun();
  switchArmOff(status);
  onFreshStatus(status, [&](tStatus2& s) {
    _schedulerAction.call([&](nQoMAS100::iSchedulerAction& action) { action.disarmed(s); });
  });
  // Back to committed from the arm; an uncommit since keeps its state.
  if (_state.isArmed()) _state.setCommitted();
}

void tTavikAITimingControllerPrimitive::switchArmOff(tStatus2& status) {
  onFreshStatus(status, [&](tStatus2& s) { tTavikAITimingControllerPrimitive::hammerStop(s); });
  if (_recordEndEnabled != 0)
    onFreshStatus(status, [&](tStatus2& s) {
      switchSourceOff(&tTavikInterruptDispatcher::disableGroupAInterruptBit0, s);
    });
  _recordEndEnabled = 0;
  if (wantsSampleEnd() || _sampleEndEnabled != 0)
    onFreshStatus(status, [&](tStatus2& s) {
      switchSourceOff(&tTavikInterruptDispatcher::disableGroupAInterruptBit4, s);
    });
  _sampleEndEnabled = 0;
  if (anyEnabledAtArm() || _sampleStartEnabled != 0)
    onFreshStatus(status, [&](tStatus2& s) {
      switchSourceOff(&tTavikInterruptDispatcher::disableGroupAInterruptBit3, s);
    });
  _sampleStartEnabled = 0;
  onFreshStatus(status,
                [&](tStatus2& s) { tTavikAITimingControllerPrimitive::convertGating(1, &s); });
  if (_armTriggerSet != 0) {
    _armTriggerSet = 0;
    onFreshStatus(status, [&](tStatus2& fresh) {
      tStatus2* s = &fresh;
      _map->AI_Trigger_Select.set_AI_Trigger_Select_Bits4_0(0, s);
      _map->AI_Trigger_Select.set_AI_Trigger_Select_Bit15(0, s);
      _map->AI_Trigger_Select.set_AI_Trigger_Select_Bit5(0, s);
      _map->AI_Trigger_Select.set_AI_Trigger_Select_Bit6(0, s);
      openBracket(*_map, s);
      _map->AI_Trigger_Select.flush(s, 0);
      closeBracket(*_map, s);
    });
  }
  onFreshStatus(status, [&](tStatus2& s) { _map->flushBus(&s); });
}

// As at arm: only while the commit's handler is in the source's slot, and
// only while the arm's record holds, which the disarm clears before it
// switches the source off.
void tTavikAITimingControllerPrimitive::enableSampleStartInterrupt(tStatus2& status) {
  if (!wantsSampleStart() || _sampleStartInstalled == 0) return;
  _sampleStartEnabled = 1;
  tTavikInterruptDispatcher::tAtomicWhileArmedDispatcher(
      _dispatcher, &tTavikInterruptDispatcher::enableGroupAInterruptBit3, _armHeld, status)
      .exec();
}

}  // namespace nQoUdP100
