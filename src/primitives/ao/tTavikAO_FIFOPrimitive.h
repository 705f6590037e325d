// The AO data FIFO of a Tavik board: the channel order, the FIFO mode, the
// DMA select, preload and refills from the data source or direct writes,
// the clear sequence of arm, completion, and six interrupt sources:
//
//   code 0     AO error      enable bit 5 of 0x196, status bit 9, source 14
//   code 1     refill        enable bit 8 of 0x196, status bit 1, source 9
//   codes 2-5  serial DACs   enable bits 0-3 of 0xA0, status bits 0-3 of 0xA1, sources 10-13
//
// Errors found at interrupt level collect in the FIFO's own status, which
// the data source receives once per generation at completion. The error
// sources' second pass completes the FIFO and disarms the timing controller.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tPassCount.h"
#include "frame/tRuns.h"
#include "frame/tTimerTimeout.h"
#include "mdbg/tStatus2.h"
#include "primitives/ao/tAOResources.h"
#include "primitives/ao/tBaseAO_FIFOPrimitive.h"
#include "primitives/ao/tInterruptDelegator.h"
#include "reservation/iInterruptHandler.h"
#include "time/tTimerTimeWaster.h"
#include "time/tTimerTimebase.h"

namespace nQoUdP100 {

class tBaseAOTimingControllerPrimitive;

class tTavikAO_FIFOPrimitive : public tBaseAO_FIFOPrimitive {
 public:
  static inline void* ___classID = nullptr;
  using tAnswer = nQoMRTB100::iInterruptHandler::tAnswer;
  static constexpr uint32_t kCodeCount = 6;
  static constexpr uint32_t kOrderRegisters = 16;
  static constexpr uint32_t kClearTime = 700;  // nanoseconds

  tTavikAO_FIFOPrimitive(const tAODescription* description, const tAOResources& resources,
                         tStatus2& status);
  // An arm still outstanding is switched off and a DMA select a commit wrote
  // cleared, then every attached handler leaves the dispatcher's slots.
  ~tTavikAO_FIFOPrimitive() override;

  void* ___CPPKRLDynamicCast(void* const* classID) override;

  // The controller that the second pass disarms (none: null). Returns once
  // the second passes under way on other threads have left, so the
  // controller it replaces may go.
  void setTimingController(tBaseAOTimingControllerPrimitive* timing);

  // -223749, before anything changes, for a channel count of 0 or above
  // min(maxChannels, 16), or an order entry above 15. An arm still
  // outstanding is completed first, with its report, and the writes under
  // way are waited for.
  void commit(tStatus2& status) override;
  void uncommit(tStatus2& status) override;
  // Switches on only the sources whose handlers a commit attached. An arm
  // still outstanding is completed first, with its report, and the writes
  // under way are waited for before the FIFO is cleared.
  void arm(tStatus2& status) override;
  void complete(tStatus2& status) override;
  void start(tStatus2& status) override;
  void restoreArmed(tStatus2& status) override;
  // By what the commit programmed, in the run of the commit or arm live at
  // the call: one that a commit, arm or uncommit overtook writes nothing and
  // answers 0.
  uint32_t writeSample(const int16_t* sample, tStatus2& status) override;
  uint32_t writeSamples(const int16_t* samples, uint32_t count, tStatus2& status) override;
  void clearFIFO(tStatus2& status) override;

  // Group-B status bits, read from the board; all true with an error status.
  bool testStatusBit14(tStatus2* status) { return testStatusBit(14, status); }
  bool testStatusBit12(tStatus2* status) { return testStatusBit(12, status); }
  bool testStatusBit13(tStatus2* status) { return testStatusBit(13, status); }
  bool testStatusBit1(tStatus2* status) { return testStatusBit(1, status); }
  // Group-B bit 9 or any serial status bit.
  bool hasError(tStatus2* status);

  virtual tAnswer handleInterruptCode(uint32_t code);
  virtual void handleSecondaryInterruptCode(uint32_t code);

  bool isDone() const { return _done != 0; }
  uint64_t samplesWritten() const { return _samplesWritten; }
  // The chunk the last refill asked its data source for.
  uint32_t refillChunk() const { return _refillChunk; }
  const tStatus2& ownStatus() const { return _ownStatus; }

