#include "tavik/tTavikBus.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "vesk/setVeskNTToMRLForCorvaneBridge.h"

namespace nQoUdP100 {

namespace {
constexpr char kFile[] = "tTavikBus";
constexpr nQoUdR100::tStatusSite kNoBus{kFile, 52};
constexpr nQoUdR100::tStatusSite kNoChannelWindows{kFile, 71};
constexpr nQoUdR100::tStatusSite kNoChannelMaps{kFile, 82};
}  // namespace

tTavikBus::tTavikBus(iDevice* device, const tTavikBusDescription& description,
                     const nQoORB100::tGUID& guid, nQoMDBG100::tStatus2& status,
                     uint32_t createDispatcher)
    : _device(device), _guid(guid) {
  if (device != nullptr) _deviceValue = device->query(0, &status.code);
  if (!openBus(status)) return;
  if (!buildChannels(description.dma, status)) return;
  if (!buildMap(createDispatcher, status)) return;
  _setVeskNTToMRLForCorvaneBridge(kVeskIdentifier, kVeskMinimumRevision, _bus, _device, status);
}

// A device without bus, or a bus that opens no register space, stops the
// holder with kNoDeviceBus and keeps no bus.
bool tTavikBus::openBus(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return false;
  if (_device != nullptr) _bus = _device->getBus(&status.code);
  if (_bus != nullptr) {
    _registerWindow = _bus->openWindow(0, 0, 0, 0, &status.code);
    if (_registerWindow == 0) _device->releaseBus(&_bus, 0);
  }
  if (_bus == nullptr) nQoUdR100::setCode(status, nQoUdR100::kNoDeviceBus, kNoBus);
  return _bus != nullptr && status.isNotFatal();
}

bool tTavikBus::buildChannels(const tTavikBusDescription::tDMA& dma, nQoMDBG100::tStatus2& status) {
  if (dma.presence == nullptr || *dma.presence == 0 || dma.channelCount <= 0) return true;
  const int32_t count = dma.channelCount;
  _channelWindows = new (nQoUdR100::kModuleHeap) uint32_t[count]();
  if (_channelWindows == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, kNoChannelWindows);
    return false;
  }
  _channelCount = count;
  for (int32_t i = 0; i < count && status.isNotFatal(); ++i)
    _channelWindows[i] = _bus->openSubWindow(
        1, 2, kChannelWindowBase + kChannelWindowStride * static_cast<uint32_t>(i), &status.code);
  if (status.isFatal()) return false;
  _channels = new (nQoUdR100::kModuleHeap) nQoUdRLP100::tVESKChannel*[count]();
  if (_channels == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, kNoChannelMaps);
    return false;
  }
  for (int32_t i = 0; i < count && status.isNotFatal(); ++i)
    _channels[i] = new (status) nQoUdRLP100::tVESKChannel(_bus, _channelWindows[i], &status);
  return status.isNotFatal();
}

bool tTavikBus::buildMap(uint32_t createDispatcher, nQoMDBG100::tStatus2& status) {
  _map = new (status) nQoUdRLP100::nTavik::tTavik(_bus, _registerWindow, &status);
  if (status.isFatal()) {
    delete _map;
    _map = nullptr;
    return false;
  }
  _helper = new (status) nQoUdRLP100::tTavikHelper(_map);
  if (_helper != nullptr && createDispatcher != 0)
    _dispatcher =
        new (status) nQoUdRLP100::tTavikInterruptDispatcher(_map, kBoardInterrupt, &status);
  return status.isNotFatal();
}

tTavikBus::~tTavikBus() {
  if (_map != nullptr) _map->markAllDirty(nullptr);
  delete _dispatcher;
  delete _helper;
  delete _map;
  destroyChannels();
  if (_bus != nullptr) {
    _bus->closeWindow(&_registerWindow);
    _device->releaseBus(&_bus, 0);
    _registerWindow = 0;
    _bus = nullptr;
  }
}

void tTavikBus::destroyChannels() {
  if (_channels != nullptr) {
    for (int32_t i = _channelCount - 1; i >= 0; --i) delete _channels[i];
    nQoUdR100::moduleFree(_channels);
    _channels = nullptr;
  }
  if (_channelWindows != nullptr) {
    for (int32_t i = _channelCount - 1; i >= 0; --i)
      if (_channelWindows[i] != 0) _bus->releaseSubWindow(_channelWindows[i]);
    nQoUdR100::moduleFree(_channelWindows);
    _channelWindows = nullptr;
  }
  _channelCount = 0;
}

nQoUdRLP100::tVESKChannel* tTavikBus::channel(int32_t i) const {
  return _channels != nullptr && i >= 0 && i < _channelCount ? _channels[i] : nullptr;
}

}  // namespace nQoUdP100
