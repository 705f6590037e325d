#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/portableMemory.h"
#include "frame/portablePrint.h"
#include "support/moduleFixture.h"

namespace {

using namespace nQoUdR100;
using nQoAPALS100::tStatusExtended;

const std::string kHead = "\ntStatus contents:\n\tcode = -52007\n";

tStatusExtended extendedStatus(unsigned traceWords) {
  tStatusExtended status;
  nQoAPALS100::setStatusWithLocation(status, -52007, "qoudrk", "qoapal/quarks/synchronization",
                                     221);
  for (unsigned i = 0; i < traceWords; ++i) status.stackTrace[i] = 0xA0 + i;
  return status;
}

std::string fullText(unsigned traceWords) {
  std::string text = kHead +
                     "\tcomponent name = qoudrk\n\tfile name: qoapal/quarks/synchronization\n"
                     "\tline number = 221\n\tstack trace:\n";
  char word[32];
  for (unsigned i = 0; i < traceWords && i < 10; ++i) {
    std::snprintf(word, sizeof word, "\t\t0x%016x\n", 0xA0 + i);
    text += word;
  }
  if (traceWords < 10) text += "\t\t0x0000000000000000\n";
  return text;
}

TEST(FormatStatusContents, PlainAndCleanStatusesShowOnlyTheCode) {
  char buffer[256];
  nQoAPALS100::tStatus plain{16, -52007};
  EXPECT_EQ(formatStatusContents(plain, buffer, sizeof buffer), static_cast<int>(kHead.size()));
  EXPECT_EQ(std::string(buffer), kHead);
  tStatusExtended clean;
  const char* cleanText = "\ntStatus contents:\n\tcode = 0\n";
  EXPECT_EQ(formatStatusContents(clean, buffer, sizeof buffer),
            static_cast<int>(std::strlen(cleanText)));
  EXPECT_STREQ(buffer, cleanText);
  // Exactly the text's length is too small: its NUL does not fit.
  EXPECT_EQ(formatStatusContents(plain, buffer, kHead.size()), -1);
  EXPECT_EQ(formatStatusContents(plain, nullptr, 0), -1);
}

TEST(FormatStatusContents, ExtendedStatusesListTheirSiteAndTraceUpToTheZeroWord) {
  char buffer[1024];
  for (unsigned words : {0u, 2u, 10u}) {
    const tStatusExtended status = extendedStatus(words);
    const std::string expected = fullText(words);
    EXPECT_EQ(formatStatusContents(status, buffer, sizeof buffer),
              static_cast<int>(expected.size()));
    EXPECT_EQ(std::string(buffer), expected) << words;
    EXPECT_EQ(formatStatusContents(status, buffer, expected.size() + 1),
              static_cast<int>(expected.size()));
    for (size_t size : {expected.size(), kHead.size() + 1, size_t{20}})
      EXPECT_EQ(formatStatusContents(status, buffer, size), -1) << words << " in " << size;
  }
}

class PortableMemoryTest : public nQoTest::tLeakCheckedTest {};

TEST_F(PortableMemoryTest, PlainStatusesComeFromTheKernelAllocator) {
  nQoAPALS100::tStatus* status = newPlainStatus();
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->size, 16u);
  EXPECT_EQ(status->code, 0);
  freeKernelBlock(status);
  freeKernelBlock(nullptr);
  nQoSim::failAllocation(1);
  EXPECT_EQ(newPlainStatus(), nullptr);
  noOperation();
}

}  // namespace
