// The class part that every settings class shares: the casts, the class and
// the clone through the class registry. Derived is the final class, with its
// kClassName and ___classID; it may hide either clone hook:
//
//   class tAO_DACTransferSettings final : public tSettingsClass<tAO_DACTransferSettings> {
//    public:
//     static constexpr const char* kClassName = "nQoUdR100::tAO_DACTransferSettings";
//     static inline void* ___classID = nullptr;
//     void checkBeforeClone(int& status) const;   // e.g. the records' checks
//     void checkClone(const tAO_DACTransferSettings& copy, int& status) const;
//     ...
//   };
#pragma once

#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tModuleObject.h"
#include "frame/tStatusSite.h"
#include "mrl/tPrimitiveSettings.h"
#include "orb/castToClass.h"

namespace nQoUdR100 {

template <class Derived>
class tSettingsClass : public nQoMRL100::tPrimitiveSettings, public tModuleObject {
 public:
  void* ___CPPKRLDynamicCast(void* const* classID) override {
    return nQoORB100::castToClass<Derived, nQoMRL100::tPrimitiveSettings>(self(), classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<tSettingsClass*>(this)->___CPPKRLDynamicCast(classID);
  }
  nQoORB100::tClass getClass(int& status) const override {
    return tClassRegistration<Derived>::getClass(*this, status);
  }
  // The registration, without touching the status.
  static nQoORB100::tClass staticGetClass(int&) {
    return nQoORB100::tClass(tClassRegistration<Derived>::implementation());
  }

  // A new instance of the class, assigned from this one, then checked by
  // checkClone (the copy is returned whatever that sets); null when
  // checkBeforeClone or the status holds an error, when the registry fails
  // (its code stays), or when it answers nothing or an object of another class
  // (-89000; the stray is destroyed).
  nQoORB100::tObject* clone(int& status) const override {
    self()->checkBeforeClone(status);
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
        self()->checkClone(*copy, status);
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

  // The clone hooks: nothing to check unless Derived hides them.
  void checkBeforeClone(int&) const {}
  void checkClone(const Derived&, int&) const {}

 protected:
  tSettingsClass() = default;
  tSettingsClass(const tSettingsClass&) = default;
  tSettingsClass& operator=(const tSettingsClass&) = default;
  ~tSettingsClass() override = default;

 private:
  Derived* self() { return static_cast<Derived*>(this); }
  const Derived* self() const { return static_cast<const Derived*>(this); }
};

}  // namespace nQoUdR100
