// Keeps a reset from clearing what a waiter is owed. A waiter holds the gate
// from before it looks at what it waits for until it is done with it; a reset
// runs only while no waiter holds the gate, and a waiter that comes while a
// reset is under way begins once that reset has ended, so it sees the reset
// whole or not at all. The reset pays one compare-exchange and one subtract;
// only a waiter that meets a reset under way waits, for that reset alone.
//
//   { tResetGate::tHold hold(_gate); if (!handled()) handle(); wait(); }   // a stop
//   _gate.resetUnlessHeld([&] { _event->reset(&code); });                 // a start
#pragma once

#include <atomic>
#include <cstdint>

#include "kal/nQoKAL.h"

namespace nQoUdR100 {

class tResetGate {
 public:
  tResetGate() = default;
  tResetGate(const tResetGate&) = delete;
  tResetGate& operator=(const tResetGate&) = delete;

  // Runs reset() unless a waiter holds the gate or another reset is under
  // way (which clears the same); answers whether it ran.
  template <typename tReset>
  bool resetUnlessHeld(tReset reset) {
    uint32_t open = 0;
    if (!_word.compare_exchange_strong(open, kResetting, std::memory_order_acquire)) return false;
    reset();
    _word.fetch_sub(kResetting, std::memory_order_release);
    return true;
  }

  // Whether a waiter holds the gate or waits at it now.
  bool isHeld() const { return _word.load(std::memory_order_acquire) >= kHolder; }

  // One waiter, from construction to destruction.
  class tHold {
   public:
    explicit tHold(tResetGate& gate) : _gate(gate) {
      _gate._word.fetch_add(kHolder, std::memory_order_seq_cst);
      while ((_gate._word.load(std::memory_order_acquire) & kResetting) != 0)
        nQoKAL100_yieldThread();
    }
    ~tHold() { _gate._word.fetch_sub(kHolder, std::memory_order_release); }
    tHold(const tHold&) = delete;
    tHold& operator=(const tHold&) = delete;

   private:
    tResetGate& _gate;
  };

 private:
  // Bit 0: a reset under way; above it, the count of waiters.
  enum : uint32_t { kResetting = 1, kHolder = 2 };
  std::atomic<uint32_t> _word{0};
};

}  // namespace nQoUdR100
