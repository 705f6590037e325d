// The FIFO-empty event of the CDO FIFO primitive: one observer list and the
// handler pair of the CDO FIFO-empty source. Its handler walks the whole list
// whatever the FIFO's state.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/cdio/tCDIOEvent.h"

namespace nQoUdP100 {

class tCDO_FIFOEmptyObservable {
 public:
  class iCDO_FIFOEmptyObserver {
   public:
    virtual ~iCDO_FIFOEmptyObserver() = default;
    virtual uint32_t handleFIFOEmpty(tCDO_FIFOEmptyObservable* fifo,
                                     nQoMDBG100::tStatus2& status) = 0;
    virtual void handleFIFOEmptySecondary(tCDO_FIFOEmptyObservable* fifo,
                                          nQoMDBG100::tStatus2& status) = 0;
  };

  // Nothing on an error status; a list whose room could not be reserved
  // reports -50352.
  explicit tCDO_FIFOEmptyObservable(nQoMDBG100::tStatus2& status);
  virtual ~tCDO_FIFOEmptyObservable() = default;
  tCDO_FIFOEmptyObservable(const tCDO_FIFOEmptyObservable&) = delete;
  tCDO_FIFOEmptyObservable& operator=(const tCDO_FIFOEmptyObservable&) = delete;

  void addObserver(iCDO_FIFOEmptyObserver* observer, nQoMDBG100::tStatus2& status);
  void removeObserver(iCDO_FIFOEmptyObserver* observer, nQoMDBG100::tStatus2& status);

 protected:
  using tFIFOEmptyEvent =
      tCDIOEvent<tCDO_FIFOEmptyObservable, iCDO_FIFOEmptyObserver,
                 &iCDO_FIFOEmptyObserver::handleFIFOEmpty,
                 &iCDO_FIFOEmptyObserver::handleFIFOEmptySecondary, tWalk::kWholeList>;

  tFIFOEmptyEvent _fifoEmpty;
};

}  // namespace nQoUdP100
