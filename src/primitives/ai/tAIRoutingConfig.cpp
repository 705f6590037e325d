#include "primitives/ai/tAIRoutingConfig.h"

namespace nQoUdP100 {

namespace {

constexpr int32_t kNoTerminal = 0x7FFF0000;

void fillIfUnset(int32_t& word, int32_t value) {
  if (word == tAIRoutingConfig::kUnset) word = value;
}

// Words first..first+2 become 0, 1, 1; only the unset ones unless forced.
void fillTriple(int32_t* words, uint32_t first, bool force) {
  constexpr int32_t kValues[3] = {0, 1, 1};
  for (uint32_t i = 0; i < 3; ++i) {
    if (force)
      words[first + i] = kValues[i];
    else
      fillIfUnset(words[first + i], kValues[i]);
  }
}

}  // namespace

uint32_t tAIRoutingConfig::fillInFlags() {
  uint32_t kind = kExternalSampleClock;
  if (words[0] == 0 || words[0] == kNoTerminal) {
    kind = kInternalSampleClock;
    words[1] = 0;
  } else {
    fillIfUnset(words[1], 0);
  }

  const bool internalStart = words[3] == 0 || words[3] == 18;
  fillTriple(words, 4, internalStart);
  words[15] = internalStart ? 1 : 0;

  if (words[13] == 0 || words[14] == kUnset) words[14] = 0;

  if (words[7] == 19) {
    words[8] = 0;
    words[9] = 0;
    words[10] = 1;
  } else if (words[7] == 31) {
    words[9] = 0;
    words[10] = 0;
  } else {
    fillTriple(words, 8, words[7] == 0 || words[7] == 32);
  }

  if (words[11] == 0 || words[11] == 19 || words[12] == kUnset) words[12] = 0;

  if (words[16] == 31) {
    words[17] = 1;
    words[18] = 0;
    words[19] = 1;
  } else {
    fillTriple(words, 17, words[16] == 0);
  }

  fillTriple(words, 21, words[20] == 0);
  return kind;
}

}  // namespace nQoUdP100
