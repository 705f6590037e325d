// The interconnect and terminal reservers: one reservation per line or mask
// bit, rollback of exactly what was reserved, merged releases, owned clones.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "orb/tClassImplementation.h"
#include "reservation/tMultiInterconnectReserver.h"
#include "reservation/tMultiTerminalReserver.h"
#include "sim/simAllocator.h"
#include "sim/simInterconnect.h"
#include "sim/simTerminalReservation.h"
#include "sim/tSimCloneable.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace {

using nQoDIM100::tLineSet;
using nQoMDBG100::tStatus2;
using nQoSim::tSimEndpoint;
using nQoSim::tSimIntent;

long liveEndpoints() { return nQoORB100::tClassRegistry::liveInstances(tSimEndpoint::kClassName); }
long liveIntents() { return nQoORB100::tClassRegistry::liveInstances(tSimIntent::kClassName); }

std::vector<nQoSim::tInterconnectRecord> callsOf(nQoSim::tInterconnectOperation operation) {
  std::vector<nQoSim::tInterconnectRecord> out;
  for (const auto& record : nQoSim::interconnectLog())
    if (record.operation == operation) out.push_back(record);
  return out;
}

class InterconnectReserverTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::resetInterconnect();
    endpoint = tSimEndpoint::create();
    intent = tSimIntent::create();
  }
  void TearDown() override {
    int status = 0;
    endpoint->getClass(status).deleteInstance(endpoint, status);
    intent->getClass(status).deleteInstance(intent, status);
    EXPECT_EQ(liveEndpoints() + liveIntents(), 0);
    nQoSim::resetInterconnect();
    tLeakCheckedTest::TearDown();
  }

  // Named "ai0", with clones of both objects and the lines.
  void prepare(nQoMRTB100::tMultiInterconnectReserver& reserver,
               std::initializer_list<unsigned> lines) {
    tStatus2 status;
    tLineSet set;
    for (unsigned line : lines) set.add(line);
    reserver.setName("ai0", status);
    reserver.setEndpoint(endpoint, status);
    reserver.setIntent(intent, status);
    reserver.setLines(set, status);
    ASSERT_EQ(status.code, 0);
  }

  tSimEndpoint* endpoint = nullptr;
  tSimIntent* intent = nullptr;
};

TEST_F(InterconnectReserverTest, ReservesEachLineAloneInOrderAndReleasesTheNewestFirst) {
  const void* intentClone = nullptr;
  {
    nQoMRTB100::tMultiInterconnectReserver reserver;
    prepare(reserver, {3, 200});
    tStatus2 status;
    reserver.reserveResource(status);
    const auto reserves = callsOf(nQoSim::kReserve);
    ASSERT_EQ(reserves.size(), 2u);
    EXPECT_EQ(reserves[0].lines, tLineSet::single(3));
    EXPECT_EQ(reserves[1].lines, tLineSet::single(200));
    EXPECT_EQ(reserves[1].owner, "ai0");
    EXPECT_NE(reserves[1].endpoint, nullptr);
    EXPECT_NE(reserves[1].endpoint, static_cast<nQoDIM100::iInterconnectBusEndpoint*>(endpoint));
    EXPECT_NE(reserves[1].intent, static_cast<nQoDIM100::iIntent*>(intent));
    intentClone = reserves[0].intent;
    reserver.releaseResource(status);
    reserver.releaseResource(status);
    const auto releases = callsOf(nQoSim::kRelease);
    ASSERT_EQ(releases.size(), 2u);
    EXPECT_EQ(releases[0].object, reserves[1].object);
    EXPECT_EQ(releases[1].object, reserves[0].object);
    EXPECT_EQ(nQoSim::liveInterconnectReservations(), 0);
    EXPECT_EQ(status.code, 0);
  }
  EXPECT_EQ(liveEndpoints() + liveIntents(), 2);
  EXPECT_EQ(callsOf(nQoSim::kDestroyIntent).back().intent, intentClone);
}

