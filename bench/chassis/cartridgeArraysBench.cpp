// The largest cartridge arrays beside hand-written floors: a 65,533-byte
// EEPROM block read into a reused caller's array and into a buffer, and a
// 65,533-byte block write, each against memcpy; a 16,383-word data memory
// read against a byte-swap loop.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "chassis/cartridge/tCartridgeDataMemory.h"
#include "chassis/cartridge/tCartridgeEEPROM.h"
#include "chassis/packRepeatedly.h"
#include "fsl/tRequestContext.h"
#include "sim/simAllocator.h"
#include "sim/simReplySource.h"

namespace {

using nQoFSL100::tArray;
using namespace nQoFSL100::nQoMIOCS;

constexpr uint32_t kBytes = 65533;
constexpr uint32_t kWords = 16383;

// A reply with an empty status block and then the array field.
std::vector<uint8_t> bytesReply() {
  std::vector<uint8_t> reply{0, 0, 0, 0, 0, 0, 0, 2, 0xFF, 0xFF};
  for (uint32_t i = 0; i < kBytes; ++i) reply.push_back(uint8_t(i * 131));
  return reply;
}

std::vector<uint8_t> wordsReply() {
  std::vector<uint8_t> reply{0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0xFF, 0xFE};
  for (uint32_t i = 0; i < kWords; ++i)
    for (int shift = 24; shift >= 0; shift -= 8) reply.push_back(uint8_t(i * 2654435761u >> shift));
  return reply;
}

// Unpacks the reply again and again; elements tells how many must arrive.
void unpackRepeatedly(benchmark::State& state, nQoFSL100::tQuorlPacker& packer,
                      const std::vector<uint8_t>& reply, const void* output) {
  nQoSim::tScriptedReplySource replies;
  replies.setReply(reply);
  nQoFSL100::tRequestContext context(&replies);
  nQoMDBG100::tStatus2 status;
  packer.unpack(context, status);  // the first read sizes a reused array
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    packer.unpack(context, status);
    benchmark::DoNotOptimize(output);
    benchmark::ClobberMemory();
  }
  state.counters["allocations"] = static_cast<double>(nQoSim::totalAllocations() - before);
  if (status.code != 0) state.SkipWithError("unpack failed");
}

void BM_BlockReadBytesIntoArray(benchmark::State& state) {
  tArray<uint8_t> bytes;
  nCartridgeEEPROM::tBlockReadBytesPacker packer(nullptr, nullptr, 0x1234, 0, 0, &bytes);
  unpackRepeatedly(state, packer, bytesReply(), bytes.begin());
  if (bytes.size() != kBytes) state.SkipWithError("short array");
}
BENCHMARK(BM_BlockReadBytesIntoArray);

void BM_BlockReadBytesIntoBuffer(benchmark::State& state) {
  std::vector<uint8_t> buffer(kBytes);
  nCartridgeEEPROM::tBlockReadBytesPacker packer(nullptr, nullptr, 0x1234, 0, 0, buffer.data(),
                                                 kBytes);
  unpackRepeatedly(state, packer, bytesReply(), buffer.data());
}
BENCHMARK(BM_BlockReadBytesIntoBuffer);

// Floor: the bytes copied out of the reply.
void BM_BytesMemcpyFloor(benchmark::State& state) {
  const std::vector<uint8_t> reply = bytesReply();
  std::vector<uint8_t> buffer(kBytes);
  for (auto _ : state) {
    std::memcpy(buffer.data(), reply.data() + 10, kBytes);
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BytesMemcpyFloor);

void BM_DataMemoryReadIntoArray(benchmark::State& state) {
  tArray<uint32_t> words;
  nCartridgeDataMemory::tReadPacker packer(nullptr, nullptr, 0x1234, 0, 0, &words);
  unpackRepeatedly(state, packer, wordsReply(), words.begin());
  if (words.size() != kWords) state.SkipWithError("short array");
}
BENCHMARK(BM_DataMemoryReadIntoArray);

// Floor: the words byte-swapped out of the reply.
void BM_WordsSwapFloor(benchmark::State& state) {
  const std::vector<uint8_t> reply = wordsReply();
  std::vector<uint32_t> words(kWords);
  for (auto _ : state) {
    const uint8_t* in = reply.data() + 12;
    for (uint32_t& word : words) {
      uint32_t bigEndian;
      std::memcpy(&bigEndian, in, 4);
      word = __builtin_bswap32(bigEndian);
      in += 4;
    }
    benchmark::DoNotOptimize(words.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_WordsSwapFloor);

void BM_BlockWriteBytesPack(benchmark::State& state) {
  tArray<uint8_t> bytes;
  for (uint32_t i = 0; i < kBytes; ++i) bytes.append(uint8_t(i * 131));
  nCartridgeEEPROM::tBlockWriteBytesPacker packer(nullptr, nullptr, 0x1234, 0x0010, bytes);
  nQoBench::packRepeatedly(state, packer, 12 + kBytes);
}
BENCHMARK(BM_BlockWriteBytesPack);

// Floor: the header and the bytes copied into the request.
void BM_BlockWriteBytesFloor(benchmark::State& state) {
  std::vector<uint8_t> bytes(kBytes);
  for (uint32_t i = 0; i < kBytes; ++i) bytes[i] = uint8_t(i * 131);
  std::vector<uint8_t> buffer(12 + kBytes);
  for (auto _ : state) {
    const uint8_t header[] = {0, 0, 1, 10, 0x08, 0x63, 0x12, 0x34, 0x00, 0x10, 0xFF, 0xFF};
    std::memcpy(buffer.data(), header, sizeof header);
    std::memcpy(buffer.data() + sizeof header, bytes.data(), kBytes);
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BlockWriteBytesFloor);

}  // namespace
