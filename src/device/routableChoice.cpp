#include "device/routableChoice.h"

#include "frame/destroyObject.h"
#include "frame/kernelShims.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "orb/tClassImplementation.h"

namespace nQoUdR100 {

namespace {

constexpr const char* k37PinRegistrars[] = {
    "nQoUdR100::tPCI37PinRoutableRegistrar", "nQoUdR100::tPXI37PinRoutableRegistrar",
    "nQoUdR100::tNoRIVOPCI37PinRoutableRegistrar", "nQoUdR100::tNoRIVO37PinRoutableRegistrar",
    "nQoUdR100::tRIVO37PinRoutableRegistrar"};

void mergeFresh(nQoMDBG100::tStatus2& status, int fresh) {
  if (fresh != 0) status.setCode(fresh, kComponent, "iUdSeriesRoutableRegistrar", 60);
}

}  // namespace

bool uses37PinWrapper(const char* registrarClassName) {
  if (registrarClassName == nullptr) return false;
  for (const char* name : k37PinRegistrars)
    if (strCmp(name, registrarClassName) == 0) return true;
  return false;
}

iUdSeriesRoutableRegistrar* newRoutableRegistrar(const char* className,
                                                 nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return nullptr;
  const nQoORB100::tClass registrarClass(
      className == nullptr ? nullptr : nQoORB100::tClassRegistry::find(className));
  int created = 0;
  nQoORB100::tObject* instance = registrarClass.newInstance(created);
  if (created == kOutOfMemory) {
    // A registrar that could not be allocated is no cast failure.
    setCode(status, kOutOfMemory, {"iUdSeriesRoutableRegistrar", 40});
    return nullptr;
  }
  auto* registrar = instance == nullptr
                        ? nullptr
                        : static_cast<iUdSeriesRoutableRegistrar*>(instance->___CPPKRLDynamicCast(
                              &iUdSeriesRoutableRegistrar::___classID));
  if (registrar != nullptr) return registrar;
  setCode(status, kCastFailed, {"iUdSeriesRoutableRegistrar", 50});
  int destroyed = 0;
  nQoORB100::destroyObject(instance, destroyed);
  mergeFresh(status, destroyed);
  return nullptr;
}

void deleteRoutableRegistrar(iUdSeriesRoutableRegistrar* registrar, nQoMDBG100::tStatus2& status) {
  int destroyed = 0;
  nQoORB100::destroyObject(registrar, destroyed);
  mergeFresh(status, destroyed);
}

}  // namespace nQoUdR100
