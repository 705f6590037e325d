// A pseudo-random sequence of 32-bit values in one word: each step is
// state × 2147001325 + 715136305 modulo 2^32, which runs through all 2^32
// values before it repeats, whatever the seed.
#pragma once

#include <cstdint>

namespace nQoUdR100 {

class tLinearCongruentialGenerator {
 public:
  explicit tLinearCongruentialGenerator(uint32_t seed) : _state(seed) {}

  void setSeed(uint32_t seed) { _state = seed; }
  // Advances one step and answers the new state.
  uint32_t next() {
    _state = _state * 2147001325u + 715136305u;
    return _state;
  }

 private:
  uint32_t _state;
};

}  // namespace nQoUdR100
