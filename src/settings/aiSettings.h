// The settings of the AI subsystem, timing controller, scanning front end and
// converter: each holds its primitive's configuration record, then a
// supervisor-level record of the identifier and a few u32 words (0xFFFFFFFF:
// no partner in the supervisor map).
//
//   tAIScanningFrontEndSettings settings;
//   settings.record<0>().channels.append(entry);   // the primitive's record
//   settings.supervisorRecord().word1 = 1;          // control codes enabled
#pragma once

#include <cstdint>
#include <tuple>

#include "mrl/tGeneralIdentifier.h"
#include "primitives/ai/tAIScanningFrontEndPrimitiveConfig.h"
#include "primitives/ai/tAISubsystemPrimitiveConfig.h"
#include "primitives/ai/tAITimingControllerPrimitiveConfig.h"
#include "primitives/ai/tAI_ADCPrimitiveConfig.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tAISubsystemSupervisorFields {
  using T = tAISubsystemSupervisorFields;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t word1 = 1;  // non-zero: control code 2 starts the subsystem
  static constexpr auto kStreamOrder = std::tuple(&T::identifier, &T::word1);
};
using tAISubsystemSupervisorConfig = tFieldRecord<tAISubsystemSupervisorFields>;

struct tAITimingControllerSupervisorFields {
  using T = tAITimingControllerSupervisorFields;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t word1 = 0xFFFFFFFF;  // map key of the scheduler-action supervisor
  uint32_t word2 = 0xFFFFFFFF;
  uint32_t word3 = 0xFFFFFFFF;
  uint32_t word4 = 0xFFFFFFFF;
  uint32_t word5 = 1;
  static constexpr auto kStreamOrder =
      std::tuple(&T::identifier, &T::word1, &T::word2, &T::word3, &T::word4, &T::word5);
};
using tAITimingControllerSupervisorConfig = tFieldRecord<tAITimingControllerSupervisorFields>;

struct tAIScanningFrontEndSupervisorFields {
  using T = tAIScanningFrontEndSupervisorFields;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t word1 = 0;  // non-zero: the control codes reach the primitive
  uint32_t word2 = 1;
  uint32_t word3 = 0xFFFFFFFF;
  uint32_t word4 = 0xFFFFFFFF;
  uint32_t word5 = 0xFFFFFFFF;
  static constexpr auto kStreamOrder =
      std::tuple(&T::identifier, &T::word1, &T::word2, &T::word3, &T::word4, &T::word5);
};
using tAIScanningFrontEndSupervisorConfig = tFieldRecord<tAIScanningFrontEndSupervisorFields>;

struct tAI_ADCSupervisorFields {
  using T = tAI_ADCSupervisorFields;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t word1 = 0xFFFFFFFF;
  static constexpr auto kStreamOrder = std::tuple(&T::identifier, &T::word1);
};
using tAI_ADCSupervisorConfig = tFieldRecord<tAI_ADCSupervisorFields>;

struct tAISubsystemSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAISubsystemSettings";
  using tRecords = std::tuple<nQoUdP100::tAISubsystemPrimitiveConfig, tAISubsystemSupervisorConfig>;
};
using tAISubsystemSettings = tSettings<tAISubsystemSettingsRow>;

struct tAITimingControllerSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAITimingControllerSettings";
  using tRecords = std::tuple<nQoUdP100::tAITimingControllerPrimitiveConfig,
                              tAITimingControllerSupervisorConfig>;
};
using tAITimingControllerSettings = tSettings<tAITimingControllerSettingsRow>;

struct tAIScanningFrontEndSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAIScanningFrontEndSettings";
  using tRecords = std::tuple<nQoUdP100::tAIScanningFrontEndPrimitiveConfig,
                              tAIScanningFrontEndSupervisorConfig>;
};
using tAIScanningFrontEndSettings = tSettings<tAIScanningFrontEndSettingsRow>;

struct tAI_ADCSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAI_ADCSettings";
  using tRecords = std::tuple<nQoUdP100::tAI_ADCPrimitiveConfig, tAI_ADCSupervisorConfig>;
};
using tAI_ADCSettings = tSettings<tAI_ADCSettingsRow>;

}  // namespace nQoUdR100
