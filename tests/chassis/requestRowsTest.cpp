// Every packer class as a row: its method id and argument bytes, checked
// through request size, pack, the -50004 site and a reply's code.
#include <type_traits>

#include "chassisTest.h"

namespace {

using namespace nQoTest;

static_assert(!std::is_copy_constructible_v<nCartridgeAO_DAC::tMultiDACWritePacker> &&
              !std::is_move_assignable_v<nRoutable::tRoutePacker>);

// u32 argument k: 11 22 33 0k, so a swapped or shifted field shows.
uint32_t w(uint32_t k) { return 0x11223300 + k; }
tBytes W(uint32_t k) { return be32(w(k)); }
tBytes Ws(uint32_t count) {
  tBytes bytes;
  for (uint32_t k = 1; k <= count; ++k) bytes = bytes + W(k);
  return bytes;
}
constexpr uint8_t u8(unsigned value) { return uint8_t(value); }
constexpr uint16_t u16(unsigned value) { return uint16_t(value); }

struct tRow {
  uint8_t method;
  tMake make;
  tBytes arguments;   // from byte 8
  unsigned line = 0;  // of -50004, where fixed per method; else any line of the file
  uint16_t object = 0x1234;
  unsigned flag = 1;
};

struct tInterface {
  uint16_t id;
  const char* file;
  std::vector<tRow> rows;
};

class tRequestRowsTest : public tChassisTest {
 protected:
  // The outputs that rows refer to; an error reply leaves them alone.
  uint8_t u8Out = 0x5A;
  uint32_t u32Out = 0x5A, u32Out2 = 0x5A;
  uint64_t u64Out = 0x5A;
  tArray<uint8_t> bytesOut;
  tArray<uint16_t> readings;
  tArray<uint32_t> wordsOut;
  uint8_t byteBuffer[8] = {};

