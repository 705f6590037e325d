#include "primitives/ai/tAIScanningFrontEndPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "orb/castToClass.h"

namespace nQoUdP100 {

namespace {

using nQoMDBG100::tStatus2;

constexpr const char kFile[] = "source/qomiop/tavik/udseries/ai/tAIScanningFrontEndPrimitive";
constexpr uint32_t kStaticControlBit0 = 1;  // field 1 of tStatic_AI_Control
constexpr uint32_t kStaticControlRegister = 1;
constexpr uint32_t kNarrowBoardChannels = 64;

// Inputs with fixed codes: the bank, and the channel by reference code.
struct tFixedInput {
  int32_t input;
  uint32_t bank;
  struct {
    int32_t reference;
    uint32_t channel;
  } channels[4];
};
// clang-format off
constexpr tFixedInput kFixedInputs[] = {
    {257, 0, {{257, 1}, {264, 6}, {265, 7}, {274, 11}}},
    {263, 0, {{257, 5}, {274, 10}}},
    {266, 5, {{257, 4}}},
    {267, 5, {{268, 8}}},
    {269, 5, {{270, 12}}},
    {271, 7, {{271, 0}}},
    {272, 0, {{257, 12}}},
    {273, 0, {{257, 13}}},
    {274, 0, {{257, 14}, {274, 9}}},
    {300, 0, {{256, 2}}},
    {301, 0, {{256, 3}}},
    {302, 0, {{256, 18}}},
    {303, 0, {{256, 19}}},
};
// clang-format on

constexpr int32_t kDifferentialReference = 257;
constexpr int32_t kPseudoReferenceA = 264;
constexpr int32_t kPseudoReferenceB = 265;

}  // namespace

// The calibration selections that bypass the configuration memory: the first
// channel's (reference, positive input), whether the list must hold it alone
// (and the site that says so), and the bypass fields.
struct tAIScanningFrontEndPrimitive::tBypass {
  int32_t reference;
  int32_t input;
  bool alone;
  unsigned line;
  bool setsBank;
  uint32_t bank, modeMux, calSelPos, calSelNeg;
};

namespace {
// clang-format off
constexpr tAIScanningFrontEndPrimitive::tBypass kBypasses[] = {
    {274, 8,   true,  258, true,  1, 3, 6, 7},
    {274, 267, true,  296, true,  1, 0, 1, 7},
    {274, 0,   true,  220, true,  1, 2, 6, 7},
    {275, 257, false, 0,   false, 0, 0, 6, 5},
};
// clang-format on
constexpr uint32_t kAOCalSel = 7;
}  // namespace

tAIFrontEndChannelCoder::tAIFrontEndChannelCoder(const tAIFrontEndDescription* description)
    : _description(description),
      _variant(description == nullptr || description->capabilityWord2 <= kNarrowBoardChannels
                   ? kVariant1
               : description->secondRecord == &kBuiltInFrontEndRecord ? kVariant2
                                                                      : kVariant3) {}

tAIFrontEndChannelCoder::tCodes tAIFrontEndChannelCoder::code(int32_t input,
                                                              int32_t reference) const {
  for (const tFixedInput& fixed : kFixedInputs) {
    if (fixed.input != input) continue;
    tCodes codes{fixed.bank, 0};
    for (const auto& pair : fixed.channels)
      if (pair.reference == reference) codes.channel = pair.channel;
    return codes;
  }
  const uint32_t step = _description != nullptr ? _description->capabilityWord4 : 0;
  const bool skipsFour =
      _description != nullptr && step == 4 && _description->capabilityWord2 == 8 && input >= 4;
  tCodes codes{0, static_cast<uint32_t>(input) + (skipsFour ? 4 : 0)};
  if (reference == kDifferentialReference)
    codes.bank = 3;
  else if (reference == kPseudoReferenceA || reference == kPseudoReferenceB)
    codes.bank = 2;
  else if (_description != nullptr && _description->word1 != 0 &&
           static_cast<int64_t>(reference) == static_cast<int64_t>(input) + step)
    codes.bank = 1;
  return codes;
}

tAIScanningFrontEndPrimitive::tAIScanningFrontEndPrimitive(
    const tAIFrontEndDescription* description, nQoUdRLP100::nTavik::tTavik* map,
    nQoUdRLP100::tTavikHelper* helper, tStatus2& status)
    : tBaseAIScanningFrontEndPrimitive(description, status),
      _map(map),
      _helper(helper),
      _coder(description) {}

void* tAIScanningFrontEndPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tAIScanningFrontEndPrimitive, tBaseAIScanningFrontEndPrimitive>(
      this, classID);
}

const void* tAIScanningFrontEndPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tAIScanningFrontEndPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

bool tAIScanningFrontEndPrimitive::isReady() const {
  return tBaseAIScanningFrontEndPrimitive::isReady() && _map != nullptr && _helper != nullptr;
}

void tAIScanningFrontEndPrimitive::startSettling(tStatus2& status) {
  if (status.isFatal()) return;
  int local = 0;
  if (_settling.isRunning()) _settling.stop(&local);
  _settling.clear();
  _settling.setTimeout(configuration().settlingTime, kTimerTimeUnitNanosecond, &status.code);
  _settling.start(&status.code);
}

void tAIScanningFrontEndPrimitive::waitForSettling(tStatus2& status) {
  if (_settling.isRunning()) _settling.waitForTimeout(&status.code);
}

void tAIScanningFrontEndPrimitive::bringDown() {
  tBaseAIScanningFrontEndPrimitive::bringDown();
  int stopped = 0;
  if (_settling.isRunning()) _settling.stop(&stopped);
}

void tAIScanningFrontEndPrimitive::uncommit(tStatus2& status) {
  _map->flushBus(&status);
  _state.setUncommitted();
}

void tAIScanningFrontEndPrimitive::programStaticControl(tStatus2& status) {
  if (_description == nullptr || _description->word10 == 0) return;
  const auto& channels = configuration().channels;
  const uint32_t value = channels.size() != 0 ? channels[0].staticControlWord() : 0;
  if (value != _lastStaticValue) {
    auto& control = _map->Static_AI_Control[kStaticControlRegister];
    control.setField(kStaticControlBit0, value != 0 ? 1 : 0, &status);
    control.flush(&status, 0);
    _lastStaticValue = value;
    _map->flushBus(&status);
    if (_lastStaticValue != 0) startSettling(status);
  } else {
    _map->flushBus(&status);
  }
}

void tAIScanningFrontEndPrimitive::commit(tStatus2& status) {
  if (status.isFatal()) return;
  // A list that lost an allocation, deployed or in the copy, fails here.
  if (_fields.program().channels.allocationFailed())
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, 150});
  if (status.isNotFatal()) programStaticControl(status);
  writeChannels(status);
  _state.setCommitted();
  if (status.isFatal()) {
    tStatus2 fresh;
    uncommit(fresh);
  }
}

void tAIScanningFrontEndPrimitive::lookUpRange(const tAIScanningFrontEndConfig& entry,
                                               uint16_t& gain, uint16_t& polarity,
                                               tStatus2& status) const {
  const nQoUdRLP100::tInterval range{entry.rangeLow, entry.rangeHigh};
  if (_description == nullptr || _description->rangeCodes == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kRefused, {kFile, 170});
    return;
  }
  _description->rangeCodes->findRange(&range, &gain, &polarity, status);
}

void tAIScanningFrontEndPrimitive::programChannels(tStatus2& status) {
  if (status.isFatal()) return;
  _fields.program();
  writeChannels(status);
}

