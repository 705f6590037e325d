// unpack: the status block, then scalar outputs, then array outputs into the
// caller's array or into a plain buffer of a given capacity.
#include <optional>

#include "chassisTest.h"

namespace {

using namespace nQoTest;

class tUnpackTest : public tChassisTest {};

// Unpacks into outputs that start as 0x5A..., and gives them (two outputs:
// the first in the high half).
using tUnpack = std::function<uint64_t(nQoFSL100::tRequestContext&, nQoMDBG100::tStatus2&)>;
template <class tClass, class T, class... tInputs>
tUnpack scalar(tInputs... inputs) {
  return [=](auto& context, auto& status) {
    T out = T(0x5A5A5A5A5A5A5A5A);
    tClass(nullptr, nullptr, 1, inputs..., out).unpack(context, status);
    return uint64_t(out);
  };
}
tUnpack twoWords() {
  return [](auto& context, auto& status) {
    uint32_t first = 0x5A5A5A5A, second = 0x5A5A5A5A;
    using tStatusPacker = nCartridgeSyncPulseChangeDetection::tGetSyncPulseStatusPacker;
    tStatusPacker(nullptr, nullptr, 1, first, second).unpack(context, status);
    return uint64_t(first) << 32 | second;
  };
}

struct tScalarCase {
  const char* name;
  tUnpack unpack;
  std::optional<tBytes> reply;  // none: the context has no reply source
  int before;
  int after;
  uint64_t value;
};

TEST_F(tUnpackTest, ScalarsFollowTheStatusBlock) {
  // clang-format off
  const tUnpack counter = scalar<nCartridgeDetection::tReadCartridgeDetectionEventCounterPacker, uint32_t>();
  const tUnpack current = scalar<nChassisTimekeeper::tGetCurrentTimePacker, uint64_t>();
  const tUnpack epoch = scalar<nChassisTimekeeper::tGetEpochTimePacker, uint64_t>();
  const tUnpack expired = scalar<nCartridgeTimer::tGetAndConfirmTimerExpiredErrorPacker, uint8_t>();
  const tBytes transport(6, 0xA1);
  const uint32_t u = 0x5A5A5A5A;
  const uint64_t kAllOnes = ~uint64_t{0};
  const tScalarCase cases[] = {
      {"CounterL2", counter, transport + kL2 + tBytes{0, 0, 1, 0}, 0, 0, 256},
      {"CounterWarning", counter, transport + block(200) + be32(0x0A0B0C0D), 0, 200, 0x0A0B0C0D},
      {"CounterCodeZero", counter, transport + block(0) + be32(42), 0, 0, 42},
      {"CounterError", counter, transport + block(-1) + be32(42), 0, -1, u},
      {"CounterErrorOverWarning", counter, transport + block(-200) + be32(42), 5, -200, u},
      {"CounterL3", counter, transport + tBytes{0, 3} + be32(7) + tBytes{0xAA}, 0, 7, 0x000007AA},
      {"CounterWarningKept", counter, transport + block(100) + be32(43), 5, 5, 43},
      {"CounterL10", counter, transport + tBytes{0, 10} + be32(0) + be32(0xDDDDDDDD) + be32(45), 0, 0, 45},
      {"CounterNothingAfter", counter, transport + kL2, 0, -228700, 0xFFFFFFFF},
      {"CounterCut", counter, transport + kL2 + tBytes{1, 2, 3}, 0, -228700, 0xFFFFFFFF},
      {"CounterSevenBytes", counter, transport + tBytes{0}, 0, -228700, u},
      {"CounterThreeBytes", counter, tBytes{0, 0, 0}, 0, -228700, u},
      {"CounterL0", counter, transport + tBytes{0, 0} + be32(46), 0, -228700, u},
      {"CounterL1", counter, transport + tBytes{0, 1} + be32(46), 0, -228700, u},
      {"CounterL8000", counter, transport + tBytes{0x80, 0} + be32(46), 0, -228700, u},
      {"CounterLFFFF", counter, transport + tBytes{0xFF, 0xFF} + be32(46), 0, -228700, u},
      {"CounterCodeCut", counter, transport + tBytes{0, 4, 0, 0}, 0, -228700, u},
      {"CounterErrorBefore", counter, transport + kL2 + be32(47), -7, -7, u},
      {"CounterNoReply", counter, std::nullopt, 0, -50352, u},
      {"CurrentTime", current, transport + kL2 + be32(0x01020304) + be32(0x05060708), 0, 0, 0x0102030405060708},
      {"CurrentTimeCut", current, transport + kL2 + be32(0x01020304), 0, -228700, kAllOnes},
      {"EpochTimeError", epoch, transport + block(-9) + be32(1) + be32(2), 0, -9, 0x5A5A5A5A5A5A5A5A},
      {"Expired", expired, transport + kL2 + tBytes{0x01}, 0, 0, 0x01},
      {"ExpiredCut", expired, transport + kL2, 0, -228700, 0xFF},
      {"ExpiredError", expired, transport + block(-20) + tBytes{0x01}, 0, -20, 0x5A},
      {"SyncPulseStatus", twoWords(), transport + kL2 + be32(1) + be32(0x80000000), 0, 0, 0x0000000180000000},
      {"SyncPulseStatusCut", twoWords(), transport + kL2 + be32(1), 0, -228700, 0x00000001FFFFFFFF},
  };
  // clang-format on
  nQoFSL100::tRequestContext noReply(nullptr);
  for (const tScalarCase& c : cases) {
    SCOPED_TRACE(c.name);
    nQoSim::clearStatusLog();
    if (c.reply) replies.setReply(*c.reply);
    status.clear();
    status.code = c.before;
    EXPECT_EQ(c.unpack(c.reply ? context : noReply, status), c.value);
    EXPECT_EQ(status.code, c.after);
    if (c.after == -228700) {
      EXPECT_TRUE(loggedAt(-228700, "tQuorlDataReader", 783));
    } else if (c.after == -50352) {
      EXPECT_TRUE(loggedAt(-50352, "tRequestContext", 138));
    } else if (c.after != c.before) {
      EXPECT_TRUE(loggedAt(c.after, "tQuorlDataReader", 790));
    }
  }
}

// Unpacks into the caller's array (9, 9, 9, 9 with its flag set, so that it
// must grow at the fifth element), given as the class takes it, or into a
// buffer of the capacity and one element more, all 0x5A (capacity 0: a null
// pointer; kDefault: the class's default capacity). Gives what is there
// afterwards; failing counts allocations from the unpack on.
using tRead = std::function<std::vector<uint32_t>(nQoFSL100::tRequestContext&,
                                                  nQoMDBG100::tStatus2&, uint64_t failing)>;
enum tForm { kByReference, kByPointer, kNullPointer };
template <class tClass, class T, tForm kForm, class... tInputs>
tRead intoArray(tInputs... inputs) {
  return [=](auto& context, auto& status, uint64_t failing) {
    tArray<T> array;
    fill<T>(array, {9, 9, 9, 9});
    nQoSim::failAllocation(1);
    array.append(9);
    tPackerPtr packer;
    if constexpr (kForm == kByReference)
      packer.reset(new tClass(nullptr, nullptr, 1, inputs..., array));
    else
      packer.reset(
          new tClass(nullptr, nullptr, 1, inputs..., kForm == kByPointer ? &array : nullptr));
    nQoSim::failAllocation(failing);
    packer->unpack(context, status);
    EXPECT_TRUE(array.allocationFailed());
    return std::vector<uint32_t>(array.begin(), array.end());
  };
}
template <class tClass, class T, bool kDefault = false, class... tInputs>
tRead intoBuffer(uint32_t capacity, tInputs... inputs) {
  return [=](auto& context, auto& status, uint64_t failing) {
    std::vector<T> buffer(capacity + 1, T(0x5A5A5A5A));
    T* elements = capacity != 0 ? buffer.data() : nullptr;
    tPackerPtr packer;
    if constexpr (kDefault)
      packer.reset(new tClass(nullptr, nullptr, 1, inputs..., elements));
    else
      packer.reset(new tClass(nullptr, nullptr, 1, inputs..., elements, capacity));
    nQoSim::failAllocation(failing);
    packer->unpack(context, status);
    if (capacity == 0) return std::vector<uint32_t>{};
    return std::vector<uint32_t>(buffer.begin(), buffer.end());
  };
}

struct tArrayCase {
  const char* name;
  tRead read;
  tBytes reply;  // from the status block on
  uint64_t failing;
  int code;
  const char* file;  // where -50352 is set; -228700 is the reader's
  std::vector<uint32_t> result;
};

TEST_F(tUnpackTest, ArraysIntoTheCallersArrayOrABoundedBuffer) {
  // clang-format off
  using tCartridges = nDigController::tReadMultipleCartridgesPacker;
  using tSensors = nChassisTempSensor::tGetTempSensorsReadingsPacker;
  using tProm = nCartridgeTEDSCommunicator::tRead8BytePROMPacker;
  using tBlock = nCartridgeEEPROM::tBlockReadBytesPacker;
  using tWords = nCartridgeDataMemory::tReadPacker;
  const uint16_t zero = 0, five = 5, address = 0x0100, four = 4;
  const tRead cartridges = intoArray<tCartridges, uint32_t, kByReference>(0u);
  const tRead cartridges2 = intoBuffer<tCartridges, uint32_t>(2, 0u);
  const tRead cartridgesNull = intoBuffer<tCartridges, uint32_t>(0, 0u);
  const tRead sensors = intoArray<tSensors, uint16_t, kByReference>(uint8_t(4));
  const tRead sensors1 = intoBuffer<tSensors, uint16_t>(1, uint8_t(4));
  const tRead sensors2 = intoBuffer<tSensors, uint16_t>(2, uint8_t(4));
  const tRead prom = intoArray<tProm, uint8_t, kByPointer>(1u);
  const tRead prom8 = intoBuffer<tProm, uint8_t, true>(8, 1u);
  const tRead prom10 = intoBuffer<tProm, uint8_t>(10, 1u);
  const tRead block16 = intoBuffer<tBlock, uint8_t>(16, zero, five);
  const tRead blockArray = intoArray<tBlock, uint8_t, kByPointer>(zero, five);
  const tRead blockNull = intoArray<tBlock, uint8_t, kNullPointer>(zero, five);
  const tRead words = intoArray<tWords, uint32_t, kByPointer>(address, four);
  const tRead words2 = intoBuffer<tWords, uint32_t>(2, address, four);
  const uint32_t x = 0x5A;
  const uint32_t xx = 0x5A5A;
  const uint32_t xxxx = 0x5A5A5A5A;
  const std::vector<uint32_t> nines{9, 9, 9, 9};
  const tBytes temps{0, 6, 1, 0, 2, 0};
  const tBytes eight{0, 0x0A, 1, 2, 3, 4, 5, 6, 7, 8};
  const tBytes ten = tBytes{0, 0x0C} + tBytes(eight.begin() + 2, eight.end()) + tBytes{9, 10};
  const tArrayCase cases[] = {
      {"CartridgesOne", cartridges, kL2 + be32(7) + be32(0x0D0E0F10) + tBytes{0x77}, 0, 0, nullptr, {0x0D0E0F10}},
      {"CartridgesNone", cartridges, kL2 + be32(2), 0, 0, nullptr, {}},
      {"CartridgesL0", cartridges, kL2 + be32(0) + be32(1), 0, -228700, nullptr, nines},
      {"CartridgesTooFew", cartridges, kL2 + be32(10) + be32(1), 0, -228700, nullptr, nines},
      {"CartridgesFit", cartridges2, kL2 + be32(10) + be32(11) + be32(12), 0, 0, nullptr, {11, 12, xxxx}},
      {"CartridgesTooMany", cartridges2, kL2 + be32(14) + be32(21) + be32(22) + be32(23), 0, -228700, nullptr, {xxxx, xxxx, xxxx}},
      {"CartridgesReplyError", cartridges2, block(-9) + be32(6) + be32(31), 0, -9, nullptr, {xxxx, xxxx, xxxx}},
      {"CartridgesLost", cartridges2, kL2 + be32(10) + be32(11) + be32(12), 2, -50352, "tDigController", {xxxx, xxxx, xxxx}},
      {"CartridgesNull", cartridgesNull, kL2 + be32(10) + be32(11) + be32(12), 0, 0, nullptr, {}},
      {"Sensors", sensors, kL2 + temps, 0, 0, nullptr, {256, 512}},
      {"SensorsReplyError", sensors, block(-3) + temps, 0, -3, nullptr, nines},
      {"SensorsTooMany", sensors1, kL2 + temps, 0, -228700, nullptr, {xx, xx}},
      {"SensorsFit", sensors2, kL2 + temps, 0, 0, nullptr, {256, 512, xx}},
      {"SensorsLost", sensors2, kL2 + temps, 2, -50352, "tChassisTempSensor", {xx, xx, xx}},
      {"PromEight", prom, kL2 + eight, 0, 0, nullptr, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"PromEightIntoBuffer", prom8, kL2 + eight, 0, 0, nullptr, {1, 2, 3, 4, 5, 6, 7, 8, x}},
      {"PromTen", prom, kL2 + ten, 0, 0, nullptr, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {"PromTenIntoEight", prom8, kL2 + ten, 0, -228700, nullptr, std::vector<uint32_t>(9, x)},
      {"PromTenIntoTen", prom10, kL2 + ten, 0, 0, nullptr, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, x}},
      {"PromL1", prom, kL2 + tBytes{0, 1, 1, 2, 3, 4}, 0, -228700, nullptr, nines},
      {"PromL0", prom8, kL2 + tBytes{0, 0, 1, 2, 3, 4}, 0, -228700, nullptr, std::vector<uint32_t>(9, x)},
      {"PromPastTheEnd", prom, kL2 + tBytes{0, 6, 1, 2, 3}, 0, -228700, nullptr, nines},
      {"PromEmpty", prom, kL2 + tBytes{0, 2}, 0, 0, nullptr, {}},
      {"PromWarning", prom8, block(100) + tBytes{0, 3, 0x77}, 0, 100, nullptr, {0x77, x, x, x, x, x, x, x, x}},
      {"BlockLost", block16, kL2 + tBytes{0, 5, 0x11, 0x22, 0x33}, 2, -50352, "tCartridgeEEPROM", std::vector<uint32_t>(17, x)},
      {"BlockLostInArray", blockArray, kL2 + tBytes{0, 8, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}, 1, 0, nullptr, {0x11, 0x22, 0x33, 0x44, 0x66}},
      {"BlockNullChecked", blockNull, kL2 + tBytes{0, 5, 0x11, 0x22}, 0, -228700, nullptr, nines},
      {"Words", words, kL2 + be32(10) + be32(1) + be32(0xFFFFFFFF), 0, 0, nullptr, {1, 0xFFFFFFFF}},
      {"WordsIntoBuffer", words2, kL2 + be32(10) + be32(1) + be32(0xFFFFFFFF), 0, 0, nullptr, {1, 0xFFFFFFFF, xxxx}},
      {"WordsPartOfOneMore", words, kL2 + be32(7) + be32(0x01020304) + tBytes{5}, 0, 0, nullptr, {0x01020304}},
      {"WordsPartMissing", words, kL2 + be32(7) + be32(0x0A0B0C0D), 0, -228700, nullptr, nines},
  };
  // clang-format on
  for (const tArrayCase& c : cases) {
    SCOPED_TRACE(c.name);
    nQoSim::clearStatusLog();
    status.clear();
    reply(c.reply);
    EXPECT_EQ(c.read(context, status, c.failing), c.result);
    EXPECT_EQ(status.code, c.code);
    if (c.code == -228700 || c.code == -50352) {
      EXPECT_TRUE(loggedIn(c.code, c.code == -228700 ? "tQuorlDataReader" : c.file));
    }
  }
}

}  // namespace
