// The modes and ranges a digital multimeter front end supports, as board
// data: a mode table (six words a row, the fifth the mode number, ended by
// mode 0) and a range table ({range, flagged, extra}, ended by a null range).
#pragma once

#include <cstdint>

#include "frame/tInterval.h"
#include "mdbg/tStatus2.h"

namespace nQoUdR100 {

struct tDMMMode {
  uint32_t words[6];
  uint32_t mode() const { return words[4]; }
};

struct tDMMRange {
  const nQoUdRLP100::tInterval* range;
  uint32_t flagged;
  uint32_t extra;
};

struct tDMMCaps {
  const tDMMMode* modes;
  const tDMMRange* ranges;

  // A holder without tables: -50150.
  static bool hasMode(const tDMMCaps* holder, uint32_t mode, nQoMDBG100::tStatus2& status);
  // The first row whose range matches and whose flagged word is set exactly
  // when wantFlagged is; copied out. A null range -223749; no tables or no
  // match -50150.
  static void findRange(const tDMMCaps* holder, const nQoUdRLP100::tInterval* range,
                        bool wantFlagged, tDMMRange* entry, nQoMDBG100::tStatus2& status);
};

}  // namespace nQoUdR100
