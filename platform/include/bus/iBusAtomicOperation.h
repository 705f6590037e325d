// A short sequence that the bus runs with the device's interrupt excluded.
#pragma once

#include <cstdint>

class iBusAtomicOperation {
 public:
  virtual ~iBusAtomicOperation() = default;
  // Runs once; answers a status code, which the bus stores in the caller's.
  virtual int32_t operateAtomically() = 0;
};
