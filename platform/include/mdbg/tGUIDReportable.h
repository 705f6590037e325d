// A reportable device GUID (property 1 of a description).
#pragma once

#include "mdbg/iVariantReportable.h"
#include "orb/tGUID.h"

namespace nQoMDBG100 {

class tGUIDReportable : public iVariantReportable {
 public:
  static void* ___classID;
  explicit tGUIDReportable(const nQoORB100::tGUID& value) : _value(value) {}
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tObject* clone(int& status) const override;

  const nQoORB100::tGUID& getValue() const { return _value; }

 private:
  nQoORB100::tGUID _value;
};

}  // namespace nQoMDBG100
