// The array arguments of the chassis service packers: their layout, the
// length field's limit, copies that could not be allocated and short room.
#include <gtest/gtest.h>

#include <cstdint>

#include "chassis/interfaces/tChassisAOTiming.h"
#include "chassis/interfaces/tDMAAdaptor.h"
#include "chassis/interfaces/tIndustrialChassis.h"
#include "chassis/interfaces/tMultiAI_ADC.h"
#include "chassis/interfaces/tRoutable.h"
#include "chassisTest.h"
#include "sim/simAllocator.h"

namespace {

using namespace nQoFSL100::nQoMIOCS;
using nQoFSL100::tArray;
using nQoFSL100::tQuorlPacker;
using nQoTest::be32;
using nQoTest::fill;
using nQoTest::logged;
using nQoTest::operator+;
using nQoTest::tBytes;

class tServiceArraysTest : public nQoTest::tChassisTest {
 protected:
  tArray<uint32_t> noWords;

  // The bytes of a message from the given offset to its end.
  tBytes tail(std::size_t message, std::size_t from) const {
    const tBytes all = source.bytes(message);
    return tBytes(all.begin() + std::ptrdiff_t(from), all.end());
  }
  tBytes lastTail(std::size_t from) const { return tail(source.messageCount() - 1, from); }

  // What an array argument of a packer should show.
  struct tExpected {
    uint32_t maxElements;  // the most its length field counts exactly
    uint32_t sizeAtMax;    // the request size with that many
    std::size_t lengthAt;  // the length field's offset then
    const char* file;      // the site of a failed copy
    unsigned line;
    uint32_t sizeOfThree;  // the request size with three elements
  };

