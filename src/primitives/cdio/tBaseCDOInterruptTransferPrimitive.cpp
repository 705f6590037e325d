#include "primitives/cdio/tBaseCDOInterruptTransferPrimitive.h"

#include <algorithm>
#include <utility>

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;
using nQoUdR100::onFreshStatus;

namespace {
constexpr const char* kFile = tCDOInterruptRow::kFile;
}  // namespace

tBaseCDOInterruptTransferPrimitive::tBaseCDOInterruptTransferPrimitive(
    const tDeviceInfo* deviceInfo, const tCDIODescription* description,
    tBaseCDO_FIFOPrimitive* fifo, tStatus2& status)
    : tCDIO_InterruptTransfer(deviceInfo, description, fifo, status), _endLock(deviceInfo, status) {
  // After the locks: a lock does not open on an error status.
  checkDescription(description, status, {kFile, 60});
}

tBaseCDOInterruptTransferPrimitive::~tBaseCDOInterruptTransferPrimitive() {
  // A run still going ends first, with no report: no pass reports an end any
  // more, and the FIFO is switched off as an error end switches it off.
  _end.claimSilently([&] { switchOff(); });
  // Each step on a status of its own.
  tStatus2 scratch;
  if (_state == kArmed) disarm(scratch);
  if (_state == kCommitted) uncommit(scratch.clear());
  if (_observing != 0) unregisterObservers(scratch.clear());
}

void tBaseCDOInterruptTransferPrimitive::registerObservers(tStatus2& status) {
  observe(
      _state >= kCommitted || isRunning() ? held().sampleMode : _settings.deploying().sampleMode,
      status);
}

void tBaseCDOInterruptTransferPrimitive::observe(uint32_t mode, tStatus2& status) {
  if (status.isFatal() || _observing != 0) return;
  _observedMode = mode;
  _fifo->addObserver(static_cast<iCDIOOverrunObserver*>(this), status);
  if (_observedMode != kUnwatched)
    _fifo->addObserver(static_cast<iCDIOFIFOObserver*>(this), status);
  if (_observedMode == kFinite) _fifo->registerPolledObserver(this, status);
  if (status.isNotFatal()) {
    _observing = 1;
    // A commit or an arm that came first keeps its state.
    if (_state == kBuilt) _state = kObserving;
    return;
  }
  tStatus2 scratch;
  removeObservers(scratch);
}

// The records of a commit and a run go with the observers.
void tBaseCDOInterruptTransferPrimitive::unregisterObservers(tStatus2& status) {
  if (status.isFatal()) return;
  removeObservers(status);
  forgetRecords();
  _preload.forget();
}

// The observers that registerObservers added, by the mode of that time.
void tBaseCDOInterruptTransferPrimitive::removeObservers(tStatus2& status) {
  if (status.isFatal()) return;
  if (_observedMode != kUnwatched)
    onFreshStatus(status, [&](tStatus2& s) {
      _fifo->removeObserver(static_cast<iCDIOFIFOObserver*>(this), s);
    });
  onFreshStatus(status, [&](tStatus2& s) {
    _fifo->removeObserver(static_cast<iCDIOOverrunObserver*>(this), s);
  });
  if (_observedMode == kFinite)
    onFreshStatus(status, [&](tStatus2& s) { _fifo->unregisterPolledObserver(this, s); });
  _observing = 0;
  _state = kBuilt;
}

// Records of another mode go and those of this one come, the state kept.
void tBaseCDOInterruptTransferPrimitive::observeFor(uint32_t mode, tStatus2& status) {
  if (status.isFatal() || _observing == 0 || mode == _observedMode) return;
  const uint32_t state = _state;
  removeObservers(status);
  observe(mode, status);
  if (status.isNotFatal()) _state = state;
}

// An armed transfer stays armed: the commit takes nothing the arm uses. One
// that no arm or run holds gives the FIFO the records of its own mode,
// whatever mode registered them.
void tBaseCDOInterruptTransferPrimitive::commit(tStatus2& status) {
  if (status.isFatal() || !fitsInBytes(_settings.deploying().chunk, status, 170)) return;
  _settings.program();
  noteRecorded();
  if (_state != kArmed) _state = kCommitted;
  observeCommitted(status);
  if (status.isNotFatal()) return;
  tStatus2 scratch;
  uncommit(scratch);
}

