#include "device/tDriver.h"

#include <utility>

#include "device/boardProductId.h"
#include "device/tCapabilityTable.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mrl/tGUIDIdentifier.h"
#include "orb/castToClass.h"
#include "reservation/tRefCountingResourcePoolWrapper.h"
#include "reservation/tSingularResourcePool.h"

namespace nQoUdR100 {

namespace {

constexpr char kFile[] = "tDriver";
constexpr uint32_t kAttribute9 = 9;

// The codes that answer one 32-bit value, with the lines of a missing and of
// a too small out block (four bytes are needed).
struct tAnswerRow {
  uint32_t code;
  unsigned missingLine;
  unsigned smallLine;
};
constexpr tAnswerRow kAnswerRows[] = {
    {7, 2583, 2589},  {11, 2560, 2566}, {19, 2695, 2701},
    {28, 2602, 2608}, {32, 2667, 2673}, {35, 3018, 3024},
};

const tAnswerRow* answerRow(uint32_t code) {
  for (const tAnswerRow& row : kAnswerRows)
    if (row.code == code) return &row;
  return nullptr;
}

}  // namespace

// A load-failure pool, and the older one in the chain.
struct tDriver::tLoadFailure : tModuleObject {
  tLoadFailure(const nQoMDBG100::tStatus2& failure, tLoadFailure* older)
      : pool(failure), older(older) {}
  tDriverLoadFailureResourcePool pool;
  tLoadFailure* older;
};

namespace {

// The pool that keeps a removed device reserved, under {GUID, "", 1}.
class tPlaceholderPoolBase
    : public tRefCountingResourcePoolWrapper<tSingularResourcePool<void*>, void*> {
 public:
  explicit tPlaceholderPoolBase(tSyncAtomicU32* holds)
      : tRefCountingResourcePoolWrapper(holds, nullptr) {}
};

}  // namespace

class tPlaceholderPool final : public tPlaceholderPoolBase, public tModuleObject {
 public:
  using tPlaceholderPoolBase::tPlaceholderPoolBase;
  nQoMRL100::tGeneralIdentifier identifier;
};

// One control code and what serves it.
struct tDriver::tCode {
  uint32_t code;
  void (tDriver::*serve)(tBlock* out, tStatus2& status);
};

const tDriver::tCode tDriver::kCodes[] = {
    {1, &tDriver::rebuild},        {2, &tDriver::removal},
    {3, &tDriver::rearrival},      {5, &tDriver::claim},
    {6, &tDriver::unclaim},        {8, &tDriver::bringUp},
    {12, &tDriver::reserveDevice}, {13, &tDriver::releaseDevice},
    {36, &tDriver::writeChildren}, {37, &tDriver::reserveLoadFailure},
};

tDriver::~tDriver() {
  if (!_removed) {
    tStatus2 loadFailure;
    releaseLoadFailure(loadFailure);
    tStatus2 device;
    unregisterDevice(device);
    tearDown();
  } else {
    removePlaceholder();
  }
  // Left by removal, refused for an all-zero GUID or kept by the broker: no
  // registration may outlive the driver whose identifier it points into.
  dropLoadFailuresForGood();
  if (_eventRegistered) {
    int scratch = 0;
    if (iDeviceTree* tree = iDeviceTree::getDeviceTree())
      tree->unregisterNodeListeners(_eventRecords, 1, &scratch);
  }
  delete _children;
}

void* tDriver::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tDriver, nQoMRL100::iDriver>(this, classID);
}

const void* tDriver::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tDriver*>(this)->___CPPKRLDynamicCast(classID);
}

nQoORB100::tClass tDriver::getClass(int& status) const {
  return tClassRegistration<tDriver>::getClass(*this, status);
}

