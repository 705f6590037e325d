#include "device/tMIO_GUIDIdentifier.h"

#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tStatusSite.h"
#include "mrl/tGUIDIdentifier.h"
#include "mrl/tGeneralIdentifier.h"
#include "orb/castToClass.h"

namespace nQoUdR100 {

namespace {

template <class T>
const T* castOther(const nQoMRL100::iResourceIdentifier& other) {
  return static_cast<const T*>(other.___CPPKRLDynamicCast(&T::___classID));
}

uint64_t foldWords(uint64_t word) { return (word >> 32) ^ (word & 0xFFFFFFFF); }

}  // namespace

void* tMIO_GUIDIdentifier::___classID = nullptr;

void* tMIO_GUIDIdentifier::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tMIO_GUIDIdentifier, nQoMRL100::iResourceIdentifier>(this, classID);
}

const void* tMIO_GUIDIdentifier::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tMIO_GUIDIdentifier*>(this)->___CPPKRLDynamicCast(classID);
}

nQoORB100::tClass tMIO_GUIDIdentifier::getClass(int& status) const {
  return tClassRegistration<tMIO_GUIDIdentifier>::getClass(*this, status);
}

nQoORB100::tObject* tMIO_GUIDIdentifier::clone(int& status) const {
  if (status < 0) return nullptr;
  const nQoORB100::tClass objectClass = getClass(status);
  nQoORB100::tObject* instance = objectClass.newInstance(status);
  auto* copy = instance == nullptr
                   ? nullptr
                   : static_cast<tMIO_GUIDIdentifier*>(instance->___CPPKRLDynamicCast(&___classID));
  if (copy == nullptr) {
    mergeCode(status, kCastFailed);
    int destroyed = 0;
    objectClass.deleteInstance(instance, destroyed);
    mergeCode(status, destroyed);
    return nullptr;
  }
  copy->_guid = _guid;
  return copy;
}

uint64_t tMIO_GUIDIdentifier::hash() const { return foldWords(_guid.high) ^ foldWords(_guid.low); }

bool tMIO_GUIDIdentifier::isEqual(const nQoMRL100::iResourceIdentifier& other) const {
  if (const auto* general = castOther<nQoMRL100::tGeneralIdentifier>(other))
    return general->getDeviceGUID() == _guid;
  if (const auto* same = castOther<tMIO_GUIDIdentifier>(other)) return same->_guid == _guid;
  if (const auto* device = castOther<nQoMRL100::tGUIDIdentifier>(other))
    return device->getGUID() == _guid;
  return false;
}

void tMIO_GUIDIdentifier::writeExternal(nQoORB100::iExternalOutputStream& stream,
                                        int& status) const {
  if (status < 0) return;
  stream.writeU32(0, status);
  _guid.writeExternal(stream, status);
}

void tMIO_GUIDIdentifier::readExternal(nQoORB100::iExternalInputStream& stream, int& status) {
  if (status < 0) return;
  const uint32_t extraFields = stream.readU32(status);
  for (uint32_t field = 0; field < extraFields && status >= 0; ++field) stream.readU32(status);
  _guid.readExternal(stream, status);
}

}  // namespace nQoUdR100
