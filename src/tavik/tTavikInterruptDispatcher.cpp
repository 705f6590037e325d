#include "tavik/tTavikInterruptDispatcher.h"

#include <bit>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "registers/registerStatus.h"
#include "tavik/tTavikInterruptDispatcherBinders.h"

namespace nQoUdRLP100 {

namespace {

using tAnswer = nQoMRTB100::iInterruptHandler::tAnswer;
using enum nQoMRTB100::iInterruptHandler::tAnswer;

constexpr const char kFile[] = "tTavikInterruptDispatcher";
constexpr unsigned kAttachLine = 65;
constexpr unsigned kDetachLine = 71;

constexpr bool bit(uint32_t value, unsigned position) { return ((value >> position) & 1) != 0; }

// The bits of a group's answer, the OR of what its sources' answers add.
constexpr unsigned kWantsSecondaryBit = 0;  // an answer kHandledWantsSecondary
constexpr unsigned kHandledBit = 1;         // any other answer but kNothingPending

constexpr uint32_t contribution(tAnswer answer) {
  return answer == kNothingPending          ? 0
         : answer == kHandledWantsSecondary ? 1u << kWantsSecondaryBit
                                            : 1u << kHandledBit;
}

// Two handlers of a pair: kHandledWantsSecondary if one answered it, else
// kHandled if one answered anything else.
constexpr tAnswer pairAnswer(tAnswer first, tAnswer second) {
  if (first == kHandledWantsSecondary || second == kHandledWantsSecondary)
    return kHandledWantsSecondary;
  return (first | second) != kNothingPending ? kHandled : kNothingPending;
}

// Source 0 is pending while bit 14 or 13 of the group A status is set or
// bit 12 is clear.
constexpr bool source0Condition(uint32_t status) {
  return bit(status, 14) || bit(status, 13) || !bit(status, 12);
}

}  // namespace

enum class tCondition : uint8_t {
  kStatusBit,         // the row's bit of the group status
  kAOFifo,            // bit 1 and not (bits 14 and 13 set and bit 12 clear)
  kJointStatus2Bit2,  // bit 2 of tJoint_Status_2, refreshed
};

struct tTavikStatusSource {
  uint8_t source;
  tCondition condition;
  uint8_t statusBit;
  uint8_t enableBit;
  uint16_t ack;               // 0: none
  uint16_t ackWhenBit3Clear;  // written after ack when enable bit 3 is clear
};

struct tTavikCDIOPair {
  uint8_t first;
  uint8_t firstBit;
  tEnabledFlag firstFlag;
  uint8_t second;
  uint8_t secondBit;
  tEnabledFlag secondFlag;
  tEnabledFlag gate;
  uint32_t ack;
};

namespace {

using enum tCondition;

// clang-format off
constexpr tTavikStatusSource kGroupASources[] = {
    {3, kStatusBit, 6, 0, 0x0100, 0},
    {4, kStatusBit, 7, 1, 0x0200, 0},
    {5, kStatusBit, 8, 2, 0x0400, 0},
    {6, kStatusBit, 5, 3, 0x0800, 0},
    {7, kStatusBit, 4, 4, 0x1000, 0x0800},
};
constexpr tTavikStatusSource kCounter0Primary{30, kStatusBit, 3, 6, 0x4000, 0};

constexpr tTavikStatusSource kGroupBSources[] = {
    { 8, kStatusBit,        7, 0, 0x0100, 0},
    {14, kStatusBit,        9, 5, 0x2000, 0},
    { 9, kAOFifo,           1, 8, 0,      0},
    {15, kStatusBit,        8, 1, 0x0200, 0},
    {16, kStatusBit,       10, 3, 0x0800, 0},
    {17, kJointStatus2Bit2, 2, 4, 0x1000, 0},
    {18, kStatusBit,        6, 6, 0x0080, 0},
    {20, kStatusBit,        5, 2, 0x0400, 0},
};
constexpr tTavikStatusSource kCounter1Primary{32, kStatusBit, 3, 9, 0x4000, 0};

constexpr tTavikCDIOPair kCDIOPairs[] = {
    {25, 4,  kSource25Enabled, 26, 3,  kSource26Enabled, kGate25And26, 0x4000},
    {22, 20, kSource22Enabled, 23, 19, kSource23Enabled, kGate22And23, 0x8000},
};
struct tCDIOSingle {
  uint8_t source;
  uint8_t statusBit;
  tEnabledFlag flag;
};
constexpr tCDIOSingle kCDIOSingles[] = {
    {21, 18, kSource21Enabled},
    {24, 2,  kSource24Enabled},
    {27, 0,  kSource27Enabled},
};
// clang-format on

constexpr uint32_t kCDIODisableCommands[] = {0x2000, 0x200, 0x800, 0x80, 0x20000};

}  // namespace

tTavikInterruptDispatcher::tTavikInterruptDispatcher(nTavik::tTavik* map, uint32_t irq,
                                                     nQoMDBG100::tStatus2* status)
    : _bus(map->space().bus()),
      _control(map->Write_0176),
      _enableA(map->Interrupt_A_Enable),
      _ackA(map->Interrupt_A_Ack),
      _enableB(map->Interrupt_B_Enable),
      _ackB(map->Interrupt_B_Ack),
      _statusA(map->Read_0104),
      _statusB(map->Read_0106),
      _jointStatus2(map->Joint_Status_2),
      _thirdEnable(map->Write_0088),
      _thirdStatus(map->Read_0088),
      _cdioCommand(map->CDIO_Command),
      _cdioStatus(map->Read_0224),
      _serialEnable(map->Write_00A0),
      _serialStatus(map->Read_00A1),
      _counter0(map->Write_01B8),
      _counter1(map->Write_01BA),
      _counter0Status(map->Read_01B8),
      _counter1Status(map->Read_01BA),
      _changeEnable(map->Strobe_0248),
      _changeDisable(map->Strobe_024C),
      _changeAck1(map->Strobe_0250),
      _changeStatus1(map->Read_0240),
      _changeStatus2(map->Read_0244),
      _changeAck2(map->Strobe_0254),
      _irq(irq),
      _primaryResolver(this),
      _secondaryResolver(this) {
  iSync::tParam param;
  param.kind = 1;
  _lock = syncOpen(param, codeOf(status));
  for (uint32_t command : kCDIODisableCommands) _cdioCommand.writeRegister(command, status);
}

// A registration cannot outlive the dispatcher (the bus would call into freed
// memory): when the lock refuses here, where no attach or detach can run any
// more, the forced detach runs without it.
tTavikInterruptDispatcher::~tTavikInterruptDispatcher() {
  if (!detachInterrupt(nullptr, true) && _handle != 0) detachLocked(nullptr, true);
  if (_lock != nullptr) syncClose(_lock);
}

uint32_t tTavikInterruptDispatcher::isSource0Enabled() { return bit(_enableA.getRegister(), 7); }

uint32_t tTavikInterruptDispatcher::isSources1And2Enabled() {
  return bit(_enableA.getRegister(), 5);
}

void tTavikInterruptDispatcher::acknowledgeSources1And2(nQoMDBG100::tStatus2* status) {
  _ackA.writeRegister(0x2000, status);
}

uint32_t tTavikInterruptDispatcher::isSource0Asserted(nQoMDBG100::tStatus2* status) {
  if (failed(status)) return 0;
  return source0Condition(_statusA.refresh(status));
}

uint32_t tTavikInterruptDispatcher::isSource1Asserted(nQoMDBG100::tStatus2* status) {
  if (failed(status)) return 0;
  return bit(_statusA.refresh(status), 10);
}

uint32_t tTavikInterruptDispatcher::isSource17Asserted(nQoMDBG100::tStatus2* status) {
  if (failed(status)) return 0;
  return bit(_jointStatus2.refresh(status), 2);
}

// Master enables ---------------------------------------------------------------

namespace {
template <class tRegister>
void changeBit(tRegister& target, unsigned position, bool set, nQoMDBG100::tStatus2* status) {
  using tValue = typename tRegister::tValue;
  const tValue mask = static_cast<tValue>(1u << position);
  const tValue soft = target.getRegister();
  target.setRegister(static_cast<tValue>(set ? soft | mask : soft & ~mask), status);
  target.flush(status, 0);
}
}  // namespace

void tTavikInterruptDispatcher::enableBoardInterrupt(nQoMDBG100::tStatus2* status) {
  changeBit(_control, 11, true, status);
  changeBit(_control, 15, true, status);
  changeBit(_thirdEnable, 0, true, status);
}

void tTavikInterruptDispatcher::disableBoardInterrupt(nQoMDBG100::tStatus2* status) {
  changeBit(_control, 11, false, status);
  changeBit(_control, 15, false, status);
  changeBit(_thirdEnable, 0, false, status);
}

// Attach and detach ------------------------------------------------------------

bool tTavikInterruptDispatcher::acquireLock(nQoMDBG100::tStatus2* status, unsigned line) {
  int code = 0;
  if (_lock != nullptr && _lock->waitOrAcquire(iSync::kWaitForever, &code) == 1) return true;
  nQoUdR100::setCode(status, code < 0 ? code : nQoUdR100::kRefused, {kFile, line});
  return false;
}

void tTavikInterruptDispatcher::runAtomically(iBusAtomicOperation* operation,
                                              nQoMDBG100::tStatus2* status) {
  _bus->runAtomically(operation, codeOf(status));
}

bool tTavikInterruptDispatcher::attachInterrupt(nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || !acquireLock(&status, kAttachLine)) return false;
  bool registered = false;
  if (_handle == 0) {
    _handle = _bus->registerInterrupt(kAnyProcessor, _irq, &_primaryResolver, &_secondaryResolver,
                                      &status.code);
    registered = _handle != 0;
    if (registered) {
      tAtomicStatusPtrDispatcher enable(this, &tTavikInterruptDispatcher::enableBoardInterrupt);
      enable.exec(&status);
    }
  }
  _lock->releaseOrSet(nullptr);
  return registered;
}

