// The transition guard over the plain tracker beside a switch on the state
// word, and the composite reserver over no-op members beside direct virtual
// calls. Neither measured path may allocate.
#include <benchmark/benchmark.h>

#include <array>

#include "reservation/iReserver.h"
#include "reservation/tMultiReserver.h"
#include "reservation/tSupStateTracker.h"
#include "reservation/tSupStateTransition.h"
#include "sim/simAllocator.h"

namespace {

constexpr int32_t kCycle[] = {1, 4100, 2, 3, 4101, 4};

void failOnAllocation(benchmark::State& state, uint64_t before) {
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the measured path allocated");
}

void BM_TransitionGuardCycle(benchmark::State& state) {
  nQoMRTB100::tSupStateTracker tracker;
  nQoMDBG100::tStatus2 status;
  tracker.setFlags(1, 0x3F, status);
  tracker.applyEvent(4099, status);
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    for (int32_t code : kCycle) {
      nQoMRTB100::tSupStateTransition transition(tracker, code, status);
    }
    benchmark::DoNotOptimize(tracker);
  }
  failOnAllocation(state, before);
}
BENCHMARK(BM_TransitionGuardCycle);

// Floor: the state word set in a switch.
void BM_StateSwitchFloor(benchmark::State& state) {
  int32_t word = 40;
  for (auto _ : state) {
    for (int32_t code : kCycle) {
      benchmark::DoNotOptimize(code);
      switch (code) {
        case 1: word = 50; break;
        case 4100: word = 60; break;
        case 2: word = 70; break;
        case 3: word = 60; break;
        case 4101: word = 50; break;
        case 4: word = 40; break;
        default: break;
      }
    }
    benchmark::DoNotOptimize(word);
  }
}
BENCHMARK(BM_StateSwitchFloor);

class tNoopReserver : public nQoMRTB100::iReserver {
 public:
  void reserveResource(nQoMDBG100::tStatus2&) override {}
  void releaseResource(nQoMDBG100::tStatus2&) override {}
};

void BM_MultiReserverReserveRelease(benchmark::State& state) {
  std::array<tNoopReserver, 8> members;
  nQoMRTB100::tMultiReserver multi;
  nQoMDBG100::tStatus2 status;
  for (tNoopReserver& member : members) multi.addReserver(&member, status);
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    multi.reserveResource(status);
    multi.releaseResource(status);
    benchmark::DoNotOptimize(status.code);
  }
  failOnAllocation(state, before);
}
BENCHMARK(BM_MultiReserverReserveRelease);

// Floor: the same reserve and release as direct virtual calls on the members.
void BM_DirectVirtualCallsFloor(benchmark::State& state) {
  std::array<tNoopReserver, 8> members;
  std::array<nQoMRTB100::iReserver*, 8> pointers;
  for (std::size_t i = 0; i < members.size(); ++i) pointers[i] = &members[i];
  nQoMDBG100::tStatus2 status;
  for (auto _ : state) {
    benchmark::DoNotOptimize(pointers.data());
    for (nQoMRTB100::iReserver* member : pointers) member->reserveResource(status);
    for (std::size_t i = pointers.size(); i-- > 0;) pointers[i]->releaseResource(status);
    benchmark::DoNotOptimize(status.code);
  }
}
BENCHMARK(BM_DirectVirtualCallsFloor);

}  // namespace
