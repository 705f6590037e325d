// The status operations over a run of fixed codes (cleared every 64):
// setCode, setCode with a description attached, assign and _assign between
// statuses that carry descriptions, and the portability layer's
// setStatusWithLocation and mergeStatusWithLocation on extended statuses,
// each beside the same work written by hand. The status log is off; the
// statuses live on the heap, as a driver's do.
#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <cstring>
#include <memory>

#include "frame/tStatus.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "sim/simStatusLog.h"

namespace {

using nQoAPALS100::tStatusExtended;
using nQoMDBG100::takesCode;
using nQoMDBG100::tStatus2;

std::array<int, 1024> makeCodes() {
  std::array<int, 1024> codes{};
  const int kinds[] = {0, 0, 200010, 50202, -50150, -50352, 0, -7};
  for (std::size_t i = 0; i < codes.size(); ++i) codes[i] = kinds[(i * 7 + i / 8) % 8];
  return codes;
}

const std::array<int, 1024> kCodes = makeCodes();
constexpr char kComponent[] = "qoudrk";
constexpr char kFile[] = "qomiorlp/tavik/tTavik";

// A description that only counts its references, out of line as a real one.
class tCountedDescription : public nQoMDBG100::iStatus2Description {
 public:
  __attribute__((noinline)) void retain() override { ++references; }
  __attribute__((noinline)) void release() override { --references; }
  int references = 1;
};

// Runs body(i) over the codes with the status log off, clearing through
// reset every 64 codes.
template <class Reset, class Body>
void overCodes(benchmark::State& state, Reset reset, Body body) {
  nQoSim::setStatusLogging(false);
  for (auto _ : state) {
    for (std::size_t i = 0; i < kCodes.size(); ++i) {
      if (i % 64 == 0) reset();
      body(i);
    }
    benchmark::ClobberMemory();
  }
  nQoSim::setStatusLogging(true);
}

void BM_StatusSetCode(benchmark::State& state) {
  const auto held = std::make_unique<tStatus2>();
  tStatus2& status = *held;
  overCodes(
      state, [&] { status.clear(); },
      [&](std::size_t i) { status.setCode(kCodes[i], kComponent, kFile, 20); });
}
BENCHMARK(BM_StatusSetCode);

// Floor: the merge rule, then the platform's store.
void BM_StatusSetCode_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tStatus2>();
  tStatus2& status = *held;
  overCodes(
      state, [&] { status.clear(); },
      [&](std::size_t i) {
        if (takesCode(status.code, kCodes[i]))
          tStatus2::_setCode(&status, kCodes[i], kComponent, kFile, 20, nullptr);
      });
}
BENCHMARK(BM_StatusSetCode_Floor);

// Physical floor: the merge rule on a plain int.
void BM_StatusSetCode_PhysicalFloor(benchmark::State& state) {
  int stored = 0;
  overCodes(
      state, [&] { stored = 0; },
      [&](std::size_t i) {
        if (takesCode(stored, kCodes[i])) stored = kCodes[i];
      });
  benchmark::DoNotOptimize(stored);
}
BENCHMARK(BM_StatusSetCode_PhysicalFloor);

// A description and the status it is set on, in one block so that they lie
// the same way to each other in every run.
struct tDescribed {
  tCountedDescription description;
  tStatus2 status;
};

void BM_StatusSetCodeWithDescription(benchmark::State& state) {
  const auto held = std::make_unique<tDescribed>();
  tCountedDescription& description = held->description;
  tStatus2& status = held->status;
  overCodes(
      state, [&] { status.clear(); },
      [&](std::size_t i) {
        description.retain();
        nQoUdR100::setCode(status, kCodes[i], {kFile, 20}, &description);
      });
  status.clear();
  if (description.references != 1) state.SkipWithError("a reference was lost");
}
BENCHMARK(BM_StatusSetCodeWithDescription);

// Floor: the merge rule, then the platform's store with the description or
// the description's release.
void BM_StatusSetCodeWithDescription_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tDescribed>();
  tCountedDescription& description = held->description;
  tStatus2& status = held->status;
  overCodes(
      state, [&] { status.clear(); },
      [&](std::size_t i) {
        description.retain();
        if (takesCode(status.code, kCodes[i]))
          tStatus2::_setCode(&status, kCodes[i], kComponent, kFile, 20, &description);
        else
          description.release();
      });
}
BENCHMARK(BM_StatusSetCodeWithDescription_Floor);

// Eight sources with codes of the run, each with a description, and the
// status they are assigned to, in one block.
struct tSources {
  std::array<tCountedDescription, 8> descriptions;
  std::array<tStatus2, 8> statuses;
  tStatus2 status;
  tSources() {
    for (std::size_t i = 0; i < statuses.size(); ++i) {
      statuses[i].code = kCodes[i * 3];
      statuses[i].description = &descriptions[i];
    }
  }
  ~tSources() {
    for (tStatus2& source : statuses) source.description = nullptr;
  }
};

void BM_StatusAssign(benchmark::State& state) {
  const auto held = std::make_unique<tSources>();
  tSources& sources = *held;
  tStatus2& status = sources.status;
  overCodes(
      state, [&] { status.clear(); },
      [&](std::size_t i) { status.assign(sources.statuses[i % 8]); });
}
BENCHMARK(BM_StatusAssign);

