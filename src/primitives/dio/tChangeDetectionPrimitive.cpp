#include "primitives/dio/tChangeDetectionPrimitive.h"

#include "frame/freshStatus.h"
#include "frame/kernelShims.h"
#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tDeviceGUIDStatusDescriptionISRSafe.h"
#include "frame/tStatusSite.h"
#include "frame/transferLock.h"
#include "orb/castToClass.h"
#include "pal/tPALSysInfo.h"
#include "primitives/cdio/tImmediateTimeout.h"

namespace nQoUdR100 {
namespace {

constexpr const char kSource[] = "tChangeDetectionPrimitive";
constexpr uint32_t kAllLines = 0xFFFFFFFF;

}  // namespace

void* tChangeDetectionPrimitive::___classID = nullptr;

tChangeDetectionPrimitive::tChangeDetectionPrimitive(const nQoORB100::tGUID& deviceGUID,
                                                     const nQoUdP100::tDeviceInfo& deviceInfo)
    : _deviceGUID(deviceGUID), _deviceInfo(deviceInfo) {}

tChangeDetectionPrimitive::~tChangeDetectionPrimitive() {
  nQoMDBG100::tStatus2 status;
  nQoUdP100::closeTransferLock(_transferLock, status);
  if (_runLock != nullptr) syncClose(_runLock);
  _changes.close();
  moduleFree(_lines);
  moduleFree(_buffer.load());
}

// The input stream has no identity of its own: the question ends at tObject.
void* tChangeDetectionPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tChangeDetectionPrimitive, nQoORB100::tObject>(this, classID);
}

const void* tChangeDetectionPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tChangeDetectionPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

nQoORB100::tClass tChangeDetectionPrimitive::getClass(int& status) const {
  return tClassRegistration<tChangeDetectionPrimitive>::getClass(*this, status);
}

void tChangeDetectionPrimitive::initialize(nQoUdP100::tImmedDigLatchingPrimitive* const* lines,
                                           size_t count, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (count > 0xFFFFFFFFu) {
    setCode(status, kCountTooLarge, {kSource, 120});
    return;
  }
  _lineCount = static_cast<uint32_t>(count);
  setFirstEdgeMask(kAllLines, 0, status);
  setSecondEdgeMask(kAllLines, 0, status);
  if (status.isFatal()) return;
  int code = 0;
  _changes.open(iSync::tParam{1, 5, 0}, &code);
  if (code != 0) {
    setCode(status, code, {kSource, 130});
    return;
  }
  _lines =
      new (kModuleHeap) nQoUdP100::tImmedDigLatchingPrimitive*[_lineCount == 0 ? 1 : _lineCount];
  if (_lines == nullptr) {
    setCode(status, kOutOfMemory, {kSource, 135});
    return;
  }
  for (uint32_t i = 0; i < _lineCount; ++i) _lines[i] = lines[i];
  _transferLock = nQoUdP100::openTransferLock(_deviceInfo, status);
  if (status.isFatal()) return;
  _runLock = syncOpen(iSync::tParam{1, 1, 0}, &code);
  setCode(status, code, {kSource, 137});
}

void tChangeDetectionPrimitive::allocateBuffer(uint32_t bytesPerSample,
                                               nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || (_buffer.load() != nullptr && _bytesPerSample == bytesPerSample)) return;
  dropBuffer();
  // Both halves in size_t, so that no count wraps into a short buffer.
  const size_t size = size_t{bytesPerSample} * 2;
  auto* const buffer = static_cast<uint8_t*>(_memNewUsingCRT(size, 4, &status));
  if (buffer == nullptr) return;
  _bytesPerSample = bytesPerSample;
  _buffer.store(buffer);
}

void tChangeDetectionPrimitive::releaseBuffer(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  dropBuffer();
}

void tChangeDetectionPrimitive::dropBuffer() {
  uint8_t* const held = _buffer.exchange(nullptr);
  if (held == nullptr) return;
  endReadsUnderWay();
  waitForInterruptPasses();
  _readPasses.waitForPasses();
  _bytesPerSample = 0;
  _filledHalves.store(0);
  moduleFree(held);
}

void tChangeDetectionPrimitive::enableLines(uint32_t firstEdgeMask, uint32_t secondEdgeMask,
                                            nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _enabledLines = firstEdgeMask | secondEdgeMask;
  setFirstEdgeMask(firstEdgeMask, kAllLines, status);
  setSecondEdgeMask(secondEdgeMask, kAllLines, status);
  attach(status);
  if (status.isFatal()) {
    nQoMDBG100::tStatus2 undo;
    disableLines(firstEdgeMask, secondEdgeMask, undo);
    return;
  }
  _changeCount = 0;
  _changeOverrun.store(false);
  _changeSequence = 0;
  _lastChangeCount = 0;
  _overflow.store(false);
  _lastSequence = 0;
  _changes.lift(kAbortMark);
}

void tChangeDetectionPrimitive::disableLines(uint32_t firstEdgeMask, uint32_t secondEdgeMask,
                                             nQoMDBG100::tStatus2& status) {
  // Each step on a status of its own: a failed detach still clears the masks.
  onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { detach(s); });
  onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { setFirstEdgeMask(firstEdgeMask, 0, s); });
  onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { setSecondEdgeMask(secondEdgeMask, 0, s); });
}

