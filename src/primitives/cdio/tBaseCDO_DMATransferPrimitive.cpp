#include "primitives/cdio/tBaseCDO_DMATransferPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;

tBaseCDO_DMATransferPrimitive::tBaseCDO_DMATransferPrimitive(const tDeviceInfo* deviceInfo,
                                                             tBaseCDO_FIFOPrimitive* fifo,
                                                             const nQoORB100::tGUID* identity,
                                                             tStatus2& status)
    : tCDIO_DMATransfer(deviceInfo, fifo, identity, status), _endLock(deviceInfo, status) {}

tBaseCDO_DMATransferPrimitive::~tBaseCDO_DMATransferPrimitive() {
  tStatus2 scratch;
  // This class's own steps, each on a status of its own: a derived class is
  // gone by now. The records leave the FIFO's lists also when a step before
  // failed. A run still going ends first, with no report.
  endSilently();
  if (_dmaLinked != 0) {
    takeLinkDown(scratch);
    _endLock.locked([&] { _endPending.set(0); }, scratch);
  }
  tBaseCDO_DMATransferPrimitive::unregisterObservers(scratch.clear());
}

void tBaseCDO_DMATransferPrimitive::registerObservers(tStatus2& status) {
  if (status.isFatal() || _observing != 0) return;
  const tSettings& settings = _settings.program();
  const uint32_t mode = settings.sampleMode;
  if (mode == kFinite) {
    _fifo->registerPolledObserver(this, status);
    if (status.isNotFatal()) _polledRegistered = 1;
  }
  if (mode != kContinuous && _partner != nullptr) _partner->bindTransfer(this, status);
  if (mode == kContinuous || (mode == kFinite && settings.firstCount >= settings.secondCount))
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
void tBaseCDO_DMATransferPrimitive::commit(tStatus2& status) {
  if (status.isFatal()) return;
  _fifo->setTransferModeFlag(_settings.program().sampleMode == kFiniteUnwatched ? 1 : 0, status);
  if (status.isNotFatal() && _state != kLinked) _state = kCommitted;
}

// A run still going stops first, with its report, before the FIFO it runs
// on is reset; the link, by the channel set, opens a run for the start to
// come, whose end a stop reports.
void tBaseCDO_DMATransferPrimitive::linkDMA(tStatus2& status) {
  if (status.isFatal()) return;
  stopRun(status);
  _settings.program();
  _fifo->resetFIFO(status);
  linkFIFO(status);
  if (status.isFatal()) return;
  _endLock.locked(
      [&] {
        _endPending.set(0);
        _fifoEmptied = 0;
      },
      status);
  _end.open(tTransferEnd::kReported, status);
  _state = kLinked;
}

void tBaseCDO_DMATransferPrimitive::unlinkDMA(tStatus2& status) {
  if (status.isFatal()) return;
  tCDIO_DMATransfer::unlinkDMA(status);
  // The polling thread may be ending the output right now.
  _endLock.locked([&] { _endPending.set(0); }, status);
}

void tBaseCDO_DMATransferPrimitive::unregisterObservers(tStatus2& status) {
  if (status.isFatal()) return;
  removeRecords(status);
  _observing = 0;
  // The records of the registration, commit and link go with the observers.
  _settings.forget();
  removeNoted([&](tStatus2& s) { _fifo->unregisterPolledObserver(this, s); }, _polledRegistered,
              status);
  _state = kBuilt;
}

// Every start is a run of its own: its end is reported again, and only its
// own FIFO running empty spares its stop the warning. A start under a run
// keeps the run's records and only starts the FIFO again.
void tBaseCDO_DMATransferPrimitive::start(tStatus2& status) {
  if (status.isFatal()) return;
  if (!isRunning()) {
    _endLock.locked([&] { _fifoEmptied = 0; }, status);
    _end.start(status);
  }
  _fifo->startFIFO(status);
}

void tBaseCDO_DMATransferPrimitive::stop(tStatus2& status) {
  if (status.isFatal()) return;
  if (programmed().sampleMode == kFinite) {
    _endLock.locked(
        [&] {
          if (_fifoEmptied == 0 && status.code == 0)
            nQoUdR100::setCode(status, nQoUdR100::kStoppedEarly, {tCDO_DMARow::kFile, 383});
          if (_endPending.get() != 0) _fifo->signalPollingThread(status);
          _endPending.set(0);
        },
        status);
  }
  _end.stopLocked(
      [&] {
        _fifo->stopFIFO(status);
        end(status);
      },
      status);
}

void tBaseCDO_DMATransferPrimitive::markEndOfData(tStatus2& status) {
  if (status.isFatal()) return;
  const uint32_t run = _end.live();
  _end.actOn(
      run, [&](auto inside) { _endLock.locked(inside, status); },
      [&] {
        if (programmed().sampleMode != kFinite || _endPending.get() != 0) return;
        _endPending.set(run);
        _fifo->wakePollingThread(status);
      });
}

// Only the wake this output's end asked for ends it, and only while its run
// is live: every polled observer of the FIFO hears that it ran empty, and a
// stop and a start may have overtaken the run since the wake.
void tBaseCDO_DMATransferPrimitive::handleFIFOEmptyPolled(tBaseCDO_FIFOPrimitive*,
                                                          tStatus2& status) {
  uint32_t run = 0;
  _endLock.locked(
      [&] {
        run = _endPending.exchange(0);
        if (run == 0) return;
        _fifoEmptied = 1;
        _fifo->signalPollingThread(status);
      },
      status);
  if (run == 0) return;
  _end.onceLocked(
      run,
      [&] {
        _fifo->stopFIFO(status);
        end(status);
      },
      status);
}

uint32_t tBaseCDO_DMATransferPrimitive::handleBufferError(tCDIO_FIFOObservable*, tStatus2& status) {
  _bufferErrorPassRun.set(_end.live());
  _fifo->disableBufferErrorInterrupt(status);
  return _endPending.get() == 0 ? 1 : 0;
}

}  // namespace nQoUdP100
