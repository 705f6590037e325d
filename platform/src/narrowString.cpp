#include <cstdint>
#include <cstring>
#include <utility>

#include "kal/nQoKAL.h"
#include "orb/tNarrowString.h"

namespace nQoORB100 {

tNarrowString& tNarrowString::operator=(const tNarrowString& other) {
  if (this == &other) return *this;
  _allocationFailed = other._allocationFailed;
  assign(other._text, other._size);
  return *this;
}

tNarrowString& tNarrowString::operator=(tNarrowString&& other) noexcept {
  swap(other);
  return *this;
}

tNarrowString::~tNarrowString() { nQoKAL100_free(_text); }

bool tNarrowString::assign(const char* text, std::size_t length) {
  if (length < _capacity) {
    if (length > 0) std::memmove(_text, text, length);
    _text[length] = '\0';
    _size = length;
    return true;
  }
  auto* block = length == SIZE_MAX ? nullptr : static_cast<char*>(nQoKAL100_malloc(length + 1));
  if (block == nullptr) {
    _allocationFailed = true;
    return false;
  }
  if (length > 0) std::memcpy(block, text, length);
  block[length] = '\0';
  nQoKAL100_free(_text);
  _text = block;
  _size = length;
  _capacity = length + 1;
  return true;
}

bool tNarrowString::operator==(const tNarrowString& other) const {
  return _size == other._size && std::memcmp(c_str(), other.c_str(), _size) == 0;
}

void tNarrowString::swap(tNarrowString& other) noexcept {
  std::swap(_text, other._text);
  std::swap(_size, other._size);
  std::swap(_capacity, other._capacity);
  std::swap(_allocationFailed, other._allocationFailed);
}

}  // namespace nQoORB100
