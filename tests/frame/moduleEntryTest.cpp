// Load and unload entries, the constructor runner, the at-exit list and the
// class registration pattern.
#include <gtest/gtest.h>

#include <vector>

#include "frame/moduleEntry.h"
#include "frame/staticConstructors.h"
#include "frame/tClassRegistration.h"
#include "frame/tModuleObject.h"
#include "frame/wideDigitString.h"
#include "orb/tClassImplementation.h"
#include "sim/simAllocator.h"
#include "sim/simModule.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

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

TEST_F(ModuleEntryTest, LoadEntryMapsTheRegistrationStatusAndLogsAroundIt) {
  for (auto [registration, expected] : {std::pair{-50352, -12}, {-7, -19}, {5, 0}, {0, 0}}) {
    nQoSim::clearModuleActivity();
    nQoSim::setModuleRegistrationStatus(registration);
    EXPECT_EQ(nQoPAL100_ckalcbInitModule(0xA, 0xB), expected) << registration;
    EXPECT_EQ(nQoSim::moduleRegistered(), registration >= 0);
    nQoPAL100_ckalcbCleanupModule();
  }
  const std::vector<tModuleActivity> log = nQoSim::moduleActivity();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].kind, tModuleActivity::kEventLog);
  EXPECT_EQ(log[0].eventKind, 0);
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
  EXPECT_EQ(moduleLoadCount(), 0u) << "the entries run no constructor";
}

std::vector<int> gCalls;
int c1() { return gCalls.push_back(1), 0; }
int c2() { return gCalls.push_back(2), -1; }
int c3() { return gCalls.push_back(3), 0; }
void atExit(void* argument) { gCalls.push_back(*static_cast<int*>(argument)); }