// The FIFO's transfer mode flag by the commit's mode (for the FIFO's next
// commit), and the FIFO's records by the held record's.
void tBaseCDOInterruptTransferPrimitive::observeCommitted(tStatus2& status) {
  _fifo->setTransferModeFlag(programmed().sampleMode == kUnwatched ? 1 : 0, status);
  observeFor(held().sampleMode, status);
}

// The run goes by what the last commit took, and the FIFO holds the records
// of its mode. A run still going stops first, with its report, and the
// passes of the run before leave, before the FIFO it runs on is reset and
// preloaded; then the run opens for its start, the preload counted.
void tBaseCDOInterruptTransferPrimitive::arm(tStatus2& status) {
  if (status.isFatal()) return;
  // Nothing committed: the settings, as a commit takes them. (No run holds
  // a record then.)
  if (nothingRecorded()) {
    _settings.program();
    noteRecorded();
    observeCommitted(status);
  }
  if (status.isFatal()) return;
  // A finite output asks for no more than its total.
  const tRecord& committed = programmed();
  const uint32_t asked = _preload.program();
  const uint32_t preload =
      committed.sampleMode == kContinuous ? asked : std::min(asked, committed.total);
  if (!fitsInBytes(preload, status, 185)) return;
  stopRun(status);
  _end.overtake(status);
  _run = committed;
  observeFor(_run.sampleMode, status);
  _fifo->resetFIFO(status);
  uint32_t bytes = 0;
  _transferred.set(ask(preload, bytes, status));
  beginRecord(status);
  _end.open(tTransferEnd::kUnreported, status);
  if (status.isNotFatal()) {
    _state = kArmed;
    return;
  }
  tStatus2 scratch;
  disarm(scratch);
}

// Every start is a run of its own: the one the arm opened (what it preloaded
// stays counted), else (once the run before's passes have left) one by what
// the last commit took; its end is reported again, and only its own FIFO
// running empty spares its stop the warning. With nothing committed or
// armed, it goes by the settings as they stand, its FIFO's records of their
// mode. A start under a run keeps the run's records and only starts the FIFO
// again.
void tBaseCDOInterruptTransferPrimitive::start(tStatus2& status) {
  if (status.isFatal()) return;
  if (!isRunning()) {
    if (_end.live() == 0) {
      if (nothingRecorded()) {
        _settings.program();
        noteRecorded();
        observeCommitted(status);
      }
      if (status.isFatal()) return;
      _end.overtake(status);
      if (_state != kArmed) _run = programmed();
      beginRecord(status);
    }
    _end.start(status);
  }
  _fifo->startFIFO(status);
}

void tBaseCDOInterruptTransferPrimitive::beginRecord(tStatus2& status) {
  _endLock.locked(
      [&] {
        _endPending = 0;
        _fifoEmptied = 0;
      },
      status);
}

// By the run's mode, which its arm gave the FIFO's records: the polled
// record of a finite output, the FIFO record of a watched one.
void tBaseCDOInterruptTransferPrimitive::stop(tStatus2& status) {
  if (status.isFatal()) return;
  if (_run.sampleMode == kFinite) {
    _endLock.locked(
        [&] {
          if (_fifoEmptied == 0 && status.code == 0)
            nQoUdR100::setCode(status, nQoUdR100::kStoppedEarly, {kFile, 297});
          if (_endPending != 0) _fifo->signalPollingThread(status);
          _endPending = 0;
        },
        status);
  }
  _end.stopLocked([&] { stopped(status); }, status);
}

void tBaseCDOInterruptTransferPrimitive::stopped(tStatus2& status) {
  onFreshStatus(status, [&](tStatus2& s) { _fifo->stopFIFO(s); });
  if (_run.sampleMode != kUnwatched)
    onFreshStatus(status, [&](tStatus2& s) { _fifo->disableFIFOInterrupt(s); });
  if (status.isFatal()) {
    onFreshStatus(status, [&](tStatus2& s) { _fifo->stopFIFO(s); });
    onFreshStatus(status, [&](tStatus2& s) { _fifo->resetFIFO(s); });
  }
  if (_partner != nullptr) _partner->transferEnded(status);
}

uint32_t tBaseCDOInterruptTransferPrimitive::ask(uint32_t samples, uint32_t& bytesMoved,
                                                 tStatus2& status) {
  uint32_t bytes = 0;
  if (status.isFatal() || _partner == nullptr || !bytesFor(samples, bytes, status, 440)) return 0;
  bytesMoved = std::min(_partner->transferData(bytes, status), bytes);
  return bytesMoved / _description->sampleWidth;
}

