// A bus over simulated register windows: window numbers are the windows'
// numbers, every call is recorded, and a test can make the window address
// answer 0 or fail, and mapping fail.
//
//   nQoSim::tSimRegisterWindows windows;
//   nQoSim::tSimBus bus(windows);
//   unsigned w = windows.addWindow(620);
//   bus.getWindowAddress(4, 3, w, &code);   // windows.base(w)
//
// Interrupts: a registration keeps its two resolvers; raise(irq) runs the
// primary one under the bus lock at interrupt level (simInterrupts.h) and
// queues the secondary pass when it answers 1; pumpSecondary() runs the queued
// passes on the calling thread. runAtomically takes the same (recursive) lock
// and brackets its accesses in the window log with kAtomicBegin/kAtomicEnd.
//
//   uint64_t handle = ...;                 // the system registered
//   bus.raise(1);                          // answers the primary's answer
//   bus.pumpSecondary();
//
// Window handles: read32 and write32 take a handle and halt for any other
// number, or for an access outside the handle's window. Handles are
//   - handleOf(w), the handle of window w, whether or not mapWindow handed it
//     out; mapWindow(p1, p2, p3) maps window p3 and answers handleOf(p3);
//   - the window number that openWindow answered (what answerOpenWindow
//     scripted for its mode; 0 when nothing) or openSubWindow answered (a
//     scripted window for its offset, or a fresh 0x100-byte window), until
//     closeWindow or releaseSubWindow gives it back.
// Closing, releasing or unmapping a handle the bus did not hand out halts.
// read32 and write32 go to the window log with their flags, and to the call
// log unless recordAccesses(false) leaves them to the window log alone.
// failNext(operation, code) makes the next call of an operation set code (0:
// none) and answer 0 or nothing; failMapWindow(code) makes every mapWindow
// fail so.
//
//   uint32_t handle = tSimBus::handleOf(w);
//   bus.write32(handle, 0x0FC, 5, 0x40000000, nullptr);   // windows.written(w, 0x0FC, 32)
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "bus/iBus.h"
#include "sim/tBoundedLog.h"
#include "sim/tSimRegisterWindows.h"

namespace nQoSim {

class tSimBus : public iBus {
 public:
  // One call. Arguments by operation (others 0):
  //   kWindowAddress        first mode, second kind, window
  //   kMapMemory            first, second, window, length
  //   kRegisterInterrupt    first affinity, second irq; value the handle
  //   kUnregisterInterrupt  value the handle
  //   kAtomic               value the operation's answer
  //   kPrimaryPass          second irq; value the resolver's answer (raise)
  //   kSecondaryPass        value the handle whose secondary resolver ran
  //   kOpenWindow           first mode, second space, window offset, length; value the window
  //   kCloseWindow          window
  //   kOpenSubWindow        first space, second kind, window offset; value the window
  //   kReleaseSubWindow     window
  //   kFindWindow           first code, second the size word
  //   kRead32               first flags, second offset, window the handle; value the value read
  //   kWrite32              first flags, second offset, window the handle; value the value written
  //                         (length 0, or the width 8 or 16 of the narrow forms)
  //   kMapWindow            first, second, window: p1, p2, p3
  //   kUnmapWindow          window the handle
  //   kReleaseBus           first the flags (recorded by a device journalling on this bus)
  struct tCall {
    enum tOperation {
      kFlush,
      kWindowAddress,
      kMapMemory,
      kUnmapMemory,
      kRegisterInterrupt,
      kUnregisterInterrupt,
      kAtomic,
      kPrimaryPass,
      kSecondaryPass,
      kOpenWindow,
      kCloseWindow,
      kOpenSubWindow,
      kReleaseSubWindow,
      kFindWindow,
      kRead32,
      kWrite32,
      kMapWindow,
      kUnmapWindow,
      kReleaseBus,
    } operation;
    uint32_t first;
    uint32_t second;
    uint32_t window;
    uint32_t length;
    uint64_t value = 0;
    bool operator==(const tCall&) const = default;
  };

  explicit tSimBus(tSimRegisterWindows& windows) : _windows(windows) {}
  ~tSimBus() override;

