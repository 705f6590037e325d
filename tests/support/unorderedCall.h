// A call on a thread of its own that the test's thread follows without
// ordering itself after it: the test waits for the call's return on a relaxed
// flag, which the thread sanitizer takes as no synchronisation. So what the
// test runs next is ordered after the call only by the code's own atomics and
// locks, and a field that both touch without them is reported as a race.
//
//   tUnorderedCall code([&] { supervisor.control(1, nullptr, nullptr, committed); });
//   ASSERT_TRUE(code.returned());
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
          call();
          _returned.store(true, std::memory_order_relaxed);
        }) {}
  ~tUnorderedCall() { _thread.join(); }
  tUnorderedCall(const tUnorderedCall&) = delete;
  tUnorderedCall& operator=(const tUnorderedCall&) = delete;

  // False when the call did not return within a guard time.
  bool returned() const {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!_returned.load(std::memory_order_relaxed)) {
      if (std::chrono::steady_clock::now() > guard) return false;
      std::this_thread::yield();
    }
    return true;
  }

 private:
  std::atomic<bool> _returned{false};
  std::thread _thread;
};

}  // namespace nQoTest
