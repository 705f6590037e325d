// What the CDI and CDO immediate transfers share: the FIFO-independent
// settings (time-out, sample mode and total, done observer), the cancel
// request, the end of the calls, the state and the device-GUID description of
// their errors.
//
//   transfer.setTimeout(50);        // of the next read or write
//   transfer.requestCancel();       // another thread: ends any wait
//   transfer.endCalls();            // the release: ends every wait until reopenCalls
#pragma once

#include <cstdint>

#include "frame/tDeviceInfo.h"
#include "frame/tSinkSlot.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"
#include "primitives/cdio/tCDIODescription.h"
#include "primitives/cdio/tImmediateTimeout.h"
#include "primitives/common/iDoneObserver.h"
#include "primitives/common/tDeviceInfoPrimitive.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdP100 {

class tCDIOImmediateTransfer : public tDeviceInfoPrimitive {
 public:
  enum tSampleMode : uint32_t { kFinite = 1, kNotSet = 3 };
  enum tState : uint32_t {
    kBuilt = 1,
    kTransferCommitted = 2,
    kChannelCommitted = 3,
    kRunning = 4
  };

  // The run's cancel; the run's commit and start clear it.
  void requestCancel() { _cancel.set(1); }
  // The end of the calls that a release (or an unlink) sets before it waits
  // for them: every read and write under way or to come ends as a cancel
  // ends it, whatever commit and start do, until the next reservation or link
  // reopens them.
  void endCalls() { _callsEnded.set(1); }
  void reopenCalls() { _callsEnded.set(0); }
  bool isReady() const { return _state - 1u < 4u; }
  uint32_t state() const { return _state; }
  // A run that no stop gave back: the state's, or the FIFO that the
  // channel's start started, whatever an uncommit did to the state since.
  bool holdsRun() const { return _state == kRunning || _fifoStarted != 0; }
  // A held run whose done report has not come: a start under it keeps it. A
  // finite run that reported its done (from the FIFO's polling thread, too)
  // is over, and the next start is a run of its own.
  bool runUnderWay() const { return _doneNotified.get() == 0 && holdsRun(); }
  bool hasDoneObserver() const { return _doneObserver.get() != nullptr; }

  void setTimeout(uint32_t timeout) { _timeout.set(timeout); }
  tImmediateTimeout::tMode timeoutMode() const { return _timeout.mode(); }
  void setSampleMode(uint32_t mode) { _sampleMode = mode; }
  void setTotal(uint32_t samples) { _total = samples; }
  // Clearing or replacing the observer waits for the FIFO's polling thread
  // when it is telling it of the end.
  void setDoneObserver(iDoneObserver* observer) { _doneObserver.set(observer); }
  // Whether the board is simulated: its done events then reach the task
  // without a registration of the supervisor's own.
  bool simulated() const { return _deviceInfo != nullptr && _deviceInfo->simulated != 0; }

 protected:
  tCDIOImmediateTransfer(const tDeviceInfo* deviceInfo, const tCDIODescription* description,
                         const nQoORB100::tGUID* identity, const char* file,
                         nQoMDBG100::tStatus2& status);

  bool cancelled() const { return _cancel.get() != 0; }
  // Whether a read or write is to end: the run's cancel or the end of the
  // calls. Every wait checks it before and after each look at the FIFO.
  bool endAsked() const { return cancelled() || _callsEnded.get() != 0; }
  bool finite() const { return _sampleMode == kFinite; }
  // The code at the site of this class's file, with a description that names
  // the board.
  void fail(nQoMDBG100::tStatus2& status, int code, unsigned line) const;
  void warn(nQoMDBG100::tStatus2& status, int code, unsigned line) const;
  // The done observer hears the status, once per start, from whichever
  // thread comes first.
  void notifyDone(nQoMDBG100::tStatus2& status) {
    if (claimDone()) reportDone(status);
  }
  // The two halves of notifyDone, for a thread that claims the done under a
  // lock and reports it after letting the lock go: true once per start.
  bool claimDone() { return _doneNotified.exchange(1) == 0; }
  void reportDone(nQoMDBG100::tStatus2& status);
  // For the destructor, first thing: the done observer hears nothing more.
  void silenceDone() { _doneNotified.set(1); }
  // For the destructor: a FIFO that the channel's start left running stops
  // and resets, each on a status of its own.
  template <class tFIFO>
  void stopStartedFIFO(tFIFO* fifo) {
    if (_fifoStarted == 0) return;
    nQoMDBG100::tStatus2 scratch;
    fifo->stopFIFO(scratch);
    fifo->resetFIFO(scratch.clear());
    _fifoStarted = 0;
  }

  const tDeviceInfo* _deviceInfo;
  const tCDIODescription* _description;
  const nQoORB100::tGUID* _identity;
  const char* _file;
  uint32_t _state = kBuilt;
  // Set by the channel's start before it starts the FIFO, cleared by the
  // stops that stop it.
  uint32_t _fifoStarted = 0;
  tImmediateTimeout _timeout;
  tSyncAtomicU32 _cancel;
  tSyncAtomicU32 _callsEnded;
  uint32_t _sampleMode = kNotSet;
  uint32_t _total = 0;
  nQoUdR100::tSinkSlot<iDoneObserver> _doneObserver;
  tSyncAtomicU32 _doneNotified;
};

}  // namespace nQoUdP100