TEST_F(InterconnectReserverTest, RollbackAndReleaseTouchExactlyWhatWasReserved) {
  nQoMRTB100::tMultiInterconnectReserver reserver, roomless;
  prepare(reserver, {3, 200});
  prepare(roomless, {3, 200});
  nQoSim::failInterconnectCall(nQoSim::kReserve, 2, -50150);
  tStatus2 room, status, second, third;
  nQoSim::failAllocation(1);
  roomless.reserveResource(room);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tMultiInterconnectReserver", 70));
  EXPECT_TRUE(callsOf(nQoSim::kReserve).empty());
  reserver.reserveResource(status);
  EXPECT_EQ(status.code, -50150);
  auto releases = callsOf(nQoSim::kRelease);
  ASSERT_EQ(releases.size(), 1u);
  EXPECT_EQ(releases[0].object, callsOf(nQoSim::kReserve)[0].object);
  EXPECT_EQ(releases[0].incoming, 0);
  EXPECT_EQ(nQoSim::liveInterconnectReservations(), 0);

  nQoSim::resetInterconnect();
  nQoSim::failInterconnectCall(nQoSim::kReserve, 1, 0);
  reserver.reserveResource(second);
  reserver.releaseResource(second);
  releases = callsOf(nQoSim::kRelease);
  ASSERT_EQ(releases.size(), 1u) << "a null answer is not kept";
  EXPECT_EQ(releases[0].object, callsOf(nQoSim::kReserve)[1].object);
  EXPECT_EQ(second.code, 0);

  nQoSim::resetInterconnect();
  nQoSim::failInterconnectCall(nQoSim::kGetManager, 1, -50103);
  reserver.reserveResource(third);
  EXPECT_EQ(third.code, -50103);
  EXPECT_TRUE(callsOf(nQoSim::kReserve).empty());
}

TEST_F(InterconnectReserverTest, ReleaseMergesEveryLocalCodeAndSkipsOnAnError) {
  nQoMRTB100::tMultiInterconnectReserver reserver;
  prepare(reserver, {0, 64, 255});
  tStatus2 status, failed(-1), warned(+5);
  reserver.reserveResource(status);
  reserver.releaseResource(failed);
  EXPECT_EQ(nQoSim::liveInterconnectReservations(), 3);
  nQoSim::failInterconnectCall(nQoSim::kRelease, 2, -7);
  reserver.releaseResource(warned);
  EXPECT_EQ(warned.code, -7);
  const auto releases = callsOf(nQoSim::kRelease);
  ASSERT_EQ(releases.size(), 3u);
  for (const auto& call : releases) EXPECT_EQ(call.incoming, 0);
  EXPECT_EQ(nQoSim::liveInterconnectReservations(), 1);
}

TEST_F(InterconnectReserverTest, EndpointAndIntentMustCloneIntoTheirClass) {
  nQoMRTB100::tMultiInterconnectReserver reserver;
  nQoORB100::tObject plain;
  tStatus2 missing, notCloneable, wrongClass, status;
  reserver.setEndpoint(nullptr, missing);
  EXPECT_EQ(missing.code, -89000);
  EXPECT_TRUE(nQoTest::loggedAt(-89000, "tMultiInterconnectReserver", 40));
  reserver.setIntent(&plain, notCloneable);
  EXPECT_EQ(notCloneable.code, -89000);
  reserver.setEndpoint(intent, wrongClass);
  EXPECT_EQ(wrongClass.code, -89000);
  EXPECT_EQ(liveIntents(), 1) << "the wrong clone is destroyed";

  reserver.setEndpoint(endpoint, status);
  reserver.setEndpoint(endpoint, status);
  reserver.setIntent(intent, status);
  EXPECT_EQ(liveEndpoints() + liveIntents(), 4);
  nQoSim::failInterconnectCall(nQoSim::kClone, 1, -50352);
  reserver.setEndpoint(endpoint, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_EQ(liveEndpoints(), 1);
}

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
  tStatus2 status, release, named, unnamed;
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
  nQoSim::resetTerminalReservation();
  nQoSim::failAllocation(1);
  reserver.reserveResource(unnamed);
  EXPECT_EQ(unnamed.code, -50352) << "the terminal's name";
  EXPECT_TRUE(nQoSim::terminalLog().empty());
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

// Bit 31 is the last terminal of the mask: reserved, released and cleared
// like bit 0, and the reserver is left holding nothing.
TEST_F(TerminalReserverTest, TheHighestBitIsATerminalLikeAnyOther) {
  tMultiTerminalReserver reserver;
  prepare(reserver, 0x80000001);
  tStatus2 status;
  reserver.reserveResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(reserver.getReservedTerminals(), 0x80000001u);
  EXPECT_EQ(nQoSim::heldTerminals(), (tCalls{"PFI0", "PFI31"}));
  reserver.releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(calls(), (tCalls{"reserve PFI0", "reserve PFI31", "release PFI0", "release PFI31"}));
  EXPECT_EQ(reserver.getReservedTerminals(), 0u);
  EXPECT_TRUE(nQoSim::heldTerminals().empty());
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

}  // namespace
