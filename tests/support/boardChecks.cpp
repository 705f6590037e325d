#include "support/boardChecks.h"

#include <bit>
#include <cstdint>
#include <sstream>

#include "sim/simMemBlocks.h"

namespace nQoTest {

namespace {

using nQoUdRLP100::tSwitchCommand;
using nQoUdRLP100::tSwitchRegister;

struct tPlace {
  uint32_t offset;
  unsigned width;
};

tPlace placeOf(tSwitchRegister target) {
  switch (target) {
    case tSwitchRegister::kEnableA: return {0x192, 16};
    case tSwitchRegister::kEnableB: return {0x196, 16};
    case tSwitchRegister::kAOSerialEnable: return {0x0A0, 8};
    case tSwitchRegister::kCounter0: return {0x1B8, 16};
    case tSwitchRegister::kCounter1: return {0x1BA, 16};
    case tSwitchRegister::kNone: break;
  }
  return {0, 0};
}

// A register-switched source is on while a bit its enable sets is set (and,
// where two sources share the bit, while its own flag is); a command-switched
// one while its own flag (the first its enable sets) is.
bool isOn(const nQoUdRLP100::tSourceSwitch& row, const nQoSim::tSimRegisterWindows& windows,
          unsigned window, const nQoUdRLP100::tTavikInterruptDispatcher& dispatcher) {
  const uint32_t flags = row.enable.flags;
  const bool flagged =
      flags == 0 ||
      dispatcher.enabledFlag(static_cast<nQoUdRLP100::tEnabledFlag>(std::countr_zero(flags))) != 0;
  if (row.enable.command == tSwitchCommand::kNone) {
    for (const nQoUdRLP100::tBitChange& change : row.enable.changes) {
      if (change.target == tSwitchRegister::kNone || !change.set) continue;
      const tPlace place = placeOf(change.target);
      if ((windows.written(window, place.offset, place.width) >> change.bit & 1) != 0)
        return flagged;
    }
    return false;
  }
  return flags != 0 && flagged;
}

}  // namespace

std::string sourcesWithoutHandler(const nQoSim::tSimRegisterWindows& windows, unsigned window,
                                  const nQoUdRLP100::tTavikInterruptDispatcher& dispatcher) {
  std::ostringstream faults;
  for (const nQoUdRLP100::tSourceSwitch& row : nQoUdRLP100::kSourceSwitches)
    if (isOn(row, windows, window, dispatcher) && dispatcher.primaryHandlers[row.source] == nullptr)
      faults << "source " << unsigned{row.source} << " on without a handler\n";
  return faults.str();
}

std::string channelsOnFreedMemory(const nQoSim::tSimRegisterWindows& windows,
                                  const std::vector<unsigned>& channelWindows) {
  constexpr uint32_t kCommand = 0x00, kChainAddress = 0x20, kStart = 1;
  std::ostringstream faults;
  for (const unsigned channel : channelWindows) {
    if (windows.written(channel, kCommand, 32) != kStart) continue;
    const uint32_t chain = windows.written(channel, kChainAddress, 32);
    if (!nQoSim::insideLiveBlock(chain))
      faults << "channel window " << channel << " started on a chain in no block still held\n";
  }
  return faults.str();
}

std::string armsAnsweredTwice(const std::vector<nQoSim::tSimSchedulerAction::tCall>& calls) {
  using tCall = nQoSim::tSimSchedulerAction::tCall;
  std::ostringstream faults;
  int answers = 0;
  for (const tCall& call : calls) {
    if (call.kind == tCall::kArmed) answers = 0;
    if (call.kind == tCall::kDisarmed && ++answers == 2)
      faults << "an arm answered by more than one disarm\n";
  }
  return faults.str();
}

void tBoardWatch::mark() {
  for (tWatchedAction& watched : _actions) watched.from = watched.action->calls().size();
}

std::size_t tBoardWatch::actionCalls() const {
  std::size_t calls = 0;
  for (const tWatchedAction& watched : _actions)
    calls += watched.action->calls().size() - watched.from;
  return calls;
}

std::string tBoardWatch::faults(const nQoSim::tSimRegisterWindows& windows, unsigned window,
                                const nQoUdRLP100::tTavikInterruptDispatcher& dispatcher) const {
  std::string all = sourcesWithoutHandler(windows, window, dispatcher) +
                    channelsOnFreedMemory(windows, _channels);
  for (const tWatchedAction& watched : _actions) {
    const auto& calls = watched.action->calls();
    all +=
        armsAnsweredTwice({calls.begin() + static_cast<std::ptrdiff_t>(watched.from), calls.end()});
  }
  return all;
}

}  // namespace nQoTest
