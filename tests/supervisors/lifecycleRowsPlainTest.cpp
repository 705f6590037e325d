// The supervisors of the plain frame as rows of the lifecycle suite, over the
// primitives of a simulated Tavik board: the AO FIFO, change detection and
// the AO DAC transfer (whose linkResource fills its slot) under every step;
// the AO timing engine, the AO DAC and ground reference, the analog trigger,
// the frequency output, the calibration PWM, the EEPROM and the line
// filters, whose unlinkResource resets nothing, under the steps that hand
// back. Each row's setups bring its primitive, through the supervisor's own
// codes, to the states they reach (the AO FIFO also in DMA mode with
// regeneration, registered with the DMA channel), and its check reads what
// the board's primitive holds. An entry holds where it first waits on an
// event, sets an event or releases a lock on its own thread, where the
// board's primitive writes a register, or where a row's primitive (the
// board's, or a partner's double) holds it before an operation.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "mrl/iResourceBroker.h"
#include "primitives/ao/tTavikAOGroundRefPrimitive.h"
#include "primitives/ao/tTavikAOTimingControllerPrimitive.h"
#include "primitives/ao/tTavikAO_DACPrimitive.h"
#include "primitives/ao/tTavikAO_FIFOPrimitive.h"
#include "primitives/aoFixture.h"
#include "primitives/calibration/pwmPrimitives.h"
#include "primitives/calibration/tTavikAnalogTriggerPrimitive.h"
#include "primitives/calibration/tTavikFREQOUTPrimitive.h"
#include "primitives/calibration/tTavikLineFilterPrimitive.h"
#include "primitives/dio/tPCITavikChangeDetectionPrimitive.h"
#include "primitives/eeprom/tEEPROM.h"
#include "primitives/eeprom/tPralEEPROMContentMap.h"
#include "reservation/tRefCountingResourcePoolWrapper.h"
#include "reservation/tSingularResourcePool.h"
#include "sim/simParameterBlock.h"
#include "sim/simSync.h"
#include "supervisors/ao/tBaseAOTimingControllerSupervisor.h"
#include "supervisors/ao/tBaseAO_DACSupervisor.h"
#include "supervisors/ao/tBaseAO_DACTransferSupervisor.h"
#include "supervisors/ao/tBaseAO_FIFOSupervisor.h"
#include "supervisors/calibration/tBaseAnalogTriggerSupervisor.h"
#include "supervisors/calibration/tCalPWMSupervisor.h"
#include "supervisors/calibration/tTavikFREQOUTSupervisor.h"
#include "supervisors/calibration/tTavikLineFilterResourcePool.h"
#include "supervisors/calibration/tTavikLineFilterSupervisor.h"
#include "supervisors/controlRequests.h"
#include "supervisors/dio/tChangeDetectionSupervisor.h"
#include "supervisors/eeprom/tEEPROMSupervisor.h"
#include "supervisors/lifecycleSuite.h"
#include "support/boardChecks.h"
#include "support/changeDetectionDoubles.h"
#include "support/memoryEEPROM.h"
#include "support/outputTransferDoubles.h"
#include "support/reservationDoubles.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using namespace nQoUdR100;

constexpr int kTimeout = -200474;
constexpr int kStopped = -224608;

// A board primitive whose operation holds first where the row says so.
template <class Prim>
struct tHeldAt : Prim {
  template <class... tArgs>
  explicit tHeldAt(const tHoldPoint& hold, tArgs&&... args)
      : Prim(std::forward<tArgs>(args)...), hold(hold) {}
  const tHoldPoint& hold;
};

struct tHeldFIFO : tHeldAt<nQoUdP100::tTavikAO_FIFOPrimitive> {
  using tHeldAt::tHeldAt;
  void commit(tStatus2& s) override {
    hold();
    tTavikAO_FIFOPrimitive::commit(s);
  }
  uint32_t writeSamples(const int16_t* samples, uint32_t count, tStatus2& s) override {
    hold();
    return tTavikAO_FIFOPrimitive::writeSamples(samples, count, s);
  }
};

// Its arm holds first; with waitAfterArm, an update wait follows the arm in
// the same use, as a wait under way comes to wait after an arm under way.
struct tHeldTiming : tHeldAt<nQoUdP100::tTavikAOTimingControllerPrimitive> {
  using tHeldAt::tHeldAt;
  void arm(tStatus2& s) override {
    hold();
    tTavikAOTimingControllerPrimitive::arm(s);
    if (waitAfterArm) waitForNextUpdate(afterArm);
  }
  bool stopRequested() const { return _update.ended(kStopMark); }
  bool notifying() const { return _completionNotifier.get() != nullptr; }
  std::atomic<bool> waitAfterArm{false};
  tStatus2 afterArm;
};

