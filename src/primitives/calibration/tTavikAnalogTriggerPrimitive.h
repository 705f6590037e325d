// The chip's analog trigger: mode and source in 0x17A and 0x8C, the two
// levels through two PWM sources (general channels 1 and 0 on the board),
// a settling wait after the levels change, and arm. Idle means disabled,
// source code 3 and both levels 0; construction and uncommit go there.
//
//   tTavikAnalogTriggerPrimitive trigger(&channel1, &channel0, description, map, status);
//   trigger.deploy({.source = 2, .mode = 3, .level1 = 0x100, .level2 = 0x80});
//   trigger.commit(status);   // levels set, settling time slept, state 2
//   trigger.arm(status);      // enable bit, and the soft copy bit 5 in modes 3 and 4
//
// The supervisor deploys the same four through setParameter (0 to 3: level 1,
// level 2, mode, source). Only the commit takes them, and an arm with no
// commit held its mode; an arm under a commit goes by the commit's record.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tDeployed.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tAIDescription.h"
#include "primitives/ao/outputPrimitiveInterfaces.h"
#include "primitives/calibration/pwmPrimitives.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tTavikAnalogTriggerPrimitive final : public tBaseAnalogTriggerPrimitive {
 public:
  tTavikAnalogTriggerPrimitive(iPWMPrimitive* level1Source, iPWMPrimitive* level2Source,
                               const tAITriggerDescription& description,
                               nQoUdRLP100::nTavik::tTavik* map, nQoMDBG100::tStatus2& status);
  // A committed trigger goes idle first.
  ~tTavikAnalogTriggerPrimitive() override;

  // An armed trigger that the commit would program otherwise than its last
  // commit did is disarmed first; one armed on what the commit asks for again
  // keeps its arm and is touched not at all.
  void commit(nQoMDBG100::tStatus2& status) override;
  void uncommit(nQoMDBG100::tStatus2& status) override;
  void arm(nQoMDBG100::tStatus2& status) override;
  void release(nQoMDBG100::tStatus2& status) override;
  bool isAvailable() override { return _map != nullptr; }

  // What a commit programs.
  struct tFields {
    uint32_t source = 0;
    uint32_t mode = 0;
    uint32_t level1 = 0;
    uint32_t level2 = 0;
    bool operator==(const tFields&) const = default;
  };
  static constexpr const char* kDeploySteps[] = {"storeParameter"};
  static constexpr const char* kProgrammingSteps[] = {"commit", "arm"};
  // A deploy of all four at once; the next commit takes them.
  void deploy(const tFields& settings) { _fields.deploy(settings); }

 protected:
  // Parameters 0 to 3 are level 1, level 2, mode and source; the board uses
  // no other.
  void storeParameter(uint32_t index, uint32_t value) override;

 private:
  // Source code of source into bits 1:0 of 0x8C, written when changed or dirty.
  void programSource(uint32_t code, nQoMDBG100::tStatus2& status);
  // The enable bit off, under the trigger's lock that the caller holds; the
  // arm's record goes with it.
  void disable(nQoMDBG100::tStatus2& status);
  void goIdle(nQoMDBG100::tStatus2& status);
  void setLevels(uint32_t first, uint32_t second, nQoMDBG100::tStatus2& status);

  nQoUdR100::tDeployed<tFields, tTavikAnalogTriggerPrimitive> _fields;
  nQoUdRLP100::nTavik::tTavik* _map;
  // Whether a commit or an arm programmed the chip since it last went idle:
  // set by them, cleared only by goIdle. A parameter handed over after a
  // commit moves the state back but leaves the chip programmed.
  std::atomic<bool> _programmed{false};
  // Whether an arm left the enable bit on: set by arm, cleared only by the
  // switch-off.
  std::atomic<bool> _armed{false};
  // Whether the record is of a commit that still holds (cleared by goIdle).
  bool _holdsCommit = false;
  iPWMPrimitive* _level1Source;
  iPWMPrimitive* _level2Source;
  uint32_t _settlingMicroseconds;
};

}  // namespace nQoUdP100
