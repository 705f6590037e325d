// The time a thread has had to go on since a mark, as the kernel accounts it:
// the time it ran on a processor, and the time it lay blocked on a lock or an
// event (a futex); each time it was put on a processor counts at least a
// round, since a thread that spins gives the processor away at each look. The
// time it was ready but kept off every processor, as a loaded machine keeps a
// starved thread, does not count, nor does a sleep. So a thread that has had a
// bound of it without reaching a point is held up by what it waits for, never
// by the machine's load. Another thread looks.
//
//   const pid_t remover = nQoTest::thisThread();        // on the remover's thread
//   nQoTest::tThreadTime had(remover);                  // on the holder's, from now
//   while (!letGo && had.since() < tHeldCall::kHold) std::this_thread::yield();
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace nQoTest {

// The calling thread, as a tThreadTime names it.
pid_t thisThread();

class tThreadTime {
 public:
  // Marks the thread, from now.
  explicit tThreadTime(pid_t thread);

  // The time the thread has had since the mark. Each call looks again: the
  // time between two looks that both found it blocked counts, but for what
  // it spent ready or on a processor meanwhile. A thread that has ended has
  // had all the time there is.
  std::chrono::nanoseconds since();

  // What a turn on a processor counts at least: a short slice of the
  // scheduler's.
  static constexpr std::chrono::microseconds kRound{500};

 private:
  struct tLook {
    bool gone = false;
    bool blocked = false;
    // Since the thread began: nanoseconds on a processor, nanoseconds ready
    // but off it (each stretch counted once it is back on a processor), and
    // turns on a processor.
    uint64_t ran = 0, kept = 0, rounds = 0;
    std::chrono::steady_clock::time_point at;
  };
  tLook look() const;

  const pid_t _thread;
  tLook _last;
  std::chrono::nanoseconds _had{0};
};

// Waits until done answers true (answers true), or until each of the threads
// that threads() names (the kernel's ids, such as nQoSim::platformThreads:
// the board's workers and polling threads) has had the time of its own since
// the call, or since it first came, (answers done()): each has then gone as
// far as it goes without the test, however long a loaded machine kept it off
// the processor. meanwhile runs between two looks (it may move the test
// clock). A guard of ten seconds of elapsed time keeps a thread that waits
// otherwise than blocked, a host sleep, from hanging the test.
//
//   untilDoneOrHad([&] { return transfer->isDone(); }, nQoSim::platformThreads,
//                  std::chrono::milliseconds(100));
bool untilDoneOrHad(const std::function<bool()>& done,
                    const std::function<std::vector<int>()>& threads, std::chrono::nanoseconds time,
                    const std::function<void()>& meanwhile = {});

// Keeps the calling thread ready but off every processor for about the given
// time of the host's clock, as a loaded machine starves a thread: bound to
// its processor in the idle class, it waits there while another thread spins
// on that processor; then it goes back to its class and processors.
void starve(std::chrono::milliseconds time);

}  // namespace nQoTest
