// Every settings class by name: its default stream call by call, read back
// into a clone with the mirroring reads and written again byte-equal; the
// bracket sites of the bracketed classes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sim/simStreams.h"
#include "support/moduleFixture.h"
#include "support/settingsObjects.h"
#include "support/statusRecords.h"
#include "support/streamSteps.h"

namespace {

using nQoTest::Base;
using nQoTest::I32;
using nQoTest::Id;
using nQoTest::Str;
using nQoTest::tStep;
using nQoTest::U16;
using nQoTest::U32;
using nQoTest::U64;

constexpr uint32_t kNone = 0xFFFFFFFF;

// The reads that mirror the written steps, but readU32 at the calls listed
// (signed words that come back unsigned).
std::vector<std::string> mirrored(const std::vector<tStep>& written,
                                  const std::vector<std::size_t>& unsignedReads) {
  std::vector<std::string> out;
  for (const tStep& step : written) out.push_back("read" + step.operation.substr(5));
  for (std::size_t call : unsignedReads) out[call] = "readU32";
  return out;
}

class SettingsClassesTest : public nQoTest::tLeakCheckedTest {};

TEST_F(SettingsClassesTest, DefaultsStreamCallByCallAndReadBackIntoACloneByteEqual) {
  struct tCase {
    std::string name;
    std::vector<tStep> steps;
    std::vector<std::size_t> unsignedReads = {};
  };
  // clang-format off
  const std::vector<tStep> timing = {
      U64(0), I32(0), U32(0), U32(0), I32(0), I32(0), U32(0), U32(0), U32(0), U32(1), U32(0),
      U32(0), U32(0), I32(0), U32(1), U32(0), U32(0), I32(1), U32(0), U32(0), U32(0), U32(0),
      U32(0), U16(0)};
  const std::vector<tStep> routing = {
      I32(0), I32(-1), I32(0), I32(0), I32(-1), I32(-1), I32(-1), I32(0), I32(-1), I32(-1),
      I32(-1), I32(0), I32(-1), I32(0), I32(-1), I32(1), I32(0), I32(-1), I32(-1), I32(-1),
      I32(0), I32(-1), I32(-1), I32(-1)};
  std::vector<tStep> timingController = timing;
  timingController.push_back(U32(0));
  timingController.insert(timingController.end(), routing.begin(), routing.end());
  timingController.insert(timingController.end(),
                          {Id(), U32(kNone), U32(kNone), U32(kNone), U32(kNone), U32(1), Base()});

  const std::vector<tCase> cases = {
      {"nQoUdR100::tAISubsystemSettings", {I32(-1), Id(), U32(1), Base()}},
      {"nQoUdR100::tAI_ADCSettings", {Id(), U32(kNone), Base()}},
      {"nQoUdR100::tAIScanningFrontEndSettings",
       {U32(0), I32(0), U32(0), U32(0), U32(0), Id(), U32(0), U32(1), U32(kNone), U32(kNone),
        U32(kNone), Base()}},
      {"nQoUdR100::tAITimingControllerSettings", timingController},
      {"nQoUdR100::tAI_DMATransferSettings",
       {U32(0), Id(), Id(), U32(kNone), U32(kNone), U32(kNone), U32(0), U32(0), U32(0), U32(0),
        Base()}},
      {"nQoUdR100::tAIDeviceFIFOSettings",
       {I32(0), I32(0), U32(1), U32(0), U32(0), U32(kNone), Id(), Base()}},
      {"nQoUdR100::tAIInterruptTransferSettings", {U32(kNone), U32(kNone), Id(), Base()}},
      {"nQoUdR100::tAIImmediateTransferSettings",
       {U64(0), U32(1), U32(0), U32(100), U32(0), U32(0), U32(1), U32(kNone), U32(4),
        U32(0), U32(0), U32(0), U32(0), U32(0), U32(kNone), U32(0),
        U32(0), U32(0), U32(0), U32(0),
        U32(1), U32(0), U32(0), U32(0), Id(), Base()}},
      {"nQoUdR100::tAI_WFNSCSettings",
       {I32(0), I32(1), U32(100), U32(1), U32(0), Id(), Base()}, {0, 1}},
      {"nQoUdR100::tAnalogTriggerSettings",
       {I32(0), I32(0), U32(0), U32(0), I32(0), U32(0), U32(kNone), U32(kNone), U32(kNone), Id(),
        Base()}},
      {"nQoUdR100::tTEDSSettings", {U32(kNone), U32(kNone), U32(kNone), U32(kNone), Id(), Base()}},
      {"nQoUdR100::tAO_DACSettings",
       {U32(0), I32(0), I32(1), I32(0), I32(0), I32(7), U32(0), Id(), Base()}},
      {"nQoUdR100::tAOGroundRefSettings", {Id(), I32(0), Base()}},
      {"nQoUdR100::tAOTimingControllerSettings",
       {U32(1), I32(0), I32(0), I32(0), I32(0), U32(50000), I32(0), U32(400), U32(400), U32(5),
        I32(0), I32(0), I32(0), I32(1), I32(1), I32(0), U32(2), I32(1), I32(0), I32(0), I32(0),
        I32(0), U32(0), U32(100), U32(0), U32(1), U32(0), U32(0), Id(), Base()}},
      {"nQoUdR100::tOutputTimingControllerSettings",
       {U32(0), U32(0), U32(0), U32(0),
        I32(0), I32(1), I32(1), I32(0), I32(1), I32(0),
        U32(2),
        I32(0), I32(0), I32(0),
        U32(1), I32(0), U32(0),
        U32(0),
        U32(1), U32(0), U32(0), U32(0),
        U64(0), U32(0), I32(0), U32(0), U32(0),
        Id(), U32(kNone), U32(0), U32(0), U32(0), Base()}},
      {"nQoUdR100::tAO_FIFOSettings",
       {U32(0), I32(0), I32(0), U32(1), U32(0), U32(0), U32(1), U64(0), U32(kNone), U32(kNone),
        U32(kNone), U32(0), Id(), Base()}},
      {"nQoUdR100::tAO_DACTransferSettings", {U32(0), U32(0), U32(0), U32(kNone), U32(0), Base()}},
      {"nQoUdR100::tCDI_DMATransferSettings",
       {Id(), U32(kNone), U32(kNone), I32(0), Id(), Base()}},
      {"nQoUdR100::tCDI_FIFOSettings", {I32(0), U32(1), Id(), Base()}},
      {"nQoUdR100::tCDIImmediateTransferSettings",
       {U32(kNone), U32(0), I32(3), U32(0), U32(0), U32(0), U32(0), U32(0), U32(0), U32(0), Id(),
        Base()}},
      {"nQoUdR100::tCDIInterruptTransferSettings",
       {U32(kNone), U32(kNone), U32(0), I32(3), U32(0), U32(0), Id(), Base()}},
      {"nQoUdR100::tCDO_DMATransferSettings",
       {Id(), U32(kNone), U32(kNone), I32(0), I32(0), I32(0), Id(), Base()}, {7, 8}},
      {"nQoUdR100::tCDO_FIFOSettings", {I32(0), U32(1), Id(), Base()}},
      {"nQoUdR100::tCDOImmediateTransferSettings",
       {U32(kNone), U32(0), I32(3), U32(0), U32(0), U32(0), Id(), Base()}},
      {"nQoUdR100::tCDOInterruptTransferSettings",
       {U32(kNone), U32(kNone), U32(0), I32(3), U32(0), U32(0), U32(0), Id(), Base()}},
      {"nQoUdR100::tEEPROMSettings", {Id(), U32(kNone), Base()}},
      {"nQoUdR100::tTavikFREQOUTPrimitiveSettings", {Base(), Id(), U32(0), U16(1)}},
      {"nQoUdR100::tChangeDetectionSettings",
       {U32(kNone), U32(kNone), U32(kNone), Id(), U32(0), U32(0), U32(0), U32(0), U32(0), U64(0),
        Base()}},
      {"nQoUdR100::tAOImmedTransferSettings",
       {U32(0), U32(0), U32(0), U32(kNone), U32(kNone), Str(), U32(0), Base()}},
      {"nQoUdR100::tAOInterruptTransferSettings",
       {U64(0), U32(0), U32(0), U32(0), I32(0), U32(0), U32(0), U32(0), U32(kNone), U32(kNone),
        Str(), Base()}},
      {"nQoUdR100::tAOWaitForNextSampleClockSettings",
       {U32(100), U32(0), I32(1), U32(kNone), U32(0), Base()}},
      {"nQoUdR100::tOutputDMATransferSettings",
       {I32(0), U32(0), I32(1), U32(0), U32(kNone), U32(kNone), U32(kNone), Id(), U32(kNone),
        Base()}},
      {"nQoUdR100::tCalPWMSettings", {Id(), Base()}},
      {"nQoUdR100::tRemotingCalibrationManagerSettings",
       {U32(0), U64(0), U64(0), Str(), Base()}},
      {"nQoUdR100::tRemoteChildDeviceDisablerSettings", {U64(0), U64(0), Base()}},
      {"nQoUdR100::tTavikLineFilterSettings", {Base(), Id(), U32(0)}},
  };
  // clang-format on

  nQoTest::tLoadedModule module;
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.name);
    nQoORB100::iCloneableExternalizable* settings = nQoTest::createSettings(c.name);
    ASSERT_NE(settings, nullptr);
    int status = 0;
    nQoSim::tRecordingOutputStream once;
    settings->writeExternal(once, status);
    const std::vector<tStep> steps = nQoTest::expanded(c.steps);
    EXPECT_EQ(nQoTest::rawSteps(once.calls()), steps);

