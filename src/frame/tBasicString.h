// Strings of narrow (char), 16-bit (UTF-16 units) and wide (wchar_t, 32-bit)
// elements, always NUL-terminated, with no inline storage. A failed
// allocation changes nothing and sets a sticky flag instead of throwing:
//
//   tString name("nQoUdR100::tDriver");
//   if (name.allocationFailed()) ...          // or checkAllocation(status, site)
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "apal/nQoAPALMemory.h"
#include "frame/statusCodes.h"
#include "frame/tStatus.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100 {

template <class C>
class tBasicString {
 public:
  constexpr tBasicString() = default;
  explicit tBasicString(const C* text) { assign(text); }
  tBasicString(const C* text, std::size_t length) { assign(text, length); }
  tBasicString(const tBasicString& other) { assign(other._data, other._size); }
  tBasicString(tBasicString&& other) noexcept { swap(other); }
  tBasicString& operator=(const tBasicString& other) {
    if (this != &other) assign(other._data, other._size);
    return *this;
  }
  tBasicString& operator=(tBasicString&& other) noexcept {
    swap(other);
    return *this;
  }
  ~tBasicString() { _memDelete(_data); }

  static std::size_t length(const C* text) {
    std::size_t n = 0;
    if (text != nullptr)
      while (text[n] != C(0)) ++n;
    return n;
  }

  bool assign(const C* text) { return assign(text, length(text)); }
  bool assign(const C* text, std::size_t count) {
    if (count > 0 && !room(count)) return false;
    copy(_data, text, count);
    _size = count;
    if (_data != nullptr) _data[_size] = C(0);
    return true;
  }

  bool append(const C* text) { return append(text, length(text)); }
  // text may lie inside this string: the old block is freed after the copy.
  bool append(const C* text, std::size_t count) {
    if (count == 0) return true;
    C* oldBlock = nullptr;
    if (count > kMaxSize - _size || !room(_size + count, oldBlock)) {
      _allocationFailed = true;
      return false;
    }
    copy(_data + _size, text, count);
    _memDelete(oldBlock);
    _size += count;
    _data[_size] = C(0);
    return true;
  }
  bool append(C element) { return append(&element, 1); }
  bool append(const tBasicString& other) { return append(other._data, other._size); }

  bool reserve(std::size_t capacity) { return capacity <= _capacity || room(capacity); }

  // Grows with NUL elements or drops the tail; false (and the flag set) when
  // the storage cannot grow.
  bool resize(std::size_t count) {
    if (count > _size && !room(count)) return false;
    for (std::size_t i = _size; i < count; ++i) _data[i] = C(0);
    _size = count;
    if (_data != nullptr) _data[_size] = C(0);
    return true;
  }

  // Removes count elements from position on (fewer at the end).
  void erase(std::size_t position, std::size_t count) {
    if (position >= _size) return;
    if (count > _size - position) count = _size - position;
    copy(_data + position, _data + position + count, _size - position - count);
    _size -= count;
    _data[_size] = C(0);
  }

  // Exchanges contents, storage and flags.
  void swap(tBasicString& other) {
    std::swap(_data, other._data);
    std::swap(_size, other._size);
    std::swap(_capacity, other._capacity);
    std::swap(_allocationFailed, other._allocationFailed);
  }

  // Empties the string; the storage and the flag stay.
  void clear() {
    _size = 0;
    if (_data != nullptr) _data[0] = C(0);
  }

  // Frees the storage and forgets the flag.
  void reset() {
    _memDelete(_data);
    _data = nullptr;
    _size = _capacity = 0;
    _allocationFailed = false;
  }

  std::size_t size() const { return _size; }
  bool empty() const { return _size == 0; }
  const C* c_str() const { return _data != nullptr ? _data : &kEmpty; }
  C* data() { return _data; }
  C& operator[](std::size_t index) { return _data[index]; }
  const C& operator[](std::size_t index) const { return _data[index]; }

  // Element-wise comparison (wide characters as signed 32-bit values, narrow
  // and 16-bit ones unsigned); a proper prefix orders first.
  int compare(const tBasicString& other) const {
    const std::size_t n = _size < other._size ? _size : other._size;
    for (std::size_t i = 0; i < n; ++i) {
      if (rank(_data[i]) != rank(other._data[i]))
        return rank(_data[i]) < rank(other._data[i]) ? -1 : 1;
    }
    return _size == other._size ? 0 : (_size < other._size ? -1 : 1);
  }
  bool operator==(const tBasicString& other) const { return compare(other) == 0; }
  bool operator<(const tBasicString& other) const { return compare(other) < 0; }

  bool allocationFailed() const { return _allocationFailed; }
  void checkAllocation(nQoMDBG100::tStatus2& status, const tStatusSite& site) const {
    if (_allocationFailed) setCode(status, kOutOfMemory, site);
  }
  void checkAllocation(nQoAPALS100::tStatus& status, const tStatusSite& site) const {
    if (_allocationFailed) setCode(status, kOutOfMemory, site);
  }

 private:
  static constexpr std::size_t kMaxSize = (SIZE_MAX / sizeof(C)) / 2 - 1;
  static constexpr C kEmpty = C(0);

  static auto rank(C element) {
    if constexpr (sizeof(C) == 1)
      return static_cast<unsigned char>(element);
    else
      return element;
  }

  static void copy(C* to, const C* from, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) to[i] = from[i];
  }

  // Storage for count elements and the NUL; on failure nothing changes and the
  // flag is set.
  bool room(std::size_t count) {
    C* oldBlock = nullptr;
    if (!room(count, oldBlock)) return false;
    _memDelete(oldBlock);
    return true;
  }

  // As above, but a replaced block is handed to the caller to free.
  bool room(std::size_t count, C*& oldBlock) {
    if (count <= _capacity) return true;
    std::size_t capacity = _capacity * 2 > count ? _capacity * 2 : count;
    if (capacity > kMaxSize) capacity = count;
    C* block = count > kMaxSize
                   ? nullptr
                   : static_cast<C*>(_memNewUsingCRT((capacity + 1) * sizeof(C), 0, nullptr));
    if (block == nullptr) {
      _allocationFailed = true;
      return false;
    }
    copy(block, _data, _size);
    block[_size] = C(0);
    oldBlock = _data;
    _data = block;
    _capacity = capacity;
    return true;
  }

  C* _data = nullptr;
  std::size_t _size = 0;
  std::size_t _capacity = 0;
  bool _allocationFailed = false;
};

using tString = tBasicString<char>;
using tString16 = tBasicString<uint16_t>;
using tWString = tBasicString<wchar_t>;

}  // namespace nQoUdR100
