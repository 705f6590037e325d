#include "support/threadTime.h"

#include <pthread.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <map>
#include <string>
#include <thread>

namespace nQoTest {

pid_t thisThread() { return static_cast<pid_t>(syscall(SYS_gettid)); }

tThreadTime::tThreadTime(pid_t thread) : _thread(thread), _last(look()) {}

std::chrono::nanoseconds tThreadTime::since() {
  const tLook now = look();
  if (now.gone || _last.gone) return std::chrono::nanoseconds::max();
  const std::chrono::nanoseconds ran(now.ran - _last.ran);
  std::chrono::nanoseconds blocked(0);
  // Blocked at both looks: each stretch it was ready between them has ended.
  if (now.blocked && _last.blocked) {
    const std::chrono::nanoseconds between = now.at - _last.at;
    blocked = std::max(between - ran - std::chrono::nanoseconds(now.kept - _last.kept),
                       std::chrono::nanoseconds(0));
  }
  const std::chrono::nanoseconds rounds = (now.rounds - _last.rounds) * kRound;
  _had += std::max(ran + blocked, rounds);
  _last = now;
  return _had;
}

// The kernel's account of the thread: the time it ran, the time it was ready
// and kept waiting and its turns on a processor (the values of its
// schedstat), and the call it lies blocked in ("running" while it is ready or
// on a processor).
tThreadTime::tLook tThreadTime::look() const {
  tLook seen;
  seen.at = std::chrono::steady_clock::now();
  const std::string task = "/proc/self/task/" + std::to_string(_thread) + "/";
  std::ifstream schedstat(task + "schedstat");
  std::ifstream blockedIn(task + "syscall");
  std::string call;
  if (!(schedstat >> seen.ran >> seen.kept >> seen.rounds) || !(blockedIn >> call)) {
    seen.gone = true;
    return seen;
  }
  seen.blocked = call == std::to_string(SYS_futex);
  return seen;
}

bool untilDoneOrHad(const std::function<bool()>& done,
                    const std::function<std::vector<int>()>& threads, std::chrono::nanoseconds time,
                    const std::function<void()>& meanwhile) {
  std::map<int, tThreadTime> had;
  const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    bool allHad = true;
    for (const int thread : threads()) {
      auto each = had.try_emplace(thread, thread).first;
      allHad = allHad && each->second.since() >= time;
    }
    if (allHad || std::chrono::steady_clock::now() > guard) return done();
    if (meanwhile)
      meanwhile();
    else
      std::this_thread::yield();
  }
  return true;
}

void starve(std::chrono::milliseconds time) {
  const pthread_t self = pthread_self();
  cpu_set_t processors;
  pthread_getaffinity_np(self, sizeof processors, &processors);
  int policy = 0;
  sched_param priority{};
  pthread_getschedparam(self, &policy, &priority);
  cpu_set_t here;
  CPU_ZERO(&here);
  CPU_SET(sched_getcpu(), &here);
  std::atomic<bool> over{false};
  int spinning[2];
  if (pipe(spinning) != 0) return;
  std::thread spinner([&] {
    pthread_setaffinity_np(pthread_self(), sizeof here, &here);
    const char spins = 1;
    if (write(spinning[1], &spins, 1) != 1) over = true;
    const auto end = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < end) {
    }
    over = true;
  });
  // Blocked outside a lock (no time of its own, one turn when it wakes)
  // until the spinner holds the processor, however long that takes.
  char spins = 0;
  if (read(spinning[0], &spins, 1) != 1) over = true;
  close(spinning[0]);
  close(spinning[1]);
  pthread_setaffinity_np(self, sizeof here, &here);
  const sched_param idle{};
  pthread_setschedparam(self, SCHED_IDLE, &idle);
  while (!over) {
  }
  pthread_setschedparam(self, policy, &priority);
  pthread_setaffinity_np(self, sizeof processors, &processors);
  spinner.join();
}

}  // namespace nQoTest
