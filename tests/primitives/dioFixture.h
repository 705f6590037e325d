// A Tavik map whose dirty bytes are all cleared (so a register is written
// only when its value changes), with helpers over the access and lock logs,
// and the line-reservation double of the comm routing.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "primitives/cdioFixture.h"
#include "primitives/dio/iDigReserver.h"
#include "sim/simSync.h"

namespace nQoTest {

inline tAccess wrote8(uint32_t offset, uint32_t value) { return wrote(offset, value, 8); }

// Acquires (+n) and releases (-n) of every sync object, numbered in order of
// first appearance.
inline std::vector<int> lockSequence() {
  std::vector<const iSync*> seen;
  std::vector<int> order;
  for (const auto& record : nQoSim::syncLog()) {
    if (record.operation != nQoSim::tSyncRecord::kAcquire &&
        record.operation != nQoSim::tSyncRecord::kRelease)
      continue;
    size_t n = 0;
    while (n < seen.size() && seen[n] != record.object) ++n;
    if (n == seen.size()) seen.push_back(record.object);
    const int id = static_cast<int>(n + 1);
    order.push_back(record.operation == nQoSim::tSyncRecord::kAcquire ? id : -id);
  }
  return order;
}

// Reserves and releases by mask; logs "reserve:<mask>" and "release:<mask>"
// and refuses the next reserve with refuseWith when it is set.
class tLineReserver : public nQoUdP100::iDigReserver {
 public:
  tLineReserver(std::string name, std::vector<std::string>* calls) : name(name), calls(calls) {}
  void reserve(uint32_t mask, nQoMDBG100::tStatus2& status) override {
    calls->push_back(name + ":reserve:" + std::to_string(mask));
    if (refuseWith != 0) status.setCode(refuseWith, "test", "tLineReserver", 1);
  }
  void release(uint32_t mask, nQoMDBG100::tStatus2&) override {
    calls->push_back(name + ":release:" + std::to_string(mask));
  }
  std::string name;
  std::vector<std::string>* calls;
  int refuseWith = 0;
};

class tDIOTest : public tTavikMapTest {
 protected:
  void SetUp() override {
    tTavikMapTest::SetUp();
    cleanMap();
  }
  void cleanMap() {
    for (uint32_t index = 0; index < tTavik::kRegisterCount; ++index)
      map->markClean(index, &status);
  }
  void clearLogs() {
    windows.clearLog();
    nQoSim::clearSyncLog();
    nQoSim::clearStatusLog();
  }
  void setRead32(uint32_t offset, uint32_t value) { windows.setRead(window, offset, 32, value); }
};

}  // namespace nQoTest