void tDriver::initialize(const nQoORB100::tGUID& identifier, uint32_t deviceHandle,
                         tStatus2& status) {
  if (status.isFatal()) return;
  if (&identifier != &_guid) _guid = identifier;
  _deviceIdentifier.setGUID(_guid);
  _deviceHandle = deviceHandle;
  _broker = nQoMRL100::getResourceBroker(status);
  _node = boardNode(deviceHandle);
  if (_node == nullptr) {
    setCode(status, kNoDeviceNode, {kFile, 317});
    return;
  }
  readNodeNumber(*_node, kProductIdAttribute, _productId);
  int scratch = 0;
  const uint32_t attribute9 = _node->getFourCharacterCode(kAttribute9, &scratch);
  if (scratch >= 0) _attribute9 = attribute9;
  delete _children;
  _children = new (status) tChildDeviceGUIDList(_node, status);
  _descriptor = tCapabilityTable::findByDeviceHandle(deviceHandle, status);
  if (_descriptor == nullptr) {
    setCode(status, kNoDeviceNode, {kFile, 336});
    return;
  }
  if (_descriptor->busDescriptor != nullptr && _descriptor->busDescriptor->kind == kEventBusKind)
    registerDeviceEvent(status);
  _info.initialize(&_guid, deviceHandle, _node, _descriptor, status);
}

void tDriver::registerDeviceEvent(tStatus2& status) {
  iDeviceTree* tree = iDeviceTree::getDeviceTree();
  if (tree == nullptr) return;
  _eventRecord.query = static_cast<uint32_t>(_node->getId());
  tree->registerNodeListeners(_eventRecords, 1, &status.code);
  _eventRegistered = status.isNotFatal();
}

void tDriver::control(uint32_t code, tBlock*, tBlock* out, tStatus2& status) {
  if (status.isFatal()) return;
  ++_calls;
  if (answerRow(code) != nullptr) {
    answer(code, out, status);
  } else if (code == 25 || code == 26) {
    setCode(status, kNotSupported, {kFile, code == 25 ? 2900u : 2986u});
  } else {
    const tCode* row = nullptr;
    for (const tCode& candidate : kCodes)
      if (candidate.code == code) row = &candidate;
    if (row != nullptr)
      (this->*row->serve)(out, status);
    else
      setCode(status, kNotSupported, {kFile, 2998});
  }
  --_calls;
}

bool tDriver::isIdle(uint32_t, uint32_t, const int* code) const {
  if (code != nullptr && *code != 0) {
    tStatus2 local;
    setCode(local, *code, {kFile, 527});
  }
  return _calls.get() == 0 && _holds.get() == 0;
}

void tDriver::answer(uint32_t code, tBlock* out, tStatus2& status) {
  const tAnswerRow& row = *answerRow(code);
  if (out == nullptr) {
    setCode(status, kNullPointer, {kFile, row.missingLine});
    return;
  }
  if (out->getSize() <= 3) {
    setCode(status, kRefused, {kFile, row.smallLine});
    return;
  }
  nQoORB100::iExternalOutputStream* writer = out->getWriter();
  if (writer == nullptr) {
    setCode(status, kNullPointer, {kFile, row.missingLine});
    return;
  }
  switch (code) {
    case 7: writer->writeU32(_deviceHandle, status.code); break;
    case 11:
      writer->writeU32(_productId, status.code);
      if (_productId == 0) setCode(status, kDeviceNotPresent, {kFile, 2572});
      break;
    case 19: writer->writeI32(static_cast<int32_t>(_info.simulated), status.code); break;
    case 28: writer->writeU32(_attribute9, status.code); break;
    case 32: writer->writeU32(_registrationSuppressed, status.code); break;
    default: {  // 35
      const uint32_t count = _children != nullptr ? _children->count(status) : 0;
      writer->writeU32(count, status.code);
    }
  }
}

void tDriver::writeChildren(tBlock* out, tStatus2& status) {
  if (_children == nullptr || out == nullptr || out->getWriter() == nullptr) return;
  _children->writeAll(*out->getWriter(), status);
}

void tDriver::reserveLoadFailure(tBlock*, tStatus2& status) {
  if (_loadFailure != nullptr) _loadFailure->pool.reserve(nullptr, status);
}

// A second bring-up would build a second board over the first: it is
// refused, as is a bring-up of a removed device.
void tDriver::bringUp(tBlock*, tStatus2& status) {
  if (_removed) {
    setCode(status, kDeviceNotPresent, {kFile, 2190});
    return;
  }
  if (_resources.board() != nullptr) {
    setCode(status, kMisuse, {kFile, 2194});
    return;
  }
  createResources(status);
  registerPools(status);
}

