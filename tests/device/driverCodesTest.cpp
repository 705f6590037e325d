// The driver's removal (code 2), release of the whole device (code 13) and
// rebuild (code 1) when one of their steps fails: what each hands back, what
// it keeps, and that the steps after a failed one still run where they must.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/tDriver.h"
#include "mrl/tGeneralIdentifier.h"
#include "sim/simAllocator.h"
#include "sim/simDevices.h"
#include "sim/simResourceBroker.h"
#include "sim/simRouting.h"
#include "sim/tSimBoard.h"
#include "sim/tSimDeviceTable.h"
#include "support/moduleFixture.h"
#include "support/registerLogs.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoSim::tBrokerRegistration;

constexpr nQoORB100::tGUID kGUID{0x5EED, 0xB0A2D};
constexpr uint32_t kHandle = 0;

class DriverCodesTest : public tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    driver = std::make_unique<nQoUdR100::tDriver>();
    nQoSim::resetResourceBroker();
    nQoSim::resetRouting();
    tree.setNode(kHandle, &board.node);
    nQoSim::setDeviceTree(&tree);
  }
  void TearDown() override {
    driver.reset();
    nQoSim::setDeviceTree(nullptr);
    nQoSim::resetResourceBroker();
    nQoSim::resetRouting();
    tLeakCheckedTest::TearDown();
  }
  void bringUp() {
    driver->initialize(kGUID, kHandle, status);
    driver->control(8, nullptr, nullptr, status);
    ASSERT_EQ(status.code, 0);
  }
  int code(uint32_t controlCode) {
    tStatus2 local;
    driver->control(controlCode, nullptr, nullptr, local);
    return local.code;
  }
  // Whether a task can hold the first ADC now (and gives it back).
  int taskHoldsADC() {
    nQoMRL100::tGeneralIdentifier adc;
    tStatus2 local;
    adc.setDeviceGUID(kGUID);
    adc.setString("AI_ADC", local);
    adc.setIndex(0);
    if (nQoSim::holdPoolAsTask(adc, local) != nullptr) nQoSim::releasePoolAsTask(adc, local);
    return local.code;
  }
  static std::vector<std::string> routingCalls() {
    std::vector<std::string> names;
    for (const auto& record : nQoSim::routingLog()) names.push_back(record.function);
    return names;
  }
  static bool called(const std::string& function) {
    for (const std::string& name : routingCalls())
      if (name == function) return true;
    return false;
  }

  tLoadedModule module;
  nQoSim::tSimBoard board{0x5D01, 16};
  nQoSim::tSimDeviceTable tree{{&board.device}};
  std::unique_ptr<nQoUdR100::tDriver> driver;
  tStatus2 status;
};

TEST_F(DriverCodesTest, ARemovalWhoseRegistrarRefusesGivesTheDeviceBackAndKeepsTheBoard) {
  bringUp();
  const auto pools = nQoSim::registeredPools();
  nQoSim::resetRouting();
  nQoSim::failRoutingCall(1, -50150);  // the registrar's claim
  const size_t brokerCalls = nQoSim::brokerLog().size();
  EXPECT_EQ(code(2), -50150);
  EXPECT_FALSE(driver->removed());
  EXPECT_EQ(nQoSim::registeredPools(), pools);
  const auto log = nQoSim::brokerLog();
  ASSERT_EQ(log.size(), brokerCalls + 2);
  EXPECT_EQ(log[brokerCalls].operation, 6);      // reserve the device
  EXPECT_EQ(log[brokerCalls + 1].operation, 7);  // and give it back
  EXPECT_EQ(log[brokerCalls + 1].identifier, log[brokerCalls].identifier);
  EXPECT_EQ(routingCalls(), std::vector<std::string>{"routableRegistrarForwardB"});
  EXPECT_EQ(taskHoldsADC(), 0);
  EXPECT_TRUE(driver->isIdle(0, 0, nullptr));
  // Nothing was undone, so a second removal goes through.
  EXPECT_EQ(code(2), 0);
  EXPECT_TRUE(driver->removed());
}

TEST_F(DriverCodesTest, ARemovalWhoseReservationIsRefusedTouchesNothingElse) {
  bringUp();
  const auto pools = nQoSim::registeredPools();
  nQoSim::resetRouting();
  nQoSim::failNextBrokerCall(-50103);
  EXPECT_EQ(code(2), -50103);
  EXPECT_FALSE(driver->removed());
  EXPECT_EQ(nQoSim::registeredPools(), pools);
  EXPECT_TRUE(nQoSim::routingLog().empty());
  EXPECT_EQ(taskHoldsADC(), 0);
}

