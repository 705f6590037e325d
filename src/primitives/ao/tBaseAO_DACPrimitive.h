// One analog-output channel, device-independent part: its channel number,
// the configuration fields the AO DAC supervisor deploys (in this order) and
// the record of what the board class programmed, the value writes and the
// primitive state.
//
//   dac.deploy(settings);          // settings.configSelectA = 3
//   dac.commit(status);            // -200153 for a select the channel lacks
//   dac.writeValue(&code, status);
#pragma once

#include <cstdint>

#include "frame/tDeployed.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/common/tPrimitiveState.h"

namespace nQoUdP100 {

struct tAODACFields {
  uint32_t updateMode = 0;  // 2 with waitForSerialUpdate 1: writes wait for the serial update
  uint32_t configBit7 = 0;
  uint32_t spareField = 0;
  uint32_t configSelectA = 0;
  uint32_t configSelectB = 7;
  uint32_t waitForSerialUpdate = 0;
};

// Who writes the fields and who takes them: the supervisor deploys its
// settings whole, and the board class programs the channel from them when it
// is built and at each commit.
struct tAODACSteps {
  static constexpr const char* kDeploySteps[] = {"deploy"};
  static constexpr const char* kProgrammingSteps[] = {"commit", "tTavikAO_DACPrimitive",
                                                      "tTavikAO_PWM_DACPrimitive"};
};

class tBaseAO_DACPrimitive : public nQoUdR100::tModuleObject {
 public:
  static inline void* ___classID = nullptr;
  using tStatus2 = nQoMDBG100::tStatus2;

  tBaseAO_DACPrimitive(uint32_t channel, uint32_t configBit7) : _channel(channel) {
    _fields.deploy({.configBit7 = configBit7});
  }
  virtual ~tBaseAO_DACPrimitive() = default;
  tBaseAO_DACPrimitive(const tBaseAO_DACPrimitive&) = delete;
  tBaseAO_DACPrimitive& operator=(const tBaseAO_DACPrimitive&) = delete;

  virtual void* ___CPPKRLDynamicCast(void* const* classID) {
    return classID == &___classID ? this : nullptr;
  }
  // 1 when written.
  virtual uint32_t writeValue(const int16_t* value, tStatus2& status) = 0;
  // writeValue for each element in order; answers the count.
  virtual uint32_t writeValues(const int16_t* values, uint32_t count, tStatus2& status) {
    for (uint32_t n = 0; n < count; ++n) writeValue(values + n, status);
    return count;
  }
  virtual void reserve(tStatus2&) {}
  virtual void unreserve(tStatus2&) {}
  virtual void commit(tStatus2& status) = 0;
  virtual void uncommit(tStatus2& status) = 0;

  // A deploy of the settings, whole: the next commit programs them.
  void deploy(const tAODACFields& settings) { _fields.deploy(settings); }
  // What the channel was last programmed with.
  const tAODACFields& programmed() const { return _fields.programmed(); }
  uint32_t channel() const { return _channel; }
  const tPrimitiveState& state() const { return _state; }

 protected:
  // The settings a deploy wrote and the record of what the board class
  // programmed: only it takes them, everyone else reads the record.
  nQoUdR100::tDeployed<tAODACFields, tAODACSteps> _fields;
  uint32_t _channel;
  tPrimitiveState _state;
};

}  // namespace nQoUdP100
