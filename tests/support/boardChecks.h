// What no step may leave on the simulated board, for a test to ask after any
// step: each check answers one line per fault, "" when there is none.
//
//   EXPECT_EQ(sourcesWithoutHandler(windows, window, *dispatcher), "");
//   EXPECT_EQ(channelsOnFreedMemory(windows, {veskChannelWindow}), "");
//   EXPECT_EQ(armsAnsweredTwice(scheduler.action.calls()), "");
//
// tBoardWatch keeps what a row watches beside its Tavik window: the VESK
// channel windows and the scheduler actions, from a mark on.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sim/tSimRegisterWindows.h"
#include "sim/tSimSchedulerAction.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace nQoTest {

// Every interrupt source that the board has switched on (a bit of its enable
// registers as last written, or the dispatcher's flag of a command-switched
// source) while the dispatcher's slot of that source holds no handler.
std::string sourcesWithoutHandler(const nQoSim::tSimRegisterWindows& windows, unsigned window,
                                  const nQoUdRLP100::tTavikInterruptDispatcher& dispatcher);

// Every VESK channel whose last command was a start while its chain address
// lies outside every memory block the simulated memory still holds.
std::string channelsOnFreedMemory(const nQoSim::tSimRegisterWindows& windows,
                                  const std::vector<unsigned>& channelWindows);

// Every arm that a scheduler action heard answered by more than one disarm.
std::string armsAnsweredTwice(const std::vector<nQoSim::tSimSchedulerAction::tCall>& calls);

class tBoardWatch {
 public:
  void watchChannel(unsigned window) { _channels.push_back(window); }
  void watchAction(const nQoSim::tSimSchedulerAction& action) { _actions.push_back({&action}); }
  // From here on: the actions' calls before the mark count no more.
  void mark();
  // The actions' calls since the mark.
  std::size_t actionCalls() const;
  std::string faults(const nQoSim::tSimRegisterWindows& windows, unsigned window,
                     const nQoUdRLP100::tTavikInterruptDispatcher& dispatcher) const;

 private:
  struct tWatchedAction {
    const nQoSim::tSimSchedulerAction* action;
    std::size_t from = 0;
  };
  std::vector<unsigned> _channels;
  std::vector<tWatchedAction> _actions;
};

}  // namespace nQoTest
