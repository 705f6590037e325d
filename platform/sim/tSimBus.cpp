#include "sim/tSimBus.h"

#include <algorithm>

#include "kal/nQoKAL.h"
#include "sim/simInterrupts.h"

namespace nQoSim {

namespace {
thread_local bool gAtInterruptLevel = false;

constexpr uint32_t kSubWindowLength = 0x100;

void setFailure(int* status, int code) {
  if (status != nullptr && code != 0 && *status >= 0) *status = code;
}
}  // namespace

bool atInterruptLevel() { return gAtInterruptLevel; }

tSimBus::~tSimBus() {
  if (!_mappings.empty() || handlesOut(true) != 0)
    nQoKAL250_halt("qoplatform", "tSimBus", 24, "bus destroyed with windows still mapped");
}

void tSimBus::record(const tCall& call) {
  std::lock_guard<std::mutex> lock(_callsLock);
  if (_logging) _calls.add(call);
}

std::vector<tSimBus::tCall> tSimBus::calls() const {
  std::lock_guard<std::mutex> lock(_callsLock);
  return _calls.records();
}

void tSimBus::clearCalls() {
  std::lock_guard<std::mutex> lock(_callsLock);
  _calls.clear();
}

void tSimBus::failNext(tCall::tOperation operation, int code) {
  std::lock_guard<std::mutex> lock(_callsLock);
  _failures[operation] = code;
}

bool tSimBus::failsNow(tCall::tOperation operation, int* status) {
  std::lock_guard<std::mutex> lock(_callsLock);
  auto failure = _failures.find(operation);
  if (failure == _failures.end()) return false;
  setFailure(status, failure->second);
  _failures.erase(failure);
  return true;
}

int tSimBus::registrations() const {
  std::lock_guard<std::recursive_mutex> lock(_busLock);
  return static_cast<int>(_registrations.size());
}

int tSimBus::openWindows() const { return handlesOut(false); }

int tSimBus::liveMappings() const { return static_cast<int>(_mappings.size()) + handlesOut(true); }

int tSimBus::handlesOut(bool mapped) const {
  std::lock_guard<std::mutex> lock(_callsLock);
  return static_cast<int>(std::count_if(_handles.begin(), _handles.end(), [&](const tHandle& held) {
    return held.mapped == mapped;
  }));
}

void tSimBus::handOut(const tHandle& handle) {
  std::lock_guard<std::mutex> lock(_callsLock);
  _handles.push_back(handle);
}

void tSimBus::takeBack(uint32_t handle, bool mapped, int line, const char* message) {
  std::lock_guard<std::mutex> lock(_callsLock);
  auto held = std::find_if(_handles.begin(), _handles.end(), [&](const tHandle& out) {
    return out.handle == handle && out.mapped == mapped;
  });
  if (held == _handles.end()) nQoKAL250_halt("qoplatform", "tSimBus", line, message);
  _handles.erase(held);
}

unsigned tSimBus::windowOf(uint32_t handle) const {
  {
    std::lock_guard<std::mutex> lock(_callsLock);
    for (const tHandle& out : _handles)
      if (out.handle == handle) return out.window;
  }
  if (handle < kFirstHandle || handle - kFirstHandle >= _windows.windowCount())
    nQoKAL250_halt("qoplatform", "tSimBus", 93, "register access through an unknown window");
  return handle - kFirstHandle;
}

int32_t tSimBus::flush(int*) {
  record({tCall::kFlush, 0, 0, 0, 0});
  _windows.logMarker();
  return 0;
}

uint64_t tSimBus::getWindowAddress(uint32_t mode, uint32_t kind, uint32_t window, int* status) {
  record({tCall::kWindowAddress, mode, kind, window, 0});
  if (_windowAddressFailure != 0) {
    setFailure(status, _windowAddressFailure);
    return 0;
  }
  if (_windowAddressAnswer) return *_windowAddressAnswer;
  if (auto view = _viewAnswers.find(window); view != _viewAnswers.end())
    return _windows.viewBase(view->second);
  return window < _windows.windowCount() ? _windows.base(window) : 0;
}

iBus::tMemoryMapping* tSimBus::mapMemory(uint32_t first, uint32_t second, uint32_t window,
                                         uint32_t length, int* status) {
  record({tCall::kMapMemory, first, second, window, length});
  if (auto view = _viewAnswers.find(window); view != _viewAnswers.end() && !_mapFails) {
    if (length > _windows.viewLength(view->second)) return nullptr;
    _mappings.push_back(
        std::make_unique<tMemoryMapping>(tMemoryMapping{_windows.viewBase(view->second)}));
    return _mappings.back().get();
  }
  if (_mapFails || window >= _windows.windowCount() || length > _windows.length(window)) {
    setFailure(status, _mapFailure);
    return nullptr;
  }
  _mappings.push_back(std::make_unique<tMemoryMapping>(tMemoryMapping{_windows.base(window)}));
  return _mappings.back().get();
}

void tSimBus::unmapMemory(tMemoryMapping** mapping, int*) {
  record({tCall::kUnmapMemory, 0, 0, 0, 0});
  auto held = std::find_if(_mappings.begin(), _mappings.end(),
                           [&](const auto& owned) { return owned.get() == *mapping; });
  if (held == _mappings.end())
    nQoKAL250_halt("qoplatform", "tSimBus", 129, "unmap of a mapping the bus did not make");
  _mappings.erase(held);
  *mapping = nullptr;
}

uint64_t tSimBus::registerInterrupt(uint32_t affinity, uint32_t irq, iBusInterruptResolver* primary,
                                    iBusInterruptResolver* secondary, int* status) {
  std::lock_guard<std::recursive_mutex> lock(_busLock);
  uint64_t handle = 0;
  if (!failsNow(tCall::kRegisterInterrupt, status)) {
    handle = _nextHandle++;
    _registrations.push_back({handle, irq, primary, secondary});
  }
  record({tCall::kRegisterInterrupt, affinity, irq, 0, 0, handle});
  return handle;
}

void tSimBus::unregisterInterrupt(uint64_t* handle, int* status) {
  const uint64_t given = *handle;
  {
    std::lock_guard<std::recursive_mutex> lock(_busLock);
    record({tCall::kUnregisterInterrupt, 0, 0, 0, 0, given});
    auto found = std::find_if(_registrations.begin(), _registrations.end(),
                              [&](const tRegistration& held) { return held.handle == given; });
    if (found == _registrations.end()) {
      setFailure(status, -50003);
      return;
    }
    _registrations.erase(found);
  }
  std::unique_lock<std::mutex> lock(_secondaryLock);
  std::erase(_queued, given);
  _secondaryDone.wait(lock, [&] { return _running[given] == 0; });
  _running.erase(given);
  *handle = 0;
}

void tSimBus::runAtomically(iBusAtomicOperation* operation, int* status) {
  // A run begun inside another or at interrupt level still holds the lock
  // when it ends: no hook there.
  const bool outermost = !gAtInterruptLevel && !inAtomicRunHere();
  {
    ++_atomicRunsWaiting;
    std::lock_guard<std::recursive_mutex> lock(_busLock);
    --_atomicRunsWaiting;
    if (!failsNow(tCall::kAtomic, status)) {
      _windows.logMarker(tSimRegisterWindows::kAtomicBegin);
      const std::thread::id outer = _atomicRunner.exchange(std::this_thread::get_id());
      const int32_t answer = operation->operateAtomically();
      _atomicRunner = outer;
      _windows.logMarker(tSimRegisterWindows::kAtomicEnd);
      record({tCall::kAtomic, 0, 0, 0, 0, static_cast<uint32_t>(answer)});
      if (status != nullptr) *status = answer;
    }
  }
  if (!outermost) return;
  std::function<void()> ran;
  {
    std::lock_guard<std::mutex> lock(_callsLock);
    ran = _atomicRan;
  }
  if (ran) ran();
}

void tSimBus::onAtomicRun(std::function<void()> hook) {
  std::lock_guard<std::mutex> lock(_callsLock);
  _atomicRan = std::move(hook);
}

uint32_t tSimBus::raise(uint32_t irq) {
  std::lock_guard<std::recursive_mutex> lock(_busLock);
  uint32_t answer = 0;
  for (const tRegistration& registration : _registrations) {
    if (registration.irq != irq) continue;
    gAtInterruptLevel = true;
    answer = registration.primary->resolve();
    gAtInterruptLevel = false;
    record({tCall::kPrimaryPass, 0, irq, 0, 0, answer});
    if (answer == 1) {
      std::lock_guard<std::mutex> queue(_secondaryLock);
      _queued.push_back(registration.handle);
    }
  }
  return answer;
}

unsigned tSimBus::pumpSecondary() {
  unsigned passes = 0;
  for (;;) {
    uint64_t handle = 0;
    iBusInterruptResolver* secondary = nullptr;
    {
      std::lock_guard<std::recursive_mutex> bus(_busLock);
      std::lock_guard<std::mutex> queue(_secondaryLock);
      if (_queued.empty()) return passes;
      handle = _queued.front();
      _queued.pop_front();
      for (const tRegistration& registration : _registrations)
        if (registration.handle == handle) secondary = registration.secondary;
      if (secondary == nullptr) continue;
      ++_running[handle];
    }
    secondary->resolve();
    record({tCall::kSecondaryPass, 0, 0, 0, 0, handle});
    ++passes;
    std::lock_guard<std::mutex> queue(_secondaryLock);
    --_running[handle];
    _secondaryDone.notify_all();
  }
}

uint32_t tSimBus::openWindow(uint32_t mode, uint32_t space, uint32_t offset, uint32_t length,
                             int* status) {
  uint32_t window = 0;
  if (!failsNow(tCall::kOpenWindow, status)) {
    auto answer = _openAnswers.find(mode);
    if (answer != _openAnswers.end()) window = answer->second;
  }
  record({tCall::kOpenWindow, mode, space, offset, length, window});
  if (window != 0) handOut({window, window, false});
  return window;
}

void tSimBus::closeWindow(uint32_t* window) {
  record({tCall::kCloseWindow, 0, 0, *window, 0});
  takeBack(*window, false, 233, "close of a window that is not open");
  *window = 0;
}

uint32_t tSimBus::openSubWindow(uint32_t space, uint32_t kind, uint32_t offset, int* status) {
  uint32_t window = 0;
  if (!failsNow(tCall::kOpenSubWindow, status)) {
    auto byKind = _subWindowKindAnswers.find({space, kind});
    auto answer = _subWindowAnswers.find(offset);
    if (byKind != _subWindowKindAnswers.end())
      window = byKind->second;
    else
      window =
          answer != _subWindowAnswers.end() ? answer->second : _windows.addWindow(kSubWindowLength);
  }
  record({tCall::kOpenSubWindow, space, kind, offset, 0, window});
  if (window != 0) handOut({window, window, false});
  return window;
}

void tSimBus::releaseSubWindow(uint32_t window) {
  record({tCall::kReleaseSubWindow, 0, 0, window, 0});
  takeBack(window, false, 251, "release of a window that is not open");
}

void tSimBus::findWindow(uint32_t code, uint32_t* size, tWindowLocation* location, int* status) {
  record({tCall::kFindWindow, code, *size, 0, 0});
  if (failsNow(tCall::kFindWindow, status)) return;
  auto found = _locations.find(code);
  *location = found != _locations.end() ? found->second : tWindowLocation{};
}

uint32_t tSimBus::mapWindow(uint32_t p1, uint32_t p2, uint32_t p3, int* status) {
  record({tCall::kMapWindow, p1, p2, p3, 0});
  if (_mapWindowFails || p3 >= _windows.windowCount()) {
    setFailure(status, _mapWindowFailure);
    return 0;
  }
  handOut({handleOf(p3), p3, true});
  return handleOf(p3);
}

void tSimBus::unmapWindow(uint32_t* window) {
  record({tCall::kUnmapWindow, 0, 0, *window, 0});
  takeBack(*window, true, 273, "unmap of a window the bus did not map");
  *window = 0;
}

uint32_t tSimBus::read(uint32_t window, uint32_t offset, unsigned width, uint32_t flags,
                       int* status) {
  uint32_t value = 0;
  if (!failsNow(tCall::kRead32, status) &&
      !_windows.readAt(windowOf(window), offset, width, flags, value))
    nQoKAL250_halt("qoplatform", "tSimBus", 281, "register read outside its window");
  if (_recordAccesses)
    record({tCall::kRead32, flags, offset, window, width == 32 ? 0 : width, value});
  return value;
}

void tSimBus::write(uint32_t window, uint32_t offset, unsigned width, uint32_t value,
                    uint32_t flags, int* status) {
  if (!failsNow(tCall::kWrite32, status) &&
      !_windows.writeAt(windowOf(window), offset, width, value, flags))
    nQoKAL250_halt("qoplatform", "tSimBus", 290, "register write outside its window");
  if (_recordAccesses)
    record({tCall::kWrite32, flags, offset, window, width == 32 ? 0 : width, value});
}

iBus::iDMAChannel* tSimBus::reserveDMAChannel(uint32_t first, uint32_t second, int*) {
  _dmaChannel.arguments = {first, second};
  ++_dmaChannel.reserved;
  return &_dmaChannel;
}

void tSimBus::releaseDMAChannel(iDMAChannel** channel, int*) {
  if (channel == nullptr || *channel == nullptr) return;
  --_dmaChannel.reserved;
  *channel = nullptr;
}

}  // namespace nQoSim
