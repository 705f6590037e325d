// The terminal reserver: one reservation per mask bit in the form the
// selectors choose, rollback of what was reserved, merged releases.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "reservation/tMultiTerminalReserver.h"
#include "sim/simAllocator.h"
#include "sim/simTerminalReservation.h"
#include "support/moduleFixture.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoMRTB100::tMultiTerminalReserver;
using tCalls = std::vector<std::string>;

constexpr nQoORB100::tGUID kDevice{0x1111, 0x2222};

// Names terminal i "PFIi"; a scripted code per index fails the lookup.
class tNamedTerminals : public nQoMRTB100::iTerminalMap {
 public:
  void getTerminalName(uint32_t index, nQoUdR100::tString& name, tStatus2& status) override {
    if (failures.count(index) != 0)
      status.setCode(failures[index], "qotest", "terminalMap", 1);
    else
      name.assign(("PFI" + std::to_string(index)).c_str());
  }
  std::map<uint32_t, int> failures;
};

// "function terminal", with device, connection, attribute and name when full.
tCalls calls(bool full = false) {
  tCalls out;
  for (const nQoSim::tTerminalRecord& r : nQoSim::terminalLog()) {
    std::string call = r.function + " " + r.terminal;
    if (full)
      call += (r.device == kDevice ? " dev " : " - ") + std::to_string(r.connection) + " " +
              std::to_string(r.attribute) + " " +
              std::string(r.reservationName.begin(), r.reservationName.end());
    out.push_back(call);
  }
  return out;
}

class TerminalReserverTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::resetTerminalReservation();
  }
  void TearDown() override {
    nQoSim::resetTerminalReservation();
    tLeakCheckedTest::TearDown();
  }
  void prepare(tMultiTerminalReserver& reserver, uint32_t mask) {
    tStatus2 status;
    reserver.setTerminalMap(&map, status);
    reserver.setDeviceGUID(kDevice, status);
    reserver.setTerminals(mask, status);
    reserver.setTerminalAttribute(9, status);
    reserver.setConnection(0x77, status);
    reserver.setName(L"task", status);
    ASSERT_EQ(status.code, 0);
  }
  tNamedTerminals map;
};

TEST_F(TerminalReserverTest, AFailingTerminalReleasesTheOnesReservedBefore) {
  tMultiTerminalReserver reserver;
  prepare(reserver, 0x5);
  nQoSim::failTerminalCall(2, -50103);
  tStatus2 status, release, named;
  reserver.reserveResource(status);
  EXPECT_EQ(status.code, -50103);
  EXPECT_EQ(calls(), (tCalls{"reserve PFI0", "reserve PFI2", "release PFI0"}));
  EXPECT_NE(nQoSim::terminalLog()[2].status, &status);
  EXPECT_EQ(reserver.getReservedTerminals(), 0u);
  EXPECT_TRUE(nQoSim::heldTerminals().empty());
  reserver.releaseResource(release);
  EXPECT_EQ(nQoSim::terminalLog().size(), 3u);

  nQoSim::resetTerminalReservation();
  map.failures[2] = -9;
  reserver.reserveResource(named);
  EXPECT_EQ(named.code, -9);
  EXPECT_EQ(calls(), (tCalls{"reserve PFI0", "release PFI0"}));
  EXPECT_EQ(reserver.getReservedTerminals(), 0u);
}

TEST_F(TerminalReserverTest, SelectorsChooseTheFormAndEveryReleaseTakesAFreshStatus) {
  const struct {
    uint32_t useConnection, useFlag;
    tCalls expected;
  } forms[] = {
      {0, 0, {"reserve PFI1 dev 0 9 task", "release PFI1 dev 0 0 "}},
      {0, 1, {"reserveWithFlag PFI1 dev 0 9 task", "releaseWithFlag PFI1 dev 0 9 task"}},
      {1, 0, {"reserveThrough PFI1 dev 119 9 task", "releaseThrough PFI1 - 119 0 "}},
      {1,
       1,
       {"reserveThroughWithFlag PFI1 - 119 9 task", "releaseThroughWithFlag PFI1 - 119 9 task"}},
  };
  for (const auto& form : forms) {
    nQoSim::resetTerminalReservation();
    tMultiTerminalReserver reserver;
    prepare(reserver, 0x2);
    tStatus2 status(+5);
    reserver.setUseConnection(form.useConnection, status);
    reserver.setUseFlag(form.useFlag, status);
    reserver.reserveResource(status);
    EXPECT_EQ(reserver.getReservedTerminals(), 0x2u);
    reserver.releaseResource(status);
    EXPECT_EQ(status.code, 5);
    EXPECT_EQ(reserver.getReservedTerminals(), 0u);
    EXPECT_EQ(calls(true), form.expected);
    EXPECT_EQ(nQoSim::terminalLog()[0].status, &status);
    EXPECT_NE(nQoSim::terminalLog()[1].status, &status);
    EXPECT_EQ(nQoSim::terminalLog()[1].incoming, 0);
  }
}

TEST_F(TerminalReserverTest, ReleaseMergesEachTerminalAndTriesEveryOne) {
  tMultiTerminalReserver reserver;
  prepare(reserver, 0x7);
  tStatus2 status, failed(-1);
  reserver.setUseFlag(1, status);
  reserver.reserveResource(status);
  reserver.releaseResource(failed);
  EXPECT_EQ(reserver.getReservedTerminals(), 0x7u);
  nQoSim::resetTerminalReservation();
  nQoSim::failTerminalCall(1, +4);
  map.failures[1] = -9;
  reserver.releaseResource(status);
  EXPECT_EQ(status.code, -9);
  EXPECT_EQ(calls(), (tCalls{"releaseWithFlag PFI0", "releaseWithFlag PFI2"}));
  EXPECT_EQ(nQoSim::terminalLog()[1].incoming, 0);
  EXPECT_EQ(reserver.getReservedTerminals(), 0u);
}

TEST_F(TerminalReserverTest, TerminalsWithoutAMapFailWithoutACall) {
  tMultiTerminalReserver reserver;
  tStatus2 status, good;
  reserver.setTerminals(0x1, status);
  reserver.reserveResource(status);
  EXPECT_EQ(status.code, -50004);
  EXPECT_TRUE(nQoSim::terminalLog().empty());
  prepare(reserver, 0x1);
  reserver.reserveResource(good);
  reserver.setTerminalMap(nullptr, good);
  reserver.releaseResource(good);
  EXPECT_EQ(good.code, -50004);
  EXPECT_EQ(reserver.getReservedTerminals(), 0x1u);
  EXPECT_EQ(nQoSim::heldTerminals(), (tCalls{"PFI0"}));
}

TEST_F(TerminalReserverTest, FailedAllocationsReport50352) {
  tMultiTerminalReserver reserver, terminals;
  tStatus2 name, again, status;
  nQoSim::failAllocation(1);
  reserver.setName(L"task", name);
  reserver.setName(L"task", again);
  EXPECT_EQ(name.code, -50352);
  EXPECT_EQ(again.code, -50352);
  prepare(terminals, 0x1);
  nQoSim::failAllocation(1);
  terminals.reserveResource(status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(nQoSim::terminalLog().empty());
}

}  // namespace
