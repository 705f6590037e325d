// A reportable attribute id (property 43 of a conflicting-attributes
// description).
#pragma once

#include <cstdint>

#include "mdbg/iVariantReportable.h"

namespace nQoMDBG100 {

class tPropertyIDReportable : public iVariantReportable {
 public:
  static void* ___classID;
  explicit tPropertyIDReportable(uint32_t id) : _id(id) {}
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tObject* clone(int& status) const override;

  uint32_t getValue() const { return _id; }

 private:
  uint32_t _id;
};

}  // namespace nQoMDBG100
