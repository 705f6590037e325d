// Field tables of the field-addressable registers: per field identifier its
// bit offset, its mask in place and whether the generic field operations serve
// it. Identifier 0 is the whole register; an identifier without a field has
// mask 0. A table is written as runs of fields {first id, high bit, low bit,
// served, count}; a run of count > 1 repeats the field's width upward, one
// identifier per field:
//
//   constexpr auto kFields = makeFieldTable<16, 9>({
//       {1, 1, 0, kNotServed},  // id 1: bits 1:0, in the tables only
//       {6, 7, 6},              // id 6: bits 7:6
//       {8, 10, 10}});          // id 8: bit 10
//   constexpr auto kBits = makeFieldTable<32, 33>({{1, 0, 0, kServed, 32}});  // id n+1: bit n
//   static_assert(kFields.valid);  // ids ascending, inside the register, no overlap
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "registers/registerWidth.h"

namespace nQoUdRLP100 {

inline constexpr bool kServed = true;
inline constexpr bool kNotServed = false;

struct tFieldRun {
  uint32_t id;
  uint32_t high;
  uint32_t low;
  bool served = kServed;
  uint32_t count = 1;
};

template <uint32_t kCount>
struct tFieldTable {
  static constexpr uint32_t kFieldCount = kCount;
  unsigned width;
  uint32_t offsets[kCount];
  uint32_t masks[kCount];
  bool served[kCount];
  bool valid;

  constexpr uint32_t largestValue(uint32_t id) const { return masks[id] >> offsets[id]; }
};

// Runs from a list ended by an id of 0 (or by its end).
template <unsigned kWidth, uint32_t kCount>
constexpr tFieldTable<kCount> makeFieldTable(const tFieldRun* runs, std::size_t most) {
  tFieldTable<kCount> table{};
  table.width = kWidth;
  table.masks[0] = allOnes(kWidth);
  table.served[0] = true;
  table.valid = true;
  uint32_t used = 0;
  uint32_t lastId = 0;
  for (std::size_t r = 0; r < most && runs[r].id != 0; ++r) {
    const tFieldRun& run = runs[r];
    if (run.high < run.low || run.count == 0 || run.high >= kWidth) {
      table.valid = false;
      continue;
    }
    const uint32_t width = run.high - run.low + 1;
    for (uint32_t k = 0; k < run.count; ++k) {
      const uint32_t id = run.id + k;
      const uint32_t low = run.low + k * width;
      if (id <= lastId || id >= kCount || low + width > kWidth) {
        table.valid = false;
        break;
      }
      const uint32_t mask = fieldMask(low + width - 1, low);
      if ((mask & used) != 0) table.valid = false;
      used |= mask;
      lastId = id;
      table.offsets[id] = low;
      table.masks[id] = mask;
      table.served[id] = run.served;
    }
  }
  return table;
}

template <unsigned kWidth, uint32_t kCount>
constexpr tFieldTable<kCount> makeFieldTable(std::initializer_list<tFieldRun> runs) {
  return makeFieldTable<kWidth, kCount>(runs.begin(), runs.size());
}

// The length of the table of a list ended by an id of 0: one past its last id.
constexpr uint32_t fieldCount(const tFieldRun* runs, std::size_t most) {
  uint32_t count = 1;
  for (std::size_t r = 0; r < most && runs[r].id != 0; ++r)
    if (runs[r].id + runs[r].count > count) count = runs[r].id + runs[r].count;
  return count;
}

// The field table of register kIndex of a map: {static constexpr auto kTable =
// makeFieldTable...}, specialised for each field-addressable register or found
// in the map's runs (tRegisterRun.h).
template <class tTraits, uint32_t kIndex>
struct tFieldsOf;

}  // namespace nQoUdRLP100
