// One holder at a time: a 32-bit state word, 1 while held. A second holder
// gets 0 with -50103; a status that already holds an error gets 0 and changes
// nothing. The identifier is not looked at.
#pragma once

#include "mrl/iReservationStrategy.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoMRL100 {

class tExclusiveReservationStrategy : public iReservationStrategy {
 public:
  uint32_t reserve(const iResourceIdentifier* identifier, nQoMDBG100::tStatus2& status) override;
  void release(const iResourceIdentifier* identifier, nQoMDBG100::tStatus2& status) override;
  uint32_t getState() const { return _state.get(); }

 private:
  tSyncAtomicU32 _state;
};

}  // namespace nQoMRL100