  // The largest array goes out with its exact length field; one element more
  // is refused before any message is asked for. A copy whose own storage
  // failed gives -50352 at its site and no message; a flag only taken over
  // from the caller's array lets the elements go out without a code.
  // build(array, use) hands use a packer around the array.
  template <class T, class tBuild>
  void expectArrayArgument(tBuild build, const tExpected& expected) {
    SCOPED_TRACE(expected.file);
    auto pack = [&](tQuorlPacker& packer) { packer.pack(transfer, 1, status); };
    tArray<T> array;
    for (uint32_t i = 0; i < expected.maxElements; ++i) array.append(T(i));
    build(array, pack);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(source.requestedLengths().back(), expected.sizeAtMax);
    const uint32_t length = 2 + expected.maxElements * uint32_t(sizeof(T));
    EXPECT_EQ(lastTail(expected.lengthAt)[0], uint8_t(length >> 8));
    EXPECT_EQ(lastTail(expected.lengthAt)[1], uint8_t(length));

    array.append(0);
    const std::size_t calls = source.calls();
    build(array, pack);
    EXPECT_EQ(status.code, -228700);
    EXPECT_TRUE(logged(-228700, "tQuorlDataWriter", 340));
    EXPECT_EQ(source.calls(), calls);

    status.clear();
    tArray<T> small;
    fill<T>(small, {1, 2});
    nQoSim::failAllocation(1);
    build(small, pack);
    EXPECT_EQ(status.code, -50352);
    EXPECT_TRUE(logged(-50352, expected.file, expected.line));
    EXPECT_EQ(source.calls(), calls);

    status.clear();
    nQoSim::failAllocation(1);
    small.append(3);
    small.append(4);
    ASSERT_TRUE(small.allocationFailed());
    build(small, pack);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(source.requestedLengths().back(), expected.sizeOfThree);
  }
};

TEST_F(tServiceArraysTest, RouteLaysOutTwoArrays) {
  nRoutable::tRoutePacker empty(nullptr, nullptr, 1, noWords, noWords);
  empty.pack(transfer, 1, status);
  EXPECT_EQ(sent(8, 8), (tBytes{0, 0, 0, 2, 0, 0, 0, 2}));

  tArray<uint32_t> three;
  fill<uint32_t>(three, {0x11, 0x22, 0x33});
  tArray<uint32_t> one;
  fill<uint32_t>(one, {0xA0B0C0D0});
  nRoutable::tRoutePacker packer(nullptr, nullptr, 1, three, one);
  EXPECT_EQ(packer.requestSize(status), 32u);
  packer.pack(transfer, 1, status);
  EXPECT_EQ(source.requestedLengths(), (std::vector<uint32_t>{16, 32}));
  EXPECT_EQ(lastTail(8),
            (be32(14) + be32(0x11) + be32(0x22) + be32(0x33) + be32(6) + be32(0xA0B0C0D0)));
}

TEST_F(tServiceArraysTest, ArrayArgumentsAreBoundedAndCopied) {
  expectArrayArgument<uint32_t>(
      [&](const tArray<uint32_t>& a, auto use) {
        nRoutable::tRoutePacker p(nullptr, nullptr, 1, a, noWords);
        use(p);
      },
      {16383, 65548, 10, "tRoutable", 128, 28});
  expectArrayArgument<uint32_t>(
      [&](const tArray<uint32_t>& a, auto use) {
        nRoutable::tRoutePacker p(nullptr, nullptr, 1, noWords, a);
        use(p);
      },
      {16383, 65548, 14, "tRoutable", 128, 28});
  expectArrayArgument<uint32_t>(
      [&](const tArray<uint32_t>& a, auto use) {
        nDMAAdaptor::tWritePacker p(nullptr, nullptr, 1, a);
        use(p);
      },
      {16383, 65544, 10, "tDMAAdaptor", 422, 24});
  expectArrayArgument<uint8_t>(
      [&](const tArray<uint8_t>& a, auto use) {
        nIndustrialChassis::tSetCounterOutputExpirationStatesPacker p(nullptr, nullptr, 1, a);
        use(p);
      },
      {65533, 65543, 8, "tIndustrialChassis", 359, 13});
  expectArrayArgument<uint16_t>(
      [&](const tArray<uint16_t>& a, auto use) {
        nChassisAOTiming::tCommitPacker p(nullptr, nullptr, 1, a, 0x80);
        use(p);
      },
      {32766, 65543, 8, "tChassisAOTiming", 174, 17});
  expectArrayArgument<uint16_t>(
      [&](const tArray<uint16_t>& a, auto use) {
        nMultiAI_ADC::tSetLinkedPrimVtrPacker p(nullptr, nullptr, 1, a);
        use(p);
      },
      {32766, 65542, 8, "tMultiAI_ADC", 61, 16});
}

TEST_F(tServiceArraysTest, EmptyArraysStillCarryTheirLength) {
  tArray<uint8_t> noBytes;
  nIndustrialChassis::tSetCounterOutputExpirationStatesPacker states(nullptr, nullptr, 1, noBytes);
  tArray<uint16_t> noHalves;
  nChassisAOTiming::tCommitPacker commit(nullptr, nullptr, 1, noHalves, 0x01);
  nMultiAI_ADC::tSetLinkedPrimVtrPacker links(nullptr, nullptr, 1, noHalves);
  nDMAAdaptor::tWritePacker write(nullptr, nullptr, 1, noWords);
  states.pack(transfer, 1, status);
  commit.pack(transfer, 1, status);
  links.pack(transfer, 1, status);
  write.pack(transfer, 1, status);
  EXPECT_EQ(source.requestedLengths(), (std::vector<uint32_t>{10, 11, 10, 12}));
  EXPECT_EQ(sent(8, 2), (tBytes{0, 2}));
  const tBytes tails[] = {{0, 2}, {0, 2, 0x01}, {0, 2}, {0, 0, 0, 2}};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(tail(i, 8), tails[i]) << i;
}

TEST_F(tServiceArraysTest, AOTimingCommitUnderShortRoom) {
  tArray<uint16_t> list;
  fill<uint16_t>(list, {0x0001, 0x0203});
  nChassisAOTiming::tCommitPacker packer(nullptr, nullptr, 1, list, 0x80);

  // Room up to byte 14: the list goes out, its u8 does not.
  source.script({.limitShort = 1});
  packer.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_TRUE(logged(-228700, "tQuorlDataWriter", 358));
  EXPECT_EQ(tail(0, 8), (tBytes{0, 6, 0, 1, 2, 3, 0xEE}));
  EXPECT_FALSE(finished());

  // Room up to byte 12: nothing from byte 8 on.
  status.clear();
  source.script({.limitShort = 3});
  packer.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_EQ(tail(1, 8), tBytes(7, 0xEE));
  EXPECT_EQ(source.message(1).finished, 0u);
}

}  // namespace
