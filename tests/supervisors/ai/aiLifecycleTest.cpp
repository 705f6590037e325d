// The analog-input supervisors as rows of the lifecycle suite, over the
// real primitives of the simulated board's AI road.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
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
#include "supervisors/ai/aiImmediateTransferSupervisors.h"
#include "supervisors/ai/aiSupervisors.h"
#include "supervisors/ai/aiTransferSupervisors.h"
#include "supervisors/lifecycleSuite.h"
#include "support/aiTransferDoubles.h"
#include "support/boardChecks.h"
#include "support/brokerPools.h"
#include "support/reservationDoubles.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
constexpr int kTimedOut = -200474;
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

// The facade's event object, counting its unregistrations for a look from
// the entry's thread while a step may register on the test's.
class tCountingEvent : public tScriptedEvent {
 public:
  using tScriptedEvent::tScriptedEvent;
  void unregisterEvent(uint32_t kind, tStatus2& status) override {
    ++unregistered;
    tScriptedEvent::unregisterEvent(kind, status);
  }
  std::atomic<int> unregistered{0};
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
      return model.size() == 0 ? nQoSim::tSimAIFifo::kEmptyBit : 0;
    });
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.timing.timingMode = 2;
    config.timing.strobeLoadValue = 1;
    config.hasRouting = 1;
    config.routing.words[7] = 19;
    timing->setConfiguration(config, status);
    nQoUdP100::tAIScanningFrontEndPrimitiveConfig channels;
    nQoUdP100::tAIScanningFrontEndConfig channel;
    channel.channelFlags = 1;
    channels.channels.append(channel);
    frontEnd.emplace(&frontEndDescription, map, helper, status);
    frontEnd->setConfiguration(channels, status);
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
    supervisor.initialize(*settings, &facade, status);
    supervisor.link(supervisorMap, status);
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

  tCallLog log;
  tScriptedFacade facade{log, "facade"};
  tCountingEvent event{log, "event"};
  tScriptedSupervisorMap supervisorMap{log, "map"};
  tHoldPoint hold;
  tBoardWatch watched;
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
  }
  void arm(tStatus2& s) override {
    _hold();
    Prim::arm(s);
  }
  void start(tStatus2& s) override {
    _hold();
    Prim::start(s);
    if (s.isNotFatal() && started) started();
  }
  void stop(tStatus2& s) override {
    _hold();
    Prim::stop(s);
  }
  void disarm(tStatus2& s) override {
    _hold();
    Prim::disarm(s);
  }
  void uncommit(tStatus2& s) override {
    _hold();
    Prim::uncommit(s);
  }
  // After a start that the primitive took.
  std::function<void()> started;

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
// hold inside its operations.
class tWFNSCRow : public tAIRow<nQoUdR100::tAI_WFNSCSettings> {
 public:
  static constexpr const char* kName = "SampleClockWaitPolling";
  using tSupervisor = nQoUdR100::tBaseAI_WFNSCSupervisor;
  using tPrimitive = nQoUdP100::tBaseAI_WFNSCPrimitive;
  static constexpr uint32_t kCodes[] = {1, 4100, 4101, 4};

 protected:
  void SetUp() override {
    tAIRow::SetUp();
    makePrimitive();
    offer(pool, &*wfnsc, "AI_WFNSC", settings->supervisorRecord().identifier);
  }
  void makePrimitive() { wfnsc.emplace(hold, timing, converter); }
  void destroyPrimitive() { wfnsc.reset(); }
  void TearDown() override {
    pool.reset();
    wfnsc.reset();
    tAIRow::TearDown();
  }
  void ready(tSupervisor& supervisor) {
    tStatus2 status;
    supervisor.control(1, nullptr, nullptr, status);
    supervisor.control(4100, nullptr, nullptr, status);
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
    tWFNSCRow::SetUp();
    nQoSim::onSyncWait([this](const iSync*) { hold(); });
  }
  void TearDown() override {
    nQoSim::onSyncWait(nullptr);
    tWFNSCRow::TearDown();
  }
  // The mode and whether the controller still tells the wait of its clocks.
  std::string primitiveState() {
    return tWFNSCRow::primitiveState() +
           (timing->findSampleStartObserver(&*wfnsc) != nullptr ? ", observed" : "");
  }
};

