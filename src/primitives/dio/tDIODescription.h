// The static digital part of the board description: the power-up kind, the
// signal-conditioning (TESK) link flag, the kinds of the first two ports and
// the widths in lines of the power-up ports. The digital subsystem reads it
// at construction, the power-up primitives read the kind and the widths.
//
//   tDIODescription dio{.timing = 1, .ports = {{6, 0}, {4, 0}}};   // fixed pair, link
#pragma once

#include <cstdint>

namespace nQoUdP100 {

struct tDIOPort {
  uint32_t kind = 0;
  uint32_t secondWord = 0;
};

struct tDIODescription {
  // Port kinds 6 then 4: the fixed-direction board variant.
  static constexpr uint32_t kFixedInputKind = 6;
  static constexpr uint32_t kFixedOutputKind = 4;

  uint32_t kind = 0;
  // Non-zero: the board has the TESK link.
  uint32_t timing = 0;
  tDIOPort ports[2] = {};
  // The widths in lines (32, 16 or 8) of power-up ports 0 to 2.
  uint32_t powerupWidths[3] = {};

  bool isFixedDirection() const {
    return ports[0].kind == kFixedInputKind && ports[1].kind == kFixedOutputKind;
  }
};

}  // namespace nQoUdP100
