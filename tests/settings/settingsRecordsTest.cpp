// The settings classes of the correlated digital, EEPROM, frequency-output,
// change-detection, analog-output transfer, calibration, line-filter and
// disabler resources: each class by name with its default stream, the
// bracket sites, and what single classes do beyond the frame.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "orb/iCloneableExternalizable.h"
#include "orb/tClassImplementation.h"
#include "settings/tAOImmedTransferSettings.h"
#include "settings/tAOInterruptTransferSettings.h"
#include "settings/tCDIImmediateTransferSettings.h"
#include "settings/tCDO_DMATransferSettings.h"
#include "settings/tChangeDetectionSettings.h"
#include "settings/tEEPROMSettings.h"
#include "settings/tRemoteChildDeviceDisablerSettings.h"
#include "settings/tRemotingCalibrationManagerSettings.h"
#include "settings/tTavikFREQOUTPrimitiveSettings.h"
#include "sim/simAllocator.h"
#include "sim/simStreams.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace {

using nQoSim::tRecordingOutputStream;
using nQoSim::tScriptedInputStream;

struct tCall {
  std::string operation;
  uint64_t value;
  std::string text;
  bool operator==(const tCall&) const = default;
};
void PrintTo(const tCall& call, std::ostream* out) {
  *out << call.operation << "(" << std::hex << call.value << " \"" << call.text << "\")";
}
using tCalls = std::vector<tCall>;

tCall U16(uint16_t value) { return {"writeU16", value, ""}; }
tCall U32(uint32_t value) { return {"writeU32", value, ""}; }
tCall I32(int32_t value) { return {"writeI32", static_cast<uint64_t>(int64_t{value}), ""}; }
tCall U64(uint64_t value) { return {"writeU64", value, ""}; }
tCall Text(const std::string& text) { return {"writeString", text.size(), text}; }

