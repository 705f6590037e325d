// The host program: loads the module through its entries, reports what it
// registered, and unloads it again. Exits non-zero on a failure, or when a
// class or an allocation outlives the unload.
#include <cstdio>

#include "frame/moduleEntry.h"
#include "frame/version.h"
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

}  // namespace

int main() {
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

  const int unloaded = unload();
  std::printf("unload: %d\n", unloaded);

  const std::size_t classesLeft = nQoORB100::tClassRegistry::count();
  const int64_t allocationsLeft = nQoSim::liveAllocations() - allocationsBefore;
  if (classesLeft != 0) std::printf("left after unload: %zu classes\n", classesLeft);
  if (allocationsLeft != 0)
    std::printf("left after unload: %lld allocations\n", (long long)allocationsLeft);

  const bool failed = loaded < 0 || unloaded < 0 || classesLeft != 0 || allocationsLeft != 0;
  return failed ? 1 : 0;
}
