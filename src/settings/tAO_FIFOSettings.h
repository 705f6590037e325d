// The settings of the AO FIFO: the identifier, the word list the supervisor
// copies into the FIFO primitive, and eleven fixed members streamed out of
// declaration order. Words 6, 7 and 8 are supervisor-map keys (0xFFFFFFFF: no
// partner): 7 and 8 unless word 3 is 2, 6 only when word 3 is 0.
//
//   nQoMDBG100::tStatus2 status;
//   tAO_FIFOSettings copy(settings, status);   // -50352 when the list failed
#pragma once

#include <cstdint>
#include <tuple>

#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "mrl/tGeneralIdentifier.h"
#include "settings/tListSettings.h"
#include "settings/tSettingsWordList.h"

namespace nQoUdR100 {

class tAO_FIFOSettings final : public tListSettings<tAO_FIFOSettings> {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tAO_FIFOSettings";
  static inline void* ___classID = nullptr;
  // Where a copy that lost an allocation is reported.
  static constexpr tStatusSite kCopySite{"tAO_FIFOSettings", 44};

  tAO_FIFOSettings() = default;
  // A copy whose identifier or list failed (in the copy or already in the
  // source) reports kOutOfMemory through status, at kCopySite.
  tAO_FIFOSettings(const tAO_FIFOSettings& other, nQoMDBG100::tStatus2& status);
  tAO_FIFOSettings(const tAO_FIFOSettings&) = delete;
  tAO_FIFOSettings& operator=(const tAO_FIFOSettings&) = default;
  ~tAO_FIFOSettings() override = default;

  // Both do nothing when the status holds an error. Writing a failed list
  // gives kOutOfMemory and writes nothing. Reading empties the list (its flag
  // stays), reads the fixed members, then the words until the first error or
  // failed append (kOutOfMemory), then the identifier and the base part.
  void readExternal(nQoORB100::iExternalInputStream& in, int& status) override;
  void writeExternal(nQoORB100::iExternalOutputStream& out, int& status) const override;

  // Whether the identifier's name or the list lost an allocation.
  bool lostAllocation() const { return identifier.allocationFailed() || list.allocationFailed(); }

  nQoMRL100::tGeneralIdentifier identifier;
  tSettingsWordList list;
  uint32_t word1 = 0;
  int32_t word2 = 0;
  int32_t word3 = 0;
  uint32_t word4 = 0;
  uint32_t word5 = 1;
  uint32_t word6 = 0xFFFFFFFF;
  uint32_t word7 = 0xFFFFFFFF;
  uint32_t word8 = 0xFFFFFFFF;
  uint32_t word9 = 1;
  uint64_t longWord = 0;
  uint32_t word10 = 0;

 private:
  using T = tAO_FIFOSettings;
  static constexpr auto kFixedOrder =
      std::tuple(&T::word1, &T::word2, &T::word3, &T::word5, &T::word4, &T::word10, &T::word9,
                 &T::longWord, &T::word7, &T::word8, &T::word6);
};

}  // namespace nQoUdR100
