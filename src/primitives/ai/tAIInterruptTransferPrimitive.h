// The AI interrupt transfer of a Tavik board: the last conversion has left
// the converter when bit 15 of tJoint_Status_1 clears, within 30 ms.
//
//   tAIInterruptTransferPrimitive transfer(&description, &converter, &timing, &fifo, info, map,
//                                          status);
//   transfer.setDestination(&destination);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/ai/tBaseAIInterruptTransferPrimitive.h"
#include "primitives/ai/tLastConversionWait.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tAIInterruptTransferPrimitive : public tBaseAIInterruptTransferPrimitive {
 public:
  static inline void* ___classID = nullptr;
  static constexpr uint32_t kEndTimeout = 30;  // milliseconds

  // The map is the board's, borrowed.
  tAIInterruptTransferPrimitive(const tAIDescription* description, tBaseAI_ADCPrimitive* converter,
                                tBaseAITimingControllerPrimitive* timing,
                                tBaseAIDeviceFIFOPrimitive* fifo, const tDeviceInfo& deviceInfo,
                                nQoUdRLP100::nTavik::tTavik* map, tStatus2& status);

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  bool isReady() const override;

 protected:
  void waitForLastConversion(tStatus2& status) override { _lastConversion.wait(status); }

 private:
  nQoUdRLP100::nTavik::tTavik* _map;
  tLastConversionWait _lastConversion;
};

}  // namespace nQoUdP100
