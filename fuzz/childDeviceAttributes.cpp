// Child-device attributes from outside. The whole input is one node's
// attribute 18756; its first 16 bytes also place up to 16 nodes (of the first
// class, the second or neither; below the board or beside it; with a GUID
// attribute of 0 to 30 bytes or none), which then arrive. A GUID is taken
// only from a whole attribute; a node is a child only below the board and of
// a child class; every id list and buffer is freed; the only codes are 0 and
// -50104; nothing leaks.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "device/tChildDeviceGUIDList.h"
#include "mdbg/tStatus2.h"
#include "sim/simAllocator.h"
#include "sim/simDevices.h"
#include "sim/tSimDeviceNode.h"
#include "sim/tSimListenerDeviceTree.h"
#include "support/tFreshSimulation.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tChildDeviceGUIDList;

constexpr size_t kNodes = 16;
constexpr uint32_t kGUIDBytes = 24;

void check(bool condition) {
  if (!condition) std::abort();
}

void readWholeInput(const uint8_t* data, size_t size) {
  nQoSim::tSimDeviceNode node;
  node.setBuffer(tChildDeviceGUIDList::kGUIDAttribute, std::vector<uint8_t>(data, data + size));
  const nQoORB100::tGUID before{1, 2};
  nQoORB100::tGUID guid = before;
  tStatus2 status;
  tChildDeviceGUIDList::getDeviceGUID(&node, guid, status);
  if (size < kGUIDBytes) {
    check(status.code == -50104 && guid == before);
  } else {
    nQoORB100::tGUID expected;
    std::memcpy(&expected, data + 8, sizeof expected);
    check(status.code == 0 && guid == expected);
  }
  check(node.liveBuffers() == 0);
}

void placeAndArrive(const uint8_t* data, size_t size) {
  nQoSim::tSimListenerDeviceTree tree;
  nQoSim::setDeviceTree(&tree);
  nQoSim::tSimDeviceNode board;
  std::vector<nQoSim::tSimDeviceNode> nodes(kNodes);
  tree.addNode(nullptr, &board, 0);
  {
    tStatus2 status;
    tChildDeviceGUIDList children(&board, status);
    check(status.code == 0);
    uint32_t accepted = 0;
    for (size_t n = 0; n < size && n < kNodes; ++n) {
      const uint8_t b = data[n];
      const uint32_t classCode = (b & 3) == 1   ? tChildDeviceGUIDList::kFirstClass
                                 : (b & 3) == 2 ? tChildDeviceGUIDList::kSecondClass
                                                : 0;
      const bool belowBoard = (b & 4) != 0;
      const size_t length = (b >> 4) * 2;
      tree.addNode(belowBoard ? &board : nullptr, &nodes[n], classCode);
      if ((b & 8) != 0)
        nodes[n].setBuffer(tChildDeviceGUIDList::kGUIDAttribute, std::vector<uint8_t>(length, b));
      tStatus2 arrival;
      children.childArrived(&nodes[n], arrival);
      const bool child = classCode != 0 && belowBoard;
      const bool whole = (b & 8) != 0 && length >= kGUIDBytes;
      check(arrival.code == (child && !whole ? -50104 : 0));
      if (child && whole) ++accepted;
      check(nodes[n].liveBuffers() == 0);
    }
    check(children.count(status) == accepted && status.code == 0);
  }
  check(tree.liveIdLists() == 0);
  nQoSim::setDeviceTree(nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  const int64_t live = nQoSim::liveAllocations();
  readWholeInput(data, size);
  placeAndArrive(data, size);
  check(nQoSim::liveAllocations() == live);
  return 0;
}
