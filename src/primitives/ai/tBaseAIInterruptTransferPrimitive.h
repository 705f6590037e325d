// The analog-input interrupt transfer, device-independent part: each FIFO
// interrupt drains blocks of samples into a destination; the last conversion
// drains the rest and reports the end; converter overruns and FIFO overflows
// end the transfer with an error. The end reaches the destination once per
// arm, whichever path comes first (an atomic test-and-set of the run's end
// mark); a pass ends only the run it was taken in.
//
//   transfer.link(status);     // observers of FIFO, converter and controller
//   transfer.commit(status);   // refuses a FIFO block count (word 3) of 0
//   transfer.arm(status);      // counters and done cleared
//   ...                        // FIFO passes move blocks; the end is reported
//   transfer.disarm(status);
//
// Run states: 1 idle, 2 configured, 3 linked, 4 committed, 5 armed.
#pragma once

#include <cstdint>

#include "frame/tDeviceInfo.h"
#include "frame/tModuleObject.h"
#include "frame/tRuns.h"
#include "frame/tSinkSlot.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tAIDescription.h"
#include "primitives/ai/tBaseAIDeviceFIFOPrimitive.h"
#include "primitives/ai/tBaseAITimingControllerPrimitive.h"
#include "primitives/ai/tBaseAI_ADCPrimitive.h"
#include "sync/iSync.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdP100 {

