#include "primitives/ao/tTavikAOGroundRefPrimitive.h"

namespace nQoUdP100 {

tTavikAOGroundRefPrimitive::tTavikAOGroundRefPrimitive(const tAOResources& resources,
                                                       nQoMDBG100::tStatus2& status)
    : _map(resources.map) {
  if (status.isFatal()) return;
  disable(status);
  _state.setUncommitted();
}

void tTavikAOGroundRefPrimitive::change(uint32_t on, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _map->Write_00A3.setBits(0x1, 0, on, &status);
  _map->Write_00A3.flush(&status, 0);
  _map->flushBus(&status);
  _enabled = on;
}

}  // namespace nQoUdP100
