// The lock of a correlated transfer, and the end that the transfer reports to
// its partner once per start.
//
// tTransferLock runs a step under the transfer's lock (opened from the
// device information, closed with the object).
//
// tTransferEnd: whoever comes first (the supervisor's stop, an error
// notification, the end of the data) runs the end sequence; later comers do
// nothing until the next start re-opens it. On platform threads the sequence
// runs under the lock, so that a stop returns only after the end was
// reported; at interrupt level the claim alone decides (no lock is taken
// there). A start also marks a run, which lasts until its end is claimed, so
// that a release can tell whether there is a run to stop. The end starts
// claimed: a stop before the first start (or a DMA link that opens it) has
// no run to report.
//
//   tTransferEnd end(&deviceInfo, status);
//   end.start();                                                    // start
//   end.onceLocked([&] { partner->transferEnded(status); }, status);
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tDeviceInfo.h"
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
  tTransferEnd(const tDeviceInfo* deviceInfo, nQoMDBG100::tStatus2& status)
      : _lock(deviceInfo, status) {}

  // The end is reported again, with no run yet (an arm that opens it). A
  // run under way stays, for the stop that ends it.
  void reopen() {
    if (isRunning()) return;
    _started.set(0);
    _stopped.set(0);
  }
  // The end that a link opened and no run took over is claimed with no
  // report, as the link goes: nothing ran that a stop could report. A run
  // under way stays, for the stop that ends it.
  void close() {
    if (!isRunning()) _stopped.set(1);
  }
  // A run starts: the end is reported again.
  void start() {
    _stopped.set(0);
    _started.set(1);
  }
  bool isStopped() const { return _stopped.get() != 0; }
  // A start whose end has not been claimed yet.
  bool isRunning() const { return _started.get() != 0 && !isStopped(); }

  // Runs the sequence when this call claims the end.
  template <class tSequence>
  void once(tSequence sequence) {
    if (_stopped.exchange(1) == 0) sequence();
  }

  // For a destruction, first thing: claims the end, so that nobody reports
  // it any more, and runs switchOff when a start had no end claimed yet.
  template <class tSwitchOff>
  void claimSilently(tSwitchOff switchOff) {
    if (_stopped.exchange(1) == 0 && _started.get() != 0) switchOff();
  }

  template <class tSequence>
  void onceLocked(tSequence sequence, nQoMDBG100::tStatus2& status) {
    _lock.locked([&] { once(sequence); }, status);
  }

 private:
  tTransferLock _lock;
  tSyncAtomicU32 _stopped{1};
  tSyncAtomicU32 _started;
};

}  // namespace nQoUdP100