// What every row shares: the board's AO road, a broker, the task's event, a
// facade that lets callers block, and the hold points.
class tBoardRow : public tAOTest {
 protected:
  void SetUp() override {
    tAOTest::SetUp();
    nQoSim::resetResourceBroker();
    facade.eventObject = &event;
    nQoSim::onSyncWait([this](const iSync*) { hold(); });
    hold.atSyncs();
    watched.watchBoard(windows, window, *dispatcher, bus);
  }
  void TearDown() override {
    nQoSim::onSyncWait(nullptr);
    nQoSim::resetResourceBroker();
    windows.setRead(window, 0x106, 16, 0);
    tAOTest::TearDown();
  }
  // initialize and link.
  template <class Supervisor, class Settings>
  void upWith(Supervisor& supervisor, const Settings& settings, tStatus2& status) {
    supervisor.initialize(settings, &facade, status);
    supervisor.link(supervisors, status);
  }
  // A pool under an identifier named when the row was made (before the leak
  // check began).
  void offer(nQoMRL100::tGeneralIdentifier& identifier, nQoMRL100::iLeafResourcePool& pool) {
    nQoMRL100::getResourceBroker(status)->registerPool(&identifier, &pool, status);
    ASSERT_EQ(status.code, 0);
  }
  static void name(nQoMRL100::tGeneralIdentifier& identifier, const char* text) {
    tStatus2 named;
    identifier.setDeviceGUID({7, 9});
    identifier.setString(text, named);
  }
  std::string handedBack() {
    return brokerAndBlocks() + ", bus " + std::to_string(bus.registrations()) + ", events " +
           std::to_string(eventLog.calls.size());
  }
  std::string boardFaults() { return watched.faults(windows, window, *dispatcher); }
  template <class Supervisor>
  static std::function<void(tStatus2&)> code(Supervisor& supervisor, uint32_t code,
                                             std::vector<uint8_t> in = {}) {
    return [&supervisor, code, in](tStatus2& status) {
      nQoSim::tByteParameterBlock block(in);
      supervisor.control(code, in.empty() ? nullptr : &block, nullptr, status);
    };
  }
  // The setup that runs the codes in order, each answering 0.
  template <class Supervisor>
  static tSetup codes(const char* name, Supervisor& supervisor, std::vector<uint32_t> all,
                      std::vector<uint8_t> in = {}) {
    return {name, [&supervisor, all, in] {
              for (uint32_t each : all) {
                tStatus2 status;
                code(supervisor, each, in)(status);
                ASSERT_EQ(status.code, 0) << "code " << each;
              }
            }};
  }
  // The row's primitive holds an entry where it writes the register at
  // offset, a value with the bits of mask set (after the write, under the
  // windows' lock: only where the steps touch no register before they wait).
  void holdAtWrite(uint32_t offset, uint32_t mask = 0) {
    windows.setWriteCallback(window, offset, [this, mask](unsigned, uint32_t value) {
      if ((value & mask) == mask) hold();
    });
  }
  // The event kinds registered with the task's event and not unregistered.
  std::string kinds() {
    int count = 0;
    for (const nQoSim::tCall& call : eventLog.calls) {
      if (call.operation.starts_with("event.registerEvent")) ++count;
      if (call.operation.starts_with("event.unregisterEvent")) --count;
    }
    return "kinds " + std::to_string(count);
  }
  static std::string state(const nQoUdP100::tPrimitiveState& s) {
    return std::string(s.isRunning()     ? "running"
                       : s.isArmed()     ? "armed"
                       : s.isCommitted() ? "committed"
                                         : "uncommitted");
  }

  // The facade and the event log apart: a wait's facade calls come on its
  // own thread while a step unregisters events.
  tCallLog facadeLog, eventLog, log;
  tScriptedFacade facade{facadeLog, "facade"};
  tScriptedEvent event{eventLog, "event"};
  tScriptedSupervisorMap supervisors{log, "map"};
  tHoldPoint hold;
  tBoardWatch watched;
};

// A DMA channel of the platform that offers its data-loaded events: the
// observers it holds, each told of a load.
struct tObservedDMAChannel : nQoSim::tScriptedDMAChannel, nQoLMSDR100::iDMAObservable {
  using tScriptedDMAChannel::tScriptedDMAChannel;
  nQoLMSDR100::iDMAObservable* getObservable(tStatus2&) override { return this; }
  void registerObserver(uint32_t, nQoLMSDR100::iDMAObserver* observer, tStatus2&) override {
    const std::lock_guard<std::mutex> locked(lock);
    observers.push_back(observer);
  }
  void unregisterObserver(uint32_t, nQoLMSDR100::iDMAObserver* observer, tStatus2&) override {
    const std::lock_guard<std::mutex> locked(lock);
    std::erase(observers, observer);
  }
  void loaded() {
    const std::lock_guard<std::mutex> locked(lock);
    for (nQoLMSDR100::iDMAObserver* observer : observers) observer->signalDataLoaded();
  }
  size_t count() {
    const std::lock_guard<std::mutex> locked(lock);
    return observers.size();
  }
  std::mutex lock;
  std::vector<nQoLMSDR100::iDMAObserver*> observers;
};

