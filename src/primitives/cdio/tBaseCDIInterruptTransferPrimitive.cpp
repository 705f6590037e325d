#include "primitives/cdio/tBaseCDIInterruptTransferPrimitive.h"

#include <algorithm>

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;
using nQoUdR100::onFreshStatus;

namespace {
constexpr const char* kFile = tCDIInterruptRow::kFile;
}  // namespace

tBaseCDIInterruptTransferPrimitive::tBaseCDIInterruptTransferPrimitive(
    const tDeviceInfo* deviceInfo, const tCDIODescription* description,
    tBaseCDI_FIFOPrimitive* fifo, tStatus2& status)
    : tCDIO_InterruptTransfer(deviceInfo, description, fifo, status) {
  // After the locks: a lock does not open on an error status.
  checkDescription(description, status, {kFile, 60});
}

tBaseCDIInterruptTransferPrimitive::~tBaseCDIInterruptTransferPrimitive() {
  // Each step on a status of its own. A run still going ends first, with no
  // report: no pass reports an end any more, and the FIFO stops and resets.
  tStatus2 scratch;
  _end.claimSilently([&] {
    _fifo->stopFIFO(scratch);
    _fifo->resetFIFO(scratch.clear());
  });
  if (_state == kArmed) disarm(scratch.clear());
  if (_state == kCommitted) uncommit(scratch.clear());
  if (_observing != 0) unregisterObservers(scratch.clear());
}

void tBaseCDIInterruptTransferPrimitive::registerObservers(tStatus2& status) {
  if (status.isFatal() || _observing != 0) return;
  _fifo->addObserver(static_cast<iCDIOOverrunObserver*>(this), status);
  _fifo->addObserver(static_cast<iCDIOFIFOObserver*>(this), status);
  if (status.isNotFatal()) {
    _observing = 1;
    // A commit or an arm that came first keeps its state.
    if (_state == kBuilt) _state = kObserving;
    return;
  }
  tStatus2 scratch;
  unregisterObservers(scratch);
}

void tBaseCDIInterruptTransferPrimitive::unregisterObservers(tStatus2& status) {
  if (status.isFatal()) return;
  tStatus2 first, second;
  _fifo->removeObserver(static_cast<iCDIOOverrunObserver*>(this), first);
  _fifo->removeObserver(static_cast<iCDIOFIFOObserver*>(this), second);
  status.assign(first);
  status.assign(second);
  _observing = 0;
  _state = kBuilt;
  forgetRecords();
}

// An armed transfer stays armed: the commit takes nothing the arm uses.
void tBaseCDIInterruptTransferPrimitive::commit(tStatus2& status) {
  if (status.isFatal() || !fitsInBytes(_settings.deploying().chunk, status, 170)) return;
  _settings.program();
  noteRecorded();
  if (_state != kArmed) _state = kCommitted;
}

// A run still going stops first, and the passes of the run before leave:
// the arm copies the last commit's record (the settings, when nothing was
// committed) into the run's, and opens the run for its start.
void tBaseCDIInterruptTransferPrimitive::arm(tStatus2& status) {
  if (status.isFatal()) return;
  stopRun(status);
  _end.overtake(status);
  if (nothingRecorded()) {
    _settings.program();
    noteRecorded();
  }
  _run = _settings.programmed();
  beginRecord();
  _end.open(tTransferEnd::kUnreported, status);
  _state = kArmed;
}

// Every start is a run of its own: the one the arm opened, else (once the
// run before's passes have left) one by what the last commit took, or the
// settings when nothing was committed; nothing moved, not done, its end
// reported again. A start under a run keeps the run's records and only
// starts the FIFO again.
void tBaseCDIInterruptTransferPrimitive::start(tStatus2& status) {
  if (status.isFatal()) return;
  if (!isRunning()) {
    if (_end.live() == 0) {
      _end.overtake(status);
      if (nothingRecorded()) {
        _settings.program();
        noteRecorded();
      }
      if (_state != kArmed) _run = _settings.programmed();
      beginRecord();
    }
    _end.start(status);
  }
  _fifo->startFIFO(status);
}

