#include "frame/tSingleActionOnceSignallableThread.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

namespace {

constexpr const char kFile[] = "tSingleActionOnceSignallableThread";
constexpr uint32_t kForever = iSync::kWaitForever;

struct tSyncObject {
  uint32_t kind;
  uint32_t option;
};
constexpr tSyncObject kGoEvent{2, 108};
constexpr tSyncObject kDoneEvent{3, 76};
constexpr tSyncObject kThreadLock{4, 0};

// A code a platform call left in its own status, taken by the merge rule.
void merge(nQoMDBG100::tStatus2& status, int code, unsigned line) {
  nQoUdR100::setCode(status, code, {kFile, line});
}

iSync* open(const tSyncObject& object, nQoMDBG100::tStatus2& status) {
  iSync::tParam param;
  param.kind = object.kind;
  param.option = object.option;
  int code = 0;
  iSync* sync = syncOpen(param, &code);
  if (sync == nullptr) merge(status, nQoUdR100::kRefused, 40);
  return sync;
}

void set(iSync* sync, nQoMDBG100::tStatus2& status, unsigned line) {
  int code = 0;
  sync->releaseOrSet(&code);
  merge(status, code, line);
}

void clear(iSync* sync, nQoMDBG100::tStatus2& status, unsigned line) {
  int code = 0;
  sync->reset(&code);
  merge(status, code, line);
}

void close(iSync*& sync) {
  if (sync == nullptr) return;
  syncClose(sync);
  sync = nullptr;
}

}  // namespace

tSingleActionOnceSignallableThread::tSingleActionOnceSignallableThread(nQoMDBG100::tStatus2& status,
                                                                       uint32_t startNow) {
  if (status.isFatal()) return;
  _goEvent = open(kGoEvent, status);
  if (_goEvent != nullptr) _doneEvent = open(kDoneEvent, status);
  if (_doneEvent != nullptr) _lock = open(kThreadLock, status);
  if (_lock != nullptr && startNow != 0) startThread(status);
}

tSingleActionOnceSignallableThread::~tSingleActionOnceSignallableThread() {
  endThread();
  close(_goEvent);
  close(_lock);
  close(_doneEvent);
}

bool tSingleActionOnceSignallableThread::acquireLock(nQoMDBG100::tStatus2& status) {
  int code = 0;
  const bool acquired = _lock->waitOrAcquire(kForever, &code) == 1;
  merge(status, acquired || code < 0 ? code : nQoUdR100::kRefused, 80);
  return acquired;
}

void tSingleActionOnceSignallableThread::releaseLock(nQoMDBG100::tStatus2& status) {
  nQoMDBG100::tStatus2 fresh;
  set(_lock, fresh, 87);
  status.assign(fresh);
}

void tSingleActionOnceSignallableThread::startThread(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (_controller != nullptr) {
    // A second thread would leave the first one running with nobody to join it.
    nQoUdR100::setCode(status, nQoUdR100::kMisuse, {kFile, 95});
    return;
  }
  _stopRequested.set(0);
  _signalled.set(0);
  _done.set(0);
  _actionResult.set(0);
  _wakePending.set(0);
  clear(_goEvent, status, 101);
  clear(_doneEvent, status, 102);
  if (status.isFatal()) return;
  tThreadControllerFactory::tParam param;
  param.thread = this;
  int code = 0;
  _controller = tThreadControllerFactory::create(param, &code);
  merge(status, code, 108);
}

void tSingleActionOnceSignallableThread::wake(nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || !acquireLock(status)) return;
  _wakePending.set(1);
  set(_goEvent, status, 114);
  releaseLock(status);
}

void tSingleActionOnceSignallableThread::signal(nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || !acquireLock(status)) return;
  _signalled.set(1);
  nQoMDBG100::tStatus2 fresh;
  if (_done.get() == 0) {
    _wakePending.set(1);
    set(_goEvent, fresh, 122);
  }
  status.assign(fresh);
  releaseLock(status);
}

