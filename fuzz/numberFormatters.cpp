// The three number formatters with any value, base and digit count, into a
// buffer with guard bytes on both sides.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "frame/numberText.h"
#include "support/tFreshSimulation.h"

namespace {

constexpr size_t kGuard = 16;
constexpr size_t kRoom = 72;  // 64 digits, "36#" and the NUL fit

void checkGuards(const unsigned char* buffer, size_t room) {
  for (size_t i = 0; i < kGuard; ++i)
    if (buffer[i] != 0xA5 || buffer[kGuard + room + i] != 0xA5) std::abort();
}

template <class tFormat>
void run(tFormat format) {
  unsigned char buffer[kGuard + kRoom + kGuard + 256];
  std::memset(buffer, 0xA5, sizeof buffer);
  char* start = reinterpret_cast<char*>(buffer + kGuard);
  char* end = format(start);
  if (end < start || *end != '\0' || static_cast<size_t>(end - start) != std::strlen(start))
    std::abort();
  checkGuards(buffer, kRoom);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  uint64_t value = 0;
  uint32_t base = 0;
  uint8_t count = 0;
  if (size >= 8) std::memcpy(&value, data, 8);
  if (size >= 12) std::memcpy(&base, data + 8, 4);
  if (size >= 13) count = data[12] % (kRoom);
  for (uint32_t b : {base, base % 40}) {
    run([&](char* at) { return nQoUdR100::unsignedToText(at, value, b); });
    run([&](char* at) { return nQoUdR100::unsignedToTextFixed(at, value, count, b); });
    run([&](char* at) { return nQoUdR100::unsignedToTextWithBase(at, value, b); });
  }
  return 0;
}
