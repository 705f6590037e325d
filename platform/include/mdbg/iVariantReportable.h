// A value that a status description carries as a property. Reportables are
// copied onto the platform allocator when a description stores them; they
// render themselves as wide text through a translator and compare themselves
// with another reportable.
#pragma once

#include <cstddef>

#include "mdbg/tStatus2.h"
#include "orb/iCloneable.h"

namespace nQoUdR100 {
// The module's wide string (32-bit characters) that reports are appended to.
template <class C>
class tBasicString;
}  // namespace nQoUdR100

namespace nQoMDBG100 {

class iReportableTranslator;

class iVariantReportable : public virtual nQoORB100::iCloneable {
 public:
  static void* ___classID;
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  // Appends the value's text to out. The platform's own reportables append
  // nothing.
  virtual void generateReport(const iReportableTranslator& translator,
                              nQoUdR100::tBasicString<wchar_t>& out, tStatus2& status) const;
  // True when other holds the same value of the same class. The platform's
  // own reportables answer false.
  virtual bool isEquivalent(const iVariantReportable& other, tStatus2& status) const;

  static void* operator new(std::size_t size) noexcept;
  static void operator delete(void* block) noexcept;
};

}  // namespace nQoMDBG100
