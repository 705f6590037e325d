#include "device/tAIExcitationCaps.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100 {

namespace {

constexpr const char kFile[] = "tAIExcitationCaps";
const tAIExcitation kDefaultExcitation{0, {0, 0, 0}};

// The first entry of the wanted kind and value; null for none. A comparison
// that cannot be made sets -50150 and ends the walk.
const tAIExcitation* find(const tAIExcitation* const* list, const tAIExcitation& wanted,
                          nQoMDBG100::tStatus2& status) {
  for (; *list != nullptr; ++list) {
    const tAIExcitation& entry = **list;
    if (entry.kind != wanted.kind || entry.value.kind != wanted.value.kind) continue;
    int comparison = 0;
    const bool equal = nQoUdRLP100::tPhysicalValue::equal(entry.value, wanted.value, comparison);
    if (comparison < 0) {
      setCode(status, kRefused, {kFile, 30});
      return nullptr;
    }
    if (equal) return &entry;
  }
  return nullptr;
}

}  // namespace

const tAIExcitation& tAIExcitationCaps::findExcitation(const tAIExcitationCaps* holder,
                                                       const tAIExcitation& wanted,
                                                       nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return kDefaultExcitation;
  if (holder == nullptr || holder->excitations == nullptr) {
    setCode(status, kRefused, {kFile, 24});
    return kDefaultExcitation;
  }
  if (const tAIExcitation* found = find(holder->excitations, wanted, status)) return *found;
  setCode(status, kRefused, {kFile, 37});
  return kDefaultExcitation;
}

bool tAIExcitationCaps::isSupported(const tAIExcitationCaps* holder, const tAIExcitation& wanted,
                                    nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || holder == nullptr || holder->excitations == nullptr) return false;
  return find(holder->excitations, wanted, status) != nullptr;
}

}  // namespace nQoUdR100
