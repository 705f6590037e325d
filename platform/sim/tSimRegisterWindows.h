// Simulated register windows behind the kernel layer's memory access.
//
//   nQoSim::tSimRegisterWindows windows;          // installed as the register bus
//   unsigned w = windows.addWindow(620);           // base: windows.base(w)
//   windows.setRead(w, 0x136, 16, 0x8000);          // what reads of 0x136 answer
//   ... code under test writes and reads base + offset ...
//   windows.log();                                  // every access, in order
//   windows.written(w, 0x10A, 16);                  // the write side of 0x10A
//   windows.writeAt(w, 0x0FC, 32, 5, 0x40000000);   // a bus access by window and offset
//
// Each offset has a read side (scripted; 0 by default) and a write side (what
// was last written), so a read-only and a write-only register can share one
// address. Bases lie 2^40 apart, so no window reaches another. An access not
// wholly inside one window is refused, and the kernel layer halts.
//
// A view is a part of a window at a base of its own: its accesses reach the
// window's two sides and are logged by the window and the window's offsets;
// an access past the view's length is refused like one past a window.
//
//   unsigned v = windows.addView(w, 0x100, 196);   // base: windows.viewBase(v)
//   ... a write of 16 bits at viewBase(v) + 4 ...    // logged as window w, 0x104
// Accesses, scripting and the log may come from several threads (an interrupt
// raised on one thread while another waits in a register loop); callbacks run
// under the windows' lock and may script the windows again.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "sim/simKal.h"
#include "sim/tBoundedLog.h"

namespace nQoSim {

class tSimRegisterWindows : public iRegisterBus {
 public:
  // kMarker: the bus's flush; kAtomicBegin/kAtomicEnd: around a bus atomic run.
  enum tDirection { kRead, kWrite, kMarker, kAtomicBegin, kAtomicEnd };
  struct tAccess {
    unsigned window;
    uint32_t offset;
    unsigned width;
    uint32_t value;
    tDirection direction;
    uint32_t flags = 0;  // what a bus access passed (0 for kernel-layer accesses)
    bool operator==(const tAccess&) const = default;
  };
  using tReadCallback = std::function<uint32_t(unsigned width)>;
  using tWriteCallback = std::function<void(unsigned width, uint32_t value)>;

  // Installs itself as the register bus; the destructor puts back the one before.
  tSimRegisterWindows();
  ~tSimRegisterWindows() override;
  tSimRegisterWindows(const tSimRegisterWindows&) = delete;
  tSimRegisterWindows& operator=(const tSimRegisterWindows&) = delete;

  // A new window of length bytes; answers its number (0, 1, ...).
  unsigned addWindow(uint32_t length);
  unsigned windowCount() const { return static_cast<unsigned>(_windows.size()); }
  uint64_t base(unsigned window) const;
  uint32_t length(unsigned window) const;
  // A view of length bytes of a window from offset on; answers its number.
  unsigned addView(unsigned window, uint32_t offset, uint32_t length);
  uint64_t viewBase(unsigned view) const;
  uint32_t viewLength(unsigned view) const { return _views.at(view).length; }

  // Read side: a standing value, a queue taken first, or a callback that wins
  // (an empty callback removes it).
  void setRead(unsigned window, uint32_t offset, unsigned width, uint32_t value);
  void queueReads(unsigned window, uint32_t offset, std::vector<uint32_t> values);
  void setReadCallback(unsigned window, uint32_t offset, tReadCallback callback);
  // Bits that every read at offset answers besides what its side, queue or
  // callback gives (a status bit the board raises for a while); 0: none.
  void setReadBits(unsigned window, uint32_t offset, uint32_t bits);
  // Called after each write at offset (device models); empty: none.
  void setWriteCallback(unsigned window, uint32_t offset, tWriteCallback callback);
  // Called after each write once the windows' lock is let go (unless the
  // writer held it already), so that a test may hold the writer there while
  // other threads reach the windows; empty: none.
  using tWrittenHook = std::function<void(unsigned window, uint32_t offset, uint32_t value)>;
  void onWritten(tWrittenHook hook);
  // Write side: the bytes last written at offset, as one value of width bits.
  uint32_t written(unsigned window, uint32_t offset, unsigned width) const;

  // Runs call under the windows' lock, as the callbacks run: a device model
  // over the callbacks that a test changes while another thread reaches the
  // board.
  template <class tCall>
  decltype(auto) underLock(tCall call) const {
    std::lock_guard<std::recursive_mutex> guard(_lock);
    return call();
  }

  // The ordered log of the most recent accesses (tBoundedLog's limit); turned
  // off it records nothing (benchmarks).
  const std::vector<tAccess>& log() const { return _log.records(); }
  std::vector<tAccess> writes() const;
  std::vector<tAccess> reads() const;
  // A mark in the log, and the writes logged since it that the log still
  // keeps (a clear drops them too).
  uint64_t logMark() const;
  std::vector<tAccess> writesSince(uint64_t mark) const;
  void clearLog() {
    std::lock_guard<std::recursive_mutex> guard(_lock);
    _log.clear();
  }
  void setLogging(bool on) { _logging = on; }
  // A marker in the log (window ~0u, the rest 0).
  void logMarker(tDirection kind = kMarker);

  bool read(uintptr_t address, unsigned width, uint32_t& value) override;
  bool write(uintptr_t address, unsigned width, uint32_t value) override;
  // The same by window number and offset, logged with the bus's flags; false
  // (nothing done) for an access not wholly inside the window.
  bool readAt(unsigned window, uint32_t offset, unsigned width, uint32_t flags, uint32_t& value);
  bool writeAt(unsigned window, uint32_t offset, unsigned width, uint32_t value, uint32_t flags);

 private:
  struct tWindow {
    std::vector<uint8_t> readSide;
    std::vector<uint8_t> writeSide;
  };
  struct tView {
    unsigned window;
    uint32_t offset;
    uint32_t length;
  };
  using tKey = std::pair<unsigned, uint32_t>;

  // The window and offset of an access wholly inside one window.
  bool locate(uintptr_t address, unsigned width, unsigned& window, uint32_t& offset) const;
  bool inside(unsigned window, uint32_t offset, unsigned width) const;

  std::vector<tWindow> _windows;
  std::vector<tView> _views;
  std::map<tKey, std::deque<uint32_t>> _queues;
  std::map<tKey, tReadCallback> _callbacks;
  std::map<tKey, uint32_t> _readBits;
  std::map<tKey, tWriteCallback> _writeCallbacks;
  tWrittenHook _written;
  tBoundedLog<tAccess> _log;
  bool _logging = true;
  mutable std::recursive_mutex _lock;
  iRegisterBus* _previous;
};

}  // namespace nQoSim
