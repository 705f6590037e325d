// The transition guard over the plain tracker, the composite reserver, linker
// and controller over members that do nothing, and the singular reserver
// through the resource broker, each beside the same calls made by hand. No
// measured path may allocate.
#include <benchmark/benchmark.h>

#include <array>

#include "mrl/iResourceBroker.h"
#include "mrl/tGeneralIdentifier.h"
#include "opaque.h"
#include "reservation/iLinker.h"
#include "reservation/iPrimitiveController.h"
#include "reservation/iReserver.h"
#include "reservation/supervisorEvents.h"
#include "reservation/tMultiLinker.h"
#include "reservation/tMultiPrimitiveController.h"
#include "reservation/tMultiReserver.h"
#include "reservation/tSingularReserver.h"
#include "reservation/tSingularResourcePool.h"
#include "reservation/tSupStateTracker.h"
#include "reservation/tSupStateTransition.h"
#include "sim/simAllocator.h"
#include "sim/simResourceBroker.h"

namespace {

using nQoMDBG100::tStatus2;

constexpr int32_t kCycle[] = {1, 4100, 2, 3, 4101, 4};

void failOnAllocation(benchmark::State& state, uint64_t before) {
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the measured path allocated");
}

void BM_TransitionGuard(benchmark::State& state) {
  nQoMRTB100::tSupStateTracker tracker;
  tStatus2 status;
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
  if (tracker.getState(status) != 40) state.SkipWithError("the cycle did not end uncommitted");
}
BENCHMARK(BM_TransitionGuard);

// Floor: the status looked at and the tracker's applyEvent called for each
// event, as the guard must.
void BM_TransitionGuard_Floor(benchmark::State& state) {
  nQoMRTB100::tSupStateTracker tracker;
  tStatus2 status;
  tracker.setFlags(1, 0x3F, status);
  tracker.applyEvent(4099, status);
  for (auto _ : state) {
    for (int32_t code : kCycle)
      if (status.isNotFatal()) tracker.applyEvent(code, status);
    benchmark::DoNotOptimize(tracker);
  }
}
BENCHMARK(BM_TransitionGuard_Floor);

// Physical floor: the state word set in a switch.
void BM_TransitionGuard_PhysicalFloor(benchmark::State& state) {
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
BENCHMARK(BM_TransitionGuard_PhysicalFloor);

class tNoopMember : public nQoMRTB100::iReserver,
                    public nQoMRTB100::iLinker,
                    public nQoMRTB100::iPrimitiveController {
 public:
  void reserveResource(tStatus2&) override {}
  void releaseResource(tStatus2&) override {}
  void link(nQoMRL100::iPrimitiveSupervisorMap&, tStatus2&) override {}
  void linkResource(tStatus2&) override {}
  void unlinkResource(tStatus2&) override {}
  void unlink(tStatus2&) override {}
  void control(uint32_t, tStatus2&) override {}
  uint32_t isControlEnabled(uint32_t, tStatus2&) override { return 1; }
};

// Eight members behind pointers of the interface I, in a list whose length
// is known only at run time, as a composite's is.
template <class I>
struct tMembers {
  std::array<tNoopMember, 8> members;
  std::array<I*, 8> pointers;
  tMembers() {
    for (std::size_t i = 0; i < members.size(); ++i) pointers[i] = &members[i];
  }
};

// The forward walk (stop at the first error) and the reverse walk (each on a
// fresh status merged back) by hand, as the composites must.
template <class I, class Forward, class Reverse>
void walkByHand(std::array<I*, 8>& pointers, tStatus2& status, Forward forward, Reverse reverse) {
  I* const* list = nQoBench::opaque<I* const*>(pointers.data());
  const std::size_t count = nQoBench::opaque(pointers.size());
  if (status.isNotFatal())
    for (std::size_t i = 0; i < count; ++i) {
      forward(*list[i], status);
      if (status.isFatal()) break;
    }
  if (status.isFatal()) return;
  tStatus2 local;
  for (std::size_t i = count; i-- > 0;) {
    local.clear();
    reverse(*list[i], local);
    if (local.code != 0) status.assign(local);
  }
}

void BM_MultiReserver(benchmark::State& state) {
  tMembers<nQoMRTB100::iReserver> members;
  nQoMRTB100::tMultiReserver multi;
  tStatus2 status;
  for (nQoMRTB100::iReserver* member : members.pointers) multi.addReserver(member, status);
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    multi.reserveResource(status);
    multi.releaseResource(status);
    benchmark::DoNotOptimize(status.code);
  }
  failOnAllocation(state, before);
}
BENCHMARK(BM_MultiReserver);

void BM_MultiReserver_Floor(benchmark::State& state) {
  tMembers<nQoMRTB100::iReserver> members;
  tStatus2 status;
  for (auto _ : state) {
    walkByHand(
        members.pointers, status,
        [](nQoMRTB100::iReserver& member, tStatus2& s) { member.reserveResource(s); },
        [](nQoMRTB100::iReserver& member, tStatus2& s) { member.releaseResource(s); });
    benchmark::DoNotOptimize(status.code);
  }
}
BENCHMARK(BM_MultiReserver_Floor);

void BM_MultiLinker(benchmark::State& state) {
  tMembers<nQoMRTB100::iLinker> members;
  nQoMRTB100::tMultiLinker multi;
  tStatus2 status;
  for (nQoMRTB100::iLinker* member : members.pointers) multi.addLinker(member, status);
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    multi.linkResource(status);
    multi.unlinkResource(status);
    benchmark::DoNotOptimize(status.code);
  }
  failOnAllocation(state, before);
}
BENCHMARK(BM_MultiLinker);

