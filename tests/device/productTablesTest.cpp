// The capability table, its list queries and code pairs, and the counter
// product table: lookups by identifier, device handle and name.
#include <gtest/gtest.h>

#include <string>

#include "device/boardParts.h"
#include "device/tCapabilityList.h"
#include "device/tCapabilityTable.h"
#include "device/tCounterProductTable.h"
#include "sim/simDevices.h"
#include "sim/tSimDeviceNode.h"
#include "sim/tSimListenerDeviceTree.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tCapabilityEntry;
using nQoUdR100::tCapabilityList;
using nQoUdR100::tCapabilityTable;
using nQoUdR100::tCounterProductDescriptor;
using nQoUdR100::tCounterProductTable;
using nQoUdR100::tProductDescriptor;

constexpr uint32_t kSimTag = 0x2073696D;  // " sim"
constexpr uint32_t kHandle = 0x51;

// A device tree with one board node under kHandle.
class ProductTablesTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::setDeviceTree(&tree);
    tree.setNode(kHandle, &node);
  }
  void TearDown() override {
    nQoSim::setDeviceTree(nullptr);
    tLeakCheckedTest::TearDown();
  }

  std::string nameByHandle(tStatus2& status) {
    const tProductDescriptor* record = tCapabilityTable::findByDeviceHandle(kHandle, status);
    return record == nullptr ? "(none)" : record->name;
  }

  nQoSim::tSimListenerDeviceTree tree;
  nQoSim::tSimDeviceNode node;
};

TEST_F(ProductTablesTest, FindsACapabilityRecordByIdentifierAndName) {
  tStatus2 status;
  const tProductDescriptor* record = tCapabilityTable::findByProductId(0x5D02, status);
  ASSERT_NE(record, nullptr);
  EXPECT_STREQ(record->name, "UD-A68R");
  EXPECT_EQ(record->busDescriptor->kind, 3u);
  EXPECT_EQ(record->hasPLL, 1u);
  EXPECT_STREQ(record->routing->registrarClassName, "nQoUdR100::tRIVORoutableRegistrar");
  EXPECT_EQ(tCapabilityTable::findByName("UD-A68R", status), record);
  EXPECT_EQ(status.code, 0);

  EXPECT_EQ(tCapabilityTable::findByProductId(0x5DFF, status), nullptr);
  EXPECT_EQ(status.code, -223747);
  EXPECT_TRUE(nQoTest::loggedAt(-223747, "tCapabilityTable", 40));

  tStatus2 lowerCase, failed(-7);
  EXPECT_EQ(tCapabilityTable::findByName("ud-a37", lowerCase), nullptr);
  EXPECT_EQ(lowerCase.code, -223747);
  EXPECT_EQ(tCapabilityTable::findByProductId(0x5D02, failed), nullptr);
  EXPECT_EQ(failed.code, -7);

  tStatus2 walk;
  EXPECT_EQ(static_cast<std::size_t>(tCapabilityTable::tableEnd() - tCapabilityTable::table()),
            tCapabilityTable::count());
  for (auto entry = tCapabilityTable::table(); entry != tCapabilityTable::tableEnd(); ++entry) {
    SCOPED_TRACE((*entry)->name);
    EXPECT_EQ(tCapabilityTable::findByProductId((*entry)->productId, walk), *entry);
    EXPECT_EQ(tCapabilityTable::findByName((*entry)->name, walk), *entry);
  }
  EXPECT_EQ(walk.code, 0);
}

TEST_F(ProductTablesTest, ByHandleReadsTheNumberAttributeAndExtendsC4C4ByAttribute19) {
  tStatus2 status;
  node.setNumber(2, 0xC4C4);
  node.setNumber(19, 3);
  EXPECT_EQ(nameByHandle(status), "UD-E68");
  EXPECT_EQ(status.code, 0);
  node.setNumber(19, 9);
  EXPECT_EQ(nameByHandle(status), "(none)");
  EXPECT_EQ(status.code, -223747);

  // The " sim" tag is a four-character reading of attribute 2, never a key.
  nQoSim::tSimDeviceNode simulated, tagOnly;
  simulated.setNumber(2, 0x5D01);
  simulated.setFourCharacterCode(2, kSimTag);
  tagOnly.setFourCharacterCode(2, kSimTag);
  tree.setNode(kHandle, &simulated);
  tStatus2 clean, missing;
  EXPECT_EQ(nameByHandle(clean), "UD-A68");
  EXPECT_EQ(clean.code, 0);
  tree.setNode(kHandle, &tagOnly);
  EXPECT_EQ(nameByHandle(missing), "(none)");
  EXPECT_EQ(missing.code, -223747);

  tStatus2 noNode, noTree;
  tree.setNode(kHandle, nullptr);
  EXPECT_EQ(nameByHandle(noNode), "(none)");
  nQoSim::setDeviceTree(nullptr);
  EXPECT_EQ(nameByHandle(noTree), "(none)");
  EXPECT_EQ(noNode.code, 0);
  EXPECT_EQ(noTree.code, 0);
}

// A record whose capability list holds the entries given.
struct tListOwner {
  explicit tListOwner(std::initializer_list<const tCapabilityEntry*> entries)
      : list(entries), owner{} {
    list.push_back(nullptr);
    owner.capsList = list.data();
  }
  std::vector<const tCapabilityEntry*> list;
  tProductDescriptor owner;
};

