// The lock of a correlated transfer, and the runs of the transfer with the end
// that it reports to its partner once per run.
//
// tTransferLock runs a step under the transfer's lock (opened from the
// device information, closed with the object).
//
// tTransferEnd numbers the runs (tRuns). An arm or a link opens a run for the
// start to come, so that the passes between them are the run's own; the
// start takes it, or begins one of its own. Whoever ends a run first (a stop,
// an error pass, the end of the data, the polling thread) claims its end and
// runs the end sequence, for a run whose end is reported (a start's, or a
// link's: an arm's run that ends before its start ends unreported); the
// claim of a run that ended or was overtaken does nothing. On platform threads the claim runs under
// the lock, so that a stop returns only after the end was reported; at interrupt level the claim
// alone decides (no lock is taken there). A pass moves data inside access,
// counted, and only while its run is live; a stop, or a step that resets the
// board side, waits for the passes under way once it has ended the run. The
// end starts claimed: a stop before the first run has nothing to report.
//
//   tTransferEnd end(&deviceInfo, status);
//   end.start(status);                                          // start
//   const uint32_t run = end.live();                            // a pass
//   end.access(run, [&] { if (failed) end.once(run, [&] { partner->transferEnded(s); }); });
//   end.stopLocked([&] { partner->transferEnded(status); }, status);   // stop
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tDeviceInfo.h"
#include "frame/tRuns.h"
#include "frame/tStatusSite.h"
#include "frame/transferLock.h"
#include "mdbg/tStatus2.h"
#include "sync/iSync.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdP100 {

class tTransferLock {
 public:
  tTransferLock(const tDeviceInfo* deviceInfo, nQoMDBG100::tStatus2& status)
      : _lock(deviceInfo != nullptr ? openTransferLock(*deviceInfo, status) : nullptr) {}
  ~tTransferLock() {
    nQoMDBG100::tStatus2 scratch;
    if (_lock != nullptr) closeTransferLock(_lock, scratch);
  }
  tTransferLock(const tTransferLock&) = delete;
  tTransferLock& operator=(const tTransferLock&) = delete;

  // What the lock reports goes to the status; the step runs all the same.
  template <class tStep>
  void locked(tStep step, nQoMDBG100::tStatus2& status) {
    underLock(_lock, step, status, {"tTransferLock", 50});
  }

 private:
  iSync* _lock;
};

class tTransferEnd {
 public:
  // Whether a stop reports the end of a run that no start took over.
  enum tOpened : uint32_t { kUnreported = 0, kReported = 1 };

  tTransferEnd(const tDeviceInfo* deviceInfo, nQoMDBG100::tStatus2& status)
      : _lock(deviceInfo, status) {}

  // An arm or a link, once the run before ended (overtake): a run for the
  // start to come. A link's is reported by a stop before its start too.
  void open(tOpened opened, nQoMDBG100::tStatus2& status) {
    _lock.locked(
        [&] {
          const uint32_t run = _runs.begin();
          if (opened == kReported) _reported.set(run);
        },
        status);
  }
  // A start: the run that an arm or a link opened, else a run of its own
  // (once the run before was overtaken); it runs, and a stop reports its
  // end.
  void start(nQoMDBG100::tStatus2& status) {
    _lock.locked(
        [&] {
          uint32_t run = _runs.live();
          if (run == 0) run = _runs.begin();
          _started.set(run);
          _reported.set(run);
        },
        status);
  }
  // The run that a link opened and no start took over ends with no report,
  // as the link goes: nothing ran that a stop could report. A run started
  // stays, for the stop that ends it. (The end is one atomic step, and a
  // link's run has no pass that moves data: no lock is needed.)
  void close() {
    if (!isRunning()) _runs.end();
  }
  // A step that resets what the passes move or read (an arm, a disarm, a
  // start of a run of its own): the live run ends with no report, under the
  // lock, so that an end sequence under way (a polling thread's) is over,
  // and the passes under way leave.
  void overtake(nQoMDBG100::tStatus2& status) {
    _lock.locked([&] { _runs.end(); }, status);
    _runs.waitForAccesses();
  }

  // The live run, for a pass to carry (0: none); a start's that no end was
  // claimed for yet.
  uint32_t live() const { return _runs.live(); }
  bool isLive(uint32_t run) const { return _runs.isLive(run); }
  bool isRunning() const { return _runs.isLive(_started.get()); }

  // A pass's moves of run: counted, and only while run is live.
  template <class tMove>
  bool access(uint32_t run, tMove move) {
    return _runs.access(run, move);
  }
  // The step that a pass of run leads to, under the lock, while run is live.
  template <class tUnderLock, class tStep>
  bool actOn(uint32_t run, tUnderLock underLock, tStep step) {
    return _runs.actOn(run, underLock, step);
  }
  // The same under the transfer's lock (a partner's call on its own thread).
  template <class tStep>
  bool actOnLocked(uint32_t run, tStep step, nQoMDBG100::tStatus2& status) {
    return _runs.actOn(
        run, [&](auto inside) { _lock.locked(inside, status); }, step);
  }
  // A pass's own end of run, claimed once with no lock (interrupt level):
  // runs the sequence when this call claimed it and the run's end is one
  // that is reported (a start's, or a link's; an arm's run ends unreported
  // before its start, as a stop ends it).
  template <class tSequence>
  void once(uint32_t run, tSequence sequence) {
    if (_runs.endIfLive(run) && run == _reported.get()) sequence();
  }
  // The same on a platform thread (a secondary pass, a polling thread), under
  // the lock, once the passes under way have left.
  template <class tSequence>
  void onceLocked(uint32_t run, tSequence sequence, nQoMDBG100::tStatus2& status) {
    _lock.locked(
        [&] {
          if (!_runs.endIfLive(run)) return;
          _runs.waitForAccesses();
          if (run == _reported.get()) sequence();
        },
        status);
  }
  // A stop: the live run ends under the lock, the passes under way leave,
  // and the sequence runs when the run was one whose end a stop reports (a
  // start's, or a link's).
  template <class tSequence>
  void stopLocked(tSequence sequence, nQoMDBG100::tStatus2& status) {
    _lock.locked(
        [&] {
          const uint32_t run = _runs.live();
          if (!_runs.endIfLive(run)) return;
          _runs.waitForAccesses();
          if (run == _reported.get()) sequence();
        },
        status);
  }

  // For a destruction, first thing: the live run ends, so that nobody
  // reports it any more, and switchOff runs when a start had begun it.
  template <class tSwitchOff>
  void claimSilently(tSwitchOff switchOff) {
    const uint32_t run = _runs.live();
    if (!_runs.endIfLive(run)) return;
    _runs.waitForAccesses();
    if (run == _started.get()) switchOff();
  }

 private:
  tTransferLock _lock;
  nQoUdR100::tRuns _runs;
  // The run a start began or took, and the run whose end a stop reports.
  tSyncAtomicU32 _started;
  tSyncAtomicU32 _reported;
};

}  // namespace nQoUdP100
