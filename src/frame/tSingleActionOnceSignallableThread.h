// The one worker thread of the system: it sleeps until woken, runs its
// owner's action once, records the result, raises a done event and sleeps
// again; the action runs again only after the owner resets it, and only for
// a wake or signal that came after that reset.
//
//   class tPoller : public nQoUdP100::tSingleActionOnceSignallableThread {
//     uint32_t action(nQoMDBG100::tStatus2& status) override;  // non-zero: job done
//   };
//   tPoller poller(status, 0);
//   poller.startThread(status);
//   poller.reset(status);                  // before each use
//   poller.wake(status);                   // runs the action on the worker
//   poller.signal(status);                 // asks a running action to give up
//   poller.waitForDone(5000, status);      // 1 when the action finished its job
//   poller.stop(status);
//   poller.destroyThread(status);
//   ~tPoller() override { endThread(); }  // before the poller's part goes
//
// Every operation does nothing when the status already holds an error.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "sync/iSync.h"
#include "sync/tSyncAtomicU32.h"
#include "thread/tThreadControllerFactory.h"

namespace nQoUdP100 {

class tSingleActionOnceSignallableThread : public iThread {
 public:
  // Opens the go event, the done event and the lock (kRefused when one cannot
  // be opened); starts the thread when startNow is non-zero.
  tSingleActionOnceSignallableThread(nQoMDBG100::tStatus2& status, uint32_t startNow);
  ~tSingleActionOnceSignallableThread() override;
  tSingleActionOnceSignallableThread(const tSingleActionOnceSignallableThread&) = delete;
  tSingleActionOnceSignallableThread& operator=(const tSingleActionOnceSignallableThread&) = delete;

  // The worker's loop.
  int32_t run() override;
  // The owner's job; non-zero when it is finished. Reads isStopRequested and
  // isSignalled to give up early.
  virtual uint32_t action(nQoMDBG100::tStatus2& status) = 0;

  // kMisuse while a thread is already running.
  void startThread(nQoMDBG100::tStatus2& status);
  void wake(nQoMDBG100::tStatus2& status);
  void signal(nQoMDBG100::tStatus2& status);
  void reset(nQoMDBG100::tStatus2& status);
  // A time-out is reported as kDoneTimeout.
  uint32_t waitForDone(uint32_t timeout, nQoMDBG100::tStatus2& status);
  void stop(nQoMDBG100::tStatus2& status);
  // Ends and frees the thread; kNullPointer when there is none.
  void destroyThread(nQoMDBG100::tStatus2& status);
  // Stops, joins and frees the thread when there is one. The destructor does
  // it too, but by then the owner's part is gone: an owner whose action is its
  // own calls it first thing in its most-derived destructor.
  void endThread();

  uint32_t isStopRequested() const { return _stopRequested.get(); }
  uint32_t isSignalled() const { return _signalled.get(); }

 private:
  bool acquireLock(nQoMDBG100::tStatus2& status);
  void releaseLock(nQoMDBG100::tStatus2& status);
  // Under the lock: true when a wake of this run is pending (it is taken, and
  // the action that follows belongs to this run).
  // Otherwise the go event, left set by a wake that came while the result was
  // held or before the last reset, is cleared so the worker waits instead of
  // spinning.
  bool takeWake(nQoMDBG100::tStatus2& status);

  tSyncAtomicU32 _stopRequested;
  tSyncAtomicU32 _signalled;
  tSyncAtomicU32 _done;
  tSyncAtomicU32 _actionResult;
  tSyncAtomicU32 _wakePending;
  // Under the lock: the runs begun by reset, and the run of the action taken
  // last.
  uint32_t _run = 0;
  uint32_t _actionRun = 0;
  iSync* _lock = nullptr;
  iSync* _goEvent = nullptr;
  iSync* _doneEvent = nullptr;
  iThreadController* _controller = nullptr;
};

}  // namespace nQoUdP100
