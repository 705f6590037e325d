#include "primitives/ai/tBaseAI_DMATransferPrimitive.h"

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "frame/transferLock.h"
#include "primitives/common/dmaChannelSelectCode.h"
#include "thread/tThreadUtility.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;
using nQoUdR100::onFreshStatus;

namespace {
constexpr const char kFile[] = "source/qomiop/ai/tBaseAI_DMATransferPrimitive";
constexpr unsigned kStartLine = 122;
constexpr unsigned kStopLine = 130;
constexpr unsigned kOverflowLine = 165;
constexpr unsigned kOverrunLine = 194;
constexpr unsigned kNoChannelLine = 101;
constexpr unsigned kLockLine = 210;
}  // namespace

template <class tStep>
void tBaseAI_DMATransferPrimitive::underTransferLock(tStep step, tStatus2& status) {
  underLock(_transferLock, step, status, {kFile, kLockLine});
}

tBaseAI_DMATransferPrimitive::tBaseAI_DMATransferPrimitive(tBaseAI_ADCPrimitive* converter,
                                                           tBaseAITimingControllerPrimitive* timing,
                                                           tBaseAIDeviceFIFOPrimitive* fifo,
                                                           const tDeviceInfo& deviceInfo,
                                                           tStatus2& status)
    : _converter(converter), _timing(timing), _fifo(fifo) {
  if (status.isFatal()) return;
  _transferLock = openTransferLock(deviceInfo, status);
  _worker = new (status) tWorker(this, status);
}

tBaseAI_DMATransferPrimitive::~tBaseAI_DMATransferPrimitive() {
  silence();
  tStatus2 unlinked;
  if (_linked.get() != 0) unlink(unlinked);
  // The worker's destructor stops and joins its thread, which takes the
  // transfer lock: it goes first.
  delete _worker;
  _worker = nullptr;
  tStatus2 local;
  closeTransferLock(_transferLock, local);
}

void* tBaseAI_DMATransferPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return classID == &___classID ? this : nullptr;
}

const void* tBaseAI_DMATransferPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tBaseAI_DMATransferPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

bool tBaseAI_DMATransferPrimitive::isReady() const {
  return _timing != nullptr && _worker != nullptr && _transferLock != nullptr;
}

void tBaseAI_DMATransferPrimitive::setConfiguration(
    const tAI_DMATransferPrimitiveConfig& configuration, tStatus2& status) {
  if (status.isFatal()) return;
  _configuration.deploy(configuration);
  _configuration.deploying().checkStatus(status);
}

void tBaseAI_DMATransferPrimitive::link(tStatus2& status) {
  if (status.isFatal() || _linked.get() != 0) return;
  _worker->startThread(status);
  _fifo->addOverflowObserver(this, status);
  _converter->addObserver(this, status);
  _timing->addLastConvertObserver(this, status);
  if (status.isNotFatal()) {
    _linked.set(1);
    return;
  }
  tStatus2 undo;
  unlink(undo);
}

// Each step of unlink and disarm on a status of its own: a failed step skips
// none after it.
void tBaseAI_DMATransferPrimitive::unlink(tStatus2& status) {
  if (status.isFatal()) return;
  onFreshStatus(status, [&](tStatus2& s) { _timing->removeLastConvertObserver(this, s); });
  onFreshStatus(status, [&](tStatus2& s) { _converter->removeObserver(this, s); });
  onFreshStatus(status, [&](tStatus2& s) { _fifo->removeOverflowObserver(this, s); });
  _linked.set(0);
  onFreshStatus(status, [&](tStatus2& s) { _worker->stop(s); });
  onFreshStatus(status, [&](tStatus2& s) { _worker->destroyThread(s); });
}

void tBaseAI_DMATransferPrimitive::arm(tStatus2& status) {
  if (status.isFatal()) return;
  const uint32_t channel = _dmaChannelNumber;
  if (channel >= kChannelCount) {
    nQoUdR100::setCode(status, nQoUdR100::kRefused, {kFile, kNoChannelLine});
    return;
  }
  // An arm that no disarm followed is disarmed first, with its end: each arm
  // is answered once.
  if (_armed.get() != 0) onFreshStatus(status, [&](tStatus2& s) { disarm(s); });
  selectChannel(dmaChannelSelectCode(channel), status);
  // An overrun or overflow stopped the worker; this run needs it again.
  if (_worker->isStopRequested() != 0) {
    _worker->destroyThread(status);
    _worker->startThread(status);
  }
  // The run begins with the worker's reset under the transfer lock, where
  // every wake is given: a wake of this run comes after the reset, and one of
  // the run before finds it overtaken and wakes nothing.
  if (status.isNotFatal())
    underTransferLock(
        [&] {
          _runs.begin();
          _worker->reset(status);
        },
        status);
  _armed.set(1);
  if (status.isFatal()) {
    tStatus2 ended;
    underTransferLock([this] { _runs.end(); }, ended);
    tStatus2 undo;
    disarm(undo);
  }
}

void tBaseAI_DMATransferPrimitive::uncommit(tStatus2& status) {
  if (status.isNotFatal() && _armed.get() != 0) disarm(status);
}

void tBaseAI_DMATransferPrimitive::silence() {
  tStatus2 local;
  underTransferLock([this] { _destroying.set(1); }, local);
}

void tBaseAI_DMATransferPrimitive::switchOffArmHeld() {
  silence();
  if (_armed.exchange(0) == 0) return;
  tStatus2 local;
  selectChannel(0, local);
}

void tBaseAI_DMATransferPrimitive::start(tStatus2& status) {
  nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {kFile, kStartLine});
}

