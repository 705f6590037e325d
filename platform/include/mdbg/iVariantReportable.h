// A value that a status description carries as a property. Reportables are
// copied onto the platform allocator when a description stores them.
#pragma once

#include <cstddef>

#include "orb/iCloneable.h"

namespace nQoMDBG100 {

class iVariantReportable : public virtual nQoORB100::iCloneable {
 public:
  static void* ___classID;
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  static void* operator new(std::size_t size) noexcept;
  static void operator delete(void* block) noexcept;
};

}  // namespace nQoMDBG100
