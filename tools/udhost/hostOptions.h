// The host program's command line: the model to run (all shipped records
// when none is named), the task sizes, the DMA channel and the test switches.
//
//   tHostOptions options;
//   if (!parseHostOptions(argc, argv, options, error)) ... exit 2 with error ...
#pragma once

#include <cstdint>
#include <string>

namespace nQoHost {

struct tHostOptions {
  std::string model;  // empty: every shipped record
  uint32_t scans = 100;
  uint32_t updates = 32;
  uint32_t dmaChannel = 2;
  uint32_t stopAfter = 0;      // 0: the task runs to its end
  uint32_t stallAfter = 0;     // 0: the engine feeds every scan
  uint32_t stallSeconds = 10;  // a task that moves nothing this long timed out
  bool simulatedTag = false;
  bool sweep = false;
  bool help = false;
};

// Fills the options; false with a message for a bad option, a missing value,
// a value out of range or an unknown model, the text refused in quotes.
bool parseHostOptions(int argc, const char* const* argv, tHostOptions& options, std::string& error);

extern const char* const kHostUsage;

}  // namespace nQoHost
