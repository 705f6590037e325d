// The AI data FIFO of a Tavik board: the FIFO mode in bits 7:6 of tAI_Mode_3
// (shared with the timing controller), the clear strobe at 0x1A6, the status
// bits of 0x104, the data register at 0x1C; the data interrupt is the
// dispatcher's source 0 (enable bit 7), the overflow source 1 (enable bit 5).
//
//   tAIDeviceFIFOPrimitive fifo(&description, map, dispatcher, status);
//   uint32_t samples[64];
//   fifo.readSamples(samples, 64, status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/ai/tBaseAIDeviceFIFOPrimitive.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace nQoUdP100 {

class tAIDeviceFIFOPrimitive : public tBaseAIDeviceFIFOPrimitive {
 public:
  static inline void* ___classID = nullptr;
  static constexpr uint32_t kFIFOSource = 0;
  static constexpr uint32_t kOverflowSource = 1;

  // The map and the dispatcher are the board's, borrowed. The FIFO mode is
  // cleared and marked dirty, so the first programFIFOMode writes it.
  tAIDeviceFIFOPrimitive(const tAIFIFODescription* description, nQoUdRLP100::nTavik::tTavik* map,
                         nQoUdRLP100::tTavikInterruptDispatcher* dispatcher, tStatus2& status);
  // Disarms an armed FIFO, then empties every dispatcher slot it still holds
  // and detaches, whatever its state.
  ~tAIDeviceFIFOPrimitive() override;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  bool isReady() const override;
  // The handlers the lists call for, then the FIFO mode written; state 2,
  // or 3 while an arm's sources stay on. An armed FIFO whose mode or
  // threshold test would change is disarmed first.
  void commit(tStatus2& status) override;
  // A source that it switches on stays on until the disarm; switching the
  // overflow source on begins its run.
  void arm(tStatus2& status) override;
  // Switches off what the arm switched on; the overflow source's run ends
  // first and its second passes under way leave. Never at interrupt level.
  void disarm(tStatus2& status) override;
  // Disarms first while the arm's sources are on, then detaches.
  void uncommit(tStatus2& status) override;
  uint32_t getFIFOMode() const override;
  void setFIFOMode(int32_t code, tStatus2& status, bool write) override;
  void setThreshold(uint32_t count, tStatus2& status, bool write) override;
  uint32_t readStatusBit10(tStatus2* status) override { return statusBit(10, status); }
  uint32_t isEmpty(tStatus2* status) override { return statusBit(12, status); }
  uint32_t readStatusBit14(tStatus2* status) override { return statusBit(14, status); }
  uint32_t readStatusBit13(tStatus2* status) override { return statusBit(13, status); }
  // The two enables switch their source on only while an arm that no disarm
  // followed holds it, looked at inside the enable's atomic run: a pass that
  // turns a source back on never outlives the disarm.
  void enableFIFOInterrupt(tStatus2& status) override;
  void disableFIFOInterrupt(tStatus2* status) override;
  uint32_t readSample(void* destination, tStatus2& status) override;
  // A read under an error status stores all ones and ends the loop.
  uint32_t readSamples(void* buffer, uint32_t count, tStatus2& status) override;
  void clearFIFO(tStatus2* status) override;
  // In a bracket, the FIFO-mode register when dirty; then a bus flush (only
  // the flush when the status holds an error).
  void programFIFOMode(tStatus2* status) override;
  void enableOverflowInterrupt(tStatus2& status) override;
  void disableOverflowInterrupt(tStatus2* status) override;

 private:
  uint32_t statusBit(unsigned bit, tStatus2* status);
  // Empties a source's two slots and detaches, when its handler is attached.
  void detach(uint32_t source, uint32_t& attached);
  // Switches off the sources the arm recorded, but those in kept (bits as
  // armedSources), each on a status of its own.
  void disableSources(uint32_t kept, tStatus2& status);
  // Bits 7:6 of the mode register for a FIFO-mode code 1: 01 with a
  // threshold state, 11 without.
  uint32_t halfFullBits() const;

  nQoUdRLP100::nTavik::tTavik* _map;
  nQoUdRLP100::tTavikInterruptDispatcher* _dispatcher;
  uint32_t _32BitSamples;
};

}  // namespace nQoUdP100
