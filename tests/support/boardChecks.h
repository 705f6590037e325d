// What no step may leave on the simulated board, for a test to ask after any
// step: each check answers one line per fault, "" when there is none.
//
//   EXPECT_EQ(sourcesWithoutHandler(windows, window, *dispatcher), "");
//   EXPECT_EQ(channelsOnFreedMemory(windows, {veskChannelWindow}), "");
//
// tBoardWatch keeps what a row watches of its board: the Tavik window with
// its dispatcher and bus, the VESK channel windows, the sources its
// primitive switches on for a run, and its report streams (a scheduler
// action's arms and disarms, a done sink's runs and reports), from a mark on.
// It also makes the board fire: every source that is on raises its
// interrupt once. A watched channel runs from its start command to its stop
// command (an acknowledge or a reset between them stops nothing). A row without a board (no
// watchBoard) has only its report streams watched: the board's checks find nothing and fire does
// nothing.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "sim/tSimSchedulerAction.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace nQoTest {

// Every interrupt source that the board has switched on (a bit of its enable
// registers as last written, or the dispatcher's flag of a command-switched
// source) while the dispatcher's slot of that source holds no handler.
std::string sourcesWithoutHandler(const nQoSim::tSimRegisterWindows& windows, unsigned window,
                                  const nQoUdRLP100::tTavikInterruptDispatcher& dispatcher);

// Every VESK channel whose last command was a start while its chain, or a
// buffer a descriptor of the chain points at, lies outside every memory
// block the simulated memory still holds.
std::string channelsOnFreedMemory(const nQoSim::tSimRegisterWindows& windows,
                                  const std::vector<unsigned>& channelWindows);

// Every place where bytes handed to a client hold four of the simulated
// memory's fresh bytes in a row: memory that nothing filled.
std::string freshBytesIn(const void* bytes, std::size_t size);

class tBoardWatch {
 public:
  void watchBoard(nQoSim::tSimRegisterWindows& windows, unsigned window,
                  const nQoUdRLP100::tTavikInterruptDispatcher& dispatcher, nQoSim::tSimBus& bus,
                  uint32_t irq = 1);
  void watchChannel(unsigned window);
  // A scheduler action: each armed owes one disarmed.
  void watchAction(const nQoSim::tSimSchedulerAction& action);
  // A report stream: log answers every event so far, 'a' for an arm (or
  // start) that owes one report, 'r' for a report. forget, where given,
  // drops the events before a mark, so a long walk's logs stay short.
  void watchReports(std::string name, std::function<std::string()> log,
                    std::function<void()> forget = {});
  // The sources that the row's primitive switches on only for a run.
  void watchSources(std::vector<uint8_t> sources) { _sources = std::move(sources); }
  // Those of them that a stop switches off (a run's, not the arm's): runs
  // counts them also without arm.
  void watchStopSources(std::vector<uint8_t> sources) { _stopSources = std::move(sources); }

  // From here on: the streams' events before the mark count no more.
  void mark();
  // The report streams' events since the mark.
  std::size_t reports() const;
  // Those events as text, a line per stream: its name and its events.
  std::string reportLog() const;

  // The board's faults (on the watched board, or on the one given).
  std::string faults() const;
  std::string faults(const nQoSim::tSimRegisterWindows& windows, unsigned window,
                     const nQoUdRLP100::tTavikInterruptDispatcher& dispatcher) const;
  // What of the row's primitive the board runs: its channels started and,
  // with arm, its sources on.
  std::string runs(bool arm = true) const;
  // A mark in the watched board's access log, and the first register
  // written since it ("0x1A4 of window tavik", "0x0 of window 3"; "" for
  // none, or with no board watched).
  uint64_t accessMark() const;
  std::string firstWriteSince(uint64_t mark) const;
  // Every arm since the mark left without its one report.
  std::string unanswered() const;
  // Every slot of the dispatcher whose handler lies in the size bytes from
  // begin on (a primitive that is gone).
  std::string slotsInside(const void* begin, std::size_t size) const;
  // Every source that is on raises its interrupt once, and the secondary
  // passes that its primary pass asked for run.
  void fire();
  // Whether the source is on (a board watched).
  bool sourceOn(uint8_t source) const;
  // The source raises its interrupt once, on or not, and the secondary passes
  // waiting run, its own too (a pass that comes late, inside a step).
  void fireSource(uint8_t source);
  // Sources whose conditions the row's own firing keeps (a FIFO it fills and
  // raises itself): fire leaves them.
  void fireLeaves(std::vector<uint8_t> sources) { _rowFired = std::move(sources); }
  // With leave set, fire first runs the secondary passes that the fire
  // before left, and leaves its own to the next fire (or to runPasses):
  // passes that outlive the steps between.
  void leavePasses(bool leave) { _leave = leave; }
  void runPasses();

 private:
  // A report that no arm was owed, per stream.
  std::string reportFaults() const;
  // The source's interrupt once, without the secondary passes; false when
  // no board is watched or the source has no status to raise.
  bool raiseSource(uint8_t source);
  // Its commands followed from here on.
  void followCommands(unsigned channel);
  bool started(unsigned channel) const;

  struct tStream {
    std::string name;
    std::function<std::string()> log;
    std::function<void()> forget;
    std::size_t from = 0;
  };
  nQoSim::tSimRegisterWindows* _windows = nullptr;
  unsigned _window = 0;
  const nQoUdRLP100::tTavikInterruptDispatcher* _dispatcher = nullptr;
  nQoSim::tSimBus* _bus = nullptr;
  uint32_t _irq = 1;
  std::vector<unsigned> _channels;
  std::vector<uint8_t> _sources;
  std::vector<uint8_t> _stopSources;
  std::vector<uint8_t> _rowFired;
  // Per watched channel: started and not stopped since.
  std::map<unsigned, std::atomic<bool>> _started;
  std::vector<tStream> _streams;
  bool _leave = false;
};

}  // namespace nQoTest
