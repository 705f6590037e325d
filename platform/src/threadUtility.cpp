#include "thread/tThreadUtility.h"

#include "time/tTimerTimeWaster.h"

void tThreadUtility::sleep(uint32_t milliseconds) {
  int code = 0;
  wasterSleep(tTimerTimeWasterKind::kSleep, milliseconds, kTimerTimeUnitMillisecond, &code);
}
