#include "primitives/ai/tBaseAIImmediateTransferPrimitive.h"

#include <cstddef>
#include <cstring>

#include "bus/iBus.h"
#include "frame/nParseUtilities.h"
#include "frame/statusCodes.h"
#include "frame/tDeviceGUIDStatusDescriptionISRSafe.h"
#include "frame/tStatusSite.h"
#include "kal/nQoKAL.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;
using nQoUdR100::setCode;

namespace {
constexpr const char kFile[] = "qomiop/ai/tBaseAIImmediateTransferPrimitive";
constexpr unsigned kOverrunLine = 1475;
constexpr unsigned kOverflowLine = 1478;
constexpr unsigned kTimeoutLine = 1546;
constexpr unsigned kBlockingTimeoutLine = 1598;
constexpr unsigned kDiscardingTimeoutLine = 1696;
constexpr unsigned kDataLeftLine = 1613;
constexpr unsigned kCapacityLine = 1826;
constexpr unsigned kFinishedLine = 1921;
constexpr unsigned kListLine = 794;
constexpr unsigned kSetSizeLine = 796;
constexpr unsigned kListClosedLine = 798;
constexpr unsigned kNoSetsLine = 1010;
constexpr unsigned kWidthLine = 140;
constexpr unsigned kKeyLine = 390;
constexpr unsigned kShapeLine = 425;
constexpr unsigned kKindLine = 443;
constexpr unsigned kBytesLine = 1700;
constexpr unsigned kStartLine = 1082;
constexpr int kDataLeft = 80002;
constexpr int kReadCountExceeded = -209800;
constexpr int kTooMuchData = -200714;
constexpr const char kListenerSuffix[] = "tBaseAIImmediateTransferPrimitive::tLibSocketListener";
constexpr std::size_t kLocationWords = 3;
// Room for a location word's digits and "::".
constexpr std::size_t kLocationText = 20;
constexpr std::size_t kListenerNameLength = kLocationWords * kLocationText + sizeof kListenerSuffix;
constexpr uint32_t kFirstTimingMode = 1;
constexpr uint32_t kFiniteTimingMode = 3;
constexpr int32_t kFiniteKind = 2;
constexpr uint32_t kRoutingKindWord = 7;
constexpr uint32_t kEndOfSet = 1;
// Who holds the waiter: nobody, a read of a run (which holds the set
// bookkeeping too), a client naming its event, a lifecycle step that changes
// or frees what a read uses, or a read that waits for a run to begin.
constexpr uint32_t kIdle = 0;
constexpr uint32_t kReading = 1;
constexpr uint32_t kNaming = 2;
constexpr uint32_t kClosed = 3;
constexpr uint32_t kAwaiting = 4;
// The read event's marks: a cancel request, a step ending the read under way,
// and the supervisor's end of the reads (endReads to openReads).
constexpr uint32_t kCancelByRequest = 1;
constexpr uint32_t kCancelByStep = 2;
constexpr uint32_t kCancelByRelease = 4;

uint32_t readU32(const void* bytes, uint32_t offset) {
  uint32_t value;
  std::memcpy(&value, static_cast<const uint8_t*>(bytes) + offset, sizeof value);
  return value;
}
void writeU32(void* bytes, uint32_t offset, uint32_t value) {
  std::memcpy(static_cast<uint8_t*>(bytes) + offset, &value, sizeof value);
}
}  // namespace

tBaseAIImmediateTransferPrimitive::tBaseAIImmediateTransferPrimitive(
    iBus* bus, const tDeviceInfo* deviceInfo, tBaseAIScanningFrontEndPrimitive* frontEnd,
    tBaseAI_WFNSCPrimitive* wfnsc, tBaseAI_ADCPrimitive* adc,
    tBaseAITimingControllerPrimitive* timing, tBaseAIDeviceFIFOPrimitive* fifo,
    const tAIDescription* description, tStatus2& status)
    : _bus(bus),
      _deviceInfo(deviceInfo),
      _frontEnd(frontEnd),
      _adc(adc),
      _timing(timing),
      _fifo(fifo),
      _wfnsc(wfnsc) {
  if (status.isFatal()) return;
  if (description == nullptr || description->fifo == nullptr ||
      description->fifo->sampleWidthCode == 0) {
    setCode(status, nQoUdR100::kRefused, {kFile, kWidthLine});
    return;
  }
  _sampleWidth = description->fifo->sampleWidthCode;
  if (description->firstEntry != nullptr) _heldBackSets = description->firstEntry->heldBackSets;
  _lookAheadLimit = description->fifo->size / _sampleWidth;
  if (_lookAheadLimit != 0) --_lookAheadLimit;
  _transferState = 1;
}