bool tTavikInterruptDispatcher::detachInterrupt(nQoMDBG100::tStatus2* status, bool force) {
  _passes.waitForPasses();
  nQoMDBG100::tStatus2 refused;
  if (!acquireLock(&refused, kDetachLine)) {
    if (status != nullptr) status->assign(refused);
    return false;
  }
  const bool detached = detachLocked(status, force);
  _lock->releaseOrSet(nullptr);
  return detached;
}

bool tTavikInterruptDispatcher::detachLocked(nQoMDBG100::tStatus2* status, bool force) {
  bool slotsEmpty = true;
  for (const auto& handler : primaryHandlers) slotsEmpty = slotsEmpty && handler == nullptr;
  if (_handle == 0 || !(slotsEmpty || force)) return false;
  nQoMDBG100::tStatus2 fresh;
  tAtomicStatusPtrDispatcher disable(this, &tTavikInterruptDispatcher::disableBoardInterrupt);
  disable.exec(&fresh);
  if (status != nullptr) status->assign(fresh);
  fresh.clear();
  _bus->unregisterInterrupt(&_handle, &fresh.code);
  if (status != nullptr) status->assign(fresh);
  _handle = 0;
  return true;
}

bool tTavikInterruptDispatcher::installHandlers(uint32_t source,
                                                nQoMRTB100::iInterruptHandler* primary,
                                                nQoMRTB100::iSecondaryInterruptHandler* secondary,
                                                nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return false;
  primaryHandlers[source] = primary;
  secondaryHandlers[source] = secondary;
  attachInterrupt(status);
  if (status.isNotFatal()) return true;
  nQoMDBG100::tStatus2 undo;
  removeHandlers(source, &undo);
  return false;
}

