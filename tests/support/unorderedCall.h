// A call on a thread of its own that the test's thread and it order between
// them only by relaxed flags, which the thread sanitizer takes as no
// synchronisation: the call begins once the test lets it go, and the test
// goes on once it returned. So a step that the test runs after the call (or
// before letting it go) is ordered against it only by the code's own atomics
// and locks, and a field that both touch without them is reported as a race.
//
//   tUnorderedCall code([&] { supervisor.control(1, nullptr, nullptr, committed); });
//   ASSERT_TRUE(code.run());             // let go, and returned
//   supervisor.commitCancel(cancel);     // reads the word the code wrote
#pragma once

#include <atomic>
#include <chrono>
#include <thread>
#include <utility>

namespace nQoTest {

class tUnorderedCall {
 public:
  template <class tCall>
  explicit tUnorderedCall(tCall call)
      : _thread([this, call = std::move(call)] {
          if (!waitFor(_letGo)) return;
          call();
          _returned.store(true, std::memory_order_relaxed);
        }) {}
  // A call never let go does not run.
  ~tUnorderedCall() {
    _abandoned.store(true, std::memory_order_relaxed);
    _thread.join();
  }
  tUnorderedCall(const tUnorderedCall&) = delete;
  tUnorderedCall& operator=(const tUnorderedCall&) = delete;

  void letGo() { _letGo.store(true, std::memory_order_relaxed); }
  // False when the call did not return within a guard time.
  bool returned() const { return waitFor(_returned); }
  // Lets the call go and waits for it to return (false: not within a guard
  // time).
  bool run() {
    letGo();
    return returned();
  }

 private:
  // False when the flag was not set within a guard time, or the call was
  // abandoned.
  bool waitFor(const std::atomic<bool>& flag) const {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!flag.load(std::memory_order_relaxed)) {
      if (_abandoned.load(std::memory_order_relaxed)) return false;
      if (std::chrono::steady_clock::now() > guard) return false;
      std::this_thread::yield();
    }
    return true;
  }

  std::atomic<bool> _letGo{false};
  std::atomic<bool> _returned{false};
  std::atomic<bool> _abandoned{false};
  std::thread _thread;
};

}  // namespace nQoTest
