// The text converters against the element-by-element conversion they
// replace, kept here as the reference: the element converters (which now copy
// ASCII runs a word at a time) against one decode and one encode per
// character, and the direct UTF-8 <-> UTF-16 converters against two steps
// through a UTF-32 scratch built from those reference converters. The same
// answer, code, site and written elements for valid, bad and truncated text of
// many shapes, in both modes, into every kind of destination, and with the
// scratch's allocation failing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "frame/TempBuffer.h"
#include "frame/nString.h"
#include "frame/statusCodes.h"
#include "frame/tLinearCongruentialGenerator.h"
#include "frame/tStatusSite.h"
#include "sim/simAllocator.h"
#include "support/moduleFixture.h"

namespace {

using namespace nQoUdR100::nQoKABBO_1_0::nString;
using nQoAPALS100::tStatusExtended;

template <class tIn, class tOut>
using tConverter = uint64_t (*)(const tIn*, uint64_t, tOut*, uint64_t, tStatus&, uint32_t);

// ---- the reference: one character at a time

unsigned decodeByte(const char* at, uint64_t, int32_t& point) {
  point = static_cast<signed char>(at[0]);
  return 1;
}

unsigned decodeElement(const wchar_t* at, uint64_t, int32_t& point) {
  point = static_cast<int32_t>(at[0]);
  return 1;
}

unsigned decodeUTF16(const uint16_t* at, uint64_t left, int32_t& point) {
  if (at[0] < 0xD800 || at[0] > 0xDBFF) return point = at[0], 1;
  if (left < 2 || at[1] < 0xDC00 || at[1] > 0xDFFF) return 0;
  point = 0x10000 + ((at[0] & 0x3FF) << 10) + (at[1] & 0x3FF);
  return 2;
}

unsigned decodeUTF8(const char* at, uint64_t left, int32_t& point) {
  const uint8_t lead = static_cast<uint8_t>(at[0]);
  const unsigned length = lead < 0x80             ? 1
                          : (lead & 0xE0) == 0xC0 ? 2
                          : (lead & 0xF0) == 0xE0 ? 3
                          : (lead & 0xF8) == 0xF0 ? 4
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

unsigned encodeByte(int32_t point, char* out) { return out[0] = static_cast<char>(point), 1; }

unsigned encodeElement(int32_t point, wchar_t* out) { return out[0] = point, 1; }

unsigned encodeUTF16(int32_t point, uint16_t* out) {
  if (point < 0x10000) return out[0] = static_cast<uint16_t>(point), 1;
  if (point > 0x10FFFF) return 0;
  out[0] = static_cast<uint16_t>(0xD800 + ((point - 0x10000) >> 10));
  out[1] = static_cast<uint16_t>(0xDC00 + (point & 0x3FF));
  return 2;
}

unsigned encodeUTF8(int32_t point, char* out) {
  const uint32_t p = static_cast<uint32_t>(point);
  const unsigned length = point < 0x80 ? 1 : point < 0x800 ? 2 : point < 0x10000 ? 3 : 4;
  if (point > 0x1FFFFF) return 0;
  constexpr uint32_t kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
  out[0] = static_cast<char>(length == 1 ? p : kLead[length] | p >> (6 * (length - 1)));
  for (unsigned i = 1; i < length; ++i)
    out[i] = static_cast<char>(0x80 | (p >> (6 * (length - 1 - i)) & 0x3F));
  return length;
}

// Decode one character, encode it, until the end, a full destination or a bad
// character, with the sites the converters report.
template <class tIn, class tOut, unsigned (*decode)(const tIn*, uint64_t, int32_t&),
          unsigned (*encode)(int32_t, tOut*)>
uint64_t oneByOne(const tIn* source, uint64_t length, tOut* destination, uint64_t capacity,
                  tStatus& status, bool atNul, bool terminate) {
  if (status.isFatal()) return 0;
  if (source == nullptr) length = 0;
  uint64_t end = 0;
  while (end < length && !(atNul && source[end] == tIn(0))) ++end;
  uint64_t produced = 0;
  for (uint64_t at = 0; at < end;) {
    int32_t point;
    tOut units[4];
    const unsigned used = decode(source + at, end - at, point);
    const unsigned count = used == 0 ? 0 : encode(point, units);
    if (count == 0) {
      nQoUdR100::setCode(status, nQoUdR100::kBadCharacter, {"nString", 210});
      break;
    }
    if (destination != nullptr) {
      if (capacity - produced < count) {
        nQoUdR100::setCode(status, nQoUdR100::kDestinationFull, {"nString", 220});
        break;
      }
      for (unsigned i = 0; i < count; ++i) destination[produced + i] = units[i];
    }
    produced += count;
    at += used;
  }
  if (destination != nullptr && terminate) {
    if (produced < capacity)
      destination[produced] = tOut(0);
    else
      nQoUdR100::setCode(status, nQoUdR100::kDestinationFull, {"nString", 230});
  }
  return produced;
}

template <class tIn, class tOut, unsigned (*decode)(const tIn*, uint64_t, int32_t&),
          unsigned (*encode)(int32_t, tOut*)>
uint64_t reference(const tIn* source, uint64_t length, tOut* destination, uint64_t capacity,
                   tStatus& status, uint32_t mode) {
  return oneByOne<tIn, tOut, decode, encode>(source, length, destination, capacity, status,
                                             mode == kTerminated, mode == kTerminated);
}

// Two steps through a UTF-32 scratch: count the code points, take the scratch,
// fill it, convert exactly that many code points out (NULs among them
// included) and terminate in the caller's mode.
template <class tIn, class tOut, unsigned (*decode)(const tIn*, uint64_t, int32_t&),
          unsigned (*encode)(int32_t, tOut*)>
uint64_t throughUTF32(const tIn* source, uint64_t length, tOut* destination, uint64_t capacity,
                      tStatus& status, uint32_t mode) {
  if (status.isFatal()) return 0;
  constexpr auto toUTF32 = reference<tIn, wchar_t, decode, encodeElement>;
  const uint64_t count = toUTF32(source, length, nullptr, 0, status, mode);
  TempBuffer<wchar_t, 64> scratch(count + 1, status);
  toUTF32(source, length, scratch.data(), scratch.size(), status, mode);
  return oneByOne<wchar_t, tOut, decodeElement, encode>(
      scratch.data(), count, destination, capacity, status, false, mode == kTerminated);
}

// ---- the comparison

struct tOutcome {
  uint64_t answer;
  int64_t code;
  std::string file;
  uint64_t line;
  std::vector<uint32_t> written;  // the destination and its guards, or empty for none
  uint64_t allocations;
};

template <class tIn, class tOut>
tOutcome runOne(tConverter<tIn, tOut> converter, const std::vector<tIn>& source, bool toDestination,
                uint64_t capacity, uint32_t mode, uint64_t failNth) {
  std::vector<tOut> out(capacity + 4, tOut(0x5A));
  tStatusExtended status;
  const uint64_t before = nQoSim::totalAllocations();
  nQoSim::failAllocation(failNth);
  tOutcome outcome{};
  outcome.answer = converter(source.data(), source.size(), toDestination ? out.data() : nullptr,
                             toDestination ? capacity : 0, status, mode);
  nQoSim::failAllocation(0);
  outcome.allocations = nQoSim::totalAllocations() - before;
  outcome.code = status.code;
  outcome.file = status.file;
  outcome.line = status.line;
  if (toDestination) outcome.written.assign(out.begin(), out.end());
  return outcome;
}

// Compares the two converters over one source in both modes, into no
// destination and into destinations around the needed size, and with the
// scratch's allocation failing. Answers the number of runs compared.
template <class tIn, class tOut>
int compareOver(tConverter<tIn, tOut> converter, tConverter<tIn, tOut> reference,
                const std::vector<tIn>& source) {
  int runs = 0;
  for (uint32_t mode : {kTerminated, kCounted}) {
    tStatus sizing;
    const uint64_t needed = reference(source.data(), source.size(), nullptr, 0, sizing, mode);
    std::vector<std::pair<bool, uint64_t>> destinations = {{false, 0}, {true, 0}, {true, 1}};
    for (uint64_t capacity = needed > 2 ? needed - 2 : 0; capacity <= needed + 2; ++capacity)
      destinations.push_back({true, capacity});
    for (auto [toDestination, capacity] : destinations)
      for (uint64_t failNth : {0, 1}) {
        const tOutcome got = runOne(converter, source, toDestination, capacity, mode, failNth);
        const tOutcome expected = runOne(reference, source, toDestination, capacity, mode, failNth);
        EXPECT_EQ(got.answer, expected.answer);
        EXPECT_EQ(got.code, expected.code);
        EXPECT_EQ(got.file, expected.file);
        EXPECT_EQ(got.line, expected.line);
        EXPECT_EQ(got.written, expected.written);
        EXPECT_EQ(got.allocations, expected.allocations);
        ++runs;
        if (::testing::Test::HasFailure()) {
          ADD_FAILURE() << "mode " << mode << ", capacity " << capacity << ", fail " << failNth
                        << ", source of " << source.size();
          return runs;
        }
      }
  }
  return runs;
}

// Pieces of text, valid and not; the generator strings them together.
const std::vector<std::string> kUTF8Pieces = {"a",
                                              "Zq",
                                              "0123456789abcdef",
                                              "\x7F",
                                              "\xC3\xA9",
                                              "\xE2\x82\xAC",
                                              "\xF0\x9D\x84\x9E",
                                              "\xED\xA0\x80",
                                              "\xF4\x90\x80\x80",
                                              "\xF7\xBF\xBF\xBF",
                                              "\xC0\x80",
                                              std::string(1, '\0'),
                                              "\x80",
                                              "\xFF",
                                              "\xC3",
                                              "\xE2\x82",
                                              "\xF8\x88\x80\x80\x80"};
const std::vector<std::vector<uint16_t>> kUTF16Pieces = {{'a'},
                                                         {'Z', 'q'},
                                                         {'0', '1', '2', '3', '4', '5', '6', '7'},
                                                         {0x7F},
                                                         {0xE9},
                                                         {0x20AC},
                                                         {0xD834, 0xDD1E},
                                                         {0xDBFF, 0xDFFF},
                                                         {0xDC00},
                                                         {0},
                                                         {0xFFFF},
                                                         {0xD800},
                                                         {0xD800, 'a'}};
const std::vector<std::vector<wchar_t>> kUTF32Pieces = {
    {'a'},      {'Z', 'q'}, {'0', '1', '2', '3'}, {0x7F},      {0xE9},
    {0x20AC},   {0x1D11E},  {0x10FFFF},           {0},         {-1},
    {0x110000}, {0x1FFFFF}, {0x200000},           {0x7FFFFFFF}};

// Text from pieces: the first `valid` pieces are the valid ones (and NUL).
template <class tPiece, class tIn>
std::vector<std::vector<tIn>> texts(const std::vector<tPiece>& pieces, size_t valid) {
  std::vector<std::vector<tIn>> result = {{}};
  nQoUdR100::tLinearCongruentialGenerator generator(0xC0DE);
  for (int n = 0; n < 400; ++n) {
    std::vector<tIn> text;
    const uint32_t length = generator.next() % 90;
    const bool onlyValid = n % 3 != 0;
    for (uint32_t i = 0; i < length; ++i) {
      const tPiece& piece = pieces[generator.next() % (onlyValid ? valid : pieces.size())];
      text.insert(text.end(), piece.begin(), piece.end());
    }
    result.push_back(text);
  }
  // Around the 64 code points that the scratch holds without the allocator.
  for (size_t points = 60; points <= 67; ++points) {
    std::vector<tIn> text;
    for (size_t i = 0; i + 1 < points; ++i)
      text.insert(text.end(), pieces[0].begin(), pieces[0].end());
    result.push_back(text);
    text.insert(text.end(), pieces[4].begin(), pieces[4].end());
    result.push_back(text);
  }
  // Long ASCII runs with one other character at every position of a word.
  for (size_t at = 0; at < 24; ++at) {
    std::vector<tIn> text(70, tIn('x'));
    const tPiece& piece = pieces[4 + at % (pieces.size() - 4)];
    text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), piece.begin(), piece.end());
    result.push_back(text);
  }
  return result;
}

