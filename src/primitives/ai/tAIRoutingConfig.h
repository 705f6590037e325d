// Which terminal drives each input of the AI timing engine, and its flags:
// 24 words, streamed as i32 in word order. A select word holds a terminal
// code; a flag word holds 0 or 1, or kUnset until fillInFlags gives it a
// value (a flag still unset when programmed sets its bit).
//
//   tAIRoutingConfig routing;
//   routing.words[0] = 5;                          // the sample clock's terminal
//   uint32_t kind = routing.fillInFlags();         // 2: an external sample clock
#pragma once

#include <cstdint>
#include <tuple>

#include "primitives/common/tConfigRecord.h"

namespace nQoUdP100 {

struct tAIRoutingConfig : tConfigRecord<tAIRoutingConfig> {
  using T = tAIRoutingConfig;
  static constexpr int32_t kUnset = -1;
  static constexpr uint32_t kWordCount = 24;
  // What fillInFlags answers.
  enum tSampleClockKind : uint32_t { kInternalSampleClock = 1, kExternalSampleClock = 2 };

  // clang-format off
  int32_t words[kWordCount] = {
      0, kUnset, 0,                        // 0-2: sample clock select and flag; mode-3 flag
      0, kUnset, kUnset, kUnset,           // 3-6: register 0x17C select and flags
      0, kUnset, kUnset, kUnset,           // 7-10: register 0x17C second select and flags
      0, kUnset,                           // 11-12: convert select and flag
      0, kUnset, 1,                        // 13-15: tAI_Mode_3 select and flags
      0, kUnset, kUnset, kUnset,           // 16-19: trigger select and flags
      0, kUnset, kUnset, kUnset};          // 20-23: second trigger select and flags
  // clang-format on

  // Gives the unset flags their values from the selects, in word order, and
  // answers the sample-clock kind.
  uint32_t fillInFlags();

  static constexpr std::tuple kFields{&T::words};
};

}  // namespace nQoUdP100
