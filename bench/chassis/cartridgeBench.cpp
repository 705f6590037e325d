// Cartridge packers beside hand-written floors: a whole AI timing commit
// call (construct, pack, unpack a status-only reply, destroy) against the
// same platform calls by hand (message get, header and arguments, padding,
// finish, reply buffer, status block) and, as the physical floor, 45 byte
// stores; and the largest multi-DAC write against the message got, checked
// and finished around a plain big-endian store loop (a request of this size
// has no padding, so the loop is the same work), the loop alone as the
// physical floor. Path and floors read the words and halves that the packer
// copied, and the message buffer lies at one placement from those words.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "chassis/cartridge/tCartridgeAITimingController.h"
#include "chassis/cartridge/tCartridgeAO_DAC.h"
#include "chassis/packRepeatedly.h"
#include "fsl/tQuorlPacker.h"
#include "fsl/tRequestContext.h"
#include "fsl/tRequestTransfer.h"
#include "sim/simAllocator.h"
#include "sim/simMessageSource.h"
#include "sim/simReplySource.h"

namespace {

using nQoFSL100::tArray;

constexpr uint32_t kWords = 16383;
constexpr uint32_t kHalves = 32766;
constexpr uint32_t kMultiDACSize = 14 + 4 * kWords + 2 * kHalves;

void reportAllocations(benchmark::State& state, uint64_t before) {
  state.counters["allocations"] = static_cast<double>(nQoSim::totalAllocations() - before);
}

void BM_AITimingCommitCall(benchmark::State& state) {
  nQoSim::tScriptedMessageSource source;
  source.reuseOneBuffer(45);
  nQoFSL100::tRequestTransfer transfer(&source);
  nQoSim::tScriptedReplySource replies;
  replies.setReply({0, 0, 0, 0, 0, 0, 0, 2});
  nQoFSL100::tRequestContext context(&replies);
  nQoMDBG100::tStatus2 status;
  const nQoFSL100::tRequestMessage& message = source.message(0);
  const uint64_t before = nQoSim::totalAllocations();
  uint32_t arg = 0;
  for (auto _ : state) {
    ++arg;
    nQoFSL100::nQoMIOCS::nCartridgeAITimingController::tCommitPacker packer(
        nullptr, nullptr, 0x1234, arg, 2, 3, 4, 5, 6, 7, 8, 9, 0xFF);
    packer.pack(transfer, 1, status);
    packer.unpack(context, status);
    benchmark::DoNotOptimize(message.bufferBegin);
  }
  reportAllocations(state, before);
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the call allocated");
  if (status.code != 0) state.SkipWithError("call failed");
}
BENCHMARK(BM_AITimingCommitCall);

// The packer object the transport takes a call as: the platform's packer
// base with nothing of its own.
class tHandPacker final : public nQoFSL100::tQuorlPacker {
 public:
  using tQuorlPacker::tQuorlPacker;
  void pack(nQoFSL100::tRequestTransfer&, unsigned int, nQoMDBG100::tStatus2&) override {}
  void unpack(nQoFSL100::tRequestContext&, nQoMDBG100::tStatus2&) override {}
  uint32_t requestSize(nQoMDBG100::tStatus2&) override { return 0; }
};

// Floor: the same work by hand: the packer object built and destroyed, the
// message from the source, the header and the nine arguments, the padding
// and the finished flag, the reply buffer and its empty status block.
void BM_AITimingCommitCall_Floor(benchmark::State& state) {
  nQoSim::tScriptedMessageSource source;
  source.reuseOneBuffer(45);
  nQoFSL100::tRequestTransfer transfer(&source);
  nQoSim::tScriptedReplySource replies;
  replies.setReply({0, 0, 0, 0, 0, 0, 0, 2});
  nQoFSL100::tRequestContext context(&replies);
  nQoMDBG100::tStatus2 status;
  uint32_t arg = 0;
  for (auto _ : state) {
    ++arg;
    const uint32_t args[9] = {arg, 2, 3, 4, 5, 6, 7, 8, 9};
    tHandPacker packer(nullptr, nullptr, 0x1234);
    benchmark::DoNotOptimize(&packer);
    nQoFSL100::tRequestMessage* message = transfer.newMessage(45, status);
    if (message == nullptr || message->finished != 0 || message->allocated == 0 ||
        message->writeLimit - message->requestStart < 45)
      break;
    unsigned char* out = message->requestStart;
    out[2] = 1;
    out[3] = 8;
    out[4] = 0x08;
    out[5] = 0x72;
    out[6] = 0x12;
    out[7] = 0x34;
    out += 8;
    for (uint32_t value : args) {
      const uint32_t bigEndian = __builtin_bswap32(value);
      std::memcpy(out, &bigEndian, 4);
      out += 4;
    }
    out[0] = 0xFF;
    message->finished = 1;
    const unsigned char* begin = nullptr;
    const unsigned char* end = nullptr;
    context.replyBuffer(begin, end, status);
    if (end - begin < 8 || begin[6] != 0 || begin[7] != 2) break;
    benchmark::DoNotOptimize(message->bufferBegin);
  }
  if (status.code != 0) state.SkipWithError("call failed");
}
BENCHMARK(BM_AITimingCommitCall_Floor);

// Physical floor: the same 45 request bytes, one store each.
void BM_AITimingCommitCall_PhysicalFloor(benchmark::State& state) {
  std::vector<unsigned char> buffer(45);
  uint32_t arg = 0;
  for (auto _ : state) {
    ++arg;
    const uint32_t args[9] = {arg, 2, 3, 4, 5, 6, 7, 8, 9};
    unsigned char* out = buffer.data();
    out[2] = 1;
    out[3] = 8;
    out[4] = 0x08;
    out[5] = 0x72;
    out[6] = 0x12;
    out[7] = 0x34;
    out += 8;
    for (uint32_t value : args) {
      out[0] = uint8_t(value >> 24);
      out[1] = uint8_t(value >> 16);
      out[2] = uint8_t(value >> 8);
      out[3] = uint8_t(value);
      out += 4;
    }
    out[0] = 0xFF;
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_AITimingCommitCall_PhysicalFloor);

// The words and halves of the request every multi-DAC benchmark writes.
struct tMultiDACArguments {
  tMultiDACArguments() {
    for (uint32_t i = 0; i < kWords; ++i) words.append(i * 2654435761u);
    for (uint32_t i = 0; i < kHalves; ++i) halves.append(uint16_t(i * 40503u));
  }
  tArray<uint32_t> words;
  tArray<uint16_t> halves;
};

// A packer over them. The packer reads its own copies of the two arrays,
// wherever the heap put them; the floors read the same copies, and every
// message buffer lies at one placement from the copied words, so that path
// and floors copy at one relative placement of sources and destination.
struct tMultiDAC : tMultiDACArguments {
  nQoFSL100::nQoMIOCS::nCartridgeAO_DAC::tMultiDACWritePacker packer{nullptr, nullptr, 0x1234,
                                                                     words, halves};
  const tArray<uint32_t>& heldWords() const { return packer.heldInput<0>(); }
  const tArray<uint16_t>& heldHalves() const { return packer.heldInput<1>(); }
};

void BM_MultiDACWritePack(benchmark::State& state) {
  tMultiDAC dac;
  nQoBench::packRepeatedly(state, dac.packer, kMultiDACSize, dac.heldWords().begin());
}
BENCHMARK(BM_MultiDACWritePack);

// The request's bytes by plain big-endian store loops.
void writeMultiDAC(unsigned char* out, const tArray<uint32_t>& words,
                   const tArray<uint16_t>& halves) {
  const unsigned char header[] = {0, 0, 1, 10, 0x08, 0x80, 0x12, 0x34, 0, 0, 0xFF, 0xFE};
  std::memcpy(out, header, sizeof header);
  out += sizeof header;
  for (uint32_t value : words) {
    const uint32_t bigEndian = __builtin_bswap32(value);
    std::memcpy(out, &bigEndian, 4);
    out += 4;
  }
  out[0] = 0xFF;
  out[1] = 0xFE;
  out += 2;
  for (uint16_t value : halves) {
    const uint16_t bigEndian = __builtin_bswap16(value);
    std::memcpy(out, &bigEndian, 2);
    out += 2;
  }
}

// Floor: the message from the source and its checks, the request written by
// plain big-endian store loops, the message finished.
void BM_MultiDACWritePack_Floor(benchmark::State& state) {
  const tMultiDAC dac;
  const tArray<uint32_t>& words = dac.heldWords();
  const tArray<uint16_t>& halves = dac.heldHalves();
  nQoSim::tScriptedMessageSource source;
  source.reuseOneBuffer(kMultiDACSize, words.begin());
  nQoFSL100::tRequestTransfer transfer(&source);
  nQoMDBG100::tStatus2 status;
  for (auto _ : state) {
    nQoFSL100::tRequestMessage* message = transfer.newMessage(kMultiDACSize, status);
    if (message == nullptr || message->finished != 0 || message->allocated == 0 ||
        message->writeLimit - message->requestStart < kMultiDACSize)
      break;
    writeMultiDAC(message->requestStart, words, halves);
    message->finished = 1;
    benchmark::DoNotOptimize(message->bufferBegin);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MultiDACWritePack_Floor);

// Physical floor: the same request written by plain big-endian store loops
// into a buffer at the same placement from the words.
void BM_MultiDACWritePack_PhysicalFloor(benchmark::State& state) {
  const tMultiDAC dac;
  const tArray<uint32_t>& words = dac.heldWords();
  const tArray<uint16_t>& halves = dac.heldHalves();
  nQoSim::tScriptedMessageSource source;
  source.reuseOneBuffer(kMultiDACSize, words.begin());
  nQoFSL100::tRequestTransfer transfer(&source);
  nQoMDBG100::tStatus2 status;
  unsigned char* buffer = transfer.newMessage(kMultiDACSize, status)->requestStart;
  for (auto _ : state) {
    writeMultiDAC(buffer, words, halves);
    benchmark::DoNotOptimize(buffer);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MultiDACWritePack_PhysicalFloor);

}  // namespace
