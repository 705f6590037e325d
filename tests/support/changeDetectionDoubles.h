// Doubles around change detection: static lines that log their latches, and
// readable lines (with their supervisor) that log each read and write a
// scripted pattern.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mrl/iDigReadablePrimSup.h"
#include "primitives/dio/iImmedDigPrimitive.h"
#include "support/reservationDoubles.h"

namespace nQoTest {

class tLoggedLines : public nQoUdP100::iImmedDigLatchablePrimitive {
 public:
  tLoggedLines(std::string name, std::vector<std::string>* log) : name(std::move(name)), log(log) {}
  uint32_t readLinesUnlocked(uint32_t, uint32_t* value, tStatus2&) override {
    log->push_back("latch " + name);
    *value = 0;
    return 1;
  }
  uint32_t readLines(uint32_t, uint32_t*, tStatus2&) override { return 0; }
  uint32_t writeLines(uint32_t, uint32_t, tStatus2&) override { return 0; }
  void setLineMode(uint32_t, int32_t, tStatus2&) override {}
  std::string name;
  std::vector<std::string>* log;
};

// Each read logs "read <timeout> <size> <mask>" and fills the bytes from
// pattern (0 past its end).
class tScriptedReadable : public nQoCDR100::iDigReadablePrim {
 public:
  explicit tScriptedReadable(std::vector<std::string>* log) : log(log) {}
  void read(uint32_t timeout, uint8_t* buffer, uint32_t size, uint32_t mask, uint32_t* result,
            tStatus2&) override {
    log->push_back("read " + std::to_string(timeout) + " " + std::to_string(size) + " " +
                   std::to_string(mask));
    if (onRead) onRead();
    for (uint32_t i = 0; i < size; ++i) buffer[i] = i < pattern.size() ? pattern[i] : 0;
    *result = 1;
  }
  std::vector<std::string>* log;
  std::vector<uint8_t> pattern;
  // Runs inside each read, before the bytes are written.
  std::function<void()> onRead;
};

class tScriptedReadableSupervisor : public tScriptedPartner<nQoCDR100::iDigReadablePrimSup> {
 public:
  tScriptedReadableSupervisor(tCallLog& calls, std::vector<std::string>* reads)
      : tScriptedPartner(calls, "readable"), readable(reads) {}
  nQoCDR100::iDigReadablePrim* getReadablePrimitive(tStatus2& s) override {
    answer("getReadablePrimitive", s);
    return &readable;
  }
  tScriptedReadable readable;
};

}  // namespace nQoTest
