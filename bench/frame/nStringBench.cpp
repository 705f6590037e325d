// The text conversions into a buffer on ASCII text, on text with characters
// of every length, and on text whose last character is bad, each beside a
// hand-written converter that does the same work: finds the end, checks every
// character (a bad one writes nothing), converts with the same room checks
// and terminates. UTF-8 <-> UTF-16 also take the UTF-32 scratch's storage
// from the allocator past 64 code points, and so does their floor; the
// counter "allocations" is the platform allocations per conversion. The
// string converter refills a string that keeps its storage.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "apal/nQoAPALMemory.h"
#include "frame/nString.h"
#include "frame/tStatus.h"
#include "sim/simAllocator.h"

namespace {

using namespace nQoUdR100::nQoKABBO_1_0::nString;

template <class tIn, class tOut>
using tConverter = uint64_t (*)(const tIn*, uint64_t, tOut*, uint64_t, tStatus&, uint32_t);

// Text of `points` code points from a repeated sample, and the sample's bad
// character appended when there is one.
template <class tIn>
std::vector<tIn> textOf(std::vector<tIn> sample, uint32_t samplePoints, uint32_t points,
                        std::vector<tIn> bad = {}) {
  std::vector<tIn> text;
  for (uint32_t i = 0; i < points / samplePoints; ++i)
    text.insert(text.end(), sample.begin(), sample.end());
  text.insert(text.end(), bad.begin(), bad.end());
  return text;
}

std::vector<char> utf8(uint32_t points, bool mixed, bool bad) {
  if (!mixed)
    return textOf<char>({'x'}, 1, points, bad ? std::vector<char>{'\xC3'} : std::vector<char>{});
  return textOf<char>({'a', '\xC3', '\xA9', '\xE2', '\x82', '\xAC', '\xF0', '\x9D', '\x84', '\x9E'},
                      4, points, bad ? std::vector<char>{'\xFF'} : std::vector<char>{});
}

std::vector<uint16_t> utf16(uint32_t points, bool mixed, bool bad) {
  const std::vector<uint16_t> badUnit =
      bad ? std::vector<uint16_t>{0xD800} : std::vector<uint16_t>{};
  if (!mixed) return textOf<uint16_t>({'x'}, 1, points, badUnit);
  return textOf<uint16_t>({'a', 0xE9, 0x20AC, 0xD834, 0xDD1E}, 4, points, badUnit);
}

std::vector<wchar_t> utf32(uint32_t points, bool mixed, bool bad) {
  const std::vector<wchar_t> badPoint =
      bad ? std::vector<wchar_t>{0x200000} : std::vector<wchar_t>{};
  if (!mixed) return textOf<wchar_t>({L'x'}, 1, points, badPoint);
  return textOf<wchar_t>({L'a', 0xE9, 0x20AC, 0x1D11E}, 4, points, badPoint);
}

// ---- the hand-written converter of the floors

template <class tIn>
uint64_t endOf(const tIn* text, uint64_t length) {
  uint64_t n = 0;
  while (n < length && text[n] != 0) ++n;
  return n;
}

// Decoders: the elements used, 0 for a bad character.
unsigned fromByte(const char* at, uint64_t, int32_t& point) {
  point = static_cast<signed char>(*at);
  return 1;
}
unsigned fromUTF32(const wchar_t* at, uint64_t, int32_t& point) {
  point = *at;
  return 1;
}
unsigned fromUTF16(const uint16_t* at, uint64_t left, int32_t& point) {
  if (at[0] < 0xD800 || at[0] > 0xDBFF) return point = at[0], 1;
  if (left < 2 || at[1] < 0xDC00 || at[1] > 0xDFFF) return 0;
  point = 0x10000 + ((at[0] & 0x3FF) << 10) + (at[1] & 0x3FF);
  return 2;
}
unsigned fromUTF8(const char* at, uint64_t left, int32_t& point) {
  const uint8_t lead = static_cast<uint8_t>(at[0]);
  const unsigned length = lead < 0x80   ? 1
                          : lead < 0xC0 ? 0
                          : lead < 0xE0 ? 2
                          : lead < 0xF0 ? 3
                          : lead < 0xF8 ? 4
                                        : 0;
  if (length == 0 || left < length) return 0;
  uint32_t value = length == 1 ? lead : lead & (0x7F >> length);
  for (unsigned i = 1; i < length; ++i) {
    if ((at[i] & 0xC0) != 0x80) return 0;
    value = value << 6 | (at[i] & 0x3F);
  }
  point = static_cast<int32_t>(value);
  return length;
}

// Encoders: the elements written, 0 for a bad character.
unsigned toByte(int32_t point, char* out) { return *out = static_cast<char>(point), 1; }
unsigned toUTF32(int32_t point, wchar_t* out) { return *out = point, 1; }
unsigned toUTF16(int32_t point, uint16_t* out) {
  if (point < 0x10000) return *out = static_cast<uint16_t>(point), 1;
  if (point > 0x10FFFF) return 0;
  out[0] = static_cast<uint16_t>(0xD800 + ((point - 0x10000) >> 10));
  out[1] = static_cast<uint16_t>(0xDC00 + (point & 0x3FF));
  return 2;
}
unsigned toUTF8(int32_t point, char* out) {
  const uint32_t p = static_cast<uint32_t>(point);
  if (point < 0x80) return out[0] = static_cast<char>(p), 1;
  if (point < 0x800) {
    out[0] = static_cast<char>(0xC0 | p >> 6), out[1] = static_cast<char>(0x80 | (p & 0x3F));
    return 2;
  }
  if (point < 0x10000) {
    out[0] = static_cast<char>(0xE0 | p >> 12), out[1] = static_cast<char>(0x80 | (p >> 6 & 0x3F));
    out[2] = static_cast<char>(0x80 | (p & 0x3F));
    return 3;
  }
  if (point > 0x1FFFFF) return 0;
  out[0] = static_cast<char>(0xF0 | p >> 18), out[1] = static_cast<char>(0x80 | (p >> 12 & 0x3F));
  out[2] = static_cast<char>(0x80 | (p >> 6 & 0x3F)), out[3] = static_cast<char>(0x80 | (p & 0x3F));
  return 4;
}

// ASCII elements at the start, in whole 8-byte words.
template <class tIn>
uint64_t asciiWords(const tIn* text, uint64_t left) {
  constexpr uint64_t kPer = 8 / sizeof(tIn);
  constexpr uint64_t kHigh = sizeof(tIn) == 1   ? 0x8080808080808080u
                             : sizeof(tIn) == 2 ? 0xFF80FF80FF80FF80u
                                                : 0xFFFFFF80FFFFFF80u;
  uint64_t run = 0;
  for (uint64_t word; left - run >= kPer; run += kPer) {
    std::memcpy(&word, text + run, 8);
    if ((word & kHigh) != 0) break;
  }
  return run;
}

// Converts to the end or the first error (a bad character, too little room);
// a null destination only counts. With `direct`, the whole text is checked
// first (a bad character writes nothing) and storage for count + 1 UTF-32
// elements is taken past 64 code points, as the direct conversions do.
template <class tIn, class tOut, unsigned (*decode)(const tIn*, uint64_t, int32_t&),
          unsigned (*encode)(int32_t, tOut*), bool direct>
uint64_t handConvert(const tIn* text, uint64_t length, tOut* out, uint64_t capacity,
                     tStatus& status, uint32_t) {
  const uint64_t end = endOf(text, length);
  uint64_t count = 0;
  int32_t point;
  if (out == nullptr) capacity = UINT64_MAX;
  for (uint64_t at = 0; direct && at < end; ++count) {
    const uint64_t run = asciiWords(text + at, end - at);
    if (run != 0) {
      at += run, count += run - 1;
      continue;
    }
    const unsigned used = decode(text + at, end - at, point);
    if (used == 0) {
      nQoAPALS100::setStatusWithLocation(status, -200811, "qoudrk", "nStringBench", 1);
      return 0;
    }
    at += used;
  }
  void* storage = direct && count + 1 > 64 ? _memNewUsingCRT((count + 1) * 4, 0, nullptr) : nullptr;
  uint64_t produced = 0;
  for (uint64_t at = 0; at < end;) {
    const uint64_t run = asciiWords(text + at, end - at);
    if (run != 0 && capacity - produced >= run) {
      if (out != nullptr)
        for (uint64_t i = 0; i < run; ++i) out[produced + i] = static_cast<tOut>(text[at + i]);
      at += run, produced += run;
      continue;
    }
    tOut units[4];
    const unsigned used = decode(text + at, end - at, point);
    const unsigned written = used == 0 ? 0 : encode(point, units);
    if (written == 0 || capacity - produced < written) {
      nQoAPALS100::setStatusWithLocation(status, -200811, "qoudrk", "nStringBench", 2);
      break;
    }
    at += used;
    if (out != nullptr)
      for (unsigned i = 0; i < written; ++i) out[produced + i] = units[i];
    produced += written;
  }
  if (out != nullptr && produced < capacity) out[produced] = 0;
  if (storage != nullptr) _memDelete(storage);
  return produced;
}

// ---- the runs

// The text and the output of a conversion run sit in one block at one
// distance (the output starts 6 KiB past the text, half a page off), so that
// a path and its floor read and write the same places whatever the heap did.
alignas(4096) unsigned char gPlaces[4 * 4096];
constexpr size_t kOutputAt = 6 * 1024;

template <class tIn, class tOut>
void convertLoop(benchmark::State& state, tConverter<tIn, tOut> converter,
                 const std::vector<tIn>& text) {
  const uint64_t capacity = text.size() * 4 + 1;
  if (text.size() * sizeof(tIn) > kOutputAt ||
      capacity * sizeof(tOut) > sizeof gPlaces - kOutputAt) {
    state.SkipWithError("the text does not fit its place");
    return;
  }
  tIn* placedText = reinterpret_cast<tIn*>(gPlaces);
  tOut* out = reinterpret_cast<tOut*>(gPlaces + kOutputAt);
  std::copy(text.begin(), text.end(), placedText);
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    tStatus status;
    benchmark::DoNotOptimize(
        converter(placedText, text.size(), out, capacity, status, kTerminated));
    benchmark::ClobberMemory();
  }
  state.counters["allocations"] = benchmark::Counter(
      static_cast<double>(nQoSim::totalAllocations() - before), benchmark::Counter::kAvgIterations);
}

