#include "primitives/dio/tTavikFixedOutputImmedDigPrimitive.h"

#include "primitives/dio/outputLatch.h"
#include "primitives/dio/pfiRouting.h"
#include "registers/tScopedLockSelection.h"

namespace nQoUdP100 {
namespace {

using nQoUdRLP100::nTavik::tTavik;

constexpr unsigned kShift = 6;  // line 0 is PFI 6
constexpr uint32_t kLines = 0xF;
constexpr uint32_t kDriveEnableField = 1;  // bit 0 of the eighth tStatic_AI_Control

}  // namespace

tTavikFixedOutputImmedDigPrimitive::tTavikFixedOutputImmedDigPrimitive(tTavik& map,
                                                                       nQoMDBG100::tStatus2& status)
    : _map(map), _lock(status, {"tTavikFixedOutputImmedDigPrimitive", 20}) {}

uint32_t tTavikFixedOutputImmedDigPrimitive::readLinesUnlocked(uint32_t mask, uint32_t* value,
                                                               nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return 0;
  *value = _outputValue & mask;
  return 1;
}

uint32_t tTavikFixedOutputImmedDigPrimitive::writeLines(uint32_t mask, uint32_t value,
                                                        nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return 0;
  {
    const tDigLock::tHeld held(_lock, status);
    if (!held.taken()) return 0;
    _outputValue = (mask & kLines & value) | (~mask & _outputValue);
    writeOutputLatch(_map, _map.Write_01DE, _outputValue << kShift, status);
    if (_enablePending != 0) {
      enable(1, _pendingLines, status);
      _enablePending = 0;
    }
  }
  return status.isNotFatal() ? 1 : 0;
}

void tTavikFixedOutputImmedDigPrimitive::setLineMode(uint32_t mask, int32_t direction,
                                                     nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const tDigLock::tHeld held(_lock, status);
  if (!held.taken()) return;
  if (direction == 1 && _enablePending != 0)
    _pendingLines = mask << kShift;
  else
    enable(direction, mask << kShift, status);
}

void tTavikFixedOutputImmedDigPrimitive::enable(int32_t direction, uint32_t lines,
                                                nQoMDBG100::tStatus2& status) {
  const nQoUdRLP100::tScopedLockSelection<tTavik> pinLock(_map, {kPinDirectionLock}, &status);
  if (direction == 1) {
    routeToOutputLatch(_map, lines, 0, status);
    if (lines != 0) _map.Static_AI_Control[7].writeField(kDriveEnableField, 1, &status, 0);
  }
  _map.flushBus(&status);
}

void tTavikFixedOutputImmedDigPrimitive::applyLineState(const tLineState* state, int32_t,
                                                        nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const uint32_t outputs = state != nullptr ? ~state->inputMask & kLines : 0;
  _outputValue = state != nullptr ? state->outputValues & outputs : 0;
  _map.Write_01DE.writeRegister(static_cast<uint16_t>(_outputValue << kShift), &status, 1);
  routeToOutputLatch(_map, kLines << kShift, 1, status);
  _map.IO_Bidirection_Pin.setBits(kLines << kShift, 0, kLines << kShift, &status);
  _map.IO_Bidirection_Pin.flush(&status, 0);
  _map.Static_AI_Control[7].writeField(kDriveEnableField, outputs != 0 ? 1 : 0, &status, 1);
  _enablePending = outputs == 0 ? 1 : 0;
  _map.flushBus(&status);
}

}  // namespace nQoUdP100
