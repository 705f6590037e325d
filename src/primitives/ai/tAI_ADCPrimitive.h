// The analog-input converter of a Tavik board: the overrun source is source 2
// of the board interrupt dispatcher (bit 11 of the status word at 0x104,
// enabled by bit 5 of tInterrupt_A_Enable). When the first entry's start-up
// flag is set, construction pulses the chip's AI section once.
//
//   tAI_ADCPrimitive converter(&firstEntry, &map, &dispatcher, status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/ai/tAIDescription.h"
#include "primitives/ai/tBaseAI_ADCPrimitive.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace nQoUdP100 {

class tAI_ADCPrimitive : public tBaseAI_ADCPrimitive {
 public:
  static inline void* ___classID = nullptr;
  // The dispatcher's source that reports converter overruns.
  static constexpr uint32_t kOverrunSource = 2;

  // The map and the dispatcher are the board's, borrowed.
  tAI_ADCPrimitive(const tAIFirstEntry* owner, nQoUdRLP100::nTavik::tTavik* map,
                   nQoUdRLP100::tTavikInterruptDispatcher* dispatcher,
                   nQoMDBG100::tStatus2& status);
  // An enabled overrun source is switched off, then an attached handler
  // leaves the dispatcher's slots.
  ~tAI_ADCPrimitive() override;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  bool isReady() const override;
  // With an observer and not attached yet: attaches the dispatcher's
  // interrupt and fills the overrun source's slots; a failure is undone on a
  // fresh status.
  bool commit(nQoMDBG100::tStatus2& status) override;
  // With an observer and not enabled yet: enables the overrun source
  // atomically; a failure is undone on a fresh status.
  void arm(nQoMDBG100::tStatus2& status) override;
  void disarm(nQoMDBG100::tStatus2& status) override;
  // An arm that no disarm followed disarmed first; then, when attached,
  // empties the slots and detaches.
  void uncommit(nQoMDBG100::tStatus2& status) override;
  // Read the status word at 0x104 into the map's copy.
  uint32_t readStatusBit11(nQoMDBG100::tStatus2* status) override;
  uint32_t readStatusBit5(nQoMDBG100::tStatus2* status) override;
  // 0x0800 to 0x104.
  void acknowledgeBit11(nQoMDBG100::tStatus2* status) override;
  // Only while an arm that no disarm followed holds the source, looked at
  // inside the enable's atomic run.
  void enableOverrunInterrupt(nQoMDBG100::tStatus2& status) override;
  void disableOverrunInterrupt(nQoMDBG100::tStatus2* status) override;

 private:
  void pulseStartUp(nQoMDBG100::tStatus2& status);
  // Empties the overrun slots and detaches, when attached.
  void detach();

  nQoUdRLP100::nTavik::tTavik* _map;
  nQoUdRLP100::tTavikInterruptDispatcher* _dispatcher;
};

}  // namespace nQoUdP100
