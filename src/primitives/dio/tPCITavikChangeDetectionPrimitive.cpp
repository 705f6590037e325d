#include "primitives/dio/tPCITavikChangeDetectionPrimitive.h"

#include "bus/iBusAtomicOperation.h"
#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tStatusSite.h"
#include "orb/castToClass.h"
#include "tavik/tTavikInterruptDispatcherBinders.h"

namespace nQoUdR100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoUdRLP100::tTavikInterruptDispatcher;

constexpr const char kFile[] = "tPCITavikChangeDetectionPrimitive";
constexpr uint32_t kAllOnes = 0xFFFFFFFF;

const nQoUdP100::tDeviceInfo kNoDevice{};

nQoORB100::tGUID guidOf(const nQoUdP100::tDeviceInfo& info) {
  return info.identity != nullptr ? *info.identity : nQoORB100::tGUID{};
}

// Copies one 64-bit word while the interrupt routine is held off.
class tAtomicOperation final : public iBusAtomicOperation {
 public:
  tAtomicOperation(const uint64_t* from, uint64_t* to) : _from(from), _to(to) {}
  int32_t operateAtomically() override {
    *_to = *_from;
    return 0;
  }

 private:
  const uint64_t* _from;
  uint64_t* _to;
};

}  // namespace

tPCITavikChangeDetectionPrimitive::tPCITavikChangeDetectionPrimitive()
    : tChangeDetectionPrimitive(nQoORB100::tGUID{}, kNoDevice) {}

tPCITavikChangeDetectionPrimitive::tPCITavikChangeDetectionPrimitive(
    nQoUdRLP100::nTavik::tTavik* map, tTavikInterruptDispatcher* dispatcher,
    const nQoUdP100::tDeviceInfo& info, nQoUdP100::tImmedDigLatchingPrimitive* const* lines,
    size_t lineCount, tStatus2& status)
    : tChangeDetectionPrimitive(guidOf(info), info), _map(map), _dispatcher(dispatcher) {
  initialize(lines, lineCount, status);
}

// A run goes by its own record: a start after the detach turned the change
// interrupt on too.
tPCITavikChangeDetectionPrimitive::~tPCITavikChangeDetectionPrimitive() {
  if (_running) {
    tStatus2 stopped;
    tPCITavikChangeDetectionPrimitive::stop(stopped);
  }
  tStatus2 detached;
  detach(detached);
}

void* tPCITavikChangeDetectionPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tPCITavikChangeDetectionPrimitive, tChangeDetectionPrimitive>(
      this, classID);
}

nQoORB100::tClass tPCITavikChangeDetectionPrimitive::getClass(int& status) const {
  return tClassRegistration<tPCITavikChangeDetectionPrimitive>::getClass(*this, status);
}

bool tPCITavikChangeDetectionPrimitive::hasChip(tStatus2& status, unsigned line) const {
  if (_map != nullptr && _dispatcher != nullptr) return true;
  setCode(status, kNullPointer, {kFile, line});
  return false;
}

void tPCITavikChangeDetectionPrimitive::start(tStatus2& status) {
  if (status.isFatal() || !hasChip(status, 101)) return;
  resetChangeEvent();
  _running = true;
  completion().clear();
  _map->Strobe_0250.writeRegister(kAllOnes, &status);
  _map->Strobe_0254.writeRegister(kAllOnes, &status);
  // The change interrupt goes on only while its handler is in the slot.
  if (!_attached) return;
  tTavikInterruptDispatcher::tChangeDetectionAtomicDispatcher enable(
      _dispatcher, &tTavikInterruptDispatcher::enableChangeDetectionInterrupt, nullptr, status,
      enabledLines(), 1);
  enable.exec();
  if (status.isFatal()) _running = false;
}

