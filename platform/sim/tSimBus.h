// A bus over simulated register windows: window numbers are the windows'
// numbers, every call is recorded, and a test can make the window address
// answer 0 or fail, and mapping fail.
//
//   nQoSim::tSimRegisterWindows windows;
//   nQoSim::tSimBus bus(windows);
//   unsigned w = windows.addWindow(620);
//   bus.getWindowAddress(4, 3, w, &code);   // windows.base(w)
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "bus/iBus.h"
#include "sim/tSimRegisterWindows.h"

namespace nQoSim {

class tSimBus : public iBus {
 public:
  struct tCall {
    enum tOperation { kFlush, kWindowAddress, kMapMemory, kUnmapMemory } operation;
    uint32_t first;
    uint32_t second;
    uint32_t window;
    uint32_t length;
    bool operator==(const tCall&) const = default;
  };

  explicit tSimBus(tSimRegisterWindows& windows) : _windows(windows) {}
  ~tSimBus() override;

  // getWindowAddress answers this instead of the window's base.
  void answerWindowAddress(uint64_t base) { _windowAddressAnswer = base; }
  // getWindowAddress sets this code and answers 0.
  void failWindowAddress(int code) { _windowAddressFailure = code; }
  // mapMemory sets this code (0: none) and answers null.
  void failMapMemory(int code) {
    _mapFails = true;
    _mapFailure = code;
  }

  const std::vector<tCall>& calls() const { return _calls; }
  void clearCalls() { _calls.clear(); }
  int liveMappings() const { return static_cast<int>(_mappings.size()); }

  int32_t flush(int* status) override;
  uint64_t getWindowAddress(uint32_t mode, uint32_t kind, uint32_t window, int* status) override;
  tMemoryMapping* mapMemory(uint32_t first, uint32_t second, uint32_t window, uint32_t length,
                            int* status) override;
  void unmapMemory(tMemoryMapping** mapping, int* status) override;

 private:
  tSimRegisterWindows& _windows;
  std::vector<tCall> _calls;
  std::vector<std::unique_ptr<tMemoryMapping>> _mappings;
  std::optional<uint64_t> _windowAddressAnswer;
  int _windowAddressFailure = 0;
  bool _mapFails = false;
  int _mapFailure = 0;
};

}  // namespace nQoSim
