#include "primitives/ai/aiImmediateWaiters.h"

#include "frame/statusCodes.h"
#include "frame/tDeviceGUIDStatusDescriptionISRSafe.h"
#include "frame/tStatusSite.h"
#include "thread/tThreadUtility.h"
#include "time/tTimerUtility.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;

namespace {
constexpr const char kFile[] = "qomiop/ai/tBaseAIImmediateTransferPrimitive";
constexpr unsigned kWaitTimeoutLine = 288;
constexpr unsigned kNoEventLine = 296;
constexpr unsigned kOpenLine = 760;
constexpr unsigned kNewLine = 779;
constexpr uint32_t kOwnEventType = 44;
constexpr uint32_t kNamedEventType = 46;

}  // namespace

uint32_t tAIImmediateTimeout::remainingMilliseconds(tStatus2& status) const {
  if (mode == kInfinite) return iSync::kWaitForever;
  if (mode != kTimed) return 0;
  int code = 0;
  const uint64_t limitMs = tTimerUtility::convert(limit, unit, kTimerTimeUnitMillisecond, &code);
  const uint64_t elapsed = timer.getElapsedTime(kTimerTimeUnitMillisecond, &code);
  nQoUdR100::mergeCode(status.code, code);
  if (code < 0 || elapsed >= limitMs) return 0;
  const uint64_t left = limitMs - elapsed;
  return left >= iSync::kWaitForever ? iSync::kWaitForever : static_cast<uint32_t>(left);
}

bool tYieldWaiter::wait(const nQoUdR100::tEndableEvent::tWaiting&, tStatus2&) {
  tThreadUtility::yield();
  return false;
}

tBlockingWaiter::tBlockingWaiter(tBaseAITimingControllerPrimitive* timing,
                                 nQoUdR100::tEndableEvent* event,
                                 const tAIImmediateTimeout* timeout, const nQoORB100::tGUID* device,
                                 bool withoutEvent, tStatus2& status)
    : _timing(timing), _event(event), _timeout(timeout), _device(device) {
  if (status.isFatal()) return;
  if (!withoutEvent) openEvent(nullptr, status);
  _timing->addSampleEndObserver(this, status);
  _registered = status.isNotFatal();
}

tBlockingWaiter::~tBlockingWaiter() {
  tStatus2 local;
  if (_registered) _timing->removeSampleEndObserver(this, local);
  _event->close();
}

void tBlockingWaiter::openEvent(const uint64_t* name, tStatus2& status) {
  iSync::tParam param;
  param.kind = 2;
  param.option = name != nullptr ? kNamedEventType : kOwnEventType;
  if (name != nullptr) {
    param.reserved[0] = static_cast<uint32_t>(*name);
    param.reserved[1] = static_cast<uint32_t>(*name >> 32);
  }
  int code = 0;
  _event->open(param, &code);
  nQoUdR100::setCode(status, code, {kFile, kOpenLine});
}

bool tBlockingWaiter::wait(const nQoUdR100::tEndableEvent::tWaiting& reading, tStatus2& status) {
  if (!_event->isOpen()) {
    nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kFile, kNoEventLine});
    return true;
  }
  const uint32_t left = _timeout->remainingMilliseconds(status);
  int code = 0;
  switch (reading.wait(left, &code)) {
    case nQoUdR100::tEndableEvent::kWoken:
    case nQoUdR100::tEndableEvent::kReady: _event->reset(); return false;
    case nQoUdR100::tEndableEvent::kEnded: return true;
    case nQoUdR100::tEndableEvent::kClosed:
      nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kFile, kNoEventLine});
      return true;
    case nQoUdR100::tEndableEvent::kTimedOut:
      nQoUdR100::setCode(
          status, nQoUdR100::kWaitTimeout, {kFile, kWaitTimeoutLine},
          _device != nullptr
              ? new nQoUdR100::nQoKABBO_1_0::tDeviceGUIDStatusDescriptionISRSafe(*_device)
              : nullptr);
      return true;
    case nQoUdR100::tEndableEvent::kFailed: break;
  }
  nQoUdR100::setCode(status, code, {kFile, kWaitTimeoutLine});
  return true;
}

void tBlockingWaiter::complete(tStatus2&) { _event->reset(); }

void tBlockingWaiter::nameEvent(uint64_t name, tStatus2& status) {
  if (status.isNotFatal()) openEvent(&name, status);
}

uint32_t tBlockingWaiter::sampleEnded(tBaseAITimingControllerPrimitive*, tStatus2&) {
  _event->set();
  return 0;
}

iWaiter* makeWaiter(uint32_t mode, tBaseAITimingControllerPrimitive* timing,
                    nQoUdR100::tEndableEvent* event, const tAIImmediateTimeout* timeout,
                    const nQoORB100::tGUID* device, bool withoutEvent, tStatus2& status) {
  if (status.isFatal()) return nullptr;
  iWaiter* waiter = nullptr;
  switch (mode) {
    case iWaiter::kNone: waiter = new tNoneWaiter; break;
    case iWaiter::kBlocking:
      waiter = new tBlockingWaiter(timing, event, timeout, device, withoutEvent, status);
      break;
    case iWaiter::kYield: waiter = new tYieldWaiter; break;
    default: waiter = new tNopWaiter; break;
  }
  if (waiter == nullptr) nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, kNewLine});
  return waiter;
}

}  // namespace nQoUdP100
