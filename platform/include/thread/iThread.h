// What a platform thread runs: the thread calls run once and ends when it
// returns.
#pragma once

#include <cstdint>

class iThread {
 public:
  virtual ~iThread() = default;
  virtual int32_t run() = 0;
};
