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
  return state() <= kUncommitted || _modeFlag != kNotSet;
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

void tBaseCDI_FIFOPrimitive::commit(tStatus2& status) {
  if (status.isFatal()) return;
  if (_fifo.any()) _dispatcher->attachCDIFIFOHandler(&_fifo, &_fifo, status);
  if (_bufferError.any())
    _dispatcher->attachCDIBufferErrorHandler(&_bufferError, &_bufferError, status);
  if (_overrun.any()) _dispatcher->attachCDIOverrunHandler(&_overrun, &_overrun, status);
  applyModeFlag(status);
  applySecondaryModeFlag(status);
  if (status.isNotFatal()) {
    setState(kCommitted);
    return;
  }
  tStatus2 scratch;
  uncommit(scratch);
}

void tBaseCDI_FIFOPrimitive::arm(tStatus2& status) {
  if (status.isFatal()) return;
  if (_fifo.any()) _dispatcher->enableCDIFIFOInterrupt(status);
  if (_bufferError.any()) _dispatcher->enableCDIBufferErrorInterrupt(status);
  if (_overrun.any()) _dispatcher->enableCDIOverrunInterrupt(status);
  if (status.isNotFatal()) {
    setState(kArmed);
    return;
  }
  tStatus2 scratch;
  disarm(scratch);
}

// Each dispatcher call of disarm and uncommit on a status of its own, so that
// every list in use is visited.
void tBaseCDI_FIFOPrimitive::disarm(tStatus2& status) {
  if (status.isFatal()) return;
  if (_fifo.any())
    onFreshStatus(status, [&](tStatus2& s) { _dispatcher->disableCDIFIFOInterrupt(&s); });
  if (_overrun.any())
    onFreshStatus(status, [&](tStatus2& s) { _dispatcher->disableCDIOverrunInterrupt(&s); });
  if (_bufferError.any())
    onFreshStatus(status, [&](tStatus2& s) { _dispatcher->disableCDIBufferErrorInterrupt(&s); });
  setState(kCommitted);
}

void tBaseCDI_FIFOPrimitive::uncommit(tStatus2& status) {
  if (status.isFatal()) return;
  if (_fifo.any())
    onFreshStatus(status,
                  [&](tStatus2& s) { _dispatcher->detachCDIFIFOHandler(&_fifo, &_fifo, &s); });
  if (_bufferError.any())
    onFreshStatus(status, [&](tStatus2& s) {
      _dispatcher->detachCDIBufferErrorHandler(&_bufferError, &_bufferError, &s);
    });
  if (_overrun.any())
    onFreshStatus(status, [&](tStatus2& s) {
      _dispatcher->detachCDIOverrunHandler(&_overrun, &_overrun, &s);
    });
  setState(kUncommitted);
}

void tBaseCDI_FIFOPrimitive::setModeFlag(uint32_t value, tStatus2& status, uint32_t apply) {
  if (status.isFatal()) return;
  _modeFlag = value;
  if (apply != 0) applyModeFlag(status);
}

void tBaseCDI_FIFOPrimitive::setSecondaryModeFlag(uint32_t value, tStatus2& status) {
  if (status.isNotFatal()) _secondaryModeFlag = value;
}

}  // namespace nQoUdP100
