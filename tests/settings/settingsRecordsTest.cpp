// What single settings classes do beyond their rows: the sample periods and
// intervals as words, signed and unsigned word widths, reads entered with an
// error, failed allocations that stop every operation, record equality and
// self-assignment.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "settings/aiSettings.h"
#include "settings/aiTransferSettings.h"
#include "settings/aoTimingSettings.h"
#include "settings/tAOImmedTransferSettings.h"
#include "settings/tCDIImmediateTransferSettings.h"
#include "settings/tCDO_DMATransferSettings.h"
#include "settings/tChangeDetectionSettings.h"
#include "settings/tEEPROMSettings.h"
#include "settings/tRemoteChildDeviceDisablerSettings.h"
#include "settings/tRemotingCalibrationManagerSettings.h"
#include "settings/tTavikFREQOUTPrimitiveSettings.h"
#include "settings/triggerTEDSSettings.h"
#include "sim/simAllocator.h"
#include "sim/simStreams.h"
#include "support/moduleFixture.h"
#include "support/settingsObjects.h"
#include "support/statusRecords.h"
#include "support/streamSteps.h"

namespace {

using nQoSim::tRecordingOutputStream;
using nQoSim::tScriptedInputStream;
using nQoTest::I32;
using nQoTest::tStep;
using nQoTest::U16;
using nQoTest::U32;
using tSteps = std::vector<tStep>;
using tOperations = std::vector<std::string>;

constexpr uint32_t kNone = 0xFFFFFFFF;
// The calls a default identifier takes.
constexpr std::size_t kIdentifierCalls = 4;

using nQoTest::streamOf;

// Reads bytes into target with the nth allocation failing: the read ends with
// -50352, then every operation stops and no instance of the class is left.
template <class T>
void expectAFailedReadStopsEverything(T& target, const std::vector<uint8_t>& bytes, uint64_t nth) {
  tScriptedInputStream in(bytes);
  nQoSim::failAllocation(nth);
  int status = 0;
  target.readExternal(in, status);
  EXPECT_EQ(status, -50352);
  nQoTest::expectStoppedByAFailedAllocation(target, bytes);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(T::kClassName), 0);
}

class SettingsRecordsTest : public nQoTest::tLeakCheckedTest {};

