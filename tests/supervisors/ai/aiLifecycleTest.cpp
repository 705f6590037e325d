// The analog-input supervisors as rows of the lifecycle suite, over the
// real primitives of the simulated board's AI road.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "primitives/ai/tAIImmediateDMATransferPrimitive.h"
#include "primitives/ai/tAIInterruptTransferPrimitive.h"
#include "primitives/ai/tAIScanningFrontEndPrimitive.h"
#include "primitives/ai/tAISubsystem.h"
#include "primitives/ai/tAI_DMATransferPrimitive.h"
#include "primitives/aiTransferFixture.h"
#include "sim/simMemBlocks.h"
#include "sim/simParameterBlock.h"
#include "sim/simSync.h"
#include "sim/simThread.h"
#include "supervisors/ai/aiImmediateTransferSupervisors.h"
#include "supervisors/ai/aiSupervisors.h"
#include "supervisors/ai/aiTransferSupervisors.h"
#include "supervisors/lifecycleSuite.h"
#include "support/aiTransferDoubles.h"
#include "support/boardChecks.h"
#include "support/brokerPools.h"
#include "support/reservationDoubles.h"
#include "tavik/tTavikInterruptDispatcherBinders.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
constexpr int kTimedOut = -200474;
// A walk's codes above this are steps of the row's own, not the supervisor's.
constexpr uint32_t kRowStep = 10'000'000;
constexpr nQoORB100::tGUID kDevice{0x1122, 0x3344};

// A bus whose location words hold the entry that asks for them.
class tHoldingBus : public nQoSim::tSimBus {
 public:
  tHoldingBus(nQoSim::tSimRegisterWindows& windows, tHoldPoint& hold)
      : tSimBus(windows), _hold(hold) {}
  uint32_t location(uint32_t index) override {
    _hold();
    return tSimBus::location(index);
  }

 private:
  tHoldPoint& _hold;
};

// A report stream's events as they come, from any thread: 'a' an arm or a
// start that owes one report, 'o' one after which at most one report may
// come (the board may end the run by itself, or the code may close it with
// no report), 'r' a report, 'n' a notice that a run may send any number of
// times (it owes and answers nothing, but a destruction sends none). log()
// answers them for tBoardWatch, where an 'o' owes the next report that no
// 'a' is owed, if it follows the 'o' at once.
class tReportLog {
 public:
  void note(char event) {
    const std::lock_guard<std::mutex> lock(_lock);
    if (event == 'n') {
      _log += "ar";
      return;
    }
    if (event == 'o') {
      _pending = true;
      return;
    }
    if (event == 'a') {
      ++_owed;
    } else if (_owed != 0) {
      --_owed;
    } else if (_pending) {
      _log += 'a';
    }
    _pending = false;
    _log += event;
  }
  std::string log() const {
    const std::lock_guard<std::mutex> lock(_lock);
    return _log;
  }
  // Whether an 'a' is still owed its report.
  bool owes() const {
    const std::lock_guard<std::mutex> lock(_lock);
    return _owed != 0;
  }
  // A bring-up starts the stream afresh: what the walks before owed is
  // theirs.
  void clearOwed() {
    const std::lock_guard<std::mutex> lock(_lock);
    _owed = 0;
    _pending = false;
  }

 private:
  mutable std::mutex _lock;
  std::string _log;
  // Owed by the 'a's so far, which a report answers before an 'o'.
  size_t _owed = 0;
  bool _pending = false;
};

// An endpoint whose transfer ends make a report stream.
template <class tBase>
class tEndingEndpoint : public tBase {
 public:
  using tBase::tBase;
  void transferEnded(const tStatus2& reason, tStatus2& status) override {
    if (reason.isFatal()) ++failures;
    ends.note('r');
    tBase::transferEnded(reason, status);
  }
  tReportLog ends;
  // The ends that reported an error.
  std::atomic<int> failures{0};
};

// A scheduler action whose arms and disarms make a report stream.
class tNotedAction : public nQoSim::tSimSchedulerAction {
 public:
  void armed(tStatus2& status) override {
    reports.note('a');
    tSimSchedulerAction::armed(status);
  }
  void disarmed(tStatus2& status) override {
    reports.note('r');
    tSimSchedulerAction::disarmed(status);
  }
  tReportLog reports;
};

// The scheduler-action partner, handing out that action.
class tNotedScheduler : public tScriptedSchedulerSupervisor {
 public:
  using tScriptedSchedulerSupervisor::tScriptedSchedulerSupervisor;
  nQoMAS100::iSchedulerAction* getSchedulerAction(tStatus2& status) override {
    tScriptedSchedulerSupervisor::getSchedulerAction(status);
    return &noted;
  }
  tNotedAction noted;
};

// The board's VESK channel maps, every channel number on one channel window.
struct tVESKChannels {
  tVESKChannels(nQoSim::tSimRegisterWindows& windows, nQoSim::tSimBus& bus, tStatus2& status)
      : window(windows.addWindow(0x84)), channel(&bus, window, &status) {
    maps.fill(&channel);
  }
  const unsigned window;
  nQoUdRLP100::tVESKChannel channel;
  std::array<nQoUdRLP100::tVESKChannel*, 8> maps{};
};

// The facade's event object, counting its unregistrations for a look from
// the entry's thread while a step may register on the test's; its done posts
// make a report stream.
class tCountingEvent : public tScriptedEvent {
 public:
  using tScriptedEvent::tScriptedEvent;
  void unregisterEvent(uint32_t kind, tStatus2& status) override {
    ++unregistered;
    tScriptedEvent::unregisterEvent(kind, status);
  }
  void post(const nQoMRL110::tSoftwareAction& action, tStatus2& status) override {
    if (action.getKind() == nQoMRL110::kDoneEvent) done.note(doneNote);
    tScriptedEvent::post(action, status);
  }
  std::atomic<int> unregistered{0};
  tReportLog done;
  // What a done post is: a report ('r') or a notice ('n').
  char doneNote = 'r';
};

// Every AI row: the AI road with one channel in timing mode 2, a broker that
// offers the row's pool under its settings' identifier, a facade whose event
// object logs, a map, and the status register's reads as a hold point.
template <class Settings>
class tAIRow : public tAIRoadTest {
 protected:
  void SetUp() override {
    tAIRoadTest::SetUp();
    nQoSim::resetResourceBroker();
    facade.eventObject = &event;
    windows.setReadCallback(window, nQoSim::tSimAIFifo::kStatusOffset, [this](unsigned) {
      hold();
      ++fifoPolls;
      // A DMA worker that drains polls without end: it gives way to the steps.
      if (std::this_thread::get_id() != testThread) std::this_thread::yield();
      return model.size() == 0 ? nQoSim::tSimAIFifo::kEmptyBit : 0;
    });
    // The board's side of the data register: a sample acquired, under the
    // windows' lock, where the FIFO's readers on other threads look.
    windows.setWriteCallback(window, nQoSim::tSimAIFifo::kDataOffset,
                             [this](unsigned, uint32_t sample) { model.push(sample); });
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.timing.timingMode = 2;
    config.timing.strobeLoadValue = 1;
    config.hasRouting = 1;
    config.routing.words[7] = 19;
    commitTiming(config);
    nQoUdP100::tAIScanningFrontEndPrimitiveConfig channels;
    nQoUdP100::tAIScanningFrontEndConfig channel;
    channel.channelFlags = 1;
    channels.channels.append(channel);
    frontEndDescription.rangeCodes = &anyRange;
    frontEnd.emplace(&frontEndDescription, map, helper, status);
    commitChannels(*frontEnd, channels);
    deviceInfo.identity = &kDevice;
    watched.watchBoard(windows, window, *dispatcher, bus);
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    if (fifoSupervisor) fifoSupervisor->releaseResource(status);
    fifoSupervisor.reset();
    fifoSettings.reset();
    fifoPool.reset();
    settings.reset();
    frontEnd.reset();
    nQoSim::resetResourceBroker();
    tAIRoadTest::TearDown();
  }
  // The pool of primitive, offered under name as identifier.
  template <class tPool, class tPrimitive>
  void offer(std::optional<tPool>& pool, tPrimitive* primitive, const char* name,
             nQoMRL100::tGeneralIdentifier& identifier) {
    pool.emplace(primitive);
    offerPool(identifier, {7, 9}, name, &*pool, status);
    ASSERT_EQ(status.code, 0);
  }
  template <class tSupervisor>
  void up(tSupervisor& supervisor, tStatus2& status) {
    for (tReportLog* reports : reportLogs) reports->clearOwed();
    emptyFIFO();
    supervisor.initialize(*settings, &facade, status);
    supervisor.link(supervisorMap, status);
  }
  // A report stream of the row's.
  void watchLog(std::string name, tReportLog& reports) {
    watched.watchReports(std::move(name), [&reports] { return reports.log(); });
    reportLogs.push_back(&reports);
  }
  // The road's FIFO primitive held by a FIFO supervisor of its own, for the
  // transfers' links to find in the map.
  void reserveFIFOSupervisor() {
    fifoSettings.emplace();
    offer(fifoPool, fifo, "AIFIFO", fifoSettings->supervisorRecord().identifier);
    fifoSupervisor.emplace();
    fifoSupervisor->initialize(*fifoSettings, &facade, status);
    fifoSupervisor->reserveResource(status);
  }
  // A partner's answer to operation: -7 while it refuses.
  static void refuse(tScriptedDouble& partner, const char* operation, bool refuses) {
    if (refuses)
      partner.answers[operation] = -7;
    else
      partner.answers.erase(operation);
  }
  // The broker's calls, the live blocks, sync objects and memory blocks, the
  // bus registrations and the events given up.
  std::string handedBack() {
    return brokerAndBlocks() + ", memory " + std::to_string(nQoSim::liveMemBlocks()) + ", bus " +
           std::to_string(bus.registrations()) + ", unregistered " +
           std::to_string(event.unregistered.load());
  }
  std::string boardFaults() { return watched.faults(windows, window, *dispatcher); }

