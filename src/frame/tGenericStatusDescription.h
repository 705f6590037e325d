// A property-list status description that carries one text per usage type:
//
//   auto* description = new nQoKABBO_1_0::tGenericStatusDescription;
//   if (description != nullptr) description->set(nQoMSTS100::kUsageResourceName, "PFI3");
//
// Failures while filling it go into its own status.
#pragma once

#include "mdbg/tStatus2.h"
#include "mdbg/tStatus2Description.h"
#include "msts/tUsageType.h"

namespace nQoUdR100::nQoKABBO_1_0 {

class tGenericStatusDescription : public nQoMDBG100::tStatus2Description {
 public:
  tGenericStatusDescription() = default;
  ~tGenericStatusDescription() override = default;

  // Stores the UTF-8 text, decoded, as the property of the usage type's id.
  // A stored error in the own status leaves the text empty; a conversion or
  // allocation failure goes into the own status.
  void set(nQoMSTS100::tUsageType usage, const char* text);

 private:
  nQoMDBG100::tStatus2 _status;
};

}  // namespace nQoUdR100::nQoKABBO_1_0