void tTavikInterruptDispatcher::removeHandlers(uint32_t source, nQoMDBG100::tStatus2* status) {
  primaryHandlers[source] = nullptr;
  secondaryHandlers[source] = nullptr;
  detachInterrupt(status, false);
}

// Enables and disables ---------------------------------------------------------

void tTavikInterruptDispatcher::enableSource(tSourceSwitchId id, nQoMDBG100::tStatus2& status,
                                             uint32_t mask) {
  if (status.isFatal()) return;
  const tSwitchAction& action = kSourceSwitches[id].enable;
  setFlags(action.flags, 1);
  apply(action, mask, &status);
}

void tTavikInterruptDispatcher::disableSource(tSourceSwitchId id, nQoMDBG100::tStatus2* status) {
  if (failed(status)) return;
  const tSourceSwitch& row = kSourceSwitches[id];
  apply(row.disable, 0, status);
  setFlags(row.disable.flags, 0);
  _secondaryRequests &= ~(uint64_t{1} << row.source);
}

void tTavikInterruptDispatcher::apply(const tSwitchAction& action, uint32_t mask,
                                      nQoMDBG100::tStatus2* status) {
  for (const tBitChange& step : action.changes) {
    if (step.target == tSwitchRegister::kNone) break;
    change(step, status);
  }
  switch (action.command) {
    case tSwitchCommand::kNone: break;
    case tSwitchCommand::kCDIO: _cdioCommand.writeRegister(action.value, status); break;
    case tSwitchCommand::kChangeDetectionEnable: _changeEnable.writeRegister(mask, status); break;
    case tSwitchCommand::kChangeDetectionDisable:
      _changeDisable.writeRegister(action.value, status);
      break;
  }
}

