// The interconnect reserver: one manager reservation per line, rollback of
// exactly what was reserved, and the endpoint and intent clones it owns.
#include <gtest/gtest.h>

#include "orb/tClassImplementation.h"
#include "reservation/tMultiInterconnectReserver.h"
#include "sim/simAllocator.h"
#include "sim/simInterconnect.h"
#include "sim/simStatusLog.h"
#include "sim/tSimCloneable.h"
#include "support/moduleFixture.h"

namespace {

using nQoDIM100::tLineSet;
using nQoMDBG100::tStatus2;
using nQoMRTB100::tMultiInterconnectReserver;
using nQoSim::tInterconnectRecord;
using nQoSim::tSimEndpoint;
using nQoSim::tSimIntent;

long liveEndpoints() { return nQoORB100::tClassRegistry::liveInstances(tSimEndpoint::kClassName); }
long liveIntents() { return nQoORB100::tClassRegistry::liveInstances(tSimIntent::kClassName); }

std::vector<tInterconnectRecord> callsOf(nQoSim::tInterconnectOperation operation) {
  std::vector<tInterconnectRecord> out;
  for (const tInterconnectRecord& record : nQoSim::interconnectLog())
    if (record.operation == operation) out.push_back(record);
  return out;
}

tLineSet linesOf(std::initializer_list<unsigned> lines) {
  tLineSet set;
  for (unsigned line : lines) set.add(line);
  return set;
}

bool loggedAt(int code, unsigned line) {
  for (const nQoSim::tStatusRecord& record : nQoSim::statusLog())
    if (record.code == code && record.file == "tMultiInterconnectReserver" && record.line == line)
      return true;
  return false;
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
    EXPECT_EQ(liveEndpoints(), 0);
    EXPECT_EQ(liveIntents(), 0);
    nQoSim::resetInterconnect();
    tLeakCheckedTest::TearDown();
  }

  // A reserver given the name "ai0", clones of both objects and the lines.
  void prepare(tMultiInterconnectReserver& reserver, const tLineSet& lines) {
    tStatus2 status;
    reserver.setName("ai0", status);
    reserver.setEndpoint(endpoint, status);
    reserver.setIntent(intent, status);
    reserver.setLines(lines, status);
    ASSERT_EQ(status.code, 0);
  }

  tSimEndpoint* endpoint = nullptr;
  tSimIntent* intent = nullptr;
};

