#include "primitives/ai/tBaseAIInterruptTransferPrimitive.h"

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/transferLock.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;
using nQoUdR100::onFreshStatus;
using nQoUdR100::setCode;

namespace {
constexpr const char kFile[] = "source/qomiop/ai/tBaseAIInterruptTransferPrimitive";
constexpr unsigned kStartLine = 155;
constexpr unsigned kStopLine = 164;
constexpr unsigned kMoveLine = 201;
constexpr unsigned kBlockLimitLine = 211;
constexpr unsigned kOverflowLine = 253;
constexpr unsigned kOverrunLine = 280;
constexpr unsigned kNoBlockSizeLine = 90;
constexpr unsigned kNoBlockCountLine = 130;
constexpr unsigned kLockLine = 300;
constexpr unsigned kBlockCountTooLargeLine = 135;
}  // namespace

tBaseAIInterruptTransferPrimitive::tBaseAIInterruptTransferPrimitive(
    const tAIDescription* description, tBaseAI_ADCPrimitive* converter,
    tBaseAITimingControllerPrimitive* timing, tBaseAIDeviceFIFOPrimitive* fifo,
    const tDeviceInfo& deviceInfo, nQoUdR100::tStatusSite lastDrainSite, tStatus2& status)
    : _description(description),
      _converter(converter),
      _timing(timing),
      _fifo(fifo),
      _lastDrainSite(lastDrainSite) {
  if (status.isFatal()) return;
  if (description != nullptr && description->samples != nullptr)
    _blockSize = description->samples->blockSize;
  if (_blockSize == 0 || description->fifo == nullptr) {
    setCode(status, nQoUdR100::kRefused, {kFile, kNoBlockSizeLine});
    return;
  }
  _blockLimit = 2 * description->fifo->size / _blockSize;
  _transferLock = openTransferLock(deviceInfo, status);
}

tBaseAIInterruptTransferPrimitive::~tBaseAIInterruptTransferPrimitive() {
  unwind();
  tStatus2 local;
  closeTransferLock(_transferLock, local);
}

void tBaseAIInterruptTransferPrimitive::unwind() {
  if (_linkState >= kLinked) {
    tStatus2 local;
    unlink(local);
  }
  _runState = _linkState = kIdle;
}

void* tBaseAIInterruptTransferPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return classID == &___classID ? this : nullptr;
}

const void* tBaseAIInterruptTransferPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tBaseAIInterruptTransferPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

bool tBaseAIInterruptTransferPrimitive::isReady() const {
  return _description != nullptr && _converter != nullptr && _timing != nullptr &&
         _fifo != nullptr && _runState >= kIdle && _runState <= kArmed && _transferLock != nullptr;
}

void tBaseAIInterruptTransferPrimitive::configure(tStatus2& status) {
  if (status.isNotFatal()) _runState = _linkState = kConfigured;
}

void tBaseAIInterruptTransferPrimitive::link(tStatus2& status) {
  if (status.isFatal() || _linkState >= kLinked) return;
  _fifo->addFIFOObserver(this, status);
  _fifo->addOverflowObserver(this, status);
  _converter->addObserver(this, status);
  _timing->addLastConvertObserver(this, status);
  if (status.isFatal()) {
    tStatus2 undo;
    unlink(undo);
    return;
  }
  _runState = _linkState = kLinked;
}

// Each removal on a status of its own.
void tBaseAIInterruptTransferPrimitive::unlink(tStatus2& status) {
  if (status.isFatal()) return;
  onFreshStatus(status, [&](tStatus2& s) { _timing->removeLastConvertObserver(this, s); });
  onFreshStatus(status, [&](tStatus2& s) { _converter->removeObserver(this, s); });
  onFreshStatus(status, [&](tStatus2& s) { _fifo->removeOverflowObserver(this, s); });
  onFreshStatus(status, [&](tStatus2& s) { _fifo->removeFIFOObserver(this, s); });
  _runState = _linkState = kConfigured;
}

void tBaseAIInterruptTransferPrimitive::commit(tStatus2& status) {
  if (status.isFatal()) return;
  const uint32_t blocks = _fifo->configuration().word3;
  if (blocks == 0) setCode(status, nQoUdR100::kRefused, {kFile, kNoBlockCountLine});
  // The samples of one move must fit in 32 bits.
  if (uint64_t{_blockSize} * blocks > UINT32_MAX)
    setCode(status, nQoUdR100::kCountTooLarge, {kFile, kBlockCountTooLargeLine});
  if (status.isFatal()) {
    tStatus2 undo;
    uncommit(undo);
    return;
  }
  _committedBlocks = blocks;
  // An armed transfer stays armed: the commit takes nothing its run uses.
  if (_runState != kArmed) _runState = kCommitted;
}

void tBaseAIInterruptTransferPrimitive::arm(tStatus2& status) {
  if (status.isFatal()) return;
  _runBlocks = _committedBlocks;
  _counts = tCounts{};
  // A new run, not ended: a pass of the run before ends nothing of it.
  _runWord.set(((_runWord.get() >> 1) + 1) << 1);
  _runState = kArmed;
}

void tBaseAIInterruptTransferPrimitive::start(tStatus2& status) {
  setCode(status, nQoUdR100::kNotSupported, {kFile, kStartLine});
}

void tBaseAIInterruptTransferPrimitive::stop(tStatus2& status) {
  setCode(status, nQoUdR100::kNotSupported, {kFile, kStopLine});
}

