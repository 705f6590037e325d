#include "primitives/ai/tAIDeviceFIFOPrimitive.h"

#include <cstring>

#include "frame/freshStatus.h"
#include "orb/castToClass.h"
#include "registers/registerStatus.h"
#include "tavik/tTavikInterruptDispatcherBinders.h"

namespace nQoUdP100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::onFreshStatus;
using nQoUdRLP100::tTavikInterruptDispatcher;

// Bits 7:6 of tAI_Mode_3 by FIFO mode.
constexpr uint32_t kModeNone = 0b00;
constexpr uint32_t kModeHalfWithThreshold = 0b01;
constexpr uint32_t kModeFull = 0b10;
constexpr uint32_t kModeHalf = 0b11;

constexpr uint32_t bit(uint32_t value, unsigned position) { return (value >> position) & 1; }

}  // namespace

tAIDeviceFIFOPrimitive::tAIDeviceFIFOPrimitive(const tAIFIFODescription* description,
                                               nQoUdRLP100::nTavik::tTavik* map,
                                               tTavikInterruptDispatcher* dispatcher,
                                               tStatus2& status)
    : tBaseAIDeviceFIFOPrimitive(description, status),
      _map(map),
      _dispatcher(dispatcher),
      _32BitSamples(description != nullptr &&
                            description->sampleWidthCode == tAIFIFODescription::k32BitSamples
                        ? 1
                        : 0) {
  if (map == nullptr) return;
  map->AI_Mode_3.set_AI_FIFO_Mode(kModeNone, nullptr);
  map->markDirty(map->AI_Mode_3.index(), nullptr);
}

tAIDeviceFIFOPrimitive::~tAIDeviceFIFOPrimitive() {
  tStatus2 local;
  if (armedSources() != 0) tAIDeviceFIFOPrimitive::disarm(local);
  detach(kOverflowSource, _overflowAttached);
  detach(kFIFOSource, _fifoAttached);
}

void* tAIDeviceFIFOPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tAIDeviceFIFOPrimitive, tBaseAIDeviceFIFOPrimitive>(this, classID);
}

const void* tAIDeviceFIFOPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tAIDeviceFIFOPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

bool tAIDeviceFIFOPrimitive::isReady() const {
  return tBaseAIDeviceFIFOPrimitive::isReady() && _map != nullptr && _dispatcher != nullptr;
}

// A commit or an arm after one that holds a handler or a source installs or
// enables only what it finds missing, and its failure gives back only that;
// a failure of one that found nothing held uncommits or disarms. The record
// takes the settings first, and the mode and threshold test follow from it.
// A commit of an armed FIFO that would write a FIFO mode or take a threshold
// test other than the ones the arm runs on (a configuration since changed
// them) disarms first; one that takes only what its records hold keeps the
// arm, its sources and its state, and writes nothing.
void tAIDeviceFIFOPrimitive::commit(tStatus2& status) {
  if (status.isFatal()) return;
  setModeAndThreshold(_fields.program(), status);
  if (armedSources() != 0 &&
      (_map->isDirty(_map->AI_Mode_3.index(), nullptr) != 0 || _thresholdTest != _runThresholdTest))
    onFreshStatus(status, [&](tStatus2& s) { tAIDeviceFIFOPrimitive::disarm(s); });
  const uint32_t held = attachedSources();
  if (_overflowObservers.any() && _overflowAttached == 0)
    _overflowAttached =
        _dispatcher->installHandlers(kOverflowSource, &_overflowHandler, &_overflowHandler, status);
  if (_fifoObservers.any() && _fifoAttached == 0)
    _fifoAttached = _dispatcher->installHandlers(kFIFOSource, &_fifoHandler, &_fifoHandler, status);
  // An arm kept runs on the mode already written: its mode and threshold
  // test are the record's (else it was disarmed above).
  if (armedSources() != 0) {
    _state.setArmed();
  } else {
    programFIFOMode(&status);
    _runThresholdTest = _thresholdTest;
    _state.setCommitted();
  }
  if (status.isNotFatal()) return;
  if (held == 0) {
    tStatus2 fresh;
    uncommit(fresh);
    return;
  }
  if ((held & 2) == 0) detach(kOverflowSource, _overflowAttached);
  if ((held & 1) == 0) detach(kFIFOSource, _fifoAttached);
}

