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
  // The block count the FIFO's last commit took, not one given to it since.
  const uint32_t blocks = _fifo->configuration().word3;
  if (blocks == 0) setCode(status, nQoUdR100::kRefused, {kFile, kNoBlockCountLine});
  // The samples of one move must fit in 32 bits.
  if (uint64_t{_blockSize} * blocks > UINT32_MAX)
    setCode(status, nQoUdR100::kCountTooLarge, {kFile, kBlockCountTooLargeLine});
  if (status.isFatal()) {
    // Under an arm the commit took nothing its run uses: refused, it gives
    // back nothing, and the run goes on to its own end.
    if (_runState == kArmed) return;
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
  // The run before ends first, its moves gone, so that none reads the block
  // count the new run goes by; a pass of it ends nothing of the new run.
  endRun();
  _runBlocks = _committedBlocks;
  _counts = tCounts{};
  underLock(_transferLock, [&] { _runs.begin(); }, status, {kFile, kLockLine});
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

// Moves inside its run's access, and only while that run is live: a disarm
// or an arm waits for it. The block count of the run's arm, which a commit
// checked: a block count given since reaches the next commit only. An arm
// that no commit came before has none, and moves of 0 samples would never
// end the pass.
uint32_t tBaseAIInterruptTransferPrimitive::fifoReady(tBaseAIDeviceFIFOPrimitive*,
                                                      tStatus2& status) {
  ++_counts.fifo;
  ++_counts.fifoSecondary;
  const uint32_t run = _runs.live();
  tStatus2 reason;
  _runs.access(run, [&] {
    const uint32_t blocks = _runBlocks;
    const uint32_t count = _blockSize * blocks;
    uint64_t taken = 0;
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
    if (reason.isFatal()) endTransfer(reason, run, status);
  });
  if (reason.isFatal()) status.assign(reason);
  return 1;
}

// Each first pass takes the run live as the board raised it; its second
// pass, which may come after a disarm and an arm, acts on that run alone.
uint32_t tBaseAIInterruptTransferPrimitive::overflowed(tBaseAIDeviceFIFOPrimitive*, tStatus2&) {
  ++_counts.overflow;
  _overflowRun.set(_runs.live());
  return 1;
}

void tBaseAIInterruptTransferPrimitive::overflowedSecondary(tBaseAIDeviceFIFOPrimitive*,
                                                            tStatus2&) {
  ++_counts.overflowSecondary;
  failTransfer(_overflowRun.get(), nQoUdR100::kFIFOOverflow, kOverflowLine);
}

uint32_t tBaseAIInterruptTransferPrimitive::handleOverrun(tBaseAI_ADCPrimitive*, tStatus2&) {
  ++_counts.overrun;
  _overrunRun.set(_runs.live());
  return 1;
}

void tBaseAIInterruptTransferPrimitive::handleOverrunSecondary(tBaseAI_ADCPrimitive*, tStatus2&) {
  ++_counts.overrunSecondary;
  failTransfer(_overrunRun.get(), nQoUdR100::kConverterOverrun, kOverrunLine);
}

uint32_t tBaseAIInterruptTransferPrimitive::lastConverted(tBaseAITimingControllerPrimitive*,
                                                          tStatus2& status) {
  const uint32_t run = _runs.live();
  _lastConvertRun.set(run);
  if (run != 0) {
    _fifo->disableFIFOInterrupt(&status);
    tStatus2 local;
    waitForLastConversion(local);
  }
  ++_counts.lastConvert;
  return 1;
}

// The rest of its first pass's run, read inside that run's access; a run
// that ended or was overtaken since is left alone, its FIFO source too. The
// FIFO source goes on again inside the access as well: a disarm or an arm
// since the drain waits for it, so it goes on for this run alone.
void tBaseAIInterruptTransferPrimitive::lastConvertedSecondary(tBaseAITimingControllerPrimitive*,
                                                               tStatus2& status) {
  ++_counts.lastConvertSecondary;
  const uint32_t run = _lastConvertRun.get();
  _runs.access(run, [&] {
    tStatus2 reason;
    _destination.call([&](iDestination& destination) {
      while (reason.isNotFatal() && _fifo->isEmpty(&reason) == 0) {
        if (destination.move(_blockSize, reason) != _blockSize)
          setCode(reason, nQoUdR100::kShortTransfer, _lastDrainSite);
      }
    });
    endTransferLocked(reason, run, status);
    _fifo->enableFIFOInterrupt(status);
  });
}

void tBaseAIInterruptTransferPrimitive::failTransfer(uint32_t run, int code, unsigned line) {
  tStatus2 reason;
  setCode(reason, code, {kFile, line});
  tStatus2 status;
  endTransferLocked(reason, run, status);
}

// The claim is the run's own end: a pass that an arm overtook stops and
// reports nothing of the run after it, and the end is reported once.
void tBaseAIInterruptTransferPrimitive::endTransfer(const tStatus2& reason, uint32_t run,
                                                    tStatus2& status) {
  if (!_runs.endIfLive(run)) return;
  if (reason.isFatal()) _timing->hammerStop(status);
  _destination.call([&](iDestination& destination) { destination.transferEnded(reason, status); });
}

void tBaseAIInterruptTransferPrimitive::endTransferLocked(const tStatus2& reason, uint32_t run,
                                                          tStatus2& status) {
  _runs.actOn(
      run,
      [&](auto step) {
        underLock(_transferLock, step, status, {kFile, kLockLine});
      },
      [&] { endTransfer(reason, run, status); });
}

void tBaseAIInterruptTransferPrimitive::endRun() {
  tStatus2 local;
  underLock(_transferLock, [this] { _runs.end(); }, local, {kFile, kLockLine});
  _runs.waitForAccesses();
}

}  // namespace nQoUdP100
