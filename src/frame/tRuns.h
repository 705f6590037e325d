// The runs of a primitive, numbered, and the reads and writes under way in
// them, counted. What a first pass, wake, drain, worker or polling thread
// began in one run acts on that run alone: it takes the live run's number
// where it begins and acts through actOn, which looks at the number again
// under the lock of the step it leads to, where the steps that begin and end
// runs write it. A read or write of the board that depends on its run being
// live looks through access, which counts it from before that look until
// after its port access; a stop, reset or start that changes what it reads
// waits for the accesses under way once it has ended the run.
//
//   _runs.begin();                                         // an arm or start, under the lock
//   const uint32_t run = _runs.live();                     // a first pass (0: no run)
//   _runs.actOn(run, underTheLock, [&] { wake(); });       // the step it leads to
//   _runs.access(run, [&] { word = port.read(); });        // a read of its run
//   _runs.end(); _runs.waitForAccesses(); reset();         // a stop
//
// One atomic word holds the number (never 0) and whether the run ended, so a
// look is one load and a run's own end claims it once (endIfLive). An
// access pays one atomic add and one subtract; only a waiter waits.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tPassCount.h"

namespace nQoUdR100 {

class tRuns {
  // An access's afterLook, unless a test gives one.
  struct tNothing {
    void operator()() const {}
  };

 public:
  tRuns() = default;
  tRuns(const tRuns&) = delete;
  tRuns& operator=(const tRuns&) = delete;

  // The step that begins a run, under the lock that its passes' steps
  // take: a new number, live; answers it. A run it overtakes ends with it.
  uint32_t begin() {
    const uint32_t number = after(_word.load());
    _word.store(number << 1);
    return number;
  }
  // The step that ends the live run (a stop, a disarm, the run's own end),
  // under the same lock. Its accesses under way are waited for apart, by
  // waitForAccesses, outside any lock they take.
  void end() { _word.fetch_or(kEnded); }
  // A stop whose reads may wait for the next run, under the same lock: ends
  // the live run or, with none live, the one they wait for (liveOrNext), so
  // that no read given before the stop takes a run begun after it.
  void endLiveOrNext() {
    const uint32_t word = _word.load();
    _word.store((word & kEnded) != 0 ? after(word) << 1 | kEnded : word | kEnded);
  }
  // The run's own end, claimed once: ends run and answers true only while it
  // is the live run.
  bool endIfLive(uint32_t run) {
    uint32_t live = run << 1;
    return run != 0 && _word.compare_exchange_strong(live, live | kEnded);
  }
  // The live run's number, for a first pass to carry; 0 when none is live.
  uint32_t live() const {
    const uint32_t word = _word.load();
    return (word & kEnded) != 0 ? 0 : word >> 1;
  }
  bool isLive(uint32_t run) const { return run != 0 && _word.load() == run << 1; }
  // The run that a read or wait given now belongs to: the live one, or, when
  // none is live, the one that the next begin numbers (it waits for that run,
  // and a run begun after it is not its own).
  uint32_t liveOrNext() const {
    const uint32_t word = _word.load();
    return (word & kEnded) != 0 ? after(word) : word >> 1;
  }

  // The step that a pass of run leads to: step() runs inside underLock (a
  // callable that runs what it is given under the step's lock) only while
  // run is still the live run there. Answers whether it ran.
  template <class tUnderLock, class tStep>
  bool actOn(uint32_t run, tUnderLock underLock, tStep step) {
    bool acted = false;
    underLock([&] {
      if (!isLive(run)) return;
      step();
      acted = true;
    });
    return acted;
  }

  // A read or write of run: runs portAccess() counted, only while run is
  // live at the look inside the count. Answers whether it ran. afterLook
  // runs right after the look (a test stops the run there; nothing else).
  template <class tPortAccess, class tAfterLook = tNothing>
  bool access(uint32_t run, tPortAccess portAccess, tAfterLook afterLook = {}) {
    const tPassCount::tInside inside(_accesses);
    if (!looksLive(run, afterLook)) return false;
    portAccess();
    return true;
  }
  // Returns once the accesses under way at the call have left; an access
  // that begins after it finds the run ended or another. Never with a lock
  // that an access takes, nor at interrupt level.
  void waitForAccesses() { _accesses.waitForPasses(); }

 private:
  template <class tAfterLook>
  bool looksLive(uint32_t run, tAfterLook afterLook) const {
    const bool live = isLive(run);
    afterLook();
    return live;
  }

  static constexpr uint32_t kEnded = 1;
  static constexpr uint32_t kLargest = 0x7FFF'FFFF;
  // The number after the one word holds (never 0).
  static uint32_t after(uint32_t word) {
    const uint32_t number = (word >> 1) + 1;
    return number > kLargest ? 1 : number;
  }
  // Number << 1, and bit 0 set once the run ended; 0 before the first run.
  std::atomic<uint32_t> _word{kEnded};
  tPassCount _accesses;
};

}  // namespace nQoUdR100