// Each steps down only from where the run stands, uncommit to where the
// steps below the codes left it: an undo of a run that never came so far
// leaves its state alone, and a commit on a transfer not linked leaves it
// unlinked, so that the next link still registers its observers. Both end
// the run an arm opened: a pass after them reports no end of it, to this
// owner or to the next.
void tBaseAIInterruptTransferPrimitive::disarm(tStatus2& status) {
  if (status.isFatal()) return;
  endRun();
  if (_runState == kArmed) _runState = kCommitted;
}

void tBaseAIInterruptTransferPrimitive::uncommit(tStatus2& status) {
  if (status.isFatal()) return;
  endRun();
  _committedBlocks = 0;
  if (_runState >= kCommitted) _runState = _linkState;
}

void tBaseAIInterruptTransferPrimitive::unconfigure(tStatus2& status) {
  if (status.isNotFatal()) _runState = _linkState = kIdle;
}

uint32_t tBaseAIInterruptTransferPrimitive::fifoReady(tBaseAIDeviceFIFOPrimitive*,
                                                      tStatus2& status) {
  ++_counts.fifo;
  ++_counts.fifoSecondary;
  const uint32_t run = _runWord.get() >> 1;
  // The block count of the run's arm, which a commit checked: a block count
  // given since reaches the next commit only. An arm that no commit came
  // before has none, and moves of 0 samples would never end the pass.
  const uint32_t blocks = _runBlocks;
  const uint32_t count = _blockSize * blocks;
  uint64_t taken = 0;
  tStatus2 reason;
  if (blocks == 0) setCode(reason, nQoUdR100::kRefused, {kFile, kNoBlockCountLine});
  if (reason.isNotFatal())
    _destination.call([&](iDestination& destination) {
      while (_fifo->meetsThreshold(&reason) != 0 && reason.isNotFatal()) {
        if (destination.move(count, reason) != count) {
          setCode(reason, nQoUdR100::kShortTransfer, {kFile, kMoveLine});
          break;
        }
        taken += blocks;
        if (taken >= _blockLimit) {
          setCode(reason, nQoUdR100::kChunkLimit, {kFile, kBlockLimitLine});
          break;
        }
      }
    });
  if (reason.isFatal()) {
    endTransfer(reason, run, status);
    status.assign(reason);
  }
  return 1;
}

uint32_t tBaseAIInterruptTransferPrimitive::overflowed(tBaseAIDeviceFIFOPrimitive*, tStatus2&) {
  ++_counts.overflow;
  return 1;
}

void tBaseAIInterruptTransferPrimitive::overflowedSecondary(tBaseAIDeviceFIFOPrimitive*,
                                                            tStatus2&) {
  ++_counts.overflowSecondary;
  failTransfer(nQoUdR100::kFIFOOverflow, kOverflowLine);
}

uint32_t tBaseAIInterruptTransferPrimitive::handleOverrun(tBaseAI_ADCPrimitive*, tStatus2&) {
  ++_counts.overrun;
  return 1;
}

void tBaseAIInterruptTransferPrimitive::handleOverrunSecondary(tBaseAI_ADCPrimitive*, tStatus2&) {
  ++_counts.overrunSecondary;
  failTransfer(nQoUdR100::kConverterOverrun, kOverrunLine);
}

uint32_t tBaseAIInterruptTransferPrimitive::lastConverted(tBaseAITimingControllerPrimitive*,
                                                          tStatus2& status) {
  if (!isDone()) {
    _fifo->disableFIFOInterrupt(&status);
    tStatus2 local;
    waitForLastConversion(local);
  }
  ++_counts.lastConvert;
  return 1;
}

void tBaseAIInterruptTransferPrimitive::lastConvertedSecondary(tBaseAITimingControllerPrimitive*,
                                                               tStatus2& status) {
  ++_counts.lastConvertSecondary;
  const uint32_t word = _runWord.get();
  if ((word & kEnded) != 0) return;
  tStatus2 reason;
  _destination.call([&](iDestination& destination) {
    while (reason.isNotFatal() && _fifo->isEmpty(&reason) == 0) {
      if (destination.move(_blockSize, reason) != _blockSize)
        setCode(reason, nQoUdR100::kShortTransfer, _lastDrainSite);
    }
  });
  endTransferLocked(reason, word >> 1, status);
  _fifo->enableFIFOInterrupt(status);
}

void tBaseAIInterruptTransferPrimitive::failTransfer(int code, unsigned line) {
  const uint32_t run = _runWord.get() >> 1;
  tStatus2 reason;
  setCode(reason, code, {kFile, line});
  tStatus2 status;
  endTransferLocked(reason, run, status);
}

// Only a pass's own run that nothing ended yet: a pass that an arm overtook
// stops and reports nothing of the run after it.
void tBaseAIInterruptTransferPrimitive::endTransfer(const tStatus2& reason, uint32_t run,
                                                    tStatus2& status) {
  uint32_t running = run << 1;
  if (!_runWord.compareExchange(running, running | kEnded)) return;
  if (reason.isFatal()) _timing->hammerStop(status);
  _destination.call([&](iDestination& destination) { destination.transferEnded(reason, status); });
}

void tBaseAIInterruptTransferPrimitive::endTransferLocked(const tStatus2& reason, uint32_t run,
                                                          tStatus2& status) {
  underLock(_transferLock, [&] { endTransfer(reason, run, status); }, status, {kFile, kLockLine});
}

void tBaseAIInterruptTransferPrimitive::endRun() { _runWord.set(_runWord.get() | kEnded); }

}  // namespace nQoUdP100