  // What the board runs of the AI road beyond sources and VESK channels: the
  // timing engine armed (the last write of its command register is the arm
  // command), and the FIFO routed to a DMA channel (the AI bits of the DMA
  // select register).
  std::string engineArmed() const {
    constexpr uint32_t kCommand = 0x110, kArmBits = 0x0440;
    return (windows.written(window, kCommand, 16) & kArmBits) == kArmBits ? "timing engine armed\n"
                                                                          : "";
  }
  std::string fifoRouted() const {
    const uint32_t code = windows.written(window, kDMASelect, 8) & 0x0F;
    return code != 0 ? "DMA select routes the FIFO (code " + std::to_string(code) + ")\n" : "";
  }
  // The FIFO data interrupt (bit 7 of the group A enables) is on.
  bool fifoDataOn() const {
    constexpr uint32_t kEnableA = 0x192, kFIFOData = 0x80;
    return (windows.written(window, kEnableA, 16) & kFIFOData) != 0;
  }
  // What the board holds of the registers that only the timing engine's
  // commit and uncommit write (and an arm rewrites as they stand): modes 1
  // and 3 (with the FIFO's mode bits, which the FIFO's commit writes), the
  // selects at 0x17C, the personal register, the count loads, the sample
  // period's loads and the strobe value.
  std::string engineProgram() const {
    static constexpr std::pair<uint32_t, unsigned> kProgram[] = {
        {0x118, 16}, {0x1AE, 16},   {0x17C, 16}, {0x19A, 16},       {kFirstCount, 32},
        {0x128, 32}, {kPeriod, 32}, {0x120, 32}, {kStrobeValue, 16}};
    std::string held;
    for (const auto& [offset, width] : kProgram) {
      held += ' ';
      held += std::to_string(windows.written(window, offset, width));
    }
    return held;
  }
  // After a step: the engine's registers changed only where the step
  // programs the engine (programs), and are what the runs from here on go
  // by; a commit of a finite mode-3 run (committed: the settings deployed
  // for it) loaded its sets, its sample period and its strobe value.
  std::string engineKept(bool programs,
                         const nQoUdP100::tAITimingControllerPrimitiveConfig* committed) {
    const std::string now = engineProgram();
    std::string faults;
    if (!programs && now != programmedEngine)
      faults += "the engine's registers went from" + programmedEngine + " to" + now +
                " at a step that programs nothing\n";
    programmedEngine = now;
    if (committed == nullptr || committed->timing.timingMode != 3 ||
        committed->timing.acquisitionType != 2)
      return faults;
    const nQoUdP100::tAITimingConfig& timing = committed->timing;
    auto loaded = [&](const char* what, uint32_t offset, unsigned width, uint32_t value) {
      const uint32_t held = windows.written(window, offset, width);
      if (held != value)
        faults += std::string("the commit loaded ") + what + " " + std::to_string(held) +
                  ", not the deployed " + std::to_string(value) + "\n";
    };
    loaded("sets", kFirstCount, 32, timing.firstCount - 1);
    loaded("the sample period", kPeriod, 32, timing.counterBLoad1 - 1);
    if (timing.strobeLoadValue > 1)
      loaded("the strobe value", kStrobeValue, 16, timing.strobeLoadValue - 1);
    return faults;
  }
  // After a step: a DMA transfer's worker that a last conversion woke
  // (wakes: the wakes seen before) for a live run drains until the FIFO is
  // empty or the run ends. Waits, bounded by elapsed time, until it has
  // polled the FIFO or ended the run.
  std::string drained(const nQoUdP100::tBaseAI_DMATransferPrimitive& transfer, uint32_t& wakes) {
    const uint32_t woken = transfer.counts().lastConvertSecondary;
    if (woken == wakes) return "";
    wakes = woken;
    const uint32_t polls = fifoPolls;
    const auto guard = std::chrono::steady_clock::now() + tHeldCall::kGuard;
    while (fifoPolls == polls && !transfer.isDone()) {
      if (std::chrono::steady_clock::now() >= guard)
        return "the DMA worker that the last conversion woke never drained\n";
      std::this_thread::yield();
    }
    return "";
  }
  // Samples in the FIFO, as an acquisition leaves them: the board numbers
  // them 1, 2, 3, ... from the bring-up on.
  void fillFIFO(size_t samples = 2) {
    while (model.size() < samples)
      windows.writeAt(window, nQoSim::tSimAIFifo::kDataOffset, 32, ++acquired, 0);
  }
  // A bring-up starts the board's numbers afresh, with the FIFO empty.
  void emptyFIFO() {
    for (uint32_t sample = 0; model.size() != 0;)
      windows.readAt(window, nQoSim::tSimAIFifo::kDataOffset, 32, 0, sample);
    acquired = taken = 0;
  }
  // What a client read (samples of width bytes) goes on with the board's
  // numbers in order: none twice, none skipped, none from an empty FIFO
  // (which reads 0), none the read did not fill.
  std::string samplesFollow(const uint8_t* bytes, size_t size, size_t width) {
    const uint32_t mask = width == 2 ? 0xFFFF : 0xFFFF'FFFF;
    std::string faults;
    for (size_t at = 0; at + width <= size; at += width) {
      uint32_t sample = 0;
      std::memcpy(&sample, bytes + at, width);
      const uint32_t next = (taken + 1) & mask;
      if (sample == next) {
        ++taken;
        continue;
      }
      if (sample == 0)
        faults += "a client read a sample from an empty FIFO\n";
      else if (sample == (nQoSim::kFreshByte * 0x0101'0101u & mask))
        faults += "a client read a sample that nothing filled\n";
      else if (sample < next)
        faults += "a client read a sample twice\n";
      else
        faults += "a client's reads skipped samples\n";
      if (sample != 0 && sample <= acquired) taken = sample;
    }
    return faults;
  }
  // The road's timing engine in a finite mode-3 run, committed and armed afresh
  // (the commit disarms first) after its observers changed: the board's next
  // fire brings its record end, and with it the last conversion, once more.
  void finiteRun(uint32_t sets = 100) {
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.timing.timingMode = 3;
    config.timing.acquisitionType = 2;
    config.timing.firstCount = sets;
    config.timing.strobeLoadValue = 1;

    tStatus2 local;
    timing->setConfiguration(config, local);
    rearm(*timing);
  }
  template <class tArmed>
  static void rearm(tArmed& armed) {
    tStatus2 local;
    armed.commit(local);
    armed.arm(local);
  }

  tCallLog log;
  tScriptedFacade facade{log, "facade"};
  tCountingEvent event{log, "event"};
  tScriptedSupervisorMap supervisorMap{log, "map"};
  tHoldPoint hold;
  tBoardWatch watched;
  std::vector<tReportLog*> reportLogs;
  static constexpr uint32_t kDMASelect = 0x09;
  // The engine's first count load: the sets of a finite run, less one.
  static constexpr uint32_t kFirstCount = 0x124;
  // The first load of the sample period's counter, and the strobe value.
  static constexpr uint32_t kPeriod = 0x11C, kStrobeValue = 0x180;
  // The engine's registers as the last step that programs it left the board.
  std::string programmedEngine;
  // The board's numbers: the last sample acquired, and the last a client
  // read.
  uint32_t acquired = 0, taken = 0;

  // Reads of the FIFO's status register, from any thread.
  std::atomic<uint32_t> fifoPolls{0};
  const std::thread::id testThread = std::this_thread::get_id();
  nQoUdP100::tAIFrontEndDescription frontEndDescription;
  std::optional<nQoUdP100::tAIScanningFrontEndPrimitive> frontEnd;
  std::optional<Settings> settings{std::in_place};
  std::optional<nQoUdR100::tAIDeviceFIFOSettings> fifoSettings;
  std::optional<nQoUdR100::tBaseAIDeviceFIFOSupervisorRow::tPool> fifoPool;
  std::optional<nQoUdR100::tBaseAIDeviceFIFOSupervisor> fifoSupervisor;
};

// The real primitives whose control operations first call the hold point,
// so that a code from another thread holds inside the primitive, within the
// frame's use of it.
template <class Prim>
class tHeldControls : public Prim {
 public:
  template <class... tArgs>
  explicit tHeldControls(tHoldPoint& hold, tArgs&&... args)
      : Prim(std::forward<tArgs>(args)...), _hold(hold) {}
  void commit(tStatus2& s) override {
    _hold();
    Prim::commit(s);
    if (s.isNotFatal() && committed) committed();
  }
  void arm(tStatus2& s) override {
    _hold();
    Prim::arm(s);
    if (s.isNotFatal() && armed) armed();
  }
  void start(tStatus2& s) override {
    _hold();
    Prim::start(s);
    if (s.isNotFatal() && started) started();
  }
  void stop(tStatus2& s) override {
    _hold();
    Prim::stop(s);
    if (stopped) stopped(s);
  }
  void disarm(tStatus2& s) override {
    _hold();
    Prim::disarm(s);
    if (disarmed) disarmed();
  }
  void uncommit(tStatus2& s) override {
    _hold();
    Prim::uncommit(s);
    if (uncommitted) uncommitted();
  }
  // After a commit, an arm and a start that the primitive took, after every
  // disarm and uncommit, and after every stop with its answer.
  std::function<void()> committed, armed, started, disarmed, uncommitted;
  std::function<void(const tStatus2&)> stopped;

 private:
  tHoldPoint& _hold;
};

class tHeldConverter : public nQoUdP100::tAI_ADCPrimitive {
 public:
  template <class... tArgs>
  explicit tHeldConverter(tHoldPoint& hold, tArgs&&... args)
      : tAI_ADCPrimitive(std::forward<tArgs>(args)...), _hold(hold) {}
  bool commit(tStatus2& s) override {
    _hold();
    return tAI_ADCPrimitive::commit(s);
  }
  void arm(tStatus2& s) override {
    _hold();
    tAI_ADCPrimitive::arm(s);
  }
  void disarm(tStatus2& s) override {
    _hold();
    tAI_ADCPrimitive::disarm(s);
  }
  void uncommit(tStatus2& s) override {
    _hold();
    tAI_ADCPrimitive::uncommit(s);
  }

 private:
  tHoldPoint& _hold;
};

class tHeldFrontEnd : public nQoUdP100::tAIScanningFrontEndPrimitive {
 public:
  template <class... tArgs>
  explicit tHeldFrontEnd(tHoldPoint& hold, tArgs&&... args)
      : tAIScanningFrontEndPrimitive(std::forward<tArgs>(args)...), _hold(hold) {}
  void commit(tStatus2& s) override {
    _hold();
    tAIScanningFrontEndPrimitive::commit(s);
  }
  void arm(uint32_t flag, tStatus2& s) override {
    _hold();
    tAIScanningFrontEndPrimitive::arm(flag, s);
  }
  void disarm(tStatus2& s) override {
    _hold();
    tAIScanningFrontEndPrimitive::disarm(s);
  }
  void uncommit(tStatus2& s) override {
    _hold();
    tAIScanningFrontEndPrimitive::uncommit(s);
  }

 private:
  tHoldPoint& _hold;
};

// The sample-clock wait polling the converter's status register; its codes
// hold inside its operations. The walk's code 400 is a client's wait, which
// the board answers with one sample clock: the clock bit of the status
// register for a polling wait, the engine's sample-start notification to its
// observers once an event wait blocks. A wait tells of a missed clock only
// where the board clocked since the arm or the wait before.
class tWFNSCRow : public tAIRow<nQoUdR100::tAI_WFNSCSettings> {
 public:
  static constexpr const char* kName = "SampleClockWaitPolling";
  using tSupervisor = nQoUdR100::tBaseAI_WFNSCSupervisor;
  using tPrimitive = nQoUdP100::tBaseAI_WFNSCPrimitive;
  static constexpr uint32_t kCodes[] = {1, 4100, 4101, 4, 400};
  static constexpr size_t kDeploys = 1;

 protected:
  void SetUp() override {
    tAIRow::SetUp();
    makePrimitive();
    offer(pool, &*wfnsc, "AI_WFNSC", settings->supervisorRecord().identifier);
    // The status register as the FIFO leaves it, with the clock bit while
    // the board clocks.
    windows.setReadCallback(window, nQoSim::tSimAIFifo::kStatusOffset, [this](unsigned) {
      hold();
      ++fifoPolls;
      // The clock comes after the wait's first look.
      const bool clocked = clocking && ++clockReads > 1;
      return (model.size() == 0 ? nQoSim::tSimAIFifo::kEmptyBit : 0) | (clocked ? kClockBit : 0);
    });
    nQoSim::onSyncWait([this](const iSync*) { blocking(); });
  }
  // An event wait blocks: an event row's entry holds there, the board
  // clocks.
  void blocking() {
    if (holdsAtWaits) hold();
    if (waitBlocks) waitBlocks();
  }
  // A wait that the board answers with one clock; one that waits without
  // end (no clock reached it) is let go by the guard and noted.
  void walkCode(tSupervisor& supervisor, uint32_t code, tStatus2& status) {
    if (code != 400) {
      supervisor.control(code, nullptr, nullptr, status);
      if (code == 4100 && status.code == 0) clocksAtWait = clocks;
      return;
    }
    bool clocked = false;
    clockReads = 0;
    clocking = true;
    const std::thread::id client = std::this_thread::get_id();
    waitBlocks = [this, &clocked, client] {
      if (std::this_thread::get_id() != client || std::exchange(clocked, true)) return;
      ++clocks;
      tStatus2 local;
      if (timing->findSampleStartObserver(&*wfnsc) != nullptr) wfnsc->sampleStarted(timing, local);
    };
    const uint32_t before = clocks;
    if (clockMovedDuring([&] { supervisor.control(400, nullptr, nullptr, status); }))
      waitFaults += "a wait that the board clocked waited without end\n";
    waitBlocks = nullptr;
    clocking = false;
    if (status.code == nQoUdR100::kClockMissed || status.code == -nQoUdR100::kClockMissed) {
      if (before == clocksAtWait)
        waitFaults += "a wait told of a missed clock with none since the arm or the wait before\n";
    }
    // A polling wait had the clock bit.
    if (!clocked) ++clocks;
    clocksAtWait = clocks;
  }
  // The fire clocks where the board's sample-start source is on.
  std::string fired() {
    if (watched.sourceOn(nQoUdP100::tTavikAITimingControllerPrimitive::kSampleStartSource))
      ++clocks;
    return "";
  }
  std::string stepFaults(uint32_t, const tStatus2&) { return std::exchange(waitFaults, ""); }
  void ready(tSupervisor& supervisor) {
    tStatus2 status;
    supervisor.control(1, nullptr, nullptr, status);
    supervisor.control(4100, nullptr, nullptr, status);
    clocks = clocksAtWait = 0;
  }
  // The other wait: polling for event, event for polling.
  void deployOther(tSupervisor& supervisor, size_t, tStatus2& status) {
    nQoUdR100::tAI_WFNSCSettings other = *settings;
    other.supervisorRecord().word2 = settings->supervisorRecord().word2.value != 0 ? 0 : 1;
    supervisor.deploy(other, status);
  }
  void makePrimitive() { wfnsc.emplace(hold, timing, converter); }
  void destroyPrimitive() { wfnsc.reset(); }
  void TearDown() override {
    nQoSim::onSyncWait(nullptr);
    pool.reset();
    wfnsc.reset();
    tAIRow::TearDown();
  }
  // Armed as ready leaves it, committed, and stopped by a cancel.
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {{"armed", [] {}},
            {"committed",
             [&supervisor] {
               tStatus2 status;
               supervisor.control(4101, nullptr, nullptr, status);
             }},
            {"stopped by a cancel", [&supervisor] {
               tStatus2 status;
               supervisor.requestCancel(status);
             }}};
  }
  // A stop ends the waits before they reach the primitive: only the code
  // that lifts it then.
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    auto code = [&supervisor](uint32_t code, std::vector<uint8_t> in) {
      return [&supervisor, code, in](tStatus2& status) {
        nQoSim::tByteParameterBlock block(in);
        supervisor.control(code, in.empty() ? nullptr : &block, nullptr, status);
      };
    };
    std::vector<tEntry> entries{{"4100", code(4100, {})}};
    if (wfnsc->isStopped()) return entries;
    entries.insert(entries.begin(),
                   {{"400", code(400, {}), true, 0, kTimedOut},
                    {"401", code(401, {5, 0, 0, 0}), true, 0, kTimedOut},
                    {"the second interface's wait",
                     [&supervisor](tStatus2& status) { supervisor.waitForNextSampleClock(status); },
                     true, 0, kTimedOut}});
    return entries;
  }
  std::string primitiveState() {
    return "mode " + std::to_string(wfnsc->mode()) + ", stopped " +
           std::to_string(wfnsc->isStopped());
  }

  std::optional<tHeldControls<tPrimitive>> wfnsc;
  std::optional<nQoUdR100::tBaseAI_WFNSCSupervisorRow::tPool> pool;
  // The converter's sample-clock bit in the status register.
  static constexpr uint32_t kClockBit = 1u << 5;
  std::atomic<bool> clocking{false};
  std::atomic<uint32_t> clockReads{0};
  std::function<void()> waitBlocks;
  std::string waitFaults;
  bool holdsAtWaits = false;
  // The board's clocks since the bring-up, and as the arm or the last wait
  // left them.
  uint32_t clocks = 0, clocksAtWait = 0;
};

// The sample-clock wait on the event that the timing controller's sample
// starts set: a wait holds on its own thread where it blocks on the event.
class tWFNSCEventRow : public tWFNSCRow {
 public:
  static constexpr const char* kName = "SampleClockWaitEvent";
  // A wait that unlinkResource ended answers before it blocks on the event.
  static constexpr bool kEndsBeforeHold = true;

 protected:
  void SetUp() override {
    settings->supervisorRecord().word2 = 0;
    // No lead-in: an arm's first wait already tells a clock it missed.
    settings->supervisorRecord().word3 = 0;
    holdsAtWaits = true;
    tWFNSCRow::SetUp();
  }
  // The mode and whether the controller still tells the wait of its clocks.
  std::string primitiveState() {
    return tWFNSCRow::primitiveState() +
           (timing->findSampleStartObserver(&*wfnsc) != nullptr ? ", observed" : "");
  }
};

// The programmed-I/O immediate transfer: a read polls the FIFO's status
// register, code 1 registers the client's listener under the bus location.
// Its done posts are notices: every code 3 and every sample end sends one.
// After every code that leaves no run live, a client's read without a limit
// waits on a thread of its own (with a set in the FIFO that no run
// acquired) across the steps after it: a step that ends the reads (1, 4101,
// 4, the release, the destruction) ends it as a cancel does before it
// returns, 4100 begins the run it takes that set of, and 2, 3, a deploy and
// a fire leave it waiting with nothing taken (the fire's own read is
// refused; the row then ends the waiting read). A finished run refuses it
// at once, and a blocking waiter that no client named an event for refuses
// its wait (-50004).
class tImmediateRow : public tAIRow<nQoUdR100::tAIImmediateTransferSettings> {
 public:
  static constexpr const char* kName = "ImmediateTransfer";
  using tSupervisor = nQoUdR100::tAIImmediateTransferSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  static constexpr size_t kDeploys = 1;
  using tPrimitive = nQoUdP100::tBaseAIImmediateTransferPrimitive;