void BM_MultiLinker_Floor(benchmark::State& state) {
  tMembers<nQoMRTB100::iLinker> members;
  tStatus2 status;
  for (auto _ : state) {
    walkByHand(
        members.pointers, status,
        [](nQoMRTB100::iLinker& member, tStatus2& s) { member.linkResource(s); },
        [](nQoMRTB100::iLinker& member, tStatus2& s) { member.unlinkResource(s); });
    benchmark::DoNotOptimize(status.code);
  }
}
BENCHMARK(BM_MultiLinker_Floor);

// Commit forward, uncommit backward; each member is asked whether it takes
// part before it is controlled.
void BM_MultiController(benchmark::State& state) {
  tMembers<nQoMRTB100::iPrimitiveController> members;
  nQoMRTB100::tMultiPrimitiveController multi;
  tStatus2 status;
  for (nQoMRTB100::iPrimitiveController* member : members.pointers)
    multi.addController(member, status);
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    multi.control(nQoMRTB100::kControlCommit, status);
    multi.control(nQoMRTB100::kControlUncommit, status);
    benchmark::DoNotOptimize(status.code);
  }
  failOnAllocation(state, before);
}
BENCHMARK(BM_MultiController);

void BM_MultiController_Floor(benchmark::State& state) {
  tMembers<nQoMRTB100::iPrimitiveController> members;
  tStatus2 status;
  for (auto _ : state) {
    walkByHand(
        members.pointers, status,
        [](nQoMRTB100::iPrimitiveController& member, tStatus2& s) {
          if (member.isControlEnabled(nQoMRTB100::kControlCommit, s) != 0)
            member.control(nQoMRTB100::kControlCommit, s);
        },
        [](nQoMRTB100::iPrimitiveController& member, tStatus2& s) {
          if (member.isControlEnabled(nQoMRTB100::kControlUncommit, s) == 0) return;
          s.clear();
          member.control(nQoMRTB100::kControlUncommit, s);
        });
    benchmark::DoNotOptimize(status.code);
  }
}
BENCHMARK(BM_MultiController_Floor);

class tNoopPrimitive {
 public:
  virtual ~tNoopPrimitive() = default;
};

using tNoopPool = nQoUdR100::tSingularResourcePool<tNoopPrimitive*>;

// A broker with one pool registered under "AI_ADC", its logs off.
struct tBrokerWithPool {
  tNoopPrimitive primitive;
  tNoopPool pool{&primitive};
  nQoMRL100::tGeneralIdentifier identifier;
  tStatus2 status;
  tBrokerWithPool() {
    nQoSim::resetResourceBroker();
    nQoSim::setBrokerLogging(false);
    identifier.setString("AI_ADC", status);
    nQoMRL100::getResourceBroker(status)->registerPool(&identifier, &pool, status);
  }
  ~tBrokerWithPool() { nQoSim::resetResourceBroker(); }
};

void BM_SingularReserverThroughBroker(benchmark::State& state) {
  tBrokerWithPool broker;
  nQoMRTB100::tSingularReserver<tNoopPrimitive, tNoopPool> reserver;
  reserver.setIdentifier(&broker.identifier);
  tStatus2& status = broker.status;
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    reserver.reserveResource(status);
    benchmark::DoNotOptimize(reserver.getPrimitive());
    reserver.releaseResource(status);
  }
  failOnAllocation(state, before);
  if (status.code != 0) state.SkipWithError("the pool was not reserved");
}
BENCHMARK(BM_SingularReserverThroughBroker);

// Floor: the broker's reserve, the class cast and the pool's primitive, then
// the broker's release on a fresh status merged back.
void BM_SingularReserverThroughBroker_Floor(benchmark::State& state) {
  tBrokerWithPool broker;
  tStatus2& status = broker.status;
  for (auto _ : state) {
    nQoMRL100::iResourceBroker* resources = nQoMRL100::getResourceBroker(status);
    nQoMRL100::iLeafResourcePool* answer = resources->reserve(&broker.identifier, nullptr, status);
    auto* pool = static_cast<tNoopPool*>(answer->___CPPKRLDynamicCast(&tNoopPool::___classID));
    benchmark::DoNotOptimize(pool->getResource());
    tStatus2 local;
    nQoMRL100::getResourceBroker(local)->release(&broker.identifier, nullptr, local);
    status.assign(local);
  }
  if (status.code != 0) state.SkipWithError("the pool was not reserved");
}
BENCHMARK(BM_SingularReserverThroughBroker_Floor);

}  // namespace
