// Element and string conversions between UTF-8, UTF-16 and UTF-32.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/nString.h"
#include "sim/simAllocator.h"
#include "sim/simStatusLog.h"
#include "support/moduleFixture.h"

namespace {

using namespace nQoUdR100;
using namespace nQoUdR100::nQoKABBO_1_0::nString;

using tUnits = std::vector<uint16_t>;
using tPoints = std::vector<uint32_t>;
constexpr uint16_t kGuard16 = 0xBEEF;
constexpr wchar_t kGuard32 = 0x7777;

// Runs a converter into a buffer of the given capacity with guards after it;
// answers the elements the converter wrote up to the capacity.
template <class tIn, class tOut, class tConverter>
std::vector<tOut> run(tConverter converter, const std::vector<tIn>& source, uint64_t capacity,
                      uint32_t mode, int64_t expectedCode, uint64_t expectedCount, tOut guard) {
  std::vector<tOut> out(capacity + 4, guard);
  nQoAPALS100::tStatus status;
  const uint64_t count =
      converter(source.data(), source.size(), out.data(), capacity, status, mode);
  EXPECT_EQ(status.code, expectedCode);
  EXPECT_EQ(count, expectedCount);
  for (uint64_t i = capacity; i < out.size(); ++i) EXPECT_EQ(out[i], guard) << "overrun at " << i;
  out.resize(capacity);
  return out;
}

std::vector<char> bytes(const std::string& text) { return {text.begin(), text.end()}; }

template <class tIn, class tConverter>
uint64_t counted(tConverter converter, const std::vector<tIn>& source, uint32_t mode,
                 int64_t expectedCode = 0) {
  nQoAPALS100::tStatus status;
  const uint64_t count = converter(source.data(), source.size(), nullptr, 0, status, mode);
  EXPECT_EQ(status.code, expectedCode);
  return count;
}

class StringConversionTest : public nQoTest::tLeakCheckedTest {};

TEST_F(StringConversionTest, OneCodePointInEveryEncoding) {
  const std::vector<char> utf8 = bytes("\xF0\x9F\x98\x80");
  const std::vector<wchar_t> utf32 = {0x1F600};
  const std::vector<uint16_t> utf16 = {0xD83D, 0xDE00};

  EXPECT_EQ(run(convertUTF8ToUTF32, utf8, 2, kTerminated, 0, 1, kGuard32),
            (std::vector<wchar_t>{0x1F600, 0}));
  EXPECT_EQ(run(convertUTF32ToUTF8, utf32, 5, kTerminated, 0, 4, '#'),
            bytes(std::string("\xF0\x9F\x98\x80", 5)));
  EXPECT_EQ(run(convertUTF32ToUTF16, utf32, 2, kCounted, 0, 2, kGuard16), utf16);
  EXPECT_EQ(run(convertUTF16ToUTF32, utf16, 1, kCounted, 0, 1, kGuard32), utf32);
  EXPECT_EQ(run(convertUTF8ToUTF16, utf8, 3, kTerminated, 0, 2, kGuard16),
            (tUnits{0xD83D, 0xDE00, 0}));
  EXPECT_EQ(run(convertUTF16ToUTF8, utf16, 4, kCounted, 0, 4, '#'), utf8);
}

TEST_F(StringConversionTest, SurrogatesAndCodePointsOutOfRange) {
  const std::vector<uint16_t> high = {0xD83D};
  EXPECT_EQ(run(convertUTF16ToUTF32, high, 2, kCounted, -200811, 0, kGuard32),
            (std::vector<wchar_t>{kGuard32, kGuard32}));
  EXPECT_EQ(run(convertUTF16ToUTF8, high, 2, kTerminated, -200811, 0, '#'), bytes("##"))
      << "the two-step form writes nothing";
  EXPECT_EQ(run(convertUTF16ToUTF32, std::vector<uint16_t>{0xD83D, 0x0041}, 1, kCounted, -200811, 0,
                kGuard32),
            std::vector<wchar_t>{kGuard32});
  EXPECT_EQ(run(convertUTF16ToUTF32, std::vector<uint16_t>{0xDC00}, 1, kCounted, 0, 1, kGuard32),
            std::vector<wchar_t>{0xDC00});

  const std::vector<wchar_t> beyond = {0x41, 0x110000};
  EXPECT_EQ(run(convertUTF32ToUTF16, beyond, 3, kTerminated, -200811, 1, kGuard16),
            (tUnits{0x41, 0, kGuard16}))
      << "the conversion ends at the last good element and is terminated";
  EXPECT_EQ(run(convertUTF32ToUTF8, beyond, 5, kCounted, 0, 5, '#'), bytes("A\xF4\x90\x80\x80"));
  EXPECT_EQ(run(convertUTF32ToUTF8, std::vector<wchar_t>{0x1FFFFF, 0x200000}, 4, kCounted, -200811,
                4, '#'),
            bytes("\xF7\xBF\xBF\xBF"));
  EXPECT_EQ(run(convertUTF32ToUTF16, std::vector<wchar_t>{-2}, 1, kCounted, 0, 1, kGuard16),
            tUnits{0xFFFE});
}

TEST_F(StringConversionTest, NarrowTextSurvivesWideningAndUTF8Encoding) {
  const std::vector<wchar_t> wide = run(widenChars, bytes("\xE9"), 1, kCounted, 0, 1, kGuard32);
  EXPECT_EQ(static_cast<uint32_t>(wide[0]), 0xFFFFFFE9u);
  EXPECT_EQ(run(convertUTF32ToUTF8, wide, 1, kCounted, 0, 1, '#'), bytes("\xE9"));
  EXPECT_EQ(run(narrowChars, std::vector<wchar_t>{0x1234, 0x41}, 3, kTerminated, 0, 2, '#'),
            bytes(std::string("\x34"
                              "A\0",
                              3)));
}

TEST_F(StringConversionTest, MalformedUTF8) {
  for (const std::string& bad : {std::string("\x80"), std::string("\xC3"), std::string("\xE2\x82"),
                                 std::string("\xF0\x9F\x98"), std::string("\xF8\x88\x80\x80\x80"),
                                 std::string("\xC3\x41"), std::string("\xE2\x41\xAC")}) {
    nQoAPALS100::tStatus status;
    EXPECT_EQ(convertUTF8ToUTF32(bad.data(), bad.size(), nullptr, 0, status, kCounted), 0u);
    EXPECT_EQ(status.code, -200811);
  }
  // Overlong forms and encoded surrogates decode as they are.
  EXPECT_EQ(run(convertUTF8ToUTF32, bytes("\xC0\x80z\xED\xA0\x80"), 4, kTerminated, 0, 3, kGuard32),
            (std::vector<wchar_t>{0, 'z', 0xD800, 0}));
  // Terminated text ends at its first NUL: a sequence cut by it is bad.
  EXPECT_EQ(counted<char>(convertUTF8ToUTF32, bytes(std::string("\xE2\x82\0\xAC", 4)), kTerminated,
                          -200811),
            0u);
  EXPECT_EQ(counted<char>(convertUTF8ToUTF32, bytes(std::string("a\0\xFF", 3)), kTerminated), 1u);
  EXPECT_EQ(counted<char>(convertUTF8ToUTF32, bytes(std::string("a\0b", 3)), kCounted), 3u);
}

TEST_F(StringConversionTest, DestinationTooSmall) {
  // No room for the terminator.
  EXPECT_EQ(run(convertUTF8ToUTF32, bytes("abc"), 3, kTerminated, -52019, 3, kGuard32),
            (std::vector<wchar_t>{'a', 'b', 'c'}));
  EXPECT_EQ(run(widenChars, bytes("abc"), 3, kTerminated, -52019, 3, kGuard32),
            (std::vector<wchar_t>{'a', 'b', 'c'}));
  // Full before the source ends: what fits stays, terminated when there is room.
  EXPECT_EQ(run(widenChars, bytes("abc"), 2, kCounted, -52019, 2, kGuard32),
            (std::vector<wchar_t>{'a', 'b'}));
  EXPECT_EQ(run(convertUTF32ToUTF16, std::vector<wchar_t>{'a', 0x1F600}, 2, kTerminated, -52019, 1,
                kGuard16),
            (tUnits{'a', 0}))
      << "a pair is written only when both units fit";
  EXPECT_EQ(run(convertUTF32ToUTF8, std::vector<wchar_t>{0xE9}, 1, kCounted, -52019, 0, '#'),
            bytes("#"));
  EXPECT_EQ(run(convertUTF8ToUTF16, bytes("ab"), 2, kTerminated, -52019, 2, kGuard16),
            (tUnits{'a', 'b'}));
  // A counting pass answers the length without the terminator.
  EXPECT_EQ(counted<char>(convertUTF8ToUTF16, bytes("\xF0\x9F\x98\x80z"), kTerminated), 3u);
}

TEST_F(StringConversionTest, CountedTwoStepConversionsEqualDirectOnes) {
  // Exactly as many elements as the output: no terminator, no -52019.
  EXPECT_EQ(run(convertUTF8ToUTF16, bytes("h\xC3\xA9"), 2, kCounted, 0, 2, kGuard16),
            (tUnits{0x68, 0xE9}));
  EXPECT_EQ(run(convertUTF16ToUTF8, tUnits{0x68, 0xE9}, 3, kCounted, 0, 3, '#'),
            bytes("h\xC3\xA9"));
  // NULs inside counted text are converted like any other character.
  EXPECT_EQ(run(convertUTF8ToUTF16, bytes(std::string("a\0b", 3)), 3, kCounted, 0, 3, kGuard16),
            (tUnits{'a', 0, 'b'}));
  // An overlong NUL inside terminated text does not end it early.
  EXPECT_EQ(run(convertUTF8ToUTF16,
                bytes("a\xC0\x80"
                      "b"),
                4, kTerminated, 0, 3, kGuard16),
            (tUnits{'a', 0, 'b', 0}));
}

TEST_F(StringConversionTest, ScratchIsAllocatedFrom65ElementsOn) {
  const std::string text63(63, 'x'), text64(64, 'x');
  std::vector<uint16_t> out(80);
  for (const auto& [text, allocations] : {std::pair{text63, 0u}, std::pair{text64, 1u}}) {
    nQoAPALS100::tStatus status;
    const uint64_t before = nQoSim::totalAllocations();
    EXPECT_EQ(
        convertUTF8ToUTF16(text.data(), text.size(), out.data(), out.size(), status, kTerminated),
        text.size());
    EXPECT_EQ(nQoSim::totalAllocations() - before, allocations);
  }
  nQoAPALS100::tStatus status;
  nQoSim::failAllocation(1);
  EXPECT_EQ(convertUTF8ToUTF16(text64.data(), 64, out.data(), out.size(), status, kCounted), 0u);
  EXPECT_EQ(status.code, -52000);
}

TEST_F(StringConversionTest, StringConvertersSizeTheirDestination) {
  nQoAPALS100::tStatus status;
  tString16 units;
  utf8ToUTF16String("h\xC3\xA9", 3, units, status, kCounted);
  ASSERT_EQ(units.size(), 2u);
  EXPECT_EQ(units[0], 0x68);
  EXPECT_EQ(units[1], 0xE9);

  tWString wide;
  utf8ToUTF32String("ab\0cd", 5, wide, status, kTerminated);
  EXPECT_EQ(wide.size(), 2u) << "terminated: up to the NUL, and no NUL element kept";
  utf8ToUTF32String("ab\0cd", 5, wide, status, kCounted);
  EXPECT_EQ(wide.size(), 5u);
  utf8ToUTF32String("", 0, wide, status, kTerminated);
  EXPECT_TRUE(wide.empty());
  EXPECT_EQ(status.code, 0);

  tString narrow;
  tWString source(L"\x1F600");
  utf32ToUTF8String(source, narrow, status);
  EXPECT_EQ(std::string(narrow.c_str()), "\xF0\x9F\x98\x80");
  narrowToString(L"xyz", 3, narrow, status, kTerminated);
  EXPECT_EQ(std::string(narrow.c_str()), "xyz") << "the destination is replaced";
  EXPECT_EQ(status.code, 0);

  // 64 code points: the counting pass allocates its scratch, then the
  // destination grows.
  tString16 big;
  std::string text64(64, 'x');
  nQoSim::failAllocation(1);
  utf8ToUTF16String(text64.data(), 64, big, status, kCounted);
  EXPECT_EQ(status.code, -52000);
  EXPECT_TRUE(big.empty());
  status.code = 0;
  nQoSim::failAllocation(2);
  utf8ToUTF16String(text64.data(), 64, big, status, kCounted);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(big.empty());

  nQoAPALS100::tStatus held{16, -7};
  utf8ToUTF32String("ab", 2, wide, held, kCounted);
  EXPECT_EQ(wide.size(), 0u);
  EXPECT_EQ(held.code, -7);
}

TEST_F(StringConversionTest, RemoveNULTerminatorDropsOneNul) {
  nQoAPALS100::tStatus status;
  tString text("ab", 2);
  text.append('\0');
  text.append('\0');
  removeNULTerminator(text, status);
  EXPECT_EQ(text.size(), 3u);
  removeNULTerminator(text, status);
  removeNULTerminator(text, status);
  EXPECT_EQ(text.size(), 2u);
  EXPECT_EQ(status.code, 0);
}

}  // namespace
