// Element and string conversions between UTF-8, UTF-16 and UTF-32.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/nString.h"
#include "sim/simAllocator.h"
#include "support/moduleFixture.h"

namespace {

using namespace nQoUdR100;
using namespace nQoUdR100::nQoKABBO_1_0::nString;

using tUnits = std::vector<uint16_t>;
using tPoints = std::vector<wchar_t>;
constexpr int kGuard = 0x5A;

// Runs a converter into a buffer of the given capacity followed by guards;
// checks the code, the count and the guards; answers the buffer.
template <class tIn, class tOut>
std::vector<tOut> run(uint64_t (*converter)(const tIn*, uint64_t, tOut*, uint64_t, tStatus&,
                                            uint32_t),
                      const std::vector<tIn>& source, uint64_t capacity, uint32_t mode,
                      int64_t code, uint64_t count) {
  std::vector<tOut> out(capacity + 4, tOut(kGuard));
  tStatus status;
  EXPECT_EQ(converter(source.data(), source.size(), out.data(), capacity, status, mode), count);
  EXPECT_EQ(status.code, code);
  for (uint64_t i = capacity; i < out.size(); ++i) EXPECT_EQ(out[i], tOut(kGuard)) << i;
  out.resize(capacity);
  return out;
}

std::vector<char> bytes(const std::string& text) { return {text.begin(), text.end()}; }

class StringConversionTest : public nQoTest::tLeakCheckedTest {};

TEST_F(StringConversionTest, OneCodePointInEveryEncoding) {
  const std::vector<char> utf8 = bytes("\xF0\x9F\x98\x80");
  const tUnits utf16 = {0xD83D, 0xDE00};
  EXPECT_EQ(run(convertUTF8ToUTF32, utf8, 2, kTerminated, 0, 1), (tPoints{0x1F600, 0}));
  EXPECT_EQ(run(convertUTF32ToUTF8, tPoints{0x1F600}, 4, kCounted, 0, 4), utf8);
  EXPECT_EQ(run(convertUTF32ToUTF16, tPoints{0x1F600}, 2, kCounted, 0, 2), utf16);
  EXPECT_EQ(run(convertUTF16ToUTF32, utf16, 1, kCounted, 0, 1), tPoints{0x1F600});
  EXPECT_EQ(run(convertUTF8ToUTF16, utf8, 3, kTerminated, 0, 2), (tUnits{0xD83D, 0xDE00, 0}));
  EXPECT_EQ(run(convertUTF16ToUTF8, utf16, 4, kCounted, 0, 4), utf8);

  const std::vector<wchar_t> widened = run(widenChars, bytes("\xE9"), 1, kCounted, 0, 1);
  EXPECT_EQ(static_cast<uint32_t>(widened[0]), 0xFFFFFFE9u);
  EXPECT_EQ(run(convertUTF32ToUTF8, widened, 1, kCounted, 0, 1), bytes("\xE9"));
}

TEST_F(StringConversionTest, BadCharactersEndTheConversion) {
  EXPECT_EQ(run(convertUTF16ToUTF32, tUnits{0xD83D}, 1, kCounted, -200811, 0), tPoints{kGuard});
  EXPECT_EQ(run(convertUTF16ToUTF8, tUnits{0xD83D}, 1, kTerminated, -200811, 0), bytes("Z"))
      << "the two-step form writes nothing";
  EXPECT_EQ(run(convertUTF16ToUTF32, tUnits{0xDC00}, 1, kCounted, 0, 1), tPoints{0xDC00});
  EXPECT_EQ(run(convertUTF32ToUTF16, tPoints{0x41, 0x110000}, 2, kTerminated, -200811, 1),
            (tUnits{0x41, 0}))
      << "ends at the last good element, terminated";
  EXPECT_EQ(run(convertUTF32ToUTF8, tPoints{0x110000}, 4, kCounted, 0, 4),
            bytes("\xF4\x90\x80\x80"));

  for (const std::string bad : {"\x80", "\xE2\x82", "\xF8\x88\x80\x80\x80", "\xC3\x41"}) {
    tStatus status;
    EXPECT_EQ(convertUTF8ToUTF32(bad.data(), bad.size(), nullptr, 0, status, kCounted), 0u);
    EXPECT_EQ(status.code, -200811);
  }
  // Overlong forms and encoded surrogates decode as they are; terminated text
  // ends at its first NUL, so a sequence cut by it is bad.
  EXPECT_EQ(run(convertUTF8ToUTF32, bytes("\xC0\x80\xED\xA0\x80"), 3, kTerminated, 0, 2),
            (tPoints{0, 0xD800, 0}));
  EXPECT_EQ(
      run(convertUTF8ToUTF32, bytes(std::string("\xE2\x82\0\xAC", 4)), 1, kTerminated, -200811, 0),
      tPoints{0});
}

TEST_F(StringConversionTest, DestinationTooSmall) {
  EXPECT_EQ(run(convertUTF8ToUTF32, bytes("abc"), 3, kTerminated, -52019, 3),
            (tPoints{'a', 'b', 'c'}))
      << "no room for the terminator";
  EXPECT_EQ(run(widenChars, bytes("abc"), 2, kCounted, -52019, 2), (tPoints{'a', 'b'}));
  EXPECT_EQ(run(convertUTF32ToUTF16, tPoints{'a', 0x1F600}, 2, kTerminated, -52019, 1),
            (tUnits{'a', 0}))
      << "a pair is written only when both units fit";
  tStatus counting;
  const std::vector<char> text = bytes("\xF0\x9F\x98\x80z");
  EXPECT_EQ(convertUTF8ToUTF16(text.data(), text.size(), nullptr, 0, counting, kTerminated), 3u);
}

TEST_F(StringConversionTest, CountedTwoStepConversionsEqualDirectOnes) {
  // Exactly as many elements as the output: no terminator, no -52019.
  EXPECT_EQ(run(convertUTF8ToUTF16, bytes("h\xC3\xA9"), 2, kCounted, 0, 2), (tUnits{0x68, 0xE9}));
  EXPECT_EQ(run(convertUTF16ToUTF8, tUnits{0x68, 0xE9}, 3, kCounted, 0, 3), bytes("h\xC3\xA9"));
  EXPECT_EQ(run(convertUTF8ToUTF16, bytes(std::string("a\0b", 3)), 3, kCounted, 0, 3),
            (tUnits{'a', 0, 'b'}));
  // An overlong NUL inside terminated text does not end it early.
  EXPECT_EQ(run(convertUTF8ToUTF16, bytes("a\xC0\x80"), 3, kTerminated, 0, 2), (tUnits{'a', 0, 0}));
}

// Terminated text in a heap block that ends at its NUL, with a bound far past
// the block: the conversion stops at the NUL and reads nothing beyond it.
TEST_F(StringConversionTest, TerminatedTextIsNotReadPastItsNul) {
  constexpr uint64_t kBound = 64;
  struct tCase {
    tUnits units;
    tPoints points;
    std::string narrow;
  };
  for (const tCase& c : {tCase{{'a', 0xE9, 0}, {'a', 0xE9, 0}, std::string("a\xE9\0", 3)},
                         tCase{{0}, {0}, std::string(1, '\0')}}) {
    SCOPED_TRACE(c.units.size());
    const uint64_t count = c.units.size() - 1;
    tStatus status;
    tPoints wide(8, kGuard);
    EXPECT_EQ(
        convertUTF16ToUTF32(c.units.data(), kBound, wide.data(), wide.size(), status, kTerminated),
        count);
    wide.resize(count + 1);
    EXPECT_EQ(wide, c.points);
    std::string narrow(8, kGuard);
    EXPECT_EQ(
        narrowChars(c.points.data(), kBound, narrow.data(), narrow.size(), status, kTerminated),
        count);
    narrow.resize(count + 1);
    EXPECT_EQ(narrow, c.narrow);
    EXPECT_EQ(status.code, 0);
  }
}

TEST_F(StringConversionTest, ScratchIsAllocatedFrom65ElementsOn) {
  std::vector<uint16_t> out(80);
  for (const uint64_t count : {63u, 64u}) {
    const std::string text(count, 'x');
    tStatus status;
    const uint64_t before = nQoSim::totalAllocations();
    convertUTF8ToUTF16(text.data(), count, out.data(), out.size(), status, kTerminated);
    EXPECT_EQ(nQoSim::totalAllocations() - before, count - 63);
  }
}

TEST_F(StringConversionTest, StringConvertersSizeTheirDestination) {
  tStatus status;
  tString16 units;
  utf8ToUTF16String("h\xC3\xA9", 3, units, status, kCounted);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(units.c_str()), units.size()),
            u"h\u00E9");
  tWString wide;
  utf8ToUTF32String("ab\0cd", 5, wide, status, kTerminated);
  EXPECT_EQ(wide.size(), 2u) << "up to the NUL, and no NUL element kept";
  utf8ToUTF32String("", 0, wide, status, kTerminated);
  EXPECT_TRUE(wide.empty());
  EXPECT_EQ(status.code, 0);

  // 64 code points: the counting pass allocates its scratch, then the
  // destination grows.
  const std::string text64(64, 'x');
  for (const auto& [nth, code] : {std::pair{1u, -52000}, std::pair{2u, -50352}}) {
    tStatus failed;
    nQoSim::failAllocation(nth);
    utf8ToUTF16String(text64.data(), 64, units, failed, kCounted);
    EXPECT_EQ(failed.code, code);
  }

  tString narrow("ab\0\0", 4);
  removeNULTerminator(narrow, status);
  EXPECT_EQ(narrow.size(), 3u) << "one NUL only";
}

}  // namespace
