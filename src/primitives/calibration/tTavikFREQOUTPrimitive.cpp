#include "primitives/calibration/tTavikFREQOUTPrimitive.h"

#include "primitives/calibration/calibrationLocks.h"
#include "registers/tScopedLockSelection.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;

tTavikFREQOUTPrimitive::~tTavikFREQOUTPrimitive() {
  tStatus2 off;
  if (_on) program(kEnable, 0, off);
}

void tTavikFREQOUTPrimitive::commit(tStatus2& status) {
  if (status.isFatal()) return;
  const tFields& record = _fields.program();
  program(kDivider | kTimebase,
          (record.divider & kDivider) | (record.timebaseSelect != 0 ? kTimebase : 0), status);
}

void tTavikFREQOUTPrimitive::reset(tStatus2& status) {
  if (status.isFatal()) return;
  _fields.deploy(tFields{});
  _fields.forget();
  tStatus2 local;
  program(kDivider | kTimebase | kEnable, 1, local);
  status.assign(local);
}

int32_t tTavikFREQOUTPrimitive::setTimebase(uint32_t timebase, tStatus2& status) {
  if (!status.isFatal()) _fields.deploying().timebaseSelect = timebase;
  return status.code;
}

void tTavikFREQOUTPrimitive::setDivider(uint32_t divider, tStatus2& status) {
  if (!status.isFatal()) _fields.deploying().divider = divider;
}

void tTavikFREQOUTPrimitive::program(uint32_t mask, uint32_t bits, tStatus2& status) {
  if (status.isFatal()) return;
  const nQoUdRLP100::tScopedLockSelection locked(*_map, clockLock(), &status);
  _map->Clock_and_FOUT.setBits(mask, 0, bits, &status);
  _map->Clock_and_FOUT.flush(&status, 0);
  if ((mask & kEnable) != 0 && status.isNotFatal()) _on = (bits & kEnable) != 0;
}

}  // namespace nQoUdP100
