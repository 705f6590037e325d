// The board's routables and registrars: route identifiers checked before any
// lock or access, the protected registers until commit, the lock order of a
// list, the 37-pin wrapper's dropped zeros, the PLL routable's pending
// values, and the six registrars created by name and laying out their groups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/routableChoice.h"
#include "device/tPLLRoutable.h"
#include "device/tRoutableRegistrar.h"
#include "device/tTavikRoutable.h"
#include "orb/tClassImplementation.h"
#include "registers/registerId.h"
#include "sim/simAllocator.h"
#include "sim/simRouting.h"
#include "sim/tSimDeviceNode.h"
#include "support/statusRecords.h"
#include "tavik/tavikFixture.h"

namespace {

using namespace nQoTest;
using nQoMDBG100::tStatus2;
using nQoMRU210::tRoute;
using nQoUdR100::tTavikRoutable;
using nQoUdR100::tTavikWrapperFor37PinUdSeriesRoutable;
using nQoUdRLP100::makeRegisterId;

constexpr const char kTavik[] = "qomiorlp/tavik/tTavik";

tAccess wrote32(uint32_t offset, uint32_t value) { return wrote(offset, value, 32); }

class RoutablesTest : public tTavikMapTest {
 protected:
  void clearLogs() {
    windows.clearLog();
    nQoSim::clearSyncLog();
    nQoSim::clearStatusLog();
  }
  // Writes since the logs were cleared.
  std::vector<tAccess> writes() const { return windows.writes(); }
  static void routeList(nQoUdR100::iTavikRoutable& routable, const std::vector<tRoute>& pairs,
                        tStatus2& status) {
    routable.routeList({pairs.data(), pairs.data() + pairs.size()}, status);
  }
};

TEST_F(RoutablesTest, IdentifiersWithoutARegisterAreRefusedBeforeAnyLockOrAccess) {
  tTavikRoutable routable(map);
  ASSERT_EQ(routable.commit(status), 0);
  const struct {
    bool list;
    std::vector<tRoute> pairs;
    unsigned line;
  } cases[] = {
      {false, {{0xAE, 1}}, 190},                   // register 174
      {false, {{makeRegisterId(0, 0), 1}}, 437},   // AI_Command_1: no field-addressable object
      {true, {{0x10000057, 16}, {0xAE, 1}}, 318},  // a good pair first: still nothing written
      {true, {{0x08000031, 5}, {makeRegisterId(8, 1), 1}}, 437},  // Read_0184
      {true, {{0x1FFFFFF, 0}}, 318},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    clearLogs();
    tStatus2 refused;
    if (c.list)
      routeList(routable, c.pairs, refused);
    else
      routable.route(c.pairs[0].fieldId, c.pairs[0].value, refused);
    EXPECT_EQ(refused.code, -50003);
    EXPECT_TRUE(loggedAt(-50003, kTavik, c.line));
    EXPECT_TRUE(windows.log().empty());
    EXPECT_TRUE(nQoSim::syncLog().empty());
  }

  // A status that holds an error leaves every request untouched.
  clearLogs();
  tStatus2 failed(-7);
  routable.route(0x08000031, 5, failed);
  routeList(routable, {{0x08000031, 5}, {0xAE, 1}}, failed);
  EXPECT_EQ(failed.code, -7);
  EXPECT_TRUE(windows.log().empty());
  EXPECT_TRUE(nQoSim::statusLog().empty());
}

TEST_F(RoutablesTest, ProtectedRegistersAreLeftAloneUntilTheFirstCleanCommit) {
  tTavikRoutable routable(map);
  clearLogs();
  routable.route(0x10000057, 16, status);  // PFI_Output_Select_1, field 2
  routable.route(0x04000043, 1, status);   // DIO_Direction, bit 31
  routable.route(0x4000002C, 1, status);   // IO_Bidirection_Pin, bit 7
  EXPECT_TRUE(writes().empty());
  routable.route(0x08000031, 5, status);  // RIVO_Trig_A_Output, field 1
  EXPECT_EQ(writes(), std::vector<tAccess>{wrote(0x19E, 0x0005)});
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{12, -12}));
  EXPECT_EQ(status.code, 0);

  tStatus2 failed(-7);
  EXPECT_EQ(routable.commit(failed), -7);
  routable.route(0x10000057, 16, status);
  EXPECT_EQ(writes().size(), 1u);

  EXPECT_EQ(routable.commit(status), 0);
  clearLogs();
  routable.route(0x10000057, 16, status);
  routable.route(0x04000043, 1, status);
  EXPECT_EQ(writes(), (std::vector<tAccess>{wrote(0x1D0, 0x0200), wrote32(0x028, 0x80000000)}));
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{14, -14, 8, -8}));
  EXPECT_EQ(status.code, 0);
}

