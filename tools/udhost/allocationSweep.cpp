#include "allocationSweep.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "aiTask.h"
#include "boardRun.h"
#include "device/tCapabilityTable.h"
#include "frame/statusCodes.h"
#include "orb/tClassImplementation.h"
#include "sim/simAllocator.h"
#include "sim/simResourceBroker.h"
#include "sim/simRouting.h"

namespace nQoHost {

namespace {

struct tFigures {
  const char* phase;
  uint64_t clean = 0;
  uint64_t failed = 0;
  uint64_t passed = 0;
  uint64_t faults = 0;
  int64_t live = 0;  // allocations left after the last step

  bool print() const {
    std::printf("sweep: %s clean=%" PRIu64 " steps=%" PRIu64 " failed=%" PRIu64 " passed=%" PRIu64
                " live=%" PRId64 "\n",
                phase, clean, failed + passed, failed, passed, live);
    return faults == 0 && live == 0 && failed + passed == clean;
  }
  void fault(uint64_t step, int code, const char* what) {
    ++faults;
    std::printf("sweep: %s fault step=%" PRIu64 " code=%d %s\n", phase, step, code, what);
  }
  // A step that answered -50352 failed cleanly; one that answered success
  // and held what the clean one holds (unlike null) passed; any other is a
  // fault.
  void count(uint64_t step, int code, const char* unlike) {
    if (code == nQoUdR100::kOutOfMemory)
      ++failed;
    else if (code == 0 && unlike == nullptr)
      ++passed;
    else
      fault(step, code, code == 0 ? unlike : "answered another code");
  }
};

std::vector<std::string> classNames() {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < nQoORB100::tClassRegistry::count(); ++i)
    names.emplace_back(nQoORB100::tClassRegistry::nameAt(i));
  return names;
}

std::string firstMissing(const std::vector<std::string>& all,
                         const std::vector<std::string>& some) {
  for (const auto& name : all)
    if (std::find(some.begin(), some.end(), name) == some.end()) return name;
  return "a class";
}

// What a brought-up board holds: its pools, every one over its primitives,
// its routing node and the registered classes.
struct tHeld {
  std::vector<tPoolName> pools;
  std::size_t unbacked = 0;
  bool node = false;
  std::string nodeName;
  uint32_t mask = 0;
  unsigned routables = 0;
  std::vector<std::string> classes;

  // What differs from the clean board, or null.
  const char* differsFrom(const tHeld& clean) const {
    if (pools != clean.pools) return "came up without every pool";
    if (unbacked != 0) return "a pool without its primitive";
    if (node != clean.node || nodeName != clean.nodeName || mask != clean.mask ||
        routables != clean.routables)
      return "came up with another routing node";
    if (classes != clean.classes) return "came up with other classes";
    return nullptr;
  }
};

tHeld held(const tHostBoard& board) {
  tHeld held;
  held.pools = board.pools();
  held.unbacked = board.unbackedPools();
  if (const nQoMRU210::tRoutingDeviceNode* node = board.routingNode()) {
    held.node = true;
    held.nodeName = node->name().c_str();
    held.mask = node->subsystemMask();
    held.routables = routablesOf(*node);
  }
  held.classes = classNames();
  return held;
}

// The shipped record whose board registers the most pools.
uint32_t fullestRecord() {
  uint32_t fullest = 0;
  std::size_t most = 0;
  for (uint32_t i = 0; i < nQoUdR100::tCapabilityTable::count(); ++i) {
    tHostBoard board(*nQoUdR100::tCapabilityTable::table()[i], i, false);
    board.initialize();
    board.bringUp();
    if (board.pools().size() > most) {
      most = board.pools().size();
      fullest = i;
    }
  }
  nQoSim::resetResourceBroker();
  return fullest;
}

}  // namespace

bool sweepLoad(tModuleStep load, tModuleStep unload) {
  tFigures figures{"load"};
  const int64_t base = nQoSim::liveAllocations();
  const uint64_t before = nQoSim::totalAllocations();
  if (load() != 0) figures.fault(0, -1, "clean load failed");
  figures.clean = nQoSim::totalAllocations() - before;
  const auto clean = classNames();
  unload();
  for (uint64_t step = 1; step <= figures.clean; ++step) {
    nQoSim::failAllocation(step);
    const int code = load();
    nQoSim::failAllocation(0);
    const auto names = classNames();
    if (code < 0) {
      ++figures.failed;
    } else if (names == clean) {
      ++figures.passed;
    } else {
      figures.fault(step, code, ("loaded without " + firstMissing(clean, names)).c_str());
    }
    unload();
    if (nQoORB100::tClassRegistry::count() != 0) figures.fault(step, code, "classes left");
    if (nQoSim::liveAllocations() != base) figures.fault(step, code, "allocations left");
  }
  figures.live = nQoSim::liveAllocations() - base;
  return figures.print();
}

