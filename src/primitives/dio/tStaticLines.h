// The locked read and write of a static line group, shared by the port-0 and
// PFI members: each is a row naming its input register, its output latch and
// its lines. readLines reads under readLock; writeLines merges the masked bits
// into the output value under writeLock and writes the latch (a latch the
// chip takes byte-wise gets only the bytes the mask touches).
//
//   struct tPortRow {
//     static auto& input(tTavik& map) { return map.Read_0024; }
//     static auto& latch(tTavik& map) { return map.Write_0024; }
//     static constexpr uint32_t kLines = 0xFFFFFFFF;
//     static constexpr bool kByteWise = false;
//   };
//   class tPort : public tStaticLines<tPortRow> { ... setLineMode, applyLineState ... };
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "primitives/dio/iImmedDigPrimitive.h"
#include "primitives/dio/outputLatch.h"
#include "primitives/dio/tDigLock.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

template <class tRow>
class tStaticLines : public iImmedDigPrimitive, public nQoUdR100::tModuleObject {
 public:
  uint32_t readLines(uint32_t mask, uint32_t* value, nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return 0;
    const tDigLock::tHeld held(_readLock, status);
    return held.taken() ? readLinesUnlocked(mask, value, status) : 0;
  }
  uint32_t readLinesUnlocked(uint32_t mask, uint32_t* value,
                             nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return 0;
    *value = tRow::input(_map).refresh(&status) & tRow::kLines & mask;
    return 1;
  }
  uint32_t writeLines(uint32_t mask, uint32_t value, nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return 0;
    {
      const tDigLock::tHeld held(_writeLock, status);
      if (!held.taken()) return 0;
      _outputValue = ((value & mask) | (_outputValue & ~mask)) & tRow::kLines;
      if constexpr (tRow::kByteWise)
        writeOutputLatchBytes(_map, tRow::latch(_map), mask, _outputValue, status);
      else
        writeOutputLatch(_map, tRow::latch(_map), _outputValue, status);
    }
    return status.isNotFatal() ? 1 : 0;
  }

 protected:
  tStaticLines(nQoUdRLP100::nTavik::tTavik& map, nQoMDBG100::tStatus2& status, const char* source)
      : _map(map), _writeLock(status, {source, 20}), _readLock(status, {source, 21}) {}

  nQoUdRLP100::nTavik::tTavik& _map;
  uint32_t _outputValue = 0;
  tDigLock _writeLock;
  tDigLock _readLock;
};

}  // namespace nQoUdP100
