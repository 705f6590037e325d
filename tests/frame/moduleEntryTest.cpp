// Load and unload entries, the event callback, the constructor runner, the
// at-exit list and the class registration pattern.
#include <gtest/gtest.h>

#include <vector>

#include "frame/moduleEntry.h"
#include "frame/staticConstructors.h"
#include "frame/tClassRegistration.h"
#include "frame/tModuleObject.h"
#include "frame/wideDigitString.h"
#include "orb/tClassImplementation.h"
#include "sim/simModule.h"
#include "support/moduleFixture.h"

namespace {

using nQoSim::tModuleActivity;

class ModuleEntryTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    ASSERT_EQ(moduleLoadCount(), 0u);
    nQoSim::clearModuleActivity();
  }
  void TearDown() override {
    gModuleMessageHandler = moduleMessageNoop;
    nQoSim::setModuleRegistrationStatus(0);
    EXPECT_EQ(moduleLoadCount(), 0u);
    EXPECT_EQ(gModuleAtExitHead, nullptr);
    tLeakCheckedTest::TearDown();
  }
};

TEST_F(ModuleEntryTest, LoadEntryMapsTheRegistrationStatus) {
  const struct {
    int registration;
    int expected;
  } cases[] = {{0, 0}, {-50352, -12}, {-7, -19}, {+5, 0}};
  for (const auto& c : cases) {
    nQoSim::clearModuleActivity();
    nQoSim::setModuleRegistrationStatus(c.registration);
    EXPECT_EQ(nQoPAL100_ckalcbInitModule(0x1111, 0x2222), c.expected) << c.registration;
    EXPECT_EQ(nQoSim::moduleRegistered(), c.registration >= 0);
    nQoPAL100_ckalcbCleanupModule();
  }
  EXPECT_EQ(moduleLoadCount(), 0u) << "the entries run no constructor";
}

TEST_F(ModuleEntryTest, LoadLogsBeforeRegisteringAndUnloadUnregistersBeforeLogging) {
  ASSERT_EQ(nQoPAL100_ckalcbInitModule(0xA, 0xB), 0);
  nQoPAL100_ckalcbCleanupModule();

  const std::vector<tModuleActivity> log = nQoSim::moduleActivity();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].kind, tModuleActivity::kEventLog);
  EXPECT_EQ(log[0].eventKind, 0);
  EXPECT_FALSE(log[0].fileName.empty());
  EXPECT_NE(log[0].buildTag.find("qoudrk"), std::string::npos);
  EXPECT_EQ(log[0].name, "ssMain");
  EXPECT_EQ(log[0].callback, &moduleMessageEntry);

  EXPECT_EQ(log[1].kind, tModuleActivity::kRegister);
  EXPECT_EQ(log[1].first, 0xAu);
  EXPECT_EQ(log[1].second, 0xBu);
  EXPECT_EQ(log[1].callback, &moduleMessageEntry);

  EXPECT_EQ(log[2].kind, tModuleActivity::kUnregister);
  EXPECT_EQ(log[2].record, log[1].record);
  EXPECT_EQ(log[3].kind, tModuleActivity::kEventLog);
  EXPECT_EQ(log[3].eventKind, 1);
  EXPECT_EQ(log[3].name, "ssMain");
}

TEST_F(ModuleEntryTest, RegisteredModuleReceivesItsEvents) {
  ASSERT_EQ(nQoPAL100_ckalcbInitModule(0, 0), 0);
  EXPECT_EQ(nQoSim::deliverModuleEvent(0), 0);
  EXPECT_EQ(moduleLoadCount(), 1u);
  EXPECT_EQ(nQoSim::deliverModuleEvent(1), 0);
  nQoPAL100_ckalcbCleanupModule();
  EXPECT_EQ(nQoSim::deliverModuleEvent(0), -50004) << "nothing registered any more";
}

std::vector<int> gCalls;
int c1() { gCalls.push_back(1); return 0; }
int c2() { gCalls.push_back(2); return -1; }
int c3() { gCalls.push_back(3); return 0; }
void atExit(void* argument) { gCalls.push_back(*static_cast<int*>(argument)); }

