// The status sites of one register map: its component and source file, the
// lines of the map operations and of the tRegister base stubs, and the block of
// lines of the field operations (100 lines per register index; a value check
// has one line per field identifier).
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

  constexpr nQoUdR100::tStatusSite at(unsigned line) const { return {file, line, component}; }
  constexpr nQoUdR100::tStatusSite field(uint32_t index, tFieldCheck check,
                                         uint32_t id = 0) const {
    return at(fieldLines + index * 100 + check + id);
  }
};

}  // namespace nQoUdRLP100
