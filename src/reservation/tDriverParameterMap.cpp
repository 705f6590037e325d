#include "reservation/tDriverParameterMap.h"

#include <algorithm>
#include <utility>

namespace nQoMRTB100 {

tDriverParameterMap::tEntry* tDriverParameterMap::lowerBound(const nQoUdR100::tWString& key) {
  return std::lower_bound(
      _entries.begin(), _entries.end(), key,
      [](const tEntry& entry, const nQoUdR100::tWString& k) { return entry.key < k; });
}

uint32_t* tDriverParameterMap::find(const nQoUdR100::tWString& key) {
  tEntry* at = lowerBound(key);
  return at != _entries.end() && at->key == key ? &at->value : nullptr;
}

bool tDriverParameterMap::assign(const nQoUdR100::tWString& key, uint32_t value) {
  if (uint32_t* stored = find(key)) {
    *stored = value;
    return true;
  }
  return insert(key, value);
}

bool tDriverParameterMap::insert(const nQoUdR100::tWString& key, uint32_t value) {
  const std::size_t position = static_cast<std::size_t>(lowerBound(key) - _entries.begin());
  tEntry entry{key, value};
  if (entry.key.allocationFailed() || !_entries.append(std::move(entry))) {
    _allocationFailed = true;
    return false;
  }
  std::rotate(_entries.begin() + position, _entries.end() - 1, _entries.end());
  return true;
}

}  // namespace nQoMRTB100
