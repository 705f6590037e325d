// System information of the portability layer: the time of day that time
// stamps carry.
#pragma once

#include <cstdint>

class tPALSysInfo {
 public:
  // The platform clock in nanoseconds (the test clock while a test drives it).
  static uint64_t getTime();
};
