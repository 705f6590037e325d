#include "primitives/cdio/tBaseCDO_FIFOPrimitive.h"

#include "frame/freshStatus.h"
#include "time/tTimerTimeWaster.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;
using nQoUdR100::onFreshStatus;

namespace {
constexpr uint64_t kPollInterval = 10;  // ms
}  // namespace

tBaseCDO_FIFOPrimitive::tBaseCDO_FIFOPrimitive(iCDIODispatcher* dispatcher,
                                               const tCDIODescription* description,
                                               tStatus2& status)
    : tCDIO_FIFOObservable(status),
      tCDO_FIFOEmptyObservable(status),
      tSingleActionOnceSignallableThread(status, 0),
      _dispatcher(dispatcher),
      _description(description) {
  checkDescription(description, status, {"tBaseCDO_FIFOPrimitive", 20});
}

tBaseCDO_FIFOPrimitive::~tBaseCDO_FIFOPrimitive() {
  if (_dispatcher == nullptr) return;
  _dispatcher->removeHandlers(kCDOFIFOSource, &_fifo);
  _dispatcher->removeHandlers(kCDOBufferErrorSource, &_bufferError);
  _dispatcher->removeHandlers(kCDOOverrunSource, &_overrun);
  _dispatcher->removeHandlers(kCDOFIFOEmptySource, &_fifoEmpty);
}

bool tBaseCDO_FIFOPrimitive::isReady() const {
  if (_dispatcher == nullptr || !isValid()) return false;
  return state() <= kUncommitted || _flags.programmed().mode != kNotSet;
}

void tBaseCDO_FIFOPrimitive::disableFIFOInterrupt(tStatus2& status) {
  _dispatcher->disableCDOFIFOInterrupt(&status);
}

void tBaseCDO_FIFOPrimitive::disableOverrunInterrupt(tStatus2& status) {
  _dispatcher->disableCDOOverrunInterrupt(&status);
}

void tBaseCDO_FIFOPrimitive::disableBufferErrorInterrupt(tStatus2& status) {
  _dispatcher->disableCDOBufferErrorInterrupt(&status);
}

void tBaseCDO_FIFOPrimitive::enableFIFOEmptyInterrupt(tStatus2& status) {
  if (_fifoEmpty.any()) _dispatcher->enableWhileArmed(kCDOFIFOEmptySource, _fifoEmptyArmed, status);
}

void tBaseCDO_FIFOPrimitive::disableFIFOEmptyInterrupt(tStatus2& status) {
  if (_fifoEmpty.any()) _dispatcher->disableCDOFIFOEmptyInterrupt(&status);
}

// A commit or an arm after one that holds its events, its sources or its
// polling thread changes none of them: it attaches, enables or starts only
// what the records do not hold yet, and a failure gives back only that,
// keeping the state it found.
void tBaseCDO_FIFOPrimitive::commit(tStatus2& status) {
  if (status.isFatal()) return;
  const uint32_t held = _attached;
  switchNoted(_fifo.any(), kFIFOBit, _attached, status,
              [&] { _dispatcher->attachCDOFIFOHandler(&_fifo, &_fifo, status); });
  switchNoted(_bufferError.any(), kBufferErrorBit, _attached, status, [&] {
    _dispatcher->attachCDOBufferErrorHandler(&_bufferError, &_bufferError, status);
  });
  switchNoted(_overrun.any(), kOverrunBit, _attached, status,
              [&] { _dispatcher->attachCDOOverrunHandler(&_overrun, &_overrun, status); });
  switchNoted(_fifoEmpty.any(), kFIFOEmptyBit, _attached, status,
              [&] { _dispatcher->attachCDOFIFOEmptyHandler(&_fifoEmpty, &_fifoEmpty, status); });
  const bool startsThread = _threadInUse == 0 && _polledObservers.any();
  if (startsThread && status.isNotFatal()) {
    startThread(status);
    if (status.isNotFatal()) _threadInUse = 1;
  }
  if (status.isNotFatal()) {
    const tFlags& flags = _flags.program();
    applyModeFlag(flags.mode, status);
    applyTransferModeFlag(flags.transfer, status);
    applySecondaryModeFlag(flags.secondary, status);
  }
  if (status.isNotFatal()) {
    // An armed FIFO stays armed: its passes go on reaching their observers.
    if (!isArmed()) setState(kCommitted);
    return;
  }
  tStatus2 scratch;
  detach(_attached & ~held, scratch);
  _attached = held;
  if (startsThread) endPollingThread(scratch);
}

void tBaseCDO_FIFOPrimitive::uncommit(tStatus2& status) {
  // Sources an arm enabled or let be enabled and no disarm switched off (a
  // commit since leaves them on) go first, so none stays enabled without its
  // handler.
  if (holdsSources()) onFreshStatus(status, [&](tStatus2& s) { disarm(s); });
  detach(_attached, status);
  _attached = 0;
  endPollingThread(status);
  setState(kUncommitted);
}

// Every arm resets the polling thread for a run of its own. An event that
// came into use after the commit has no handler yet: its source stays off
// until a commit attaches it.
void tBaseCDO_FIFOPrimitive::arm(tStatus2& status) {
  if (status.isFatal()) return;
  const uint32_t held = _enabled;
  if (_threadInUse != 0) reset(status);
  const auto attached = [&](uint32_t bit) { return (_attached & bit) != 0; };
  switchNoted(_fifo.any() && attached(kFIFOBit), kFIFOBit, _enabled, status,
              [&] { _dispatcher->enableCDOFIFOInterrupt(status); });
  switchNoted(_bufferError.any() && attached(kBufferErrorBit), kBufferErrorBit, _enabled, status,
              [&] { _dispatcher->enableCDOBufferErrorInterrupt(status); });
  switchNoted(_overrun.any() && attached(kOverrunBit), kOverrunBit, _enabled, status,
              [&] { _dispatcher->enableCDOOverrunInterrupt(status); });
  if (status.isNotFatal()) {
    // The FIFO-empty source is its observers' to enable, once its handler
    // is attached.
    if (attached(kFIFOEmptyBit)) _fifoEmptyArmed = 1;
    setState(kArmed);
    return;
  }
  tStatus2 scratch;
  endPollingRun(scratch);
  disable(_enabled & ~held, scratch);
  _enabled = held;
}