// The protected registers are exactly the DIO direction, the bidirection pins
// and the six PFI output selects.
TEST_F(RoutablesTest, EveryProtectedRegisterWaitsForTheCommitAndNoOtherDoes) {
  tTavikRoutable routable(map);
  std::vector<tRoute> routes{{0x04000043, 1}, {0x4000002C, 1}};
  std::vector<tAccess> expected{wrote32(0x028, 0x80000000), wrote(0x172, 0x0080)};
  for (uint32_t k = 0; k < 6; ++k) {
    routes.push_back({makeRegisterId(87 + k, 1), 16});
    expected.push_back(wrote(0x1D0 + 2 * k, 0x0010));
  }
  clearLogs();
  for (const tRoute& pair : routes) routable.route(pair.fieldId, pair.value, status);
  routable.route(0x08000031, 5, status);
  EXPECT_EQ(writes(), std::vector<tAccess>{wrote(0x19E, 0x0005)});
  routable.commit(status);
  clearLogs();
  for (const tRoute& pair : routes) routable.route(pair.fieldId, pair.value, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(writes(), expected);
}

TEST_F(RoutablesTest, AListLocksEveryGroupAscendingAndWritesInListOrder) {
  tTavikRoutable routable(map);
  // Before commit a protected pair is skipped, but its group is still taken.
  clearLogs();
  routeList(routable, {{0x10000057, 16}, {0x08000031, 5}}, status);
  EXPECT_EQ(writes(), std::vector<tAccess>{wrote(0x19E, 0x0005)});
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{12, 14, -14, -12}));

  routable.commit(status);
  clearLogs();
  routeList(routable, {{0x10000057, 16}, {0x04000043, 1}, {0x08000031, 3}}, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(writes(), (std::vector<tAccess>{wrote(0x1D0, 0x0200), wrote32(0x028, 0x80000000),
                                            wrote(0x19E, 0x0003)}));
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{8, 12, 14, -14, -12, -8}));

  // A value too wide for its field stops the writes after it; every group
  // taken is given back.
  clearLogs();
  tStatus2 wide;
  routeList(routable, {{0x08000031, 7}, {0x08000031, 16}, {0x10000057, 1}}, wide);
  EXPECT_EQ(wide.code, -50005);
  EXPECT_EQ(writes(), std::vector<tAccess>{wrote(0x19E, 0x0007)});
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{12, 14, -14, -12}));
}

