#include "primitives/cdio/tTavikCDIOPort.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "primitives/common/dmaChannelSelectCode.h"
#include "registers/tScopedLockSelection.h"

namespace nQoUdP100 {

using nQoUdRLP100::nTavik::tTavik;

uint32_t tTavikCDIOPort::statusBit(unsigned bit, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return 0;
  return (_map->Read_0224.refresh(&status) >> bit) & 1;
}

void tTavikCDIOPort::command(uint32_t value, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _map->CDIO_Command.writeRegister(value, &status);
}

uint32_t tTavikCDIOPort::readWord(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return 0;
  return _map->Read_0220.refresh(&status);
}

void tTavikCDIOPort::writeWord(uint32_t word, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _map->Write_0220.writeRegister(word, &status, 1);
}

void tTavikCDIOPort::linkDMAChannel(uint32_t channel, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (channel >= kChannelCount) {
    nQoUdR100::setCode(status, nQoUdR100::kRefused, {"tTavikCDIOPort", 40});
    return;
  }
  selectNibble(dmaChannelSelectCode(channel), status);
}

void tTavikCDIOPort::unlinkDMAChannel(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  selectNibble(0, status);
}

void tTavikCDIOPort::selectNibble(uint8_t code, nQoMDBG100::tStatus2& status) {
  const nQoUdRLP100::tScopedLockSelection<tTavik> locked(*_map, {kSelectGroup}, &status);
  if (status.isFatal()) return;
  const uint32_t mask = 0xFu << _direction.selectShift;
  const uint32_t soft = _map->Write_0007.getRegister();
  const uint32_t select = (soft & ~mask) | (uint32_t{code} << _direction.selectShift);
  _map->Write_0007.writeRegister(static_cast<uint8_t>(select), &status, 1);
}

}  // namespace nQoUdP100
