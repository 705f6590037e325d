// Keeps a reset from clearing what a waiter is owed. A waiter holds the gate
// from before it looks at what it waits for until it is done with it; a reset
// runs only while no waiter holds the gate, and the last waiter to leave runs
// it as it leaves, before any other reset or waiter comes, so a reset refused
// while the gate was held is not lost. A waiter that comes while a reset is
// under way begins once that reset has ended, so it sees the reset whole or
// not at all. The reset pays one compare-exchange and one subtract; only a
// waiter that meets a reset under way waits, for that reset alone.
//
//   { tResetGate::tHold hold(_gate, reset); if (!handled()) handle(); wait(); }   // a stop
//   _gate.resetUnlessHeld(reset);                                                 // a start
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

  // Runs reset() unless a waiter holds the gate (the last to leave runs it)
  // or another reset is under way (which clears the same); answers whether
  // it ran.
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

  // One waiter, from construction to destruction; the last to leave runs
  // reset() as a reset under way.
  template <typename tReset>
  class tHold {
   public:
    tHold(tResetGate& gate, tReset reset) : _gate(gate), _reset(reset) {
      _gate._word.fetch_add(kHolder, std::memory_order_seq_cst);
      while ((_gate._word.load(std::memory_order_acquire) & kResetting) != 0)
        nQoKAL100_yieldThread();
    }
    // The last waiter turns its hold into the reset under way in one step,
    // so no reset or waiter comes between. No reset is under way while a
    // waiter holds the gate, so the others only count themselves out.
    ~tHold() {
      uint32_t word = _gate._word.load(std::memory_order_relaxed);
      uint32_t next = 0;
      do {
        next = word == kHolder ? kResetting : word - kHolder;
      } while (!_gate._word.compare_exchange_weak(word, next, std::memory_order_acq_rel));
      if (next != kResetting) return;
      _reset();
      _gate._word.fetch_sub(kResetting, std::memory_order_release);
    }
    tHold(const tHold&) = delete;
    tHold& operator=(const tHold&) = delete;

   private:
    tResetGate& _gate;
    tReset _reset;
  };

 private:
  // Bit 0: a reset under way; above it, the count of waiters.
  enum : uint32_t { kResetting = 1, kHolder = 2 };
  std::atomic<uint32_t> _word{0};
};

}  // namespace nQoUdR100
