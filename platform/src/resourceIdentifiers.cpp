// Resource identifiers: the interface, device GUIDs, general identifiers and
// masked digital lines.
#include <cstring>

#include "apal/nQoAPALMemory.h"
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

tGeneralIdentifier::~tGeneralIdentifier() { _memDelete(_name); }

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

void tGeneralIdentifier::assignName(const char* text) {
  const std::size_t length = text == nullptr ? 0 : std::strlen(text);
  if (length + 1 > _capacity) {
    auto* block = static_cast<char*>(_memNewUsingCRT(length + 1, 0, nullptr));
    if (block == nullptr) {
      _nameAllocationFailed = true;
      return;
    }
    _memDelete(_name);
    _name = block;
    _capacity = length + 1;
  }
  if (length > 0) std::memmove(_name, text, length);
  _name[length] = '\0';
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
