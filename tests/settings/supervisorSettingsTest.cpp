// The settings of the AI, analog-trigger, TEDS and AO supervisors: each
// class's default stream call by call, read back byte-equal; the bracket
// sites; the sample interval; field order and widths; the failed channel list;
// the equality of the supervisor-level records.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "orb/iCloneableExternalizable.h"
#include "settings/aiSettings.h"
#include "settings/aiTransferSettings.h"
#include "settings/aoDACSettings.h"
#include "settings/aoTimingSettings.h"
#include "settings/triggerTEDSSettings.h"
#include "sim/simAllocator.h"
#include "sim/simStreams.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"
#include "support/streamSteps.h"

namespace {

using nQoTest::Base;
using nQoTest::I32;
using nQoTest::Id;
using nQoTest::tStep;
using nQoTest::U16;
using nQoTest::U32;
using nQoTest::U64;
using nQoUdR100::tAIImmediateTransferSettings;
using nQoUdR100::tAIScanningFrontEndSettings;

constexpr uint32_t kNone = 0xFFFFFFFF;

nQoORB100::iCloneableExternalizable* create(const std::string& name) {
  int status = 0;
  nQoORB100::tObject* object = nQoORB100::tClassRegistry::createByName(name.c_str(), status);
  if (object == nullptr) return nullptr;
  return static_cast<nQoORB100::iCloneableExternalizable*>(
      object->___CPPKRLDynamicCast(&nQoORB100::iCloneableExternalizable::___classID));
}

void destroy(nQoORB100::iCloneableExternalizable* settings) {
  int status = 0;
  settings->getClass(status).deleteInstance(settings, status);
}

class SupervisorSettingsTest : public nQoTest::tLeakCheckedTest {};

TEST_F(SupervisorSettingsTest, DefaultsStreamCallByCallAndReadBackByteEqual) {
  struct tCase {
    std::string name;
    std::vector<tStep> steps;
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
       {I32(0), I32(1), U32(100), U32(1), U32(0), Id(), Base()}},
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
  };
  // clang-format on

  nQoTest::tLoadedModule module;
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.name);
    nQoORB100::iCloneableExternalizable* first = create(c.name);
    nQoORB100::iCloneableExternalizable* second = create(c.name);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    int status = 0;
    nQoSim::tRecordingOutputStream once;
    first->writeExternal(once, status);
    EXPECT_EQ(nQoTest::steps(once.calls()), c.steps);

    nQoSim::tScriptedInputStream in(once.bytes());
    second->readExternal(in, status);
    EXPECT_EQ(in.position(), once.bytes().size());
    nQoSim::tRecordingOutputStream twice;
    second->writeExternal(twice, status);
    EXPECT_EQ(twice.bytes(), once.bytes());
    EXPECT_EQ(status, 0);
    destroy(first);
    destroy(second);
  }
}

TEST_F(SupervisorSettingsTest, BracketedClassesCarryAWarningInAtTheirReadAndWriteSites) {
  struct tCase {
    std::string name;
    std::string file;
    unsigned readLine;
    unsigned writeLine;
  };
  const std::vector<tCase> cases = {
      {"nQoUdR100::tAIInterruptTransferSettings", "tAIInterruptTransferSettings", 80, 58},
      {"nQoUdR100::tAIImmediateTransferSettings", "tAIImmediateTransferSettings", 162, 101},
      {"nQoUdR100::tAI_WFNSCSettings", "tAI_WFNSCSettings", 97, 67},
      {"nQoUdR100::tAO_DACSettings", "tAO_DACSettings", 134, 93},
      {"nQoUdR100::tAOGroundRefSettings", "tAOGroundRefSettings", 104, 82},
      {"nQoUdR100::tAO_DACTransferSettings", "tAO_DACTransferSettings", 121, 89},
  };
  nQoTest::tLoadedModule module;
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.name);
    nQoORB100::iCloneableExternalizable* settings = create(c.name);
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
    destroy(settings);
  }
}