// Floor: the merge rule, then the platform's _assign.
void BM_StatusAssign_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tSources>();
  tSources& sources = *held;
  tStatus2& status = sources.status;
  overCodes(
      state, [&] { status.clear(); },
      [&](std::size_t i) {
        const tStatus2& other = sources.statuses[i % 8];
        if (takesCode(status.code, other.code)) status._assign(other);
      });
}
BENCHMARK(BM_StatusAssign_Floor);

std::atomic<bool> gLogging{false};

void BM_StatusUnderscoreAssign(benchmark::State& state) {
  const auto held = std::make_unique<tSources>();
  tSources& sources = *held;
  tStatus2& status = sources.status;
  overCodes(
      state, [&] { status.clear(); },
      [&](std::size_t i) { status._assign(sources.statuses[i % 8]); });
}
BENCHMARK(BM_StatusUnderscoreAssign);

// The references moved, the code copied and the log's switch read, out of
// line as the platform's entry is.
__attribute__((noinline)) void assignByHand(tStatus2& status, const tStatus2& other) {
  if (other.description != nullptr) other.description->retain();
  if (status.description != nullptr) status.description->release();
  status.description = other.description;
  status.code = other.code;
  benchmark::DoNotOptimize(gLogging.load(std::memory_order_relaxed));
}

// Floor: the same work by hand, one call a code.
void BM_StatusUnderscoreAssign_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tSources>();
  tSources& sources = *held;
  tStatus2& status = sources.status;
  overCodes(
      state, [&] { status.clear(); },
      [&](std::size_t i) { assignByHand(status, sources.statuses[i % 8]); });
}
BENCHMARK(BM_StatusUnderscoreAssign_Floor);

// The extended status's location fields by hand: the component and the file
// copied and NUL-filled, a long file cut to its first and last 49 characters.
void storeLocation(tStatusExtended& status, const char* component, const char* file,
                   uint64_t line) {
  const size_t componentLength = strnlen(component, sizeof status.component - 1);
  std::memcpy(status.component, component, componentLength);
  std::memset(status.component + componentLength, 0, sizeof status.component - componentLength);
  const size_t fileLength = std::strlen(file);
  if (fileLength < sizeof status.file) {
    std::memcpy(status.file, file, fileLength);
    std::memset(status.file + fileLength, 0, sizeof status.file - fileLength);
  } else {
    std::memcpy(status.file, file, 49);
    std::memcpy(status.file + 49, "..", 2);
    std::memcpy(status.file + 51, file + fileLength - 49, 49);
    status.file[100] = '\0';
  }
  status.line = line;
  status.stackTrace[0] = 0;
}

void BM_SetStatusWithLocation(benchmark::State& state) {
  const auto held = std::make_unique<tStatusExtended>();
  tStatusExtended& status = *held;
  overCodes(
      state, [&] { status.code = 0; },
      [&](std::size_t i) {
        nQoAPALS100::setStatusWithLocation(status, kCodes[i], kComponent, kFile, 20);
      });
  benchmark::DoNotOptimize(status);
}
BENCHMARK(BM_SetStatusWithLocation);

void BM_SetStatusWithLocation_Floor(benchmark::State& state) {
  const auto held = std::make_unique<tStatusExtended>();
  tStatusExtended& status = *held;
  overCodes(
      state, [&] { status.code = 0; },
      [&](std::size_t i) {
        if (!takesCode(status.code, kCodes[i])) return;
        status.code = kCodes[i];
        storeLocation(status, kComponent, kFile, 20);
      });
  benchmark::DoNotOptimize(status);
}
BENCHMARK(BM_SetStatusWithLocation_Floor);

// Eight extended sources with codes of the run and two stack-trace words.
std::array<tStatusExtended, 8> extendedSources() {
  std::array<tStatusExtended, 8> sources;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    sources[i].code = kCodes[i * 3];
    storeLocation(sources[i], kComponent, kFile, 30 + i);
    sources[i].stackTrace[0] = 0x1000 + i;
    sources[i].stackTrace[1] = 0x2000 + i;
  }
  return sources;
}

void BM_MergeStatusWithLocation(benchmark::State& state) {
  const std::array<tStatusExtended, 8> sources = extendedSources();
  const auto held = std::make_unique<tStatusExtended>();
  tStatusExtended& status = *held;
  overCodes(
      state, [&] { status.code = 0; },
      [&](std::size_t i) { nQoAPALS100::mergeStatusWithLocation(status, sources[i % 8]); });
  benchmark::DoNotOptimize(status);
}
BENCHMARK(BM_MergeStatusWithLocation);

void BM_MergeStatusWithLocation_Floor(benchmark::State& state) {
  const std::array<tStatusExtended, 8> sources = extendedSources();
  const auto held = std::make_unique<tStatusExtended>();
  tStatusExtended& status = *held;
  overCodes(
      state, [&] { status.code = 0; },
      [&](std::size_t i) {
        const tStatusExtended& other = sources[i % 8];
        if (!takesCode(status.code, other.code)) return;
        status.code = other.code;
        storeLocation(status, other.component, other.file, other.line);
        for (unsigned word = 0; word < tStatusExtended::kStackTraceWords; ++word) {
          status.stackTrace[word] = other.stackTrace[word];
          if (other.stackTrace[word] == 0) break;
        }
      });
  benchmark::DoNotOptimize(status);
}
BENCHMARK(BM_MergeStatusWithLocation_Floor);

}  // namespace