TEST_F(RoutablesTest, The37PinWrapperDropsOnlyAZeroToTheDirectionBits) {
  tTavikWrapperFor37PinUdSeriesRoutable wrapper(map);
  tTavikRoutable plain(map);
  wrapper.commit(status);
  plain.commit(status);
  clearLogs();
  wrapper.route(0x4000002C, 1, status);
  wrapper.route(0x4000002C, 0, status);
  for (uint32_t id : {0x3800002Cu, 0x4800002Cu, 0x5000002Cu}) wrapper.route(id, 0, status);
  EXPECT_EQ(writes(), std::vector<tAccess>{wrote(0x172, 0x0080)});
  wrapper.route(0x5800002C, 1, status);  // field 11 (bit 10) is not a dropped bit
  wrapper.route(0x5800002C, 0, status);
  EXPECT_EQ(writes().size(), 3u);
  plain.route(0x4000002C, 0, status);
  EXPECT_EQ(writes().back(), wrote(0x172, 0x0000));

  // A list routes pair by pair, each under its own lock, and stops at a
  // refused pair.
  clearLogs();
  tStatus2 listed;
  const tRoute pairs[] = {
      {0x4000002C, 1}, {0x4000002C, 0}, {0x08000031, 2}, {0xAE, 1}, {0x08000031, 4}};
  wrapper.routeList({pairs, pairs + 5}, listed);
  EXPECT_EQ(listed.code, -50003);
  EXPECT_TRUE(loggedAt(-50003, kTavik, 190));
  EXPECT_EQ(writes(), (std::vector<tAccess>{wrote(0x172, 0x0080), wrote(0x19E, 0x0002)}));
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{14, -14, 12, -12}));
}

TEST_F(RoutablesTest, The37PinWrapperPassesAZeroToTheBitsBesideTheDirectionBits) {
  tTavikWrapperFor37PinUdSeriesRoutable wrapper(map);
  wrapper.commit(status);
  clearLogs();
  for (uint32_t field : {6u, 11u}) {
    wrapper.route(makeRegisterId(44, field), 1, status);
    wrapper.route(makeRegisterId(44, field), 0, status);
  }
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(writes(), (std::vector<tAccess>{wrote(0x172, 0x0020), wrote(0x172, 0x0000),
                                            wrote(0x172, 0x0400), wrote(0x172, 0x0000)}));
}

// A group lock that refuses is reported, never given back, and nothing is
// written without it; a list gives back only the groups it took, and the
// 37-pin wrapper stops at the refused pair. The next route locks as usual.
TEST_F(RoutablesTest, AGroupLockThatRefusesIsReportedNotGivenBackAndNothingIsWritten) {
  tTavikRoutable routable(map);
  tTavikWrapperFor37PinUdSeriesRoutable wrapper(map);
  routable.commit(status);
  wrapper.commit(status);

  clearLogs();
  tStatus2 single;
  nQoSim::failNextAcquire(-50001);
  routable.route(0x08000031, 5, single);  // RIVO_Trig_A_Output, group 12
  EXPECT_EQ(single.code, -50001);
  EXPECT_TRUE(writes().empty());
  EXPECT_TRUE(lockOrder(*map).empty());

  clearLogs();
  tStatus2 listed;
  nQoSim::failNextAcquire(-50007);
  routeList(routable, {{0x10000057, 16}, {0x04000043, 1}, {0x08000031, 3}}, listed);
  EXPECT_EQ(listed.code, -50007);
  EXPECT_TRUE(writes().empty());
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{12, 14, -14, -12}));  // group 8 refused

  clearLogs();
  tStatus2 pairwise;
  const tRoute pairs[] = {{0x4000002C, 1}, {0x08000031, 2}, {0x08000031, 4}};
  wrapper.route(pairs[0].fieldId, pairs[0].value, pairwise);
  nQoSim::failNextAcquire(-50008);
  wrapper.routeList({pairs + 1, pairs + 3}, pairwise);
  EXPECT_EQ(pairwise.code, -50008);
  EXPECT_EQ(writes(), std::vector<tAccess>{wrote(0x172, 0x0080)});
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{14, -14}));

  clearLogs();
  routable.route(0x08000031, 5, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(writes(), std::vector<tAccess>{wrote(0x19E, 0x0005)});
  EXPECT_EQ(lockOrder(*map), (std::vector<int>{12, -12}));
}

