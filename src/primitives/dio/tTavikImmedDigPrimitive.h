// The 32 static lines of port 0: read from 0x24, written through its output
// latch, directions in tDIO_Direction (0x28) and the drive modes 6 and 7 in
// 0x230 and 0x234. Mode 0 makes lines inputs, 1 outputs; 6 and 7 replace the
// whole set of lines in that drive mode.
//
//   tTavikImmedDigPrimitive port(map, status);
//   port.setLineMode(0x0F, 1, status);     // 0x28 <- 0xF
//   port.writeLines(0xFF, 0xA5, status);   // 0x24 <- 0xA5
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/dio/tStaticLines.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

struct tPort0Row {
  static auto& input(nQoUdRLP100::nTavik::tTavik& map) { return map.Read_0024; }
  static auto& latch(nQoUdRLP100::nTavik::tTavik& map) { return map.Write_0024; }
  static constexpr uint32_t kLines = 0xFFFFFFFF;
  static constexpr bool kByteWise = false;
};

class tTavikImmedDigPrimitive : public tStaticLines<tPort0Row> {
 public:
  tTavikImmedDigPrimitive(nQoUdRLP100::nTavik::tTavik& map, nQoMDBG100::tStatus2& status)
      : tStaticLines(map, status, "tTavikImmedDigPrimitive") {}

  void setLineMode(uint32_t mask, int32_t mode, nQoMDBG100::tStatus2& status) override;
  void applyLineState(const tLineState* state, int32_t useRecord,
                      nQoMDBG100::tStatus2& status) override;

 private:
  // Whether the lines of mask already are in the mode asked for.
  bool inMode(uint32_t mask, int32_t mode) const;
  void updateMasks(uint32_t mask, int32_t mode, nQoMDBG100::tStatus2& status);
  void program(int32_t mode, nQoMDBG100::tStatus2& status);

  uint32_t _outputLines = 0;
  uint32_t _inputLines = 0xFFFFFFFF;
  uint32_t _mode7Lines = 0;
  uint32_t _mode6Lines = 0;
};

}  // namespace nQoUdP100
