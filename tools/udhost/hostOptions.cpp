#include "hostOptions.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "device/tCapabilityTable.h"

namespace nQoHost {

const char* const kHostUsage =
    "usage: udhost [options]\n"
    "  --model <name>        run one board model (default: every shipped record)\n"
    "  --scans <1..65536>    scans of the AI task (100)\n"
    "  --updates <1..65536>  updates of the AO task (32); skipped when 2 x updates\n"
    "                        fill the AO FIFO\n"
    "  --dma-channel <0..14> DMA channel of the AI task (2)\n"
    "  --stop-after <k>      stop the AI task after k scans (below --scans)\n"
    "  --stall-after <k>     hold the AI engine after k scans and let the task wait\n"
    "                        (below --scans): it ends with end=timeout\n"
    "  --stall-seconds <s>   a task that moves no sample for s seconds (1..3600)\n"
    "                        ends with a timeout (10)\n"
    "  --sim-tag             the board's node reads as simulated\n"
    "  --sweep               fail each allocation in turn: load, bring-up, AI task\n"
    "  --help                this list\n";

namespace {

// A decimal number within [low, high]: digits only, since strtoull would
// skip white space and a sign before them and wrap a negative number.
bool number(const char* text, uint32_t low, uint32_t high, uint32_t& value) {
  if (text[0] < '0' || text[0] > '9') return false;
  char* end = nullptr;
  const unsigned long long parsed = std::strtoull(text, &end, 10);
  if (*end != '\0' || parsed < low || parsed > high) return false;
  value = static_cast<uint32_t>(parsed);
  return true;
}

// The text in double quotes, so white space at its ends shows; a quote, a
// backslash and a control byte are escaped (\", \\, \xHH), so the refusal
// stays one line that reads back as the text.
std::string quoted(const char* text) {
  std::string out = "\"";
  for (const char* at = text; *at != '\0'; ++at) {
    const auto byte = static_cast<unsigned char>(*at);
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += *at;
    } else if (byte < 0x20 || byte == 0x7F) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out += escaped;
    } else {
      out += *at;
    }
  }
  return out + '"';
}

struct tNumberOption {
  const char* name;
  uint32_t tHostOptions::*field;
  uint32_t low;
  uint32_t high;
};

constexpr tNumberOption kNumbers[] = {
    {"--scans", &tHostOptions::scans, 1, 65536},
    {"--updates", &tHostOptions::updates, 1, 65536},
    {"--dma-channel", &tHostOptions::dmaChannel, 0, 14},
    {"--stop-after", &tHostOptions::stopAfter, 1, 65535},
    {"--stall-after", &tHostOptions::stallAfter, 1, 65535},
    {"--stall-seconds", &tHostOptions::stallSeconds, 1, 3600},
};

}  // namespace

bool parseHostOptions(int argc, const char* const* argv, tHostOptions& options,
                      std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const char* option = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (std::strcmp(option, "--sim-tag") == 0) {
      options.simulatedTag = true;
      continue;
    }
    if (std::strcmp(option, "--sweep") == 0) {
      options.sweep = true;
      continue;
    }
    if (std::strcmp(option, "--help") == 0) {
      options.help = true;
      continue;
    }
    if (std::strcmp(option, "--model") == 0) {
      if (value == nullptr) {
        error = "--model needs a name";
        return false;
      }
      nQoMDBG100::tStatus2 status;
      if (nQoUdR100::tCapabilityTable::findByName(value, status) == nullptr) {
        error = "unknown model " + quoted(value);
        return false;
      }
      options.model = value;
      ++i;
      continue;
    }
    const tNumberOption* matched = nullptr;
    for (const tNumberOption& row : kNumbers)
      if (std::strcmp(option, row.name) == 0) matched = &row;
    if (matched == nullptr) {
      error = "unknown option " + quoted(option);
      return false;
    }
    if (value == nullptr) {
      error = std::string(option) + " needs a number";
      return false;
    }
    if (!number(value, matched->low, matched->high, options.*(matched->field))) {
      error = "bad value " + quoted(value) + " for " + option;
      return false;
    }
    ++i;
  }
  if (options.stopAfter != 0 && options.stopAfter >= options.scans) {
    error = "--stop-after must be below --scans";
    return false;
  }
  if (options.stallAfter != 0 && options.stallAfter >= options.scans) {
    error = "--stall-after must be below --scans";
    return false;
  }
  if (options.stopAfter != 0 && options.stallAfter != 0) {
    error = "--stop-after and --stall-after exclude each other";
    return false;
  }
  return true;
}

}  // namespace nQoHost