tCalls operator+(tCalls a, const tCalls& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

constexpr uint32_t kNone = 0xFFFFFFFF;
const tCalls kIdentifier = {U64(0), U64(0), Text(""), U32(0)};
const tCalls kGUID = {U64(0), U64(0)};
const tCalls kBase = {U32(0)};

template <class tLog>
tCalls callsOf(const tLog& stream) {
  tCalls out;
  for (const nQoSim::tStreamCall& call : stream.calls())
    out.push_back({call.operation, call.value, call.text});
  return out;
}

// The reads that mirror a write stream, without values.
std::vector<std::string> mirrored(const tCalls& written) {
  std::vector<std::string> out;
  for (const tCall& call : written) out.push_back("read" + call.operation.substr(5));
  return out;
}
std::vector<std::string> operationsOf(const tScriptedInputStream& in) {
  std::vector<std::string> out;
  for (const nQoSim::tStreamCall& call : in.calls()) out.push_back(call.operation);
  return out;
}

nQoORB100::iCloneableExternalizable* create(const char* name) {
  int status = 0;
  nQoORB100::tObject* object = nQoORB100::tClassRegistry::createByName(name, status);
  if (object == nullptr) return nullptr;
  return static_cast<nQoORB100::iCloneableExternalizable*>(
      object->___CPPKRLDynamicCast(&nQoORB100::iCloneableExternalizable::___classID));
}

void destroy(nQoORB100::tObject* object) {
  int status = 0;
  object->getClass(status).deleteInstance(object, status);
}

class SettingsRecordsTest : public nQoTest::tLeakCheckedTest {};

TEST_F(SettingsRecordsTest, EveryClassByNameWritesItsDefaultsInItsOrderAndReadsThemBack) {
  nQoTest::tLoadedModule module;
  struct tRow {
    const char* name;
    tCalls stream;
  };
  const tRow rows[] = {
      {"nQoUdR100::tCDI_DMATransferSettings",
       kIdentifier + tCalls{U32(kNone), U32(kNone), I32(0)} + kIdentifier + kBase},
      {"nQoUdR100::tCDI_FIFOSettings", tCalls{I32(0), U32(1)} + kIdentifier + kBase},
      {"nQoUdR100::tCDIImmediateTransferSettings",
       tCalls{U32(kNone), U32(0), I32(3), U32(0), U32(0), U32(0), U32(0), U32(0), U32(0), U32(0)} +
           kIdentifier + kBase},
      {"nQoUdR100::tCDIInterruptTransferSettings",
       tCalls{U32(kNone), U32(kNone), U32(0), I32(3), U32(0), U32(0)} + kIdentifier + kBase},
      {"nQoUdR100::tCDO_DMATransferSettings",
       kIdentifier + tCalls{U32(kNone), U32(kNone), I32(0), I32(0), I32(0)} + kIdentifier + kBase},
      {"nQoUdR100::tCDO_FIFOSettings", tCalls{I32(0), U32(1)} + kIdentifier + kBase},
      {"nQoUdR100::tCDOImmediateTransferSettings",
       tCalls{U32(kNone), U32(0), I32(3), U32(0), U32(0), U32(0)} + kIdentifier + kBase},
      {"nQoUdR100::tCDOInterruptTransferSettings",
       tCalls{U32(kNone), U32(kNone), U32(0), I32(3), U32(0), U32(0), U32(0)} + kIdentifier +
           kBase},
      {"nQoUdR100::tEEPROMSettings", kIdentifier + tCalls{U32(kNone)} + kBase},
      {"nQoUdR100::tTavikFREQOUTPrimitiveSettings", kBase + kIdentifier + tCalls{U32(0), U16(1)}},
      {"nQoUdR100::tChangeDetectionSettings",
       tCalls{U32(kNone), U32(kNone), U32(kNone)} + kIdentifier +
           tCalls{U32(0), U32(0), U32(0), U32(0), U32(0), U64(0)} + kBase},
      {"nQoUdR100::tAOImmedTransferSettings",
       tCalls{U32(0), U32(0), U32(0), U32(kNone), U32(kNone), Text(""), U32(0)} + kBase},
      {"nQoUdR100::tAOInterruptTransferSettings",
       tCalls{U64(0), U32(0), U32(0), U32(0), I32(0), U32(0), U32(0), U32(0), U32(kNone),
              U32(kNone), Text("")} +
           kBase},
      {"nQoUdR100::tAOWaitForNextSampleClockSettings",
       tCalls{U32(100), U32(0), I32(1), U32(kNone), U32(0)} + kBase},
      {"nQoUdR100::tOutputDMATransferSettings",
       tCalls{I32(0), U32(0), I32(1), U32(0), U32(kNone), U32(kNone), U32(kNone)} + kIdentifier +
           tCalls{U32(kNone)} + kBase},
      {"nQoUdR100::tCalPWMSettings", kIdentifier + kBase},
      {"nQoUdR100::tRemotingCalibrationManagerSettings",
       tCalls{U32(0)} + kGUID + tCalls{Text("")} + kBase},
      {"nQoUdR100::tRemoteChildDeviceDisablerSettings", kGUID + kBase},
      {"nQoUdR100::tTavikLineFilterSettings", kBase + kIdentifier + tCalls{U32(0)}},
  };
  for (const tRow& row : rows) {
    SCOPED_TRACE(row.name);
    nQoORB100::iCloneableExternalizable* settings = create(row.name);
    ASSERT_NE(settings, nullptr);
    int status = 0;
    tRecordingOutputStream out;
    settings->writeExternal(out, status);
    EXPECT_EQ(callsOf(out), row.stream);

    // A clone reads the stream back with the mirroring reads (the output DMA
    // class's two signed words come back through readU32) and writes it again.
    nQoORB100::tObject* copy = settings->clone(status);
    ASSERT_NE(copy, nullptr);
    auto* again = static_cast<nQoORB100::iCloneableExternalizable*>(
        copy->___CPPKRLDynamicCast(&nQoORB100::iCloneableExternalizable::___classID));
    tScriptedInputStream in(out.bytes());
    again->readExternal(in, status);
    std::vector<std::string> reads = mirrored(row.stream);
    if (row.name == std::string("nQoUdR100::tCDO_DMATransferSettings"))
      reads[kIdentifier.size() + 3] = reads[kIdentifier.size() + 4] = "readU32";
    EXPECT_EQ(operationsOf(in), reads);
    tRecordingOutputStream twice;
    again->writeExternal(twice, status);
    EXPECT_EQ(callsOf(twice), row.stream);
    EXPECT_EQ(status, 0);
    destroy(copy);
    destroy(settings);
    EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(row.name), 0);
  }
}

