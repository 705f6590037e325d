// Change detection on a Tavik chip: the edge masks (0x240 and 0x244 written,
// the change status read at 0x244), the change interrupt as source 28 of the
// board's interrupt dispatcher, and the interrupt side that captures the
// lines on every change.
//
//   tPCITavikChangeDetectionPrimitive detector(&map, &dispatcher, info, lines, 2, status);
//   detector.enableLines(0x0F, 0x30, status);   // 0x240 <- 0xF, 0x244 <- 0x30, attached
//   detector.start(status);                     // 0x248 <- 0x3F in a bus atomic run
//
// What the registry makes has no map and no dispatcher: its operations give
// -50004 and touch nothing.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "frame/tDeviceInfo.h"
#include "mdbg/tStatus2.h"
#include "primitives/dio/tChangeDetectionPrimitive.h"
#include "reservation/iInterruptHandler.h"
#include "reservation/iSecondaryInterruptHandler.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace nQoUdR100 {

class tPCITavikChangeDetectionPrimitive final : public tChangeDetectionPrimitive,
                                                public nQoMRTB100::iInterruptHandler,
                                                public nQoMRTB100::iSecondaryInterruptHandler {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tPCITavikChangeDetectionPrimitive";
  static inline void* ___classID = nullptr;
  // The dispatcher's source of the change interrupt.
  static constexpr uint32_t kSource = 28;

  tPCITavikChangeDetectionPrimitive();
  // The map and the dispatcher are the board's, borrowed; both edge masks
  // are cleared for every line.
  tPCITavikChangeDetectionPrimitive(nQoUdRLP100::nTavik::tTavik* map,
                                    nQoUdRLP100::tTavikInterruptDispatcher* dispatcher,
                                    const nQoUdP100::tDeviceInfo& info,
                                    nQoUdP100::tImmedDigLatchingPrimitive* const* lines,
                                    size_t lineCount, nQoMDBG100::tStatus2& status);
  // Stops a run that no stop ended, then detaches an attached interrupt, so
  // that the dispatcher keeps no handler of a dead object and no change
  // interrupt stays on.
  ~tPCITavikChangeDetectionPrimitive() override;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  nQoORB100::tClass getClass(int& status) const override;

  // Clears the pending change state, then enables the change interrupt for
  // the enabled lines; a failure leaves the running flag clear.
  void start(nQoMDBG100::tStatus2& status) override;
  // Switches the change interrupt off and returns once the interrupt passes
  // under way have left; never at interrupt level.
  void stop(nQoMDBG100::tStatus2& status) override;

  // Interrupt level: with a readable primitive the lines are latched, the
  // change status counted and the lines read into the half to fill (when a
  // buffer is there), and a secondary pass asked for; the scheduler action
  // runs with the change count's address; the count advances.
  tAnswer handleInterrupt() override;
  // Wakes the readers.
  uint32_t handleSecondaryInterrupt() override;

  bool isRunning() const { return _running; }
  bool isAttached() const { return _attached; }

 protected:
  // attachInterrupt: the dispatcher's interrupt, both handlers in source
  // 28, the pending change state cleared at 0x254.
  void attach(nQoMDBG100::tStatus2& status) override;
  // detachInterrupt: handlers taken back, the dispatcher detached.
  void detach(nQoMDBG100::tStatus2& status) override;
  // The bits of mask take those of value; written at once when changed.
  void setFirstEdgeMask(uint32_t mask, uint32_t value, nQoMDBG100::tStatus2& status) override;
  void setSecondEdgeMask(uint32_t mask, uint32_t value, nQoMDBG100::tStatus2& status) override;
  // readChangeCount: the count copied in a bus atomic run, then the bus
  // flushed.
  void captureSample(uint64_t* sequence, nQoMDBG100::tStatus2& status) override;
  // The dispatcher's passes, in which the change interrupt runs.
  void waitForInterruptPasses() override;

 private:
  // False with -50004 at the line for an object without map or dispatcher.
  bool hasChip(nQoMDBG100::tStatus2& status, unsigned line) const;

  nQoUdRLP100::nTavik::tTavik* _map = nullptr;
  nQoUdRLP100::tTavikInterruptDispatcher* _dispatcher = nullptr;
  bool _running = false;
  bool _attached = false;
  // The run of the last change that asked for a second pass: written at
  // interrupt level, read by the second pass, which the bus orders after it.
  std::atomic<uint32_t> _passRun{0};
};

}  // namespace nQoUdR100
