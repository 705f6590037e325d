// Field access by identifier for register kIndex of a map, over its field
// table: the class-level offsetFor and maskFor, and the checks and bit
// arithmetic that the field-addressable registers share. A field the class does
// not serve is refused with kBadIndex, a value wider than its field with
// kValueTooWide.
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "registers/registerStatus.h"
#include "registers/registerWidth.h"
#include "registers/tFieldTable.h"
#include "registers/tRegisterMapSites.h"

namespace nQoUdRLP100 {

template <class tTraits, uint32_t kIndex>
class tFieldAccess {
  static constexpr auto& kFields = tFieldsOf<tTraits, kIndex>::kTable;
  static constexpr uint32_t kFieldCount = kFields.kFieldCount;
  static constexpr uint32_t kRegisterOnes = allOnes(tTraits::kRows[kIndex].width);
  static_assert(kFields.valid, "field table with overlapping or misplaced fields");
  static_assert(kFields.width == tTraits::kRows[kIndex].width, "field table of another width");
  static_assert(kFieldCount <= kMostFieldIdentifiers);

 public:
  static uint32_t offsetFor(uint32_t field, nQoMDBG100::tStatus2* status) {
    return entry(kFields.offsets, field, kOffsetForId, status);
  }
  static uint32_t maskFor(uint32_t field, nQoMDBG100::tStatus2* status) {
    return entry(kFields.masks, field, kMaskForId, status);
  }

 protected:
  static bool served(uint32_t field) { return field < kFieldCount && kFields.served[field]; }

  static bool accepts(uint32_t field, uint32_t value, nQoMDBG100::tStatus2* status,
                      tFieldCheck idCheck, tFieldCheck valueCheck) {
    if (!served(field)) {
      report(status, nQoUdR100::kBadIndex, idCheck);
      return false;
    }
    if (value > kFields.largestValue(field)) {
      report(status, nQoUdR100::kValueTooWide, valueCheck, field);
      return false;
    }
    return true;
  }

  // Refuses a field that the class does not serve; answers all ones of the width.
  static uint32_t refuse(nQoMDBG100::tStatus2* status, tFieldCheck check) {
    report(status, nQoUdR100::kBadIndex, check);
    return kRegisterOnes;
  }

  static uint32_t extract(uint32_t soft, uint32_t field) {
    return (soft & kFields.masks[field]) >> kFields.offsets[field];
  }
  static uint32_t insert(uint32_t soft, uint32_t field, uint32_t value) {
    return (soft & ~kFields.masks[field]) |
           ((value << kFields.offsets[field]) & kFields.masks[field]);
  }

 private:
  // Out of line and cold: the checks around it stay small on the hot path.
  [[gnu::cold, gnu::noinline]] static void report(nQoMDBG100::tStatus2* status, int code,
                                                  tFieldCheck check, uint32_t field = 0) {
    nQoUdR100::setCode(status, code, tTraits::kSites.field(kIndex, check, field));
  }
  static uint32_t entry(const uint32_t (&table)[kFieldCount], uint32_t field, tFieldCheck check,
                        nQoMDBG100::tStatus2* status) {
    if (failed(status)) return 0xFFFFFFFF;
    if (field >= kFieldCount) {
      report(status, nQoUdR100::kBadIndex, check);
      return 0xFFFFFFFF;
    }
    return table[field];
  }
};

}  // namespace nQoUdRLP100
