// The growable vector inside a configuration record: copyable (a copy that
// cannot get its storage keeps what fit and sets the sticky flag), compared
// element by element, and read from a stream without trusting the count:
// at most kReadReserve elements are reserved up front, the rest grow as they
// arrive.
//
//   tRecordVector<uint32_t> samples;
//   samples.append(7);
//   if (samples.allocationFailed()) ...;   // the owner reports -50352
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/tGrowableArray.h"

namespace nQoUdP100 {

template <class T>
class tRecordVector {
 public:
  using tElement = T;
  static constexpr uint32_t kReadReserve = 1024;

  tRecordVector() = default;
  tRecordVector(const tRecordVector& other) { copyFrom(other); }
  tRecordVector(tRecordVector&& other) noexcept = default;
  tRecordVector& operator=(const tRecordVector& other) {
    if (this == &other) return *this;
    _items.clear();
    copyFrom(other);
    return *this;
  }

  friend bool operator==(const tRecordVector& a, const tRecordVector& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (!(a[i] == b[i])) return false;
    return true;
  }

  std::size_t size() const { return _items.size(); }
  const T& operator[](std::size_t index) const { return _items[index]; }
  T& operator[](std::size_t index) { return _items[index]; }
  const T* begin() const { return _items.begin(); }
  const T* end() const { return _items.end(); }

  // False (and the flag set) when the element could not be added.
  bool append(const T& value) { return _items.append(value); }
  bool reserve(std::size_t count) { return _items.reserve(count); }
  void clear() { _items.clear(); }
  // A growth of this vector failed; the flag stays.
  bool allocationFailed() const { return _items.allocationFailed(); }

 private:
  void copyFrom(const tRecordVector& other) {
    if (!_items.reserve(other.size())) return;
    for (const T& item : other) _items.append(item);
  }

  nQoUdR100::tGrowableArray<T> _items;
};

}  // namespace nQoUdP100
