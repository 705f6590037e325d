// The cartridge packers' requests: every class's bytes and size, and the
// failures of the packer form.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "cartridgeRows.h"
#include "chassis/cartridge/tCartridgeAIScanningFrontEnd.h"
#include "chassis/cartridge/tCartridgeAITimingController.h"
#include "chassis/cartridge/tCartridgeAI_ADC.h"
#include "chassis/cartridge/tCartridgeAOTimingController.h"
#include "chassis/cartridge/tCartridgeAO_DAC.h"
#include "chassis/cartridge/tCartridgeController.h"
#include "chassis/cartridge/tCartridgeDIODirection.h"
#include "chassis/cartridge/tCartridgeDetection.h"
#include "chassisTest.h"
#include "sim/simAllocator.h"

namespace {

using namespace nQoFSL100::nQoMIOCS;
using nQoFSL100::tArray;
using nQoFSL100::tQuorlPacker;
using nQoTest::be32;
using nQoTest::fill;
using nQoTest::logged;
using nQoTest::loggedCode;
using nQoTest::operator+;
using nQoTest::kRowObject;
using nQoTest::make;
using nQoTest::repeatW;
using nQoTest::tBytes;
using nQoTest::tRequestRow;
using nQoTest::w;
using nQoTest::W;

uint32_t gOutput = 0;

std::vector<tRequestRow> requestCases(const tArray<uint32_t>& words,
                                      const tArray<uint16_t>& halves) {
  namespace c = nCartridgeController;
  namespace d = nCartridgeDetection;
  namespace s = nCartridgeAIScanningFrontEnd;
  namespace a = nCartridgeAI_ADC;
  namespace t = nCartridgeAITimingController;
  namespace o = nCartridgeAO_DAC;
  namespace ot = nCartridgeAOTimingController;
  namespace io = nCartridgeDIODirection;
  return {
      {"Controller.Reset", make<c::tResetPacker>(), 0x0860, 8, {}},
      {"Controller.Commit",
       make<c::tCommitPacker>(258u, uint8_t{5}, uint8_t{6}, uint8_t{7}, uint8_t{255}), 0x0860, 9,
       tBytes{0, 0, 1, 2, 5, 6, 7, 0xFF}},
      {"Controller.CommitHSIInput",
       make<c::tCommitHSIInputPacker>(w(1), w(2), w(3), w(4), w(5), w(6), w(7), w(8), w(9), w(10)),
       0x0860, 10, repeatW(10)},
      {"Controller.CommitHSIOutput",
       make<c::tCommitHSIOutputPacker>(w(1), w(2), w(3), w(4), w(5), w(6), w(7), w(8), w(9), w(10),
                                       w(11), w(12), w(13), w(14)),
       0x0860, 11, repeatW(14)},
      {"Controller.CommitSPIForHSIDevices",
       make<c::tCommitSPIForHSIDevicesPacker>(w(1), w(2), w(3), uint8_t{0xC4}), 0x0860, 12,
       repeatW(3) + tBytes{0xC4}},
      {"Controller.UncommitSPIForHSIDevices", make<c::tUncommitSPIForHSIDevicesPacker>(w(1)),
       0x0860, 13, W(1)},
      {"Controller.CommitSPI", make<c::tCommitSPIPacker>(w(1), w(2), w(3), uint8_t{0x80}), 0x0860,
       14, repeatW(3) + tBytes{0x80}},
      {"Controller.Uncommit", make<c::tUncommitPacker>(w(1)), 0x0860, 15, W(1)},

      {"Detection.Commit", make<d::tCommitPacker>(), 0x0861, 8, {}},
      {"Detection.Arm", make<d::tArmPacker>(), 0x0861, 9, {}},
      {"Detection.Disarm", make<d::tDisarmPacker>(), 0x0861, 10, {}},
      {"Detection.Uncommit", make<d::tUncommitPacker>(), 0x0861, 11, {}},
      {"Detection.SpecifyCartridge",
       make<d::tSpecifyCartridgePacker>(uint16_t{1}, uint16_t{2}, 3u, uint16_t{4}), 0x0861, 12,
       tBytes{0, 1, 0, 2, 0, 0, 0, 3, 0, 4}},
      {"Detection.ReadEventCounter",
       [] {
         return new d::tReadCartridgeDetectionEventCounterPacker(nullptr, nullptr, kRowObject,
                                                                 gOutput);
       },
       0x0861,
       13,
       {}},
      {"Detection.ResetEventCounter",
       make<d::tResetCartridgeDetectionEventCounterPacker>(),
       0x0861,
       14,
       {}},
      {"Detection.SetSlotEnabledMask", make<d::tSetSlotEnabledMaskPacker>(15u), 0x0861, 15,
       be32(15)},

      {"FrontEnd.Precommit", make<s::tPrecommitPacker>(), 0x0870, 8, {}},
      {"FrontEnd.PrecommitCmq", make<s::tPrecommitCmqPacker>(w(1), w(2), uint8_t{0xFE}, uint8_t{2}),
       0x0870, 9, repeatW(2) + tBytes{0xFE, 2}},
      {"FrontEnd.Postuncommit", make<s::tPostuncommitPacker>(), 0x0870, 10, {}},
      {"FrontEnd.Commit", make<s::tCommitPacker>(1u, 2u, 3u, uint8_t{255}, uint8_t{0}, uint8_t{2}),
       0x0870, 11, be32(1) + be32(2) + be32(3) + tBytes{0xFF, 0, 2}},
      {"FrontEnd.Uncommit", make<s::tUncommitPacker>(0xFFFFFFFFu, uint8_t{0x80}), 0x0870, 12,
       be32(0xFFFFFFFF) + tBytes{0x80}},
      {"FrontEnd.Prearm", make<s::tPrearmPacker>(), 0x0870, 13, {}},
      {"FrontEnd.Postdisarm", make<s::tPostdisarmPacker>(), 0x0870, 14, {}},
      {"FrontEnd.Arm", make<s::tArmPacker>(), 0x0870, 15, {}},
      {"FrontEnd.ArmCmq", make<s::tArmCmqPacker>(), 0x0870, 16, {}},
      {"FrontEnd.DisarmCmq", make<s::tDisarmCmqPacker>(), 0x0870, 17, {}},
      {"FrontEnd.Disarm", make<s::tDisarmPacker>(), 0x0870, 18, {}},
      {"FrontEnd.PrecommitChannelConfig",
       make<s::tPrecommitChannelConfigPacker>(w(1), w(2), w(3), w(4), w(5)), 0x0870, 19,
       repeatW(5)},

      {"ADC.Commit", make<a::tCommitPacker>(0x00010002u), 0x0871, 8, tBytes{0, 1, 0, 2}},
      {"ADC.Arm", make<a::tArmPacker>(), 0x0871, 9, {}},
      {"ADC.Disarm", make<a::tDisarmPacker>(), 0x0871, 10, {}},
      {"ADC.Uncommit", make<a::tUncommitPacker>(), 0x0871, 11, {}},

      {"Timing.Commit", make<t::tCommitPacker>(1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, uint8_t{0xFF}),
       0x0872, 8,
       be32(1) + be32(2) + be32(3) + be32(4) + be32(5) + be32(6) + be32(7) + be32(8) + be32(9) +
           tBytes{0xFF}},
      {"Timing.Arm", make<t::tArmPacker>(), 0x0872, 9, {}},
      {"Timing.Start", make<t::tStartPacker>(), 0x0872, 10, {}},
      {"Timing.Stop", make<t::tStopPacker>(), 0x0872, 11, {}},
      {"Timing.Disarm", make<t::tDisarmPacker>(), 0x0872, 12, {}},
      {"Timing.Uncommit", make<t::tUncommitPacker>(1u, 2u, 3u), 0x0872, 13,
       be32(1) + be32(2) + be32(3)},

      {"DAC.Commit", make<o::tCommitPacker>(258u, uint8_t{2}, uint8_t{255}), 0x0880, 8,
       tBytes{0, 0, 1, 2, 2, 0xFF}},
      {"DAC.ReadStatus",
       [] { return new o::tReadStatusPacker(nullptr, nullptr, kRowObject, w(1), gOutput); }, 0x0880,
       9, W(1)},
      {"DAC.MultiDACWrite",
       [&] { return new o::tMultiDACWritePacker(nullptr, nullptr, kRowObject, words, halves); },
       0x0880, 10, be32(10) + be32(1) + be32(2) + tBytes{0, 4, 0, 3}},
      {"DAC.Uncommit", make<o::tUncommitPacker>(w(1)), 0x0880, 11, W(1)},

      {"AOTiming.SoftwareUpdatePulse", make<ot::tSoftwareUpdatePulsePacker>(), 0x0881, 8, {}},
      {"AOTiming.CommitDSA",
       [&] { return new ot::tCommitDSAPacker(nullptr, nullptr, kRowObject, 1, 2, 3, 4, words); },
       0x0881, 9, be32(1) + be32(2) + be32(3) + be32(4) + be32(10) + be32(1) + be32(2)},

      {"DIO.Commit", make<io::tCommitPacker>(), 0x0890, 8, {}},
      {"DIO.Uncommit", make<io::tUncommitPacker>(), 0x0890, 9, {}},
      {"DIO.ConfigureLinesCmr", make<io::tConfigureLinesCmrPacker>(1u, 2u, 3u, 4u, 5u, 6u, 7u),
       0x0890, 10, be32(1) + be32(2) + be32(3) + be32(4) + be32(5) + be32(6) + be32(7)},
      {"DIO.ConfigureWatchdogLinesCmr",
       make<io::tConfigureWatchdogLinesCmrPacker>(1u, 2u, 3u, 4u, 5u, 6u, 7u), 0x0890, 11,
       be32(1) + be32(2) + be32(3) + be32(4) + be32(5) + be32(6) + be32(7)},
      {"DIO.ConfigureLinesCms", make<io::tConfigureLinesCmsPacker>(w(1), w(2)), 0x0890, 12,
       repeatW(2)},
      {"DIO.ResetLinesCmr", make<io::tResetLinesCmrPacker>(0xFFFFFFFFu, 0u), 0x0890, 13,
       be32(0xFFFFFFFF) + be32(0)},
  };
}

class tCartridgeRequestsTest : public nQoTest::tRequestRowsTest {
 protected:
  tArray<uint32_t> words;
  tArray<uint16_t> halves;
  tCartridgeRequestsTest() {
    fill<uint32_t>(words, {1, 2});
    fill<uint16_t>(halves, {3});
  }
};

TEST_F(tCartridgeRequestsTest, EveryClassPacksItsRow) {
  const std::vector<tRequestRow> rows = requestCases(words, halves);
  ASSERT_EQ(rows.size(), 50u);
  packEveryRow(rows);
}

TEST_F(tCartridgeRequestsTest, ResetFlagAndPadding) {
  std::unique_ptr<tQuorlPacker> packer(
      new nCartridgeController::tResetPacker(nullptr, nullptr, 0x1234));
  source.script({.slack = 4});
  packer->pack(transfer, 1, status);
  EXPECT_EQ(source.bytes(0), (tBytes{0xEE, 0xEE, 0x01, 0x08, 0x08, 0x60, 0x12, 0x34, 0, 0, 0, 0}));
  EXPECT_EQ(source.message(0).finished, 1u);

  packer->pack(transfer, 7, status);
  packer->pack(transfer, 0, status);
  EXPECT_EQ(source.bytes(1)[2], 0x01);
  EXPECT_EQ(source.bytes(2)[2], 0x00);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tCartridgeRequestsTest, ControllerCommitWithoutTheTransportBytes) {
  nCartridgeController::tCommitPacker packer(nullptr, nullptr, 3, 258, 5, 6, 7, 255);
  packer.pack(transfer, 0, status);
  EXPECT_EQ(sent(2, 14), (tBytes{0x00, 0x09, 0x08, 0x60, 0x00, 0x03, 0x00, 0x00, 0x01, 0x02, 0x05,
                                 0x06, 0x07, 0xFF}));
}

class tConfigureLinesFailureTest : public tCartridgeRequestsTest {
 protected:
  nCartridgeDIODirection::tConfigureLinesCmrPacker packer{nullptr, nullptr, 1, 1, 2, 3, 4, 5, 6, 7};
};

TEST_F(tConfigureLinesFailureTest, NoSourceOrNoMessage) {
  nQoFSL100::tRequestTransfer noSource(nullptr);
  packer.pack(noSource, 1, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(logged(-50352, "tRequestTransfer", 34));
  EXPECT_FALSE(loggedCode(-50004));

  status.clear();
  source.script({.noMessage = true});
  packer.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -50004);
  EXPECT_TRUE(logged(-50004, "tCartridgeDIODirection", 130));
}

TEST_F(tConfigureLinesFailureTest, FinishedOrShortMessage) {
  source.script({.finished = true});
  packer.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -50150);
  EXPECT_TRUE(logged(-50150, "tRequestMessage", 61));
  EXPECT_EQ(source.bytes(0), tBytes(36, 0xEE));

  status.clear();
  source.script({.limitShort = 2});
  packer.pack(transfer, 1, status);
  EXPECT_EQ(status.code, -228700);
  EXPECT_TRUE(logged(-228700, "tQuorlDataWriter", 358));
  const tBytes written = source.bytes(1);
  EXPECT_EQ(tBytes(written.begin() + 8, written.begin() + 32),
            be32(1) + be32(2) + be32(3) + be32(4) + be32(5) + be32(6));
  EXPECT_EQ(tBytes(written.begin() + 32, written.end()), tBytes(4, 0xEE));
  EXPECT_EQ(source.message(1).finished, 0u);
}

TEST_F(tConfigureLinesFailureTest, ErrorsStopAndWarningsStay) {
  status.code = -1;
  packer.pack(transfer, 1, status);
  EXPECT_EQ(source.calls(), 0u);

  status.clear();
  source.script({.statusCode = 300});
  packer.pack(transfer, 1, status);
  EXPECT_EQ(status.code, 300);
  EXPECT_EQ(sent(32, 4), be32(7));
  EXPECT_TRUE(finished());
}

}  // namespace
