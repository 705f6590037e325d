// The platform's pool of an immediate digital primitive: one holder at a
// time.
#pragma once

#include "mrl/iLeafResourcePool.h"
#include "mrl/iTypeSafeResource.h"
#include "mrl/tExclusiveReservationStrategy.h"

namespace nQoCDP100 {
class iImmedDigPrim;
}

namespace nQoCDR110 {

class tImmedDigResource : public nQoMRL100::iLeafResourcePool,
                          public nQoMRL120::iTypeSafeResource<nQoCDP100::iImmedDigPrim*> {
 public:
  static void* ___classID;
  explicit tImmedDigResource(nQoCDP100::iImmedDigPrim* primitive) : iTypeSafeResource(primitive) {}
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  bool isPartiallyReserved(nQoMDBG100::tStatus2& status) const override;
  uint32_t reserve(const nQoMRL100::iResourceIdentifier* identifier,
                   nQoMDBG100::tStatus2& status) override;
  void release(const nQoMRL100::iResourceIdentifier* identifier,
               nQoMDBG100::tStatus2& status) override;

 private:
  nQoMRL100::tExclusiveReservationStrategy _strategy;
};

}  // namespace nQoCDR110
