// Tells a task's wait that its run stalled: its progress (a count of what
// moved) stood still for a whole window. A run that keeps moving is never cut
// short, however long it takes on a slow or loaded machine.
//
//   tStallWatch watch(std::chrono::seconds(options.stallSeconds));
//   while (!ended && !watch.stalled(moved())) step();
#pragma once

#include <chrono>
#include <cstdint>

namespace nQoHost {

class tStallWatch {
 public:
  using tClock = std::chrono::steady_clock;

  explicit tStallWatch(tClock::duration window)
      : _window(window), _deadline(tClock::now() + window) {}

  // True once progress has not changed for the window.
  bool stalled(uint64_t progress) {
    const tClock::time_point now = tClock::now();
    if (progress != _progress) {
      _progress = progress;
      _deadline = now + _window;
      return false;
    }
    return now >= _deadline;
  }

 private:
  const tClock::duration _window;
  tClock::time_point _deadline;
  uint64_t _progress = 0;
};

}  // namespace nQoHost
