// The product identifier that the device tree reports for a board handle:
// node attribute 2, read as a number. Attributes are read on a scratch
// status, so a node without one leaves the caller's status alone.
#pragma once

#include <cstdint>

class iDeviceNode;

namespace nQoUdR100 {

inline constexpr uint32_t kProductIdAttribute = 2;

// The node of the handle; null without a device tree or node.
iDeviceNode* boardNode(uint32_t handle);
// False when the node lacks the attribute.
bool readNodeNumber(iDeviceNode& node, uint32_t attribute, uint32_t& value);

}  // namespace nQoUdR100
