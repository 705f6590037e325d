#include "primitives/dio/tTavikPFIImmedDigPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "primitives/dio/outputLatch.h"
#include "primitives/dio/pfiRouting.h"
#include "registers/tScopedLockSelection.h"

namespace nQoUdP100 {
namespace {

using nQoUdRLP100::nTavik::tTavik;

}  // namespace

void tTavikPFIImmedDigPrimitive::setLineMode(uint32_t mask, int32_t direction,
                                             nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (direction != 0 && direction != 1) {
    nQoUdR100::setCode(status, nQoUdR100::kRefused, {"tTavikPFIImmedDigPrimitive", 60});
    return;
  }
  const tDigLock::tHeld writing(_writeLock, status);
  const tDigLock::tHeld reading(_readLock, status);
  if (!reading.taken()) return;
  const nQoUdRLP100::tScopedLockSelection<tTavik> pinLock(_map, {kPinDirectionLock}, &status);
  const uint32_t pins = _map.IO_Bidirection_Pin.getRegister();
  if (direction == 1) routeToOutputLatch(_map, mask, 0, status);
  writeLatchBytes(_map, _map.IO_Bidirection_Pin, mask, direction == 1 ? pins | mask : pins & ~mask,
                  status);
  _map.flushBus(&status);
}

void tTavikPFIImmedDigPrimitive::applyLineState(const tLineState* state, int32_t useRecord,
                                                nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const tLineState defaults[2] = {{1, 0xFF, 0}, {1, 0xFF, 0}};
  const tLineState* records = useRecord != 0 && state != nullptr ? state : defaults;
  const uint32_t inputMask =
      (((records[1].inputMask & 0xFF) << 8) | (records[0].inputMask & 0xFF)) & 0xFFFF;
  const uint32_t values =
      (((records[1].outputValues & 0xFF) << 8) | (records[0].outputValues & 0xFF)) & 0xFFFF;
  const uint32_t input = _map.Read_01DC.refresh(&status);
  _outputValue = ((input & inputMask) | (values & ~inputMask)) & 0xFFFF;
  _map.Write_01DE.writeRegister(static_cast<uint16_t>(_outputValue), &status, 1);
  routeToOutputLatch(_map, ~inputMask & 0xFFFF, 1, status);
  _map.IO_Bidirection_Pin.writeRegister(static_cast<uint16_t>(~inputMask), &status, 1);
  _map.flushBus(&status);
}

}  // namespace nQoUdP100