  // mapMemory and getWindowAddress with this window argument answer a view
  // (tSimRegisterWindows::addView) instead of a window.
  void answerView(uint32_t window, unsigned view) { _viewAnswers[window] = view; }
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
  // The window that openWindow answers for a mode.
  void answerOpenWindow(uint32_t mode, unsigned window) { _openAnswers[mode] = window; }
  // The window that openSubWindow answers for an offset.
  void answerSubWindow(uint32_t offset, unsigned window) { _subWindowAnswers[offset] = window; }
  // The window that openSubWindow answers for a space and kind (before the offset's).
  void answerSubWindowOf(uint32_t space, uint32_t kind, unsigned window) {
    _subWindowKindAnswers[{space, kind}] = window;
  }
  // What findWindow fills in for a code (zeros otherwise).
  void answerFindWindow(uint32_t code, const tWindowLocation& location) {
    _locations[code] = location;
  }
  void failNext(tCall::tOperation operation, int code);
  // What location(index) answers for the words 0 to 2 (0 until set).
  void setLocation(uint32_t index, uint32_t value) {
    if (index < kLocationWords) _location[index] = value;
  }

  static constexpr uint32_t kFirstHandle = 0x100;
  static uint32_t handleOf(unsigned window) { return kFirstHandle + window; }

  // Runs the primary resolver of every registration of irq; answers the last
  // answer (0 when none is registered).
  uint32_t raise(uint32_t irq);
  // Runs the queued secondary passes; answers how many ran.
  unsigned pumpSecondary();

  // The most recent calls, oldest first (tBoundedLog's limit).
  std::vector<tCall> calls() const;
  void clearCalls();
  // Turned off, calls are not recorded (benchmarks).
  void setLogging(bool on) { _logging = on; }
  // Turned off, read32 and write32 go to the window log only.
  void recordAccesses(bool on) { _recordAccesses = on; }
  // A device that gives this bus back records it here (tSimDevice::journalOn).
  void recordRelease(uint32_t flags) { record({tCall::kReleaseBus, flags, 0, 0, 0}); }
  // Memory mappings and mapWindow handles not yet undone.
  int liveMappings() const;
  // Interrupt registrations, and windows opened and not yet closed or given back.
  int registrations() const;
  // Atomic runs that asked for the bus lock and have not taken it yet: a test
  // that holds one run inside sees another thread's run reach the lock.
  int atomicRunsWaiting() const { return _atomicRunsWaiting.load(); }
  // Whether the calling thread is inside an atomic run of this bus.
  bool inAtomicRunHere() const { return _atomicRunner.load() == std::this_thread::get_id(); }
  // Called on the runner's thread after each atomic run (a failed one too)
  // begun outside the bus lock, once the run let the lock go, so that a test
  // may hold the runner just after its run while other threads reach the
  // bus; empty: none.
  void onAtomicRun(std::function<void()> hook);
  int openWindows() const;

  int32_t flush(int* status) override;
  uint64_t getWindowAddress(uint32_t mode, uint32_t kind, uint32_t window, int* status) override;
  tMemoryMapping* mapMemory(uint32_t first, uint32_t second, uint32_t window, uint32_t length,
                            int* status) override;
  void unmapMemory(tMemoryMapping** mapping, int* status) override;
  uint64_t registerInterrupt(uint32_t affinity, uint32_t irq, iBusInterruptResolver* primary,
                             iBusInterruptResolver* secondary, int* status) override;
  void unregisterInterrupt(uint64_t* handle, int* status) override;
  void runAtomically(iBusAtomicOperation* operation, int* status) override;
  uint32_t openWindow(uint32_t mode, uint32_t space, uint32_t offset, uint32_t length,
                      int* status) override;
  void closeWindow(uint32_t* window) override;
  uint32_t openSubWindow(uint32_t space, uint32_t kind, uint32_t offset, int* status) override;
  void releaseSubWindow(uint32_t window) override;
  void findWindow(uint32_t code, uint32_t* size, tWindowLocation* location, int* status) override;
  uint32_t mapWindow(uint32_t p1, uint32_t p2, uint32_t p3, int* status) override;
  void unmapWindow(uint32_t* window) override;
  void write32(uint32_t window, uint32_t offset, uint32_t value, uint32_t flags,
               int* status) override {
    write(window, offset, 32, value, flags, status);
  }
  uint32_t read32(uint32_t window, uint32_t offset, uint32_t flags, int* status) override {
    return read(window, offset, 32, flags, status);
  }
  uint32_t read8(uint32_t window, uint32_t offset, uint32_t flags, int* status) override {
    return read(window, offset, 8, flags, status);
  }
  uint32_t read16(uint32_t window, uint32_t offset, uint32_t flags, int* status) override {
    return read(window, offset, 16, flags, status);
  }
  void write8(uint32_t window, uint32_t offset, uint32_t value, uint32_t flags,
              int* status) override {
    write(window, offset, 8, value, flags, status);
  }
  void write16(uint32_t window, uint32_t offset, uint32_t value, uint32_t flags,
               int* status) override {
    write(window, offset, 16, value, flags, status);
  }
  uint32_t location(uint32_t index) override {
    return index < kLocationWords ? _location[index] : 0;
  }
  iDMAChannel* reserveDMAChannel(uint32_t first, uint32_t second, int* status) override;
  void releaseDMAChannel(iDMAChannel** channel, int* status) override;
  // The number the next reserved DMA channel answers (0 by default); the
  // arguments of the last reservation; channels reserved and not released.
  void setDMAChannelNumber(uint32_t number) { _dmaChannel.chosen = number; }
  std::pair<uint32_t, uint32_t> dmaReservationArguments() const { return _dmaChannel.arguments; }
  int reservedDMAChannels() const { return _dmaChannel.reserved; }