 protected:
  void SetUp() override {
    tAIRow::SetUp();
    description.fifo = &fifoDescription;
    description.firstEntry = &entry;
    wfnsc.emplace(timing, converter);
    makePrimitive();
    settings->supervisorRecord().longWord = 0x5A;
    settings->supervisorRecord().word6 = 1;  // polls
    offer(pool, &*immediate, "AIImmediateTransfer", settings->supervisorRecord().identifier);
    event.doneNote = 'n';
    watchLog("done notice", event.done);
  }
  // The other wait: blocking on the sample ends' event.
  void deployOther(tSupervisor& supervisor, size_t, tStatus2& status) {
    nQoUdR100::tAIImmediateTransferSettings other = *settings;
    other.supervisorRecord().word6 = 2;
    supervisor.deploy(other, status);
  }
  // A client's read of one set, without waiting, of what the board acquired.
  std::string fired() {
    fillFIFO();
    return clientRead(0);
  }
  // A client's read of one set into bytes that hold the fresh pattern
  // first: what it handed over goes on with the board's numbers.
  std::string clientRead(uint32_t timeout) {
    std::array<uint32_t, 4> samples;
    samples.fill(nQoSim::kFreshByte * 0x0101'0101u);
    uint32_t count = 0;
    tStatus2 read;
    const uint32_t sets =
        immediate->read(samples.data(), 1, read, &count, timeout, kTimerTimeUnitMillisecond);
    client += "read " + std::to_string(sets) + " sets of " + std::to_string(count) +
              " bytes, code " + std::to_string(read.code) + ", last sample " +
              std::to_string(taken) + "\n";
    return freshBytesIn(samples.data(), count) +
           samplesFollow(reinterpret_cast<const uint8_t*>(samples.data()), count,
                         fifo->sampleWidth());
  }
  // Each read's sets, bytes and answer, and the board's number of the last
  // sample the client got.
  std::string clientData() { return client; }
  std::string stepFaults(uint32_t step, const tStatus2&) {
    std::string faults = waiting ? acrossStep(step) : "";
    const bool code = step != kFireStep && step < kDeployStep;
    if (!waiting && code && immediate->getTransferState() != 5) faults += giveWaitingRead();
    return faults;
  }
  // The sets that a waiting read took of the run 4100 began.
  virtual void joined(uint32_t) {}
  void TearDown() override {
    if (waiting && immediate && waiting->thread.joinable()) endWaitingRead();
    if (waiting) collect("the teardown");
    pool.reset();
    immediate.reset();
    wfnsc.reset();
    tAIRow::TearDown();
  }
  void makePrimitive() {
    immediate.emplace(&heldBus, &deviceInfo, &*frontEnd, &*wfnsc, converter, timing, fifo,
                      &description, status);
  }
  void destroyPrimitive() { immediate.reset(); }
  void ready(tSupervisor& supervisor) {
    tStatus2 start;
    supervisor.control(4100, nullptr, nullptr, start);
    client.clear();
  }
  // Started as ready leaves it, and with the client's listener of code 1.
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {{"started", [] {}}, {"listening and started", [this, &supervisor] {
                                   tStatus2 listening, started;
                                   supervisor.control(1, nullptr, nullptr, listening);
                                   supervisor.control(4100, nullptr, nullptr, started);
                                   EXPECT_TRUE(immediate->hasListener());
                                 }}};
  }
  // Code 1 holds where it registers the listener: not once it is.
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    std::vector<tEntry> entries{{"read",
                                 [&supervisor, this](tStatus2& status) {
                                   supervisor.read(1, 5, reinterpret_cast<uint8_t*>(buffer),
                                                   nullptr, nullptr, status);
                                 },
                                 true, 0, kTimedOut}};
    if (!immediate->hasListener())
      entries.push_back({"1", [&supervisor](tStatus2& status) {
                           supervisor.control(1, nullptr, nullptr, status);
                         }});
    return entries;
  }
  // Its transfer state, the client's listener, the done target of its link.
  std::string primitiveState() {
    return "state " + std::to_string(immediate->getTransferState()) + ", listener " +
           std::to_string(immediate->hasListener()) + ", done target " +
           std::to_string(immediate->getDoneTarget() != nullptr);
  }

  tHoldingBus heldBus{windows, hold};
  nQoUdP100::tAIDescription description;
  std::optional<nQoUdP100::tBaseAI_WFNSCPrimitive> wfnsc;
  std::optional<tPrimitive> immediate;
  std::optional<nQoUdR100::tAIImmediateTransferSupervisorRow::tPool> pool;
  uint32_t buffer[4] = {};
  std::string client;

 private:
  // A client's read of one set given with no live run, on its thread.
  struct tWaitingRead {
    std::thread thread;
    std::atomic<bool> returned{false};
    std::array<uint32_t, 4> samples;
    uint32_t sets = 0, bytes = 0;
    tStatus2 status;
  };

  std::string giveWaitingRead() {
    fillFIFO(1);
    waiting.emplace();
    waiting->samples.fill(nQoSim::kFreshByte * 0x0101'0101u);
    waiting->thread = std::thread([this, read = &*waiting] {
      read->sets = immediate->read(read->samples.data(), 1, read->status, &read->bytes,
                                   tPrimitive::kNoLimit, kTimerTimeUnitMillisecond);
      read->returned = true;
    });
    // Once it holds the transfer or has returned: either may end before the other.
    bool began = false;
    if (!boundedUntil(
            [&] { return began = began || immediate->isReading() || waiting->returned; })) {
      endWaitingRead();
      collect("its giving");
      return "a read given with no live run never began\n";
    }
    if (!waiting->returned) return "";
    // Only a finished run's refusal answers at once.
    const bool took = waiting->sets != 0 || waiting->bytes != 0;
    collect("its giving");
    return took ? "a read given with no live run took samples\n" : "";
  }
  std::string acrossStep(uint32_t step) {
    const std::string name = step == kReleaseStep   ? "the release"
                             : step == kDestroyStep ? "the destruction"
                             : step == kFireStep    ? "a fire"
                             : isDeploy(step)       ? "a deploy"
                                                    : "code " + std::to_string(step);
    if (step == kDestroyStep) return endedAsACancel(name);
    std::string faults;
    if (step == 4100) {
      if (!boundedUntil([&] { return waiting->returned.load(); })) {
        faults += "a read given with no live run waited on after 4100\n";
        endWaitingRead();
      }
      const uint32_t sets = waiting->sets;
      joined(sets);
      const uint32_t bytes = waiting->bytes;
      const std::array<uint32_t, 4> samples = waiting->samples;
      const int code = waiting->status.code;
      const bool refused = waitRefused();
      collect(name);
      if ((sets != 1 || code != 0) && !refused)
        faults += "a read given with no live run took no set of the run 4100 began\n";
      return faults + freshBytesIn(samples.data(), bytes) +
             samplesFollow(reinterpret_cast<const uint8_t*>(samples.data()), bytes,
                           fifo->sampleWidth());
    }
    const bool ends = step == 1 || step == 4101 || step == 4 || step == kReleaseStep;
    if (!immediate->isReading()) {
      // It has left the transfer: the end reaches nothing of it.
      endWaitingRead();
      if (!ends && !waitRefused()) faults += name + " ended a read given with no live run\n";
    } else if (ends) {
      faults += name + " returned while a read given with no live run went on\n";
      endWaitingRead();
    } else if (step == kFireStep) {
      endWaitingRead();
    } else {
      return "";  // it waits on across the next step
    }
    return faults + endedAsACancel(name);
  }
  static bool isDeploy(uint32_t step) { return (step & 0xFFFF'0000) == kDeployStep; }
  // The waiting read, returned, found its blocking waiter with no event.
  bool waitRefused() const {
    return waiting->returned && waiting->status.code == nQoUdR100::kNullPointer &&
           waiting->sets == 0 && waiting->bytes == 0;
  }
  // The waiting read, collected, answered as a cancel answers: nothing.
  std::string endedAsACancel(const std::string& across) {
    if (waiting->thread.joinable()) waiting->thread.join();
    const bool nothing = waiting->sets == 0 && waiting->bytes == 0;
    const int code = waitRefused() ? 0 : waiting->status.code;
    collect(across);
    std::string faults;
    if (!nothing) faults += "a read given with no live run took samples across " + across + "\n";
    if (code != 0)
      faults += "a read given with no live run answered " + std::to_string(code) + " across " +
                across + "\n";
    return faults;
  }
  // Ends the waiting read as the supervisor's release does, and lifts that.
  void endWaitingRead() {
    immediate->endReads();
    waiting->thread.join();
    immediate->openReads();
  }
  // Joins the waiting read and notes its answer for the client.
  void collect(const std::string& across) {
    if (waiting->thread.joinable()) waiting->thread.join();
    client += "waiting read across " + across + ": " + std::to_string(waiting->sets) + " sets of " +
              std::to_string(waiting->bytes) + " bytes, code " +
              std::to_string(waiting->status.code) + "\n";
    waiting.reset();
  }

  std::optional<tWaitingRead> waiting;
};

// The immediate transfer whose reads block on the sample ends' event, with
// the road's engine armed so that a fire raises its sample end (the deploy:
// polling). The client's read after a fire is woken with the FIFO short: the
// board acquires the set's sample only once the read has looked at the FIFO
// a few times.
class tImmediateBlockingRow : public tImmediateRow {
 public:
  static constexpr const char* kName = "ImmediateTransferBlocking";

 protected:
  void SetUp() override {
    tImmediateRow::SetUp();
    // Blocking on an event of its own: no client names one.
    settings->supervisorRecord().word6 = 2;
    settings->supervisorRecord().longWord = 0;
    windows.setReadCallback(window, nQoSim::tSimAIFifo::kStatusOffset, [this](unsigned) {
      ++fifoPolls;
      if (lateBy != 0 && --lateBy == 0) model.push(++acquired);
      return model.size() == 0 ? nQoSim::tSimAIFifo::kEmptyBit : 0;
    });
  }
  void deployOther(tSupervisor& supervisor, size_t, tStatus2& status) {
    nQoUdR100::tAIImmediateTransferSettings other = *settings;
    other.supervisorRecord().word6 = 1;
    supervisor.deploy(other, status);
  }
  void ready(tSupervisor& supervisor) {
    tImmediateRow::ready(supervisor);
    rearm(*timing);
  }
  // A read that waits without end (no sample reached it) is let go by the
  // guard and noted. With no run live a read waits for the next start: the
  // client's read then does not wait.
  std::string fired() {
    if (immediate->getTransferState() != 5) return clientRead(0);
    // Past the looks before the wait and the woken read's first.
    lateBy = 6;
    std::string faults;
    if (clockMovedDuring([&] { faults = clientRead(1000); }))
      faults += "a read waited for the board's late sample without end\n";
    lateBy = 0;
    return faults;
  }

  // Looks at the FIFO's status until the board acquires the late sample.
  std::atomic<uint32_t> lateBy{0};
};

// The programmed-I/O immediate transfer over a finite mode-3 run of the
// road's engine, of four sets: a client's read takes two sets of what the
// board acquired, into bytes that hold the fresh pattern first, and goes on
// with the board's numbers. The deploy is the engine's, through its own
// supervisor: a count of one set, which reaches the board only at the
// engine's next commit, and none of the transfer's codes commits the
// engine. A run that the bring-up (codes 1 and 4100) or a code 4100 began,
// with no code since but 2 and 3, delivers the sets the engine was committed
// with and no more: no read ends short or is refused before them.
class tImmediateFiniteRow : public tImmediateRow {
 public:
  static constexpr const char* kName = "ImmediateTransferFinite";
  static constexpr size_t kSets = 4, kSetsPerRead = 2;
  // No code of the transfer programs the engine's deployed count.
  static constexpr std::array<uint32_t, 0> kProgramming{};

 protected:
  void ready(tSupervisor& supervisor) {
    finiteRun(kSets);
    tStatus2 arm;
    supervisor.control(1, nullptr, nullptr, arm);
    tImmediateRow::ready(supervisor);
    judging = immediate->getTransferState() == 5;
    delivered = 0;
  }
  void deployOther(tSupervisor&, size_t, tStatus2& status) {
    nQoUdP100::tAITimingControllerPrimitiveConfig config = timing->programmed().configuration;
    config.timing.firstCount = 1;
    timing->setConfiguration(config, status);
  }
  // The codes answer by the supervisor's flags: a run begins where code
  // 4100 leaves the transfer started (its reads), and codes 2 and 3 leave it
  // be (code 3 posts a notice).
  void walkCode(tSupervisor& supervisor, uint32_t code, tStatus2& status) {
    supervisor.control(code, nullptr, nullptr, status);
    if (code == 2 || code == 3) return;
    judging = code == 4100 && immediate->getTransferState() == 5;
    delivered = 0;
  }
  std::string fired() {
    fillFIFO(4 * kSetsPerRead);
    std::array<uint32_t, 8> samples;
    samples.fill(nQoSim::kFreshByte * 0x0101'0101u);
    uint32_t bytes = 0;
    tStatus2 read;
    const uint32_t sets =
        immediate->read(samples.data(), kSetsPerRead, read, &bytes, 0, kTimerTimeUnitMillisecond);
    auto* at = reinterpret_cast<const uint8_t*>(samples.data());
    std::string faults = samplesFollow(at, size_t{sets} * bytes, fifo->sampleWidth());
    client += "read " + std::to_string(sets) + " sets of " + std::to_string(bytes) +
              " bytes, code " + std::to_string(read.code) + ", last sample " +
              std::to_string(taken) + "\n";
    if (!judging) return faults;
    if (read.code == nQoUdR100::kReadPastTotal) {
      if (delivered < kSets)
        faults += "a read refused past the total after " + std::to_string(delivered) +
                  " of the run's " + std::to_string(kSets) + " sets\n";
      return faults;
    }
    if (read.isFatal()) return faults;
    delivered += sets;
    if (delivered > kSets) faults += "reads went past the run's total\n";
    if (sets < kSetsPerRead && delivered < kSets)
      faults += "the reads ended after " + std::to_string(delivered) + " of the run's " +
                std::to_string(kSets) + " sets\n";
    return faults;
  }

  void joined(uint32_t sets) override { delivered += sets; }

  // A run that code 4100 began, with no code since, and the sets it
  // delivered of the kSets that the engine's commit programmed the board with.
  bool judging = false;
  size_t delivered = 0;
};

// The DMA immediate transfer over a VESK channel, with the scheduler's
// action linked by key 3 (its partner, which may refuse): every code takes
// the transfer's lock, which holds it. An arm opens a run that a cancel or a
// notification ends with its done report, at most once. The passes a fire
// asks for run late: two steps after it (a disarm and a re-arm may come
// between), at the next fire, or before the release or destruction. The
// deploy is the other sample size, for the next commit's header.
class tImmediateDMARow : public tAIRow<nQoUdR100::tAIImmediateTransferSettings> {
 public:
  static constexpr const char* kName = "ImmediateDMATransfer";
  using tSupervisor = nQoUdR100::tAIImmediateDMATransferSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  static constexpr size_t kDeploys = 1;
  using tPrimitive = nQoUdP100::tAIImmediateDMATransferPrimitive;

  // The transfer, noting each arm it took in the done report stream, and
  // counting them: a code answers the tracker's -50256 after an arm that took.
  class tNotedPrimitive : public tPrimitive {
   public:
    template <class... tArgs>
    explicit tNotedPrimitive(tReportLog& done, tArgs&&... args)
        : tPrimitive(std::forward<tArgs>(args)...), _done(done) {}
    void arm(tStatus2& s) override {
      tPrimitive::arm(s);
      if (s.isNotFatal()) {
        _done.note('o');
        ++arms;
      }
    }
    uint32_t arms = 0;

   private:
    tReportLog& _done;
  };

 protected:
  void SetUp() override {
    tAIRow::SetUp();
    vesk.emplace(windows, bus, status);
    smallFIFO.emplace(&smallDescription, map, dispatcher, status);
    makePrimitive();
    bus.setDMAChannelNumber(4);
    supervisorMap.entries[3] = &scheduler;
    watched.watchChannel(vesk->window);
    watchLog("scheduler action", scheduler.noted.reports);
    watchLog("done report", event.done);
    settings->supervisorRecord().word6 = 2;
    settings->supervisorRecord().word16 = 3;
    offer(pool, &*transfer, "AIImmediateDMATransfer", settings->supervisorRecord().identifier);
    hold.atSyncs();
    watched.leavePasses(true);
  }
  void deployOther(tSupervisor& supervisor, size_t, tStatus2& status) {
    nQoUdR100::tAIImmediateTransferSettings other = *settings;
    other.supervisorRecord().word6 = 4;
    supervisor.deploy(other, status);
  }
  // What the client reads of the shared buffer: its header's words.
  std::string clientData() {
    if (!transfer) return "gone";
    const uint8_t* buffer = transfer->buffer();
    if (buffer == nullptr) return "no buffer";
    std::array<uint32_t, tPrimitive::kHeaderSize / 4> words;
    std::memcpy(words.data(), buffer, tPrimitive::kHeaderSize);
    std::string text = "header";
    for (const uint32_t word : words) {
      text += ' ';
      text += std::to_string(word);
    }
    return text;
  }
  std::string stepFaults(uint32_t step, const tStatus2&) {
    const std::string faults = boardHolds();
    stepPasses(step);
    return faults + boardHolds();
  }
  // What the run goes by against the board, while the board's channel runs
  // (its last command a start): the FIFO routed to channel 4 (select code
  // 3); the channel set for 4-byte port accesses on request line 4; and,
  // from the chain address the channel holds, a ring in memory of as many
  // blocks as the client's header tells, each one scan of the header's
  // samples, laid one after the other behind the header the client reads.
  std::string boardHolds() {
    if (!transfer || windows.written(vesk->window, kChannelCommand, 32) != kChannelStart) return "";
    const unsigned channel = vesk->window;
    std::string faults;
    const uint32_t select = windows.written(window, kDMASelect, 8) & 0x0F;
    if (select != 3)
      faults += "the channel runs while the DMA select holds code " + std::to_string(select) +
                ", not channel 4's 3\n";
    const uint32_t c0C = windows.written(channel, 0x0C, 32),
                   c14 = windows.written(channel, 0x14, 32),
                   c1C = windows.written(channel, 0x1C, 32),
                   control = windows.written(channel, 0x04, 32);
    if ((c0C & 0x3F00) != 0x0700 || (c14 & 0x0007'3F00) != 0x0004'0700 ||
        (c1C & 0x0C00) != 0x0400 || (control & 0x800C) != 0x800C)
      faults += "the channel runs on a program other than 4-byte ports on request line 4\n";
    const uint8_t* buffer = transfer->buffer();
    if (buffer == nullptr) return faults + "the channel runs with no buffer for the client\n";
    std::array<uint32_t, tPrimitive::kHeaderSize / 4> words;
    std::memcpy(words.data(), buffer, tPrimitive::kHeaderSize);
    const uint32_t blocks = words[9], blockBytes = words[10] * tPrimitive::kSampleWidth;
    const uint32_t chain = windows.written(channel, 0x20, 32);
    uint32_t at = chain, ringed = 0, first = 0;
    do {
      uint32_t descriptor[3];
      if (!nQoSim::readLive(at, descriptor, sizeof descriptor))
        return faults + "the channel's chain lies in no block still held\n";
      if (ringed == 0) first = descriptor[1];
      if (descriptor[0] != blockBytes)
        return faults + "a block of the board's ring holds " + std::to_string(descriptor[0]) +
               " bytes, the header's scan " + std::to_string(blockBytes) + "\n";
      if (descriptor[1] != first + ringed * blockBytes)
        return faults + "the board's ring leaves the client's blocks at block " +
               std::to_string(ringed) + "\n";
      at = descriptor[2];
    } while (++ringed <= blocks && at != chain);
    if (ringed != blocks)
      faults += "the board's ring holds " + std::to_string(ringed) + " blocks, the header tells " +
                std::to_string(blocks) + "\n";
    std::array<uint8_t, tPrimitive::kHeaderSize> header;
    if (first < tPrimitive::kHeaderSize ||
        !nQoSim::readLive(first - tPrimitive::kHeaderSize, header.data(), header.size()) ||
        std::memcmp(header.data(), buffer, header.size()) != 0)
      faults += "the board's ring fills blocks behind another header than the client's\n";
    return faults;
  }
  // The late passes of the last fire run at a release or destruction, or two
  // steps after the fire.
  void stepPasses(uint32_t step) {
    if (step == kReleaseStep || step == kDestroyStep) {
      watched.runPasses();
    } else if ((step & 0xFFFF'0000) == kDeployStep) {
      // A deploy is no step of the run's: the comparison without it walks
      // the same passes at the same codes.
    } else if (step == kFireStep) {
      stepsLeft = 2;
    } else if (stepsLeft != 0 && --stepsLeft == 0) {
      watched.runPasses();
    }
  }
  // The steps after which the passes of the last fire run, unless a fire
  // runs them first.
  int stepsLeft = 0;
  void TearDown() override {
    pool.reset();
    transfer.reset();
    smallFIFO.reset();
    vesk.reset();
    EXPECT_EQ(nQoSim::liveMemBlocks(), 0);
    tAIRow::TearDown();
  }
  void makePrimitive() {
    transfer.emplace(event.done, &bus, &deviceInfo, &*frontEnd, converter, timing, &*smallFIFO, map,
                     vesk->maps.data(), vesk->maps.size(), status);
  }
  void destroyPrimitive() { transfer.reset(); }
  bool armRecorded() { return transfer->holdsArm(); }
  std::string boardRuns() { return fifoRouted(); }
  void ready(tSupervisor& supervisor) {
    tStatus2 commit, arm;
    supervisor.control(1, nullptr, nullptr, commit);
    supervisor.control(4100, nullptr, nullptr, arm);
  }
  void refuseLink(bool refuses) { refuse(scheduler, "getSchedulerAction", refuses); }
  // Armed as ready leaves it, committed, and holding the channel alone.
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    auto codes = [&supervisor](std::vector<uint32_t> codes) {
      return [&supervisor, codes] {
        for (uint32_t code : codes) {
          tStatus2 status;
          supervisor.control(code, nullptr, nullptr, status);
        }
      };
    };
    return {{"armed", codes({})}, {"committed", codes({4101})}, {"channel", codes({4101, 4})}};
  }
  // An arm without a buffer refuses before it takes the lock, a disarm
  // without an arm does nothing.
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    auto code = [&supervisor](uint32_t code) {
      return [&supervisor, code](tStatus2& status) {
        supervisor.control(code, nullptr, nullptr, status);
      };
    };
    std::vector<tEntry> entries{{"1", code(1)}, {"4", code(4)}};
    if (transfer->holdsArm()) entries.push_back({"4101", code(4101)});
    if (transfer->transferState() >= 4) entries.push_back({"4100", code(4100)});
    tStatus2 query;
    if (supervisor.getTracker().getState(query) >= nQoMRTB100::kStateResourcesLinked)
      entries.push_back(
          {"cancel", [&supervisor](tStatus2& status) { supervisor.requestCancel(status); }});
    return entries;
  }
  // The transfer's state, its action, its resolver on the bus, its buffer.
  std::string primitiveState() {
    return "state " + std::to_string(transfer->transferState()) + ", action " +
           std::to_string(transfer->getSchedulerAction() != nullptr) + ", bus " +
           std::to_string(bus.registrations()) + ", memory " +
           std::to_string(nQoSim::liveMemBlocks());
  }

  // The channel's command register and its start command.
  static constexpr uint32_t kChannelCommand = 0x00, kChannelStart = 1;
  std::optional<tVESKChannels> vesk;
  nQoUdP100::tAIFIFODescription smallDescription{4, 4, 4};
  std::optional<nQoUdP100::tAIDeviceFIFOPrimitive> smallFIFO;
  std::optional<tNotedPrimitive> transfer;
  std::optional<nQoUdR100::tAIImmediateDMATransferSupervisorRow::tPool> pool;
  tNotedScheduler scheduler{log, "scheduler"};
};

// The DMA immediate transfer over a finite run of the road's engine, which
// the bring-up commits and arms after the transfer's codes 1 and 4100: a
// fire that brings the run's record end to the transfer armed with its run
// open ends the run with its done report. The deploy is the engine's,
// through its own supervisor: a scan of two samples, which reaches the board
// only at the engine's next commit; no code of the transfer commits the engine.
class tImmediateDMAFiniteRow : public tImmediateDMARow {
 public:
  static constexpr const char* kName = "ImmediateDMATransferFinite";
  static constexpr size_t kDeploys = 1;

 protected:
  void SetUp() override {
    tImmediateDMARow::SetUp();
    timing->addRecordEndObserver(&recordEnds, status);
    // The engine's commit holds a bus registration of its own from here on.
    finiteRun();
  }
  void TearDown() override {
    timing->removeRecordEndObserver(&recordEnds, status);
    tImmediateDMARow::TearDown();
  }
  // Each bring-up's reservation finds the engine's configuration as the
  // walks before left it, not a deploy of theirs.
  void up(tSupervisor& supervisor, tStatus2& status) {
    nQoUdP100::tAITimingControllerPrimitiveConfig config = timing->programmed().configuration;
    config.timing.strobeLoadValue = 1;
    timing->setConfiguration(config, status);
    tImmediateDMARow::up(supervisor, status);
  }
  void ready(tSupervisor& supervisor) {
    tImmediateDMARow::ready(supervisor);
    finiteRun();
    recordEnds.open = true;
    owed = false;
    endsAtArm = recordEnds.ended;
    stepsLeft = 0;
    noteStep();
  }
  // No transfer code programs the engine's configuration: the transfer's
  // commit shapes its scan by what the engine's own commit programmed.
  static constexpr std::array<uint32_t, 0> kProgramming{};
  void deployOther(tSupervisor&, size_t, tStatus2& status) {
    nQoUdP100::tAITimingControllerPrimitiveConfig config = timing->programmed().configuration;
    config.timing.strobeLoadValue = 2;

    timing->setConfiguration(config, status);
  }
  // A code ends the run it finds, with a report of its own; an arm begins a
  // run whose record end has not come yet.
  void walkCode(tSupervisor& supervisor, uint32_t code, tStatus2& status) {
    const uint32_t arms = transfer->arms;
    supervisor.control(code, nullptr, nullptr, status);
    if (code != 2 && code != 3) owed = false;
    if (transfer->arms != arms) endsAtArm = recordEnds.ended;
    donesBefore = dones();
  }
  // The fire's first pass brings the record end; its second pass, late,
  // ends the run that the record end reached, not a run armed since.
  std::string fired() {
    std::string faults = owedDone();
    owed = liveBefore && openBefore && !recordEnds.open;
    donesAtFire = dones();
    armsAtFire = transfer->arms;
    return faults;
  }
  std::string stepFaults(uint32_t step, const tStatus2& status) {
    const int left = stepsLeft;
    std::string faults = tImmediateDMARow::stepFaults(step, status);
    if (left != 0 && stepsLeft == 0) faults += owedDone() + lateOfEnded();
    if (step == kReleaseStep || step == kDestroyStep) {
      owed = false;
      return faults;
    }
    if (dones() != donesBefore && recordEnds.ended == endsAtArm)
      faults += "a done report came for a run that no record end reached\n";
    noteStep();
    return faults;
  }
  // The passes of a fire that brought a live run's record end ran with no
  // code since: they ended that run with its done report.
  std::string owedDone() {
    const bool missing = owed && dones() == donesAtFire;
    owed = false;
    return missing ? "the run's record end came and its done report never did\n" : "";
  }
  // The late passes of a fire ran at a code after a new arm: the run they
  // belong to ended at that arm, and they end nothing of the run armed
  // since. Its header tells no end and its channel goes on on the board.
  std::string lateOfEnded() {
    if (transfer->arms == armsAtFire || transfer->transferState() != 5) return "";
    std::string faults;
    if (dones() != donesBefore)
      faults += "a late pass of a run that ended told the run armed since done\n";
    uint32_t done = 0;
    if (transfer->buffer() != nullptr)
      std::memcpy(&done, transfer->buffer() + 4 * tPrimitive::kDoneWord, sizeof done);
    if (done != 0)
      faults += "a late pass of a run that ended marked the header of the run armed since done\n";
    if (windows.written(vesk->window, kChannelCommand, 32) != kChannelStart)
      faults += "a late pass of a run that ended stopped the channel of the run armed since\n";
    return faults;
  }
  void noteStep() {
    liveBefore = transfer->transferState() == 5;
    openBefore = recordEnds.open;
    donesBefore = dones();
  }
  std::ptrdiff_t dones() const { return std::ranges::count(event.done.log(), 'r'); }

  // The engine's record: open from the arm until its record end.
  struct tRecordEnds : nQoUdP100::tBaseAITimingControllerPrimitive::iRecordEndObserver {
    uint32_t recordEnded(nQoUdP100::tBaseAITimingControllerPrimitive*, tStatus2&) override {
      open = false;
      ++ended;
      return 0;
    }
    std::atomic<bool> open{false};
    std::atomic<uint32_t> ended{0};
  } recordEnds;
  // As the step before the fire left them: the transfer armed, the engine's
  // record open, the done reports.
  bool liveBefore = false, openBefore = false;
  std::ptrdiff_t donesBefore = 0;
  // A fire brought a live run's record end, whose done report its late
  // passes owe; the done reports then, and the record ends at the last arm.
  bool owed = false;
  std::ptrdiff_t donesAtFire = 0;
  uint32_t endsAtArm = 0, armsAtFire = 0;
};

// The AI DMA transfer, whose partner's endpoint reads the FIFO primitive
// through the links' stream (and may refuse it); its codes run the real
// transfer's operations, which select the DMA channel under a lock.
class tDMATransferRow : public tAIRow<nQoUdR100::tAI_DMATransferSettings> {
 public:
  static constexpr const char* kName = "DMATransfer";
  using tSupervisor = nQoUdR100::tBaseAI_DMATransferSupervisor;
  using tPrimitive = nQoUdP100::tAI_DMATransferPrimitive;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  static constexpr size_t kDeploys = 1;

 protected:
  void SetUp() override {
    tAIRow::SetUp();
    makePrimitive();
    reserveFIFOSupervisor();
    auto& words = settings->supervisorRecord();
    offer(transferPool, &*transfer, "AI_DMATransfer", words.identifier1);
    std::tie(words.word1, words.word2, words.word3, words.word4) = std::tuple(1, 2, 3, 1);
    supervisorMap.entries = {{1, &*fifoSupervisor}, {2, &channel}, {3, &partner}};
    channel.channelNumber = 4;
    // Each run of the transfer begins where its arm routes the FIFO to the
    // channel, and owes its sink one end.
    windows.setWriteCallback(window, kDMASelect, [this](unsigned, uint32_t value) {
      if ((value & 0x0F) != 0) partner.sink.ends.note('a');
    });
    watchLog("done sink", partner.sink.ends);
    hold.atSyncs();
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    windows.setWriteCallback(window, kDMASelect, {});
    transferPool.reset();
    transfer->unlink(status);
    transfer.reset();
    tAIRow::TearDown();
  }
  void makePrimitive() {
    transfer.emplace(converter, timing, fifo, deviceInfo, map, status);
    transfer->link(status);  // as the board links it
    wakes = 0;
  }
  void destroyPrimitive() { transfer.reset(); }
  // The road's engine runs a finite run whose last conversion wakes the
  // transfer's worker, over samples that no channel of the board moves.
  void ready(tSupervisor&) {
    fillFIFO();
    finiteRun();
    client.clear();
  }
  void refuseLink(bool refuses) { refuse(partner.sink, "setReadable", refuses); }
  bool armRecorded() { return transfer->isArmed(); }
  std::string boardRuns() { return fifoRouted(); }
  // The other mode: the partner reads a stream that reads nothing.
  void deployOther(tSupervisor& supervisor, size_t, tStatus2& status) {
    nQoUdR100::tAI_DMATransferSettings other = *settings;
    other.supervisorRecord().word4 = 0;
    supervisor.deploy(other, status);
  }
  // The worker drains what the last conversion left; the partner's endpoint
  // reads a sample through the stream it was handed. The acquisition keeps
  // samples ahead of that read, so a draining worker never finds the FIFO
  // empty: its run ends by a code, or silently by the destruction, not by
  // itself in the middle of a later step.
  std::string fired() {
    fillFIFO(4);
    std::array<uint8_t, 4> sample;
    sample.fill(nQoSim::kFreshByte);
    tStatus2 read;
    const uint32_t bytes = partner.sink.read(sample.data(), 4, read);
    noteRead(sample.data(), bytes, read);
    return drained(*transfer, wakes) + freshBytesIn(sample.data(), bytes);
  }
  // What the partner's reads handed over since the bring-up, with their
  // answers.
  void noteRead(const uint8_t* bytes, uint32_t size, const tStatus2& read) {
    client += "read " + std::to_string(read.code) + ":";
    for (uint32_t at = 0; at < size; ++at) {
      client += ' ';
      client += std::to_string(bytes[at]);
    }
    client += "\n";
  }
  std::string clientData() { return client; }
  // Linked, and armed on the channel (its commit holds nothing).
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {{"linked", [] {}}, {"armed", [this, &supervisor] {
                                  tStatus2 status;
                                  supervisor.control(4100, nullptr, nullptr, status);
                                  EXPECT_TRUE(transfer->isArmed());
                                }}};
  }
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    auto code = [&supervisor](uint32_t code) {
      return [&supervisor, code](tStatus2& status) {
        supervisor.control(code, nullptr, nullptr, status);
      };
    };
    // An arm without a channel refuses before it selects one.
    if (transfer->getDMAChannelNumber() == nQoMRTB100::tDMALinker<tPrimitive>::kNoChannel)
      return {{"4101", code(4101)}};
    // Past resources linked, a cancel wakes the transfer's worker by an event.
    tStatus2 query;
    std::vector<tEntry> entries{{"4100", code(4100)}, {"4101", code(4101)}};
    if (supervisor.getTracker().getState(query) > nQoMRTB100::kStateResourcesLinked)
      entries.push_back(
          {"cancel", [&supervisor](tStatus2& status) { supervisor.requestCancel(status); }});
    return entries;
  }
  // The channel the transfer arms, its partner's endpoint, its arm.
  std::string primitiveState() {
    return "channel " + std::to_string(transfer->getDMAChannelNumber()) + ", sink " +
           std::to_string(transfer->getDoneSink() != nullptr) + ", armed " +
           std::to_string(transfer->isArmed());
  }

  // The partner, whose endpoint is the transfer's done sink.
  class tPartner : public tReadingDMATransfer {
   public:
    tPartner(tCallLog& log, const std::string& name)
        : tReadingDMATransfer(log, name), sink(log, "endpoint") {}
    nQoLMSDR100::iDMAEndpoint* getEndpoint(tStatus2& s) override {
      tReadingDMATransfer::getEndpoint(s);
      return &sink;
    }
    tEndingEndpoint<tReadingDMAEndpoint> sink;
  };

  std::optional<tPrimitive> transfer;
  std::optional<nQoUdR100::tBaseAI_DMATransferSupervisorRow::tPool> transferPool;
  tScriptedDMAChannel channel{log, "channel"};
  tPartner partner{log, "partner"};
  // The last conversions that woke the worker, as fired last saw them.
  uint32_t wakes = 0;
  std::string client;
};

// The AI DMA transfer whose fire leaves the secondary passes it asked for
// to the second step after it, or the next fire: the engine's
// last-conversion pass and the FIFO's overflow pass of one run reach the
// transfer after the steps between (a disarm and a re-arm among them).
// The partner reads what the board acquired, with no samples kept ahead, so
// a drain ends its run by itself once the FIFO is empty. An end that comes
// outside the codes that end a run (4101, 4, and 4100 and 1, which disarm
// first) belongs to a run whose last conversion (a clean end) or error (an
// error end) reached the transfer after its arm.
class tDMALatePassRow : public tDMATransferRow {
 public:
  static constexpr const char* kName = "DMATransferLatePass";

 protected:
  void SetUp() override {
    tDMATransferRow::SetUp();
    watched.leavePasses(true);
    windows.setWriteCallback(window, kDMASelect, [this](unsigned, uint32_t value) {
      if ((value & 0x0F) == 0) return;
      partner.sink.ends.note('a');
      conversionsAtArm = transfer->counts().lastConvert;
      errorsAtArm = errors();
    });
  }
  void walkCode(tSupervisor& supervisor, uint32_t code, tStatus2& status) {
    endsBefore = ends();
    failuresBefore = partner.sink.failures;
    supervisor.control(code, nullptr, nullptr, status);
    if (code == 4101 || code == 4 || code == 4100 || code == 1) {
      endsBefore = ends();
      failuresBefore = partner.sink.failures;
    }
  }
  // The FIFO armed too: a fire raises its overflow, whose second pass may
  // come after a disarm and an arm.
  void ready(tSupervisor& supervisor) {
    tDMATransferRow::ready(supervisor);
    rearm(*fifo);
    stepsLeft = 0;
    endsBefore = ends();
    failuresBefore = partner.sink.failures;
  }
  // The partner reads all the FIFO holds.
  std::string fired() {
    fillFIFO(1);
    std::string faults;
    while (model.size() != 0) {
      std::array<uint8_t, 4> sample;
      sample.fill(nQoSim::kFreshByte);
      tStatus2 read;
      const uint32_t bytes = partner.sink.read(sample.data(), 4, read);
      noteRead(sample.data(), bytes, read);
      faults += samplesFollow(sample.data(), bytes, 4);
      if (bytes == 0) break;
    }
    settle();
    return faults;
  }

  // A pass of this fire woke the worker: a drain of a live run finds the
  // FIFO empty once the read took its sample, and ends the run by itself.
  // Waits for that end, so that it falls into this step, until the board's
  // threads have had a bound of their own time (a stale wake drains nothing
  // and runs into the bound).
  void settle() {
    const uint32_t woken = transfer->counts().lastConvertSecondary;
    if (woken == wakes) return;
    wakes = woken;
    nQoTest::untilDoneOrHad([&] { return transfer->isDone(); }, nQoSim::platformThreads,
                            std::chrono::milliseconds(100));
  }

  // The passes a fire left run before the release or destruction: what they
  // report is checked with the next bring-up's mark.
  std::string stepFaults(uint32_t step, const tStatus2&) {
    if (step == kReleaseStep || step == kDestroyStep) {
      watched.runPasses();
      return "";
    }
    // A deploy counts no step, so an order walked with and without its
    // deploys meets the passes at the same code.
    if (step == kFireStep) {
      stepsLeft = 2;
    } else if ((step & 0xFFFF'0000) != kDeployStep && stepsLeft != 0 && --stepsLeft == 0) {
      watched.runPasses();
      settle();
    }
    std::string faults;
    const int failed = partner.sink.failures - failuresBefore;
    if (failed != 0 && errors() == errorsAtArm)
      faults += "a run's error end came with no error of its own since its arm\n";
    if (ends() - endsBefore > failed && transfer->counts().lastConvert == conversionsAtArm)
      faults += "a run's clean end came before its last conversion reached the transfer\n";
    endsBefore = ends();
    failuresBefore = partner.sink.failures;
    return faults;
  }
  std::ptrdiff_t ends() const { return std::ranges::count(partner.sink.ends.log(), 'r'); }
  // The first passes of the FIFO's overflow and the converter's overrun.
  uint32_t errors() const { return transfer->counts().overflow + transfer->counts().overrun; }

  uint32_t conversionsAtArm = 0, errorsAtArm = 0;
  std::ptrdiff_t endsBefore = 0;
  int failuresBefore = 0;

  // The steps after which the passes of the last fire run, unless a fire
  // runs them first.
  int stepsLeft = 0;
};

// What a run owes its observers: the record end its stop reports (heard by

// a record-end observer of the timing engine) and, where asked, the done
// report of the immediate transfer (posted to this event). A start of an
// armed engine opens both. The record ends make a report stream (an arm owes
// at most one, the board may end its run by itself; a start exactly one,
// but a start under a run whose record end is still owed begins no record of
// its own: the run's one record end answers both), the done posts one of
// notices.
class tRunReports : public tScriptedEvent,
                    public nQoUdP100::tBaseAITimingControllerPrimitive::iRecordEndObserver {
 public:
  using tScriptedEvent::tScriptedEvent;
  void post(const nQoMRL110::tSoftwareAction& action, tStatus2&) override {
    if (action.getKind() == nQoMRL110::kDoneEvent) done.note('n');
    doneOwed = false;
  }
  uint32_t recordEnded(nQoUdP100::tBaseAITimingControllerPrimitive*, tStatus2&) override {
    ends.note('r');
    endOwed = recordOpen = false;
    return 0;
  }
  void armed() {
    ends.note('o');
    recordOpen = true;
  }
  void started(bool done) {
    if (!ends.owes()) ends.note('a');
    endOwed = recordOpen = true;
    doneOwed = done;
  }
  std::string owed() const {
    return ", end owed " + std::to_string(endOwed) + ", done owed " + std::to_string(doneOwed);
  }

  std::atomic<bool> endOwed{false}, doneOwed{false};
  // An arm or start opened a record that no record end closed yet.
  std::atomic<bool> recordOpen{false};
  tReportLog ends, done;
};

// The sample-clock wait on the event of the road's timing engine, whose
// finite run (committed, armed and started at each bring-up, with a
// record-end observer of the row's) another supervisor holds: the wait's
// commit, uncommit and release change the engine's observer lists under
// that arm. A fire that finds the run's record still open brings its record
// end to the observer, whatever the wait's steps did.
class tWFNSCUnderARunRow : public tWFNSCEventRow {
 public:
  static constexpr const char* kName = "SampleClockWaitUnderATimingRun";

 protected:
  void SetUp() override {
    tWFNSCEventRow::SetUp();
    timing->addRecordEndObserver(&reports, status);
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    timing->removeRecordEndObserver(&reports, status);
    tWFNSCEventRow::TearDown();
  }
  void ready(tSupervisor& supervisor) {
    tWFNSCEventRow::ready(supervisor);
    finiteRun();
    tStatus2 start;
    timing->start(start);
    reports.recordOpen = true;
    openBefore = true;
  }
  std::string fired() {
    tWFNSCEventRow::fired();
    if (!openBefore || !timing->isArmHeld() || !reports.recordOpen) return "";
    return "the timing run's record end reached no observer\n";
  }
  // After the wait's release or destruction the board fires once more: the
  // run goes on without the wait.
  std::string stepFaults(uint32_t step, const tStatus2& status) {
    openBefore = reports.recordOpen;
    const std::string faults = tWFNSCEventRow::stepFaults(step, status);
    if (step != kReleaseStep && step != kDestroyStep) return faults;
    watched.fire();
    return faults + fired();
  }

  tRunReports reports{log, "reports"};
  // The run's record was open as the step before the fire left it.
  bool openBefore = false;
};

// A tracker-frame row whose entries are the supervisor's own control codes,

// each held inside the real primitive. Derived names the primitive
// (primitive()), the codes (kCodes), how many of 1, 4100 and 2 its codes
// reach (kReached), whether a run is held (running(): a run offers its
// start and stop, not the codes that step around it) and what the
// primitive holds (state()).
template <class Derived, class Row>
class tCodesRow : public tAIRow<typename Row::tSettings> {
 public:
  using tSupervisor = nQoUdR100::tSupervisor<Row>;

 protected:
  void SetUp() override {
    tAIRow<typename Row::tSettings>::SetUp();
    auto& self = static_cast<Derived&>(*this);
    this->offer(pool, self.primitive(), Derived::kName,
                this->settings->supervisorRecord().identifier);
  }
  void TearDown() override {
    pool.reset();
    tAIRow<typename Row::tSettings>::TearDown();
  }
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    const bool running = static_cast<Derived&>(*this).running();
    std::vector<tEntry> entries;
    for (uint32_t code : Derived::kCodes) {
      if (running && code != 2 && code != 3) continue;
      // The walk's steps of its own (another supervisor's codes, an
      // observer's change) are no entries of this supervisor.
      if (code > kRowStep) continue;
      entries.push_back({std::to_string(code), [&supervisor, code](tStatus2& s) {
                           supervisor.control(code, nullptr, nullptr, s);
                         }});
    }
    return entries;
  }
  // Committed, armed and running, as far as the codes reach: each must leave
  // the primitive holding something.
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    static constexpr uint32_t kForward[] = {1, 4100, 2};
    static constexpr const char* kNames[] = {"committed", "armed", "running"};
    std::vector<tSetup> setups;
    for (size_t reached = 1; reached <= Derived::kReached; ++reached)
      setups.push_back({kNames[reached - 1], [this, &supervisor, reached] {
                          const std::string before = primitiveState();
                          for (size_t i = 0; i < reached; ++i) {
                            tStatus2 status;
                            supervisor.control(kForward[i], nullptr, nullptr, status);
                          }
                          EXPECT_NE(primitiveState(), before) << "the codes reached nothing";
                        }});
    return setups;
  }
  std::string primitiveState() { return static_cast<Derived&>(*this).state(); }
  void destroyPrimitive() { static_cast<Derived&>(*this).held.reset(); }
  void makePrimitive() { static_cast<Derived&>(*this).primitive(); }

  std::optional<typename Row::tPool> pool;
};

