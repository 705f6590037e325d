// The settings frame: creation by name, streaming in row order with the
// record checks and the status bracket, cloning through the class registry,
// assignment; the parameter-block validation helper.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orb/tClassImplementation.h"
#include "settings/tEmptySettings.h"
#include "settings/tParameterBlockValidateHelper.h"
#include "settings/tTavikLineFilterIdentifier.h"
#include "sim/simAllocator.h"
#include "sim/simClassRegistry.h"
#include "sim/simStreams.h"
#include "support/moduleFixture.h"
#include "support/probeSettings.h"
#include "support/settingsObjects.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoTest::tProbeRecordSettings;
using nQoTest::tProbeSettings;
using nQoUdR100::tEmptySettings;
using nQoUdR100::tParameterBlockValidateHelper;

constexpr const char* kEmptyName = "nQoUdR100::tEmptySettings";
constexpr const char* kStrayName = "nQoUdR100::tTavikLineFilterIdentifier";

using nQoTest::as;
using nQoTest::operations;
using tOperations = std::vector<std::string>;

class SettingsFrameTest : public nQoTest::tLeakCheckedTest {
 protected:
  void TearDown() override {
    nQoSim::clearNewInstanceScript();
    nQoTest::tLeakCheckedTest::TearDown();
  }
};

TEST_F(SettingsFrameTest, EmptySettingsByNameStreamOnlyTheBasePartAndKeepTheirClass) {
  nQoTest::tLoadedModule module;
  int status = 0;
  nQoORB100::tObject* object = nQoORB100::tClassRegistry::createByName(kEmptyName, status);
  auto* settings = as<tEmptySettings>(object);
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(kEmptyName), 1);
  settings->setBaseValue(0xA1B2C3D4u);

  nQoSim::tRecordingOutputStream out;
  settings->writeExternal(out, status);
  ASSERT_EQ(out.calls().size(), 1u);
  EXPECT_EQ(out.calls()[0].operation, "writeU32");
  EXPECT_EQ(out.calls()[0].value, 0xA1B2C3D4u);

  nQoTest::expectNoStreamCalls(*settings, out.bytes(), -7, -7);

  int warned = 200010;
  tEmptySettings copy;
  nQoSim::tScriptedInputStream in(out.bytes());
  copy.readExternal(in, warned);
  EXPECT_EQ(operations(in.calls()), tOperations{"readU32"});
  EXPECT_EQ(copy.getBaseValue(), 0xA1B2C3D4u);
  nQoSim::tRecordingOutputStream again;
  copy.writeExternal(again, warned);
  EXPECT_EQ(again.calls().size(), 1u);
  EXPECT_EQ(warned, 200010);

  int code = 0;
  const nQoORB100::tClassImplementation* registration =
      tEmptySettings::staticGetClass(code).implementation();
  ASSERT_NE(registration, nullptr);
  EXPECT_EQ(copy.getTObjectClass(code), nullptr);
  EXPECT_EQ(copy.getClass(code).implementation(), registration);
  EXPECT_EQ(copy.getTObjectClass(code), registration);
  EXPECT_EQ(copy.getClass(code).implementation(), registration);
  EXPECT_EQ(code, 0);

  // The cast answers the class, the settings base and its interfaces only.
  for (void* const* id : {&tEmptySettings::___classID, &nQoMRL100::tPrimitiveSettings::___classID,
                          &nQoMRL100::iPrimitiveSettings::___classID,
                          &nQoORB100::iCloneableExternalizable::___classID,
                          &nQoORB100::iCloneable::___classID, &nQoORB100::tObject::___classID})
    EXPECT_NE(copy.___CPPKRLDynamicCast(id), nullptr);
  EXPECT_EQ(copy.___CPPKRLDynamicCast(&tProbeSettings::___classID), nullptr);
  EXPECT_EQ(copy.___CPPKRLDynamicCast(&nQoMRL100::tGeneralIdentifier::___classID), nullptr);

  settings->getClass(status).deleteInstance(object, status);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(kEmptyName), 0);
}

