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
    : tCDIOImmediateTransfer(deviceInfo, description, identity, kFile, status), _fifo(fifo) {}

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
  _cancel.set(0);
  _state = kChannelCommitted;
}

// Every start is a run of its own: a cancel of the run before does not end
// its reads (the end of the calls does). A start under a run keeps the run's
// records; the channel's start only starts the FIFO again. A finite run that
// reported its done is over: its FIFO, still sampling, stops and resets, so
// that the next run reads only its own samples.
void tBaseCDIImmediateTransferPrimitive::startTransfer(tStatus2& status) {
  if (status.isFatal() || runUnderWay()) return;
  if (_fifoStarted != 0) stopChannel(status);
  _cancel.set(0);
  _samplesRead = 0;
  _done = 0;
  _doneNotified.set(0);
  _state = kRunning;
}

// A finite run that a read ended since the transfer's step kept it is over:
// the channel's step begins the next run, as the transfer's step would have.
void tBaseCDIImmediateTransferPrimitive::startChannel(tStatus2& status) {
  if (status.isFatal()) return;
  if (!runUnderWay()) startTransfer(status);
  if (_fifoStarted == 0) {
    _done = 0;
    _doneNotified.set(0);
    _fifoStarted = 1;
  }
  _fifo->startFIFO(status);
}

void tBaseCDIImmediateTransferPrimitive::stopTransfer(tStatus2& status) {
  if (status.isFatal()) return;
  if (finite() && _done == 0 && status.code == 0) warn(status, nQoUdR100::kStoppedEarly, 187);
  _fifo->stopFIFO(status);
  _fifoStarted = 0;
  notifyDone(status);
}

void tBaseCDIImmediateTransferPrimitive::stopChannel(tStatus2& status) {
  if (status.isFatal()) return;
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

void tBaseCDIImmediateTransferPrimitive::uncommitChannel(tStatus2& status) {
  if (status.isNotFatal()) _state = kBuilt;
}

bool tBaseCDIImmediateTransferPrimitive::waitForData(unsigned timeoutLine, tStatus2& status) {
  while (_fifo->isFIFOEmpty(status) != 0) {
    if (endAsked() || status.isFatal()) return false;
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

void tBaseCDIImmediateTransferPrimitive::takeSample(uint8_t* sample, tStatus2& status) {
  _fifo->readSamples(sample, _description->sampleWidth, status);
  ++_samplesRead;
  if (!finite() || _samplesRead < _total) return;
  _done = 1;
  notifyDone(status);
}

uint32_t tBaseCDIImmediateTransferPrimitive::read(void* buffer, uint32_t count, tStatus2& status) {
  _timeout.begin(status);
  if (_done != 0) {
    fail(status, nQoUdR100::kReadPastTotal, 326);
    return 0;
  }
  auto* samples = static_cast<uint8_t*>(buffer);
  const uint32_t width = _description->sampleWidth;
  uint32_t read = 0;
  while (read < count && status.isNotFatal() && !endAsked()) {
    // A time-out or a cancel keeps the samples read so far and reads no more.
    if (!waitForData(348, status)) return read;
    takeSample(samples + std::size_t{read} * width, status);
    checkForErrors(status);
    ++read;
    if (_done != 0) return read;
  }
  if (_newestSamples == 0 || count == 0 || _fifo->isFIFOEmpty(status) != 0) return read;
  drain(samples, count, status);
  checkForErrors(status);
  if (status.code == 0) warn(status, nQoUdR100::kNewestSamplesDrained, 390);
  return read;
}

void tBaseCDIImmediateTransferPrimitive::drain(uint8_t* buffer, uint32_t count, tStatus2& status) {
  const uint32_t width = _description->sampleWidth;
  const std::size_t kept = std::size_t{count - 1} * width;
  uint8_t* last = buffer + kept;
  for (uint32_t drained = 0; drained < _description->cdiFIFODepth && status.isNotFatal() &&
                             !endAsked() && _fifo->isFIFOEmpty(status) == 0;
       ++drained) {
    std::memmove(buffer, buffer + width, kept);
    takeSample(last, status);
    if (_done != 0) return;
  }
}

uint32_t tBaseCDIImmediateTransferPrimitive::readOne(void* buffer, tStatus2& status) {
  _timeout.begin(status);
  if (_done != 0) {
    fail(status, nQoUdR100::kReadPastTotal, 240);
    return 0;
  }
  if (status.isFatal() || !waitForData(248, status)) return 0;
  auto* sample = static_cast<uint8_t*>(buffer);
  takeSample(sample, status);
  checkForErrors(status);
  if (_done == 0 && _newestSamples != 0 && _fifo->isFIFOEmpty(status) == 0) {
    drain(sample, 1, status);
    checkForErrors(status);
    if (status.code == 0) warn(status, nQoUdR100::kNewestSamplesDrained, 285);
  }
  return 1;
}

}  // namespace nQoUdP100