// The converter with an overrun observer, as a transfer's link registers
// one, so that its commit attaches the handler and its arm the source.
class tConverterRow : public tCodesRow<tConverterRow, nQoUdR100::tBaseAI_ADCSupervisorRow> {
 public:
  static constexpr const char* kName = "Converter";
  static constexpr uint32_t kCodes[] = {1, 4100, 4101, 4};
  static constexpr size_t kReached = 2;
  // Its settings once more (they hold no field): the run goes on as it was.
  static constexpr size_t kDeploys = 1;
  void deployOther(tSupervisor& supervisor, size_t, tStatus2& status) {
    supervisor.deploy(*settings, status);
  }
  nQoUdP100::tAI_ADCPrimitive* primitive() {
    held.emplace(hold, &entry, map, dispatcher, status);
    held->addObserver(&observer, status);
    return &*held;
  }
  void SetUp() override {
    tCodesRow::SetUp();
    watched.watchSources({nQoUdP100::tAI_ADCPrimitive::kOverrunSource});
  }
  void TearDown() override {
    held.reset();
    tCodesRow::TearDown();
  }
  bool running() { return false; }
  bool armRecorded() { return held->isOverrunEnabled(); }
  std::pair<const void*, size_t> primitiveBytes() { return {&*held, sizeof *held}; }
  std::string state() {
    return "attached " + std::to_string(held->isAttached()) + ", enabled " +
           std::to_string(held->isOverrunEnabled());
  }

