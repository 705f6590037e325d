// The settings of the AO timing engine: the timing controller's flat row of
// 28 words and the identifier, and the output timing controller (the
// primitive's record, then the identifier and four words), a class that
// platform-side users create by name.
#pragma once

#include <cstdint>
#include <tuple>

#include "mrl/tGeneralIdentifier.h"
#include "primitives/ao/tOutputTimingControllerPrimitiveConfig.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

// Word 1 set to 1: the supervisor also applies words 2 to 5, 12 and 13.
struct tAOTimingControllerFields {
  using T = tAOTimingControllerFields;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t word1 = 1;
  int32_t word2 = 0;
  int32_t word3 = 0;
  int32_t word4 = 0;
  int32_t word5 = 0;
  uint32_t word6 = 50000;
  int32_t word7 = 0;
  uint32_t word8 = 400;
  uint32_t word9 = 400;
  uint32_t word10 = 5;
  int32_t word11 = 0;
  int32_t word12 = 0;
  int32_t word13 = 0;
  int32_t word14 = 1;
  int32_t word15 = 1;
  int32_t word16 = 0;
  uint32_t word17 = 2;
  int32_t word18 = 1;
  int32_t word19 = 0;
  int32_t word20 = 0;
  int32_t word21 = 0;
  int32_t word22 = 0;
  uint32_t word23 = 0;
  uint32_t word24 = 100;
  uint32_t word25 = 0;
  uint32_t word26 = 1;
  uint32_t word27 = 0;
  uint32_t word28 = 0;
  static constexpr auto kStreamOrder = std::tuple(
      &T::word1, &T::word2, &T::word3, &T::word4, &T::word5, &T::word6, &T::word7, &T::word8,
      &T::word9, &T::word10, &T::word11, &T::word12, &T::word13, &T::word14, &T::word15, &T::word16,
      &T::word17, &T::word18, &T::word19, &T::word20, &T::word21, &T::word22, &T::word23,
      &T::word24, &T::word25, &T::word26, &T::word27, &T::word28, &T::identifier);
};

struct tAOTimingControllerSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tAOTimingControllerSettings";
  using tRecords = std::tuple<tFieldRecord<tAOTimingControllerFields>>;
};
using tAOTimingControllerSettings = tSettings<tAOTimingControllerSettingsRow>;

struct tOutputTimingControllerSupervisorFields {
  using T = tOutputTimingControllerSupervisorFields;
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t word1 = 0xFFFFFFFF;
  uint32_t word2 = 0;
  uint32_t word3 = 0;
  uint32_t word4 = 0;
  static constexpr auto kStreamOrder =
      std::tuple(&T::identifier, &T::word1, &T::word2, &T::word3, &T::word4);
};
using tOutputTimingControllerSupervisorConfig =
    tFieldRecord<tOutputTimingControllerSupervisorFields>;

struct tOutputTimingControllerSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tOutputTimingControllerSettings";
  using tRecords = std::tuple<nQoUdP100::tOutputTimingControllerPrimitiveConfig,
                              tOutputTimingControllerSupervisorConfig>;
};
using tOutputTimingControllerSettings = tSettings<tOutputTimingControllerSettingsRow>;

}  // namespace nQoUdR100
