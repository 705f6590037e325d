// Packing a 1,000-element request and reading a 1,000-element reply, each
// beside a floor that makes the same platform calls (message get and finish,
// reply buffer) and checks (room, status block, length field) around a
// hand-written big-endian loop over the same bytes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "chassis/interfaces/tDigController.h"
#include "chassis/packRepeatedly.h"
#include "fsl/tRequestContext.h"
#include "fsl/tRequestTransfer.h"
#include "sim/simAllocator.h"
#include "sim/simMessageSource.h"
#include "sim/simReplySource.h"

namespace {

using nQoFSL100::tArray;
using namespace nQoFSL100::nQoMIOCS::nDigController;

constexpr uint32_t kElements = 1000;

uint32_t element(uint32_t i) { return i * 2654435761u; }

void reportAllocations(benchmark::State& state, uint64_t before) {
  state.counters["allocations"] = static_cast<double>(nQoSim::totalAllocations() - before);
}

void BM_PackWriteMultipleCartridges(benchmark::State& state) {
  tArray<uint32_t> arg2;
  for (uint32_t i = 0; i < kElements; ++i) arg2.append(element(i));
  tArray<uint32_t> arg3;
  tWriteMultipleCartridgesPacker packer(nullptr, nullptr, 0x1234, 0xA5A5A5A5, arg2, arg3);
  nQoBench::packRepeatedly(state, packer, 8 + 4 + 4 + 4 * kElements + 4,
                           packer.heldInput<1>().begin());
}
BENCHMARK(BM_PackWriteMultipleCartridges);

// Floor: the message from the source, its room checked, the same request
// written by a plain loop, the message finished.
void BM_PackWriteMultipleCartridges_Floor(benchmark::State& state) {
  std::vector<uint32_t> arg2(kElements);
  for (uint32_t i = 0; i < kElements; ++i) arg2[i] = element(i);
  constexpr uint32_t kSize = 8 + 4 + 4 + 4 * kElements + 4;
  nQoSim::tScriptedMessageSource source;
  source.reuseOneBuffer(kSize, arg2.data());
  nQoFSL100::tRequestTransfer transfer(&source);
  nQoMDBG100::tStatus2 status;
  for (auto _ : state) {
    nQoFSL100::tRequestMessage* message = transfer.newMessage(kSize, status);
    if (message == nullptr || message->finished != 0 || message->allocated == 0 ||
        message->writeLimit - message->requestStart < kSize)
      break;
    unsigned char* out = message->requestStart;
    const unsigned char header[] = {0,
                                    0,
                                    1,
                                    9,
                                    0x08,
                                    0x30,
                                    0x12,
                                    0x34,
                                    0xA5,
                                    0xA5,
                                    0xA5,
                                    0xA5,
                                    0,
                                    0,
                                    uint8_t((4 * kElements + 2) >> 8),
                                    uint8_t(4 * kElements + 2)};
    std::memcpy(out + 2, header + 2, sizeof header - 2);
    out += sizeof header;
    for (uint32_t value : arg2) {
      const uint32_t bigEndian = __builtin_bswap32(value);
      std::memcpy(out, &bigEndian, 4);
      out += 4;
    }
    const unsigned char empty[] = {0, 0, 0, 2};
    std::memcpy(out, empty, 4);
    message->finished = 1;
    benchmark::DoNotOptimize(message->bufferBegin);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PackWriteMultipleCartridges_Floor);

std::vector<uint8_t> valuesReply() {
  std::vector<uint8_t> reply{0, 0, 0, 0, 0, 0, 0, 2, 0, 0};
  const uint32_t length = 4 * kElements + 2;
  reply.push_back(uint8_t(length >> 8));
  reply.push_back(uint8_t(length));
  for (uint32_t i = 0; i < kElements; ++i)
    for (int shift = 24; shift >= 0; shift -= 8) reply.push_back(uint8_t(element(i) >> shift));
  return reply;
}

void BM_UnpackReadMultipleCartridges(benchmark::State& state) {
  tArray<uint32_t> values;
  for (uint32_t i = 0; i < kElements; ++i) values.append(0);
  tReadMultipleCartridgesPacker packer(nullptr, nullptr, 0x1234, 0, values);
  nQoSim::tScriptedReplySource replies;
  replies.setReply(valuesReply());
  nQoFSL100::tRequestContext context(&replies);
  nQoMDBG100::tStatus2 status;
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    packer.unpack(context, status);
    benchmark::DoNotOptimize(values.begin());
  }
  reportAllocations(state, before);
  if (status.code != 0 || values.size() != kElements) state.SkipWithError("unpack failed");
}
BENCHMARK(BM_UnpackReadMultipleCartridges);

// Floor: the reply buffer, its empty status block and its length field
// checked, the same elements read by a plain loop.
void BM_UnpackReadMultipleCartridges_Floor(benchmark::State& state) {
  nQoSim::tScriptedReplySource replies;
  replies.setReply(valuesReply());
  nQoFSL100::tRequestContext context(&replies);
  nQoMDBG100::tStatus2 status;
  std::vector<uint32_t> values(kElements);
  for (auto _ : state) {
    const unsigned char* begin = nullptr;
    const unsigned char* end = nullptr;
    context.replyBuffer(begin, end, status);
    if (end - begin < 12 || begin[6] != 0 || begin[7] != 2) break;
    const uint32_t length = uint32_t(begin[10]) << 8 | begin[11];
    if (length - 2 > uint32_t(end - begin - 12) || (length - 2) / 4 != values.size()) break;
    const uint8_t* in = begin + 12;
    for (uint32_t& value : values) {
      uint32_t bigEndian;
      std::memcpy(&bigEndian, in, 4);
      value = __builtin_bswap32(bigEndian);
      in += 4;
    }
    benchmark::DoNotOptimize(values.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_UnpackReadMultipleCartridges_Floor);

}  // namespace
