// A narrow string on the platform allocator, as the object broker's streams
// read and write it. A copy that cannot be allocated keeps the old text and
// sets a sticky flag; a copy takes the source's flag, so only a copy of a
// sound string clears it:
//
//   nQoORB100::tNarrowString name;
//   name.assign("AI_ADC", 6);          // false when out of memory
//   name.c_str();                      // "" while empty
#pragma once

#include <cstddef>

namespace nQoORB100 {

class tNarrowString {
 public:
  tNarrowString() = default;
  tNarrowString(const tNarrowString& other) : _allocationFailed(other._allocationFailed) {
    assign(other._text, other._size);
  }
  tNarrowString(tNarrowString&& other) noexcept { swap(other); }
  tNarrowString& operator=(const tNarrowString& other);
  tNarrowString& operator=(tNarrowString&& other) noexcept;
  ~tNarrowString();

  // Copies length characters (text may lie inside this string's own block,
  // which is reused when the text fits); false (text kept, flag set) when out
  // of memory.
  bool assign(const char* text, std::size_t length);

  const char* c_str() const { return _text != nullptr ? _text : ""; }
  std::size_t size() const { return _size; }
  bool allocationFailed() const { return _allocationFailed; }
  bool operator==(const tNarrowString& other) const;

 private:
  void swap(tNarrowString& other) noexcept;

  char* _text = nullptr;
  std::size_t _size = 0;
  std::size_t _capacity = 0;
  bool _allocationFailed = false;
};

}  // namespace nQoORB100
