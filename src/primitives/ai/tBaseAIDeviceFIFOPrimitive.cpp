#include "primitives/ai/tBaseAIDeviceFIFOPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

namespace {
constexpr const char kFile[] = "source/qomiop/ai/tBaseAIDeviceFIFOPrimitive";
using tAnswer = nQoMRTB100::iInterruptHandler::tAnswer;
using nQoMDBG100::tStatus2;
}  // namespace

tAnswer tBaseAIDeviceFIFOPrimitive::tAIFIFOHandler::handleInterrupt() {
  tStatus2 local;
  _fifo->_fifoObservers.notifyAll(
      [&](iAIFIFOObserver* observer) { return observer->fifoReady(_fifo, local); });
  if (local.isFatal()) _fifo->disableFIFOInterrupt(nullptr);
  return tAnswer::kHandled;
}

// Notifies while the arm's run it takes is live and keeps it for its second
// pass; a disarm meanwhile ends the pass at its next observer and leaves the
// source off.
tAnswer tBaseAIDeviceFIFOPrimitive::tAIOverflowHandler::handleInterrupt() {
  nQoUdR100::tRuns& runs = _fifo->_runs;
  const uint32_t run = runs.live();
  _fifo->_overflowRun.store(run);
  const auto live = [&runs, run] { return runs.isLive(run); };
  tStatus2 local;
  const auto pass = _fifo->_overflowObservers.notifyAllOfRun(
      run, live, [&](iAIOverflowObserver* observer) { return observer->overflowed(_fifo, local); });
  if (pass.stopped || !live() || !pass.pending) return tAnswer::kHandled;
  _fifo->disableOverflowInterrupt(&local);
  return tAnswer::kHandledWantsSecondary;
}

// Only while its run is live, counted as an access of it: a second pass of
// an arm that a disarm ended, also one the next arm overtook, notifies no
// one and leaves the source as the steps since left it; the disarm waits
// for one under way.
uint32_t tBaseAIDeviceFIFOPrimitive::tAIOverflowHandler::handleSecondaryInterrupt() {
  nQoUdR100::tRuns& runs = _fifo->_runs;
  const uint32_t run = _fifo->_overflowRun.load();
  const auto live = [&runs, run] { return runs.isLive(run); };
  tStatus2 local;
  runs.access(run, [&] {
    _fifo->_overflowObservers.notifyPendingOfRun(run, live, [&](iAIOverflowObserver* observer) {
      observer->overflowedSecondary(_fifo, local);
    });
    // The enable looks at the arm's record inside its atomic run.
    _fifo->enableOverflowInterrupt(local);
  });
  return static_cast<uint32_t>(local.code);
}

tBaseAIDeviceFIFOPrimitive::tBaseAIDeviceFIFOPrimitive(const tAIFIFODescription* description,
                                                       tStatus2& status)
    : _description(description), _size(description != nullptr ? description->size : 0) {
  _state.setCleared();
  if (status.isNotFatal()) _state.setUncommitted();
}

void* tBaseAIDeviceFIFOPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return classID == &___classID ? this : nullptr;
}

const void* tBaseAIDeviceFIFOPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tBaseAIDeviceFIFOPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

bool tBaseAIDeviceFIFOPrimitive::isReady() const {
  const uint32_t state = _state.getState();
  return state >= tPrimitiveState::kUncommitted && state <= tPrimitiveState::kArmed &&
         _description != nullptr;
}

void tBaseAIDeviceFIFOPrimitive::setConfiguration(const tAIDeviceFIFOPrimitiveConfig& configuration,
                                                  tStatus2& status) {
  _fields.deploy(configuration);
  tAIDeviceFIFOPrimitiveConfig& settings = _fields.deploying();
  settings.checkStatus(status);
  if (settings.count == tAIDeviceFIFOPrimitiveConfig::kDefaultCount && _description != nullptr)
    settings.count = _description->defaultCount;
}

void tBaseAIDeviceFIFOPrimitive::setModeAndThreshold(const tAIDeviceFIFOPrimitiveConfig& record,
                                                     tStatus2& status) {
  setFIFOMode(record.fifoMode, status, false);
  uint32_t threshold = kNoThreshold;
  switch (record.thresholdCode) {
    case 0: threshold = 0; break;
    case 1: threshold = _size / 2; break;
    case 2: threshold = _size; break;
    default: break;
  }
  setThreshold(threshold, status, false);
}

void tBaseAIDeviceFIFOPrimitive::start(tStatus2& status) {
  nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {kFile, 138});
}

void tBaseAIDeviceFIFOPrimitive::stop(tStatus2& status) {
  nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {kFile, 147});
}

void tBaseAIDeviceFIFOPrimitive::reserved24(tStatus2& status) {
  nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {kFile, 407});
}

void tBaseAIDeviceFIFOPrimitive::addFIFOObserver(iAIFIFOObserver* observer, tStatus2& status) {
  _fifoObservers.add({observer}, status, {kFile, 501});
  lowerUnlessArmed();
}

void tBaseAIDeviceFIFOPrimitive::removeFIFOObserver(iAIFIFOObserver* observer, tStatus2& status) {
  _fifoObservers.remove(observer, status);
  lowerUnlessArmed();
}

void tBaseAIDeviceFIFOPrimitive::addOverflowObserver(iAIOverflowObserver* observer,
                                                     tStatus2& status) {
  _overflowObservers.add({observer}, status, {kFile, 502});
  lowerUnlessArmed();
}

void tBaseAIDeviceFIFOPrimitive::removeOverflowObserver(iAIOverflowObserver* observer,
                                                        tStatus2& status) {
  _overflowObservers.remove(observer, status);
  lowerUnlessArmed();
}

// An arm whose sources are on keeps its state: the commit that follows
// installs what the lists now call for and keeps the arm.
void tBaseAIDeviceFIFOPrimitive::lowerUnlessArmed() {
  if (armedSources() == 0) _state.setUncommitted();
}

uint32_t tBaseAIDeviceFIFOPrimitive::getThreshold(const tStatus2& status) const {
  return status.isFatal() ? kNoThreshold : _threshold;
}

uint32_t tBaseAIDeviceFIFOPrimitive::getLevel(const tStatus2& status) const {
  if (status.isFatal()) return kNoThreshold;
  switch (getFIFOMode()) {
    case 1: return _size / 2;
    case 2: return _size;
    default: return 0;
  }
}

void tBaseAIDeviceFIFOPrimitive::setFIFOModeForLevel(uint32_t level, tStatus2& status, bool write) {
  const uint64_t quarters = static_cast<uint64_t>(level) * 4;
  const int32_t code = quarters < _size ? 0 : quarters < 3ull * _size ? 1 : 2;
  setFIFOMode(code, status, write);
}

}  // namespace nQoUdP100
