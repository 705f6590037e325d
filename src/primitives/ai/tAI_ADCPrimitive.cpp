#include "primitives/ai/tAI_ADCPrimitive.h"

#include "orb/castToClass.h"
#include "tavik/tTavikInterruptDispatcherBinders.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;
using nQoUdRLP100::tTavikInterruptDispatcher;

namespace {
constexpr uint32_t bit(uint32_t value, unsigned position) { return (value >> position) & 1; }

// Field 1 of tStatic_AI_Control is its bit 0; bit 0 of tAI_Command_1 is a strobe.
constexpr uint32_t kStaticControlBit0 = 1;
constexpr uint32_t kCommand1Bit0 = 0x0001;
constexpr int kCommand1Strobes = 3;
}  // namespace

tAI_ADCPrimitive::tAI_ADCPrimitive(const tAIFirstEntry* owner, nQoUdRLP100::nTavik::tTavik* map,
                                   tTavikInterruptDispatcher* dispatcher, tStatus2& status)
    : tBaseAI_ADCPrimitive(owner), _map(map), _dispatcher(dispatcher) {
  if (status.isNotFatal() && owner != nullptr && owner->wantsStartUpPulse()) pulseStartUp(status);
}

tAI_ADCPrimitive::~tAI_ADCPrimitive() {
  tStatus2 local;
  tAI_ADCPrimitive::disarm(local);
  detach();
}

// Bit 0 of the static AI control register low, then high (each written
// forced); then three strobes of bit 0 of tAI_Command_1, each group closed by
// a bus flush.
void tAI_ADCPrimitive::pulseStartUp(tStatus2& status) {
  auto& control = _map->Static_AI_Control[0];
  for (uint32_t level : {0u, 1u}) {
    control.setField(kStaticControlBit0, level, &status);
    control.flush(&status, 1);
  }
  _map->flushBus(&status);
  for (int strobe = 0; strobe < kCommand1Strobes; ++strobe) {
    _map->AI_Command_1.setBits(kCommand1Bit0, 0, 1, &status);
    _map->AI_Command_1.flush(&status, 0);
  }
  _map->flushBus(&status);
}

void* tAI_ADCPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tAI_ADCPrimitive, tBaseAI_ADCPrimitive>(this, classID);
}

const void* tAI_ADCPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tAI_ADCPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

bool tAI_ADCPrimitive::isReady() const {
  return tBaseAI_ADCPrimitive::isReady() && _map != nullptr && _dispatcher != nullptr;
}

// A commit or an arm that the converter holds already installs or enables
// nothing again, so its failure cannot take out what the first one took.
bool tAI_ADCPrimitive::commit(tStatus2& status) {
  if (status.isFatal() || !anyObserver()) return false;
  if (_attached != 0) return true;
  if (_dispatcher->installHandlers(kOverrunSource, &_overrunHandler, &_overrunHandler, status))
    _attached = 1;
  if (status.isFatal()) {
    tStatus2 fresh;
    uncommit(fresh);
  }
  return _attached != 0;
}

// The source goes on only while the commit's handler is in its slots: an
// arm without one leaves it off and records no arm, so nothing is left on
// that no handler would acknowledge.
void tAI_ADCPrimitive::arm(tStatus2& status) {
  if (status.isFatal() || !anyObserver() || _enabled != 0 || _attached == 0) return;
  _enabled = 1;
  enableOverrunInterrupt(status);
  if (status.isFatal()) {
    tStatus2 fresh;
    disarm(fresh);
  }
}

// Both go by what the converter holds, not by the observers: a record taken
// out after the arm or the commit leaves the source or the handler to undo.
// The arm's record goes before the source is switched off: a secondary pass
// from here on leaves the source off.
void tAI_ADCPrimitive::disarm(tStatus2& status) {
  if (status.isFatal() || _enabled.exchange(0) == 0) return;
  tAI_ADCPrimitive::disableOverrunInterrupt(nullptr);
}

// An arm that no disarm followed is disarmed first (a commit since leaves
// its source on), so the source never outlives its handler.
void tAI_ADCPrimitive::uncommit(tStatus2& status) {
  if (status.isFatal()) return;
  disarm(status);
  detach();
}

void tAI_ADCPrimitive::detach() {
  if (_attached == 0) return;
  _dispatcher->removeHandlers(kOverrunSource, nullptr);
  _attached = 0;
}

uint32_t tAI_ADCPrimitive::readStatusBit11(tStatus2* status) {
  return bit(_map->Read_0104.refresh(status), 11);
}

uint32_t tAI_ADCPrimitive::readStatusBit5(tStatus2* status) {
  return bit(_map->Read_0104.refresh(status), 5);
}

void tAI_ADCPrimitive::acknowledgeBit11(tStatus2* status) {
  _map->Interrupt_A_Ack.writeRegister(0x0800, status);
}

void tAI_ADCPrimitive::enableOverrunInterrupt(tStatus2& status) {
  tTavikInterruptDispatcher::tAtomicWhileArmedDispatcher enable(
      _dispatcher, &tTavikInterruptDispatcher::enableGroupAInterruptBit5, _enabled, status);
  enable.exec();
}

void tAI_ADCPrimitive::disableOverrunInterrupt(tStatus2* status) {
  tTavikInterruptDispatcher::tAtomicStatusPtrDispatcher disable(
      _dispatcher, &tTavikInterruptDispatcher::disableGroupAInterruptBit5);
  disable.exec(status);
}

}  // namespace nQoUdP100
