// The routing-node builders: the node's settings and terminal groups in
// order, the subsystem masks, the shared routing-node table's count across
// failures, removal, and the claim pass-through.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/routingVariants.h"
#include "sim/simAllocator.h"
#include "sim/simRouting.h"
#include "sim/tSimDeviceNode.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoMRU210::iRoutableResource;
using nQoSim::tRoutingRecord;
using t37Pin = nNoRIVOUdSeries37Pin::tRoutingNodes;
using t68Pin = nRIVOUdSeries::tRoutingNodes;

struct tQuietRoutable : iRoutableResource {
  void route(uint32_t, uint32_t, tStatus2&) override {}
  void routeList(const nQoMRU210::tRouteList&, tStatus2&) override {}
  void apply(tStatus2&) override {}
};

uint64_t address(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

class RoutingNodeTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::resetRouting();
  }

  static std::vector<std::string> functions() {
    std::vector<std::string> names;
    for (const tRoutingRecord& record : nQoSim::routingLog()) names.push_back(record.function);
    return names;
  }
  static std::size_t callsOf(const std::string& function) {
    std::size_t count = 0;
    for (const tRoutingRecord& record : nQoSim::routingLog()) count += record.function == function;
    return count;
  }

  nQoTest::tLoadedModule module;
  nQoSim::tSimDeviceNode board;
  tQuietRoutable tavik, ai, ao, pll, counters;
  iRoutableResource* groups37[6] = {&tavik, &tavik, &ai, &ao, &pll, &counters};
  iRoutableResource* groups68[5] = {&tavik, &ai, &ao, &pll, &counters};
  const int owner = 0;
};

