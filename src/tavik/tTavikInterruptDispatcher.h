// The board interrupt of a Tavik chip: 33 sources over the chip's status
// registers, each served by the handler its primitive stores in the source's
// slot. The first attach registers the dispatcher with the bus and switches
// the three group master enables on; the detach that finds every slot empty
// (or is forced) switches them off and unregisters.
//
//   tTavikInterruptDispatcher dispatcher(&map, 1, &status);
//   if (dispatcher.attachInterrupt(status)) ...;             // registered now
//   dispatcher.primaryHandlers[3] = &handler;                // then enable,
//   dispatcher.secondaryHandlers[3] = &handler;              // atomically:
//   tTavikInterruptDispatcher::tAtomicStatusRefDispatcher enable(
//       &dispatcher, &tTavikInterruptDispatcher::enableGroupAInterruptBit0, status);
//   enable.exec();
//
// The primary routine (bus, interrupt level) calls the handler of every
// pending, enabled source whose slot holds one, writes the acknowledges and
// remembers which sources asked for a secondary pass; the secondary routine
// takes those requests in one atomic snapshot and calls their secondary
// handlers. Handler answers: 0 nothing, 1 handled, 2 handled and a secondary
// pass wanted. Every change to what the primary routine reads (enable soft
// copies, enabled flags, request flags, master enables) runs as a bus atomic
// operation through the binders (tTavikInterruptDispatcherBinders.h).
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "bus/iBusInterruptResolver.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "tavik/tTavik.h"
#include "tavik/tavikSourceSwitches.h"
#include "reservation/iInterruptHandler.h"
#include "reservation/iSecondaryInterruptHandler.h"
#include "sync/iSync.h"

namespace nQoUdRLP100 {

// Rows of the dispatcher's source tables (tTavikInterruptDispatcher.cpp).
struct tTavikStatusSource;
struct tTavikCDIOPair;

class tTavikInterruptDispatcher : public nQoUdR100::tModuleObject {
 public:
  static constexpr uint32_t kSourceCount = 33;
  // Slot k of the correlated digital I/O dispatcher is source 21 + k; slot k
  // of the counter dispatcher is source 29 + k.
  static constexpr uint32_t kCDIOSourceBase = 21;
  static constexpr uint32_t kCounterSourceBase = 29;
  // The bus registration's affinity: any processor.
  static constexpr uint32_t kAnyProcessor = 0x7FFFFFFF;

  class tAtomicStatusRefDispatcher;
  class tAtomicStatusPtrDispatcher;
  class tAtomicIsAssertedDispatcher;
  class tChangeDetectionAtomicDispatcher;
  class tAtomicPendingSnapshotDispatcher;

  // Keeps the map's bus and registers, opens the attach lock, and writes the
  // disable commands of the correlated digital I/O sources (each only while
  // the status holds no error).
  tTavikInterruptDispatcher(nTavik::tTavik* map, uint32_t irq, nQoMDBG100::tStatus2* status);
  // A forced detach, then the lock is closed.
  virtual ~tTavikInterruptDispatcher();
  tTavikInterruptDispatcher(const tTavikInterruptDispatcher&) = delete;
  tTavikInterruptDispatcher& operator=(const tTavikInterruptDispatcher&) = delete;

  virtual uint32_t isSource0Enabled();
  virtual uint32_t isSources1And2Enabled();
  // Writes 0x2000 to 0x104.
  virtual void acknowledgeSources1And2(nQoMDBG100::tStatus2* status);
  virtual uint32_t isSource0Asserted(nQoMDBG100::tStatus2* status);
  virtual uint32_t isSource1Asserted(nQoMDBG100::tStatus2* status);
  virtual void enableGroupAInterruptBit7(nQoMDBG100::tStatus2& status) {
    enableSource(kSwitchGroupABit7, status);
  }
  virtual void enableGroupAInterruptBit5Source1(nQoMDBG100::tStatus2& status) {
    enableSource(kSwitchGroupABit5Source1, status);
  }
  virtual void disableGroupAInterruptBit7(nQoMDBG100::tStatus2* status) {
    disableSource(kSwitchGroupABit7, status);
  }
  virtual void disableGroupAInterruptBit5Source1(nQoMDBG100::tStatus2* status) {
    disableSource(kSwitchGroupABit5Source1, status);
  }
  // Bits 11 and 15 of 0x176, then bit 0 of 0x88, each written when changed.
  virtual void enableBoardInterrupt(nQoMDBG100::tStatus2* status);
  virtual void disableBoardInterrupt(nQoMDBG100::tStatus2* status);
  // Group resolvers: the OR of their sources' contributions (0 for an answer
  // of 0, 1 for 2, 2 for any other).
  virtual uint32_t resolveSources1And2Interrupt(uint32_t statusBit10, uint32_t statusBit11);
  virtual uint32_t resolveSource0Interrupt(uint32_t condition);
  virtual uint32_t resolveGroupAInterrupt();
  uint32_t resolveGroupBInterrupt();

