// The simulated bus windows the chassis maps are tested over: single 32-bit
// accesses by handle, logged in order with their flags, read and write sides
// kept apart, and a trap for any access the bus has no window for.
#include <gtest/gtest.h>

#include <vector>

#include "chassisMapFixture.h"

namespace nQoTest {
namespace {

TEST_F(tChassisMapTest, WindowAccessesAreLoggedWithTheirFlagsOnSeparateSides) {
  windows.queueReads(window, 0x10, {7, 8});
  bus.write32(handle, 0x10, 0xAB, 0x40000000, nullptr);
  EXPECT_EQ(bus.read32(handle, 0x10, 0xC0000000, nullptr), 7u);
  EXPECT_EQ(bus.read32(handle, 0x10, 0x1, nullptr), 8u);
  EXPECT_EQ(bus.read32(handle, 0x10, 0, nullptr), 0u);
  EXPECT_EQ(windows.written(window, 0x10, 32), 0xABu);
  EXPECT_EQ(windows.log(), (std::vector<tAccess>{written(0x10, 0xAB),
                                                 read(0x10, 7),
                                                 {0, 0x10, 32, 8, tSimRegisterWindows::kRead, 0x1},
                                                 {0, 0x10, 32, 0, tSimRegisterWindows::kRead, 0}}));
  windows.setLogging(false);
  bus.write32(handle, 0x800, 1, 0x40000000, nullptr);
  EXPECT_EQ(windows.log().size(), 4u);
  EXPECT_EQ(windows.written(window, 0x800, 32), 1u);
}

TEST_F(tChassisMapTest, MappingRecordsItsParametersAndCanFail) {
  int code = 0;
  uint32_t mapped = bus.mapWindow(1, 2, window, &code);
  EXPECT_EQ(mapped, handle);
  EXPECT_EQ(bus.liveMappings(), 1);
  bus.unmapWindow(&mapped);
  EXPECT_EQ(mapped, 0u);
  EXPECT_EQ(bus.mapWindow(0, 0, window + 1, &code), 0u);  // no such window
  bus.failMapWindow(-50300);
  EXPECT_EQ(bus.mapWindow(0, 0, window, &code), 0u);
  EXPECT_EQ(code, -50300);
  EXPECT_EQ(bus.liveMappings(), 0);
  EXPECT_EQ(bus.calls(), (std::vector<tCall>{{tCall::kMapWindow, 1, 2, window, 0},
                                             {tCall::kUnmapWindow, 0, 0, handle, 0},
                                             {tCall::kMapWindow, 0, 0, window + 1, 0},
                                             {tCall::kMapWindow, 0, 0, window, 0}}));
}

using tChassisMapDeathTest = tChassisMapTest;

TEST_F(tChassisMapDeathTest, AccessesOutsideAWindowTrap) {
  EXPECT_DEATH(bus.write32(window, 0, 1, 0x40000000, nullptr), "unknown window");
  EXPECT_DEATH(bus.read32(handle + 1, 0, 0xC0000000, nullptr), "unknown window");
  EXPECT_DEATH(bus.write32(handle, 0x802, 1, 0x40000000, nullptr), "outside its window");
  EXPECT_DEATH(bus.read32(handle, 0x804, 0xC0000000, nullptr), "outside its window");
  uint32_t never = handle;
  EXPECT_DEATH(bus.unmapWindow(&never), "did not map");
}

TEST_F(tChassisMapDeathTest, AnOpenedWindowsNumberIsItsHandleUntilClosed) {
  const unsigned second = windows.addWindow(0x10);
  bus.answerOpenWindow(0, second);
  uint32_t opened = bus.openWindow(0, 0, 0, 0, nullptr);
  bus.write32(opened, 0x4, 9, 0x40000000, nullptr);
  EXPECT_EQ(windows.written(second, 0x4, 32), 9u);
  uint32_t mapped = bus.mapWindow(0, 0, window, nullptr);
  EXPECT_DEATH(bus.closeWindow(&mapped), "not open");  // a mapping is undone by unmapWindow
  bus.unmapWindow(&mapped);
  bus.closeWindow(&opened);
  EXPECT_DEATH(bus.read32(second, 0x4, 0xC0000000, nullptr), "unknown window");
}

}  // namespace
}  // namespace nQoTest
