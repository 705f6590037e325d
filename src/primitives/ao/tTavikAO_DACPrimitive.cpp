#include "primitives/ao/tTavikAO_DACPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "frame/tTimerTimeout.h"
#include "orb/castToClass.h"
#include "tavik/tavikCodeConverters.h"
#include "time/tTimerTimeWaster.h"
#include "time/tTimerTimebase.h"

namespace nQoUdP100 {

namespace {

using nQoMDBG100::tStatus2;
namespace nTavik = nQoUdRLP100::nTavik;

constexpr const char kFile[] = "tTavikAO_DACPrimitive";

// The codes of selects 0 to 7; kInvalid, kZero and kHigh stand for the
// errors. Selects 8 to 11 depend on the channel (channelCode).
constexpr int8_t kInvalid = -1;
constexpr int8_t kZero = -2;
constexpr int8_t kHigh = -3;
constexpr int8_t kSelectA[] = {0, 1, kInvalid, 2, 3, 0, 1, kInvalid};
constexpr int8_t kSelectB[] = {kZero, 1, kInvalid, 2, 3, kHigh, kHigh, 0};

// Selects 8 to 11: 8 → 4 (not channel 0), 9 → 4 on channel 0, 5 but on
// channel 1, 10 → 6 on channel 3, 5 but on channel 2, 11 → 6 but on channel 3.
int8_t channelCode(uint32_t select, uint32_t channel) {
  switch (select) {
    case 8: return channel == 0 ? kInvalid : int8_t{4};
    case 9: return channel == 0 ? int8_t{4} : channel == 1 ? kInvalid : int8_t{5};
    case 10: return channel == 3 ? int8_t{6} : channel == 2 ? kInvalid : int8_t{5};
    case 11: return channel == 3 ? kInvalid : int8_t{6};
    default: return kInvalid;
  }
}

int8_t lookUp(const int8_t (&table)[8], uint32_t select, uint32_t channel) {
  return select < 8 ? table[select] : channelCode(select, channel);
}

// The PWM registers n = 0 to 3 follow the two general PWM channels.
constexpr uint32_t kFirstPWMRegister = 2;

}  // namespace

tTavikAO_DACChannel::tTavikAO_DACChannel(const tAOResources& resources, uint32_t channel,
                                         uint32_t configBit7, bool hasSecondRegister,
                                         tStatus2& status)
    : tBaseAO_DACPrimitive(channel, configBit7),
      _map(resources.map),
      _hasSecondRegister(hasSecondRegister) {
  placed(status);
}

bool tTavikAO_DACChannel::placed(tStatus2& status) const {
  if (status.isFatal()) return false;
  if (_channel < kChannels) return true;
  nQoUdR100::setCode(status, nQoUdR100::kRefused, {kFile, 60});
  return false;
}

void tTavikAO_DACChannel::programChannel(const tAODACFields& record, tStatus2& status) {
  if (!placed(status)) return;
  tStatus2* s = &status;
  auto& config = _map->Array_00C3[_channel];
  config.setBits(0x40, 6, nTavik::encodeAOConfigBit6(record.updateMode), s);
  config.setBits(0x80, 7, nTavik::encodeAOConfigBit7(record.configBit7), s);
  if (_hasSecondRegister) {
    auto& second = _map->Static_AI_Control[4 + _channel];
    second.setBits(0x1, 0, record.configSelectA == 5 || record.configSelectA == 6 ? 1 : 0, s);
    second.flush(s, 0);
  }
  const int8_t codeA = lookUp(kSelectA, record.configSelectA, _channel);
  if (codeA < 0) nQoUdR100::setCode(status, nQoUdR100::kBadConfigSelectA, {kFile, 80});
  const int8_t codeB = lookUp(kSelectB, record.configSelectB, _channel);
  if (codeB == kZero)
    nQoUdR100::setCode(status, nQoUdR100::kConfigSelectBZero, {kFile, 83});
  else if (codeB == kHigh)
    nQoUdR100::setCode(status, nQoUdR100::kConfigSelectBTooHigh, {kFile, 85});
  else if (codeB < 0)
    nQoUdR100::setCode(status, nQoUdR100::kFailed, {kFile, 87});
  if (status.isFatal()) return;
  config.setBits(0x38, 3, static_cast<uint32_t>(codeA), s);
  config.setBits(0x07, 0, static_cast<uint32_t>(codeB), s);
  config.flush(s, 0);
  _map->flushBus(s);
}

void tTavikAO_DACChannel::commit(tStatus2& status) {
  if (status.isFatal()) return;
  const tAODACFields& record = _fields.program();
  programChannel(record, status);
  _serialWaits = record.updateMode == 2 && record.waitForSerialUpdate == 1;
  _state.setCommitted();
  if (status.isFatal()) {
    tStatus2 fresh;
    uncommit(fresh);
  }
}

void tTavikAO_DACChannel::uncommit(tStatus2& status) {
  if (!placed(status)) return;
  auto& config = _map->Array_00C3[_channel];
  config.setBits(0x40, 6, 0, &status);
  config.flush(&status, 0);
  _map->flushBus(&status);
  _serialWaits = false;
  _state.setUncommitted();
}

// DAC ----------------------------------------------------------------------------------

tTavikAO_DACPrimitive::tTavikAO_DACPrimitive(const tAOResources& resources, uint32_t channel,
                                             uint32_t hasSecondRegister, bool configBit7,
                                             tStatus2& status)
    : tTavikAO_DACChannel(resources, channel, configBit7 ? 1 : 0, hasSecondRegister != 0, status) {
  programChannel(_fields.program(), status);
  const int16_t zero = 0;
  writeValue(&zero, status);
  if (status.isNotFatal()) _state.setUncommitted();
}

void* tTavikAO_DACPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tTavikAO_DACPrimitive, tBaseAO_DACPrimitive>(this, classID);
}

