// The line filter supervisor over the board's shared line filter pool and
// its real strategy: the request built from the settings, a refused task
// that hands back nothing, and the control codes.
#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <vector>

#include "mrl/iResourceBroker.h"
#include "reservation/tRefCountingResourcePoolWrapper.h"
#include "settings/tEmptySettings.h"
#include "sim/simAllocator.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "supervisors/calibration/tTavikLineFilterResourcePool.h"
#include "supervisors/calibration/tTavikLineFilterSupervisor.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"
#include "support/unorderedCall.h"

namespace nQoTest {
namespace {

using nQoUdR100::tTavikLineFilterSupervisor;
using tRequest = nQoUdR100::tTavikLineFilterIdentifier;
using tPool = nQoUdR100::tRefCountingResourcePoolWrapper<
    nQoUdR100::tTavikLineFilterResourcePool<nQoUdP100::tTavikLineFilterPrimitive*>,
    nQoUdP100::tTavikLineFilterPrimitive*>;

constexpr nQoUdP100::tLineFilterDescription kBoard{.pfiLines = 16, .rivoLines = 8};
const nQoORB100::tGUID kDevice{0x11, 0x22};

// Logs each programming as the 16 PFI settings followed by the 8 RIVO ones.
class tLoggedFilters : public nQoUdP100::tTavikLineFilterPrimitive {
 public:
  explicit tLoggedFilters(tStatus2& status) : tTavikLineFilterPrimitive(kBoard, status) {}
  void program(const uint32_t* pfi, uint32_t pfiCount, const uint32_t* rivo, uint32_t rivoCount,
               tStatus2&) override {
    std::vector<uint32_t> tables(pfi, pfi + pfiCount);
    tables.insert(tables.end(), rivo, rivo + rivoCount);
    programmed.push_back(tables);
  }
  std::vector<std::vector<uint32_t>> programmed;
};

class LineFilterSupervisorTest : public tLeakCheckedTest {
 protected:
  // The pool's name is allocated before the leak check starts.
  LineFilterSupervisorTest() {
    tStatus2 named;
    identifier.setDeviceGUID(kDevice);
    identifier.setString("LineFilter", named);
  }
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
    tStatus2 setup;
    nQoMRL100::getResourceBroker(setup)->registerPool(&identifier, &pool, setup);
    ASSERT_EQ(setup.code, 0);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    tLeakCheckedTest::TearDown();
  }

  // Settings with the pool's identifier and the records (group, line, setting).
  nQoUdR100::tTavikLineFilterSettings settingsWith(
      std::initializer_list<std::array<uint32_t, 3>> records) {
    nQoUdR100::tTavikLineFilterSettings settings;
    settings.supervisorRecord().identifier = identifier;
    for (const auto& [group, line, setting] : records)
      settings.supervisorRecord().lineEntries.append(
          {.lineGroup = group, .line = line, .filterSetting = setting});
    return settings;
  }
  // initialize, link and reserveResource on one status.
  void reserve(tTavikLineFilterSupervisor& supervisor,
               const nQoUdR100::tTavikLineFilterSettings& settings, tStatus2& status) {
    supervisor.initialize(settings, nullptr, status);
    supervisor.link(map, status);
    supervisor.reserveResource(status);
  }
  int control(tTavikLineFilterSupervisor& supervisor, uint32_t code) {
    tStatus2 result;
    supervisor.control(code, nullptr, nullptr, result);
    return result.code;
  }
  uint32_t pfiCount(uint32_t line) const { return pool.getStrategy().getUseCount(0, line); }

