// The counter interrupt dispatcher of the counters inside the Tavik chip. It
// hooks one handler per counter into the board interrupt dispatcher's counter
// slots (slot k is board source 29 + k; slots 0 and 1 serve counter 0, slots 2
// and 3 counter 1) and switches the counters' interrupts through the board
// dispatcher's own operations, each as a bus atomic run, because the board's
// interrupt routine writes the same enable registers; the counter's enabled
// flag, which the routine reads, changes inside the same run, so that an
// enable and a disable beside it leave the flag and the source agreeing.
//
//   tTavikCtrInterruptDispatcher dispatcher(holder.dispatcher(), &owner, &helper, status);
//   dispatcher.setPrimaryTap(0, &tap);
//   dispatcher.enablePrimary(0, status);   // bit 6 of 0x192, atomically
//
// A failed hook leaves no handler in a board slot; the status carries the
// board dispatcher's code.
#pragma once

#include <cstdint>

#include "counters/iTIOCtrInterruptTap.h"
#include "counters/tTIOCtrHelper.h"
#include "counters/tTIOCtrInterruptDispatcher.h"
#include "mdbg/tStatus2.h"
#include "reservation/iInterruptHandler.h"
#include "reservation/iSecondaryInterruptHandler.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace nQoUdR100 {

class tTavikCtrInterruptDispatcher : public nQoTIO100::tTIOCtrInterruptDispatcher {
 public:
  static constexpr uint32_t kSlotCount = 4;

  // The board's handler of one counter: the primary pass serves the counter,
  // the secondary pass runs the counter dispatcher's second pass.
  class tCtrInterruptHandler : public nQoMRTB100::iInterruptHandler,
                               public nQoMRTB100::iSecondaryInterruptHandler {
   public:
    tCtrInterruptHandler(uint32_t counter, tTavikCtrInterruptDispatcher* owner)
        : _counter(counter), _owner(owner) {}
    tAnswer handleInterrupt() override;
    uint32_t handleSecondaryInterrupt() override { return _owner->resolveSecondaryInterrupts(); }

   private:
    uint32_t _counter;
    tTavikCtrInterruptDispatcher* _owner;
  };

  // Hooks the handlers into slots 0 to 3 in turn (attach, then both handler
  // arrays), stopping at the first error.
  tTavikCtrInterruptDispatcher(nQoUdRLP100::tTavikInterruptDispatcher* board,
                               nQoTIO100::iTIOCtrInterruptTap* owner,
                               nQoTIO100::tTIOCtrHelper* helper, nQoMDBG100::tStatus2& status);
  // Switches off the counters' interrupts that its enables left on, then
  // clears every slot that holds one of its handlers and detaches for it.
  ~tTavikCtrInterruptDispatcher() override;

  void enablePrimary(uint32_t counter, nQoMDBG100::tStatus2& status) override;
  void enableSecondary(uint32_t counter, nQoMDBG100::tStatus2& status) override;
  void disablePrimary(uint32_t counter, nQoMDBG100::tStatus2& status) override;
  void disableSecondary(uint32_t counter, nQoMDBG100::tStatus2& status) override;

 private:
  using tBoard = nQoUdRLP100::tTavikInterruptDispatcher;

  // The board's counter operations.
  using tEnableOperation = void (tBoard::*)(nQoMDBG100::tStatus2&);
  using tDisableOperation = void (tBoard::*)(nQoMDBG100::tStatus2*);

  class tAtomicSwitch;

  void hook(nQoMDBG100::tStatus2& status);
  // The board's operation and the kind's enabled flag (switched off, its
  // second-pass request too) in one bus atomic run; a disable then waits for
  // the board's passes under way. At task level only.
  void enable(tKind kind, tEnableOperation operation, nQoMDBG100::tStatus2& status);
  void disable(tKind kind, tDisableOperation operation, nQoMDBG100::tStatus2& status);

  tBoard* _board;
  tCtrInterruptHandler _handlers[2];
};

}  // namespace nQoUdR100
