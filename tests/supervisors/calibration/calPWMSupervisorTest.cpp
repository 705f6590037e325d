// The calibration PWM supervisor over the real calibration PWM primitive: its
// lifecycle word, request 256 with its sites and register writes, and the
// reservation through the broker, also after a refused or foreign answer, and
// a commit-cancel that leaves every word up to four as it is.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "primitives/calibration/pwmPrimitives.h"
#include "settings/tEmptySettings.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "supervisors/calibration/tCalPWMSupervisor.h"
#include "supervisors/controlRequests.h"
#include "support/brokerPools.h"
#include "support/statusRecords.h"
#include "tavik/tavikFixture.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tCalPWMSupervisor;
using tReferencePool = nQoUdR100::tSingularResourcePool<nQoUdP100::iReferenceVoltagePrimitive*>;

class CalPWMSupervisorTest : public tTavikMapTest {
 protected:
  void SetUp() override {
    tTavikMapTest::SetUp();
    for (uint32_t id = 0; id < 174; ++id) map->markClean(id, &status);
    nQoSim::resetResourceBroker();
    calibration.emplace(map);
    pool.emplace(&*calibration);
    settings.emplace();
    offerPool(settings->record<0>().identifier, {3, 4}, "CalPWM", &*pool, status);
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    settings.reset();
    pool.reset();
    calibration.reset();
    tTavikMapTest::TearDown();
  }

  // initialize, link and reserveResource on one status.
  void bringUp(tCalPWMSupervisor& supervisor) {
    tStatus2 up;
    supervisor.initialize(*settings, facade, up);
    supervisor.link(supervisorMap, up);
    supervisor.reserveResource(up);
    ASSERT_EQ(up.code, 0);
    windows.clearLog();
    nQoSim::clearStatusLog();
  }

  // request 256 with the bytes as its in block.
  int setReference(tCalPWMSupervisor& supervisor, std::vector<uint8_t> bytes) {
    nQoSim::tByteParameterBlock in(std::move(bytes));
    tStatus2 result;
    supervisor.control(256, &in, nullptr, result);
    return result.code;
  }

  nQoMRL100::iRuntimeFacade* const facade = nullptr;
  tEmptyMap supervisorMap;
  std::optional<nQoUdP100::tTavikCalibrationPWMPrimitive> calibration;
  std::optional<tReferencePool> pool;
  std::optional<nQoUdR100::tCalPWMSettings> settings;
};

TEST_F(CalPWMSupervisorTest, LifecycleWordFollowsTheOperations) {
  tCalPWMSupervisor supervisor;
  tStatus2 s;
  EXPECT_EQ(supervisor.getLifecycle(), 0u);
  supervisor.initialize(*settings, facade, s);
  EXPECT_EQ(supervisor.getLifecycle(), 1u);
  supervisor.link(supervisorMap, s);
  EXPECT_EQ(supervisor.getLifecycle(), 2u);
  supervisor.reserveResource(s);
  EXPECT_EQ(supervisor.getLifecycle(), 3u);
  EXPECT_EQ(supervisor.getPrimitive(), &*calibration);
  supervisor.linkResource(s);
  EXPECT_EQ(supervisor.getLifecycle(), 4u);
  supervisor.commitCancel(s);
  EXPECT_EQ(supervisor.getLifecycle(), 4u);
  supervisor.unlinkResource(s);
  EXPECT_EQ(supervisor.getLifecycle(), 3u);
  supervisor.releaseResource(s);
  EXPECT_EQ(supervisor.getLifecycle(), 2u);
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
  supervisor.unlink(s);
  EXPECT_EQ(supervisor.getLifecycle(), 1u);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(brokerOperations(), (std::vector<int>{6, 7}));
}

TEST_F(CalPWMSupervisorTest, SettingsOfAnotherClassAreRefused) {
  tCalPWMSupervisor supervisor;
  nQoUdR100::tEmptySettings other;
  tStatus2 s;
  supervisor.initialize(other, facade, s);
  EXPECT_EQ(s.code, -89000);
  EXPECT_EQ(supervisor.getLifecycle(), 0u);

  // deploy after initialize keeps the identifier that is reserved.
  tStatus2 good, bad;
  supervisor.initialize(*settings, facade, good);
  nQoUdR100::tCalPWMSettings changed;
  changed.record<0>().identifier.setString("Other", good);
  supervisor.deploy(changed, good);
  supervisor.deploy(other, bad);
  EXPECT_EQ(good.code, 0);
  EXPECT_EQ(bad.code, -89000);
  supervisor.reserveResource(good);
  EXPECT_EQ(supervisor.getPrimitive(), &*calibration);
  supervisor.releaseResource(good);
}

