#include "boardRun.h"

#include <cinttypes>
#include <cstdio>
#include <vector>

#include "device/tCapabilityTable.h"
#include "device/tDriver.h"
#include "frame/statusCodes.h"
#include "mru/tRoutingDeviceNode.h"
#include "orb/tClassImplementation.h"
#include "sim/simAllocator.h"
#include "sim/simDevices.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "sim/simRouting.h"
#include "sim/tSimBoard.h"
#include "sim/tSimDeviceTable.h"

namespace nQoHost {

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tProductDescriptor;

constexpr const char* kDriverClass = nQoUdR100::tDriver::kClassName;
constexpr uint32_t kAnswerSimulated = 19;
constexpr uint32_t kBringUp = 8;

// The driver object made by class name, destroyed by its class.
class tDriverObject {
 public:
  tDriverObject() : _object(nQoORB100::tClassRegistry::createByName(kDriverClass, _created)) {}
  ~tDriverObject() { destroy(); }
  tDriverObject(const tDriverObject&) = delete;
  tDriverObject& operator=(const tDriverObject&) = delete;

  int created() const { return _created; }
  nQoMRL100::iDriver* driver() const { return cast<nQoMRL100::iDriver>(); }
  // The routing owner the driver registers its node under.
  const void* owner() const { return cast<nQoUdR100::tDriver>(); }
  void destroy() {
    if (_object == nullptr) return;
    int status = 0;
    nQoORB100::tClassRegistry::find(kDriverClass)->deleteInstance(_object, status);
    _object = nullptr;
  }

 private:
  template <class T>
  T* cast() const {
    if (_object == nullptr) return nullptr;
    return static_cast<T*>(_object->___CPPKRLDynamicCast(&T::___classID));
  }
  int _created = 0;
  nQoORB100::tObject* _object;
};

// A control code with a one-word answer; the code's status goes to status.
uint32_t answer(nQoMRL100::iDriver& driver, uint32_t code, tStatus2& status) {
  nQoSim::tByteParameterBlock out(std::vector<uint8_t>(4, 0));
  driver.control(code, nullptr, &out, status);
  const auto& written = out.writer().operations();
  return written.empty() ? 0 : static_cast<uint32_t>(written[0].value);
}

// The product id as the node's number accessor gives it: 0xC4C4 stands for
// the high half in attribute 19 over 0xC4C4.
uint32_t productOf(iDeviceNode& node) {
  int status = 0;
  const uint32_t low = node.getNumber(2, &status);
  if (low != nQoUdR100::tCapabilityTable::kExtendedId) return low;
  return node.getNumber(nQoUdR100::tCapabilityTable::kExtensionAttribute, &status) << 16 | low;
}

bool servedBusKind(uint32_t kind) { return kind == 2 || kind == 3 || kind == 7 || kind == 8; }

// The pools the bring-up registered: broker registrations from `from` on.
std::vector<nQoSim::tBrokerRegistration> poolsSince(std::size_t from) {
  std::vector<nQoSim::tBrokerRegistration> pools;
  const auto all = nQoSim::brokerRegistrations();
  for (std::size_t i = from; i < all.size(); ++i)
    if (all[i].operation == nQoSim::tBrokerRegistration::kRegister && all[i].code >= 0)
      pools.push_back(all[i]);
  return pools;
}

void printRouting(const char* model, const void* owner) {
  const nQoMRU210::tRoutingDeviceNode* node = nQoSim::routingNodeOf(owner);
  if (node == nullptr) return;
  unsigned routables = 0;
  for (uint32_t g = 0; g < nQoMRU210::tRoutingDeviceNode::kMaxGroups; ++g)
    if (node->group(g).routable != nullptr) ++routables;
  std::printf("routing: %s node=%s mask=0x%X routables=%u\n", model, node->name().c_str(),
              node->subsystemMask(), routables);
}

}  // namespace

int expectedBringUp(const tProductDescriptor& record) {
  const uint32_t kind = record.busDescriptor != nullptr ? record.busDescriptor->kind : 0;
  if (!servedBusKind(kind)) return nQoUdR100::kRefused;
  if (record.unsupportedVariant != 0) return nQoUdR100::kNotSupported;
  return 0;
}

bool runBoard(const tProductDescriptor& record, uint32_t handle, const tHostOptions& options) {
  const int64_t liveBefore = nQoSim::liveAllocations();
  bool good = true;
  {
    nQoSim::tSimBoard board(
        record.productId, 16,
        options.simulatedTag ? nQoSim::tSimBoard::kSimulatedTag : nQoSim::tSimBoard::kRealTag);
    std::vector<iDevice*> devices(handle + 1, nullptr);
    devices[handle] = &board.device;
    nQoSim::tSimDeviceTable tree(devices);
    tree.setNode(handle, &board.node);
    nQoSim::setDeviceTree(&tree);

    tDriverObject object;
    nQoMRL100::iDriver* driver = object.driver();
    if (driver == nullptr) {
      std::printf("board: %s create=%d\n", record.name, object.created());
      nQoSim::setDeviceTree(nullptr);
      return false;
    }
    const nQoORB100::tGUID guid{0x5544000000000000ull + handle, 0x686F7374};
    tStatus2 initialized;
    driver->initialize(guid, handle, initialized);
    tStatus2 queried;
    const uint32_t product = productOf(board.node);
    const uint32_t simulated = answer(*driver, kAnswerSimulated, queried);
    const std::size_t registrationsBefore = nQoSim::brokerRegistrations().size();
    tStatus2 broughtUp;
    driver->control(kBringUp, nullptr, nullptr, broughtUp);
    const auto pools = poolsSince(registrationsBefore);
    std::printf("board: %s product=0x%08X simulated=%u initialize=%d bring-up=%d pools=%zu\n",
                record.name, product, simulated, initialized.code, broughtUp.code, pools.size());
    for (const auto& pool : pools) std::printf("pool: %s %u\n", pool.name.c_str(), pool.index);
    printRouting(record.name, object.owner());
    good = initialized.code == 0 && broughtUp.code == expectedBringUp(record);
    object.destroy();
    nQoSim::setDeviceTree(nullptr);
  }
  const int64_t live = nQoSim::liveAllocations() - liveBefore;
  std::printf("down: %s live=%" PRId64 "\n", record.name, live);
  return good && live == 0;
}

}  // namespace nQoHost