// Each undo step on a status of its own, dropped.
// A read under way is ended first; reads and namings stay out for good.
tBaseAIImmediateTransferPrimitive::~tBaseAIImmediateTransferPrimitive() {
  closeReads();
  if (_transferState == 5) stopRun();
  if (_transferState == 4) disarmRun();
  tStatus2 local;
  if (_sampleEndObserving) leaveCommit(local);
  // A commit of an armed transfer keeps the listener of its arm.
  unregisterListener();
  dropWaiter();
}

void* tBaseAIImmediateTransferPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return classID == &___classID ? this : castInterface(classID);
}

const void* tBaseAIImmediateTransferPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tBaseAIImmediateTransferPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

bool tBaseAIImmediateTransferPrimitive::isReady() const {
  return _bus != nullptr && _deviceInfo != nullptr && _frontEnd != nullptr && _adc != nullptr &&
         _timing != nullptr && _fifo != nullptr && _wfnsc != nullptr && _transferState >= 1 &&
         _transferState <= 5;
}

void tBaseAIImmediateTransferPrimitive::reserveTransfer(tStatus2& status) {
  if (status.isNotFatal()) _transferState = 2;
}

// The wait mode goes back to the default too, as a fresh reservation finds
// it: the next reservation's commit makes its waiter before that
// reservation's read configuration comes.
void tBaseAIImmediateTransferPrimitive::unreserveTransfer(tStatus2& status) {
  if (status.isFatal()) return;
  _waitMode = iWaiter::kNop;
  _transferState = 1;
}

void tBaseAIImmediateTransferPrimitive::commitTransfer(tStatus2& status) {
  if (status.isFatal()) return;
  if (!setsFit()) {
    setCode(status, nQoUdR100::kCountTooLarge, {kFile, kSetSizeLine});
    return;
  }
  closeReads();
  endRun();
  if (!_sampleEndObserving) {
    _timing->addSampleEndObserver(this, status);
    _sampleEndObserving = status.isNotFatal();
  }
  buildSetList(status);
  rewindSets();
  remakeWaiter(status);
  if (status.isFatal()) {
    tStatus2 undo;
    leaveCommit(undo);
  } else {
    _transferState = 3;
  }
  _reading.set(kIdle);
}

template <class tTake>
void tBaseAIImmediateTransferPrimitive::walkSets(tTake take) const {
  const auto& engine = _timing->programmed().configuration;
  const auto& timing = engine.timing;
  const int32_t kind = engine.routing.words[kRoutingKindWord];
  const auto& channels = _frontEnd->configuration().channels;
  if (timing.timingMode == static_cast<int32_t>(kFirstTimingMode)) {
    take(uint64_t{1});
  } else if (timing.timingMode == 2 || timing.timingMode == 3) {
    if (kind == 19 || kind == 31) {
      uint64_t total = 0;
      for (const auto& channel : channels) {
        if (channel.positiveInputCode != static_cast<int32_t>(kExcludedChannelType))
          total += timing.strobeLoadValue;
        if ((channel.channelFlags & kEndOfSet) != 0) {
          take(total);
          total = 0;
        }
      }
    } else if (kind == 0) {
      for (const auto& channel : channels)
        take(channel.positiveInputCode == static_cast<int32_t>(kExcludedChannelType)
                 ? uint64_t{0}
                 : uint64_t{timing.strobeLoadValue});
    }
  }
}

// A set's sample count must fit the list's 32-bit entries. The sum over one
// set of channels stays below 2^64: the channel list is far shorter than 2^32.
bool tBaseAIImmediateTransferPrimitive::setsFit() const {
  bool fits = true;
  walkSets([&](uint64_t samples) { fits = fits && samples <= 0xFFFFFFFFu; });
  return fits;
}

