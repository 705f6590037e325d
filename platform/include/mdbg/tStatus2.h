// The status object of the whole system: a code and an optional description.
//
//   nQoMDBG100::tStatus2 status;
//   status.setCode(-50352, "qoudrk", "tMultiReserver", 93);   // taken: first error
//   status.setCode(+200010, "qoudrk", "tMultiReserver", 94);  // refused: error stays
//
// 0 is success, a negative code an error, a positive code a warning.
#pragma once

#include <cstdint>

#include "mdbg/iStatus2Description.h"

namespace nQoMDBG100 {

// The merge rule: a new code is taken when it is not 0 and either nothing is
// stored yet, or a warning is stored and the new code is an error.
constexpr bool takesCode(int64_t stored, int64_t code) {
  return code != 0 && (stored == 0 || (stored > 0 && code < 0));
}

class tStatus2 {
 public:
  iStatus2Description* description = nullptr;
  int code = 0;

  tStatus2() = default;
  explicit tStatus2(int initial) : code(initial) {}
  ~tStatus2() { dropDescription(); }
  tStatus2(const tStatus2&) = delete;
  tStatus2& operator=(const tStatus2&) = delete;

  bool isFatal() const { return code < 0; }
  bool isNotFatal() const { return code >= 0; }
  bool isWarning() const { return code > 0; }

  void setCode(int newCode, const char* component, const char* file, unsigned line) {
    if (takesCode(code, newCode)) _setCode(this, newCode, component, file, line, nullptr);
  }

  void assign(const tStatus2& other) {
    if (takesCode(code, other.code)) _assign(other);
  }

  tStatus2& clear() {
    dropDescription();
    code = 0;
    return *this;
  }

  // Out of line, the platform's: store the code with its location and attach
  // the description (owned by the status from then on). Callers apply the
  // merge rule first.
  static void _setCode(tStatus2* status, int newCode, const char* component, const char* file,
                       unsigned line, iStatus2Description* newDescription);
  // Takes the other's code and a reference to its description.
  void _assign(const tStatus2& other);
  // Attaches a filled description, replacing one already held.
  static void setDescription(tStatus2* status, iStatus2Description* newDescription);

 private:
  void dropDescription() {
    if (description != nullptr) {
      description->release();
      description = nullptr;
    }
  }
};

}  // namespace nQoMDBG100
