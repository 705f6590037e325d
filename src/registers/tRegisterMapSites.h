// The status sites of one register map: its component and source file, the
// lines of the map operations and of the tRegister base stubs, the block of
// lines of the field operations (100 lines per register index; a value check
// has one line per field identifier), and the lines of a register of a map
// that was never set up and of a lock that could not be opened.
#pragma once

#include <cstdint>

#include "frame/tStatusSite.h"

namespace nQoUdRLP100 {

enum tFieldCheck : unsigned {
  kSetFieldValue = 0,     // + field identifier
  kWriteFieldValue = 40,  // + field identifier
  kSetFieldId = 80,
  kWriteFieldId,
  kGetFieldId,
  kReadFieldId,
  kOffsetForId,
  kMaskForId,
};
inline constexpr uint32_t kMostFieldIdentifiers = 40;

struct tRegisterMapSites {
  const char* component;
  const char* file;
  unsigned markDirty;
  unsigned markClean;
  unsigned isDirty;
  unsigned flushStub;
  unsigned refreshStub;
  unsigned setFieldStub;
  unsigned writeFieldStub;
  unsigned getFieldStub;
  unsigned readFieldStub;
  unsigned missingRegister;  // a programming list names no register object
  unsigned fieldLines;       // first line of the field-operation blocks
  unsigned unusable = 0;     // kNoDeviceBus: the register's map was never set up
  unsigned lockOpen = 0;     // kOutOfMemory: a lock group's lock could not be opened
  unsigned lockAcquire = 0;  // kOutOfMemory: a selected group has no lock to take
  unsigned softCopy = 0;     // kBadIndex: a soft-copy read names no plain register

  constexpr nQoUdR100::tStatusSite at(unsigned line) const { return {file, line, component}; }
  constexpr nQoUdR100::tStatusSite field(uint32_t index, tFieldCheck check, uint32_t id = 0) const {
    return at(fieldLines + index * 100 + check + id);
  }
};

}  // namespace nQoUdRLP100
