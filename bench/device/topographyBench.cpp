// A topography table's first acquire and its release (lock, unpack into a
// platform allocation, free) beside the floor that makes the same platform
// calls by hand (lock, unpack, unlock; lock, free, unlock) and the physical
// floor: one zlib inflate of the same stream into a buffer allocated
// beforehand.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <vector>

#include "device/routingVariants.h"
#include "mru/routingTables.h"
#include "sim/simRouting.h"
#include "sim/simStatusLog.h"
#include "sync/iSync.h"

namespace {

const nQoUdR100::tPackedTable& kPacked = nRIVOUdSeries::kTopographyTable;

void BM_TopographyFirstAcquireRelease(benchmark::State& state) {
  nQoSim::setRoutingLogging(false);
  nQoSim::setStatusLogging(false);
  void* classID = nullptr;
  nQoUdR100::tSharedTable shared(kPacked, nQoUdR100::tSharedTable::kTopography, &classID);
  nQoMDBG100::tStatus2 status;
  for (auto _ : state) {
    shared.acquire(status);
    benchmark::DoNotOptimize(shared.table());
    shared.release(status);
  }
  if (status.code != 0 || shared.count() != 0) state.SkipWithError("the table did not pair");
  nQoSim::setRoutingLogging(true);
  nQoSim::setStatusLogging(true);
}
BENCHMARK(BM_TopographyFirstAcquireRelease);

// Floor: the same platform calls by hand.
void BM_TopographyFirstAcquireRelease_Floor(benchmark::State& state) {
  nQoSim::setRoutingLogging(false);
  nQoSim::setStatusLogging(false);
  void* classID = nullptr;
  iSync::tParam param;
  param.kind = 1;
  int code = 0;
  iSync* lock = syncOpen(param, &code);
  nQoMDBG100::tStatus2 status;
  for (auto _ : state) {
    lock->waitOrAcquire(iSync::kWaitForever, &code);
    void* data = nullptr;
    const void* table = nQoMRU230::unpackTopographyTable(
        kPacked.version, kPacked.unpackedSize, kPacked.bytes, kPacked.packedSize, kPacked.words,
        kPacked.wordCount, &classID, &data, status);
    lock->releaseOrSet(&code);
    benchmark::DoNotOptimize(table);
    lock->waitOrAcquire(iSync::kWaitForever, &code);
    nQoMRU230::freeTopographyTable(table, data, status);
    lock->releaseOrSet(&code);
  }
  syncClose(lock);
  if (status.code != 0 || code != 0) state.SkipWithError("the table did not unpack");
  nQoSim::setRoutingLogging(true);
  nQoSim::setStatusLogging(true);
}
BENCHMARK(BM_TopographyFirstAcquireRelease_Floor);

// Physical floor: the stream inflated into a buffer allocated beforehand.
void BM_TopographyFirstAcquireRelease_PhysicalFloor(benchmark::State& state) {
  std::vector<Bytef> buffer(kPacked.unpackedSize);
  for (auto _ : state) {
    uLongf size = buffer.size();
    benchmark::DoNotOptimize(uncompress(buffer.data(), &size, kPacked.bytes, kPacked.packedSize));
    benchmark::DoNotOptimize(buffer.data());
  }
}
BENCHMARK(BM_TopographyFirstAcquireRelease_PhysicalFloor);

}  // namespace