// Room for the sets is made first: a list that cannot get it is refused and
// the one before stays whole.
void tBaseAIImmediateTransferPrimitive::buildSetList(tStatus2& status) {
  _listOpen.store(false);
  _queries.waitForPasses();
  std::size_t sets = 0;
  walkSets([&](uint64_t) { ++sets; });
  if (_setList.reserve(sets)) {
    _setList.clear();
    walkSets([&](uint64_t samples) { _setList.append(static_cast<uint32_t>(samples)); });
    _setsTakeSamples = false;
    for (const uint32_t samples : _setList) _setsTakeSamples = _setsTakeSamples || samples != 0;
  } else {
    setCode(status, nQoUdR100::kOutOfMemory, {kFile, kListLine});
  }
  _listOpen.store(true);
}

void tBaseAIImmediateTransferPrimitive::remakeWaiter(tStatus2& status) {
  dropWaiter();
  const nQoORB100::tGUID* device = _deviceInfo != nullptr ? _deviceInfo->identity : nullptr;
  _waiter.set(
      makeWaiter(_waitMode, _timing, &_readEvent, &_timeout, device, _listenerKey != 0, status));
  _run.waitMode = _waitMode;
}

void tBaseAIImmediateTransferPrimitive::dropWaiter() {
  iWaiter* const waiter = _waiter.get();
  _waiter.set(nullptr);
  delete waiter;
}

void tBaseAIImmediateTransferPrimitive::rewindSets() {
  _setIndex = static_cast<uint32_t>(_setList.size());
  _setRemaining = 0;
  dropOwedDiscards();
}

void tBaseAIImmediateTransferPrimitive::uncommitTransfer(tStatus2& status) {
  if (status.isFatal()) return;
  closeReads();
  leaveCommit(status);
  _reading.set(kIdle);
}

// The arm's listener goes by its registration also when a commit since the
// arm, which keeps it, lowered the state.
void tBaseAIImmediateTransferPrimitive::bringDown() {
  tStatus2 local;
  if (_transferState == 5) stopTransfer(local);
  if (_transferState == 4) disarmTransfer(local.clear());
  unregisterListener();
}

// The run and its stamp clock go too, as a fresh reservation finds them.
void tBaseAIImmediateTransferPrimitive::leaveCommit(tStatus2& status) {
  endRun();
  _clock.forget();
  _readSettings.forget();
  dropWaiter();
  // The default form has no controller to leave.
  if (_timing != nullptr) _timing->removeSampleEndObserver(this, status);
  _sampleEndObserving = false;
  _transferState = 2;
}

void tBaseAIImmediateTransferPrimitive::closeReads() {
  bool ended = false;
  for (;;) {
    uint32_t holder = kIdle;
    if (_reading.compareExchange(holder, kClosed)) break;
    // A read may wait without end: it is ended as a cancel ends it.
    if ((holder == kReading || holder == kAwaiting) && !ended) {
      _readEvent.end(kCancelByStep);
      ended = true;
    }
    nQoKAL100_yieldThread();
  }
  if (ended) _readEvent.lift(kCancelByStep);
}

void tBaseAIImmediateTransferPrimitive::armTransfer(tStatus2& status) {
  if (status.isFatal()) return;
  // The run's sets are taken again, with the reads held out, from what the
  // engine's and the front end's last commits programmed: a commit of theirs
  // since the transfer's reaches the next run. A list refused changes
  // nothing; otherwise the live run ends, as the next start begins one.
  if (!setsFit()) {
    setCode(status, nQoUdR100::kCountTooLarge, {kFile, kSetSizeLine});
    return;
  }
  closeReads();
  buildSetList(status);
  if (status.isFatal()) {
    _reading.set(kIdle);
    return;
  }
  endRun();
  rewindSets();
  // What the run goes by: the read configuration, the discards, the
  // remaining check and the FIFO's count as they stand now; one given since
  // reaches the next arm.
  _readSettings.program();
  _run.option1 = _option1;
  _run.option2 = _option2;
  _run.option3 = _option3;
  _run.readCountLimit = _readCountLimit;
  _run.readCountIsWarning = _readCountIsWarning;
  _run.listenerKey = _listenerKey;
  _run.timeoutValue = _timeoutValue;
  _run.timeoutUnit = _timeoutUnit;
  _run.fifoCount = _fifo->configuration().count;
  registerListener(status);
  // The wait mode reaches this run's reads: a waiter of another mode gives
  // way to one of this arm's.
  if (_run.waitMode != _waitMode || _waiter.get() == nullptr) remakeWaiter(status);
  // The run the engine's commit programmed the board with.
  const auto& timing = _timing->programmed().configuration.timing;
  _runTotal = timing.firstCount - _heldBackSets;
  _runFinite = timing.timingMode == static_cast<int32_t>(kFiniteTimingMode) &&
               timing.acquisitionType == kFiniteKind;
  _runRetriggerable = timing.retriggerable != 0;
  if (status.isFatal())
    disarmRun();
  else
    _transferState = 4;
  _reading.set(kIdle);
}

