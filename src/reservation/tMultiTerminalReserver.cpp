#include "reservation/tMultiTerminalReserver.h"

#include "frame/statusCodes.h"
#include "mru/tTerminalReservation.h"

namespace nQoMRTB100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoMRU210::tTerminalReservation;
using nQoUdR100::setCode;

constexpr const char kFile[] = "tMultiTerminalReserver";
constexpr unsigned kTerminals = 32;

}  // namespace

void tMultiTerminalReserver::setName(const wchar_t* name, tStatus2& status) {
  if (status.isFatal()) return;
  _name.assign(name);
  _name.checkAllocation(status, {kFile, 30});
}

void tMultiTerminalReserver::checkAllocation(tStatus2& status) const {
  _name.checkAllocation(status, {kFile, 31});
}

bool tMultiTerminalReserver::canName(uint32_t mask, tStatus2& status, unsigned line) const {
  if (status.isFatal()) return false;
  if (mask == 0 || _map != nullptr) return true;
  setCode(status, nQoUdR100::kNullPointer, {kFile, line});
  return false;
}

void tMultiTerminalReserver::reserveResource(tStatus2& status) {
  if (!canName(_terminals, status, 40)) return;
  nQoUdR100::tString terminal;
  for (unsigned i = 0; i < kTerminals && (_terminals >> i) != 0 && status.isNotFatal(); ++i) {
    if ((_terminals >> i & 1) == 0) continue;
    _map->getTerminalName(i, terminal, status);
    terminal.checkAllocation(status, {kFile, 41});
    if (status.isNotFatal()) reserveTerminal(terminal.c_str(), status);
    if (status.isNotFatal()) _reserved |= uint32_t{1} << i;
  }
  if (status.isFatal()) {
    tStatus2 local;
    releaseResource(local);
  }
}

void tMultiTerminalReserver::releaseResource(tStatus2& status) {
  if (!canName(_reserved, status, 50)) return;
  tStatus2 local;
  for (unsigned i = 0; i < kTerminals && (_reserved >> i) != 0; ++i) {
    if ((_reserved >> i & 1) == 0) continue;
    nQoUdR100::tString terminal;  // its own flag: one failed name spoils no other
    _map->getTerminalName(i, terminal, local);
    terminal.checkAllocation(local, {kFile, 51});
    if (local.isNotFatal()) releaseTerminal(terminal.c_str(), local);
    _reserved &= ~(uint32_t{1} << i);
    status.assign(local);
    local.clear();
  }
}

void tMultiTerminalReserver::reserveTerminal(const char* terminal, tStatus2& status) const {
  const wchar_t* name = _name.c_str();
  if (_useConnection == 0) {
    if (_useFlag == 0)
      tTerminalReservation::reserve(_device, terminal, _attribute, name, status);
    else
      tTerminalReservation::reserveWithFlag(_device, terminal, _attribute, name, status);
  } else if (_useFlag == 0) {
    tTerminalReservation::reserveThrough(_connection, _device, terminal, _attribute, name, status);
  } else {
    tTerminalReservation::reserveThroughWithFlag(_connection, terminal, _attribute, name, status);
  }
}

void tMultiTerminalReserver::releaseTerminal(const char* terminal, tStatus2& status) const {
  const wchar_t* name = _name.c_str();
  if (_useConnection == 0) {
    if (_useFlag == 0)
      tTerminalReservation::release(_device, terminal, status);
    else
      tTerminalReservation::releaseWithFlag(_device, terminal, _attribute, name, status);
  } else if (_useFlag == 0) {
    tTerminalReservation::releaseThrough(_connection, terminal, status);
  } else {
    tTerminalReservation::releaseThroughWithFlag(_connection, terminal, _attribute, name, status);
  }
}

}  // namespace nQoMRTB100
