#include "primitives/dio/tTavikTESKImmedDigPrimitive.h"

#include "primitives/dio/teskControl.h"

namespace nQoUdP100 {

tTavikTESKImmedDigPrimitive::tTavikTESKImmedDigPrimitive(nQoUdRLP100::nTavik::tTavik& map,
                                                         nQoMDBG100::tStatus2& status)
    : _map(map) {
  if (status.isFatal()) return;
  _map.Write_0011.writeRegister(1, &status, 0);
  changeTESKControl(_map, kTESKLine1, 0, status);
  changeTESKControl(_map, kTESKLine2, 0, status);
}

uint32_t tTavikTESKImmedDigPrimitive::readLines(uint32_t mask, uint32_t* value,
                                                nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return 0;
  *value = 0;
  if ((mask & 0x10) != 0 && (_map.Read_0009.refresh(&status) & 1) != 0) *value |= 0x10;
  const uint32_t control = _map.TESK_Control.getRegister();
  if ((mask & 0x04) != 0 && (control & kTESKLine2) != 0) *value |= 0x04;
  if ((mask & 0x02) != 0 && (control & kTESKLine1) != 0) *value |= 0x02;
  return 1;
}

uint32_t tTavikTESKImmedDigPrimitive::writeLines(uint32_t mask, uint32_t value,
                                                 nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return 0;
  if ((mask & 0x01) != 0) _map.Write_0011.writeRegister(value & 1, &status, 0);
  if ((mask & 0x02) != 0)
    changeTESKControl(_map, kTESKLine1, (value & 0x02) != 0 ? kTESKLine1 : 0, status);
  if ((mask & 0x04) != 0)
    changeTESKControl(_map, kTESKLine2, (value & 0x04) != 0 ? kTESKLine2 : 0, status);
  return 1;
}

}  // namespace nQoUdP100
