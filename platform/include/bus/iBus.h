// The bus of a device: register windows, interrupts and atomic operations.
// Operations are added here as the register code needs them.
#pragma once

#include <cstdint>

class iBus {
 public:
  virtual ~iBus() = default;
};
