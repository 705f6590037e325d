// The machinery apart from the Tavik catalogue: identifiers, the catalogue
// checks, and a small map of another component with its own status sites.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "registers/registerClassFor.h"
#include "registers/registerFieldMacros.h"
#include "registers/registerId.h"
#include "registers/tFieldTable.h"
#include "registers/tMemMappedAddressSpace.h"
#include "registers/tRegisterMap.h"
#include "registers/tRegisterRow.h"
#include "tavik/tavikFixture.h"

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

constexpr tRegisterRow row16(uint32_t index, uint32_t offset, uint8_t group = 0) {
  return {index, offset, 16, tRegisterKind::kWrite, group, tRestore::kRewrite, kKeepAll, index};
}
static_assert(checkCatalogue(std::array{row16(0, 0x10, 1), row16(1, 0x12)}, 0x20, 1));
static_assert(!checkCatalogue(std::array{row16(0, 0x10, 1), row16(1, 0x10)}, 0x20, 1));
static_assert(!checkCatalogue(std::array{row16(0, 0x10, 1), row16(1, 0x11)}, 0x20, 1));
static_assert(!checkCatalogue(std::array{row16(0, 0x10, 1), row16(1, 0x20)}, 0x20, 1));
static_assert(!checkCatalogue(std::array{row16(0, 0x10), row16(1, 0x12)}, 0x20, 1));
static_assert(!checkCatalogue(std::array{row16(1, 0x10, 1), row16(0, 0x12)}, 0x20, 1));
// A second register at an offset only as the view of an earlier one of its kind,
// inside its bytes.
constexpr tRegisterRow viewRow(uint32_t index, uint32_t offset, uint32_t of, uint8_t width = 16) {
  return {.index = index,
          .offset = offset,
          .width = width,
          .kind = tRegisterKind::kRead,
          .group = 0,
          .restore = tRestore::kForget,
          .keep = kKeepAll,
          .arrayFirst = index,
          .viewOf = of};
}
static_assert(checkCatalogue(std::array{viewRow(0, 0x10, kNoView, 32), viewRow(1, 0x10, 0)}, 0x20,
                             0));
static_assert(checkCatalogue(std::array{viewRow(0, 0x10, kNoView, 32), viewRow(1, 0x12, 0)}, 0x20,
                             0));
static_assert(!checkCatalogue(std::array{viewRow(0, 0x10, kNoView, 32), viewRow(1, 0x10, kNoView)},
                              0x20, 0));
static_assert(!checkCatalogue(std::array{viewRow(0, 0x10, kNoView), viewRow(1, 0x12, 0)}, 0x20, 0));
static_assert(!checkCatalogue(std::array{viewRow(0, 0x10, 1), viewRow(1, 0x10, kNoView)}, 0x20, 0));
static_assert(!checkCatalogue(std::array{row16(0, 0x10, 1), viewRow(1, 0x10, 0)}, 0x20, 1));
static_assert(makeFieldTable<16, 3>({{1, 3, 0}, {2, 7, 4}}).valid);
static_assert(!makeFieldTable<16, 3>({{1, 3, 0}, {2, 3, 3}}).valid);
static_assert(!makeFieldTable<16, 3>({{2, 3, 0}, {1, 7, 4}}).valid);
static_assert(!makeFieldTable<8, 3>({{1, 8, 0}}).valid);
static_assert(!makeFieldTable<16, 3>({{1, 0, 0, kServed, 3}}).valid);
// Named field lists: high bit first, none overlapping.
static_assert(fieldsInOrder({fieldMask(31, 31), fieldMask(10, 6), fieldMask(0, 0)}));
static_assert(!fieldsInOrder({fieldMask(13, 6), fieldMask(6, 6)}));
static_assert(!fieldsInOrder({fieldMask(0, 0), fieldMask(13, 13)}));

// One command register with a keep mask.
struct tPairTraits {
  static constexpr uint32_t kRegisterCount = 1;
  static constexpr std::array<tRegisterRow, 1> kRowTable{{
      {0, 0x0C, 16, tRegisterKind::kWriteFields, 0, tRestore::kRewrite, 0x5BE2, 0},
  }};
  static_assert(checkCatalogue(kRowTable, 196, 0));
  static constexpr const tRegisterRow* kRows = kRowTable.data();
  static constexpr tRegisterMapSites kSites{"qotiok", "tPairMap", 237, 238, 239, 20,  25,
                                            32,       40,         46,  53,  60,  1000};
  using tAddressSpace = tMemMappedAddressSpace;
};

}  // namespace
}  // namespace nQoTest

template <>
struct nQoUdRLP100::tFieldsOf<nQoTest::tPairTraits, 0> {
  static constexpr auto kTable = makeFieldTable<16, 4>({{1, 0, 0}, {2, 1, 1}, {3, 6, 5}});
};

namespace nQoTest {
namespace {

class tPairMap : public tRegisterMap<tPairTraits> {
 public:
  tPairMap(iBus* bus, uint32_t window, nQoMDBG100::tStatus2* status) {
    if (!_space.openOverBus(bus, window, {"tPairMap", 300, "qotiok"}, status)) return;
    command.attach(this, nullptr);
    enterObject(command);
    command.restore(status);
  }

  tRegisterClassFor<tPairTraits, 0> command;
};

TEST_F(tTavikTest, AnotherMapReportsWithItsOwnComponentFileAndLines) {
  tPairMap map(&bus, window, &status);
  ASSERT_EQ(status.code, 0);
  map.command.setRegister(0xFFFF, &status);
  map.command.flush(&status, 0);
  EXPECT_EQ(map.command.getRegister(), 0x5BE2);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{wrote(0x0C, 0xFFFF)}));
  EXPECT_EQ(reportOf([&](auto* s) { map.markDirty(4, s); }), "-50003 qotiok tPairMap 237");
  EXPECT_EQ(reportOf([&](auto* s) { map.command.refresh(s); }), "-50009 qotiok tPairMap 25");
  EXPECT_EQ(reportOf([&](auto* s) { map.command.setField(3, 4, s); }),
            "-50005 qotiok tPairMap 1003");
}

// A status that holds an error keeps the bus flush from the bus, on the
// Tavik map and on another map of the machinery alike.
TEST_F(tTavikTest, FlushBusUnderAnErrorMakesNoBusCall) {
  tTavik tavik(&bus, window, &status);
  tPairMap pair(&bus, window, &status);
  ASSERT_EQ(status.code, 0);
  bus.clearCalls();
  nQoMDBG100::tStatus2 failed(-50003);
  EXPECT_EQ(tavik.flushBus(&failed), 0);
  EXPECT_EQ(pair.flushBus(&failed), 0);
  EXPECT_EQ(failed.code, -50003);
  EXPECT_TRUE(bus.calls().empty());
  pair.flushBus(&status);
  tavik.flushBus(nullptr);
  EXPECT_EQ(bus.calls(),
            (std::vector<tCall>{{tCall::kFlush, 0, 0, 0, 0}, {tCall::kFlush, 0, 0, 0, 0}}));
}

}  // namespace
}  // namespace nQoTest
