#include "counters/tTavikTIOCompositeContainer.h"

namespace nQoUdR100 {

tTavikTIOCompositeContainer::tTavikTIOCompositeContainer(uint32_t device,
                                                         nQoUdP100::tTavikBus& board,
                                                         nQoMDBG100::tStatus2& status)
    : _pair(device, kCounterWindow, *board.map(), &status),
      _helper(nQoTIO100::tTIOCtrHelper::kTavikLayout, &_pair),
      _interruptTransfer(board.dispatcher()),
      _dispatcher(board.dispatcher(), &_interruptTransfer, &_helper, status),
      _dma(board.map()) {}

}  // namespace nQoUdR100
