// The 16 PFI terminals as static lines: read from 0x1DC, written through the
// output latch 0x1DE byte-wise, directions in tIO_Bidirection_Pin (0x172,
// also byte-wise) under the map's pin-direction lock (group 14). A line made
// to drive is first routed to the output latch.
//
//   tTavikPFIImmedDigPrimitive pfi(map, status);
//   pfi.writeLines(0x0100, 0x0100, status);   // 8-bit 0x1DF <- 0x01
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/dio/tStaticLines.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

struct tPFIRow {
  static auto& input(nQoUdRLP100::nTavik::tTavik& map) { return map.Read_01DC; }
  static auto& latch(nQoUdRLP100::nTavik::tTavik& map) { return map.Write_01DE; }
  static constexpr uint32_t kLines = 0xFFFF;
  static constexpr bool kByteWise = true;
};

class tTavikPFIImmedDigPrimitive : public tStaticLines<tPFIRow> {
 public:
  tTavikPFIImmedDigPrimitive(nQoUdRLP100::nTavik::tTavik& map, nQoMDBG100::tStatus2& status)
      : tStaticLines(map, status, "tTavikPFIImmedDigPrimitive") {}

  // Direction 0 or 1; any other direction is refused with -50150.
  void setLineMode(uint32_t mask, int32_t direction, nQoMDBG100::tStatus2& status) override;
  // Two records in a row: PFI 0-7, then PFI 8-15 (8-bit masks).
  void applyLineState(const tLineState* state, int32_t useRecord,
                      nQoMDBG100::tStatus2& status) override;
};

}  // namespace nQoUdP100
