#include "device/tAIFrontEndCaps.h"

#include "frame/statusCodes.h"

namespace nQoUdR100 {

namespace {
constexpr const char kFile[] = "tAIFrontEndCaps";
const nQoUdRLP100::tInterval kEmptyRange{};
}  // namespace

bool tAIFrontEndCaps::matches(const nQoUdRLP100::tInterval& a, const nQoUdRLP100::tInterval& b,
                              nQoMDBG100::tStatus2& status, const tStatusSite& site) {
  int comparison = 0;
  const bool equal = nQoUdRLP100::tInterval::equal(&a, &b, comparison);
  if (comparison >= 0) return equal;
  setCode(status, kRefused, site);
  return false;
}

void tAIFrontEndCaps::findRange(const tAIFrontEndCaps* holder, const nQoUdRLP100::tInterval* range,
                                uint16_t* first, uint16_t* second, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (range == nullptr) {
    setCode(status, kBadArgument, {kFile, 30});
    return;
  }
  if (holder != nullptr && holder->rangeCodes != nullptr) {
    for (const tAIRangeCode* row = holder->rangeCodes; row->range != nullptr; ++row) {
      if (matches(*row->range, *range, status, {kFile, 40})) {
        *first = row->first;
        *second = row->second;
        return;
      }
      if (status.isFatal()) return;
    }
  }
  setCode(status, kRefused, {kFile, 51});
}

const nQoUdRLP100::tInterval& tAIFrontEndCaps::findRangeEntry(const tAIFrontEndCaps* holder,
                                                              const nQoUdRLP100::tInterval* range,
                                                              nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return kEmptyRange;
  if (range == nullptr) {
    setCode(status, kBadArgument, {kFile, 63});
    return kEmptyRange;
  }
  if (holder != nullptr && holder->ranges != nullptr) {
    for (const nQoUdRLP100::tInterval* const* entry = holder->ranges; *entry != nullptr; ++entry) {
      if (matches(**entry, *range, status, {kFile, 70})) return **entry;
      if (status.isFatal()) return kEmptyRange;
    }
  }
  setCode(status, kRefused, {kFile, 76});
  return kEmptyRange;
}

}  // namespace nQoUdR100