  tLoadedModule module;  // the conflict description copies its texts through the registry
  tCallLog calls;
  tScriptedSupervisorMap map{calls, "map"};
  nQoMRL100::tGeneralIdentifier identifier;
  tStatus2 built;
  tLoggedFilters filters{built};
  tSyncAtomicU32 inUse;
  tPool pool{&inUse, &filters};
};

TEST_F(LineFilterSupervisorTest, ARefusedTaskHandsBackNothingAndAGrantedOneItsOwnRequest) {
  tTavikLineFilterSupervisor a, b;
  tStatus2 granted, refused;
  reserve(a, settingsWith({{0, 3, 2}}), granted);
  ASSERT_EQ(granted.code, 0);
  EXPECT_EQ(a.getState(), 3u);
  EXPECT_EQ(control(a, 1), 0);
  std::vector<uint32_t> expected(24, 0);
  expected[3] = 2;
  EXPECT_EQ(filters.programmed, (std::vector<std::vector<uint32_t>>{expected}));

  reserve(b, settingsWith({{0, 3, 1}, {1, 0, 0}}), refused);
  EXPECT_EQ(refused.code, -200645);
  EXPECT_TRUE(loggedAt(-200645, "tTavikLineFilterReservationStrategy", 211));
  EXPECT_EQ(guidProperty(refused.description, 1), kDevice);
  EXPECT_EQ(textProperty(refused.description, 2), L"PFI3");
  EXPECT_EQ(textProperty(refused.description, 36), L"Small Filter");
  EXPECT_EQ(textProperty(refused.description, 227), L"Medium Filter");
  EXPECT_EQ(b.getState(), 2u);
  const size_t brokerCalls = nQoSim::brokerLog().size();
  tStatus2 failed(-200645);
  b.releaseResource(failed);
  EXPECT_EQ(nQoSim::brokerLog().size(), brokerCalls);
  EXPECT_EQ(pfiCount(3), 1u);
  EXPECT_EQ(inUse.get(), 1u);
  EXPECT_EQ(b.getState(), 2u);

  // A deploy after reserve changes the request, not what is handed back.
  tStatus2 s;
  a.deploy(settingsWith({{0, 5, 1}}), s);
  a.releaseResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(pfiCount(3), 0u);
  EXPECT_EQ(inUse.get(), 0u);
  EXPECT_EQ(a.getState(), 2u);
}

// A commit from another thread right after the reservation, which nothing
// but the supervisor's own steps orders after it, programs the lines the
// reservation handed over: the filters went into the slot only once they
// had them.
TEST_F(LineFilterSupervisorTest, ACommitOnAnotherThreadAfterTheReservationProgramsItsLines) {
  tTavikLineFilterSupervisor supervisor;
  tStatus2 status, committed;
  supervisor.initialize(settingsWith({{0, 3, 2}, {0, 9, 1}}), nullptr, status);
  supervisor.link(map, status);
  {
    tUnorderedCall commit([&] { supervisor.control(1, nullptr, nullptr, committed); });
    supervisor.reserveResource(status);
    ASSERT_TRUE(commit.run());
  }
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(committed.code, 0);
  std::vector<uint32_t> expected(24, 0);
  expected[3] = 2;
  expected[9] = 1;
  EXPECT_EQ(filters.programmed, (std::vector<std::vector<uint32_t>>{expected}));
  supervisor.releaseResource(status);
  EXPECT_EQ(inUse.get(), 0u);
}

// Each allocation of the reservation failed in turn: a grant whose copy for
// the release lost its name is handed back at once with -50352, and every
// step either holds the line or holds nothing.
TEST_F(LineFilterSupervisorTest, AGrantThatCannotBeNamedForItsReleaseIsHandedBackAtOnce) {
  bool sawCopyFailure = false;
  for (uint64_t nth = 1; nth < 20; ++nth) {
    SCOPED_TRACE(nth);
    tTavikLineFilterSupervisor supervisor;
    tStatus2 setup;
    supervisor.initialize(settingsWith({{0, 3, 2}}), nullptr, setup);
    supervisor.link(map, setup);
    ASSERT_EQ(setup.code, 0);
    tStatus2 status;
    nQoSim::failAllocation(nth);
    supervisor.reserveResource(status);
    nQoSim::failAllocation(0);
    if (status.code == 0) {
      EXPECT_EQ(pfiCount(3), 1u);
      supervisor.releaseResource(status);
      EXPECT_EQ(pfiCount(3), 0u);
      EXPECT_EQ(inUse.get(), 0u);
      break;
    }
    EXPECT_EQ(status.code, -50352);
    sawCopyFailure = sawCopyFailure || loggedAt(-50352, "tTavikLineFilterSupervisor", 250);
    EXPECT_EQ(pfiCount(3), 0u);
    EXPECT_EQ(inUse.get(), 0u);
    supervisor.releaseResource(status);
    EXPECT_EQ(inUse.get(), 0u);
  }
  EXPECT_TRUE(sawCopyFailure);
}

TEST_F(LineFilterSupervisorTest, TheRequestFollowsTheRecordsAndRefusesLinesOutsideTheirGroup) {
  tTavikLineFilterSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(settingsWith({{0, 3, 2}, {0, 3, 1}, {5, 1, 0}, {1, 7, 3}}), nullptr, s);
  std::vector<uint32_t> expected(24, 4);
  expected[3] = 1;
  expected[16 + 7] = 3;
  const uint32_t* settings = supervisor.getRequest().getSettings();
  EXPECT_EQ(std::vector<uint32_t>(settings, settings + 24), expected);
  EXPECT_EQ(supervisor.getRequest().getDeviceGUID(), kDevice);
  EXPECT_EQ(supervisor.getState(), 1u);

  for (const auto& record : {std::array<uint32_t, 3>{0, 16, 1}, {1, 8, 0}}) {
    SCOPED_TRACE(record[0]);
    tStatus2 refused;
    supervisor.deploy(settingsWith({{record[0], record[1], record[2]}, {1, 2, 2}}), refused);
    EXPECT_EQ(refused.code, -50150);
    EXPECT_TRUE(loggedAt(-50150, "tTavikLineFilterSupervisor", 212));
    EXPECT_EQ(supervisor.getRequest().getSetting(1, 2), 4u);  // the deploy stopped there
  }
  nQoUdR100::tEmptySettings other;
  tStatus2 foreign, again;
  supervisor.deploy(other, foreign);
  EXPECT_EQ(foreign.code, -89000);
  supervisor.initialize(settingsWith({}), nullptr, again);
  EXPECT_EQ(again.code, -50150);
  EXPECT_TRUE(loggedAt(-50150, "tTavikLineFilterSupervisor", 65));
}

TEST_F(LineFilterSupervisorTest, SettingsThatLostAnEntryLeaveEveryLineWithoutPreference) {
  const auto whole = settingsWith({{0, 3, 2}, {1, 5, 1}});
  auto lossy = settingsWith({});
  nQoSim::failAllocation(2);  // the second node
  lossy = whole;
  nQoSim::failAllocation(0);
  ASSERT_TRUE(lossy.supervisorRecord().lineEntries.allocationFailed());

  tTavikLineFilterSupervisor supervisor;
  tStatus2 first;
  supervisor.initialize(settingsWith({{0, 9, 1}}), nullptr, first);
  ASSERT_EQ(first.code, 0);
  nQoSim::clearStatusLog();
  tStatus2 lost;
  supervisor.deploy(lossy, lost);
  EXPECT_EQ(lost.code, -50352);
  EXPECT_TRUE(loggedAt(-50352, "tTavikLineFilterSettings", 161));
  const uint32_t* settings = supervisor.getRequest().getSettings();
  EXPECT_EQ(std::vector<uint32_t>(settings, settings + 24), std::vector<uint32_t>(24, 4));

  tStatus2 clean;
  supervisor.deploy(whole, clean);
  EXPECT_EQ(clean.code, 0);
  std::vector<uint32_t> expected(24, 4);
  expected[3] = 2;
  expected[16 + 5] = 1;
  EXPECT_EQ(std::vector<uint32_t>(settings, settings + 24), expected);
  EXPECT_EQ(supervisor.getRequest().getDeviceGUID(), kDevice);
}

// The supervisor's own copy cannot store the second entry: the deploy still
// drops the earlier deploy's lines and keeps the request attached, so the
// next reserve reaches the strategy with a request of no preference.
TEST_F(LineFilterSupervisorTest, ADeployWhoseCopyLostAnEntryStillRebuildsTheRequest) {
  tTavikLineFilterSupervisor holder, supervisor;
  tStatus2 held, first, lost;
  reserve(holder, settingsWith({{0, 9, 2}}), held);
  ASSERT_EQ(held.code, 0);
  supervisor.initialize(settingsWith({{0, 9, 1}}), nullptr, first);
  ASSERT_EQ(first.code, 0);
  const auto longer = settingsWith({{1, 2, 3}, {0, 4, 1}});
  nQoSim::clearStatusLog();
  nQoSim::failAllocation(1);  // the copy's node for the second entry
  supervisor.deploy(longer, lost);
  nQoSim::failAllocation(0);
  EXPECT_EQ(lost.code, -50352);
  EXPECT_TRUE(loggedAt(-50352, "tTavikLineFilterSettings", 100));
  const uint32_t* settings = supervisor.getRequest().getSettings();
  EXPECT_EQ(std::vector<uint32_t>(settings, settings + 24), std::vector<uint32_t>(24, 4));

  tStatus2 granted;
  supervisor.reserveResource(granted);
  EXPECT_EQ(granted.code, 0);
  EXPECT_EQ(supervisor.getState(), 3u);
  EXPECT_EQ(inUse.get(), 2u);
  EXPECT_EQ(pfiCount(9), 1u);
  supervisor.releaseResource(granted);
  holder.releaseResource(granted);
  EXPECT_EQ(granted.code, 0);
  EXPECT_EQ(inUse.get(), 0u);
}

TEST_F(LineFilterSupervisorTest, ControlCodesAndCommitCancel) {
  tTavikLineFilterSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(settingsWith({{1, 4, 1}}), nullptr, s);
  EXPECT_EQ(control(supervisor, 1), -50004);
  EXPECT_TRUE(loggedAt(-50004, "tTavikLineFilterSupervisor", 272));
  supervisor.link(map, s);
  supervisor.reserveResource(s);
  supervisor.linkResource(s);
  EXPECT_EQ(control(supervisor, 7), -50256);
  EXPECT_TRUE(loggedAt(-50256, "tTavikLineFilterSupervisor", 302));
  EXPECT_EQ(control(supervisor, 2), 0);
  EXPECT_EQ(supervisor.getState(), 6u);
  EXPECT_TRUE(filters.programmed.empty());
  supervisor.commitCancel(s);
  EXPECT_EQ(supervisor.getState(), 4u);
  EXPECT_TRUE(filters.programmed.empty());
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(inUse.get(), 0u);
}

}  // namespace
}  // namespace nQoTest
