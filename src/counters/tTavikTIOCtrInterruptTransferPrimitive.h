// The counters' interrupt transfer primitive: the owner that the counter
// interrupt dispatcher records. Its tap acknowledges and asks for nothing more.
#pragma once

#include <cstdint>

#include "counters/iTIOCtrInterruptTap.h"
#include "frame/tModuleObject.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace nQoUdR100 {

class tTavikTIOCtrInterruptTransferPrimitive : public tModuleObject,
                                               public nQoTIO100::iTIOCtrInterruptTap {
 public:
  explicit tTavikTIOCtrInterruptTransferPrimitive(nQoUdRLP100::tTavikInterruptDispatcher* board)
      : _board(board) {}

  uint32_t handle() override { return kAcknowledge; }
  nQoUdRLP100::tTavikInterruptDispatcher* board() const { return _board; }

 private:
  nQoUdRLP100::tTavikInterruptDispatcher* _board;
};

}  // namespace nQoUdR100
