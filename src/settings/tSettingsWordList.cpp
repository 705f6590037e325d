#include "settings/tSettingsWordList.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100 {

tSettingsWordList& tSettingsWordList::operator=(const tSettingsWordList& other) {
  if (this == &other) return *this;
  _words.clear();
  _allocationFailed = other._allocationFailed;
  if (!_words.reserve(other.size())) {
    _allocationFailed = true;
    return *this;
  }
  for (uint32_t word : other) _words.append(word);
  return *this;
}

bool operator==(const tSettingsWordList& a, const tSettingsWordList& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

bool tSettingsWordList::append(uint32_t word) {
  if (_words.append(word)) return true;
  _allocationFailed = true;
  return false;
}

void tSettingsWordList::write(nQoORB100::iExternalOutputStream& out, int& status) const {
  if (size() > UINT32_MAX) mergeCode(status, kCountTooLarge);
  out.writeU32(static_cast<uint32_t>(size()), status);
  for (uint32_t word : *this) {
    if (status < 0) return;
    out.writeU32(word, status);
  }
}

bool tSettingsWordList::read(nQoORB100::iExternalInputStream& in, int& status) {
  const uint32_t count = in.readU32(status);
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t word = in.readU32(status);
    if (status < 0) return true;
    if (!append(word)) return false;
  }
  return true;
}

}  // namespace nQoUdR100
