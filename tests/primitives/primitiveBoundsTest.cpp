// Primitive bounds on the value that sits exactly on them: a power-up write of
// as many entries as there are ports, PFI reservations of the last line a
// reserver covers and of the first one past it, and a finite digital output
// whose remaining samples make exactly one chunk.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "primitives/cdio/tBaseCDOInterruptTransferPrimitive.h"
#include "primitives/cdioFixture.h"
#include "primitives/cdioPartners.h"
#include "primitives/dio/tTavikPFIDigReserver.h"
#include "primitives/dio/tTavikProgPowerupPrimitive.h"
#include "primitives/eeprom/tPralEEPROMContentMap.h"
#include "sim/simStatusLog.h"
#include "sim/simTerminalReservation.h"
#include "support/memoryEEPROM.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoSDR000::tPowerupEntry;

// Fields 0-4 per index: 4-byte fields at index 0, one byte elsewhere.
constexpr nQoUdP100::tIndexedFieldRow kRows[] = {
    {{{0x00, 4}, {0x04, 4}, {0x08, 4}, {0x0C, 1}, {0x0D, 1}}},
    {{{0x10, 1}, {0x11, 1}, {0x12, 1}, {0x13, 1}, {0x14, 1}}},
    {{{0x18, 1}, {0x19, 1}, {0x1A, 1}, {0x1B, 1}, {0x1C, 1}}}};

class tBoundsContentMap : public nQoUdP100::tPralEEPROMContentMap {
 public:
  tBoundsContentMap() : tPralEEPROMContentMap(4, kRows, 3) {}
};

TEST(PrimitiveBoundsTest, APowerupWriteOfExactlyThePortCountIsTakenAndOneMoreRefused) {
  const struct {
    uint32_t ports;
    uint32_t count;
    int code;
  } rows[] = {{3, 3, 0}, {3, 4, -50150}, {2, 2, 0}, {2, 3, -50150}, {1, 1, 0}, {1, 2, -50150}};
  for (const auto& row : rows) {
    SCOPED_TRACE("ports " + std::to_string(row.ports) + " count " + std::to_string(row.count));
    tMemoryEEPROM device{1024, 0xFF};
    tBoundsContentMap contentMap;
    nQoUdP100::tEEPROM eeprom{&contentMap, &device};
    tStatus2 made;
    nQoUdR100::tTavikProgPowerupPrimitive powerup(&eeprom, {0, {16, 8, 8}}, row.ports, made);
    ASSERT_EQ(made.code, 0);
    device.shadowWrites.clear();
    const int commits = device.commits;
    const tPowerupEntry entries[4] = {
        {1, 0x00A5, 0x0C3C}, {1, 0x5A, 0x66}, {1, 0x0F, 0x99}, {1, 0x11, 0x22}};
    tStatus2 written;
    powerup.writePowerupStates(entries, row.count, written);
    EXPECT_EQ(written.code, row.code);
    // Two fields per port written, or nothing at all.
    EXPECT_EQ(device.shadowWrites.size(), row.code == 0 ? 2 * row.count : 0u);
    EXPECT_EQ(device.commits, commits + (row.code == 0 ? 1 : 0));
  }
}

TEST(PrimitiveBoundsTest, APFIReservationMayNameTheLastLineButNotTheFirstPastIt) {
  constexpr nQoORB100::tGUID kDevice{0x9F1, 0x10};
  // Without a table the reserver covers PFI0 to PFI15; a table covers its own lines.
  static const uint32_t kThree[] = {9, 3, 12};
  static const uint32_t kOne[] = {7};
  const struct {
    const uint32_t* table;
    uint32_t count;
    uint32_t mask;
    std::vector<std::string> held;
  } rows[] = {
      {nullptr, 16, 0x8000, {"PFI15"}}, {nullptr, 16, 0x10000, {}},
      {kThree, 3, 0x4, {"PFI12"}},      {kThree, 3, 0x8, {}},
      {kOne, 1, 0x1, {"PFI7"}},         {kOne, 1, 0x2, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("lines " + std::to_string(row.count) + " mask " + std::to_string(row.mask));
    nQoSim::resetTerminalReservation();
    nQoSim::clearStatusLog();
    nQoUdR100::tTavikPFIDigReserver reserver(kDevice, row.table, row.count);
    tStatus2 s;
    reserver.reserve(row.mask, s);
    EXPECT_EQ(nQoSim::heldTerminals(), row.held);
    if (row.held.empty()) {
      EXPECT_EQ(s.code, -50150);
      EXPECT_TRUE(loggedAt(-50150, "tTavikPFIDigReserver", 60));
      EXPECT_TRUE(nQoSim::terminalLog().empty());
    } else {
      EXPECT_EQ(s.code, 0);
      reserver.release(row.mask, s);
      EXPECT_TRUE(nQoSim::heldTerminals().empty());
    }
  }
  nQoSim::resetTerminalReservation();
}

class CDOChunkBoundTest : public tCDIOTest {
 protected:
  void SetUp() override {
    tCDIOTest::SetUp();
    output =
        new nQoUdP100::tBaseCDOInterruptTransferPrimitive(&deviceInfo, &description, cdo, status);
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    delete output;
    tCDIOTest::TearDown();
  }

  tPartnerLog log;
  tDataPartner<nQoUdP100::tBaseCDOInterruptTransferPrimitive::iSource> source{&log};
  nQoUdP100::tBaseCDOInterruptTransferPrimitive* output = nullptr;
};

TEST_F(CDOChunkBoundTest, RemainingSamplesOfExactlyOneChunkMoveAsAChunkAndLeaveTheInterruptOn) {
  constexpr uint32_t kOutputCondition = 0x4;
  const struct {
    uint32_t total;
    std::vector<std::string> calls;
    tLog writes;
    uint32_t transferred;
  } rows[] = {
      {48, {"data 64"}, {}, 48},  // 16 remain: a chunk
      {49, {"data 64"}, {}, 48},  // 17 remain: a chunk
      // 15 remain: the tail, then the interrupt goes off (the last row: the
      // tail leaves the script's last status unread).
      {47, {"data 60"}, {wrote32(0x224, 0x800)}, 47},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("total " + std::to_string(row.total));
    output->setSource(&source);
    output->setSampleMode(1);
    output->setChunkSize(16);
    output->setTotal(row.total);
    output->setLimit(1000000);
    output->setPreload(32);
    output->registerObservers(status);
    output->commit(status);
    cdo->setModeFlag(1, status, 0);
    cdo->commit(status);
    cdo->arm(status);
    output->arm(status);
    output->start(status);
    ASSERT_EQ(status.code, 0);
    clearLogs();
    log.calls.clear();
    // The condition holds for one check.
    fifos->scriptStatus({kOutputCondition, 0});
    fifos->scriptStatus({0});
    board->primaryHandlers[kCDOFIFO].load()->handleInterrupt();
    EXPECT_EQ(log.calls, row.calls);
    EXPECT_EQ(windows.writes(), row.writes);
    EXPECT_EQ(output->transferred(), row.transferred);
    tStatus2 down;
    cdo->disarm(down);
    cdo->uncommit(down);
    output->stop(down);
    output->disarm(down);
    output->uncommit(down);
    output->unregisterObservers(down);
    status.clear();
  }
}

}  // namespace
}  // namespace nQoTest