TEST_F(SettingsRecordsTest, BracketedClassesReportACallersWarningAtTheirReadAndWriteSites) {
  nQoTest::tLoadedModule module;
  struct tRow {
    const char* file;
    unsigned readLine;
    unsigned writeLine;
  };
  for (const tRow& row : {tRow{"tCDI_DMATransferSettings", 91, 63},
                          {"tCDI_FIFOSettings", 84, 61},
                          {"tCDIImmediateTransferSettings", 104, 71},
                          {"tCDIInterruptTransferSettings", 99, 67},
                          {"tCDO_DMATransferSettings", 99, 67},
                          {"tCDO_FIFOSettings", 85, 61},
                          {"tCDOImmediateTransferSettings", 101, 69},
                          {"tCDOInterruptTransferSettings", 103, 69},
                          {"tEEPROMSettings", 90, 75}}) {
    SCOPED_TRACE(row.file);
    nQoORB100::iCloneableExternalizable* settings =
        create(("nQoUdR100::" + std::string(row.file)).c_str());
    ASSERT_NE(settings, nullptr);
    nQoSim::clearStatusLog();
    int warned = 200010;
    tRecordingOutputStream out;
    settings->writeExternal(out, warned);
    EXPECT_TRUE(nQoTest::loggedAt(200010, row.file, row.writeLine));
    tScriptedInputStream in(out.bytes());
    settings->readExternal(in, warned);
    EXPECT_TRUE(nQoTest::loggedAt(200010, row.file, row.readLine));
    EXPECT_EQ(warned, 200010);
    destroy(settings);
  }
}

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
    const tCalls calls = callsOf(out);
    ASSERT_GE(calls.size(), 10u);
    EXPECT_EQ(tCalls(calls.begin() + 6, calls.begin() + 10),
              (tCalls{U32(c.words[0]), U32(c.words[1]), U32(c.words[2]), U32(c.words[3])}));
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
  tRecordingOutputStream out;
  source.writeExternal(out, status);
  tScriptedInputStream in(out.bytes());
  in.failOperation(4, -7);
  target.readExternal(in, status);
  EXPECT_EQ(status, -7);
  EXPECT_EQ(operationsOf(in), (std::vector<std::string>{"readU32", "readU32", "readI32", "readU32",
                                                        "readU32", "readU32"}));
  EXPECT_EQ(target.record<0>().samplePeriod.integer, 9);
}

TEST_F(SettingsRecordsTest, CDOTransferWordsGoOutSignedAndComeBackUnchanged) {
  nQoUdR100::tCDO_DMATransferSettings source, target;
  source.record<0>().transferWord1.value = 0x80000000u;
  source.record<0>().transferWord2.value = 0x7FFFFFFFu;
  int status = 0;
  tRecordingOutputStream out;
  source.writeExternal(out, status);
  const tCalls calls = callsOf(out);
  ASSERT_GT(calls.size(), kIdentifier.size() + 4);
  EXPECT_EQ(calls[kIdentifier.size() + 3], I32(INT32_MIN));
  EXPECT_EQ(calls[kIdentifier.size() + 4], I32(0x7FFFFFFF));
  tScriptedInputStream in(out.bytes());
  target.readExternal(in, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(target.record<0>().transferWord1.value, 0x80000000u);
  EXPECT_EQ(target.record<0>().transferWord2.value, 0x7FFFFFFFu);
}

TEST_F(SettingsRecordsTest, FrequencyOutputAndChangeDetectionLeaveEverythingOnAnErrorStatus) {
  nQoUdR100::tTavikFREQOUTPrimitiveSettings freqout;
  freqout.record<0>().divisor = 0x12;
  int status = 0;
  tRecordingOutputStream out;
  freqout.writeExternal(out, status);
  EXPECT_EQ(callsOf(out).back(), U16(0x12));
  nQoUdR100::tTavikFREQOUTPrimitiveSettings back;
  tScriptedInputStream in(out.bytes());
  back.readExternal(in, status);
  EXPECT_EQ(back.record<0>().divisor, 0x12);

  // Entered with an error, nothing is asked of the stream and nothing stored.
  freqout.record<0>().timebaseSelect = 5;
  freqout.record<0>().divisor = 3;
  nQoUdR100::tChangeDetectionSettings detection;
  detection.record<0>().bufferSize = 64;
  tRecordingOutputStream cdOut;
  detection.writeExternal(cdOut, status);
  int failed = -7;
  tScriptedInputStream freqIn(out.bytes()), cdIn(cdOut.bytes());
  freqout.readExternal(freqIn, failed);
  detection.readExternal(cdIn, failed);
  tRecordingOutputStream quiet;
  freqout.writeExternal(quiet, failed);
  detection.writeExternal(quiet, failed);
  EXPECT_EQ(failed, -7);
  EXPECT_EQ(freqout.record<0>().timebaseSelect, 5u);
  EXPECT_EQ(freqout.record<0>().divisor, 3);
  EXPECT_EQ(detection.record<0>().bufferSize, 64u);
  EXPECT_TRUE(freqIn.calls().empty());
  EXPECT_TRUE(cdIn.calls().empty());
  EXPECT_TRUE(quiet.calls().empty());
}

TEST_F(SettingsRecordsTest, EEPROMSettingsCompareIdentifierAndSettingWord) {
  nQoUdR100::tEEPROMSettings a, b;
  EXPECT_TRUE(a == b);
  b.record<0>().eepromSetting = 7;
  EXPECT_FALSE(a == b);
  EXPECT_TRUE(a != b);
  b.record<0>().eepromSetting = a.record<0>().eepromSetting;
  b.record<0>().identifier.setIndex(1);
  EXPECT_TRUE(a != b);
  b = a;
  b.setBaseValue(9);
  EXPECT_TRUE(a == b);
}

TEST_F(SettingsRecordsTest, AStringThatCannotGrowStopsStreamingAndCloning) {
  nQoTest::tLoadedModule module;
  nQoUdR100::tAOImmedTransferSettings source;
  source.supervisorRecord().name.assign("abcde");
  int status = 0;
  tRecordingOutputStream out;
  source.writeExternal(out, status);
  ASSERT_EQ(status, 0);

  // The first allocation is the stream's own string, the second the member's
  // growth.
  nQoUdR100::tAOImmedTransferSettings target;
  tScriptedInputStream in(out.bytes());
  nQoSim::failAllocation(2);
  target.readExternal(in, status);
  EXPECT_EQ(status, -50352);
  EXPECT_TRUE(target.supervisorRecord().name.allocationFailed());

  int writing = 0, reading = 0, cloning = 0;
  tRecordingOutputStream none;
  tScriptedInputStream unread(out.bytes());
  target.writeExternal(none, writing);
  target.readExternal(unread, reading);
  const int64_t live = nQoSim::liveAllocations();
  EXPECT_EQ(target.clone(cloning), nullptr);
  EXPECT_EQ(writing, -50352);
  EXPECT_EQ(reading, -50352);
  EXPECT_EQ(cloning, -50352);
  EXPECT_TRUE(none.calls().empty());
  EXPECT_TRUE(unread.calls().empty());
  EXPECT_EQ(nQoSim::liveAllocations(), live);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances("nQoUdR100::tAOImmedTransferSettings"), 0);
}

