// Timebases, wasters, unit conversion and the platform clock.
#include <algorithm>
#include <chrono>
#include <limits>
#include <mutex>
#include <thread>

#include "pal/tPALSysInfo.h"
#include "sim/simTime.h"
#include "sim/tBoundedLog.h"
#include "src/platformClock.h"
#include "time/tTimerUtility.h"

namespace {

constexpr uint64_t kAllOnes = std::numeric_limits<uint64_t>::max();

struct tTimebaseResolution {
  tTimerTimeUnit unit;
  uint32_t value;
};

constexpr tTimebaseResolution kDefaultTimebases[] = {
    {kTimerTimeUnitMillisecond, 1},  // efficient
    {kTimerTimeUnitNanosecond, 1},   // precise
};
constexpr tTimerTimeUnit kDefaultWasters[] = {kTimerTimeUnitMicrosecond,   // spin
                                              kTimerTimeUnitMillisecond};  // sleep

std::mutex gTimeLock;
bool gTestClock = false;
uint64_t gClock = 0;
tTimebaseResolution gTimebases[2] = {kDefaultTimebases[0], kDefaultTimebases[1]};
tTimerTimeUnit gWasters[2] = {kDefaultWasters[0], kDefaultWasters[1]};
bool gCanSleepNow = true;
unsigned gCalls = 0;
unsigned gFailAt = 0;
int gFailCode = 0;
constinit nQoSim::tBoundedLog<nQoSim::tSleepRecord> gSleepLog;

uint64_t hostNanoseconds() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

void setStatus(int* status, int code) {
  if (status != nullptr && (*status == 0 || (*status > 0 && code < 0))) *status = code;
}

// Counts one call; true (with the armed code in the status) when it is the
// one to fail.
bool callFails(int* status) {
  std::lock_guard<std::mutex> lock(gTimeLock);
  if (++gCalls != gFailAt) return false;
  gFailAt = 0;
  setStatus(status, gFailCode);
  return true;
}

bool validUnit(uint32_t unit) {
  return unit >= kTimerTimeUnitNanosecond && unit <= kTimerTimeUnitSecond;
}

// A unit that a test set outside 1..4 counts as nanoseconds here.
uint64_t nanosecondsPer(tTimerTimeUnit unit) {
  constexpr uint64_t kScale[] = {1, 1, 1'000, 1'000'000, 1'000'000'000};
  return validUnit(unit) ? kScale[unit] : 1;
}

// Truncates towards the coarser unit; saturates towards the finer one.
uint64_t convertUnits(uint64_t value, tTimerTimeUnit from, tTimerTimeUnit to) {
  if (from < to) return value / (nanosecondsPer(to) / nanosecondsPer(from));
  const uint64_t factor = nanosecondsPer(from) / nanosecondsPer(to);
  return value > kAllOnes / factor ? kAllOnes : value * factor;
}

}  // namespace

namespace nQoPlatform {

uint64_t clockNanoseconds() {
  std::lock_guard<std::mutex> lock(gTimeLock);
  return gTestClock ? gClock : hostNanoseconds();
}

bool testClockInUse() {
  std::lock_guard<std::mutex> lock(gTimeLock);
  return gTestClock;
}

uint64_t deadlineAfterMilliseconds(uint32_t milliseconds) {
  const uint64_t now = clockNanoseconds();
  const uint64_t span = uint64_t{milliseconds} * 1'000'000;
  return now > kAllOnes - span ? kAllOnes : now + span;
}

}  // namespace nQoPlatform

namespace nQoSim {

void useTestClock(uint64_t nanoseconds) {
  std::lock_guard<std::mutex> lock(gTimeLock);
  gTestClock = true;
  gClock = nanoseconds;
}

void resetTime() {
  std::lock_guard<std::mutex> lock(gTimeLock);
  gTestClock = false;
  gClock = 0;
  gTimebases[0] = kDefaultTimebases[0];
  gTimebases[1] = kDefaultTimebases[1];
  gWasters[0] = kDefaultWasters[0];
  gWasters[1] = kDefaultWasters[1];
  gCanSleepNow = true;
  gFailAt = 0;
  gSleepLog.clear();
}

void setClock(uint64_t nanoseconds) {
  std::lock_guard<std::mutex> lock(gTimeLock);
  gClock = nanoseconds;
}

void advanceClock(uint64_t nanoseconds) {
  std::lock_guard<std::mutex> lock(gTimeLock);
  gClock += nanoseconds;
}

uint64_t clockNanoseconds() { return nQoPlatform::clockNanoseconds(); }

void setTimebaseResolution(tTimerTimebaseKind kind, tTimerTimeUnit unit, uint32_t value) {
  std::lock_guard<std::mutex> lock(gTimeLock);
  gTimebases[static_cast<unsigned>(kind)] = {unit, value == 0 ? 1 : value};
}

void setWasterResolution(tTimerTimeWasterKind kind, tTimerTimeUnit unit) {
  std::lock_guard<std::mutex> lock(gTimeLock);
  gWasters[static_cast<unsigned>(kind)] = unit;
}

void setCanSleepNow(bool allowed) {
  std::lock_guard<std::mutex> lock(gTimeLock);
  gCanSleepNow = allowed;
}

void failTimeCall(unsigned nth, int code) {
  std::lock_guard<std::mutex> lock(gTimeLock);
  gFailAt = nth == 0 ? 0 : gCalls + nth;
  gFailCode = code;
}

std::vector<tSleepRecord> sleepLog() {
  std::lock_guard<std::mutex> lock(gTimeLock);
  return gSleepLog.records();
}

}  // namespace nQoSim

