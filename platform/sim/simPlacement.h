// Where a benchmark's buffer in the simulated chassis transport starts, so
// that a copy between it and the benchmark's own storage runs at one relative
// placement whatever the heap did before: 2 KiB past near's place in its
// 4 KiB page. The buffer is kPlacementSlack bytes longer than it must hold.
//
//   bytes.assign(size + kPlacementSlack, 0);
//   start = offsetNear(bytes.data(), near);
#pragma once

#include <cstddef>
#include <cstdint>

namespace nQoSim {

inline constexpr std::size_t kPlacementSlack = 4096;

inline std::size_t offsetNear(const void* buffer, const void* near) {
  constexpr std::size_t kDistance = 2048;
  const auto at = reinterpret_cast<uintptr_t>(buffer);
  return (reinterpret_cast<uintptr_t>(near) + kDistance - at) % kPlacementSlack;
}

}  // namespace nQoSim
