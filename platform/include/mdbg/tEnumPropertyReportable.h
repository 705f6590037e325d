// A reportable enumerated value together with the attribute it belongs to.
#pragma once

#include <cstdint>

#include "mdbg/iVariantReportable.h"
#include "mdbg/tStatus2.h"

namespace nQoMDBG100 {

class tEnumPropertyReportable : public iVariantReportable {
 public:
  static void* ___classID;
  // Nothing is reported: the status is taken for the form only.
  tEnumPropertyReportable(uint32_t attributeID, int32_t value, tStatus2& status);
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tObject* clone(int& status) const override;

  uint32_t getAttributeID() const { return _attributeID; }
  int32_t getValue() const { return _value; }

 private:
  uint32_t _attributeID;
  int32_t _value;
};

}  // namespace nQoMDBG100
