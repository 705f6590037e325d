// pack against messages that fail or fall short, a transfer without a
// source, and array arguments at the length field's limit, with a failed
// copy or with a flag taken over from the caller's array.
#include "chassisTest.h"

namespace {

using namespace nQoTest;

class tPackFailuresTest : public tChassisTest {};

struct tMessageCase {
  const char* name;
  tMake make;
  nQoSim::tMessageScript script;
  int code;
  const char* file;  // and line: the site of the code, if the packer sets it
  unsigned line;
  bool header;   // bytes 2-7 written
  tBytes from8;  // the message from byte 8 on (0xEE: untouched)
  bool finished;
};

TEST_F(tPackFailuresTest, MessagesThatFailOrFallShort) {
  // clang-format off
  const tMake lines = make<nCartridgeDIODirection::tConfigureLinesCmrPacker>(1u, 2u, 3u, 4u, 5u, 6u, 7u);
  const tMake fifo = make<nChassisAIScanningFrontEnd::tProgramConfigFIFOPacker>(u16s{0x1234, 0xABCD});
  const tMake ao = make<nChassisAOTiming::tCommitPacker>(u16s{1, 0x0203}, uint8_t(0x80));
  const tMake reset = make<nCartridgeController::tResetPacker>();
  const tMake dsa = make<nCartridgeAOTimingController::tCommitDSAPacker>(1u, 2u, 3u, 4u, u32s{5});
  const tMake cartridges =
      make<nDigController::tWriteMultipleCartridgesPacker>(0x01020304u, u32s{1, 2}, u32s{});
  const tBytes six = be32s({1, 2, 3, 4, 5, 6});
  auto ee = [](std::size_t n) { return tBytes(n, 0xEE); };
  const tMessageCase cases[] = {
      {"DataAreaOf34", lines, {.limitShort = 2}, -228700, "tQuorlDataWriter", 358, true, six + ee(4), false},
      {"Finished", lines, {.finished = true}, -50150, "tRequestMessage", 61, false, ee(28), true},
      {"SourceWarning", lines, {.statusCode = 300}, 300, nullptr, 0, true, six + be32(7), true},
      {"SourceError", lines, {.statusCode = -300}, -300, nullptr, 0, false, ee(28), false},
      {"ListPastTheLimit", fifo, {.limitShort = 2}, -228700, "tQuorlDataWriter", 358, true, ee(6), false},
      {"NotAllocated", fifo, {.notAllocated = true}, -50150, "tRequestMessage", 97, true, {0, 6, 0x12, 0x34, 0xAB, 0xCD}, false},
      {"WordsPastTheLimit", dsa, {.limitShort = 2}, -228700, "tQuorlDataWriter", 358, true, be32s({1, 2, 3, 4}) + ee(8), false},
      {"U8PastTheLimit", ao, {.limitShort = 1}, -228700, "tQuorlDataWriter", 358, true, {0, 6, 0, 1, 2, 3, 0xEE}, false},
      {"ListAndU8PastTheLimit", ao, {.limitShort = 3}, -228700, "tQuorlDataWriter", 358, true, ee(7), false},
      {"PaddingZeroed", reset, {.slack = 4}, 0, nullptr, 0, true, {0, 0, 0, 0}, true},
      {"PaddingPastTheLimit", reset, {.slack = 4, .limitShort = 1}, -228700, "tQuorlDataWriter", 358, true, ee(4), true},
      {"ArraysPadded", cartridges, {.slack = 4}, 0, nullptr, 0, true, be32s({0x01020304, 10, 1, 2, 2, 0}), true},
  };
  // clang-format on
  std::size_t message = 0;
  for (const tMessageCase& c : cases) {
    SCOPED_TRACE(c.name);
    status.clear();
    nQoSim::clearStatusLog();
    tPackerPtr packer(c.make(0x1234));
    source.script(c.script);
    packer->pack(transfer, 1, status);
    EXPECT_EQ(status.code, c.code);
    if (c.file != nullptr) {
      EXPECT_TRUE(loggedAt(c.code, c.file, c.line));
    }
    const tBytes all = source.bytes(message);
    EXPECT_EQ(tBytes(all.begin(), all.begin() + 2), tBytes(2, 0xEE));
    if (!c.header) {
      EXPECT_EQ(tBytes(all.begin() + 2, all.begin() + 8), tBytes(6, 0xEE));
    }
    EXPECT_EQ(sent(message, 8), c.from8);
    EXPECT_EQ(source.message(message++).finished != 0, c.finished);
  }
}

TEST_F(tPackFailuresTest, NoSourceSetsItsOwnCodeOnly) {
  int words[2];
  nDigController::tResetPacker reset(&words[0], &words[1], 0x1234);
  EXPECT_EQ(reset.transport1(), &words[0]);
  EXPECT_EQ(reset.transport2(), &words[1]);
  nCartridgeDIODirection::tConfigureLinesCmrPacker lines(nullptr, nullptr, 1, 1, 2, 3, 4, 5, 6, 7);
  nQoFSL100::tRequestTransfer noSource(nullptr);
  for (tQuorlPacker* packer : std::initializer_list<tQuorlPacker*>{&reset, &lines}) {
    status.clear();
    packer->pack(noSource, 1, status);
    EXPECT_EQ(status.code, -50352);
  }
  EXPECT_TRUE(loggedAt(-50352, "tRequestTransfer", 34));
  EXPECT_FALSE(loggedIn(-50004, "tDigController") || loggedIn(-50004, "tCartridgeDIODirection"));
}

// Builds a packer around an array argument of count elements 1, 2, 3, ...; a
// flagged array also carries the flag of an element it dropped. failing
// counts allocations from the packer's own block.
struct tArrayArgument {
  std::function<tQuorlPacker*(uint32_t count, bool flagged, uint64_t failing)> make;
  uint32_t elementBytes;
};
template <class T, class tBuild>
tArrayArgument withArray(tBuild build) {
  return {[build](uint32_t count, bool flagged, uint64_t failing) -> tQuorlPacker* {
            tArray<T> array;
            for (uint32_t i = 0; i < count; ++i) array.append(T(i + 1));
            if (flagged) {
              nQoSim::failAllocation(1);
              array.append(0);
            }
            nQoSim::failAllocation(failing);
            return build(array);
          },
          uint32_t(sizeof(T))};
}

struct tArrayCase {
  const char* name;
  tArrayArgument argument;
  const char* file;  // and line: the site of a failed copy
  unsigned line;
  uint32_t emptySize;  // the request size with the array empty
  uint32_t lengthAt;   // the offset of the array's length field
};

// The largest array goes out with its exact length field; one element more
// is refused before any message. A copy without storage gives -50352 at its
// site and no message; a flag only taken over is sent with the elements.
TEST_F(tPackFailuresTest, ArrayArgumentsAreBoundedAndCopied) {
  namespace ao = nCartridgeAOTimingController;
  namespace at = nCartridgeAnalogTrigger;
  const tArray<uint32_t> noWords;
  tArray<uint32_t> maxWords;
  tArray<uint16_t> maxHalves;
  for (uint32_t i = 0; i < 16383; ++i) maxWords.append(i);
  for (uint32_t i = 0; i < 32766; ++i) maxHalves.append(uint16_t(i));
  // clang-format off
  const tArrayCase cases[] = {
      {"WriteMultipleCartridges", withArray<uint32_t>([&](auto& a) { return new nDigController::tWriteMultipleCartridgesPacker(nullptr, nullptr, 1, 0, a, noWords); }), "tDigController", 220, 20, 12},
      {"ProgramConfigFIFO", withArray<uint16_t>([](auto& a) { return new nChassisAIScanningFrontEnd::tProgramConfigFIFOPacker(nullptr, nullptr, 1, a); }), "tChassisAIScanningFrontEnd", 437, 10, 8},
      {"RouteFirst", withArray<uint32_t>([&](auto& a) { return new nRoutable::tRoutePacker(nullptr, nullptr, 1, a, noWords); }), "tRoutable", 128, 16, 8},
      {"RouteSecond", withArray<uint32_t>([&](auto& a) { return new nRoutable::tRoutePacker(nullptr, nullptr, 1, noWords, a); }), "tRoutable", 128, 16, 12},
      {"DMAWrite", withArray<uint32_t>([](auto& a) { return new nDMAAdaptor::tWritePacker(nullptr, nullptr, 1, a); }), "tDMAAdaptor", 422, 12, 8},
      {"ExpirationStates", withArray<uint8_t>([](auto& a) { return new nIndustrialChassis::tSetCounterOutputExpirationStatesPacker(nullptr, nullptr, 1, a); }), "tIndustrialChassis", 359, 10, 8},
      {"AOTimingCommit", withArray<uint16_t>([](auto& a) { return new nChassisAOTiming::tCommitPacker(nullptr, nullptr, 1, a, 0x80); }), "tChassisAOTiming", 174, 11, 8},
      {"LinkedPrimVtr", withArray<uint16_t>([](auto& a) { return new nMultiAI_ADC::tSetLinkedPrimVtrPacker(nullptr, nullptr, 1, a); }), "tMultiAI_ADC", 61, 10, 8},
      {"MultiDACWords", withArray<uint32_t>([&](auto& a) { return new nCartridgeAO_DAC::tMultiDACWritePacker(nullptr, nullptr, 1, a, maxHalves); }), "tCartridgeAO_DAC", 131, 65546, 8},
      {"MultiDACHalves", withArray<uint16_t>([&](auto& a) { return new nCartridgeAO_DAC::tMultiDACWritePacker(nullptr, nullptr, 1, maxWords, a); }), "tCartridgeAO_DAC", 131, 65546, 65544},
      {"CommitDSA", withArray<uint32_t>([](auto& a) { return new ao::tCommitDSAPacker(nullptr, nullptr, 1, 1, 2, 3, 4, a); }), "tCartridgeAOTimingController", 121, 28, 24},
      {"WriteEEPROM", withArray<uint8_t>([](auto& a) { return new nCartridgeTEDSCommunicator::tWriteEEPROMPacker(nullptr, nullptr, 1, 1, 2, 3, 4, a); }), "tCartridgeTEDSCommunicator", 141, 26, 24},
      {"Write8BytePROM", withArray<uint8_t>([](auto& a) { return new nCartridgeTEDSCommunicator::tWrite8BytePROMPacker(nullptr, nullptr, 1, 1, a); }), "tCartridgeTEDSCommunicator", 171, 14, 12},
      {"BlockWriteBytes", withArray<uint8_t>([](auto& a) { return new nCartridgeEEPROM::tBlockWriteBytesPacker(nullptr, nullptr, 1, 0x10, a); }), "tCartridgeEEPROM", 131, 12, 10},
      {"DataMemoryWrite", withArray<uint32_t>([](auto& a) { return new nCartridgeDataMemory::tWritePacker(nullptr, nullptr, 1, 0x10, 3, a); }), "tCartridgeDataMemory", 141, 16, 12},
      {"UpdateFirmware", withArray<uint32_t>([](auto& a) { return new nCartridgeProcessor::tUpdateFirmwarePacker(nullptr, nullptr, 1, 7, a); }), "tCartridgeProcessor", 111, 16, 12},
      {"TriggerCommit", withArray<uint32_t>([](auto& a) { return new at::tCommitPacker(nullptr, nullptr, 1, 1, 2, 3, a); }), "tCartridgeAnalogTrigger", 111, 24, 20},
      {"TriggerUncommit", withArray<uint32_t>([](auto& a) { return new at::tUncommitPacker(nullptr, nullptr, 1, 1, 2, 3, a); }), "tCartridgeAnalogTrigger", 121, 24, 20},
      {"TriggerArm", withArray<uint32_t>([](auto& a) { return new at::tArmPacker(nullptr, nullptr, 1, 1, 2, a); }), "tCartridgeAnalogTrigger", 131, 20, 16},
  };
  // clang-format on
  // The first n bytes of a message from an offset; the last n bytes of a value.
  auto prefix = [&](std::size_t message, std::size_t from, std::size_t n) {
    const tBytes all = sent(message, from);
    return tBytes(all.begin(), all.begin() + std::ptrdiff_t(std::min(n, all.size())));
  };
  auto low = [](uint32_t value, std::size_t n) {
    const tBytes all = be32(value);
    return tBytes(all.end() - std::ptrdiff_t(n), all.end());
  };
  for (const tArrayCase& c : cases) {
    SCOPED_TRACE(c.name);
    const uint32_t bytes = c.argument.elementBytes;
    const uint32_t most = (0xFFFF - 2) / bytes;
    const std::size_t lengthBytes = bytes == 4 ? 4 : 2;
    const std::size_t first = source.messageCount();
    status.clear();
    nQoSim::clearStatusLog();
    tPackerPtr(c.argument.make(most, false, 0))->pack(transfer, 1, status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(source.requestedLengths().back(), c.emptySize + most * bytes);
    EXPECT_EQ(prefix(first, c.lengthAt, lengthBytes),
              (tBytes(lengthBytes - 2, 0) + tBytes{0xFF, uint8_t(bytes == 1 ? 0xFF : 0xFE)}));

    tPackerPtr(c.argument.make(most + 1, false, 0))->pack(transfer, 1, status);
    EXPECT_EQ(status.code, -228700);
    EXPECT_TRUE(loggedAt(-228700, "tQuorlDataWriter", 340));
    status.clear();
    tPackerPtr(c.argument.make(3, false, 2))->pack(transfer, 1, status);
    EXPECT_EQ(status.code, -50352);
    EXPECT_TRUE(loggedAt(-50352, c.file, c.line));
    EXPECT_EQ(source.messageCount(), first + 1);

    status.clear();
    tPackerPtr(c.argument.make(1, true, 0))->pack(transfer, 1, status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(source.requestedLengths().back(), c.emptySize + bytes);
    EXPECT_EQ(prefix(source.messageCount() - 1, c.lengthAt, lengthBytes + bytes),
              low(2 + bytes, lengthBytes) + low(1, bytes));
  }
}

}  // namespace
