// The frame of the analog-output supervisors that keep a plain state word in
// place of the state tracker. tPlainSupervisor holds the facade, the word and
// the settings copy; tReservingSupervisor adds one primitive that the
// supervisor reserves itself through the singular reserver, under its own
// copy of the identifier. A class names itself, its site file and its
// settings:
//
//   class tBaseAOGroundRefSupervisor final
//       : public tReservingSupervisor<tBaseAOGroundRefSupervisor, nQoMRL100::iPrimitiveSupervisor,
//                                     tAOGroundRefSettings, nQoUdP100::tBaseAOGroundRefPrimitive> {
//     static constexpr const char* kFile = "tBaseAOGroundRefSupervisor";
//     ...
//   };
//
// link, linkResource, unlinkResource and unlink only move the word (the
// last two also after an earlier failure); a class overrides what it does
// besides.
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tModuleObject.h"
#include "frame/tStatusSite.h"
#include "mrl/iControlParameterBlock.h"
#include "mrl/iEvent.h"
#include "mrl/iPrimitiveSettings.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/iRuntimeFacade.h"
#include "mrl/tEventIdentifier.h"
#include "mrl/tGeneralIdentifier.h"
#include "orb/castToClass.h"
#include "reservation/castAnswer.h"
#include "reservation/tSingularReserver.h"
#include "reservation/tSingularResourcePool.h"
#include "settings/tParameterBlockValidateHelper.h"

namespace nQoUdR100 {

// The plain state word: each lifecycle step's value.
enum tPlainState : uint32_t {
  kPlainConstructed = 0,
  kPlainInitialized = 1,
  kPlainLinked = 2,
  kPlainReserved = 3,
  kPlainResourcesLinked = 4,
  kPlainCommitted = 5,
};

template <class Self, class Interface, class Settings>
class tPlainSupervisor : public Interface, public tModuleObject {
 public:
  void* ___CPPKRLDynamicCast(void* const* classID) override {
    return nQoORB100::castToClass<Self, Interface>(self(), classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<tPlainSupervisor*>(this)->___CPPKRLDynamicCast(classID);
  }
  nQoORB100::tClass getClass(int& status) const override {
    return tClassRegistration<Self>::getClass(*this, status);
  }

  void link(nQoMRL100::iPrimitiveSupervisorMap&, nQoMDBG100::tStatus2& status) override {
    if (status.isNotFatal()) _state = kPlainLinked;
  }
  void linkResource(nQoMDBG100::tStatus2& status) override {
    if (status.isNotFatal()) _state = kPlainResourcesLinked;
  }
  void unlinkResource(nQoMDBG100::tStatus2&) override { _state = kPlainReserved; }
  void unlink(nQoMDBG100::tStatus2&) override { _state = kPlainInitialized; }
  void requestCancel(nQoMDBG100::tStatus2&) override {}

  uint32_t getState() const { return _state; }
  const Settings& getSettings() const { return _settings; }

 protected:
  // The settings as the class's own, or -89000 and null.
  static const Settings* castSettings(const nQoMRL100::iPrimitiveSettings& settings,
                                      nQoMDBG100::tStatus2& status) {
    const auto* own =
        static_cast<const Settings*>(settings.___CPPKRLDynamicCast(&Settings::___classID));
    if (own == nullptr) setCode(status, kCastFailed, {Self::kFile, 120});
    return own;
  }

  // A query's answer: the out block checked (null: -50004), one 32-bit
  // value written, the block's status merged.
  static void answer(nQoMRL100::iControlParameterBlock* out, uint32_t value,
                     nQoMDBG100::tStatus2& status) {
    tParameterBlockValidateHelper::checkNotNull(out, status);
    if (status.isFatal()) return;
    nQoMDBG100::tStatus2 local;
    out->writeU32(value, local.code);
    tParameterBlockValidateHelper::mergeValidationStatus(local, status);
  }
  // The in block's next 32-bit value, checked and merged the same way.
  static uint32_t readValue(nQoMRL100::iControlParameterBlock* in, nQoMDBG100::tStatus2& status) {
    tParameterBlockValidateHelper::checkNotNull(in, status);
    if (status.isFatal()) return 0;
    nQoMDBG100::tStatus2 local;
    const uint32_t value = in->readU32(local.code);
    tParameterBlockValidateHelper::mergeValidationStatus(local, status);
    return value;
  }

  // The task's event object from the kept facade: null without a facade, and
  // null with -89000 when the answer is null or of another class.
  nQoMRL110::iEvent* lookUpEvent(nQoMDBG100::tStatus2& status) const {
    if (_facade == nullptr || status.isFatal()) return nullptr;
    const nQoMRL110::tEventIdentifier identifier(status);
    return nQoMRTB100::castAnswer<nQoMRL110::iEvent>(_facade->getEventObject(identifier, status),
                                                     status, {Self::kFile, 150});
  }

  nQoMRL100::iRuntimeFacade* _facade = nullptr;
  uint32_t _state = kPlainConstructed;
  Settings _settings;

 private:
  Self* self() { return static_cast<Self*>(this); }
};

template <class Self, class Interface, class Settings, class Prim>
class tReservingSupervisor : public tPlainSupervisor<Self, Interface, Settings> {
 public:
  Prim* getPrimitive() const { return _reserver.getPrimitive(); }

 protected:
  // Keeps the facade and points the reserver at the own identifier.
  void keepFacade(nQoMRL100::iRuntimeFacade* facade) {
    this->_facade = facade;
    _reserver.setRuntimeFacade(facade);
    _reserver.setIdentifier(&_identifier);
  }
  // The pool's primitive, or null (no broker, nothing granted, a foreign
  // pool: -89000 and the reservation handed back).
  Prim* reservePrimitive(nQoMDBG100::tStatus2& status) {
    _reserver.reserveResource(status);
    return _reserver.getPrimitive();
  }
  // Hands a held primitive back on a fresh status merged into the caller's
  // and forgets it.
  void handBack(nQoMDBG100::tStatus2& status) {
    nQoMDBG100::tStatus2 local;
    _reserver.releaseResource(local);
    status.assign(local);
  }

  nQoMRL100::tGeneralIdentifier _identifier;

 private:
  nQoMRTB100::tSingularReserver<Prim, tSingularResourcePool<Prim*>> _reserver;
};

}  // namespace nQoUdR100