TEST_F(CalPWMSupervisorTest, RequestSetsTheReferenceOnce) {
  tCalPWMSupervisor supervisor;
  bringUp(supervisor);
  EXPECT_EQ(setReference(supervisor, {0x78, 0x56, 0x34, 0x12}), 0);
  EXPECT_EQ(windows.writes(), (std::vector<tAccess>{wrote(0x40, 0x12345678, 32)}));
  EXPECT_EQ(setReference(supervisor, {0x78, 0x56, 0x34, 0x12}), 0);
  EXPECT_EQ(windows.writes().size(), 1u);
  tStatus2 s;
  supervisor.releaseResource(s);
}

TEST_F(CalPWMSupervisorTest, RequestFailuresWriteNothing) {
  tCalPWMSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(*settings, facade, s);
  supervisor.link(supervisorMap, s);
  EXPECT_EQ(setReference(supervisor, {1, 0, 0, 0}), -50004);
  EXPECT_TRUE(loggedAt(-50004, "tCalPWMSupervisor", 245));
  supervisor.reserveResource(s);
  nQoSim::clearStatusLog();

  tStatus2 noBlock;
  supervisor.control(256, nullptr, nullptr, noBlock);
  EXPECT_EQ(noBlock.code, -50004);
  EXPECT_TRUE(loggedAt(-50004, "tCalPWMSupervisor", 245));
  EXPECT_EQ(setReference(supervisor, {}), -50150);
  EXPECT_EQ(setReference(supervisor, {1, 2, 3}), -50150);
  EXPECT_TRUE(loggedAt(-50150, "tParameterBlockValidateHelper", 47));
  for (uint32_t code : {1u, 2u, 3u, 4u, 4100u, 4101u, 255u, 257u}) {
    nQoSim::tByteParameterBlock in({1, 0, 0, 0});
    tStatus2 other;
    supervisor.control(code, &in, nullptr, other);
    EXPECT_EQ(other.code, -50256) << code;
    EXPECT_TRUE(loggedAt(-50256, "tCalPWMSupervisor", 261));
  }
  EXPECT_EQ(supervisor.getLifecycle(), 3u);
  EXPECT_TRUE(windows.writes().empty());
  supervisor.releaseResource(s);
}

TEST_F(CalPWMSupervisorTest, ReleaseAfterANullOrForeignAnswerCallsNoBroker) {
  tCalPWMSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(*settings, facade, s);
  supervisor.link(supervisorMap, s);
  nQoSim::scriptBrokerReserve(nullptr);
  supervisor.reserveResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
  supervisor.releaseResource(s);
  EXPECT_EQ(brokerOperations(), (std::vector<int>{6}));

  // A foreign pool is handed back at once, and release hands back nothing more.
  nQoSim::resetResourceBroker();
  nQoUdR100::tSingularResourcePool<nQoUdP100::iPWMPrimitive*> foreign(&*calibration);
  nQoSim::scriptBrokerReserve(&foreign);
  tStatus2 cast;
  supervisor.reserveResource(cast);
  EXPECT_EQ(cast.code, -89000);
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
  tStatus2 after;
  supervisor.releaseResource(after);
  EXPECT_EQ(after.code, 0);
  EXPECT_EQ(brokerOperations(), (std::vector<int>{6, 7}));
}

TEST_F(CalPWMSupervisorTest, CommitCancelLowersOnlyAWordAboveFour) {
  tCalPWMSupervisor supervisor;
  tStatus2 s;
  const struct {
    const char* step;
    void (*operation)(tCalPWMSupervisor&, tEmptyMap&, tStatus2&);
    uint32_t before;
  } rows[] = {
      {"initialized", [](auto&, auto&, auto&) {}, 1},
      {"linked", [](auto& p, auto& m, auto& st) { p.link(m, st); }, 2},
      {"reserved", [](auto& p, auto&, auto& st) { p.reserveResource(st); }, 3},
      {"resources linked", [](auto& p, auto&, auto& st) { p.linkResource(st); }, 4},
  };
  supervisor.initialize(*settings, nullptr, s);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.step);
    row.operation(supervisor, supervisorMap, s);
    ASSERT_EQ(supervisor.getLifecycle(), row.before);
    supervisor.commitCancel(s);
    EXPECT_EQ(supervisor.getLifecycle(), row.before);
  }
  EXPECT_EQ(s.code, 0);
  supervisor.releaseResource(s);
}

}  // namespace
}  // namespace nQoTest