  struct tObserver : nQoUdP100::tBaseAI_ADCPrimitive::iObserver {
    uint32_t handleOverrun(nQoUdP100::tBaseAI_ADCPrimitive*, tStatus2&) override { return 0; }
  } observer;
  std::optional<tHeldConverter> held;
};

// The FIFO with a data and an overflow observer, as a transfer's link
// registers them. Beside its codes, the walk takes the data observer out or
// puts it back (kObserverStep), as a transfer's unlink and link do under
// the FIFO's arm, and deploys the full FIFO's mode for the next commit.
class tDeviceFIFORow : public tCodesRow<tDeviceFIFORow, nQoUdR100::tBaseAIDeviceFIFOSupervisorRow> {
 public:
  static constexpr const char* kName = "DeviceFIFO";
  static constexpr uint32_t kObserverStep = kRowStep + 1;
  static constexpr uint32_t kCodes[] = {1, 4100, 4101, 4, kObserverStep};
  static constexpr size_t kReached = 2;
  static constexpr size_t kDeploys = 1;
  nQoUdP100::tAIDeviceFIFOPrimitive* primitive() {
    held.emplace(hold, &fifoDescription, map, dispatcher, status);
    held->addFIFOObserver(&observer, status);
    held->addOverflowObserver(&observer, status);
    held->committed = [this] { commitTaken = true; };
    observing = true;
    return &*held;
  }
  void walkCode(tSupervisor& supervisor, uint32_t code, tStatus2& status) {
    if (code != kObserverStep) return supervisor.control(code, nullptr, nullptr, status);
    if (observing)
      held->removeFIFOObserver(&observer, status);
    else
      held->addFIFOObserver(&observer, status);
    observing = !observing;
  }
  // Each bring-up finds the data observer in and the FIFO's mode as its
  // first settings give it.
  void ready(tSupervisor&) {
    if (!observing) held->addFIFOObserver(&observer, status);
    observing = true;
    deployedMode = settings->record<0>().fifoMode;
    commitTaken = false;
    programmedMode = modeOnBoard();
  }
  void deployOther(tSupervisor& supervisor, size_t, tStatus2& status) {
    nQoUdR100::tAIDeviceFIFOSettings other = *settings;
    other.record<0>().fifoMode = 2;
    supervisor.deploy(other, status);
    if (status.isNotFatal()) deployedMode = 2;
  }
  // The FIFO mode bits of the board's mode-3 register change only at a
  // commit, which writes the deployed mode (0 none, 2 full).
  std::string stepFaults(uint32_t, const tStatus2&) {
    const uint32_t now = modeOnBoard();
    std::string faults;
    if (std::exchange(commitTaken, false)) {
      const uint32_t deployedBits = deployedMode == 2 ? 0b10 : 0b00;
      if (now != deployedBits)
        faults += "the commit wrote FIFO mode bits " + std::to_string(now) + ", not the deployed " +
                  std::to_string(deployedBits) + "\n";
    } else if (now != programmedMode) {
      faults += "the FIFO mode bits went from " + std::to_string(programmedMode) + " to " +
                std::to_string(now) + " at a step that programs nothing\n";
    }
    programmedMode = now;
    return faults;
  }
  uint32_t modeOnBoard() const { return (windows.written(window, 0x1AE, 16) >> 6) & 0b11; }
  void SetUp() override {
    tCodesRow::SetUp();
    watched.watchSources({nQoUdP100::tAIDeviceFIFOPrimitive::kFIFOSource,
                          nQoUdP100::tAIDeviceFIFOPrimitive::kOverflowSource});
  }
  void TearDown() override {
    held.reset();
    tCodesRow::TearDown();
  }
  bool running() { return false; }
  bool armRecorded() { return held->state().isArmed(); }
  std::pair<const void*, size_t> primitiveBytes() { return {&*held, sizeof *held}; }
  std::string state() {
    return "state " + std::to_string(held->state().getState()) + ", attached " +
           std::to_string(held->attachedSources()) + ", armed " +
           std::to_string(held->armedSources());
  }

