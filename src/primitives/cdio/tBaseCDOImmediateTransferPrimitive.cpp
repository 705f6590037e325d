#include "primitives/cdio/tBaseCDOImmediateTransferPrimitive.h"

#include <cstddef>
#include <cstring>
#include <utility>

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;

namespace {
constexpr const char kFile[] = "source/qomiop/cdio/tBaseCDOImmediateTransferPrimitive";
}  // namespace

tBaseCDOImmediateTransferPrimitive::tBaseCDOImmediateTransferPrimitive(
    const tDeviceInfo* deviceInfo, const tCDIODescription* description,
    tBaseCDO_FIFOPrimitive* fifo, const nQoORB100::tGUID* identity, tStatus2& status)
    : tCDIOImmediateTransfer(deviceInfo, description, identity, kFile, status),
      _fifo(fifo),
      _lock(deviceInfo, status) {}

tBaseCDOImmediateTransferPrimitive::~tBaseCDOImmediateTransferPrimitive() {
  silenceDone();
  // The polling thread's call under way leaves first.
  tStatus2 scratch;
  if (_polledRegistered != 0) _fifo->unregisterPolledObserver(this, scratch);
  if (_endPending != 0) _fifo->signalPollingThread(scratch.clear());
  stopStartedFIFO(_fifo);
}

// Registered before: nothing, so that one uncommit takes the one record out.
// A start or a stop that came first keeps its state.
void tBaseCDOImmediateTransferPrimitive::commitTransfer(tStatus2& status) {
  if (status.isFatal() || _polledRegistered != 0) return;
  _fifo->registerPolledObserver(this, status);
  if (status.isFatal()) return;
  _polledRegistered = 1;
  if (_state < kTransferCommitted) _state = kTransferCommitted;
}

// A run still held stays as it is: the commit takes nothing it uses (its
// count of samples written among them).
void tBaseCDOImmediateTransferPrimitive::commitChannel(tStatus2& status) {
  if (status.isFatal() || holdsRun()) return;
  takeRecord(_settings.program());
  _samplesWritten = 0;
  _cancel.set(0);
  _fifo->setTransferModeFlag(0, status);
  _state = kChannelCommitted;
}

// Every start is a run of its own: a cancel of the run before does not end
// its writes (the end of the calls does), and its total counts from 0. A
// start under a run keeps the run's records and the FIFO it fills; the
// channel's start only starts the FIFO again. A finite run whose FIFO ran
// empty and reported its done is over: the start begins the next, once the
// writes of the run before have left the FIFO it resets.
void tBaseCDOImmediateTransferPrimitive::startTransfer(tStatus2& status) {
  if (status.isFatal() || runUnderWay()) return;
  _cancel.set(0);
  _runs.waitForAccesses();
  _samplesWritten = 0;
  _fifo->resetFIFO(status);
  _state = kRunning;
  _lock.locked([&] { _endPending = 0; }, status);
}

// A FIFO not started is a run that begins here, numbered, also when the
// polling thread stopped the run that the transfer's step kept: it counts
// its own total from 0 and no cancel of the run before ends its writes, and
// it takes the settings as they stand. It decides under the lock, so that
// the polling thread's stop falls wholly before or after it.
void tBaseCDOImmediateTransferPrimitive::startChannel(tStatus2& status) {
  if (status.isFatal()) return;
  _lock.locked(
      [&] {
        if (_fifoStarted == 0) beginRun();
        _fifo->startFIFO(status);
      },
      status);
}

void tBaseCDOImmediateTransferPrimitive::beginRun() {
  _runs.waitForAccesses();
  takeRecord(_settings.program());
  _cancel.set(0);
  _samplesWritten = 0;
  _allWritten.set(0);
  beginReportedRun();
  _fifoStarted = 1;
}

