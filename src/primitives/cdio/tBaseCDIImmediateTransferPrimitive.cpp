#include "primitives/cdio/tBaseCDIImmediateTransferPrimitive.h"

#include <cstddef>
#include <cstring>

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;

namespace {
constexpr const char kFile[] = "source/qomiop/cdio/tBaseCDIImmediateTransferPrimitive";
}  // namespace

tBaseCDIImmediateTransferPrimitive::tBaseCDIImmediateTransferPrimitive(
    const tDeviceInfo* deviceInfo, const tCDIODescription* description,
    tBaseCDI_FIFOPrimitive* fifo, const nQoORB100::tGUID* identity, tStatus2& status)
    : tCDIOImmediateTransfer(deviceInfo, description, identity, kFile, status),
      _fifo(fifo),
      _lock(deviceInfo, status) {}

tBaseCDIImmediateTransferPrimitive::~tBaseCDIImmediateTransferPrimitive() {
  silenceDone();
  stopStartedFIFO(_fifo);
}

// A later state (a channel's commit, a run) keeps its state.
void tBaseCDIImmediateTransferPrimitive::commitTransfer(tStatus2& status) {
  if (status.isNotFatal() && _state < kTransferCommitted) _state = kTransferCommitted;
}

// A run still held stays as it is: the commit takes nothing it uses.
void tBaseCDIImmediateTransferPrimitive::commitChannel(tStatus2& status) {
  if (status.isFatal() || holdsRun()) return;
  takeRecord(_settings.program());
  _cancel.set(0);
  _state = kChannelCommitted;
}

// Every start is a run of its own, with a number of its own: a cancel of
// the run before does not end its reads (the end of the calls does). A start
// under a run keeps the run's records; the channel's start only starts the
// FIFO again. A finite run that reported its done is over: its FIFO, still
// sampling, stops and resets once its reads under way have left, so that the
// next run reads only its own samples. It decides and numbers the run under
// the lock that a read takes to end its run, and the run takes the settings
// as they stand.
void tBaseCDIImmediateTransferPrimitive::startTransfer(tStatus2& status) {
  if (status.isFatal()) return;
  _lock.locked([&] { beginRun(status); }, status);
}

void tBaseCDIImmediateTransferPrimitive::beginRun(tStatus2& status) {
  if (runUnderWay()) return;
  _runs.waitForAccesses();
  if (_fifoStarted != 0) stopChannel(status);
  takeRecord(_settings.program());
  _clock.program();
  _cancel.set(0);
  _samplesRead = 0;
  _done.set(0);
  beginReportedRun();
  _state = kRunning;
}

// A finite run that a read ended since the transfer's step kept it is over:
// the channel's step begins the next run, as the transfer's step would have.
void tBaseCDIImmediateTransferPrimitive::startChannel(tStatus2& status) {
  if (status.isFatal()) return;
  _lock.locked(
      [&] {
        beginRun(status);
        _fifoStarted = 1;
        _fifo->startFIFO(status);
      },
      status);
}

// The run ends under the lock that a start takes, and its reads under way
// leave before the warning looks at what they took.
void tBaseCDIImmediateTransferPrimitive::stopTransfer(tStatus2& status) {
  if (status.isFatal()) return;
  bool claimed = false;
  _lock.locked(
      [&] {
        claimed = claimStopsDone();
        _runs.waitForAccesses();
        if (finite() && _done.get() == 0 && status.code == 0)
          warn(status, nQoUdR100::kStoppedEarly, 187);
        _fifo->stopFIFO(status);
        _fifoStarted = 0;
      },
      status);
  if (claimed) reportDone(status);
}