uint64_t tTimerUtility::convert(uint64_t value, tTimerTimeUnit from, tTimerTimeUnit to,
                                int* status) {
  if (callFails(status)) return 0;
  if (!validUnit(from) || !validUnit(to)) {
    setStatus(status, kBadUnitCode);
    return 0;
  }
  return convertUnits(value, from, to);
}

tTimerTimeUnit timebaseResolutionTimeUnit(tTimerTimebaseKind kind, int* status) {
  if (callFails(status)) return tTimerTimeUnit{};
  std::lock_guard<std::mutex> lock(gTimeLock);
  return gTimebases[static_cast<unsigned>(kind)].unit;
}

uint32_t timebaseResolutionValue(tTimerTimebaseKind kind, int* status) {
  if (callFails(status)) return 1;
  std::lock_guard<std::mutex> lock(gTimeLock);
  return gTimebases[static_cast<unsigned>(kind)].value;
}

// Ticks of the resolution value, in the resolution unit.
uint64_t timebaseCounterValue(tTimerTimebaseKind kind, int* status) {
  if (callFails(status)) return 0;
  const uint64_t now = nQoPlatform::clockNanoseconds();
  std::lock_guard<std::mutex> lock(gTimeLock);
  const tTimebaseResolution resolution = gTimebases[static_cast<unsigned>(kind)];
  return convertUnits(now, kTimerTimeUnitNanosecond, resolution.unit) / resolution.value;
}

tTimerTimeUnit wasterResolutionTimeUnit(tTimerTimeWasterKind kind, int* status) {
  if (callFails(status)) return tTimerTimeUnit{};
  std::lock_guard<std::mutex> lock(gTimeLock);
  return gWasters[static_cast<unsigned>(kind)];
}

uint32_t wasterCanSleepNow(tTimerTimeWasterKind, int* status) {
  if (callFails(status)) return 0;
  std::lock_guard<std::mutex> lock(gTimeLock);
  return gCanSleepNow ? 1 : 0;
}

// On the test clock a sleep moves the clock by its amount, at least one
// resolution unit of the waster, so that every wait makes progress.
void wasterSleep(tTimerTimeWasterKind kind, uint64_t amount, tTimerTimeUnit unit, int* status) {
  if (callFails(status)) return;
  if (!validUnit(unit)) {
    setStatus(status, tTimerUtility::kBadUnitCode);
    return;
  }
  const uint64_t span = convertUnits(amount, unit, kTimerTimeUnitNanosecond);
  std::unique_lock<std::mutex> lock(gTimeLock);
  if (gTestClock) {
    const uint64_t tick = nanosecondsPer(gWasters[static_cast<unsigned>(kind)]);
    gClock += span < tick ? tick : span;
    gSleepLog.add({kind, amount, unit, gClock});
    return;
  }
  lock.unlock();
  const uint64_t hostSpan = std::min<uint64_t>(span, std::numeric_limits<int64_t>::max() / 2);
  const uint64_t end = hostNanoseconds() + hostSpan;
  if (kind == tTimerTimeWasterKind::kSleep)
    std::this_thread::sleep_for(std::chrono::nanoseconds(hostSpan));
  else
    while (hostNanoseconds() < end) {
    }
  lock.lock();
  gSleepLog.add({kind, amount, unit, hostNanoseconds()});
}

uint64_t tPALSysInfo::getTime() { return nQoPlatform::clockNanoseconds(); }

void tPALSysInfo::getTime(tPALTime128& seconds) {
  constexpr uint64_t kPerSecond = 1'000'000'000;
  const uint64_t now = nQoPlatform::clockNanoseconds();
  seconds.integer = static_cast<int64_t>(now / kPerSecond);
  seconds.fraction =
      static_cast<uint64_t>((static_cast<unsigned __int128>(now % kPerSecond) << 64) / kPerSecond);
}