// A wake of the polling thread is taken back by its record, whatever mode a
// deploy set since. Taking the lock first, it waits for a stop of the
// polling thread under way; the run ends there, and its writes under way
// leave before the warning looks at what they wrote.
void tBaseCDOImmediateTransferPrimitive::stopTransfer(tStatus2& status) {
  if (status.isFatal()) return;
  bool claimed = false;
  _lock.locked(
      [&] {
        claimed = claimStopsDone();
        _runs.waitForAccesses();
        if (finite() && (_allWritten.get() == 0 || _endPending != 0) && status.code == 0)
          warn(status, nQoUdR100::kStoppedEarly, 212);
        if (_endPending != 0) _fifo->signalPollingThread(status);
        _endPending = 0;
        _fifo->stopFIFO(status);
        _fifoStarted = 0;
      },
      status);
  if (claimed) reportDone(status);
}

// The run ended (by a stop, or by its own end): the writes under way leave
// before the reset empties the FIFO.
void tBaseCDOImmediateTransferPrimitive::stopChannel(tStatus2& status) {
  if (status.isFatal()) return;
  _runs.waitForAccesses();
  // Stop and reset each on a status of its own, dropped.
  tStatus2 scratch;
  _fifo->stopFIFO(scratch);
  _fifoStarted = 0;
  _fifo->resetFIFO(scratch.clear());
  _state = kChannelCommitted;
}

// A run still held stops first, with its done report, as code 3 stops it.
void tBaseCDOImmediateTransferPrimitive::uncommitTransfer(tStatus2& status) {
  if (status.isFatal()) return;
  if (holdsRun()) {
    nQoUdR100::onFreshStatus(status, [&](tStatus2& s) { stopTransfer(s); });
    nQoUdR100::onFreshStatus(status, [&](tStatus2& s) { stopChannel(s); });
  }
  _state = kTransferCommitted;
}

void tBaseCDOImmediateTransferPrimitive::uncommitChannel(tStatus2& status) {
  if (status.isFatal()) return;
  tStatus2 scratch;
  _fifo->unregisterPolledObserver(this, scratch);
  status.assign(scratch);
  _polledRegistered = 0;
  // What the runs left goes too, as a fresh reservation finds the transfer.
  forgetRecords();
  _samplesWritten = 0;
  _allWritten.set(0);
  _state = kBuilt;
}

uint32_t tBaseCDOImmediateTransferPrimitive::write(uint32_t count, const void* buffer,
                                                   tStatus2& status) {
  const uint32_t run = _runs.live();
  const auto* samples = static_cast<const uint8_t*>(buffer);
  if (option() == kBuffered) return writeBuffered(run, count, samples, status);
  if (refusedWithNoRun(run, status)) return 0;
  _timeout.begin(status);
  if (count == 1) return writeSingle(run, samples, status);
  return writeEach(run, count, samples, status);
}

// The start that begins the next run resets the FIFO: nothing written before
// it could reach the lines.
bool tBaseCDOImmediateTransferPrimitive::refusedWithNoRun(uint32_t run, tStatus2& status) const {
  if (run != 0) return false;
  fail(status, nQoUdR100::kRefused, 304);
  return true;
}

uint32_t tBaseCDOImmediateTransferPrimitive::writeBuffered(uint32_t run, uint32_t count,
                                                           const uint8_t* samples,
                                                           tStatus2& status) {
  _timeout.begin(status);
  if (_allWritten.get() != 0) {
    fail(status, nQoUdR100::kWritePastTotal, 308);
    return 0;
  }
  if (refusedWithNoRun(run, status)) return 0;
  const uint32_t width = _description->sampleWidth;
  uint32_t written = 0;
  bool last = false;
  while (written < count && status.isNotFatal() && !endAsked() && !last) {
    // Written while there is room: a zero time-out does not end it.
    if (_timeout.expired(false, status)) {
      fail(status, nQoUdR100::kWaitTimeout, 319);
      break;
    }
    const uint32_t full = _fifo->isFIFOFull(status);
    // A run that a stop ended takes no more: the write answers what it wrote.
    const bool wrote = _runs.access(run, [&] {
      if (full != 0) fail(status, nQoUdR100::kFIFOFull, 327);
      _fifo->writeSamples(samples + std::size_t{written} * width, width, status);
      ++written;
      last = finite() && ++_samplesWritten == total();
      if (last) _allWritten.set(1);
    });
    if (!wrote) break;
  }
  // The run's last sample: its end is pending, while the run is live.
  if (last)
    _runs.actOn(
        run, [&](auto inside) { _lock.locked(inside, status); },
        [&] {
          _fifo->wakePollingThread(status);
          _endPending = run;
        });
  return written;
}

