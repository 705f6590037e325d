// The supervisors of the analog-input path that follow the plain model: one
// primitive from a singular pool, no linkers. Each is a row of the supervisor
// frame; the platform creates them by class name.
//
//   nQoUdR100::tBaseAI_ADCSupervisor converter;
//   converter.initialize(settings, facade, status);   // then link, reserve, ...
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "mrl/iControlParameterBlock.h"
#include "primitives/ai/tAISubsystem.h"
#include "primitives/ai/tBaseAI_ADCPrimitive.h"
#include "reservation/tSingularResourcePool.h"
#include "reservation/tSupStateTracker.h"
#include "settings/aiSettings.h"
#include "supervisors/controlOperations.h"
#include "supervisors/tNoLinks.h"
#include "supervisors/tSupervisor.h"

namespace nQoUdR100 {

// The converter takes part in no control code. Code 4102 reaches the
// converter's empty preparation step, so it ends clean once a primitive is
// held and moves no state.
struct tBaseAI_ADCSupervisorRow {
  static constexpr const char* kClassName = "nQoUdR100::tBaseAI_ADCSupervisor";
  using tSettings = tAI_ADCSettings;
  using tPrimitive = nQoUdP100::tBaseAI_ADCPrimitive;
  using tPool = tSingularResourcePool<tPrimitive*>;
  using tLinks = tNoLinks<tPrimitive>;
  static constexpr uint32_t kControlFlags = 0;
  static constexpr tStatusSite kSite{"tBaseAI_ADCSupervisor", 161};
  static constexpr auto kControls = namedControls<tPrimitive>();

  static void applyRecord(tPrimitive& primitive, const tSettings& settings,
                          nQoMDBG100::tStatus2& status) {
    primitive.setConfiguration(settings.record<0>(), status);
  }
  template <class tSupervisor>
  static bool controlOwn(tSupervisor&, uint32_t code, nQoMRL100::iControlParameterBlock*,
                         nQoMRL100::iControlParameterBlock*, nQoMDBG100::tStatus2&) {
    return code == 4102;
  }
};
using tBaseAI_ADCSupervisor = tSupervisor<tBaseAI_ADCSupervisorRow>;

// The subsystem takes part in all six codes; start only while the first
// value of its supervisor record is non-zero.
struct tBaseAISubsystemSupervisorRow {
  static constexpr const char* kClassName = "nQoUdR100::tBaseAISubsystemSupervisor";
  using tSettings = tAISubsystemSettings;
  using tPrimitive = nQoUdP100::tBaseAISubsystem;
  using tPool = tSingularResourcePool<tPrimitive*>;
  using tLinks = tNoLinks<tPrimitive>;
  static constexpr uint32_t kControlFlags = 0x3F;
  static constexpr tStatusSite kSite{"tBaseAISubsystemSupervisor", 156};
  static constexpr auto kControls = namedControls<tPrimitive>();

  static void applyRecord(tPrimitive& primitive, const tSettings& settings,
                          nQoMDBG100::tStatus2& status) {
    primitive.setConfiguration(settings.record<0>(), status);
  }
  static void deployFlags(nQoMRTB100::tSupStateTracker& tracker, const tSettings& settings,
                          nQoMDBG100::tStatus2& status) {
    settings.supervisorRecord().checkStatus(status);
    tracker.setFlags(settings.supervisorRecord().word1 != 0, 1u << 2, status);
  }
};
using tBaseAISubsystemSupervisor = tSupervisor<tBaseAISubsystemSupervisorRow>;

}  // namespace nQoUdR100
