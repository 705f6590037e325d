// Which register field of a counter pair carries each counter function, for
// one layout: per counter (G0 first) a table of 88 register identifiers
// (tCtrPair::tId). Layout 0 is the counter pair's own; in layout 1, the
// counters inside the Tavik chip, the counting mode lives in the
// Gi_Tavik_Counting_Mode view and the DMA control and interrupt enable entries
// name no register, because the board's map owns those registers.
//
//   tTIOCtrHelper helper(1, &pair);
//   tCtrPair::tId pending = helper.id(0, tTIOCtrHelper::kPrimaryPending);   // G0_Status_1 field 3
#pragma once

#include <array>
#include <cstdint>

#include "counters/tCtrPair.h"

namespace nQoTIO100 {

class tTIOCtrHelper {
 public:
  static constexpr uint32_t kEntryCount = 88;
  static constexpr uint32_t kLayoutCount = 2;
  static constexpr uint32_t kCounterPairLayout = 0;
  static constexpr uint32_t kTavikLayout = 1;
  using tCounterTable = std::array<tCtrPair::tId, kEntryCount>;
  using tLayout = std::array<tCounterTable, 2>;

  // The entries the interrupt dispatchers use.
  enum tEntry : uint32_t {
    kDMAEnable = 23,        // bit 0 of DMA control
    kDMASecondEnable = 25,  // bit 2 of DMA control
    kPrimaryAck = 53,       // bit 14 of the acknowledge register
    kPrimaryEnable = 55,
    kSecondaryEnable = 56,
    kPrimaryPending = 67,  // bit 3 of Gi_Status_1
  };

  // Both layouts, derived from the catalogue.
  static const std::array<tLayout, kLayoutCount> kLayouts;

  // A layout beyond the table takes layout 0.
  tTIOCtrHelper(uint32_t layout, tCtrPair* pair)
      : _pair(pair), _layout(layout < kLayoutCount ? layout : 0) {}

  tCtrPair* pair() const { return _pair; }
  uint32_t layout() const { return _layout; }
  // The identifier of an entry of counter (0 or 1; taken modulo 2).
  tCtrPair::tId id(uint32_t counter, uint32_t entry) const {
    return entry < kEntryCount ? kLayouts[_layout][counter % 2][entry] : tCtrPair::kNoRegister;
  }

 private:
  tCtrPair* _pair;
  uint32_t _layout;
};

}  // namespace nQoTIO100
