// The routing-device node builder of one board variant: builds the node that
// names the variant's topography, binds each terminal group of the variant's
// shared routing-node table to its routable and hands the node to its owner;
// removes it again; keeps the shared table unpacked while any node of the
// variant exists.
//
//   iRoutableResource* groups[] = {&tavik, &ai, &ao, &pll, &counters};   // 68-pin
//   tRoutingDeviceNode* node = nRIVOUdSeries::tRoutingNodes::addRoutingDevice(
//       deviceNode, owner, groups, names, status);
//   ...
//   nRIVOUdSeries::tRoutingNodes::removeRoutingDevice(owner, status);
//
// tVariant names the topography class, the packed table, the node layout and
// whether the board has the 37-pin connector (which selects the subsystem
// mask table).
#pragma once

#include <cstdint>
#include <new>

#include "device/tSharedTable.h"
#include "frame/kernelShims.h"
#include "frame/statusCodes.h"
#include "frame/tModuleObject.h"
#include "frame/tModuleStatic.h"
#include "frame/tStatusSite.h"
#include "mru/routingTables.h"
#include "mru/tRoutingDeviceNode.h"

class iDeviceNode;

namespace nQoUdR100 {

struct tSubsystemBit {
  const char* name;
  uint32_t bit;
};

inline constexpr tSubsystemBit k37PinSubsystems[] = {
    {"AI", 1}, {"AO", 2}, {"CTR0", 4}, {"CTR1", 8}};
inline constexpr tSubsystemBit k68PinSubsystems[] = {{"AI", 1},    {"AO", 2},       {"APFI0", 4},
                                                     {"APFI1", 8}, {"ATRIG", 16},   {"CTR0", 32},
                                                     {"CTR1", 64}, {"PFI8_15", 128}};

template <class tVariant>
class tRoutingNodeModule {
 public:
  using tNode = nQoMRU210::tRoutingDeviceNode;
  using tRoutable = nQoMRU210::iRoutableResource;
  static constexpr uint32_t kAllSubsystems = 0xFFFFFFFF;

  // The static constructor of the module's shared-table record.
  static int construct() {
    return _record.construct(tVariant::kRoutingNodeTable, tSharedTable::kRoutingNodes, nullptr);
  }
  // Null while the module is not loaded.
  static tSharedTable* record() { return _record.get(); }

  // The OR of the bits of the listed names (exact matches; others add
  // nothing); the list ends with null.
  static uint32_t subsystemMask(const char* const* names) {
    uint32_t mask = 0;
    for (; names != nullptr && *names != nullptr; ++names)
      for (const tSubsystemBit& subsystem : subsystems())
        if (strCmp(subsystem.name, *names) == 0) mask |= subsystem.bit;
    return mask;
  }

  // routables: one per terminal group, in group order. The node, or null
  // when a step failed (the node is then freed and the table given back).
  static tNode* addRoutingDevice(iDeviceNode* deviceNode, const void* owner,
                                 tRoutable* const* routables, const char* const* subsystemNames,
                                 nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return nullptr;
    return build(deviceNode, owner, routables, subsystemMask(subsystemNames), status);
  }
  // The same node with every subsystem in its mask.
  static tNode* addRoutingDeviceForAllSubsystems(iDeviceNode* deviceNode, const void* owner,
                                                 tRoutable* const* routables,
                                                 nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return nullptr;
    return build(deviceNode, owner, routables, kAllSubsystems, status);
  }

  static void removeRoutingDevice(const void* owner, nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    tNode* node = nQoMRU210::removeRoutingDeviceNode(owner, status);
    if (node == nullptr) return;
    destroy(node);
    nQoMDBG100::tStatus2 fresh;
    releaseTable(fresh);
    status.assign(fresh);
  }

  static void unclaim(const void* owner, nQoMDBG100::tStatus2& status) {
    nQoMRU210::routableRegistrarForwardA(owner, status);
  }
  static void claim(const void* owner, nQoMDBG100::tStatus2& status) {
    nQoMRU210::routableRegistrarForwardB(owner, status);
  }

 private:
  static constexpr auto& subsystems() {
    if constexpr (tVariant::k37Pin)
      return k37PinSubsystems;
    else
      return k68PinSubsystems;
  }

  static tNode* build(iDeviceNode* deviceNode, const void* owner, tRoutable* const* routables,
                      uint32_t mask, nQoMDBG100::tStatus2& status) {
    void* storage = operator new(sizeof(tNode), kModuleHeap);
    if (storage == nullptr) {
      setCode(status, kOutOfMemory, {"tRoutingNodeModule", 110});
      return nullptr;
    }
    tNode* node = new (storage) tNode(status);
    node->setVersion(nQoMRU210::kTableVersion, status);
    node->setName(tVariant::kTopographyClassName, status);
    node->setOwner(deviceNode, status);
    node->setTerminalCount(tVariant::kNodeLayout.terminalCount, status);
    node->setSubsystemMask(mask, status);
    acquireTable(status);
    const bool acquired = status.isNotFatal();
    const auto* table = static_cast<const uint8_t*>(acquired ? record()->table() : nullptr);
    for (uint32_t g = 0; g < tVariant::kNodeLayout.groupCount && acquired; ++g) {
      const tNodeLayout::tGroup& group = tVariant::kNodeLayout.groups[g];
      node->addTerminalGroup(g, routables == nullptr ? nullptr : routables[g],
                             table + group.byteOffset, group.entryCount, 0, 0, status);
    }
    if (status.isNotFatal()) nQoMRU210::addRoutingDeviceNode(owner, node, status);
    if (status.isNotFatal()) return node;
    destroy(node);
    if (acquired) {
      nQoMDBG100::tStatus2 fresh;
      releaseTable(fresh);
    }
    return nullptr;
  }

  static void destroy(tNode* node) {
    node->~tNode();
    operator delete(static_cast<void*>(node), kModuleHeap);
  }

  static void acquireTable(nQoMDBG100::tStatus2& status) {
    if (tSharedTable* shared = record())
      shared->acquire(status);
    else if (status.isNotFatal())
      setCode(status, kNullPointer, {"tRoutingNodeModule", 150});
  }
  static void releaseTable(nQoMDBG100::tStatus2& status) {
    if (tSharedTable* shared = record()) shared->release(status);
  }

  static inline tModuleStatic<tSharedTable> _record;
};

}  // namespace nQoUdR100
