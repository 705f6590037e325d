// The routing-device node through which the routing library routes signals on
// one board: the variant's topography class name, its terminal-number count,
// the board's subsystem mask and up to six terminal groups, each a run of
// 36-byte entries of an unpacked routing-node table bound to the routable
// that executes them.
//
//   auto* node = new (storage) nQoMRU210::tRoutingDeviceNode(status);
//   node->setVersion(nQoMRU210::kTableVersion, status);
//   node->addTerminalGroup(0, &routable, table, 70, 0, 0, status);
//   nQoMRU210::addRoutingDeviceNode(owner, node, status);
//
// Every operation is logged (sim/simRouting.h) and does nothing when the
// status already holds an error.
#pragma once

#include <cstdint>
#include <string>

#include "mdbg/tStatus2.h"
#include "mru/iRoutableResource.h"

class iDeviceNode;

namespace nQoMRU210 {

class tRoutingDeviceNode {
 public:
  static constexpr uint32_t kMaxGroups = 6;
  static constexpr uint32_t kEntryBytes = 36;

  struct tGroup {
    iRoutableResource* routable;
    const void* entries;  // null: the group was not added
    uint32_t entryCount;
  };

  explicit tRoutingDeviceNode(nQoMDBG100::tStatus2& status);
  ~tRoutingDeviceNode();
  tRoutingDeviceNode(const tRoutingDeviceNode&) = delete;
  tRoutingDeviceNode& operator=(const tRoutingDeviceNode&) = delete;

  void setVersion(uint32_t version, nQoMDBG100::tStatus2& status);
  void setName(const char* topographyClassName, nQoMDBG100::tStatus2& status);
  void setOwner(iDeviceNode* owner, nQoMDBG100::tStatus2& status);
  void setTerminalCount(uint32_t count, nQoMDBG100::tStatus2& status);
  void setSubsystemMask(uint32_t mask, nQoMDBG100::tStatus2& status);
  // An index of kMaxGroups or more: -50150.
  void addTerminalGroup(uint32_t index, iRoutableResource* routable, const void* entries,
                        uint32_t entryCount, uint32_t reserved0, uint32_t reserved1,
                        nQoMDBG100::tStatus2& status);

  uint32_t version() const { return _version; }
  const std::string& name() const { return _name; }
  iDeviceNode* owner() const { return _owner; }
  uint32_t terminalCount() const { return _terminalCount; }
  uint32_t subsystemMask() const { return _subsystemMask; }
  const tGroup& group(uint32_t index) const { return _groups[index]; }

 private:
  uint32_t _version = 0;
  std::string _name;
  iDeviceNode* _owner = nullptr;
  uint32_t _terminalCount = 0;
  uint32_t _subsystemMask = 0;
  tGroup _groups[kMaxGroups] = {};
};

// The node registered for an owner (one per owner; a second: -50150).
void addRoutingDeviceNode(const void* owner, tRoutingDeviceNode* node,
                          nQoMDBG100::tStatus2& status);
// Takes the owner's node out and hands it back; null when it has none.
tRoutingDeviceNode* removeRoutingDeviceNode(const void* owner, nQoMDBG100::tStatus2& status);

// The registrar's release and claim of an owner's routing, passed through.
void routableRegistrarForwardA(const void* owner, nQoMDBG100::tStatus2& status);
void routableRegistrarForwardB(const void* owner, nQoMDBG100::tStatus2& status);

}  // namespace nQoMRU210
