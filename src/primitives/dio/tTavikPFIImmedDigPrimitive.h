// The 16 PFI terminals as static lines: read from 0x1DC, written through the
// output latch 0x1DE byte-wise, directions in tIO_Bidirection_Pin (0x172,
// also byte-wise) under the map's pin-direction lock (group 14). A line made
// to drive is first routed to the output latch.
//
//   tTavikPFIImmedDigPrimitive pfi(map, status);
//   pfi.writeLines(0x0100, 0x0100, status);   // 8-bit 0x1DF <- 0x01
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/dio/iImmedDigPrimitive.h"
#include "primitives/dio/tDigLock.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tTavikPFIImmedDigPrimitive : public iImmedDigPrimitive, public nQoUdR100::tModuleObject {
 public:
  tTavikPFIImmedDigPrimitive(nQoUdRLP100::nTavik::tTavik& map, nQoMDBG100::tStatus2& status);

  uint32_t readLines(uint32_t mask, uint32_t* value, nQoMDBG100::tStatus2& status) override;
  uint32_t writeLines(uint32_t mask, uint32_t value, nQoMDBG100::tStatus2& status) override;
  // Direction 0 or 1; any other direction is refused with -50150.
  void setLineMode(uint32_t mask, int32_t direction, nQoMDBG100::tStatus2& status) override;
  uint32_t readLinesUnlocked(uint32_t mask, uint32_t* value, nQoMDBG100::tStatus2& status) override;
  // Two records in a row: PFI 0-7, then PFI 8-15 (8-bit masks).
  void applyLineState(const tLineState* state, int32_t useRecord,
                      nQoMDBG100::tStatus2& status) override;

 private:
  nQoUdRLP100::nTavik::tTavik& _map;
  uint32_t _outputValue = 0;
  tDigLock _writeLock;
  tDigLock _readLock;
};

}  // namespace nQoUdP100