void tBaseAI_DMATransferPrimitive::stop(tStatus2& status) {
  nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {kFile, kStopLine});
}

// Without a worker (unlink ended it) nothing drains or reports the end: the
// run ends here, with its one clean report to the sink.
void tBaseAI_DMATransferPrimitive::disarm(tStatus2& status) {
  if (status.isFatal()) return;
  _armed.set(0);
  onFreshStatus(status, [&](tStatus2& s) { selectChannel(0, s); });
  onFreshStatus(status, [&](tStatus2& s) {
    if (_linked.get() == 0) {
      endTransfer(_runs.live(), tStatus2{}, s);
      return;
    }
    // A worker not woken yet ends this run at the signal.
    underTransferLock(
        [&] {
          _wakeRun.set(_runs.live());
          _worker->signal(s);
        },
        s);
    _worker->waitForDone(kDisarmWait, s);
  });
}

// Each first pass takes the run live as the board raised the error; its
// second pass, which may come after a disarm and an arm, fails that run.
// The last conversion's passes go the same way.
uint32_t tBaseAI_DMATransferPrimitive::overflowed(tBaseAIDeviceFIFOPrimitive*, tStatus2&) {
  ++_counts.overflow;
  _overflowRun.set(_runs.live());
  return 1;
}

void tBaseAI_DMATransferPrimitive::overflowedSecondary(tBaseAIDeviceFIFOPrimitive*, tStatus2&) {
  ++_counts.overflowSecondary;
  failTransfer(_overflowRun.get(), nQoUdR100::kFIFOOverflow, kOverflowLine);
}

uint32_t tBaseAI_DMATransferPrimitive::handleOverrun(tBaseAI_ADCPrimitive*, tStatus2&) {
  ++_counts.overrun;
  _overrunRun.set(_runs.live());
  return 1;
}

void tBaseAI_DMATransferPrimitive::handleOverrunSecondary(tBaseAI_ADCPrimitive*, tStatus2&) {
  ++_counts.overrunSecondary;
  failTransfer(_overrunRun.get(), nQoUdR100::kConverterOverrun, kOverrunLine);
}

uint32_t tBaseAI_DMATransferPrimitive::lastConverted(tBaseAITimingControllerPrimitive*, tStatus2&) {
  ++_counts.lastConvert;
  _lastConvertRun.set(_runs.live());
  return 1;
}

void tBaseAI_DMATransferPrimitive::lastConvertedSecondary(tBaseAITimingControllerPrimitive*,
                                                          tStatus2& status) {
  ++_counts.lastConvertSecondary;
  // The pass belongs to the run its first pass saw live: a disarm and an arm
  // before it or while it waits leave it nothing to wake. A conversion that
  // never finishes is the pass's own failure; the worker still drains what
  // the channel has not moved.
  const uint32_t run = _lastConvertRun.get();
  tStatus2 local;
  waitForLastConversion(local);
  wakeWorker(run, status);
}

// A pass of a run that an arm has overtaken leaves the worker to the new
// run.
void tBaseAI_DMATransferPrimitive::failTransfer(uint32_t run, int code, unsigned line) {
  tStatus2 reason;
  nQoUdR100::setCode(reason, code, {kFile, line});
  tStatus2 status;
  _runs.actOn(
      run, [&](auto step) { underTransferLock(step, status); }, [&] { _worker->stop(status); });
  endTransfer(run, reason, status);
}

void tBaseAI_DMATransferPrimitive::wakeThread(tStatus2& status) {
  if (status.isFatal() || _worker == nullptr) return;
  wakeWorker(_runs.live(), status);
}

void tBaseAI_DMATransferPrimitive::wakeWorker(uint32_t run, tStatus2& status) {
  _runs.actOn(
      run, [&](auto step) { underTransferLock(step, status); },
      [&] {
        _wakeRun.set(run);
        _worker->wake(status);
      });
}

// Drains for the run its wake was given, and ends that run alone: a wake with
// no run live (before any arm, or after the run's end) drains nothing, and
// a drain that an arm overtakes, before or after it began, ends nothing of
// the next run.
uint32_t tBaseAI_DMATransferPrimitive::drain(tStatus2& status) {
  uint32_t run = 0;
  bool live = false;
  underTransferLock(
      [&] {
        run = _wakeRun.get();
        live = _runs.isLive(run);
      },
      status);
  if (!live) return 1;
  // Each look at the FIFO is an access of the run: it stops once an arm
  // overtook the run or its end was reported.
  bool empty = false;
  while (status.isNotFatal() && _worker->isStopRequested() == 0 && _worker->isSignalled() == 0 &&
         _runs.access(run, [&] { empty = _fifo->isEmpty(&status) != 0; }) && !empty)
    tThreadUtility::sleep(kPollInterval);
  tStatus2 report;
  endTransfer(run, status, report);
  status.assign(report);
  return 1;
}

void tBaseAI_DMATransferPrimitive::endTransfer(uint32_t run, const tStatus2& reason,
                                               tStatus2& status) {
  // Under the lock that arm takes to begin a run: an error of this run never
  // stops the controller under the next. The run ends once its end reached
  // the sink.
  _runs.actOn(
      run, [&](auto step) { underTransferLock(step, status); },
      [&] {
        if (reason.isFatal()) _timing->hammerStop(status);
        if (_destroying.get() != 0) return;
        if (_doneSink.call(
                [&](nQoLMSDR100::iDMAEndpoint& sink) { sink.transferEnded(reason, status); }))
          _runs.end();
      });
}

}  // namespace nQoUdP100
