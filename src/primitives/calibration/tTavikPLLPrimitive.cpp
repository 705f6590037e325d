#include "primitives/calibration/tTavikPLLPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "frame/tTimerTimeout.h"
#include "primitives/calibration/calibrationLocks.h"
#include "registers/tScopedLockSelection.h"
#include "tavik/tavikCodeConverters.h"
#include "thread/tThreadUtility.h"
#include "time/tTimerTimeWaster.h"
#include "time/tTimerTimebase.h"

namespace nQoUdP100 {

namespace {

using nQoMDBG100::tStatus2;

constexpr const char kFile[] = "tTavikPLLPrimitive";

// tClock_And_Fout2 (0x1C4): the reference code and the two bits of a used PLL.
constexpr uint32_t kReference = 0x1F;
constexpr uint32_t kPLLUsed = 0x60;
// PLL control (0x1C6).
constexpr uint32_t kMultiplier = 0x00FF;
constexpr uint32_t kDivider = 0x0F00;
constexpr uint32_t kEnable = 0x1000;
constexpr uint32_t kEnabling = 0x6000;

}  // namespace

void tTavikPLLPrimitive::commit(tStatus2& status) {
  if (status.isFatal()) return;
  const tPLLFields& record = _fields.program();
  if (record.referenceSource == 0) {
    disable(status);
  } else {
    enable(record, status);
  }
}

void tTavikPLLPrimitive::disable(tStatus2& status) {
  {
    const nQoUdRLP100::tScopedLockSelection locked(*_map, clockLock(), &status);
    _map->Clock_And_Fout2.setBits(kPLLUsed, 0, 0, &status);
    _map->Clock_And_Fout2.flush(&status, 0);
    _map->Write_01C6.setBits(kEnable, 0, 0, &status);
    _map->Write_01C6.flush(&status, 0);
  }
  _map->flushBus(&status);
}

void tTavikPLLPrimitive::enable(const tPLLFields& record, tStatus2& status) {
  {
    const nQoUdRLP100::tScopedLockSelection locked(*_map, clockLock(), &status);
    // The control word reaches the chip in one write, with its enable bit.
    _map->Write_01C6.setBits(kEnabling, 0, kEnabling, &status);
    _map->Write_01C6.setBits(kMultiplier, 0, record.multiplier, &status);
    _map->Write_01C6.setBits(kDivider, 8, record.divider, &status);
    const uint32_t reference =
        nQoUdRLP100::nTavik::encodeClock_And_Fout2Bits4_0(record.referenceSource);
    _map->Clock_And_Fout2.setBits(kReference | kPLLUsed, 0, reference | kPLLUsed, &status);
    _map->Clock_And_Fout2.flush(&status, 0);
    _map->Write_01C6.setBits(kEnable, 0, kEnable, &status);
    _map->Write_01C6.flush(&status, 0);
  }
  _map->flushBus(&status);
  waitForLock(status);
}

void tTavikPLLPrimitive::waitForLock(tStatus2& status) {
  nQoUdR100::tTimerTimeout<tTimerTimeWasterSleep, tTimerTimebasePrecise> timeout(
      kLockTimeoutMicroseconds, kTimerTimeUnitMicrosecond, 1, &status.code);
  for (;;) {
    const uint32_t pll = _map->Read_01C8.refresh(&status);
    if (status.isFatal() || (pll & 1) != 0) return;
    if (timeout.isTimeout(&status.code) != 0) {
      if (!status.isFatal()) nQoUdR100::setCode(status, nQoUdR100::kPLLNotLocked, {kFile, 119});
      return;
    }
    tThreadUtility::yield();
  }
}

}  // namespace nQoUdP100
