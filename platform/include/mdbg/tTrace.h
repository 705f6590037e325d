// Trace lines and the check facility of the platform.
#pragma once

#include <cstdint>

namespace nQoMDBG100 {

class tTraceLine;

class tTrace {
 public:
  static tTrace* getInstance(void* reserved);
  // Opens a line tagged with the component and the source location.
  static tTraceLine* beginLine(tTrace* trace, const char* component, const char* location,
                               unsigned line, ...);
  static void putf(tTraceLine* line, const char* format, ...) __attribute__((format(printf, 2, 3)));
  static void endl(tTraceLine* line);
};

// True when a failed check of this category is to be reported.
bool evalCheck(const char* category, const char* component, uint32_t version, unsigned line,
               const char* location);
void reportCheckFailure(const char* component, const char* location, unsigned line,
                        const char* expression);
void finishCheckFailure();

}  // namespace nQoMDBG100
