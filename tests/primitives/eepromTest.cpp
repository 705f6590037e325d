// The EEPROM device, facade, content maps and cache over the simulated
// board: window switching, the shadow and its pending bytes, commit with
// the busy wait, range checks, map addresses and the cache's dirty bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "primitives/eeprom/tEEPROMCache.h"
#include "primitives/eeprom/tPralEEPROMContentMap.h"
#include "primitives/eeprom/tTavikEEPROM.h"
#include "primitives/eeprom/tUdSeriesCalDeviceFunctions.h"
#include "sim/simTime.h"
#include "sim/tSimEEPROM.h"
#include "support/moduleFixture.h"
#include "support/registerLogs.h"
#include "support/statusRecords.h"
#include "tavik/tTavik.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoSim::tSimEEPROM;
using nQoSim::tSimRegisterWindows;
using namespace nQoUdP100;
using W = tSimRegisterWindows;
using tLog = std::vector<tAccess>;

constexpr uint32_t kRead = 0xC0000000;
constexpr uint32_t kWrite = 0x40000000;

class tEEPROMTest : public tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::resetTime();
    nQoSim::useTestClock(1'000'000'000);
    bus.answerSubWindowOf(1, 2, vesk);
    bus.answerSubWindowOf(1, 3, tavik);
    bus.answerSubWindowOf(3, 1, enable);
    windows.setRead(vesk, 0xC0, 32, 0x11);
    windows.setRead(vesk, 0xC4, 32, 0x22);
    windows.setRead(vesk, 0xF4, 32, 0x33);
    windows.setRead(vesk, 0x314, 32, 0x1200);
    map = new nQoUdRLP100::nTavik::tTavik(&bus, tavik, &status);
    for (uint32_t id = 0; id < 174; ++id) map->markClean(id, &status);
    ASSERT_EQ(status.code, 0);
    clearLogs();
  }
  void TearDown() override {
    delete map;
    nQoSim::resetTime();
    tLeakCheckedTest::TearDown();
  }
  void clearLogs() {
    windows.clearLog();
    bus.clearCalls();
    nQoSim::clearStatusLog();
  }
  // The accesses of one window, in order.
  tLog of(unsigned window) const {
    tLog accesses;
    for (const tAccess& access : windows.log())
      if (access.window == window) accesses.push_back(access);
    return accesses;
  }
  static tAccess busWrite(unsigned window, uint32_t offset, uint32_t value, unsigned width = 32) {
    return {window, offset, width, value, W::kWrite, kWrite};
  }
  static tAccess busRead(unsigned window, uint32_t offset, uint32_t value, unsigned width = 32) {
    return {window, offset, width, value, W::kRead, kRead};
  }
  tLog switched() const {
    return {busRead(vesk, 0xC0, 0x11),    busWrite(vesk, 0xC0, 0),      busRead(vesk, 0xC4, 0x22),
            busRead(vesk, 0x314, 0x1200), busWrite(vesk, 0xC4, 0x128A), busRead(vesk, 0xF4, 0x33),
            busWrite(vesk, 0xF4, 0)};
  }
  tLog restored() const {
    return {busWrite(vesk, 0xC4, 0x22), busWrite(vesk, 0xC0, 0x11), busWrite(vesk, 0xF4, 0x33)};
  }

  tStatus2 status;
  tSimRegisterWindows windows;
  const unsigned pad = windows.addWindow(4);  // window 0 answers "none"
  const unsigned tavik = windows.addWindow(0x800);
  const unsigned vesk = windows.addWindow(0x400);
  const unsigned enable = windows.addWindow(0x100);
  nQoSim::tSimBus bus{windows};
  tSimEEPROM model{windows, tavik};
  nQoUdRLP100::nTavik::tTavik* map = nullptr;
};

