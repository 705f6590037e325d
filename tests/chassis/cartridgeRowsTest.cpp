// The requests of the cartridge TEDS, EEPROM, FIFO, data memory, action bit,
// miscellaneous, processor, timer, sync pulse, notification, analog
// trigger, line filter, change detection and counter input packers: every
// class's bytes and size, and the sync pulse commit's road through its
// Async call.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "cartridgeRows.h"
#include "chassis/cartridge/tCartridgeActionBit.h"
#include "chassis/cartridge/tCartridgeAnalogTrigger.h"
#include "chassis/cartridge/tCartridgeCICounter.h"
#include "chassis/cartridge/tCartridgeChangeDetection.h"
#include "chassis/cartridge/tCartridgeDataMemory.h"
#include "chassis/cartridge/tCartridgeDriverNotification.h"
#include "chassis/cartridge/tCartridgeEEPROM.h"
#include "chassis/cartridge/tCartridgeFIFO.h"
#include "chassis/cartridge/tCartridgeLineFilter.h"
#include "chassis/cartridge/tCartridgeMisc.h"
#include "chassis/cartridge/tCartridgeProcessor.h"
#include "chassis/cartridge/tCartridgeSyncPulse.h"
#include "chassis/cartridge/tCartridgeSyncPulseChangeDetection.h"
#include "chassis/cartridge/tCartridgeTEDSCommunicator.h"
#include "chassis/cartridge/tCartridgeTimer.h"
#include "chassis/cartridge/tMultiCartridgeChangeDetection.h"
#include "chassisTest.h"