  uint32_t isSource17Asserted(nQoMDBG100::tStatus2* status);

  // True only when this call obtained a registration; with an error already
  // held it does nothing.
  bool attachInterrupt(nQoMDBG100::tStatus2& status);
  // True when this call unregistered: every primary slot empty, or forced.
  // Runs on fresh statuses merged into the caller's, so an error held does not
  // keep the registration alive.
  bool detachInterrupt(nQoMDBG100::tStatus2* status, bool force);

  // Interrupt level: 0 nothing of this board, 1 handled and a secondary pass
  // wanted, 2 handled.
  uint32_t resolvePrimaryInterrupt();
  // Answers 1.
  uint32_t resolveSecondaryInterrupt();

  // Enables (nothing when the status holds an error) and disables (nothing
  // when a given status holds an error; past that they always clear their
  // flags and the source's secondary request), by switch or by name. Run them
  // atomically. The mask is the change-detection enable's.
  void enableSource(tSourceSwitchId id, nQoMDBG100::tStatus2& status, uint32_t mask = 0);
  void disableSource(tSourceSwitchId id, nQoMDBG100::tStatus2* status);
  void enableGroupAInterruptBit5(nQoMDBG100::tStatus2& s) { enableSource(kSwitchGroupABit5, s); }
  void enableGroupAInterruptBit0(nQoMDBG100::tStatus2& s) { enableSource(kSwitchGroupABit0, s); }
  void enableGroupAInterruptBit1(nQoMDBG100::tStatus2& s) { enableSource(kSwitchGroupABit1, s); }
  void enableGroupAInterruptBit2(nQoMDBG100::tStatus2& s) { enableSource(kSwitchGroupABit2, s); }
  void enableGroupAInterruptBit3(nQoMDBG100::tStatus2& s) { enableSource(kSwitchGroupABit3, s); }
  void enableGroupAInterruptBit4(nQoMDBG100::tStatus2& s) { enableSource(kSwitchGroupABit4, s); }
  void enableCounter0PrimaryInterrupt(nQoMDBG100::tStatus2& s) {
    enableSource(kSwitchCounter0Primary, s);
  }
  void enableGroupBInterruptBit0(nQoMDBG100::tStatus2& s) { enableSource(kSwitchGroupBBit0, s); }
  void enableGroupBInterruptBit1(nQoMDBG100::tStatus2& s) { enableSource(kSwitchGroupBBit1, s); }
  void enableGroupBInterruptBit2(nQoMDBG100::tStatus2& s) { enableSource(kSwitchGroupBBit2, s); }
  void enableGroupBInterruptBit3(nQoMDBG100::tStatus2& s) { enableSource(kSwitchGroupBBit3, s); }
  void enableGroupBInterruptBit4(nQoMDBG100::tStatus2& s) { enableSource(kSwitchGroupBBit4, s); }
  void enableAOErrorInterrupt(nQoMDBG100::tStatus2& s) { enableSource(kSwitchAOError, s); }
  void enableGroupBInterruptBit6(nQoMDBG100::tStatus2& s) { enableSource(kSwitchGroupBBit6, s); }
  void enableGroupBInterruptBit8(nQoMDBG100::tStatus2& s) { enableSource(kSwitchGroupBBit8, s); }
  void enableCounter1PrimaryInterrupt(nQoMDBG100::tStatus2& s) {
    enableSource(kSwitchCounter1Primary, s);
  }
  void enableAOSerialInterruptBit0(nQoMDBG100::tStatus2& s) {
    enableSource(kSwitchAOSerialBit0, s);
  }
  void enableAOSerialInterruptBit1(nQoMDBG100::tStatus2& s) {
    enableSource(kSwitchAOSerialBit1, s);
  }
  void enableAOSerialInterruptBit2(nQoMDBG100::tStatus2& s) {
    enableSource(kSwitchAOSerialBit2, s);
  }
  void enableAOSerialInterruptBit3(nQoMDBG100::tStatus2& s) {
    enableSource(kSwitchAOSerialBit3, s);
  }
  void enableCounter0SecondaryInterrupts(nQoMDBG100::tStatus2& s) {
    enableSource(kSwitchCounter0Secondary, s);
  }
  void enableCounter1SecondaryInterrupts(nQoMDBG100::tStatus2& s) {
    enableSource(kSwitchCounter1Secondary, s);
  }
  void enableCDIOSource0(nQoMDBG100::tStatus2& s) { enableSource(kSwitchCDIOSource0, s); }
  void enableCDIOSource1(nQoMDBG100::tStatus2& s) { enableSource(kSwitchCDIOSource1, s); }
  void enableCDIOSource2(nQoMDBG100::tStatus2& s) { enableSource(kSwitchCDIOSource2, s); }
  void enableCDIOSource4(nQoMDBG100::tStatus2& s) { enableSource(kSwitchCDIOSource4, s); }
  void enableCDIOSource5(nQoMDBG100::tStatus2& s) { enableSource(kSwitchCDIOSource5, s); }
  void enableCDIOSource6(nQoMDBG100::tStatus2& s) { enableSource(kSwitchCDIOSource6, s); }
  void enableCDIOSource7(nQoMDBG100::tStatus2& s) { enableSource(kSwitchCDIOSource7, s); }
  // Writes the mask to 0x248.
  void enableChangeDetectionInterrupt(uint32_t mask, nQoMDBG100::tStatus2& s) {
    enableSource(kSwitchChangeDetection, s, mask);
  }

