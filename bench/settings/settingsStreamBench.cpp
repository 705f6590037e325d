// A flat settings class of 32 u32 words written to and read back from the
// byte streams, beside the same 128 bytes copied out and back by memcpy, and
// beside the same stream calls (32 words and the base word each way) made by
// hand. The measured path must not allocate.
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <tuple>

#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"
#include "sim/simAllocator.h"

namespace {

struct tWordsFields {
  std::array<uint32_t, 32> words{};
  static constexpr auto kStreamOrder = std::tuple(&tWordsFields::words);
};

struct tWordsSettingsRow {
  [[maybe_unused]] static constexpr const char* kClassName = "nQoUdR100::tWordsBenchSettings";
  using tRecords = std::tuple<nQoUdR100::tFieldRecord<tWordsFields>>;
};
using tWordsSettings = nQoUdR100::tSettings<tWordsSettingsRow>;

void BM_SettingsWriteRead32Words(benchmark::State& state) {
  tWordsSettings source, target;
  for (uint32_t i = 0; i < 32; ++i) source.record<0>().words[i] = 0x11223300u + i;
  nQoORB100::tByteOutputStream out;
  int status = 0;
  source.writeExternal(out, status);
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    out.rewind();
    source.writeExternal(out, status);
    nQoORB100::tByteInputStream in(out.bytes().data(), out.bytes().size());
    target.readExternal(in, status);
    benchmark::DoNotOptimize(target.record<0>().words.data());
  }
  if (status != 0 || !(target.record<0>() == source.record<0>()))
    state.SkipWithError("the words did not travel");
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the measured path allocated");
}
BENCHMARK(BM_SettingsWriteRead32Words);

// Physical floor: the 128 bytes copied out to a buffer and back.
void BM_SettingsWriteRead32Words_PhysicalFloor(benchmark::State& state) {
  std::array<uint32_t, 32> source{}, target{};
  for (uint32_t i = 0; i < 32; ++i) source[i] = 0x11223300u + i;
  uint8_t buffer[128];
  for (auto _ : state) {
    std::memcpy(buffer, source.data(), sizeof buffer);
    benchmark::ClobberMemory();
    std::memcpy(target.data(), buffer, sizeof buffer);
    benchmark::DoNotOptimize(target.data());
  }
}
BENCHMARK(BM_SettingsWriteRead32Words_PhysicalFloor);

// Floor: the same stream calls written out by hand.
void BM_SettingsWriteRead32Words_Floor(benchmark::State& state) {
  std::array<uint32_t, 32> source{}, target{};
  for (uint32_t i = 0; i < 32; ++i) source[i] = 0x11223300u + i;
  uint32_t base = 0;
  nQoORB100::tByteOutputStream out;
  int status = 0;
  for (auto _ : state) {
    out.rewind();
    for (uint32_t word : source) out.writeU32(word, status);
    out.writeU32(base, status);
    nQoORB100::tByteInputStream in(out.bytes().data(), out.bytes().size());
    for (uint32_t& word : target) word = in.readU32(status);
    base = in.readU32(status);
    benchmark::DoNotOptimize(target.data());
  }
  if (status != 0 || target != source) state.SkipWithError("the words did not travel");
}
BENCHMARK(BM_SettingsWriteRead32Words_Floor);

}  // namespace
