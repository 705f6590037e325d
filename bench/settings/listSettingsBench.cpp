// The settings classes with long lists: a front end of 1,024 channel entries
// and an AO FIFO of 65,536 words, each written, read into a fresh object and
// cloned. A write is judged against the same stream calls replayed from a
// recording, and against a memcpy of the written bytes; a read against its
// stream calls replayed and the source assigned; a clone against its
// platform calls and assignment by hand. Writing must not
// allocate.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "frame/moduleEntry.h"
#include "opaque.h"
#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"
#include "settings/aiSettings.h"
#include "settings/tAO_FIFOSettings.h"
#include "sim/simAllocator.h"
#include "streamReplay.h"

namespace {

using nQoUdR100::tAIScanningFrontEndSettings;
using nQoUdR100::tAO_FIFOSettings;

void fill(tAIScanningFrontEndSettings& settings) {
  for (uint32_t i = 0; i < 1024; ++i) {
    nQoUdP100::tAIScanningFrontEndConfig entry;
    entry.word2 = 0x11223300u + i;
    settings.record<0>().channels.append(entry);
  }
}

void fill(tAO_FIFOSettings& settings) {
  for (uint32_t i = 0; i < 65536; ++i) settings.list.append(0x11220000u + i);
}

template <class Settings>
void BM_Write(benchmark::State& state) {
  Settings source;
  fill(source);
  nQoORB100::tByteOutputStream out;
  int status = 0;
  source.writeExternal(out, status);
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    out.rewind();
    source.writeExternal(out, status);
    benchmark::DoNotOptimize(out.bytes().data());
  }
  if (status != 0) state.SkipWithError("the write failed");
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the write allocated");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.bytes().size()));
}

template <class Settings>
void BM_Read(benchmark::State& state) {
  Settings source;
  fill(source);
  nQoORB100::tByteOutputStream out;
  int status = 0;
  source.writeExternal(out, status);
  for (auto _ : state) {
    Settings target;
    nQoORB100::tByteInputStream in(out.bytes().data(), out.bytes().size());
    target.readExternal(in, status);
    benchmark::DoNotOptimize(&target);
  }
  if (status != 0) state.SkipWithError("the read failed");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.bytes().size()));
}

template <class Settings>
void BM_Clone(benchmark::State& state) {
  moduleMessageEntry(0);
  Settings source;
  fill(source);
  int status = 0;
  for (auto _ : state) {
    nQoORB100::tObject* copy = source.clone(status);
    benchmark::DoNotOptimize(copy);
    if (copy != nullptr) copy->getClass(status).deleteInstance(copy, status);
  }
  if (status != 0) state.SkipWithError("the clone failed");
  moduleMessageEntry(1);
}

// Floor: a fresh object, the read's stream calls replayed through the
// stream's interface, and the values stored by assigning the source (the same
// nodes and words).
template <class Settings>
void BM_Read_Floor(benchmark::State& state) {
  Settings source;
  fill(source);
  nQoORB100::tByteOutputStream out;
  int status = 0;
  source.writeExternal(out, status);
  nQoORB100::tByteInputStream first(out.bytes().data(), out.bytes().size());
  nQoBench::tReadRecording reads(first);
  {
    Settings target;
    target.readExternal(reads, status);
  }
  for (auto _ : state) {
    Settings target;
    nQoORB100::tByteInputStream in(out.bytes().data(), out.bytes().size());
    benchmark::DoNotOptimize(
        reads.replay(*nQoBench::opaque<nQoORB100::iExternalInputStream*>(&in), status));
    target = source;
    benchmark::DoNotOptimize(&target);
  }
  if (status != 0) state.SkipWithError("the read failed");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.bytes().size()));
}

// Floor: the clone's platform calls by hand: the class, a new instance, the
// class cast, the assignment; then the instance deleted through its class.
template <class Settings>
void BM_Clone_Floor(benchmark::State& state) {
  moduleMessageEntry(0);
  Settings source;
  fill(source);
  int status = 0;
  for (auto _ : state) {
    nQoORB100::tObject* instance = source.getClass(status).newInstance(status);
    auto* copy = static_cast<Settings*>(instance->___CPPKRLDynamicCast(&Settings::___classID));
    *copy = source;
    benchmark::DoNotOptimize(copy);
    instance->getClass(status).deleteInstance(instance, status);
  }
  if (status != 0) state.SkipWithError("the clone failed");
  moduleMessageEntry(1);
}

// Floor: the write's stream calls replayed onto the stream, through its
// interface.
template <class Settings>
void BM_Write_Floor(benchmark::State& state) {
  Settings source;
  fill(source);
  nQoBench::tStreamRecording recording;
  nQoORB100::tByteOutputStream out;
  int status = 0;
  nQoORB100::iExternalOutputStream& stream =
      *nQoBench::opaque<nQoORB100::iExternalOutputStream*>(&out);
  source.writeExternal(recording, status);
  recording.replay(stream, status);
  for (auto _ : state) {
    out.rewind();
    recording.replay(stream, status);
    benchmark::DoNotOptimize(out.bytes().data());
  }
  if (status != 0) state.SkipWithError("the write failed");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.bytes().size()));
}

// Physical floor: the written bytes copied by memcpy.
template <class Settings>
void BM_Write_PhysicalFloor(benchmark::State& state) {
  Settings source;
  fill(source);
  nQoORB100::tByteOutputStream out;
  int status = 0;
  source.writeExternal(out, status);
  // Source and target in one block, the target 4 KiB past the source's end,
  // so that their placement does not move with the heap.
  const size_t size = out.bytes().size();
  std::vector<uint8_t> block(2 * size + 4096);
  std::memcpy(block.data(), out.bytes().data(), size);
  uint8_t* target = block.data() + size + 4096;
  for (auto _ : state) {
    std::memcpy(target, block.data(), size);
    benchmark::DoNotOptimize(target);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

BENCHMARK(BM_Write<tAIScanningFrontEndSettings>);
BENCHMARK(BM_Write_Floor<tAIScanningFrontEndSettings>);
BENCHMARK(BM_Write_PhysicalFloor<tAIScanningFrontEndSettings>);
BENCHMARK(BM_Read<tAIScanningFrontEndSettings>);
BENCHMARK(BM_Read_Floor<tAIScanningFrontEndSettings>);
BENCHMARK(BM_Clone<tAIScanningFrontEndSettings>);
BENCHMARK(BM_Clone_Floor<tAIScanningFrontEndSettings>);
BENCHMARK(BM_Write<tAO_FIFOSettings>);
BENCHMARK(BM_Write_Floor<tAO_FIFOSettings>);
BENCHMARK(BM_Write_PhysicalFloor<tAO_FIFOSettings>);
BENCHMARK(BM_Read<tAO_FIFOSettings>);
BENCHMARK(BM_Read_Floor<tAO_FIFOSettings>);
BENCHMARK(BM_Clone<tAO_FIFOSettings>);
BENCHMARK(BM_Clone_Floor<tAO_FIFOSettings>);

}  // namespace
