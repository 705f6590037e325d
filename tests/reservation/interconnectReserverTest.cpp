// The interconnect reserver: one manager reservation per line, rollback of
// exactly what was reserved, and the clones it owns.
#include <gtest/gtest.h>

#include "orb/tClassImplementation.h"
#include "reservation/tMultiInterconnectReserver.h"
#include "sim/simAllocator.h"
#include "sim/simInterconnect.h"
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
    EXPECT_EQ(liveEndpoints() + liveIntents(), 4);
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
    reserver.setLines(tLineSet{}, status);
    reserver.reserveResource(status);
    EXPECT_EQ(callsOf(nQoSim::kReserve).size(), 2u);
    EXPECT_EQ(status.code, 0);
  }
  EXPECT_EQ(liveEndpoints() + liveIntents(), 2);
  EXPECT_EQ(callsOf(nQoSim::kDestroyIntent).back().intent, intentClone);
}

TEST_F(InterconnectReserverTest, RollbackAndReleaseTouchExactlyWhatWasReserved) {
  nQoMRTB100::tMultiInterconnectReserver reserver;
  prepare(reserver, {3, 200});
  nQoSim::failInterconnectCall(nQoSim::kReserve, 2, -50150);
  tStatus2 status, second, third;
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
  tStatus2 missing, notCloneable, wrongClass, status, fresh;
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
  reserver.setLines(tLineSet::single(9), fresh);
  reserver.reserveResource(fresh);
  ASSERT_EQ(callsOf(nQoSim::kReserve).size(), 1u);
  EXPECT_EQ(callsOf(nQoSim::kReserve)[0].endpoint, nullptr);
  reserver.releaseResource(fresh);
}

TEST_F(InterconnectReserverTest, FailedAllocationsReport50352) {
  nQoMRTB100::tMultiInterconnectReserver named, lines;
  tStatus2 name, check, status;
  nQoSim::failAllocation(1);
  named.setName("ai0", name);
  named.checkAllocation(check);
  EXPECT_EQ(name.code, -50352);
  EXPECT_EQ(check.code, -50352);
  prepare(lines, {3, 200});
  nQoSim::failAllocation(1);
  lines.reserveResource(status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tMultiInterconnectReserver", 70));
  EXPECT_TRUE(callsOf(nQoSim::kReserve).empty());
}

}  // namespace
