#include "primitives/eeprom/tTavikEEPROM.h"

#include <cstring>

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "time/tTimerTimeWaster.h"

namespace nQoUdP100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::onFreshStatus;

constexpr const char kFile[] = "qomiop/tavik/eeprom/tTavikEEPROM";

// Read for the switch of control 0xC4 (the saved controls carry their own
// offsets).
constexpr uint32_t kWindowSource = 0x314;
constexpr uint32_t kEEPROMWindowBits = 0x8A;
// The lent window of the enable register.
constexpr uint32_t kEnableSpace = 3;
constexpr uint32_t kEnableKind = 1;
constexpr uint32_t kEnableRegister = 0x30;
constexpr uint32_t kEnableAll = 15;

}  // namespace

tTavikEEPROM::tTavikEEPROM(nQoUdRLP100::nTavik::tTavik* map, iBus* bus, uint32_t eepromBase,
                           uint32_t size, uint32_t sizeLocation, uint32_t noHardware,
                           tStatus2& status)
    : tBaseTavikEEPROM(size, noHardware, status), _map(map), _bus(bus), _eepromBase(eepromBase) {
  if (status.isFatal()) return;
  if (noHardware != 0) {
    if (size == kSizeFromBoard) allocate(1024, status);
    return;
  }
  if (_map == nullptr || _bus == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kFile, 58});
    return;
  }
  _interfaceWindow = _bus->openSubWindow(1, 2, 0, &status.code);
  _boardWindow = _bus->openSubWindow(1, 3, 0, &status.code);
  if (!status.isFatal() && (_interfaceWindow == 0 || _boardWindow == 0))
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, 64});
  enableRead(status);
  if (size == kSizeFromBoard && !status.isFatal())
    allocate(_bus->read16(_boardWindow, _eepromBase + sizeLocation, kReadFlags, &status.code),
             status);
  for (uint32_t at = 0; at < _size && !status.isFatal(); ++at) _shadow[at] = readByte(at, status);
  tStatus2 close;
  disableAccess(close);
  status.assign(close);
}

// Access left open (a teardown under a task that opened it) is closed by its
// records first: the window controls go back, the EEPROM is locked and its
// enable cleared.
tTavikEEPROM::~tTavikEEPROM() {
  tStatus2 closed;
  disableAccess(closed);
  if (_interfaceWindow != 0) _bus->releaseSubWindow(_interfaceWindow);
  if (_boardWindow != 0) _bus->releaseSubWindow(_boardWindow);
}

void tTavikEEPROM::enableRead(tStatus2& status) {
  if (status.isFatal() || _accessState <= kWrite) return;
  if (_noHardware == 0) {
    switchWindows(status);
    writeEnable(kEnableAll, status);
  }
  _accessState = kRead;
}

void tTavikEEPROM::enableWrite(tStatus2& status) {
  if (status.isFatal() || _accessState == kWrite) return;
  if (_noHardware == 0) {
    _map->Write_0082.writeRegister(kUnlock, &status, 1);
    if (_accessState == kClosed) switchWindows(status);
    writeEnable(kEnableAll, status);
  }
  _accessState = kWrite;
}

// Each step on a status of its own: a failed restore still locks the
// EEPROM and clears the enable.
void tTavikEEPROM::disableAccess(tStatus2& status) {
  if (status.isFatal() || _accessState == kClosed) return;
  if (_noHardware == 0) {
    onFreshStatus(status, [&](tStatus2& s) { restoreWindows(s); });
    if (_accessState == kWrite)
      onFreshStatus(status, [&](tStatus2& s) { _map->Write_0082.writeRegister(0, &s, 1); });
    onFreshStatus(status, [&](tStatus2& s) { writeEnable(0, s); });
  }
  _accessState = kClosed;
}

uint8_t tTavikEEPROM::readByte(uint32_t address, tStatus2& status) {
  if (status.isFatal() || _noHardware != 0) return 0;
  return static_cast<uint8_t>(
      _bus->read8(_boardWindow, _eepromBase + address, kReadFlags, &status.code));
}

void tTavikEEPROM::writeByte(uint32_t address, uint8_t value, tStatus2& status) {
  if (status.isFatal() || _noHardware != 0) return;
  _bus->write8(_boardWindow, _eepromBase + address, value, kWriteFlags, &status.code);
  // The windows are restored while the EEPROM is busy and switched again for
  // the next byte, each on a status of its own, also after a failed write.
  onFreshStatus(status, [&](tStatus2& s) { restoreWindows(s); });
  waitWhileBusy(status);
  onFreshStatus(status, [&](tStatus2& s) { switchWindows(s); });
}

void tTavikEEPROM::waitWhileBusy(tStatus2& status) {
  for (uint32_t waits = 0; !status.isFatal(); ++waits) {
    if ((_map->Read_0084.refresh(&status) & 1) == 0) return;
    if (waits == kBusyWaits) {
      nQoUdR100::setCode(status, nQoUdR100::kBoardTimeout, {kFile, 148});
      return;
    }
    tTimerTimeWasterSleep().sleep(1, kTimerTimeUnitMillisecond, &status.code);
  }
}

void tTavikEEPROM::switchWindows(tStatus2& status) {
  if (status.isFatal()) return;
  int* code = &status.code;
  if (save(_savedC0, status))
    _bus->write32(_interfaceWindow, _savedC0.offset, 0, kWriteFlags, code);
  const bool savedC4 = save(_savedC4, status);
  int source = 0;
  const uint32_t windowSource = _bus->read32(_interfaceWindow, kWindowSource, kReadFlags, &source);
  nQoUdR100::mergeCode(*code, source);
  if (source >= 0) _last314 = windowSource;
  if (savedC4 && source >= 0)
    _bus->write32(_interfaceWindow, _savedC4.offset, _last314 | kEEPROMWindowBits, kWriteFlags,
                  code);
  if (save(_savedF4, status))
    _bus->write32(_interfaceWindow, _savedF4.offset, 0, kWriteFlags, code);
  _bus->flush(code);
}

void tTavikEEPROM::restoreWindows(tStatus2& status) {
  if (status.isFatal()) return;
  restore(_savedC4, status);
  restore(_savedC0, status);
  restore(_savedF4, status);
  _bus->flush(&status.code);
}

bool tTavikEEPROM::save(tSavedControl& control, tStatus2& status) {
  if (control.held) return true;
  int code = 0;
  const uint32_t value = _bus->read32(_interfaceWindow, control.offset, kReadFlags, &code);
  nQoUdR100::mergeCode(status.code, code);
  if (code < 0) return false;
  control.value = value;
  control.held = true;
  return true;
}

void tTavikEEPROM::restore(tSavedControl& control, tStatus2& status) {
  if (!control.held) return;
  int code = 0;
  _bus->write32(_interfaceWindow, control.offset, control.value, kWriteFlags, &code);
  nQoUdR100::mergeCode(status.code, code);
  if (code >= 0) control.held = false;
}

void tTavikEEPROM::writeEnable(uint32_t value, tStatus2& status) {
  if (status.isFatal()) return;
  uint32_t window = _bus->openSubWindow(kEnableSpace, kEnableKind, 0, &status.code);
  if (window == 0) return;
  _bus->write32(window, kEnableRegister, value, kWriteFlags, &status.code);
  _bus->releaseSubWindow(window);
}

}  // namespace nQoUdP100