namespace {

using namespace nQoFSL100::nQoMIOCS;
using nQoFSL100::tArray;
using nQoFSL100::tQuorlPacker;
using nQoTest::be32;
using nQoTest::fill;
using nQoTest::kRowObject;
using nQoTest::logged;
using nQoTest::make;
using nQoTest::operator+;
using nQoTest::repeatW;
using nQoTest::tBytes;
using nQoTest::tRequestRow;
using nQoTest::w;
using nQoTest::W;

constexpr uint8_t u8(unsigned value) { return static_cast<uint8_t>(value); }
constexpr uint16_t u16(unsigned value) { return static_cast<uint16_t>(value); }

// The arrays and outputs that rows refer to.
struct tRowData {
  tArray<uint8_t> twoBytes;    // AA BB
  tArray<uint8_t> threeBytes;  // 01 02 03
  tArray<uint32_t> dataWords;  // 0x11223344 0x55667788
  tArray<uint32_t> firmware;   // 1 0xFFFFFFFF
  tArray<uint32_t> levels;     // 10 11
  tArray<uint8_t> bytesOut;
  tArray<uint32_t> wordsOut;
  uint8_t byteBuffer[8] = {};
  uint8_t u8Out = 0;
  uint32_t u32Out = 0;
  uint32_t u32Out2 = 0;
};

std::vector<tRequestRow> controlRows(tRowData& d) {
  namespace te = nCartridgeTEDSCommunicator;
  namespace ee = nCartridgeEEPROM;
  namespace fi = nCartridgeFIFO;
  namespace dm = nCartridgeDataMemory;
  namespace ab = nCartridgeActionBit;
  namespace mi = nCartridgeMisc;
  namespace pr = nCartridgeProcessor;
  namespace dn = nCartridgeDriverNotification;
  return {
      {"TEDS.Commit", make<te::tCommitPacker>(), 0x0862, 8, {}},
      {"TEDS.Uncommit", make<te::tUncommitPacker>(), 0x0862, 9, {}},
      {"TEDS.ReadEEPROM", make<te::tReadEEPROMPacker>(1, 2, 3, 4, &d.bytesOut), 0x0862, 10,
       be32(1) + be32(2) + be32(3) + be32(4)},
      {"TEDS.WriteEEPROM",
       make<te::tWriteEEPROMPacker>(w(1), w(2), w(3), w(4), std::cref(d.twoBytes)), 0x0862, 11,
       repeatW(4) + tBytes{0, 4, 0xAA, 0xBB}},
      {"TEDS.Get8ByteIDBlock", make<te::tGet8ByteIDBlockPacker>(w(1), &d.bytesOut), 0x0862, 12,
       W(1)},
      {"TEDS.Read8BytePROM", make<te::tRead8BytePROMPacker>(w(2), d.byteBuffer), 0x0862, 13, W(2)},
      {"TEDS.Write8BytePROM", make<te::tWrite8BytePROMPacker>(5, std::cref(d.twoBytes)), 0x0862, 14,
       be32(5) + tBytes{0, 4, 0xAA, 0xBB}},
      {"TEDS.IsPROMWritten", make<te::tIsPROMWrittenPacker>(w(3), std::ref(d.u8Out)), 0x0862, 15,
       W(3)},

      {"EEPROM.Commit", make<ee::tCommitPacker>(u8(0x80), u8(0x01)), 0x0863, 8, {0x80, 0x01}},
      {"EEPROM.Uncommit", make<ee::tUncommitPacker>(), 0x0863, 9, {}},
      {"EEPROM.BlockWriteBytes", make<ee::tBlockWriteBytesPacker>(0x0010, std::cref(d.threeBytes)),
       0x0863, 10, tBytes{0x00, 0x10, 0x00, 0x05, 1, 2, 3}},
      {"EEPROM.BlockReadBytes", make<ee::tBlockReadBytesPacker>(0x0100, 0x0020, &d.bytesOut),
       0x0863, 11, tBytes{0x01, 0x00, 0x00, 0x20}},
      {"EEPROM.ReadStatusReg", make<ee::tReadStatusRegPacker>(std::ref(d.u8Out)), 0x0863, 12, {}},
      {"EEPROM.WriteStatusReg", make<ee::tWriteStatusRegPacker>(u8(0xFF)), 0x0863, 13, {0xFF}},

      {"FIFO.Commit", make<fi::tCommitPacker>(0x01020304u, u16(0x0506), u8(0x07), u8(0x08)), 0x0864,
       8, tBytes{1, 2, 3, 4, 5, 6, 7, 8}},
      {"FIFO.Arm", make<fi::tArmPacker>(), 0x0864, 9, {}},
      {"FIFO.Disarm", make<fi::tDisarmPacker>(), 0x0864, 10, {}},
      {"FIFO.GetAndConfirmOverflow",
       make<fi::tGetAndConfirmOverflowPacker>(std::ref(d.u8Out)),
       0x0864,
       11,
       {}},
      {"FIFO.GetAndConfirmTransferComplete",
       make<fi::tGetAndConfirmTransferCompletePacker>(std::ref(d.u8Out)),
       0x0864,
       12,
       {}},
      {"FIFO.EnableUnderflowInterrupt",
       make<fi::tEnableUnderflowInterruptPacker>(),
       0x0864,
       13,
       {}},

      {"DataMemory.Copy", make<dm::tCopyPacker>(u16(1), u16(2), u16(3)), 0x0865, 8,
       tBytes{0, 1, 0, 2, 0, 3}},
      {"DataMemory.Fill", make<dm::tFillPacker>(u16(1), u16(2), 0xA1B2C3D4u), 0x0865, 9,
       tBytes{0, 1, 0, 2, 0xA1, 0xB2, 0xC3, 0xD4}},
      {"DataMemory.Read", make<dm::tReadPacker>(0x0100, 0x0004, &d.wordsOut), 0x0865, 10,
       tBytes{1, 0, 0, 4}},
      {"DataMemory.Write", make<dm::tWritePacker>(0x0010, 0x0003, std::cref(d.dataWords)), 0x0865,
       11, tBytes{0, 0x10, 0, 3} + be32(10) + be32(0x11223344) + be32(0x55667788)},

      {"ActionBit.Clear", make<ab::tClearPacker>(5u), 0x0866, 8, be32(5)},
      {"ActionBit.Disable", make<ab::tDisablePacker>(w(1)), 0x0866, 9, W(1)},
      {"ActionBit.Enable", make<ab::tEnablePacker>(w(2)), 0x0866, 10, W(2)},
      {"ActionBit.Get", make<ab::tGetPacker>(w(3), std::ref(d.u32Out)), 0x0866, 11, W(3)},
      {"ActionBit.Set", make<ab::tSetPacker>(w(4)), 0x0866, 12, W(4)},
      {"ActionBit.WaitForClear", make<ab::tWaitForClearPacker>(1u, 0xFFFFFFFFu), 0x0866, 13,
       be32(1) + be32(0xFFFFFFFF)},
      {"ActionBit.EnableInterruptEvent", make<ab::tEnableInterruptEventPacker>(w(5)), 0x0866, 14,
       W(5)},
      {"ActionBit.DisableInterruptEvent", make<ab::tDisableInterruptEventPacker>(w(6)), 0x0866, 15,
       W(6)},
      {"ActionBit.EnableInterruptEndpointFlush",
       make<ab::tEnableInterruptEndpointFlushPacker>(w(1), w(2)), 0x0866, 16, repeatW(2)},
      {"ActionBit.DisableInterruptEndpointFlush",
       make<ab::tDisableInterruptEndpointFlushPacker>(w(7)), 0x0866, 17, W(7)},
      {"ActionBit.CheckForErrors", make<ab::tCheckForErrorsPacker>(5, std::ref(d.u32Out)), 0x0866,
       18, be32(5)},

      {"Misc.Commit", make<mi::tCommitPacker>(1u, 2u, 3u, 4u, 5u, 0xFFFFFFFFu), 0x0867, 8,
       be32(1) + be32(2) + be32(3) + be32(4) + be32(5) + be32(0xFFFFFFFF)},
      {"Misc.Uncommit", make<mi::tUncommitPacker>(), 0x0867, 9, {}},

      {"Processor.UpdateFirmware", make<pr::tUpdateFirmwarePacker>(7, std::cref(d.firmware)),
       0x0868, 8, be32(7) + be32(10) + be32(1) + be32(0xFFFFFFFF)},
      {"Processor.GenerateInterrupt", make<pr::tGenerateInterruptPacker>(), 0x0868, 9, {}},
      {"Processor.Commit", make<pr::tCommitPacker>(), 0x0868, 10, {}},
      {"Processor.Uncommit", make<pr::tUncommitPacker>(), 0x0868, 11, {}},

      {"DriverNotification.Created", make<dn::tCreatedPacker>(), 0x086B, 8, {}},
      {"DriverNotification.Destroyed", make<dn::tDestroyedPacker>(), 0x086B, 9, {}},
  };
}

std::vector<tRequestRow> measurementRows(tRowData& d) {
  namespace ti = nCartridgeTimer;
  namespace sp = nCartridgeSyncPulse;
  namespace at = nCartridgeAnalogTrigger;
  namespace lf = nCartridgeLineFilter;
  namespace cd = nCartridgeChangeDetection;
  namespace mc = nMultiCartridgeChangeDetection;
  namespace sc = nCartridgeSyncPulseChangeDetection;
  namespace ci = nCartridgeCICounter;
  return {
      {"Timer.WriteReloadMode", make<ti::tWriteReloadModePacker>(w(1)), 0x0869, 8, W(1)},
      {"Timer.WriteTimebase", make<ti::tWriteTimebasePacker>(0x12345678u), 0x0869, 9,
       be32(0x12345678)},
      {"Timer.WriteResetSource", make<ti::tWriteResetSourcePacker>(w(3)), 0x0869, 10, W(3)},
      {"Timer.ForceSelectA", make<ti::tForceSelectAPacker>(), 0x0869, 11, {}},
      {"Timer.ForceSelectB", make<ti::tForceSelectBPacker>(), 0x0869, 12, {}},
      {"Timer.ForceStart", make<ti::tForceStartPacker>(), 0x0869, 13, {}},
      {"Timer.ForceStop", make<ti::tForceStopPacker>(), 0x0869, 14, {}},
      {"Timer.ForceReset", make<ti::tForceResetPacker>(), 0x0869, 15, {}},
      {"Timer.WriteEnableAutoRestart",
       make<ti::tWriteEnableAutoRestartPacker>(u8(0xFE)),
       0x0869,
       16,
       {0xFE}},
      {"Timer.WriteEnableAutoReset",
       make<ti::tWriteEnableAutoResetPacker>(u8(0x02)),
       0x0869,
       17,
       {0x02}},
      {"Timer.WriteTimerResetValueA", make<ti::tWriteTimerResetValueAPacker>(w(4)), 0x0869, 18,
       W(4)},
      {"Timer.WriteTimerResetValueB", make<ti::tWriteTimerResetValueBPacker>(w(5)), 0x0869, 19,
       W(5)},
      {"Timer.GetAndConfirmTimerExpiredStatus",
       make<ti::tGetAndConfirmTimerExpiredStatusPacker>(std::ref(d.u8Out)),
       0x0869,
       20,
       {}},
      {"Timer.GetAndConfirmTimerExpiredError",
       make<ti::tGetAndConfirmTimerExpiredErrorPacker>(std::ref(d.u8Out)),
       0x0869,
       21,
       {}},

      {"SyncPulse.Commit", make<sp::tCommitPacker>(1u, 0xFFFFFFFFu), 0x086A, 8,
       be32(1) + be32(0xFFFFFFFF)},

      {"AnalogTrigger.Commit", make<at::tCommitPacker>(w(1), w(2), w(3), std::cref(d.levels)),
       0x0873, 8, repeatW(3) + be32(10) + be32(10) + be32(11)},
      {"AnalogTrigger.Uncommit", make<at::tUncommitPacker>(w(3), w(2), w(1), std::cref(d.levels)),
       0x0873, 9, W(3) + W(2) + W(1) + be32(10) + be32(10) + be32(11)},
      {"AnalogTrigger.Arm", make<at::tArmPacker>(1, 2, std::cref(d.levels)), 0x0873, 10,
       be32(1) + be32(2) + be32(10) + be32(10) + be32(11)},

      {"LineFilter.Commit", make<lf::tCommitPacker>(0x00010203u), 0x0891, 8, tBytes{0, 1, 2, 3}},
      {"LineFilter.Uncommit", make<lf::tUncommitPacker>(), 0x0891, 9, {}},

      {"ChangeDetection.Initialize", make<cd::tInitializePacker>(), 0x0892, 8, {}},
      {"ChangeDetection.Commit", make<cd::tCommitPacker>(u8(0x80)), 0x0892, 9, {0x80}},
      {"ChangeDetection.Start", make<cd::tStartPacker>(1u, 0xFFFFFFFFu), 0x0892, 10,
       be32(1) + be32(0xFFFFFFFF)},
      {"ChangeDetection.Stop", make<cd::tStopPacker>(), 0x0892, 11, {}},
      {"ChangeDetection.Uncommit", make<cd::tUncommitPacker>(), 0x0892, 12, {}},

      {"MultiChangeDetection.Initialize", make<mc::tInitializePacker>(), 0x0893, 8, {}},
      {"MultiChangeDetection.Read", make<mc::tReadPacker>(w(1), w(2), d.byteBuffer, 8), 0x0893, 9,
       repeatW(2)},
      {"MultiChangeDetection.GetChangeDetectionOverflowStatus",
       make<mc::tGetChangeDetectionOverflowStatusPacker>(std::ref(d.u8Out)),
       0x0893,
       10,
       {}},
      {"MultiChangeDetection.SetMultiSegmentDIOConnectionMask",
       make<mc::tSetMultiSegmentDIOConnectionMaskPacker>(1u, 2u, 3u), 0x0893, 11,
       be32(1) + be32(2) + be32(3)},
      {"MultiChangeDetection.ClearMultiSegmentDIOConnectionMask",
       make<mc::tClearMultiSegmentDIOConnectionMaskPacker>(w(1), w(2), w(3)), 0x0893, 12,
       repeatW(3)},

      {"SyncPulseChangeDetection.Commit", make<sc::tCommitPacker>(0x12345678u), 0x0894, 8,
       be32(0x12345678)},
      {"SyncPulseChangeDetection.Start", make<sc::tStartPacker>(), 0x0894, 9, {}},
      {"SyncPulseChangeDetection.Stop", make<sc::tStopPacker>(), 0x0894, 10, {}},
      {"SyncPulseChangeDetection.Uncommit", make<sc::tUncommitPacker>(), 0x0894, 11, {}},
      {"SyncPulseChangeDetection.GetSyncPulseStatus",
       make<sc::tGetSyncPulseStatusPacker>(std::ref(d.u32Out), std::ref(d.u32Out2)),
       0x0894,
       12,
       {}},

      {"CICounter.BeginConfiguration", make<ci::tBeginConfigurationPacker>(258u, 772u, u8(9)),
       0x08A0, 8, tBytes{0, 0, 1, 2, 0, 0, 3, 4, 9}},
      {"CICounter.ConfigureArmTimer",
       make<ci::tConfigureArmTimerPacker>(u8(0), u8(200)),
       0x08A0,
       9,
       {0x00, 0xC8}},
      {"CICounter.EnableArmTimer", make<ci::tEnableArmTimerPacker>(u8(2)), 0x08A0, 10, {0x02}},
      {"CICounter.Commit", make<ci::tCommitPacker>(w(1), u8(0x80)), 0x08A0, 11,
       W(1) + tBytes{0x80}},
      {"CICounter.Uncommit", make<ci::tUncommitPacker>(w(1), u8(0xFE)), 0x08A0, 12,
       W(1) + tBytes{0xFE}},
  };
}

class tCartridgeRowsTest : public nQoTest::tRequestRowsTest {
 protected:
  tRowData data;
  tCartridgeRowsTest() {
    fill<uint8_t>(data.twoBytes, {0xAA, 0xBB});
    fill<uint8_t>(data.threeBytes, {1, 2, 3});
    fill<uint32_t>(data.dataWords, {0x11223344, 0x55667788});
    fill<uint32_t>(data.firmware, {1, 0xFFFFFFFF});
    fill<uint32_t>(data.levels, {10, 11});
  }
};

TEST_F(tCartridgeRowsTest, EveryControlClassPacksItsRow) {
  const std::vector<tRequestRow> rows = controlRows(data);
  ASSERT_EQ(rows.size(), 43u);
  packEveryRow(rows);
}

TEST_F(tCartridgeRowsTest, EveryMeasurementClassPacksItsRow) {
  const std::vector<tRequestRow> rows = measurementRows(data);
  ASSERT_EQ(rows.size(), 40u);
  packEveryRow(rows);
}

TEST_F(tCartridgeRowsTest, AnalogTriggerArmForAnotherObject) {
  nCartridgeAnalogTrigger::tArmPacker packer(nullptr, nullptr, 0x0004, 1, 2, data.levels);
  packer.pack(transfer, 1, status);
  EXPECT_EQ(source.requestedLengths(), std::vector<uint32_t>{28});
  EXPECT_EQ(sent(2, 6), (tBytes{0x01, 0x0A, 0x08, 0x73, 0x00, 0x04}));
  EXPECT_EQ(sent(16, 12), be32(10) + be32(10) + be32(11));

  tArray<uint32_t> none;
  nCartridgeAnalogTrigger::tCommitPacker empty(nullptr, nullptr, 0x0004, 1, 2, 3, none);
  EXPECT_EQ(empty.requestSize(status), 24u);
  empty.pack(transfer, 0, status);
  EXPECT_EQ(source.bytes(1),
            (tBytes{0xEE, 0xEE, 0, 8, 0x08, 0x73, 0, 4} + be32(1) + be32(2) + be32(3) + be32(2)));
}

TEST_F(tCartridgeRowsTest, SyncPulseCommitRunsThroughItsAsyncCall) {
  nCartridgeSyncPulse::tCommitPacker packer(nullptr, nullptr, 0x0102, 1, 0xFFFFFFFF);
  packer.pack(transfer, 0, status);
  EXPECT_EQ(sent(2, 14), (tBytes{0x00, 0x08, 0x08, 0x6A, 0x01, 0x02} + be32(1) + be32(0xFFFFFFFF)));

  status.code = -3;
  packer.pack(transfer, 1, status);
  EXPECT_EQ(source.calls(), 1u);
  EXPECT_EQ(packer.requestSize(status), 8u);

  status.clear();
  source.script({.noMessage = true});
  packer.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -50004);
  EXPECT_TRUE(logged(-50004, "tCartridgeSyncPulse", 60));

  status.clear();
  reply(6, be32(uint32_t(-9)) + be32(7));
  packer.unpack(context, status);
  EXPECT_EQ(status.code, -9);
}

}  // namespace