TEST_F(tEEPROMTest, ConstructionReadsTheWholeEEPROMBetweenSwitchedWindows) {
  model.bytes[0] = 0xA5;
  model.bytes[1023] = 0x5A;
  tTavikEEPROM eeprom(map, &bus, 1024, 1024, 0, 0, status);
  ASSERT_EQ(status.code, 0);
  const std::vector<tCall> calls = bus.calls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0], (tCall{tCall::kOpenSubWindow, 1, 2, 0, 0, vesk}));
  EXPECT_EQ(calls[1], (tCall{tCall::kOpenSubWindow, 1, 3, 0, 0, tavik}));
  tLog expected = switched();
  const tLog restore = restored();
  expected.insert(expected.end(), restore.begin(), restore.end());
  EXPECT_EQ(of(vesk), expected);
  EXPECT_EQ(of(enable), (tLog{busWrite(enable, 0x30, 15), busWrite(enable, 0x30, 0)}));
  const tLog eepromReads = of(tavik);
  ASSERT_EQ(eepromReads.size(), 1024u);
  for (uint32_t at = 0; at < 1024; ++at)
    ASSERT_EQ(eepromReads[at], busRead(tavik, 0x400 + at, model.bytes[at], 8)) << at;
  uint8_t ends[2] = {};
  eeprom.read(1023, 1, ends, status, 0);
  eeprom.read(0, 1, ends + 1, status, 0);
  EXPECT_EQ(ends[0], 0x5A);
  EXPECT_EQ(ends[1], 0xA5);
}