struct tCountingPLL : nQoUdP100::tBasePLLPrimitive {
  void commit(tStatus2& status) override {
    ++commits;
    committed = _fields.program();
    status.setCode(commitCode, "test", "tCountingPLL", 1);
  }
  bool isAvailable() override { return true; }
  int commits = 0;
  nQoUdP100::tPLLFields committed;
  int commitCode = 0;
};

TEST(PLLRoutableTest, PendingValuesReachThePLLAtApplyAndOnlyTheReferenceCommits) {
  tCountingPLL pll;
  nQoUdR100::tPLLRoutable routable(&pll);
  tStatus2 status;
  routable.route(1, 0x34, status);
  routable.route(3, 9, status);
  routable.apply(status);
  EXPECT_EQ(pll.commits, 0);
  pll.commit(status);
  EXPECT_EQ(pll.committed.multiplier, 0x34u);
  EXPECT_EQ(pll.committed.divider, 0u);
  EXPECT_EQ(pll.committed.referenceSource, 0u);

  const tRoute pairs[] = {{2, 5}, {0, 8}, {1, 0x35}};
  routable.routeList({pairs, pairs + 3}, status);
  tStatus2 failed(-7);
  routable.apply(failed);
  EXPECT_EQ(pll.commits, 1);
  routable.apply(status);
  EXPECT_EQ(pll.commits, 2);
  EXPECT_EQ(pll.committed.multiplier, 0x35u);
  EXPECT_EQ(pll.committed.divider, 5u);
  EXPECT_EQ(pll.committed.referenceSource, 8u);

  // Applied values are no longer pending; the PLL's code reaches the caller.
  pll.deploy({.multiplier = 1});
  routable.apply(status);
  EXPECT_EQ(pll.commits, 2);
  pll.commit(status);
  EXPECT_EQ(pll.committed.multiplier, 1u);
  EXPECT_EQ(pll.committed.referenceSource, 0u);
  pll.commitCode = -200245;
  routable.route(0, 0, status);
  routable.apply(status);
  EXPECT_EQ(status.code, -200245);
  EXPECT_EQ(pll.commits, 4);
}

struct tQuiet : nQoMRU210::iRoutableResource {
  void route(uint32_t, uint32_t, tStatus2&) override { ++routes; }
  int routes = 0;
  void routeList(const nQoMRU210::tRouteList&, tStatus2&) override {}
  void apply(tStatus2&) override {}
};

class RegistrarTest : public tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::resetRouting();
  }

  nQoTest::tLoadedModule module;
  nQoSim::tSimDeviceNode board;
  tQuiet tavik, ai, ao, pll, counters;
  const int owner = 0;
};

