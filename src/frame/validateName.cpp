// Name validation of the parse utilities.
#include "frame/nParseUtilities.h"
#include "frame/nString.h"
#include "frame/statusCodes.h"
#include "frame/tIntrinsicTypeReportable.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2Description.h"

namespace nQoUdR100::nQoKABBO_1_0::nParseUtilities {

namespace {

constexpr char kFile[] = "nParseUtilities";
constexpr uint64_t kNoPosition = ~uint64_t{0};
constexpr uint32_t kLastKind = 5;
constexpr std::size_t kLongestKind4Name = 254;

// Printable characters forbidden in every name, and those forbidden too in
// names of kinds 2 to 4. The control characters 8 to 31 and 127 count as set
// A; 1 to 7 are in neither set.
constexpr char kSetA[] = "\"%*,./<>?[\\]|";
constexpr char kSetBOnly[] = " :!#$&'()+;=@^`{}~";

bool inList(wchar_t c, const char* list) {
  for (; *list != '\0'; ++list)
    if (c == wchar_t(*list)) return true;
  return false;
}

bool inSetA(wchar_t c) { return (c >= 8 && c <= 31) || c == 127 || inList(c, kSetA); }
bool inSetB(wchar_t c) { return inSetA(c) || inList(c, kSetBOnly); }

// The position of the first character of the set, or kNoPosition.
uint64_t findForbidden(const tWString& name, bool (*inSet)(wchar_t)) {
  for (std::size_t i = 0; i < name.size(); ++i)
    if (inSet(name[i])) return i;
  return kNoPosition;
}

// The first ':' that is not half of a "::" pair, or kNoPosition.
uint64_t findLoneColon(const tWString& name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] != L':') continue;
    if (i + 1 == name.size() || name[i + 1] != L':') return i;
    ++i;
  }
  return kNoPosition;
}

// kBadNameCharacter with the position of the offending character.
void rejectAt(uint64_t position, tStatus& status, uint64_t* badPosition) {
  setCode(status, kBadNameCharacter, {kFile, 520});
  if (badPosition != nullptr) *badPosition = position;
}

void checkEdges(const tWString& name, tStatus& status) {
  const wchar_t first = name[0], last = name[name.size() - 1];
  if (first == L' ')
    setCode(status, kLeadingSpace, {kFile, 540});
  else if (last == L' ')
    setCode(status, kTrailingSpace, {kFile, 545});
  else if (first == L'_')
    setCode(status, kLeadingUnderscore, {kFile, 550});
  else if (first == L':' || last == L':')
    setCode(status, kBadNameCharacter, {kFile, 555});
}

bool isNameFailure(int code) { return code <= kBadNameCharacter && code >= kLeadingUnderscore; }

// A description with the name (tag 177) and, when there is one, the bad
// position (tag 194). Its own failures stay in a status that is dropped.
nQoMDBG100::iStatus2Description* describeName(const tWString& name, uint64_t badPosition) {
  auto* description = new nQoMDBG100::tStatus2Description;
  if (description == nullptr) return nullptr;
  nQoMDBG100::tStatus2 local;
  nQoMDBG100::tIntrinsicTypeReportable<tWString> text;
  if (!text.values().append(name) || text.values()[0].allocationFailed())
    setCode(local, kOutOfMemory, {nQoMDBG100::kReportableFile, 319});
  description->addProperty(177, text, local);
  if (badPosition != kNoPosition) {
    nQoMDBG100::tIntrinsicTypeReportable<unsigned int> position;
    if (!position.values().append(static_cast<unsigned int>(badPosition)))
      setCode(local, kOutOfMemory, {nQoMDBG100::kReportableFile, 71});
    description->addProperty(194, position, local);
  }
  return description;
}

}  // namespace

void validateName(const tWString& name, const uint32_t* kind, tStatus& status,
                  uint64_t* badPosition) {
  if (status.isFatal()) return;
  if (badPosition != nullptr) *badPosition = kNoPosition;
  if (kind == nullptr) {
    setCode(status, kNullPointer, {kFile, 500});
    return;
  }
  if (name.empty()) {
    setCode(status, kEmptyName, {kFile, 505});
    return;
  }
  if (*kind > kLastKind) {
    rejectAt(0, status, badPosition);
  } else {
    const bool strict = *kind >= 2 && *kind <= 4;
    uint64_t position = findForbidden(name, strict ? inSetB : inSetA);
    if (position == kNoPosition && !strict) position = findLoneColon(name);
    if (position != kNoPosition)
      rejectAt(position, status, badPosition);
    else
      checkEdges(name, status);
  }
  if (*kind == 4 && name.size() > kLongestKind4Name) setCode(status, kNameTooLong, {kFile, 570});
}

void validateName(const tString& name, const uint32_t* kind, tStatus& status,
                  uint64_t* badPosition) {
  if (status.isFatal()) return;
  if (badPosition != nullptr) *badPosition = kNoPosition;
  tWString wide;
  nString::utf8ToUTF32String(name, wide, status);
  validateName(wide, kind, status, badPosition);
}

void validateName(const tWString& name, const uint32_t* kind, nQoMDBG100::tStatus2& status,
                  uint64_t* badPosition) {
  if (status.isFatal()) return;
  tStatus local{nQoAPALS100::kPlainStatusSize, status.code};
  uint64_t position = kNoPosition;
  validateName(name, kind, local, &position);
  if (badPosition != nullptr) *badPosition = position;
  if (local.code != 0) status.setCode(static_cast<int>(local.code), "", "", 0);
  if (isNameFailure(status.code))
    nQoMDBG100::tStatus2::setDescription(&status, describeName(name, position));
}

void validateName(const tWString& name, const uint32_t* kind, uint64_t,
                  nQoMDBG100::tStatus2& status, uint64_t* badPosition) {
  validateName(name, kind, status, badPosition);
}

}  // namespace nQoUdR100::nQoKABBO_1_0::nParseUtilities