TEST_F(SettingsRecordsTest, CDISamplePeriodTravelsAsFourWordsOnlyWhileNoErrorPrecedesIt) {
  struct tCase {
    int64_t integer;
    uint64_t fraction;
    uint32_t words[4];
  };
  for (const tCase& c : {tCase{1, 5, {0, 1, 0, 5}},
                         tCase{-2, 0x8000000000000001ull, {kNone, 0xFFFFFFFE, 0x80000000, 1}}}) {
    SCOPED_TRACE(c.integer);
    nQoUdR100::tCDIImmediateTransferSettings source, target;
    source.record<0>().samplePeriod.integer = c.integer;
    source.record<0>().samplePeriod.fraction = c.fraction;
    int status = 0;
    tRecordingOutputStream out;
    source.writeExternal(out, status);
    const tSteps calls = nQoTest::rawSteps(out.calls());
    ASSERT_GE(calls.size(), 10u);
    EXPECT_EQ(tSteps(calls.begin() + 6, calls.begin() + 10),
              (tSteps{U32(c.words[0]), U32(c.words[1]), U32(c.words[2]), U32(c.words[3])}));
    tScriptedInputStream in(out.bytes());
    target.readExternal(in, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(target.record<0>().samplePeriod.integer, c.integer);
    EXPECT_EQ(target.record<0>().samplePeriod.fraction, c.fraction);
  }

  // An input error at transferWord2: the words up to transferWord4 are still
  // asked for, the period's are not, and the period stays as it was.
  nQoUdR100::tCDIImmediateTransferSettings source, target;
  target.record<0>().samplePeriod.integer = 9;
  int status = 0;
  tScriptedInputStream in(streamOf(source));
  in.failOperation(4, -7);
  target.readExternal(in, status);
  EXPECT_EQ(status, -7);
  EXPECT_EQ(nQoTest::operations(in.calls()),
            (tOperations{"readU32", "readU32", "readI32", "readU32", "readU32", "readU32"}));
  EXPECT_EQ(target.record<0>().samplePeriod.integer, 9);
}

TEST_F(SettingsRecordsTest, AISampleIntervalTravelsMostSignificantFirstAndOnlyWithoutAnError) {
  nQoUdR100::tAIImmediateTransferSettings settings;
  auto& fields = settings.record<0>();
  fields.sampleInterval.integer = 1;
  fields.sampleInterval.fraction = uint64_t{1} << 63;
  int status = 0;
  tRecordingOutputStream out;
  settings.writeExternal(out, status);
  const tSteps written = nQoTest::steps(out.calls());
  ASSERT_GE(written.size(), 20u);
  EXPECT_EQ(tSteps(written.begin() + 16, written.begin() + 20),
            (tSteps{U32(0), U32(1), U32(0x80000000u), U32(0)}));

  // The interval's most significant word is the 17th: 8 + 15 * 4 bytes in.
  std::vector<uint8_t> bytes = out.bytes();
  for (std::size_t i = 68; i < 84; ++i) bytes[i] = 0;
  bytes[68] = 5;
  nQoUdR100::tAIImmediateTransferSettings read;
  tScriptedInputStream in(bytes);
  read.readExternal(in, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(read.record<0>().sampleInterval.integer, int64_t{5} << 32);
  EXPECT_EQ(read.record<0>().sampleInterval.fraction, 0u);

  // An error at word 11 (the 10th read): the interval's words are never asked
  // for. Words 1 to 17 but the interval, words 9, 10, 18 and 19; the
  // identifier and the base part skip their reads under the error.
  tScriptedInputStream failing(out.bytes());
  failing.failOperation(10, -7);
  nQoUdR100::tAIImmediateTransferSettings cut;
  status = 0;
  cut.readExternal(failing, status);
  EXPECT_EQ(status, -7);
  EXPECT_EQ(failing.calls().size(), 20u);
  EXPECT_TRUE((cut.record<0>().sampleInterval == nQoSS100::tFixedPoint128<64u, true>(0)));
}

TEST_F(SettingsRecordsTest, WordsKeepTheirWidthAndSignBothWays) {
  int status = 0;
  nQoUdR100::tCDO_DMATransferSettings transfer, transferBack;
  transfer.record<0>().transferWord1.value = 0x80000000u;
  transfer.record<0>().transferWord2.value = 0x7FFFFFFFu;
  tRecordingOutputStream transferOut;
  transfer.writeExternal(transferOut, status);
  const tSteps calls = nQoTest::rawSteps(transferOut.calls());
  ASSERT_GT(calls.size(), kIdentifierCalls + 4);
  EXPECT_EQ(calls[kIdentifierCalls + 3], I32(INT32_MIN));
  EXPECT_EQ(calls[kIdentifierCalls + 4], I32(0x7FFFFFFF));
  tScriptedInputStream transferIn(transferOut.bytes());
  transferBack.readExternal(transferIn, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(transferBack.record<0>().transferWord1.value, 0x80000000u);
  EXPECT_EQ(transferBack.record<0>().transferWord2.value, 0x7FFFFFFFu);

  nQoUdR100::tAI_WFNSCSettings wait, waitBack;
  wait.record<0>().word1 = kNone;
  tRecordingOutputStream waitOut;
  wait.writeExternal(waitOut, status);
  EXPECT_EQ(nQoTest::steps(waitOut.calls())[0], I32(-1));
  tScriptedInputStream waitIn(waitOut.bytes());
  waitBack.readExternal(waitIn, status);
  EXPECT_EQ(uint32_t{waitBack.record<0>().word1}, kNone);

  nQoUdR100::tAnalogTriggerSettings trigger, triggerBack;
  trigger.record<0>().word5 = 1;
  trigger.record<0>().word6 = 2;
  tRecordingOutputStream triggerOut;
  trigger.writeExternal(triggerOut, status);
  EXPECT_EQ(nQoTest::steps(triggerOut.calls())[4], I32(2));
  EXPECT_EQ(nQoTest::steps(triggerOut.calls())[5], U32(1));
  tScriptedInputStream triggerIn(triggerOut.bytes());
  triggerBack.readExternal(triggerIn, status);
  EXPECT_EQ(triggerBack.record<0>().word5, 1u);
  EXPECT_EQ(triggerBack.record<0>().word6, 2);

  nQoUdR100::tTavikFREQOUTPrimitiveSettings freqout, freqoutBack;
  freqout.record<0>().divisor = 0x12;
  tRecordingOutputStream freqoutOut;
  freqout.writeExternal(freqoutOut, status);
  EXPECT_EQ(nQoTest::rawSteps(freqoutOut.calls()).back(), U16(0x12));
  tScriptedInputStream freqoutIn(freqoutOut.bytes());
  freqoutBack.readExternal(freqoutIn, status);
  EXPECT_EQ(freqoutBack.record<0>().divisor, 0x12);
}

TEST_F(SettingsRecordsTest, ReadsEnteredWithAnErrorAskNothingAndStoreNothing) {
  nQoUdR100::tTavikFREQOUTPrimitiveSettings freqout;
  freqout.record<0>().timebaseSelect = 5;
  freqout.record<0>().divisor = 3;
  nQoTest::expectNoStreamCalls(freqout, streamOf(nQoUdR100::tTavikFREQOUTPrimitiveSettings()), -7,
                               -7);
  EXPECT_EQ(freqout.record<0>().timebaseSelect, 5u);
  EXPECT_EQ(freqout.record<0>().divisor, 3);

  nQoUdR100::tChangeDetectionSettings detection;
  detection.record<0>().bufferSize = 64;
  nQoTest::expectNoStreamCalls(detection, streamOf(detection), -7, -7);
  EXPECT_EQ(detection.record<0>().bufferSize, 64u);

  nQoUdR100::tAOTimingControllerSettings timing;
  timing.record<0>().word6 = 1000;
  timing.record<0>().word28 = 9;
  nQoTest::expectNoStreamCalls(timing, streamOf(nQoUdR100::tAOTimingControllerSettings()), -7, -7);
  EXPECT_EQ(timing.record<0>().word6, 1000u);
  EXPECT_EQ(timing.record<0>().word28, 9u);
  EXPECT_EQ(timing.record<0>().word1, 1u);
}

TEST_F(SettingsRecordsTest, AStringThatCannotGrowStopsStreamingAndCloning) {
  nQoTest::tLoadedModule module;
  nQoUdR100::tAOImmedTransferSettings source;
  source.supervisorRecord().name.assign("abcde");
  const std::vector<uint8_t> bytes = streamOf(source);

  // The first allocation is the stream's own string, the second the member's
  // growth.
  nQoUdR100::tAOImmedTransferSettings target;
  expectAFailedReadStopsEverything(target, bytes, 2);
  EXPECT_TRUE(target.supervisorRecord().name.allocationFailed());
}

TEST_F(SettingsRecordsTest, AFailedChannelListStopsEveryOperationOfTheFrontEnd) {
  nQoTest::tLoadedModule module;
  nQoUdR100::tAIScanningFrontEndSettings source;
  for (int32_t k = 0; k < 3; ++k) {
    nQoUdP100::tAIScanningFrontEndConfig entry;
    entry.word8 = 0x11223300 + k;
    entry.samples.append(static_cast<uint32_t>(k));
    source.record<0>().channels.append(entry);
  }
  const std::vector<uint8_t> three = streamOf(source);
  source.record<0>().channels = {};
  source.record<0>().channels.append(nQoUdP100::tAIScanningFrontEndConfig());
  source.record<0>().channels.append(nQoUdP100::tAIScanningFrontEndConfig());
  const std::vector<uint8_t> two = streamOf(source);

  nQoUdR100::tAIScanningFrontEndSettings failed;
  expectAFailedReadStopsEverything(failed, three, 1);

  // The third allocation is the samples of the first channel's copy into the
  // list: the lost samples fail the read as a lost list does.
  nQoUdR100::tAIScanningFrontEndSettings lostSamples;
  expectAFailedReadStopsEverything(lostSamples, three, 3);

  // A sound object holding three entries takes exactly the two read.
  nQoUdR100::tAIScanningFrontEndSettings sound;
  tScriptedInputStream threeIn(three), twoIn(two);
  int status = 0;
  sound.readExternal(threeIn, status);
  ASSERT_EQ(sound.record<0>().channels.size(), 3u);
  EXPECT_EQ(sound.record<0>().channels[2].word8, 0x11223302);
  sound.readExternal(twoIn, status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(sound.record<0>() == source.record<0>());
}

TEST_F(SettingsRecordsTest, RecordsAreEqualOnlyInEveryIdentifierWordAndGUIDWord) {
  nQoUdR100::tEEPROMSettings a, b;
  b.record<0>().eepromSetting = 7;
  EXPECT_FALSE(a == b);
  b.record<0>().eepromSetting = a.record<0>().eepromSetting;
  b.record<0>().identifier.setIndex(1);
  EXPECT_TRUE(a != b);
  b = a;
  b.setBaseValue(9);
  EXPECT_TRUE(a == b);

  nQoUdR100::tAI_DMATransferSupervisorConfig dma, word, identifier;
  word.word7 = 1;
  identifier.identifier2.setIndex(3);
  EXPECT_TRUE(dma != word);
  EXPECT_TRUE(dma != identifier);
  nQoUdR100::tTEDSSupervisorConfig teds, tedsWord;
  tedsWord.word4 = 0;
  EXPECT_TRUE(teds != tedsWord);

  const nQoORB100::tGUID device{0x0102030405060708ull, 0x1112131415161718ull};
  nQoUdR100::tRemotingCalibrationManagerSupervisorConfig calibration;
  calibration.word = 3;
  calibration.guid = device;
  calibration.name.assign("cal");
  for (int guidWord = 0; guidWord < 4; ++guidWord) {
    SCOPED_TRACE(guidWord);
    nQoUdR100::tRemotingCalibrationManagerSupervisorConfig other = calibration;
    EXPECT_TRUE(calibration == other);
    uint64_t& half = guidWord < 2 ? other.guid.high : other.guid.low;
    half ^= uint64_t{1} << (guidWord % 2 == 0 ? 32 : 0);
    EXPECT_FALSE(calibration == other);
  }
}

TEST_F(SettingsRecordsTest, DisablerReadsBackAZeroGUIDAndSelfAssignmentChangesNothing) {
  const nQoORB100::tGUID device{0x0102030405060708ull, 0x1112131415161718ull};
  nQoUdR100::tRemoteChildDeviceDisablerSettings target;
  target.record<0>().deviceGUID = device;
  int status = 0;
  tScriptedInputStream in(streamOf(nQoUdR100::tRemoteChildDeviceDisablerSettings()));
  target.readExternal(in, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(target.record<0>().deviceGUID, nQoORB100::tGUID{});

  nQoUdR100::tRemotingCalibrationManagerSettings manager;
  manager.record<0>().word = 3;
  manager.record<0>().guid = device;
  manager.setBaseValue(0x77);
  const nQoUdR100::tRemotingCalibrationManagerSupervisorConfig before = manager.record<0>();
  nQoUdR100::tRemotingCalibrationManagerSettings& same = manager;
  manager = same;
  EXPECT_TRUE(manager.record<0>() == before);
  EXPECT_EQ(manager.getBaseValue(), 0x77u);
  nQoUdR100::tCDIImmediateTransferSettings period;
  period.record<0>().samplePeriod.fraction = 11;
  nQoUdR100::tCDIImmediateTransferSettings& samePeriod = period;
  period = samePeriod;
  EXPECT_EQ(period.record<0>().samplePeriod.fraction, 11u);
}

}  // namespace
