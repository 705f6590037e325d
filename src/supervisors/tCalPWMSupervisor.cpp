#include "supervisors/tCalPWMSupervisor.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mrl/iControlParameterBlock.h"
#include "orb/castToClass.h"
#include "settings/copyCheck.h"
#include "settings/tParameterBlockValidateHelper.h"

namespace nQoUdR100 {

namespace {

constexpr const char kFile[] = "tCalPWMSupervisor";

// The lifecycle word's values.
constexpr uint32_t kInitialized = 1;
constexpr uint32_t kLinked = 2;
constexpr uint32_t kReserved = 3;
constexpr uint32_t kResourceLinked = 4;

}  // namespace

void* tCalPWMSupervisor::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tCalPWMSupervisor, nQoMRL100::iPrimitiveSupervisor>(this, classID);
}
const void* tCalPWMSupervisor::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tCalPWMSupervisor*>(this)->___CPPKRLDynamicCast(classID);
}
nQoORB100::tClass tCalPWMSupervisor::getClass(int& status) const {
  return tClassRegistration<tCalPWMSupervisor>::getClass(*this, status);
}

const tCalPWMSettings* tCalPWMSupervisor::castSettings(
    const nQoMRL100::iPrimitiveSettings& settings, nQoMDBG100::tStatus2& status) const {
  const auto* own = static_cast<const tCalPWMSettings*>(
      settings.___CPPKRLDynamicCast(&tCalPWMSettings::___classID));
  if (own == nullptr) setCode(status, kCastFailed, {kFile, 120});
  return own;
}

// The identifier taken here is the one reserved; deploy leaves it.
void tCalPWMSupervisor::initialize(const nQoMRL100::iPrimitiveSettings& settings,
                                   nQoMRL100::iRuntimeFacade* facade,
                                   nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _facade = facade;
  const tCalPWMSettings* own = castSettings(settings, status);
  if (own == nullptr) return;
  _identifier = own->record<0>().identifier;
  _settings = *own;
  checkCopy(status, {kFile, 125}, _identifier, _settings);
  if (status.isFatal()) return;
  _reserver.setRuntimeFacade(facade);
  _reserver.setIdentifier(&_identifier);
  _lifecycle = kInitialized;
}

void tCalPWMSupervisor::deploy(const nQoMRL100::iPrimitiveSettings& settings,
                               nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const tCalPWMSettings* own = castSettings(settings, status);
  if (own == nullptr) return;
  _settings = *own;
  checkCopy(status, {kFile, 125}, _settings);
}

void tCalPWMSupervisor::link(nQoMRL100::iPrimitiveSupervisorMap&, nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) _lifecycle = kLinked;
}

// A broker that grants nothing reserves nothing and reports nothing.
void tCalPWMSupervisor::reserveResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _reserver.reserveResource(status);
  if (status.isNotFatal()) _lifecycle = kReserved;
}

void tCalPWMSupervisor::linkResource(nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) _lifecycle = kResourceLinked;
}

void tCalPWMSupervisor::unlinkResource(nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) _lifecycle = kReserved;
}

// Only a held primitive is handed back, so a reservation that was never
// granted leaves another task's hold alone.
void tCalPWMSupervisor::releaseResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _reserver.releaseResource(status);
  _lifecycle = kLinked;
}

void tCalPWMSupervisor::unlink(nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) _lifecycle = kInitialized;
}

void tCalPWMSupervisor::control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
                                nQoMRL100::iControlParameterBlock*, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (code != kSetReference) {
    setCode(status, kNotSupported, {kFile, 261});
    return;
  }
  nQoUdP100::iReferenceVoltagePrimitive* primitive = _reserver.getPrimitive();
  if (in == nullptr || primitive == nullptr) {
    setCode(status, kNullPointer, {kFile, 245});
    return;
  }
  nQoMDBG100::tStatus2 local;
  const uint32_t value = in->readU32(local.code);
  tParameterBlockValidateHelper::mergeValidationStatus(local, status);
  if (status.isNotFatal()) primitive->setReferenceValue(value, status);
}

void tCalPWMSupervisor::requestCancel(nQoMDBG100::tStatus2&) {}

void tCalPWMSupervisor::commitCancel(nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal() && _lifecycle > kResourceLinked) _lifecycle = kResourceLinked;
}

}  // namespace nQoUdR100