TEST_F(RegistrarTest, EachVariantIsMadeByNameAndLaysOutItsGroups) {
  const std::vector<const void*> pins37{&tavik, &tavik, &ai, &ao, &pll, &counters};
  const std::vector<const void*> pins68{&tavik, &ai, &ao, &pll, &counters};
  const struct {
    const char* name;
    bool pins37;
  } variants[] = {
      {"nQoUdR100::tNoRIVO37PinRoutableRegistrar", true},
      {"nQoUdR100::tNoRIVORoutableRegistrar", false},
      {"nQoUdR100::tPXI37PinRoutableRegistrar", true},
      {"nQoUdR100::tPXIRoutableRegistrar", false},
      {"nQoUdR100::tRIVO37PinRoutableRegistrar", true},
      {"nQoUdR100::tRIVORoutableRegistrar", false},
  };
  const char* const names[] = {"AI", "CTR0", nullptr};
  for (const auto& variant : variants) {
    SCOPED_TRACE(variant.name);
    tStatus2 status;
    nQoUdR100::iUdSeriesRoutableRegistrar* registrar =
        nQoUdR100::newRoutableRegistrar(variant.name, status);
    ASSERT_NE(registrar, nullptr);
    int classStatus = 0;
    EXPECT_STREQ(registrar->getClass(classStatus).getName(), variant.name);
    EXPECT_EQ(nQoUdR100::uses37PinWrapper(variant.name), variant.pins37);

    // The routing library may route through the node while it is being added.
    nQoSim::onRoutingNodeAdded([](nQoMRU210::tRoutingDeviceNode* added) {
      tStatus2 routed;
      added->group(0).routable->route(0x08000031, 5, routed);
    });
    registrar->addRoutingDevice(&owner, &board, &tavik, nullptr, &ai, &ao, &pll, &counters, names,
                                status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(tavik.routes, 1);
    tavik.routes = 0;
    const nQoMRU210::tRoutingDeviceNode* node = nQoSim::routingNodeOf(&owner);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->owner(), &board);
    EXPECT_EQ(node->subsystemMask(), variant.pins37 ? 5u : 33u);
    std::vector<const void*> groups;
    for (uint32_t g = 0; g < nQoMRU210::tRoutingDeviceNode::kMaxGroups; ++g)
      if (node->group(g).entries != nullptr) groups.push_back(node->group(g).routable);
    EXPECT_EQ(groups, variant.pins37 ? pins37 : pins68);

    nQoSim::resetRouting();
    registrar->claim(&owner, status);
    registrar->unclaim(&owner, status);
    registrar->removeRoutingDevice(&owner, status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(nQoSim::routingNodeOf(&owner), nullptr);
    const auto log = nQoSim::routingLog();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0].function, "routableRegistrarForwardB");
    EXPECT_EQ(log[1].function, "routableRegistrarForwardA");
    EXPECT_EQ(log[2].function, "removeRoutingDeviceNode");
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(log[i].object, &owner);

    nQoUdR100::deleteRoutableRegistrar(registrar, status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(variant.name), 0);
  }
  EXPECT_EQ(nQoSim::liveRoutingTables(), 0);
}

TEST_F(RegistrarTest, ANameThatMakesNoRegistrarIsACastFailureAndLeavesNothing) {
  for (const char* name :
       {"nQoUdR100::tPCI37PinRoutableRegistrar", "nQoUdR100::iUdSeriesRoutableRegistrar",
        "nQoUdR100::tMIO_GUIDIdentifier"}) {
    SCOPED_TRACE(name);
    tStatus2 status;
    EXPECT_EQ(nQoUdR100::newRoutableRegistrar(name, status), nullptr);
    EXPECT_EQ(status.code, -89000);
    EXPECT_TRUE(loggedAt(-89000, "iUdSeriesRoutableRegistrar", 50));
    EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(name), 0);
  }
  // The 37-pin names of variants without a registrar of their own still
  // choose the wrapper.
  EXPECT_TRUE(nQoUdR100::uses37PinWrapper("nQoUdR100::tPCI37PinRoutableRegistrar"));
  EXPECT_TRUE(nQoUdR100::uses37PinWrapper("nQoUdR100::tNoRIVOPCI37PinRoutableRegistrar"));
  EXPECT_FALSE(nQoUdR100::uses37PinWrapper("nQoUdR100::tPCIRoutableRegistrar"));
  EXPECT_FALSE(nQoUdR100::uses37PinWrapper(nullptr));

  // A registrar that cannot be allocated is out of memory, not a cast failure.
  tStatus2 unallocated;
  nQoSim::failAllocation(1);
  EXPECT_EQ(nQoUdR100::newRoutableRegistrar("nQoUdR100::tRIVORoutableRegistrar", unallocated),
            nullptr);
  EXPECT_EQ(unallocated.code, -50352);
  EXPECT_TRUE(loggedAt(-50352, "iUdSeriesRoutableRegistrar", 40));

  tStatus2 failed(-7);
  EXPECT_EQ(nQoUdR100::newRoutableRegistrar("nQoUdR100::tRIVORoutableRegistrar", failed), nullptr);
  EXPECT_EQ(failed.code, -7);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances("nQoUdR100::tRIVORoutableRegistrar"), 0);
}

}  // namespace
