// The configuration records: defaults in their typed stream order, equality,
// short streams, counts from outside and allocation failures.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"
#include "primitives/ai/tAIDeviceFIFOPrimitiveConfig.h"
#include "primitives/ai/tAIScanningFrontEndPrimitiveConfig.h"
#include "primitives/ai/tAISubsystemPrimitiveConfig.h"
#include "primitives/ai/tAITimingControllerPrimitiveConfig.h"
#include "primitives/ai/tAI_ADCPrimitiveConfig.h"
#include "primitives/ai/tAI_DMATransferPrimitiveConfig.h"
#include "primitives/ao/tAOWaitForNextSampleClockPrimitiveConfig.h"
#include "primitives/ao/tOutputTimingControllerPrimitiveConfig.h"
#include "primitives/common/tTEDSPrimitiveConfig.h"
#include "sim/simAllocator.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace nQoORB100 {
inline void PrintTo(const tStreamOperation& operation, std::ostream* out) {
  static const char* const kTypes[] = {"i16", "u16", "i32", "u32", "u64"};
  *out << kTypes[operation.type] << " " << operation.value;
}
}  // namespace nQoORB100

namespace nQoTest {
namespace {

using namespace nQoUdP100;
using nQoORB100::tByteInputStream;
using nQoORB100::tByteOutputStream;
using tOp = nQoORB100::tStreamOperation;
using tOps = std::vector<tOp>;
constexpr auto I16 = tOp::kI16;
constexpr auto U16 = tOp::kU16;
constexpr auto I32 = tOp::kI32;
constexpr auto U32 = tOp::kU32;
constexpr auto U64 = tOp::kU64;

class tConfigRecordTest : public tLeakCheckedTest {};

template <class tRecord>
tByteOutputStream written(const tRecord& record, int& status) {
  tByteOutputStream out;
  record.writeExternal(out, status);
  return out;
}

// Written, then read into a fresh record.
template <class tRecord>
tRecord roundTrip(const tRecord& record) {
  int status = 0;
  const tByteOutputStream out = written(record, status);
  tByteInputStream in(out.bytes().data(), out.bytes().size());
  tRecord back;
  back.readExternal(in, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(in.position(), out.bytes().size());
  return back;
}

TEST_F(tConfigRecordTest, TheTimingControllerRecordWritesItsFortyNineTypedValues) {
  tAITimingControllerPrimitiveConfig record;
  int status = 0;
  const tByteOutputStream out = written(record, status);
  tOps expected{{U64, 0}, {I32, 0}, {U32, 0}, {U32, 0}, {I32, 0}, {I32, 0}, {U32, 0},
                {U32, 0}, {U32, 0}, {U32, 1}, {U32, 0}, {U32, 0}, {U32, 0}, {I32, 0},
                {U32, 1}, {U32, 0}, {U32, 0}, {I32, 1}, {U32, 0}, {U32, 0}, {U32, 0},
                {U32, 0}, {U32, 0}, {U16, 0}, {U32, 0}};
  for (int32_t word :
       {0, -1, 0, 0, -1, -1, -1, 0, -1, -1, -1, 0, -1, 0, -1, 1, 0, -1, -1, -1, 0, -1, -1, -1})
    expected.push_back({I32, word});
  EXPECT_EQ(out.operations(), expected);
  EXPECT_EQ(out.bytes().size(), 198u);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(roundTrip(record) == tAITimingControllerPrimitiveConfig{});

  // Distinct values in every field come back, each in its own place.
  tAITimingControllerPrimitiveConfig changed;
  changed.timing.listenerKey = 0x1122334455667788;
  changed.timing.spare4 = 0xBEEF;
  changed.timing.acquisitionType = -2;
  changed.hasRouting = 1;
  for (uint32_t i = 0; i < tAIRoutingConfig::kWordCount; ++i) changed.routing.words[i] = 100 + i;
  const tAITimingControllerPrimitiveConfig back = roundTrip(changed);
  EXPECT_TRUE(back == changed);
  EXPECT_FALSE(back == record);
  changed.timing.spare3 = 1;
  EXPECT_TRUE(back != changed);
  tAITimingControllerPrimitiveConfig copy(changed);
  const tAITimingControllerPrimitiveConfig& same = copy;
  copy = same;
  EXPECT_TRUE(copy == changed);
}

TEST_F(tConfigRecordTest, TheChannelRecordStreamsTwentySixValuesAndComparesRangesByValue) {
  tAIScanningFrontEndConfig channel;
  int status = 0;
  const tByteOutputStream out = written(channel, status);
  const tOps expected{{U32, 0}, {U32, 0}, {U32, 0}, {I32, -10}, {I16, 0}, {U16, 1}, {I32, 10},
                      {I16, 0}, {U16, 1}, {I32, 0}, {I32, 257}, {I32, 0}, {U32, 0}, {U32, 0},
                      {U32, 0}, {U32, 0}, {I32, 4}, {U32, 0},   {U32, 0}, {U32, 0}, {I32, 0},
                      {I32, 0}, {I16, 0}, {U16, 1}, {I32, 42},  {I32, 0}, {U32, 0}};
  EXPECT_EQ(out.operations(), expected);
  EXPECT_TRUE(roundTrip(channel) == channel);

  tAIScanningFrontEndConfig milli, otherKind;
  milli.rangeLow = {-10000, -3, 1};
  otherKind.rangeLow = {-10, 0, 2};
  EXPECT_TRUE(milli == channel);
  EXPECT_FALSE(otherKind == channel);
  tAIScanningFrontEndConfig sampled;
  sampled.samples.append(3);
  EXPECT_FALSE(sampled == channel);
  EXPECT_TRUE(roundTrip(sampled) == sampled);
}

TEST_F(tConfigRecordTest, TheFieldWiseChannelConstructorTakesTheRangeOnlyWithAGoodStatus) {
  const nQoUdRLP100::tInterval range{{-1, 0, 1}, {2, 0, 1}};
  tRecordVector<uint32_t> samples;
  samples.append(0x51);
  const uint32_t words9To12[4] = {0x91, 0x92, 0x93, 0x94};
  const uint32_t words14To16[3] = {0xE1, 0xE2, 0xE3};
  const auto make = [&](const nQoUdRLP100::tInterval* given, int status) {
    return tAIScanningFrontEndConfig(0x11, 0x22, 0x33, given, 6, 7, 8, words9To12, 13, words14To16,
                                     17, {19, 3, 5}, 20, 21, samples, status);
  };
  const tAIScanningFrontEndConfig channel = make(&range, 0);
  int status = 0;
  EXPECT_EQ(written(channel, status).operations(),
            (tOps{{U32, 0x11}, {U32, 0x22}, {U32, 0x33}, {I32, -1},   {I16, 0},  {U16, 1},
                  {I32, 2},    {I16, 0},    {U16, 1},    {I32, 6},    {I32, 7},  {I32, 8},
                  {U32, 0x91}, {U32, 0x92}, {U32, 0x93}, {U32, 0x94}, {I32, 13}, {U32, 0xE1},
                  {U32, 0xE2}, {U32, 0xE3}, {I32, 17},   {I32, 19},   {I16, 3},  {U16, 5},
                  {I32, 20},   {I32, 21},   {U32, 1},    {U32, 0x51}}));
  EXPECT_EQ(channel.staticControlWord(), 0x92u);
  for (const tAIScanningFrontEndConfig& fallback : {make(nullptr, 0), make(&range, -1)}) {
    EXPECT_EQ(fallback.rangeLow.value, -10);
    EXPECT_EQ(fallback.rangeHigh.value, 10);
    EXPECT_EQ(fallback.word21, 21);
  }
}

TEST_F(tConfigRecordTest, AFrontEndCountFromOutsideReservesAtMostTheCap) {
  tAIScanningFrontEndPrimitiveConfig record;
  record.channels.append({});
  record.channels[0].word3 = 0x1234;
  record.channels.append({});
  record.settlingTime = 77;
  int status = 0;
  const tByteOutputStream out = written(record, status);
  EXPECT_TRUE(roundTrip(record) == record);

  // The reservation for the count fails: nothing past the count is read.
  tByteInputStream failing(out.bytes().data(), out.bytes().size());
  tAIScanningFrontEndPrimitiveConfig refused;
  nQoSim::failAllocation(1);
  refused.readExternal(failing, status);
  EXPECT_EQ(status, -50352);
  EXPECT_EQ(refused.channels.size(), 0u);
  EXPECT_EQ(failing.position(), 4u);
  EXPECT_EQ(refused.settlingTime, 0u);
  nQoMDBG100::tStatus2 checked;
  refused.checkStatus(checked);
  EXPECT_EQ(checked.code, -50352);
  EXPECT_TRUE(loggedAt(-50352, "tConfigRecord", 36));

  // A count of 0xFFFFFFFF with 20 bytes behind it: one reservation of the
  // cap, then the stream's end.
  std::vector<uint8_t> huge{0xFF, 0xFF, 0xFF, 0xFF};
  huge.insert(huge.end(), out.bytes().begin() + 4, out.bytes().begin() + 24);
  tByteInputStream in(huge.data(), huge.size());
  tAIScanningFrontEndPrimitiveConfig hugeRecord;
  status = 0;
  const uint64_t before = nQoSim::totalAllocations();
  hugeRecord.readExternal(in, status);
  EXPECT_EQ(status, nQoORB100::kEndOfStream);
  EXPECT_EQ(nQoSim::totalAllocations(), before + 1);
  EXPECT_EQ(hugeRecord.channels.size(), 0u);

  // Three announced, two delivered: the two stay.
  std::vector<uint8_t> short3(out.bytes().begin(), out.bytes().end() - 16);
  short3[0] = 3;
  tByteInputStream shortIn(short3.data(), short3.size());
  tAIScanningFrontEndPrimitiveConfig partial;
  status = 0;
  partial.readExternal(shortIn, status);
  EXPECT_EQ(status, nQoORB100::kEndOfStream);
  ASSERT_EQ(partial.channels.size(), 2u);
  EXPECT_EQ(partial.channels[0].word3, 0x1234u);
}

TEST_F(tConfigRecordTest, AVectorThatFailedToGrowIsReportedAndNotWritten) {
  tAIScanningFrontEndPrimitiveConfig record;
  record.channels.append({});
  record.channels[0].samples.append(9);
  int status = 0;
  const tByteOutputStream out = written(record, status);

  // The channel's own sample list cannot be reserved while reading.
  tByteInputStream in(out.bytes().data(), out.bytes().size());
  tAIScanningFrontEndPrimitiveConfig back;
  nQoSim::failAllocation(2);
  back.readExternal(in, status);
  EXPECT_EQ(status, -50352);
  EXPECT_EQ(back.channels.size(), 0u);

  // A copy that cannot get its storage carries the flag: checked and written, -50352.
  nQoSim::failAllocation(1);
  tAIScanningFrontEndPrimitiveConfig copy(record);
  nQoMDBG100::tStatus2 checked;
  copy.checkStatus(checked);
  EXPECT_EQ(checked.code, -50352);
  status = 0;
  const tByteOutputStream refused = written(copy, status);
  EXPECT_EQ(status, -50352);
  EXPECT_TRUE(refused.operations().empty());

  // An element's copy failing is found too.
  tAIScanningFrontEndPrimitiveConfig elementCopy;
  nQoSim::failAllocation(2);
  elementCopy = record;
  checked.clear();
  elementCopy.checkStatus(checked);
  EXPECT_EQ(checked.code, -50352);
  int bare = 5;
  elementCopy.checkStatus(bare);
  EXPECT_EQ(bare, -50352);
}

TEST_F(tConfigRecordTest, AChannelWhoseSamplesAreLostInItsCopyFailsTheRead) {
  tAIScanningFrontEndPrimitiveConfig record;
  record.channels.append({});
  record.channels[0].word8 = 0x11223308;
  record.channels[0].samples.append(0x11223344);
  record.settlingTime = 77;
  int status = 0;
  const tByteOutputStream out = written(record, status);

  // The channel list and the channel's samples are reserved; the third
  // allocation, the samples of the channel's copy into the list, fails.
  tByteInputStream in(out.bytes().data(), out.bytes().size());
  tAIScanningFrontEndPrimitiveConfig back;
  int warned = 5;
  nQoSim::failAllocation(3);
  back.readExternal(in, warned);
  EXPECT_EQ(warned, -50352);
  ASSERT_EQ(back.channels.size(), 1u);
  EXPECT_EQ(back.channels[0].word8, 0x11223308);
  EXPECT_EQ(back.channels[0].samples.size(), 0u);

  // The loss stays with the record: checked, written and read again, -50352.
  nQoMDBG100::tStatus2 checked;
  back.checkStatus(checked);
  EXPECT_EQ(checked.code, -50352);
  int writing = 0;
  EXPECT_TRUE(written(back, writing).operations().empty());
  EXPECT_EQ(writing, -50352);
  tByteInputStream again(out.bytes().data(), out.bytes().size());
  int reading = 0;
  back.readExternal(again, reading);
  EXPECT_EQ(reading, -50352);
  EXPECT_EQ(again.position(), 0u);
}

TEST_F(tConfigRecordTest, TheSmallRecordsStreamTheirDefaultsAndComeBackEqual) {
  int status = 0;
  EXPECT_EQ(written(tAIDeviceFIFOPrimitiveConfig{}, status).operations(),
            (tOps{{I32, 0}, {I32, 0}, {U32, 1}, {U32, 0}, {U32, 0}, {U32, 0xFFFFFFFF}}));
  EXPECT_EQ(written(tAISubsystemPrimitiveConfig{}, status).operations(), (tOps{{I32, -1}}));
  EXPECT_EQ(written(tAI_DMATransferPrimitiveConfig{}, status).operations(), (tOps{{U32, 0}}));
  EXPECT_EQ(written(tAOWaitForNextSampleClockPrimitiveConfig{}, status).operations(),
            (tOps{{U32, 100}, {U32, 0}, {I32, 1}}));
  EXPECT_EQ(written(tAIScanningFrontEndPrimitiveConfig{}, status).operations(),
            (tOps{{U32, 0}, {I32, 0}, {U32, 0}, {U32, 0}, {U32, 0}}));
  tOps output{{U32, 0}, {U32, 0}, {U32, 0}, {U32, 0}, {I32, 0}, {I32, 1}, {I32, 1},
              {I32, 0}, {I32, 1}, {I32, 0}, {U32, 2}, {I32, 0}, {I32, 0}, {I32, 0},
              {U32, 1}, {I32, 0}, {U32, 0}, {U32, 0}, {U32, 1}, {U32, 0}, {U32, 0},
              {U32, 0}, {U64, 0}, {U32, 0}, {I32, 0}, {U32, 0}, {U32, 0}};
  EXPECT_EQ(written(tOutputTimingControllerPrimitiveConfig{}, status).operations(), output);
  EXPECT_EQ(status, 0);

  EXPECT_TRUE(written(tAI_ADCPrimitiveConfig{}, status).operations().empty());
  EXPECT_TRUE(written(tTEDSPrimitiveConfig{}, status).operations().empty());
  EXPECT_TRUE(tAI_ADCPrimitiveConfig{} == tAI_ADCPrimitiveConfig{});
  EXPECT_FALSE(tTEDSPrimitiveConfig{} != tTEDSPrimitiveConfig{});

  tOutputTimingControllerPrimitiveConfig listed;
  for (uint32_t value : {5u, 6u, 7u}) listed.list18.append(value);
  listed.word23 = 0xFFFFFFFF00000001;
  EXPECT_TRUE(roundTrip(listed) == listed);
  tAIDeviceFIFOPrimitiveConfig fifo;
  fifo.count = 12;
  EXPECT_TRUE(roundTrip(fifo) == fifo);
  EXPECT_FALSE(roundTrip(fifo) == tAIDeviceFIFOPrimitiveConfig{});

  // An error held: nothing is read or written.
  int held = -3;
  tByteOutputStream none;
  listed.writeExternal(none, held);
  EXPECT_TRUE(none.operations().empty());
  const uint8_t bytes[4] = {1, 2, 3, 4};
  tByteInputStream in(bytes, 4);
  tAISubsystemPrimitiveConfig subsystem;
  subsystem.readExternal(in, held);
  EXPECT_EQ(in.position(), 0u);
  EXPECT_EQ(subsystem.transferMechanism, -1);
  EXPECT_EQ(held, -3);
}

TEST_F(tConfigRecordTest, AStreamFailingAtTheNthOperationKeepsTheFieldsBeforeIt) {
  tAIDeviceFIFOPrimitiveConfig source;
  source.fifoMode = 3;
  source.thresholdCode = 4;
  source.word3 = 5;
  int status = 0;
  const tByteOutputStream out = written(source, status);
  tByteInputStream in(out.bytes().data(), out.bytes().size());
  in.failOperation(3, -50411);
  tAIDeviceFIFOPrimitiveConfig read;
  read.readExternal(in, status);
  EXPECT_EQ(status, -50411);
  EXPECT_EQ(read.fifoMode, 3);
  EXPECT_EQ(read.thresholdCode, 4);
  EXPECT_EQ(read.word3, 1u);
  EXPECT_EQ(read.count, 0xFFFFFFFFu);
}

}  // namespace
}  // namespace nQoTest
