// The line-filter part of the board description: how many lines each filter
// group has (PFI lines, trigger-bus lines). The capability record points at
// a list of them.
#pragma once

#include <cstdint>

namespace nQoUdP100 {

struct tLineFilterDescription {
  uint32_t pfiLines = 0;
  uint32_t rivoLines = 0;
};

struct tLineFilterList {
  uint32_t count = 0;
  const tLineFilterDescription* filters = nullptr;
};

}  // namespace nQoUdP100
