// The child-device GUID list over the device tree double, the done observers
// over an event double, and the abstract output timing-controller supervisor.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "device/tChildDeviceGUIDList.h"
#include "orb/tClassImplementation.h"
#include "sim/simDevices.h"
#include "sim/simStatusLog.h"
#include "sim/simStreams.h"
#include "sim/simSync.h"
#include "sim/tSimDeviceNode.h"
#include "sim/tSimListenerDeviceTree.h"
#include "sim/tSimNodeObserver.h"
#include "supervisors/tDoneAndStatusObserver.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"
#include "support/silentRefusals.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tChildDeviceGUIDList;

constexpr uint32_t kLum = 0x206C756D;
constexpr uint32_t kLumz = 0x6C756D7A;

// The last status record as "code file line".
std::string lastReport() {
  const auto log = nQoSim::statusLog();
  if (log.empty()) return "none";
  return std::to_string(log.back().code) + " " + log.back().file + " " +
         std::to_string(log.back().line);
}

// The last status record after building a list.
std::string reportOfBuilding(nQoSim::tSimDeviceNode& board) {
  nQoSim::clearStatusLog();
  {
    tStatus2 status;
    tChildDeviceGUIDList list(&board, status);
  }
  return lastReport();
}

// A GUID buffer: 8 bytes of header, then the GUID's 16 bytes.
std::vector<uint8_t> guidBuffer(uint8_t first) {
  std::vector<uint8_t> bytes(24, 0xEE);
  for (uint8_t n = 0; n < 16; ++n) bytes[8 + n] = static_cast<uint8_t>(first + n);
  return bytes;
}

// A child whose GUID read holds its arrival until the tree has no node
// listeners left, so the arrival is still running while a list goes away.
class tLateChild : public nQoSim::tSimDeviceNode {
 public:
  explicit tLateChild(nQoSim::tSimListenerDeviceTree& tree) : _tree(tree) {}
  const uint8_t* getBuffer(uint32_t attribute, uint32_t* size, int* status) override {
    reading = true;
    while (!_tree.nodeListeners().empty()) std::this_thread::yield();
    return tSimDeviceNode::getBuffer(attribute, size, status);
  }
  std::atomic<bool> reading{false};

 private:
  nQoSim::tSimListenerDeviceTree& _tree;
};

class tChildDevicesTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::setDeviceTree(&tree);
    child.setBuffer(tChildDeviceGUIDList::kGUIDAttribute, guidBuffer(1));
    other.setBuffer(tChildDeviceGUIDList::kGUIDAttribute, guidBuffer(0x40));
    tree.addNode(nullptr, &board, 0);
    tree.addNode(&board, &bridge, 0);
    tree.addNode(&bridge, &child, kLum);
    tree.addNode(nullptr, &other, kLumz);  // a child of another board
  }
  void TearDown() override {
    EXPECT_EQ(tree.liveNodeLists(), 0u);
    EXPECT_EQ(tree.liveIdLists(), 0u);
    EXPECT_EQ(child.liveBuffers(), 0);
    nQoSim::setDeviceTree(nullptr);
    tLeakCheckedTest::TearDown();
  }

  nQoSim::tSimListenerDeviceTree tree;
  nQoSim::tSimDeviceNode board, bridge, child, other, plain;
  tStatus2 status;
};

TEST_F(tChildDevicesTest, AChildArrivingBelowTheBoardIsCountedAndWritten) {
  {
    tChildDeviceGUIDList children(&board, status);
    ASSERT_EQ(status.code, 0);
    const auto records = tree.nodeListeners();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].kind, 32u);
    EXPECT_EQ(records[2].kind, 34u);
    EXPECT_EQ(records[0].query, records[2].query);
    EXPECT_NE(records[0].query, records[1].query);
    EXPECT_EQ(children.count(status), 0u);

    std::thread arrival([&] { tree.deliverNodeEvent(32, &child); });
    arrival.join();
    tree.deliverNodeEvent(32, &other);  // not below this board
    EXPECT_TRUE(children.childArrived(&plain, status)) << "neither class: nothing";
    ASSERT_EQ(children.count(status), 1u);
    nQoSim::tRecordingOutputStream out;
    children.writeAll(out, status);
    std::vector<uint8_t> expected(16);
    for (uint8_t n = 0; n < 16; ++n) expected[n] = static_cast<uint8_t>(1 + n);
    EXPECT_EQ(out.bytes(), expected);

    // Removing an absent GUID changes nothing; removing the child empties the list.
    tree.deliverNodeEvent(34, &other);
    EXPECT_EQ(children.count(status), 1u);
    tree.deliverNodeEvent(34, &child);
    EXPECT_EQ(children.count(status), 0u);
    nQoSim::tRecordingOutputStream none;
    children.writeAll(none, status);
    EXPECT_TRUE(none.bytes().empty());

    tStatus2 noBuffer;
    tree.addNode(&board, &plain, kLumz);
    EXPECT_FALSE(children.childArrived(&plain, noBuffer));
    EXPECT_EQ(noBuffer.code, -50104);
    EXPECT_EQ(status.code, 0);
  }
  EXPECT_TRUE(tree.nodeListeners().empty());
  EXPECT_EQ(tree.liveQueries(), 0u);
}

