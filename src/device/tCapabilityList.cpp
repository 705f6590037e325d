#include "device/tCapabilityList.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100 {

namespace {

const tCapabilityEntry* const* listOf(const tProductDescriptor* owner) {
  return owner == nullptr ? nullptr : owner->capsList;
}

// The entry that wins by better(candidate, best) among those that qualify;
// -223749 when none does.
template <class tQualifies, class tBetter>
const tCapabilityEntry* pick(const tProductDescriptor* owner, nQoMDBG100::tStatus2& status,
                             unsigned line, tQualifies qualifies, tBetter better) {
  if (status.isFatal()) return nullptr;
  const tCapabilityEntry* best = nullptr;
  if (const tCapabilityEntry* const* list = listOf(owner))
    for (; *list != nullptr; ++list)
      if (qualifies(**list) && (best == nullptr || better(**list, *best))) best = *list;
  if (best == nullptr) setCode(status, kBadArgument, {"tCapabilityList", line});
  return best;
}

bool any(const tCapabilityEntry&) { return true; }

}  // namespace

const tCapabilityEntry* tCapabilityList::findEntry(const tProductDescriptor* owner, int32_t key,
                                                   nQoMDBG100::tStatus2& status) {
  return pick(
      owner, status, 33, [key](const tCapabilityEntry& entry) { return entry.key == key; },
      [](const tCapabilityEntry&, const tCapabilityEntry&) { return false; });
}

const tCapabilityEntry* tCapabilityList::findLargestNotAbove(const tProductDescriptor* owner,
                                                             uint32_t limit,
                                                             nQoMDBG100::tStatus2& status) {
  return pick(
      owner, status, 42, [limit](const tCapabilityEntry& entry) { return entry.value <= limit; },
      [](const tCapabilityEntry& a, const tCapabilityEntry& b) { return a.value > b.value; });
}

const tCapabilityEntry* tCapabilityList::maxEntry(const tProductDescriptor* owner,
                                                  nQoMDBG100::tStatus2& status) {
  return pick(owner, status, 49, any, [](const tCapabilityEntry& a, const tCapabilityEntry& b) {
    return a.value > b.value;
  });
}

const tCapabilityEntry* tCapabilityList::minEntry(const tProductDescriptor* owner,
                                                  nQoMDBG100::tStatus2& status) {
  return pick(owner, status, 55, any, [](const tCapabilityEntry& a, const tCapabilityEntry& b) {
    return a.value < b.value;
  });
}

const tCapabilityEntry* tCapabilityList::entryAt(const tProductDescriptor* owner, uint32_t n,
                                                 nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return nullptr;
  const tCapabilityEntry* const* list = listOf(owner);
  if (list != nullptr && n != 0) {
    uint32_t position = 1;
    for (; *list != nullptr; ++list, ++position)
      if (position == n) return *list;
  }
  setCode(status, kBadArgument, {"tCapabilityList", 70});
  return nullptr;
}

uint32_t tCapabilityList::positionOf(const tProductDescriptor* owner, const tCapabilityEntry* entry,
                                     nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return 0;
  uint32_t position = 1;
  if (const tCapabilityEntry* const* list = listOf(owner))
    for (; *list != nullptr && *list != entry; ++list) ++position;
  return position;
}

}  // namespace nQoUdR100
