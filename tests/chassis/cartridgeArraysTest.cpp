// The cartridge requests that carry arrays: the multi-DAC write (u32 and u16
// arrays) and the AO timing DSA commit (u32 array).
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <type_traits>

#include "chassis/cartridge/tCartridgeAOTimingController.h"
#include "chassis/cartridge/tCartridgeAO_DAC.h"
#include "chassisTest.h"
#include "sim/simAllocator.h"

namespace {

using nQoFSL100::tArray;
using nQoFSL100::tQuorlPacker;
using nQoFSL100::nQoMIOCS::nCartridgeAO_DAC::tMultiDACWritePacker;
using nQoFSL100::nQoMIOCS::nCartridgeAOTimingController::tCommitDSAPacker;
using nQoTest::be32;
using nQoTest::fill;
using nQoTest::logged;
using nQoTest::operator+;
using nQoTest::tBytes;

template <class T>
void fillCount(tArray<T>& array, uint32_t count) {
  array.clear();
  for (uint32_t i = 0; i < count; ++i) array.append(static_cast<T>(i));
}

// A copy would share the array copies' storage and free it twice.
static_assert(!std::is_copy_constructible_v<tMultiDACWritePacker> &&
              !std::is_move_constructible_v<tMultiDACWritePacker> &&
              !std::is_copy_assignable_v<tCommitDSAPacker> &&
              !std::is_move_assignable_v<tCommitDSAPacker>);

class tCartridgeArraysTest : public nQoTest::tChassisTest {};

TEST_F(tCartridgeArraysTest, MultiDACWriteSendsCopiesOfBothArrays) {
  tArray<uint32_t> words;
  tArray<uint16_t> halves;
  fill<uint32_t>(words, {1, 2});
  fill<uint16_t>(halves, {3});
  tMultiDACWritePacker packer(nullptr, nullptr, 1, words, halves);
  fill<uint32_t>(words, {9});
  halves.append(9);
  EXPECT_EQ(packer.requestSize(status), 24u);
  packer.pack(transfer, 1, status);
  EXPECT_EQ(source.requestedLengths(), std::vector<uint32_t>{24});
  EXPECT_EQ(sent(3, 1), (tBytes{10}));
  EXPECT_EQ(sent(8, 16), (be32(10) + be32(1) + be32(2) + tBytes{0, 4, 0, 3}));

  words.clear();
  halves.clear();
  tMultiDACWritePacker empty(nullptr, nullptr, 1, words, halves);
  empty.pack(transfer, 1, status);
  EXPECT_EQ(source.requestedLengths().back(), 14u);
  EXPECT_EQ(source.bytes(1), (tBytes{0xEE, 0xEE, 1, 10, 0x08, 0x80, 0, 1, 0, 0, 0, 2, 0, 2}));
}

TEST_F(tCartridgeArraysTest, MultiDACWriteChecksRoomPerArray) {
  tArray<uint32_t> words;
  tArray<uint16_t> halves;
  fill<uint32_t>(words, {1, 2});
  fill<uint16_t>(halves, {3});
  tMultiDACWritePacker packer(nullptr, nullptr, 1, words, halves);
  source.script({.limitShort = 1});
  packer.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_EQ(sent(8, 16), be32(10) + be32(1) + be32(2) + tBytes(4, 0xEE));
  EXPECT_FALSE(finished());
}

TEST_F(tCartridgeArraysTest, MultiDACWriteAtAndPastTheLengthLimits) {
  tArray<uint32_t> words;
  tArray<uint16_t> halves;
  fillCount(words, 16383);
  fillCount(halves, 32766);
  {
    tMultiDACWritePacker packer(nullptr, nullptr, 1, words, halves);
    EXPECT_EQ(packer.requestSize(status), 131078u);
    packer.pack(transfer, 1, status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(source.requestedLengths(), std::vector<uint32_t>{131078});
    EXPECT_EQ(sent(8, 4), (tBytes{0, 0, 0xFF, 0xFE}));
    EXPECT_EQ(sent(12 + 4 * 16382, 4), be32(16382));
    EXPECT_EQ(sent(12 + 65532, 2), (tBytes{0xFF, 0xFE}));
    EXPECT_EQ(sent(131076, 2), (tBytes{0x7F, 0xFD}));
  }

  words.append(0);
  tMultiDACWritePacker tooManyWords(nullptr, nullptr, 1, words, halves);
  tooManyWords.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_TRUE(logged(-228700, "tQuorlDataWriter", 340));

  status.clear();
  fillCount(words, 16383);
  halves.append(0);
  tMultiDACWritePacker tooManyHalves(nullptr, nullptr, 1, words, halves);
  tooManyHalves.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_EQ(source.calls(), 1u);
}

TEST_F(tCartridgeArraysTest, CommitDSAEndsInItsArray) {
  tArray<uint32_t> words;
  fill<uint32_t>(words, {5});
  tCommitDSAPacker packer(nullptr, nullptr, 1, 1, 2, 3, 4, words);
  packer.pack(transfer, 1, status);
  EXPECT_EQ(source.requestedLengths(), std::vector<uint32_t>{32});
  EXPECT_EQ(sent(3, 3), (tBytes{9, 0x08, 0x81}));
  EXPECT_EQ(sent(8, 24), be32(1) + be32(2) + be32(3) + be32(4) + be32(6) + be32(5));

  words.clear();
  tCommitDSAPacker empty(nullptr, nullptr, 1, 1, 2, 3, 4, words);
  EXPECT_EQ(empty.requestSize(status), 28u);
  empty.pack(transfer, 1, status);
  EXPECT_EQ(source.requestedLengths().back(), 28u);
  EXPECT_EQ(source.bytes(1), (tBytes{0xEE, 0xEE, 1, 9, 0x08, 0x81, 0, 1} + be32(1) + be32(2) +
                              be32(3) + be32(4) + tBytes{0, 0, 0, 2}));

  fillCount(words, 16383);
  tCommitDSAPacker largest(nullptr, nullptr, 1, 1, 2, 3, 4, words);
  largest.pack(transfer, 1, status);
  EXPECT_EQ(source.requestedLengths().back(), 28u + 4 * 16383);
  const tBytes largestBytes = source.bytes(2);
  EXPECT_EQ(tBytes(largestBytes.begin() + 24, largestBytes.begin() + 28),
            (tBytes{0, 0, 0xFF, 0xFE}));
  words.append(0);
  tCommitDSAPacker tooMany(nullptr, nullptr, 1, 1, 2, 3, 4, words);
  tooMany.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_EQ(source.calls(), 3u);
}

TEST_F(tCartridgeArraysTest, AFailedCopyIsRefusedBeforeAnyMessage) {
  tArray<uint32_t> words;
  tArray<uint16_t> halves;
  fill<uint32_t>(words, {5});
  // The packer's own block is the first allocation, its copy the second.
  nQoSim::failAllocation(2);
  std::unique_ptr<tQuorlPacker> dsa(new tCommitDSAPacker(nullptr, nullptr, 1, 1, 2, 3, 4, words));
  ASSERT_NE(dsa, nullptr);
  dsa->pack(transfer, 1, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(logged(-50352, "tCartridgeAOTimingController", 121));
  EXPECT_EQ(source.calls(), 0u);

  // Either copy of the multi-DAC write.
  fill<uint16_t>(halves, {3});
  for (uint64_t failing : {2u, 3u}) {
    status.clear();
    nQoSim::failAllocation(failing);
    std::unique_ptr<tQuorlPacker> dac(new tMultiDACWritePacker(nullptr, nullptr, 1, words, halves));
    dac->pack(transfer, 1, status);
    EXPECT_EQ(status.code, -50352);
    EXPECT_TRUE(logged(-50352, "tCartridgeAO_DAC", 131));
    EXPECT_EQ(source.calls(), 0u);
  }

  // A flag the caller's array already carries is only copied: {5} is sent.
  status.clear();
  nQoSim::failAllocation(1);
  words.append(6);
  ASSERT_TRUE(words.allocationFailed());
  std::unique_ptr<tQuorlPacker> flagged(
      new tCommitDSAPacker(nullptr, nullptr, 1, 1, 2, 3, 4, words));
  flagged->pack(transfer, 1, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(source.requestedLengths(), std::vector<uint32_t>{32});
  EXPECT_EQ(sent(24, 8), be32(6) + be32(5));
}

}  // namespace