  struct tObserver : nQoUdP100::tBaseAIDeviceFIFOPrimitive::iAIFIFOObserver,
                     nQoUdP100::tBaseAIDeviceFIFOPrimitive::iAIOverflowObserver {
  } observer;
  std::optional<tHeldControls<nQoUdP100::tAIDeviceFIFOPrimitive>> held;
  // The data observer is in; the FIFO mode deployed last, a commit taken
  // since the last step, and the mode bits as the last commit left them.
  bool observing = true, commitTaken = false;
  int32_t deployedMode = 0;
  uint32_t programmedMode = 0;
};

// The front end takes part in its codes while the record's first value says
// so; its programming starts the settling time-out.
class tFrontEndRow
    : public tCodesRow<tFrontEndRow, nQoUdR100::tBaseAIScanningFrontEndSupervisorRow> {
 public:
  static constexpr const char* kName = "ScanningFrontEnd";
  static constexpr uint32_t kCodes[] = {1, 4100, 4101, 4};
  static constexpr size_t kReached = 2;
  // Two channels, or its codes turned off, for the next commit.
  static constexpr size_t kDeploys = 2;
  void SetUp() override {
    tCodesRow::SetUp();
    // The board's channel memory: its reset, then a word per channel.
    windows.setWriteCallback(window, kChannelReset, [this](unsigned, uint32_t value) {
      if ((value & 1) != 0) channelWords = 0;
      ++resets;
    });
    windows.setWriteCallback(window, kChannelWord, [this](unsigned, uint32_t) { ++channelWords; });
  }
  void ready(tSupervisor&) {
    deployedChannels = settings->record<0>().channels.size();
    resetsBefore = resets;
  }
  void deployOther(tSupervisor& supervisor, size_t k, tStatus2& status) {
    nQoUdR100::tAIScanningFrontEndSettings other = *settings;
    if (k == 1)
      other.supervisorRecord().word1 = 0;
    else
      other.record<0>().channels.append(other.record<0>().channels[0]);
    supervisor.deploy(other, status);
    if (status.isNotFatal()) deployedChannels = other.record<0>().channels.size();
  }
  // Only a commit writes the board's channel memory, a word for each
  // channel deployed for it.
  std::string stepFaults(uint32_t step, const tStatus2&) {
    if (std::exchange(resetsBefore, resets) == resets) return "";
    if (step != 1) return "the channel memory was written at a step that programs nothing\n";
    if (channelWords == deployedChannels) return "";
    return "the commit wrote " + std::to_string(channelWords) + " channels, not the deployed " +
           std::to_string(deployedChannels) + "\n";
  }
  nQoUdP100::tAIScanningFrontEndPrimitive* primitive() {
    settings->supervisorRecord().word1 = 1;
    settings->record<0>() = frontEnd->configuration();
    frontEndDescription.rangeCodes = &rangeCodes;
    held.emplace(hold, &frontEndDescription, map, helper, status);
    return &*held;
  }
  void TearDown() override {
    held.reset();
    tCodesRow::TearDown();
  }
  bool running() { return false; }
  std::string state() {
    return "state " + std::to_string(held->state().getState()) + ", settling " +
           std::to_string(held->isSettling());
  }

  tRangeCodes rangeCodes;
  std::optional<tHeldFrontEnd> held;
  static constexpr uint32_t kChannelReset = 0x1A4, kChannelWord = 0x5E;
  // The channel memory's resets and the words written since the last; the
  // channels deployed last.
  std::atomic<uint32_t> channelWords{0}, resets{0};
  uint32_t resetsBefore = 0;
  size_t deployedChannels = 1;
};

// The timing controller in a finite mode-3 run, whose scheduler-action
// partner (key 3) may refuse its action, with the observers that make its
// commit install every handler, a timed loop and a listener.
class tTimingRow : public tCodesRow<tTimingRow, nQoUdR100::tBaseAITimingControllerSupervisorRow> {
 public:
  static constexpr const char* kName = "TimingController";
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  // An arm with no commit before it takes the run from the deployed
  // settings.
  static constexpr uint32_t kProgramming[] = {1, 4100};
  static constexpr size_t kReached = 3;
  static constexpr size_t kDeploys = 1;
  nQoUdP100::tTavikAITimingControllerPrimitive* primitive() {
    settings->supervisorRecord().word1 = 3;
    supervisorMap.entries[3] = &scheduler;
    auto& config = settings->record<0>();
    config.hasRouting = 1;
    config.routing.words[7] = 19;
    config.timing.timingMode = 3;
    config.timing.acquisitionType = 2;
    config.timing.firstCount = kSets;
    config.timing.listenerKey = 0x77;
    config.timing.timedLoopEvent = 2;
    held.emplace(hold, &entry, map, helper, dispatcher, status);
    held->addSampleStartObserver(&sampleStart, true, status);
    // Before any commit: an arm without one finds a sample-end observer and
    // no handler in the slot.
    held->addSampleEndObserver(&sampleEnd, status);
    if (lastConvertsOnly)
      held->addLastConvertObserver(&lastConverts, status);
    else
      held->addRecordEndObserver(&reports, status);
    held->committed = [this] {
      committedFinite = handlersIn = deployedFinite;
      programmedMode3 = deployedFinite;
      commitTaken = true;
    };
    held->uncommitted = [this] { handlersIn = false; };
    held->armed = [this] {
      armedMode3 = committedFinite.value_or(deployedFinite);
      programmedMode3 = armedMode3;
      armTaken = true;
      reports.armed();
    };
    held->started = [this] {
      startTaken = true;
      if (held->state().isArmed() && armedMode3) reports.started(false);
    };
    // The first stop of a code: the stop a disarm runs under it answers
    // nothing the code shows.
    held->stopped = [this](const tStatus2& answer) {
      if (stopAnswer) return;
      endOwedBefore = stopOwed;
      stopAnswer = answer.code;
    };
    return &*held;
  }
  void TearDown() override {
    held.reset();
    tCodesRow::TearDown();
  }
  void SetUp() override {
    tCodesRow::SetUp();
    using tTiming = nQoUdP100::tTavikAITimingControllerPrimitive;
    watched.watchSources(
        {tTiming::kRecordEndSource, tTiming::kSampleStartSource, tTiming::kSampleEndSource});
    watchLog("scheduler action", scheduler.noted.reports);
    watchLog("record end", reports.ends);
    windows.setWriteCallback(window, kStartStrobe,
                             [this](unsigned, uint32_t value) { strobes.push_back(value); });
  }
  void refuseLink(bool refuses) { refuse(scheduler, "getSchedulerAction", refuses); }
  bool running() { return held->isRunHeld(); }
  bool armRecorded() { return held->isArmHeld(); }
  std::string boardRuns() { return engineArmed(); }
  // The other mode: a continuous mode-2 run, for the next commit.
  void deployOther(tSupervisor& supervisor, size_t, tStatus2& status) {
    nQoUdR100::tAITimingControllerSettings other = *settings;
    other.record<0>().timing.timingMode = 2;
    other.record<0>().timing.acquisitionType = 1;
    supervisor.deploy(other, status);
    if (status.code != 0) return;
    deployedFinite = false;
    deployed = other.record<0>();
  }
  // After every step, what the board holds of the engine's programming: a
  // commit of the finite run loads its sets, and only the steps that program
  // the engine change it (the destruction leaves it). An arm of a finite
  // run that a commit installed the handlers for switches its record end on.
  std::string stepFaults(uint32_t step, const tStatus2&) {
    const bool programs = step == 1 || step == 4 || step == kReleaseStep;
    std::string faults =
        engineKept(programs, std::exchange(commitTaken, false) ? &deployed.value() : nullptr);
    using tTiming = nQoUdP100::tTavikAITimingControllerPrimitive;
    if (step == 4100 && armTaken && handlersIn && !watched.sourceOn(tTiming::kRecordEndSource))
      faults += "the engine armed for its finite run with the record-end interrupt off\n";
    if (step == 2) return faults + startFaults();
    return faults + stopFaults(step);
  }
  // The stop of an armed engine under a code 3 (the supervisor answers the
  // code by its flags) answers the early stop of a finite mode-3 run whose
  // record no record end closed, and nothing for a run of mode 2.
  std::string stopFaults(uint32_t step) {
    if (step != 3 || !stopAnswer || !committedFinite || !armedBefore) return "";
    const bool early = endOwedBefore && *committedFinite && armedMode3;
    const int owed = early ? nQoUdR100::kStoppedEarly : 0;
    const int answered = *stopAnswer;
    stopAnswer.reset();
    if (answered == owed) return "";
    return "the stop answered " + std::to_string(answered) + ", not " + std::to_string(owed) +
           (armedMode3 ? " (a run of mode 3)\n" : " (a run of mode 2)\n");
  }
  // A code, with the record open before it.
  void walkCode(tSupervisor& supervisor, uint32_t code, tStatus2& status) {
    stopOwed = reports.recordOpen;
    armedBefore = held->isArmHeld();
    stopAnswer.reset();
    strobes.clear();
    startTaken = armTaken = commitTaken = false;
    supervisor.control(code, nullptr, nullptr, status);
  }
  void ready(tSupervisor&) { programmedEngine = engineProgram(); }
  // A start that the engine took strobes once the start of the mode the
  // board was programmed with (1 for mode 3, 4 for mode 2): the armed run's,
  // or with no arm held the last commit's or arm's; none before either. A
  // deploy since reaches no start.
  std::string startFaults() {
    if (!startTaken) return "";
    const std::optional<bool> mode3 = armedBefore ? armedMode3 : programmedMode3;
    std::vector<uint32_t> owed;
    if (mode3) owed.push_back(*mode3 ? 1 : 4);
    if (strobes == owed) return "";
    const auto list = [](const std::vector<uint32_t>& values) {
      std::string text = "{";
      for (uint32_t value : values) text += (text.size() > 1 ? ", " : "") + std::to_string(value);
      return text + "}";
    };
    return "a start strobed " + list(strobes) + ", not " + list(owed) +
           (mode3 ? *mode3 ? " of the mode-3 run" : " of the mode-2 run" : " before any") +
           " the board was programmed with\n";
  }
  template <class tSupervisor>
  void up(tSupervisor& supervisor, tStatus2& status) {
    deployedFinite = armedMode3 = true;
    deployed = settings->record<0>();
    handlersIn = false;
    reports.recordOpen = false;
    committedFinite.reset();
    programmedMode3.reset();
    stopAnswer.reset();
    endOwedBefore = false;
    tCodesRow::up(supervisor, status);
  }
  std::pair<const void*, size_t> primitiveBytes() { return {&*held, sizeof *held}; }
  std::string state() {
    return "state " + std::to_string(held->state().getState()) + ", handlers " +
           std::to_string(held->installedHandlers()) + ", loop " +
           std::to_string(held->timedLoopEvent()) + ", listener " +
           std::to_string(held->hasListener()) + ", arm " + std::to_string(held->isArmHeld()) +
           ", run " + std::to_string(held->isRunHeld()) + ", action " +
           std::to_string(held->getSchedulerAction() != nullptr) + reports.owed();
  }

  static constexpr uint32_t kSets = 100;
  // The engine's settings deployed last.
  std::optional<nQoUdP100::tAITimingControllerPrimitiveConfig> deployed;
  tNotedScheduler scheduler{log, "scheduler"};
  nQoUdP100::tBaseAITimingControllerPrimitive::iSampleStartObserver sampleStart;
  nQoUdP100::tBaseAITimingControllerPrimitive::iSampleEndObserver sampleEnd;
  tRunReports reports{log, "reports"};
  // Instead of the record-end observer, a last-convert observer that hears
  // a finite run's last conversion (which its record end brings) as its
  // record end.
  bool lastConvertsOnly = false;
  struct tLastConverts : nQoUdP100::tBaseAITimingControllerPrimitive::iLastConvertObserver {
    explicit tLastConverts(tTimingRow& row) : row(row) {}
    uint32_t lastConverted(nQoUdP100::tBaseAITimingControllerPrimitive* timing,
                           tStatus2& status) override {
      if (row.armedMode3) row.reports.recordEnded(timing, status);
      return 0;
    }
    tTimingRow& row;
  } lastConverts{*this};
  std::optional<tHeldControls<nQoUdP100::tTavikAITimingControllerPrimitive>> held;
  // The settings deployed last, those of the last commit since the bring-up
  // and the mode of the armed run, which its commit programmed (with no
  // commit since the bring-up, the settings deployed at the arm): a finite
  // mode-3 run, or a continuous mode-2 one. A mode-2 run has no record end
  // to owe.
  bool deployedFinite = true, armedMode3 = true;
  std::optional<bool> committedFinite;
  // The mode of the last commit or arm since the bring-up (mode 3 or not).
  std::optional<bool> programmedMode3;
  // What the code's first stop answered, and whether a record end was owed
  // before it.
  std::optional<int> stopAnswer;
  bool stopOwed = false, endOwedBefore = false, armedBefore = false;
  // The start strobes written under the code, and whether the engine took a
  // start.
  static constexpr uint32_t kStartStrobe = 0x108;
  std::vector<uint32_t> strobes;
  bool startTaken = false;
  // The engine took an arm under the code; a commit of the finite run
  // installed its handlers, and no uncommit took them out since.
  bool armTaken = false, commitTaken = false, handlersIn = false;
};

