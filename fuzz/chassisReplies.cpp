// Chassis replies of arbitrary bytes: the status block alone, the reply of
// every output shape of the digital controller, and the revision, the two
// times and the temperature readings of the chassis services. The caller's status ends
// as 0, the reply's code or -228700, and nothing lands past a buffer's
// capacity.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "chassis/interfaces/tChassisTempSensor.h"
#include "chassis/interfaces/tChassisTimekeeper.h"
#include "chassis/interfaces/tDigController.h"
#include "chassis/interfaces/tStreamingFpga.h"
#include "chassis/message/tQuorlDataReader.h"
#include "fsl/tRequestContext.h"
#include "sim/simReplySource.h"
#include "sim/simStatusLog.h"

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

  using namespace nQoFSL100::nQoMIOCS;
  uint32_t revision = 0;
  unpackWith<nStreamingFpga::tGetRevisionPacker>(context, code, revision);
  uint64_t time = 0;
  unpackWith<nChassisTimekeeper::tGetCurrentTimePacker>(context, code, time);
  unpackWith<nChassisTimekeeper::tGetEpochTimePacker>(context, code, time);
  using nChassisTempSensor::tGetTempSensorsReadingsPacker;
  nQoFSL100::tArray<uint16_t> readings;
  unpackWith<tGetTempSensorsReadingsPacker>(context, code, uint8_t(0), readings);
  constexpr uint16_t kHalfGuard = 0x5A5A;
  uint16_t fewReadings[3] = {0, kHalfGuard, kHalfGuard};
  unpackWith<tGetTempSensorsReadingsPacker>(context, code, uint8_t(0), fewReadings, 1u);
  check(fewReadings[1] == kHalfGuard && fewReadings[2] == kHalfGuard);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nQoSim::setStatusLogging(false);
  const std::vector<uint8_t> bytes(data, data + size);
  readStatusAlone(bytes.data(), bytes.size());
  unpackAll(bytes);

  // The same bytes as the outputs after a good, empty status block.
  std::vector<uint8_t> afterBlock{0, 0, 0, 0, 0, 0, 0, 2};
  afterBlock.insert(afterBlock.end(), bytes.begin(), bytes.end());
  unpackAll(afterBlock);
  return 0;
}