  void disableGroupAInterruptBit5(nQoMDBG100::tStatus2* s) { disableSource(kSwitchGroupABit5, s); }
  void disableGroupAInterruptBit0(nQoMDBG100::tStatus2* s) { disableSource(kSwitchGroupABit0, s); }
  void disableGroupAInterruptBit1(nQoMDBG100::tStatus2* s) { disableSource(kSwitchGroupABit1, s); }
  void disableGroupAInterruptBit2(nQoMDBG100::tStatus2* s) { disableSource(kSwitchGroupABit2, s); }
  void disableGroupAInterruptBit3(nQoMDBG100::tStatus2* s) { disableSource(kSwitchGroupABit3, s); }
  void disableGroupAInterruptBit4(nQoMDBG100::tStatus2* s) { disableSource(kSwitchGroupABit4, s); }
  void disableCounter0PrimaryInterrupt(nQoMDBG100::tStatus2* s) {
    disableSource(kSwitchCounter0Primary, s);
  }
  void disableGroupBInterruptBit0(nQoMDBG100::tStatus2* s) { disableSource(kSwitchGroupBBit0, s); }
  void disableGroupBInterruptBit1(nQoMDBG100::tStatus2* s) { disableSource(kSwitchGroupBBit1, s); }
  void disableGroupBInterruptBit2(nQoMDBG100::tStatus2* s) { disableSource(kSwitchGroupBBit2, s); }
  void disableGroupBInterruptBit3(nQoMDBG100::tStatus2* s) { disableSource(kSwitchGroupBBit3, s); }
  void disableGroupBInterruptBit4(nQoMDBG100::tStatus2* s) { disableSource(kSwitchGroupBBit4, s); }
  void disableAOErrorInterrupt(nQoMDBG100::tStatus2* s) { disableSource(kSwitchAOError, s); }
  void disableGroupBInterruptBit6(nQoMDBG100::tStatus2* s) { disableSource(kSwitchGroupBBit6, s); }
  void disableGroupBInterruptBit8(nQoMDBG100::tStatus2* s) { disableSource(kSwitchGroupBBit8, s); }
  void disableCounter1PrimaryInterrupt(nQoMDBG100::tStatus2* s) {
    disableSource(kSwitchCounter1Primary, s);
  }
  void disableAOSerialInterruptBit0(nQoMDBG100::tStatus2* s) {
    disableSource(kSwitchAOSerialBit0, s);
  }
  void disableAOSerialInterruptBit1(nQoMDBG100::tStatus2* s) {
    disableSource(kSwitchAOSerialBit1, s);
  }
  void disableAOSerialInterruptBit2(nQoMDBG100::tStatus2* s) {
    disableSource(kSwitchAOSerialBit2, s);
  }
  void disableAOSerialInterruptBit3(nQoMDBG100::tStatus2* s) {
    disableSource(kSwitchAOSerialBit3, s);
  }
  void disableCounter0SecondaryInterrupts(nQoMDBG100::tStatus2* s) {
    disableSource(kSwitchCounter0Secondary, s);
  }
  void disableCounter1SecondaryInterrupts(nQoMDBG100::tStatus2* s) {
    disableSource(kSwitchCounter1Secondary, s);
  }
  void disableCDIOSource0(nQoMDBG100::tStatus2* s) { disableSource(kSwitchCDIOSource0, s); }
  void disableCDIOSource1(nQoMDBG100::tStatus2* s) { disableSource(kSwitchCDIOSource1, s); }
  void disableCDIOSource2(nQoMDBG100::tStatus2* s) { disableSource(kSwitchCDIOSource2, s); }
  void disableCDIOSource4(nQoMDBG100::tStatus2* s) { disableSource(kSwitchCDIOSource4, s); }
  void disableCDIOSource5(nQoMDBG100::tStatus2* s) { disableSource(kSwitchCDIOSource5, s); }
  void disableCDIOSource6(nQoMDBG100::tStatus2* s) { disableSource(kSwitchCDIOSource6, s); }
  void disableCDIOSource7(nQoMDBG100::tStatus2* s) { disableSource(kSwitchCDIOSource7, s); }
  // Writes 0xFFFFFFFF to 0x24C.
  void disableChangeDetectionInterrupt(nQoMDBG100::tStatus2* s) {
    disableSource(kSwitchChangeDetection, s);
  }

