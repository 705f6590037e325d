#include "primitives/cdio/tCDIO_FIFOObservable.h"

namespace nQoUdP100 {

namespace {
constexpr const char kFile[] = "tCDIO_FIFOObservable";
}  // namespace

tCDIO_FIFOObservable::tCDIO_FIFOObservable(nQoMDBG100::tStatus2& status) {
  _state.set(kInvalid);
  if (status.isFatal()) return;
  _bufferError.setObservable(this);
  _overrun.setObservable(this);
  _fifo.setObservable(this);
  _state.set(kUncommitted);
}

void tCDIO_FIFOObservable::addObserver(iCDIOBufferErrorObserver* observer,
                                       nQoMDBG100::tStatus2& status) {
  _bufferError.add(observer, status, {kFile, 40});
}

void tCDIO_FIFOObservable::addObserver(iCDIOOverrunObserver* observer,
                                       nQoMDBG100::tStatus2& status) {
  _overrun.add(observer, status, {kFile, 45});
}

void tCDIO_FIFOObservable::addObserver(iCDIOFIFOObserver* observer, nQoMDBG100::tStatus2& status) {
  _fifo.add(observer, status, {kFile, 50});
}

void tCDIO_FIFOObservable::removeObserver(iCDIOBufferErrorObserver* observer,
                                          nQoMDBG100::tStatus2& status) {
  _bufferError.remove(observer, status);
}

void tCDIO_FIFOObservable::removeObserver(iCDIOOverrunObserver* observer,
                                          nQoMDBG100::tStatus2& status) {
  _overrun.remove(observer, status);
}

void tCDIO_FIFOObservable::removeObserver(iCDIOFIFOObserver* observer,
                                          nQoMDBG100::tStatus2& status) {
  _fifo.remove(observer, status);
}

}  // namespace nQoUdP100