TEST_F(SettingsRecordsTest, CalibrationRecordComparesEveryGUIDWordAndDisablerReadsBackZero) {
  const nQoORB100::tGUID device{0x0102030405060708ull, 0x1112131415161718ull};
  nQoUdR100::tRemotingCalibrationManagerSupervisorConfig a;
  a.word = 3;
  a.guid = device;
  a.name.assign("cal");
  for (int word = 0; word < 4; ++word) {
    SCOPED_TRACE(word);
    nQoUdR100::tRemotingCalibrationManagerSupervisorConfig b = a;
    EXPECT_TRUE(a == b);
    uint64_t& half = word < 2 ? b.guid.high : b.guid.low;
    half ^= uint64_t{1} << (word % 2 == 0 ? 32 : 0);
    EXPECT_FALSE(a == b);
  }

  // A default disabler streams a zero GUID, and reading it clears a set one.
  nQoUdR100::tRemoteChildDeviceDisablerSettings defaults, target;
  target.record<0>().deviceGUID = device;
  int status = 0;
  tRecordingOutputStream out;
  defaults.writeExternal(out, status);
  tScriptedInputStream in(out.bytes());
  target.readExternal(in, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(target.record<0>().deviceGUID, nQoORB100::tGUID{});

  // Self-assignment changes nothing.
  nQoUdR100::tRemotingCalibrationManagerSettings manager;
  manager.record<0>() = a;
  manager.setBaseValue(0x77);
  nQoUdR100::tRemotingCalibrationManagerSettings& same = manager;
  manager = same;
  EXPECT_TRUE(manager.record<0>() == a);
  EXPECT_EQ(manager.getBaseValue(), 0x77u);
  nQoUdR100::tCDIImmediateTransferSettings period;
  period.record<0>().samplePeriod.fraction = 11;
  nQoUdR100::tCDIImmediateTransferSettings& samePeriod = period;
  period = samePeriod;
  EXPECT_EQ(period.record<0>().samplePeriod.fraction, 11u);
}

}  // namespace
