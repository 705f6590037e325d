// The register machinery apart from the Tavik catalogue: identifiers, the
// compile-time checks of catalogues and field tables, and a small map of
// another component with its own status sites.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "registers/registerClassFor.h"
#include "registers/registerId.h"
#include "registers/tFieldTable.h"
#include "registers/tMemMappedAddressSpace.h"
#include "registers/tRegisterLockGroups.h"
#include "registers/tRegisterMap.h"
#include "registers/tRegisterRow.h"
#include "tavikFixture.h"

namespace nQoTest {
namespace {

using namespace nQoUdRLP100;

TEST(RegisterId, FieldBitsAreSpreadOverTheTopSevenBits) {
  EXPECT_EQ(makeRegisterId(1, 1), 0x08000001u);
  EXPECT_EQ(fieldIdentifier(0x04000000), 32u);
  EXPECT_EQ(fieldIdentifier(0x02000000), 64u);
  EXPECT_EQ(fieldIdentifier(0xF8000000), 31u);
  for (uint32_t field = 0; field < 128; ++field)
    EXPECT_EQ(fieldIdentifier(makeRegisterId(173, field)), field);
  EXPECT_EQ(registerIndex(0xFE0000AD), 173u);
}

// Catalogues and field tables with a fault do not pass their checks.
constexpr tRegisterRow write16(uint32_t index, uint32_t offset, uint8_t group = 0) {
  return {index, offset, 16, tRegisterKind::kWrite, group, tRestore::kRewrite, kKeepAll, index};
}
static_assert(checkCatalogue(std::array{write16(0, 0x10, 1), write16(1, 0x12)}, 0x20, 1));
static_assert(!checkCatalogue(std::array{write16(0, 0x10, 1), write16(1, 0x10)}, 0x20, 1),
              "two writable registers at one offset");
static_assert(!checkCatalogue(std::array{write16(0, 0x10, 1), write16(1, 0x11)}, 0x20, 1),
              "misaligned");
static_assert(!checkCatalogue(std::array{write16(0, 0x10, 1), write16(1, 0x20)}, 0x20, 1),
              "outside the window");
static_assert(!checkCatalogue(std::array{write16(0, 0x10), write16(1, 0x12)}, 0x20, 1),
              "a group without members");
static_assert(!checkCatalogue(std::array{write16(1, 0x10, 1), write16(0, 0x12)}, 0x20, 1),
              "out of index order");
static_assert(makeFieldTable<16, 3>({{1, 3, 0}, {2, 7, 4}}).valid);
static_assert(!makeFieldTable<16, 3>({{1, 3, 0}, {2, 3, 3}}).valid, "overlap");
static_assert(!makeFieldTable<16, 3>({{2, 3, 0}, {1, 7, 4}}).valid, "ids out of order");
static_assert(!makeFieldTable<8, 3>({{1, 8, 0}}).valid, "wider than the register");
static_assert(!makeFieldTable<16, 3>({{1, 0, 0, kServed, 3}}).valid, "more ids than the table");

// A small map of another component: a command register with strobe bits, an
// acknowledge strobe and a status register at one offset, a 32-bit load.
struct tPairTraits {
  static constexpr uint32_t kRegisterCount = 4;
  static constexpr std::array<tRegisterRow, 4> kRowTable{{
      {0, 0x0C, 16, tRegisterKind::kWriteFields, 1, tRestore::kRewrite, 0x5BE2, 0},
      {1, 0x04, 16, tRegisterKind::kStrobeFields, 0, tRestore::kNone, kKeepAll, 1},
      {2, 0x04, 16, tRegisterKind::kReadFields, 0, tRestore::kForget, kKeepAll, 2},
      {3, 0x38, 32, tRegisterKind::kWrite, 0, tRestore::kZero, kKeepAll, 3},
  }};
  static_assert(checkCatalogue(kRowTable, 196, 1));
  static constexpr const tRegisterRow* kRows = kRowTable.data();
  static constexpr tRegisterMapSites kSites{"qotiok", "tPairMap", 237, 238, 239, 20, 25, 32,
                                            40,       46,         53,  60,  1000};
  using tAddressSpace = tMemMappedAddressSpace;
};

}  // namespace
}  // namespace nQoTest

