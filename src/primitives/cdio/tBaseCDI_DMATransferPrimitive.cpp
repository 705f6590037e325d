#include "primitives/cdio/tBaseCDI_DMATransferPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;

tBaseCDI_DMATransferPrimitive::tBaseCDI_DMATransferPrimitive(const tDeviceInfo* deviceInfo,
                                                             tBaseCDI_FIFOPrimitive* fifo,
                                                             const nQoORB100::tGUID* identity,
                                                             tStatus2& status)
    : tCDIO_DMATransfer(deviceInfo, fifo, identity, status) {}

tBaseCDI_DMATransferPrimitive::~tBaseCDI_DMATransferPrimitive() {
  tStatus2 scratch;
  // This class's own steps, each on a status of its own: a derived class is
  // gone by now. The records leave the FIFO's lists also when a step before
  // failed. A run still going ends first, with no report.
  endSilently();
  if (_dmaLinked != 0) takeLinkDown(scratch);
  tBaseCDI_DMATransferPrimitive::unregisterObservers(scratch.clear());
}

void tBaseCDI_DMATransferPrimitive::registerObservers(tStatus2& status) {
  if (status.isFatal() || _observing != 0) return;
  if (_settings.program().sampleMode == kFinite && _partner != nullptr)
    _partner->bindTransfer(this, status);
  addBufferErrorRecord(status);
  addOverrunRecord(status);
  if (status.isNotFatal()) {
    _observing = 1;
    // A commit or a link that came first keeps its state.
    if (_state == kBuilt) _state = kObserving;
    return;
  }
  tStatus2 scratch;
  unregisterObservers(scratch);
}

// A linked transfer stays linked: the commit takes nothing the link uses
// (the mode is fixed while registered).
void tBaseCDI_DMATransferPrimitive::commit(tStatus2& status) {
  if (status.isFatal()) return;
  _settings.program();
  if (_state != kLinked) _state = kCommitted;
}

// A run still going stops first: the link, by the channel set, opens a run
// for the start to come, whose end a stop reports.
void tBaseCDI_DMATransferPrimitive::linkDMA(tStatus2& status) {
  if (status.isFatal()) return;
  stopRun(status);
  _settings.program();
  linkFIFO(status);
  if (status.isFatal()) return;
  _dataDone.set(0);
  _end.open(tTransferEnd::kReported, status);
  _state = kLinked;
}

void tBaseCDI_DMATransferPrimitive::unregisterObservers(tStatus2& status) {
  if (status.isFatal()) return;
  removeRecords(status);
  _observing = 0;
  // The records of the registration, commit and link go with the observers.
  _settings.forget();
  _state = kBuilt;
}

// Every start is a run of its own: its end is reported again and its data
// are not done yet. A start under a run keeps the run's records and only
// starts the FIFO again.
void tBaseCDI_DMATransferPrimitive::start(tStatus2& status) {
  if (status.isFatal()) return;
  if (!isRunning()) {
    _dataDone.set(0);
    _end.start(status);
  }
  _fifo->startFIFO(status);
}

void tBaseCDI_DMATransferPrimitive::stop(tStatus2& status) {
  if (status.isFatal()) return;
  if (programmed().sampleMode == kFinite && _dataDone.get() == 0 && status.code == 0)
    nQoUdR100::setCode(status, nQoUdR100::kStoppedEarly, {tCDI_DMARow::kFile, 282});
  _end.stopLocked([&] { end(status); }, status);
}

void tBaseCDI_DMATransferPrimitive::markDataDone(tStatus2& status) {
  if (status.isFatal()) return;
  _end.actOnLocked(
      _end.live(),
      [&] {
        _dataDone.set(1);
        _fifo->stopFIFO(status);
        _fifo->resetFIFO(status);
      },
      status);
}

uint32_t tBaseCDI_DMATransferPrimitive::handleBufferError(tCDIO_FIFOObservable*, tStatus2& status) {
  _bufferErrorPassRun.set(_end.live());
  _fifo->disableBufferErrorInterrupt(status);
  return 1;
}

bool tBaseCDI_DMATransferPrimitive::isReady() const {
  return tCDIO_DMATransfer::isReady() && (_state != kObserving || programmed().sampleMode < 2);
}

}  // namespace nQoUdP100