void tDriver::rebuild(tBlock*, tStatus2& status) {
  if (_removed) {
    setCode(status, kDeviceNotPresent, {kFile, 2208});
    return;
  }
  if (_loadFailure != nullptr) {
    _loadFailure->pool.reserve(nullptr, status);
    return;
  }
  if (_resources.board() == nullptr) {
    setCode(status, kNullPointer, {kFile, 2255});
    return;
  }
  _registrarClaimed = false;
  unregisterDevice(status);
  if (_info.simulated == 0) {
    tStatus2 dropped;
    _resources.applyPowerupStates(dropped);
  }
  tearDown();
  createResources(status);
  registerPools(status);
}

void tDriver::removal(tBlock*, tStatus2& status) {
  if (_removed) return;
  if (_broker == nullptr) {
    setCode(status, kNullPointer, {kFile, 2326});
    return;
  }
  const nQoMRL100::tGUIDIdentifier device(_guid);
  _broker->reserve(&device, nullptr, status);
  if (status.isFatal()) return;
  if (iUdSeriesRoutableRegistrar* registrar = _routing.registrar()) {
    registrar->claim(this, status);
    if (status.isFatal()) {
      tStatus2 dropped;
      _broker->release(&device, nullptr, dropped);
      return;
    }
  }
  unregisterDevice(status);
  tearDown();
  _removed = true;
  installPlaceholder(status);
}

void tDriver::rearrival(tBlock*, tStatus2& status) {
  if (!_removed) return;
  removePlaceholder();
  _registrarClaimed = false;
  createResources(status);
  registerPools(status);
  _removed = false;
}

void tDriver::claim(tBlock*, tStatus2& status) {
  if (_removed || !_resources.ready()) {
    setCode(status, kDeviceNotPresent, {kFile, 2395});
    return;
  }
  if (_registrarClaimed) return;
  if (_routing.registrar() == nullptr) {
    setCode(status, kNullPointer, {kFile, 2404});
    return;
  }
  _routing.registrar()->claim(this, status);
  if (status.isNotFatal()) _registrarClaimed = true;
}

void tDriver::unclaim(tBlock*, tStatus2& status) {
  if (_removed) {
    setCode(status, kDeviceNotPresent, {kFile, 2424});
    return;
  }
  if (!_registrarClaimed) return;
  if (_routing.registrar() == nullptr) {
    setCode(status, kNullPointer, {kFile, 2433});
    return;
  }
  _routing.registrar()->unclaim(this, status);
  if (status.isNotFatal()) _registrarClaimed = false;
}

void tDriver::reserveDevice(tBlock*, tStatus2& status) {
  if (_removed) {
    setCode(status, kDeviceNotPresent, {kFile, 2622});
    return;
  }
  if (_broker == nullptr) {
    setCode(status, kNullPointer, {kFile, 2627});
    return;
  }
  if (_deviceReserved) return;
  const nQoMRL100::tGUIDIdentifier device(_guid);
  _broker->reserve(&device, nullptr, status);
  if (status.isNotFatal()) _deviceReserved = true;
}

void tDriver::releaseDevice(tBlock*, tStatus2& status) {
  if (_removed) {
    setCode(status, kDeviceNotPresent, {kFile, 2643});
    return;
  }
  if (!_deviceReserved) return;
  if (_broker == nullptr) {
    setCode(status, kNullPointer, {kFile, 2650});
    return;
  }
  const nQoMRL100::tGUIDIdentifier device(_guid);
  tStatus2 local;
  _broker->release(&device, nullptr, local);
  status.assign(local);
  if (status.isNotFatal()) _deviceReserved = false;
}

void tDriver::createResources(tStatus2& status) {
  if (status.isFatal()) return;
  _resources.create(_deviceHandle, _guid, &_info, status);
  if (status.isFatal() || _resources.board() == nullptr) return;
  _productId = _resources.board()->record()->productId;
  _routing.create(*_resources.board(), _resources.counterContainer(), status);
  if (status.isNotFatal())
    _deviceEvents = new (status) tModuleOwned<nQoMRL100::tDeviceEventRegistration>(_deviceHandle);
}

