// The device-information record that the driver fills once per board and hands
// through the board object to every primitive.
//
//   nQoUdP100::tDeviceInfo info;                     // handle 0xFFFFFFFF, not simulated
//   info.initialize(&guid, handle, node, descriptor, status);
#pragma once

#include <cstdint>

#include "bus/iDeviceNode.h"
#include "frame/tProductDescriptor.h"
#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"

namespace nQoUdP100 {

struct tDeviceInfo {
  // Attribute 2 of a simulated board's node: the characters " sim".
  static constexpr uint32_t kSimulatedTag = 0x2073696D;
  static constexpr uint32_t kNoDeviceHandle = 0xFFFFFFFF;

  tDeviceInfo() = default;
  ~tDeviceInfo() = default;

  // Nothing when the status holds an error. Otherwise stores the identity, the
  // handle, the node and the descriptor, clears the reserved word and sets
  // simulated when the node's attribute 2 is kSimulatedTag (a failed query
  // lands in the status).
  void initialize(const nQoORB100::tGUID* driverIdentity, uint32_t handle, iDeviceNode* node,
                  const nQoUdR100::tProductDescriptor* capabilities, nQoMDBG100::tStatus2& status);

  // The driver's device identity.
  const nQoORB100::tGUID* identity = nullptr;
  uint32_t deviceHandle = kNoDeviceHandle;
  // The board's node in the device tree.
  iDeviceNode* deviceNode = nullptr;
  uint32_t simulated = 0;
  // The board's capability descriptor; may be null.
  const nQoUdR100::tProductDescriptor* descriptor = nullptr;
  uint32_t reserved = 0;
};

}  // namespace nQoUdP100
