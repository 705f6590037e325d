#include "primitives/dio/tTavikImmedDigPrimitive.h"

namespace nQoUdP100 {

bool tTavikImmedDigPrimitive::inMode(uint32_t mask, int32_t mode) const {
  switch (mode) {
    case 0: return (mask & ~_inputLines) == 0;
    case 1: return (mask & ~_outputLines) == 0 && (mask & _mode7Lines) == 0;
    case 6: return _mode6Lines == mask;
    case 7: return _mode7Lines == mask;
    default: return false;
  }
}

void tTavikImmedDigPrimitive::setLineMode(uint32_t mask, int32_t mode,
                                          nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || inMode(mask, mode)) return;
  const tDigLock::tHeld writing(_writeLock, status);
  const tDigLock::tHeld reading(_readLock, status);
  if (!reading.taken()) return;
  updateMasks(mask, mode, status);
  program(mode, status);
}

void tTavikImmedDigPrimitive::updateMasks(uint32_t mask, int32_t mode,
                                          nQoMDBG100::tStatus2& status) {
  switch (mode) {
    case 0:
      _inputLines |= mask;
      _outputLines &= ~mask;
      _mode6Lines &= ~mask;
      _mode7Lines &= ~mask;
      break;
    case 1:
      _outputLines |= mask;
      _inputLines &= ~mask;
      _mode6Lines &= ~mask;
      _mode7Lines &= ~mask;
      break;
    case 6:
      _inputLines |= mask;
      _mode6Lines = mask;
      _outputLines &= ~mask;
      _mode7Lines &= ~mask;
      break;
    case 7: {
      // Lines dropped from the mode-7 set keep driving the present input state.
      const uint32_t dropped = _mode7Lines & ~mask;
      _inputLines &= ~mask;
      _mode6Lines &= ~mask;
      _outputLines |= mask | dropped;
      _mode7Lines = mask;
      if (dropped != 0) {
        _outputValue = _map.Read_0024.refresh(&status);
        _map.Write_0024.setRegister(_outputValue, &status);
        _map.Write_0024.flush(&status, 0);
      }
      break;
    }
    default: break;
  }
}

void tTavikImmedDigPrimitive::program(int32_t mode, nQoMDBG100::tStatus2& status) {
  const bool directionFirst = mode == 0 || mode == 6;
  if (directionFirst) _map.DIO_Direction.writeRegister(_outputLines, &status, 0);
  _map.Write_0234.writeRegister(_mode7Lines, &status, 0);
  _map.Write_0230.writeRegister(_mode6Lines, &status, 0);
  if (!directionFirst) _map.DIO_Direction.writeRegister(_outputLines, &status, 0);
  _map.flushBus(&status);
}

void tTavikImmedDigPrimitive::applyLineState(const tLineState* state, int32_t useRecord,
                                             nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const tLineState defaults;
  const tLineState& record = useRecord != 0 && state != nullptr ? *state : defaults;
  const uint32_t input = _map.Read_0024.refresh(&status);
  _outputValue = (input & record.inputMask) | (record.outputValues & ~record.inputMask);
  _outputLines = ~record.inputMask;
  _inputLines = record.inputMask;
  _mode6Lines = _mode7Lines = 0;
  _map.Write_0024.writeRegister(_outputValue, &status, 1);
  _map.Write_0234.writeRegister(0, &status, 1);
  _map.Write_0230.writeRegister(0, &status, 1);
  _map.DIO_Direction.writeRegister(_outputLines, &status, 1);
  _map.flushBus(&status);
}

}  // namespace nQoUdP100