template <>
struct nQoUdRLP100::tFieldsOf<nQoTest::tPairTraits, 0> {
  static constexpr auto kTable = makeFieldTable<16, 4>({{1, 0, 0}, {2, 1, 1}, {3, 6, 5}});
};
template <>
struct nQoUdRLP100::tFieldsOf<nQoTest::tPairTraits, 1> {
  static constexpr auto kTable = makeFieldTable<16, 3>({{1, 14, 14}, {2, 15, 15}});
};
template <>
struct nQoUdRLP100::tFieldsOf<nQoTest::tPairTraits, 2> {
  static constexpr auto kTable = makeFieldTable<16, 3>({{1, 2, 2}, {2, 15, 15}});
};

namespace nQoTest {
namespace {

class tPairMap : public tRegisterMap<tPairTraits> {
 public:
  tPairMap(iBus* bus, uint32_t window, nQoMDBG100::tStatus2* status) : _groups(tPairTraits::kSites, status) {
    if (!_space.openOverBus(bus, window, {"tPairMap", 300, "qotiok"}, status) || failed(status))
      return;
    link(command, 1);
    link(acknowledge, 0);
    link(state, 0);
    link(load, 0);
    _groups.setUp(groupMembers<1>(tPairTraits::kRowTable));
    command.restore(status);
    load.restore(status);
  }

  tRegisterClassFor<tPairTraits, 0> command;
  tRegisterClassFor<tPairTraits, 1> acknowledge;
  tRegisterClassFor<tPairTraits, 2> state;
  tRegisterClassFor<tPairTraits, 3> load;

 private:
  template <class tRegisterClass>
  void link(tRegisterClass& object, uint32_t group) {
    object.attach(this, _groups.group(group));
    enterObject(object);
  }
  tRegisterLockGroups<1> _groups;
};

TEST_F(tTavikTest, AnotherMapReportsWithItsOwnComponentFileAndLines) {
  tPairMap map(&bus, window, &status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(map.isDirty(0, &status), 1u);
  EXPECT_EQ(map.isDirty(3, &status), 1u);
  EXPECT_EQ(map.registerObject(3), nullptr);
  EXPECT_EQ(map.registerObject(2), &map.state);

  map.command.setRegister(0xFFFF, &status);
  map.command.flush(&status, 0);
  EXPECT_EQ(map.command.getRegister(), 0x5BE2);
  map.registerObject(1)->writeField(2, 1, &status, 0);
  windows.setRead(0, 0x04, 16, 0x0004);
  EXPECT_EQ(map.registerObject(2)->readField(1, &status), 1u);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x0C, 16, 0xFFFF),
                                                 written(0x04, 16, 0x8000),
                                                 read(0x04, 16, 0x0004)}));

  map.markDirty(4, &status);
  EXPECT_EQ(lastReport(), "-50003 qotiok tPairMap 237");
  status.clear();
  map.registerObject(2)->writeField(1, 1, &status, 0);
  EXPECT_EQ(lastReport(), "-50012 qotiok tPairMap 40");
  status.clear();
  EXPECT_EQ(map.registerObject(1)->getField(1, &status), 0xDEADBEEFu);
  EXPECT_EQ(lastReport(), "-50009 qotiok tPairMap 46");
  status.clear();
  map.command.setField(3, 4, &status);
  EXPECT_EQ(lastReport(), "-50005 qotiok tPairMap 1003");
  status.clear();
  map.command.setField(2, 2, &status);
  EXPECT_EQ(lastReport(), "-50005 qotiok tPairMap 1002");
}

}  // namespace
}  // namespace nQoTest
