// Control 2 then 3 on a reserved supervisor (codes 2 and 3 enabled) over a
// primitive that does nothing, beside the primitive's start and stop and the
// tracker's work written by hand. The measured path must not allocate.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <tuple>

#include "mrl/iResourceBroker.h"
#include "mrl/tGeneralIdentifier.h"
#include "reservation/supervisorEvents.h"
#include "reservation/tSingularResourcePool.h"
#include "reservation/tSupStateTracker.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"
#include "sim/simAllocator.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "supervisors/tNoLinks.h"
#include "supervisors/tSupervisor.h"

namespace {

class tNoopPrimitive {
 public:
  virtual ~tNoopPrimitive() = default;
  virtual void commit(nQoMDBG100::tStatus2&) {}
  virtual void arm(nQoMDBG100::tStatus2&) {}
  virtual void start(nQoMDBG100::tStatus2&) {}
  virtual void stop(nQoMDBG100::tStatus2&) {}
  virtual void disarm(nQoMDBG100::tStatus2&) {}
  virtual void uncommit(nQoMDBG100::tStatus2&) {}
};

struct tBenchFields {
  nQoMRL100::tGeneralIdentifier identifier;
  static constexpr auto kStreamOrder = std::tuple(&tBenchFields::identifier);
};
struct tBenchSettingsRow {
  [[maybe_unused]] static constexpr const char* kClassName = "nQoUdR100::tBenchSettings";
  using tRecords = std::tuple<nQoUdR100::tFieldRecord<tBenchFields>>;
};

struct tBenchSupervisorRow {
  [[maybe_unused]] static constexpr const char* kClassName = "nQoUdR100::tBenchSupervisor";
  using tSettings = nQoUdR100::tSettings<tBenchSettingsRow>;
  using tPrimitive = tNoopPrimitive;
  using tPool = nQoUdR100::tSingularResourcePool<tNoopPrimitive*>;
  using tLinks = nQoUdR100::tNoLinks<tNoopPrimitive>;
  static constexpr uint32_t kControlFlags = 0x0C;
  static constexpr nQoUdR100::tStatusSite kSite{"tBenchSupervisor", 1};
  static constexpr auto kControls = nQoUdR100::namedControls<tNoopPrimitive>();
};

void BM_SupervisorStartStop(benchmark::State& state) {
  nQoSim::resetResourceBroker();
  nQoSim::setStatusLogging(false);
  tNoopPrimitive primitive;
  tBenchSupervisorRow::tPool pool(&primitive);
  tBenchSupervisorRow::tSettings settings;
  nQoMDBG100::tStatus2 status;
  settings.supervisorRecord().identifier.setString("AI_ADC", status);
  nQoMRL100::getResourceBroker(status)->registerPool(&settings.supervisorRecord().identifier, &pool,
                                                     status);
  nQoUdR100::tSupervisor<tBenchSupervisorRow> supervisor;
  supervisor.initialize(settings, nullptr, status);
  supervisor.reserveResource(status);
  if (supervisor.getPrimitive() == nullptr) state.SkipWithError("nothing reserved");
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    supervisor.control(2, nullptr, nullptr, status);
    supervisor.control(3, nullptr, nullptr, status);
    benchmark::DoNotOptimize(status.code);
  }
  if (status.code != 0) state.SkipWithError("control failed");
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the measured path allocated");
  supervisor.releaseResource(status);
  nQoSim::resetResourceBroker();
  nQoSim::setStatusLogging(true);
}
BENCHMARK(BM_SupervisorStartStop);

// Floor: the same work by hand: the primitive's presence, start on the
// caller's status and stop on a fresh one merged back (virtual calls), the
// tracker asked whether each code is enabled and given each event. A code
// may come from another thread, whose release must be able to wait for it,
// so each counts itself in and out as the shortest route to that: one
// atomic add and one subtract.
void BM_SupervisorStartStop_Floor(benchmark::State& state) {
  tNoopPrimitive primitive;
  std::atomic<tNoopPrimitive*> held{&primitive};
  std::atomic<uint32_t> inside{0};
  nQoMRTB100::tSupStateTracker tracker;
  nQoMDBG100::tStatus2 status;
  tracker.setFlags(1, 0x0C, status);
  tracker.applyEvent(nQoMRTB100::kEventLinkResource, status);
  for (auto _ : state) {
    if (status.isFatal()) break;
    inside.fetch_add(1, std::memory_order_seq_cst);
    tNoopPrimitive* target = held.load();
    if (target != nullptr) target->start(status);
    inside.fetch_sub(1, std::memory_order_release);
    if (target == nullptr || tracker.isControlEnabled(nQoMRTB100::kControlStart, status) == 0)
      break;
    tracker.applyEvent(nQoMRTB100::kControlStart, status);
    if (status.isFatal()) break;
    inside.fetch_add(1, std::memory_order_seq_cst);
    target = held.load();
    if (target != nullptr) {
      nQoMDBG100::tStatus2 local;
      target->stop(local);
      status.assign(local);
    }
    inside.fetch_sub(1, std::memory_order_release);
    if (target == nullptr || tracker.isControlEnabled(nQoMRTB100::kControlStop, status) == 0) break;
    tracker.applyEvent(nQoMRTB100::kControlStop, status);
    benchmark::DoNotOptimize(status.code);
  }
  if (tracker.getState(status) != nQoMRTB100::kStateResourcesLinked)
    state.SkipWithError("the state did not come back");
}
BENCHMARK(BM_SupervisorStartStop_Floor);

}  // namespace