void tBaseAIImmediateTransferPrimitive::disarmTransfer(tStatus2& status) {
  if (status.isFatal()) return;
  closeReads();
  disarmRun();
  _reading.set(kIdle);
}

void tBaseAIImmediateTransferPrimitive::disarmRun() {
  endRun();
  unregisterListener();
  _transferState = 3;
}

// Each start begins a run of its own, with the stamp clock deployed for it.
// A read of the run before is ended and has left the set bookkeeping before
// the start rewinds it. A read that waits for a run holds none: it takes
// this one once the start has begun it, woken if it blocks.
void tBaseAIImmediateTransferPrimitive::startTransfer(tStatus2& status) {
  if (status.isFatal()) return;
  endRun();
  leaveRunReads();
  _clock.program();
  _readEvent.lift(kCancelByRequest | kCancelByStep);
  // A run that timed out or was stopped inside a set leaves the set behind.
  rewindSets();
  _setsRead = 0;
  _finished = 0;
  _readCount = 0;
  _firstRead = 1;
  _transferState = 5;
  _readRuns.begin();
  if (_reading.get() == kAwaiting) _readEvent.set();
}

// A read of the run before that the start's end of the run meets: it holds
// the bookkeeping only while its run is live (joinRun), so none takes it
// again once this wait is over.
void tBaseAIImmediateTransferPrimitive::leaveRunReads() {
  bool ended = false;
  while (_reading.get() == kReading) {
    if (!ended) _readEvent.end(kCancelByStep);
    ended = true;
    nQoKAL100_yieldThread();
  }
}

// A step that ends the run between the look and the copy: the look is
// taken again, at the run a start began or at none.
tBaseAIImmediateTransferPrimitive::tStampClock tBaseAIImmediateTransferPrimitive::runClock(
    uint32_t& run) {
  tStampClock clock;
  for (;;) {
    run = _readRuns.live();
    if (run == 0 || _readRuns.access(run, [&] { clock = _clock.programmed(); })) return clock;
  }
}

void tBaseAIImmediateTransferPrimitive::stopTransfer(tStatus2& status) {
  if (status.isFatal()) return;
  closeReads();
  stopRun();
  _reading.set(kIdle);
}

void tBaseAIImmediateTransferPrimitive::stopRun() {
  endRun();
  _transferState = 4;
}

// A read's look at the FIFO and its port read are one access of its run: the
// run ends first, then the accesses under way are waited for, so none reads
// the FIFO after the step returns.
void tBaseAIImmediateTransferPrimitive::endRun() {
  _readRuns.end();
  _readRuns.waitForAccesses();
}

void tBaseAIImmediateTransferPrimitive::startUnsupported(tStatus2& status) {
  setCode(status, nQoUdR100::kNotSupported, {kFile, kStartLine});
}

void tBaseAIImmediateTransferPrimitive::requestCancel() { _readEvent.end(kCancelByRequest); }

void tBaseAIImmediateTransferPrimitive::endReads() { _readEvent.end(kCancelByRelease); }

void tBaseAIImmediateTransferPrimitive::openReads() { _readEvent.lift(kCancelByRelease); }

void tBaseAIImmediateTransferPrimitive::postIsDone(tStatus2& status) {
  _doneTarget.call([&](nQoMRL110::iEvent& target) {
    tStatus2 posted;
    target.post(nQoMRL110::tSoftwareActionForIsDoneEvent(posted), posted);
    status.assign(posted);
  });
}

