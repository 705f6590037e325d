// A Tavik board's CDIO side over the simulated windows, for the correlated
// supervisor tests: the map, its interrupt and CDIO dispatchers, the simulated
// FIFOs and the two FIFO primitives, samples of kSampleWidth bytes.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"
#include "primitives/cdio/tTavikCDIODispatcher.h"
#include "primitives/cdio/tTavikCDI_FIFOPrimitive.h"
#include "primitives/cdio/tTavikCDO_FIFOPrimitive.h"
#include "sim/tSimBus.h"
#include "sim/tSimCDIOFIFOs.h"
#include "sim/tSimRegisterWindows.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace nQoTest {

template <uint32_t kSampleWidth>
struct tCDIOBoard {
  nQoSim::tSimRegisterWindows windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  nQoMDBG100::tStatus2 status;
  nQoUdRLP100::nTavik::tTavik map{&bus, window, &status};
  nQoUdRLP100::tTavikInterruptDispatcher board{&map, 1, &status};
  nQoUdP100::tTavikCDIODispatcher cdio{&board};
  nQoSim::tSimCDIOFIFOs fifos{windows, window};
  nQoUdP100::tCDIODescription description{.cdiFIFODepth = 1024, .sampleWidth = kSampleWidth};
  nQoUdP100::tDeviceInfo deviceInfo;
  nQoORB100::tGUID identity{0x1111, 0x2222};
  nQoUdP100::tTavikCDI_FIFOPrimitive cdiFIFO{&cdio, &description, &map, status};
  nQoUdP100::tTavikCDO_FIFOPrimitive cdoFIFO{&cdio, &description, &map, status};
};

}  // namespace nQoTest
