// writeField by identifier against setField followed (unless refused) by
// flush, the route it takes in one piece: over every field-addressable register of the map, every
// field id, values inside and past the field, forced and not, with a clean,
// warned or failed status and with none, both give the same accesses in the
// same order, the same codes and the same soft copies, and report at the
// same places of writeField's own lines. And markAllDirty against what each
// register's row says.
#include <cstdint>
#include <string>
#include <vector>

#include "registers/registerId.h"
#include "registers/tRegisterMapSites.h"
#include "registers/tRegisterRow.h"
#include "sim/simStatusLog.h"
#include "tavik/tTavikTraits.h"
#include "tavikFixture.h"

namespace {

using namespace nQoTest;

// A map over a window of its own, its registers written once.
struct tBoard {
  explicit tBoard(tSimRegisterWindows& windows)
      : window(windows.addWindow(nQoUdRLP100::nTavik::kWindowLength)),
        bus(windows),
        map(&bus, window, &status) {
    map.markAllDirty(&status);
    for (uint32_t index = 0; index < kRegisters; ++index)
      if (tTavik::tRegister* object = map.registerObject(index)) object->flush(&status, 1);
  }
  // The accesses made in this board's window.
  std::vector<tAccess> accesses(const tSimRegisterWindows& windows) const {
    std::vector<tAccess> own;
    for (const tAccess& access : windows.log())
      if (access.window == window) own.push_back(access);
    return own;
  }
  static constexpr uint32_t kRegisters = 174;
  const unsigned window;
  tSimBus bus;
  nQoMDBG100::tStatus2 status;
  tTavik map;
};

struct tStep {
  uint32_t index;
  uint32_t field;
  uint32_t value;
  unsigned force;
  int statusBefore;  // 1: no status at all
};

std::vector<tStep> steps() {
  std::vector<tStep> all;
  const uint32_t values[] = {0, 1, 2, 3, 5, 0x7F, 0xFF, 0xFFFF, 0x10000, 0xFFFFFFFF};
  for (uint32_t index = 0; index < tBoard::kRegisters; ++index)
    for (uint32_t field = 0; field < 20; ++field)
      for (uint32_t value : values)
        for (unsigned force : {0u, 1u})
          for (int before : {0, 300, -300, 1}) all.push_back({index, field, value, force, before});
  return all;
}

// The sites logged since the log was cleared, as "code file line", with a
// setField check moved to the line writeField reports the same check at.
std::vector<std::string> loggedSites(bool asWriteField) {
  using nQoUdRLP100::kSetFieldId;
  using nQoUdRLP100::kSetFieldValue;
  using nQoUdRLP100::kWriteFieldId;
  using nQoUdRLP100::kWriteFieldValue;
  constexpr unsigned kFieldLines = nQoUdRLP100::nTavik::tTavikTraits::kSites.fieldLines;
  std::vector<std::string> sites;
  for (const nQoSim::tStatusRecord& record : nQoSim::statusLog()) {
    unsigned line = record.line;
    const unsigned check = (line - kFieldLines) % 100;
    if (asWriteField && line >= kFieldLines) {
      if (check == kSetFieldId) line += kWriteFieldId - kSetFieldId;
      if (check < kSetFieldValue + nQoUdRLP100::kMostFieldIdentifiers)
        line += kWriteFieldValue - kSetFieldValue;
    }
    sites.push_back(std::to_string(record.code) + " " + record.file + " " + std::to_string(line));
  }
  nQoSim::clearStatusLog();
  return sites;
}

// A writable register with a soft copy takes setField of its whole
// register (a strobe register refuses it and writes its fields at once).
bool keepsSoftCopy(tTavik::tRegister& object) {
  if (object.isWritable() == 0) return false;
  nQoMDBG100::tStatus2 probe;
  object.setField(0, object.getField(0, nullptr), &probe);
  return probe.code == 0;
}

TEST_F(tTavikTest, WriteFieldMakesTheAccessesOfSetFieldAndFlush) {
  tBoard byId(windows);
  tBoard byParts(windows);
  windows.clearLog();
  int compared = 0;
  int refusals = 0;
  for (const tStep& step : steps()) {
    tTavik::tRegister* once = byId.map.registerObject(step.index);
    tTavik::tRegister* parts = byParts.map.registerObject(step.index);
    if (once == nullptr || !keepsSoftCopy(*parts)) continue;
    nQoMDBG100::tStatus2 first;
    nQoMDBG100::tStatus2 second;
    first.code = second.code = step.statusBefore == 1 ? 0 : step.statusBefore;
    nQoMDBG100::tStatus2* firstStatus = step.statusBefore == 1 ? nullptr : &first;
    nQoMDBG100::tStatus2* secondStatus = step.statusBefore == 1 ? nullptr : &second;
    nQoSim::clearStatusLog();
    once->writeField(step.field, step.value, firstStatus, step.force);
    const std::vector<std::string> sitesOnce = loggedSites(false);
    // A refused field or value ends the call before its flush.
    nQoMDBG100::tStatus2 unseen;
    parts->setField(step.field, step.value, secondStatus != nullptr ? secondStatus : &unseen);
    const int after = secondStatus != nullptr ? second.code : unseen.code;
    if (after >= 0 || step.statusBefore < 0) parts->flush(secondStatus, step.force);
    const std::vector<std::string> sitesByParts = loggedSites(true);
    ASSERT_EQ(first.code, second.code) << step.index << " " << step.field << " " << step.value;
    // Without a status nothing is reported (the parts reported into their own).
    ASSERT_EQ(sitesOnce, secondStatus != nullptr ? sitesByParts : std::vector<std::string>{})
        << step.index << " " << step.field << " " << step.value << " " << step.statusBefore;
    refusals += sitesOnce.empty() ? 0 : 1;
    ASSERT_EQ(once->getField(0, nullptr), parts->getField(0, nullptr)) << step.index;
    ++compared;
  }
  EXPECT_GT(compared, 10000);
  EXPECT_GT(refusals, 1000);
  const std::vector<tAccess> a = byId.accesses(windows);
  const std::vector<tAccess> b = byParts.accesses(windows);
  ASSERT_EQ(a.size(), b.size());
  EXPECT_GT(a.size(), 1000u);
  for (std::size_t i = 0; i < a.size(); ++i) {
    ASSERT_EQ(a[i].offset, b[i].offset) << i;
    ASSERT_EQ(a[i].width, b[i].width) << i;
    ASSERT_EQ(a[i].value, b[i].value) << i;
    ASSERT_EQ(a[i].direction, b[i].direction) << i;
  }
}

// A map whose window could not be mapped: writeField refuses as setField
// does, at the same site, and nothing reaches the board.
TEST_F(tTavikTest, WriteFieldOnAMapNeverSetUpReportsAsSetFieldDoes) {
  nQoSim::setDeviceTree(&tree);
  bus.failMapMemory(0);
  tEveryAccess board;
  tTavik map(0u, window, nullptr);
  tTavik::tRegister* const objects[] = {&map.AI_Output_Control, &map.PFI_Output_Select_1};
  for (tTavik::tRegister* object : objects) {
    nQoMDBG100::tStatus2 once;
    nQoMDBG100::tStatus2 parts;
    nQoSim::clearStatusLog();
    object->writeField(3, 1, &once, 1);
    const std::vector<std::string> sitesOnce = loggedSites(false);
    object->setField(3, 1, &parts);
    object->flush(&parts, 1);
    EXPECT_EQ(once.code, parts.code);
    EXPECT_EQ(sitesOnce, loggedSites(true));
    EXPECT_EQ(sitesOnce, std::vector<std::string>{"-50002 qomiorlp/tavik/tTavik 300"});
  }
  EXPECT_TRUE(board.addresses.empty());
}

// markAllDirty over every field-addressable register with a soft copy, each
// first given a value and marked clean: each is marked dirty, its soft copy
// cleared where its row says kZero and kept where it says kRewrite; with an
// error held nothing changes; nothing touches the board.
TEST_F(tTavikTest, MarkAllDirtyMarksEveryWritableRegisterAndClearsWhatItsRowSays) {
  tBoard board(windows);
  nQoMDBG100::tStatus2 status;
  std::vector<uint32_t> written;
  for (uint32_t index = 0; index < tBoard::kRegisters; ++index) {
    tTavik::tRegister* object = board.map.registerObject(index);
    if (object == nullptr || !keepsSoftCopy(*object)) continue;
    object->setField(0, 1, &status);
    board.map.markClean(index, &status);
    written.push_back(index);
  }
  ASSERT_GT(written.size(), 20u);
  windows.clearLog();
  nQoMDBG100::tStatus2 failedStatus(-1);
  board.map.markAllDirty(&failedStatus);
  for (uint32_t index : written) {
    EXPECT_EQ(board.map.isDirty(index, &status), 0u) << index;
    EXPECT_EQ(board.map.registerObject(index)->getField(0, nullptr), 1u) << index;
  }
  board.map.markAllDirty(&status);
  EXPECT_EQ(status.code, 0);
  int zeroed = 0;
  for (uint32_t index : written) {
    const auto restore = nQoUdRLP100::nTavik::tTavikTraits::kRows[index].restore;
    const uint32_t expected = restore == nQoUdRLP100::tRestore::kZero ? 0u : 1u;
    zeroed += expected == 0 ? 1 : 0;
    EXPECT_EQ(board.map.isDirty(index, &status), 1u) << index;
    EXPECT_EQ(board.map.registerObject(index)->getField(0, nullptr), expected) << index;
  }
  EXPECT_GT(zeroed, 0);
  EXPECT_LT(zeroed, int(written.size()));
  EXPECT_TRUE(board.accesses(windows).empty());
}

}  // namespace