// The AO FIFO fed by interrupts through its adapter, whose links and data
// source the steps take back; a setup deploys DMA with regeneration, whose
// commit registers the FIFO with the DMA channel for its data-loaded events.
class tAOFIFORow : public tBoardRow {
 public:
  static constexpr const char* kName = "AO_FIFO";
  using tSupervisor = tBaseAO_FIFOSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};

 protected:
  tAOFIFORow() {
    name(settings.identifier, "AO_FIFO");
    for (uint32_t channel : {1u, 0u}) settings.list.append(channel);
    settings.word3 = 1;
    settings.word7 = 21;
    dmaSettings = settings;
    dmaSettings.word3 = 0;
    dmaSettings.word4 = 1;
    dmaSettings.word6 = 23;
    dmaSettings.word7 = 22;
  }
  void SetUp() override {
    tBoardRow::SetUp();
    makePrimitive();
    pool.emplace(&*fifo);
    supervisors.entries[21] = &transfer;
    supervisors.entries[22] = &dmaTransfer;
    supervisors.entries[23] = &channel;
    offer(settings.identifier, *pool);
  }
  void TearDown() override {
    pool.reset();
    fifo.reset();
    tBoardRow::TearDown();
  }
  void makePrimitive() { fifo.emplace(hold, &description, resources, status); }
  void destroyPrimitive() { fifo.reset(); }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    return {{"1", code(supervisor, 1)}, {"write", [&supervisor](tStatus2& status) {
                                           const int16_t samples[4] = {1, 2, 3, 4};
                                           supervisor.write(2, 0, samples, nullptr, status);
                                         }}};
  }
  // Committed, armed and running in interrupt mode; committed and running
  // in DMA mode with regeneration, whose start waits for the channel's
  // first load.
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    auto run = [&supervisor, this](std::vector<uint32_t> codes, bool dma) {
      return [&supervisor, codes, dma, this] {
        tStatus2 status;
        if (dma) inDMAMode(supervisor, status);
        for (uint32_t each : codes) {
          if (each == 2 && dma) channel.loaded();
          code(supervisor, each)(status);
        }
        ASSERT_EQ(status.code, 0);
      };
    };
    return {{"committed", run({1}, false)},
            {"armed", run({1, 4100}, false)},
            {"running", run({1, 4100, 2}, false)},
            {"running in DMA mode with regeneration", run({1, 4100, 2}, true)}};
  }
  // The task set up again for DMA with regeneration, through the lifecycle.
  void inDMAMode(tSupervisor& supervisor, tStatus2& status) {
    supervisor.unlinkResource(status);
    supervisor.releaseResource(status);
    supervisor.unlink(status);
    supervisor.deploy(dmaSettings, status);
    supervisor.link(supervisors, status);
    supervisor.reserveResource(status);
    supervisor.linkResource(status);
  }
  std::string primitiveState() {
    return state(fifo->state()) + ", source " +
           (fifo->fields.dataSource != nullptr ? "set" : "none") + ", channel's observers " +
           std::to_string(channel.count());
  }

  tAO_FIFOSettings settings, dmaSettings;
  tScriptedOutputTransfer transfer{log, "transfer"};
  nQoSim::tScriptedDMATransfer dmaTransfer{log, "dmaTransfer"};
  tObservedDMAChannel channel{log, "channel"};
  std::optional<tHeldFIFO> fifo;
  std::optional<tSingularResourcePool<nQoUdP100::tBaseAO_FIFOPrimitive*>> pool;
};