void tBaseCDOImmediateTransferPrimitive::dropStale(uint32_t run, tStatus2& status) {
  while (status.isNotFatal() && !endAsked() && _fifo->isFIFOEmpty(status) == 0)
    if (!_runs.access(run, [&] { _fifo->stepFIFO(status); })) return;
}

void tBaseCDOImmediateTransferPrimitive::acknowledgeBufferError(unsigned line, tStatus2& status) {
  if (_fifo->isBufferErrorPending(status) == 0) return;
  _fifo->acknowledgeError(status);
  if (status.code == 0) warn(status, nQoUdR100::kAfterFIFOError, line);
}

// A run that a stop ended takes no more samples, and its wait for a sample's
// way out ends: the write answers what it wrote.
uint32_t tBaseCDOImmediateTransferPrimitive::writeEach(uint32_t run, uint32_t count,
                                                       const uint8_t* samples, tStatus2& status) {
  dropStale(run, status);
  const uint32_t width = _description->sampleWidth;
  uint32_t bytes = 0;
  for (uint32_t sample = 0; sample < count && status.isNotFatal() && !endAsked(); ++sample) {
    const bool wrote = _runs.access(run, [&] {
      bytes += _fifo->writeSamples(samples + std::size_t{sample} * width, width, status);
      if (_fifo->isOverrunPending(status) != 0) fail(status, nQoUdR100::kCDIOverrun, 469);
    });
    if (!wrote) return bytes / width;
    while (status.isNotFatal() && !endAsked() && _runs.isLive(run) &&
           _fifo->isFIFOEmpty(status) == 0) {
      if (!_timeout.expired(true, status)) continue;
      fail(status, nQoUdR100::kWaitTimeout, 413);
      return bytes / width;
    }
  }
  _runs.access(run, [&] { acknowledgeBufferError(424, status); });
  return bytes / width;
}

uint32_t tBaseCDOImmediateTransferPrimitive::writeSingle(uint32_t run, const uint8_t* sample,
                                                         tStatus2& status) {
  dropStale(run, status);
  uint32_t word = 0;
  std::memcpy(&word, sample, _description->sampleWidth);
  const bool wrote = _runs.access(run, [&] {
    _fifo->writeSample(&word, status);
    if (_fifo->isOverrunPending(status) != 0) fail(status, nQoUdR100::kCDIOverrun, 445);
    acknowledgeBufferError(452, status);
  });
  return wrote ? 1 : 0;
}

// Only the wake this output's last write asked for stops it, and only while
// its run is live: every polled observer of the FIFO hears that it ran
// empty. The end it takes and the stop are one step under the lock, so that
// no stop and start of the next run come between them.
void tBaseCDOImmediateTransferPrimitive::handleFIFOEmptyPolled(tBaseCDO_FIFOPrimitive*,
                                                               tStatus2& status) {
  bool claimed = false;
  _lock.locked(
      [&] {
        const uint32_t run = std::exchange(_endPending, 0u);
        if (run == 0) return;
        _fifo->signalPollingThread(status);
        claimed = stopRun(run, status);
      },
      status);
  if (claimed) reportDone(status);
}

bool tBaseCDOImmediateTransferPrimitive::stopRun(uint32_t run, tStatus2& status) {
  if (!_runs.endIfLive(run)) return false;
  _runs.waitForAccesses();
  _fifo->stopFIFO(status);
  _fifoStarted = 0;
  return true;
}

}  // namespace nQoUdP100
