// Platform threads on host threads.
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "sim/simThread.h"
#include "sim/simTime.h"
#include "thread/tThreadControllerFactory.h"
#include "thread/tThreadUtility.h"

namespace {

std::atomic<unsigned> gCreates{0};
std::atomic<unsigned> gFailAt{0};
std::atomic<int> gLive{0};
std::atomic<unsigned> gYields{0};
std::atomic<uint64_t> gYieldStep{0};
std::mutex gRunningLock;
std::set<int> gRunning;         // the kernel's ids of the threads inside their run
std::atomic<int> gStarting{0};  // started, and not yet noted there

void noteRunning(int id, bool running) {
  const std::lock_guard<std::mutex> lock(gRunningLock);
  if (running)
    gRunning.insert(id);
  else
    gRunning.erase(id);
}

void setStatus(int* status, int code) {
  if (status != nullptr && *status >= 0) *status = code;
}

class tHostThreadController final : public iThreadController {
 public:
  explicit tHostThreadController(iThread* thread)
      : _thread([thread] {
          const int id = static_cast<int>(syscall(SYS_gettid));
          noteRunning(id, true);
          --gStarting;
          thread->run();
          noteRunning(id, false);
        }) {}
  ~tHostThreadController() override { join(nullptr); }

  void join(int*) override {
    if (_thread.joinable()) _thread.join();
  }

 private:
  std::thread _thread;
};

}  // namespace

namespace nQoSim {
void failThreadCreate(unsigned nth) { gFailAt = nth == 0 ? 0 : gCreates.load() + nth; }
int liveThreads() { return gLive.load(); }
unsigned yieldCount() { return gYields.load(); }
void clearYields() { gYields = 0; }
void setYieldStep(uint64_t nanoseconds) { gYieldStep = nanoseconds; }
std::vector<int> platformThreads() {
  while (gStarting != 0) std::this_thread::yield();
  const std::lock_guard<std::mutex> lock(gRunningLock);
  return {gRunning.begin(), gRunning.end()};
}
}  // namespace nQoSim

iThreadController* tThreadControllerFactory::create(const tParam& param, int* status) {
  if (param.version != 1 || param.thread == nullptr) {
    setStatus(status, kBadParamCode);
    return nullptr;
  }
  if (++gCreates == gFailAt.load()) {
    gFailAt = 0;
    setStatus(status, -50352);
    return nullptr;
  }
  ++gLive;
  ++gStarting;
  return new tHostThreadController(param.thread);
}

void tThreadControllerFactory::destroy(iThreadController* controller, int*) {
  if (controller == nullptr) return;
  --gLive;
  delete controller;
}

void tThreadUtility::yield() {
  ++gYields;
  nQoSim::advanceClock(gYieldStep.load());
  std::this_thread::yield();
}
