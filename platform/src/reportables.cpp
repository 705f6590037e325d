// Reportable values of status descriptions.
#include "apal/nQoAPALMemory.h"
#include "mdbg/iReportableFormatter.h"
#include "mdbg/tEnumPropertyReportable.h"
#include "mdbg/tGUIDReportable.h"
#include "mdbg/tPropertyIDReportable.h"
#include "mdbg/tStatus2.h"
#include "orb/castToClass.h"

namespace nQoMDBG100 {

namespace {

// A copy of the object on the platform allocator; null and -50352 when none.
template <class T>
nQoORB100::tObject* copyOf(const T& object, int& status) {
  if (status < 0) return nullptr;
  T* copy = new T(object);
  if (copy == nullptr && takesCode(status, -50352)) status = -50352;
  return copy;
}

}  // namespace

void* iVariantReportable::___classID = nullptr;
void* tGUIDReportable::___classID = nullptr;
void* tPropertyIDReportable::___classID = nullptr;
void* tEnumPropertyReportable::___classID = nullptr;
void* iReportableFormatter::___classID = nullptr;

void* iVariantReportable::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<iVariantReportable, nQoORB100::tObject>(this, classID);
}
const void* iVariantReportable::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<iVariantReportable*>(this)->___CPPKRLDynamicCast(classID);
}

void iVariantReportable::generateReport(const iReportableTranslator&,
                                        nQoUdR100::tBasicString<wchar_t>&, tStatus2&) const {}

bool iVariantReportable::isEquivalent(const iVariantReportable&, tStatus2&) const { return false; }

void* iVariantReportable::operator new(std::size_t size) noexcept {
  return _memNewUsingCRT(size, 0, nullptr);
}

void iVariantReportable::operator delete(void* block) noexcept { _memDelete(block); }

void* tGUIDReportable::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tGUIDReportable, iVariantReportable>(this, classID);
}
const void* tGUIDReportable::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tGUIDReportable*>(this)->___CPPKRLDynamicCast(classID);
}
nQoORB100::tObject* tGUIDReportable::clone(int& status) const { return copyOf(*this, status); }

void* tPropertyIDReportable::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tPropertyIDReportable, iVariantReportable>(this, classID);
}
const void* tPropertyIDReportable::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tPropertyIDReportable*>(this)->___CPPKRLDynamicCast(classID);
}
nQoORB100::tObject* tPropertyIDReportable::clone(int& status) const {
  return copyOf(*this, status);
}

tEnumPropertyReportable::tEnumPropertyReportable(uint32_t attributeID, int32_t value, tStatus2&)
    : _attributeID(attributeID), _value(value) {}
void* tEnumPropertyReportable::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tEnumPropertyReportable, iVariantReportable>(this, classID);
}
const void* tEnumPropertyReportable::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tEnumPropertyReportable*>(this)->___CPPKRLDynamicCast(classID);
}
nQoORB100::tObject* tEnumPropertyReportable::clone(int& status) const {
  return copyOf(*this, status);
}

void* iReportableFormatter::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<iReportableFormatter, nQoORB100::tObject>(this, classID);
}
const void* iReportableFormatter::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<iReportableFormatter*>(this)->___CPPKRLDynamicCast(classID);
}

}  // namespace nQoMDBG100
