// The cartridge replies that carry an array: the byte arrays of the TEDS,
// EEPROM and multi-cartridge change-detection reads and the word array of
// the data memory read, into the caller's array (by pointer) and into a
// plain buffer of a given capacity.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "chassis/cartridge/tCartridgeDataMemory.h"
#include "chassis/cartridge/tCartridgeEEPROM.h"
#include "chassis/cartridge/tCartridgeTEDSCommunicator.h"
#include "chassis/cartridge/tMultiCartridgeChangeDetection.h"
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

using tBytesArray = tArray<uint8_t>;
using tPackerPtr = std::unique_ptr<tQuorlPacker>;

// A byte-array read built with the inputs 1, 2, ...: its two forms (the
// buffer with room for 8, given or by default) and the site of -50352 for
// its own array having lost bytes.
template <class tPacker, std::size_t kInputs, const char* kFile, unsigned kLine,
          bool kDefaultRoom = false>
struct tByteRead {
  static constexpr const char* file = kFile;
  static constexpr unsigned line = kLine;
  template <class... tOutput>
  static tQuorlPacker* make(tOutput... output) {
    return build(std::make_index_sequence<kInputs>{}, output...);
  }
  template <std::size_t... i, class... tOutput>
  static tQuorlPacker* build(std::index_sequence<i...>, tOutput... output) {
    return new tPacker(nullptr, nullptr, 1, static_cast<uint16_t>(i + 1)..., output...);
  }
  static tQuorlPacker* formB(tBytesArray* array) { return make(array); }
  static tQuorlPacker* formA(uint8_t* buffer) {
    if constexpr (kDefaultRoom)
      return make(buffer);
    else
      return make(buffer, uint32_t{8});
  }
};

constexpr char kTEDS[] = "tCartridgeTEDSCommunicator";
constexpr char kEEPROM[] = "tCartridgeEEPROM";
constexpr char kMulti[] = "tMultiCartridgeChangeDetection";

using tByteReads = ::testing::Types<
    tByteRead<nCartridgeTEDSCommunicator::tReadEEPROMPacker, 4, kTEDS, 132>,
    tByteRead<nCartridgeTEDSCommunicator::tGet8ByteIDBlockPacker, 1, kTEDS, 152, true>,
    tByteRead<nCartridgeTEDSCommunicator::tRead8BytePROMPacker, 1, kTEDS, 162, true>,
    tByteRead<nCartridgeEEPROM::tBlockReadBytesPacker, 2, kEEPROM, 142>,
    tByteRead<nMultiCartridgeChangeDetection::tReadPacker, 2, kMulti, 122>>;

constexpr uint8_t kUntouched = 0x5A;
const std::vector<uint8_t> kOld{9, 9, 9};

tBytes count(uint8_t first, uint8_t n) {
  tBytes bytes;
  for (uint8_t i = 0; i < n; ++i) bytes.push_back(uint8_t(first + i));
  return bytes;
}

// A reply's bytes after an empty status block, the code it leaves, and the
// bytes then in the caller's array (empty optional: unchanged) and in the
// buffer of 8 (an error leaves it untouched).
struct tReplyCase {
  const char* name;
  tBytes afterBlock;
  int code;
  bool read;
  tBytes elements;
};

const tReplyCase kReplies[] = {
    {"EightBytes", tBytes{0x00, 0x0A} + count(1, 8), 0, true, count(1, 8)},
    {"TenBytes", tBytes{0x00, 0x0C} + count(1, 10), 0, true, count(1, 10)},
    {"TrailingBytesIgnored", tBytes{0x00, 0x05, 0x11, 0x22, 0x33, 0xEE, 0xEE}, 0, true,
     tBytes{0x11, 0x22, 0x33}},
    {"Empty", tBytes{0x00, 0x02}, 0, true, {}},
    {"LengthOne", tBytes{0x00, 0x01, 1, 2, 3, 4}, -228700, false, {}},
    {"LengthZero", tBytes{0x00, 0x00, 1, 2, 3, 4}, -228700, false, {}},
    {"PastTheEnd", tBytes{0x00, 0x06, 1, 2, 3}, -228700, false, {}},
    {"HalfALength", tBytes{0x00}, -228700, false, {}},
    {"NoArray", {}, -228700, false, {}},
};

template <class tRead>
class tByteReadTest : public nQoTest::tChassisTest {};

TYPED_TEST_SUITE(tByteReadTest, tByteReads);

