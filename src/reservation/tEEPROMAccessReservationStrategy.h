// One EEPROM user at a time: a reserved flag, 0 when built. A second holder
// gets 0 with kAlreadyReserved; the identifier is not looked at, so every
// identifier competes for the same holder. The flag is a plain word: the broker
// serialises calls on the pool.
#pragma once

#include <cstdint>

#include "mrl/iReservationStrategy.h"

namespace nQoUdR100 {

class tEEPROMAccessReservationStrategy : public nQoMRL100::iReservationStrategy {
 public:
  // 0 and nothing changed when the status holds an error.
  uint32_t reserve(const nQoMRL100::iResourceIdentifier* identifier,
                   nQoMDBG100::tStatus2& status) override;
  // Clears the flag whatever the status and the identifier.
  void release(const nQoMRL100::iResourceIdentifier* identifier,
               nQoMDBG100::tStatus2& status) override;

 private:
  uint32_t _reserved = 0;
};

}  // namespace nQoUdR100