void tDriver::registerPools(tStatus2& status) {
  if (status.isFatal() || _registrationSuppressed != 0 || _resources.board() == nullptr) return;
  if (_deviceEvents != nullptr) _deviceEvents->activate(_guid, status);
  const char* const* groups = _resources.buildTerminalGroups(status);
  _routing.addNode(this, *_resources.board(), groups, _info.simulated != 0, status);
  _resources.registerPools(status);
}

void tDriver::unregisterDevice(tStatus2& status) {
  if (status.isFatal()) return;
  if (deviceGUIDIsZero()) {
    setCode(status, kNoDeviceBus, {kFile, 1842});
    return;
  }
  if (_broker != nullptr) {
    tStatus2 local;
    const nQoMRL100::tGUIDIdentifier device(_guid);
    _broker->unregister(&device, local);
  }
  if (iUdSeriesRoutableRegistrar* registrar = _routing.registrar()) {
    tStatus2 local;
    registrar->removeRoutingDevice(this, local);
  }
  {
    tStatus2 local;
    nQoMRL100::unregisterDeviceGUID(_guid, local);
  }
  _resources.clearDigitalReservers();
}

// The routing objects go before the board whose primitives they route; the
// calls in progress stay counted, the holds of the destroyed pools do not.
void tDriver::tearDown() {
  tStatus2 dropped;
  _routing.destroy(dropped);
  delete _deviceEvents;
  _deviceEvents = nullptr;
  _resources.destroy();
  _holds.set(0);
}

void tDriver::installPlaceholder(tStatus2& status) {
  if (status.isFatal() || _broker == nullptr) return;
  _placeholder = new (status) tPlaceholderPool(&_holds);
  if (_placeholder == nullptr) return;
  _placeholder->identifier.setDeviceGUID(_guid);
  _placeholder->identifier.setString("", status);
  _placeholder->identifier.setIndex(1);
  _broker->registerPool(&_placeholder->identifier, _placeholder, status);
  const nQoMRL100::tGUIDIdentifier device(_guid);
  _broker->reserve(&device, nullptr, status);
}

void tDriver::removePlaceholder() {
  if (_placeholder == nullptr) return;
  if (_broker != nullptr) {
    const nQoMRL100::tGUIDIdentifier device(_guid);
    tStatus2 released;
    _broker->release(&device, nullptr, released);
    tStatus2 unregistered;
    _broker->unregister(&device, unregistered);
  }
  delete _placeholder;
  _placeholder = nullptr;
}

void tDriver::registerLoadFailure(const tStatus2& failure, tStatus2& status) {
  if (status.isFatal() || _broker == nullptr) return;
  // The newer failure replaces the older, so reservations report the latest;
  // the older pool goes only once the newer one is registered.
  auto* newer = new (status) tLoadFailure(failure, _loadFailure);
  if (newer == nullptr) return;
  _broker->registerPool(&_deviceIdentifier, &newer->pool, status);
  if (status.isFatal()) {
    delete newer;
    return;
  }
  _loadFailure = newer;
  dropLoadFailures(&newer->older);
}

void tDriver::releaseLoadFailure(tStatus2& status) {
  if (status.isFatal()) return;
  if (deviceGUIDIsZero()) {
    setCode(status, kNoDeviceBus, {kFile, 3283});
    return;
  }
  dropLoadFailures(&_loadFailure);
}

void tDriver::dropLoadFailures(tLoadFailure** link) {
  while (*link != nullptr) {
    tLoadFailure* entry = *link;
    tStatus2 unregistered;
    if (_broker != nullptr) _broker->unregisterPool(&entry->pool, unregistered);
    if (unregistered.isFatal()) {
      link = &entry->older;  // still held: kept for the next drop
    } else {
      *link = entry->older;
      delete entry;
    }
  }
}

void tDriver::dropLoadFailuresForGood() {
  dropLoadFailures(&_loadFailure);
  if (_loadFailure == nullptr) return;
  tStatus2 unregistered;
  _broker->unregister(&_deviceIdentifier, unregistered);
  if (unregistered.isFatal()) return;  // still held: never freed under the broker
  while (_loadFailure != nullptr) delete std::exchange(_loadFailure, _loadFailure->older);
}

}  // namespace nQoUdR100
