// Everything the counters inside a board's Tavik chip need, built for a board
// with counters and handed to the platform's counter classes: the counter-pair
// map over the board window at offset 256 (lent the board map's DMA control
// and interrupt enable registers), the Tavik layout's helper, the interrupt
// transfer primitive, the counter interrupt dispatcher hooked into the board
// dispatcher, and the DMA transfer primitive. Built in that order, each member
// doing nothing once the status holds an error, and torn down in reverse.
//
//   tTavikTIOCompositeContainer counters(deviceId, holder, status);
//   counters.dispatcher().setPrimaryTap(0, &tap);
//   counters.dma().connect(4, 0, status);
#pragma once

#include <cstdint>

#include "counters/tCtrPair.h"
#include "counters/tTIOCtrHelper.h"
#include "counters/tTavikCtrInterruptDispatcher.h"
#include "counters/tTavikTIOCtrInterruptTransferPrimitive.h"
#include "counters/tTavikTIO_DMATransferPrimitive.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "tavik/tTavikBus.h"

namespace nQoUdR100 {

class tTavikTIOCompositeContainer : public tModuleObject {
 public:
  // Where the counters' registers lie in the board window.
  static constexpr uint32_t kCounterWindow = 256;

  tTavikTIOCompositeContainer(uint32_t device, nQoUdP100::tTavikBus& board,
                              nQoMDBG100::tStatus2& status);
  virtual ~tTavikTIOCompositeContainer() = default;
  tTavikTIOCompositeContainer(const tTavikTIOCompositeContainer&) = delete;
  tTavikTIOCompositeContainer& operator=(const tTavikTIOCompositeContainer&) = delete;

  nQoTIO100::tCtrPair& pair() { return _pair; }
  nQoTIO100::tTIOCtrHelper& helper() { return _helper; }
  tTavikTIOCtrInterruptTransferPrimitive& interruptTransfer() { return _interruptTransfer; }
  tTavikCtrInterruptDispatcher& dispatcher() { return _dispatcher; }
  tTavikTIO_DMATransferPrimitive& dma() { return _dma; }

 private:
  nQoTIO100::tCtrPair _pair;
  nQoTIO100::tTIOCtrHelper _helper;
  tTavikTIOCtrInterruptTransferPrimitive _interruptTransfer;
  tTavikCtrInterruptDispatcher _dispatcher;
  tTavikTIO_DMATransferPrimitive _dma;
};

}  // namespace nQoUdR100