void tSingleActionOnceSignallableThread::reset(nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || !acquireLock(status)) return;
  _signalled.set(0);
  _done.set(0);
  _actionResult.set(0);
  // A wake that came before the reset belongs to the run before, and so does
  // an action still running from it.
  _wakePending.set(0);
  ++_run;
  nQoMDBG100::tStatus2 fresh;
  clear(_doneEvent, fresh, 133);
  status.assign(fresh);
  releaseLock(status);
}

uint32_t tSingleActionOnceSignallableThread::waitForDone(uint32_t timeout,
                                                         nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return 0;
  int code = 0;
  const uint32_t waited = _doneEvent->waitOrAcquire(timeout, &code);
  merge(status, code == iSync::kTimeoutCode ? nQoUdR100::kDoneTimeout : code, 143);
  if (_actionResult.get() != 0) return 1;
  return waited == 1 && code >= 0 && _signalled.get() == 0 && _stopRequested.get() == 0 ? 1 : 0;
}

void tSingleActionOnceSignallableThread::stop(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _stopRequested.set(1);
  set(_doneEvent, status, 152);
  nQoMDBG100::tStatus2 fresh;
  if (acquireLock(fresh)) {
    set(_goEvent, fresh, 155);
    releaseLock(fresh);
  }
  status.assign(fresh);
}

void tSingleActionOnceSignallableThread::destroyThread(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  set(_doneEvent, status, 163);
  if (_controller == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kFile, 165});
    return;
  }
  // A worker still waiting on go would never return to be joined.
  _stopRequested.set(1);
  nQoMDBG100::tStatus2 wakeStatus;
  if (acquireLock(wakeStatus)) {
    set(_goEvent, wakeStatus, 172);
    releaseLock(wakeStatus);
  }
  status.assign(wakeStatus);
  int joinCode = 0;
  _controller->join(&joinCode);
  merge(status, joinCode, 178);
  int destroyCode = 0;
  tThreadControllerFactory::destroy(_controller, &destroyCode);
  merge(status, destroyCode, 181);
  _controller = nullptr;
}

// Stop and destroy each on a status of its own: a stop that failed still
// joins the thread.
void tSingleActionOnceSignallableThread::endThread() {
  if (_controller == nullptr) return;
  nQoMDBG100::tStatus2 local;
  stop(local);
  destroyThread(local.clear());
}

int32_t tSingleActionOnceSignallableThread::run() {
  nQoMDBG100::tStatus2 own;
  while (_stopRequested.get() == 0 && own.isNotFatal()) {
    int code = 0;
    const uint32_t woken = _goEvent->waitOrAcquire(kForever, &code);
    merge(own, code, 191);
    if (_stopRequested.get() != 0 || woken != 1) break;
    if (!takeWake(own)) continue;
    const uint32_t result = action(own);
    if (!acquireLock(own)) continue;
    // An action that outlived its run reports nothing into the next one; the
    // go event stays for takeWake, as it may carry a wake of the new run.
    if (_actionRun != _run) {
      releaseLock(own);
      continue;
    }
    _done.set(1);
    _actionResult.set(result);
    if (_stopRequested.get() == 0) clear(_goEvent, own, 203);
    nQoMDBG100::tStatus2 fresh;
    set(_doneEvent, fresh, 205);
    own.assign(fresh);
    releaseLock(own);
  }
  return 0;
}

bool tSingleActionOnceSignallableThread::takeWake(nQoMDBG100::tStatus2& status) {
  if (!acquireLock(status)) return false;
  const bool run = _done.get() == 0 && _wakePending.get() != 0;
  if (run) {
    _wakePending.set(0);
    _actionRun = _run;
  } else if (_stopRequested.get() == 0) {
    clear(_goEvent, status, 215);
  }
  releaseLock(status);
  return run;
}

}  // namespace nQoUdP100