void tBaseAIImmediateTransferPrimitive::notifyDone(tStatus2& status) {
  if (_run.option1 != 0 || _runRetriggerable) postIsDone(status);
}

uint32_t tBaseAIImmediateTransferPrimitive::sampleEnded(tBaseAITimingControllerPrimitive*,
                                                        tStatus2&) {
  ++_sampleEndCount;
  return 1;
}

void tBaseAIImmediateTransferPrimitive::sampleEndedSecondary(tBaseAITimingControllerPrimitive*,
                                                             tStatus2& status) {
  ++_secondPassCount;
  if (!_runRetriggerable) postIsDone(status);
}

void tBaseAIImmediateTransferPrimitive::failWithDevice(tStatus2& status, int code, unsigned line) {
  const nQoORB100::tGUID* device = _deviceInfo != nullptr ? _deviceInfo->identity : nullptr;
  setCode(status, code, {kFile, line},
          device != nullptr
              ? new nQoUdR100::nQoKABBO_1_0::tDeviceGUIDStatusDescriptionISRSafe(*device)
              : nullptr);
}

void tBaseAIImmediateTransferPrimitive::startTimeout(uint32_t timeout, tTimerTimeUnit unit,
                                                     tStatus2& status) {
  _timeout.timer.clear();
  if (timeout == 0) {
    _timeout.mode = tAIImmediateTimeout::kNoWait;
  } else if (timeout == kNoLimit) {
    _timeout.mode = tAIImmediateTimeout::kInfinite;
  } else {
    _timeout.mode = tAIImmediateTimeout::kTimed;
    _timeout.limit = timeout;
    _timeout.unit = unit;
    _timeout.timer.start(&status.code);
  }
}

uint32_t tBaseAIImmediateTransferPrimitive::read(void* destination, uint32_t setCount,
                                                 tStatus2& status, uint32_t* bytesOut,
                                                 uint32_t timeout, tTimerTimeUnit unit) {
  if (bytesOut != nullptr) *bytesOut = 0;
  if (status.isFatal()) return 0;
  if (_finished.load() != 0) {
    failWithDevice(status, nQoUdR100::kReadPastTotal, kFinishedLine);
    return 0;
  }
  // The waiter and the list are taken once the read holds them: a step
  // cannot change them until it has left.
  uint32_t idle = kIdle;
  const bool held = _reading.compareExchange(idle, kAwaiting);
  // A cancel or an end that comes from here on ends the read, whatever start
  // lifts it before the read looks.
  const nQoUdR100::tEndableEvent::tWaiting reading(_readEvent);
  iWaiter* const waiter = held ? _waiter.get() : nullptr;
  if (_setList.size() == 0 || waiter == nullptr) {
    if (held) _reading.set(kIdle);
    setCode(status, nQoUdR100::kRefused, {kFile, kNoSetsLine});
    return 0;
  }
  startTimeout(timeout, unit, status);
  auto* at = static_cast<uint8_t*>(destination);
  uint32_t complete = 0;
  uint32_t bytes = 0;
  // The read takes samples of its run, and none once it is over.
  const bool joined = joinRun(*waiter, reading, status);
  for (uint32_t set = 0; joined && set < setCount && status.isNotFatal(); ++set) {
    bytes = 0;
    const bool whole = readSet(*waiter, reading, at, bytes, status);
    ++_setsRead;
    if (_setsRead >= _runTotal) {
      _sampleEndCount = 0;
      if (_runFinite && !_runRetriggerable) _finished = 1;
    }
    if (!whole) break;
    ++complete;
    if (_finished != 0) break;
  }
  if (bytesOut != nullptr) *bytesOut = bytes;
  _reading.set(kIdle);
  return complete;
}

bool tBaseAIImmediateTransferPrimitive::isReading() const {
  const uint32_t holder = _reading.get();
  return holder == kReading || holder == kAwaiting;
}

