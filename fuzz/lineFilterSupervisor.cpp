// Line filter settings from outside through the line filter supervisor and
// the board's real strategy. The first byte picks the allocation to fail
// (0: none); the rest is a settings stream. A holder keeps PFI line 3 at
// filter 2 and RIVO line 0 at 0 throughout, so that requests can conflict.
// The fuzzed task is initialized, reserved, committed and released: every
// code is 0, -50150, -50352, -89000 or -200645 (or the broker's -50300
// for a pool name that none has), a refused task leaves every count as the holder's, each
// release brings the counts and the in-use count back, and nothing leaks.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "frame/moduleEntry.h"
#include "mrl/iPrimitiveSupervisorMap.h"
#include "mrl/iResourceBroker.h"
#include "orb/tByteInputStream.h"
#include "reservation/tRefCountingResourcePoolWrapper.h"
#include "sim/simAllocator.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "supervisors/calibration/tTavikLineFilterResourcePool.h"
#include "supervisors/calibration/tTavikLineFilterSupervisor.h"
#include "support/tFreshSimulation.h"

namespace {

using nQoMDBG100::tStatus2;
using tPool = nQoUdR100::tRefCountingResourcePoolWrapper<
    nQoUdR100::tTavikLineFilterResourcePool<nQoUdP100::tTavikLineFilterPrimitive*>,
    nQoUdP100::tTavikLineFilterPrimitive*>;

void check(bool condition) {
  if (!condition) std::abort();
}

bool allowed(int code) {
  return code == 0 || code == -50150 || code == -50352 || code == -89000 || code == -200645 ||
         code == nQoMRL100::kUnknownResource;
}

constexpr nQoUdP100::tLineFilterDescription kBoard{.pfiLines = 16, .rivoLines = 8};

class tQuietFilters : public nQoUdP100::tTavikLineFilterPrimitive {
 public:
  explicit tQuietFilters(tStatus2& status) : tTavikLineFilterPrimitive(kBoard, status) {}
  void program(const uint32_t*, uint32_t, const uint32_t*, uint32_t, tStatus2&) override {}
};

struct tBoard {
  tBoard() {
    identifier.setDeviceGUID({1, 2});
    identifier.setString("LineFilter", status);
    nQoMRL100::getResourceBroker(status)->registerPool(&identifier, &pool, status);
  }
  // Every line's use count, PFI first.
  std::vector<uint32_t> counts() const {
    std::vector<uint32_t> out;
    for (uint32_t group : {0u, 1u})
      for (uint32_t line = 0; line < (group == 0 ? 16u : 8u); ++line)
        out.push_back(pool.getStrategy().getUseCount(group, line));
    return out;
  }

  tStatus2 status;
  nQoMRL100::tGeneralIdentifier identifier;
  tQuietFilters filters{status};
  tSyncAtomicU32 inUse;
  tPool pool{&inUse, &filters};
};

struct tNoMap : nQoMRL100::iPrimitiveSupervisorMap {
  nQoMRL100::iPrimitiveSupervisor* lookup(uint32_t, tStatus2&) override { return nullptr; }
};

void runTask(tBoard& board, const nQoUdR100::tTavikLineFilterSettings& settings) {
  const std::vector<uint32_t> before = board.counts();
  const uint32_t usersBefore = board.inUse.get();
  tNoMap map;
  nQoUdR100::tTavikLineFilterSupervisor task;
  tStatus2 status;
  task.initialize(settings, nullptr, status);
  task.link(map, status);
  task.reserveResource(status);
  check(allowed(status.code));
  const bool granted = task.getState() == 3;
  if (!granted) check(board.counts() == before && board.inUse.get() == usersBefore);
  tStatus2 controlled;
  task.control(1, nullptr, nullptr, controlled);
  task.control(2, nullptr, nullptr, controlled);
  task.commitCancel(controlled);
  check(controlled.code == 0 || (!granted && controlled.code == -50004));
  tStatus2 released;
  task.releaseResource(released);
  check(released.code == 0 && task.getState() == 2);
  check(board.counts() == before && board.inUse.get() == usersBefore);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static const bool loaded = [] {
    nQoSim::setStatusLogging(false);
    return moduleMessageEntry(0) == 0;
  }();
  check(loaded);
  if (size < 1) return 0;
  const int64_t liveBefore = nQoSim::liveAllocations();
  nQoSim::resetResourceBroker();
  {
    tBoard board;
    check(board.status.code == 0);
    nQoUdR100::tTavikLineFilterSettings held;
    held.supervisorRecord().identifier = board.identifier;
    held.supervisorRecord().lineEntries.append({.lineGroup = 0, .line = 3, .filterSetting = 2});
    held.supervisorRecord().lineEntries.append({.lineGroup = 1, .line = 0, .filterSetting = 0});
    nQoUdR100::tTavikLineFilterSupervisor holder;
    tNoMap map;
    tStatus2 status;
    holder.initialize(held, nullptr, status);
    holder.link(map, status);
    holder.reserveResource(status);
    check(status.code == 0 && board.inUse.get() == 1);

    nQoUdR100::tTavikLineFilterSettings settings;
    nQoORB100::tByteInputStream in(data + 1, size - 1);
    int read = 0;
    settings.readExternal(in, read);
    // Against the pool's identifier as read, and against the board's.
    nQoSim::failAllocation(data[0]);
    runTask(board, settings);
    nQoSim::failAllocation(0);
    settings.supervisorRecord().identifier = board.identifier;
    runTask(board, settings);

    holder.releaseResource(status);
    check(board.inUse.get() == 0);
  }
  nQoSim::resetResourceBroker();
  check(nQoSim::liveAllocations() == liveBefore);
  return 0;
}
