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
// The pass pays one atomic add and one subtract; only the remover waits.
// Entries the pass reads are atomics loaded in sequential order
// (std::memory_order_seq_cst), so a pass that starts after the store does not
// see the entry, and one that started before is counted.
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
    explicit tInside(tPassCount& count) : _count(count), _outer(gInnermost) {
      _count._inside.fetch_add(1, std::memory_order_seq_cst);
      gInnermost = this;
    }
    ~tInside() {
      gInnermost = _outer;
      _count._inside.fetch_sub(1, std::memory_order_release);
    }
    tInside(const tInside&) = delete;
    tInside& operator=(const tInside&) = delete;

   private:
    friend class tPassCount;
    tPassCount& _count;
    tInside* _outer;
  };

  // Returns once no pass of another thread that was under way at the call is
  // still inside. Never call it with a lock that such a pass takes.
  void waitForPasses() const {
    const uint32_t own = ownPasses();
    while (_inside.load(std::memory_order_seq_cst) > own) nQoKAL100_yieldThread();
  }

  // True while this thread is inside a pass of this count.
  bool insidePass() const { return ownPasses() != 0; }

 private:
  uint32_t ownPasses() const {
    uint32_t own = 0;
    for (const tInside* inside = gInnermost; inside != nullptr; inside = inside->_outer)
      if (&inside->_count == this) ++own;
    return own;
  }

  // The innermost pass of the calling thread; each links to the one it runs in.
  static inline constinit thread_local tInside* gInnermost = nullptr;
  std::atomic<uint32_t> _inside{0};
};

}  // namespace nQoUdR100
