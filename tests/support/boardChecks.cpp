#include "support/boardChecks.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <utility>

#include "sim/simAllocator.h"
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

// The sources that are on, each once, in source order.
std::vector<uint8_t> sourcesOn(const nQoSim::tSimRegisterWindows& windows, unsigned window,
                               const nQoUdRLP100::tTavikInterruptDispatcher& dispatcher) {
  uint64_t on = 0;
  for (const nQoUdRLP100::tSourceSwitch& row : nQoUdRLP100::kSourceSwitches)
    if (isOn(row, windows, window, dispatcher)) on |= uint64_t{1} << row.source;
  std::vector<uint8_t> sources;
  for (; on != 0; on &= on - 1) sources.push_back(static_cast<uint8_t>(std::countr_zero(on)));
  return sources;
}

// The status bits that make a source pending: the group's bit and the
// source's own, at the registers the dispatcher reads for it.
struct tPending {
  uint32_t offset;
  uint32_t bits;
};
constexpr uint32_t kGroupA = 0x104, kGroupB = 0x106, kGroupBit = 0x8000;
constexpr uint32_t kThird = 0x088, kCDIO = 0x224, kSerial = 0x0A1, kChange = 0x240;

std::vector<tPending> pendingOf(uint8_t source) {
  constexpr uint8_t kGroupABits[] = {14, 10, 11, 6, 7, 8, 5, 4};  // sources 0..7
  constexpr uint8_t kCDIOBits[] = {18, 20, 19, 2, 4, 3, 0};       // sources 21..27
  if (source <= 7) return {{kGroupA, kGroupBit | 1u << kGroupABits[source]}};
  switch (source) {
    case 8: return {{kGroupB, kGroupBit | 1u << 7}};
    case 9: return {{kGroupB, kGroupBit | 1u << 1}};
    case 14: return {{kGroupB, kGroupBit | 1u << 9}};
    case 15: return {{kGroupB, kGroupBit | 1u << 8}};
    case 16: return {{kGroupB, kGroupBit | 1u << 10}};
    case 18: return {{kGroupB, kGroupBit | 1u << 6}};
    case 20: return {{kGroupB, kGroupBit | 1u << 5}};
    case 28: return {{kChange, 1}};
    case 29: return {{kGroupA, kGroupBit}, {0x1B8, 0x8000}};
    case 30: return {{kGroupA, kGroupBit | 1u << 3}};
    case 31: return {{kGroupB, kGroupBit}, {0x1BA, 0x8000}};
    case 32: return {{kGroupB, kGroupBit | 1u << 3}};
    default: break;
  }
  if (source >= 10 && source <= 13) return {{kThird, 1}, {kSerial, 1u << (source - 10)}};
  if (source >= 21 && source <= 27) return {{kThird, 1}, {kCDIO, 1u << kCDIOBits[source - 21]}};
  return {};  // 17: the joint status's bit, which no row of ours switches on
}

// The descriptors of a VESK chain: byte count, buffer address, next address.
constexpr uint32_t kDescriptorWords = 3;
constexpr unsigned kLongestChain = 64;
// More secondary passes than one interrupt asks for.
constexpr unsigned kPasses = 16;
// A VESK channel's command register and the commands that start and stop it.
constexpr uint32_t kCommand = 0x00, kChainAddress = 0x20, kStart = 1, kStop = 4;

// Where the started channel's chain, or a buffer of it, lies in freed memory.
std::string chainFaults(const nQoSim::tSimRegisterWindows& windows, unsigned channel) {
  const uint32_t chain = windows.written(channel, kChainAddress, 32);
  uint32_t at = chain;
  for (unsigned k = 0; k < kLongestChain; ++k) {
    uint32_t descriptor[kDescriptorWords];
    if (!nQoSim::readLive(at, descriptor, sizeof descriptor))
      return "channel window " + std::to_string(channel) +
             " started on a chain in no block still held\n";
    if (descriptor[0] != 0 &&
        (!nQoSim::insideLiveBlock(descriptor[1]) ||
         !nQoSim::insideLiveBlock(uint64_t{descriptor[1]} + descriptor[0] - 1)))
      return "channel window " + std::to_string(channel) +
             " started on a buffer in no block still held\n";
    at = descriptor[2];
    if (at == chain) break;
  }
  return "";
}

}  // namespace