// A read holds the set bookkeeping only while the run it took is live: a
// start ends the run before it waits for the read to leave the bookkeeping.
// Until a run is live the read waits as it waits for samples, and a start
// wakes a blocked wait; a polling one gives way to the thread that starts.
bool tBaseAIImmediateTransferPrimitive::joinRun(iWaiter& waiter,
                                                const nQoUdR100::tEndableEvent::tWaiting& reading,
                                                tStatus2& status) {
  const unsigned timeoutLine =
      _readSettings.programmed().discarding != 0 ? kDiscardingTimeoutLine : kTimeoutLine;
  for (;;) {
    const uint32_t run = _readRuns.live();
    if (run != 0) {
      _reading.set(kReading);
      if (_readRuns.isLive(run)) {
        _readRun = run;
        _readClock = _clock.programmed();
        return true;
      }
      _reading.set(kAwaiting);
    }
    if (status.isFatal() || reading.ended()) return false;
    if (_timeout.expired(status)) {
      failWithDevice(status, nQoUdR100::kWaitTimeout, timeoutLine);
      return false;
    }
    if (waiter.wait(reading, status)) return false;
    if (waiter.waitsRepeatedly()) nQoKAL100_yieldThread();
  }
}

bool tBaseAIImmediateTransferPrimitive::readSet(iWaiter& waiter,
                                                const nQoUdR100::tEndableEvent::tWaiting& reading,
                                                uint8_t*& destination, uint32_t& bytes,
                                                tStatus2& status) {
  if (_run.option1 != 0) _timing->start(status);
  bool exempt = false;
  if (_run.option2 != 0 && _readCount <= _run.readCountLimit) {
    ++_readCount;
    exempt = true;
  }
  uint8_t* const room = destination;
  bool whole = readInner(waiter, reading, destination, bytes, status);
  if (_run.option3 != 0) {
    // The room of this set: what the first pass wrote and what it still owes.
    const uint64_t roomSamples = bytes / _sampleWidth + uint64_t{_setRemaining};
    uint32_t passes = 1;
    uint32_t sum = bytes;
    while (_setsTakeSamples && status.isNotFatal() && _fifo->isEmpty(&status) == 0 &&
           !reading.ended() && !runOver()) {
      // A pass that begins the next set reads it over the one before, so the
      // newest set stays; one that would not fit leaves it in the FIFO. A set
      // of no samples writes nothing, so the one before stays in the room.
      if (samplesLeft() == 0) {
        const uint32_t next = _setList[nextSetIndex()];
        if (next > roomSamples) break;
        if (next != 0) {
          destination = room;
          bytes = 0;
        }
      }
      uint32_t more = 0;
      whole = readInner(waiter, reading, destination, more, status);
      bytes += more;
      sum += more;
      ++passes;
      if (_run.option2 != 0 && sum > _run.fifoCount) {
        setCode(status, kTooMuchData, {kFile, kCapacityLine});
        break;
      }
    }
    // Off for the rest of this run; the next arm takes the option as deployed.
    if (_run.option2 == 0 && _readSettings.programmed().remainingCheckOff == 0 &&
        ++_readCount >= _run.readCountLimit)
      _run.option3 = 0;
    if (_run.option2 != 0 && passes > 1 && !exempt) readCountCheck(status);
  } else if (_run.option2 != 0 && !exempt) {
    readCountCheck(status);
  }
  return whole;
}

void tBaseAIImmediateTransferPrimitive::readCountCheck(tStatus2& status) {
  if (status.code != 0 || _fifo->isEmpty(&status) != 0) return;
  status.code = _run.readCountIsWarning != 0 ? -kReadCountExceeded : kReadCountExceeded;
}

uint32_t tBaseAIImmediateTransferPrimitive::nextSetIndex() const {
  return _setIndex + 1 >= _setList.size() ? 0 : _setIndex + 1;
}

void tBaseAIImmediateTransferPrimitive::beginSet() {
  _setIndex = nextSetIndex();
  _setRemaining = _setList[_setIndex];
  const tReadSettings& reads = _readSettings.programmed();
  if (reads.discarding == 0) return;
  const bool first = _firstRead != 0;
  const uint32_t* const counts = reads.discardCounts;
  _leadingLeft = uint64_t{counts[first ? kFirstLeading : kLaterLeading]} * _setRemaining;
  _trailingLeft = uint64_t{counts[first ? kFirstTrailing : kLaterTrailing]} * _setRemaining;
}

