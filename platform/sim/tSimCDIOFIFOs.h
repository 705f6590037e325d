// Simulated CDIO FIFOs of a Tavik window, over the windows' read and write
// callbacks at 0x220 (data port) and 0x224 (CDIO status / tCDIO_Command).
//
//   nQoSim::tSimCDIOFIFOs fifos(windows, window);
//   fifos.pushInput({0x11, 0x22});          // 0x220 reads take them in order
//   fifos.setOutputDepth(4);                // 0x220 writes queue up to 4 words
//   fifos.scriptStatus({0x80000});          // the next 0x224 read answers this
//   fifos.lines();                          // words moved out by command 0x80000
//
// A 0x224 read answers a scripted value while any is queued; otherwise bit 16
// (input empty), bits 0 (output empty) and 1 (output full) from the queues,
// and bits 18-20 and 2-4 as set by setInputBits and setOutputBits. An empty
// input reads 0. Command 0x80000 moves the oldest output word to the lines,
// 0x10 empties the output; 0x8 and 0x4 start and stop the input, 0x2 and 0x1
// the output. Every call takes the windows' lock, which the board's accesses
// take: a test may script, step and read the FIFOs while another thread (a
// FIFO's polling thread) reads and commands the board.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "sim/tSimRegisterWindows.h"

namespace nQoSim {

class tSimCDIOFIFOs {
 public:
  tSimCDIOFIFOs(tSimRegisterWindows& windows, unsigned window);
  ~tSimCDIOFIFOs();
  tSimCDIOFIFOs(const tSimCDIOFIFOs&) = delete;
  tSimCDIOFIFOs& operator=(const tSimCDIOFIFOs&) = delete;

  void pushInput(const std::vector<uint32_t>& words);
  std::size_t inputSize() const {
    return _windows.underLock([&] { return _input.size(); });
  }
  // Bits 18-20 of the status: the input's FIFO condition, overrun, buffer error.
  void setInputBits(uint32_t bits) {
    _windows.underLock([&] { _inputBits = bits & 0x1C0000; });
  }
  // Called before each 0x220 read with the words read so far (a test feeds
  // the input over time).
  void onInputRead(std::function<void(uint64_t)> hook) {
    _windows.underLock([&] { _inputHook = std::move(hook); });
  }
  uint64_t inputReads() const {
    return _windows.underLock([&] { return _inputReads; });
  }

  void setOutputDepth(std::size_t depth) {
    _windows.underLock([&] { _depth = depth; });
  }
  // Copies: the FIFO and the lines as they are now.
  std::deque<uint32_t> output() const {
    return _windows.underLock([&] { return _output; });
  }
  std::vector<uint32_t> lines() const {
    return _windows.underLock([&] { return _lines; });
  }
  // Bits 2-4 of the status: the output's FIFO condition, overrun, buffer error.
  void setOutputBits(uint32_t bits) {
    _windows.underLock([&] { _outputBits = bits & 0x1C; });
  }

  // Moves the oldest output word to the lines, as command 0x80000 does.
  void stepOutput();

  // Called before each 0x224 read (a test moves the clock or the FIFOs).
  void onStatusRead(std::function<void()> hook) {
    _windows.underLock([&] { _statusHook = std::move(hook); });
  }
  // Whether the last start or stop command of each direction started it.
  bool inputStarted() const {
    return _windows.underLock([&] { return _inputStarted; });
  }
  bool outputStarted() const {
    return _windows.underLock([&] { return _outputStarted; });
  }
  void scriptStatus(const std::vector<uint32_t>& values);
  uint32_t status() const;

 private:
  uint32_t readStatus();
  uint32_t readData();
  void writeData(uint32_t word);
  void command(uint32_t value);

  tSimRegisterWindows& _windows;
  unsigned _window;
  std::deque<uint32_t> _input;
  std::deque<uint32_t> _output;
  std::vector<uint32_t> _lines;
  std::deque<uint32_t> _scripted;
  std::function<void(uint64_t)> _inputHook;
  std::function<void()> _statusHook;
  uint64_t _inputReads = 0;
  std::size_t _depth = 0;
  uint32_t _inputBits = 0;
  uint32_t _outputBits = 0;
  bool _inputStarted = false;
  bool _outputStarted = false;
};

}  // namespace nQoSim