// The programmed-I/O immediate transfer: a read polls the FIFO's status
// register, code 1 registers the client's listener under the bus location.
class tImmediateRow : public tAIRow<nQoUdR100::tAIImmediateTransferSettings> {
 public:
  static constexpr const char* kName = "ImmediateTransfer";
  using tSupervisor = nQoUdR100::tAIImmediateTransferSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
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
  }
  void TearDown() override {
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
  }
  // Started as ready leaves it, and with the client's listener of code 1.
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {{"started", [] {}}, {"listening and started", [this, &supervisor] {
                                   tStatus2 status;
                                   supervisor.control(1, nullptr, nullptr, status);
                                   supervisor.control(4100, nullptr, nullptr, status);
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
};

// The DMA immediate transfer over a VESK channel, with the scheduler's
// action linked by key 3 (its partner, which may refuse): every code takes
// the transfer's lock, which holds it.
class tImmediateDMARow : public tAIRow<nQoUdR100::tAIImmediateTransferSettings> {
 public:
  static constexpr const char* kName = "ImmediateDMATransfer";
  using tSupervisor = nQoUdR100::tAIImmediateDMATransferSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  using tPrimitive = nQoUdP100::tAIImmediateDMATransferPrimitive;

 protected:
  void SetUp() override {
    tAIRow::SetUp();
    channel.emplace(&bus, vesk, &status);
    channels.fill(&*channel);
    smallFIFO.emplace(&smallDescription, map, dispatcher, status);
    makePrimitive();
    bus.setDMAChannelNumber(4);
    supervisorMap.entries[3] = &scheduler;
    watched.watchChannel(vesk);
    watched.watchAction(scheduler.action);
    settings->supervisorRecord().word6 = 2;
    settings->supervisorRecord().word16 = 3;
    offer(pool, &*transfer, "AIImmediateDMATransfer", settings->supervisorRecord().identifier);
    hold.atSyncs();
  }
  void TearDown() override {
    pool.reset();
    transfer.reset();
    smallFIFO.reset();
    channel.reset();
    EXPECT_EQ(nQoSim::liveMemBlocks(), 0);
    tAIRow::TearDown();
  }
  void makePrimitive() {
    transfer.emplace(&bus, &deviceInfo, &*frontEnd, converter, timing, &*smallFIFO, map,
                     channels.data(), 8, status);
  }
  void destroyPrimitive() { transfer.reset(); }
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

  const unsigned vesk = windows.addWindow(0x84);
  nQoUdP100::tAIFIFODescription smallDescription{4, 4, 4};
  std::optional<nQoUdRLP100::tVESKChannel> channel;
  std::array<nQoUdRLP100::tVESKChannel*, 8> channels{};
  std::optional<nQoUdP100::tAIDeviceFIFOPrimitive> smallFIFO;
  std::optional<tPrimitive> transfer;
  std::optional<nQoUdR100::tAIImmediateDMATransferSupervisorRow::tPool> pool;
  tScriptedSchedulerSupervisor scheduler{log, "scheduler"};
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
    hold.atSyncs();
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    transferPool.reset();
    transfer->unlink(status);
    transfer.reset();
    tAIRow::TearDown();
  }
  void makePrimitive() {
    transfer.emplace(converter, timing, fifo, deviceInfo, map, status);
    transfer->link(status);  // as the board links it
  }
  void destroyPrimitive() { transfer.reset(); }
  void refuseLink(bool refuses) { refuse(partner.endpoint, "setReadable", refuses); }
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

  std::optional<tPrimitive> transfer;
  std::optional<nQoUdR100::tBaseAI_DMATransferSupervisorRow::tPool> transferPool;
  tScriptedDMAChannel channel{log, "channel"};
  tReadingDMATransfer partner{log, "partner"};
};

// What a run owes its observers: the record end its stop reports (heard by
// a record-end observer of the timing engine) and, where asked, the done
// report of the transfer (posted to this event). A start of an armed
// engine opens both.
class tRunReports : public tScriptedEvent,
                    public nQoUdP100::tBaseAITimingControllerPrimitive::iRecordEndObserver {
 public:
  using tScriptedEvent::tScriptedEvent;
  void post(const nQoMRL110::tSoftwareAction&, tStatus2&) override { doneOwed = false; }
  uint32_t recordEnded(nQoUdP100::tBaseAITimingControllerPrimitive*, tStatus2&) override {
    endOwed = false;
    return 0;
  }
  void started(bool done) {
    endOwed = true;
    doneOwed = done;
  }
  std::string owed() const {
    return ", end owed " + std::to_string(endOwed) + ", done owed " + std::to_string(doneOwed);
  }

  std::atomic<bool> endOwed{false}, doneOwed{false};
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
  nQoUdP100::tAI_ADCPrimitive* primitive() {
    held.emplace(hold, &entry, map, dispatcher, status);
    held->addObserver(&observer, status);
    return &*held;
  }
  void TearDown() override {
    held.reset();
    tCodesRow::TearDown();
  }
  bool running() { return false; }
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
// registers them.
class tDeviceFIFORow : public tCodesRow<tDeviceFIFORow, nQoUdR100::tBaseAIDeviceFIFOSupervisorRow> {
 public:
  static constexpr const char* kName = "DeviceFIFO";
  static constexpr uint32_t kCodes[] = {1, 4100, 4101, 4};
  static constexpr size_t kReached = 2;
  nQoUdP100::tAIDeviceFIFOPrimitive* primitive() {
    held.emplace(hold, &fifoDescription, map, dispatcher, status);
    held->addFIFOObserver(&observer, status);
    held->addOverflowObserver(&observer, status);
    return &*held;
  }
  void TearDown() override {
    held.reset();
    tCodesRow::TearDown();
  }
  bool running() { return false; }
  std::string state() {
    return "state " + std::to_string(held->state().getState()) + ", attached " +
           std::to_string(held->attachedSources()) + ", armed " +
           std::to_string(held->armedSources());
  }

  struct tObserver : nQoUdP100::tBaseAIDeviceFIFOPrimitive::iAIFIFOObserver,
                     nQoUdP100::tBaseAIDeviceFIFOPrimitive::iAIOverflowObserver {
  } observer;
  std::optional<tHeldControls<nQoUdP100::tAIDeviceFIFOPrimitive>> held;
};

// The front end takes part in its codes while the record's first value says
// so; its programming starts the settling time-out.
class tFrontEndRow
    : public tCodesRow<tFrontEndRow, nQoUdR100::tBaseAIScanningFrontEndSupervisorRow> {
 public:
  static constexpr const char* kName = "ScanningFrontEnd";
  static constexpr uint32_t kCodes[] = {1, 4100, 4101, 4};
  static constexpr size_t kReached = 2;
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

  // Every range is gain 1, polarity 0.
  struct tRangeCodes : nQoUdP100::iAIRangeCodes {
    void findRange(const nQoUdRLP100::tInterval*, uint16_t* gain, uint16_t* polarity,
                   tStatus2&) const override {
      *gain = 1;
      *polarity = 0;
    }
  } rangeCodes;
  std::optional<tHeldFrontEnd> held;
};

// The timing controller in a finite mode-3 run, whose scheduler-action
// partner (key 3) may refuse its action, with the observers that make its
// commit install every handler, a timed loop and a listener.
class tTimingRow : public tCodesRow<tTimingRow, nQoUdR100::tBaseAITimingControllerSupervisorRow> {
 public:
  static constexpr const char* kName = "TimingController";
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  static constexpr size_t kReached = 3;
  nQoUdP100::tTavikAITimingControllerPrimitive* primitive() {
    settings->supervisorRecord().word1 = 3;
    supervisorMap.entries[3] = &scheduler;
    auto& config = settings->record<0>();
    config.hasRouting = 1;
    config.routing.words[7] = 19;
    config.timing.timingMode = 3;
    config.timing.acquisitionType = 2;
    config.timing.firstCount = 100;
    config.timing.listenerKey = 0x77;
    config.timing.timedLoopEvent = 2;
    held.emplace(hold, &entry, map, helper, dispatcher, status);
    held->addSampleStartObserver(&sampleStart, true, status);
    held->addRecordEndObserver(&reports, status);
    held->started = [this] {
      if (held->state().isArmed()) reports.started(false);
    };
    return &*held;
  }
  void TearDown() override {
    held.reset();
    tCodesRow::TearDown();
  }
  void SetUp() override {
    tCodesRow::SetUp();
    watched.watchAction(scheduler.action);
  }
  void refuseLink(bool refuses) { refuse(scheduler, "getSchedulerAction", refuses); }
  bool running() { return held->isRunHeld(); }
  std::string state() {
    return "state " + std::to_string(held->state().getState()) + ", handlers " +
           std::to_string(held->installedHandlers()) + ", loop " +
           std::to_string(held->timedLoopEvent()) + ", listener " +
           std::to_string(held->hasListener()) + ", arm " + std::to_string(held->isArmHeld()) +
           ", run " + std::to_string(held->isRunHeld()) + ", action " +
           std::to_string(held->getSchedulerAction() != nullptr) + reports.owed();
  }

  tScriptedSchedulerSupervisor scheduler{log, "scheduler"};
  nQoUdP100::tBaseAITimingControllerPrimitive::iSampleStartObserver sampleStart;
  tRunReports reports{log, "reports"};
  std::optional<tHeldControls<nQoUdP100::tTavikAITimingControllerPrimitive>> held;
};

// The AI subsystem over a section of its own on the road's map, moving its
// samples by the immediate transfer, whose done report goes to the event
// its link would give it; its timing engine runs a finite mode-3 run.
class tSubsystemRow : public tCodesRow<tSubsystemRow, nQoUdR100::tBaseAISubsystemSupervisorRow> {
 public:
  static constexpr const char* kName = "Subsystem";
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  static constexpr size_t kReached = 3;
  nQoUdP100::tAISubsystem* primitive() {
    description.firstEntry = &entry;
    description.frontEnd = &frontEndDescription;
    description.fifo = &fifoDescription;
    description.samples = &samples;
    description.timing = &timingDescription;
    settings->supervisorRecord().word1 = 1;
    settings->record<0>().transferMechanism = nQoUdP100::tBaseAISubsystem::kImmediate;
    held.emplace(hold, &description,
                 nQoUdP100::tAIBoardResources{&bus, map, helper, dispatcher, &deviceInfo}, status);
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.hasRouting = 1;
    config.timing.timingMode = 3;
    config.timing.acquisitionType = 2;
    config.timing.firstCount = 100;
    held->timing()->setConfiguration(config, status);
    held->timing()->addRecordEndObserver(&reports, status);
    held->immediate()->setDoneTarget(&reports, status);
    held->started = [this] {
      if (held->timing()->state().isArmed()) reports.started(true);
    };
    return &*held;
  }
  void TearDown() override {
    held.reset();
    tCodesRow::TearDown();
  }
  bool running() { return (held->heldSteps() & 4) != 0; }
  // What its codes left, what its timing engine holds, and what a run owes.
  std::string state() {
    nQoUdP100::tTavikAITimingControllerPrimitive& timing = *held->timing();
    return "held " + std::to_string(held->heldSteps()) + ", timing handlers " +
           std::to_string(timing.installedHandlers()) + ", arm " +
           std::to_string(timing.isArmHeld()) + ", run " + std::to_string(timing.isRunHeld()) +
           reports.owed();
  }

  nQoUdP100::tAISampleDescription samples{2};
  nQoUdP100::tAITimingDescription timingDescription{2, 1};
  nQoUdP100::tAIDescription description;
  tRunReports reports{log, "reports"};
  std::optional<tHeldControls<nQoUdP100::tAISubsystem>> held;
};

// The AI interrupt transfer, whose partner (key 1) may refuse an endpoint
// and whose links read the FIFO primitive of the reserved FIFO supervisor
// (key 2).
class tInterruptTransferRow
    : public tCodesRow<tInterruptTransferRow, nQoUdR100::tBaseAIInterruptTransferSupervisorRow> {
 public:
  static constexpr const char* kName = "InterruptTransfer";
  static constexpr uint32_t kCodes[] = {1, 4100, 4101, 4};
  static constexpr size_t kReached = 2;
  nQoUdP100::tAIInterruptTransferPrimitive* primitive() {
    description.fifo = &fifoDescription;
    description.samples = &sampleDescription;
    held.emplace(hold, &description, converter, timing, fifo, deviceInfo, map, status);
    held->configure(status);
    held->link(status);  // as the board links it
    return &*held;
  }
  void SetUp() override {
    tCodesRow::SetUp();
    reserveFIFOSupervisor();
    settings->supervisorRecord().word1 = 1;
    settings->supervisorRecord().word2 = 2;
    supervisorMap.entries = {{1, &partner}, {2, &*fifoSupervisor}};
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

  nQoUdP100::tAISampleDescription sampleDescription{2};
  nQoUdP100::tAIDescription description;
  tInterruptPartner partner{log, "partner"};
  std::optional<tHeldControls<nQoUdP100::tAIInterruptTransferPrimitive>> held;
};

using tRows = ::testing::Types<tWFNSCRow, tWFNSCEventRow, tImmediateRow, tImmediateDMARow,
                               tDMATransferRow, tConverterRow, tDeviceFIFORow, tFrontEndRow,
                               tTimingRow, tInterruptTransferRow, tSubsystemRow>;
INSTANTIATE_TYPED_TEST_SUITE_P(AI, Lifecycle, tRows, tRowNames);
using tLinkRows =
    ::testing::Types<tImmediateDMARow, tDMATransferRow, tTimingRow, tInterruptTransferRow>;
INSTANTIATE_TYPED_TEST_SUITE_P(AI, FailedLinkLifecycle, tLinkRows, tRowNames);
INSTANTIATE_TYPED_TEST_SUITE_P(AI, CodeWalk, tRows, tRowNames);

}  // namespace
}  // namespace nQoTest
