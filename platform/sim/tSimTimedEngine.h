// The timed engines of a simulated Tavik window: the analog-input engine feeds
// the AI FIFO after its arm and start, the analog-output engine plays the AO
// FIFO out. Both watch register writes (through the windows' write hooks) and
// do their work only in step(), which the host's wait loop calls between
// secondary passes, never inside a register write.
//
//   nQoSim::tSimAIEngine ai(windows, window, bus, 16);   // 16-bit samples
//   ... the system arms (0x110 bits 6 and 10) and strobes 0x108 ...
//   while (!ai.ended()) { ai.step(); bus.pumpSecondary(); }
//
// At its end an engine sets its status bits and, while the interrupt enable
// bit is set, raises IRQ 1 at each step until the system acknowledges.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/tSimAIFifo.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"

namespace nQoSim {

// Where an engine's registers are and which bits matter.
struct tSimEngineRegisters {
  uint32_t command;    // arm and disarm
  uint32_t armBits;    // all of them arm
  uint32_t disarmBit;  // a hammer stop
  uint32_t strobe;     // start strobe
  uint32_t startBits;  // any of them starts an armed engine
  uint32_t status;     // read side: the end bits
  uint32_t endBits;    // set at the end
  uint32_t ackBit;     // cleared by an acknowledge
  uint32_t enable;     // interrupt enable, bit 0
  uint32_t ackValue;   // written at the status offset to acknowledge
};

// Arm, start, end, acknowledge and the interrupt; what runs in between is the
// derived engine's.
class tSimTimedEngine {
 public:
  static constexpr uint32_t kIrq = 1;

  tSimTimedEngine(tSimRegisterWindows& windows, unsigned window, tSimBus& bus,
                  const tSimEngineRegisters& registers);
  virtual ~tSimTimedEngine() = default;
  tSimTimedEngine(const tSimTimedEngine&) = delete;
  tSimTimedEngine& operator=(const tSimTimedEngine&) = delete;

  bool running() const { return _running; }
  bool ended() const { return _ended; }
  // One step of work; raises the interrupt while an end is pending and enabled.
  void step();

 protected:
  // Work of one step while running; answers true when the run is complete.
  virtual bool work() = 0;
  virtual void started() {}
  virtual void stopped() {}
  // Shows the status word's end bits as they stand at the status offset.
  virtual void showStatus(uint32_t bits);

  tSimRegisterWindows& _windows;
  const unsigned _window;

 private:
  void onCommand(uint32_t value);
  void onStrobe(uint32_t value);
  void onAck(uint32_t value);
  void end();

  tSimBus& _bus;
  const tSimEngineRegisters _registers;
  bool _armed = false;
  bool _running = false;
  bool _ended = false;
  uint32_t _statusBits = 0;
};

// Feeds (last value written to 0x124) + 1 scans of two samples; sample k is k
// truncated to the FIFO width. 0x136 bit 15 shows while it feeds. A hold after
// k scans stops feeding there until a disarm ends the run.
class tSimAIEngine : public tSimTimedEngine {
 public:
  static constexpr uint32_t kChannels = 2;
  static constexpr uint32_t kScansPerStep = 16;

  tSimAIEngine(tSimRegisterWindows& windows, unsigned window, tSimBus& bus, unsigned sampleBits);

  tSimAIFifo& fifo() { return _fifo; }
  void holdAfter(uint32_t scans) { _holdAfter = scans; }
  uint32_t scansFed() const { return _fed; }
  // The scans a run feeds: what was last written to 0x124, plus one.
  uint32_t scansProgrammed() const { return _programmed; }

 private:
  bool work() override;
  void started() override;
  void stopped() override;
  // The FIFO owns the read side of the status word.
  void showStatus(uint32_t bits) override { _fifo.setStatusBits(bits); }
  void showFeeding(bool on);

  tSimAIFifo _fifo;
  const uint32_t _sampleMask;
  uint32_t _programmed = 0;
  uint32_t _fed = 0;
  uint32_t _holdAfter = 0;  // 0: no hold
};

// Takes every 32-bit write at 0xA4 into its FIFO, which a write of bit 0 at
// 0x1A8 clears; once armed and started it plays the whole FIFO out into the
// generated record.
class tSimAOEngine : public tSimTimedEngine {
 public:
  tSimAOEngine(tSimRegisterWindows& windows, unsigned window, tSimBus& bus);

  // The FIFO's content since its last clear, played or not.
  const std::vector<uint32_t>& received() const { return _received; }
  const std::vector<uint32_t>& generated() const { return _generated; }

 private:
  bool work() override;

  std::vector<uint32_t> _received;
  std::vector<uint32_t> _generated;
  std::size_t _played = 0;
};

}  // namespace nQoSim
