// System information of the portability layer: the time of day that time
// stamps carry.
#pragma once

#include <cstdint>

// Seconds as a signed 128-bit fixed-point value: the integer seconds above 64
// fraction bits, one two's-complement number.
struct tPALTime128 {
  uint64_t fraction;
  int64_t integer;

  bool operator==(const tPALTime128& other) const = default;
};

class tPALSysInfo {
 public:
  // The platform clock in nanoseconds (the test clock while a test drives it).
  static uint64_t getTime();
  // The same clock in seconds, the fraction rounded down.
  static void getTime(tPALTime128& seconds);
};
