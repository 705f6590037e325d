// Chassis replies of arbitrary bytes: the status block alone, the reply of
// every output shape of the digital controller, the cartridge shapes (status
// only, one u8, one u32, two u32, byte and word arrays into the caller's
// array and into a buffer of a capacity) and the chassis services'
// revision, two times and temperature readings. The caller's status ends as
// its start, the reply's code or -228700, nothing lands past a buffer's
// capacity, and no output is written once the status holds an error.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "chassis/cartridge/tCartridgeAITimingController.h"
#include "chassis/cartridge/tCartridgeAO_DAC.h"
#include "chassis/cartridge/tCartridgeController.h"
#include "chassis/cartridge/tCartridgeDataMemory.h"
#include "chassis/cartridge/tCartridgeDetection.h"
#include "chassis/cartridge/tCartridgeEEPROM.h"
#include "chassis/cartridge/tCartridgeSyncPulseChangeDetection.h"
#include "chassis/cartridge/tCartridgeTEDSCommunicator.h"
#include "chassis/cartridge/tCartridgeTimer.h"
#include "chassis/cartridge/tMultiCartridgeChangeDetection.h"
#include "chassis/interfaces/tChassisTempSensor.h"
#include "chassis/interfaces/tChassisTimekeeper.h"
#include "chassis/interfaces/tDigController.h"
#include "chassis/interfaces/tStreamingFpga.h"
#include "chassis/message/tQuorlDataReader.h"
#include "fsl/tRequestContext.h"
#include "sim/simReplySource.h"
#include "sim/simStatusLog.h"
#include "support/tFreshSimulation.h"

