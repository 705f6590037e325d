// The version words of this system, the compatibility check that other
// modules call with the range of versions they accept, and the
// version-information record.
//
//   int status = 0;
//   nQoUdR100::compareVersion(tSSVersion(0x1580C0EE), tSSVersion(0x02004000), status, "ai");  // 0
#pragma once

#include <cstdint>

#include "pal/tSSVersion.h"

namespace nQoUdR100 {

// 21.8.0f238
inline constexpr uint32_t kCurrentVersionWord = 0x1580C0EE;
// 2.0.0a0
inline constexpr uint32_t kOldestCompatibleVersionWord = 0x02004000;

tSSVersion& getCurrentVersion(tSSVersion& out);
tSSVersion& getOldestCompatibleVersion(tSSVersion& out);

// The caller accepts [oldest, newest]. Nothing when the status holds an error.
// kInvertedRange for an inverted range, kVersionTooOld when newest is older
// than the oldest compatible version, kVersionTooNew when oldest is newer than
// this system; a failure also writes a trace line naming both ranges. A warning
// stays when the check passes. component may be null.
void compareVersion(const tSSVersion& newest, const tSSVersion& oldest, int& status,
                    const char* component);

// Nine "key=value" texts and a null pointer.
const char* const* getVersionRecord();

}  // namespace nQoUdR100