bool tBaseAIImmediateTransferPrimitive::readInner(iWaiter& waiter,
                                                  const nQoUdR100::tEndableEvent::tWaiting& reading,
                                                  uint8_t*& destination, uint32_t& bytes,
                                                  tStatus2& status) {
  if (samplesLeft() == 0) beginSet();
  const tReadSettings& reads = _readSettings.programmed();
  const unsigned timeoutLine = reads.discarding != 0 ? kDiscardingTimeoutLine : kTimeoutLine;
  const unsigned blockingTimeoutLine =
      reads.discarding != 0 ? kDiscardingTimeoutLine : kBlockingTimeoutLine;
  uint64_t written = 0;
  uint32_t scratch = 0;
  // The next sample: a leading discard, a sample of the set, or a trailing
  // discard.
  auto takeOne = [&] {
    if (_leadingLeft != 0) {
      _fifo->readSample(&scratch, status);
      --_leadingLeft;
    } else if (_setRemaining != 0) {
      _fifo->readSample(destination, status);
      destination += _sampleWidth;
      written += _sampleWidth;
      --_setRemaining;
    } else {
      _fifo->readSample(&scratch, status);
      --_trailingLeft;
    }
  };
  // The look at the FIFO and the sample it finds, as one access of the read's
  // run; none once the run is over.
  auto take = [&](bool goodStatusOnly) {
    bool took = false;
    _readRuns.access(_readRun, [&] {
      if (_fifo->isEmpty(&status) == 0 && (!goodStatusOnly || status.isNotFatal())) {
        takeOne();
        took = true;
      }
    });
    return took;
  };
  for (;;) {
    while (samplesLeft() != 0 && take(true)) {
    }
    if (_lookAheadLimit != 0 && _sampleEndCount != 0 && samplesLeft() > 0 &&
        samplesLeft() <= _lookAheadLimit && take(false))
      _sampleEndCount = 0;
    if (_adc->readStatusBit11(&status) != 0)
      failWithDevice(status, nQoUdR100::kConverterOverrun, kOverrunLine);
    else if (_fifo->readStatusBit10(&status) != 0)
      failWithDevice(status, nQoUdR100::kFIFOOverflow, kOverflowLine);
    // A run that a stop or start ended ends the read as a cancel does.
    if (status.isFatal() || reading.ended() || runOver()) break;
    if (samplesLeft() == 0) {
      waiter.complete(status);
      break;
    }
    if (_timeout.expired(status)) {
      failWithDevice(status, nQoUdR100::kWaitTimeout, timeoutLine);
      break;
    }
    if (waiter.wait(reading, status)) break;
    if (waiter.waitsRepeatedly()) continue;
    // A blocking waiter was woken: read on without waiting until the set is whole.
    while (samplesLeft() != 0 && status.isNotFatal() && !reading.ended() && !runOver()) {
      take(false);
      if (_adc->readStatusBit11(&status) != 0)
        failWithDevice(status, nQoUdR100::kConverterOverrun, kOverrunLine);
      else if (_fifo->readStatusBit10(&status) != 0)
        failWithDevice(status, nQoUdR100::kFIFOOverflow, kOverflowLine);
      if (status.isNotFatal() && samplesLeft() != 0 && _timeout.expired(status))
        failWithDevice(status, nQoUdR100::kWaitTimeout, blockingTimeoutLine);
    }
    break;
  }
  if (reads.remainingCheckOff == 0) {
    const uint32_t left = _fifo->isEmpty(&status) == 0 ? 1 : 0;
    _wfnsc->setDataLeft(left);
    if (left != 0) setCode(status, kDataLeft, {kFile, kDataLeftLine});
  }
  if (written > 0xFFFFFFFFu) {
    setCode(status, nQoUdR100::kCountTooLarge, {kFile, kBytesLine});
    written = 0xFFFFFFFFu;
  }
  bytes = static_cast<uint32_t>(written);
  if (reads.discarding != 0) _firstRead = 0;
  return samplesLeft() == 0;
}

