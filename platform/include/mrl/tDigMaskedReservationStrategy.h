// Lines of a digital port reserved by mask: two 32-bit state words hold the
// lines taken. A request whose lines are free takes them; one that asks for a
// taken line gets 0 with -50103; an identifier that is not a masked
// identifier gets 0 with -89000. Release frees the identifier's lines.
#pragma once

#include "mrl/iReservationStrategy.h"

namespace nQoCDR110 {

class tDigMaskedReservationStrategy : public nQoMRL100::iReservationStrategy {
 public:
  uint32_t reserve(const nQoMRL100::iResourceIdentifier* identifier,
                   nQoMDBG100::tStatus2& status) override;
  void release(const nQoMRL100::iResourceIdentifier* identifier,
               nQoMDBG100::tStatus2& status) override;
  uint32_t getStateWord(uint32_t word) const { return _taken[word & 1]; }

 private:
  uint32_t _taken[2] = {0, 0};
};

}  // namespace nQoCDR110