  std::vector<tInterface> interfaces();
};

std::vector<tInterface> tRequestRowsTest::interfaces() {
  namespace dc = nDigController;
  namespace fe = nChassisAIScanningFrontEnd;
  namespace hv = nHardwareVerification;
  namespace ro = nRoutable;
  namespace dma = nDMAAdaptor;
  namespace ic = nIndustrialChassis;
  namespace sf = nStreamingFpga;
  namespace tk = nChassisTimekeeper;
  namespace tt = nTimeTrigger;
  namespace ts = nTimestamp;
  namespace aot = nChassisAOTiming;
  namespace c = nCartridgeController;
  namespace d = nCartridgeDetection;
  namespace s = nCartridgeAIScanningFrontEnd;
  namespace a = nCartridgeAI_ADC;
  namespace t = nCartridgeAITimingController;
  namespace o = nCartridgeAO_DAC;
  namespace ot = nCartridgeAOTimingController;
  namespace io = nCartridgeDIODirection;
  namespace te = nCartridgeTEDSCommunicator;
  namespace ee = nCartridgeEEPROM;
  namespace fi = nCartridgeFIFO;
  namespace dm = nCartridgeDataMemory;
  namespace ab = nCartridgeActionBit;
  namespace mi = nCartridgeMisc;
  namespace pr = nCartridgeProcessor;
  namespace dn = nCartridgeDriverNotification;
  namespace ti = nCartridgeTimer;
  namespace sp = nCartridgeSyncPulse;
  namespace at = nCartridgeAnalogTrigger;
  namespace lf = nCartridgeLineFilter;
  namespace cd = nCartridgeChangeDetection;
  namespace mc = nMultiCartridgeChangeDetection;
  namespace sc = nCartridgeSyncPulseChangeDetection;
  namespace ci = nCartridgeCICounter;
  const tBytes none;
  // clang-format off
  return {
    {0x0830, "tDigController", {
      {8, make<dc::tReadMultipleCartridgesPacker>(0x00C0FFEEu, std::ref(wordsOut)), be32(0x00C0FFEE), 111},
      {9, make<dc::tWriteMultipleCartridgesPacker>(0x01020304u, u32s{1, 2}, u32s{}), be32s({0x01020304, 10, 1, 2, 2}), 219},
      {10, make<dc::tReadPresentValuePacker>(std::ref(u32Out)), none, 278},
      {11, make<dc::tWritePresentValuePacker>(w(1), w(2)), Ws(2), 359},
      {12, make<dc::tFireFIFOUpdatePacker>(), none, 417},
      {13, make<dc::tConfigureLinesPacker>(w(1), u8(0x80)), W(1) + tBytes{0x80}, 482},
      {14, make<dc::tCommitPacker>(0x11223344u, u8(0x55), u8(0x66), u16(0x1234), 0x778899AAu, 0xBBCCDDEEu, u16(0xABCD)), be32(0x11223344) + tBytes{0x55, 0x66, 0x12, 0x34} + be32s({0x778899AA, 0xBBCCDDEE}) + tBytes{0xAB, 0xCD}, 562, 0x0506},
      {15, make<dc::tUncommitPacker>(w(1), w(2), u16(0xABCD)), Ws(2) + tBytes{0xAB, 0xCD}, 639},
      {16, make<dc::tSerialWritePresentValuePacker>(w(1), w(2)), Ws(2), 710},
      {17, make<dc::tSerialConfigureLinesPacker>(w(1), w(2), w(3), w(4), u8(0xFE)), Ws(4) + tBytes{0xFE}, 786},
      {18, make<dc::tPreserveLineStatesPacker>(w(1), u8(2)), W(1) + tBytes{2}, 859},
      {19, make<dc::tResetPacker>(), none, 917, 0x1234, 7}}},
    {0x0810, "tChassisAIScanningFrontEnd", {
      {8, make<fe::tCommitPacker>(), none, 101}, {9, make<fe::tUncommitPacker>(), none, 154},
      {10, make<fe::tPrearmPacker>(), none, 207}, {11, make<fe::tPostdisarmPacker>(), none, 260},
      {12, make<fe::tArmPacker>(), none, 313}, {13, make<fe::tDisarmPacker>(), none, 366},
      {14, make<fe::tProgramConfigFIFOPacker>(u16s{0x1234, 0xABCD}), {0, 6, 0x12, 0x34, 0xAB, 0xCD}, 436},
      {15, make<fe::tClearAIConfigFIFOPacker>(), none, 493}, {16, make<fe::tDoneProgrammingAIConfigFIFOPacker>(), none, 546},
      {17, make<fe::tProgramMorroPipelinePacker>(u16s{}), {0, 2}, 616, 0x1234, 0}}},
    {0x0800, "tHardwareVerification", {
      {8, make<hv::tVerifyMorroVersionPacker>(), none, 60}, {9, make<hv::tVerifyMorroPacker>(), none, 110}}},
    {0x0801, "tChassisSleep", {{8, make<nChassisSleep::tSleepControlPacker>(u8(0x7F)), {0x7F}, 60}}},
    {0x0802, "tChassisGlobalPulse", {{8, make<nChassisGlobalPulse::tGeneratePulsePacker>(), none, 60}}},
    {0x0805, "tNetworkChassis", {{8, make<nNetworkChassis::tObserveNetworkTimeoutPacker>(0x01020304u), be32(0x01020304), 60}}},
    {0x080B, "tChassisTempSensor", {{8, make<nChassisTempSensor::tGetTempSensorsReadingsPacker>(u8(0x80), std::ref(readings)), {0x80}, 60}}},
    {0x0811, "tMultiAI_ADC", {{8, make<nMultiAI_ADC::tSetLinkedPrimVtrPacker>(u16s{1, 2}), {0, 6, 0, 1, 0, 2}, 60}}},
    {0x0803, "tRoutable", {
      {8, make<ro::tRoutePacker>(u32s{}, u32s{}), be32s({2, 2}), 127},
      {8, make<ro::tRoutePacker>(u32s{0x11, 0x22, 0x33}, u32s{0xA0B0C0D0}), be32s({14, 0x11, 0x22, 0x33, 6, 0xA0B0C0D0}), 127},
      {9, make<ro::tRouteCartridgeConvertControlPacker>(1u, 2u), be32s({1, 2}), 197},
      {10, make<ro::tRouteCartridgeDoValuePacker>(3u, 4u), be32s({3, 4}), 267},
      {11, make<ro::tRouteCartridgeSignalSourcePacker>(258u, 0u, 0xFFFFFFFFu), be32s({258, 0, 0xFFFFFFFF}), 339},
      {12, make<ro::tRouteCartridgeStaticDioDirectionPacker>(5u, 6u, 7u), be32s({5, 6, 7}), 412},
      {13, make<ro::tUncommitPFIRoutePacker>(8u), be32(8), 481}}},
    {0x0804, "tDMAAdaptor", {
      {8, make<dma::tCommitPacker>(1u, u8(1), u8(2), u8(3), u8(4), u8(5), u8(6), u8(7), u8(8)), {0, 0, 0, 1, 1, 2, 3, 4, 5, 6, 7, 8}, 127},
      {9, make<dma::tArmPacker>(), none, 192}, {10, make<dma::tDisarmPacker>(), none, 245},
      {11, make<dma::tUncommitPacker>(), none, 298}, {12, make<dma::tResetPacker>(), none, 351},
      {13, make<dma::tWritePacker>(u32s{7, 0xFFFFFFFF}), be32s({10, 7, 0xFFFFFFFF}), 421},
      {14, make<dma::tWriteEnabledCartridgeMaskPacker>(255u), be32(255), 488}}},
    {0x0806, "tIndustrialChassis", {
      {8, make<ic::tBeginQuorlMessagePersistencePacker>(u8(2)), {2}, 111},
      {9, make<ic::tEndQuorlMessagePersistencePacker>(u8(3)), {3}, 178},
      {10, make<ic::tClearMessageStoresPacker>(), none, 235}, {11, make<ic::tLiftQuorlLockoutPacker>(), none, 288},
      {12, make<ic::tSetCounterOutputExpirationStatesPacker>(u8s{1, 0, 2}), {0, 5, 1, 0, 2}, 358},
      {13, make<ic::tSetExpireWatchdogOnConnectionLossPacker>(u8(0x7F)), {0x7F}, 425},
      {14, make<ic::tBeginEventDeferralPacker>(), none, 482}, {15, make<ic::tEndEventDeferralPacker>(), none, 535}}},
    {0x0807, "tStreamingFpga", {
      {8, make<sf::tInitializePacker>(), none, 101},
      {9, make<sf::tCommitPacker>(0x01020304u, 0x0A0B0C0Du, u8(1), u8(2), u8(3), u8(4), u8(5), u8(6)), be32s({0x01020304, 0x0A0B0C0D}) + tBytes{1, 2, 3, 4, 5, 6}, 178},
      {10, make<sf::tArmPacker>(u8(0xFF), u8(0), u8(0x80)), {0xFF, 0, 0x80}, 256, 0x1234, 0},
      {11, make<sf::tDisarmPacker>(u8(0xFF), u8(0), u8(0x80)), {0xFF, 0, 0x80}, 329},
      {12, make<sf::tUncommitPacker>(u8(0xFF), u8(0), u8(0x80)), {0xFF, 0, 0x80}, 402},
      {13, make<sf::tGetRevisionPacker>(std::ref(u32Out)), none, 461}}},
    {0x0808, "tChassisTimekeeper", {
      {8, make<tk::tGetCurrentTimePacker>(std::ref(u64Out)), none, 101}, {9, make<tk::tRequestEpochPacker>(), none, 170},
      {10, make<tk::tGetEpochTimePacker>(std::ref(u64Out)), none, 223},
      {11, make<tk::tSetTimeOffsetPacker>(uint64_t(0x0102030405060708)), {1, 2, 3, 4, 5, 6, 7, 8}, 302}}},
    {0x0809, "tTimeTrigger", {
      {8, make<tt::tCommitPacker>(258u, 5u), be32s({258, 5}), 113, 3, 0},
      {9, make<tt::tArmPacker>(), none, 171}, {10, make<tt::tStartPacker>(), none, 224},
      {11, make<tt::tDisarmPacker>(), none, 277}, {12, make<tt::tUncommitPacker>(), none, 330}}},
    {0x080A, "tTimestamp", {
      {8, make<ts::tCommitPacker>(u8(0xFF)), {0xFF}, 129, 0x0102},
      {9, make<ts::tArmPacker>(), none, 186}, {10, make<ts::tDisarmPacker>(), none, 239}, {11, make<ts::tUncommitPacker>(), none, 292}}},
    {0x0820, "tChassisAOTiming", {
      {8, make<aot::tInitializePacker>(), none, 101},
      {9, make<aot::tCommitPacker>(u16s{1, 0x0203}, u8(0x80)), {0, 6, 0, 1, 2, 3, 0x80}, 173},
      {10, make<aot::tStartPacker>(u16(0x0102), u8(3), u8(0xFF)), {1, 2, 3, 0xFF}, 245},
      {11, make<aot::tStopPacker>(u16(0xBEEF)), {0xBE, 0xEF}, 314}}},

    {0x0860, "tCartridgeController", {
      {8, make<c::tResetPacker>(), none},
      {8, make<c::tResetPacker>(), none, 0, 0x1234, 7}, {8, make<c::tResetPacker>(), none, 0, 0x1234, 0},
      {9, make<c::tCommitPacker>(258u, u8(5), u8(6), u8(7), u8(255)), {0, 0, 1, 2, 5, 6, 7, 0xFF}, 0, 3, 0},
      {10, make<c::tCommitHSIInputPacker>(w(1), w(2), w(3), w(4), w(5), w(6), w(7), w(8), w(9), w(10)), Ws(10)},
      {11, make<c::tCommitHSIOutputPacker>(w(1), w(2), w(3), w(4), w(5), w(6), w(7), w(8), w(9), w(10), w(11), w(12), w(13), w(14)), Ws(14)},
      {12, make<c::tCommitSPIForHSIDevicesPacker>(w(1), w(2), w(3), u8(0xC4)), Ws(3) + tBytes{0xC4}},
      {13, make<c::tUncommitSPIForHSIDevicesPacker>(w(1)), W(1)},
      {14, make<c::tCommitSPIPacker>(w(1), w(2), w(3), u8(0x80)), Ws(3) + tBytes{0x80}},
      {15, make<c::tUncommitPacker>(w(1)), W(1)}}},
    {0x0861, "tCartridgeDetection", {
      {8, make<d::tCommitPacker>(), none}, {9, make<d::tArmPacker>(), none},
      {10, make<d::tDisarmPacker>(), none}, {11, make<d::tUncommitPacker>(), none},
      {12, make<d::tSpecifyCartridgePacker>(u16(1), u16(2), 3u, u16(4)), {0, 1, 0, 2, 0, 0, 0, 3, 0, 4}},
      {13, make<d::tReadCartridgeDetectionEventCounterPacker>(std::ref(u32Out)), none},
      {14, make<d::tResetCartridgeDetectionEventCounterPacker>(), none},
      {15, make<d::tSetSlotEnabledMaskPacker>(15u), be32(15)}}},
    {0x0870, "tCartridgeAIScanningFrontEnd", {
      {8, make<s::tPrecommitPacker>(), none},
      {9, make<s::tPrecommitCmqPacker>(w(1), w(2), u8(0xFE), u8(2)), Ws(2) + tBytes{0xFE, 2}},
      {10, make<s::tPostuncommitPacker>(), none},
      {11, make<s::tCommitPacker>(1u, 2u, 3u, u8(255), u8(0), u8(2)), be32s({1, 2, 3}) + tBytes{0xFF, 0, 2}},
      {12, make<s::tUncommitPacker>(0xFFFFFFFFu, u8(0x80)), be32(0xFFFFFFFF) + tBytes{0x80}},
      {13, make<s::tPrearmPacker>(), none}, {14, make<s::tPostdisarmPacker>(), none},
      {15, make<s::tArmPacker>(), none}, {16, make<s::tArmCmqPacker>(), none},
      {17, make<s::tDisarmCmqPacker>(), none}, {18, make<s::tDisarmPacker>(), none},
      {19, make<s::tPrecommitChannelConfigPacker>(w(1), w(2), w(3), w(4), w(5)), Ws(5)}}},
    {0x0871, "tCartridgeAI_ADC", {
      {8, make<a::tCommitPacker>(0x00010002u), {0, 1, 0, 2}}, {9, make<a::tArmPacker>(), none},
      {10, make<a::tDisarmPacker>(), none}, {11, make<a::tUncommitPacker>(), none}}},
    {0x0872, "tCartridgeAITimingController", {
      {8, make<t::tCommitPacker>(1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, u8(0xFF)), be32s({1, 2, 3, 4, 5, 6, 7, 8, 9}) + tBytes{0xFF}},
      {9, make<t::tArmPacker>(), none}, {10, make<t::tStartPacker>(), none}, {11, make<t::tStopPacker>(), none},
      {12, make<t::tDisarmPacker>(), none}, {13, make<t::tUncommitPacker>(1u, 2u, 3u), be32s({1, 2, 3})}}},
    {0x0880, "tCartridgeAO_DAC", {
      {8, make<o::tCommitPacker>(258u, u8(2), u8(255)), {0, 0, 1, 2, 2, 0xFF}},
      {9, make<o::tReadStatusPacker>(w(1), std::ref(u32Out)), W(1)},
      {10, make<o::tMultiDACWritePacker>(u32s{1, 2}, u16s{3}), be32s({10, 1, 2}) + tBytes{0, 4, 0, 3}},
      {10, make<o::tMultiDACWritePacker>(u32s{}, u16s{}), {0, 0, 0, 2, 0, 2}},
      {11, make<o::tUncommitPacker>(w(1)), W(1)}}},
    {0x0881, "tCartridgeAOTimingController", {
      {8, make<ot::tSoftwareUpdatePulsePacker>(), none},
      {9, make<ot::tCommitDSAPacker>(1u, 2u, 3u, 4u, u32s{5}), be32s({1, 2, 3, 4, 6, 5})}}},
    {0x0890, "tCartridgeDIODirection", {
      {8, make<io::tCommitPacker>(), none}, {9, make<io::tUncommitPacker>(), none},
      {10, make<io::tConfigureLinesCmrPacker>(1u, 2u, 3u, 4u, 5u, 6u, 7u), be32s({1, 2, 3, 4, 5, 6, 7})},
      {11, make<io::tConfigureWatchdogLinesCmrPacker>(w(1), w(2), w(3), w(4), w(5), w(6), w(7)), Ws(7)},
      {12, make<io::tConfigureLinesCmsPacker>(w(1), w(2)), Ws(2)},
      {13, make<io::tResetLinesCmrPacker>(0xFFFFFFFFu, 0u), be32s({0xFFFFFFFF, 0})}}},
    {0x0862, "tCartridgeTEDSCommunicator", {
      {8, make<te::tCommitPacker>(), none}, {9, make<te::tUncommitPacker>(), none},
      {10, make<te::tReadEEPROMPacker>(1u, 2u, 3u, 4u, &bytesOut), be32s({1, 2, 3, 4})},
      {11, make<te::tWriteEEPROMPacker>(w(1), w(2), w(3), w(4), u8s{0xAA, 0xBB}), Ws(4) + tBytes{0, 4, 0xAA, 0xBB}},
      {12, make<te::tGet8ByteIDBlockPacker>(w(1), &bytesOut), W(1)},
      {13, make<te::tRead8BytePROMPacker>(w(2), +byteBuffer), W(2)},
      {14, make<te::tWrite8BytePROMPacker>(5u, u8s{0xAA, 0xBB}), be32(5) + tBytes{0, 4, 0xAA, 0xBB}, 0, 0x0102},
      {15, make<te::tIsPROMWrittenPacker>(w(3), std::ref(u8Out)), W(3)}}},
    {0x0863, "tCartridgeEEPROM", {
      {8, make<ee::tCommitPacker>(u8(0x80), u8(0x01)), {0x80, 0x01}}, {9, make<ee::tUncommitPacker>(), none},
      {10, make<ee::tBlockWriteBytesPacker>(u16(0x0010), u8s{1, 2, 3}), {0x00, 0x10, 0x00, 0x05, 1, 2, 3}},
      {11, make<ee::tBlockReadBytesPacker>(u16(0x0100), u16(0x0020), &bytesOut), {0x01, 0x00, 0x00, 0x20}},
      {12, make<ee::tReadStatusRegPacker>(std::ref(u8Out)), none},
      {13, make<ee::tWriteStatusRegPacker>(u8(0xFF)), {0xFF}}}},
    {0x0864, "tCartridgeFIFO", {
      {8, make<fi::tCommitPacker>(0x01020304u, u16(0x0506), u8(0x07), u8(0x08)), {1, 2, 3, 4, 5, 6, 7, 8}},
      {9, make<fi::tArmPacker>(), none}, {10, make<fi::tDisarmPacker>(), none},
      {11, make<fi::tGetAndConfirmOverflowPacker>(std::ref(u8Out)), none},
      {12, make<fi::tGetAndConfirmTransferCompletePacker>(std::ref(u8Out)), none},
      {13, make<fi::tEnableUnderflowInterruptPacker>(), none}}},
    {0x0865, "tCartridgeDataMemory", {
      {8, make<dm::tCopyPacker>(u16(1), u16(2), u16(3)), {0, 1, 0, 2, 0, 3}},
      {9, make<dm::tFillPacker>(u16(1), u16(2), 0xA1B2C3D4u), {0, 1, 0, 2, 0xA1, 0xB2, 0xC3, 0xD4}},
      {10, make<dm::tReadPacker>(u16(0x0100), u16(0x0004), &wordsOut), {1, 0, 0, 4}},
      {11, make<dm::tWritePacker>(u16(0x0010), u16(0x0003), u32s{0x11223344, 0x55667788}), tBytes{0, 0x10, 0, 3} + be32s({10, 0x11223344, 0x55667788}), 0, 0x0102}}},
    {0x0866, "tCartridgeActionBit", {
      {8, make<ab::tClearPacker>(5u), be32(5)}, {9, make<ab::tDisablePacker>(w(1)), W(1)},
      {10, make<ab::tEnablePacker>(w(2)), W(2)}, {11, make<ab::tGetPacker>(w(3), std::ref(u32Out)), W(3)},
      {12, make<ab::tSetPacker>(w(4)), W(4)}, {13, make<ab::tWaitForClearPacker>(1u, 0xFFFFFFFFu), be32s({1, 0xFFFFFFFF})},
      {14, make<ab::tEnableInterruptEventPacker>(w(5)), W(5)}, {15, make<ab::tDisableInterruptEventPacker>(w(6)), W(6)},
      {16, make<ab::tEnableInterruptEndpointFlushPacker>(w(1), w(2)), Ws(2)},
      {17, make<ab::tDisableInterruptEndpointFlushPacker>(w(7)), W(7)},
      {18, make<ab::tCheckForErrorsPacker>(5u, std::ref(u32Out)), be32(5)}}},
    {0x0867, "tCartridgeMisc", {
      {8, make<mi::tCommitPacker>(1u, 2u, 3u, 4u, 5u, 0xFFFFFFFFu), be32s({1, 2, 3, 4, 5, 0xFFFFFFFF})},
      {9, make<mi::tUncommitPacker>(), none}}},
    {0x0868, "tCartridgeProcessor", {
      {8, make<pr::tUpdateFirmwarePacker>(7u, u32s{1, 0xFFFFFFFF}), be32s({7, 10, 1, 0xFFFFFFFF}), 0, 0x0102},
      {9, make<pr::tGenerateInterruptPacker>(), none}, {10, make<pr::tCommitPacker>(), none},
      {11, make<pr::tUncommitPacker>(), none}}},
    {0x086B, "tCartridgeDriverNotification", {{8, make<dn::tCreatedPacker>(), none}, {9, make<dn::tDestroyedPacker>(), none}}},
    {0x0869, "tCartridgeTimer", {
      {8, make<ti::tWriteReloadModePacker>(w(1)), W(1)}, {9, make<ti::tWriteTimebasePacker>(0x12345678u), be32(0x12345678)},
      {10, make<ti::tWriteResetSourcePacker>(w(3)), W(3)}, {11, make<ti::tForceSelectAPacker>(), none},
      {12, make<ti::tForceSelectBPacker>(), none}, {13, make<ti::tForceStartPacker>(), none},
      {14, make<ti::tForceStopPacker>(), none}, {15, make<ti::tForceResetPacker>(), none},
      {16, make<ti::tWriteEnableAutoRestartPacker>(u8(0xFE)), {0xFE}}, {17, make<ti::tWriteEnableAutoResetPacker>(u8(0x02)), {0x02}},
      {18, make<ti::tWriteTimerResetValueAPacker>(w(4)), W(4)}, {19, make<ti::tWriteTimerResetValueBPacker>(w(5)), W(5)},
      {20, make<ti::tGetAndConfirmTimerExpiredStatusPacker>(std::ref(u8Out)), none},
      {21, make<ti::tGetAndConfirmTimerExpiredErrorPacker>(std::ref(u8Out)), none}}},
    {0x086A, "tCartridgeSyncPulse", {{8, make<sp::tCommitPacker>(1u, 0xFFFFFFFFu), be32s({1, 0xFFFFFFFF}), 0, 0x0102}}},
    {0x0873, "tCartridgeAnalogTrigger", {
      {8, make<at::tCommitPacker>(w(1), w(2), w(3), u32s{10, 11}), Ws(3) + be32s({10, 10, 11})},
      {8, make<at::tCommitPacker>(1u, 2u, 3u, u32s{}), be32s({1, 2, 3, 2}), 0, 4, 0},
      {9, make<at::tUncommitPacker>(w(3), w(2), w(1), u32s{10, 11}), W(3) + W(2) + W(1) + be32s({10, 10, 11})},
      {10, make<at::tArmPacker>(1u, 2u, u32s{10, 11}), be32s({1, 2, 10, 10, 11}), 0, 4}}},
    {0x0891, "tCartridgeLineFilter", {{8, make<lf::tCommitPacker>(0x00010203u), {0, 1, 2, 3}}, {9, make<lf::tUncommitPacker>(), none}}},
    {0x0892, "tCartridgeChangeDetection", {
      {8, make<cd::tInitializePacker>(), none}, {9, make<cd::tCommitPacker>(u8(0x80)), {0x80}},
      {10, make<cd::tStartPacker>(1u, 0xFFFFFFFFu), be32s({1, 0xFFFFFFFF})},
      {11, make<cd::tStopPacker>(), none}, {12, make<cd::tUncommitPacker>(), none}}},
    {0x0893, "tMultiCartridgeChangeDetection", {
      {8, make<mc::tInitializePacker>(), none},
      {9, make<mc::tReadPacker>(w(1), w(2), +byteBuffer, 8u), Ws(2)},
      {10, make<mc::tGetChangeDetectionOverflowStatusPacker>(std::ref(u8Out)), none},
      {11, make<mc::tSetMultiSegmentDIOConnectionMaskPacker>(1u, 2u, 3u), be32s({1, 2, 3})},
      {12, make<mc::tClearMultiSegmentDIOConnectionMaskPacker>(w(1), w(2), w(3)), Ws(3)}}},
    {0x0894, "tCartridgeSyncPulseChangeDetection", {
      {8, make<sc::tCommitPacker>(0x12345678u), be32(0x12345678)}, {9, make<sc::tStartPacker>(), none},
      {10, make<sc::tStopPacker>(), none}, {11, make<sc::tUncommitPacker>(), none},
      {12, make<sc::tGetSyncPulseStatusPacker>(std::ref(u32Out), std::ref(u32Out2)), none}}},
    {0x08A0, "tCartridgeCICounter", {
      {8, make<ci::tBeginConfigurationPacker>(258u, 772u, u8(9)), {0, 0, 1, 2, 0, 0, 3, 4, 9}},
      {9, make<ci::tConfigureArmTimerPacker>(u8(0), u8(200)), {0x00, 0xC8}},
      {10, make<ci::tEnableArmTimerPacker>(u8(2)), {0x02}},
      {11, make<ci::tCommitPacker>(w(1), u8(0x80)), W(1) + tBytes{0x80}},
      {12, make<ci::tUncommitPacker>(w(1), u8(0xFE)), W(1) + tBytes{0xFE}}}},
  };
  // clang-format on
}

// Each row: request size 8 + its arguments (8 under an error); under an error
// no message is asked for; under a warning the request goes out whole, the
// warning stays and nothing is allocated; no message gives -50004 at its
// site; an error reply reaches the caller and no output.
TEST_F(tRequestRowsTest, EveryClassPacksItsRow) {
  std::size_t rows = 0;
  for (const tInterface& face : interfaces()) {
    for (const tRow& row : face.rows) {
      SCOPED_TRACE(testing::Message() << face.file << " method " << int(row.method));
      tPackerPtr packer(row.make(row.object));
      const auto size = uint32_t(8 + row.arguments.size());
      status.code = -5;
      EXPECT_EQ(packer->requestSize(status), 8u);
      packer->pack(transfer, row.flag, status);
      for (int code : {0, 5}) {
        status.code = code;
        EXPECT_EQ(packer->requestSize(status), size);
      }
      const uint64_t allocations = nQoSim::totalAllocations();
      packer->pack(transfer, row.flag, status);
      EXPECT_EQ(nQoSim::totalAllocations(), allocations);
      EXPECT_EQ(status.code, 5);
      EXPECT_EQ(source.requestedLengths().back(), size);
      const tBytes header{0xEE,
                          0xEE,
                          uint8_t(row.flag != 0),
                          row.method,
                          uint8_t(face.id >> 8),
                          uint8_t(face.id),
                          uint8_t(row.object >> 8),
                          uint8_t(row.object)};
      EXPECT_EQ(source.bytes(rows), header + row.arguments);
      EXPECT_EQ(source.message(rows).finished, 1u);
      ++rows;

      status.clear();
      nQoSim::clearStatusLog();
      source.script({.noMessage = true});
      packer->pack(transfer, row.flag, status);
      EXPECT_EQ(status.code, -50004);
      EXPECT_TRUE(row.line != 0 ? bool(loggedAt(-50004, face.file, row.line))
                                : loggedIn(-50004, face.file));

      status.clear();
      reply(block(-7) + be32(0x01020304) + be32(0x05060708));
      packer->unpack(context, status);
      EXPECT_EQ(status.code, -7);
    }
  }
  EXPECT_EQ(source.calls(), 2 * rows);
  EXPECT_EQ(u8Out + u32Out + u32Out2 + u64Out, 4u * 0x5A);
  EXPECT_TRUE(bytesOut.empty() && readings.empty() && wordsOut.empty());
}

}  // namespace