TEST_F(SettingsFrameTest, CloneMakesAnInstanceOfItsOwnClassOrNothing) {
  nQoTest::tLoadedModule module;
  tEmptySettings source;
  source.setBaseValue(0x5A5A0001u);

  int failed = -7;
  const uint64_t before = nQoSim::totalAllocations();
  EXPECT_EQ(source.clone(failed), nullptr);
  EXPECT_EQ(failed, -7);
  EXPECT_EQ(nQoSim::totalAllocations(), before);

  int status = 0;
  nQoORB100::tObject* stray = nQoORB100::tClassRegistry::createByName(kStrayName, status);
  ASSERT_NE(stray, nullptr);
  nQoSim::scriptNextNewInstance(stray, 0);
  int code = 0;
  EXPECT_EQ(source.clone(code), nullptr);
  EXPECT_EQ(code, -89000);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(kStrayName), 0);

  struct tCase {
    int scriptedCode;
    int incoming;
    int expected;
  };
  for (const tCase& c : {tCase{0, 0, -89000}, tCase{0, 5, -89000}, tCase{-50352, 0, -50352},
                         tCase{-88300, 5, -88300}}) {
    SCOPED_TRACE(c.scriptedCode);
    nQoSim::scriptNextNewInstance(nullptr, c.scriptedCode);
    int answer = c.incoming;
    EXPECT_EQ(source.clone(answer), nullptr);
    EXPECT_EQ(answer, c.expected);
  }

  nQoSim::failAllocation(1);
  code = 0;
  EXPECT_EQ(source.clone(code), nullptr);
  EXPECT_EQ(code, -50352);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(kEmptyName), 0);

  code = 0;
  nQoORB100::tObject* copy = source.clone(code);
  ASSERT_NE(as<tEmptySettings>(copy), nullptr);
  EXPECT_EQ(as<tEmptySettings>(copy)->getBaseValue(), 0x5A5A0001u);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(kEmptyName), 1);
  copy->getClass(code).deleteInstance(copy, code);
  EXPECT_EQ(code, 0);

  tEmptySettings& same = source;
  source = same;
  EXPECT_EQ(source.getBaseValue(), 0x5A5A0001u);
}

TEST_F(SettingsFrameTest, FlatClassStreamsItsRowInOrderAndReadsBackEqual) {
  tProbeSettings source;
  auto& fields = source.record<0>();
  fields.count = 0x11223344u;
  fields.offset = -2;
  fields.label.assign("ab", 2);
  fields.identifier.setDeviceGUID({0x0102030405060708ull, 9});
  tStatus2 setup;
  fields.identifier.setString("AI_ADC", setup);
  fields.identifier.setIndex(3);
  source.setBaseValue(0xC0DEu);

  int status = 0;
  nQoSim::tRecordingOutputStream out;
  source.writeExternal(out, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(operations(out.calls()),
            (tOperations{"writeU32", "writeI32", "writeU16", "writeI16", "writeU64", "writeString",
                         "writeU64", "writeU64", "writeString", "writeU32", "writeU32"}));
  const std::vector<uint8_t>& bytes = out.bytes();
  ASSERT_EQ(bytes.size(), 4u + 4 + 2 + 2 + 8 + 6 + 16 + 10 + 4 + 4);
  EXPECT_EQ(
      std::vector<uint8_t>(bytes.begin(), bytes.begin() + 12),
      (std::vector<uint8_t>{0x44, 0x33, 0x22, 0x11, 0xFE, 0xFF, 0xFF, 0xFF, 2, 0, 0xFD, 0xFF}));
  EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 8, bytes.end()),
            (std::vector<uint8_t>{3, 0, 0, 0, 0xDE, 0xC0, 0, 0}));

  tProbeSettings copy;
  nQoSim::tScriptedInputStream in(bytes);
  copy.readExternal(in, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(in.position(), bytes.size());
  EXPECT_TRUE(copy.record<0>() == source.record<0>());
  EXPECT_EQ(copy.getBaseValue(), 0xC0DEu);
  EXPECT_STREQ(copy.record<0>().identifier.getString(), "AI_ADC");

  // Defaults written and read back into defaults give the same object.
  tProbeSettings defaults, target;
  nQoSim::tRecordingOutputStream plain;
  defaults.writeExternal(plain, status);
  target.record<0>().count = 99;
  target.setBaseValue(1);
  nQoSim::tScriptedInputStream back(plain.bytes());
  target.readExternal(back, status);
  EXPECT_TRUE(target.record<0>() == defaults.record<0>());
  EXPECT_EQ(target.getBaseValue(), 0u);
}