uint32_t tTavikAO_DACPrimitive::writeValue(const int16_t* value, tStatus2& status) {
  if (status.isFatal()) return 0;
  _map->Array_00C0[_channel].writeRegister(static_cast<uint32_t>(int32_t{*value}), &status, 1);
  if (!_serialWaits) {
    _map->flushBus(&status);
    return 1;
  }
  return waitForSerialUpdate(status);
}

uint32_t tTavikAO_DACPrimitive::waitForSerialUpdate(tStatus2& status) {
  if ((_map->Read_00A0.refresh(&status) & 0xFF) == 0) return 1;
  nQoUdR100::tTimerTimeout<tTimerTimeWasterSleep, tTimerTimebaseEfficient> timeout(
      kSerialTimeout, kTimerTimeUnitSecond, 1, &status.code);
  const tTimerTimeWasterSleep waster;
  const uint32_t busy = 1u << _channel;
  for (;;) {
    if ((_map->Read_00A0.refresh(&status) & busy) == 0 || status.isFatal()) return 1;
    if (timeout.isTimeout(&status.code) != 0) {
      nQoUdR100::setCode(status, nQoUdR100::kWaitTimeout, {kFile, 160});
      return 0;
    }
    waster.sleep(1, kTimerTimeUnitMillisecond, nullptr);
  }
}

// PWM DAC ---------------------------------------------------------------------------------

tTavikAO_PWM_DACPrimitive::tTavikAO_PWM_DACPrimitive(const tAOResources& resources,
                                                     uint32_t channel, tStatus2& status)
    : tTavikAO_DACChannel(resources, channel, 1, true, status) {
  programChannel(_fields.program(), status);
  const int16_t start = kStartValue;
  writeValue(&start, status);
  if (status.isNotFatal()) _state.setUncommitted();
}

void* tTavikAO_PWM_DACPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tTavikAO_PWM_DACPrimitive, tBaseAO_DACPrimitive>(this, classID);
}

uint32_t tTavikAO_PWM_DACPrimitive::writeValue(const int16_t* value, tStatus2& status) {
  if (status.isFatal()) return 0;
  const int32_t sample = *value;
  const uint32_t coarse = (static_cast<uint32_t>(sample >> 7) & 0x1FF) + 0x100;
  const uint32_t fine = (static_cast<uint32_t>(sample) & 0x7F) * 1564 / 1000 + 768;
  const uint32_t coarseRegister = _channel == 1 ? 1 : 0;
  const uint32_t fineRegister = _channel == 1 ? 3 : _channel == 0 ? 2 : 0;
  auto& coarsePWM = _map->Array_0044[kFirstPWMRegister + coarseRegister];
  auto& finePWM = _map->Array_0044[kFirstPWMRegister + fineRegister];
  coarsePWM.setBits(0x3FF, 0, coarse, &status);
  coarsePWM.flush(&status, 0);
  finePWM.setBits(0x3FF, 0, fine, &status);
  finePWM.flush(&status, 0);
  _map->flushBus(&status);
  return 1;
}

}  // namespace nQoUdP100
