// The child-device GUID list over the device tree double, the done observers
// over an event double, and the abstract output timing-controller supervisor.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "device/tChildDeviceGUIDList.h"
#include "orb/tClassImplementation.h"
#include "sim/simDevices.h"
#include "sim/simStatusLog.h"
#include "sim/simStreams.h"
#include "sim/tSimDeviceNode.h"
#include "sim/tSimListenerDeviceTree.h"
#include "supervisors/tDoneAndStatusObserver.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tChildDeviceGUIDList;

constexpr uint32_t kLum = 0x206C756D;
constexpr uint32_t kLumz = 0x6C756D7A;

// The last status record as "code file line" after building a list.
std::string reportOfBuilding(nQoSim::tSimDeviceNode& board) {
  nQoSim::clearStatusLog();
  {
    tStatus2 status;
    tChildDeviceGUIDList list(&board, status);
  }
  const auto log = nQoSim::statusLog();
  if (log.empty()) return "none";
  return std::to_string(log.back().code) + " " + log.back().file + " " +
         std::to_string(log.back().line);
}

// A GUID buffer: 8 bytes of header, then the GUID's 16 bytes.
std::vector<uint8_t> guidBuffer(uint8_t first) {
  std::vector<uint8_t> bytes(24, 0xEE);
  for (uint8_t n = 0; n < 16; ++n) bytes[8 + n] = static_cast<uint8_t>(first + n);
  return bytes;
}

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

TEST_F(tChildDevicesTest, ConstructionFailuresStopAtTheirSites) {
  nQoSim::setDeviceTree(nullptr);
  EXPECT_EQ(reportOfBuilding(board), "-50150 tChildDeviceGUIDList 34");
  nQoSim::setDeviceTree(&tree);
  tree.failNextQuery(-50352);
  EXPECT_EQ(reportOfBuilding(board), "-50352 tChildDeviceGUIDList 45");
  EXPECT_EQ(tree.liveQueries(), 0u);
  EXPECT_TRUE(tree.nodeListeners().empty());
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
