// The analog-output primitives of one board, built from the AO part of its
// description and owned here: the FIFO, the timing controller, one DAC (or
// PWM DAC) per channel and the ground reference. Resource creation takes
// each member to build its pool.
//
//   tTavikAOSubsystem ao(product.ao, resources, status);   // -50150 without an AO part
//   ao.dac(1)->writeValue(&code, status);
#pragma once

#include <cstdint>

#include "frame/tGrowableArray.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/ao/tAODescription.h"
#include "primitives/ao/tAOResources.h"
#include "primitives/ao/tBaseAO_DACPrimitive.h"
#include "primitives/ao/tTavikAOGroundRefPrimitive.h"
#include "primitives/ao/tTavikAOTimingControllerPrimitive.h"
#include "primitives/ao/tTavikAO_FIFOPrimitive.h"

namespace nQoUdP100 {

class tBaseAOSubsystem : public nQoUdR100::tModuleObject {
 public:
  virtual ~tBaseAOSubsystem() = default;

  uint32_t dacCount() const { return static_cast<uint32_t>(_dacs.size()); }
  tBaseAO_DACPrimitive* dac(uint32_t channel) const {
    return channel < _dacs.size() ? _dacs[channel] : nullptr;
  }
  tTavikAO_FIFOPrimitive* fifo() const { return _fifo; }
  tTavikAOTimingControllerPrimitive* timingController() const { return _timing; }
  tTavikAOGroundRefPrimitive* groundReference() const { return _groundReference; }

 protected:
  nQoUdR100::tGrowableArray<tBaseAO_DACPrimitive*> _dacs;
  tTavikAO_FIFOPrimitive* _fifo = nullptr;
  tTavikAOGroundRefPrimitive* _groundReference = nullptr;
  tTavikAOTimingControllerPrimitive* _timing = nullptr;
};

class tTavikAOSubsystem : public tBaseAOSubsystem {
 public:
  tTavikAOSubsystem(const tAODescription* description, const tAOResources& resources,
                    nQoMDBG100::tStatus2& status);
  // The FIFO's hold on the timing controller taken back, then the ground
  // reference, the DACs last to first, the timing controller, the FIFO.
  ~tTavikAOSubsystem() override;
  tTavikAOSubsystem(const tTavikAOSubsystem&) = delete;
  tTavikAOSubsystem& operator=(const tTavikAOSubsystem&) = delete;
};

}  // namespace nQoUdP100