 private:
  static constexpr uint32_t kLocationWords = 3;
  struct tDMAChannel final : iDMAChannel {
    uint32_t number() override { return chosen; }
    uint32_t chosen = 0;
    std::pair<uint32_t, uint32_t> arguments{0, 0};
    int reserved = 0;
  };
  tDMAChannel _dmaChannel;

  struct tRegistration {
    uint64_t handle;
    uint32_t irq;
    iBusInterruptResolver* primary;
    iBusInterruptResolver* secondary;
  };

  // A handle handed out and not yet given back; mapped when mapWindow handed
  // it out, otherwise openWindow or openSubWindow.
  struct tHandle {
    uint32_t handle;
    unsigned window;
    bool mapped;
  };

  void record(const tCall& call);
  uint32_t read(uint32_t window, uint32_t offset, unsigned width, uint32_t flags, int* status);
  void write(uint32_t window, uint32_t offset, unsigned width, uint32_t value, uint32_t flags,
             int* status);
  // True when the operation was scripted to fail now (the code is then set).
  bool failsNow(tCall::tOperation operation, int* status);
  void handOut(const tHandle& handle);
  // Takes back a handle handed out so; halts with message (at line) when the
  // bus holds none.
  void takeBack(uint32_t handle, bool mapped, int line, const char* message);
  int handlesOut(bool mapped) const;
  // The window a handle names; halts for a handle of no window.
  unsigned windowOf(uint32_t handle) const;

  tSimRegisterWindows& _windows;
  // Guards the call log, the scripted failures and the atomic-run hook.
  mutable std::mutex _callsLock;
  tBoundedLog<tCall> _calls;
  std::function<void()> _atomicRan;
  bool _logging = true;
  bool _recordAccesses = true;
  std::map<tCall::tOperation, int> _failures;
  std::vector<std::unique_ptr<tMemoryMapping>> _mappings;
  std::optional<uint64_t> _windowAddressAnswer;
  int _windowAddressFailure = 0;
  bool _mapFails = false;
  int _mapFailure = 0;
  std::map<uint32_t, unsigned> _openAnswers;
  std::map<uint32_t, unsigned> _viewAnswers;
  std::map<uint32_t, unsigned> _subWindowAnswers;
  std::map<std::pair<uint32_t, uint32_t>, unsigned> _subWindowKindAnswers;
  std::map<uint32_t, tWindowLocation> _locations;
  std::vector<tHandle> _handles;
  bool _mapWindowFails = false;
  int _mapWindowFailure = 0;
  uint32_t _location[kLocationWords] = {};

  // Held by primary passes and atomic runs; guards the registrations.
  mutable std::recursive_mutex _busLock;
  std::atomic<int> _atomicRunsWaiting{0};
  std::atomic<std::thread::id> _atomicRunner{};
  std::vector<tRegistration> _registrations;
  uint64_t _nextHandle = 0x1000;
  // Guards the queued secondary passes and those running now.
  mutable std::mutex _secondaryLock;
  std::condition_variable _secondaryDone;
  std::deque<uint64_t> _queued;
  std::map<uint64_t, int> _running;
};

}  // namespace nQoSim