// The AO timing engine with blocking update waits: codes 400 and 401 and
// the wait operation block, and a code 2 that arms it may come under way.
class tAOTimingRow : public tBoardRow {
 public:
  static constexpr const char* kName = "AOTiming";
  using tSupervisor = tBaseAOTimingControllerSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};

 protected:
  tAOTimingRow() { name(settings.record<0>().identifier, "AO_Timing"); }
  void SetUp() override {
    tBoardRow::SetUp();
    makePrimitive();
    pool.emplace(&*timing);
    settings.record<0>().word26 = 0;
    settings.record<0>().word23 = 1;
    offer(settings.record<0>().identifier, *pool);
  }
  void TearDown() override {
    pool.reset();
    timing.reset();
    tBoardRow::TearDown();
  }
  void makePrimitive() { timing.emplace(hold, &description, resources, nullptr, status); }
  void destroyPrimitive() { timing.reset(); }
  void ready(tSupervisor& supervisor, tStatus2& status) { code(supervisor, 1)(status); }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    return {{"400", code(supervisor, 400), true, kStopped, kTimeout},
            {"401", code(supervisor, 401, {0x10, 0x27, 0, 0}), true, kStopped, kTimeout},
            {"the wait for the next sample clock",
             [&supervisor](tStatus2& status) { supervisor.waitForNextSampleClock(status); }, true,
             kStopped, kTimeout},
            {"cancel", [&supervisor](tStatus2& status) { supervisor.requestCancel(status); }},
            {"2, then an update wait", [&supervisor, this](tStatus2& status) {
               timing->waitAfterArm = true;
               code(supervisor, 2)(status);
               timing->waitAfterArm = false;
             }}};
  }
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {{"committed", [] {}}, {"running, then cancelled", [&supervisor] {
                                     tStatus2 status;
                                     code(supervisor, 2)(status);
                                     supervisor.requestCancel(status);
                                     ASSERT_EQ(status.code, 0);
                                   }}};
  }
  // Its state, a stop a cancel left, its notifier, the handlers its commit
  // attached (start trigger, end request, completion, update) and the kinds.
  std::string primitiveState() {
    std::string handlers;
    for (uint32_t source : {15u, 18u, 8u, 20u})
      handlers += dispatcher->primaryHandlers[source] != nullptr ? "1" : "0";
    return state(timing->state()) + (timing->stopRequested() ? ", stop requested" : "") +
           (timing->notifying() ? ", notifier" : "") + ", handlers " + handlers + ", " + kinds();
  }

  tAOTimingControllerSettings settings;
  std::optional<tHeldTiming> timing;
  std::optional<tSingularResourcePool<nQoUdP100::tBaseAOTimingControllerPrimitive*>> pool;
};

// A scheduler action whose start notification holds first: a code 2 under
// way holds there, before it reaches the primitive.
struct tHeldScheduler : tScriptedSchedulerSupervisor {
  tHeldScheduler(tCallLog& log, const tHoldPoint& hold)
      : tScriptedSchedulerSupervisor(log, "scheduler"), held(hold) {}
  nQoMAS100::iSchedulerAction* getSchedulerAction(tStatus2& s) override {
    tScriptedSchedulerSupervisor::getSchedulerAction(s);
    return &held;
  }
  struct tAction : nQoSim::tSimSchedulerAction {
    explicit tAction(const tHoldPoint& hold) : hold(hold) {}
    void started(tStatus2& s) override {
      hold();
      tSimSchedulerAction::started(s);
    }
    const tHoldPoint& hold;
  } held;
};

// Change detection of a buffered task with readable lines and a scheduler
// action, committed and started after each link: its reads block.
class tChangeDetectionRow : public tBoardRow {
 public:
  static constexpr const char* kName = "ChangeDetection";
  using tSupervisor = tChangeDetectionSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  // Its unlinkResource takes back the run, the lines and the handler; its
  // linkResource opens the reads, which meet no hold point once ended.
  static constexpr bool kUnlinkRestores = true;
  static constexpr bool kLinkOpens = true;
  static constexpr bool kEndsBeforeHold = true;

