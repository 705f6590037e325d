#include "counters/tTIOCtrHelper.h"

#include <initializer_list>

#include "registers/registerId.h"

namespace nQoTIO100 {

namespace {

using tCounterTable = tTIOCtrHelper::tCounterTable;

// Fills a counter's table entry by entry, in the layout's order.
class tTableFill {
 public:
  constexpr explicit tTableFill(tCounterTable& table) : _table(table) {}
  constexpr void fields(uint32_t index, std::initializer_list<uint32_t> fields) {
    for (uint32_t field : fields) _table[_next++] = nQoUdRLP100::makeRegisterId(index, field);
  }
  constexpr void none(uint32_t count) {
    for (uint32_t k = 0; k < count; ++k) _table[_next++] = tCtrPair::kNoRegister;
  }
  constexpr uint32_t filled() const { return _next; }

 private:
  tCounterTable& _table;
  uint32_t _next = 0;
};

struct tBuiltTable {
  tCounterTable table;
  uint32_t filled;
};

constexpr tBuiltTable build(uint32_t layout, uint32_t counter) {
  const bool g0 = counter == 0;
  const auto pick = [g0](uint32_t forG0, uint32_t forG1) { return g0 ? forG0 : forG1; };
  const bool tavik = layout == tTIOCtrHelper::kTavikLayout;
  tCounterTable table{};
  tTableFill fill(table);
  fill.fields(pick(kG0_AutoIncrement, kG1_AutoIncrement), {0});
  const uint32_t command = pick(kG0_Command, kG1_Command);
  fill.fields(command, {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12});
  fill.fields(command, {1, 2, 5});
  if (tavik)
    fill.fields(pick(kG0_Tavik_Counting_Mode, kG1_Tavik_Counting_Mode), {1, 3, 4, 5, 6, 7, 8, 9});
  else
    fill.fields(pick(kG0_Counting_Mode, kG1_Counting_Mode), {1, 3, 4, 5, 6, 8, 9, 10});
  if (tavik)
    fill.none(3);
  else
    fill.fields(pick(kG0_DMA_Control, kG1_DMA_Control), {1, 2, 3});
  fill.fields(pick(kG0_Input_Select, kG1_Input_Select), {1, 2, 3, 4, 5, 6, 7, 8});
  fill.fields(pick(kG0_Load_A, kG1_Load_A), {0});
  fill.fields(pick(kG0_Load_B, kG1_Load_B), {0});
  fill.fields(pick(kG0_Mode, kG1_Mode), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
  fill.fields(pick(kG0_Second_Gate, kG1_Second_Gate), {1, 3, 5});
  fill.fields(kG01_Joint_Reset, {pick(2, 3)});
  fill.fields(pick(kInterrupt_G0_Ack, kInterrupt_G1_Ack), {2, 3, 5, 6});
  if (tavik)
    fill.none(2);
  else if (g0)
    fill.fields(kInterrupt_G0_Enable, {2, 4});
  else
    fill.fields(kInterrupt_G1_Enable, {2, 3});
  fill.fields(pick(kG0_DMA_Status, kG1_DMA_Status), {2, 3, 4});
  for (uint32_t save : {pick(kG0_HW_Save, kG1_HW_Save), pick(kG0_HW_Save_High, kG1_HW_Save_High),
                        pick(kG0_HW_Save_Low, kG1_HW_Save_Low), pick(kG0_Save, kG1_Save),
                        pick(kG0_Save_High, kG1_Save_High), pick(kG0_Save_Low, kG1_Save_Low)})
    fill.fields(save, {1});
  fill.fields(pick(kG0_Status_1, kG1_Status_1), {2, 3});
  fill.fields(kG01_Joint_Status_1, {pick(1, 2), pick(3, 4)});
  fill.fields(kG01_Joint_Status_2, {pick(1, 2), pick(4, 5), pick(6, 7)});
  for (uint32_t field = pick(1, 2); field <= 16; field += 2) fill.fields(kG01_Status, {field});
  fill.fields(0, {0, 0, 0, 0, 0, 0, 0});
  return {table, fill.filled()};
}

static_assert(build(0, 0).filled == tTIOCtrHelper::kEntryCount &&
                  build(0, 1).filled == tTIOCtrHelper::kEntryCount &&
                  build(1, 0).filled == tTIOCtrHelper::kEntryCount &&
                  build(1, 1).filled == tTIOCtrHelper::kEntryCount,
              "a counter table with other than 88 entries");

// Whether an identifier names a field that register's field operations serve.
constexpr bool namesServedField(tCtrPair::tId id) {
  const uint32_t field = nQoUdRLP100::fieldIdentifier(id);
  switch (nQoUdRLP100::registerIndex(id)) {
#define QO_CTR_PAIR_SERVES(at, ...)                                                        \
  case at: {                                                                               \
    constexpr auto& kTable = nQoUdRLP100::tFieldsOf<tCtrPairTraits, at>::kTable;           \
    return field < kTable.kFieldCount && kTable.served[field] && kTable.masks[field] != 0; \
  }
    QO_CTR_PAIR_REGISTERS(QO_CTR_PAIR_SERVES)
#undef QO_CTR_PAIR_SERVES
    default: return false;
  }
}

// Every entry names no register or a field with bits.
constexpr bool everyEntryNamesAField() {
  for (uint32_t layout = 0; layout < tTIOCtrHelper::kLayoutCount; ++layout)
    for (uint32_t counter = 0; counter < 2; ++counter)
      for (tCtrPair::tId id : build(layout, counter).table)
        if (id != tCtrPair::kNoRegister && !namesServedField(id)) return false;
  return true;
}
static_assert(everyEntryNamesAField(), "a layout entry names a field without bits");

constexpr std::array<tTIOCtrHelper::tLayout, tTIOCtrHelper::kLayoutCount> kBuilt{{
    {build(0, 0).table, build(0, 1).table},
    {build(1, 0).table, build(1, 1).table},
}};

}  // namespace

const std::array<tTIOCtrHelper::tLayout, tTIOCtrHelper::kLayoutCount> tTIOCtrHelper::kLayouts =
    kBuilt;

}  // namespace nQoTIO100
