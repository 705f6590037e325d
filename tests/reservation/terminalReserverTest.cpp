// The terminal reserver: one reservation per mask bit in the form the
// selectors choose, rollback of what was reserved, merged releases.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "reservation/tMultiTerminalReserver.h"
#include "sim/simAllocator.h"
#include "sim/simStatusLog.h"
#include "sim/simTerminalReservation.h"
#include "support/moduleFixture.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoMRTB100::tMultiTerminalReserver;
using nQoSim::tTerminalRecord;

// Names terminal i "PFIi"; a scripted code per index fails the lookup.
class tNamedTerminals : public nQoMRTB100::iTerminalMap {
 public:
  void getTerminalName(uint32_t index, nQoUdR100::tString& name, tStatus2& status) override {
    auto found = failures.find(index);
    if (found != failures.end()) {
      status.setCode(found->second, "qotest", "terminalMap", 1);
      return;
    }
    name.assign(("PFI" + std::to_string(index)).c_str());
  }
  std::map<uint32_t, int> failures;
};

std::vector<std::string> functionsAndTerminals() {
  std::vector<std::string> out;
  for (const tTerminalRecord& record : nQoSim::terminalLog())
    out.push_back(record.function + " " + record.terminal);
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

  static constexpr nQoORB100::tGUID kDevice{0x1111, 0x2222};
  tNamedTerminals map;
};

TEST_F(TerminalReserverTest, AFailingTerminalReleasesTheOnesReservedBefore) {
  tMultiTerminalReserver reserver;
  prepare(reserver, 0x5);
  nQoSim::failTerminalCall(2, -50103);
  tStatus2 status;
  reserver.reserveResource(status);
  EXPECT_EQ(status.code, -50103);
  EXPECT_EQ(functionsAndTerminals(),
            (std::vector<std::string>{"reserve PFI0", "reserve PFI2", "release PFI0"}));
  const auto log = nQoSim::terminalLog();
  EXPECT_NE(log[2].status, &status);
  EXPECT_EQ(reserver.getReservedTerminals(), 0u);
  EXPECT_TRUE(nQoSim::heldTerminals().empty());

  tStatus2 release;
  reserver.releaseResource(release);  // nothing reserved: no call
  EXPECT_EQ(nQoSim::terminalLog().size(), 3u);

  // A name that cannot be had fails the pass the same way.
  nQoSim::resetTerminalReservation();
  map.failures[2] = -9;
  tStatus2 named;
  reserver.reserveResource(named);
  EXPECT_EQ(named.code, -9);
  EXPECT_EQ(functionsAndTerminals(), (std::vector<std::string>{"reserve PFI0", "release PFI0"}));
  EXPECT_EQ(reserver.getReservedTerminals(), 0u);
}

TEST_F(TerminalReserverTest, SelectorsChooseTheFormAndEveryReleaseTakesAFreshStatus) {
  struct tForm {
    uint32_t useConnection, useFlag;
    tTerminalRecord reserve, release;
  };
  const nQoORB100::tGUID none{};
  const tForm forms[] = {
      {0, 0, {"reserve", kDevice, 0, "PFI1", 9, L"task"}, {"release", kDevice, 0, "PFI1", 0, L""}},
      {0,
       1,
       {"reserveWithFlag", kDevice, 0, "PFI1", 9, L"task"},
       {"releaseWithFlag", kDevice, 0, "PFI1", 9, L"task"}},
      {1,
       0,
       {"reserveThrough", kDevice, 0x77, "PFI1", 9, L"task"},
       {"releaseThrough", none, 0x77, "PFI1", 0, L""}},
      {1,
       1,
       {"reserveThroughWithFlag", none, 0x77, "PFI1", 9, L"task"},
       {"releaseThroughWithFlag", none, 0x77, "PFI1", 9, L"task"}},
  };
  auto expectCall = [](const tTerminalRecord& got, const tTerminalRecord& want) {
    EXPECT_EQ(got.function, want.function);
    EXPECT_EQ(got.device, want.device) << want.function;
    EXPECT_EQ(got.connection, want.connection) << want.function;
    EXPECT_EQ(got.terminal, want.terminal) << want.function;
    EXPECT_EQ(got.attribute, want.attribute) << want.function;
    EXPECT_EQ(got.reservationName, want.reservationName) << want.function;
  };
  for (const tForm& form : forms) {
    nQoSim::resetTerminalReservation();
    tMultiTerminalReserver reserver;
    prepare(reserver, 0x2);
    tStatus2 status(+5);  // a warning does not stop anything
    reserver.setUseConnection(form.useConnection, status);
    reserver.setUseFlag(form.useFlag, status);
    reserver.reserveResource(status);
    EXPECT_EQ(reserver.getReservedTerminals(), 0x2u);
    reserver.releaseResource(status);
    EXPECT_EQ(status.code, 5);
    EXPECT_EQ(reserver.getReservedTerminals(), 0u);

    const auto log = nQoSim::terminalLog();
    ASSERT_EQ(log.size(), 2u);
    expectCall(log[0], form.reserve);
    EXPECT_EQ(log[0].status, &status);
    expectCall(log[1], form.release);
    EXPECT_NE(log[1].status, &status) << form.release.function;
    EXPECT_EQ(log[1].incoming, 0) << form.release.function;
  }
}