TEST_F(RoutingNodeTest, A37PinNodeGetsItsSettingsThenItsGroupsThenGoesToTheOwner) {
  const char* const names[] = {"AI", "AO", "CTR0", "CTR1", "TRIGBUS", nullptr};
  tStatus2 status;
  nQoMRU210::tRoutingDeviceNode* node =
      t37Pin::addRoutingDevice(&board, &owner, groups37, names, status);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(functions(),
            (std::vector<std::string>{
                "tRoutingDeviceNode", "setVersion", "setName", "setOwner", "setTerminalCount",
                "setSubsystemMask", "unpackRoutingNodeTable", "addTerminalGroup",
                "addTerminalGroup", "addTerminalGroup", "addTerminalGroup", "addTerminalGroup",
                "addTerminalGroup", "addRoutingDeviceNode"}));
  const auto log = nQoSim::routingLog();
  EXPECT_EQ(log[1].words, std::vector<uint64_t>{0x01004012});
  EXPECT_EQ(log[2].text, "nNoRIVOUdSeries37Pin::tTopography");
  EXPECT_EQ(log[3].words, std::vector<uint64_t>{address(&board)});
  EXPECT_EQ(log[4].words, std::vector<uint64_t>{193});
  EXPECT_EQ(log[5].words, std::vector<uint64_t>{15});
  const uint8_t* table = static_cast<const uint8_t*>(t37Pin::record()->table());
  const struct {
    const void* routable;
    uint32_t offset, count;
  } expected[] = {{&tavik, 0, 10}, {&tavik, 360, 70}, {&ai, 2880, 15},
                  {&ao, 3420, 8},  {&pll, 3708, 2},   {&counters, 3780, 20}};
  for (uint32_t g = 0; g < 6; ++g) {
    SCOPED_TRACE(g);
    EXPECT_EQ(log[7 + g].object, node);
    EXPECT_EQ(log[7 + g].words, (std::vector<uint64_t>{g, address(expected[g].routable),
                                                       address(table + expected[g].offset),
                                                       expected[g].count, 0, 0}));
  }
  EXPECT_EQ(log[13].object, &owner);
  EXPECT_EQ(log[13].words, std::vector<uint64_t>{address(node)});
  EXPECT_EQ(nQoSim::routingNodeOf(&owner), node);
  EXPECT_EQ(t37Pin::record()->count(), 1u);

  t37Pin::removeRoutingDevice(&owner, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(nQoSim::routingNodeOf(&owner), nullptr);
  EXPECT_EQ(callsOf("~tRoutingDeviceNode"), 1u);
  EXPECT_EQ(callsOf("freeRoutingNodeTable"), 1u);
  EXPECT_EQ(t37Pin::record()->count(), 0u);
  t37Pin::removeRoutingDevice(&owner, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(callsOf("freeRoutingNodeTable"), 1u);
}

TEST_F(RoutingNodeTest, SubsystemMasksFollowTheConnectorAndTheTwinSetsEveryBit) {
  const char* const trigbus[] = {"TRIGBUS", nullptr};
  const char* const counter[] = {"CTR0", nullptr};
  const char* const mixed[] = {"CTR0", "PFI8_15", "APFI1", "ctr1", nullptr};
  const char* const none[] = {nullptr};
  EXPECT_EQ(t68Pin::subsystemMask(mixed), 168u);
  EXPECT_EQ(t37Pin::subsystemMask(mixed), 4u);
  EXPECT_EQ(t37Pin::subsystemMask(counter), 4u);
  EXPECT_EQ(t68Pin::subsystemMask(counter), 32u);
  EXPECT_EQ(t68Pin::subsystemMask(trigbus), 0u);
  EXPECT_EQ(t68Pin::subsystemMask(none), 0u);

  tStatus2 status;
  nQoMRU210::tRoutingDeviceNode* node =
      t68Pin::addRoutingDeviceForAllSubsystems(&board, &owner, groups68, status);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->subsystemMask(), 0xFFFFFFFFu);
  EXPECT_EQ(node->terminalCount(), 182u);
  EXPECT_EQ(node->group(4).entryCount, 20u);
  EXPECT_EQ(node->group(4).routable, &counters);
  t68Pin::removeRoutingDevice(&owner, status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(RoutingNodeTest, AFailureAfterTheAcquireFreesTheNodeAndGivesTheTableBack) {
  const char* const names[] = {"AI", nullptr};
  // Calls: the node, five setters, the unpack, six groups, the hand-over.
  for (unsigned nth : {14u, 9u}) {
    SCOPED_TRACE(nth);
    nQoSim::resetRouting();
    nQoSim::failRoutingCall(nth, -50103);
    tStatus2 status;
    EXPECT_EQ(t37Pin::addRoutingDevice(&board, &owner, groups37, names, status), nullptr);
    EXPECT_EQ(status.code, -50103);
    EXPECT_EQ(callsOf("~tRoutingDeviceNode"), 1u);
    EXPECT_EQ(callsOf("unpackRoutingNodeTable"), 1u);
    EXPECT_EQ(callsOf("freeRoutingNodeTable"), 1u);
    EXPECT_EQ(t37Pin::record()->count(), 0u);
    EXPECT_EQ(nQoSim::routingNodeOf(&owner), nullptr);
  }

  // A failed unpack counts nothing, so nothing is given back either.
  nQoSim::resetRouting();
  nQoSim::failRoutingCall(7, -50103);
  tStatus2 unpacked;
  EXPECT_EQ(t37Pin::addRoutingDevice(&board, &owner, groups37, names, unpacked), nullptr);
  EXPECT_EQ(unpacked.code, -50103);
  EXPECT_EQ(t37Pin::record()->count(), 0u);
  EXPECT_EQ(callsOf("freeRoutingNodeTable"), 0u);
  EXPECT_EQ(callsOf("addTerminalGroup"), 0u);
  EXPECT_EQ(callsOf("~tRoutingDeviceNode"), 1u);

  // A setter that fails stops before the acquire: nothing to give back.
  nQoSim::resetRouting();
  nQoSim::failRoutingCall(3, -50103);
  tStatus2 early;
  EXPECT_EQ(t37Pin::addRoutingDevice(&board, &owner, groups37, names, early), nullptr);
  EXPECT_EQ(early.code, -50103);
  EXPECT_EQ(callsOf("unpackRoutingNodeTable"), 0u);
  EXPECT_EQ(callsOf("~tRoutingDeviceNode"), 1u);
  EXPECT_EQ(nQoSim::liveRoutingTables(), 0);
}

TEST_F(RoutingNodeTest, AFailedNodeAllocationIsReportedAndTouchesNothing) {
  const char* const names[] = {"AI", nullptr};
  tStatus2 status;
  nQoSim::failAllocation(1);
  EXPECT_EQ(t68Pin::addRoutingDevice(&board, &owner, groups68, names, status), nullptr);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tRoutingNodeModule", 110));
  EXPECT_TRUE(nQoSim::routingLog().empty());

  tStatus2 failed(-7);
  EXPECT_EQ(t68Pin::addRoutingDevice(&board, &owner, groups68, names, failed), nullptr);
  EXPECT_EQ(failed.code, -7);
  EXPECT_TRUE(nQoSim::routingLog().empty());
}

TEST_F(RoutingNodeTest, ASecondNodeForTheOwnerIsRefusedAndTheFirstKeepsItsTable) {
  const char* const names[] = {"AI", nullptr};
  tStatus2 status, second;
  nQoMRU210::tRoutingDeviceNode* first =
      t68Pin::addRoutingDevice(&board, &owner, groups68, names, status);
  EXPECT_EQ(t68Pin::addRoutingDevice(&board, &owner, groups68, names, second), nullptr);
  EXPECT_EQ(second.code, -50150);
  EXPECT_EQ(nQoSim::routingNodeOf(&owner), first);
  EXPECT_EQ(t68Pin::record()->count(), 1u);
  EXPECT_EQ(callsOf("unpackRoutingNodeTable"), 1u);
  t68Pin::removeRoutingDevice(&owner, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(nQoSim::liveRoutingTables(), 0);
}

TEST_F(RoutingNodeTest, UnclaimAndClaimPassTheirWordsToTheTwoForwards) {
  tStatus2 status;
  t37Pin::unclaim(&owner, status);
  t37Pin::claim(&owner, status);
  const auto log = nQoSim::routingLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].function, "routableRegistrarForwardA");
  EXPECT_EQ(log[1].function, "routableRegistrarForwardB");
  EXPECT_EQ(log[0].object, &owner);
  EXPECT_EQ(log[1].object, &owner);
}

}  // namespace
