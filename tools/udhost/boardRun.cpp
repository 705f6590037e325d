#include "boardRun.h"

#include "aiTask.h"
#include "aoTask.h"

#include <cinttypes>
#include <cstdio>
#include <iterator>

#include "device/tCapabilityTable.h"
#include "device/tDriver.h"
#include "device/tUdSeriesDevice.h"
#include "frame/statusCodes.h"
#include "orb/tClassImplementation.h"
#include "primitives/ai/tAIDescription.h"
#include "sim/simAllocator.h"
#include "sim/simDevices.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "sim/simRouting.h"

namespace nQoHost {

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tProductDescriptor;

constexpr const char* kDriverClass = nQoUdR100::tDriver::kClassName;
constexpr uint32_t kAnswerSimulated = 19;
constexpr uint32_t kBringUp = 8;

std::vector<iDevice*> devicesUpTo(uint32_t handle, iDevice* device) {
  std::vector<iDevice*> devices(handle + 1, nullptr);
  devices[handle] = device;
  return devices;
}

template <class T>
T* cast(nQoORB100::tObject* object) {
  if (object == nullptr) return nullptr;
  return static_cast<T*>(object->___CPPKRLDynamicCast(&T::___classID));
}

bool servedBusKind(uint32_t kind) { return kind == 2 || kind == 3 || kind == 7 || kind == 8; }

void printRouting(const char* model, const nQoMRU210::tRoutingDeviceNode* node) {
  if (node == nullptr) return;
  std::printf("routing: %s node=%s mask=0x%X routables=%u\n", model, node->name().c_str(),
              node->subsystemMask(), routablesOf(*node));
}

}  // namespace

tHostBoard::tHostBoard(const tProductDescriptor& record, uint32_t handle, bool simulatedTag)
    : _handle(handle),
      _guid{0x5544000000000000ull + handle, 0x686F7374},
      _board(record.productId, 16,
             simulatedTag ? nQoSim::tSimBoard::kSimulatedTag : nQoSim::tSimBoard::kRealTag),
      _tree(devicesUpTo(handle, &_board.device)),
      _object(nQoORB100::tClassRegistry::createByName(kDriverClass, _created)) {
  _tree.setNode(handle, &_board.node);
  nQoSim::setDeviceTree(&_tree);
  // The host reads neither log; a long task's memory then stays flat.
  _board.windows.setLogging(false);
  _board.bus.setLogging(false);
}

tHostBoard::~tHostBoard() {
  destroyDriver();
  nQoSim::setDeviceTree(nullptr);
}

nQoMRL100::iDriver* tHostBoard::driver() const { return cast<nQoMRL100::iDriver>(_object); }

std::size_t tHostBoard::unbackedPools() const {
  std::size_t unbacked = 0;
  for (const nQoUdR100::tBoardPool* entry :
       cast<nQoUdR100::tDriver>(_object)->resources().registrations())
    if (entry->registered && !entry->backed) ++unbacked;
  return unbacked;
}

std::vector<const void*> tHostBoard::handlerSlots() const {
  const nQoUdP100::tUdSeriesDevice* device = cast<nQoUdR100::tDriver>(_object)->resources().board();
  if (device == nullptr || device->bus() == nullptr || device->bus()->dispatcher() == nullptr)
    return {};
  const nQoUdRLP100::tTavikInterruptDispatcher& dispatcher = *device->bus()->dispatcher();
  std::vector<const void*> slots;
  for (const auto& slot : dispatcher.primaryHandlers) slots.push_back(slot.load());
  for (const auto& slot : dispatcher.secondaryHandlers) slots.push_back(slot.load());
  return slots;
}

bool tHostBoard::idle() const { return cast<nQoUdR100::tDriver>(_object)->isIdle(0, 0, nullptr); }

const void* tHostBoard::owner() const { return cast<nQoUdR100::tDriver>(_object); }

int tHostBoard::initialize() {
  tStatus2 status;
  driver()->initialize(_guid, _handle, status);
  return status.code;
}

