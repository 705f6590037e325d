// The status text form and plain statuses from the kernel allocator.
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

TEST(FormatStatusContents, ShowsTheCodeThenAnExtendedStatusesSiteAndTraceUpToTheZeroWord) {
  char buffer[1024];
  const nQoAPALS100::tStatus plain{16, -52007};
  EXPECT_EQ(formatStatusContents(plain, buffer, sizeof buffer), static_cast<int>(kHead.size()));
  EXPECT_EQ(std::string(buffer), kHead);
  EXPECT_EQ(formatStatusContents(tStatusExtended{}, buffer, sizeof buffer), 29);
  EXPECT_STREQ(buffer, "\ntStatus contents:\n\tcode = 0\n");
  EXPECT_EQ(formatStatusContents(plain, buffer, kHead.size()), -1) << "no room for the NUL";
  EXPECT_EQ(formatStatusContents(plain, nullptr, 0), -1);

  for (unsigned words : {0u, 2u, 10u}) {
    tStatusExtended status;
    nQoAPALS100::setStatusWithLocation(status, -52007, "qoudrk", "qoapal/quarks/synchronization",
                                       221);
    std::string expected = kHead +
                           "\tcomponent name = qoudrk\n\tfile name: qoapal/quarks/synchronization\n"
                           "\tline number = 221\n\tstack trace:\n";
    for (unsigned i = 0; i < 10; ++i) {
      status.stackTrace[i] = i < words ? 0xA0 + i : 0;
      char word[32];
      std::snprintf(word, sizeof word, "\t\t0x%016x\n", i < words ? 0xA0 + i : 0);
      if (i <= words) expected += word;
    }
    EXPECT_EQ(formatStatusContents(status, buffer, expected.size() + 1),
              static_cast<int>(expected.size()));
    EXPECT_EQ(std::string(buffer), expected) << words;
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
}

}  // namespace