class DirectConversionTest : public nQoTest::tLeakCheckedTest {};

TEST_F(DirectConversionTest, UTF8ToUTF16MatchesTheConversionThroughUTF32) {
  int runs = 0;
  for (const std::vector<char>& text : texts<std::string, char>(kUTF8Pieces, 12)) {
    runs += compareOver<char, uint16_t>(
        convertUTF8ToUTF16, throughUTF32<char, uint16_t, decodeUTF8, encodeUTF16>, text);
    if (HasFailure()) return;
  }
  EXPECT_GT(runs, 10000);
}

TEST_F(DirectConversionTest, UTF16ToUTF8MatchesTheConversionThroughUTF32) {
  int runs = 0;
  for (const std::vector<uint16_t>& text :
       texts<std::vector<uint16_t>, uint16_t>(kUTF16Pieces, 11)) {
    runs += compareOver<uint16_t, char>(
        convertUTF16ToUTF8, throughUTF32<uint16_t, char, decodeUTF16, encodeUTF8>, text);
    if (HasFailure()) return;
  }
  EXPECT_GT(runs, 10000);
}

TEST_F(DirectConversionTest, ElementConvertersMatchTheConversionOneCharacterAtATime) {
  int runs = 0;
  for (const std::vector<char>& text : texts<std::string, char>(kUTF8Pieces, 12)) {
    runs += compareOver<char, wchar_t>(widenChars,
                                       reference<char, wchar_t, decodeByte, encodeElement>, text);
    runs += compareOver<char, wchar_t>(convertUTF8ToUTF32,
                                       reference<char, wchar_t, decodeUTF8, encodeElement>, text);
    if (HasFailure()) return;
  }
  for (const std::vector<uint16_t>& text :
       texts<std::vector<uint16_t>, uint16_t>(kUTF16Pieces, 11)) {
    runs += compareOver<uint16_t, wchar_t>(
        convertUTF16ToUTF32, reference<uint16_t, wchar_t, decodeUTF16, encodeElement>, text);
    if (HasFailure()) return;
  }
  for (const std::vector<wchar_t>& text : texts<std::vector<wchar_t>, wchar_t>(kUTF32Pieces, 10)) {
    runs += compareOver<wchar_t, char>(narrowChars,
                                       reference<wchar_t, char, decodeElement, encodeByte>, text);
    runs += compareOver<wchar_t, uint16_t>(
        convertUTF32ToUTF16, reference<wchar_t, uint16_t, decodeElement, encodeUTF16>, text);
    runs += compareOver<wchar_t, char>(convertUTF32ToUTF8,
                                       reference<wchar_t, char, decodeElement, encodeUTF8>, text);
    if (HasFailure()) return;
  }
  EXPECT_GT(runs, 60000);
}

