// A growable array that never throws. When full, a block for twice the
// element count (one element when empty) replaces the old one. An overflow or
// a failed allocation leaves the array as it was and sets a sticky flag that
// checkAllocation reports as -50352:
//
//   tGrowableArray<iReserver*> members;
//   members.append(reserver);
//   members.checkAllocation(status, {"tMultiReserver", 93});
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include "apal/nQoAPALMemory.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100 {

template <class T>
class tGrowableArray {
 public:
  tGrowableArray() = default;
  ~tGrowableArray() {
    destroyElements();
    _memDelete(_begin);
  }
  tGrowableArray(const tGrowableArray&) = delete;
  tGrowableArray& operator=(const tGrowableArray&) = delete;

  // False (and the flag set) when the element could not be added.
  bool append(const T& value) {
    if (_size == _capacity && !grow(_capacity == 0 ? 1 : _capacity * 2)) return false;
    new (_begin + _size) T(value);
    ++_size;
    return true;
  }
  bool append(T&& value) {
    if (_size == _capacity && !grow(_capacity == 0 ? 1 : _capacity * 2)) return false;
    new (_begin + _size) T(std::move(value));
    ++_size;
    return true;
  }

  // Makes room for at least capacity elements.
  bool reserve(std::size_t capacity) { return capacity <= _capacity || grow(capacity); }

  std::size_t size() const { return _size; }
  bool empty() const { return _size == 0; }
  T& operator[](std::size_t index) { return _begin[index]; }
  const T& operator[](std::size_t index) const { return _begin[index]; }
  T* begin() { return _begin; }
  T* end() { return _begin + _size; }
  const T* begin() const { return _begin; }
  const T* end() const { return _begin + _size; }

  // Empties the array; the block and the flag stay.
  void clear() {
    destroyElements();
    _size = 0;
  }

  bool allocationFailed() const { return _allocationFailed; }

  // -50352 when the flag is set; a stored error stays.
  void checkAllocation(nQoMDBG100::tStatus2& status, const tStatusSite& site) const {
    if (_allocationFailed) setCode(status, -50352, site);
  }

 private:
  bool grow(std::size_t capacity) {
    // NOLINTNEXTLINE(bugprone-sizeof-expression): the element may be a pointer; its size is meant.
    if (capacity > SIZE_MAX / sizeof(T)) {
      _allocationFailed = true;
      return false;
    }
    // NOLINTNEXTLINE(bugprone-sizeof-expression): as above.
    T* block = static_cast<T*>(_memNewUsingCRT(capacity * sizeof(T), 0, nullptr));
    if (block == nullptr) {
      _allocationFailed = true;
      return false;
    }
    for (std::size_t i = 0; i < _size; ++i) {
      new (block + i) T(std::move(_begin[i]));
      _begin[i].~T();
    }
    _memDelete(_begin);
    _begin = block;
    _capacity = capacity;
    return true;
  }

  void destroyElements() {
    for (std::size_t i = 0; i < _size; ++i) _begin[i].~T();
  }

  T* _begin = nullptr;
  std::size_t _size = 0;
  std::size_t _capacity = 0;
  bool _allocationFailed = false;
};

}  // namespace nQoUdR100
