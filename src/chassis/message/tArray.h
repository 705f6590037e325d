// The growable array that carries the variable-length arguments and results
// of chassis requests (T: unsigned char, unsigned short or unsigned int).
//
//   nQoFSL100::tArray<unsigned int> values;
//   values.append(7);            // grows to 1, 2, 4, ... elements
//   values.allocationFailed();   // sticky: an element was dropped
//
// A failed growth drops that one element and sets the flag; the next append
// is still tried. Nothing here sets a status code.
#pragma once

#include <cstddef>
#include <cstdint>

#include "apal/nQoAPALMemory.h"
#include "frame/memMove.h"

namespace nQoFSL100 {

template <class T>
class tArray {
 public:
  tArray() = default;
  ~tArray() { _memDelete(_begin); }
  tArray(const tArray&) = delete;
  tArray& operator=(const tArray&) = delete;

  // Replaces the contents with a copy of the source: storage for exactly its
  // elements and its allocation-failed flag. When no storage can be had the
  // copy is empty, its flag is set and the result is false.
  bool copyFrom(const tArray& source) {
    clear();
    _allocationFailed = source._allocationFailed;
    const std::size_t count = source.size();
    if (count == 0) return true;
    if (count > capacity() && !replaceStorage(count)) return false;
    nQoUdR100::memMove(_begin, source._begin, count * sizeof(T));
    _end = _begin + count;
    return true;
  }

  // False when the element was dropped for want of storage.
  bool append(T value) {
    if (_end == _capacityEnd && !replaceStorage(size() == 0 ? 1 : size() * 2)) return false;
    *_end++ = value;
    return true;
  }

  // Empties the array; its storage and flag stay.
  void clear() { _end = _begin; }

  // How many elements fit before the next append must grow the storage.
  std::size_t room() const { return static_cast<std::size_t>(_capacityEnd - _end); }
  // Takes count elements of the room (count <= room()) and gives the first
  // of them, for the caller to set.
  T* extend(std::size_t count) {
    T* first = _end;
    _end += count;
    return first;
  }

  std::size_t size() const { return static_cast<std::size_t>(_end - _begin); }
  bool empty() const { return _end == _begin; }
  bool allocationFailed() const { return _allocationFailed != 0; }
  T* begin() { return _begin; }
  T* end() { return _end; }
  const T* begin() const { return _begin; }
  const T* end() const { return _end; }
  T& operator[](std::size_t index) { return _begin[index]; }
  const T& operator[](std::size_t index) const { return _begin[index]; }

 private:
  std::size_t capacity() const { return static_cast<std::size_t>(_capacityEnd - _begin); }

  // Moves the elements into new storage for count elements.
  bool replaceStorage(std::size_t count) {
    T* block = nullptr;
    if (count <= SIZE_MAX / sizeof(T))
      block = static_cast<T*>(_memNewUsingCRT(count * sizeof(T), 0, nullptr));
    if (block == nullptr) {
      _allocationFailed = 1;
      return false;
    }
    const std::size_t kept = size();
    if (kept != 0) nQoUdR100::memMove(block, _begin, kept * sizeof(T));
    _memDelete(_begin);
    _begin = block;
    _end = block + kept;
    _capacityEnd = block + count;
    return true;
  }

  T* _begin = nullptr;
  T* _end = nullptr;
  uint8_t _allocationFailed = 0;
  T* _capacityEnd = nullptr;
};

}  // namespace nQoFSL100