void tTavikInterruptDispatcher::change(const tBitChange& step, nQoMDBG100::tStatus2* status) {
  switch (step.target) {
    case tSwitchRegister::kNone: break;
    case tSwitchRegister::kEnableA: changeBit(_enableA, step.bit, step.set, status); break;
    case tSwitchRegister::kEnableB: changeBit(_enableB, step.bit, step.set, status); break;
    case tSwitchRegister::kAOSerialEnable:
      changeBit(_serialEnable, step.bit, step.set, status);
      break;
    case tSwitchRegister::kCounter0: changeBit(_counter0, step.bit, step.set, status); break;
    case tSwitchRegister::kCounter1: changeBit(_counter1, step.bit, step.set, status); break;
  }
}

uint32_t tTavikInterruptDispatcher::softCopy(tSwitchRegister which) const {
  switch (which) {
    case tSwitchRegister::kNone: break;
    case tSwitchRegister::kEnableA: return _enableA.getRegister();
    case tSwitchRegister::kEnableB: return _enableB.getRegister();
    case tSwitchRegister::kAOSerialEnable: return _serialEnable.getRegister();
    case tSwitchRegister::kCounter0: return _counter0.getRegister();
    case tSwitchRegister::kCounter1: return _counter1.getRegister();
  }
  return 0;
}

uint32_t tTavikInterruptDispatcher::enableSoftCopy(tSwitchRegister which) {
  class tRead final : public iBusAtomicOperation {
   public:
    tRead(const tTavikInterruptDispatcher& dispatcher, tSwitchRegister which)
        : _dispatcher(dispatcher), _which(which) {}
    int32_t operateAtomically() override {
      value = _dispatcher.softCopy(_which);
      return 0;
    }
    uint32_t value = 0xFFFFFFFF;  // what a run that failed leaves

   private:
    const tTavikInterruptDispatcher& _dispatcher;
    const tSwitchRegister _which;
  } read(*this, which);
  int code = 0;
  _bus->runAtomically(&read, &code);
  return read.value;
}

void tTavikInterruptDispatcher::setFlags(uint32_t flags, uint32_t value) {
  // Only the set bits: a switch names one or two flags of the many.
  for (uint32_t left = flags; left != 0; left &= left - 1) {
    const auto which = static_cast<uint32_t>(std::countr_zero(left));
    if (which < kEnabledFlagCount) _enabled[which] = value;
  }
}

// The service routines ---------------------------------------------------------

