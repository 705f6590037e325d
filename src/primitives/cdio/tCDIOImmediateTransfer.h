// What the CDI and CDO immediate transfers share: the settings (time-out of
// each request; sample mode, total and the direction's option, deployed for
// the next run), the runs and the reads or writes under way in them, the
// cancel request, the end of the calls, the state and the device-GUID
// description of their errors. A run's reads or writes reach the data port
// only through access, and a stop, a reset or a start waits for those under
// way once the run is ended or overtaken.
//
//   transfer.setTimeout(50);        // of the next read or write
//   transfer.requestCancel();       // another thread: ends any wait
//   transfer.endCalls();            // the release: ends every wait until reopenCalls
#pragma once

#include <cstdint>

#include "frame/tDeployed.h"
#include "frame/tDeviceInfo.h"
#include "frame/tRuns.h"
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
  // What a deploy sets for the next run: the sample mode, the total and the
  // direction's option (the input's newest-samples option, the output's
  // write mode).
  struct tFields {
    uint32_t sampleMode = kNotSet;
    uint32_t total = 0;
    uint32_t option = 0;
  };
  // The setters write the settings; the channel's commit and the step that
  // begins a run take them.
  static constexpr const char* kDeploySteps[] = {"setSampleMode", "setTotal", "setNewestSamples",
                                                 "setWriteMode"};
  static constexpr const char* kProgrammingSteps[] = {"commitChannel", "beginRun"};

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
  // A run begun whose end (its done report) has not come: a start under it
  // keeps it. A finite run that reported its done (from the FIFO's polling
  // thread, too) is over, and the next start is a run of its own.
  bool runUnderWay() const { return _runs.live() != 0; }
  bool hasDoneObserver() const { return _doneObserver.get() != nullptr; }

  void setTimeout(uint32_t timeout) { _timeout.set(timeout); }
  tImmediateTimeout::tMode timeoutMode() const { return _timeout.mode(); }
  // The next commit or start that begins a run takes them; a run under way
  // keeps what its own took.
  void setSampleMode(uint32_t mode) { _settings.deploying().sampleMode = mode; }
  void setTotal(uint32_t samples) { _settings.deploying().total = samples; }
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
  // The run's sample mode, total and option, as its commit or start took
  // them.
  bool finite() const { return _taken.finite.get() != 0; }
  uint32_t total() const { return _taken.total.get(); }
  uint32_t option() const { return _taken.option.get(); }
  void takeRecord(const tFields& fields) {
    _taken.finite.set(fields.sampleMode == kFinite ? 1 : 0);
    _taken.total.set(fields.total);
    _taken.option.set(fields.option);
  }
  // The channel's uncommit (the release's last step): no record of a commit
  // or a run, as a fresh reservation finds the transfer.
  void forgetRecords() {
    _settings.forget();
    takeRecord(_settings.programmed());
    _doneUnreported.set(1);
  }
  // The step that begins a run, under the lock: the run's end reports the
  // done from here on.
  void beginReportedRun() {
    _doneUnreported.set(0);
    _runs.begin();
  }
  // A stop, under the lock: whether it reports the done. It ends the live
  // run and claims its end; with none live, it ends the run that the reads
  // given since wait for, and, with no run begun since the transfer was
  // fresh, it reports the done no step reported yet, once.
  bool claimStopsDone() {
    if (_runs.endIfLive(_runs.live())) return true;
    _runs.endLiveOrNext();
    return _doneUnreported.exchange(0) != 0;
  }
  // The code at the site of this class's file, with a description that names
  // the board.
  void fail(nQoMDBG100::tStatus2& status, int code, unsigned line) const;
  void warn(nQoMDBG100::tStatus2& status, int code, unsigned line) const;
  // The done observer hears the status of a run's end, once per run, from
  // whichever thread claims it (tRuns::endIfLive) under the lock; it is
  // reported after the lock was let go.
  void reportDone(nQoMDBG100::tStatus2& status);
  // For the destructor, first thing: the run ends, and the done observer
  // hears nothing more.
  void silenceDone() { _runs.end(); }
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
  nQoUdR100::tDeployed<tFields, tCDIOImmediateTransfer> _settings;
  // What the run's reads or writes go by, copied from the record of the step
  // that took the settings: a deploy under the run changes only what the
  // next run takes. Atomics: the calls on the caller's thread read them.
  struct tRunRecord {
    tSyncAtomicU32 finite;
    tSyncAtomicU32 total;
    tSyncAtomicU32 option;
  };
  tRunRecord _taken;
  // The runs, numbered where a step begins one; a run ends at a stop or at
  // its own end (its finite total read, its FIFO run empty), claimed once.
  nQoUdR100::tRuns _runs;
  // Set while no done was reported since the transfer was fresh (built, or
  // uncommitted) and no run was begun: a stop then reports it.
  tSyncAtomicU32 _doneUnreported{1};
  nQoUdR100::tSinkSlot<iDoneObserver> _doneObserver;
};

}  // namespace nQoUdP100
