// The settings of the AO DAC transfer: four words and a word list, without an
// identifier. Every list word, and word 4 when word 2 or word 3 is non-zero,
// is a supervisor-map key. Both stream operations run on a local status
// bracketed at their own sites.
#pragma once

#include <cstdint>
#include <tuple>

#include "settings/tListSettings.h"
#include "settings/tSettingsWordList.h"

namespace nQoUdR100 {

class tAO_DACTransferSettings final : public tListSettings<tAO_DACTransferSettings> {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tAO_DACTransferSettings";
  static inline void* ___classID = nullptr;

  tAO_DACTransferSettings() = default;
  tAO_DACTransferSettings(const tAO_DACTransferSettings&) = default;
  tAO_DACTransferSettings& operator=(const tAO_DACTransferSettings&) = default;
  ~tAO_DACTransferSettings() override = default;

  // Both do nothing when the status holds an error. Writing a failed list
  // gives kOutOfMemory and writes nothing. Reading empties the list, reads
  // the words, then list words until the first error or failed append
  // (kOutOfMemory at its site), then the base part.
  void readExternal(nQoORB100::iExternalInputStream& in, int& status) override;
  void writeExternal(nQoORB100::iExternalOutputStream& out, int& status) const override;

  // Whether the list lost an allocation.
  bool lostAllocation() const { return list.allocationFailed(); }

  tSettingsWordList list;
  uint32_t word1 = 0;
  uint32_t word2 = 0;
  uint32_t word3 = 0;
  uint32_t word4 = 0xFFFFFFFF;

 private:
  using T = tAO_DACTransferSettings;
  static constexpr auto kWordOrder = std::tuple(&T::word1, &T::word2, &T::word3, &T::word4);
};

}  // namespace nQoUdR100
