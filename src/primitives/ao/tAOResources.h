// What the AO primitives take of the board's resources: the Tavik map, its
// command sequencer, the interrupt dispatcher and the device GUID that status
// descriptions name. All borrowed from the board's bus holder.
#pragma once

#include "orb/tGUID.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace nQoUdP100 {

struct tAOResources {
  nQoUdRLP100::nTavik::tTavik* map = nullptr;
  nQoUdRLP100::tTavikHelper* helper = nullptr;
  nQoUdRLP100::tTavikInterruptDispatcher* dispatcher = nullptr;
  const nQoORB100::tGUID* device = nullptr;
};

}  // namespace nQoUdP100