void tChangeDetectionPrimitive::signalDone(const nQoMDBG100::tStatus2& completion,
                                           nQoMDBG100::tStatus2& status) {
  if (_transferLock == nullptr) return;
  // The report is owed whatever the caller's status holds (a stop merges its
  // hardware's failure in first): only a lock that refused holds it back, and
  // that refusal is reported.
  nQoMDBG100::tStatus2 reporting;
  nQoUdP100::underLock(
      _transferLock,
      [&] {
        if (reporting.isFatal() || _doneReported || _doneTarget == nullptr) return;
        if (completion.isFatal())
          _doneTarget->post(nQoMRL110::tSoftwareActionForStatusEvent(completion), reporting);
        _doneTarget->post(nQoMRL110::tSoftwareActionForIsDoneEvent(completion), reporting);
        _doneReported = true;
      },
      reporting, {kSource, 140});
  status.assign(reporting);
}

void tChangeDetectionPrimitive::signalChange() {
  ++_changeSequence;
  signalReaders();
}

void tChangeDetectionPrimitive::signalReaders() { _changes.set(); }

void tChangeDetectionPrimitive::resetChangeEvent() { _changes.reset(); }

uint32_t tChangeDetectionPrimitive::read(uint32_t count, uint32_t timeout, uint8_t* destination,
                                         const uint8_t* mask, nQoMSRL100::iTimeStampSink* sink,
                                         nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return 0;
  if (destination == nullptr) {
    setCode(status, kNullDestination, {kSource, 273});
    return 0;
  }
  // An abort or a release's end that comes from here on ends the read,
  // whatever start or link lifts it before the read looks.
  const tEndableEvent::tWaiting reading(_changes);
  if (_done) {
    setCode(status, kReadPastTotal, {kSource, 279});
    return 0;
  }
  // The sample size of the buffer held now: the destination holds count
  // samples of it.
  uint32_t bytes = 0;
  if (!useHalf(0, [&](const uint8_t*, uint32_t size) { bytes = size; })) {
    setCode(status, kRefused, {kSource, 276});
    return 0;
  }
  const uint64_t startTime = sink != nullptr ? tPALSysInfo::getTime() : 0;
  nQoUdP100::tImmediateTimeout limit;
  limit.set(timeout);
  limit.begin(status);
  // Every exit answers the samples already copied: they are in the caller's
  // buffer and counted.
  uint32_t copied = 0;
  uint32_t run = _runs.live();
  while (copied < count) {
    // Each set wakes one reader: one that leaves woken on an end passes the
    // wake on to the next.
    int code = 0;
    const tEndableEvent::tLeft left = reading.wait(timeout, &code);
    if (left == tEndableEvent::kEnded) break;
    if (left != tEndableEvent::kWoken) {
      setCode(status, kWaitTimeout, {kSource, 313},
              new nQoKABBO_1_0::tDeviceGUIDStatusDescriptionISRSafe(_deviceGUID));
      break;
    }
    if (run == 0) run = _runs.live();
    // The capture, the copy and the count, in one access of the read's run:
    // a stop or a start waits for it, and a wake after the run ended takes
    // nothing and is refused, as a wake for a half that no change filled.
    bool taken = false;
    _runs.access(run, [&] {
      const uint32_t previous = _sampleCounter.fetchIncrement();
      uint64_t sequence = 0;
      captureSample(&sequence, status);
      if (status.isFatal()) return;
      // A buffer released, or replaced by one of another size, during the
      // wait holds none of this read's samples; nor does a half that no
      // change filled since its buffer was taken (the wake came from a change
      // of a buffer since freed).
      useHalf(previous, [&](const uint8_t* half, uint32_t size) {
        if (size != bytes || (_filledHalves.load() & halfBit(previous)) == 0) return;
        uint8_t* to = destination + size_t{copied} * bytes;
        for (uint32_t b = 0; b < bytes; ++b)
          to[b] = mask != nullptr ? static_cast<uint8_t>(half[b] & mask[b]) : half[b];
        taken = true;
      });
      if (!taken) return;
      _lastChangeCount = _changeCount;
      if (sequence - _lastSequence > 1) _overflow.store(true);
      _lastSequence = sequence;
      ++_samplesRead;
      if (_finite && _samplesRead >= _samplesToAcquire) _done = true;
    });
    if (status.isFatal()) break;
    if (!taken) {
      setCode(status, kRefused, {kSource, 276});
      break;
    }
    ++copied;
    if (_done) break;
    // The event re-arms itself as it releases a waiter: a change that came
    // during the capture is waited for next.
    if (copied == count) break;
    if (limit.expired(true, status)) {
      setCode(status, kWaitTimeout, {kSource, 302});
      break;
    }
  }
  if (sink != nullptr && copied > 0) {
    sink->setStartTime(startTime, status);
    nQoMDBG100::tStatus2 finished;
    sink->finish(finished);
    status.assign(finished);
  }
  return copied;
}

uint32_t tChangeDetectionPrimitive::readAvailable(uint32_t, uint8_t*,
                                                  nQoMDBG100::tStatus2& status) {
  setCode(status, kStreamOperationNotOffered, {kSource, 396});
  return 0;
}

}  // namespace nQoUdR100
