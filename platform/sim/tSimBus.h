// A bus over simulated register windows: window numbers are the windows'
// numbers, every call but a register access is recorded, and a test can make
// the window address answer 0 or fail, and mapping fail.
//
//   nQoSim::tSimRegisterWindows windows;
//   nQoSim::tSimBus bus(windows);
//   unsigned w = windows.addWindow(620);
//   bus.getWindowAddress(4, 3, w, &code);   // windows.base(w)
//
// Windows reached by handle: the handle of window w is handleOf(w), which
// read32 and write32 take whether or not mapWindow handed it out; mapWindow
// (p1, p2, p3) maps window p3. A register access through an unknown handle or
// outside its window halts, as does unmapping a handle that is not mapped.
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
    enum tOperation {
      kFlush,
      kWindowAddress,
      kMapMemory,
      kUnmapMemory,
      kMapWindow,    // first, second, window: p1, p2, p3
      kUnmapWindow,  // window: the handle
      kReleaseBus,   // first: the flags (recorded by a device journalling on this bus)
    } operation;
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

  // mapWindow sets this code (0: none) and answers 0.
  void failMapWindow(int code) {
    _mapWindowFails = true;
    _mapWindowFailure = code;
  }

  static constexpr uint32_t kFirstHandle = 0x100;
  static uint32_t handleOf(unsigned window) { return kFirstHandle + window; }

  const std::vector<tCall>& calls() const { return _calls; }
  void clearCalls() { _calls.clear(); }
  int liveMappings() const { return static_cast<int>(_mappings.size() + _windowHandles.size()); }
  // A device that gives this bus back records it here (tSimDevice::journalOn).
  void recordRelease(uint32_t flags) { _calls.push_back({tCall::kReleaseBus, flags, 0, 0, 0}); }

  int32_t flush(int* status) override;
  uint64_t getWindowAddress(uint32_t mode, uint32_t kind, uint32_t window, int* status) override;
  tMemoryMapping* mapMemory(uint32_t first, uint32_t second, uint32_t window, uint32_t length,
                            int* status) override;
  void unmapMemory(tMemoryMapping** mapping, int* status) override;
  uint32_t mapWindow(uint32_t p1, uint32_t p2, uint32_t p3, int* status) override;
  void unmapWindow(uint32_t* window) override;
  uint32_t read32(uint32_t window, uint32_t offset, uint32_t flags, int* status) override;
  void write32(uint32_t window, uint32_t offset, uint32_t value, uint32_t flags,
               int* status) override;

 private:
  // The window number of a handle; halts for a handle of no window.
  unsigned windowOf(uint32_t handle) const;

  tSimRegisterWindows& _windows;
  std::vector<tCall> _calls;
  std::vector<std::unique_ptr<tMemoryMapping>> _mappings;
  std::optional<uint64_t> _windowAddressAnswer;
  int _windowAddressFailure = 0;
  bool _mapFails = false;
  int _mapFailure = 0;
  std::vector<uint32_t> _windowHandles;  // handed out by mapWindow, not yet unmapped
  bool _mapWindowFails = false;
  int _mapWindowFailure = 0;
};

}  // namespace nQoSim