// The run ends first, and its reads under way leave; then the passes of the
// run leave before the stop returns: a second pass that wakes the readers
// after the next start's reset would hand a read of that run a change of
// this one.
void tPCITavikChangeDetectionPrimitive::stop(tStatus2& status) {
  if (status.isFatal() || !hasChip(status, 115)) return;
  endRun();
  _running = false;
  tTavikInterruptDispatcher::tAtomicStatusPtrDispatcher disable(
      _dispatcher, &tTavikInterruptDispatcher::disableChangeDetectionInterrupt);
  disable.exec(&status);
  waitForInterruptPasses();
}

void tPCITavikChangeDetectionPrimitive::attach(tStatus2& status) {
  if (status.isFatal() || !hasChip(status, 124)) return;
  if (!_dispatcher->installHandlers(kSource, this, this, status)) return;
  _attached = true;
  _map->Strobe_0254.writeRegister(kAllOnes, &status);
}

void tPCITavikChangeDetectionPrimitive::detach(tStatus2& status) {
  if (status.isFatal() || !hasChip(status, 135) || !_attached) return;
  _dispatcher->removeHandlers(kSource, &status);
  _attached = false;
}

void tPCITavikChangeDetectionPrimitive::setFirstEdgeMask(uint32_t mask, uint32_t value,
                                                         tStatus2& status) {
  if (status.isFatal() || !hasChip(status, 144)) return;
  _map->Write_0240.setBits(mask, 0, value, &status);
  _map->Write_0240.flush(&status, 0);
}

void tPCITavikChangeDetectionPrimitive::setSecondEdgeMask(uint32_t mask, uint32_t value,
                                                          tStatus2& status) {
  if (status.isFatal() || !hasChip(status, 151)) return;
  _map->Write_0244.setBits(mask, 0, value, &status);
  _map->Write_0244.flush(&status, 0);
}

void tPCITavikChangeDetectionPrimitive::captureSample(uint64_t* sequence, tStatus2& status) {
  if (status.isFatal() || !hasChip(status, 158)) return;
  tAtomicOperation copy(changeSequence(), sequence);
  iBus* bus = _map->space().bus();
  // The bus stores the copy's answer (0) into the code it is given: the run
  // gets a code of its own, so that a warning the caller holds stays.
  int code = 0;
  bus->runAtomically(&copy, &code);
  setCode(status, code, {kFile, 165});
  bus->flush(nullptr);
}

nQoMRTB100::iInterruptHandler::tAnswer tPCITavikChangeDetectionPrimitive::handleInterrupt() {
  tAnswer answer = kHandled;
  if (nQoCDR100::iDigReadablePrim* source = readable()) {
    tStatus2 local;
    for (uint32_t i = 0; i < lineCount(); ++i) lines()[i]->latch(local);
    if (local.isNotFatal()) countChange(_map->Read_0244.refresh(&local) != 0);
    // Without a buffer (control 1 not run, or unbuffered) nothing is captured.
    fillSample([&](uint8_t* half, uint32_t size) {
      uint32_t result = 0;
      source->read(0, half, size, kAllOnes, &result, completion());
    });
    // The second pass wakes the readers of the run this change came in.
    _passRun.store(runs().live(), std::memory_order_relaxed);
    answer = kHandledWantsSecondary;
  }
  if (nQoMAS100::iSchedulerAction* action = schedulerAction())
    action->runAction(changeSequence(), 0);
  ++*changeSequence();
  return answer;
}

// Only while the run of the change is live: a stop ends it before it waits
// for the passes, and the next start's reset follows.
uint32_t tPCITavikChangeDetectionPrimitive::handleSecondaryInterrupt() {
  runs().actOn(
      _passRun.load(std::memory_order_relaxed), [](auto step) { step(); },
      [&] { signalReaders(); });
  return 0;
}

void tPCITavikChangeDetectionPrimitive::waitForInterruptPasses() {
  if (_dispatcher != nullptr) _dispatcher->waitForPasses();
}

}  // namespace nQoUdR100
