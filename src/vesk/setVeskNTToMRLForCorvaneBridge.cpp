#include "vesk/setVeskNTToMRLForCorvaneBridge.h"

#include "bus/iDeviceNode.h"
#include "bus/iDeviceTree.h"
#include "frame/statusCodes.h"
#include "frame/tPalDeviceTreeLock.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

namespace {

constexpr char kFile[] = "tTavikBus";
constexpr uint32_t kVeskCode = 0x7665736B;  // "vesk"
constexpr uint32_t kPciCode = 0x20706369;   // " pci"
constexpr uint32_t kBridgeVendor = 0x12D8;
constexpr uint32_t kBridgeControl = 0x4F0;
constexpr uint32_t kMostBridgeControlReads = 11;
constexpr uint32_t kReadFlags = 0xC0000000;
constexpr uint32_t kWriteFlags = 0x40000000;

bool identified(uint32_t identification, uint32_t expected, uint32_t minimumRevision) {
  return (identification & 0xF) >= minimumRevision &&
         (identification & ~uint32_t{0x000F000F}) == expected;
}

// The first node whose text attributes 1 and 3 both read " pci". A node that
// lacks an attribute does not match.
iDeviceNode* findBridge(const tDeviceNodeList& list) {
  for (uint32_t at = 0; at < list.count; ++at) {
    int scratch = 0;
    iDeviceNode* node = list.nodes[at];
    if (node->getFourCharacterCode(1, &scratch) == kPciCode &&
        node->getFourCharacterCode(3, &scratch) == kPciCode && scratch >= 0)
      return node;
  }
  return nullptr;
}

bool behindVendorBridge(const tDeviceNodeList& list) {
  iDeviceNode* bridge = list.failure == 0 ? findBridge(list) : nullptr;
  int scratch = 0;
  return bridge != nullptr && bridge->getNumber(1, &scratch) == kBridgeVendor && scratch >= 0;
}

// Waits (by reading) for the upper half of 0x4F0 to clear, then writes back
// the last value read with bit 13 set and bit 12 clear.
void setBridgeControl(iBus* bus, uint32_t window, nQoMDBG100::tStatus2& status) {
  uint32_t value = 0;
  for (uint32_t reads = 0; reads < kMostBridgeControlReads; ++reads) {
    value = bus->read32(window, kBridgeControl, kReadFlags, &status.code);
    if (status.isFatal()) return;
    if ((value >> 16) == 0) break;
  }
  bus->write32(window, kBridgeControl, (value | 0x2000) & ~uint32_t{0x1000}, kWriteFlags,
               &status.code);
}

// Under the device-tree lock: finds the bridge among the device's nodes.
void adjustBehindBridge(iBus* bus, uint32_t window, iDevice* device, nQoMDBG100::tStatus2& status) {
  nQoUdR100::nQoKABBO_1_0::tPalDeviceTreeLock lock;
  iDeviceTree* tree = iDeviceTree::getDeviceTree();
  if (tree == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kFile, 248});
    return;
  }
  tDeviceNodeList* list = tree->getNodeList(0, 0, device, &status.code);
  if (list == nullptr) return;
  if (status.isNotFatal() && behindVendorBridge(*list)) setBridgeControl(bus, window, status);
  tree->freeNodeList(list);
}

}  // namespace

void _setVeskNTToMRLForCorvaneBridge(uint32_t expectedIdentifier, uint32_t minimumRevision,
                                     iBus* bus, iDevice* device, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (bus == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kNoDeviceBus, {kFile, 221});
    return;
  }
  uint32_t size = sizeof(iBus::tWindowLocation);
  iBus::tWindowLocation location{};
  bus->findWindow(kVeskCode, &size, &location, &status.code);
  if (status.isFatal()) return;
  uint32_t window =
      bus->openWindow(1, location.space, location.offset, location.length, &status.code);
  if (window == 0) return;
  if (status.isNotFatal()) {
    const uint32_t identification = bus->read32(window, kDMAVESK_CSIGR, kReadFlags, &status.code);
    if (status.isNotFatal() && identified(identification, expectedIdentifier, minimumRevision))
      adjustBehindBridge(bus, window, device, status);
  }
  bus->closeWindow(&window);
}

}  // namespace nQoUdP100