TEST_F(ModuleEntryTest, WalkerRunsTheListLastToFirst) {
  gCalls.clear();
  const tStaticConstructor list[] = {nullptr, c1, c2, c3, nullptr};
  runConstructorList(list, 5);
  EXPECT_EQ(gCalls, (std::vector<int>{3, 2, 1}));
}

TEST_F(ModuleEntryTest, NestedLoadsRunConstructorsOnceAndTheListOnTheLastUnload) {
  gCalls.clear();
  int first = 1, second = 2, third = 3;
  EXPECT_EQ(moduleMessageEntry(0), 0);
  EXPECT_EQ(nQoUdR100::gWideDigitString.size(), 10u);
  const int64_t liveAfterLoad = nQoSim::liveAllocations();
  EXPECT_EQ(moduleMessageEntry(0), 0);
  EXPECT_EQ(nQoSim::liveAllocations(), liveAfterLoad) << "constructors ran again";
  EXPECT_EQ(moduleLoadCount(), 2u);

  ASSERT_EQ(registerAtExit(atExit, &first, &gModuleAtExitHead), 0);
  ASSERT_EQ(registerAtExit(atExit, &second, &gModuleAtExitHead), 0);
  ASSERT_EQ(registerAtExit(atExit, &third, &gModuleAtExitHead), 0);

  EXPECT_EQ(moduleMessageEntry(1), 0);
  EXPECT_TRUE(gCalls.empty()) << "the list ran on the first of two unloads";
  EXPECT_EQ(moduleMessageEntry(1), 0);
  EXPECT_EQ(gCalls, (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(nQoUdR100::gWideDigitString.size(), 0u);
}

TEST_F(ModuleEntryTest, OtherMessagesOnlyReachTheHook) {
  nQoTest::tLoadedModule loaded;
  const tAtExitNode* head = gModuleAtExitHead;
  for (unsigned message : {2u, 3u, 4u, 5u, 6u, 0xFFFFFFFFu}) {
    EXPECT_EQ(moduleMessageEntry(message), 0) << message;
    EXPECT_EQ(moduleLoadCount(), 1u);
    EXPECT_EQ(gModuleAtExitHead, head);
  }
  gModuleMessageHandler = [](unsigned message) { return message == 4 ? 17 : 0; };
  EXPECT_EQ(moduleMessageEntry(4), 17) << "the hook's result is the answer";
}

TEST_F(ModuleEntryTest, FailedLoadRunsTheAtExitListAtOnce) {
  gModuleMessageHandler = [](unsigned message) { return message == 0 ? -50150 : 0; };
  EXPECT_EQ(moduleMessageEntry(0), -50150);
  EXPECT_EQ(moduleLoadCount(), 0u);
  EXPECT_EQ(gModuleAtExitHead, nullptr);
  EXPECT_EQ(nQoUdR100::gWideDigitString.size(), 0u);
}

TEST_F(ModuleEntryTest, WarningFromTheHookIsReturnedAndKeepsTheModuleLoaded) {
  gModuleMessageHandler = [](unsigned message) { return message == 0 ? 12 : 0; };
  EXPECT_EQ(moduleMessageEntry(0), 12);
  EXPECT_EQ(moduleLoadCount(), 1u);
  EXPECT_EQ(moduleMessageEntry(1), 0);
}

TEST_F(ModuleEntryTest, UnloadWithoutLoadChangesNothing) {
  const int64_t before = nQoSim::liveAllocations();
  ASSERT_EQ(moduleMessageEntry(0), 0);
  const int64_t loadAllocations = nQoSim::liveAllocations() - before;
  ASSERT_GE(loadAllocations, 2) << "at least the digit string and its at-exit node";
  ASSERT_EQ(moduleMessageEntry(1), 0);

  gModuleMessageHandler = [](unsigned message) { return message == 1 ? 9 : 0; };
  EXPECT_EQ(moduleMessageEntry(1), 9);
  EXPECT_EQ(moduleLoadCount(), 0u) << "the count wrapped";
  gModuleMessageHandler = moduleMessageNoop;

  EXPECT_EQ(moduleMessageEntry(0), 0);
  EXPECT_EQ(nQoSim::liveAllocations() - before, loadAllocations) << "the constructors did not run";
  EXPECT_EQ(moduleMessageEntry(1), 0);
  EXPECT_EQ(nQoSim::liveAllocations(), before);
}

TEST_F(ModuleEntryTest, RegisterAtExitWithoutMemoryLeavesTheListAlone) {
  tAtExitNode* head = nullptr;
  int value = 1;
  nQoSim::failAllocation(1);
  EXPECT_EQ(registerAtExit(atExit, &value, &head), -1);
  EXPECT_EQ(head, nullptr);
}

// Three small classes registered by the pattern.
template <int N>
class tSample : public virtual nQoORB100::tObject, public nQoUdR100::tModuleObject {
 public:
  static const char* const kClassName;
  static void* ___classID;
  void* ___CPPKRLDynamicCast(void* const* id) override {
    return id == &___classID ? this : nQoORB100::tObject::___CPPKRLDynamicCast(id);
  }
  nQoORB100::tClass getClass(int& status) const override {
    return nQoUdR100::tClassRegistration<tSample>::getClass(*this, status);
  }
  int payload[4] = {N, N, N, N};
};
template <>
const char* const tSample<1>::kClassName = "nQoTest::tSampleOne";
template <>
const char* const tSample<2>::kClassName = "nQoTest::tSampleTwo";
template <>
const char* const tSample<3>::kClassName = "nQoTest::tSampleThree";
template <int N>
void* tSample<N>::___classID = nullptr;

TEST_F(ModuleEntryTest, RegisteredClassesAreCreatedAndDestroyedByName) {
  {
    nQoTest::tLoadedModule loaded;
    ASSERT_EQ(nQoUdR100::tClassRegistration<tSample<1>>::construct(), 0);
    ASSERT_EQ(nQoUdR100::tClassRegistration<tSample<2>>::construct(), 0);
    ASSERT_EQ(nQoUdR100::tClassRegistration<tSample<3>>::construct(), 0);

    int status = 0;
    nQoORB100::tObject* object = nQoORB100::tClassRegistry::createByName("nQoTest::tSampleTwo", status);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(status, 0);
    EXPECT_NE(object->___CPPKRLDynamicCast(&tSample<2>::___classID), nullptr);
    EXPECT_EQ(object->___CPPKRLDynamicCast(&tSample<1>::___classID), nullptr);
    EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances("nQoTest::tSampleTwo"), 1);

    const nQoORB100::tClass objectClass = object->getClass(status);
    EXPECT_STREQ(objectClass.getName(), "nQoTest::tSampleTwo");
    objectClass.deleteInstance(object, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances("nQoTest::tSampleTwo"), 0);

    nQoSim::failAllocation(1);
    EXPECT_EQ(nQoORB100::tClassRegistry::createByName("nQoTest::tSampleOne", status), nullptr);
    EXPECT_EQ(status, -50352);
    EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances("nQoTest::tSampleOne"), 0);
  }
  EXPECT_EQ(nQoORB100::tClassRegistry::count(), 0u);
}