// The timing controller whose only run observer hears its last
// conversions: the record-end interrupt is the engine's own wish, by the
// run its commit programmed.
class tTimingLastConvertRow : public tTimingRow {
 public:
  static constexpr const char* kName = "TimingControllerLastConvert";
  tTimingLastConvertRow() { lastConvertsOnly = true; }
};

// The interrupt transfer's destination: it moves samples out of the FIFO by
// programmed I/O into the bytes a client reads, notes a move while the
// FIFO is routed to a DMA channel, and makes its ends a report stream.
class tPIODestination : public nQoUdP100::tBaseAIInterruptTransferPrimitive::iDestination {
 public:
  explicit tPIODestination(std::function<bool()> routed) : _routed(std::move(routed)) {}
  uint32_t move(uint32_t count, tStatus2& status) override {
    sampleWidth = fifo->sampleWidth();
    std::vector<uint8_t> moved(size_t{count} * sampleWidth, nQoSim::kFreshByte);
    const uint32_t samples = fifo->readSamples(moved.data(), count, status);
    bytes.insert(bytes.end(), moved.begin(), moved.end());
    if (_routed()) movedWhileRouted = true;
    return samples;
  }
  void transferEnded(const tStatus2&, tStatus2&) override { ends.note('r'); }

  nQoUdP100::tBaseAIDeviceFIFOPrimitive* fifo = nullptr;
  std::vector<uint8_t> bytes;
  uint32_t sampleWidth = 2;
  bool movedWhileRouted = false;
  tReportLog ends;

 private:
  std::function<bool()> _routed;
};

// The AI subsystem over a section of its own on the road's map, moving its
// samples by the transfer of its mechanism (a deploy names another one for
// the next commit); its timing engine runs a finite mode-3 run and tells a
// scheduler action. Each transfer is given what its supervisor's links and
// reservation would give it: the immediate transfer and the immediate DMA
// transfer an event for their done posts (the latter a VESK channel too),
// the interrupt transfer its destination, the DMA transfer channel 4 and a
// sink. An arm owes the DMA transfer's sink one end, and the interrupt and
// immediate DMA transfers' ends at most one; a start of the armed subsystem
// owes its record end and those two ends. The immediate transfer's done
// posts are notices.
class tSubsystemRow : public tCodesRow<tSubsystemRow, nQoUdR100::tBaseAISubsystemSupervisorRow> {
 public:
  static constexpr const char* kName = "Subsystem";
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  static constexpr size_t kReached = 3;
  // The other mechanisms, the engine's run, then the start turned off (this
  // row alone: the rows under other mechanisms take the first four).
  static constexpr size_t kDeploys = 5;
  using tSubsystem = nQoUdP100::tBaseAISubsystem;

  explicit tSubsystemRow(int32_t mechanism = tSubsystem::kImmediate) : _mechanism(mechanism) {}

  nQoUdP100::tAISubsystem* primitive() {
    description.firstEntry = &entry;
    frontEndDescription.rangeCodes = &rangeCodes;
    description.frontEnd = &frontEndDescription;
    description.fifo = &fifoDescription;
    description.samples = &samples;
    description.timing = &timingDescription;
    settings->supervisorRecord().word1 = 1;
    settings->record<0>().transferMechanism = _mechanism;
    if (!vesk) {
      vesk.emplace(windows, bus, status);
      bus.setDMAChannelNumber(4);
    }
    held.emplace(
        hold, &description,
        nQoUdP100::tAIBoardResources{&bus, map, helper, dispatcher, &deviceInfo, vesk->maps.data(),
                                     static_cast<uint32_t>(vesk->maps.size())},
        status);
    held->timing()->setConfiguration(engineConfig(false), status);
    held->frontEnd()->setConfiguration(frontEnd->configuration(), status);
    held->timing()->addRecordEndObserver(&reports, status);
    held->timing()->setSchedulerAction(&action, status);
    held->immediate()->setDoneTarget(&reports, status);
    held->immediateDMA()->setEvent(&runEnds, status);
    held->immediateDMA()->reserveDMAChannel(status);
    destination.fifo = held->fifo();
    held->interrupt()->setDestination(&destination);
    held->dma()->setDMAChannelNumber(4);
    held->dma()->setDoneSink(&sink);
    wakes = 0;
    held->armed = [this] { noteArm(); };
    held->started = [this] { noteStart(); };
    held->committed = [this] {
      commitTaken = true;
      committedMechanism = deployedMechanism;
    };
    return &*held;
  }
  void SetUp() override {
    tCodesRow::SetUp();
    watched.watchSources({0, 1, 2, 3, 6, 7});
    watched.watchChannel(vesk->window);
    watchLog("scheduler action", action.reports);
    watchLog("record end", reports.ends);
    watchLog("done notice", reports.done);
    watchLog("immediate DMA done", runEnds.done);
    watchLog("interrupt destination", destination.ends);
    watchLog("DMA sink", sink.ends);
  }
  void TearDown() override {
    held.reset();
    tCodesRow::TearDown();
  }
  // The engine's finite mode-3 run: of 100 sets, or of 7 sets at another
  // sample period and strobe value.
  static nQoUdP100::tAITimingControllerPrimitiveConfig engineConfig(bool other) {
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.hasRouting = 1;
    config.routing.words[7] = 19;
    config.timing.timingMode = 3;
    config.timing.acquisitionType = 2;
    config.timing.firstCount = other ? 7 : 100;
    config.timing.counterBLoad1 = other ? 40 : 20;
    config.timing.strobeLoadValue = other ? 3 : 1;
    return config;
  }
  // Each bring-up finds the engine's and the FIFO's settings as their
  // supervisors' first deploys gave them.
  void ready(tSupervisor&) {
    fillFIFO();
    tStatus2 local;
    deployedEngine = engineConfig(false);
    held->timing()->setConfiguration(deployedEngine, local);
    held->fifo()->setConfiguration(nQoUdP100::tAIDeviceFIFOPrimitiveConfig{}, local);
    programmedEngine = engineProgram();
    deployedMechanism = committedMechanism = _mechanism;
    armTaken = commitTaken = false;
  }
  // The three other mechanisms, for the next commit; then the engine's
  // count and the FIFO's full mode, deployed through their own supervisors,
  // for their next commits: the subsystem's arm rewrites the engine's
  // registers, the FIFO's mode bits among them, as those commits programmed
  // them; then the start turned off, for the next commit.
  void deployOther(tSupervisor& supervisor, size_t k, tStatus2& status) {
    if (k == 3) {
      deployedEngine = engineConfig(true);
      held->timing()->setConfiguration(deployedEngine, status);
      nQoUdP100::tAIDeviceFIFOPrimitiveConfig fifo;
      fifo.fifoMode = 2;
      held->fifo()->setConfiguration(fifo, status);
      return;
    }
    nQoUdR100::tAISubsystemSettings other = *settings;
    const auto index = static_cast<int32_t>(k);
    if (k == 4)
      other.supervisorRecord().word1 = 0;
    else
      other.record<0>().transferMechanism = index < _mechanism ? index : index + 1;
    supervisor.deploy(other, status);
    if (status.isNotFatal()) deployedMechanism = other.record<0>().transferMechanism;
  }
  // An arm runs the mechanism its commit took, as the board shows it: the
  // interrupt transfer's FIFO data interrupt, the DMA transfers' route of
  // the FIFO to a channel, and neither for the immediate transfer.
  std::string mechanismFaults() {
    if (!std::exchange(armTaken, false)) return "";
    const bool interrupt = committedMechanism == tSubsystem::kInterrupt;
    const bool dma =
        committedMechanism == tSubsystem::kDMA || committedMechanism == tSubsystem::kImmediateDMA;
    std::string faults;
    if (fifoDataOn() != interrupt)
      faults += std::string("an arm of mechanism ") + std::to_string(committedMechanism) +
                " left the FIFO data interrupt " + (interrupt ? "off\n" : "on\n");
    if (fifoRouted().empty() == dma)
      faults += std::string("an arm of mechanism ") + std::to_string(committedMechanism) +
                (dma ? " routed the FIFO to no channel\n" : " routed the FIFO to a channel\n");
    return faults;
  }
  bool running() { return (held->heldSteps() & 4) != 0; }
  bool armRecorded() { return (held->heldSteps() & 2) != 0; }
  std::string boardRuns() { return engineArmed() + fifoRouted(); }
  // Beside the board's faults: the FIFO data interrupt moves samples by
  // programmed I/O, which only the interrupt transfer's run takes. A step's
  // last conversion (the board's, or a stop's record end) may have woken
  // the DMA transfer's worker: the board is looked at once it drains.
  std::string boardFaults() {
    std::string faults = held ? drained(*held->dma(), wakes) : "";
    faults += tCodesRow::boardFaults();
    if (held && fifoDataOn() &&
        held->interrupt()->runState() != nQoUdP100::tBaseAIInterruptTransferPrimitive::kArmed)
      faults += "the FIFO data interrupt on while the interrupt transfer is not armed\n";
    return faults;
  }
  // What the interrupt transfer's moves handed the client, after every step:
  // filled bytes that go on with the board's numbers. The engine's
  // programming changes only where a commit or uncommit runs, and a commit
  // loads the sets deployed for it.
  std::string stepFaults(uint32_t step, const tStatus2&) {
    std::vector<uint8_t>& bytes = destination.bytes;
    const bool programs = step == 1 || step == 4 || step == kReleaseStep || step == kDestroyStep;
    std::string faults =
        engineKept(programs, std::exchange(commitTaken, false) ? &deployedEngine : nullptr) +
        mechanismFaults();
    if (destination.movedWhileRouted)
      faults += "samples moved by programmed I/O while the FIFO is routed to a DMA channel\n";
    faults += freshBytesIn(bytes.data(), bytes.size()) +
              samplesFollow(bytes.data(), bytes.size(), destination.sampleWidth);
    destination.movedWhileRouted = false;
    bytes.clear();
    return faults;
  }
  // What its codes left, what its timing engine holds, which transfers stand
  // committed or armed (bit 0 the immediate transfer, 1 the interrupt
  // transfer, 2 the immediate DMA transfer, 3 the DMA transfer), and what a
  // run owes.
  std::string state() {
    nQoUdP100::tTavikAITimingControllerPrimitive& timing = *held->timing();
    const uint32_t transfers =
        (held->immediate()->getTransferState() >= 4 ? 1 : 0) |
        (held->interrupt()->runState() >= nQoUdP100::tBaseAIInterruptTransferPrimitive::kCommitted
             ? 2
             : 0) |
        (held->immediateDMA()->transferState() >= 4 ? 4 : 0) | (held->dma()->isArmed() ? 8 : 0);
    return "held " + std::to_string(held->heldSteps()) + ", timing handlers " +
           std::to_string(timing.installedHandlers()) + ", arm " +
           std::to_string(timing.isArmHeld()) + ", run " + std::to_string(timing.isRunHeld()) +
           ", transfers " + std::to_string(transfers) + reports.owed();
  }

  bool interruptArmed() const {
    return held->interrupt()->runState() == nQoUdP100::tBaseAIInterruptTransferPrimitive::kArmed;
  }
  void noteArm() {
    if ((held->heldSteps() & 2) == 0) return;
    armTaken = true;
    reports.armed();
    if (held->dma()->isArmed()) sink.ends.note('a');
    if (interruptArmed()) destination.ends.note('o');
    if (held->immediateDMA()->holdsArm()) runEnds.done.note('o');
  }
  void noteStart() {
    if (!held->timing()->state().isArmed()) return;
    const bool immediate = held->immediate()->getTransferState() == 5;
    reports.started(immediate);
    if (held->immediateDMA()->holdsArm()) runEnds.done.note('a');
    if (interruptArmed()) destination.ends.note('a');
  }

  const int32_t _mechanism;
  // The engine's settings deployed last, and a commit that the subsystem
  // took since the last step.
  nQoUdP100::tAITimingControllerPrimitiveConfig deployedEngine = engineConfig(false);
  bool commitTaken = false;
  // The mechanism deployed last, and the one of the last commit; an arm
  // taken since the last step.
  int32_t deployedMechanism = 0, committedMechanism = 0;
  bool armTaken = false;
  nQoUdP100::tAISampleDescription samples{2};
  nQoUdP100::tAITimingDescription timingDescription{2, 1};
  nQoUdP100::tAIDescription description;
  tRangeCodes rangeCodes;
  tRunReports reports{log, "reports"};
  tCountingEvent runEnds{log, "run ends"};
  tNotedAction action;
  std::optional<tVESKChannels> vesk;
  tPIODestination destination{[this] { return !fifoRouted().empty(); }};
  tEndingEndpoint<nQoLMSDR100::iDMAEndpoint> sink;
  uint32_t wakes = 0;
  std::optional<tHeldControls<nQoUdP100::tAISubsystem>> held;
};

// The subsystem under each other mechanism.
constexpr const char* kSubsystemRowNames[] = {"Subsystem", "SubsystemInterrupt",
                                              "SubsystemImmediateDMA", "SubsystemDMA"};
template <int32_t kMechanism>
class tSubsystemRowUnder : public tSubsystemRow {
 public:
  static constexpr const char* kName = kSubsystemRowNames[kMechanism];
  static constexpr size_t kDeploys = 4;
  tSubsystemRowUnder() : tSubsystemRow(kMechanism) {}
};

