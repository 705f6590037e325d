// The class frame of the two settings classes that carry a word list (the AO
// FIFO and DAC transfer settings): the settings class part, with a clone
// whose list could not be copied, or copies a failed list, returned all the
// same with kOutOfMemory (the caller owns it). The class gives its name, its
// ___classID, its list and its own streaming:
//
//   class tAO_DACTransferSettings final : public tListSettings<tAO_DACTransferSettings> {
//    public:
//     static constexpr const char* kClassName = "nQoUdR100::tAO_DACTransferSettings";
//     static inline void* ___classID = nullptr;
//     tSettingsWordList list;
//     ...readExternal, writeExternal
//   };
#pragma once

#include "frame/statusCodes.h"
#include "settings/tSettingsClass.h"

namespace nQoUdR100 {

template <class Derived>
class tListSettings : public tSettingsClass<Derived> {
 public:
  void checkClone(const Derived& copy, int& status) const {
    if (copy.list.allocationFailed()) mergeCode(status, kOutOfMemory);
  }

 protected:
  tListSettings() = default;
  tListSettings(const tListSettings&) = default;
  tListSettings& operator=(const tListSettings&) = default;
  ~tListSettings() override = default;
};

}  // namespace nQoUdR100