std::string sourcesWithoutHandler(const nQoSim::tSimRegisterWindows& windows, unsigned window,
                                  const nQoUdRLP100::tTavikInterruptDispatcher& dispatcher) {
  std::ostringstream faults;
  for (const uint8_t source : sourcesOn(windows, window, dispatcher))
    if (dispatcher.primaryHandlers[source] == nullptr)
      faults << "source " << unsigned{source} << " on without a handler\n";
  return faults.str();
}

std::string channelsOnFreedMemory(const nQoSim::tSimRegisterWindows& windows,
                                  const std::vector<unsigned>& channelWindows) {
  std::string faults;
  for (const unsigned channel : channelWindows)
    if (windows.written(channel, kCommand, 32) == kStart) faults += chainFaults(windows, channel);
  return faults;
}

void tBoardWatch::watchChannel(unsigned window) {
  _channels.push_back(window);
  _started[window] = false;
  if (_windows != nullptr) followCommands(window);
}

void tBoardWatch::followCommands(unsigned channel) {
  std::atomic<bool>& started = _started[channel];
  started = _windows->written(channel, kCommand, 32) == kStart;
  _windows->setWriteCallback(channel, kCommand, [&started](unsigned, uint32_t command) {
    if (command == kStart) started = true;
    if (command == kStop) started = false;
  });
}

bool tBoardWatch::started(unsigned channel) const {
  const auto at = _started.find(channel);
  return at != _started.end() && at->second;
}

std::string freshBytesIn(const void* bytes, std::size_t size) {
  const auto* at = static_cast<const uint8_t*>(bytes);
  std::size_t run = 0;
  for (std::size_t k = 0; k < size; ++k) {
    run = at[k] == nQoSim::kFreshByte ? run + 1 : 0;
    if (run == 4)
      return "a client read memory nothing filled (byte " + std::to_string(k - 3) + " on)\n";
  }
  return "";
}

void tBoardWatch::watchBoard(nQoSim::tSimRegisterWindows& windows, unsigned window,
                             const nQoUdRLP100::tTavikInterruptDispatcher& dispatcher,
                             nQoSim::tSimBus& bus, uint32_t irq) {
  _windows = &windows;
  _window = window;
  _dispatcher = &dispatcher;
  _bus = &bus;
  _irq = irq;
  for (const unsigned channel : _channels) followCommands(channel);
}

void tBoardWatch::watchAction(const nQoSim::tSimSchedulerAction& action) {
  watchReports("scheduler action", [&action] {
    using tCall = nQoSim::tSimSchedulerAction::tCall;
    std::string log;
    for (const tCall& call : action.calls()) {
      if (call.kind == tCall::kArmed) log += 'a';
      if (call.kind == tCall::kDisarmed) log += 'r';
    }
    return log;
  });
}

void tBoardWatch::watchReports(std::string name, std::function<std::string()> log,
                               std::function<void()> forget) {
  _streams.push_back({std::move(name), std::move(log), std::move(forget)});
}

void tBoardWatch::mark() {
  for (tStream& stream : _streams) {
    if (stream.forget) stream.forget();
    stream.from = stream.log().size();
  }
}

std::size_t tBoardWatch::reports() const {
  std::size_t events = 0;
  for (const tStream& stream : _streams) events += stream.log().size() - stream.from;
  return events;
}

std::string tBoardWatch::reportLog() const {
  std::string all;
  for (const tStream& stream : _streams)
    all += stream.name + ": " + stream.log().substr(stream.from) + "\n";
  return all;
}

uint64_t tBoardWatch::accessMark() const { return _windows != nullptr ? _windows->logMark() : 0; }

std::string tBoardWatch::firstWriteSince(uint64_t mark) const {
  if (_windows == nullptr) return "";
  const std::vector<nQoSim::tSimRegisterWindows::tAccess> written = _windows->writesSince(mark);
  if (written.empty()) return "";
  std::ostringstream place;
  place << "0x" << std::hex << std::uppercase << written[0].offset << std::dec << " of window ";
  if (written[0].window == _window)
    place << "tavik";
  else
    place << written[0].window;
  return place.str();
}