// The subsystem committed, armed and started at each bring-up, so that its
// steps meet a run, with an observer of its engine's run sources (sample
// end, record end, last conversion). A fire's second passes are taken at
// the fire, as a dispatcher's pass takes its requests, and reach their
// handlers two steps later (a deploy counts none), after the release or
// destruction, or with the next fire's: a disarm and the next arm and start
// may come between. A second pass reaches the observer only in the arm its
// first pass was raised in. The row takes no stop (the board's fire would
// raise the record end of an engine that the stop left idle with its
// sources on) and no deploy.
class tSubsystemLatePassRow : public tSubsystemRow {
 public:
  static constexpr const char* kName = "SubsystemLatePass";
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 4101, 4};
  static constexpr size_t kDeploys = 0;

 protected:
  // Tells of a second pass that reaches it in a later arm of the engine than
  // its first pass.
  class tRunSourceObserver
      : public nQoUdP100::tBaseAITimingControllerPrimitive::iSampleEndObserver,
        public nQoUdP100::tBaseAITimingControllerPrimitive::iRecordEndObserver,
        public nQoUdP100::tBaseAITimingControllerPrimitive::iLastConvertObserver {
   public:
    using tTiming = nQoUdP100::tBaseAITimingControllerPrimitive;
    explicit tRunSourceObserver(const tReportLog& arms) : _arms(arms) {}
    uint32_t sampleEnded(tTiming*, tStatus2&) override { return first(0); }
    void sampleEndedSecondary(tTiming*, tStatus2&) override { second(0); }
    uint32_t recordEnded(tTiming*, tStatus2&) override { return first(1); }
    void recordEndedSecondary(tTiming*, tStatus2&) override { second(1); }
    uint32_t lastConverted(tTiming*, tStatus2&) override { return first(2); }
    void lastConvertedSecondary(tTiming*, tStatus2&) override { second(2); }
    std::string faults;

   private:
    static constexpr const char* kSources[] = {"sample end", "record end", "last conversion"};
    std::ptrdiff_t arms() const { return std::ranges::count(_arms.log(), 'a'); }
    uint32_t first(int source) {
      _armOfFirst[source] = arms();
      return 1;
    }
    void second(int source) {
      if (arms() != _armOfFirst[source])
        faults += std::string("a second pass of the engine's ") + kSources[source] +
                  " reached its observer in a later arm than its first\n";
    }
    const tReportLog& _arms;
    std::ptrdiff_t _armOfFirst[3] = {};
  };

  void SetUp() override {
    tSubsystemRow::SetUp();
    watched.leavePasses(true);
    observe();
  }
  void makePrimitive() {
    tSubsystemRow::makePrimitive();
    observe();
  }
  void observe() {
    nQoUdP100::tTavikAITimingControllerPrimitive& timing = *held->timing();
    timing.addSampleEndObserver(&runSources, status);
    timing.addRecordEndObserver(&runSources, status);
    timing.addLastConvertObserver(&runSources, status);
    ASSERT_EQ(status.code, 0);
  }
  void ready(tSupervisor& supervisor) {
    tSubsystemRow::ready(supervisor);
    for (uint32_t code : {1u, 4100u, 2u}) {
      tStatus2 local;
      supervisor.control(code, nullptr, nullptr, local);
    }
    taken = 0;
    stepsLeft = 0;
    tSubsystemRow::stepFaults(0, tStatus2{});
  }
  // The fire's requests, taken as a dispatcher's pass takes them.
  std::string fired() {
    uint64_t requests = 0;
    nQoUdRLP100::tTavikInterruptDispatcher::tAtomicPendingSnapshotDispatcher(dispatcher, requests)
        .exec();
    taken |= requests;
    return "";
  }
  // The taken requests' second passes, through the handlers in their slots now.
  void runTaken() {
    for (; taken != 0; taken &= taken - 1)
      if (auto* handler = dispatcher->secondaryHandlers[std::countr_zero(taken)].load())
        handler->handleSecondaryInterrupt();
  }
  std::string stepFaults(uint32_t step, const tStatus2& status) {
    if (step == kFireStep)
      stepsLeft = 2;
    else if (step == kReleaseStep || step == kDestroyStep ||
             ((step & 0xFFFF'0000) != kDeployStep && stepsLeft != 0 && --stepsLeft == 0))
      runTaken();
    return std::exchange(runSources.faults, "") + tSubsystemRow::stepFaults(step, status);
  }

  tRunSourceObserver runSources{action.reports};
  uint64_t taken = 0;
  // The steps after which the taken passes run.
  int stepsLeft = 0;
};

// The AI interrupt transfer, whose partner (key 1) may refuse an endpoint
// and whose links read the FIFO primitive of the reserved FIFO supervisor
// (key 2). The road runs as the subsystem's arm leaves it: the FIFO's data
// and overflow interrupts on, the engine in a finite run; its FIFO passes
// hand samples to the partner's endpoint, and an arm owes the endpoint at
// most one end.
class tInterruptTransferRow
    : public tCodesRow<tInterruptTransferRow, nQoUdR100::tBaseAIInterruptTransferSupervisorRow> {
 public:
  static constexpr const char* kName = "InterruptTransfer";
  // Beside its own codes, the FIFO supervisor's commit and arm (kFIFOCode +
  // code), which land under the transfer's run.
  static constexpr uint32_t kFIFOCode = kRowStep;
  static constexpr uint32_t kCodes[] = {1, 4100, 4101, 4, kFIFOCode + 1, kFIFOCode + 4100};
  // The FIFO's commit programs its deployed settings, and the transfer's
  // commit takes their block count.
  static constexpr uint32_t kProgramming[] = {1, kFIFOCode + 1};
  static constexpr size_t kReached = 2;
  static constexpr size_t kDeploys = 1;
  // A code 4101 or 4 that reached the transfer's disarm or uncommit ends the
  // run with no report; a commit, answered as it was, leaves it.
  void walkCode(tSupervisor& supervisor, uint32_t code, tStatus2& status) {
    undone = false;
    if (code > kFIFOCode)
      fifoSupervisor->control(code - kFIFOCode, nullptr, nullptr, status);
    else
      supervisor.control(code, nullptr, nullptr, status);
    if ((code == 4101 || code == 4) && undone) runOpen = false;
  }

  nQoUdP100::tAIInterruptTransferPrimitive* primitive() {
    description.fifo = &fifoDescription;
    description.samples = &sampleDescription;
    held.emplace(hold, &description, converter, timing, fifo, deviceInfo, map, status);
    held->configure(status);
    held->link(status);  // as the board links it
    held->armed = [this] {
      partner.ending.ends.note('o');
      runOpen = true;
      ++arms;
    };
    held->disarmed = held->uncommitted = [this] { undone = true; };
    return &*held;
  }
  void SetUp() override {
    tCodesRow::SetUp();
    reserveFIFOSupervisor();
    settings->supervisorRecord().word1 = 1;
    settings->supervisorRecord().word2 = 2;
    supervisorMap.entries = {{1, &partner}, {2, &*fifoSupervisor}};
    watchLog("endpoint", partner.ending.ends);
  }
  // Each bring-up finds the FIFO as its supervisor's first settings set it.
  void ready(tSupervisor&) {
    if (deployed) fifoSupervisor->deploy(*fifoSettings, status);
    deployed = false;
    fillFIFO();
    finiteRun();
    rearm(*fifo);
    runOpen = runOpenBefore = false;
  }
  // The FIFO's other block count, deployed through its own supervisor: the
  // next commit of the transfer takes it, a run under way keeps its own.
  void deployOther(tSupervisor&, size_t, tStatus2& status) {
    nQoUdR100::tAIDeviceFIFOSettings other = *fifoSettings;
    other.record<0>().word3 = 2;
    fifoSupervisor->deploy(other, status);
    deployed = true;
  }
  // A fire whose last conversion reached the transfer with the run of its
  // last arm open (as the step before left it, or as open says) ends the run
  // with its report.
  std::string fired() { return endOwed(runOpenBefore); }
  std::string endOwed(bool open) {
    if (!open || arms != armsBefore || held->counts().lastConvertSecondary == passesBefore ||
        std::ranges::count(partner.ending.ends.log(), 'r') != endsBefore)
      return "";
    return "the run's last conversion came and its end was never reported\n";
  }
  // After every step: what the endpoint was handed goes on with the board's
  // numbers, a clean end came with the FIFO drained, and the acquisition
  // goes on.
  std::string stepFaults(uint32_t, const tStatus2&) {
    std::vector<uint8_t>& bytes = partner.ending.bytes;
    std::string faults = freshBytesIn(bytes.data(), bytes.size()) +
                         samplesFollow(bytes.data(), bytes.size(), partner.ending.sampleWidth) +
                         partner.ending.faults;

    bytes.clear();
    partner.ending.faults.clear();
    fillFIFO();
    const std::ptrdiff_t ends = std::ranges::count(partner.ending.ends.log(), 'r');
    if (ends != endsBefore) runOpen = false;
    runOpenBefore = runOpen;
    armsBefore = arms;
    endsBefore = ends;
    if (held) passesBefore = held->counts().lastConvertSecondary;
    return faults;
  }

  void TearDown() override {
    held->unlink(status);
    held.reset();
    tCodesRow::TearDown();
  }
  void refuseLink(bool refuses) { refuse(partner, "endpointFor", refuses); }
  bool running() { return false; }
  // Its run, its reservation mark, the destination it calls.
  std::string state() {
    return "run " + std::to_string(held->runState()) + ", reserved " +
           std::to_string(held->reservation()) + ", destination " +
           std::to_string(held->getDestination() != nullptr);
  }

  // The endpoint: each move's samples, in order, read into bytes that hold
  // the fresh pattern first; its ends make a report stream, and a clean one
  // finds the FIFO drained.
  class tSampleEndpoint : public tEndingEndpoint<tReadingInterruptEndpoint> {
   public:
    tSampleEndpoint(tCallLog& log, const std::string& name, const nQoSim::tSimAIFifo& model)
        : tEndingEndpoint(log, name), _model(model) {}
    uint32_t data(nQoMXSL100::iReadable<unsigned char>* r, uint32_t count, tStatus2& s) override {
      const uint32_t width = r->available(s);
      if (width == 0) return 0;
      sampleWidth = width;
      std::vector<uint8_t> moved(size_t{count} * width, nQoSim::kFreshByte);
      const uint32_t read = r->read(moved.data(), count * width, s);
      bytes.insert(bytes.end(), moved.begin(), moved.end());
      return read / width;
    }
    void transferEnded(const tStatus2& reason, tStatus2& status) override {
      if (reason.code == 0 && _model.size() != 0)
        faults += "a clean end with samples left in the FIFO\n";
      tEndingEndpoint::transferEnded(reason, status);
    }
    std::string faults;
    uint32_t sampleWidth = 2;

   private:
    const nQoSim::tSimAIFifo& _model;
  };
  // The partner, whose endpoint's ends make a report stream.
  class tPartner : public tInterruptPartner {
   public:
    tPartner(tCallLog& log, const std::string& name, const nQoSim::tSimAIFifo& model)
        : tInterruptPartner(log, name), ending(log, "endpoint", model) {}
    nQoLMSDR100::iInterruptTransferEndpoint* endpointFor(tStatus2& s, const void* owner) override {
      return tInterruptPartner::endpointFor(s, owner) != nullptr ? &ending : nullptr;
    }
    tSampleEndpoint ending;
  };

  nQoUdP100::tAISampleDescription sampleDescription{2};
  nQoUdP100::tAIDescription description;
  tPartner partner{log, "partner", model};
  // The run of the transfer's last arm is open: no end report, disarm or
  // uncommit since; and as the step before left it, with the arms so far.
  bool runOpen = false, runOpenBefore = false;
  uint32_t arms = 0, armsBefore = 0;
  // The transfer's disarm or uncommit ran under the code.
  bool undone = false;
  uint32_t passesBefore = 0;
  std::ptrdiff_t endsBefore = 0;
  bool deployed = false;

  std::optional<tHeldControls<nQoUdP100::tAIInterruptTransferPrimitive>> held;
};

// The interrupt transfer committed and armed at each bring-up, so that its
// steps meet a run: the deploys are the FIFO's other block count and one
// that the next commit refuses (a refused commit leaves the run it found),
// and a fire's passes are left to the second step after it or to the next
// fire (a pass acts on its own run only). An end with an error belongs to a
// run that an error reached since its arm, a clean end to one whose last
// conversion reached the transfer.
class tInterruptTransferRunRow : public tInterruptTransferRow {
 public:
  static constexpr const char* kName = "InterruptTransferRun";
  static constexpr size_t kDeploys = 2;

 protected:
  void SetUp() override {
    tInterruptTransferRow::SetUp();
    watched.leavePasses(true);
  }
  void ready(tSupervisor& supervisor) {
    tInterruptTransferRow::ready(supervisor);
    for (uint32_t code : {1u, 4100u}) {
      tStatus2 local;
      supervisor.control(code, nullptr, nullptr, local);
    }
    stepsLeft = 0;
    armsAtFire = arms;
    stepFaults(0, tStatus2{});
  }
  void deployOther(tSupervisor& supervisor, size_t k, tStatus2& status) {
    if (k == 0) return tInterruptTransferRow::deployOther(supervisor, k, status);
    nQoUdR100::tAIDeviceFIFOSettings other = *fifoSettings;
    other.record<0>().word3 = 0;
    fifoSupervisor->deploy(other, status);
    deployed = true;
  }
  // The passes the fire before left run first: they belong to the run it
  // met, if no arm came since.
  std::string fired() {
    const bool own = arms == armsAtFire;
    armsAtFire = arms;
    return own ? tInterruptTransferRow::fired() : "";
  }
  // A deploy counts no step here, so an order walked with and without its
  // deploys meets the passes at the same code.
  std::string stepFaults(uint32_t step, const tStatus2& status) {
    if (step == kReleaseStep || step == kDestroyStep) {
      watched.runPasses();
      return tInterruptTransferRow::stepFaults(step, status);
    }
    bool late = false;
    if (step == kFireStep) {
      stepsLeft = 2;
    } else if ((step & 0xFFFF'0000) != kDeployStep && stepsLeft != 0 && --stepsLeft == 0) {
      watched.runPasses();
      late = true;
    }
    // Passes that a code's step let by find the run as the code left it.
    std::string faults = late && arms == armsAtFire ? endOwed(runOpen) : "";
    const int failed = partner.ending.failures - failuresBefore;
    const nQoUdP100::tBaseAIInterruptTransferPrimitive::tCounts counts = held->counts();
    if (failed != 0 && counts.overflow + counts.overrun == 0)
      faults += "a run's error end came with no error of its own since its arm\n";
    if (std::ranges::count(partner.ending.ends.log(), 'r') - endsBefore > failed &&
        counts.lastConvert == 0)
      faults += "a run's clean end came before its last conversion reached the transfer\n";
    failuresBefore = partner.ending.failures;
    return faults + tInterruptTransferRow::stepFaults(step, status);
  }

  int failuresBefore = 0;
  // The steps after which the passes of the last fire run, unless a fire
  // runs them first; the arms there were at that fire.
  int stepsLeft = 0;
  uint32_t armsAtFire = 0;
};

using tRows = ::testing::Types<tWFNSCRow, tWFNSCEventRow, tImmediateRow, tImmediateDMARow,
                               tDMATransferRow, tConverterRow, tDeviceFIFORow, tFrontEndRow,
                               tTimingRow, tInterruptTransferRow, tSubsystemRow>;
INSTANTIATE_TYPED_TEST_SUITE_P(AI, Lifecycle, tRows, tRowNames);
using tLinkRows =
    ::testing::Types<tImmediateDMARow, tDMATransferRow, tTimingRow, tInterruptTransferRow>;
INSTANTIATE_TYPED_TEST_SUITE_P(AI, FailedLinkLifecycle, tLinkRows, tRowNames);
// The walk also takes the subsystem under each other mechanism.
using tWalkRows = ::testing::Types<
    tWFNSCRow, tWFNSCEventRow, tWFNSCUnderARunRow, tImmediateRow, tImmediateBlockingRow,
    tImmediateFiniteRow, tImmediateDMARow, tImmediateDMAFiniteRow, tDMATransferRow, tDMALatePassRow,
    tConverterRow, tDeviceFIFORow, tFrontEndRow, tTimingRow, tTimingLastConvertRow,
    tInterruptTransferRow, tInterruptTransferRunRow, tSubsystemRow, tSubsystemLatePassRow,
    tSubsystemRowUnder<nQoUdP100::tBaseAISubsystem::kInterrupt>,
    tSubsystemRowUnder<nQoUdP100::tBaseAISubsystem::kImmediateDMA>,
    tSubsystemRowUnder<nQoUdP100::tBaseAISubsystem::kDMA>>;
INSTANTIATE_TYPED_TEST_SUITE_P(AI, CodeWalk, tWalkRows, tRowNames);

}  // namespace
}  // namespace nQoTest
