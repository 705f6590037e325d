// The device-tree singleton that tests install.
#include <atomic>

#include "bus/iDeviceTree.h"
#include "sim/simDevices.h"

namespace {
std::atomic<iDeviceTree*> gTree{nullptr};
}

namespace nQoSim {
void setDeviceTree(iDeviceTree* tree) { gTree = tree; }
}  // namespace nQoSim

iDeviceTree* iDeviceTree::getDeviceTree() { return gTree.load(); }