// A source goes on only while the commit's handler is in its slots: one
// without stays off and unrecorded, so nothing is left on that no handler
// would acknowledge.
void tAIDeviceFIFOPrimitive::arm(tStatus2& status) {
  if (status.isFatal()) return;
  const uint32_t held = armedSources();
  if (_overflowObservers.any() && _overflowAttached != 0 && _overflowArmed.load() == 0) {
    _runs.begin();
    _overflowArmed = 1;
    enableOverflowInterrupt(status);
  }
  if (_fifoObservers.any() && _fifoAttached != 0 && _fifoArmed.load() == 0) {
    _fifoArmed = 1;
    enableFIFOInterrupt(status);
  }
  _state.setArmed();
  if (status.isNotFatal()) return;
  tStatus2 fresh;
  disableSources(held, fresh);
  if (held == 0) _state.setCommitted();
}

// Each disable on a status of its own: a failed one leaves no source on.
// Disarm and uncommit go by what the FIFO holds, not by its observers: a
// record taken out after the arm or the commit leaves its source or its
// handler to undo.
void tAIDeviceFIFOPrimitive::disarm(tStatus2& status) {
  if (status.isFatal()) return;
  disableSources(0, status);
  // Back from the arm; a disarm without one leaves the state as it is.
  if (_state.isArmed()) _state.setCommitted();
}

// The records go first: an overflow pass from here on leaves its source off.
// The overflow source's run ends, and its second passes under way leave,
// before the source goes off.
void tAIDeviceFIFOPrimitive::disableSources(uint32_t kept, tStatus2& status) {
  if ((kept & 2) == 0 && _overflowArmed.exchange(0) != 0) {
    _runs.end();
    _runs.waitForAccesses();
    onFreshStatus(status,
                  [&](tStatus2& s) { tAIDeviceFIFOPrimitive::disableOverflowInterrupt(&s); });
  }
  if ((kept & 1) == 0 && _fifoArmed.exchange(0) != 0)
    onFreshStatus(status, [&](tStatus2& s) { tAIDeviceFIFOPrimitive::disableFIFOInterrupt(&s); });
}

void tAIDeviceFIFOPrimitive::uncommit(tStatus2& status) {
  if (status.isFatal()) return;
  // An arm that no disarm followed is disarmed first (a commit since leaves
  // its sources on), so no source stays enabled without its handler.
  if (armedSources() != 0)
    onFreshStatus(status, [&](tStatus2& s) { tAIDeviceFIFOPrimitive::disarm(s); });
  detach(kOverflowSource, _overflowAttached);
  detach(kFIFOSource, _fifoAttached);
  // Handed back as a fresh reservation finds it: no record of a commit.
  _fields.forget();
  _state.setUncommitted();
}

void tAIDeviceFIFOPrimitive::detach(uint32_t source, uint32_t& attached) {
  if (attached == 0) return;
  _dispatcher->removeHandlers(source, nullptr);
  attached = 0;
}

uint32_t tAIDeviceFIFOPrimitive::getFIFOMode() const {
  switch ((_map->AI_Mode_3.getRegister() >> 6) & 0b11) {
    case kModeNone: return 0;
    case kModeFull: return 2;
    default: return 1;
  }
}

uint32_t tAIDeviceFIFOPrimitive::halfFullBits() const {
  return thresholdState() != 0 ? kModeHalfWithThreshold : kModeHalf;
}

void tAIDeviceFIFOPrimitive::setFIFOMode(int32_t code, tStatus2& status, bool write) {
  const uint32_t bits = code == 1 ? halfFullBits() : code == 2 ? kModeFull : kModeNone;
  _map->AI_Mode_3.set_AI_FIFO_Mode(bits, &status);
  if (write) programFIFOMode(&status);
}

