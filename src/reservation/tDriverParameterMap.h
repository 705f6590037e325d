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
  std::size_t size() const { return _entries.size(); }

 private:
  struct tEntry {
    nQoUdR100::tWString key;
    uint32_t value;
  };

  tEntry* lowerBound(const nQoUdR100::tWString& key);

  nQoUdR100::tGrowableArray<tEntry> _entries;
};

}  // namespace nQoMRTB100