 protected:
  tChangeDetectionRow() { name(settings.supervisorRecord().identifier, "ChangeDetection"); }
  void SetUp() override {
    tBoardRow::SetUp();
    makePrimitive();
    pool.emplace(&*primitive);
    watched.watchAction(scheduler.held);
    auto& fields = settings.supervisorRecord();
    fields.firstEdgeMask = 0x0F;
    fields.secondEdgeMask = 0x30;
    fields.bufferSize = 4;
    fields.readableSupervisorKey = 1;
    fields.schedulerActionSupervisorKey = 2;
    supervisors.entries[1] = &readable;
    supervisors.entries[2] = &scheduler;
    offer(fields.identifier, *pool);
  }
  void TearDown() override {
    primitive.reset();
    pool.reset();
    tBoardRow::TearDown();
  }
  void makePrimitive() { primitive.emplace(map, dispatcher, info, latching, 2, status); }
  void destroyPrimitive() { primitive.reset(); }
  void ready(tSupervisor& supervisor, tStatus2& status) {
    code(supervisor, 1)(status);
    code(supervisor, 2)(status);
  }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    return {{"read",
             [&supervisor](tStatus2& status) {
               uint8_t samples[2] = {};
               supervisor.read(1, 1000, samples, nullptr, nullptr, status);
             },
             true, 0, kTimeout},
            {"2", code(supervisor, 2)},
            {"3", code(supervisor, 3)},
            {"cancel", [&supervisor](tStatus2& status) { supervisor.requestCancel(status); }}};
  }
  // Running, and running with a commit after the start (which moves the
  // state word back, not the run).
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {{"running", [] {}}, codes("running, then committed again", supervisor, {1})};
  }
  std::string primitiveState() {
    return std::string(primitive->isRunning() ? "running" : "stopped") + ", masks " +
           std::to_string(map->Write_0240.getRegister()) + " " +
           std::to_string(map->Write_0244.getRegister()) + ", handler " +
           (dispatcher->primaryHandlers[28] != nullptr ? "set" : "none");
  }

  tChangeDetectionSettings settings;
  std::vector<std::string> lineLog;
  tLoggedLines portA{"A", &lineLog}, portB{"B", &lineLog};
  nQoUdP100::tImmedDigLatchingPrimitive lineA{&portA}, lineB{&portB};
  nQoUdP100::tImmedDigLatchingPrimitive* latching[2] = {&lineA, &lineB};
  nQoUdP100::tDeviceInfo info;
  tScriptedReadableSupervisor readable{log, &lineLog};
  tHeldScheduler scheduler{log, hold};
  std::optional<tPCITavikChangeDetectionPrimitive> primitive;
  std::optional<tSingularResourcePool<tChangeDetectionPrimitive*>> pool;
};

// A DAC whose writes and commit hold first; it notes its reservation, and
// its commit and uncommit move its state as the board's DAC does.
struct tHeldDAC : nQoUdP100::tBaseAO_DACPrimitive {
  explicit tHeldDAC(const tHoldPoint& hold) : tBaseAO_DACPrimitive(0, 0), hold(hold) {
    _state.setUncommitted();
  }
  uint32_t writeValue(const int16_t*, tStatus2&) override {
    hold();
    return 1;
  }
  void reserve(tStatus2&) override { reserved = true; }
  void unreserve(tStatus2&) override { reserved = false; }
  void commit(tStatus2&) override {
    hold();
    _state.setCommitted();
  }
  void uncommit(tStatus2&) override { _state.setUncommitted(); }
  const tHoldPoint& hold;
  std::atomic<bool> reserved{false};
};

// The task's event, whose posts (a code 3's done report) hold first and
// count apart from the registrations that the steps make.
struct tHeldEvent : tScriptedEvent {
  tHeldEvent(tCallLog& log, const tHoldPoint& hold) : tScriptedEvent(log, "event"), hold(hold) {}
  void post(const nQoMRL110::tSoftwareAction&, tStatus2&) override { hold(); }
  const tHoldPoint& hold;
};

// The DAC transfer over two channel supervisors, with done events: its
// linkResource fills the channel table that its writes and codes reach. A
// write reaches a DAC only between linkResource and unlinkResource (the DAC
// tests hold it there), so a code 3 is the entry held under every step.
class tDACTransferRow : public tBoardRow {
 public:
  static constexpr const char* kName = "AO_DACTransfer";
  using tSupervisor = tBaseAO_DACTransferSupervisor;

 protected:
  tDACTransferRow() {
    for (uint32_t k = 0; k < 2; ++k) {
      name(dacSettings[k].record<0>().identifier, "AO_DAC");
      dacSettings[k].record<0>().identifier.setIndex(k);
      settings.list.append(30 + k);
    }
  }
  void SetUp() override {
    tBoardRow::SetUp();
    facade.eventObject = &heldEvent;
    settings.word1 = 1;
    for (uint32_t k = 0; k < 2; ++k) {
      dacPools[k].emplace(&dacs[k]);
      offer(dacSettings[k].record<0>().identifier, *dacPools[k]);
      dacSupervisors[k].emplace();
      upWith(*dacSupervisors[k], dacSettings[k], status);
      dacSupervisors[k]->reserveResource(status);
      dacSupervisors[k]->linkResource(status);
      supervisors.entries[30 + k] = &*dacSupervisors[k];
    }
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    for (auto& supervisor : dacSupervisors) supervisor.reset();
    tBoardRow::TearDown();
  }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
  std::vector<tEntry> entries(tSupervisor& supervisor) { return {{"3", code(supervisor, 3)}}; }
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {codes("committed", supervisor, {1})};
  }
  // The event kinds registered, which the release hands back.
  std::string primitiveState() { return kinds(); }

  tAO_DACTransferSettings settings;
  tHeldEvent heldEvent{eventLog, hold};
  tHeldDAC dacs[2] = {tHeldDAC(hold), tHeldDAC(hold)};
  std::optional<tSingularResourcePool<nQoUdP100::tBaseAO_DACPrimitive*>> dacPools[2];
  tAO_DACSettings dacSettings[2];
  std::optional<tBaseAO_DACSupervisor> dacSupervisors[2];
};

