// Reserves terminals as one reserving step: one terminal reservation per set
// bit of its terminal mask, lowest bit first, named through a terminal map,
// all given back again when one fails. Two selectors choose the form of the
// reservation: on the device or through a connection object, plain or flagged.
//
//   tMultiTerminalReserver terminals;
//   terminals.setTerminalMap(&map, status);
//   terminals.setDeviceGUID(device, status);
//   terminals.setTerminals(0x5, status);
//   terminals.setName(L"task", status);
//   terminals.reserveResource(status);
#pragma once

#include <cstdint>

#include "frame/tBasicString.h"
#include "orb/tGUID.h"
#include "reservation/iReserver.h"
#include "reservation/iTerminalMap.h"

namespace nQoMRTB100 {

class tMultiTerminalReserver : public iReserver {
 public:
  // Each setter does nothing when the status holds an error.
  void setTerminalMap(iTerminalMap* map, nQoMDBG100::tStatus2& status) { set(_map, map, status); }
  void setDeviceGUID(const nQoORB100::tGUID& device, nQoMDBG100::tStatus2& status) {
    set(_device, device, status);
  }
  void setTerminals(uint32_t mask, nQoMDBG100::tStatus2& status) { set(_terminals, mask, status); }
  void setTerminalAttribute(uint32_t attribute, nQoMDBG100::tStatus2& status) {
    set(_attribute, attribute, status);
  }
  void setUseFlag(uint32_t useFlag, nQoMDBG100::tStatus2& status) {
    set(_useFlag, useFlag, status);
  }
  void setUseConnection(uint32_t useConnection, nQoMDBG100::tStatus2& status) {
    set(_useConnection, useConnection, status);
  }
  void setConnection(uint64_t connection, nQoMDBG100::tStatus2& status) {
    set(_connection, connection, status);
  }
  // kOutOfMemory when the name cannot be allocated, now or earlier.
  void setName(const wchar_t* name, nQoMDBG100::tStatus2& status);
  void checkAllocation(nQoMDBG100::tStatus2& status) const;

  // The terminals reserved by this object now.
  uint32_t getReservedTerminals() const { return _reserved; }

  // kNullPointer, and no reservation, when terminals are asked for without a
  // map.
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  // Releases every reserved terminal, each on a fresh status merged into the
  // caller's.
  void releaseResource(nQoMDBG100::tStatus2& status) override;

 private:
  template <class T>
  static void set(T& field, const T& value, const nQoMDBG100::tStatus2& status) {
    if (status.isNotFatal()) field = value;
  }

  // False on an error status, and with kNullPointer when the mask has terminals
  // to name but there is no map.
  bool canName(uint32_t mask, nQoMDBG100::tStatus2& status, unsigned line) const;
  void reserveTerminal(const char* terminal, nQoMDBG100::tStatus2& status) const;
  void releaseTerminal(const char* terminal, nQoMDBG100::tStatus2& status) const;

  iTerminalMap* _map = nullptr;
  nQoORB100::tGUID _device;
  uint32_t _terminals = 0;
  uint32_t _attribute = 0;
  nQoUdR100::tWString _name;
  uint32_t _reserved = 0;
  uint32_t _useFlag = 0;
  uint32_t _useConnection = 0;
  uint64_t _connection = 0;
};

}  // namespace nQoMRTB100
