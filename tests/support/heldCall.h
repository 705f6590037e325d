// A call on another thread held at a point while the test takes out what the
// call runs through: the call waits until the test lets it go, or until the
// remover, the thread that waited for the call to come (waitUntilInside), has
// had a bound of its own time since (tThreadTime: the time it ran or lay
// blocked, never the time a loaded machine kept it off the processor). A
// remover that waits for the call to leave cannot hang the test: the call is
// let go by the bound (expired() is then true). A remover that returns while
// the call is still inside lets the test go on and free what the call then
// touches, however long the machine starves the test's thread before the
// remover runs. Where the remover is not to wait, the hold is the long guard.
// A hold that no remover came for ends after the long guard of elapsed time.
//
//   double:  void transferEnded(...) override { held.hold(); }
//   test:    ASSERT_TRUE(held.waitUntilInside());
//            delete transfer;      // must wait for the call
//            held.letGo();
//            EXPECT_TRUE(held.expired());
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "support/threadTime.h"

namespace nQoTest {

class tHeldCall {
 public:
  // The hold where the remover is to wait: far more of the remover's own time
  // than one that does not wait needs to return, and short enough that every
  // passing run, which waits it out, stays quick.
  static constexpr std::chrono::milliseconds kHold{50};
  // Far longer than any passing run needs: the hold where the remover is not
  // to wait (the test lets the call go), and the wait for a call to come.
  static constexpr std::chrono::seconds kGuard{10};

  explicit tHeldCall(std::chrono::milliseconds bound = kHold) : _bound(bound) {}
  tHeldCall(const tHeldCall&) = delete;
  tHeldCall& operator=(const tHeldCall&) = delete;

  void hold() {
    _inside = true;
    const auto guard = std::chrono::steady_clock::now() + kGuard;
    while (!_letGo && _remover == 0 && std::chrono::steady_clock::now() < guard)
      std::this_thread::yield();
    if (_remover != 0) {
      tThreadTime remover(_remover);
      while (!_letGo && remover.since() < _bound) std::this_thread::yield();
    }
    _expired = !_letGo;
  }
  // False when no call came within a guard time (the test then fails). The
  // first thread that saw the call come is its remover.
  bool waitUntilInside() {
    const auto guard = std::chrono::steady_clock::now() + kGuard;
    while (!_inside) {
      if (std::chrono::steady_clock::now() > guard) return false;
      std::this_thread::yield();
    }
    pid_t none = 0;
    _remover.compare_exchange_strong(none, thisThread());
    return true;
  }
  // Whether a call has come to the hold, without waiting.
  bool inside() const { return _inside; }
  void letGo() { _letGo = true; }
  // True when the call was let go by the bound, not by the test.
  bool expired() const { return _expired; }

 private:
  const std::chrono::milliseconds _bound;
  std::atomic<bool> _inside{false};
  std::atomic<bool> _letGo{false};
  std::atomic<bool> _expired{false};
  std::atomic<pid_t> _remover{0};
};

// Waits, bounded by elapsed time, until done answers true.
inline bool boundedUntil(const std::function<bool()>& done) {
  const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
  while (!done() && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
  return done();
}

}  // namespace nQoTest
