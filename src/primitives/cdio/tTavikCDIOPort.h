// One direction of the Tavik chip's CDIO FIFO as the FIFO primitives reach
// it: the CDIO status bits (a 32-bit read of 0x224, kept in the map's copy),
// single-bit commands to tCDIO_Command, the data port at 0x220, the
// direction's nibble of the DMA select register at 0x07 and one bit of its
// mode register.
//
//   tTavikCDIOPort port(map, kCDIDirection);
//   if (port.statusBit(port.direction().emptyBit, status) == 0) port.readWord(status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/cdio/tTavikCDIODispatcher.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

struct tCDIODirection {
  uint8_t emptyBit;
  uint8_t fifoBit;  // the FIFO condition, the FIFO interrupt source's bit
  uint8_t overrunBit;
  uint8_t bufferErrorBit;
  uint32_t startCommand;
  uint32_t stopCommand;
  uint32_t resetCommand;
  uint8_t selectShift;  // of the direction's nibble at 0x07
};

// clang-format off
inline constexpr tCDIODirection kCDIDirection{
    .emptyBit = 16,
    .fifoBit = kCDIOSources[kCDIFIFOSource].statusBit,
    .overrunBit = kCDIOSources[kCDIOverrunSource].statusBit,
    .bufferErrorBit = kCDIOSources[kCDIBufferErrorSource].statusBit,
    .startCommand = 0x8, .stopCommand = 0x4, .resetCommand = 0x20,
    .selectShift = 0};
inline constexpr tCDIODirection kCDODirection{
    .emptyBit = 0,
    .fifoBit = kCDIOSources[kCDOFIFOSource].statusBit,
    .overrunBit = kCDIOSources[kCDOOverrunSource].statusBit,
    .bufferErrorBit = kCDIOSources[kCDOBufferErrorSource].statusBit,
    .startCommand = 0x2, .stopCommand = 0x1, .resetCommand = 0x10,
    .selectShift = 4};
// clang-format on

class tTavikCDIOPort {
 public:
  // The DMA select register's lock group.
  static constexpr uint32_t kSelectGroup = 21;
  static constexpr uint32_t kChannelCount = 16;

  tTavikCDIOPort(nQoUdRLP100::nTavik::tTavik* map, const tCDIODirection& direction)
      : _map(map), _direction(direction) {}

  const tCDIODirection& direction() const { return _direction; }
  nQoUdRLP100::nTavik::tTavik* map() const { return _map; }

  // 0 without a read on an error status.
  uint32_t statusBit(unsigned bit, nQoMDBG100::tStatus2& status);
  // Nothing on an error status.
  void command(uint32_t value, nQoMDBG100::tStatus2& status);
  uint32_t readWord(nQoMDBG100::tStatus2& status);
  void writeWord(uint32_t word, nQoMDBG100::tStatus2& status);

  // Under the select group's lock: the channel's code into the direction's
  // nibble of the soft copy, and the byte written whether or not it changed.
  // A channel above 15 is kRefused and writes nothing.
  void linkDMAChannel(uint32_t channel, nQoMDBG100::tStatus2& status);
  void unlinkDMAChannel(nQoMDBG100::tStatus2& status);

  // Bit 'bit' of the mode register := value's low bit, flushed (forced or when
  // dirty).
  template <class tMode>
  void setModeBit(tMode& mode, unsigned bit, uint32_t value, bool force,
                  nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    mode.setBits(1u << bit, bit, value & 1, &status);
    mode.flush(&status, force ? 1 : 0);
  }

 private:
  void selectNibble(uint8_t code, nQoMDBG100::tStatus2& status);

  nQoUdRLP100::nTavik::tTavik* _map;
  const tCDIODirection& _direction;
};

}  // namespace nQoUdP100
