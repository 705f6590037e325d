// Test controls of the status service: every code set through _setCode or
// _assign is recorded, newest last (bounded; the oldest records drop out).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace nQoMDBG100 {
class iStatus2Description;
}

namespace nQoSim {

struct tStatusRecord {
  int code;
  std::string component;
  std::string file;
  unsigned line;
  const nQoMDBG100::iStatus2Description* description;
};

std::vector<tStatusRecord> statusLog();
void clearStatusLog();

}  // namespace nQoSim

namespace nQoSim {
// Recording is on by default; benchmarks turn it off.
void setStatusLogging(bool on);
}  // namespace nQoSim
