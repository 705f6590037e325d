// A text that a translator supplies for a list without values.
#pragma once

#include "orb/tObject.h"

namespace nQoMDBG100 {

class iReportableFormatter : public virtual nQoORB100::tObject {
 public:
  static void* ___classID;
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  virtual const wchar_t* getText() const = 0;
};

}  // namespace nQoMDBG100
