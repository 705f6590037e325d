// Counting, then splitting into exactly that many slots and into two: every
// stored pointer lies inside the line and names a NUL-terminated token.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frame/commandLine.h"
#include "support/tFreshSimulation.h"

namespace {

void checkSplit(const uint8_t* data, size_t size, int32_t slots, int32_t expected) {
  std::vector<char> line(data, data + size);
  line.push_back('\0');
  std::vector<char*> pointers(static_cast<size_t>(slots) + 1, nullptr);
  nQoUdR100::splitCommandLine(slots, line.data(), pointers.data());
  for (int32_t i = 0; i < slots; ++i) {
    char* token = pointers[i];
    if (i >= expected) {
      if (token != nullptr) std::abort();
      continue;
    }
    if (token < line.data() || token >= line.data() + line.size()) std::abort();
    if (std::memchr(token, '\0', static_cast<size_t>(line.data() + line.size() - token)) == nullptr)
      std::abort();
  }
  if (pointers[slots] != nullptr) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  std::vector<char> line(data, data + size);
  line.push_back('\0');
  const int32_t count = nQoUdR100::countCommandLineTokens(line.data());
  if (count < 0) std::abort();
  checkSplit(data, size, count, count);
  checkSplit(data, size, 2, count < 2 ? count : 2);
  return 0;
}
