#include "device/tUdSeriesDevice.h"

#include <utility>

#include "bus/iDeviceTree.h"
#include "device/boardParts.h"
#include "device/boardProductId.h"
#include "device/tCounterProductTable.h"
#include "frame/kernelShims.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "registers/registerId.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;
using nQoUdR100::kOutOfMemory;
using nQoUdR100::setCode;

namespace {

constexpr char kFile[] = "tUdSeriesDevice";
constexpr nQoUdR100::tStatusSite kNoDeviceTree{kFile, 136};
constexpr nQoUdR100::tStatusSite kNoNode{kFile, 141};
constexpr nQoUdR100::tStatusSite kBusKindRefused{kFile, 173};
constexpr nQoUdR100::tStatusSite kAIUnsupported{kFile, 373};
constexpr nQoUdR100::tStatusSite kAOUnsupported{kFile, 396};
constexpr nQoUdR100::tStatusSite kLineFilterArray{kFile, 437};
constexpr nQoUdR100::tStatusSite kVariantUnsupported{kFile, 476};

// The allocation sites, one per member.
enum : unsigned {
  kBusLine = 180,
  kAILine = 378,
  kAOLine = 401,
  kCDIOLine = 407,
  kFrequencyOutputLine = 413,
  kDIOLine = 420,
  kLineFilterLine = 442,
  kPWM0Line = 451,
  kPWM1Line = 453,
  kAnalogTriggerLine = 456,
  kPLLLine = 468,
};

// The two models with more than 64 analog-input channels that leave static
// AI control register 3 alone.
constexpr const char* kWideModelsWithoutRegister3[] = {"UD-H96", "UD-H128"};

// Builds a member when the status is clean; a failed allocation leaves it
// null and sets kOutOfMemory at the member's own line.
template <class T, class... Args>
void build(T*& member, unsigned line, tStatus2& status, Args&&... arguments) {
  if (status.isFatal()) return;
  member = new T(std::forward<Args>(arguments)...);
  if (member == nullptr) setCode(status, kOutOfMemory, {kFile, line});
}

template <class T>
void destroy(T*& member) {
  delete member;
  member = nullptr;
}

// The analog-input channel count, reached through the front end and the
// converter of the AI part; 0 where a link is missing.
uint32_t aiChannelCount(const tAIDescription* ai) {
  if (ai == nullptr || ai->frontEnd == nullptr || ai->frontEnd->converter == nullptr ||
      ai->frontEnd->converter->channels == nullptr)
    return 0;
  return ai->frontEnd->converter->channels->channelCount;
}

bool isWideModelWithoutRegister3(const char* name) {
  if (name == nullptr) return false;
  for (const char* model : kWideModelsWithoutRegister3)
    if (nQoUdR100::strCmp(name, model) == 0) return true;
  return false;
}

}  // namespace

tUdSeriesDevice::tUdSeriesDevice(uint32_t handle, const nQoORB100::tGUID& identity,
                                 const tDeviceInfo* info, tStatus2& status,
                                 nQoUdR100::tCapabilityTable::tRecords records)
    : tTavikBusDescription{}, _identity(identity), _info(info) {
  if (status.isFatal() || !findRecord(handle, records, status)) return;
  int noDevice = 0;
  iDevice* device = iDeviceTree::getDeviceTree()->findDevice(handle, &noDevice);
  if (_record->device != nullptr) dma = _record->device->dma;
  build(_bus, kBusLine, status, device, *this, _identity, status, 1);
  if (status.isFatal()) return;
  setStaticAIControlStart(status);
  if (_record->calibration != nullptr)
    tUdSeriesCalDeviceFunctions::createCalibrationObjects(
        _record->calibration, _bus->map(), _bus->bus(), _calibration, readSimulated(), status);
  if (status.isFatal()) return;
  if (_record->ai != nullptr && !unsupportedVariant(kAIUnsupported.line, status)) buildAI(status);
  if (status.isFatal()) return;
  _bus->map()->Clock_and_FOUT.setBits(0x1800, 11, 3, &status);
  _bus->map()->Clock_and_FOUT.flush(&status, 0);
  if (status.isFatal()) return;
  if (_record->ao != nullptr && !unsupportedVariant(kAOUnsupported.line, status)) buildAO(status);
  if (_record->cdio != nullptr)
    build(_cdio, kCDIOLine, status, _record->cdio, _bus->map(), _bus->dispatcher(), &_identity,
          _info, status);
  tStatus2 scratch;
  if (status.isNotFatal() &&
      nQoUdR100::tCounterProductTable::findByProductId(_record->productId, scratch) != nullptr)
    build(_frequencyOutput, kFrequencyOutputLine, status, _bus->map(), _info);
  if (_record->dio != nullptr) {
    build(_dio, kDIOLine, status, *_bus->map(), *_record->dio, status);
    if (status.isNotFatal() && _cdio != nullptr && _cdio->redirector() != nullptr &&
        _dio->getImmedDigPrimitives().size() != 0)
      _cdio->redirector()->setRedirectTarget(_dio->getImmedDigPrimitives()[0]);
  }
  buildLineFilters(status);
  buildAnalogTrigger(status);
  if (_record->hasPLL != 0) build(_pll, kPLLLine, status, _bus->map());
  if (status.isNotFatal() && _record->unsupportedVariant != 0)
    setCode(status, nQoUdR100::kNotSupported, kVariantUnsupported);
}

