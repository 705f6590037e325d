// The version words of this system.
#pragma once

#include <cstdint>

namespace nQoUdR100 {

// 21.8.0f238
inline constexpr uint32_t kCurrentVersionWord = 0x1580C0EE;
// 2.0.0a0
inline constexpr uint32_t kOldestCompatibleVersionWord = 0x02004000;

}  // namespace nQoUdR100
