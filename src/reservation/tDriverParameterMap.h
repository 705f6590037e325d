// Named 32-bit values kept sorted by name (wide characters compared as
// signed values, a proper prefix first), over a growable array.
#pragma once

#include <cstdint>

#include "frame/tBasicString.h"
#include "frame/tGrowableArray.h"

namespace nQoMRTB100 {

class tDriverParameterMap {
 public:
  // The stored value, or null.
  uint32_t* find(const nQoUdR100::tWString& key);
  // Stores the value under the key, replacing one stored before; false when
  // a new entry cannot be allocated (the map is then unchanged).
  bool assign(const nQoUdR100::tWString& key, uint32_t value);
  // Adds an entry for a key the map does not hold; false when it cannot be
  // allocated (the map is then unchanged).
  bool insert(const nQoUdR100::tWString& key, uint32_t value);
  std::size_t size() const { return _entries.size(); }
  // Sticky: set once an entry could not be allocated.
  bool allocationFailed() const { return _allocationFailed; }

 private:
  struct tEntry {
    nQoUdR100::tWString key;
    uint32_t value;
  };

  tEntry* lowerBound(const nQoUdR100::tWString& key);

  nQoUdR100::tGrowableArray<tEntry> _entries;
  bool _allocationFailed = false;
};

}  // namespace nQoMRTB100