// The board's DAC of channel 0: its writes, and codes 4 and 1 one after
// the other (a commit that writes its update mode), come from another
// thread and hold as they write its data register and as the commit sets
// the update mode.
class tDACRow : public tBoardRow {
 public:
  static constexpr const char* kName = "AO_DAC";
  using tSupervisor = tBaseAO_DACSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};

 protected:
  tDACRow() {
    name(settings.record<0>().identifier, "AO_DAC");
    settings.record<0>().word2 = 1;
  }
  void SetUp() override {
    tBoardRow::SetUp();
    makePrimitive();
    pool.emplace(&*dac);
    holdAtWrite(0xC0);
    holdAtWrite(0xC3, 0x40);
    offer(settings.record<0>().identifier, *pool);
  }
  void TearDown() override {
    pool.reset();
    dac.reset();
    tBoardRow::TearDown();
  }
  void makePrimitive() { dac.emplace(resources, 0, 0, false, status); }
  void destroyPrimitive() { dac.reset(); }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    return {{"4 and 1",
             [&supervisor](tStatus2& status) {
               code(supervisor, 4)(status);
               code(supervisor, 1)(status);
             }},
            {"write", [&supervisor](tStatus2& status) {
               const int16_t sample = 5;
               supervisor.write(1, 0, &sample, nullptr, status);
             }}};
  }
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {codes("committed", supervisor, {1})};
  }
  // Its state and the update mode bit that its commit sets.
  std::string primitiveState() {
    return state(dac->state()) + ", update mode " +
           std::to_string(map->Array_00C3[0].getRegister() >> 6 & 1);
  }

  tAO_DACSettings settings;
  std::optional<nQoUdP100::tTavikAO_DACPrimitive> dac;
  std::optional<tSingularResourcePool<nQoUdP100::tBaseAO_DACPrimitive*>> pool;
};

// The board's analog trigger with its two PWM level sources, whose codes 1
// and 4100 come from another thread and hold as they give back its lock.
class tAnalogTriggerRow : public tBoardRow {
 public:
  static constexpr const char* kName = "AnalogTrigger";
  using tSupervisor = tBaseAnalogTriggerSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};

 protected:
  tAnalogTriggerRow() {
    auto& words = settings.supervisorRecord();
    name(words.identifier, "AnalogTrigger");
    words.word1 = 0x100;
    words.word2 = 0x80;
    words.word3 = 3;
    words.word4 = 2;
  }
  void SetUp() override {
    tBoardRow::SetUp();
    level0.emplace(map, 0, status);
    level1.emplace(map, 1, status);
    makePrimitive();
    pool.emplace(&*trigger);
    offer(settings.supervisorRecord().identifier, *pool);
  }
  void TearDown() override {
    pool.reset();
    trigger.reset();
    tBoardRow::TearDown();
  }
  void makePrimitive() { trigger.emplace(&*level1, &*level0, description, map, status); }
  void destroyPrimitive() { trigger.reset(); }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    return {{"1", code(supervisor, 1)}, {"4100", code(supervisor, 4100)}};
  }
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {codes("armed", supervisor, {1, 4100}),
            codes("armed without a commit", supervisor, {4100})};
  }
  // Its state, its enable bit, its source and both levels.
  std::string primitiveState() {
    return state(trigger->state()) + ", enable " +
           std::to_string(map->Analog_Trigger_Etc.getRegister() >> 3 & 1) + ", 0x8C " +
           std::to_string(map->Write_008C.getRegister()) + ", levels " +
           std::to_string(map->Array_0044[1].getRegister()) + " " +
           std::to_string(map->Array_0044[0].getRegister());
  }

  tAnalogTriggerSettings settings;
  nQoUdP100::tAITriggerDescription description;
  std::optional<nQoUdP100::tTavikGeneralPWMPrimitive> level0, level1;
  std::optional<nQoUdP100::tTavikAnalogTriggerPrimitive> trigger;
  std::optional<tSingularResourcePool<nQoUdP100::tBaseAnalogTriggerPrimitive*>> pool;
};

