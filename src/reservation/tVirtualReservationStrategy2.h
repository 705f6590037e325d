// Adapts a platform strategy with two 32-bit state words (the reserved-line
// state of a digital port) to iReservationStrategy2, so that several pools
// can share it:
//
//   tVirtualReservationStrategy2<nQoCDR110::tDigMaskedReservationStrategy> port;
#pragma once

#include "reservation/iReservationStrategy2.h"

namespace nQoUdR100 {

template <class S>
class tVirtualReservationStrategy2 : public iReservationStrategy2 {
 public:
  uint32_t reserve(const nQoMRL100::iResourceIdentifier* identifier,
                   nQoMDBG100::tStatus2& status) override {
    return _strategy.reserve(identifier, status);
  }
  void release(const nQoMRL100::iResourceIdentifier* identifier,
               nQoMDBG100::tStatus2& status) override {
    _strategy.release(identifier, status);
  }
  // True when the two state words are not both 0.
  bool isPartiallyReserved(nQoMDBG100::tStatus2&) const override {
    return _strategy.getStateWord(0) != 0 || _strategy.getStateWord(1) != 0;
  }

 private:
  S _strategy;
};

}  // namespace nQoUdR100
