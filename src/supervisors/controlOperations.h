// The six control operations of a primitive in flag-bit order (commit, arm,
// start, stop, disarm, uncommit: codes 1, 4100, 2, 3, 4101, 4), as a row of
// a supervisor names them. Most primitives offer them under those names:
//
//   static constexpr auto kControls = namedControls<tBaseAI_ADCPrimitive>();
//
// A primitive whose operation takes more (the scanning front end's commit
// takes a flag) lists its own functions instead.
#pragma once

#include <array>

#include "mdbg/tStatus2.h"

namespace nQoUdR100 {

template <class Prim>
using tControlOperation = void (*)(Prim& primitive, nQoMDBG100::tStatus2& status);

template <class Prim>
using tControlOperations = std::array<tControlOperation<Prim>, 6>;

template <class Prim>
constexpr tControlOperations<Prim> namedControls() {
  return {[](Prim& p, nQoMDBG100::tStatus2& s) { p.commit(s); },
          [](Prim& p, nQoMDBG100::tStatus2& s) { p.arm(s); },
          [](Prim& p, nQoMDBG100::tStatus2& s) { p.start(s); },
          [](Prim& p, nQoMDBG100::tStatus2& s) { p.stop(s); },
          [](Prim& p, nQoMDBG100::tStatus2& s) { p.disarm(s); },
          [](Prim& p, nQoMDBG100::tStatus2& s) { p.uncommit(s); }};
}

}  // namespace nQoUdR100