// The board's frequency output: codes 1 and 2 hold as they give back the
// clock lock, code 3 as it posts the done report.
class tFREQOUTRow : public tBoardRow {
 public:
  static constexpr const char* kName = "FREQOUT";
  using tSupervisor = tTavikFREQOUTSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};

 protected:
  tFREQOUTRow() { name(settings.supervisorRecord().identifier, "FREQOUT"); }
  void SetUp() override {
    tBoardRow::SetUp();
    facade.eventObject = &heldEvent;
    settings.supervisorRecord().timebaseSelect = 1;
    settings.supervisorRecord().divisor = 0x12;
    makePrimitive();
    pool.emplace(&*output);
    offer(settings.supervisorRecord().identifier, *pool);
  }
  void TearDown() override {
    pool.reset();
    output.reset();
    tBoardRow::TearDown();
  }
  // The output as its pool holds it once an owner had it: idle, as the
  // reset leaves it (divider 1, the first timebase, off). Only a chip that
  // no one programmed yet holds divider bits 0, which no step writes.
  void makePrimitive() {
    output.emplace(map, &info);
    output->reset(status);
  }
  void destroyPrimitive() { output.reset(); }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    return {{"1", code(supervisor, 1)}, {"2", code(supervisor, 2)}, {"3", code(supervisor, 3)}};
  }
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {codes("running", supervisor, {1, 2})};
  }
  // The output's register (what the last code programmed) and the kinds.
  std::string primitiveState() {
    return "0x170 " + std::to_string(map->Clock_and_FOUT.getRegister()) + ", " + kinds();
  }

  tTavikFREQOUTPrimitiveSettings settings;
  tHeldEvent heldEvent{eventLog, hold};
  nQoUdP100::tDeviceInfo info;
  std::optional<nQoUdP100::tTavikFREQOUTPrimitive> output;
  std::optional<tSingularResourcePool<nQoUdP100::iTavikFREQOUTPrimitive*>> pool;
};

// The calibration PWM, whose request 256 sets the reference from another
// thread and holds as it writes the register. Its release only hands the
// reservation back: the reference is the calibration's, which sets it again.
class tCalPWMRow : public tBoardRow {
 public:
  static constexpr const char* kName = "CalPWM";
  using tSupervisor = tCalPWMSupervisor;

 protected:
  tCalPWMRow() { name(settings.record<0>().identifier, "CalPWM"); }
  void SetUp() override {
    tBoardRow::SetUp();
    reference.emplace(map);
    pool.emplace(&*reference);
    holdAtWrite(0x40);
    offer(settings.record<0>().identifier, *pool);
  }
  void TearDown() override {
    pool.reset();
    reference.reset();
    tBoardRow::TearDown();
  }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    return {{"256", code(supervisor, 256, {0x10, 0, 0, 0})}};
  }
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {codes("reference set", supervisor, {256}, {0x20, 0, 0, 0})};
  }
  // Whether the pool's primitive is still reserved.
  std::string primitiveState() {
    tStatus2 asked;
    return pool->isPartiallyReserved(asked) ? "reserved" : "free";
  }

  tCalPWMSettings settings;
  std::optional<nQoUdP100::tTavikCalibrationPWMPrimitive> reference;
  std::optional<tSingularResourcePool<nQoUdP100::iReferenceVoltagePrimitive*>> pool;
};

// The board's EEPROM in memory, whose device writes and write access hold
// first.
struct tHeldMemoryEEPROM : tMemoryEEPROM {
  explicit tHeldMemoryEEPROM(const tHoldPoint& hold) : hold(hold) {}
  void writeToDevice(uint32_t address, uint32_t length, uint8_t* buffer, tStatus2& status,
                     uint32_t flags) override {
    hold();
    tMemoryEEPROM::writeToDevice(address, length, buffer, status, flags);
  }
  void enableWrite(tStatus2& status) override {
    hold();
    tMemoryEEPROM::enableWrite(status);
  }
  const tHoldPoint& hold;
};

// The EEPROM, whose requests come from another thread: a device write and
// the opening of the write access.
class tEEPROMRow : public tBoardRow {
 public:
  static constexpr const char* kName = "EEPROM";
  using tSupervisor = tEEPROMSupervisor;

 protected:
  tEEPROMRow() { name(settings.record<0>().identifier, "EEPROM"); }
  void SetUp() override {
    tBoardRow::SetUp();
    nQoUdP100::tEEPROMHeader header;
    header.area14693Address = 0x200;
    header.area14693Size = 0x80;
    contentMap.setHeader(header, status);
    offer(settings.record<0>().identifier, pool);
  }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    return {{"264", code(supervisor, 264, words({40, 4}, {1, 2, 3, 4}))},
            {"262", code(supervisor, 262)}};
  }
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {codes("write access open", supervisor, {262}),
            codes("another area selected", supervisor, {255}, {0x2A, 0, 0, 0})};
  }
  // The access a fresh reservation finds closed, and the area it selects.
  std::string primitiveState() {
    return "access " + std::to_string(device.state) + ", area " +
           std::to_string(contentMap.getSelectedArea());
  }

  tEEPROMSettings settings;
  tHeldMemoryEEPROM device{hold};
  nQoUdP100::tPralEEPROMContentMap contentMap{4};
  nQoUdP100::tEEPROM eeprom{&contentMap, &device};
  tEEPROMResourcePool<nQoUdP100::tEEPROM*> pool{&eeprom};
};

