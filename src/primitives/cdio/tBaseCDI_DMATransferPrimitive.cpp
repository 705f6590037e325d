#include "primitives/cdio/tBaseCDI_DMATransferPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;

namespace {
constexpr const char kFile[] = "source/qomiop/cdio/tBaseCDI_DMATransferPrimitive";
}  // namespace

tBaseCDI_DMATransferPrimitive::tBaseCDI_DMATransferPrimitive(const tDeviceInfo* deviceInfo,
                                                             tBaseCDI_FIFOPrimitive* fifo,
                                                             const nQoORB100::tGUID* identity,
                                                             tStatus2& status)
    : _fifo(fifo), _identity(identity), _end(deviceInfo, status) {}

tBaseCDI_DMATransferPrimitive::~tBaseCDI_DMATransferPrimitive() {
  tStatus2 scratch;
  // This class's own steps: a derived class is gone by now.
  if (_state == kLinked) tBaseCDI_DMATransferPrimitive::unlinkDMA(scratch);
  if (_state == kCommitted) tBaseCDI_DMATransferPrimitive::uncommit(scratch);
  if (_state == kObserving) tBaseCDI_DMATransferPrimitive::unregisterObservers(scratch);
}

void tBaseCDI_DMATransferPrimitive::registerObservers(tStatus2& status) {
  if (status.isFatal()) return;
  if (_sampleMode == kFinite && _destination != nullptr) _destination->bindTransfer(this, status);
  _fifo->addObserver(static_cast<iCDIOBufferErrorObserver*>(this), status);
  _fifo->addObserver(static_cast<iCDIOOverrunObserver*>(this), status);
  if (status.isNotFatal()) {
    _state = kObserving;
    return;
  }
  tStatus2 scratch;
  unregisterObservers(scratch);
}

void tBaseCDI_DMATransferPrimitive::commit(tStatus2& status) {
  if (status.isNotFatal()) _state = kCommitted;
}

void tBaseCDI_DMATransferPrimitive::linkDMA(tStatus2& status) {
  if (status.isFatal()) return;
  const uint32_t channel =
      _channel != nullptr ? _channel->getChannelNumber(status) & 0xFF : _channelNumber;
  _fifo->linkDMAChannel(channel, status);
  if (status.isFatal()) return;
  _end.reopen();
  _dataDone = 0;
  _state = kLinked;
}

void tBaseCDI_DMATransferPrimitive::unlinkDMA(tStatus2& status) {
  if (status.isFatal()) return;
  _fifo->unlinkDMAChannel(status);
  _state = kCommitted;
}

void tBaseCDI_DMATransferPrimitive::uncommit(tStatus2& status) {
  if (status.isNotFatal()) _state = kObserving;
}

void tBaseCDI_DMATransferPrimitive::unregisterObservers(tStatus2& status) {
  if (status.isFatal()) return;
  tStatus2 first, second;
  _fifo->removeObserver(static_cast<iCDIOBufferErrorObserver*>(this), first);
  _fifo->removeObserver(static_cast<iCDIOOverrunObserver*>(this), second);
  status.assign(first);
  status.assign(second);
  _state = kBuilt;
}

void tBaseCDI_DMATransferPrimitive::start(tStatus2& status) { _fifo->startFIFO(status); }

void tBaseCDI_DMATransferPrimitive::stop(tStatus2& status) {
  if (status.isFatal()) return;
  if (_sampleMode == kFinite && _dataDone == 0 && status.code == 0)
    nQoUdR100::setCode(status, nQoUdR100::kStoppedEarly, {kFile, 282});
  _end.onceLocked([&] { end(status); }, status);
}

void tBaseCDI_DMATransferPrimitive::markDataDone(tStatus2& status) {
  if (status.isFatal()) return;
  _dataDone = 1;
  _fifo->stopFIFO(status);
  _fifo->resetFIFO(status);
}

void tBaseCDI_DMATransferPrimitive::end(tStatus2& status) {
  // The FIFO stops also when the end is an error.
  tStatus2 scratch;
  _fifo->stopFIFO(scratch);
  _fifo->resetFIFO(scratch);
  status.assign(scratch);
  if (_destination != nullptr) _destination->transferEnded(status);
}

void tBaseCDI_DMATransferPrimitive::endWithError(int code, unsigned line) {
  tStatus2 fresh;
  nQoUdR100::setCode(fresh, code, {kFile, line});
  _end.onceLocked([&] { end(fresh); }, fresh);
}

uint32_t tBaseCDI_DMATransferPrimitive::handleBufferError(tCDIO_FIFOObservable*, tStatus2& status) {
  _fifo->disableBufferErrorInterrupt(status);
  return 1;
}

void tBaseCDI_DMATransferPrimitive::handleBufferErrorSecondary(tCDIO_FIFOObservable*, tStatus2&) {
  endWithError(nQoUdR100::kFIFOOverflow, 330);
}

uint32_t tBaseCDI_DMATransferPrimitive::handleOverrun(tCDIO_FIFOObservable*, tStatus2&) {
  return 1;
}

void tBaseCDI_DMATransferPrimitive::handleOverrunSecondary(tCDIO_FIFOObservable*, tStatus2&) {
  endWithError(nQoUdR100::kCDIOverrun, 352);
}

bool tBaseCDI_DMATransferPrimitive::isReady() const {
  if (_fifo == nullptr || _identity == nullptr) return false;
  switch (_state) {
    case kBuilt:
    case kCommitted:
    case kLinked: return true;
    case kObserving:
      return _destination != nullptr && (_channel != nullptr || _channelNumber != kNoChannel) &&
             _sampleMode < 2;
    default: return false;
  }
}

void tBaseCDI_DMATransferPrimitive::setDestination(iDestination* destination, tStatus2& status) {
  if (status.isFatal()) return;
  if (_state != kBuilt) {
    nQoUdR100::setCode(status, nQoUdR100::kSettingWhileInUse, {kFile, 181});
    return;
  }
  _destination = destination;
}

void tBaseCDI_DMATransferPrimitive::setSampleMode(uint32_t mode, tStatus2& status) {
  if (status.isFatal()) return;
  if (_state != kBuilt) {
    nQoUdR100::setCode(status, nQoUdR100::kSettingWhileInUse, {kFile, 235});
    return;
  }
  _sampleMode = mode;
}

}  // namespace nQoUdP100
