// Line filter settings of 1,000 entries written, read into a fresh object,
// and copied into objects of 500 and 1,500 entries, each beside the same
// stream calls, appends and assignments made by hand (and the write beside
// the 12,000 bytes of the entries copied by memcpy). A write allocates
// nothing; a read or copy allocates one node per entry it adds (a fresh
// object also its head and its identifier's name).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "opaque.h"
#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"
#include "settings/tTavikLineFilterSettings.h"
#include "sim/simAllocator.h"

namespace {

using nQoUdR100::tTavikLineFilterSettings;

constexpr uint32_t kEntries = 1000;

void fill(tTavikLineFilterSettings& settings, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i)
    settings.supervisorRecord().lineEntries.append({i % 2, i % 16, i % 5});
}

std::vector<uint8_t> streamOf(const tTavikLineFilterSettings& settings) {
  nQoORB100::tByteOutputStream out;
  int status = 0;
  settings.writeExternal(out, status);
  return out.bytes();
}

// Allocations made by reading bytes into a fresh object.
uint64_t allocationsOfRead(const std::vector<uint8_t>& bytes) {
  const uint64_t before = nQoSim::totalAllocations();
  tTavikLineFilterSettings target;
  nQoORB100::tByteInputStream in(bytes.data(), bytes.size());
  int status = 0;
  target.readExternal(in, status);
  return nQoSim::totalAllocations() - before;
}

// The settings the write benchmark writes, filled before any benchmark runs.
// A list's walk costs what its nodes' placement makes it cost: nodes taken
// from a heap that other benchmarks have cut up lie scattered in the order
// their blocks were freed, and each is a cache miss. Filled first, they lie
// in allocation order in every run, alone or beside the others, as a list
// read in one go does.
std::unique_ptr<tTavikLineFilterSettings> filledFirst() {
  auto settings = std::make_unique<tTavikLineFilterSettings>();
  fill(*settings, kEntries);
  return settings;
}
const std::unique_ptr<tTavikLineFilterSettings> gWritten = filledFirst();

void BM_LineFilterWrite1000(benchmark::State& state) {
  const tTavikLineFilterSettings& source = *gWritten;
  nQoORB100::tByteOutputStream out;
  int status = 0;
  source.writeExternal(out, status);
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    out.rewind();
    source.writeExternal(out, status);
    benchmark::DoNotOptimize(out.bytes().data());
  }
  if (status != 0) state.SkipWithError("the entries were not written");
  if (nQoSim::totalAllocations() != before) state.SkipWithError("writing allocated");
}
BENCHMARK(BM_LineFilterWrite1000);

void BM_LineFilterReadFresh1000(benchmark::State& state) {
  tTavikLineFilterSettings source, empty;
  fill(source, kEntries);
  const std::vector<uint8_t> bytes = streamOf(source);
  const uint64_t perRead = allocationsOfRead(streamOf(empty)) + kEntries;
  std::optional<tTavikLineFilterSettings> target;
  int status = 0;
  uint64_t allocations = 0;
  for (auto _ : state) {
    const uint64_t before = nQoSim::totalAllocations();
    target.emplace();
    nQoORB100::tByteInputStream in(bytes.data(), bytes.size());
    target->readExternal(in, status);
    allocations = nQoSim::totalAllocations() - before;
    state.PauseTiming();
    target.reset();
    state.ResumeTiming();
  }
  if (status != 0) state.SkipWithError("the entries were not read");
  if (allocations != perRead) state.SkipWithError("a read allocated more than one node an entry");
}
BENCHMARK(BM_LineFilterReadFresh1000);

// Floor: a fresh object, then the read's stream calls by hand through the
// stream's interface (base word, identifier, count, entries) with each entry
// appended to the list.
void BM_LineFilterReadFresh1000_Floor(benchmark::State& state) {
  tTavikLineFilterSettings source;
  fill(source, kEntries);
  const std::vector<uint8_t> bytes = streamOf(source);
  std::optional<tTavikLineFilterSettings> target;
  int status = 0;
  for (auto _ : state) {
    target.emplace();
    nQoORB100::tByteInputStream bytesIn(bytes.data(), bytes.size());
    nQoORB100::iExternalInputStream& in =
        *nQoBench::opaque<nQoORB100::iExternalInputStream*>(&bytesIn);
    in.readU32(status);
    nQoUdR100::tTavikLineFilterSettingsFields& fields = target->supervisorRecord();
    fields.identifier.readExternal(in, status);
    const uint32_t count = in.readU32(status);
    for (uint32_t i = 0; i < count; ++i) {
      nQoUdR100::tLineFilterEntry entry;
      entry.lineGroup = in.readU32(status);
      entry.line = in.readU32(status);
      entry.filterSetting = in.readU32(status);
      fields.lineEntries.append(entry);
    }
    state.PauseTiming();
    target.reset();
    state.ResumeTiming();
  }
  if (status != 0) state.SkipWithError("the entries were not read");
}
BENCHMARK(BM_LineFilterReadFresh1000_Floor);

