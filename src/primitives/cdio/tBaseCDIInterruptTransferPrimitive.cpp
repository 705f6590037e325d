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
  // The passes have left: a switch to single samples gives the FIFO its mode
  // flag back, as an end does.
  giveChunkBack(scratch.clear());
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
}

// An armed transfer stays armed: the commit takes nothing the arm uses.
void tBaseCDIInterruptTransferPrimitive::commit(tStatus2& status) {
  if (status.isFatal() || !fitsInBytes(_settings.chunk, status, 170)) return;
  takeSettings();
  if (_state != kArmed) _state = kCommitted;
}

// A run still going stops first: the arm readies a run to come, by what the
// last commit took.
void tBaseCDIInterruptTransferPrimitive::arm(tStatus2& status) {
  if (status.isFatal()) return;
  stopRun(status);
  _run = _committed;
  _done = 0;
  _state = kArmed;
}

// Every start is a run of its own: nothing moved, not done, its end
// reported again. A start under a run keeps the run's records and only
// starts the FIFO again.
void tBaseCDIInterruptTransferPrimitive::start(tStatus2& status) {
  if (status.isFatal()) return;
  if (!isRunning()) {
    beginRun();
    _transferred = 0;
    _done = 0;
  }
  _fifo->startFIFO(status);
}

void tBaseCDIInterruptTransferPrimitive::stop(tStatus2& status) {
  if (status.isFatal()) return;
  if (_run.sampleMode == kFinite && _done == 0 && status.code == 0)
    nQoUdR100::setCode(status, nQoUdR100::kStoppedEarly, {kFile, 243});
  _end.onceLocked([&] { end(status); }, status);
}

// The FIFO is stopped and reset, each on a status of its own, also when the
// end is an error; a switch to single samples ends with its run, whichever
// side ended it.
void tBaseCDIInterruptTransferPrimitive::end(tStatus2& status) {
  onFreshStatus(status, [&](tStatus2& s) { _fifo->stopFIFO(s); });
  onFreshStatus(status, [&](tStatus2& s) { _fifo->resetFIFO(s); });
  giveChunkBack(status);
  if (_partner != nullptr) _partner->transferEnded(status);
}

void tBaseCDIInterruptTransferPrimitive::giveChunkBack(tStatus2& status) {
  if (_chunkSwitched == 0) return;
  _run.chunk = _savedChunk;
  onFreshStatus(status, [&](tStatus2& s) { _fifo->setModeFlag(_savedModeFlag, s, 0); });
  _chunkSwitched = 0;
}

bool tBaseCDIInterruptTransferPrimitive::moveChunk(uint64_t& count, tStatus2& local) {
  const bool finite = _run.sampleMode == kFinite;
  // A finite input asks for no more than remains.
  const uint32_t remaining = _run.total > _transferred ? _run.total - _transferred : 0;
  const uint32_t chunk = finite ? std::min(_run.chunk, remaining) : _run.chunk;
  if (chunk == 0 || _fifo->isFIFOConditionPending(local) == 0) return false;
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
  _transferred += chunk;
  if (!finite) return true;
  const uint32_t left = _run.total - _transferred;
  if (left != 0) {
    if (left < _description->cdiFIFODepth >> 1 && _run.chunk != 1) switchToSingleSamples(local);
    return local.isNotFatal();
  }
  _done = 1;
  _end.once([&] { end(local); });
  return false;
}

// Not after a failed step: the mode flag would not be read, and stop would
// give the FIFO a made-up one.
void tBaseCDIInterruptTransferPrimitive::switchToSingleSamples(tStatus2& local) {
  if (local.isFatal()) return;
  _savedChunk = _run.chunk;
  _savedModeFlag = _fifo->getModeFlagBit(local);
  _run.chunk = 1;
  _chunkSwitched = 1;
  _fifo->setModeFlag(0, local, 1);
}

void tBaseCDIInterruptTransferPrimitive::handleOverrunSecondary(tCDIO_FIFOObservable*, tStatus2&) {
  if (!passedIn(_overrunPassRun)) return;
  tStatus2 fresh;
  nQoUdR100::setCode(fresh, nQoUdR100::kCDIOverrun, {kFile, 457});
  _end.onceLocked([&] { end(fresh); }, fresh);
}

}  // namespace nQoUdP100