void tAIScanningFrontEndPrimitive::writeChannels(tStatus2& status) {
  if (status.isFatal()) return;
  _map->Write_01A4.write_AI_Config_Memory_Reset(1, &status, 0);
  const auto& channels = configuration().channels;
  if (channels.allocationFailed()) {
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, 200});
    return;
  }
  if (channels.size() == 0) return;
  const tAIScanningFrontEndConfig& first = channels[0];
  for (const tBypass& bypass : kBypasses) {
    if (bypass.reference != first.referenceCode || bypass.input != first.positiveInputCode)
      continue;
    if (bypass.alone && channels.size() != 1) {
      nQoUdR100::setCode(status, nQoUdR100::kBypassNeedsOneChannel, {kFile, bypass.line});
      return;
    }
    programBypass(first, bypass, status);
    return;
  }
  _map->AI_Config_FIFO_Bypass.write_AI_Bypass_Config_FIFO(0, &status, 0);
  for (const tAIScanningFrontEndConfig& entry : channels) programWord(entry, status);
  _helper->aiStrobeCommand1Bit2(&status);
  _map->flushBus(&status);
  startSettling(status);
}

void tAIScanningFrontEndPrimitive::programBypass(const tAIScanningFrontEndConfig& entry,
                                                 const tBypass& bypass, tStatus2& status) {
  auto& bypassRegister = _map->AI_Config_FIFO_Bypass;
  tStatus2* s = &status;
  bypassRegister.write_AI_Bypass_Bank(0, s, 0);
  bypassRegister.set_AI_Bypass_Channel(0, s);
  if (bypass.setsBank) bypassRegister.set_AI_Bypass_Bank(bypass.bank, s);
  bypassRegister.set_AI_Bypass_Mode_Mux(bypass.modeMux, s);
  bypassRegister.set_AI_Bypass_Cal_Sel_Pos(bypass.calSelPos, s);
  bypassRegister.set_AI_Bypass_Cal_Sel_Neg(bypass.calSelNeg, s);
  bypassRegister.set_AO_Bypass_AO_Cal_Sel(kAOCalSel, s);
  uint16_t gain = 0, polarity = 0;
  lookUpRange(entry, gain, polarity, status);
  bypassRegister.set_AI_Bypass_Polarity(polarity, s);
  bypassRegister.set_AI_Bypass_Gain(gain, s);
  bypassRegister.set_AI_Bypass_Dither(0, s);
  bypassRegister.set_AI_Bypass_Config_FIFO(1, s);
  bypassRegister.flush(s, 1);
  _map->flushBus(s);
  _helper->aiStrobeCommand1Bit2(s);
  _map->flushBus(s);
  startSettling(status);
}

// The word is built in the soft copy of 0x5E, then written whatever it held.
void tAIScanningFrontEndPrimitive::programWord(const tAIScanningFrontEndConfig& entry,
                                               tStatus2& status) {
  if (status.isFatal()) return;
  auto& word = _map->Write_005E;
  tStatus2* s = &status;
  word.set_AI_Config_Bit14(entry.channelFlags & 1, s);
  word.set_AI_Config_Bit13(0, s);
  uint16_t gain = 0, polarity = 0;
  lookUpRange(entry, gain, polarity, status);
  const tAIFrontEndChannelCoder::tVariant variant = _coder.variant();
  if (variant != tAIFrontEndChannelCoder::kVariant3) word.set_AI_Config_Polarity(polarity, s);
  if (variant == tAIFrontEndChannelCoder::kVariant2) {
    const bool bit10 = (word.getRegister() & 0x0400) != 0;
    word.set_AI_Config_Gain(gain | (bit10 ? 0b010u : 0u), s);
  } else {
    word.set_AI_Config_Gain(gain, s);
  }
  const tAIFrontEndChannelCoder::tCodes codes =
      _coder.code(entry.positiveInputCode, entry.referenceCode);
  word.set_AI_Config_Channel(codes.channel, s);
  if (variant == tAIFrontEndChannelCoder::kVariant3)
    word.set_AI_Config_Polarity((codes.channel >> 6) & 1, s);
  if (variant == tAIFrontEndChannelCoder::kVariant2) {
    const uint32_t kept = (word.getRegister() & 0x0A00) >> 9;
    word.set_AI_Config_Gain(kept | ((codes.channel >> 5) & ~1u), s);
  }
  word.set_AI_Config_Bank(codes.bank, s);
  word.flush(s, 1);
  _map->flushBus(s);
}

}  // namespace nQoUdP100