// The FIFO-empty record goes before anything is switched off: an enable
// that comes after sees it gone, one that saw it has switched the source on
// before the switch-off here.
void tBaseCDO_FIFOPrimitive::disarm(tStatus2& status) {
  const bool fifoEmptyArmed = _fifoEmptyArmed.exchange(0) != 0;
  endPollingRun(status);
  disable(_enabled, status);
  _enabled = 0;
  if (fifoEmptyArmed)
    onFreshStatus(status, [&](tStatus2& s) { _dispatcher->disableCDOFIFOEmptyInterrupt(&s); });
  setState(kCommitted);
}

// Each step of the give-backs on a status of its own, merged.
void tBaseCDO_FIFOPrimitive::detach(uint32_t events, tStatus2& status) {
  if ((events & kFIFOBit) != 0)
    onFreshStatus(status,
                  [&](tStatus2& s) { _dispatcher->detachCDOFIFOHandler(&_fifo, &_fifo, &s); });
  if ((events & kBufferErrorBit) != 0)
    onFreshStatus(status, [&](tStatus2& s) {
      _dispatcher->detachCDOBufferErrorHandler(&_bufferError, &_bufferError, &s);
    });
  if ((events & kOverrunBit) != 0)
    onFreshStatus(status, [&](tStatus2& s) {
      _dispatcher->detachCDOOverrunHandler(&_overrun, &_overrun, &s);
    });
  if ((events & kFIFOEmptyBit) != 0)
    onFreshStatus(status, [&](tStatus2& s) {
      _dispatcher->detachCDOFIFOEmptyHandler(&_fifoEmpty, &_fifoEmpty, &s);
    });
}

void tBaseCDO_FIFOPrimitive::disable(uint32_t sources, tStatus2& status) {
  if ((sources & kFIFOBit) != 0)
    onFreshStatus(status, [&](tStatus2& s) { _dispatcher->disableCDOFIFOInterrupt(&s); });
  if ((sources & kBufferErrorBit) != 0)
    onFreshStatus(status, [&](tStatus2& s) { _dispatcher->disableCDOBufferErrorInterrupt(&s); });
  if ((sources & kOverrunBit) != 0)
    onFreshStatus(status, [&](tStatus2& s) { _dispatcher->disableCDOOverrunInterrupt(&s); });
}

void tBaseCDO_FIFOPrimitive::endPollingRun(tStatus2& status) {
  if (_threadInUse == 0) return;
  onFreshStatus(status, [&](tStatus2& s) {
    signal(s);
    waitForDone(kDisarmWait, s);
  });
}

void tBaseCDO_FIFOPrimitive::endPollingThread(tStatus2& status) {
  if (_threadInUse == 0) return;
  onFreshStatus(status, [&](tStatus2& s) { stop(s); });
  onFreshStatus(status, [&](tStatus2& s) { destroyThread(s); });
  _threadInUse = 0;
}

uint32_t tBaseCDO_FIFOPrimitive::action(tStatus2& status) {
  const tTimerTimeWasterSleep waster;
  const auto toldToStop = [&] { return isStopRequested() != 0 || isSignalled() != 0; };
  while (!toldToStop() && status.isNotFatal() && isFIFOEmpty(status) == 0)
    waster.sleep(kPollInterval, kTimerTimeUnitMillisecond, &status.code);
  if (toldToStop()) return 0;
  _polledObservers.notifyAll([&](iCDO_FIFOEmptyPolledObserver* observer) {
    observer->handleFIFOEmptyPolled(this, status);
    return 0u;
  });
  return 1;
}

void tBaseCDO_FIFOPrimitive::wakePollingThread(tStatus2& status) { wake(status); }

void tBaseCDO_FIFOPrimitive::signalPollingThread(tStatus2& status) { signal(status); }

void tBaseCDO_FIFOPrimitive::setModeFlag(uint32_t value, tStatus2& status, uint32_t apply) {
  if (status.isFatal()) return;
  _flags.deploying().mode = value;
  if (apply != 0) applyModeFlag(_flags.program().mode, status);
}

void tBaseCDO_FIFOPrimitive::setSecondaryModeFlag(uint32_t value, tStatus2& status) {
  if (status.isNotFatal()) _flags.deploying().secondary = value;
}

void tBaseCDO_FIFOPrimitive::setTransferModeFlag(uint32_t value, tStatus2& status) {
  if (status.isNotFatal()) _flags.deploying().transfer = value;
}

void tBaseCDO_FIFOPrimitive::registerPolledObserver(iCDO_FIFOEmptyPolledObserver* observer,
                                                    tStatus2& status) {
  _polledObservers.add({observer}, status, {"tBaseCDO_FIFOPrimitive", 60});
}

void tBaseCDO_FIFOPrimitive::unregisterPolledObserver(iCDO_FIFOEmptyPolledObserver* observer,
                                                      tStatus2& status) {
  _polledObservers.remove(observer, status);
}

tBaseCDO_FIFOPrimitive::tPolledRecord* tBaseCDO_FIFOPrimitive::findPolledObserver(
    iCDO_FIFOEmptyPolledObserver* observer) {
  return _polledObservers.find(observer);
}

}  // namespace nQoUdP100