TEST_F(SupervisorSettingsTest, SampleIntervalTravelsMostSignificantFirstAndOnlyWithoutAnError) {
  tAIImmediateTransferSettings settings;
  auto& fields = settings.record<0>();
  fields.sampleInterval.integer = 1;
  fields.sampleInterval.fraction = uint64_t{1} << 63;
  int status = 0;
  nQoSim::tRecordingOutputStream out;
  settings.writeExternal(out, status);
  const std::vector<tStep> written = nQoTest::steps(out.calls());
  ASSERT_GE(written.size(), 20u);
  EXPECT_EQ(std::vector<tStep>(written.begin() + 16, written.begin() + 20),
            (std::vector<tStep>{U32(0), U32(1), U32(0x80000000u), U32(0)}));

  // The interval's most significant word is the 17th: 8 + 15 * 4 bytes in.
  std::vector<uint8_t> bytes = out.bytes();
  for (std::size_t i = 68; i < 84; ++i) bytes[i] = 0;
  bytes[68] = 5;
  tAIImmediateTransferSettings read;
  nQoSim::tScriptedInputStream in(bytes);
  read.readExternal(in, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(read.record<0>().sampleInterval.integer, int64_t{5} << 32);
  EXPECT_EQ(read.record<0>().sampleInterval.fraction, 0u);

  // An error at word 11 (the 10th read): the interval's words are never asked for.
  nQoSim::tScriptedInputStream failing(out.bytes());
  failing.failOperation(10, -7);
  tAIImmediateTransferSettings cut;
  status = 0;
  cut.readExternal(failing, status);
  EXPECT_EQ(status, -7);
  // Words 1 to 17 but the interval, words 9, 10, 18 and 19; the identifier
  // and the base part skip their reads under the error.
  EXPECT_EQ(failing.calls().size(), 20u);
  EXPECT_TRUE((cut.record<0>().sampleInterval == nQoSS100::tFixedPoint128<64u, true>(0)));

  // A warning on entry is logged at the write site.
  int warned = 200010;
  nQoSim::tRecordingOutputStream again;
  settings.writeExternal(again, warned);
  EXPECT_TRUE(nQoTest::loggedAt(200010, "tAIImmediateTransferSettings", 101));
  EXPECT_EQ(warned, 200010);
}

TEST_F(SupervisorSettingsTest, WordsKeepTheirWidthAndOrderBothWays) {
  int status = 0;
  nQoUdR100::tAI_WFNSCSettings wait;
  wait.record<0>().word1 = kNone;
  nQoSim::tRecordingOutputStream waitOut;
  wait.writeExternal(waitOut, status);
  EXPECT_EQ(nQoTest::steps(waitOut.calls())[0], I32(-1));
  nQoUdR100::tAI_WFNSCSettings waitBack;
  nQoSim::tScriptedInputStream waitIn(waitOut.bytes());
  waitBack.readExternal(waitIn, status);
  EXPECT_EQ(waitIn.calls()[0].operation, "readU32");
  EXPECT_EQ(waitIn.calls()[1].operation, "readU32");
  EXPECT_EQ(uint32_t{waitBack.record<0>().word1}, kNone);

  nQoUdR100::tAnalogTriggerSettings trigger;
  trigger.record<0>().word5 = 1;
  trigger.record<0>().word6 = 2;
  nQoSim::tRecordingOutputStream triggerOut;
  trigger.writeExternal(triggerOut, status);
  EXPECT_EQ(nQoTest::steps(triggerOut.calls())[4], I32(2));
  EXPECT_EQ(nQoTest::steps(triggerOut.calls())[5], U32(1));
  nQoUdR100::tAnalogTriggerSettings triggerBack;
  nQoSim::tScriptedInputStream triggerIn(triggerOut.bytes());
  triggerBack.readExternal(triggerIn, status);
  EXPECT_EQ(triggerBack.record<0>().word5, 1u);
  EXPECT_EQ(triggerBack.record<0>().word6, 2);

  // The timing controller reads nothing when entered with an error.
  nQoUdR100::tAOTimingControllerSettings timing;
  timing.record<0>().word6 = 1000;
  timing.record<0>().word28 = 9;
  nQoSim::tRecordingOutputStream timingOut;
  status = 0;
  nQoUdR100::tAOTimingControllerSettings().writeExternal(timingOut, status);
  int failed = -7;
  nQoSim::tScriptedInputStream timingIn(timingOut.bytes());
  timing.readExternal(timingIn, failed);
  EXPECT_EQ(failed, -7);
  EXPECT_TRUE(timingIn.calls().empty());
  EXPECT_EQ(timing.record<0>().word6, 1000u);
  EXPECT_EQ(timing.record<0>().word28, 9u);
  EXPECT_EQ(timing.record<0>().word1, 1u);
}

TEST_F(SupervisorSettingsTest, AFailedChannelListStopsEveryOperationOfTheFrontEnd) {
  nQoTest::tLoadedModule module;
  const char* name = "nQoUdR100::tAIScanningFrontEndSettings";
  tAIScanningFrontEndSettings source;
  for (int32_t k = 0; k < 3; ++k) {
    nQoUdP100::tAIScanningFrontEndConfig entry;
    entry.word8 = 0x11223300 + k;
    entry.samples.append(static_cast<uint32_t>(k));
    source.record<0>().channels.append(entry);
  }
  int status = 0;
  nQoSim::tRecordingOutputStream threeOut;
  source.writeExternal(threeOut, status);
  source.record<0>().channels = {};
  source.record<0>().channels.append(nQoUdP100::tAIScanningFrontEndConfig());
  source.record<0>().channels.append(nQoUdP100::tAIScanningFrontEndConfig());
  nQoSim::tRecordingOutputStream twoOut;
  source.writeExternal(twoOut, status);
  ASSERT_EQ(status, 0);

  tAIScanningFrontEndSettings failed;
  nQoSim::tScriptedInputStream in(threeOut.bytes());
  nQoSim::failAllocation(1);
  failed.readExternal(in, status);
  EXPECT_EQ(status, -50352);

  int write = 0, read = 0, clone = 0;
  nQoSim::tRecordingOutputStream none;
  nQoSim::tScriptedInputStream unread(threeOut.bytes());
  failed.writeExternal(none, write);
  failed.readExternal(unread, read);
  EXPECT_EQ(failed.clone(clone), nullptr);
  EXPECT_EQ(write, -50352);
  EXPECT_EQ(read, -50352);
  EXPECT_EQ(clone, -50352);
  EXPECT_TRUE(none.calls().empty());
  EXPECT_TRUE(unread.calls().empty());
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(name), 0);

  // A sound object holding three entries takes exactly the two read.
  tAIScanningFrontEndSettings sound;
  nQoSim::tScriptedInputStream three(threeOut.bytes()), two(twoOut.bytes());
  status = 0;
  sound.readExternal(three, status);
  ASSERT_EQ(sound.record<0>().channels.size(), 3u);
  EXPECT_EQ(sound.record<0>().channels[2].word8, 0x11223302);
  sound.readExternal(two, status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(sound.record<0>() == source.record<0>());
}

TEST_F(SupervisorSettingsTest, SupervisorRecordsAreEqualOnlyInEveryIdentifierAndWord) {
  nQoUdR100::tAI_DMATransferSupervisorConfig a, b, c;
  EXPECT_TRUE(a == b);
  b.word7 = 1;
  c.identifier2.setIndex(3);
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(a != c);
  b = c;
  EXPECT_TRUE(b == c);
  nQoUdR100::tTEDSSupervisorConfig d, e;
  e.word4 = 0;
  EXPECT_TRUE(d != e);
}

}  // namespace