TEST_F(tEEPROMTest, ShadowWritesArePendingUntilACommitInTheWriteState) {
  tTavikEEPROM eeprom(map, &bus, 1024, 1024, 0, 0, status);
  uint8_t value[2] = {0x12, 0x34};
  eeprom.write(5, 2, value, status, 0);
  eeprom.write(5, 2, value, status, 0);
  EXPECT_EQ(value[0], 0x12) << "the caller's buffer is turned back";
  uint8_t shadow[2] = {};
  eeprom.read(5, 2, shadow, status, 1);
  EXPECT_EQ(shadow[0], 0x34);
  EXPECT_EQ(shadow[1], 0x12);
  EXPECT_TRUE(eeprom.isPending(5) && eeprom.isPending(6));
  EXPECT_EQ(eeprom.pendingCount(), 2u);

  tStatus2 closed;
  eeprom.commit(closed);
  EXPECT_EQ(closed.code, -50012);
  EXPECT_EQ(eeprom.pendingCount(), 2u);

  clearLogs();
  model.busyPolls = 1;
  eeprom.enableWrite(status);
  EXPECT_EQ(of(tavik), (tLog{{tavik, 0x82, 16, 0x5A17, W::kWrite, 0}}));
  eeprom.commit(status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(model.writes, (std::vector<uint32_t>{5, 6}));
  EXPECT_EQ(model.bytes[5], 0x34);
  EXPECT_EQ(model.bytes[6], 0x12);
  EXPECT_EQ(model.busyReads, 4u) << "busy, ready after each byte";
  EXPECT_EQ(nQoSim::sleepLog().size(), 2u);
  EXPECT_EQ(eeprom.pendingCount(), 0u);
  eeprom.disableAccess(status);
  const tLog last = of(tavik);
  EXPECT_EQ(last.back(), (tAccess{tavik, 0x82, 16, 0, W::kWrite, 0}));
  EXPECT_EQ(of(enable).back(), busWrite(enable, 0x30, 0));
}

TEST_F(tEEPROMTest, ABusyBitThatStaysSetFailsAfterFiftyOneWaits) {
  tTavikEEPROM eeprom(map, &bus, 1024, 1024, 0, 0, status);
  uint8_t byte = 7;
  eeprom.write(9, 1, &byte, status, 0);
  eeprom.enableWrite(status);
  model.busyPolls = tSimEEPROM::kForEver;
  model.busyReads = 0;
  eeprom.commit(status);
  EXPECT_EQ(status.code, -50400);
  EXPECT_EQ(model.busyReads, 52u);
  const auto sleeps = nQoSim::sleepLog();
  EXPECT_EQ(sleeps.size(), 51u);
  EXPECT_EQ(sleeps.front().amount, 1u);
  EXPECT_EQ(sleeps.front().unit, kTimerTimeUnitMillisecond);
  EXPECT_EQ(lastReport(), "-50400 qoudrk qomiop/tavik/eeprom/tTavikEEPROM 148");
}

TEST_F(tEEPROMTest, RangesPastTheEndAreRefusedWithNothingCopied) {
  tTavikEEPROM eeprom(map, &bus, 1024, 1024, 0, 0, status);
  uint8_t buffer[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  tStatus2 read;
  eeprom.read(1020, 8, buffer, read, 1);
  EXPECT_EQ(read.code, -50010);
  EXPECT_EQ(buffer[0], 9);
  tStatus2 wrapped;
  eeprom.read(0xFFFFFFF8, 16, buffer, wrapped, 1);
  EXPECT_EQ(wrapped.code, -50010);
  tStatus2 write;
  eeprom.write(1020, 8, buffer, write, 1);
  EXPECT_EQ(write.code, -50013);
  EXPECT_EQ(eeprom.pendingCount(), 0u);
  tStatus2 device;
  eeprom.readFromDevice(0xFFFFFFFF, 2, buffer, device, 1);
  EXPECT_EQ(device.code, -50010);
  EXPECT_EQ(lastReport(), "-50010 qoudrk qomiop/tavik/eeprom/tBaseTavikEEPROM 135");
  tStatus2 deviceWrite;
  eeprom.enableWrite(deviceWrite);
  eeprom.writeToDevice(1023, 2, buffer, deviceWrite, 1);
  EXPECT_EQ(deviceWrite.code, -50013);
  EXPECT_EQ(model.writes, (std::vector<uint32_t>{1023}));
}

TEST_F(tEEPROMTest, DirectAccessSkipsEqualBytesAndDropsPendingOnes) {
  model.bytes[3] = 0x44;
  tTavikEEPROM eeprom(map, &bus, 1024, 1024, 0, 0, status);
  uint8_t byte = 0x44;
  eeprom.enableWrite(status);
  eeprom.writeToDevice(3, 1, &byte, status, 0);
  EXPECT_TRUE(model.writes.empty());
  uint8_t other = 0x99;
  eeprom.write(3, 1, &other, status, 0);
  uint8_t back = 0;
  eeprom.readFromDevice(3, 1, &back, status, 0);
  EXPECT_EQ(back, 0x44);
  EXPECT_FALSE(eeprom.isPending(3));
  tStatus2 revert;
  eeprom.revert(revert);
  EXPECT_EQ(revert.code, -50009);
}

TEST_F(tEEPROMTest, APendingByteWrittenToTheDeviceWithItsShadowValueReachesTheBoard) {
  tTavikEEPROM eeprom(map, &bus, 1024, 1024, 0, 0, status);
  uint8_t value[2] = {0x66, 0x77};
  eeprom.write(8, 2, value, status, 1);
  eeprom.enableWrite(status);
  eeprom.writeToDevice(8, 2, value, status, 1);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(model.writes, (std::vector<uint32_t>{8, 9}));
  EXPECT_EQ(model.bytes[8], 0x66);
  EXPECT_EQ(model.bytes[9], 0x77);
  EXPECT_EQ(eeprom.pendingCount(), 0u);
  eeprom.commit(status);  // nothing left to write
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(model.writes, (std::vector<uint32_t>{8, 9}));
}

// The first byte write of a commit fails on the bus: that byte and the ones
// after it stay pending, so the next commit writes all three to the board.
TEST_F(tEEPROMTest, ACommitWhoseByteWriteFailedKeepsThatByteAndTheRestPending) {
  tTavikEEPROM eeprom(map, &bus, 1024, 1024, 0, 0, status);
  uint8_t value[3] = {0x11, 0x22, 0x33};
  eeprom.write(5, 3, value, status, 1);
  eeprom.enableWrite(status);
  ASSERT_EQ(status.code, 0);
  bus.failNext(tCall::kWrite32, -50001);
  tStatus2 failed;
  eeprom.commit(failed);
  EXPECT_EQ(failed.code, -50001);
  EXPECT_TRUE(model.writes.empty());
  EXPECT_EQ(eeprom.pendingCount(), 3u);
  eeprom.commit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(model.writes, (std::vector<uint32_t>{5, 6, 7}));
  EXPECT_EQ(std::vector<uint8_t>(&model.bytes[5], &model.bytes[8]),
            (std::vector<uint8_t>{0x11, 0x22, 0x33}));
  EXPECT_EQ(eeprom.pendingCount(), 0u);
}

// A failed hardware read in revert keeps the byte's shadow value and leaves
// it, and the bytes after it, pending for the next revert.
TEST_F(tEEPROMTest, ARevertWhoseByteReadFailedKeepsThatByteAndTheRestPending) {
  model.bytes[5] = 0xA5;
  model.bytes[6] = 0xB6;
  tTavikEEPROM eeprom(map, &bus, 1024, 1024, 0, 0, status);
  uint8_t value[2] = {0x11, 0x22};
  eeprom.write(5, 2, value, status, 1);
  eeprom.enableRead(status);
  ASSERT_EQ(status.code, 0);
  bus.failNext(tCall::kRead32, -50001);
  tStatus2 failed;
  eeprom.revert(failed);
  EXPECT_EQ(failed.code, -50001);
  uint8_t shadow[2] = {};
  eeprom.read(5, 2, shadow, status, 1);
  EXPECT_EQ(shadow[0], 0x11) << "not the failed read's 0";
  EXPECT_EQ(eeprom.pendingCount(), 2u);
  eeprom.revert(status);
  eeprom.read(5, 2, shadow, status, 1);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(shadow[0], 0xA5);
  EXPECT_EQ(shadow[1], 0xB6);
  EXPECT_EQ(eeprom.pendingCount(), 0u);
}

// Direct accesses whose byte fails on the bus leave that byte's shadow value
// and pending mark as they were.
TEST_F(tEEPROMTest, AFailedDirectAccessLeavesTheShadowAndThePendingByte) {
  model.bytes[3] = 0x44;
  tTavikEEPROM eeprom(map, &bus, 1024, 1024, 0, 0, status);
  uint8_t byte = 0x99;
  eeprom.write(3, 1, &byte, status, 0);
  eeprom.enableRead(status);
  bus.failNext(tCall::kRead32, -50001);
  tStatus2 read;
  uint8_t back = 0;
  eeprom.readFromDevice(3, 1, &back, read, 0);
  EXPECT_EQ(read.code, -50001);
  EXPECT_TRUE(eeprom.isPending(3));
  eeprom.read(3, 1, &back, status, 0);
  EXPECT_EQ(back, 0x99);

  uint8_t other = 0x55;
  eeprom.enableWrite(status);
  ASSERT_EQ(status.code, 0);
  bus.failNext(tCall::kWrite32, -50001);
  tStatus2 written;
  eeprom.writeToDevice(3, 1, &other, written, 0);
  EXPECT_EQ(written.code, -50001);
  EXPECT_TRUE(eeprom.isPending(3));
  eeprom.read(3, 1, &back, status, 0);
  EXPECT_EQ(back, 0x99);
  EXPECT_EQ(model.bytes[3], 0x44);
}

// Closing access after a failed window restore still locks the EEPROM and
// clears the enable register, and reports the restore's error.
TEST_F(tEEPROMTest, AFailedWindowRestoreStillLocksAndDisables) {
  tTavikEEPROM eeprom(map, &bus, 1024, 1024, 0, 0, status);
  eeprom.enableWrite(status);
  ASSERT_EQ(status.code, 0);
  clearLogs();
  bus.failNext(tCall::kWrite32, -50001);
  tStatus2 closed;
  eeprom.disableAccess(closed);
  EXPECT_EQ(closed.code, -50001);
  EXPECT_EQ(of(tavik), (tLog{{tavik, 0x82, 16, 0, W::kWrite, 0}}));
  EXPECT_EQ(of(enable), (tLog{busWrite(enable, 0x30, 0)}));
}

// A byte write that fails on the bus still gives the board its own window
// values back and switches the windows again for the next byte; the busy
// flag is not polled for a byte that was not written.
TEST_F(tEEPROMTest, AFailedByteWriteStillRestoresAndSwitchesTheWindowsAgain) {
  tTavikEEPROM eeprom(map, &bus, 1024, 1024, 0, 0, status);
  uint8_t byte = 0x5C;
  eeprom.write(9, 1, &byte, status, 0);
  eeprom.enableWrite(status);
  ASSERT_EQ(status.code, 0);
  clearLogs();
  bus.failNext(tCall::kWrite32, -50001);
  tStatus2 failed;
  eeprom.commit(failed);
  EXPECT_EQ(failed.code, -50001);
  tLog expected = restored();
  const tLog again = switched();
  expected.insert(expected.end(), again.begin(), again.end());
  EXPECT_EQ(of(vesk), expected);
  EXPECT_TRUE(of(tavik).empty()) << "no byte written, no busy poll";
  EXPECT_TRUE(eeprom.isPending(9));
}

// A window control whose value could not be read is neither switched nor
// given a made-up value back; a control whose restore failed keeps its saved
// value for the next restore instead of reading its switched value again.
TEST_F(tEEPROMTest, OnlyWindowValuesReadFromTheBoardAreWrittenBack) {
  tTavikEEPROM eeprom(map, &bus, 1024, 1024, 0, 0, status);
  ASSERT_EQ(status.code, 0);
  clearLogs();
  bus.failNext(tCall::kRead32, -50001);  // 0xC0
  tStatus2 opened;
  eeprom.enableRead(opened);
  EXPECT_EQ(opened.code, -50001);
  eeprom.disableAccess(status);
  EXPECT_EQ(of(vesk),
            (tLog{busRead(vesk, 0xC4, 0x22), busRead(vesk, 0x314, 0x1200),
                  busWrite(vesk, 0xC4, 0x128A), busRead(vesk, 0xF4, 0x33), busWrite(vesk, 0xF4, 0),
                  busWrite(vesk, 0xC4, 0x22), busWrite(vesk, 0xF4, 0x33)}));

  eeprom.enableRead(status);
  clearLogs();
  bus.failNext(tCall::kWrite32, -50001);  // 0xC4's restore
  tStatus2 closed;
  eeprom.disableAccess(closed);
  EXPECT_EQ(closed.code, -50001);
  eeprom.enableRead(status);
  eeprom.disableAccess(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(
      of(vesk),
      (tLog{busWrite(vesk, 0xC0, 0x11), busWrite(vesk, 0xF4, 0x33), busRead(vesk, 0xC0, 0x11),
            busWrite(vesk, 0xC0, 0), busRead(vesk, 0x314, 0x1200), busWrite(vesk, 0xC4, 0x128A),
            busRead(vesk, 0xF4, 0x33), busWrite(vesk, 0xF4, 0), busWrite(vesk, 0xC4, 0x22),
            busWrite(vesk, 0xC0, 0x11), busWrite(vesk, 0xF4, 0x33)}));
}

// Must-show map content: header words big-endian at 24, 20 and 16.
class tEEPROMMapTest : public tEEPROMTest {
 protected:
  void SetUp() override {
    tEEPROMTest::SetUp();
    model.bytes[24] = 0x01;
    model.bytes[20] = 0x01;
    model.bytes[21] = 0x80;
    model.bytes[16] = 0x02;
    model.bytes[513] = 0x55;
    model.bytes[515] = 0x44;
  }
  void TearDown() override {
    tUdSeriesCalDeviceFunctions::destroyCalibrationObjects(objects);
    tEEPROMTest::TearDown();
  }
  void build(uint32_t format) {
    description.mapFormat = format;
    tUdSeriesCalDeviceFunctions::createCalibrationObjects(&description, map, &bus, objects, 0,
                                                          status);
  }
  static nQoUdRLP100::tInterval volts(int32_t low, int32_t high, int16_t exponent) {
    return {{low, exponent, 1}, {high, exponent, 1}};
  }
  tCalibrationDescription description{nullptr, 1, 0, 1};
  tCalibrationObjects objects;
};

TEST_F(tEEPROMMapTest, TheCalibrationMapPlacesFieldsCoefficientsAndStrings) {
  build(1);
  ASSERT_EQ(status.code, 0);
  ASSERT_NE(objects.pwm, nullptr);
  EXPECT_EQ(objects.eeprom->isInitialized(), 1u);
  iEEPROMContentMap& contentMap = *objects.map;
  uint32_t address = 0;
  uint32_t size = 0;
  contentMap.getFieldAddress(15914, address, size, status);
  EXPECT_EQ(address, 396u);
  EXPECT_EQ(size, 4u);
  const auto zero = volts(-10, 10, 0);
  contentMap.getCoefficientAddress(5, 2, 0, zero, 1, address, size, status);
  EXPECT_EQ(address, 396u);
  EXPECT_EQ(size, 1u);
  contentMap.getCoefficientAddress(4, 1, 0, volts(-10000, 10000, -3), 0, address, size, status);
  EXPECT_EQ(address, 344u);
  EXPECT_EQ(size, 4u);
  contentMap.getCoefficientAddress(3, 1, 0, volts(-500, 500, -3), 0, address, size, status);
  EXPECT_EQ(address, 256u + 16 + 68 + 32);
  EXPECT_EQ(status.code, 0);
  tStatus2 three;
  contentMap.getCoefficientAddress(4, 1, 0, volts(-3, 3, 0), 0, address, size, three);
  EXPECT_EQ(three.code, -50003);
  EXPECT_EQ(address, 0u);
  tStatus2 aoRange;
  contentMap.getCoefficientAddress(4, 2, 0, volts(-500, 500, -3), 0, address, size, aoRange);
  EXPECT_EQ(aoRange.code, -50003);

  objects.eeprom->selectArea(14694, status);
  contentMap.getFieldAddress(14687, address, size, status);
  EXPECT_EQ(address, 384u);
  EXPECT_EQ(size, 8u);

  uint8_t text[4] = {};
  objects.eeprom->readStringField(14692, 4, text, status);
  EXPECT_EQ(std::vector<uint8_t>(text, text + 4), (std::vector<uint8_t>{0x55, 0, 0x44, 0}));
  EXPECT_EQ(status.code, 0);

  uint8_t tooLong[5] = {7, 7, 7, 7, 7};
  tStatus2 longer;
  objects.eeprom->readField(15914, 5, tooLong, longer);
  EXPECT_EQ(longer.code, -50005);
  EXPECT_EQ(tooLong[0], 7);

  contentMap.getIndexedFieldAddress(3, 1, address, size, status);
  EXPECT_EQ(address, 957u);
  EXPECT_EQ(size, 1u);
  tStatus2 past;
  contentMap.getIndexedFieldAddress(3, 3, address, size, past);
  EXPECT_EQ(past.code, -50003);
  EXPECT_EQ(address, 0u);
  EXPECT_EQ(size, 0u);
  tStatus2 kind1;
  contentMap.getIndexedFieldAddress(1, 0, address, size, kind1);
  EXPECT_EQ(kind1.code, -50003);
  tStatus2 word;
  EXPECT_EQ(objects.eeprom->getContentMapWord18(0, word), 0xFFFFFFFFu);
  EXPECT_EQ(word.code, -50256);
}

// A load whose window switch fails on the bus still closes the access it
// opened: the windows are restored and the enable register cleared.
TEST_F(tEEPROMMapTest, ALoadThatFailsStillClosesTheAccess) {
  build(1);
  ASSERT_EQ(status.code, 0);
  clearLogs();
  bus.failNext(tCall::kRead32, -50001);
  tStatus2 loaded;
  objects.eeprom->load(loaded);
  EXPECT_EQ(loaded.code, -50001);
  EXPECT_EQ(of(enable), (tLog{busWrite(enable, 0x30, 0)}));
  const tLog windowControls = of(vesk);
  ASSERT_FALSE(windowControls.empty());
  EXPECT_EQ(windowControls.back(), busWrite(vesk, 0xF4, 0x33)) << "the last restore";
}

TEST_F(tEEPROMMapTest, StringWritesPadTheFieldAndOddLengthsMoveWholeUnits) {
  build(1);
  uint8_t text[3] = {'A', 'B', 'C'};
  objects.eeprom->writeStringField(14691, 3, text, status);
  ASSERT_EQ(status.code, 0);
  uint8_t field[10] = {};
  objects.device->read(522, 10, field, status, 1);
  EXPECT_EQ(std::vector<uint8_t>(field, field + 10),
            (std::vector<uint8_t>{'B', 'A', 0, 0, 0, 0, 0, 0, 0, 0}));
  uint8_t back[3] = {0, 0, 0x77};
  objects.eeprom->readStringField(14691, 3, back, status);
  EXPECT_EQ(std::vector<uint8_t>(back, back + 3), (std::vector<uint8_t>{'A', 'B', 0x77}));
  tStatus2 tooLong;
  uint8_t eleven[11] = {};
  objects.eeprom->writeStringField(14691, 11, eleven, tooLong);
  EXPECT_EQ(tooLong.code, -50005);
}

TEST_F(tEEPROMMapTest, TheTenDIOMapHasOneIndexedRowAndOtherFormatsAreRefused) {
  build(2);
  ASSERT_EQ(status.code, 0);
  uint32_t address = 0;
  uint32_t size = 0;
  objects.map->getIndexedFieldAddress(1, 0, address, size, status);
  EXPECT_EQ(address, 964u);
  EXPECT_EQ(size, 4u);
  tStatus2 second;
  objects.map->getIndexedFieldAddress(1, 1, address, size, second);
  EXPECT_EQ(second.code, -50003);
  tUdSeriesCalDeviceFunctions::destroyCalibrationObjects(objects);
  build(3);
  EXPECT_EQ(status.code, -50150);
}

// A coefficient's index multiplied out past 32 bits, or an AI index past the
// n records, is -50003 with both outputs 0; it never lands on another
// record's bytes. The largest AO index whose address fits is still placed.
TEST(tPralEEPROMContentMapTest, IndexesWhoseAddressDoesNotFitAreRefused) {
  tPralEEPROMContentMap map(4);
  tEEPROMHeader header;
  header.area14693Address = 0x200;
  tStatus2 status;
  map.setHeader(header, status);
  const nQoUdRLP100::tInterval unused{};
  struct tCase {
    uint32_t kind, section, index, mode;
    unsigned line;
  };
  const tCase refused[] = {
      {.kind = 1, .section = 1, .index = 0x40000000, .mode = 1, .line = 141},  // 124 x 2^30
      {.kind = 1, .section = 1, .index = 4, .mode = 1, .line = 141},           // AO record 0
      {.kind = 1, .section = 1, .index = 0xFFFFFFFF, .mode = 4, .line = 141},
      {.kind = 1, .section = 2, .index = 0xFFFFFFFF, .mode = 1, .line = 146},
      {.kind = 5, .section = 2, .index = 87652373, .mode = 1, .line = 146},  // one past the last
  };
  for (const tCase& c : refused) {
    SCOPED_TRACE(c.index);
    nQoSim::clearStatusLog();
    uint32_t address = 0x11111111;
    uint32_t size = 0x22222222;
    tStatus2 one;
    map.getCoefficientAddress(c.kind, c.section, c.index, unused, c.mode, address, size, one);
    EXPECT_EQ(one.code, -50003);
    EXPECT_TRUE(loggedAt(-50003, "qomiop/eeprom/tPralEEPROMContentMap", c.line));
    EXPECT_EQ(address, 0u);
    EXPECT_EQ(size, 0u);
  }

  // 0x200 + 16 + 4 x 124 = 1024 is AO record 0; record 87652372, at
  // 1024 + 87652372 x 49, is the last whose address fits.
  uint32_t address = 0;
  uint32_t size = 0;
  map.getCoefficientAddress(5, 2, 87652372, unused, 1, address, size, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(address, 1024u + 87652372u * 49u);
  EXPECT_EQ(size, 1u);
  map.getCoefficientAddress(2, 1, 3, unused, 4, address, size, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(address, 0x200u + 16 + 3 * 124 + 51 + 9);
  EXPECT_EQ(size, 4u);
}

TEST_F(tEEPROMMapTest, CopyingTheCalibrationAreaMovesTheOtherAreaOntoTheFirst) {
  model.bytes[23] = 4;  // the other area's size
  for (uint32_t i = 0; i < 4; ++i) model.bytes[384 + i] = static_cast<uint8_t>(i + 1);
  build(1);
  objects.eeprom->selectArea(14694, status);
  objects.eeprom->copyCalibrationArea(status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(objects.eeprom->getSelectedArea(status), 14694u);
  uint8_t copied[4] = {};
  objects.device->read(256, 4, copied, status, 1);
  EXPECT_EQ(std::vector<uint8_t>(copied, copied + 4), (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(static_cast<tBaseTavikEEPROM*>(objects.device)->pendingCount(), 4u);
}

TEST_F(tEEPROMMapTest, WithAByteOrderWordStringsWalkBackFromTheFieldsEnd) {
  struct tOrderedMap : tPralEEPROMContentMap {
    tOrderedMap() : tPralEEPROMContentMap(1) {}
    uint32_t getByteOrder(tStatus2&) override { return 1; }
  } ordered;
  model.bytes[520] = 0x66;
  model.bytes[519] = 0x77;
  build(1);
  tEEPROM facade(&ordered, objects.device);
  facade.load(status);
  uint8_t text[4] = {};
  facade.readStringField(14692, 4, text, status);
  EXPECT_EQ(std::vector<uint8_t>(text, text + 4), (std::vector<uint8_t>{0, 0x66, 0x77, 0}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tEEPROMMapTest, AFacadeWithoutDeviceOrMapSaysSo) {
  tEEPROM facade(nullptr, nullptr);
  facade.load(status);
  EXPECT_EQ(status.code, -50004);
  tStatus2 format;
  EXPECT_EQ(facade.getFormatByte(format), 0u);
  EXPECT_EQ(lastReport(), "-50004 qoudrk qomiop/eeprom/tEEPROM 938");
}

// A device double that records its direct accesses and answers 0xD0 + address.
class tRecordingDevice : public iBaseEEPROM {
 public:
  struct tRun {
    bool write;
    uint32_t address;
    uint32_t length;
    bool operator==(const tRun&) const = default;
  };
  void readFromDevice(uint32_t address, uint32_t length, uint8_t* buffer, tStatus2&,
                      uint32_t) override {
    runs.push_back({false, address, length});
    for (uint32_t i = 0; i < length; ++i) buffer[i] = static_cast<uint8_t>(0xD0 + address + i);
  }
  void writeToDevice(uint32_t address, uint32_t length, uint8_t*, tStatus2&, uint32_t) override {
    runs.push_back({true, address, length});
  }
  void read(uint32_t, uint32_t, uint8_t*, tStatus2&, uint32_t) override {}
  void write(uint32_t, uint32_t, uint8_t*, tStatus2&, uint32_t) override {}
  void revert(tStatus2&) override {}
  void commit(tStatus2&) override {}
  void enableRead(tStatus2&) override {}
  void enableWrite(tStatus2&) override {}
  void disableAccess(tStatus2&) override {}
  std::vector<tRun> runs;
};

TEST(tEEPROMCache, APartlyValidReadKeepsTheDirtyBytes) {
  tRecordingDevice device;
  tStatus2 status;
  tEEPROMCache cache(16, &device, status);
  const uint8_t written = 0xAA;
  cache.write(5, 1, &written, status);
  uint8_t out[3] = {};
  cache.read(4, 3, out, status);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 3), (std::vector<uint8_t>{0xD4, 0xAA, 0xD6}));
  EXPECT_EQ(cache.flags(5), 3u);
  EXPECT_EQ(cache.flags(4), 2u);
  using tRun = tRecordingDevice::tRun;
  EXPECT_EQ(device.runs, (std::vector<tRun>{{false, 4, 1}, {false, 6, 1}}));
  cache.read(4, 3, out, status);
  EXPECT_EQ(device.runs.size(), 2u) << "all valid: no device read";

  const uint8_t pair[2] = {1, 2};
  cache.write(10, 2, pair, status);
  cache.storeClean(12, 1, pair, status);
  device.runs.clear();
  cache.flush(status);
  EXPECT_EQ(device.runs, (std::vector<tRun>{{true, 5, 1}, {true, 10, 2}}));
  EXPECT_EQ(status.code, 0);
}

TEST(tEEPROMCache, RangesPastTheCacheAreRefused) {
  tRecordingDevice device;
  tStatus2 status;
  tEEPROMCache cache(16, &device, status);
  uint8_t out[4] = {};
  tStatus2 wrapped;
  cache.read(0xFFFFFFFF, 2, out, wrapped);
  EXPECT_EQ(wrapped.code, -50007);
  tStatus2 past;
  cache.write(14, 3, out, past);
  EXPECT_EQ(past.code, -50007);
  EXPECT_EQ(cache.flags(14), 0u);
  EXPECT_TRUE(device.runs.empty());
}

}  // namespace
}  // namespace nQoTest