TEST_F(TerminalReserverTest, ReleaseMergesEachTerminalAndTriesEveryOne) {
  tMultiTerminalReserver reserver;
  prepare(reserver, 0x7);
  tStatus2 status;
  reserver.setUseFlag(1, status);
  reserver.reserveResource(status);
  ASSERT_EQ(reserver.getReservedTerminals(), 0x7u);

  tStatus2 failed(-1);
  reserver.releaseResource(failed);  // an error is held: nothing
  EXPECT_EQ(nQoSim::terminalLog().size(), 3u);

  nQoSim::resetTerminalReservation();
  nQoSim::failTerminalCall(1, +4);  // PFI0's release warns
  map.failures[1] = -9;             // PFI1 has no name now
  reserver.releaseResource(status);
  EXPECT_EQ(status.code, -9);
  EXPECT_EQ(functionsAndTerminals(),
            (std::vector<std::string>{"releaseWithFlag PFI0", "releaseWithFlag PFI2"}));
  EXPECT_EQ(nQoSim::terminalLog()[1].incoming, 0);
  EXPECT_EQ(reserver.getReservedTerminals(), 0u);
}

TEST_F(TerminalReserverTest, TerminalsWithoutAMapFailWithoutACall) {
  tMultiTerminalReserver reserver;
  tStatus2 status;
  reserver.setTerminals(0x1, status);
  reserver.reserveResource(status);
  EXPECT_EQ(status.code, -50004);
  EXPECT_TRUE(nQoSim::terminalLog().empty());
  EXPECT_EQ(reserver.getReservedTerminals(), 0u);

  // A map taken away while terminals are held: they stay held.
  prepare(reserver, 0x1);
  tStatus2 good;
  reserver.reserveResource(good);
  reserver.setTerminalMap(nullptr, good);
  reserver.releaseResource(good);
  EXPECT_EQ(good.code, -50004);
  EXPECT_EQ(reserver.getReservedTerminals(), 0x1u);
  EXPECT_EQ(nQoSim::heldTerminals(), (std::vector<std::string>{"PFI0"}));
}

TEST_F(TerminalReserverTest, FailedAllocationsReport50352) {
  tMultiTerminalReserver reserver;
  nQoSim::failAllocation(1);
  tStatus2 name;
  reserver.setName(L"task", name);
  EXPECT_EQ(name.code, -50352);
  tStatus2 again;  // the flag stays
  reserver.setName(L"task", again);
  EXPECT_EQ(again.code, -50352);
  tStatus2 check;
  reserver.checkAllocation(check);
  EXPECT_EQ(check.code, -50352);

  // The terminal's name cannot be allocated: no reservation.
  tMultiTerminalReserver terminals;
  prepare(terminals, 0x1);
  nQoSim::failAllocation(1);
  tStatus2 status;
  terminals.reserveResource(status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(nQoSim::terminalLog().empty());
}

}  // namespace