TEST_F(SettingsFrameTest, FlatClassKeepsStreamingAfterAnErrorAndBracketsAWarningAtItsSite) {
  tProbeSettings source;
  nQoSim::tRecordingOutputStream failing;
  failing.failOperation(2, -7);
  int status = 0;
  source.writeExternal(failing, status);
  EXPECT_EQ(status, -7);
  EXPECT_EQ(operations(failing.calls()), (tOperations{"writeU32", "writeI32", "writeU16",
                                                      "writeI16", "writeU64", "writeString"}));
  for (std::size_t i = 2; i < failing.calls().size(); ++i)
    EXPECT_EQ(failing.calls()[i].incoming, -7);

  // A short stream: every read value is stored, the rest reads as 0.
  nQoSim::tRecordingOutputStream out;
  source.record<0>().count = 0x01020304u;
  status = 0;
  source.writeExternal(out, status);
  tProbeSettings cut;
  nQoSim::tScriptedInputStream in({out.bytes().begin(), out.bytes().begin() + 4});
  cut.readExternal(in, status);
  EXPECT_EQ(status, nQoORB100::kEndOfStream);
  EXPECT_EQ(cut.record<0>().count, 0x01020304u);
  EXPECT_EQ(cut.record<0>().offset, 0);
  EXPECT_EQ(cut.record<0>().stamp, 0u);

  int warned = 5;
  nQoSim::tRecordingOutputStream bracketed;
  source.writeExternal(bracketed, warned);
  EXPECT_EQ(warned, 5);
  EXPECT_TRUE(nQoTest::loggedAt(5, "tProbeSettings", 120));
  EXPECT_EQ(bracketed.calls().front().incoming, 5);
  bracketed.failOperation(1, -9);
  source.writeExternal(bracketed, warned);
  EXPECT_EQ(warned, -9);
}

TEST_F(SettingsFrameTest, RecordBasedClassStopsBeforeStreamingWhenARecordCheckFails) {
  nQoTest::tLoadedModule module;
  ASSERT_EQ(nQoUdR100::tClassRegistration<tProbeRecordSettings>::construct(), 0);
  tProbeRecordSettings settings;
  settings.record<0>().word = 0x0A0B0C0Du;
  settings.supervisorRecord().flags = 0x55u;

  int status = 0;
  nQoSim::tRecordingOutputStream out;
  settings.writeExternal(out, status);
  EXPECT_EQ(operations(out.calls()),
            (tOperations{"writeU32", "writeU64", "writeU64", "writeString", "writeU32", "writeU32",
                         "writeU32", "writeU32", "writeU32"}));
  EXPECT_EQ(out.calls()[0].value, 0x0A0B0C0Du);
  EXPECT_EQ(out.calls()[5].value, 0x55u);

  settings.record<0>().allocationFailed = true;
  nQoTest::expectStoppedByAFailedAllocation(settings, out.bytes());

  settings.record<0>().allocationFailed = false;
  status = 0;
  nQoORB100::tObject* copy = settings.clone(status);
  auto* same = as<tProbeRecordSettings>(copy);
  ASSERT_NE(same, nullptr);
  EXPECT_EQ(same->record<0>().word, 0x0A0B0C0Du);
  EXPECT_TRUE(same->supervisorRecord() == settings.supervisorRecord());
  copy->getClass(status).deleteInstance(copy, status);
}

TEST_F(SettingsFrameTest, ValidationHelperTurnsBlockStatusesIntoSupervisorCodes) {
  struct tCase {
    int validation;
    int incoming;
    int expected;
  };
  for (const tCase& c :
       {tCase{88800, 0, -50150}, tCase{88800, 5, -50150}, tCase{200010, 0, 0}, tCase{88800, -7, -7},
        tCase{-9, 5, -9}, tCase{-9, -7, -7}, tCase{0, 5, 5}}) {
    SCOPED_TRACE(c.validation);
    SCOPED_TRACE(c.incoming);
    tStatus2 validation(c.validation), status(c.incoming);
    tParameterBlockValidateHelper::mergeValidationStatus(validation, status);
    EXPECT_EQ(status.code, c.expected);
  }
  EXPECT_TRUE(nQoTest::loggedAt(-50150, "tParameterBlockValidateHelper", 47));

  tStatus2 missing, present, failed(-7);
  const uint32_t word = 0;
  tParameterBlockValidateHelper::checkNotNull(nullptr, missing);
  tParameterBlockValidateHelper::checkNotNull(&word, present);
  tParameterBlockValidateHelper::checkNotNull(nullptr, failed);
  EXPECT_EQ(missing.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tParameterBlockValidateHelper", 29));
  EXPECT_EQ(present.code, 0);
  EXPECT_EQ(failed.code, -7);
}

}  // namespace
