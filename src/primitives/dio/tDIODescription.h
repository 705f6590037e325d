// The static digital part of the board description: the power-up kind, the
// signal-conditioning (TESK) link flag and the kinds of the first two ports.
// The digital subsystem reads it at construction.
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

  bool isFixedDirection() const {
    return ports[0].kind == kFixedInputKind && ports[1].kind == kFixedOutputKind;
  }
};

}  // namespace nQoUdP100
