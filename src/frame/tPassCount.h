// How many calls are under way through a list, slot or pointer that another
// thread reads without a lock: an interrupt pass, a deferred pass, a polling
// thread. The pass holds a tPassCount::tInside for as long as it may call
// through what it read; a remover first takes the entry out (a store the pass
// reads), then waits for the passes under way to leave. A remover on a thread
// that is itself inside a pass of this count does not wait for that pass:
// a handler may take itself out.
//
//   { tPassCount::tInside inside(_passes); if (auto* h = _slot.load()) h->handle(); }
//   _slot.store(nullptr); _passes.waitForPasses();   // now the handler may go
//
// Passes are counted in one of two phases. A remover waits for the phase that
// new passes do not enter, switches them over, and waits for the other: so it
// waits only for the passes under way at its call, however busy the count,
// and never for one that began after it. The pass pays one atomic add and one
// subtract (and a read of the phase); only the remover waits. Entries the
// pass reads are atomics loaded in sequential order (std::memory_order_seq_cst),
// so a pass counted after the remover looked does not see the entry, and one
// counted before is waited for. The pass's exit releases what it did inside,
// and the remover's look acquires it.
#pragma once

#include <atomic>
#include <cstdint>

#include "kal/nQoKAL.h"

namespace nQoUdR100 {

class tPassCount {
 public:
  tPassCount() = default;
  tPassCount(const tPassCount&) = delete;
  tPassCount& operator=(const tPassCount&) = delete;

  // One pass, from construction to destruction.
  class tInside {
   public:
    explicit tInside(tPassCount& count)
        : _count(count), _phase(count._phase.load(std::memory_order_seq_cst)), _outer(gInnermost) {
      _count._inside[_phase].fetch_add(1, std::memory_order_seq_cst);
      gInnermost = this;
    }
    ~tInside() {
      gInnermost = _outer;
      _count._inside[_phase].fetch_sub(1, std::memory_order_release);
    }
    tInside(const tInside&) = delete;
    tInside& operator=(const tInside&) = delete;

   private:
    friend class tPassCount;
    tPassCount& _count;
    const uint32_t _phase;
    tInside* _outer;
  };

  // Returns once no pass of another thread that was under way at the call is
  // still inside. Removers take turns switching the phase. A remover that is
  // itself inside a pass goes first: one that is not gives up its turn while
  // such a remover waits (its wait may be waiting for that remover's pass)
  // and starts again after it. Never call it with a lock that such a pass
  // takes.
  void waitForPasses() {
    if (insidePass()) {
      _passRemovers.fetch_add(1, std::memory_order_seq_cst);
      takeTurn();
      _passRemovers.fetch_sub(1, std::memory_order_seq_cst);
      switchPhase(false);
      _turn.store(false, std::memory_order_release);
      return;
    }
    for (;;) {
      while (_passRemovers.load(std::memory_order_seq_cst) != 0) nQoKAL100_yieldThread();
      takeTurn();
      const bool done = switchPhase(true);
      _turn.store(false, std::memory_order_release);
      if (done) return;
    }
  }

  // True while this thread is inside a pass of this count.
  bool insidePass() const { return ownPasses(0) + ownPasses(1) != 0; }

 private:
  void takeTurn() {
    while (_turn.exchange(true, std::memory_order_acquire)) nQoKAL100_yieldThread();
  }

  // Waits for the phase that new passes do not enter, switches them over and
  // waits for the other. False when it gave up for a remover inside a pass.
  bool switchPhase(bool yieldToPassRemovers) {
    const uint32_t current = _phase.load(std::memory_order_seq_cst);
    // Passes that began before the last switch may still be in the other phase.
    if (!drain(current ^ 1u, yieldToPassRemovers)) return false;
    _phase.store(current ^ 1u, std::memory_order_seq_cst);
    return drain(current, yieldToPassRemovers);
  }

  bool drain(uint32_t phase, bool yieldToPassRemovers) const {
    const uint32_t own = ownPasses(phase);
    while (_inside[phase].load(std::memory_order_seq_cst) > own) {
      if (yieldToPassRemovers && _passRemovers.load(std::memory_order_seq_cst) != 0) return false;
      nQoKAL100_yieldThread();
    }
    return true;
  }

  uint32_t ownPasses(uint32_t phase) const {
    uint32_t own = 0;
    for (const tInside* inside = gInnermost; inside != nullptr; inside = inside->_outer)
      if (&inside->_count == this && inside->_phase == phase) ++own;
    return own;
  }

  // The innermost pass of the calling thread; each links to the one it runs in.
  static inline constinit thread_local tInside* gInnermost = nullptr;
  std::atomic<uint32_t> _phase{0};
  std::atomic<uint32_t> _inside[2]{};
  std::atomic<uint32_t> _passRemovers{0};  // removers inside a pass, waiting for a turn
  std::atomic<bool> _turn{false};
};

}  // namespace nQoUdR100
