// A growable array that never throws. When full, a block for twice the
// element count (one element when empty) replaces the old one. An overflow or
// a failed allocation leaves the array as it was and sets a sticky flag that
// checkAllocation reports as kOutOfMemory:
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
#include "frame/statusCodes.h"
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
  // Takes the other's block and flag; the other is left empty.
  tGrowableArray(tGrowableArray&& other) noexcept
      : _begin(std::exchange(other._begin, nullptr)),
        _size(std::exchange(other._size, 0)),
        _capacity(std::exchange(other._capacity, 0)),
        _allocationFailed(other._allocationFailed) {}

  // False (and the flag set) when the element could not be added. value may
  // be one of the elements.
  bool append(const T& value) { return add(value); }
  bool append(T&& value) { return add(std::move(value)); }

  // Makes room for at least capacity elements.
  bool reserve(std::size_t capacity) {
    if (capacity <= _capacity) return true;
    T* oldBlock = nullptr;
    if (!grow(capacity, oldBlock)) return false;
    _memDelete(oldBlock);
    return true;
  }

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

  // Moves the later elements down by one and drops the last.
  void removeAt(std::size_t index) {
    if (index >= _size) return;
    for (std::size_t i = index + 1; i < _size; ++i) _begin[i - 1] = std::move(_begin[i]);
    _begin[--_size].~T();
  }

  bool allocationFailed() const { return _allocationFailed; }

  // kOutOfMemory when the flag is set; a stored error stays.
  void checkAllocation(nQoMDBG100::tStatus2& status, const tStatusSite& site) const {
    if (_allocationFailed) setCode(status, kOutOfMemory, site);
  }

 private:
  // A full array grows first: a new block, the elements moved over, the new
  // element stored, then the old block freed. An element appended to its own
  // array is taken from its new place.
  template <class V>
  bool add(V&& value) {
    auto* source = &value;
    T* oldBlock = nullptr;
    if (_size == _capacity) {
      const std::size_t index = indexOf(source);
      if (!grow(_capacity == 0 ? 1 : _capacity * 2, oldBlock)) return false;
      if (index < _size) source = _begin + index;
    }
    new (_begin + _size) T(std::forward<V>(*source));
    ++_size;
    _memDelete(oldBlock);
    return true;
  }

  // The position of element among the elements; size() when it is none of them.
  std::size_t indexOf(const T* element) const {
    for (std::size_t i = 0; i < _size; ++i)
      if (_begin + i == element) return i;
    return _size;
  }

  // Moves the elements into a block for capacity elements; the old block is
  // handed to the caller to free.
  bool grow(std::size_t capacity, T*& oldBlock) {
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
    oldBlock = _begin;
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
