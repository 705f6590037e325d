// The GUIDs of the devices that the device tree reports below the board,
// kept up to date by node listeners for the two child classes " lum" and
// "lumz", and handed to the driver's control codes 35 (count) and 36 (write
// all). Count copies the live list; write all writes that copy. A node is a
// child when its id is in the id list of either class's query below the
// board; its GUID is bytes 8-23 of its attribute 18756. The live list is
// read and changed only under the list's lock: a lock that refuses is
// reported and the list is left as it was.
//
//   tChildDeviceGUIDList children(boardNode, status);   // -50150 without a tree
//   uint32_t n = children.count(status);
//   children.writeAll(out, status);                      // n GUIDs, 16 bytes each
#pragma once

#include <cstddef>
#include <cstdint>

#include "bus/iDeviceNode.h"
#include "bus/iDeviceTree.h"
#include "frame/tGrowableArray.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "orb/iExternalOutputStream.h"
#include "orb/tGUID.h"
#include "sync/iSync.h"

namespace nQoUdR100 {

class tChildDeviceGUIDList : public tModuleObject, public iDeviceNodeObserver {
 public:
  static constexpr uint32_t kFirstClass = 0x206C756D;   // " lum"
  static constexpr uint32_t kSecondClass = 0x6C756D7A;  // "lumz"
  static constexpr uint32_t kGUIDAttribute = 18756;
  static constexpr uint32_t kGUIDOffset = 8;
  static constexpr uint32_t kIdListAttribute = 4;
  static constexpr uint32_t kListenerCount = 4;

  tChildDeviceGUIDList(iDeviceNode* board, nQoMDBG100::tStatus2& status);
  // Unregisters the listeners, closes the lock, releases the queries.
  ~tChildDeviceGUIDList() override;
  tChildDeviceGUIDList(const tChildDeviceGUIDList&) = delete;
  tChildDeviceGUIDList& operator=(const tChildDeviceGUIDList&) = delete;

  // True unless the status holds an error; a node that is not below the
  // board changes nothing.
  bool childArrived(iDeviceNode* node, nQoMDBG100::tStatus2& status);
  // A GUID not in the list changes nothing.
  void childRemoved(iDeviceNode* node, nQoMDBG100::tStatus2& status);
  uint32_t count(nQoMDBG100::tStatus2& status);
  void writeAll(nQoORB100::iExternalOutputStream& out, nQoMDBG100::tStatus2& status);

  // Whether the id is in the id list of the first class's query below the
  // parent, or else of the second's; false at once on an error, and false
  // with -50004 when there is no device tree.
  bool isChildDevice(iDeviceNode* parent, uint64_t id, nQoMDBG100::tStatus2& status);
  // The node's GUID: bytes 8-23 of its attribute 18756. A null node: -50004;
  // no attribute or one under 24 bytes: -50104 and the GUID unchanged.
  static void getDeviceGUID(iDeviceNode* node, nQoORB100::tGUID& guid,
                            nQoMDBG100::tStatus2& status);
  // Hands the node to each registered listener record in order, stopping
  // after the first that leaves an error.
  void notifyListeners(iDeviceNode* node, nQoMDBG100::tStatus2& status);
  // The same over any records.
  static void notifyListeners(tDeviceNodeListenerRecord* const* records, std::size_t count,
                              iDeviceNode* node, nQoMDBG100::tStatus2& status);

  bool nodeArrived(iDeviceNode* node, int* status) override;
  void nodeRemoved(iDeviceNode* node, int* status) override;

 private:
  static bool listed(iDeviceTree* tree, uint32_t query, iDeviceNode* parent, uint64_t id,
                     nQoMDBG100::tStatus2& status);
  void registerListeners(nQoMDBG100::tStatus2& status);

  tGrowableArray<nQoORB100::tGUID> _live;
  tGrowableArray<nQoORB100::tGUID> _reported;
  iDeviceNode* _board;
  iDeviceTree* _tree = nullptr;
  uint32_t _firstQuery = 0;
  uint32_t _secondQuery = 0;
  iSync* _lock = nullptr;
  tDeviceNodeListenerRecord _records[kListenerCount] = {};
  tGrowableArray<tDeviceNodeListenerRecord*> _registered;
};

}  // namespace nQoUdR100
