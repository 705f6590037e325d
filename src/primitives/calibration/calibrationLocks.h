// The register-map lock groups of the clock and trigger primitives: the
// clock group (11) guards 0x170 and the PLL registers, which the frequency
// output and the PLL share; the analog-trigger group (10) guards 0x17A.
#pragma once

#include "tavik/tTavik.h"

namespace nQoUdP100 {

inline nQoUdRLP100::nTavik::tTavik::tSelection clockLock() {
  nQoUdRLP100::nTavik::tTavik::tSelection selection;
  nQoUdRLP100::nTavik::tTavik::makeSelection(selection, {11});
  return selection;
}

inline nQoUdRLP100::nTavik::tTavik::tSelection analogTriggerLock() {
  nQoUdRLP100::nTavik::tTavik::tSelection selection;
  nQoUdRLP100::nTavik::tTavik::makeSelection(selection, {10});
  return selection;
}

}  // namespace nQoUdP100
