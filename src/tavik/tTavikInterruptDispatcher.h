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
// handlers. Handlers answer an iInterruptHandler::tAnswer, the primary routine
// answers the bus a tBusAnswer. Every change to what the primary routine reads
// (enable soft copies, enabled flags, request flags, master enables) runs as a
// bus atomic operation through the binders (tTavikInterruptDispatcherBinders.h).
// Both passes read the slots without a lock; detachInterrupt, which every
// removal of a handler ends with, first waits for the passes under way on
// other threads to leave, so a handler taken out may be freed once it returns.
#pragma once

#include <atomic>
#include <cstdint>

#include "bus/iBus.h"
#include "bus/iBusInterruptResolver.h"
#include "frame/tModuleObject.h"
#include "frame/tPassCount.h"
#include "mdbg/tStatus2.h"
#include "reservation/iInterruptHandler.h"
#include "reservation/iSecondaryInterruptHandler.h"
#include "sync/iSync.h"
#include "tavik/tTavik.h"
#include "tavik/tavikSourceSwitches.h"

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

  // What the primary routine answers the bus (another encoding than the
  // handlers' answers).
  enum tBusAnswer : uint32_t {
    kNotThisBoard = 0,
    kServedWantsSecondary = 1,
    kServed = 2,
  };

  class tAtomicStatusRefDispatcher;
  class tAtomicStatusPtrDispatcher;
  template <class tRecord>
  class tAtomicWhileArmedDispatcher;
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
  // The enables and disables of sources 0 and 1 (the V rows of
  // QO_TAVIK_SOURCE_SWITCHES): enableGroupAInterruptBit7,
  // enableGroupAInterruptBit5Source1, then the two disables.
#define QO_TAVIK_VIRTUAL_ENABLE(name, id) \
  virtual void enable##name(nQoMDBG100::tStatus2& status) { enableSource(id, status); }
#define QO_TAVIK_VIRTUAL_DISABLE(name, id) \
  virtual void disable##name(nQoMDBG100::tStatus2* status) { disableSource(id, status); }
#define QO_TAVIK_NO_SWITCH(name, id)
  QO_TAVIK_SOURCE_SWITCHES(QO_TAVIK_VIRTUAL_ENABLE, QO_TAVIK_NO_SWITCH, QO_TAVIK_NO_SWITCH)
  QO_TAVIK_SOURCE_SWITCHES(QO_TAVIK_VIRTUAL_DISABLE, QO_TAVIK_NO_SWITCH, QO_TAVIK_NO_SWITCH)
#undef QO_TAVIK_VIRTUAL_ENABLE
#undef QO_TAVIK_VIRTUAL_DISABLE
  // Bits 11 and 15 of 0x176, then bit 0 of 0x88, each written when changed.
  virtual void enableBoardInterrupt(nQoMDBG100::tStatus2* status);
  virtual void disableBoardInterrupt(nQoMDBG100::tStatus2* status);
  // Group resolvers: the OR of their sources' contributions (0 for
  // kNothingPending, 1 for kHandledWantsSecondary, 2 for any other answer).
  virtual uint32_t resolveSources1And2Interrupt(uint32_t statusBit10, uint32_t statusBit11);
  virtual uint32_t resolveSource0Interrupt(uint32_t condition);
  virtual uint32_t resolveGroupAInterrupt();
  uint32_t resolveGroupBInterrupt();

  uint32_t isSource17Asserted(nQoMDBG100::tStatus2* status);

  // True only when this call obtained a registration; with an error already
  // held it does nothing. A lock that refuses answers false with its code (or
  // kRefused) in the status.
  bool attachInterrupt(nQoMDBG100::tStatus2& status);
  // True when this call unregistered: every primary slot empty, or forced.
  // Waits first for the passes under way on other threads (never call it with
  // the bus lock held). Runs on fresh statuses merged into the caller's, so an
  // error held does not keep the registration alive; a lock that refuses
  // answers false with its code (or kRefused) merged into the status.
  bool detachInterrupt(nQoMDBG100::tStatus2* status, bool force);

  // A primitive's handlers of one source: fill the source's two slots, then
  // attach, so that a detach of another source between the two cannot
  // unregister the dispatcher under them. False with slots untouched when the
  // status holds an error; false when the attach failed (a lock that refused,
  // a registration or enable that failed: the code is in the status), the
  // slots then taken back out as removeHandlers does. removeHandlers empties
  // both slots, then detaches.
  bool installHandlers(uint32_t source, nQoMRTB100::iInterruptHandler* primary,
                       nQoMRTB100::iSecondaryInterruptHandler* secondary,
                       nQoMDBG100::tStatus2& status);
  void removeHandlers(uint32_t source, nQoMDBG100::tStatus2* status);

  // Returns once the passes under way on other threads have left: for a
  // primitive that takes out what its handlers read (not a slot).
  void waitForPasses() { _passes.waitForPasses(); }

  // Interrupt level; the bus takes the answer.
  tBusAnswer resolvePrimaryInterrupt();
  // Answers 1.
  uint32_t resolveSecondaryInterrupt();

  // Enables (nothing when the status holds an error) and disables (nothing
  // when a given status holds an error; past that they always clear their
  // flags and the source's secondary request), by switch or by name. Run them
  // atomically. The mask is the change-detection enable's.
  void enableSource(tSourceSwitchId id, nQoMDBG100::tStatus2& status, uint32_t mask = 0);
  void disableSource(tSourceSwitchId id, nQoMDBG100::tStatus2* status);
  // enable<name> and disable<name> of every other row of
  // QO_TAVIK_SOURCE_SWITCHES, in list order: enableGroupAInterruptBit5 ...
  // enableCDIOSource7, enableChangeDetectionInterrupt(mask, status), then
  // disableGroupAInterruptBit5 ... disableChangeDetectionInterrupt(status).
