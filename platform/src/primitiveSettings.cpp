// The settings base and its interface.
#include "mrl/tPrimitiveSettings.h"

namespace nQoMRL100 {

void* iPrimitiveSettings::___classID = nullptr;
void* tPrimitiveSettings::___classID = nullptr;

void* iPrimitiveSettings::___CPPKRLDynamicCast(void* const* classID) {
  if (classID == &___classID) return this;
  if (classID == &nQoORB100::iCloneableExternalizable::___classID)
    return static_cast<nQoORB100::iCloneableExternalizable*>(this);
  if (classID == &nQoORB100::iCloneable::___classID)
    return static_cast<nQoORB100::iCloneable*>(this);
  return nQoORB100::tObject::___CPPKRLDynamicCast(classID);
}

const void* iPrimitiveSettings::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<iPrimitiveSettings*>(this)->___CPPKRLDynamicCast(classID);
}

tPrimitiveSettings::~tPrimitiveSettings() = default;

void* tPrimitiveSettings::___CPPKRLDynamicCast(void* const* classID) {
  return classID == &___classID ? this : iPrimitiveSettings::___CPPKRLDynamicCast(classID);
}

const void* tPrimitiveSettings::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tPrimitiveSettings*>(this)->___CPPKRLDynamicCast(classID);
}

void tPrimitiveSettings::readExternal(nQoORB100::iExternalInputStream& stream, int& status) {
  if (status < 0) return;
  const uint32_t value = stream.readU32(status);
  if (status >= 0) _baseValue = value;
}

void tPrimitiveSettings::writeExternal(nQoORB100::iExternalOutputStream& stream,
                                       int& status) const {
  if (status < 0) return;
  stream.writeU32(_baseValue, status);
}

}  // namespace nQoMRL100
