// The DACs of a Tavik board: a channel's 8-bit configuration register
// (0xC3 + 4k: bit 7, bit 6 the update mode, bits 5:3 select A, bits 2:0
// select B), its second configuration register (bit 0 of 0x264 + k), and its
// output: the 32-bit DAC data register (0xC0 + 4k) of tTavikAO_DACPrimitive,
// or two of the four 10-bit PWM registers (0x48 + 2n) of
// tTavikAO_PWM_DACPrimitive. Channels above 3 have no configuration register
// and are refused with -50150.
#pragma once

#include <atomic>
#include <cstdint>

#include "primitives/ao/tAOResources.h"
#include "primitives/ao/tBaseAO_DACPrimitive.h"

namespace nQoUdP100 {

// What both kinds share: the channel programming, commit and uncommit.
class tTavikAO_DACChannel : public tBaseAO_DACPrimitive {
 public:
  static constexpr uint32_t kChannels = 4;

  void commit(tStatus2& status) override;
  void uncommit(tStatus2& status) override;

 protected:
  tTavikAO_DACChannel(const tAOResources& resources, uint32_t channel, uint32_t configBit7,
                      bool hasSecondRegister, tStatus2& status);
  // -50150 for a channel without configuration register.
  bool placed(tStatus2& status) const;
  // The channel programmed from the record a programming step took.
  void programChannel(const tAODACFields& record, tStatus2& status);

  nQoUdRLP100::nTavik::tTavik* _map;
  bool _hasSecondRegister;
  // Whether a write waits for the serial update: as the last programming of
  // the update mode left it (a commit's, whatever a deploy set since; none
  // before the first commit and after uncommit, which clears the mode). Read
  // by writes on another thread.
  std::atomic<bool> _serialWaits{false};
};

class tTavikAO_DACPrimitive final : public tTavikAO_DACChannel {
 public:
  static inline void* ___classID = nullptr;
  static constexpr uint64_t kSerialTimeout = 1;  // seconds

  // Programs the channel and writes 0.
  tTavikAO_DACPrimitive(const tAOResources& resources, uint32_t channel, uint32_t hasSecondRegister,
                        bool configBit7, tStatus2& status);
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  // The code sign-extended to 0xC0 + 4k; with updateMode 2 and
  // waitForSerialUpdate 1, waits for the channel's serial busy bit (0xA0)
  // to clear: -200474 and 0 after kSerialTimeout.
  uint32_t writeValue(const int16_t* value, tStatus2& status) override;

 private:
  uint32_t waitForSerialUpdate(tStatus2& status);
};

class tTavikAO_PWM_DACPrimitive final : public tTavikAO_DACChannel {
 public:
  static inline void* ___classID = nullptr;
  static constexpr int16_t kStartValue = 32700;

  // Programs the channel and writes kStartValue.
  tTavikAO_PWM_DACPrimitive(const tAOResources& resources, uint32_t channel, tStatus2& status);
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  // The coarse and fine values into the channel's two PWM registers.
  uint32_t writeValue(const int16_t* value, tStatus2& status) override;
};

}  // namespace nQoUdP100
