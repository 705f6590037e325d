// The power-up primitives over the real tEEPROM and an indexed content map on
// an in-memory device: the signature, the multi-port fields and the
// single-port placement, with the refused counts.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "primitives/dio/tTavikProgPowerupPrimitive.h"
#include "primitives/eeprom/tPralEEPROMContentMap.h"
#include "support/memoryEEPROM.h"
#include "support/moduleFixture.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoSDR000::tPowerupEntry;
using nQoUdR100::tPowerupPorts;
using tWrites = std::vector<tMemoryEEPROM::tWrite>;

// Fields 0-4 per index: 4-byte fields at index 0, one byte elsewhere.
constexpr nQoUdP100::tIndexedFieldRow kRows[] = {
    {{{0x00, 4}, {0x04, 4}, {0x08, 4}, {0x0C, 1}, {0x0D, 1}}},
    {{{0x10, 1}, {0x11, 1}, {0x12, 1}, {0x13, 1}, {0x14, 1}}},
    {{{0x18, 1}, {0x19, 1}, {0x1A, 1}, {0x1B, 1}, {0x1C, 1}}}};

class tPowerupMap : public nQoUdP100::tPralEEPROMContentMap {
 public:
  tPowerupMap() : tPralEEPROMContentMap(4, kRows, 3) {}
};

class PowerupTest : public tLeakCheckedTest {
 protected:
  // The device address of a field at an index.
  uint32_t at(uint32_t field, uint32_t index) {
    uint32_t address = 0, size = 0;
    tStatus2 s;
    contentMap.getIndexedFieldAddress(field, index, address, size, s);
    return address;
  }
  uint32_t word(uint32_t field, uint32_t index) {
    const uint32_t a = at(field, index);
    return device.image[a] | device.image[a + 1] << 8 | device.image[a + 2] << 16 |
           uint32_t(device.image[a + 3]) << 24;
  }

  tMemoryEEPROM device{1024, 0xFF};
  tPowerupMap contentMap;
  nQoUdP100::tEEPROM eeprom{&contentMap, &device};
  tStatus2 status;
};

TEST_F(PowerupTest, ConstructionWritesTheSignatureOnce) {
  nQoUdR100::tTavikProgPowerupPrimitive first(&eeprom, {0, {16, 8, 8}}, 3, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(
      device.shadowWrites,
      (tWrites{{at(3, 0), {0x28}}, {at(4, 0), {0x24}}, {at(3, 1), {0x72}}, {at(4, 1), {0xDE}}}));
  EXPECT_EQ(device.commits, 1);
  EXPECT_EQ(device.state, tMemoryEEPROM::kClosed);
  device.shadowWrites.clear();
  nQoUdR100::tTavikProgPowerupPrimitive second(&eeprom, {0, {16, 8, 8}}, 3, status);
  EXPECT_TRUE(device.shadowWrites.empty());
  EXPECT_EQ(device.commits, 1);
}

TEST_F(PowerupTest, MultiPortReadsAndWritesItsFields) {
  nQoUdR100::tTavikProgPowerupPrimitive powerup(&eeprom, {0, {16, 8, 8}}, 3, status);
  uint32_t count = 0;
  const tPowerupEntry* entries = powerup.readPowerupStates(count, status);
  ASSERT_EQ(count, 3u);
  EXPECT_EQ(entries[0].enable, 0u);
  EXPECT_EQ(entries[0].value, 0xFFFFu);
  EXPECT_EQ(entries[1].value, 0xFFu);
  EXPECT_EQ(entries[2].value, 0xFFu);
  EXPECT_EQ(entries[2].valid, 1u);

  device.shadowWrites.clear();
  const tPowerupEntry ports[] = {{1, 0x00FF, 0x1234}, {0, 0x0F, 0x55}};
  powerup.writePowerupStates(ports, 2, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(word(0, 0), 0xFF00u);
  EXPECT_EQ(word(2, 0), 0x1234u);
  EXPECT_EQ(device.image[at(0, 1)], 0xFF);  // valid 0: untouched
  EXPECT_EQ(device.shadowWrites.size(), 2u);

  // More entries than ports: refused, nothing written.
  device.shadowWrites.clear();
  const tPowerupEntry four[4] = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
  tStatus2 refused;
  powerup.writePowerupStates(four, 4, refused);
  EXPECT_EQ(refused.code, -50150);
  EXPECT_TRUE(device.shadowWrites.empty());
}

TEST_F(PowerupTest, MoreThanThreePortsAreRefused) {
  tStatus2 refused;
  nQoUdR100::tTavikProgPowerupPrimitive powerup(&eeprom, {0, {16, 8, 8}}, 4, refused);
  EXPECT_EQ(refused.code, -50150);
  EXPECT_EQ(powerup.getPortCount(), 0u);
  EXPECT_TRUE(device.shadowWrites.empty());
}

TEST_F(PowerupTest, SinglePortSplitsNibbles) {
  nQoUdR100::tTavikSinglePortProgPowerupPrimitive powerup(&eeprom, {0, {8, 8, 0}}, 0, 1, 4);
  const tPowerupEntry entry{1, 0x01, 0x3C};
  powerup.writePowerupStates(&entry, 1, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(word(1, 0), 0u);
  EXPECT_EQ(word(2, 0), 0x30C0u);
  uint32_t count = 0;
  const tPowerupEntry* read = powerup.readPowerupStates(count, status);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(read->value, 0x3Cu);
  EXPECT_EQ(read->enable, 0xFFu);

  const tPowerupEntry none{1, 0x100, 0x3C};  // only a line the port lacks
  powerup.writePowerupStates(&none, 1, status);
  EXPECT_EQ(word(1, 0), 0x01010101u);
}

TEST_F(PowerupTest, SinglePortAfterAThirtyTwoLinePort) {
  nQoUdR100::tTavikSinglePortProgPowerupPrimitive powerup(&eeprom, {0, {32, 32, 0}}, 0, 1, 0);
  const tPowerupEntry entry{1, 0xFFFFFFFF, 0x12345678};
  powerup.writePowerupStates(&entry, 1, status);
  EXPECT_EQ(word(2, 0), 0u);
  EXPECT_EQ(word(1, 0), 0u);
  uint32_t count = 0;
  const tPowerupEntry* read = powerup.readPowerupStates(count, status);
  EXPECT_EQ(read->value, 0u);
  EXPECT_EQ(read->enable, 0xFFFFFFFFu);
  EXPECT_EQ(status.code, 0);
}

}  // namespace
}  // namespace nQoTest