    auto* copy = nQoTest::as<nQoORB100::iCloneableExternalizable>(settings->clone(status));
    ASSERT_NE(copy, nullptr);
    nQoSim::tScriptedInputStream in(once.bytes());
    copy->readExternal(in, status);
    EXPECT_EQ(in.position(), once.bytes().size());
    EXPECT_EQ(nQoTest::operations(in.calls()), mirrored(steps, c.unsignedReads));
    nQoSim::tRecordingOutputStream twice;
    copy->writeExternal(twice, status);
    EXPECT_EQ(nQoTest::rawSteps(twice.calls()), steps);
    EXPECT_EQ(twice.bytes(), once.bytes());
    EXPECT_EQ(status, 0);
    nQoTest::destroy(copy);
    nQoTest::destroy(settings);
    EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(c.name.c_str()), 0);
  }
}

TEST_F(SettingsClassesTest, BracketedClassesCarryAWarningInAtTheirReadAndWriteSites) {
  struct tCase {
    std::string file;
    unsigned readLine;
    unsigned writeLine;
  };
  const std::vector<tCase> cases = {
      {"tAIInterruptTransferSettings", 80, 58},
      {"tAIImmediateTransferSettings", 162, 101},
      {"tAI_WFNSCSettings", 97, 67},
      {"tAO_DACSettings", 134, 93},
      {"tAOGroundRefSettings", 104, 82},
      {"tAO_DACTransferSettings", 121, 89},
      {"tCDI_DMATransferSettings", 91, 63},
      {"tCDI_FIFOSettings", 84, 61},
      {"tCDIImmediateTransferSettings", 104, 71},
      {"tCDIInterruptTransferSettings", 99, 67},
      {"tCDO_DMATransferSettings", 99, 67},
      {"tCDO_FIFOSettings", 85, 61},
      {"tCDOImmediateTransferSettings", 101, 69},
      {"tCDOInterruptTransferSettings", 103, 69},
      {"tEEPROMSettings", 90, 75},
  };
  nQoTest::tLoadedModule module;
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.file);
    nQoORB100::iCloneableExternalizable* settings = nQoTest::createSettings("nQoUdR100::" + c.file);
    ASSERT_NE(settings, nullptr);
    nQoSim::clearStatusLog();
    int status = 200010;
    nQoSim::tRecordingOutputStream out;
    settings->writeExternal(out, status);
    EXPECT_TRUE(nQoTest::loggedAt(200010, c.file, c.writeLine));
    EXPECT_FALSE(nQoTest::loggedAt(200010, c.file, c.readLine));
    nQoSim::tScriptedInputStream in(out.bytes());
    settings->readExternal(in, status);
    EXPECT_TRUE(nQoTest::loggedAt(200010, c.file, c.readLine));
    EXPECT_EQ(status, 200010);

    // An error inside the bracket replaces the warning.
    nQoSim::tScriptedInputStream failing(out.bytes());
    failing.failOperation(1, -7);
    settings->readExternal(failing, status);
    EXPECT_EQ(status, -7);
    nQoTest::destroy(settings);
  }
}

}  // namespace