bool sweepBringUp() {
  const uint32_t index = fullestRecord();
  const nQoUdR100::tProductDescriptor& record = *nQoUdR100::tCapabilityTable::table()[index];
  tFigures figures{"bring-up"};
  const int64_t base = nQoSim::liveAllocations();
  tHeld clean;
  {
    tHostBoard board(record, index, false);
    board.initialize();
    const uint64_t before = nQoSim::totalAllocations();
    if (board.bringUp() != 0) figures.fault(0, -1, "clean bring-up failed");
    figures.clean = nQoSim::totalAllocations() - before;
    clean = held(board);
  }
  nQoSim::resetResourceBroker();
  for (uint64_t step = 1; step <= figures.clean; ++step) {
    int code = 0;
    {
      tHostBoard board(record, index, false);
      board.initialize();
      nQoSim::failAllocation(step);
      code = board.bringUp();
      nQoSim::failAllocation(0);
      figures.count(step, code, code == 0 ? held(board).differsFrom(clean) : nullptr);
      const void* owner = board.owner();
      board.destroyDriver();
      if (!nQoSim::registeredPools().empty()) figures.fault(step, code, "pools left");
      if (nQoSim::routingNodeOf(owner) != nullptr) figures.fault(step, code, "node left");
    }
    if (nQoSim::liveAllocations() != base) figures.fault(step, code, "allocations left");
    nQoSim::resetResourceBroker();
    nQoSim::resetRouting();
  }
  figures.live = nQoSim::liveAllocations() - base;
  return figures.print();
}

namespace {

// What a step of the AI task must leave behind: no pool held, the DMA select
// released, no interrupt handler attached beyond the bring-up's, the driver
// idle.
void checkUndone(tFigures& figures, uint64_t step, int code, tHostBoard& board,
                 const tAIOutcome& outcome, int registrations,
                 const std::vector<const void*>& handlers) {
  for (const auto* pool : nQoSim::registeredPools())
    if (nQoSim::brokerHoldsOf(pool) != 0) figures.fault(step, code, "a pool held");
  if (!outcome.deselected) figures.fault(step, code, "the DMA select kept");
  if (board.sim().bus.registrations() != registrations || board.handlerSlots() != handlers)
    figures.fault(step, code, "an interrupt handler attached");
  if (!board.idle()) figures.fault(step, code, "the driver busy");
}

// The error a step answered: the failed step's end, else the stop's.
int answered(const tAIOutcome& outcome) {
  if (outcome.ended && outcome.end < 0) return outcome.end;
  return outcome.stop < 0 ? outcome.stop : 0;
}

}  // namespace

bool sweepAI(const tHostOptions& options) {
  const uint32_t index = fullestRecord();
  const nQoUdR100::tProductDescriptor& record = *nQoUdR100::tCapabilityTable::table()[index];
  tFigures figures{"ai"};
  const int64_t base = nQoSim::liveAllocations();
  {
    tHostBoard board(record, index, false);
    board.initialize();
    if (board.bringUp() != 0) figures.fault(0, -1, "clean bring-up failed");
    const int registrations = board.sim().bus.registrations();
    const std::vector<const void*> handlers = board.handlerSlots();
    const uint64_t before = nQoSim::totalAllocations();
    const tAIOutcome clean = runAITask(board.sim(), board.guid(), options);
    figures.clean = nQoSim::totalAllocations() - before;
    const std::string cleanLine = aiLine(record.name, options, clean);
    if (!clean.good()) figures.fault(0, clean.end, "clean run failed");
    const int64_t boardLive = nQoSim::liveAllocations();
    for (uint64_t step = 1; step <= figures.clean; ++step) {
      nQoSim::failAllocation(step);
      const tAIOutcome outcome = runAITask(board.sim(), board.guid(), options);
      nQoSim::failAllocation(0);
      const int code = answered(outcome);
      const bool same = code == 0 && aiLine(record.name, options, outcome) == cleanLine;
      figures.count(step, code, same ? nullptr : "ran unlike the clean run");
      checkUndone(figures, step, code, board, outcome, registrations, handlers);
      if (nQoSim::liveAllocations() != boardLive) figures.fault(step, code, "allocations left");
    }
  }
  nQoSim::resetResourceBroker();
  nQoSim::resetRouting();
  figures.live = nQoSim::liveAllocations() - base;
  return figures.print();
}

}  // namespace nQoHost
