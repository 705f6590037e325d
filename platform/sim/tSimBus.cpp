#include "sim/tSimBus.h"

#include <algorithm>

#include "kal/nQoKAL.h"

namespace nQoSim {

namespace {
void setFailure(int* status, int code) {
  if (status != nullptr && code != 0 && *status >= 0) *status = code;
}
}  // namespace

tSimBus::~tSimBus() {
  if (!_mappings.empty() || !_windowHandles.empty())
    nQoKAL250_halt("qoplatform", "tSimBus", 20, "bus destroyed with windows still mapped");
}

int32_t tSimBus::flush(int*) {
  _calls.push_back({tCall::kFlush, 0, 0, 0, 0});
  _windows.logMarker();
  return 0;
}

uint64_t tSimBus::getWindowAddress(uint32_t mode, uint32_t kind, uint32_t window, int* status) {
  _calls.push_back({tCall::kWindowAddress, mode, kind, window, 0});
  if (_windowAddressFailure != 0) {
    setFailure(status, _windowAddressFailure);
    return 0;
  }
  if (_windowAddressAnswer) return *_windowAddressAnswer;
  return window < _windows.windowCount() ? _windows.base(window) : 0;
}

iBus::tMemoryMapping* tSimBus::mapMemory(uint32_t first, uint32_t second, uint32_t window,
                                         uint32_t length, int* status) {
  _calls.push_back({tCall::kMapMemory, first, second, window, length});
  if (_mapFails || window >= _windows.windowCount() || length > _windows.length(window)) {
    setFailure(status, _mapFailure);
    return nullptr;
  }
  _mappings.push_back(std::make_unique<tMemoryMapping>(tMemoryMapping{_windows.base(window)}));
  return _mappings.back().get();
}

void tSimBus::unmapMemory(tMemoryMapping** mapping, int*) {
  _calls.push_back({tCall::kUnmapMemory, 0, 0, 0, 0});
  auto held = std::find_if(_mappings.begin(), _mappings.end(),
                           [&](const auto& owned) { return owned.get() == *mapping; });
  if (held == _mappings.end())
    nQoKAL250_halt("qoplatform", "tSimBus", 52, "unmap of a mapping the bus did not make");
  _mappings.erase(held);
  *mapping = nullptr;
}

uint32_t tSimBus::mapWindow(uint32_t p1, uint32_t p2, uint32_t p3, int* status) {
  _calls.push_back({tCall::kMapWindow, p1, p2, p3, 0});
  if (_mapWindowFails || p3 >= _windows.windowCount()) {
    setFailure(status, _mapWindowFailure);
    return 0;
  }
  _windowHandles.push_back(handleOf(p3));
  return handleOf(p3);
}

void tSimBus::unmapWindow(uint32_t* window) {
  _calls.push_back({tCall::kUnmapWindow, 0, 0, *window, 0});
  auto held = std::find(_windowHandles.begin(), _windowHandles.end(), *window);
  if (held == _windowHandles.end())
    nQoKAL250_halt("qoplatform", "tSimBus", 71, "unmap of a window the bus did not map");
  _windowHandles.erase(held);
  *window = 0;
}

unsigned tSimBus::windowOf(uint32_t handle) const {
  if (handle < kFirstHandle || handle - kFirstHandle >= _windows.windowCount())
    nQoKAL250_halt("qoplatform", "tSimBus", 78, "register access through an unknown window");
  return handle - kFirstHandle;
}

uint32_t tSimBus::read32(uint32_t window, uint32_t offset, uint32_t flags, int*) {
  uint32_t value = 0;
  if (!_windows.readAt(windowOf(window), offset, 32, flags, value))
    nQoKAL250_halt("qoplatform", "tSimBus", 85, "register read outside its window");
  return value;
}

void tSimBus::write32(uint32_t window, uint32_t offset, uint32_t value, uint32_t flags, int*) {
  if (!_windows.writeAt(windowOf(window), offset, 32, value, flags))
    nQoKAL250_halt("qoplatform", "tSimBus", 91, "register write outside its window");
}

}  // namespace nQoSim