TEST_F(DriverCodesTest, AFailedReleaseKeepsTheDeviceReservedUntilAReleaseSucceeds) {
  bringUp();
  EXPECT_EQ(code(12), 0);
  nQoSim::failNextBrokerCall(-50107);
  EXPECT_EQ(code(13), -50107);
  EXPECT_EQ(taskHoldsADC(), -50103);
  // Still reserved: the next release is tried, and then the device is free.
  EXPECT_EQ(code(13), 0);
  EXPECT_EQ(taskHoldsADC(), 0);
  EXPECT_EQ(code(13), 0);  // not reserved: nothing
  EXPECT_TRUE(driver->isIdle(0, 0, nullptr));
}

TEST_F(DriverCodesTest, ARebuildUnregistersInOrderAndDropsTheClaim) {
  bringUp();
  EXPECT_EQ(code(5), 0);
  const auto before = nQoSim::registeredPools().size();
  nQoSim::resetRouting();
  const size_t registrations = nQoSim::brokerRegistrations().size();
  EXPECT_EQ(code(1), 0);
  const auto after = nQoSim::brokerRegistrations();
  ASSERT_GT(after.size(), registrations + 2);
  EXPECT_EQ(after[registrations].operation, tBrokerRegistration::kUnregister);
  EXPECT_EQ(after[registrations].kind, tBrokerRegistration::kDeviceGUID);
  EXPECT_EQ(after[registrations].guid, kGUID);
  EXPECT_EQ(after[registrations + 1].operation, tBrokerRegistration::kUnregisterDeviceGUID);
  // Then the old pools go one by one, and only then the new ones come.
  size_t k = registrations + 2;
  while (k < after.size() && after[k].operation == tBrokerRegistration::kUnregisterPool) ++k;
  ASSERT_LT(k, after.size());
  EXPECT_EQ(after[k].operation, tBrokerRegistration::kRegister);
  EXPECT_EQ(routingCalls().front(), "removeRoutingDeviceNode");
  EXPECT_EQ(nQoSim::registeredPools().size(), before);
  // The claim went with the old board: unclaiming calls nothing.
  nQoSim::resetRouting();
  EXPECT_EQ(code(6), 0);
  EXPECT_FALSE(called("routableRegistrarForwardA"));
  EXPECT_EQ(code(5), 0);
  EXPECT_TRUE(called("routableRegistrarForwardB"));
  EXPECT_TRUE(driver->isIdle(0, 0, nullptr));
}

// A resource a task still holds goes with the board it came from: after the
// rebuild the driver is as idle as one whose pools held nothing.
TEST_F(DriverCodesTest, ARebuildWhileATaskHoldsAResourceLeavesTheDriverIdle) {
  bringUp();
  nQoMRL100::tGeneralIdentifier adc;
  adc.setDeviceGUID(kGUID);
  adc.setString("AI_ADC", status);
  adc.setIndex(0);
  ASSERT_NE(nQoSim::holdPoolAsTask(adc, status), nullptr);
  EXPECT_FALSE(driver->isIdle(0, 0, nullptr));
  EXPECT_EQ(code(1), 0);
  EXPECT_TRUE(driver->isIdle(0, 0, nullptr));
  EXPECT_EQ(taskHoldsADC(), 0);
  EXPECT_TRUE(driver->isIdle(0, 0, nullptr));
}

TEST_F(DriverCodesTest, ARebuildWhoseUnregisterFailsStillRunsTheLaterSteps) {
  bringUp();
  const auto before = nQoSim::registeredPools().size();
  nQoSim::resetRouting();
  const size_t registrations = nQoSim::brokerRegistrations().size();
  nQoSim::failNextBrokerCall(-50107);  // the pools' unregistration
  EXPECT_EQ(code(1), 0);
  const auto after = nQoSim::brokerRegistrations();
  ASSERT_GT(after.size(), registrations + 1);
  EXPECT_EQ(after[registrations].code, -50107);
  EXPECT_EQ(after[registrations + 1].operation, tBrokerRegistration::kUnregisterDeviceGUID);
  EXPECT_EQ(after[registrations + 1].code, 0);
  EXPECT_TRUE(called("removeRoutingDeviceNode"));
  EXPECT_GE(nQoSim::registeredPools().size(), before);
}

TEST_F(DriverCodesTest, ARebuildBeforeBringUpOrWithARefusedAllocationReportsAndLeaksNothing) {
  driver->initialize(kGUID, kHandle, status);
  EXPECT_EQ(code(1), -50004);
  EXPECT_EQ(lastReport(), "-50004 qoudrk tDriver 2255");
  driver->control(8, nullptr, nullptr, status);
  ASSERT_EQ(status.code, 0);
  nQoSim::failAllocation(3);  // an allocation of the new board
  EXPECT_EQ(code(1), -50352);
  nQoSim::failAllocation(0);
  EXPECT_TRUE(driver->isIdle(0, 0, nullptr));
}

}  // namespace
}  // namespace nQoTest
