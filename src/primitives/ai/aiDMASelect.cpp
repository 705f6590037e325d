#include "primitives/ai/aiDMASelect.h"

#include "registers/tScopedLockSelection.h"

namespace nQoUdP100 {

using nQoUdRLP100::nTavik::tTavik;

namespace {
constexpr uint8_t kSelectBits = 0x0F;
}  // namespace

void writeAIDMASelect(nQoUdRLP100::nTavik::tTavik& map, uint8_t code,
                      nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  {
    const nQoUdRLP100::tScopedLockSelection<tTavik> locked(map, {kDMASelectLockGroup}, &status);
    if (status.isFatal()) return;
    auto& select = map.Write_0009;
    select.writeRegister(static_cast<uint8_t>((select.getRegister() & ~kSelectBits) | code),
                         &status, 1);
  }
  map.flushBus(&status);
}

}  // namespace nQoUdP100