namespace {

using namespace nQoFSL100::nQoMIOCS::nDigController;

void check(bool holds) {
  if (!holds) std::abort();
}

// The code a well-formed status block at bytes carries, else 0.
int blockCode(const uint8_t* bytes, size_t size) {
  if (size < 6) return 0;
  const int length = int16_t(bytes[0] << 8 | bytes[1]);
  if (length <= 2 || size_t(length) > size) return 0;
  return int32_t(uint32_t(bytes[2]) << 24 | uint32_t(bytes[3]) << 16 | uint32_t(bytes[4]) << 8 |
                 bytes[5]);
}

void checkOutcome(const nQoMDBG100::tStatus2& status, int code) {
  check(status.code == 0 || status.code == code || status.code == -228700);
}

void readStatusAlone(const uint8_t* data, size_t size) {
  nQoFSL100::tQuorlDataReader<const unsigned char*> reader(data, data + size);
  nQoMDBG100::tStatus2 status;
  nQoMDBG100::tStatus2 result;
  reader.readStatus(status, result);
  check(status.code == 0 || status.code == -228700);
  check(result.code == blockCode(data, size) || status.code == -228700);
  check(reader.position() >= data && reader.position() <= data + size);
}

template <class tPacker, class... tOutputs>
void unpackWith(nQoFSL100::tRequestContext& context, int code, tOutputs&&... outputs) {
  tPacker packer(nullptr, nullptr, 1, std::forward<tOutputs>(outputs)...);
  nQoMDBG100::tStatus2 status;
  packer.unpack(context, status);
  checkOutcome(status, code);
}

// Every output shape over one reply.
void unpackAll(const std::vector<uint8_t>& bytes) {
  nQoSim::tScriptedReplySource replies;
  replies.setReply(bytes);
  nQoFSL100::tRequestContext context(&replies);
  const int code = bytes.size() >= 6 ? blockCode(bytes.data() + 6, bytes.size() - 6) : 0;

  unpackWith<tResetPacker>(context, code);
  uint32_t presentValue = 0;
  unpackWith<tReadPresentValuePacker>(context, code, presentValue);
  nQoFSL100::tArray<uint32_t> values;
  unpackWith<tReadMultipleCartridgesPacker>(context, code, 0u, values);
  std::vector<uint32_t> roomy(bytes.size() / 4 + 1);
  unpackWith<tReadMultipleCartridgesPacker>(context, code, 0u, roomy.data(),
                                            uint32_t(roomy.size()));
  constexpr uint32_t kGuard = 0x5A5A5A5A;
  uint32_t small[4] = {0, 0, kGuard, kGuard};
  unpackWith<tReadMultipleCartridgesPacker>(context, code, 0u, small, 2u);
  check(small[2] == kGuard && small[3] == kGuard);

  using nQoFSL100::nQoMIOCS::nChassisTempSensor::tGetTempSensorsReadingsPacker;
  nQoFSL100::tArray<uint16_t> readings;
  unpackWith<tGetTempSensorsReadingsPacker>(context, code, uint8_t(0), readings);
  constexpr uint16_t kHalfGuard = 0x5A5A;
  uint16_t fewReadings[3] = {0, kHalfGuard, kHalfGuard};
  unpackWith<tGetTempSensorsReadingsPacker>(context, code, uint8_t(0), fewReadings, 1u);
  check(fewReadings[1] == kHalfGuard && fewReadings[2] == kHalfGuard);
}

// What a reply does to a caller's status that starts as start, and where
// the first output lies (0 when none is read).
struct tExpected {
  int status;
  size_t outputAt;
};

tExpected expectedFor(const std::vector<uint8_t>& bytes, int start) {
  if (start < 0) return {start, 0};
  const size_t size = bytes.size();
  if (size < 8) return {-228700, 0};
  const int length = int16_t(bytes[6] << 8 | bytes[7]);
  const bool codeCut = length > 2 && size < 12;
  if (length < 2 || size_t(length) > size - 6 || codeCut) return {-228700, 0};
  const int code = blockCode(bytes.data() + 6, size - 6);
  const int merged = nQoMDBG100::takesCode(start, code) ? code : start;
  if (merged < 0) return {merged, 0};
  return {merged, 6 + size_t(length)};
}

// A status-only cartridge reply: the status ends exactly as expected.
template <class tPacker, class... tInputs>
void unpackStatusOnly(nQoFSL100::tRequestContext& context, const tExpected& expected, int start,
                      tInputs... inputs) {
  tPacker packer(nullptr, nullptr, 1, inputs...);
  nQoMDBG100::tStatus2 status(start);
  packer.unpack(context, status);
  check(status.code == expected.status);
}

// A reply with one scalar (u32 unless given): read only after an error-free
// status block, all ones when cut short.
template <class tPacker, class tWord = uint32_t, class... tInputs>
void unpackWord(nQoFSL100::tRequestContext& context, const std::vector<uint8_t>& bytes,
                const tExpected& expected, int start, tInputs... inputs) {
  constexpr auto kUntouched = tWord(0x5A5A5A5A5A5A5A5A);
  tWord word = kUntouched;
  tPacker packer(nullptr, nullptr, 1, inputs..., word);
  nQoMDBG100::tStatus2 status(start);
  packer.unpack(context, status);
  if (expected.outputAt == 0) {
    check(status.code == expected.status && word == kUntouched);
  } else if (expected.outputAt + sizeof(tWord) <= bytes.size()) {
    check(status.code == expected.status &&
          word == nQoFSL100::loadBigEndian<tWord>(bytes.data() + expected.outputAt));
  } else {
    check(status.code == -228700 && word == tWord(~tWord{0}));
  }
}

// The sync-pulse status: two u32, each all ones where the reply is cut.
void unpackTwoWords(nQoFSL100::tRequestContext& context, const std::vector<uint8_t>& bytes,
                    const tExpected& expected, int start) {
  constexpr uint32_t kUntouched = 0x5A5A5A5A;
  uint32_t words[2] = {kUntouched, kUntouched};
  nQoFSL100::nQoMIOCS::nCartridgeSyncPulseChangeDetection::tGetSyncPulseStatusPacker packer(
      nullptr, nullptr, 1, words[0], words[1]);
  nQoMDBG100::tStatus2 status(start);
  packer.unpack(context, status);
  if (expected.outputAt == 0) {
    check(status.code == expected.status && words[0] == kUntouched && words[1] == kUntouched);
    return;
  }
  for (size_t i = 0; i < 2; ++i) {
    const size_t at = expected.outputAt + 4 * i;
    check(at + 4 <= bytes.size() ? words[i] == nQoFSL100::loadBigEndian<uint32_t>(bytes.data() + at)
                                 : words[i] == 0xFFFFFFFF);
  }
  check(status.code == (expected.outputAt + 8 <= bytes.size() ? expected.status : -228700));
}

// What an array field at outputAt holds: its elements, or read = false when
// it is cut or malformed (-228700, the target unchanged).
template <class T>
struct tArrayField {
  bool read = false;
  std::vector<T> elements;
};

template <class T>
tArrayField<T> arrayFieldAt(const std::vector<uint8_t>& bytes, size_t at) {
  const size_t lengthBytes = sizeof(T) == 4 ? 4 : 2;
  if (at + lengthBytes > bytes.size()) return {};
  const uint32_t length = lengthBytes == 4 ? nQoFSL100::loadBigEndian<uint32_t>(bytes.data() + at)
                                           : uint32_t(bytes[at] << 8 | bytes[at + 1]);
  const uint32_t elementBytes = length - 2u;
  if (elementBytes > bytes.size() - at - lengthBytes) return {};
  tArrayField<T> field{true, {}};
  for (uint32_t i = 0; i < elementBytes / sizeof(T); ++i)
    field.elements.push_back(
        nQoFSL100::loadBigEndian<T>(bytes.data() + at + lengthBytes + i * sizeof(T)));
  return field;
}

// An array output, into the caller's array (which starts with one guard
// element) and into a buffer of capacity elements followed by guards.
template <class tPacker, class T, class... tInputs>
void unpackArray(nQoFSL100::tRequestContext& context, const std::vector<uint8_t>& bytes,
                 const tExpected& expected, int start, uint32_t capacity, tInputs... inputs) {
  constexpr auto kGuard = T(0x5A5A5A5A);
  const tArrayField<T> field =
      expected.outputAt == 0 ? tArrayField<T>{} : arrayFieldAt<T>(bytes, expected.outputAt);
  const int failed = expected.outputAt == 0 ? expected.status : -228700;

  nQoFSL100::tArray<T> array;
  array.append(kGuard);
  {
    tPacker packer(nullptr, nullptr, 1, inputs..., &array);
    nQoMDBG100::tStatus2 status(start);
    packer.unpack(context, status);
    const std::vector<T> held(array.begin(), array.end());
    check(field.read ? status.code == expected.status && held == field.elements
                     : status.code == failed && held == std::vector<T>{kGuard});
  }

  std::vector<T> buffer(capacity + 2, kGuard);
  tPacker packer(nullptr, nullptr, 1, inputs..., buffer.data(), capacity);
  nQoMDBG100::tStatus2 status(start);
  packer.unpack(context, status);
  std::vector<T> expectedBuffer(capacity + 2, kGuard);
  if (field.read && field.elements.size() <= capacity) {
    std::copy(field.elements.begin(), field.elements.end(), expectedBuffer.begin());
    check(status.code == expected.status);
  } else {
    check(status.code == (field.read ? -228700 : failed));
  }
  check(buffer == expectedBuffer);
}

void unpackCartridgeArrays(nQoFSL100::tRequestContext& context, const std::vector<uint8_t>& bytes,
                           const tExpected& expected, int start) {
  using namespace nQoFSL100::nQoMIOCS;
  for (uint32_t capacity : {0u, 3u, 64u}) {
    unpackArray<nCartridgeEEPROM::tBlockReadBytesPacker, uint8_t>(
        context, bytes, expected, start, capacity, uint16_t(2), uint16_t(3));
    unpackArray<nMultiCartridgeChangeDetection::tReadPacker, uint8_t>(context, bytes, expected,
                                                                      start, capacity, 2u, 3u);
    unpackArray<nCartridgeDataMemory::tReadPacker, uint32_t>(context, bytes, expected, start,
                                                             capacity, uint16_t(2), uint16_t(3));
  }
  unpackArray<nCartridgeTEDSCommunicator::tRead8BytePROMPacker, uint8_t>(context, bytes, expected,
                                                                         start, 8, 2u);
}

void unpackCartridgeAndService(const std::vector<uint8_t>& bytes) {
  using namespace nQoFSL100::nQoMIOCS;
  nQoSim::tScriptedReplySource replies;
  replies.setReply(bytes);
  nQoFSL100::tRequestContext context(&replies);
  for (int start : {0, 5, -7}) {
    const tExpected expected = expectedFor(bytes, start);
    unpackStatusOnly<nCartridgeController::tResetPacker>(context, expected, start);
    unpackStatusOnly<nCartridgeAITimingController::tUncommitPacker>(context, expected, start, 1u,
                                                                    2u, 3u);
    unpackWord<nCartridgeDetection::tReadCartridgeDetectionEventCounterPacker>(context, bytes,
                                                                               expected, start);
    unpackWord<nCartridgeAO_DAC::tReadStatusPacker>(context, bytes, expected, start, 9u);
    unpackWord<nStreamingFpga::tGetRevisionPacker>(context, bytes, expected, start);
    unpackWord<nChassisTimekeeper::tGetCurrentTimePacker, uint64_t>(context, bytes, expected,
                                                                    start);
    unpackWord<nChassisTimekeeper::tGetEpochTimePacker, uint64_t>(context, bytes, expected, start);
    unpackWord<nCartridgeTimer::tGetAndConfirmTimerExpiredErrorPacker, uint8_t>(context, bytes,
                                                                                expected, start);
    unpackTwoWords(context, bytes, expected, start);
    unpackCartridgeArrays(context, bytes, expected, start);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  nQoSim::setStatusLogging(false);
  const std::vector<uint8_t> bytes(data, data + size);
  readStatusAlone(bytes.data(), bytes.size());
  unpackAll(bytes);

  // The same bytes as the outputs after a good, empty status block.
  std::vector<uint8_t> afterBlock{0, 0, 0, 0, 0, 0, 0, 2};
  afterBlock.insert(afterBlock.end(), bytes.begin(), bytes.end());
  unpackAll(afterBlock);

  // The cartridge and service shapes over the bytes as they are, after an empty status
  // block, and after a block whose code is their first four bytes.
  unpackCartridgeAndService(bytes);
  unpackCartridgeAndService(afterBlock);
  std::vector<uint8_t> withCode{0, 0, 0, 0, 0, 0, 0, 6};
  withCode.insert(withCode.end(), bytes.begin(), bytes.end());
  unpackCartridgeAndService(withCode);
  return 0;
}
