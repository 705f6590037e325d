// An immediate AI read of 8 samples with an attributes object through the
// supervisor's stream (the time stamp and interval handed over, the stamp
// advanced by count x interval), beside the same primitive double called
// directly with the two attribute calls and a hand-written 128-bit advance.
// A release on another thread must be able to wait for a read under way, so
// the floor counts its read in and out as the shortest route to that: one
// atomic add and one subtract. The measured path must not allocate.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>

#include "msrl/iStreamAttributes.h"
#include "primitives/ai/tBaseAIImmediateTransferPrimitive.h"
#include "sim/simAllocator.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "supervisors/ai/aiImmediateTransferSupervisors.h"

namespace {

constexpr uint32_t kSamples = 8;

// Reads by filling count words; reserving and committing need no board.
class tFillingTransfer : public nQoUdP100::tBaseAIImmediateTransferPrimitive {
 public:
  void commitTransfer(nQoMDBG100::tStatus2&) override {}
  uint32_t read(void* destination, uint32_t count, nQoMDBG100::tStatus2&, uint32_t* bytes, uint32_t,
                tTimerTimeUnit) override {
    auto* words = static_cast<uint32_t*>(destination);
    for (uint32_t i = 0; i < count; ++i) words[i] = i;
    *bytes = count * 4;
    return count;
  }
};

// Keeps the last values it was given.
class tKeptAttributes : public nQoMSRL100::iStreamAttributes {
 public:
  void setStartTime(uint64_t, nQoMDBG100::tStatus2&) override {}
  void finish(nQoMDBG100::tStatus2&) override {}
  void setTimeStamp(const tPALTime128& value, nQoMDBG100::tStatus2&) override { stamp = value; }
  void setInterval(const tPALTime128& value, nQoMDBG100::tStatus2&) override { interval = value; }
  tPALTime128 stamp{};
  tPALTime128 interval{};
};

void BM_AIImmediateRead(benchmark::State& state) {
  nQoSim::resetResourceBroker();
  nQoSim::setStatusLogging(false);
  tFillingTransfer transfer;
  nQoUdR100::tAIImmediateTransferSupervisorRow::tPool pool(&transfer);
  nQoUdR100::tAIImmediateTransferSettings settings;
  auto& words = settings.supervisorRecord();
  nQoMDBG100::tStatus2 status;
  words.identifier.setString("AIImmediateTransfer", status);
  words.word1 = 0;                             // the interval path
  words.word19 = 1;                            // no events
  words.sampleInterval.fraction = 1ull << 62;  // 0.25 s
  nQoMRL100::getResourceBroker(status)->registerPool(&words.identifier, &pool, status);
  nQoUdR100::tAIImmediateTransferSupervisor supervisor;
  supervisor.initialize(settings, nullptr, status);
  supervisor.reserveResource(status);
  if (supervisor.getPrimitive() == nullptr) state.SkipWithError("nothing reserved");
  nQoMDBG100::tStatus2 start;  // the run, which takes the interval; -50256 as every code
  supervisor.control(4100, nullptr, nullptr, start);
  tKeptAttributes attributes;
  uint32_t buffer[kSamples];
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(supervisor.read(kSamples, 0, reinterpret_cast<uint8_t*>(buffer),
                                             nullptr, &attributes, status));
    benchmark::DoNotOptimize(buffer);
  }
  if (status.code != 0 || attributes.interval.fraction != 1ull << 62)
    state.SkipWithError("the read failed");
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the measured path allocated");
  supervisor.releaseResource(status);
  nQoSim::resetResourceBroker();
  nQoSim::setStatusLogging(true);
}
BENCHMARK(BM_AIImmediateRead);

void BM_AIImmediateRead_Floor(benchmark::State& state) {
  tFillingTransfer transfer;
  tKeptAttributes attributes;
  nQoMSRL100::iStreamAttributes* volatile target = &attributes;
  nQoUdP100::tBaseAIImmediateTransferPrimitive* volatile primitive = &transfer;
  nQoMDBG100::tStatus2 status;
  uint32_t buffer[kSamples];
  unsigned __int128 stamp = 0;
  const unsigned __int128 interval = uint64_t{1} << 62;
  std::atomic<uint32_t> reading{0};
  for (auto _ : state) {
    uint32_t bytes = 0;
    reading.fetch_add(1, std::memory_order_seq_cst);
    const uint32_t count =
        primitive->read(buffer, kSamples, status, &bytes, 0, kTimerTimeUnitMillisecond);
    if (count != 0) {
      nQoMDBG100::tStatus2 local;
      target->setTimeStamp({static_cast<uint64_t>(stamp), static_cast<int64_t>(stamp >> 64)},
                           local);
      target->setInterval({static_cast<uint64_t>(interval), 0}, local);
    }
    stamp += interval * count;
    reading.fetch_sub(1, std::memory_order_release);
    benchmark::DoNotOptimize(buffer);
  }
  benchmark::DoNotOptimize(stamp);
}
BENCHMARK(BM_AIImmediateRead_Floor);

}  // namespace