tUdSeriesDevice::~tUdSeriesDevice() {
  destroy(_pll);
  destroy(_analogTrigger);
  destroy(_pwm0);
  destroy(_pwm1);
  destroy(_ao);
  destroy(_frequencyOutput);
  destroy(_cdio);
  destroy(_dio);
  for (std::size_t i = _lineFilters.size(); i > 0; --i) delete _lineFilters[i - 1];
  _lineFilters.clear();
  destroy(_ai);
  tUdSeriesCalDeviceFunctions::destroyCalibrationObjects(_calibration);
  destroy(_bus);
}

// Steps 2 and 3: the device tree, the node, the record and its bus kind.
bool tUdSeriesDevice::findRecord(uint32_t handle, nQoUdR100::tCapabilityTable::tRecords records,
                                 tStatus2& status) {
  if (iDeviceTree::getDeviceTree() == nullptr) {
    setCode(status, kOutOfMemory, kNoDeviceTree);
    return false;
  }
  _node = nQoUdR100::boardNode(handle);
  if (_node == nullptr) {
    setCode(status, nQoUdR100::kNoDeviceNode, kNoNode);
    return false;
  }
  _record = nQoUdR100::tCapabilityTable::findByDeviceHandle(handle, status, records);
  if (_record == nullptr) return false;
  const uint32_t kind = _record->busDescriptor != nullptr ? _record->busDescriptor->kind : 0;
  if (kind > 8 || ((kServedBusKinds >> kind) & 1) == 0) {
    setCode(status, nQoUdR100::kRefused, kBusKindRefused);
    return false;
  }
  return true;
}

// Registers 0 to 2, with the AO part's second bank 4 to 7, and register 3 on
// boards with more than 64 channels (but two models): soft value set, written
// with force, marked clean.
void tUdSeriesDevice::setStaticAIControlStart(tStatus2& status) {
  nQoUdRLP100::nTavik::tTavik& map = *_bus->map();
  auto start = [&](uint32_t i, uint8_t value) {
    auto& control = map.Static_AI_Control[i];
    control.setRegister(value, &status);
    control.flush(&status, 1);
    map.markClean(nQoUdRLP100::makeRegisterId(control.index(), 0), &status);
  };
  for (uint32_t i = 0; i < 3; ++i) start(i, 0);
  if (_record->ao != nullptr && _record->ao->hasSecondRegister != 0)
    for (uint32_t i = kSecondRegisterBank; i < 8; ++i) start(i, 0);
  if (aiChannelCount(_record->ai) > kWideChannelCount &&
      !isWideModelWithoutRegister3(_record->name))
    start(3, 1);
}

void tUdSeriesDevice::buildAI(tStatus2& status) {
  tAIBoardResources resources;
  resources.bus = _bus->bus();
  resources.map = _bus->map();
  resources.helper = _bus->helper();
  resources.dispatcher = _bus->dispatcher();
  resources.deviceInfo = _info;
  resources.channels = _bus->channels();
  resources.channelCount = static_cast<uint32_t>(_bus->channelCount());
  build(_ai, kAILine, status, _record->ai, resources, status);
}

void tUdSeriesDevice::buildAO(tStatus2& status) {
  tAOResources resources;
  resources.map = _bus->map();
  resources.helper = _bus->helper();
  resources.dispatcher = _bus->dispatcher();
  resources.device = &_identity;
  build(_ao, kAOLine, status, _record->ao, resources, status);
  // The AO timing supervisor reads the simulated flag through its primitive.
  if (_ao != nullptr && _ao->timingController() != nullptr)
    _ao->timingController()->setDeviceInfo(_info);
}

void tUdSeriesDevice::buildLineFilters(tStatus2& status) {
  const tLineFilterList* list = _record->lineFilters;
  if (status.isFatal() || list == nullptr || list->count == 0) return;
  if (!_lineFilters.reserve(list->count)) {
    _allocationFailed = true;
    setCode(status, kOutOfMemory, kLineFilterArray);
    return;
  }
  for (uint32_t i = 0; i < list->count && status.isNotFatal(); ++i) {
    tPCITavikLineFilterPrimitive* filter = nullptr;
    build(filter, kLineFilterLine, status, list->filters[i], _bus->map(), status);
    if (filter != nullptr) _lineFilters.append(filter);
  }
}

void tUdSeriesDevice::buildAnalogTrigger(tStatus2& status) {
  if (_record->ai == nullptr || _record->ai->trigger == nullptr) return;
  build(_pwm0, kPWM0Line, status, _bus->map(), 0u, status);
  build(_pwm1, kPWM1Line, status, _bus->map(), 1u, status);
  build(_analogTrigger, kAnalogTriggerLine, status, _pwm1, _pwm0, *_record->ai->trigger,
        _bus->map(), status);
}

// Attribute 2 read as a four-character code: " sim" on a simulated board.
uint32_t tUdSeriesDevice::readSimulated() const {
  int scratch = 0;
  return _node->getFourCharacterCode(nQoUdR100::kProductIdAttribute, &scratch) ==
                 tDeviceInfo::kSimulatedTag
             ? 1
             : 0;
}

bool tUdSeriesDevice::unsupportedVariant(unsigned line, tStatus2& status) {
  if (_record->unsupportedVariant == 0) return false;
  setCode(status, nQoUdR100::kNotSupported, {kFile, line});
  return true;
}

}  // namespace nQoUdP100
