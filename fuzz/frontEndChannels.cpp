// Channel lists from outside through the AI scanning front end's
// programChannels: the bytes give the capability words, the description's
// words and second record, and up to 12 channels (reference and positive
// input codes, flags, range). The front end writes only the configuration
// memory strobe (0x1A4), the bypass register (0x218), configuration words
// (0x5E) and the load strobe (0x110), one word per channel at most, and
// answers only 0, -200329, -50150, -223749 or -50352.
//
// Layout (missing bytes read as 0): capability word 2 (1 byte), capability
// word 4 (1), description flags (1: bit 0 word 1, bit 1 the built-in second
// record, bit 2 another one), channel count (1, 0-12), then per channel:
// reference (1: an index into the known codes, or the byte itself), input (1,
// likewise), flags (1), range (1: an index into the board's ranges, or an
// unknown one).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "device/tAIFrontEndCaps.h"
#include "device/tAIFrontEndSecondRecord.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tAIScanningFrontEndPrimitive.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "support/tFreshSimulation.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikHelper.h"

namespace {

using W = nQoSim::tSimRegisterWindows;
using nQoUdRLP100::tInterval;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_frontEndChannels: %s\n", what);
  std::abort();
}

uint32_t take(const uint8_t* data, size_t size, size_t& at) {
  return at < size ? data[at++] : (++at, 0u);
}

constexpr int32_t kCodes[] = {0,   8,   256, 257, 263, 264, 265, 266, 267, 268, 269,
                              270, 271, 272, 273, 274, 275, 300, 301, 302, 303};
constexpr uint32_t kCodeCount = sizeof kCodes / sizeof kCodes[0];

int32_t codeOf(uint32_t byte) {
  return byte < kCodeCount ? kCodes[byte] : static_cast<int32_t>(byte) - 128;
}

const tInterval kRanges[] = {{{-10, 0, 1}, {10, 0, 1}},
                             {{-1, 0, 1}, {1, 0, 1}},
                             {{-200, -3, 1}, {200, -3, 1}},
                             {{-1, -4, 1}, {1, -4, 1}}};
const nQoUdR100::tAIRangeCode kRangeCodes[] = {
    {&kRanges[0], 0, 0}, {&kRanges[1], 1, 1}, {&kRanges[2], 7, 0}, {nullptr, 0, 0}};
const nQoUdR100::tAIFrontEndCaps kCaps{kRangeCodes, nullptr};
const nQoUdR100::tAIFrontEndRangeCodes kLookup{&kCaps};
const nQoUdP100::tAIFrontEndSecondRecord kOtherRecord;

struct tBoard {
  tBoard() { bus.setLogging(false); }
  W windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  nQoMDBG100::tStatus2 status;
  nQoUdRLP100::nTavik::tTavik map{&bus, window, &status};
  nQoUdRLP100::tTavikHelper helper{&map};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static tBoard board;
  size_t at = 0;
  nQoUdP100::tAIFrontEndDescription description;
  description.capabilityWord2 = take(data, size, at);
  description.capabilityWord4 = take(data, size, at);
  const uint32_t flags = take(data, size, at);
  description.word1 = flags & 1;
  description.secondRecord = (flags & 2) != 0   ? &nQoUdP100::kBuiltInFrontEndRecord
                             : (flags & 4) != 0 ? &kOtherRecord
                                                : nullptr;
  description.rangeCodes = &kLookup;
  const uint32_t count = take(data, size, at) % 13;
  nQoUdP100::tAIScanningFrontEndPrimitiveConfig config;
  for (uint32_t i = 0; i < count; ++i) {
    nQoUdP100::tAIScanningFrontEndConfig entry;
    entry.referenceCode = codeOf(take(data, size, at));
    entry.positiveInputCode = codeOf(take(data, size, at));
    entry.channelFlags = take(data, size, at);
    const uint32_t range = take(data, size, at) % 5;
    const tInterval unknown{{3, 0, 1}, {4, 0, 2}};
    const tInterval& chosen = range < 4 ? kRanges[range] : unknown;
    entry.rangeLow = chosen.lower;
    entry.rangeHigh = chosen.upper;
    config.channels.append(entry);
  }

  nQoMDBG100::tStatus2 status;
  nQoUdP100::tAIScanningFrontEndPrimitive frontEnd(&description, &board.map, &board.helper, status);
  frontEnd.setConfiguration(config, status);
  board.windows.clearLog();
  frontEnd.programChannels(status);
  const int code = status.code;
  check(code == 0 || code == -200329 || code == -50150 || code == -223749 || code == -50352,
        "unexpected code");
  uint32_t words = 0;
  for (const auto& access : board.windows.writes()) {
    const uint32_t offset = access.offset;
    check(offset == 0x1A4 || offset == 0x218 || offset == 0x5E || offset == 0x110,
          "a write outside the front end's registers");
    words += offset == 0x5E ? 1 : 0;
  }
  check(words <= count, "more configuration words than channels");
  return 0;
}
