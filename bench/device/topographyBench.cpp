// A topography table's first acquire and its release (lock, unpack into a
// platform allocation, free) beside the floor: one zlib inflate of the same
// stream into a buffer allocated beforehand.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <vector>

#include "device/routingVariants.h"
#include "sim/simRouting.h"
#include "sim/simStatusLog.h"

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

void BM_RawInflateFloor(benchmark::State& state) {
  std::vector<Bytef> buffer(kPacked.unpackedSize);
  for (auto _ : state) {
    uLongf size = buffer.size();
    benchmark::DoNotOptimize(uncompress(buffer.data(), &size, kPacked.bytes, kPacked.packedSize));
    benchmark::DoNotOptimize(buffer.data());
  }
}
BENCHMARK(BM_RawInflateFloor);

}  // namespace
