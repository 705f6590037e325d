#include "primitives/cdio/tBaseCDI_FIFOPrimitive.h"

#include "frame/freshStatus.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;
using nQoUdR100::onFreshStatus;

tBaseCDI_FIFOPrimitive::tBaseCDI_FIFOPrimitive(iCDIODispatcher* dispatcher,
                                               const tCDIODescription* description,
                                               tStatus2& status)
    : tCDIO_FIFOObservable(status), _dispatcher(dispatcher), _description(description) {
  checkDescription(description, status, {"tBaseCDI_FIFOPrimitive", 20});
}

tBaseCDI_FIFOPrimitive::~tBaseCDI_FIFOPrimitive() {
  if (_dispatcher == nullptr) return;
  _dispatcher->removeHandlers(kCDIFIFOSource, &_fifo);
  _dispatcher->removeHandlers(kCDIBufferErrorSource, &_bufferError);
  _dispatcher->removeHandlers(kCDIOverrunSource, &_overrun);
}

bool tBaseCDI_FIFOPrimitive::isReady() const {
  if (_dispatcher == nullptr || !isValid()) return false;
  return state() <= kUncommitted || _flags.programmed().mode != kNotSet;
}

void tBaseCDI_FIFOPrimitive::disableFIFOInterrupt(tStatus2& status) {
  _dispatcher->disableCDIFIFOInterrupt(&status);
}

void tBaseCDI_FIFOPrimitive::disableOverrunInterrupt(tStatus2& status) {
  _dispatcher->disableCDIOverrunInterrupt(&status);
}

void tBaseCDI_FIFOPrimitive::disableBufferErrorInterrupt(tStatus2& status) {
  _dispatcher->disableCDIBufferErrorInterrupt(&status);
}

// A commit or an arm after one that holds its sources changes none of them:
// it attaches or enables only the events the record does not hold yet, and
// a failure gives back only those, keeping the state it found.
void tBaseCDI_FIFOPrimitive::commit(tStatus2& status) {
  if (status.isFatal()) return;
  const uint32_t held = _attached;
  switchNoted(_fifo.any(), kFIFOBit, _attached, status,
              [&] { _dispatcher->attachCDIFIFOHandler(&_fifo, &_fifo, status); });
  switchNoted(_bufferError.any(), kBufferErrorBit, _attached, status, [&] {
    _dispatcher->attachCDIBufferErrorHandler(&_bufferError, &_bufferError, status);
  });
  switchNoted(_overrun.any(), kOverrunBit, _attached, status,
              [&] { _dispatcher->attachCDIOverrunHandler(&_overrun, &_overrun, status); });
  if (status.isNotFatal()) {
    const tFlags& flags = _flags.program();
    applyModeFlag(flags.mode, status);
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
}

// An event that came into use after the commit has no handler yet: its source
// stays off until a commit attaches it.
void tBaseCDI_FIFOPrimitive::arm(tStatus2& status) {
  if (status.isFatal()) return;
  const uint32_t held = _enabled;
  const auto attached = [&](uint32_t bit) { return (_attached & bit) != 0; };
  switchNoted(_fifo.any() && attached(kFIFOBit), kFIFOBit, _enabled, status,
              [&] { _dispatcher->enableCDIFIFOInterrupt(status); });
  switchNoted(_bufferError.any() && attached(kBufferErrorBit), kBufferErrorBit, _enabled, status,
              [&] { _dispatcher->enableCDIBufferErrorInterrupt(status); });
  switchNoted(_overrun.any() && attached(kOverrunBit), kOverrunBit, _enabled, status,
              [&] { _dispatcher->enableCDIOverrunInterrupt(status); });
  if (status.isNotFatal()) {
    setState(kArmed);
    return;
  }
  tStatus2 scratch;
  disable(_enabled & ~held, scratch);
  _enabled = held;
}

void tBaseCDI_FIFOPrimitive::disarm(tStatus2& status) {
  if (status.isFatal()) return;
  disable(_enabled, status);
  _enabled = 0;
  setState(kCommitted);
}

void tBaseCDI_FIFOPrimitive::uncommit(tStatus2& status) {
  if (status.isFatal()) return;
  // Sources an arm enabled and no disarm switched off (a commit since leaves
  // them on) go first, so none stays enabled without its handler.
  if (_enabled != 0) onFreshStatus(status, [&](tStatus2& s) { disarm(s); });
  detach(_attached, status);
  _attached = 0;
  setState(kUncommitted);
}

// Each dispatcher call of disable and detach on a status of its own, so that
// every source named is visited.
void tBaseCDI_FIFOPrimitive::disable(uint32_t sources, tStatus2& status) {
  if ((sources & kFIFOBit) != 0)
    onFreshStatus(status, [&](tStatus2& s) { _dispatcher->disableCDIFIFOInterrupt(&s); });
  if ((sources & kOverrunBit) != 0)
    onFreshStatus(status, [&](tStatus2& s) { _dispatcher->disableCDIOverrunInterrupt(&s); });
  if ((sources & kBufferErrorBit) != 0)
    onFreshStatus(status, [&](tStatus2& s) { _dispatcher->disableCDIBufferErrorInterrupt(&s); });
}

void tBaseCDI_FIFOPrimitive::detach(uint32_t events, tStatus2& status) {
  if ((events & kFIFOBit) != 0)
    onFreshStatus(status,
                  [&](tStatus2& s) { _dispatcher->detachCDIFIFOHandler(&_fifo, &_fifo, &s); });
  if ((events & kBufferErrorBit) != 0)
    onFreshStatus(status, [&](tStatus2& s) {
      _dispatcher->detachCDIBufferErrorHandler(&_bufferError, &_bufferError, &s);
    });
  if ((events & kOverrunBit) != 0)
    onFreshStatus(status, [&](tStatus2& s) {
      _dispatcher->detachCDIOverrunHandler(&_overrun, &_overrun, &s);
    });
}

void tBaseCDI_FIFOPrimitive::setModeFlag(uint32_t value, tStatus2& status, uint32_t apply) {
  if (status.isFatal()) return;
  _flags.deploying().mode = value;
  if (apply != 0) applyModeFlag(_flags.program().mode, status);
}

void tBaseCDI_FIFOPrimitive::setSecondaryModeFlag(uint32_t value, tStatus2& status) {
  if (status.isNotFatal()) _flags.deploying().secondary = value;
}

}  // namespace nQoUdP100