  uint32_t secondaryRequest(uint32_t source) const { return _secondaryRequests[source]; }
  uint32_t enabledFlag(tEnabledFlag which) const { return _enabled[which]; }
  iBus* bus() const { return _bus; }

  // Handler slots, by source; null when none. Primitives fill them after
  // attachInterrupt and empty them before detachInterrupt.
  nQoMRTB100::iInterruptHandler* primaryHandlers[kSourceCount] = {};
  nQoMRTB100::iSecondaryInterruptHandler* secondaryHandlers[kSourceCount] = {};

 private:
  // The resolver that the bus calls for each pass.
  template <uint32_t (tTavikInterruptDispatcher::*kPass)()>
  class tResolver final : public iBusInterruptResolver {
   public:
    explicit tResolver(tTavikInterruptDispatcher* dispatcher) : _dispatcher(dispatcher) {}
    uint32_t resolve() override { return (_dispatcher->*kPass)(); }

   private:
    tTavikInterruptDispatcher* _dispatcher;
  };
  using tPrimaryInterruptResolver = tResolver<&tTavikInterruptDispatcher::resolvePrimaryInterrupt>;
  using tSecondaryInterruptResolver =
      tResolver<&tTavikInterruptDispatcher::resolveSecondaryInterrupt>;

  void apply(const tSwitchAction& action, uint32_t mask, nQoMDBG100::tStatus2* status);
  void change(const tBitChange& change, nQoMDBG100::tStatus2* status);
  void setFlags(uint32_t flags, uint32_t value);
  void runAtomically(iBusAtomicOperation* operation, nQoMDBG100::tStatus2* status);
  bool acquireLock();

  // The handler's answer (0 for an empty slot, which keeps its request flag).
  uint32_t callSource(uint32_t source);
  uint32_t callPair(uint32_t first, bool firstDue, uint32_t second, bool secondDue);
  bool holds(const tTavikStatusSource& row, uint32_t status);
  template <class tEnable, class tAck>
  uint32_t serveSource(const tTavikStatusSource& row, uint32_t status, tEnable& enable, tAck& ack);
  template <class tCounter, class tPending, class tAck>
  uint32_t serveCounter(uint32_t source, tCounter& counter, tPending& pending, tAck& ack);
  uint32_t serveCDIOPair(const tTavikCDIOPair& pair, uint32_t status);
  uint32_t resolveThirdGroup();
  uint32_t resolveChangeDetection();

  iBus* _bus;
  nTavik::tTavik::tWrite_0176& _control;
  nTavik::tTavik::tInterrupt_A_Enable& _enableA;
  nTavik::tTavik::tInterrupt_A_Ack& _ackA;
  nTavik::tTavik::tInterrupt_B_Enable& _enableB;
  nTavik::tTavik::tInterrupt_B_Ack& _ackB;
  nTavik::tTavik::tRead_0104& _statusA;
  nTavik::tTavik::tRead_0106& _statusB;
  nTavik::tTavik::tJoint_Status_2& _jointStatus2;
  nTavik::tTavik::tWrite_0088& _thirdEnable;
  nTavik::tTavik::tRead_0088& _thirdStatus;
  nTavik::tTavik::tCDIO_Command& _cdioCommand;
  nTavik::tTavik::tRead_0224& _cdioStatus;
  nTavik::tTavik::tWrite_00A0& _serialEnable;
  nTavik::tTavik::tRead_00A1& _serialStatus;
  nTavik::tTavik::tWrite_01B8& _counter0;
  nTavik::tTavik::tWrite_01BA& _counter1;
  nTavik::tTavik::tRead_01B8& _counter0Status;
  nTavik::tTavik::tRead_01BA& _counter1Status;
  nTavik::tTavik::tStrobe_0248& _changeEnable;
  nTavik::tTavik::tStrobe_024C& _changeDisable;
  nTavik::tTavik::tStrobe_0250& _changeAck1;
  nTavik::tTavik::tRead_0240& _changeStatus1;
  nTavik::tTavik::tRead_0244& _changeStatus2;
  nTavik::tTavik::tStrobe_0254& _changeAck2;

  uint32_t _secondaryRequests[kSourceCount] = {};
  uint32_t _enabled[kEnabledFlagCount] = {};
  uint32_t _irq;
  tPrimaryInterruptResolver _primaryResolver;
  tSecondaryInterruptResolver _secondaryResolver;
  uint64_t _handle = 0;
  iSync* _lock = nullptr;
};

}  // namespace nQoUdRLP100