TEST_F(InterconnectReserverTest, ReservesEachLineAloneInOrderAndReleasesTheNewestFirst) {
  const void* intentClone = nullptr;
  {
    tMultiInterconnectReserver reserver;
    prepare(reserver, linesOf({3, 200}));
    EXPECT_EQ(liveEndpoints(), 2);
    EXPECT_EQ(liveIntents(), 2);

    tStatus2 status;
    reserver.reserveResource(status);
    EXPECT_EQ(status.code, 0);
    const auto reserves = callsOf(nQoSim::kReserve);
    ASSERT_EQ(reserves.size(), 2u);
    EXPECT_EQ(reserves[0].lines, tLineSet::single(3));
    EXPECT_EQ(reserves[1].lines, tLineSet::single(200));
    EXPECT_EQ(reserves[1].owner, "ai0");
    EXPECT_NE(reserves[1].endpoint, nullptr);  // the clones, not what was given
    EXPECT_NE(reserves[1].endpoint, static_cast<nQoDIM100::iInterconnectBusEndpoint*>(endpoint));
    EXPECT_NE(reserves[1].intent, static_cast<nQoDIM100::iIntent*>(intent));
    intentClone = reserves[0].intent;
    EXPECT_EQ(nQoSim::liveInterconnectReservations(), 2);

    reserver.releaseResource(status);
    EXPECT_EQ(status.code, 0);
    const auto releases = callsOf(nQoSim::kRelease);
    ASSERT_EQ(releases.size(), 2u);
    EXPECT_EQ(releases[0].object, reserves[1].object);
    EXPECT_EQ(releases[1].object, reserves[0].object);
    EXPECT_EQ(nQoSim::liveInterconnectReservations(), 0);

    reserver.releaseResource(status);  // nothing is held any more
    EXPECT_EQ(callsOf(nQoSim::kRelease).size(), 2u);

    reserver.setLines(tLineSet{}, status);  // no lines: no reserve call
    reserver.reserveResource(status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(callsOf(nQoSim::kReserve).size(), 2u);
  }
  // The clones go with the reserver, the intent through the intent factory.
  EXPECT_EQ(liveEndpoints(), 1);
  EXPECT_EQ(liveIntents(), 1);
  const auto destroys = callsOf(nQoSim::kDestroyIntent);
  ASSERT_FALSE(destroys.empty());
  EXPECT_EQ(destroys.back().intent, intentClone);
}

TEST_F(InterconnectReserverTest, AFailingLineReleasesExactlyWhatWasReserved) {
  tMultiInterconnectReserver reserver;
  prepare(reserver, linesOf({3, 200}));

  nQoSim::failInterconnectCall(nQoSim::kReserve, 2, -50150);
  tStatus2 status;
  reserver.reserveResource(status);
  EXPECT_EQ(status.code, -50150);
  const auto reserves = callsOf(nQoSim::kReserve);
  ASSERT_EQ(reserves.size(), 2u);
  auto releases = callsOf(nQoSim::kRelease);
  ASSERT_EQ(releases.size(), 1u);  // line 3's only: the failed answer is not kept
  EXPECT_EQ(releases[0].object, reserves[0].object);
  EXPECT_EQ(releases[0].incoming, 0);
  EXPECT_EQ(nQoSim::liveInterconnectReservations(), 0);

  // A null answer on a clean status is not kept either; the pass goes on.
  nQoSim::resetInterconnect();
  nQoSim::failInterconnectCall(nQoSim::kReserve, 1, 0);
  tStatus2 second;
  reserver.reserveResource(second);
  EXPECT_EQ(second.code, 0);
  reserver.releaseResource(second);
  releases = callsOf(nQoSim::kRelease);
  ASSERT_EQ(releases.size(), 1u);
  EXPECT_EQ(releases[0].object, callsOf(nQoSim::kReserve)[1].object);

  // No manager: its code, no reservation.
  nQoSim::resetInterconnect();
  nQoSim::failInterconnectCall(nQoSim::kGetManager, 1, -50103);
  tStatus2 third;
  reserver.reserveResource(third);
  EXPECT_EQ(third.code, -50103);
  EXPECT_TRUE(callsOf(nQoSim::kReserve).empty());
}

TEST_F(InterconnectReserverTest, ReleaseMergesEveryLocalCodeAndSkipsOnAnError) {
  tMultiInterconnectReserver reserver;
  prepare(reserver, linesOf({0, 64, 255}));
  tStatus2 status;
  reserver.reserveResource(status);
  ASSERT_EQ(nQoSim::liveInterconnectReservations(), 3);

  const std::size_t calls = nQoSim::interconnectLog().size();
  tStatus2 failed(-1);
  reserver.releaseResource(failed);  // an error is held: no call at all
  EXPECT_EQ(nQoSim::interconnectLog().size(), calls);

  nQoSim::failInterconnectCall(nQoSim::kRelease, 2, -7);
  tStatus2 warned(+5);
  reserver.releaseResource(warned);
  EXPECT_EQ(warned.code, -7);
  const auto releases = callsOf(nQoSim::kRelease);
  ASSERT_EQ(releases.size(), 3u);
  for (const tInterconnectRecord& call : releases) EXPECT_EQ(call.incoming, 0);
  EXPECT_EQ(nQoSim::liveInterconnectReservations(), 1);  // the failed one stays held
}

TEST_F(InterconnectReserverTest, EndpointAndIntentMustCloneIntoTheirClass) {
  tMultiInterconnectReserver reserver;
  tStatus2 missing;
  reserver.setEndpoint(nullptr, missing);
  EXPECT_EQ(missing.code, -89000);
  EXPECT_TRUE(loggedAt(-89000, 40));

  nQoORB100::tObject plain;  // not cloneable
  tStatus2 notCloneable;
  reserver.setIntent(&plain, notCloneable);
  EXPECT_EQ(notCloneable.code, -89000);

  // A clone of the wrong class is destroyed again.
  tStatus2 wrongClass;
  reserver.setEndpoint(intent, wrongClass);
  EXPECT_EQ(wrongClass.code, -89000);
  EXPECT_EQ(liveIntents(), 1);

  // Replacing destroys what is held; a failed clone leaves none held.
  tStatus2 status;
  reserver.setEndpoint(endpoint, status);
  reserver.setEndpoint(endpoint, status);
  reserver.setIntent(intent, status);
  reserver.setIntent(intent, status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(liveEndpoints(), 2);
  EXPECT_EQ(liveIntents(), 2);
  nQoSim::failInterconnectCall(nQoSim::kClone, 1, -50352);
  reserver.setEndpoint(endpoint, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_EQ(liveEndpoints(), 1);

  tStatus2 fresh;
  reserver.setLines(tLineSet::single(9), fresh);
  reserver.reserveResource(fresh);
  const auto reserves = callsOf(nQoSim::kReserve);
  ASSERT_EQ(reserves.size(), 1u);
  EXPECT_EQ(reserves[0].endpoint, nullptr);
  EXPECT_NE(reserves[0].intent, nullptr);
  reserver.releaseResource(fresh);
}

TEST_F(InterconnectReserverTest, FailedAllocationsReport50352) {
  tMultiInterconnectReserver reserver;
  nQoSim::failAllocation(1);
  tStatus2 name;
  reserver.setName("ai0", name);
  EXPECT_EQ(name.code, -50352);
  tStatus2 check;
  reserver.checkAllocation(check);
  EXPECT_EQ(check.code, -50352);

  // No room for the reservations: nothing is reserved.
  tMultiInterconnectReserver lines;
  prepare(lines, linesOf({3, 200}));
  nQoSim::failAllocation(1);
  tStatus2 status;
  lines.reserveResource(status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(loggedAt(-50352, 70));
  EXPECT_TRUE(callsOf(nQoSim::kReserve).empty());
}

}  // namespace
