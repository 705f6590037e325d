// The portability layer's status: a size word and a 64-bit code, and in the
// extended form (size 216 or more) the component, source path, line and up to
// ten stack-trace words of the site that set the code. Codes are taken by the
// same merge rule as the system's status object.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoAPALS100 {

constexpr uint64_t kPlainStatusSize = 16;
constexpr uint64_t kExtendedStatusSize = 216;

struct tStatus {
  uint64_t size = kPlainStatusSize;
  int64_t code = 0;

  bool isFatal() const { return code < 0; }
  bool isExtended() const { return size >= kExtendedStatusSize; }
};

struct tStatusExtended : tStatus {
  static constexpr unsigned kComponentSize = 10;
  static constexpr unsigned kFileSize = 101;
  static constexpr unsigned kStackTraceWords = 10;

  tStatusExtended() : tStatus{kExtendedStatusSize, 0} {}

  char component[kComponentSize] = {};
  char file[kFileSize] = {};
  uint64_t line = 0;
  uint64_t stackTrace[kStackTraceWords] = {};
};

static_assert(sizeof(tStatus) == kPlainStatusSize);
static_assert(sizeof(tStatusExtended) == kExtendedStatusSize);

// Store the code (and the location) without the merge rule: the callers
// below apply it.
void storeCodeWithLocation(tStatus& status, int64_t code, const char* component, const char* file,
                           uint64_t line);
void storeMergedStatus(tStatus& status, const tStatus& other);

// True when the code was taken. Below size 216 only the code is touched. A
// null component or file counts as empty; a path above 100 characters keeps
// its first 49, "..", and its last 49.
// The merge rule is applied here; only a code that is taken calls the store.
inline bool setStatusWithLocation(tStatus& status, int64_t code, const char* component,
                                  const char* file, uint64_t line) {
  if (!nQoMDBG100::takesCode(status.code, code)) return false;
  storeCodeWithLocation(status, code, component, file, line);
  return true;
}
// Takes the other's code and location; when both are extended, also its
// stack-trace words.
inline bool mergeStatusWithLocation(tStatus& status, const tStatus& other) {
  if (!nQoMDBG100::takesCode(status.code, other.code)) return false;
  storeMergedStatus(status, other);
  return true;
}

}  // namespace nQoAPALS100
