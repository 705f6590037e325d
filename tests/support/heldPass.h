// A pass on a thread of its own, held at a point inside it while the test's
// thread tears down what the pass runs through. The hold lasts until the
// teardown has returned (it did not wait for the pass) or until the teardown's
// thread has had a bound of its own time since it began (tThreadTime: it ran
// or lay blocked, so it waits for the pass), so a teardown that waits cannot
// hang the test, and one that the machine keeps off the processor before it
// reaches what it must do first still finds the pass held. The order of the
// two events tells which it was.
//
//   tHeldPass held;
//   source.onFinish = [&] { held.hold(); };        // inside the pass
//   held.run([&] { bus.pumpSecondary(); });
//   held.tearDown([&] { delete subsystem; });
//   EXPECT_TRUE(held.teardownWaited());
//
// seenInside holds a call where its double runs a hook and notes what the
// teardown had changed by the time the call left its hold:
//
//   const auto inside = seenInside(dac.inside, write, release, [&] { return log.operations(); });
//   EXPECT_TRUE(inside.waited);
//   EXPECT_EQ(inside.seen, "dac.writeValue 5");    // not yet unreserved
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <utility>

#include "support/threadTime.h"

namespace nQoTest {

class tHeldPass {
 public:
  // Far more of the teardown's own time than one that does not wait needs to
  // return, and short enough that every passing run, which waits it out, stays
  // quick.
  static constexpr std::chrono::milliseconds kHold{50};

  tHeldPass() = default;
  tHeldPass(const tHeldPass&) = delete;
  tHeldPass& operator=(const tHeldPass&) = delete;
  ~tHeldPass() {
    _tornDown = true;
    _tearingDown = true;
    if (_thread.joinable()) _thread.join();
  }

  template <class tPass>
  void run(tPass pass) {
    _thread = std::thread([this, pass = std::move(pass)] {
      pass();
      _ran = true;
    });
  }

  // Inside the pass; only the first call holds.
  void hold() {
    if (_entered.exchange(true)) return;
    while (!_tearingDown) std::this_thread::yield();
    if (!_tornDown) {
      tThreadTime teardown(_teardown);
      while (!_tornDown && teardown.since() < kHold) std::this_thread::yield();
    }
    _resumed = ++_order;
  }

  // Runs the teardown once the pass holds (or ended without holding), then
  // joins the pass.
  template <class tTeardown>
  void tearDown(tTeardown teardown) {
    while (!_entered && !_ran) std::this_thread::yield();
    _teardown = thisThread();
    _tearingDown = true;
    teardown();
    _returned = ++_order;
    _tornDown = true;
    _thread.join();
  }

  // The pass held, and resumed before the teardown returned.
  bool teardownWaited() const { return _entered && _resumed != 0 && _resumed < _returned; }

 private:
  std::thread _thread;
  std::atomic<bool> _entered{false}, _ran{false}, _tearingDown{false}, _tornDown{false};
  std::atomic<int> _order{0}, _resumed{0}, _returned{0};
  std::atomic<pid_t> _teardown{0};  // the teardown's thread, once it began
};

// What a call held inside saw of the teardown that ran meanwhile.
template <class tSeen>
struct tSeenInside {
  bool waited = false;  // the teardown waited for the call
  tSeen seen{};         // what see() answered as the call left its first hold
};

// Runs call on a thread of its own, held at the first run of the hook
// (which its double runs inside the call) while the test's thread runs
// teardown; see() runs as the call leaves that hold. The form with atHold
// runs it on the call's thread as the call reaches that hold, before the
// teardown begins: what it reads there holds no race with the call's going
// on, also when the hold sits under a lock that the reading takes.
template <class tCall, class tTeardown, class tSee, class tAtHold>
auto seenInside(std::function<void()>& hook, tCall call, tTeardown teardown, tSee see,
                tAtHold atHold) {
  tSeenInside<decltype(see())> result;
  tHeldPass held;
  bool first = true;
  hook = [&] {
    if (!std::exchange(first, false)) return;
    atHold();
    held.hold();
    result.seen = see();
  };
  held.run(std::move(call));
  held.tearDown(std::move(teardown));
  hook = nullptr;
  result.waited = held.teardownWaited();
  return result;
}
template <class tCall, class tTeardown, class tSee>
auto seenInside(std::function<void()>& hook, tCall call, tTeardown teardown, tSee see) {
  return seenInside(hook, std::move(call), std::move(teardown), std::move(see), [] {});
}

}  // namespace nQoTest