// Each run copies the 1,000 entries into an object of `held` entries, which
// is brought back to `held` entries outside the measurement; by hand, the
// floor's route.
void copyInto(benchmark::State& state, uint32_t held, bool byHand) {
  tTavikLineFilterSettings source, original, target;
  fill(source, kEntries);
  fill(original, held);
  fill(target, held);
  nQoMDBG100::tStatus2 status;
  nQoUdR100::copyFrom(target, &original, status);  // the identifier's name gets its storage
  uint64_t allocations = 0;
  for (auto _ : state) {
    const uint64_t before = nQoSim::totalAllocations();
    if (byHand) {
      const nQoMRL100::iPrimitiveSettings* asked = &source;
      const auto* same = static_cast<const tTavikLineFilterSettings*>(
          asked->___CPPKRLDynamicCast(&tTavikLineFilterSettings::___classID));
      target.supervisorRecord().identifier = same->supervisorRecord().identifier;
      target.supervisorRecord().lineEntries = same->supervisorRecord().lineEntries;
    } else {
      nQoUdR100::copyFrom(target, &source, status);
    }
    allocations = nQoSim::totalAllocations() - before;
    state.PauseTiming();
    nQoUdR100::copyFrom(target, &original, status);
    state.ResumeTiming();
  }
  const uint64_t added = held < kEntries ? kEntries - held : 0;
  if (status.code != 0) state.SkipWithError("the entries were not copied");
  if (allocations != added) state.SkipWithError("a copy allocated more than one node an entry");
}

void BM_LineFilterCopyFrom1000Into500(benchmark::State& state) { copyInto(state, 500, false); }
BENCHMARK(BM_LineFilterCopyFrom1000Into500);

void BM_LineFilterCopyFrom1000Into1500(benchmark::State& state) { copyInto(state, 1500, false); }
BENCHMARK(BM_LineFilterCopyFrom1000Into1500);

// Floors: the class cast, then the identifier and the list assigned by hand.
void BM_LineFilterCopyFrom1000Into500_Floor(benchmark::State& state) { copyInto(state, 500, true); }
BENCHMARK(BM_LineFilterCopyFrom1000Into500_Floor);

void BM_LineFilterCopyFrom1000Into1500_Floor(benchmark::State& state) {
  copyInto(state, 1500, true);
}
BENCHMARK(BM_LineFilterCopyFrom1000Into1500_Floor);

// Floor: the write's stream calls (base word, identifier, count, entries) by
// hand from an array of entries, through the stream's interface.
void BM_LineFilterWrite1000_Floor(benchmark::State& state) {
  std::vector<nQoUdR100::tLineFilterEntry> entries;
  for (uint32_t i = 0; i < kEntries; ++i) entries.push_back({i % 2, i % 16, i % 5});
  const nQoMRL100::tGeneralIdentifier identifier;
  nQoORB100::tByteOutputStream bytesOut;
  nQoORB100::iExternalOutputStream& out =
      *nQoBench::opaque<nQoORB100::iExternalOutputStream*>(&bytesOut);
  int status = 0;
  for (auto _ : state) {
    bytesOut.rewind();
    out.writeU32(0, status);
    identifier.writeExternal(out, status);
    out.writeU32(kEntries, status);
    for (const nQoUdR100::tLineFilterEntry& entry : entries) {
      out.writeU32(entry.lineGroup, status);
      out.writeU32(entry.line, status);
      out.writeU32(entry.filterSetting, status);
    }
    benchmark::DoNotOptimize(bytesOut.bytes().data());
  }
  if (status != 0) state.SkipWithError("the entries were not written");
}
BENCHMARK(BM_LineFilterWrite1000_Floor);

// Physical floor: the 1,000 entries' 12,000 bytes copied once.
void BM_LineFilterWrite1000_PhysicalFloor(benchmark::State& state) {
  // Source and target in one block, the target 4 KiB past the source's end,
  // so that their placement does not move with the heap.
  constexpr size_t kSize = kEntries * 12;
  std::vector<uint8_t> block(2 * kSize + 4096, 0x5A);
  const uint8_t* source = block.data();
  uint8_t* target = block.data() + kSize + 4096;
  for (auto _ : state) {
    std::memcpy(target, source, kSize);
    benchmark::DoNotOptimize(target);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_LineFilterWrite1000_PhysicalFloor);

}  // namespace
