// The largest cartridge arrays beside hand-written floors that make the same
// platform calls and checks (reply buffer, status block, length field; message
// get and finish): a 65,533-byte EEPROM block read into a reused caller's
// array and into a buffer, and a 65,533-byte block write, each around a
// memcpy; a 16,383-word data memory read around a byte-swap loop. The bare
// copies stay as the physical floors. Each reply lies at one distance from
// the storage it is read into.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "chassis/cartridge/tCartridgeDataMemory.h"
#include "chassis/cartridge/tCartridgeEEPROM.h"
#include "chassis/packRepeatedly.h"
#include "fsl/tRequestContext.h"
#include "fsl/tRequestTransfer.h"
#include "sim/simAllocator.h"
#include "sim/simMessageSource.h"
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

// Unpacks the reply again and again into the output (asked for once the
// first read has sized a reused array), the reply placed at one distance
// from it.
template <class tOutput>
void unpackRepeatedly(benchmark::State& state, nQoFSL100::tQuorlPacker& packer,
                      const std::vector<uint8_t>& reply, tOutput outputOf) {
  nQoSim::tScriptedReplySource replies;
  replies.setReply(reply);
  nQoFSL100::tRequestContext context(&replies);
  nQoMDBG100::tStatus2 status;
  packer.unpack(context, status);  // the first read sizes a reused array
  const void* output = outputOf();
  replies.setReply(reply, output);
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
  unpackRepeatedly(state, packer, bytesReply(), [&] { return bytes.begin(); });
  if (bytes.size() != kBytes) state.SkipWithError("short array");
}
BENCHMARK(BM_BlockReadBytesIntoArray);

void BM_BlockReadBytesIntoBuffer(benchmark::State& state) {
  std::vector<uint8_t> buffer(kBytes);
  nCartridgeEEPROM::tBlockReadBytesPacker packer(nullptr, nullptr, 0x1234, 0, 0, buffer.data(),
                                                 kBytes);
  unpackRepeatedly(state, packer, bytesReply(), [&] { return buffer.data(); });
}
BENCHMARK(BM_BlockReadBytesIntoBuffer);

// The array field after an empty status block: its elements and their
// count, or null.
const unsigned char* arrayField(nQoFSL100::tRequestContext& context, std::size_t lengthBytes,
                                std::size_t elementBytes, uint32_t& count,
                                nQoMDBG100::tStatus2& status) {
  const unsigned char* begin = nullptr;
  const unsigned char* end = nullptr;
  context.replyBuffer(begin, end, status);
  if (status.isFatal() || end - begin < std::ptrdiff_t(8 + lengthBytes)) return nullptr;
  if ((uint32_t(begin[6]) << 8 | begin[7]) != 2) return nullptr;
  const unsigned char* field = begin + 8 + lengthBytes;
  const uint32_t bytes = (uint32_t(field[-2]) << 8 | field[-1]) - 2;
  if (bytes > uint32_t(end - field)) return nullptr;
  count = bytes / uint32_t(elementBytes);
  return field;
}

// Floor: the reply's checks and the bytes copied out.
void bytesFloor(benchmark::State& state) {
  std::vector<uint8_t> buffer(kBytes);
  nQoSim::tScriptedReplySource replies;
  replies.setReply(bytesReply(), buffer.data());
  nQoFSL100::tRequestContext context(&replies);
  nQoMDBG100::tStatus2 status;
  for (auto _ : state) {
    uint32_t count = 0;
    const unsigned char* field = arrayField(context, 2, 1, count, status);
    if (field == nullptr || count > buffer.size()) break;
    std::memcpy(buffer.data(), field, count);
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
}
void BM_BlockReadBytesIntoArray_Floor(benchmark::State& state) { bytesFloor(state); }
BENCHMARK(BM_BlockReadBytesIntoArray_Floor);
void BM_BlockReadBytesIntoBuffer_Floor(benchmark::State& state) { bytesFloor(state); }
BENCHMARK(BM_BlockReadBytesIntoBuffer_Floor);

// Physical floor: the bytes copied out of the reply.
void BM_BlockReadBytesIntoArray_PhysicalFloor(benchmark::State& state) {
  const std::vector<uint8_t> reply = bytesReply();
  std::vector<uint8_t> buffer(kBytes);
  for (auto _ : state) {
    std::memcpy(buffer.data(), reply.data() + 10, kBytes);
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BlockReadBytesIntoArray_PhysicalFloor);

void BM_DataMemoryReadIntoArray(benchmark::State& state) {
  tArray<uint32_t> words;
  nCartridgeDataMemory::tReadPacker packer(nullptr, nullptr, 0x1234, 0, 0, &words);
  unpackRepeatedly(state, packer, wordsReply(), [&] { return words.begin(); });
  if (words.size() != kWords) state.SkipWithError("short array");
}
BENCHMARK(BM_DataMemoryReadIntoArray);

// Floor: the reply's checks and the words byte-swapped out.
void BM_DataMemoryReadIntoArray_Floor(benchmark::State& state) {
  std::vector<uint32_t> words(kWords);
  nQoSim::tScriptedReplySource replies;
  replies.setReply(wordsReply(), words.data());
  nQoFSL100::tRequestContext context(&replies);
  nQoMDBG100::tStatus2 status;
  for (auto _ : state) {
    uint32_t count = 0;
    const unsigned char* in = arrayField(context, 4, 4, count, status);
    if (in == nullptr || count != words.size()) break;
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
BENCHMARK(BM_DataMemoryReadIntoArray_Floor);

void BM_BlockWriteBytesPack(benchmark::State& state) {
  tArray<uint8_t> bytes;
  for (uint32_t i = 0; i < kBytes; ++i) bytes.append(uint8_t(i * 131));
  nCartridgeEEPROM::tBlockWriteBytesPacker packer(nullptr, nullptr, 0x1234, 0x0010, bytes);
  nQoBench::packRepeatedly(state, packer, 12 + kBytes, packer.heldInput<1>().begin());
}
BENCHMARK(BM_BlockWriteBytesPack);

// Floor: the message from the source and its checks, the header and the
// bytes copied into the request, the message finished.
void BM_BlockWriteBytesPack_Floor(benchmark::State& state) {
  std::vector<uint8_t> bytes(kBytes);
  for (uint32_t i = 0; i < kBytes; ++i) bytes[i] = uint8_t(i * 131);
  nQoSim::tScriptedMessageSource source;
  source.reuseOneBuffer(12 + kBytes, bytes.data());
  nQoFSL100::tRequestTransfer transfer(&source);
  nQoMDBG100::tStatus2 status;
  for (auto _ : state) {
    nQoFSL100::tRequestMessage* message = transfer.newMessage(12 + kBytes, status);
    if (message == nullptr || message->finished != 0 || message->allocated == 0 ||
        message->writeLimit - message->requestStart < 12 + kBytes)
      break;
    const uint8_t header[] = {1, 10, 0x08, 0x63, 0x12, 0x34, 0x00, 0x10, 0xFF, 0xFF};
    std::memcpy(message->requestStart + 2, header, sizeof header);
    std::memcpy(message->requestStart + 12, bytes.data(), kBytes);
    message->finished = 1;
    benchmark::DoNotOptimize(message->bufferBegin);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BlockWriteBytesPack_Floor);

}  // namespace
