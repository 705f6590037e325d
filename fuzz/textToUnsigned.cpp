// The number parsers over arbitrary text: the first four bytes pick the base
// of textToUnsigned, the rest is the text.
#include <cstdint>
#include <cstring>
#include <string>

#include "frame/numberText.h"
#include "support/tFreshSimulation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  uint32_t base = 10;
  if (size >= 4) {
    std::memcpy(&base, data, 4);
    data += 4;
    size -= 4;
  }
  const std::string text(reinterpret_cast<const char*>(data), size);
  nQoUdR100::textToUnsigned(text.c_str(), base);
  nQoUdR100::textToUnsigned(text.c_str(), base % 40);
  nQoUdR100::textToUnsignedAutoBase(text.c_str());
  return 0;
}
