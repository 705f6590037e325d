// The analog front end's range tables, as board data: which range-code pair
// (gain, polarity) programs an input range, and which ranges the front end
// offers. Ranges match when both bounds are equal physical values (kinds
// equal, exponents aligned in steps of 3); a comparison that cannot align the
// exponents is -50150 and no match.
//
//   const tAIRangeCode kCodes[] = {{&kTenVolts, 1, 0}, {nullptr, 0, 0}};
//   const tAIFrontEndCaps caps{kCodes, nullptr};
//   tAIFrontEndCaps::findRange(&caps, &range, &gain, &polarity, status);
#pragma once

#include <cstdint>

#include "frame/tInterval.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tAIFrontEndDescription.h"

namespace nQoUdR100 {

// One row of a range-code table; a null range ends the table.
struct tAIRangeCode {
  const nQoUdRLP100::tInterval* range;
  uint16_t first;
  uint16_t second;
};

struct tAIFrontEndCaps {
  const tAIRangeCode* rangeCodes;
  // Null-terminated.
  const nQoUdRLP100::tInterval* const* ranges;

  // The first row whose range matches writes its codes. A null range:
  // -223749; no match: -50150.
  static void findRange(const tAIFrontEndCaps* holder, const nQoUdRLP100::tInterval* range,
                        uint16_t* first, uint16_t* second, nQoMDBG100::tStatus2& status);
  // The matching range of the list; on failure (null range -223749, no list
  // or no match -50150) a constant empty range.
  static const nQoUdRLP100::tInterval& findRangeEntry(const tAIFrontEndCaps* holder,
                                                      const nQoUdRLP100::tInterval* range,
                                                      nQoMDBG100::tStatus2& status);
  // Whether the two ranges match; a comparison that cannot be made sets
  // -50150 at the site and answers false.
  static bool matches(const nQoUdRLP100::tInterval& a, const nQoUdRLP100::tInterval& b,
                      nQoMDBG100::tStatus2& status, const tStatusSite& site);
};

// The front end's range lookup over a board's table.
class tAIFrontEndRangeCodes final : public nQoUdP100::iAIRangeCodes {
 public:
  constexpr explicit tAIFrontEndRangeCodes(const tAIFrontEndCaps* caps) : _caps(caps) {}
  void findRange(const nQoUdRLP100::tInterval* range, uint16_t* gain, uint16_t* polarity,
                 nQoMDBG100::tStatus2& status) const override {
    tAIFrontEndCaps::findRange(_caps, range, gain, polarity, status);
  }

 private:
  const tAIFrontEndCaps* _caps;
};

}  // namespace nQoUdR100
