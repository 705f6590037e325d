// The text parsers of the parse utilities over fuzzed text: the number
// parsers end, the command-line split stays within its two slots and the
// line, and the splitters and the trimmer give back parts of their source.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frame/nParseUtilities.h"
#include "support/tFreshSimulation.h"

namespace {

using namespace nQoUdR100;
using namespace nQoUdR100::nQoKABBO_1_0::nParseUtilities;

// True when part occurs in whole at position at.
bool standsAt(const tString& whole, std::size_t at, const tString& part) {
  return at + part.size() <= whole.size() &&
         std::memcmp(whole.c_str() + at, part.c_str(), part.size()) == 0;
}

void checkSplits(const tString& source, std::size_t start) {
  nQoAPALS100::tStatus status;
  tString head, tail;
  splitAtChar(source, '/', head, tail, status, start);
  if (status.code != 0) std::abort();
  if (start >= source.size()) {
    if (!head.empty() || !tail.empty()) std::abort();
  } else if (!standsAt(source, start, head) ||
             (!tail.empty() && !standsAt(source, source.size() - tail.size(), tail)) ||
             start + head.size() + (tail.empty() ? 0 : tail.size() + 1) > source.size()) {
    std::abort();
  }

  splitPath(source, head, tail, status);
  if (status.code != 0 || head.size() + tail.size() > source.size()) std::abort();
  if (!source.empty() && tail.empty() && !head.empty()) std::abort();

  nQoAPALS100::tStatus qualified;
  splitQualifiedPath(source, head, tail, qualified);
  if (qualified.code != 0 && qualified.code != -200099 && qualified.code != -201237) std::abort();

  tString trimmed(source);
  trimWhitespace(trimmed, status);
  if (trimmed.size() > source.size()) std::abort();
  for (std::size_t at = 0; at + trimmed.size() <= source.size(); ++at)
    if (standsAt(source, at, trimmed)) return;
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  std::vector<char> line(data, data + size);
  line.push_back('\0');

  parseIntegerInRadix(line.data());
  parseUnsignedInRadix32(line.data());
  parseSignedInRadix32(line.data());

  const uint32_t count = countTokens(line.data());
  std::vector<char> split(line);
  char* slots[3] = {nullptr, nullptr, nullptr};
  splitCommandLine(2, split.data(), slots);
  if (slots[2] != nullptr) std::abort();
  for (uint32_t i = 0; i < 2; ++i) {
    if ((slots[i] != nullptr) != (i < count)) std::abort();
    if (slots[i] != nullptr && (slots[i] < split.data() || slots[i] >= split.data() + split.size()))
      std::abort();
  }

  const tString source(line.data(), size);
  const std::size_t start = size > 0 ? data[0] % (size + 3) : 0;
  checkSplits(source, start);
  return 0;
}