// Refuses a floor's run when the floor and the path give different answers,
// codes or elements for the text.
template <class tIn, class tOut>
void checkSameWork(benchmark::State& state, tConverter<tIn, tOut> path, tConverter<tIn, tOut> floor,
                   const std::vector<tIn>& text) {
  std::vector<tOut> pathOut(text.size() * 4 + 1, tOut(0x5A));
  std::vector<tOut> floorOut(pathOut);
  tStatus pathStatus;
  tStatus floorStatus;
  const uint64_t pathAnswer =
      path(text.data(), text.size(), pathOut.data(), pathOut.size(), pathStatus, kTerminated);
  const uint64_t floorAnswer =
      floor(text.data(), text.size(), floorOut.data(), floorOut.size(), floorStatus, kTerminated);
  if (pathAnswer != floorAnswer || pathStatus.code != floorStatus.code || pathOut != floorOut)
    state.SkipWithError("the floor does other work than the path");
}

enum tShape { kAscii, kMixed, kBad };

template <class tIn>
std::vector<tIn> shaped(std::vector<tIn> (*make)(uint32_t, bool, bool), tShape shape,
                        int64_t points) {
  return make(static_cast<uint32_t>(points), shape != kAscii, shape == kBad);
}

// A path, its floor, and their registration for each shape.
#define QOUDR_TEXT_BENCH(Path, tIn, tOut, make, converter, decode, encode, scratch)     \
  void BM_##Path(benchmark::State& state, tShape shape) {                               \
    convertLoop<tIn, tOut>(state, converter, shaped<tIn>(make, shape, state.range(0))); \
  }                                                                                     \
  void BM_##Path##_Floor(benchmark::State& state, tShape shape) {                       \
    constexpr auto floor = handConvert<tIn, tOut, decode, encode, scratch>;             \
    const std::vector<tIn> text = shaped<tIn>(make, shape, state.range(0));             \
    convertLoop<tIn, tOut>(state, floor, text);                                         \
    checkSameWork<tIn, tOut>(state, converter, floor, text);                            \
  }                                                                                     \
  BENCHMARK_CAPTURE(BM_##Path, ascii, kAscii)->Arg(63)->Arg(64);                        \
  BENCHMARK_CAPTURE(BM_##Path##_Floor, ascii, kAscii)->Arg(63)->Arg(64);                \
  BENCHMARK_CAPTURE(BM_##Path, mixed, kMixed)->Arg(64);                                 \
  BENCHMARK_CAPTURE(BM_##Path##_Floor, mixed, kMixed)->Arg(64);                         \
  BENCHMARK_CAPTURE(BM_##Path, bad, kBad)->Arg(64);                                     \
  BENCHMARK_CAPTURE(BM_##Path##_Floor, bad, kBad)->Arg(64);

QOUDR_TEXT_BENCH(UTF8ToUTF16, char, uint16_t, utf8, convertUTF8ToUTF16, fromUTF8, toUTF16, true)
// Physical floor: one element copied per element, then the NUL.
void BM_UTF8ToUTF16_PhysicalFloor(benchmark::State& state, tShape shape) {
  const std::vector<char> text = shaped<char>(utf8, shape, state.range(0));
  std::vector<uint16_t> out(text.size() + 1);
  for (auto _ : state) {
    size_t i = 0;
    for (; i < text.size(); ++i) out[i] = static_cast<uint16_t>(text[i]);
    out[i] = 0;
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK_CAPTURE(BM_UTF8ToUTF16_PhysicalFloor, ascii, kAscii)->Arg(63)->Arg(64);

QOUDR_TEXT_BENCH(UTF16ToUTF8, uint16_t, char, utf16, convertUTF16ToUTF8, fromUTF16, toUTF8, true)
// Physical floor: one element copied per element, then the NUL.
void BM_UTF16ToUTF8_PhysicalFloor(benchmark::State& state, tShape shape) {
  const std::vector<uint16_t> text = shaped<uint16_t>(utf16, shape, state.range(0));
  std::vector<char> out(text.size() + 1);
  for (auto _ : state) {
    size_t i = 0;
    for (; i < text.size(); ++i) out[i] = static_cast<char>(text[i]);
    out[i] = 0;
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK_CAPTURE(BM_UTF16ToUTF8_PhysicalFloor, ascii, kAscii)->Arg(63)->Arg(64);

QOUDR_TEXT_BENCH(UTF16ToUTF32, uint16_t, wchar_t, utf16, convertUTF16ToUTF32, fromUTF16, toUTF32,
                 false)
QOUDR_TEXT_BENCH(UTF32ToUTF16, wchar_t, uint16_t, utf32, convertUTF32ToUTF16, fromUTF32, toUTF16,
                 false)
QOUDR_TEXT_BENCH(UTF8ToUTF32, char, wchar_t, utf8, convertUTF8ToUTF32, fromUTF8, toUTF32, false)
QOUDR_TEXT_BENCH(UTF32ToUTF8, wchar_t, char, utf32, convertUTF32ToUTF8, fromUTF32, toUTF8, false)
QOUDR_TEXT_BENCH(WidenChars, char, wchar_t, utf8, widenChars, fromByte, toUTF32, false)
QOUDR_TEXT_BENCH(NarrowChars, wchar_t, char, utf32, narrowChars, fromUTF32, toByte, false)

// A string converter refills a string that keeps its storage: it counts,
// sizes the string, converts and drops the terminator; bad text stops at the
// count. Its floor does the same with the hand-written converter.
template <class tIn, class tOut, class tConvert>
void stringLoop(benchmark::State& state, tConvert convert, const std::vector<tIn>& text) {
  nQoUdR100::tBasicString<tOut> out;
  out.resize(text.size() * 4 + 1);
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    tStatus status;
    convert(text.data(), text.size(), out, status);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["allocations"] = benchmark::Counter(
      static_cast<double>(nQoSim::totalAllocations() - before), benchmark::Counter::kAvgIterations);
}

// Refuses a floor's run when the floor and the path leave different strings
// or codes.
template <class tIn, class tOut, class tPath, class tFloor>
void checkSameString(benchmark::State& state, tPath path, tFloor floor,
                     const std::vector<tIn>& text) {
  nQoUdR100::tBasicString<tOut> pathOut;
  nQoUdR100::tBasicString<tOut> floorOut;
  tStatus pathStatus;
  tStatus floorStatus;
  path(text.data(), text.size(), pathOut, pathStatus);
  floor(text.data(), text.size(), floorOut, floorStatus);
  if (pathStatus.code != floorStatus.code || pathOut.size() != floorOut.size() ||
      !std::equal(pathOut.data(), pathOut.data() + pathOut.size(), floorOut.data()))
    state.SkipWithError("the floor does other work than the path");
}

template <class tIn, class tOut, tConverter<tIn, tOut> convert>
void handToString(const tIn* text, uint64_t length, nQoUdR100::tBasicString<tOut>& out,
                  tStatus& status) {
  const uint64_t count = convert(text, length, nullptr, 0, status, kTerminated);
  if (status.code != 0) return;
  out.resize(count + 1);
  convert(text, length, out.data(), out.size(), status, kTerminated);
  out.resize(count);
}

#define QOUDR_STRING_BENCH(Path, tIn, tOut, make, converter, decode, encode, scratch)   \
  void path##Path(const tIn* text, uint64_t length, nQoUdR100::tBasicString<tOut>& out, \
                  tStatus& status) {                                                    \
    converter(text, length, out, status, kTerminated);                                  \
  }                                                                                     \
  void BM_##Path(benchmark::State& state, tShape shape) {                               \
    stringLoop<tIn, tOut>(state, path##Path, shaped<tIn>(make, shape, state.range(0))); \
  }                                                                                     \
  void BM_##Path##_Floor(benchmark::State& state, tShape shape) {                       \
    constexpr auto floor =                                                              \
        handToString<tIn, tOut, handConvert<tIn, tOut, decode, encode, scratch>>;       \
    const std::vector<tIn> text = shaped<tIn>(make, shape, state.range(0));             \
    stringLoop<tIn, tOut>(state, floor, text);                                          \
    checkSameString<tIn, tOut>(state, path##Path, floor, text);                         \
  }                                                                                     \
  BENCHMARK_CAPTURE(BM_##Path, ascii, kAscii)->Arg(63);                                 \
  BENCHMARK_CAPTURE(BM_##Path##_Floor, ascii, kAscii)->Arg(63);                         \
  BENCHMARK_CAPTURE(BM_##Path, mixed, kMixed)->Arg(64);                                 \
  BENCHMARK_CAPTURE(BM_##Path##_Floor, mixed, kMixed)->Arg(64);                         \
  BENCHMARK_CAPTURE(BM_##Path, bad, kBad)->Arg(64);                                     \
  BENCHMARK_CAPTURE(BM_##Path##_Floor, bad, kBad)->Arg(64);

QOUDR_STRING_BENCH(UTF8ToUTF16String, char, uint16_t, utf8, utf8ToUTF16String, fromUTF8, toUTF16,
                   true)
QOUDR_STRING_BENCH(UTF16ToUTF32String, uint16_t, wchar_t, utf16, utf16ToUTF32String, fromUTF16,
                   toUTF32, false)
QOUDR_STRING_BENCH(WidenToWString, char, wchar_t, utf8, widenToWString, fromByte, toUTF32, false)

}  // namespace
