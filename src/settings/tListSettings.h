// The class frame of the two settings classes that carry a word list (the AO
// FIFO and DAC transfer settings): the casts, the class and the clone. The
// class gives its name, its ___classID, its list and its own streaming:
//
//   class tAO_DACTransferSettings final : public tListSettings<tAO_DACTransferSettings> {
//    public:
//     static constexpr const char* kClassName = "nQoUdR100::tAO_DACTransferSettings";
//     static inline void* ___classID = nullptr;
//     tSettingsWordList list;
//     ...readExternal, writeExternal
//   };
//
// A clone whose list could not be copied, or copies a failed list, is
// returned all the same with kOutOfMemory: the caller owns it.
#pragma once

#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tModuleObject.h"
#include "frame/tStatusSite.h"
#include "mrl/tPrimitiveSettings.h"
#include "orb/castToClass.h"

namespace nQoUdR100 {

template <class Derived>
class tListSettings : public nQoMRL100::tPrimitiveSettings, public tModuleObject {
 public:
  void* ___CPPKRLDynamicCast(void* const* classID) override {
    return nQoORB100::castToClass<Derived, nQoMRL100::tPrimitiveSettings>(self(), classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<tListSettings*>(this)->___CPPKRLDynamicCast(classID);
  }
  nQoORB100::tClass getClass(int& status) const override {
    return tClassRegistration<Derived>::getClass(*this, status);
  }
  // The registration, without touching the status.
  static nQoORB100::tClass staticGetClass(int&) {
    return nQoORB100::tClass(tClassRegistration<Derived>::implementation());
  }

  // A new instance of the class, assigned from this one; null when the status
  // holds an error, when the registry fails (its code stays), or when it
  // answers nothing or an object of another class (-89000; the stray is
  // destroyed).
  nQoORB100::tObject* clone(int& status) const override {
    if (status < 0) return nullptr;
    const nQoORB100::tClass objectClass = getClass(status);
    nQoORB100::tObject* instance = objectClass.newInstance(status);
    if (status >= 0) {
      auto* copy =
          instance == nullptr
              ? nullptr
              : static_cast<Derived*>(instance->___CPPKRLDynamicCast(&Derived::___classID));
      if (copy != nullptr) {
        *copy = *self();
        if (copy->list.allocationFailed()) mergeCode(status, kOutOfMemory);
        return copy;
      }
      mergeCode(status, kCastFailed);
    }
    if (instance != nullptr) {
      int local = 0;
      instance->getClass(local).deleteInstance(instance, local);
      mergeCode(status, local);
    }
    return nullptr;
  }

 protected:
  tListSettings() = default;
  tListSettings(const tListSettings&) = default;
  tListSettings& operator=(const tListSettings&) = default;
  ~tListSettings() override = default;

 private:
  Derived* self() { return static_cast<Derived*>(this); }
  const Derived* self() const { return static_cast<const Derived*>(this); }
};

}  // namespace nQoUdR100