void tBaseCDIInterruptTransferPrimitive::beginRecord() {
  _transferred.set(0);
  _done.set(0);
}

void tBaseCDIInterruptTransferPrimitive::stop(tStatus2& status) {
  if (status.isFatal()) return;
  if (_run.sampleMode == kFinite && _done.get() == 0 && status.code == 0)
    nQoUdR100::setCode(status, nQoUdR100::kStoppedEarly, {kFile, 243});
  _end.stopLocked([&] { end(status); }, status);
}

// The FIFO is stopped and reset, each on a status of its own, also when the
// end is an error; a switch to single samples ends with its run, whichever
// side ended it.
void tBaseCDIInterruptTransferPrimitive::end(tStatus2& status) {
  onFreshStatus(status, [&](tStatus2& s) { _fifo->stopFIFO(s); });
  onFreshStatus(status, [&](tStatus2& s) { _fifo->resetFIFO(s); });
  giveChunkBack();
  if (_partner != nullptr) _partner->transferEnded(status);
}

void tBaseCDIInterruptTransferPrimitive::giveChunkBack() {
  if (_chunkSwitched == 0) return;
  _run.chunk = _savedChunk;
  _chunkSwitched = 0;
}

bool tBaseCDIInterruptTransferPrimitive::moveChunk(uint32_t run, uint64_t& count, tStatus2& local) {
  const bool finite = _run.sampleMode == kFinite;
  // A finite input asks for no more than remains.
  const uint32_t transferred = _transferred.get();
  const uint32_t remaining = _run.total > transferred ? _run.total - transferred : 0;
  const uint32_t chunk = finite ? std::min(_run.chunk, remaining) : _run.chunk;
  if (chunk == 0 || !_end.isLive(run) || _fifo->isFIFOConditionPending(local) == 0) return false;
  if (count >= _run.limit) {
    nQoUdR100::setCode(local, nQoUdR100::kChunkLimit, {kFile, 406});
    return false;
  }
  // The commit refused a chunk whose bytes do not fit; none asked for here is
  // larger.
  uint32_t bytes = 0;
  if (!bytesFor(chunk, bytes, local, 340)) return false;
  // Without a destination nothing moves, which ends the transfer as short.
  const uint32_t moved = _partner != nullptr ? _partner->transferData(bytes, local) : 0;
  const uint32_t bufferError = _fifo->isBufferErrorPending(local);
  if (moved != bytes) {
    nQoUdR100::setCode(local, nQoUdR100::kShortTransfer, {kFile, 352});
    return false;
  }
  if (bufferError != 0) {
    nQoUdR100::setCode(local, nQoUdR100::kFIFOOverflow, {kFile, 361});
    return false;
  }
  count += chunk;
  const uint32_t now = _transferred.get() + chunk;
  _transferred.set(now);
  if (!finite) return true;
  const uint32_t left = _run.total - now;
  if (left != 0) {
    if (left < _description->cdiFIFODepth >> 1 && _run.chunk != 1) switchToSingleSamples(local);
    return local.isNotFatal();
  }
  _done.set(1);
  _end.once(run, [&] { end(local); });
  return false;
}

// The run's own change to the board: its record asks for single samples,
// and the FIFO's mode flag is cleared on the board alone; what was deployed
// for the FIFO's next commit stays. Not after a failed step.
void tBaseCDIInterruptTransferPrimitive::switchToSingleSamples(tStatus2& local) {
  if (local.isFatal()) return;
  _savedChunk = _run.chunk;
  _run.chunk = 1;
  _chunkSwitched = 1;
  _fifo->applyModeFlag(0, local);
}

void tBaseCDIInterruptTransferPrimitive::handleOverrunSecondary(tCDIO_FIFOObservable*, tStatus2&) {
  tStatus2 fresh;
  _end.onceLocked(
      _overrunPassRun.get(),
      [&] {
        nQoUdR100::setCode(fresh, nQoUdR100::kCDIOverrun, {kFile, 457});
        end(fresh);
      },
      fresh);
}

}  // namespace nQoUdP100