TEST_F(ModuleEntryTest, RegistrationWithoutAnAtExitNodeIsUndoneAtOnce) {
  {
    nQoTest::tLoadedModule loaded;
    EXPECT_EQ(nQoUdR100::tClassRegistration<tSample<1>>::construct(), 0);
    // The second allocation of the next registration is its at-exit node
    // (the first is the temporary class-name string).
    nQoSim::failAllocation(2);
    EXPECT_EQ(nQoUdR100::tClassRegistration<tSample<2>>::construct(), -1);
    EXPECT_EQ(nQoUdR100::tClassRegistration<tSample<3>>::construct(), 0);

    EXPECT_NE(nQoORB100::tClassRegistry::find("nQoTest::tSampleOne"), nullptr);
    EXPECT_EQ(nQoORB100::tClassRegistry::find("nQoTest::tSampleTwo"), nullptr);
    EXPECT_NE(nQoORB100::tClassRegistry::find("nQoTest::tSampleThree"), nullptr);
  }
  EXPECT_EQ(nQoORB100::tClassRegistry::count(), 0u);
}

TEST_F(ModuleEntryTest, ClassNameWithoutMemoryRegistersNothing) {
  nQoTest::tLoadedModule loaded;
  nQoSim::failAllocation(1);
  EXPECT_EQ(nQoUdR100::tClassRegistration<tSample<1>>::construct(), -1);
  EXPECT_EQ(nQoORB100::tClassRegistry::find("nQoTest::tSampleOne"), nullptr);
}

}  // namespace