void tBaseCDOInterruptTransferPrimitive::end(tStatus2& status) {
  switchOff();
  if (_partner != nullptr) _partner->transferEnded(status);
}

// Each step on a status of its own, dropped.
void tBaseCDOInterruptTransferPrimitive::switchOff() {
  tStatus2 scratch;
  _fifo->disableFIFOInterrupt(scratch);
  _fifo->disableOverrunInterrupt(scratch.clear());
  _fifo->stopFIFO(scratch.clear());
  _fifo->resetFIFO(scratch.clear());
}

bool tBaseCDOInterruptTransferPrimitive::moveChunk(uint32_t run, uint64_t& count, tStatus2& local) {
  if (_run.chunk == 0 || !_end.isLive(run) || _fifo->isFIFOConditionPending(local) == 0)
    return false;
  if (count >= _run.limit) {
    nQoUdR100::setCode(local, nQoUdR100::kChunkLimit, {kFile, 519});
    return false;
  }
  const uint32_t transferred = _transferred.get();
  const uint32_t remaining = _run.total > transferred ? _run.total - transferred : 0;
  if (remaining < _run.chunk && _run.sampleMode != kContinuous) {
    moveTail(remaining, local);
    return false;
  }
  uint32_t bytes = 0;
  const uint32_t moved = ask(_run.chunk, bytes, local);
  const uint32_t bufferError = _fifo->isBufferErrorPending(local);
  if (bytes == 0) {
    nQoUdR100::setCode(local, nQoUdR100::kNothingToWrite, {kFile, 453});
    return false;
  }
  if (bufferError != 0) {
    nQoUdR100::setCode(local, nQoUdR100::kOutputBufferError, {kFile, 463});
    return false;
  }
  count += _run.chunk;
  _transferred.set(_transferred.get() + moved);
  return true;
}

void tBaseCDOInterruptTransferPrimitive::moveTail(uint32_t remaining, tStatus2& local) {
  if (remaining != 0) {
    uint32_t bytes = 0;
    const uint32_t moved = ask(remaining, bytes, local);
    const uint32_t bufferError = _fifo->isBufferErrorPending(local);
    if (moved != remaining) {
      nQoUdR100::setCode(local, nQoUdR100::kShortTransfer, {kFile, 487});
      return;
    }
    if (bufferError != 0) {
      nQoUdR100::setCode(local, nQoUdR100::kOutputBufferError, {kFile, 496});
      return;
    }
    _transferred.set(_transferred.get() + moved);
  }
  _fifo->disableFIFOInterrupt(local);
}

void tBaseCDOInterruptTransferPrimitive::handleFIFOSecondary(tCDIO_FIFOObservable*,
                                                             tStatus2& status) {
  const uint32_t run = _fifoPassRun.get();
  _end.actOn(
      run, [&](auto inside) { _endLock.locked(inside, status); },
      [&] {
        _endPending = run;
        _fifo->wakePollingThread(status);
      });
}

void tBaseCDOInterruptTransferPrimitive::handleOverrunSecondary(tCDIO_FIFOObservable*, tStatus2&) {
  tStatus2 fresh;
  _end.onceLocked(
      _overrunPassRun.get(),
      [&] {
        nQoUdR100::setCode(fresh, nQoUdR100::kCDOOverrun, {kFile, 617});
        onFreshStatus(fresh, [&](tStatus2& s) { _fifo->stopFIFO(s); });
        onFreshStatus(fresh, [&](tStatus2& s) { _fifo->resetFIFO(s); });
        if (_partner != nullptr) _partner->transferEnded(fresh);
      },
      fresh);
}

// Only the wake this output's FIFO pass asked for ends it, and only while
// its run is live: every polled observer of the FIFO hears that it ran
// empty, and a stop and a start may have overtaken the run since the wake.
void tBaseCDOInterruptTransferPrimitive::handleFIFOEmptyPolled(tBaseCDO_FIFOPrimitive*,
                                                               tStatus2& status) {
  uint32_t run = 0;
  _endLock.locked(
      [&] {
        if (_endPending == 0) return;
        _fifo->signalPollingThread(status);
        _fifoEmptied = 1;
        run = std::exchange(_endPending, 0u);
      },
      status);
  if (run != 0)
    _end.onceLocked(
        run, [&] { stopped(status); }, status);
}

}  // namespace nQoUdP100
