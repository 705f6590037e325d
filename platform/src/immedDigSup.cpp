// The platform's immediate digital supervisor base, reduced to what board
// supervisors build on: the fields, the primitive's reservation and a control
// that only counts.
#include "mrl/tImmedDigSup.h"

#include "mrl/iResourceBroker.h"
#include "mrl/tImmedDigResource.h"
#include "orb/castToClass.h"

namespace nQoCDR110 {

using nQoMDBG100::tStatus2;

void* tImmedDigSup::___classID = nullptr;

void* tImmedDigSup::___CPPKRLCast(void* const* classID) {
  return nQoORB100::castToClass<tImmedDigSup, nQoMRL100::iPrimitiveSupervisor>(this, classID);
}
void* tImmedDigSup::___CPPKRLDynamicCast(void* const* classID) { return ___CPPKRLCast(classID); }
const void* tImmedDigSup::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tImmedDigSup*>(this)->___CPPKRLCast(classID);
}

void tImmedDigSup::initialize(const nQoMRL100::iPrimitiveSettings&,
                              nQoMRL100::iRuntimeFacade* runtimeFacade, tStatus2& status) {
  if (status.isFatal()) return;
  facade = runtimeFacade;
  state = 1;
}
void tImmedDigSup::deploy(const nQoMRL100::iPrimitiveSettings&, tStatus2&) {}
void tImmedDigSup::link(nQoMRL100::iPrimitiveSupervisorMap&, tStatus2& status) {
  if (status.isNotFatal()) state = 2;
}
void tImmedDigSup::reserveResource(tStatus2& status) {
  reserve(status);
  if (status.isNotFatal()) state = 3;
}
void tImmedDigSup::linkResource(tStatus2& status) {
  if (status.isNotFatal()) state = 4;
}
void tImmedDigSup::unlinkResource(tStatus2& status) {
  if (status.isNotFatal()) state = 3;
}
void tImmedDigSup::releaseResource(tStatus2& status) {
  release(status);
  if (status.isNotFatal()) state = 2;
}
void tImmedDigSup::unlink(tStatus2& status) {
  if (status.isNotFatal()) state = 1;
}
void tImmedDigSup::control(uint32_t code, nQoMRL100::iControlParameterBlock*,
                           nQoMRL100::iControlParameterBlock*, tStatus2& status) {
  if (status.isFatal()) return;
  ++controlCalls;
  lastControlCode = code;
}
void tImmedDigSup::requestCancel(tStatus2&) {}
void tImmedDigSup::commitCancel(tStatus2&) {}

void tImmedDigSup::reserve(tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
  if (broker == nullptr || status.isFatal()) return;
  _lines.emplace(lineMask, 1);
  _identifier.setDeviceGUID(deviceGUID);
  _identifier.setString(nQoCDR100::kImmedDigPrimName, status);
  _identifier.setIndex(0);
  _identifier.setSubIdentifier(&*_lines);
  nQoMRL100::iLeafResourcePool* answer = broker->reserve(&_identifier, facade, status);
  if (answer == nullptr || status.isFatal()) return;
  auto* pool =
      static_cast<tImmedDigResource*>(answer->___CPPKRLDynamicCast(&tImmedDigResource::___classID));
  if (pool != nullptr) {
    primitive = pool->getResource();
    return;
  }
  status.setCode(-89000, "qocdr", "tImmedDigSup", 60);
  tStatus2 local;
  broker->release(&_identifier, facade, local);
}

void tImmedDigSup::release(tStatus2& status) {
  if (status.isFatal()) return;
  if (primitive != nullptr) {
    nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
    if (broker != nullptr) broker->release(&_identifier, facade, status);
  }
  primitive = nullptr;
}

}  // namespace nQoCDR110
