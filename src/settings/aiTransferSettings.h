// The settings of the AI DMA transfer and data FIFO (a primitive's record and
// a supervisor-level record each) and of the interrupt transfer, immediate
// transfer and wait-for-next-sample-clock (flat rows that stream on a local
// status bracketed at their own read and write sites).
#pragma once

#include <cstdint>
#include <tuple>

#include "frame/tStatusSite.h"
#include "mrl/tGeneralIdentifier.h"
#include "primitives/ai/tAIDeviceFIFOPrimitiveConfig.h"
#include "primitives/ai/tAI_DMATransferPrimitiveConfig.h"
#include "settings/settingsFields.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tAI_DMATransferSupervisorFields {
  using T = tAI_DMATransferSupervisorFields;
  nQoMRL100::tGeneralIdentifier identifier1;
  nQoMRL100::tGeneralIdentifier identifier2;
  uint32_t word1 = 0xFFFFFFFF;  // map key of the AI data FIFO supervisor
  uint32_t word2 = 0xFFFFFFFF;  // map key of the DMA channel supervisor
  uint32_t word3 = 0xFFFFFFFF;  // map key of the transfer partner
  uint32_t word4 = 0;           // readable mode
  uint32_t word5 = 0;           // non-zero: done events asked for
  uint32_t word6 = 0;           // non-zero: done events suppressed
  uint32_t word7 = 0;
  static constexpr auto kStreamOrder =
      std::tuple(&T::identifier1, &T::identifier2, &T::word1, &T::word2, &T::word3, &T::word4,
                 &T::word5, &T::word6, &T::word7);
};
using tAI_DMATransferSupervisorConfig = tFieldRecord<tAI_DMATransferSupervisorFields>;

struct tAIDeviceFIFOSupervisorFields {
  nQoMRL100::tGeneralIdentifier identifier;
  static constexpr auto kStreamOrder = std::tuple(&tAIDeviceFIFOSupervisorFields::identifier);
};
using tAIDeviceFIFOSupervisorConfig = tFieldRecord<tAIDeviceFIFOSupervisorFields>;

struct tAI_DMATransferSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAI_DMATransferSettings";
  using tRecords =
      std::tuple<nQoUdP100::tAI_DMATransferPrimitiveConfig, tAI_DMATransferSupervisorConfig>;
};
using tAI_DMATransferSettings = tSettings<tAI_DMATransferSettingsRow>;

struct tAIDeviceFIFOSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAIDeviceFIFOSettings";
  using tRecords =
      std::tuple<nQoUdP100::tAIDeviceFIFOPrimitiveConfig, tAIDeviceFIFOSupervisorConfig>;
};
using tAIDeviceFIFOSettings = tSettings<tAIDeviceFIFOSettingsRow>;

struct tAIInterruptTransferFields {
  using T = tAIInterruptTransferFields;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t word1 = 0xFFFFFFFF;  // map key of the interrupt-transfer partner
  uint32_t word2 = 0xFFFFFFFF;  // map key of the AI data FIFO supervisor
  static constexpr auto kStreamOrder = std::tuple(&T::word1, &T::word2, &T::identifier);
};

struct tAIInterruptTransferSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAIInterruptTransferSettings";
  using tRecords = std::tuple<tFieldRecord<tAIInterruptTransferFields>>;
  static constexpr tStatusSite kReadBracket{"tAIInterruptTransferSettings", 80};
  static constexpr tStatusSite kWriteBracket{"tAIInterruptTransferSettings", 58};
};
using tAIInterruptTransferSettings = tSettings<tAIInterruptTransferSettingsRow>;

// The sample interval travels between words 17 and 9 (tSignedFixedPoint128 in
// settingsFields.h): only while the local status holds no error.
struct tAIImmediateTransferFields {
  using T = tAIImmediateTransferFields;
  uint64_t longWord = 0;  // the notification-listener value
  uint32_t word1 = 1;     // read options: software time stamp,
  uint32_t word2 = 0;     // the second
  uint32_t word3 = 100;   // transfer words of the primitive
  uint32_t word4 = 0;
  uint32_t word5 = 0;           // the third read option
  uint32_t word6 = 1;           // sample size
  uint32_t word7 = 0xFFFFFFFF;  // wait time-out (0: no wait, 0xFFFFFFFF: no limit)
  uint32_t word8 = 4;           // its time unit
  tSignedFixedPoint128 sampleInterval{0};
  uint32_t word9 = 1;
  uint32_t word10 = 0;
  uint32_t word11 = 0;
  uint32_t word12 = 0;
  uint32_t word13 = 0;
  uint32_t word14 = 0;
  uint32_t word15 = 0;
  uint32_t word16 = 0xFFFFFFFF;  // map key of the scheduler-action supervisor
  uint32_t word17 = 0;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t word18 = 0;
  uint32_t word19 = 0;  // non-zero: the done and error events stay unreserved
  static constexpr auto kStreamOrder = std::tuple(
      &T::longWord, &T::word1, &T::word2, &T::word3, &T::word4, &T::word5, &T::word6, &T::word7,
      &T::word8, &T::word11, &T::word12, &T::word13, &T::word14, &T::word15, &T::word16, &T::word17,
      &T::sampleInterval, &T::word9, &T::word10, &T::word18, &T::word19, &T::identifier);
};

struct tAIImmediateTransferSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAIImmediateTransferSettings";
  using tRecords = std::tuple<tFieldRecord<tAIImmediateTransferFields>>;
  static constexpr tStatusSite kReadBracket{"tAIImmediateTransferSettings", 162};
  static constexpr tStatusSite kWriteBracket{"tAIImmediateTransferSettings", 101};
};
using tAIImmediateTransferSettings = tSettings<tAIImmediateTransferSettingsRow>;

// Words 1 to 4 are the wait primitive's parameters (word 2 switches polling
// on); word 5 non-zero turns the supervisor's waits off.
struct tAI_WFNSCFields {
  using T = tAI_WFNSCFields;
  nQoMRL100::tGeneralIdentifier identifier;
  tSignedWrittenWord word1 = 0;
  tSignedWrittenWord word2 = 1;
  uint32_t word3 = 100;
  uint32_t word4 = 1;
  uint32_t word5 = 0;
  static constexpr auto kStreamOrder =
      std::tuple(&T::word1, &T::word2, &T::word3, &T::word4, &T::word5, &T::identifier);
};

struct tAI_WFNSCSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAI_WFNSCSettings";
  using tRecords = std::tuple<tFieldRecord<tAI_WFNSCFields>>;
  static constexpr tStatusSite kReadBracket{"tAI_WFNSCSettings", 97};
  static constexpr tStatusSite kWriteBracket{"tAI_WFNSCSettings", 67};
};
using tAI_WFNSCSettings = tSettings<tAI_WFNSCSettingsRow>;

}  // namespace nQoUdR100