class tBaseAIInterruptTransferPrimitive
    : public nQoUdR100::tModuleObject,
      public tBaseAIDeviceFIFOPrimitive::iAIOverflowObserver,
      public tBaseAIDeviceFIFOPrimitive::iAIFIFOObserver,
      public tBaseAI_ADCPrimitive::iObserver,
      public tBaseAITimingControllerPrimitive::iLastConvertObserver {
 public:
  static inline void* ___classID = nullptr;
  using tStatus2 = nQoMDBG100::tStatus2;

  // Where the samples go, and who hears the end of the transfer.
  class iDestination {
   public:
    virtual ~iDestination() = default;
    // Moves up to count samples out of the FIFO; the number moved.
    virtual uint32_t move(uint32_t count, tStatus2& status) = 0;
    // Not called by the transfer; the destination gives it its meaning.
    virtual void notify() {}
    virtual void transferEnded(const tStatus2& reason, tStatus2& status) = 0;
  };

  enum tRunState : uint32_t { kIdle = 1, kConfigured, kLinked, kCommitted, kArmed };

  struct tCounts {
    uint32_t fifo = 0;
    uint32_t fifoSecondary = 0;
    uint32_t overflow = 0;
    uint32_t overflowSecondary = 0;
    uint32_t overrun = 0;
    uint32_t overrunSecondary = 0;
    uint32_t lastConvert = 0;
    uint32_t lastConvertSecondary = 0;
  };

  // The description's sample record gives the block size (kRefused when it
  // is missing or 0); the block limit is 2 x FIFO size / block size. The
  // board names the site of a wrong count in the last drain.
  tBaseAIInterruptTransferPrimitive(const tAIDescription* description,
                                    tBaseAI_ADCPrimitive* converter,
                                    tBaseAITimingControllerPrimitive* timing,
                                    tBaseAIDeviceFIFOPrimitive* fifo, const tDeviceInfo& deviceInfo,
                                    nQoUdR100::tStatusSite lastDrainSite, tStatus2& status);
  ~tBaseAIInterruptTransferPrimitive() override;
  tBaseAIInterruptTransferPrimitive(const tBaseAIInterruptTransferPrimitive&) = delete;
  tBaseAIInterruptTransferPrimitive& operator=(const tBaseAIInterruptTransferPrimitive&) = delete;

  virtual void* ___CPPKRLDynamicCast(void* const* classID);
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const;

  virtual bool isReady() const;
  // Clearing or replacing the destination waits for a pass moving samples or
  // reporting the end to it on another thread.
  void setDestination(iDestination* destination) { _destination.set(destination); }
  iDestination* getDestination() const { return _destination.get(); }
  // The reservation mark: 2 while a supervisor holds the transfer, else 1.
  void markReserved(tStatus2& status) {
    if (status.isNotFatal()) _reservation = 2;
  }
  void markReleased(tStatus2& status) {
    if (status.isNotFatal()) _reservation = 1;
  }
  uint32_t reservation() const { return _reservation; }
  void setBlockLimit(uint32_t limit) { _blockLimit = limit; }
  uint32_t blockLimit() const { return _blockLimit; }

  void configure(tStatus2& status);
  // Observers registered; a failure is undone by unlink on a fresh status.
  // Nothing while linked, so that one unlink takes every record out.
  void link(tStatus2& status);
  // kRefused for a FIFO block count of 0, which would never end a FIFO pass;
  // kCountTooLarge for one whose samples per move do not fit in 32 bits.
  // The block count it checked is what the next arm's run moves by. Refused
  // under an arm, it leaves the run and the record as it found them.
  virtual void commit(tStatus2& status);
  virtual void arm(tStatus2& status);
  // Not supported: -50256.
  virtual void start(tStatus2& status);
  virtual void stop(tStatus2& status);
  // Each ends the run an arm opened, with no report (an arm owes at most
  // one end), and waits for its moves under way: the passes after it report
  // none.
  virtual void disarm(tStatus2& status);
  virtual void uncommit(tStatus2& status);
  void unlink(tStatus2& status);
  void unconfigure(tStatus2& status);

  uint32_t fifoReady(tBaseAIDeviceFIFOPrimitive*, tStatus2& status) override;
  void fifoReadySecondary(tBaseAIDeviceFIFOPrimitive*, tStatus2&) override {}
  uint32_t overflowed(tBaseAIDeviceFIFOPrimitive*, tStatus2&) override;
  void overflowedSecondary(tBaseAIDeviceFIFOPrimitive*, tStatus2&) override;
  uint32_t handleOverrun(tBaseAI_ADCPrimitive*, tStatus2&) override;
  void handleOverrunSecondary(tBaseAI_ADCPrimitive*, tStatus2&) override;
  // At interrupt level: the FIFO source off, then the wait for the last
  // conversion (its failure stays in a local status).
  uint32_t lastConverted(tBaseAITimingControllerPrimitive*, tStatus2&) override;
  // The rest of the FIFO to the destination, the end reported, the FIFO
  // source on again, all inside its first pass's run: a disarm or an arm
  // waits for it.
  void lastConvertedSecondary(tBaseAITimingControllerPrimitive*, tStatus2& status) override;

  uint32_t runState() const { return _runState; }
  const tCounts& counts() const { return _counts; }
  bool isDone() const { return _runs.live() == 0; }

 protected:
  // The board's wait for the last conversion to leave the converter.
  virtual void waitForLastConversion(tStatus2& status) = 0;
  // The run state back to idle from wherever it stands.
  void unwind();

 private:
  // Claims the end of run while it is live: stops the controller on an
  // error and reports the end; the locked form runs under the transfer lock.
  void endTransfer(const tStatus2& reason, uint32_t run, tStatus2& status);
  void endTransferLocked(const tStatus2& reason, uint32_t run, tStatus2& status);
  void failTransfer(uint32_t run, int code, unsigned line);
  // The live run ended with no report, under the transfer lock (an end
  // under way on a second pass is over), and its moves under way waited
  // for: the arm, disarm and uncommit.
  void endRun();

  const tAIDescription* _description;
  tBaseAI_ADCPrimitive* _converter;
  tBaseAITimingControllerPrimitive* _timing;
  tBaseAIDeviceFIFOPrimitive* _fifo;
  uint32_t _runState = kIdle;
  // Where configure, link, unlink and unconfigure left the run: what an
  // uncommit goes back to.
  uint32_t _linkState = kIdle;
  uint32_t _reservation = 1;
  uint32_t _blockLimit = 0;
  nQoUdR100::tSinkSlot<iDestination> _destination;
  tCounts _counts;
  // The runs that arms began; the passes move inside the run's accesses.
  nQoUdR100::tRuns _runs;
  // The runs that the last overflow's, overrun's and last conversion's first
  // passes saw live, for their second passes.
  tSyncAtomicU32 _overflowRun;
  tSyncAtomicU32 _overrunRun;
  tSyncAtomicU32 _lastConvertRun;
  iSync* _transferLock = nullptr;
  uint32_t _blockSize = 0;
  // The FIFO block count that the last good commit checked, and the one the
  // arm took from it for its run's passes.
  uint32_t _committedBlocks = 0;
  uint32_t _runBlocks = 0;
  nQoUdR100::tStatusSite _lastDrainSite;
};

}  // namespace nQoUdP100
