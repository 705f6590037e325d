// debugWriteLine with any message and suffix: the line stays within 255
// characters and ends with the suffix (its first 255 characters at most).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "frame/debugLine.h"
#include "support/tFreshSimulation.h"

namespace {

std::string gSuffix;

void check(const char* text) {
  const size_t length = std::strlen(text);
  if (length > 255) std::abort();
  const std::string kept = gSuffix.substr(0, 255);
  if (length < kept.size() ||
      std::memcmp(text + length - kept.size(), kept.data(), kept.size()) != 0)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  nQoUdR100::gDebugSettings.output = check;
  // The first byte splits the rest into the message and the suffix; the
  // suffix may be longer than a line.
  const size_t split = size == 0 ? 0 : data[0] * 2 % size;
  const std::string rest(reinterpret_cast<const char*>(data), size);
  const std::string message = rest.substr(0, split);
  gSuffix = rest.substr(split);
  gSuffix = gSuffix.substr(0, std::strlen(gSuffix.c_str()));
  const uint32_t number =
      size >= 4 ? static_cast<uint32_t>(data[1] << 16 | data[2] << 8 | data[3]) : 0;
  nQoUdR100::debugLinePrint({message.c_str(), number, gSuffix.c_str()}, "%s", message.c_str());
  return 0;
}
