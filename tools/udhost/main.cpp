// The host program: plays the platform around the module. Loads it through
// its entries, reports what it registered, brings up one simulated board per
// shipped capability record (or the model named) and runs its tasks, then
// unloads. Exits 0 when every board behaved and nothing outlived the unload,
// 1 otherwise, 2 on a bad command line (nothing loaded).
//
//   udhost                       every shipped record, in table order
//   udhost --model UD-A68 --scans 10
#include <cstdio>

#include "allocationSweep.h"
#include "boardRun.h"
#include "device/tCapabilityTable.h"
#include "frame/moduleEntry.h"
#include "frame/version.h"
#include "hostOptions.h"
#include "orb/tClassImplementation.h"
#include "pal/tSSVersion.h"
#include "sim/simAllocator.h"
#include "sim/simModule.h"

namespace {

int load() {
  const int entry = nQoPAL100_ckalcbInitModule(0, 0);
  if (entry != 0) return entry;
  return nQoSim::deliverModuleEvent(0);
}

int unload() {
  const int event = nQoSim::deliverModuleEvent(1);
  nQoPAL100_ckalcbCleanupModule();
  return event;
}

// Every shipped record in table order, or the one named; the handle of a
// board is its record's index.
bool runBoards(const nQoHost::tHostOptions& options) {
  bool good = true;
  const nQoUdR100::tProductDescriptor* const* records = nQoUdR100::tCapabilityTable::table();
  for (std::size_t i = 0; i < nQoUdR100::tCapabilityTable::count(); ++i) {
    if (!options.model.empty() && options.model != records[i]->name) continue;
    good = nQoHost::runBoard(*records[i], static_cast<uint32_t>(i), options) && good;
  }
  return good;
}

}  // namespace

int main(int argc, char** argv) {
  nQoHost::tHostOptions options;
  std::string error;
  if (!nQoHost::parseHostOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "%s\n%s", error.c_str(), nQoHost::kHostUsage);
    return 2;
  }
  if (options.help) {
    std::printf("%s", nQoHost::kHostUsage);
    return 0;
  }

  // The load sweep loads and unloads the module itself, so it comes first.
  const bool loadSwept = !options.sweep || nQoHost::sweepLoad(load, unload);
  const int64_t allocationsBefore = nQoSim::liveAllocations();
  const int loaded = load();
  std::printf("load: %d\n", loaded);

  char version[tSSVersion::kTextSize];
  tSSVersion(nQoUdR100::kCurrentVersionWord).toString(version);
  std::printf("version: %s\n", version);

  const std::size_t classes = nQoORB100::tClassRegistry::count();
  std::printf("classes: %zu\n", classes);
  for (std::size_t i = 0; i < classes; ++i)
    std::printf("%s\n", nQoORB100::tClassRegistry::nameAt(i));

  const bool boards = loaded >= 0 && runBoards(options);
  const bool bringUpSwept = !options.sweep || (loaded >= 0 && nQoHost::sweepBringUp());
  const bool aiSwept = !options.sweep || (loaded >= 0 && nQoHost::sweepAI(options));

  const int unloaded = unload();
  std::printf("unload: %d\n", unloaded);

  const std::size_t classesLeft = nQoORB100::tClassRegistry::count();
  const int64_t allocationsLeft = nQoSim::liveAllocations() - allocationsBefore;
  if (classesLeft != 0) std::fprintf(stderr, "left after unload: %zu classes\n", classesLeft);
  if (allocationsLeft != 0)
    std::fprintf(stderr, "left after unload: %lld allocations\n", (long long)allocationsLeft);

  const bool failed = loaded < 0 || !boards || unloaded < 0 || classesLeft != 0 ||
                      allocationsLeft != 0 || !bringUpSwept || !aiSwept || !loadSwept;
  return failed ? 1 : 0;
}