// 16- and 32-bit text with a NUL at every place of an 8-byte word, among
// elements whose low or high bits are set or clear.
TEST_F(DirectConversionTest, TheNulIsFoundAtEveryPlaceOfAWord) {
  const std::vector<uint16_t> units = {0x0001, 0x0100, 0x8000, 0xFFFF, 0x00FF, 0x7FFF, 0xFF00};
  const std::vector<wchar_t> points = {0x00000001, 0x00010000, 0x00008000, -1,
                                       0x7FFFFFFF, 0x00000100, 0x000000FF};
  int runs = 0;
  for (size_t at = 0; at <= 20; ++at) {
    std::vector<uint16_t> text16;
    std::vector<wchar_t> text32;
    for (size_t i = 0; i < 20; ++i) {
      text16.push_back(i == at ? 0 : units[i % units.size()]);
      text32.push_back(i == at ? 0 : points[i % points.size()]);
    }
    runs += compareOver<uint16_t, wchar_t>(
        convertUTF16ToUTF32, reference<uint16_t, wchar_t, decodeUTF16, encodeElement>, text16);
    runs += compareOver<uint16_t, char>(
        convertUTF16ToUTF8, throughUTF32<uint16_t, char, decodeUTF16, encodeUTF8>, text16);
    runs += compareOver<wchar_t, char>(narrowChars,
                                       reference<wchar_t, char, decodeElement, encodeByte>, text32);
    runs += compareOver<wchar_t, uint16_t>(
        convertUTF32ToUTF16, reference<wchar_t, uint16_t, decodeElement, encodeUTF16>, text32);
    if (HasFailure()) return;
  }
  EXPECT_GT(runs, 2000);
}

TEST_F(DirectConversionTest, AStatusWithAnErrorConvertsNothing) {
  const char text[] = "plain";
  uint16_t out[8] = {7, 7, 7, 7, 7, 7, 7, 7};
  tStatus status{nQoAPALS100::kPlainStatusSize, -50};
  EXPECT_EQ(convertUTF8ToUTF16(text, 5, out, 8, status, kTerminated), 0u);
  EXPECT_EQ(status.code, -50);
  EXPECT_EQ(out[0], 7);
}

}  // namespace