std::string tBoardWatch::faults() const {
  return _windows != nullptr ? faults(*_windows, _window, *_dispatcher) : reportFaults();
}

std::string tBoardWatch::faults(const nQoSim::tSimRegisterWindows& windows, unsigned window,
                                const nQoUdRLP100::tTavikInterruptDispatcher& dispatcher) const {
  std::string chains;
  for (const unsigned channel : _channels)
    if (started(channel)) chains += chainFaults(windows, channel);
  return sourcesWithoutHandler(windows, window, dispatcher) + chains + reportFaults();
}

std::string tBoardWatch::reportFaults() const {
  std::string all;
  for (const tStream& stream : _streams) {
    int owed = 0;
    for (const char event : stream.log().substr(stream.from)) {
      owed += event == 'a' ? 1 : -1;
      if (owed < 0) {
        all += stream.name + ": a report that no arm was owed\n";
        break;
      }
    }
  }
  return all;
}

std::string tBoardWatch::runs(bool arm) const {
  if (_windows == nullptr) return "";
  std::ostringstream runs;
  const std::vector<uint8_t> on = sourcesOn(*_windows, _window, *_dispatcher);
  for (const uint8_t source : _sources) {
    const bool stopped = std::ranges::find(_stopSources, source) != _stopSources.end();
    if ((arm || stopped) && std::ranges::find(on, source) != on.end())
      runs << "source " << unsigned{source} << " on\n";
  }
  for (const unsigned channel : _channels)
    if (started(channel)) runs << "channel window " << channel << " started\n";
  return runs.str();
}

std::string tBoardWatch::unanswered() const {
  std::string all;
  for (const tStream& stream : _streams) {
    int owed = 0;
    for (const char event : stream.log().substr(stream.from)) owed += event == 'a' ? 1 : -1;
    if (owed > 0) all += stream.name + ": an arm left without its report\n";
  }
  return all;
}

std::string tBoardWatch::slotsInside(const void* begin, std::size_t size) const {
  if (_dispatcher == nullptr) return "";
  const auto inside = [begin, size](const void* handler) {
    const auto first = reinterpret_cast<uintptr_t>(begin);
    return handler != nullptr && reinterpret_cast<uintptr_t>(handler) - first < size;
  };
  std::ostringstream faults;
  for (uint32_t source = 0; source < nQoUdRLP100::tTavikInterruptDispatcher::kSourceCount; ++source)
    if (inside(_dispatcher->primaryHandlers[source].load()) ||
        inside(_dispatcher->secondaryHandlers[source].load()))
      faults << "slot " << source << " holds a handler of a primitive that is gone\n";
  return faults.str();
}

bool tBoardWatch::sourceOn(uint8_t source) const {
  if (_windows == nullptr) return false;
  const std::vector<uint8_t> on = sourcesOn(*_windows, _window, *_dispatcher);
  return std::ranges::find(on, source) != on.end();
}

bool tBoardWatch::raiseSource(uint8_t source) {
  const std::vector<tPending> pending = pendingOf(source);
  if (_windows == nullptr || pending.empty()) return false;
  for (const tPending& at : pending) _windows->setReadBits(_window, at.offset, at.bits);
  _bus->raise(_irq);
  for (const tPending& at : pending) _windows->setReadBits(_window, at.offset, 0);
  return true;
}

void tBoardWatch::fireSource(uint8_t source) {
  if (raiseSource(source)) runPasses();
}

void tBoardWatch::fire() {
  if (_windows == nullptr) return;
  if (_leave) runPasses();
  for (const uint8_t source : sourcesOn(*_windows, _window, *_dispatcher))
    if (std::ranges::find(_rowFired, source) == _rowFired.end() && raiseSource(source) && !_leave)
      runPasses();
}

void tBoardWatch::runPasses() {
  if (_bus == nullptr) return;
  for (unsigned pass = 0; pass < kPasses && _bus->pumpSecondary() != 0; ++pass) {
  }
}

}  // namespace nQoTest