// An arm without a key takes out the listener that an arm before, with one,
// left (a commit since the arm keeps it): it would answer a client whose key
// is 0.
void tBaseAIImmediateTransferPrimitive::registerListener(tStatus2& status) {
  if (status.isFatal()) return;
  if (_run.listenerKey == 0) unregisterListener();
  if (_run.listenerKey == 0 || _listenerHandle != 0) return;
  char name[kListenerNameLength];
  char* end = name;
  for (uint32_t word = 0; word < kLocationWords; ++word) {
    end = nQoUdR100::nQoKABBO_1_0::nParseUtilities::formatIntegerInRadix(
        end, _bus != nullptr ? _bus->location(word) : 0, 16);
    *end++ = ':';
    *end++ = ':';
  }
  std::memcpy(end, kListenerSuffix, sizeof kListenerSuffix);
  _listenerHandle = iLibSocketListener::registerSocketListener(name, &_listener, status);
}

void tBaseAIImmediateTransferPrimitive::unregisterListener() {
  iLibSocketListener::unregisterSocketListener(_listenerHandle);
  _listenerHandle = 0;
}

void tBaseAIImmediateTransferPrimitive::tLibSocketListener::handleRequest(
    const void* request, uint32_t requestSize, void* reply, uint32_t replyCapacity,
    uint32_t* replySize, uint32_t code, uint32_t, tStatus2& status) {
  _owner->answer(request, requestSize, reply, replyCapacity, replySize, code, status);
}

void tBaseAIImmediateTransferPrimitive::answer(const void* request, uint32_t requestSize,
                                               void* reply, uint32_t replyCapacity,
                                               uint32_t* replySize, uint32_t kind,
                                               tStatus2& status) {
  if (status.isFatal()) return;
  uint64_t key = 0;
  if (request != nullptr && requestSize >= kRequestSize) std::memcpy(&key, request, sizeof key);
  if (request == nullptr || requestSize < kRequestSize || reply == nullptr ||
      replySize == nullptr || replyCapacity < kReplySize || key != _run.listenerKey) {
    setCode(status, nQoUdR100::kBadArgument, {kFile, kKeyLine});
    return;
  }
  // A commit rebuilding the list refuses the queries of it meanwhile.
  const nQoUdR100::tPassCount::tInside inside(_queries);
  if ((kind == kSetCount || kind == kReadConfiguration) && !_listOpen.load()) {
    setCode(status, nQoUdR100::kRefused, {kFile, kListClosedLine});
    return;
  }
  const uint32_t length = static_cast<uint32_t>(_setList.size());
  switch (kind) {
    case kSetCount:
      writeU32(reply, 0, length);
      *replySize = kReplySize;
      return;
    case kReadConfiguration: {
      const uint64_t needed = kReplyHeaderSize + 4ull * length;
      if (readU32(request, 12) != length || needed > replyCapacity) {
        setCode(status, nQoUdR100::kBadArgument, {kFile, kShapeLine});
        return;
      }
      const uint32_t words[] = {
          _run.option1, _run.option2,  _run.readCountLimit, _run.readCountIsWarning,
          _run.option3, _run.waitMode, _run.timeoutValue,   _run.timeoutUnit};
      std::memcpy(reply, words, sizeof words);
      for (uint32_t i = 0; i < length; ++i) writeU32(reply, kReplyHeaderSize + 4 * i, _setList[i]);
      *replySize = needed > kReplySize ? static_cast<uint32_t>(needed) : kReplySize;
      return;
    }
    case kNameEvent: {
      // A read may be waiting on the event. A cancel or a sample end may be
      // setting it: the waiter swaps it under its lock and stays where the
      // controller's passes find it. A commit remaking the waiter waits for
      // the naming to leave it.
      uint32_t idle = kIdle;
      if (!_reading.compareExchange(idle, kNaming)) {
        setCode(status, nQoUdR100::kBadArgument, {kFile, kShapeLine});
        return;
      }
      const uint64_t name = static_cast<uint64_t>(readU32(request, 8)) |
                            static_cast<uint64_t>(readU32(request, 12)) << 32;
      _waiter.call([&](iWaiter& waiter) { waiter.nameEvent(name, status); });
      _reading.set(kIdle);
      *replySize = kReplySize;
      return;
    }
    default: setCode(status, nQoUdR100::kBadArgument, {kFile, kKindLine});
  }
}

}  // namespace nQoUdP100