int tHostBoard::bringUp() {
  const std::size_t from = nQoSim::brokerRegistrations().size();
  tStatus2 status;
  driver()->control(kBringUp, nullptr, nullptr, status);
  const auto all = nQoSim::brokerRegistrations();
  _pools.clear();
  for (std::size_t i = from; i < all.size(); ++i)
    if (all[i].operation == nQoSim::tBrokerRegistration::kRegister && all[i].code >= 0)
      _pools.push_back({all[i].name, all[i].index});
  return status.code;
}

// 0xC4C4 stands for the high half in attribute 19 over 0xC4C4.
uint32_t tHostBoard::product() {
  int status = 0;
  const uint32_t low = _board.node.getNumber(2, &status);
  if (low != nQoUdR100::tCapabilityTable::kExtendedId) return low;
  return _board.node.getNumber(nQoUdR100::tCapabilityTable::kExtensionAttribute, &status) << 16 |
         low;
}

uint32_t tHostBoard::simulated() {
  nQoSim::tByteParameterBlock out(std::vector<uint8_t>(4, 0));
  tStatus2 status;
  driver()->control(kAnswerSimulated, nullptr, &out, status);
  const auto& written = out.writer().operations();
  return written.empty() ? 0 : static_cast<uint32_t>(written[0].value);
}

const nQoMRU210::tRoutingDeviceNode* tHostBoard::routingNode() const {
  return _object != nullptr ? nQoSim::routingNodeOf(owner()) : nullptr;
}

void tHostBoard::destroyDriver() {
  if (_object == nullptr) return;
  int status = 0;
  nQoORB100::tClassRegistry::find(kDriverClass)->deleteInstance(_object, status);
  _object = nullptr;
}

unsigned routablesOf(const nQoMRU210::tRoutingDeviceNode& node) {
  unsigned routables = 0;
  for (uint32_t g = 0; g < nQoMRU210::tRoutingDeviceNode::kMaxGroups; ++g)
    if (node.group(g).routable != nullptr) ++routables;
  return routables;
}

int expectedBringUp(const tProductDescriptor& record) {
  const uint32_t kind = record.busDescriptor != nullptr ? record.busDescriptor->kind : 0;
  if (!servedBusKind(kind)) return nQoUdR100::kRefused;
  if (record.unsupportedVariant != 0) return nQoUdR100::kNotSupported;
  return 0;
}

bool runBoard(const tProductDescriptor& record, uint32_t handle, const tHostOptions& options) {
  const int64_t liveBefore = nQoSim::liveAllocations();
  bool good = false;
  {
    tHostBoard board(record, handle, options.simulatedTag);
    if (!board.hasDriver()) {
      std::printf("board: %s create=%d\n", record.name, board.created());
    } else {
      const int initialized = board.initialize();
      const uint32_t simulated = board.simulated();
      const int broughtUp = board.bringUp();
      std::printf("board: %s product=0x%08X simulated=%u initialize=%d bring-up=%d pools=%zu\n",
                  record.name, board.product(), simulated, initialized, broughtUp,
                  board.pools().size());
      for (const auto& pool : board.pools())
        std::printf("pool: %s %u\n", pool.name.c_str(), pool.number);
      printRouting(record.name, board.routingNode());
      good = initialized == 0 && broughtUp == expectedBringUp(record);
      if (record.ai != nullptr && broughtUp == 0) {
        const tAIOutcome ai = runAITask(board.sim(), board.guid(), options);
        printAI(record.name, options, ai);
        good = good && ai.good();
      }
      if (record.ao != nullptr && broughtUp == 0) {
        const tAOOutcome ao = runAOTask(board.sim(), board.guid(), *record.ao, options);
        printAO(record.name, options, ao);
        good = good && ao.good(options.updates);
      }
    }
  }
  const int64_t live = nQoSim::liveAllocations() - liveBefore;
  std::printf("down: %s live=%" PRId64 "\n", record.name, live);
  return good && live == 0;
}

}  // namespace nQoHost