TEST_F(ProductTablesTest, ListQueriesPickTheEarlierOfEqualEntriesAndReportEmptyResults) {
  const tCapabilityEntry a{7, 300, 0}, b{8, 100, 0}, c{9, 300, 0}, d{10, 100, 0};
  tListOwner four{&a, &b, &c, &d};
  const tProductDescriptor* owner = &four.owner;
  tStatus2 status;
  EXPECT_EQ(tCapabilityList::maxEntry(owner, status), &a);
  EXPECT_EQ(tCapabilityList::minEntry(owner, status), &b);
  EXPECT_EQ(tCapabilityList::findLargestNotAbove(owner, 299, status), &b);
  EXPECT_EQ(tCapabilityList::findLargestNotAbove(owner, 300, status), &a);
  EXPECT_EQ(tCapabilityList::findEntry(owner, 9, status), &c);
  EXPECT_EQ(tCapabilityList::entryAt(owner, 4, status), &d);
  EXPECT_EQ(tCapabilityList::positionOf(owner, &c, status), 3u);
  const tCapabilityEntry absent{9, 300, 0};
  EXPECT_EQ(tCapabilityList::positionOf(owner, &absent, status), 5u);
  EXPECT_EQ(status.code, 0);

  tListOwner empty{};
  const tProductDescriptor noList{};
  const auto misses = [&](auto query) {
    tStatus2 local;
    const tCapabilityEntry* found = query(local);
    return found == nullptr && local.code == -223749;
  };
  EXPECT_TRUE(misses([&](tStatus2& s) { return tCapabilityList::entryAt(owner, 0, s); }));
  EXPECT_TRUE(misses([&](tStatus2& s) { return tCapabilityList::entryAt(owner, 5, s); }));
  EXPECT_TRUE(misses([&](tStatus2& s) { return tCapabilityList::entryAt(&empty.owner, 1, s); }));
  EXPECT_TRUE(
      misses([&](tStatus2& s) { return tCapabilityList::findLargestNotAbove(owner, 99, s); }));
  EXPECT_TRUE(misses([&](tStatus2& s) { return tCapabilityList::findEntry(owner, 11, s); }));
  EXPECT_TRUE(misses([&](tStatus2& s) { return tCapabilityList::maxEntry(&noList, s); }));
  EXPECT_TRUE(misses([&](tStatus2& s) { return tCapabilityList::minEntry(&empty.owner, s); }));

  tStatus2 quiet, failed(-5);
  EXPECT_EQ(tCapabilityList::positionOf(&noList, &a, quiet), 1u);
  EXPECT_EQ(tCapabilityList::positionOf(&empty.owner, &a, quiet), 1u);
  EXPECT_EQ(quiet.code, 0);
  EXPECT_EQ(tCapabilityList::maxEntry(owner, failed), nullptr);
  EXPECT_EQ(failed.code, -5);
}

TEST_F(ProductTablesTest, CodePairsConvertBothWaysAndRefuseOtherCodes) {
  tStatus2 status;
  const uint32_t external[] = {14713, 14714, 14712, 10195};
  for (uint32_t internal = 1; internal <= 4; ++internal) {
    EXPECT_EQ(tCapabilityTable::toInternalCode(external[internal - 1], status), internal);
    EXPECT_EQ(tCapabilityTable::toExternalCode(internal, status), external[internal - 1]);
  }
  EXPECT_EQ(status.code, 0);
  tStatus2 toExternal, toInternal;
  EXPECT_EQ(tCapabilityTable::toExternalCode(5, toExternal), 0u);
  EXPECT_EQ(tCapabilityTable::toInternalCode(5, toInternal), 0u);
  EXPECT_EQ(toExternal.code, -223744);
  EXPECT_EQ(toInternal.code, -223744);
}

TEST_F(ProductTablesTest, CounterTableIsFilledAtLoadAndMatchesListsUpToTheirZero) {
  tStatus2 unloaded;
  EXPECT_EQ(tCounterProductTable::findByProductId(0x5D01, unloaded), nullptr);
  EXPECT_EQ(unloaded.code, -223747);

  nQoTest::tLoadedModule module;
  tStatus2 status;
  const tCounterProductDescriptor* listed = tCounterProductTable::findByProductId(0x5D08, status);
  ASSERT_NE(listed, nullptr);
  EXPECT_EQ(listed->productId, tCounterProductDescriptor::kListedProducts);
  EXPECT_EQ(tCounterProductTable::findByName(listed->name, status), listed);
  EXPECT_EQ(status.code, 0);

  tStatus2 zero, byName, e68;
  EXPECT_EQ(tCounterProductTable::findByProductId(0, zero), nullptr);
  EXPECT_EQ(zero.code, -223747);
  EXPECT_EQ(tCounterProductTable::findByName("UD-E68", byName), nullptr);
  EXPECT_EQ(byName.code, -223747);
  node.setNumber(2, 0xC4C4);
  node.setNumber(19, 3);
  EXPECT_EQ(tCounterProductTable::findByDeviceHandle(kHandle, e68), nullptr);
  EXPECT_EQ(e68.code, -223747);

  const uint32_t listA[] = {0x10, 0x20, 0}, listB[] = {0x30, 0x20, 0};
  const tCounterProductDescriptor first{"first", 0xFFFFFFFF, {}, {}, listA, nullptr, {}},
      second{"second", 0x20, {}, {}, nullptr, nullptr, {}},
      third{"third", 0xFFFFFFFF, {}, {}, listB, nullptr, {}};
  const tCounterProductDescriptor* rows[] = {&second, &first, &third};
  EXPECT_EQ(tCounterProductTable::findByProductId(0x20, status, {rows, rows + 3}), &second);
  EXPECT_EQ(tCounterProductTable::findByProductId(0x20, status, {rows + 1, rows + 3}), &first);
  EXPECT_EQ(tCounterProductTable::findByProductId(0x30, status, {rows, rows + 3}), &third);
  EXPECT_EQ(status.code, 0);
}

}  // namespace
