#include "primitives/calibration/tTavikAnalogTriggerPrimitive.h"

#include "frame/freshStatus.h"
#include "frame/tTimerTimeout.h"
#include "primitives/calibration/calibrationLocks.h"
#include "registers/tScopedLockSelection.h"
#include "tavik/tavikCodeConverters.h"
#include "time/tTimerTimeWaster.h"
#include "time/tTimerTimebase.h"

namespace nQoUdP100 {

namespace {

using nQoMDBG100::tStatus2;
namespace nTavik = nQoUdRLP100::nTavik;

// tAnalog_Trigger_Etc (0x17A).
constexpr uint32_t kMode = 0x07;
constexpr uint32_t kEnable = 0x08;
constexpr uint32_t kArmed = 0x20;  // dropped from the soft copy once written
// Bits 1:0 of 0x8C.
constexpr uint32_t kSource = 0x03;
constexpr uint32_t kIdleSource = 3;

}  // namespace

tTavikAnalogTriggerPrimitive::tTavikAnalogTriggerPrimitive(iPWMPrimitive* level1Source,
                                                           iPWMPrimitive* level2Source,
                                                           const tAITriggerDescription& description,
                                                           nTavik::tTavik* map, tStatus2& status)
    : _map(map),
      _level1Source(level1Source),
      _level2Source(level2Source),
      _settlingMicroseconds(description.settlingTime) {
  if (status.isFatal()) return;
  goIdle(status);
  if (!status.isFatal()) _state.setUncommitted();
}

tTavikAnalogTriggerPrimitive::~tTavikAnalogTriggerPrimitive() {
  tStatus2 local;
  release(local);
}

void tTavikAnalogTriggerPrimitive::commit(tStatus2& status) {
  if (status.isFatal()) return;
  _programmed = true;
  bool kept = false;
  const bool again = _holdsCommit && _fields.programmed() == _fields.take();
  const tFields& record = _fields.program();
  {
    const nQoUdRLP100::tScopedLockSelection locked(*_map, analogTriggerLock(), &status);
    // The trigger can fire while armed: an arm on what this commit asks for
    // again is kept untouched, any other is switched off before the trigger
    // is programmed.
    kept = _armed && again;
    if (!kept) {
      if (_armed) disable(status);
      programSource(nTavik::encodeAnalogTriggerRegister74Bits1_0(record.source), status);
      _map->Analog_Trigger_Etc.setBits(
          kMode, 0, nTavik::encodeAnalog_Trigger_EtcBits2_0(record.mode), &status);
      _map->Analog_Trigger_Etc.flush(&status, 0);
      _map->flushBus(&status);
    }
  }
  if (!kept) {
    setLevels(record.level1, record.level2, status);
    if (!status.isFatal()) {
      nQoUdR100::tTimerTimeout<tTimerTimeWasterSleep, tTimerTimebasePrecise> settling(
          _settlingMicroseconds, kTimerTimeUnitMicrosecond, 1, &status.code);
      settling.waitForTimeout(&status.code);
    }
  }
  if (status.isFatal()) {
    tStatus2 undo;
    uncommit(undo);
    return;
  }
  _holdsCommit = true;
  _state.setCommitted();
}

void tTavikAnalogTriggerPrimitive::uncommit(tStatus2& status) {
  if (status.isFatal()) return;
  goIdle(status);
  _state.setUncommitted();
}

// Armed in the mode its commit programmed: a mode handed over since reaches
// the chip at the next commit only. With no commit held the arm takes the
// mode as deployed.
void tTavikAnalogTriggerPrimitive::arm(tStatus2& status) {
  if (status.isFatal()) return;
  _programmed = true;
  const uint32_t armedMode = _holdsCommit ? _fields.programmed().mode : _fields.take().mode;
  const nQoUdRLP100::tScopedLockSelection locked(*_map, analogTriggerLock(), &status);
  _map->Analog_Trigger_Etc.setBits(kEnable, 0, kEnable, &status);
  _map->Analog_Trigger_Etc.flush(&status, 0);
  _armed = true;
  if (armedMode == 3 || armedMode == 4) {
    _map->Analog_Trigger_Etc.setBits(kArmed, 0, kArmed, &status);
    _map->Analog_Trigger_Etc.flush(&status, 0);
    _map->flushBus(&status);
  }
}

// By what commit and arm programmed since the trigger last went idle, also
// when a parameter handed over since moved the state back.
void tTavikAnalogTriggerPrimitive::release(tStatus2& status) {
  if (status.isFatal() || !_programmed) return;
  tStatus2 local;
  uncommit(local);
}

void tTavikAnalogTriggerPrimitive::storeParameter(uint32_t index, uint32_t value) {
  tFields& deployed = _fields.deploying();
  uint32_t* const boardWords[] = {&deployed.level1, &deployed.level2, &deployed.mode,
                                  &deployed.source};
  if (index < 4) *boardWords[index] = value;
}

void tTavikAnalogTriggerPrimitive::programSource(uint32_t code, tStatus2& status) {
  _map->Write_008C.setBits(kSource, 0, code, &status);
  _map->Write_008C.flush(&status, 0);
}

void tTavikAnalogTriggerPrimitive::disable(tStatus2& status) {
  _map->Analog_Trigger_Etc.setBits(kEnable, 0, 0, &status);
  _map->Analog_Trigger_Etc.flush(&status, 0);
  _map->flushBus(&status);
  if (status.isNotFatal()) _armed = false;
}

// The trigger off and both levels at 0, each on a status of its own, so that a
// failed step leaves no level set; a failure keeps the record for the next
// release.
void tTavikAnalogTriggerPrimitive::goIdle(tStatus2& status) {
  nQoUdR100::onFreshStatus(status, [&](tStatus2& s) {
    const nQoUdRLP100::tScopedLockSelection locked(*_map, analogTriggerLock(), &s);
    disable(s);
    programSource(kIdleSource, s);
  });
  nQoUdR100::onFreshStatus(status, [&](tStatus2& s) { _level1Source->setPWM(0, s); });
  nQoUdR100::onFreshStatus(status, [&](tStatus2& s) { _level2Source->setPWM(0, s); });
  nQoUdR100::onFreshStatus(status, [&](tStatus2& s) { _map->flushBus(&s); });
  _holdsCommit = false;
  if (status.isNotFatal()) _programmed = false;
}

void tTavikAnalogTriggerPrimitive::setLevels(uint32_t first, uint32_t second, tStatus2& status) {
  _level1Source->setPWM(first, status);
  _level2Source->setPWM(second, status);
  _map->flushBus(&status);
}

}  // namespace nQoUdP100
