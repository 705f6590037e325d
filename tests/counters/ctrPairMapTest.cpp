// The counter-pair map: flushes and soft copies, field checks and their
// sites, construction from the device tree and its failures, tear-down.
#include <gtest/gtest.h>

#include <vector>

#include "counters/counterFixture.h"
#include "counters/tCtrPair.h"
#include "sim/simSync.h"

namespace nQoTest {
namespace {

using nQoTIO100::tCtrPair;

class tCtrPairTest : public tCounterTest {
 protected:
  void SetUp() override {
    tCounterTest::SetUp();
    pair = new tCtrPair(0u, 256, &status);
    ASSERT_EQ(status.code, 0);
    clearLogs();
  }
  void TearDown() override {
    delete pair;
    tCounterTest::TearDown();
  }
  // Flushes every register by identifier, each on a status of its own.
  void flushAll(unsigned force) {
    for (uint32_t id = 0; id < 46; ++id) {
      nQoMDBG100::tStatus2 local;
      pair->registerObject(id)->flush(&local, force);
    }
  }

  tCtrPair* pair = nullptr;
};

// The writable registers in identifier order: board offset and width.
const std::vector<std::pair<uint32_t, unsigned>> kWritable{
    {0x188, 16}, {0x10C, 16}, {0x1B0, 16}, {0x1B0, 16}, {0x1B8, 16}, {0x148, 16}, {0x138, 32},
    {0x13C, 32}, {0x134, 16}, {0x1B4, 16}, {0x1C0, 16}, {0x190, 16}, {0x18A, 16}, {0x10E, 16},
    {0x1B2, 16}, {0x1B2, 16}, {0x1BA, 16}, {0x14A, 16}, {0x140, 32}, {0x144, 32}, {0x136, 16},
    {0x1B6, 16}, {0x1C2, 16}, {0x192, 16}, {0x196, 16}};
const uint32_t kWritableIds[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 24, 26};

TEST_F(tCtrPairTest, TheFirstFlushWritesEveryWritableRegisterOnceAndThenOnlyChanges) {
  std::vector<tAccess> zeros;
  for (const auto& [offset, width] : kWritable) zeros.push_back(boardWrote(offset, 0, width));
  flushAll(0);
  EXPECT_EQ(windows.log(), zeros);
  windows.clearLog();
  flushAll(0);
  EXPECT_TRUE(windows.log().empty());
  // A distinctive value per register shows a swapped or forgotten one.
  std::vector<tAccess> values;
  for (size_t k = 0; k < kWritable.size(); ++k) {
    const uint32_t value = 0x1100 + kWritableIds[k];
    pair->registerObject(kWritableIds[k])->setField(0, value, &status);
    values.push_back(boardWrote(kWritable[k].first, value, kWritable[k].second));
  }
  windows.clearLog();
  flushAll(0);
  EXPECT_EQ(windows.log(), values);
  windows.clearLog();
  flushAll(1);
  EXPECT_EQ(windows.log().size(), 25u);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCtrPairTest, FieldSetsMarkOnlyChangesAndKeepMasksDropStrobes) {
  pair->G0_Mode.flush(&status, 0);
  pair->G0_Mode.setField(2, 0, &status);
  EXPECT_EQ(pair->isDirty(8, &status), 0u);
  pair->G0_Mode.setField(2, 1, &status);
  EXPECT_EQ(pair->isDirty(8, &status), 1u);
  EXPECT_EQ(reportOf([&](auto* s) { pair->G0_Mode.setField(2, 2, s); }),
            "-50005 qotiok tCtrPair 1802");
  EXPECT_EQ(pair->G0_Mode.getRegister(), 0x0004);

  for (auto* target : {static_cast<tCtrPair::tRegister*>(&pair->G0_Command),
                       static_cast<tCtrPair::tRegister*>(&pair->G1_Command),
                       static_cast<tCtrPair::tRegister*>(&pair->G01_Joint_Reset)}) {
    target->setField(0, 0xFFFF, &status);
    target->flush(&status, 0);
  }
  EXPECT_EQ(pair->G0_Command.getRegister(), 0x5BE2);
  EXPECT_EQ(pair->G1_Command.getRegister(), 0x5BEA);
  EXPECT_EQ(pair->G01_Joint_Reset.getRegister(), 0xFFF3);

  pair->G0_AutoIncrement.setRegister(0x1234, &status);
  pair->G0_AutoIncrement.set(0x56, &status);
  EXPECT_EQ(pair->G0_AutoIncrement.getRegister(), 0x1256);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCtrPairTest, IdentifiersReachRegistersAndTheirFields) {
  pair->registerObject(0x08000001)->writeField(1, 1, &status, 0);  // G0_Command bit 0
  pair->registerObject(23)->writeField(5, 1, &status, 0);          // G0 acknowledge bit 14
  pair->registerObject(19)->writeField(1, 0x89ABCDEF, &status, 0);
  windows.setRead(boardWindow, 0x118, 32, 0x12345678);
  EXPECT_EQ(pair->G0_Save.readField(1, &status), 0x12345678u);
  windows.setRead(boardWindow, 0x104, 16, 0x0008);
  EXPECT_EQ(pair->registerObject(34)->readField(3, &status), 1u);
  EXPECT_EQ(windows.log(),
            (std::vector<tAccess>{boardWrote(0x10C, 0x0001), boardWrote(0x104, 0x4000),
                                  boardWrote(0x144, 0x89ABCDEF, 32),
                                  boardRead(0x118, 0x12345678, 32), boardRead(0x104, 0x0008)}));
  EXPECT_EQ(status.code, 0);
  // A read-only register's set changes its soft copy only.
  windows.clearLog();
  pair->G01_Status.setField(16, 1, &status);
  EXPECT_EQ(pair->G01_Status.getField(16, &status), 1u);
  EXPECT_TRUE(windows.log().empty());
  // A failed status turns a refresh into all ones.
  nQoMDBG100::tStatus2 failed;
  failed.code = -1;
  pair->G0_Status_1.refresh(&failed);
  EXPECT_EQ(pair->G0_Status_1.getField(0, &status), 0xFFFFu);
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tCtrPairTest, EveryRefusalReportsAtItsSite) {
  const struct {
    const char* what;
    void (*operation)(tCtrPair&, nQoMDBG100::tStatus2*);
    const char* report;
  } rows[] = {
      {"markDirty 46", [](tCtrPair& p, auto* s) { p.markDirty(46, s); },
       "-50003 qotiok tCtrPair 237"},
      {"flush read-only", [](tCtrPair& p, auto* s) { p.registerObject(27)->flush(s, 0); },
       "-50012 qotiok tCtrPair 20"},
      {"refresh writable", [](tCtrPair& p, auto* s) { p.registerObject(1)->refresh(s); },
       "-50009 qotiok tCtrPair 25"},
      {"set strobe", [](tCtrPair& p, auto* s) { p.registerObject(23)->setField(2, 1, s); },
       "-50012 qotiok tCtrPair 32"},
      {"write read-only",
       [](tCtrPair& p, auto* s) { p.registerObject(45)->writeField(2, 1, s, 0); },
       "-50012 qotiok tCtrPair 40"},
      {"get strobe", [](tCtrPair& p, auto* s) { p.registerObject(25)->getField(2, s); },
       "-50009 qotiok tCtrPair 46"},
      {"read strobe", [](tCtrPair& p, auto* s) { p.registerObject(25)->readField(2, s); },
       "-50009 qotiok tCtrPair 53"},
      {"mask 0 field", [](tCtrPair& p, auto* s) { p.G0_Second_Gate.setField(2, 0, s); },
       "-50003 qotiok tCtrPair 1980"},
      {"field beyond", [](tCtrPair& p, auto* s) { p.G0_Status_1.getField(6, s); },
       "-50003 qotiok tCtrPair 4482"},
      {"ack too wide", [](tCtrPair& p, auto* s) { p.Interrupt_G1_Ack.writeField(5, 2, s, 0); },
       "-50005 qotiok tCtrPair 3545"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(reportOf([&](auto* s) { row.operation(*pair, s); }), row.report);
  }
  nQoMDBG100::tStatus2 local;
  EXPECT_EQ(pair->G0_Status_1.getField(1, &local), 0xFFFFu);
  EXPECT_TRUE(windows.writes().empty());
}

TEST_F(tCtrPairTest, LockSetsTakeGroupsAscendingAndGiveThemBackDescending) {
  tCtrPair::tSelection selection;
  tCtrPair::makeSelection(selection, {3, 1, 0, 2});
  const tCtrPair::tSelection held = pair->lockSelectedGroups(selection, &status);
  EXPECT_EQ(held.bits, selection.bits);
  pair->unlockSelectedGroups(held, &status);
  EXPECT_EQ(lockOrder(3, [&](uint32_t id) { return pair->lockGroup(id)->lock(); }),
            (std::vector<int>{1, 3, -3, -1}));
  EXPECT_EQ(pair->G01_Joint_Reset.getLockGroup(), pair->lockGroup(3));
  EXPECT_EQ(pair->G1_Mode.getLockGroup(), pair->lockGroup(2));
  EXPECT_EQ(pair->G0_Load_A.getLockGroup(), nullptr);
}

TEST_F(tCounterTest, ConstructionFailuresStopAtTheirSitesAndLeaveNothing) {
  nQoSim::tSimDevice withoutBus(nullptr);
  nQoSim::tSimDeviceTable noBusTree({&withoutBus});
  const struct {
    const char* what;
    iDeviceTree* tree;
    uint32_t device;
    bool mappingArguments;
    const char* report;
  } rows[] = {
      {"no tree", nullptr, 0, false, "-50002 qotiok tCtrPair 342"},
      {"no device", &tree, 7, false, "-50002 qotiok tCtrPair 342"},
      {"no bus", &noBusTree, 0, false, "-50002 qotiok tCtrPair 342"},
      {"no tree, variant", nullptr, 0, true, "-50002 qotiok tCtrPair 368"},
      {"no bus, variant", &noBusTree, 0, true, "-50002 qotiok tCtrPair 368"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    nQoSim::setDeviceTree(row.tree);
    EXPECT_EQ(reportOf([&](auto* s) {
                if (row.mappingArguments)
                  tCtrPair(0 + row.device, 0, 0, 256, s);
                else
                  tCtrPair(row.device, 256, s);
              }),
              row.report);
  }
  EXPECT_EQ(reportOf([](auto* s) { tCtrPair(static_cast<iBus*>(nullptr), 256, s); }),
            "-50002 qotiok tCtrPair 330");
  nQoSim::setDeviceTree(&tree);
  bus.failMapMemory(0);
  EXPECT_EQ(reportOf([](auto* s) { tCtrPair(0u, 256, s); }),
            "-50352 qotiok tMemMappedAddressSpace 68");
  EXPECT_TRUE(windows.log().empty());
}

TEST_F(tCounterTest, DestructionUnmapsAnOwnedWindowReleasesTheBusOnceAndClosesGroupsDownward) {
  device.journalOn(&bus);
  const iSync* locks[3];
  {
    tCtrPair pair(0u, 1, 2, 256, &status);
    ASSERT_EQ(status.code, 0);
    for (uint32_t id = 1; id <= 3; ++id) locks[id - 1] = pair.lockGroup(id)->lock();
    EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kMapMemory, 1, 2, 256, 196}}));
    bus.clearCalls();
    nQoSim::clearSyncLog();
  }
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kUnmapMemory, 0, 0, 0, 0},
                                             {tCall::kReleaseBus, 0, 0, 0, 0}}));
  std::vector<const iSync*> closed;
  for (const auto& record : nQoSim::syncLog())
    if (record.operation == nQoSim::tSyncRecord::kClose) closed.push_back(record.object);
  EXPECT_EQ(closed, (std::vector<const iSync*>{locks[2], locks[1], locks[0]}));
  EXPECT_EQ(device.busesTaken(), 1u);
  // Over a given bus the map owns nothing to give back.
  bus.clearCalls();
  { tCtrPair over(&bus, 256, &status); }
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kWindowAddress, 4, 3, 256, 0}}));
  EXPECT_EQ(status.code, 0);
}

}  // namespace
}  // namespace nQoTest
