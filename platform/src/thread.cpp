// Platform threads on host threads.
#include <atomic>
#include <thread>

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

void setStatus(int* status, int code) {
  if (status != nullptr && *status >= 0) *status = code;
}

class tHostThreadController final : public iThreadController {
 public:
  explicit tHostThreadController(iThread* thread) : _thread([thread] { thread->run(); }) {}
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