TYPED_TEST(tByteReadTest, CallersArrayTakesWhatTheReplyCarries) {
  for (const tReplyCase& c : kReplies) {
    SCOPED_TRACE(c.name);
    tBytesArray array;
    fill<uint8_t>(array, {9, 9, 9});
    tPackerPtr packer(TypeParam::formB(&array));
    this->reply(2, c.afterBlock);
    this->status.clear();
    packer->unpack(this->context, this->status);
    EXPECT_EQ(this->status.code, c.code);
    const tBytes expected = c.read ? c.elements : tBytes{9, 9, 9};
    EXPECT_EQ(tBytes(array.begin(), array.end()), expected);
    EXPECT_FALSE(array.allocationFailed());
  }
}

TYPED_TEST(tByteReadTest, BufferTakesOnlyACompleteArrayThatFits) {
  for (const tReplyCase& c : kReplies) {
    SCOPED_TRACE(c.name);
    uint8_t buffer[10];
    std::fill(std::begin(buffer), std::end(buffer), kUntouched);
    tPackerPtr packer(TypeParam::formA(buffer));
    this->reply(2, c.afterBlock);
    this->status.clear();
    packer->unpack(this->context, this->status);
    tBytes expected(10, kUntouched);
    if (c.read && c.elements.size() <= 8) {
      EXPECT_EQ(this->status.code, 0);
      std::copy(c.elements.begin(), c.elements.end(), expected.begin());
    } else if (c.read) {
      EXPECT_EQ(this->status.code, -228700);
      EXPECT_TRUE(logged(-228700, "tQuorlDataReader", 795));
    } else {
      EXPECT_EQ(this->status.code, c.code);
    }
    EXPECT_EQ(tBytes(std::begin(buffer), std::end(buffer)), expected);
  }
}

TYPED_TEST(tByteReadTest, StatusBlockAndCallersFlag) {
  tBytesArray array;
  fill<uint8_t>(array, {9});
  nQoSim::failAllocation(1);
  array.append(9);
  ASSERT_TRUE(array.allocationFailed());
  uint8_t buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), kUntouched);
  tPackerPtr intoArray(TypeParam::formB(&array));
  tPackerPtr intoBuffer(TypeParam::formA(buffer));

  // An error in the block: nothing read, nothing copied.
  this->reply(6, be32(uint32_t(-5)) + tBytes{0x00, 0x03, 0x77});
  intoArray->unpack(this->context, this->status);
  EXPECT_EQ(this->status.code, -5);
  this->status.clear();
  intoBuffer->unpack(this->context, this->status);
  EXPECT_EQ(this->status.code, -5);
  EXPECT_EQ(tBytes(array.begin(), array.end()), tBytes{9});
  EXPECT_EQ(buffer[0], kUntouched);

  // A warning: the array is read; the caller's flag stays.
  this->reply(6, be32(100) + tBytes{0x00, 0x03, 0x77});
  this->status.clear();
  intoArray->unpack(this->context, this->status);
  EXPECT_EQ(this->status.code, 100);
  EXPECT_EQ(tBytes(array.begin(), array.end()), tBytes{0x77});
  EXPECT_TRUE(array.allocationFailed());
  this->status.clear();
  intoBuffer->unpack(this->context, this->status);
  EXPECT_EQ(this->status.code, 100);
  EXPECT_EQ(buffer[0], 0x77);
  EXPECT_EQ(buffer[1], kUntouched);

  // An error before: nothing at all.
  this->status.code = -1;
  intoArray->unpack(this->context, this->status);
  EXPECT_EQ(this->replies.calls(), 4u);
}

TYPED_TEST(tByteReadTest, LostBytesAreReportedInTheBufferFormOnly) {
  uint8_t buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), kUntouched);
  tPackerPtr intoBuffer(TypeParam::formA(buffer));
  this->reply(2, tBytes{0x00, 0x05, 0x11, 0x22, 0x33});
  // The own array takes room for 1, then 2 (failing: 22 is lost), then 2.
  nQoSim::failAllocation(2);
  intoBuffer->unpack(this->context, this->status);
  EXPECT_EQ(this->status.code, -50352);
  EXPECT_TRUE(logged(-50352, TypeParam::file, TypeParam::line));
  EXPECT_EQ(tBytes(std::begin(buffer), std::end(buffer)), tBytes(8, kUntouched));

  this->status.clear();
  tBytesArray array;
  tPackerPtr intoArray(TypeParam::formB(&array));
  nQoSim::failAllocation(2);
  intoArray->unpack(this->context, this->status);
  EXPECT_EQ(this->status.code, 0);
  EXPECT_EQ(tBytes(array.begin(), array.end()), (tBytes{0x11, 0x33}));
  EXPECT_TRUE(array.allocationFailed());
}