#define QO_TAVIK_ENABLE(name, id) \
  void enable##name(nQoMDBG100::tStatus2& status) { enableSource(id, status); }
#define QO_TAVIK_MASKED_ENABLE(name, id) \
  void enable##name(uint32_t mask, nQoMDBG100::tStatus2& status) { enableSource(id, status, mask); }
#define QO_TAVIK_DISABLE(name, id) \
  void disable##name(nQoMDBG100::tStatus2* status) { disableSource(id, status); }
  QO_TAVIK_SOURCE_SWITCHES(QO_TAVIK_NO_SWITCH, QO_TAVIK_ENABLE, QO_TAVIK_MASKED_ENABLE)
  QO_TAVIK_SOURCE_SWITCHES(QO_TAVIK_NO_SWITCH, QO_TAVIK_DISABLE, QO_TAVIK_DISABLE)
#undef QO_TAVIK_ENABLE
#undef QO_TAVIK_MASKED_ENABLE
#undef QO_TAVIK_DISABLE
#undef QO_TAVIK_NO_SWITCH

  // The soft copy of one enable register (0 for kNone) as the passes and the
  // switches leave it, read in a bus atomic run, the lock they write it
  // under: for a reader outside a pass. A run that failed answers every bit
  // set, so that a reader switching its sources off leaves none on.
  uint32_t enableSoftCopy(tSwitchRegister which);

  uint32_t secondaryRequest(uint32_t source) const {
    return static_cast<uint32_t>((_secondaryRequests >> source) & 1);
  }
  uint32_t enabledFlag(tEnabledFlag which) const { return _enabled[which]; }
  iBus* bus() const { return _bus; }

  // Handler slots, by source; null when none. Primitives fill them through
  // installHandlers and empty them through removeHandlers (or before
  // detachInterrupt).
  std::atomic<nQoMRTB100::iInterruptHandler*> primaryHandlers[kSourceCount] = {};
  std::atomic<nQoMRTB100::iSecondaryInterruptHandler*> secondaryHandlers[kSourceCount] = {};

 private:
  // The resolver that the bus calls for each pass.
  template <auto kPass>
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
  uint32_t softCopy(tSwitchRegister which) const;
  void setFlags(uint32_t flags, uint32_t value);
  void runAtomically(iBusAtomicOperation* operation, nQoMDBG100::tStatus2* status);
  // Takes the attach lock; a lock that refused (or was never opened) sets
  // its code, or kRefused, at the line.
  bool acquireLock(nQoMDBG100::tStatus2* status, unsigned line);
  // Detach step 2, with the lock held (or, from the destructor, refused).
  bool detachLocked(nQoMDBG100::tStatus2* status, bool force);

  using tAnswer = nQoMRTB100::iInterruptHandler::tAnswer;

  // The handler's answer (kNothingPending for an empty slot, which keeps its
  // request flag).
  tAnswer callSource(uint32_t source);
  tAnswer callPair(uint32_t first, bool firstDue, uint32_t second, bool secondDue);
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

  // One bit per source that asked for the secondary pass (bit n: source n),
  // so that the secondary pass visits only those.
  uint64_t _secondaryRequests = 0;
  static_assert(kSourceCount <= 64);
  uint32_t _enabled[kEnabledFlagCount] = {};
  uint32_t _irq;
  tPrimaryInterruptResolver _primaryResolver;
  tSecondaryInterruptResolver _secondaryResolver;
  uint64_t _handle = 0;
  iSync* _lock = nullptr;
  // The primary and secondary passes under way.
  nQoUdR100::tPassCount _passes;
};

}  // namespace nQoUdRLP100
