// The list of u32 words of the AO FIFO and DAC transfer settings: a growable
// array with a flag that a failed growth sets. Reading and emptying keep the
// flag; assignment takes the source's flag (or sets it when the copy fails),
// so only assignment from a sound list clears it.
//
//   list.append(7);
//   if (list.allocationFailed()) ...;   // the owner reports -50352
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/tGrowableArray.h"
#include "orb/iExternalInputStream.h"
#include "orb/iExternalOutputStream.h"

namespace nQoUdR100 {

class tSettingsWordList {
 public:
  tSettingsWordList() = default;
  tSettingsWordList(const tSettingsWordList& other) { *this = other; }
  tSettingsWordList& operator=(const tSettingsWordList& other);
  ~tSettingsWordList() = default;

  friend bool operator==(const tSettingsWordList& a, const tSettingsWordList& b);

  std::size_t size() const { return _words.size(); }
  uint32_t operator[](std::size_t index) const { return _words[index]; }
  const uint32_t* begin() const { return _words.begin(); }
  const uint32_t* end() const { return _words.end(); }

  // False (and the flag set) when the word could not be added.
  bool append(uint32_t word);
  void clear() { _words.clear(); }
  bool allocationFailed() const { return _allocationFailed; }

  // The count (kCountTooLarge for more than 0xFFFFFFFF words; the low 32 bits
  // are written), then the words until the status holds an error.
  void write(nQoORB100::iExternalOutputStream& out, int& status) const;
  // Reads the count, then up to that many words, appending each; stops at the
  // first error in the status (the word read under it is dropped) or the
  // first failed append. False when an append failed; the caller reports it.
  bool read(nQoORB100::iExternalInputStream& in, int& status);

 private:
  tGrowableArray<uint32_t> _words;
  bool _allocationFailed = false;
};

}  // namespace nQoUdR100