// The board's AO ground reference, whose requests 258 and 257 (a
// connection that writes the register) come from another thread and hold as
// the connection is written.
class tGroundRefRow : public tBoardRow {
 public:
  static constexpr const char* kName = "AOGroundRef";
  using tSupervisor = tBaseAOGroundRefSupervisor;

 protected:
  tGroundRefRow() { name(settings.record<0>().identifier, "AOGroundRef"); }
  void SetUp() override {
    tBoardRow::SetUp();
    groundRef.emplace(resources, status);
    pool.emplace(&*groundRef);
    holdAtWrite(0xA3, 1);
    offer(settings.record<0>().identifier, *pool);
  }
  void TearDown() override {
    pool.reset();
    groundRef.reset();
    tBoardRow::TearDown();
  }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    return {{"258 and 257", [&supervisor](tStatus2& status) {
               code(supervisor, 258)(status);
               code(supervisor, 257)(status);
             }}};
  }
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {codes("connected", supervisor, {257})};
  }
  // The connection bit of its register.
  std::string primitiveState() { return "0xA3 " + std::to_string(map->Write_00A3.getRegister()); }

  tAOGroundRefSettings settings;
  std::optional<nQoUdP100::tTavikAOGroundRefPrimitive> groundRef;
  std::optional<tSingularResourcePool<nQoUdP100::tBaseAOGroundRefPrimitive*>> pool;
};

// The board's shared line filters, whose code 1 commits the task's lines
// from another thread and holds as it writes the PFI filters; the release
// hands back the lines the task was granted.
class tLineFilterRow : public tBoardRow {
 public:
  static constexpr const char* kName = "LineFilter";
  using tSupervisor = tTavikLineFilterSupervisor;

 protected:
  tLineFilterRow() {
    name(settings.supervisorRecord().identifier, "LineFilter");
    settings.supervisorRecord().lineEntries.append({.lineGroup = 0, .line = 3, .filterSetting = 2});
  }
  void SetUp() override {
    tBoardRow::SetUp();
    filters.emplace(nQoUdP100::tLineFilterDescription{.pfiLines = 16, .rivoLines = 8}, map, status);
    pool.emplace(&inUse, &*filters);
    holdAtWrite(0xB0);
    offer(settings.supervisorRecord().identifier, *pool);
  }
  void TearDown() override {
    pool.reset();
    filters.reset();
    tBoardRow::TearDown();
  }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
  std::vector<tEntry> entries(tSupervisor& supervisor) { return {{"1", code(supervisor, 1)}}; }
  // The task's line as the pool counts its users.
  std::string primitiveState() {
    return "PFI3 users " + std::to_string(pool->getStrategy().getUseCount(0, 3));
  }

  tTavikLineFilterSettings settings;
  std::optional<nQoUdP100::tPCITavikLineFilterPrimitive> filters;
  tSyncAtomicU32 inUse;
  std::optional<tRefCountingResourcePoolWrapper<
      tTavikLineFilterResourcePool<nQoUdP100::tTavikLineFilterPrimitive*>,
      nQoUdP100::tTavikLineFilterPrimitive*>>
      pool;
};

using tPlainRows = ::testing::Types<tAOFIFORow, tChangeDetectionRow, tDACTransferRow>;
INSTANTIATE_TYPED_TEST_SUITE_P(Plain, Lifecycle, tPlainRows, tRowNames);
INSTANTIATE_TYPED_TEST_SUITE_P(Plain, FillLifecycle, tDACTransferRow, tRowNames);

using tHandBackRows = ::testing::Types<tAOTimingRow, tDACRow, tGroundRefRow, tAnalogTriggerRow,
                                       tFREQOUTRow, tCalPWMRow, tEEPROMRow, tLineFilterRow>;
INSTANTIATE_TYPED_TEST_SUITE_P(Plain, HandBackLifecycle, tHandBackRows, tRowNames);

using tWalkedRows = ::testing::Types<tAOFIFORow, tAOTimingRow, tChangeDetectionRow, tDACRow,
                                     tAnalogTriggerRow, tFREQOUTRow>;
INSTANTIATE_TYPED_TEST_SUITE_P(Plain, CodeWalk, tWalkedRows, tRowNames);

}  // namespace
}  // namespace nQoTest
