// Resource identifiers: the interface, device GUIDs, general identifiers and
// masked digital lines.
#include <cstring>
#include <utility>

#include "mrl/tGUIDIdentifier.h"
#include "mrl/tGeneralIdentifier.h"
#include "mrl/tTESKMaskedIdentifier.h"
#include "orb/castToClass.h"

namespace {

template <class T>
const T* castOther(const nQoMRL100::iResourceIdentifier& other) {
  return static_cast<const T*>(other.___CPPKRLDynamicCast(&T::___classID));
}

uint64_t hashGUID(const nQoORB100::tGUID& guid) { return guid.high ^ guid.low; }

}  // namespace

namespace nQoMRL100 {

void* iResourceIdentifier::___classID = nullptr;
void* tGUIDIdentifier::___classID = nullptr;
void* tGeneralIdentifier::___classID = nullptr;

void* iResourceIdentifier::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<iResourceIdentifier, nQoORB100::tObject>(this, classID);
}
const void* iResourceIdentifier::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<iResourceIdentifier*>(this)->___CPPKRLDynamicCast(classID);
}

void* tGUIDIdentifier::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tGUIDIdentifier, iResourceIdentifier>(this, classID);
}
const void* tGUIDIdentifier::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tGUIDIdentifier*>(this)->___CPPKRLDynamicCast(classID);
}

uint64_t tGUIDIdentifier::hash() const { return hashGUID(_guid); }

bool tGUIDIdentifier::isEqual(const iResourceIdentifier& other) const {
  const tGUIDIdentifier* same = castOther<tGUIDIdentifier>(other);
  return same != nullptr && same->_guid == _guid;
}

tGeneralIdentifier::~tGeneralIdentifier() = default;

void* tGeneralIdentifier::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tGeneralIdentifier, iResourceIdentifier>(this, classID);
}
const void* tGeneralIdentifier::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tGeneralIdentifier*>(this)->___CPPKRLDynamicCast(classID);
}

uint64_t tGeneralIdentifier::hash() const {
  uint64_t value = hashGUID(_deviceGUID) ^ _index;
  for (const char* c = getString(); *c != '\0'; ++c) value = value * 31 + static_cast<uint8_t>(*c);
  return value;
}

bool tGeneralIdentifier::isEqual(const iResourceIdentifier& other) const {
  const tGeneralIdentifier* same = castOther<tGeneralIdentifier>(other);
  return same != nullptr && same->_deviceGUID == _deviceGUID && same->_index == _index &&
         std::strcmp(same->getString(), getString()) == 0;
}

tGeneralIdentifier& tGeneralIdentifier::operator=(const tGeneralIdentifier& other) {
  if (this == &other) return *this;
  _deviceGUID = other._deviceGUID;
  _name = other._name;
  _index = other._index;
  _subIdentifier = other._subIdentifier;
  return *this;
}

void tGeneralIdentifier::readExternal(nQoORB100::iExternalInputStream& stream, int& status) {
  if (status < 0) return;
  nQoORB100::tGUID guid;
  guid.readExternal(stream, status);
  nQoORB100::tNarrowString name = stream.readString(status);
  const uint32_t index = stream.readU32(status);
  if (status < 0) return;
  _name = std::move(name);
  _deviceGUID = guid;
  _index = index;
}

void tGeneralIdentifier::writeExternal(nQoORB100::iExternalOutputStream& stream,
                                       int& status) const {
  if (status < 0) return;
  _deviceGUID.writeExternal(stream, status);
  stream.writeString(_name, status);
  stream.writeU32(_index, status);
}

void tGeneralIdentifier::assignName(const char* text) {
  _name.assign(text, text == nullptr ? 0 : std::strlen(text));
}

}  // namespace nQoMRL100

namespace nQoCDR100 {

void* tTESKMaskedIdentifier::___classID = nullptr;

void* tTESKMaskedIdentifier::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tTESKMaskedIdentifier, nQoMRL100::iResourceIdentifier>(this,
                                                                                       classID);
}
const void* tTESKMaskedIdentifier::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tTESKMaskedIdentifier*>(this)->___CPPKRLDynamicCast(classID);
}

uint64_t tTESKMaskedIdentifier::hash() const { return (uint64_t{_lines[1]} << 32) | _lines[0]; }

bool tTESKMaskedIdentifier::isEqual(const nQoMRL100::iResourceIdentifier& other) const {
  const tTESKMaskedIdentifier* same = castOther<tTESKMaskedIdentifier>(other);
  return same != nullptr && same->_lines[0] == _lines[0] && same->_lines[1] == _lines[1];
}

}  // namespace nQoCDR100
