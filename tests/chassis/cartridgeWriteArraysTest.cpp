// The cartridge requests that carry an array of bytes or words: empty
// arrays, the largest arrays their length field counts and one more, a
// copy that could not be allocated, a flag only taken over from the
// caller's array, and a message too short for the array.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "cartridgeRows.h"
#include "chassis/cartridge/tCartridgeAnalogTrigger.h"
#include "chassis/cartridge/tCartridgeDataMemory.h"
#include "chassis/cartridge/tCartridgeEEPROM.h"
#include "chassis/cartridge/tCartridgeProcessor.h"
#include "chassis/cartridge/tCartridgeTEDSCommunicator.h"
#include "chassisTest.h"
#include "sim/simAllocator.h"

namespace {

using namespace nQoFSL100::nQoMIOCS;
using nQoFSL100::tArray;
using nQoFSL100::tQuorlPacker;
using nQoTest::be32;
using nQoTest::kRowObject;
using nQoTest::logged;
using nQoTest::operator+;
using nQoTest::tBytes;

// Builds a packer from an array of count elements 1, 2, 3, ...; a flagged
// array (count 1, so full) also carries the allocation-failed flag of an
// element it dropped. The allocation failing counts from the packer's own
// block.
using tMake = std::function<tQuorlPacker*(uint32_t count, bool flagged, uint64_t failing)>;

template <class T, class tBuild>
tMake withArray(tBuild build) {
  return [build](uint32_t count, bool flagged, uint64_t failing) {
    tArray<T> array;
    for (uint32_t i = 0; i < count; ++i) array.append(static_cast<T>(i + 1));
    if (flagged) {
      nQoSim::failAllocation(1);
      array.append(0);
    }
    nQoSim::failAllocation(failing);
    return build(array);
  };
}

struct tArrayInput {
  const char* name;
  tMake make;
  const char* file;
  unsigned line;  // the site of -50352 for a failed copy
  uint32_t elementBytes;
  uint32_t emptySize;  // the request size with an empty array
};

template <class T>
using tArg = const tArray<T>&;

std::vector<tArrayInput> arrayInputs() {
  namespace te = nCartridgeTEDSCommunicator;
  namespace ee = nCartridgeEEPROM;
  namespace dm = nCartridgeDataMemory;
  namespace pr = nCartridgeProcessor;
  namespace at = nCartridgeAnalogTrigger;
  return {
      {"TEDS.WriteEEPROM", withArray<uint8_t>([](tArg<uint8_t> a) -> tQuorlPacker* {
         return new te::tWriteEEPROMPacker(nullptr, nullptr, kRowObject, 1, 2, 3, 4, a);
       }),
       "tCartridgeTEDSCommunicator", 141, 1, 26},
      {"TEDS.Write8BytePROM", withArray<uint8_t>([](tArg<uint8_t> a) -> tQuorlPacker* {
         return new te::tWrite8BytePROMPacker(nullptr, nullptr, kRowObject, 1, a);
       }),
       "tCartridgeTEDSCommunicator", 171, 1, 14},
      {"EEPROM.BlockWriteBytes", withArray<uint8_t>([](tArg<uint8_t> a) -> tQuorlPacker* {
         return new ee::tBlockWriteBytesPacker(nullptr, nullptr, kRowObject, 0x10, a);
       }),
       "tCartridgeEEPROM", 131, 1, 12},
      {"DataMemory.Write", withArray<uint32_t>([](tArg<uint32_t> a) -> tQuorlPacker* {
         return new dm::tWritePacker(nullptr, nullptr, kRowObject, 0x10, 3, a);
       }),
       "tCartridgeDataMemory", 141, 4, 16},
      {"Processor.UpdateFirmware", withArray<uint32_t>([](tArg<uint32_t> a) -> tQuorlPacker* {
         return new pr::tUpdateFirmwarePacker(nullptr, nullptr, kRowObject, 7, a);
       }),
       "tCartridgeProcessor", 111, 4, 16},
      {"AnalogTrigger.Commit", withArray<uint32_t>([](tArg<uint32_t> a) -> tQuorlPacker* {
         return new at::tCommitPacker(nullptr, nullptr, kRowObject, 1, 2, 3, a);
       }),
       "tCartridgeAnalogTrigger", 111, 4, 24},
      {"AnalogTrigger.Uncommit", withArray<uint32_t>([](tArg<uint32_t> a) -> tQuorlPacker* {
         return new at::tUncommitPacker(nullptr, nullptr, kRowObject, 1, 2, 3, a);
       }),
       "tCartridgeAnalogTrigger", 121, 4, 24},
      {"AnalogTrigger.Arm", withArray<uint32_t>([](tArg<uint32_t> a) -> tQuorlPacker* {
         return new at::tArmPacker(nullptr, nullptr, kRowObject, 1, 2, a);
       }),
       "tCartridgeAnalogTrigger", 131, 4, 20},
  };
}

// The length field of n elements, as it ends the fixed part of a request.
tBytes lengthField(uint32_t elementBytes, uint32_t n) {
  const uint32_t length = 2 + elementBytes * n;
  if (elementBytes == 4) return be32(length);
  return tBytes{uint8_t(length >> 8), uint8_t(length)};
}

// The elements 1..n as the request carries them.
tBytes elements(uint32_t elementBytes, uint32_t n) {
  tBytes bytes;
  for (uint32_t i = 1; i <= n; ++i)
    bytes = bytes + (elementBytes == 4 ? be32(i) : tBytes{uint8_t(i)});
  return bytes;
}

class tCartridgeWriteArraysTest : public nQoTest::tChassisTest,
                                  public ::testing::WithParamInterface<tArrayInput> {
 protected:
  std::unique_ptr<tQuorlPacker> build(uint32_t count, bool flagged = false, uint64_t failing = 0) {
    return std::unique_ptr<tQuorlPacker>(GetParam().make(count, flagged, failing));
  }
  uint32_t lengthBytes() const { return GetParam().elementBytes == 4 ? 4 : 2; }
  uint32_t arrayAt() const { return GetParam().emptySize - lengthBytes(); }
  uint32_t maxElements() const { return (0xFFFF - 2) / GetParam().elementBytes; }
};

TEST_P(tCartridgeWriteArraysTest, EmptyAndSmallArrays) {
  const tArrayInput& c = GetParam();
  std::unique_ptr<tQuorlPacker> empty = build(0);
  EXPECT_EQ(empty->requestSize(status), c.emptySize);
  empty->pack(transfer, 1, status);
  EXPECT_EQ(source.requestedLengths().back(), c.emptySize);
  EXPECT_EQ(sent(arrayAt(), lengthBytes()), lengthField(c.elementBytes, 0));

  std::unique_ptr<tQuorlPacker> three = build(3);
  three->pack(transfer, 1, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(source.requestedLengths().back(), c.emptySize + 3 * c.elementBytes);
  const tBytes bytes = source.bytes(1);
  EXPECT_EQ(tBytes(bytes.begin() + arrayAt(), bytes.end()),
            lengthField(c.elementBytes, 3) + elements(c.elementBytes, 3));
}

TEST_P(tCartridgeWriteArraysTest, TheLengthFieldBoundsTheArray) {
  const tArrayInput& c = GetParam();
  {
    std::unique_ptr<tQuorlPacker> largest = build(maxElements());
    largest->pack(transfer, 1, status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(source.requestedLengths().back(), c.emptySize + maxElements() * c.elementBytes);
    EXPECT_EQ(sent(arrayAt(), lengthBytes()), lengthField(c.elementBytes, maxElements()));
  }
  std::unique_ptr<tQuorlPacker> tooMany = build(maxElements() + 1);
  tooMany->pack(transfer, 1, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_TRUE(logged(-228700, "tQuorlDataWriter", 340));
  EXPECT_EQ(source.calls(), 1u);
}

TEST_P(tCartridgeWriteArraysTest, AFailedCopyIsRefusedButATakenOverFlagIsSent) {
  const tArrayInput& c = GetParam();
  std::unique_ptr<tQuorlPacker> failed = build(3, false, 2);
  ASSERT_NE(failed, nullptr);
  failed->pack(transfer, 1, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(logged(-50352, c.file, c.line));
  EXPECT_EQ(source.calls(), 0u);

  status.clear();
  std::unique_ptr<tQuorlPacker> flagged = build(1, true);
  flagged->pack(transfer, 1, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(source.requestedLengths(), std::vector<uint32_t>{c.emptySize + c.elementBytes});
  EXPECT_EQ(sent(arrayAt(), lengthBytes() + c.elementBytes),
            lengthField(c.elementBytes, 1) + elements(c.elementBytes, 1));
}

TEST_P(tCartridgeWriteArraysTest, AnArrayThatDoesNotFitIsNotWritten) {
  std::unique_ptr<tQuorlPacker> three = build(3);
  source.script({.limitShort = 1});
  three->pack(transfer, 1, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_TRUE(logged(-228700, "tQuorlDataWriter", 358));
  const tBytes bytes = source.bytes(0);
  EXPECT_EQ(tBytes(bytes.begin() + arrayAt(), bytes.end()), tBytes(bytes.size() - arrayAt(), 0xEE));
  EXPECT_FALSE(finished());
}

INSTANTIATE_TEST_SUITE_P(Classes, tCartridgeWriteArraysTest, ::testing::ValuesIn(arrayInputs()),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           name.erase(name.find('.'), 1);
                           return name;
                         });

}  // namespace
