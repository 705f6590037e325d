// The host program: loads the module through its entries, reports what it
// registered and the simulated board it finds, and unloads it again. Exits
// non-zero on a failure, or when a class or an allocation outlives the unload.
//
//   udhost            the simulated board is a "UD-A68"
//   udhost UD-A37R    ... or the model named
#include <cstdio>

#include "device/tCapabilityTable.h"
#include "frame/moduleEntry.h"
#include "frame/version.h"
#include "orb/tClassImplementation.h"
#include "pal/tSSVersion.h"
#include "sim/simAllocator.h"
#include "sim/simDevices.h"
#include "sim/simModule.h"
#include "sim/tSimDeviceNode.h"
#include "sim/tSimListenerDeviceTree.h"

namespace {

int load() {
  const int entry = nQoPAL100_ckalcbInitModule(0, 0);
  if (entry != 0) return entry;
  return nQoSim::deliverModuleEvent(0);
}

constexpr uint32_t kBoardHandle = 1;
constexpr uint32_t kSimulatedTag = 0x2073696D;  // " sim"

// The board's node carries the model's product id as attribute 2 and the
// simulated tag as its four-character reading. Returns the status code.
int findBoard(const char* model, nQoSim::tSimDeviceNode& node) {
  nQoMDBG100::tStatus2 status;
  const nQoUdR100::tProductDescriptor* named =
      nQoUdR100::tCapabilityTable::findByName(model, status);
  if (named == nullptr) return status.code;
  node.setNumber(2, named->productId);
  node.setFourCharacterCode(2, kSimulatedTag);
  const nQoUdR100::tProductDescriptor* found =
      nQoUdR100::tCapabilityTable::findByDeviceHandle(kBoardHandle, status);
  if (found == nullptr) return status.code < 0 ? status.code : -1;
  std::printf("board: %s (0x%X, simulated)\n", found->name, found->productId);
  return 0;
}

int unload() {
  const int event = nQoSim::deliverModuleEvent(1);
  nQoPAL100_ckalcbCleanupModule();
  return event;
}

}  // namespace

int main(int argc, char** argv) {
  const int64_t allocationsBefore = nQoSim::liveAllocations();
  nQoSim::tSimListenerDeviceTree tree;
  nQoSim::tSimDeviceNode boardNode;
  tree.setNode(kBoardHandle, &boardNode);
  nQoSim::setDeviceTree(&tree);

  const int loaded = load();
  std::printf("load: %d\n", loaded);

  char version[tSSVersion::kTextSize];
  tSSVersion(nQoUdR100::kCurrentVersionWord).toString(version);
  std::printf("version: %s\n", version);

  const std::size_t classes = nQoORB100::tClassRegistry::count();
  std::printf("classes: %zu\n", classes);
  for (std::size_t i = 0; i < classes; ++i)
    std::printf("%s\n", nQoORB100::tClassRegistry::nameAt(i));

  const int board = findBoard(argc > 1 ? argv[1] : "UD-A68", boardNode);
  if (board != 0) std::printf("board: %d\n", board);

  const int unloaded = unload();
  std::printf("unload: %d\n", unloaded);

  const std::size_t classesLeft = nQoORB100::tClassRegistry::count();
  const int64_t allocationsLeft = nQoSim::liveAllocations() - allocationsBefore;
  if (classesLeft != 0) std::printf("left after unload: %zu classes\n", classesLeft);
  if (allocationsLeft != 0)
    std::printf("left after unload: %lld allocations\n", (long long)allocationsLeft);

  nQoSim::setDeviceTree(nullptr);
  const bool failed =
      loaded < 0 || board != 0 || unloaded < 0 || classesLeft != 0 || allocationsLeft != 0;
  return failed ? 1 : 0;
}
