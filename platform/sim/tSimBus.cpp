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
  if (!_mappings.empty())
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

}  // namespace nQoSim