tAnswer tTavikInterruptDispatcher::callSource(uint32_t source) {
  nQoMRTB100::iInterruptHandler* handler = primaryHandlers[source].load();
  if (handler == nullptr) return kNothingPending;
  const tAnswer answer = handler->handleInterrupt();
  const uint64_t request = uint64_t{1} << source;
  if (answer == kHandledWantsSecondary)
    _secondaryRequests |= request;
  else
    _secondaryRequests &= ~request;
  return answer;
}

tAnswer tTavikInterruptDispatcher::callPair(uint32_t first, bool firstDue, uint32_t second,
                                            bool secondDue) {
  const tAnswer firstAnswer = firstDue ? callSource(first) : kNothingPending;
  const tAnswer secondAnswer = secondDue ? callSource(second) : kNothingPending;
  return pairAnswer(firstAnswer, secondAnswer);
}

bool tTavikInterruptDispatcher::holds(const tTavikStatusSource& row, uint32_t status) {
  switch (row.condition) {
    case tCondition::kStatusBit: return bit(status, row.statusBit);
    case tCondition::kAOFifo:
      return bit(status, 1) && !(bit(status, 14) && bit(status, 13) && !bit(status, 12));
    case tCondition::kJointStatus2Bit2: return bit(_jointStatus2.refresh(nullptr), 2);
  }
  return false;
}

template <class tEnable, class tAck>
uint32_t tTavikInterruptDispatcher::serveSource(const tTavikStatusSource& row, uint32_t status,
                                                tEnable& enable, tAck& ack) {
  if (!bit(enable.getRegister(), row.enableBit) || !holds(row, status)) return 0;
  const tAnswer answer = callSource(row.source);
  if (answer != kNothingPending && row.ack != 0) {
    ack.writeRegister(row.ack, nullptr);
    if (row.ackWhenBit3Clear != 0 && !bit(_enableA.getRegister(), 3))
      ack.writeRegister(row.ackWhenBit3Clear, nullptr);
  }
  return contribution(answer);
}

// A counter's secondary interrupts: enabled by bits 0 and 2 of its interrupt
// register, pending in bit 15 of its read side.
template <class tCounter, class tPending, class tAck>
uint32_t tTavikInterruptDispatcher::serveCounter(uint32_t source, tCounter& counter,
                                                 tPending& pending, tAck& ack) {
  if ((counter.getRegister() & 0x5) != 0x5 || !bit(pending.refresh(nullptr), 15)) return 0;
  const tAnswer answer = callSource(source);
  if (answer != kNothingPending) ack.writeRegister(0x8000, nullptr);
  return contribution(answer);
}

uint32_t tTavikInterruptDispatcher::resolveSources1And2Interrupt(uint32_t statusBit10,
                                                                 uint32_t statusBit11) {
  if (!bit(_enableA.getRegister(), 5)) return 0;
  const tAnswer answer = callPair(1, statusBit10 != 0 && _enabled[kSource1Enabled] != 0, 2,
                                  statusBit11 != 0 && _enabled[kSource2Enabled] != 0);
  if (answer != kNothingPending) _ackA.writeRegister(0x2000, nullptr);
  return contribution(answer);
}

uint32_t tTavikInterruptDispatcher::resolveSource0Interrupt(uint32_t condition) {
  if (!bit(_enableA.getRegister(), 7) || condition == 0) return 0;
  return contribution(callSource(0));
}

uint32_t tTavikInterruptDispatcher::resolveGroupAInterrupt() {
  if (!bit(_control.getRegister(), 11)) return 0;
  const uint32_t status = _statusA.refresh(nullptr);
  if (!bit(status, 15)) return 0;
  uint32_t answer = resolveSources1And2Interrupt(bit(status, 10), bit(status, 11));
  answer |= resolveSource0Interrupt(source0Condition(status));
  for (const tTavikStatusSource& row : kGroupASources)
    answer |= serveSource(row, status, _enableA, _ackA);
  answer |= serveCounter(29, _counter0, _counter0Status, _ackA);
  answer |= serveSource(kCounter0Primary, status, _enableA, _ackA);
  return answer;
}