// A GUID that arrived twice leaves once per removal, its first entry first.
TEST_F(tChildDevicesTest, ARemovalTakesOnlyTheFirstEntryOfItsGUID) {
  plain.setBuffer(tChildDeviceGUIDList::kGUIDAttribute, guidBuffer(0x80));
  tree.addNode(&board, &plain, kLumz);
  tChildDeviceGUIDList children(&board, status);
  for (nQoSim::tSimDeviceNode* node : {&child, &plain, &child}) tree.deliverNodeEvent(32, node);
  ASSERT_EQ(children.count(status), 3u);
  tree.deliverNodeEvent(34, &child);
  ASSERT_EQ(children.count(status), 2u);
  nQoSim::tRecordingOutputStream out;
  children.writeAll(out, status);
  std::vector<uint8_t> expected;
  for (uint8_t first : {0x80, 0x01})
    for (uint8_t n = 0; n < 16; ++n) expected.push_back(static_cast<uint8_t>(first + n));
  EXPECT_EQ(out.bytes(), expected);
  tree.deliverNodeEvent(34, &child);
  EXPECT_EQ(children.count(status), 1u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tChildDevicesTest, AnArrivalUnderWayWhenTheListGoesFinishesBeforeTheLockCloses) {
  tLateChild late(tree);
  late.setBuffer(tChildDeviceGUIDList::kGUIDAttribute, guidBuffer(0x20));
  tree.addNode(&board, &late, kLumz);
  std::optional<tChildDeviceGUIDList> children;
  children.emplace(&board, status);
  ASSERT_EQ(status.code, 0);
  std::thread arrival([&] { tree.deliverNodeEvent(32, &late); });
  while (!late.reading) std::this_thread::yield();
  nQoSim::clearSyncLog();
  children.reset();
  arrival.join();

  // The arrival took and gave back the lock; only then was it closed.
  std::vector<nQoSim::tSyncRecord::tOperation> operations;
  for (const nQoSim::tSyncRecord& record : nQoSim::syncLog())
    operations.push_back(record.operation);
  EXPECT_EQ(operations, (std::vector<nQoSim::tSyncRecord::tOperation>{
                            nQoSim::tSyncRecord::kAcquire, nQoSim::tSyncRecord::kRelease,
                            nQoSim::tSyncRecord::kClose}));
  EXPECT_EQ(late.liveBuffers(), 0);
  EXPECT_TRUE(tree.nodeListeners().empty());
  EXPECT_EQ(tree.liveQueries(), 0u);
}

// A lock that refuses is reported, never given back, and the list is neither
// read nor changed without it; the next call takes the lock as usual.
TEST_F(tChildDevicesTest, ALockThatRefusesIsReportedAndTheListIsLeftAlone) {
  plain.setBuffer(tChildDeviceGUIDList::kGUIDAttribute, guidBuffer(0x80));
  tree.addNode(&board, &plain, kLumz);
  tChildDeviceGUIDList children(&board, status);
  ASSERT_TRUE(children.childArrived(&child, status));
  ASSERT_EQ(children.count(status), 1u);
  using tOp = nQoSim::tSyncRecord::tOperation;
  const auto operations = [] {
    std::vector<tOp> seen;
    for (const auto& record : nQoSim::syncLog()) seen.push_back(record.operation);
    return seen;
  };
  const auto refused = [&](auto call, int code) {
    SCOPED_TRACE(code);
    nQoSim::clearSyncLog();
    nQoSim::clearStatusLog();
    nQoSim::failNextAcquire(code);
    tStatus2 failed;
    call(failed);
    EXPECT_EQ(failed.code, code);
    EXPECT_EQ(lastReport(), std::to_string(code) + " tChildDeviceGUIDList 36");
    EXPECT_TRUE(operations().empty()) << "nothing taken, nothing given back";
  };
  refused([&](tStatus2& s) { EXPECT_FALSE(children.childArrived(&plain, s)); }, -50001);
  refused([&](tStatus2& s) { children.childRemoved(&child, s); }, -50007);
  refused([&](tStatus2& s) { EXPECT_EQ(children.count(s), 0u); }, -50008);

  // The arrival was not added and the removal took nothing out.
  nQoSim::clearSyncLog();
  EXPECT_EQ(children.count(status), 1u);
  EXPECT_EQ(operations(),
            (std::vector<tOp>{nQoSim::tSyncRecord::kAcquire, nQoSim::tSyncRecord::kRelease}));
  nQoSim::tRecordingOutputStream out;
  children.writeAll(out, status);
  const std::vector<uint8_t> first = guidBuffer(1);
  EXPECT_EQ(out.bytes(), std::vector<uint8_t>(first.begin() + 8, first.end()));
  EXPECT_EQ(status.code, 0);
}

// A lock that refuses with no error of its own (a warning, or no code at all)
// is a refusal all the same: kRefused at the site, nothing taken, added or
// taken out.
TEST_F(tChildDevicesTest, ALockThatRefusesWithoutAnErrorIsReportedAsRefused) {
  plain.setBuffer(tChildDeviceGUIDList::kGUIDAttribute, guidBuffer(0x80));
  tree.addNode(&board, &plain, kLumz);
  tChildDeviceGUIDList children(&board, status);
  ASSERT_TRUE(children.childArrived(&child, status));
  for (const nQoTest::tSilentRefusal& refusal : nQoTest::kSilentRefusals) {
    SCOPED_TRACE(refusal.name);
    nQoSim::clearSyncLog();
    nQoSim::clearStatusLog();
    refusal.arm();
    tStatus2 arrived;
    EXPECT_FALSE(children.childArrived(&plain, arrived));
    EXPECT_EQ(arrived.code, -50150);
    EXPECT_EQ(lastReport(), "-50150 tChildDeviceGUIDList 36");
    refusal.arm();
    tStatus2 removed;
    children.childRemoved(&child, removed);
    EXPECT_EQ(removed.code, -50150);
    EXPECT_TRUE(nQoSim::syncLog().empty()) << "nothing taken, nothing given back";
  }
  EXPECT_EQ(children.count(status), 1u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tChildDevicesTest, ConstructionFailuresStopAtTheirSites) {
  nQoSim::setDeviceTree(nullptr);
  EXPECT_EQ(reportOfBuilding(board), "-50150 tChildDeviceGUIDList 34");
  nQoSim::setDeviceTree(&tree);
  tree.failNextQuery(-50352);
  EXPECT_EQ(reportOfBuilding(board), "-50352 tChildDeviceGUIDList 45");
  EXPECT_EQ(tree.liveQueries(), 0u);
  EXPECT_TRUE(tree.nodeListeners().empty());
}

TEST_F(tChildDevicesTest, TheGUIDIsReadOnlyFromAWholeAttribute) {
  const nQoORB100::tGUID unchanged{0x1111, 0x2222};
  struct tCase {
    std::vector<uint8_t> bytes;  // empty: no attribute
    std::string report;
  };
  const std::vector<tCase> refused = {
      {{}, "-50104 tChildDeviceGUIDList 126"},
      {std::vector<uint8_t>(20, 0xAB), "-50104 tChildDeviceGUIDList 130"},
      {std::vector<uint8_t>(23, 0xAB), "-50104 tChildDeviceGUIDList 130"},
  };
  for (const tCase& row : refused) {
    SCOPED_TRACE(row.bytes.size());
    nQoSim::tSimDeviceNode node;
    if (!row.bytes.empty()) node.setBuffer(tChildDeviceGUIDList::kGUIDAttribute, row.bytes);
    nQoSim::clearStatusLog();
    nQoORB100::tGUID guid = unchanged;
    tStatus2 refusal;
    tChildDeviceGUIDList::getDeviceGUID(&node, guid, refusal);
    EXPECT_EQ(lastReport(), row.report);
    EXPECT_EQ(guid, unchanged);
    EXPECT_EQ(node.liveBuffers(), 0);
  }

  // Exactly 24 bytes: bytes 8-23, and the buffer is freed.
  nQoORB100::tGUID guid = unchanged;
  tChildDeviceGUIDList::getDeviceGUID(&child, guid, status);
  ASSERT_EQ(status.code, 0);
  nQoORB100::tGUID expected;
  const std::vector<uint8_t> bytes = guidBuffer(1);
  std::memcpy(&expected, bytes.data() + 8, 16);
  EXPECT_EQ(guid, expected);

  // No node; an earlier error takes no buffer.
  nQoSim::clearStatusLog();
  tStatus2 none;
  tChildDeviceGUIDList::getDeviceGUID(nullptr, guid, none);
  EXPECT_EQ(lastReport(), "-50004 tChildDeviceGUIDList 120");
  tStatus2 earlier;
  earlier.code = -7;
  guid = unchanged;
  tChildDeviceGUIDList::getDeviceGUID(&child, guid, earlier);
  EXPECT_EQ(earlier.code, -7);
  EXPECT_EQ(guid, unchanged);
}

TEST_F(tChildDevicesTest, AChildIsSearchedInBothClassListsBelowTheParent) {
  nQoSim::tSimDeviceNode second;
  tree.addNode(&bridge, &second, kLumz);
  tChildDeviceGUIDList children(&board, status);
  ASSERT_EQ(status.code, 0);
  EXPECT_TRUE(children.isChildDevice(&board, second.getId(), status)) << "second list only";
  EXPECT_TRUE(children.isChildDevice(&board, child.getId(), status));
  EXPECT_FALSE(children.isChildDevice(&board, other.getId(), status)) << "another board's";
  EXPECT_FALSE(children.isChildDevice(&bridge, board.getId(), status));
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(tree.liveIdLists(), 0u);

  tStatus2 earlier;
  earlier.code = -7;
  EXPECT_FALSE(children.isChildDevice(&board, child.getId(), earlier));
  EXPECT_EQ(earlier.code, -7);
  nQoSim::setDeviceTree(nullptr);
  nQoSim::clearStatusLog();
  tStatus2 noTree;
  EXPECT_FALSE(children.isChildDevice(&board, child.getId(), noTree));
  EXPECT_EQ(lastReport(), "-50004 tChildDeviceGUIDList 112");
  nQoSim::setDeviceTree(&tree);
}

TEST_F(tChildDevicesTest, ListenersAreNotifiedInOrderUntilOneFails) {
  std::vector<std::string> log;
  nQoSim::tSimNodeObserver first("first", log), second("second", log), third("third", log);
  tDeviceNodeListenerRecord records[] = {
      {32, 1, 0, 1, &first}, {34, 1, 0, 1, &second}, {32, 1, 0, 2, &third}};
  tDeviceNodeListenerRecord* vector[] = {&records[0], &records[1], &records[2]};
  tChildDeviceGUIDList::notifyListeners(vector, 3, &child, status);
  EXPECT_EQ(log, (std::vector<std::string>{"first arrived", "second removed", "third arrived"}));

  log.clear();
  second.failWith(-50104);
  tChildDeviceGUIDList::notifyListeners(vector, 3, &child, status);
  EXPECT_EQ(log, (std::vector<std::string>{"first arrived", "second removed"}));
  EXPECT_EQ(status.code, -50104);
  log.clear();
  tChildDeviceGUIDList::notifyListeners(vector, 3, &child, status);
  tChildDeviceGUIDList::notifyListeners(vector, 0, &child, status);
  EXPECT_TRUE(log.empty()) << "an earlier error notifies nobody";

  // The list's own records: each arrival is paired with a removal; a child
  // without a GUID stops the walk at the first record.
  tStatus2 own;
  tChildDeviceGUIDList children(&board, own);
  children.notifyListeners(&child, own);
  EXPECT_EQ(own.code, 0);
  EXPECT_EQ(children.count(own), 0u);
  tree.addNode(&board, &plain, kLumz);
  children.notifyListeners(&plain, own);
  EXPECT_EQ(own.code, -50104);
}

TEST(DoneObserverTest, AnErrorPostsTheStatusActionBeforeTheDoneAction) {
  nQoTest::tCallLog log;
  nQoTest::tScriptedEvent event(log, "event");
  nQoUdR100::tDoneAndStatusObserver observer(&event);
  tStatus2 done;
  done.setCode(-200016, "qoudrk", "test", 1);
  observer.notifyDone(done);
  tStatus2 fine;
  observer.notifyDone(fine);
  std::vector<std::string> operations;
  for (const auto& call : log.calls) operations.push_back(call.operation);
  EXPECT_EQ(operations, (std::vector<std::string>{"event.post 2 -200016", "event.post 1 -200016",
                                                  "event.post 1 0"}));

  // With status: a failed send reaches the out status; the plain observer
  // posts only the done action from notifyDone.
  log.calls.clear();
  event.answers["post 2 -200016"] = -7;
  tStatus2 out;
  nQoUdR100::tDoneObserver plain(&event);
  plain.notifyDoneWithStatus(done, out);
  EXPECT_EQ(out.code, -7);
  plain.notifyDone(done);
  EXPECT_EQ(log.calls.size(), 3u);
  EXPECT_EQ(log.calls.back().operation, "event.post 1 -200016");
}

TEST(AbstractSupervisorTest, TheRegistryRefusesToCreateTheOutputTimingSupervisor) {
  nQoTest::tLoadedModule module;
  int status = 0;
  nQoORB100::tObject* object = nQoORB100::tClassRegistry::createByName(
      "nQoUdR100::iOutputTimingControllerSupervisor", status);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(status, -88306);
}

}  // namespace
