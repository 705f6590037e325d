#include "thread/tThreadUtility.h"

#include "kal/nQoKAL.h"
#include "time/tTimerTimeWaster.h"

void tThreadUtility::sleep(uint32_t milliseconds) {
  int code = 0;
  wasterSleep(tTimerTimeWasterKind::kSleep, milliseconds, kTimerTimeUnitMillisecond, &code);
}

void tThreadUtility::yield() { nQoKAL100_yieldThread(); }
