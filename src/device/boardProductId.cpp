#include "device/boardProductId.h"

#include "bus/iDeviceNode.h"
#include "bus/iDeviceTree.h"

namespace nQoUdR100 {

iDeviceNode* boardNode(uint32_t handle) {
  iDeviceTree* tree = iDeviceTree::getDeviceTree();
  if (tree == nullptr) return nullptr;
  int scratch = 0;
  return tree->findNode(handle, &scratch);
}

bool readNodeNumber(iDeviceNode& node, uint32_t attribute, uint32_t& value) {
  int scratch = 0;
  value = node.getNumber(attribute, &scratch);
  return scratch >= 0;
}

}  // namespace nQoUdR100
