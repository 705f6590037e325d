// The chip's PWM outputs as calibration and trigger-level sources. Each
// primitive owns one PWM register and passes the caller's word (duty and
// period as the chip packs them) through: written when it changed or the
// register is dirty, so a repeat writes nothing.
//
//   tTavikGeneralPWMPrimitive level(map, 2, status);
//   level.setPWM(0x12345, status);   // 16-bit 0x48 <- 0x2345
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class iPWMPrimitive : public nQoUdR100::tModuleObject {
 public:
  virtual ~iPWMPrimitive() = default;
  virtual void setPWM(uint32_t value, nQoMDBG100::tStatus2& status) = 0;
};

// What the calibration PWM supervisor reserves: the calibration source.
class iReferenceVoltagePrimitive {
 public:
  static inline void* ___classID = nullptr;
  virtual ~iReferenceVoltagePrimitive() = default;
  virtual void setReferenceValue(uint32_t value, nQoMDBG100::tStatus2& status) = 0;
};

// The 32-bit calibration PWM register at 0x40.
class tTavikCalibrationPWMPrimitive final : public iPWMPrimitive,
                                            public iReferenceVoltagePrimitive {
 public:
  explicit tTavikCalibrationPWMPrimitive(nQoUdRLP100::nTavik::tTavik* map) : _map(map) {}
  void setPWM(uint32_t value, nQoMDBG100::tStatus2& status) override;
  void setReferenceValue(uint32_t value, nQoMDBG100::tStatus2& status) override {
    setPWM(value, status);
  }

 private:
  nQoUdRLP100::nTavik::tTavik* _map;
};

// General PWM channel i: the 16-bit register at 0x44 + 2i (channels 0 to 6).
class tTavikGeneralPWMPrimitive final : public iPWMPrimitive {
 public:
  static constexpr uint32_t kChannels = 7;

  // A channel past the chip's seven gives kBadIndex here and at every setPWM.
  tTavikGeneralPWMPrimitive(nQoUdRLP100::nTavik::tTavik* map, uint32_t channel,
                            nQoMDBG100::tStatus2& status);
  void setPWM(uint32_t value, nQoMDBG100::tStatus2& status) override;

 private:
  bool known(nQoMDBG100::tStatus2& status, unsigned line) const;

  nQoUdRLP100::nTavik::tTavik* _map;
  uint32_t _channel;
};

}  // namespace nQoUdP100