// The run ended (by a stop, or by its own end): the reads under way leave
// before the reset empties the FIFO.
void tBaseCDIImmediateTransferPrimitive::stopChannel(tStatus2& status) {
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
void tBaseCDIImmediateTransferPrimitive::uncommitTransfer(tStatus2& status) {
  if (status.isFatal()) return;
  if (holdsRun()) {
    nQoUdR100::onFreshStatus(status, [&](tStatus2& s) { stopTransfer(s); });
    nQoUdR100::onFreshStatus(status, [&](tStatus2& s) { stopChannel(s); });
  }
  _state = kTransferCommitted;
}

// What the runs left goes too, as a fresh reservation finds the transfer:
// the reads given since the last stop end as a stop ends them.
void tBaseCDIImmediateTransferPrimitive::uncommitChannel(tStatus2& status) {
  if (status.isFatal()) return;
  _lock.locked([&] { _runs.endLiveOrNext(); }, status);
  forgetRecords();
  _clock.forget();
  _samplesRead = 0;
  _done.set(0);
  _state = kBuilt;
}

// A read given with no live run waits for the run the next start begins.
// Once its run is over (a stop ended it, also before it began, or it ended
// itself), the read ends with what it read: it takes no word of a run after
// it.
bool tBaseCDIImmediateTransferPrimitive::waitForData(uint32_t run, unsigned timeoutLine,
                                                     tStatus2& status) {
  while (_fifo->isFIFOEmpty(status) != 0 || !_runs.isLive(run)) {
    if (endAsked() || status.isFatal() || _runs.liveOrNext() != run) return false;
    if (_timeout.expired(true, status)) {
      fail(status, nQoUdR100::kWaitTimeout, timeoutLine);
      return false;
    }
  }
  return status.isNotFatal();
}

void tBaseCDIImmediateTransferPrimitive::checkForErrors(tStatus2& status) {
  if (_fifo->isOverrunPending(status) != 0)
    fail(status, nQoUdR100::kCDIOverrun, 440);
  else if (_fifo->isBufferErrorPending(status) != 0)
    fail(status, nQoUdR100::kFIFOOverflow, 443);
}

// The word is read, and counted, only while the read's run is live: a stop
// waits for it before its reset, and a word of a run after it is never
// taken. The run's clock is copied there too, where no start rewrites it. The run's end at its
// finite total is claimed under the lock that a start takes, only while the run is the read's own;
// its done report comes before the word's errors.
tBaseCDIImmediateTransferPrimitive::tTake tBaseCDIImmediateTransferPrimitive::takeSample(
    uint32_t run, uint8_t* sample, bool checked, tRunStamp* stamp, tStatus2& status) {
  tTake take = kOvertaken;
  tStatus2 errors;
  _runs.access(run, [&] {
    _fifo->readSamples(sample, _description->sampleWidth, status);
    if (stamp != nullptr && stamp->run != run) *stamp = {run, _clock.programmed()};
    if (checked && status.isNotFatal()) checkForErrors(errors);
    take = ++_samplesRead < total() || !finite() ? kTaken : kLast;
    if (take == kLast) _done.set(1);
  });
  if (take == kLast) {
    bool claimed = false;
    _lock.locked([&] { claimed = _runs.endIfLive(run); }, status);
    if (claimed) reportDone(status);
  }
  status.assign(errors);
  return take;
}

uint32_t tBaseCDIImmediateTransferPrimitive::read(void* buffer, uint32_t count, tStatus2& status,
                                                  tRunStamp* stamp) {
  _timeout.begin(status);
  if (_done.get() != 0) {
    fail(status, nQoUdR100::kReadPastTotal, 326);
    return 0;
  }
  const uint32_t run = _runs.liveOrNext();
  auto* samples = static_cast<uint8_t*>(buffer);
  const uint32_t width = _description->sampleWidth;
  uint32_t read = 0;
  while (read < count && status.isNotFatal() && !endAsked()) {
    // A time-out or a cancel keeps the samples read so far and reads no more.
    if (!waitForData(run, 348, status)) return read;
    const tTake take = takeSample(run, samples + std::size_t{read} * width, true, stamp, status);
    if (take == kOvertaken) continue;
    ++read;
    if (take == kLast) return read;
  }
  if (option() == 0 || count == 0 || _fifo->isFIFOEmpty(status) != 0) return read;
  drain(run, samples, count, status);
  // The errors of the read's run only: a stop's reset and the errors of a run
  // after it never reach the read.
  _runs.access(run, [&] { checkForErrors(status); });
  if (status.code == 0) warn(status, nQoUdR100::kNewestSamplesDrained, 390);
  return read;
}

void tBaseCDIImmediateTransferPrimitive::drain(uint32_t run, uint8_t* buffer, uint32_t count,
                                               tStatus2& status) {
  const uint32_t width = _description->sampleWidth;
  const std::size_t kept = std::size_t{count - 1} * width;
  uint8_t* last = buffer + kept;
  for (uint32_t drained = 0; drained < _description->cdiFIFODepth && status.isNotFatal() &&
                             !endAsked() && _fifo->isFIFOEmpty(status) == 0;
       ++drained) {
    uint8_t word[sizeof(uint32_t)] = {};
    const tTake take = takeSample(run, word, false, nullptr, status);
    if (take == kOvertaken) return;
    std::memmove(buffer, buffer + width, kept);
    std::memcpy(last, word, width);
    if (take == kLast) return;
  }
}

uint32_t tBaseCDIImmediateTransferPrimitive::readOne(void* buffer, tStatus2& status) {
  _timeout.begin(status);
  if (_done.get() != 0) {
    fail(status, nQoUdR100::kReadPastTotal, 240);
    return 0;
  }
  const uint32_t run = _runs.liveOrNext();
  auto* sample = static_cast<uint8_t*>(buffer);
  tTake take = kOvertaken;
  while (take == kOvertaken) {
    if (status.isFatal() || !waitForData(run, 248, status)) return 0;
    take = takeSample(run, sample, true, nullptr, status);
  }
  if (take == kTaken && option() != 0 && _fifo->isFIFOEmpty(status) == 0) {
    drain(run, sample, 1, status);
    _runs.access(run, [&] { checkForErrors(status); });
    if (status.code == 0) warn(status, nQoUdR100::kNewestSamplesDrained, 285);
  }
  return 1;
}

}  // namespace nQoUdP100