TYPED_TEST(tByteReadTest, NullTargetsKeepNothing) {
  tPackerPtr noBuffer(TypeParam::formA(nullptr));
  tPackerPtr noArray(TypeParam::formB(nullptr));
  this->reply(2, tBytes{0x00, 0x04, 0x11, 0x22});
  noBuffer->unpack(this->context, this->status);
  noArray->unpack(this->context, this->status);
  EXPECT_EQ(this->status.code, 0);
  this->reply(2, tBytes{0x00, 0x05, 0x11, 0x22});
  noArray->unpack(this->context, this->status);
  EXPECT_EQ(this->status.code, -228700);
}

class tCartridgeReadArraysTest : public nQoTest::tChassisTest {};

TEST_F(tCartridgeReadArraysTest, ExplicitCapacityOverridesTheDefault) {
  uint8_t buffer[10] = {};
  nCartridgeTEDSCommunicator::tRead8BytePROMPacker packer(nullptr, nullptr, 1, 1, buffer, 10);
  reply(2, tBytes{0x00, 0x0C} + count(1, 10));
  packer.unpack(context, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(tBytes(std::begin(buffer), std::end(buffer)), count(1, 10));
}

TEST_F(tCartridgeReadArraysTest, AReusedArrayWithRoomAllocatesNothing) {
  tBytesArray array;
  nCartridgeEEPROM::tBlockReadBytesPacker packer(nullptr, nullptr, 1, 0, 64, &array);
  reply(2, tBytes{0x00, 0x42} + tBytes(64, 0x33));
  packer.unpack(context, status);
  ASSERT_EQ(array.size(), 64u);
  const uint64_t before = nQoSim::totalAllocations();
  packer.unpack(context, status);
  EXPECT_EQ(nQoSim::totalAllocations(), before);
  EXPECT_EQ(status.code, 0);
}

// The data memory read: words after a 4-byte length V = 2 + 4 n.
TEST_F(tCartridgeReadArraysTest, DataMemoryWords) {
  tArray<uint32_t> words;
  fill<uint32_t>(words, {7, 7, 7});
  uint32_t buffer[3] = {kUntouched, kUntouched, kUntouched};
  nCartridgeDataMemory::tReadPacker intoArray(nullptr, nullptr, 1, 0x0100, 4, &words);
  nCartridgeDataMemory::tReadPacker intoBuffer(nullptr, nullptr, 1, 0x0100, 4, buffer, 2);

  reply(2, be32(10) + be32(1) + be32(0xFFFFFFFF));
  intoArray.unpack(context, status);
  intoBuffer.unpack(context, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(std::vector<uint32_t>(words.begin(), words.end()),
            (std::vector<uint32_t>{1, 0xFFFFFFFF}));
  EXPECT_EQ(std::vector<uint32_t>(std::begin(buffer), std::end(buffer)),
            (std::vector<uint32_t>{1, 0xFFFFFFFF, kUntouched}));

  // Three bytes past the last whole word are skipped, but must be there.
  reply(2, be32(7) + be32(0x01020304) + tBytes{5});
  intoArray.unpack(context, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(std::vector<uint32_t>(words.begin(), words.end()), std::vector<uint32_t>{0x01020304});
  reply(2, be32(7) + be32(0x0A0B0C0D));
  intoArray.unpack(context, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_EQ(std::vector<uint32_t>(words.begin(), words.end()), std::vector<uint32_t>{0x01020304});

  for (const tBytes& bad :
       {be32(0) + be32(1), be32(1) + be32(1), be32(14) + be32(1), tBytes{0, 0, 0}}) {
    status.clear();
    reply(2, bad);
    intoArray.unpack(context, status);
    EXPECT_EQ(status.code, -228700);
    EXPECT_EQ(words.size(), 1u);
  }

  status.clear();
  reply(2, be32(2));
  intoArray.unpack(context, status);
  EXPECT_TRUE(words.empty());

  // More words than the buffer holds: nothing copied.
  reply(2, be32(14) + be32(4) + be32(5) + be32(6));
  intoBuffer.unpack(context, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_EQ(buffer[0], 1u);
}

}  // namespace
