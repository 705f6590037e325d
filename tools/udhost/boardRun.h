// One simulated board brought up as the platform does it: a device-tree node
// naming the record's product, the driver created by class name, initialize
// and code 8, then the pools it registered and its routing node; the driver
// is destroyed by its class.
//
//   tHostBoard board(record, index, false);
//   board.initialize();
//   int code = board.bringUp();          // board.pools(), board.routingNode()
//   board.destroyDriver();
//
// runBoard does that for one record and prints the board's lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/tProductDescriptor.h"
#include "hostOptions.h"
#include "mrl/iDriver.h"
#include "mru/tRoutingDeviceNode.h"
#include "sim/tSimBoard.h"
#include "sim/tSimDeviceTable.h"

namespace nQoHost {

// A pool as the broker registered it.
struct tPoolName {
  std::string name;
  uint32_t number;
  bool operator==(const tPoolName&) const = default;
};

class tHostBoard {
 public:
  tHostBoard(const nQoUdR100::tProductDescriptor& record, uint32_t handle, bool simulatedTag);
  ~tHostBoard();
  tHostBoard(const tHostBoard&) = delete;
  tHostBoard& operator=(const tHostBoard&) = delete;

  // The class registry's code when no driver was made.
  int created() const { return _created; }
  bool hasDriver() const { return _object != nullptr; }
  int initialize();
  int bringUp();
  // The product id as the node's number accessor gives it, and the driver's
  // answer whether the board is simulated.
  uint32_t product();
  uint32_t simulated();
  const std::vector<tPoolName>& pools() const { return _pools; }
  // Registered pools built over a missing primitive.
  std::size_t unbackedPools() const;
  const nQoMRU210::tRoutingDeviceNode* routingNode() const;
  // The board dispatcher's handler slots, primary then secondary; empty
  // when the board has no dispatcher.
  std::vector<const void*> handlerSlots() const;
  // The driver's answer whether no call runs and no pool is held.
  bool idle() const;
  void destroyDriver();
  nQoSim::tSimBoard& sim() { return _board; }
  const nQoORB100::tGUID& guid() const { return _guid; }
  // The routing owner the driver registers its node under.
  const void* owner() const;

 private:
  nQoMRL100::iDriver* driver() const;

  uint32_t _handle;
  nQoORB100::tGUID _guid;
  nQoSim::tSimBoard _board;
  nQoSim::tSimDeviceTable _tree;
  int _created = 0;
  nQoORB100::tObject* _object;
  std::vector<tPoolName> _pools;
};

// The groups of a routing node that carry a routable.
unsigned routablesOf(const nQoMRU210::tRoutingDeviceNode& node);

// The code a record's bring-up answers: -50150 for a bus kind the driver does
// not serve, -50256 for an unsupported variant, else 0.
int expectedBringUp(const nQoUdR100::tProductDescriptor& record);

// Brings the record's board up, prints its lines and takes it down; answers
// whether it behaved (came up or was refused with its record's code, nothing
// left allocated).
bool runBoard(const nQoUdR100::tProductDescriptor& record, uint32_t handle,
              const tHostOptions& options);

}  // namespace nQoHost
