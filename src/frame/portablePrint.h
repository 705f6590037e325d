// Formatted printing of the portability layer, and the text form of a
// portability status.
#pragma once

#include <cstddef>

#include "frame/tStatus.h"

namespace nQoUdR100 {

// Through the debug facility's bounded-print slot.
int boundedPrintf(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
int unboundedPrintf(char* buffer, const char* format, ...) __attribute__((format(printf, 2, 3)));

// "\ntStatus contents:\n\tcode = ...", and for an extended status with a code
// its component, file, line and stack-trace words up to the first 0 (or ten).
// The length written, or -1 when it does not fit in size bytes.
int formatStatusContents(const nQoAPALS100::tStatus& status, char* buffer, size_t size);

}  // namespace nQoUdR100