 private:
  // complete's steps, under the FIFO lock.
  void completeLocked(tStatus2& status);
  // The board side of complete: the sources the arm switched on off, and
  // the DMA requests of a DMA arm withdrawn.
  void switchArmOff(tStatus2& status);
  bool testStatusBit(uint32_t n, tStatus2* status);
  bool validOrder(const tAOFIFOFields& settings) const;
  void programChannelOrder(const tAOFIFOFields& record, tStatus2& status);
  void writeDMASelect(uint32_t code, tStatus2& status);
  void changeDMARequest(bool on, tStatus2& status);
  void attachHandlers(uint32_t mechanism, tStatus2& status);
  // The handler groups attached, a bit each; detachHandlers leaves those in
  // kept.
  enum : uint32_t { kErrorHandlers = 1, kRefillHandlers = 2, kSerialHandlers = 4 };
  uint32_t attachedHandlers() const {
    return _attachedError | _attachedRefill << 1 | _attachedSerial << 2;
  }
  void detachHandlers(tStatus2& status, uint32_t kept = 0);
  void preload();
  void refill();
  // Switches off the error, refill and serial sources that the group B and
  // serial enable soft copies show on (a pass reads them directly: it holds
  // the lock they are written under).
  void disableSources(uint32_t groupB, uint32_t serial);
  void setOwnCode(int code, unsigned line);
  // The code with a description naming the device, when the board has a GUID.
  void setOwnCodeNamingDevice(int code, unsigned line);
  void writeData(const int16_t* samples, uint32_t count, tStatus2& status);
  // writeSamples in its run, with the record as it programmed the board.
  uint32_t writeInRun(const int16_t* samples, uint32_t count, tStatus2& status);
  // The writes' run ended and those under way waited for, before a step
  // changes what they read.
  void endWrites();
  tAnswer serveError();
  tAnswer serveSerial(uint32_t line);

  nQoUdRLP100::nTavik::tTavik* _map;
  nQoUdRLP100::tTavikHelper* _helper;
  nQoUdRLP100::tTavikInterruptDispatcher* _dispatcher;
  const nQoORB100::tGUID* _device;
  std::atomic<tBaseAOTimingControllerPrimitive*> _timing{nullptr};
  // The second passes under way, which call the timing controller.
  nQoUdR100::tPassCount _secondaryPasses;
  // The DMA select code a commit wrote and no uncommit cleared since
  // (kNoDMASelect: none): uncommit, and a commit of another mechanism after a
  // deploy, clear the select by it.
  static constexpr uint32_t kNoDMASelect = 0xFFFFFFFF;
  uint32_t _writtenDMASelect = kNoDMASelect;
  // What the last arm took for its run from the commit's record: the total
  // its preload and refills stop at, and the mechanism by which it worked
  // (direct before any), which complete undoes whatever a commit set since.
  uint64_t _runTotal = 0;
  uint32_t _armedMechanism = tAOFIFOFields::kDirect;
  // The arms' runs: an arm begins one and complete ends it, both under the
  // FIFO lock, where the second pass of an error acts on the run its first
  // pass saw. While one is live uncommit, commit, arm and the destructor
  // complete it, whatever state a commit set since.
  nQoUdR100::tRuns _runs;
  // The run whose error the last first pass saw.
  std::atomic<uint32_t> _erroredRun{0};
  // The runs the writes go by, and the writes under way in them: a commit
  // begins one once it programmed the board, an arm overtakes it before it
  // clears the FIFO, uncommit ends it; each first waits for the writes
  // under way.
  nQoUdR100::tRuns _writes;
  uint32_t _attachedError = 0;
  uint32_t _attachedRefill = 0;
  uint32_t _attachedSerial = 0;
  uint32_t _errorSeen = 0;
  uint64_t _samplesWritten = 0;
  uint32_t _done = 0;
  uint32_t _wroteSinceArm = 0;
  uint32_t _refillChunk = 0;
  tStatus2 _ownStatus;
  nQoUdR100::tTimerTimeout<tTimerTimeWasterSpin, tTimerTimebasePrecise> _clearTimeout{
      kClearTime, kTimerTimeUnitNanosecond, 0, nullptr};
  iSync* _lock = nullptr;
  tInterruptDelegator<tTavikAO_FIFOPrimitive, 0> _errorHandler{this};
  tInterruptDelegator<tTavikAO_FIFOPrimitive, 1> _refillHandler{this};
  tInterruptDelegator<tTavikAO_FIFOPrimitive, 2> _serial0Handler{this};
  tInterruptDelegator<tTavikAO_FIFOPrimitive, 3> _serial1Handler{this};
  tInterruptDelegator<tTavikAO_FIFOPrimitive, 4> _serial2Handler{this};
  tInterruptDelegator<tTavikAO_FIFOPrimitive, 5> _serial3Handler{this};
};

}  // namespace nQoUdP100
