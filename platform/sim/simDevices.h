// Test controls of the device tree: which tree getDeviceTree answers.
#pragma once

class iDeviceTree;

namespace nQoSim {

// getDeviceTree answers this tree (null: the platform has none).
void setDeviceTree(iDeviceTree* tree);

}  // namespace nQoSim