TEST_F(ModuleEntryTest, ConstructorsRunOnceAndTheAtExitListOnTheLastUnloadNewestFirst) {
  gCalls.clear();
  const tStaticConstructor list[] = {nullptr, c1, c2, c3, nullptr};
  runConstructorList(list, 5);
  EXPECT_EQ(gCalls, (std::vector<int>{3, 2, 1}));

  gCalls.clear();
  int first = 1, second = 2, third = 3;
  tAtExitNode* head = nullptr;
  EXPECT_EQ(moduleMessageEntry(0), 0);
  EXPECT_EQ(nQoUdR100::gWideDigitString.size(), 10u);
  const int64_t liveAfterLoad = nQoSim::liveAllocations();
  EXPECT_EQ(moduleMessageEntry(0), 0);
  EXPECT_EQ(nQoSim::liveAllocations(), liveAfterLoad) << "constructors ran again";
  for (int* argument : {&first, &second, &third})
    ASSERT_EQ(registerAtExit(atExit, argument, &gModuleAtExitHead), 0);
  const tAtExitNode* listHead = gModuleAtExitHead;
  for (unsigned message : {2u, 3u, 4u, 5u, 6u, 0xFFFFFFFFu}) {
    EXPECT_EQ(moduleMessageEntry(message), 0) << message;
    EXPECT_EQ(moduleLoadCount(), 2u);
    EXPECT_EQ(gModuleAtExitHead, listHead);
  }
  EXPECT_EQ(moduleMessageEntry(1), 0);
  EXPECT_TRUE(gCalls.empty()) << "the list ran on the first of two unloads";
  EXPECT_EQ(moduleMessageEntry(1), 0);
  EXPECT_EQ(gCalls, (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(nQoUdR100::gWideDigitString.size(), 0u);

  nQoSim::failAllocation(1);
  EXPECT_EQ(registerAtExit(atExit, &first, &head), -1);
  EXPECT_EQ(head, nullptr);
}

TEST_F(ModuleEntryTest, TheHooksResultIsAnsweredAndAFailedLoadRunsTheListAtOnce) {
  gModuleMessageHandler = [](unsigned message) { return message == 0 ? 12 : 17; };
  EXPECT_EQ(moduleMessageEntry(0), 12);
  EXPECT_EQ(moduleLoadCount(), 1u);
  EXPECT_EQ(moduleMessageEntry(4), 17);
  EXPECT_EQ(moduleMessageEntry(1), 17);
  gModuleMessageHandler = [](unsigned message) { return message == 0 ? -50150 : 0; };
  EXPECT_EQ(moduleMessageEntry(0), -50150);
  EXPECT_EQ(moduleLoadCount(), 0u);
  EXPECT_EQ(nQoUdR100::gWideDigitString.size(), 0u);
}

int failing() { return -1; }

TEST_F(ModuleEntryTest, AFailedConstructorFailsTheLoadAfterTheWholeListRan) {
  gCalls.clear();
  const tStaticConstructor list[] = {nullptr, c1, failing, c3, c2, nullptr};
  EXPECT_EQ(runConstructorList(list, 6), -1);
  EXPECT_EQ(gCalls, (std::vector<int>{2, 3, 1}));
  const tStaticConstructor good[] = {nullptr, c1, c3, nullptr};
  EXPECT_EQ(runConstructorList(good, 4), 0);

  // The first allocation of the load is a class registration's.
  const std::size_t classes = nQoORB100::tClassRegistry::count();
  nQoSim::failAllocation(1);
  EXPECT_LT(moduleMessageEntry(0), 0);
  EXPECT_EQ(moduleLoadCount(), 0u);
  EXPECT_EQ(nQoORB100::tClassRegistry::count(), classes);
  EXPECT_EQ(nQoUdR100::gWideDigitString.size(), 0u);
}

TEST_F(ModuleEntryTest, UnloadWithoutLoadChangesNothing) {
  const int64_t before = nQoSim::liveAllocations();
  ASSERT_EQ(moduleMessageEntry(0), 0);
  const int64_t loadAllocations = nQoSim::liveAllocations() - before;
  ASSERT_EQ(moduleMessageEntry(1), 0);
  gModuleMessageHandler = [](unsigned message) { return message == 1 ? 9 : 0; };
  EXPECT_EQ(moduleMessageEntry(1), 9);
  EXPECT_EQ(moduleLoadCount(), 0u) << "the count wrapped";
  gModuleMessageHandler = moduleMessageNoop;
  EXPECT_EQ(moduleMessageEntry(0), 0);
  EXPECT_EQ(nQoSim::liveAllocations() - before, loadAllocations) << "no constructor ran";
  EXPECT_EQ(moduleMessageEntry(1), 0);
  EXPECT_EQ(nQoSim::liveAllocations(), before);
}

TEST_F(ModuleEntryTest, ALoadWithAnyAllocationFailedLeavesNothingAfterUnload) {
  const int64_t live = nQoSim::liveAllocations();
  const std::size_t classes = nQoORB100::tClassRegistry::count();
  const uint64_t before = nQoSim::totalAllocations();
  ASSERT_EQ(moduleMessageEntry(0), 0);
  const uint64_t loadAllocations = nQoSim::totalAllocations() - before;
  ASSERT_EQ(moduleMessageEntry(1), 0);
  ASSERT_GT(loadAllocations, 0u);
  for (uint64_t n = 1; n <= loadAllocations; ++n) {
    SCOPED_TRACE(n);
    nQoSim::failAllocation(n);
    // A load that answers success holds every static object whole.
    if (moduleMessageEntry(0) >= 0) {
      EXPECT_EQ(nQoUdR100::gWideDigitString.size(), 10u);
    }
    moduleMessageEntry(1);
    nQoSim::failAllocation(0);
    EXPECT_EQ(nQoSim::liveAllocations(), live);
    EXPECT_EQ(nQoUdR100::gWideDigitString.size(), 0u);
    EXPECT_EQ(nQoORB100::tClassRegistry::count(), classes);
    EXPECT_EQ(gModuleAtExitHead, nullptr);
  }
}

template <int N>
class tSample : public virtual nQoORB100::tObject, public nQoUdR100::tModuleObject {
 public:
  static constexpr const char* kClassName = N == 1   ? "nQoTest::tSampleOne"
                                            : N == 2 ? "nQoTest::tSampleTwo"
                                                     : "nQoTest::tSampleThree";
  static inline void* ___classID = nullptr;
  void* ___CPPKRLDynamicCast(void* const* id) override {
    return id == &___classID ? this : nQoORB100::tObject::___CPPKRLDynamicCast(id);
  }
  nQoORB100::tClass getClass(int& status) const override {
    return nQoUdR100::tClassRegistration<tSample>::getClass(*this, status);
  }
};

TEST_F(ModuleEntryTest, RegisteredClassesAreCreatedByNameAndAFailedRegistrationIsUndone) {
  const std::size_t classes = nQoORB100::tClassRegistry::count();
  {
    nQoTest::tLoadedModule loaded;
    nQoSim::failAllocation(1);
    EXPECT_EQ(nQoUdR100::tClassRegistration<tSample<1>>::construct(), -1) << "no name";
    EXPECT_TRUE(nQoTest::loggedAt(-50352, "tClassRegistration", 31));
    EXPECT_EQ(nQoORB100::tClassRegistry::find("nQoTest::tSampleOne"), nullptr);
    EXPECT_EQ(nQoUdR100::tClassRegistration<tSample<1>>::construct(), 0);
    nQoSim::failAllocation(2);  // the at-exit node, after the temporary name
    EXPECT_EQ(nQoUdR100::tClassRegistration<tSample<2>>::construct(), -1);
    EXPECT_TRUE(nQoTest::loggedAt(-50352, "tClassRegistration", 37));
    EXPECT_EQ(nQoUdR100::tClassRegistration<tSample<3>>::construct(), 0);
    EXPECT_NE(nQoORB100::tClassRegistry::find("nQoTest::tSampleOne"), nullptr);
    EXPECT_EQ(nQoORB100::tClassRegistry::find("nQoTest::tSampleTwo"), nullptr);
    EXPECT_NE(nQoORB100::tClassRegistry::find("nQoTest::tSampleThree"), nullptr);

    int status = 0;
    nQoORB100::tObject* object =
        nQoORB100::tClassRegistry::createByName("nQoTest::tSampleThree", status);
    ASSERT_NE(object, nullptr);
    EXPECT_NE(object->___CPPKRLDynamicCast(&tSample<3>::___classID), nullptr);
    EXPECT_EQ(object->___CPPKRLDynamicCast(&tSample<1>::___classID), nullptr);
    EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances("nQoTest::tSampleThree"), 1);
    object->getClass(status).deleteInstance(object, status);
    EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances("nQoTest::tSampleThree"), 0);
    nQoSim::failAllocation(1);
    EXPECT_EQ(nQoORB100::tClassRegistry::createByName("nQoTest::tSampleOne", status), nullptr);
    EXPECT_EQ(status, -50352);
  }
  EXPECT_EQ(nQoORB100::tClassRegistry::count(), classes);
}

}  // namespace