void tAIDeviceFIFOPrimitive::setThreshold(uint32_t count, tStatus2& status, bool write) {
  _threshold = count;
  switch (thresholdState()) {
    case 1: _thresholdTest = &tBaseAIDeviceFIFOPrimitive::readStatusBit13; break;
    case 2: _thresholdTest = &tBaseAIDeviceFIFOPrimitive::readStatusBit14; break;
    default: _thresholdTest = &tBaseAIDeviceFIFOPrimitive::isNotEmpty; break;
  }
  if (getFIFOMode() == 1) _map->AI_Mode_3.set_AI_FIFO_Mode(halfFullBits(), &status);
  if (write) programFIFOMode(&status);
}

uint32_t tAIDeviceFIFOPrimitive::statusBit(unsigned position, tStatus2* status) {
  return bit(_map->Read_0104.refresh(status), position);
}

void tAIDeviceFIFOPrimitive::enableFIFOInterrupt(tStatus2& status) {
  tTavikInterruptDispatcher::tAtomicWhileArmedDispatcher(
      _dispatcher, &tTavikInterruptDispatcher::enableGroupAInterruptBit7, _fifoArmed, status)
      .exec();
}

void tAIDeviceFIFOPrimitive::disableFIFOInterrupt(tStatus2* status) {
  tTavikInterruptDispatcher::tAtomicStatusPtrDispatcher(
      _dispatcher, &tTavikInterruptDispatcher::disableGroupAInterruptBit7)
      .exec(status);
}

void tAIDeviceFIFOPrimitive::enableOverflowInterrupt(tStatus2& status) {
  tTavikInterruptDispatcher::tAtomicWhileArmedDispatcher(
      _dispatcher, &tTavikInterruptDispatcher::enableGroupAInterruptBit5Source1, _overflowArmed,
      status)
      .exec();
}

void tAIDeviceFIFOPrimitive::disableOverflowInterrupt(tStatus2* status) {
  tTavikInterruptDispatcher::tAtomicStatusPtrDispatcher(
      _dispatcher, &tTavikInterruptDispatcher::disableGroupAInterruptBit5Source1)
      .exec(status);
}

uint32_t tAIDeviceFIFOPrimitive::readSample(void* destination, tStatus2& status) {
  const uint32_t sample = _map->Read_001C.refresh(&status);
  if (_32BitSamples != 0) {
    std::memcpy(destination, &sample, sizeof sample);
  } else {
    const auto half = static_cast<uint16_t>(sample);
    std::memcpy(destination, &half, sizeof half);
  }
  return status.isNotFatal() ? 1 : 0;
}

uint32_t tAIDeviceFIFOPrimitive::readSamples(void* buffer, uint32_t count, tStatus2& status) {
  auto& data = _map->Read_001C;
  uint32_t stored = 0;
  if (_32BitSamples != 0) {
    auto* samples = static_cast<uint32_t*>(buffer);
    while (stored < count) {
      samples[stored++] = data.refresh(&status);
      if (status.isFatal()) break;
    }
  } else {
    auto* samples = static_cast<uint16_t*>(buffer);
    while (stored < count) {
      samples[stored++] = static_cast<uint16_t>(data.refresh(&status));
      if (status.isFatal()) break;
    }
  }
  return stored;
}

void tAIDeviceFIFOPrimitive::clearFIFO(tStatus2* status) {
  _map->Write_01A6.write_AI_FIFO_Clear(1, status, 0);
}

void tAIDeviceFIFOPrimitive::programFIFOMode(tStatus2* status) {
  if (!nQoUdRLP100::failed(status)) {
    _map->Joint_Reset.write_AI_Configuration_Start(true, status);
    _map->AI_Mode_3.flush(status, 0);
    _map->Joint_Reset.write_AI_Configuration_End(true, status);
  }
  _map->flushBus(status);
}

}  // namespace nQoUdP100
