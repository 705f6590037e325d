// The EEPROM of the board: its bytes at eepromBase + address of the board
// window (bus window 1, 3), reachable once the bus-interface window (1, 2)
// has its window controls 0xC0, 0xC4 and 0xF4 switched and the enable
// register (0x30 of a window the bus lends as 3, 1) holds 15. Writes also
// need the unlock word 0x5A17 at 0x82 and wait for the busy bit (bit 0 of
// 0x84 of the map) to clear.
//
//   tTavikEEPROM eeprom(map, bus, 1024, 1024, 0, 0, status);   // shadow read
//   eeprom.write(5, 2, bytes, status, 0);
//   eeprom.enableWrite(status);
//   eeprom.commit(status);
//   eeprom.disableAccess(status);
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "mdbg/tStatus2.h"
#include "primitives/eeprom/tBaseTavikEEPROM.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tTavikEEPROM final : public tBaseTavikEEPROM {
 public:
  static constexpr uint32_t kWriteFlags = 0x40000000;
  static constexpr uint32_t kReadFlags = 0xC0000000;
  static constexpr uint32_t kUnlock = 0x5A17;
  static constexpr uint32_t kBusyWaits = 51;

  // size kSizeFromBoard: the 16-bit value at sizeLocation of the EEPROM.
  // noHardware: a shadow of zeros and no hardware access at all.
  tTavikEEPROM(nQoUdRLP100::nTavik::tTavik* map, iBus* bus, uint32_t eepromBase, uint32_t size,
               uint32_t sizeLocation, uint32_t noHardware, nQoMDBG100::tStatus2& status);
  // Closes access left open, then gives back both windows.
  ~tTavikEEPROM() override;

  void enableRead(nQoMDBG100::tStatus2& status) override;
  void enableWrite(nQoMDBG100::tStatus2& status) override;
  void disableAccess(nQoMDBG100::tStatus2& status) override;

 private:
  uint8_t readByte(uint32_t address, nQoMDBG100::tStatus2& status) override;
  // Then waits for the busy bit with the windows restored: kBoardTimeout
  // when it is still set after 51 waits of 1 ms.
  void writeByte(uint32_t address, uint8_t value, nQoMDBG100::tStatus2& status) override;
  // A window control's own value, held from the switch that read it until a
  // restore has written it back: a control whose value could not be read is
  // neither switched nor restored, and a control whose restore failed is not
  // read again (it still holds the switched value).
  struct tSavedControl {
    uint32_t offset;
    uint32_t value = 0;
    bool held = false;
  };
  // Switches the controls whose values are held; a failed access fails the
  // switch but not the accesses of the other controls.
  void switchWindows(nQoMDBG100::tStatus2& status);
  void restoreWindows(nQoMDBG100::tStatus2& status);
  // True when the control's own value is held, read now if it was not.
  bool save(tSavedControl& control, nQoMDBG100::tStatus2& status);
  void restore(tSavedControl& control, nQoMDBG100::tStatus2& status);
  void writeEnable(uint32_t value, nQoMDBG100::tStatus2& status);
  void waitWhileBusy(nQoMDBG100::tStatus2& status);

  nQoUdRLP100::nTavik::tTavik* _map;
  iBus* _bus;
  uint32_t _eepromBase;
  tSavedControl _savedC0{.offset = 0xC0};
  tSavedControl _savedC4{.offset = 0xC4};
  tSavedControl _savedF4{.offset = 0xF4};
  uint32_t _interfaceWindow = 0;
  uint32_t _boardWindow = 0;
  uint32_t _last314 = 0;
};

}  // namespace nQoUdP100