uint32_t tTavikInterruptDispatcher::resolveGroupBInterrupt() {
  if (!bit(_control.getRegister(), 15)) return 0;
  const uint32_t status = _statusB.refresh(nullptr);
  if (!bit(status, 15)) return 0;
  uint32_t answer = 0;
  for (const tTavikStatusSource& row : kGroupBSources)
    answer |= serveSource(row, status, _enableB, _ackB);
  answer |= serveCounter(31, _counter1, _counter1Status, _ackB);
  answer |= serveSource(kCounter1Primary, status, _enableB, _ackB);
  return answer;
}

uint32_t tTavikInterruptDispatcher::serveCDIOPair(const tTavikCDIOPair& pair, uint32_t status) {
  if (_enabled[pair.gate] == 0) return 0;
  const tAnswer answer =
      callPair(pair.first, bit(status, pair.firstBit) && _enabled[pair.firstFlag] != 0, pair.second,
               bit(status, pair.secondBit) && _enabled[pair.secondFlag] != 0);
  if (answer != kNothingPending) _cdioCommand.writeRegister(pair.ack, nullptr);
  return contribution(answer);
}

uint32_t tTavikInterruptDispatcher::resolveThirdGroup() {
  if (!bit(_thirdEnable.getRegister(), 0) || !bit(_thirdStatus.refresh(nullptr), 0)) return 0;
  uint32_t answer = 0;
  const uint32_t cdio = _cdioStatus.refresh(nullptr);
  if (cdio != 0) {
    for (const tTavikCDIOPair& pair : kCDIOPairs) answer |= serveCDIOPair(pair, cdio);
    for (const tCDIOSingle& single : kCDIOSingles)
      if (bit(cdio, single.statusBit) && _enabled[single.flag] != 0)
        answer |= contribution(callSource(single.source));
  }
  const uint32_t serial = _serialStatus.refresh(nullptr);
  if (serial != 0) {
    for (unsigned line = 0; line < 4; ++line)
      if (bit(_serialEnable.getRegister(), line) && bit(serial, line))
        answer |= contribution(callSource(10 + line));
  }
  return answer;
}

uint32_t tTavikInterruptDispatcher::resolveChangeDetection() {
  if (_changeStatus1.refresh(nullptr) == 0 && _changeStatus2.refresh(nullptr) == 0) return 0;
  if (_enabled[kSource28Enabled] == 0) return 0;
  const tAnswer answer = callSource(28);
  if (answer != kNothingPending) {
    _changeAck1.writeRegister(0xFFFFFFFF, nullptr);
    if (_changeStatus2.refresh(nullptr) != 0) _changeAck2.writeRegister(0xFFFFFFFF, nullptr);
  }
  return contribution(answer);
}

tTavikInterruptDispatcher::tBusAnswer tTavikInterruptDispatcher::resolvePrimaryInterrupt() {
  const nQoUdR100::tPassCount::tInside inside(_passes);
  uint32_t all = resolveGroupAInterrupt();
  all |= resolveGroupBInterrupt();
  all |= resolveThirdGroup();
  all |= resolveChangeDetection();
  if (bit(all, kWantsSecondaryBit)) return kServedWantsSecondary;
  return bit(all, kHandledBit) ? kServed : kNotThisBoard;
}

// Counted before it takes the requests: a remover that disables a source
// and then waits for the passes under way either cleared the request before
// this snapshot or waits for this pass to leave.
uint32_t tTavikInterruptDispatcher::resolveSecondaryInterrupt() {
  const nQoUdR100::tPassCount::tInside inside(_passes);
  uint64_t pending = 0;
  tAtomicPendingSnapshotDispatcher snapshot(this, pending);
  snapshot.exec();
  // The requesting sources in ascending order.
  for (; pending != 0; pending &= pending - 1) {
    const auto source = static_cast<uint32_t>(std::countr_zero(pending));
    if (auto* handler = secondaryHandlers[source].load()) handler->handleSecondaryInterrupt();
  }
  return 1;
}

}  // namespace nQoUdRLP100
