// Replies and the Async route, each beside a floor that makes the same
// platform calls and checks by hand: a scalar reply (status block, one
// 32-bit value), a 1,000-element array reply into an array that starts empty
// and grows by doubling through the platform allocator, and a request packed
// through an interface's Async function (construct, message get, header,
// one byte, finish).
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "apal/nQoAPALMemory.h"
#include "chassis/cartridge/tCartridgeAO_DAC.h"
#include "chassis/interfaces/tChassisSleep.h"
#include "chassis/interfaces/tDigController.h"
#include "fsl/tQuorlPacker.h"
#include "fsl/tRequestContext.h"
#include "fsl/tRequestTransfer.h"
#include "sim/simAllocator.h"
#include "sim/simMessageSource.h"
#include "sim/simReplySource.h"

namespace {

using nQoFSL100::tArray;
using namespace nQoFSL100::nQoMIOCS;

constexpr uint32_t kElements = 1000;

uint32_t element(uint32_t i) { return i * 2654435761u; }

// A status block without a code, then a 32-bit value.
const std::vector<uint8_t> kScalarReply{0, 0, 0, 0, 0, 0, 0, 2, 0x12, 0x34, 0x56, 0x78};

// The status block, then a 32-bit array field of kElements.
std::vector<uint8_t> valuesReply() {
  std::vector<uint8_t> reply{0, 0, 0, 0, 0, 0, 0, 2, 0, 0};
  const uint32_t length = 4 * kElements + 2;
  reply.push_back(uint8_t(length >> 8));
  reply.push_back(uint8_t(length));
  for (uint32_t i = 0; i < kElements; ++i)
    for (int shift = 24; shift >= 0; shift -= 8) reply.push_back(uint8_t(element(i) >> shift));
  return reply;
}

// The reply's bytes after an empty status block, or null.
const unsigned char* afterEmptyBlock(nQoFSL100::tRequestContext& context, const unsigned char*& end,
                                     nQoMDBG100::tStatus2& status) {
  const unsigned char* begin = nullptr;
  context.replyBuffer(begin, end, status);
  if (status.isFatal() || end - begin < 8) return nullptr;
  const uint32_t length = uint32_t(begin[6]) << 8 | begin[7];
  if (length != 2) return nullptr;
  return begin + 8;
}

void BM_ScalarReply(benchmark::State& state) {
  nQoSim::tScriptedReplySource replies;
  replies.setReply(kScalarReply);
  nQoFSL100::tRequestContext context(&replies);
  nQoMDBG100::tStatus2 status;
  uint32_t value = 0;
  nCartridgeAO_DAC::tReadStatusPacker packer(nullptr, nullptr, 0x1234, 0, value);
  uint32_t sum = 0;
  for (auto _ : state) {
    packer.unpack(context, status);
    sum += value;
  }
  benchmark::DoNotOptimize(sum);
  if (status.code != 0 || value != 0x12345678) state.SkipWithError("unpack failed");
}
BENCHMARK(BM_ScalarReply);

// Floor: the reply buffer, the status block, the room and the value.
void BM_ScalarReply_Floor(benchmark::State& state) {
  nQoSim::tScriptedReplySource replies;
  replies.setReply(kScalarReply);
  nQoFSL100::tRequestContext context(&replies);
  nQoMDBG100::tStatus2 status;
  uint32_t sum = 0;
  for (auto _ : state) {
    const unsigned char* end = nullptr;
    const unsigned char* in = afterEmptyBlock(context, end, status);
    if (in == nullptr || end - in < 4) break;
    uint32_t bigEndian;
    std::memcpy(&bigEndian, in, 4);
    sum += __builtin_bswap32(bigEndian);
  }
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_ScalarReply_Floor);

void BM_ArrayReplyThatGrows(benchmark::State& state) {
  nQoSim::tScriptedReplySource replies;
  replies.setReply(valuesReply());
  nQoFSL100::tRequestContext context(&replies);
  nQoMDBG100::tStatus2 status;
  std::size_t size = 0;
  for (auto _ : state) {
    tArray<uint32_t> values;
    nDigController::tReadMultipleCartridgesPacker packer(nullptr, nullptr, 0x1234, 0, values);
    packer.unpack(context, status);
    size = values.size();
    benchmark::DoNotOptimize(values.begin());
  }
  if (status.code != 0 || size != kElements) state.SkipWithError("unpack failed");
}
BENCHMARK(BM_ArrayReplyThatGrows);

// Floor: the reply buffer and its checks, then the elements appended to
// storage that doubles through the platform allocator, and freed.
void BM_ArrayReplyThatGrows_Floor(benchmark::State& state) {
  nQoSim::tScriptedReplySource replies;
  replies.setReply(valuesReply());
  nQoFSL100::tRequestContext context(&replies);
  nQoMDBG100::tStatus2 status;
  for (auto _ : state) {
    const unsigned char* end = nullptr;
    const unsigned char* in = afterEmptyBlock(context, end, status);
    if (in == nullptr || end - in < 4) break;
    const uint32_t count = ((uint32_t(in[2]) << 8 | in[3]) - 2) / 4;
    in += 4;
    uint32_t* storage = nullptr;
    std::size_t size = 0;
    std::size_t capacity = 0;
    for (uint32_t i = 0; i < count; ++i) {
      if (size == capacity) {
        capacity = capacity == 0 ? 1 : capacity * 2;
        auto* grown = static_cast<uint32_t*>(_memNewUsingCRT(capacity * 4, 0, nullptr));
        if (grown == nullptr) break;
        if (size != 0) std::memcpy(grown, storage, size * 4);
        _memDelete(storage);
        storage = grown;
      }
      uint32_t bigEndian;
      std::memcpy(&bigEndian, in + 4 * i, 4);
      storage[size++] = __builtin_bswap32(bigEndian);
    }
    benchmark::DoNotOptimize(storage);
    _memDelete(storage);
  }
}
BENCHMARK(BM_ArrayReplyThatGrows_Floor);

void BM_ViaAsyncPack(benchmark::State& state) {
  nQoSim::tScriptedMessageSource source;
  source.reuseOneBuffer(9);
  nQoFSL100::tRequestTransfer transfer(&source);
  const nQoFSL100::tRequestMessage& message = source.message(0);
  nQoMDBG100::tStatus2 status;
  const uint64_t before = nQoSim::totalAllocations();
  uint8_t arg = 0;
  for (auto _ : state) {
    nChassisSleep::tSleepControlPacker packer(nullptr, nullptr, 0x1234, ++arg);
    packer.pack(transfer, 1, status);
    benchmark::DoNotOptimize(message.bufferBegin);
  }
  if (nQoSim::totalAllocations() != before) state.SkipWithError("allocated");
  if (status.code != 0) state.SkipWithError("pack failed");
}
BENCHMARK(BM_ViaAsyncPack);

// The packer object the transport takes a call as: the platform's packer
// base with nothing of its own.
class tHandPacker final : public nQoFSL100::tQuorlPacker {
 public:
  using tQuorlPacker::tQuorlPacker;
  void pack(nQoFSL100::tRequestTransfer&, unsigned int, nQoMDBG100::tStatus2&) override {}
  void unpack(nQoFSL100::tRequestContext&, nQoMDBG100::tStatus2&) override {}
  uint32_t requestSize(nQoMDBG100::tStatus2&) override { return 0; }
};

// Floor: the packer object built and destroyed, the status looked at before
// and after the message is asked for, the message's checks (open, allocated,
// room for the request and for the allocated size), the header and the byte,
// the zero padding past the requested length, the finished flag.
void BM_ViaAsyncPack_Floor(benchmark::State& state) {
  nQoSim::tScriptedMessageSource source;
  source.reuseOneBuffer(9);
  nQoFSL100::tRequestTransfer transfer(&source);
  nQoMDBG100::tStatus2 status;
  uint8_t arg = 0;
  for (auto _ : state) {
    tHandPacker packer(nullptr, nullptr, 0x1234);
    benchmark::DoNotOptimize(&packer);
    if (status.isFatal()) break;
    nQoFSL100::tRequestMessage* message = transfer.newMessage(9, status);
    if (message == nullptr || status.isFatal()) break;
    const std::ptrdiff_t room = message->writeLimit - message->requestStart;
    const std::ptrdiff_t allocatedSize = message->bufferEnd - message->bufferBegin;
    if (message->finished != 0 || message->allocated == 0 || room < 9 ||
        std::ptrdiff_t(message->requestedLength) > allocatedSize || allocatedSize > room)
      break;
    unsigned char* out = message->requestStart;
    out[2] = 1;
    out[3] = 8;
    out[4] = 0x08;
    out[5] = 0x01;
    out[6] = 0x12;
    out[7] = 0x34;
    out[8] = ++arg;
    if (allocatedSize > std::ptrdiff_t(message->requestedLength))
      std::memset(out + message->requestedLength, 0, allocatedSize - message->requestedLength);
    message->finished = 1;
    benchmark::DoNotOptimize(message->bufferBegin);
  }
}
BENCHMARK(BM_ViaAsyncPack_Floor);

}  // namespace
