// Reportable values of status descriptions.
#include "apal/nQoAPALMemory.h"
#include "mdbg/tGUIDReportable.h"
#include "mdbg/tStatus2.h"
#include "mdbg/tWideTextReportable.h"

namespace nQoMDBG100 {

namespace {

template <class T>
void* castTo(T* object, void* const* classID) {
  return classID == &T::___classID ? object : nullptr;
}

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
void* tWideTextReportable::___classID = nullptr;

void* iVariantReportable::___CPPKRLDynamicCast(void* const* classID) {
  void* self = castTo(this, classID);
  return self != nullptr ? self : nQoORB100::tObject::___CPPKRLDynamicCast(classID);
}

const void* iVariantReportable::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<iVariantReportable*>(this)->___CPPKRLDynamicCast(classID);
}

void* iVariantReportable::operator new(std::size_t size) noexcept {
  return _memNewUsingCRT(size, 0, nullptr);
}

void iVariantReportable::operator delete(void* block) noexcept { _memDelete(block); }

void* tGUIDReportable::___CPPKRLDynamicCast(void* const* classID) {
  void* self = castTo(this, classID);
  return self != nullptr ? self : iVariantReportable::___CPPKRLDynamicCast(classID);
}

const void* tGUIDReportable::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tGUIDReportable*>(this)->___CPPKRLDynamicCast(classID);
}

nQoORB100::tObject* tGUIDReportable::clone(int& status) const { return copyOf(*this, status); }

tWideTextReportable::tWideTextReportable(const wchar_t* text, std::size_t length)
    : _text(text, length) {}

void* tWideTextReportable::___CPPKRLDynamicCast(void* const* classID) {
  void* self = castTo(this, classID);
  return self != nullptr ? self : iVariantReportable::___CPPKRLDynamicCast(classID);
}

const void* tWideTextReportable::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tWideTextReportable*>(this)->___CPPKRLDynamicCast(classID);
}

nQoORB100::tObject* tWideTextReportable::clone(int& status) const {
  return copyOf(*this, status);
}

}  // namespace nQoMDBG100
