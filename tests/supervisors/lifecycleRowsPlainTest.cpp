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
// board's, or a partner's double) holds it before an operation. Every row
// walks its codes too (the AO FIFO once under each refill), with what the
// board runs of its primitive and the reports its partners hear.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
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
#include "sim/simTime.h"
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

// A report stream's events in order ('a': an arm or start that owes one
// report, 'r': a report), told where a row's primitive arms and where its
// partner hears the report, on whatever thread they run.
class tReportLog {
 public:
  void add(char event) {
    const std::lock_guard<std::mutex> locked(_lock);
    _events += event;
  }
  std::string events() {
    const std::lock_guard<std::mutex> locked(_lock);
    return _events;
  }
  void forget() {
    const std::lock_guard<std::mutex> locked(_lock);
    _events.clear();
  }

 private:
  std::mutex _lock;
  std::string _events;
};

// The task's event, whose done posts are the reports of a stream.
struct tReportingEvent : tScriptedEvent {
  tReportingEvent(tCallLog& log, tReportLog& reports)
      : tScriptedEvent(log, "event"), reports(reports) {}
  void post(const nQoMRL110::tSoftwareAction& action, tStatus2& s) override {
    if (action.getKind() == nQoMRL110::kDoneEvent) reports.add('r');
    tScriptedEvent::post(action, s);
  }
  tReportLog& reports;
};

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
  // Notes the refill a commit set up, which its runs are fed by.
  void commit(tStatus2& s) override {
    hold();
    tTavikAO_FIFOPrimitive::commit(s);
    if (s.isNotFatal()) {
      committedMechanism = programmed().transferMechanism;
      commitHeld = true;
    }
  }
  void uncommit(tStatus2& s) override {
    tTavikAO_FIFOPrimitive::uncommit(s);
    commitHeld = false;
  }
  std::atomic<uint32_t> committedMechanism{nQoUdP100::tAOFIFOFields::kInterrupt};
  std::atomic<bool> commitHeld{false};
  std::atomic<uint64_t> armedTotal{0};
  uint32_t writeSamples(const int16_t* samples, uint32_t count, tStatus2& s) override {
    hold();
    return tTavikAO_FIFOPrimitive::writeSamples(samples, count, s);
  }
  // Each arm owes its data source one end of the generation.
  // Notes the total the arm took, which its generation stops at.
  void arm(tStatus2& s) override {
    if (arms != nullptr && s.isNotFatal()) arms->add('a');
    tTavikAO_FIFOPrimitive::arm(s);
    armedTotal = programmed().totalSamples;
  }
  tReportLog* arms = nullptr;
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
  const iSync* updateEvent() const { return _update.event(); }
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
  // A report stream that a log of the row's keeps.
  void watchLog(std::string stream, tReportLog& reports) {
    watched.watchReports(
        std::move(stream), [&reports] { return reports.events(); },
        [&reports] { reports.forget(); });
  }
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
  // (Counted on from the calls counted before: a walk's log grows long.)
  std::string kinds() {
    for (; kindsCounted < eventLog.calls.size(); ++kindsCounted) {
      const std::string& operation = eventLog.calls[kindsCounted].operation;
      if (operation.starts_with("event.registerEvent")) ++kindCount;
      if (operation.starts_with("event.unregisterEvent")) --kindCount;
    }
    return "kinds " + std::to_string(kindCount);
  }
  // What the row's client got since the bring-up (its fired reads and
  // writes), which a deploy after the last commit does not change.
  std::string clientData() { return seen; }
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
  // The done reports that the task's event hears, after what owes them.
  tReportLog doneReports;
  tReportingEvent event{eventLog, doneReports};
  tScriptedSupervisorMap supervisors{log, "map"};
  tHoldPoint hold;
  tBoardWatch watched;
  std::string seen;
  size_t kindsCounted = 0;
  int kindCount = 0;
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

// The AO FIFO's partners, each of which hears the end of a generation: the
// FIFO transfer of the interrupt refill, and the DMA transfer's endpoint.
// With clientSamples, the transfer hands on what a client wrote: samples
// numbered 1 to clientSamples, in order, as far as each request reaches.
struct tEndedOutputTransfer : tScriptedOutputTransfer {
  tEndedOutputTransfer(tCallLog& log, tReportLog& ends)
      : tScriptedOutputTransfer(log, "transfer"), ends(ends) {}
  void query(const tStatus2& fifoStatus, tStatus2& s) override {
    ends.add('r');
    tScriptedOutputTransfer::query(fifoStatus, s);
  }
  uint32_t transfer(nQoMXSL100::iWriteable<unsigned char>* sink, uint32_t byteCount,
                    tStatus2& s) override {
    if (clientSamples == 0) return tScriptedOutputTransfer::transfer(sink, byteCount, s);
    uint32_t bytes = 0;
    for (; bytes + 2 <= byteCount && handed < clientSamples; bytes += 2) {
      const uint32_t sample = ++handed;
      const unsigned char pair[2] = {static_cast<unsigned char>(sample),
                                     static_cast<unsigned char>(sample >> 8)};
      if (sink->write(pair, 2, s) != 2) break;
    }
    return bytes;
  }
  tReportLog& ends;
  uint32_t clientSamples = 0;
  std::atomic<uint32_t> handed{0};
};
struct tEndedDMATransfer : nQoSim::tScriptedDMATransfer {
  struct tEnded : nQoLMSDR100::iDMAEndpoint {
    explicit tEnded(tReportLog& ends) : ends(ends) {}
    void transferEnded(const tStatus2&, tStatus2&) override { ends.add('r'); }
    tReportLog& ends;
  };
  tEndedDMATransfer(tCallLog& log, tReportLog& ends)
      : tScriptedDMATransfer(log, "dmaTransfer"), ended(ends) {}
  nQoLMSDR100::iDMAEndpoint* getEndpoint(tStatus2& s) override {
    tScriptedDMATransfer::getEndpoint(s);
    return &ended;
  }
  tEnded ended;
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
  void makePrimitive() {
    fifo.emplace(hold, &description, resources, status);
    fifo->arms = &ends;
  }
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
    return state(fifo->state()) + ", source " + (fifo->dataSource() != nullptr ? "set" : "none") +
           ", channel's observers " + std::to_string(channel.count());
  }

  tAO_FIFOSettings settings, dmaSettings;
  // The FIFO's arms and the ends of their generations that its partners hear.
  tReportLog ends;
  tEndedOutputTransfer transfer{log, ends};
  tEndedDMATransfer dmaTransfer{log, ends};
  tObservedDMAChannel channel{log, "channel"};
  std::optional<tHeldFIFO> fifo;
  std::optional<tSingularResourcePool<nQoUdP100::tBaseAO_FIFOPrimitive*>> pool;
};

// Moves the test clock past a wait that blocks on the test's thread (a start
// that waits for a load that no DMA request asked for), as the board's time
// would pass: the wait ends by its time-out, not without end. A row may pass
// the wait otherwise (the board's update comes).
class tClockPastBlockedWaits {
 public:
  explicit tClockPastBlockedWaits(std::function<void()> pass = [] { nQoSim::advanceClock(kPast); })
      : _pass(std::move(pass)), _mover([this] { run(); }) {}
  ~tClockPastBlockedWaits() {
    _done = true;
    _mover.join();
  }
  tClockPastBlockedWaits(const tClockPastBlockedWaits&) = delete;
  tClockPastBlockedWaits& operator=(const tClockPastBlockedWaits&) = delete;
  // As a wait begins.
  void waiting(const iSync* sync) { _waiting = sync; }

 private:
  void run() {
    while (!_done) {
      const iSync* sync = _waiting.load();
      if (sync != nullptr && nQoSim::syncBlocked(sync) != 0 &&
          _waiting.compare_exchange_strong(sync, nullptr))
        _pass();
      std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
  }
  static constexpr uint64_t kPast = 3'600'000'000'000;  // an hour, in nanoseconds
  std::atomic<const iSync*> _waiting{nullptr};
  std::atomic<bool> _done{false};
  std::function<void()> _pass;
  std::thread _mover;
};

// The AO FIFO walked under one refill with a deploy of the other: the
// interrupt refill with a deploy of DMA without regeneration; DMA with
// regeneration, linked with its channel, with a deploy of the interrupt
// refill. Each arm owes its partner one end of its generation. The board
// loads the FIFO once its DMA requests go on; under regeneration, a start
// that waits for a load that no request asked for runs into its time-out.
template <bool kDMA>
class tAOFIFOWalkRow : public tAOFIFORow {
 public:
  static constexpr const char* kName = kDMA ? "AO_FIFO_DMA" : "AO_FIFO";
  static constexpr size_t kDeploys = kDMA ? 1 : 2;
  // Its stop leaves it armed (the engine stops the generation): only the
  // disarm leaves nothing of it running.
  static constexpr uint32_t kStops[] = {4101};

 protected:
  tAOFIFOWalkRow() {
    plainDMA = dmaSettings;
    plainDMA.word4 = 0;
    settings.longWord = kTotal;
    longer = settings;
    longer.longWord = 4 * kTotal;
    longer.list.append(2);
  }
  void SetUp() override {
    tAOFIFORow::SetUp();
    watched.watchSources({14, 9, 10, 11, 12, 13});
    watchLog("end of generation", ends);
    windows.setWriteCallback(window, kRequests, [this](unsigned, uint32_t value) {
      if ((value & kRequestBit) != 0) channel.loaded();
    });
    windows.setWriteCallback(window, kData, [this](unsigned, uint32_t value) {
      if (value == 0) ++zerosWritten;
      if (value != 0 && !kDMA) onLines(value);
    });
    if constexpr (!kDMA) {
      transfer.clientSamples = kClientSamples;
      windows.setWriteCallback(window, kClear, [this](unsigned, uint32_t value) {
        if ((value & 1) != 0) sinceClear = 0;
      });
    }
    if constexpr (kDMA) {
      clockPast.emplace();
      nQoSim::onSyncWait([this](const iSync* sync) {
        hold();
        clockPast->waiting(sync);
      });
    }
  }
  void TearDown() override {
    nQoSim::onSyncWait(nullptr);
    clockPast.reset();
    tAOFIFORow::TearDown();
  }
  void up(tSupervisor& supervisor, tStatus2& status) {
    transfer.handed = 0;
    lastOnLines = 0;
    sinceClear = 0;
    client = &supervisor;
    seen.clear();
    deployed = kDMA ? &dmaSettings : &settings;
    committed = nullptr;
    upWith(supervisor, *deployed, status);
  }
  // The other refill; the interrupt refill also with a longer total over
  // three channels.
  void deployOther(tSupervisor& supervisor, size_t k, tStatus2& status) {
    const tAO_FIFOSettings& other = kDMA ? settings : k == 0 ? plainDMA : longer;
    supervisor.deploy(other, status);
    if (status.code == 0) deployed = &other;
  }
  // The settings deployed at the last commit that answered 0, none after
  // an uncommit.
  void walkCode(tSupervisor& supervisor, uint32_t each, tStatus2& status) {
    supervisor.control(each, nullptr, nullptr, status);
    if (status.code != 0) return;
    if (each == 1) committed = deployed;
    if (each == 4) committed = nullptr;
  }
  // A client's write of two scans of zeros (which the lines' check passes
  // by) under a commit: the scans it answers put as many samples on the
  // board as the commit's channels take, and a write answers all or none.
  std::string fired() {
    if (committed == nullptr) return "";
    const int16_t zeros[8] = {};
    zerosWritten = 0;
    tStatus2 status;
    const uint32_t scans = client->write(2, 0, zeros, nullptr, status);
    seen += "write " + std::to_string(scans) + " " + std::to_string(status.code) + ", samples " +
            std::to_string(zerosWritten) + "\n";
    const size_t channels = committed->list.size();
    std::string faults;
    if (scans != 0 && scans != 2)
      faults += "a write of 2 scans answered " + std::to_string(scans) + "\n";
    if (zerosWritten != scans * channels)
      faults += "a write answering " + std::to_string(scans) + " scans of " +
                std::to_string(channels) + " channels put " + std::to_string(zerosWritten) +
                " samples on the board\n";
    return faults;
  }
  // A sample the FIFO put on the lines (the arm's zeros, which clear it, are
  // none of the client's): the client's next one, and within the total its
  // arm took since the arm cleared the FIFO.
  void onLines(uint32_t value) {
    const std::lock_guard<std::mutex> locked(linesLock);
    if (value > transfer.handed)
      linesFaults += "the lines took a sample the client did not write\n";
    else if (value <= lastOnLines)
      linesFaults += "the lines took a sample they had taken\n";
    else if (value != lastOnLines + 1)
      linesFaults += "the lines missed a sample the client wrote\n";
    lastOnLines = value;
    const uint64_t total = fifo->armedTotal;
    if (++sinceClear > total && total != 0)
      linesFaults += "the lines took more samples than the total the arm took\n";
  }
  // A fresh one on the board as a teardown leaves it: the AO section reset,
  // no DMA select.
  void makePrimitive() {
    helper->aoReset(&status);
    map->Write_0009.setBits(kSelect, 4, 0, &status);
    map->Write_0009.flush(&status, 0);
    tAOFIFORow::makePrimitive();
  }
  bool armRecorded() { return fifo->state().isArmed() || fifo->state().isRunning(); }
  uint32_t select() { return (windows.written(window, 0x009, 8) & kSelect) >> 4; }
  bool requesting() { return (windows.written(window, kRequests, 16) & kRequestBit) != 0; }
  // Its DMA requests on, to whatever channel its select names.
  std::string boardRuns() {
    if (!requesting()) return "";
    return "DMA requests on to select " + std::to_string(select()) + "\n";
  }
  // An arm, and a stop that keeps it, leave the run fed by the refill its
  // commit set up: the refill's source on, or DMA requests on to the
  // channel its commit selected (a start under regeneration takes them off
  // once the channel loaded the FIFO). A stop leaves no run recorded. With
  // no commit, no DMA select is left.
  std::string stepFaults(uint32_t step, const tStatus2& status) {
    std::string faults;
    {
      const std::lock_guard<std::mutex> locked(linesLock);
      faults = std::exchange(linesFaults, "");
    }
    if (step == kDestroyStep)
      return faults +
             (select() != 0 ? "the DMA select left naming " + std::to_string(select()) + "\n" : "");
    if (status.code == 0 && (step == 4100 || step == 3) && armRecorded() && fifo->commitHeld) {
      if (fifo->committedMechanism == nQoUdP100::tAOFIFOFields::kInterrupt &&
          !watched.sourceOn(kRefill))
        faults += "an arm fed by interrupts with the refill's source off\n";
      if (fifo->committedMechanism == nQoUdP100::tAOFIFOFields::kDMA &&
          (!requesting() || select() == 0) && step == 4100)
        faults += "an arm fed by DMA with no requests to a selected channel\n";
    }
    if (step == 3 && status.code == 0 && fifo->state().isRunning())
      faults += "a stop that answered 0 left a run recorded\n";
    if ((step == 4 || step == kReleaseStep) && status.code == 0 && select() != 0)
      faults += "the DMA select left naming " + std::to_string(select()) + " with no commit\n";
    return faults;
  }
  // Also its DMA request bit, which a fresh reservation finds clear.
  std::string primitiveState() {
    return tAOFIFORow::primitiveState() + ", DMA requests " + (requesting() ? "on" : "off");
  }
  std::pair<const void*, size_t> primitiveBytes() { return {&*fifo, sizeof(tHeldFIFO)}; }

  static constexpr uint32_t kRequests = 0x184, kRequestBit = 1u << 12, kSelect = 0xF0;
  static constexpr uint8_t kRefill = 9;
  // The FIFO's data and clear registers; the samples a client wrote and the
  // total a run is committed for.
  static constexpr uint32_t kData = 0xA4, kClear = 0x1A8;
  static constexpr uint32_t kClientSamples = 64, kTotal = 6;
  tAO_FIFOSettings plainDMA, longer;
  const tAO_FIFOSettings* deployed = nullptr;
  const tAO_FIFOSettings* committed = nullptr;
  tSupervisor* client = nullptr;
  std::atomic<uint32_t> zerosWritten{0};
  std::mutex linesLock;
  std::string linesFaults;
  uint32_t lastOnLines = 0;
  uint64_t sinceClear = 0;
  std::optional<tClockPastBlockedWaits> clockPast;
};

// The AO timing engine with blocking update waits: codes 400 and 401 and
// the wait operation block, and a code 2 that arms it may come under way.
// Walked with a deploy of a start trigger, one of mode 1 and one of mode 2
// whose waits block on the update source and which drives the update output
// (word 27); the board's engine is armed from its arm strobes to its disarm
// strobe, each arm owes the completion notifier one done report, and a start
// trigger or an update that comes as the disarm strobes (its pass late,
// after the disarm took the arm's record) begins no run and wakes no wait.
// After a code 2 that answered 0 the run can begin (a start strobe went out,
// or the board selects a start trigger and its source is on), and a stop of
// a run answers by the run the board's arm strobes found (a finite one warns
// of its early end). The update output (its pin's direction and the output
// select) changes only at a commit, driven when it took word 27. A client's
// update wait and interval reload go by the commit held: a wait blocks
// until the board's update comes, while its source is on, or until the test
// clock passes its time-out.
class tAOTimingRow : public tBoardRow {
 public:
  static constexpr const char* kName = "AOTiming";
  using tSupervisor = tBaseAOTimingControllerSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  static constexpr size_t kDeploys = 3;

 protected:
  tAOTimingRow() {
    name(settings.record<0>().identifier, "AO_Timing");
    for (tAOTimingControllerSettings* each : {&settings, &triggered, &counted, &updated}) {
      *each = settings;
      each->record<0>().word26 = 0;
      each->record<0>().word23 = 1;
    }
    triggered.record<0>().word1 = 1;
    triggered.record<0>().word12 = 9;
    counted.record<0>().word11 = 1;
    // Its initial interval count, and polled update waits, apart too.
    for (tAOTimingControllerSettings* each : {&settings, &triggered}) each->record<0>().word17 = 3;
    counted.record<0>().word17 = 9;
    counted.record<0>().word26 = 1;
    updated.record<0>().word11 = 2;
    updated.record<0>().word27 = 1;
  }
  void SetUp() override {
    tBoardRow::SetUp();
    windows.setWriteCallback(window, kCommand1, [this](unsigned, uint32_t value) {
      if ((value & kDisarm) != 0) {
        engineArmed = false;
        startLate();
      } else if ((value & kIntervalLoad) != 0) {
        updateLate();
      } else if ((value & kArms) == kArms) {
        engineArmed = true;
        ++armStrobes;
        doneReports.add('a');
      }
    });
    windows.setWriteCallback(window, kCommand2, [this](unsigned, uint32_t value) {
      if ((value & kStartStrobe) != 0) ++startStrobes;
    });
    // The client's acknowledgements and looks (the dispatcher's are the
    // board's own).
    windows.setWriteCallback(window, kAck, [this](unsigned, uint32_t value) {
      if ((value & kAckUpdate) != 0 && std::this_thread::get_id() == waiter) ++updateAcks;
    });
    // A client's update wait sees the board's time pass: each look at the
    // update flag, and each wait that blocks, moves the test clock past it;
    // a wait that blocks while the update source is on gets its update
    // instead. A poll that looks again once its time-out has passed finds
    // the flag set, and leaves.
    windows.setReadCallback(window, kAck, [this](unsigned) {
      if (!waitMovesClock || std::this_thread::get_id() != waiter) return 0u;
      nQoSim::advanceClock(kPast);
      return updateAcks == 1 && ++timedLooks > 1 ? kUpdateFlag : 0u;
    });
    clockPast.emplace([this] {
      if (watched.sourceOn(kUpdateSource))
        watched.fireSource(kUpdateSource);
      else
        nQoSim::advanceClock(kPast);
    });
    nQoSim::onSyncWait([this](const iSync* sync) {
      hold();
      if (waitMovesClock) clockPast->waiting(sync);
    });
    for (uint32_t load : {kLoadA, kLoadB})
      windows.setWriteCallback(window, load, [this](unsigned, uint32_t value) {
        const std::lock_guard<std::mutex> locked(loadsLock);
        loads.push_back(value);
      });
    makePrimitive();
    pool.emplace(&*timing);
    offer(settings.record<0>().identifier, *pool);
    watched.watchSources({kStartTrigger, 18, 8, 20});
    watchLog("completion notifier", doneReports);
  }
  void TearDown() override {
    nQoSim::onSyncWait(nullptr);
    clockPast.reset();
    pool.reset();
    timing.reset();
    tBoardRow::TearDown();
  }
  void makePrimitive() {
    timing.emplace(hold, &description, resources, nullptr, status);
    live = true;
  }
  void destroyPrimitive() {
    live = false;
    timing.reset();
  }
  void deployOther(tSupervisor& supervisor, size_t k, tStatus2& status) {
    const tAOTimingControllerSettings& other = k == 0 ? triggered : k == 1 ? counted : updated;
    supervisor.deploy(other, status);
    if (status.code == 0) deployed = &other;
  }
  // What the row's codes programmed: the settings deployed at its last
  // commit that answered 0, none after an uncommit.
  void walkCode(tSupervisor& supervisor, uint32_t each, tStatus2& status) {
    supervisor.control(each, nullptr, nullptr, status);
    if (status.code != 0) return;
    if (each == 1) committed = deployed;
    if (each == 4) committed = nullptr;
    // A client reloads the interval of the run its start began.
    if (each == 2 && committed != nullptr) clientFaults += reload();
  }
  // A client's update wait and interval reload under what the commit
  // programmed, judged by the board: the wait acknowledges the board's
  // update flag (polls) only for a commit of polled waits, and one of a run
  // whose updates come (mode 2, blocking waits, the engine armed) answers
  // its update; a reload of a running engine writes the new interval into
  // one load register and the commit's initial count into the other. A wait
  // that outlives a long guard is let go by the test clock, and judged by
  // what it waited for, not by that guard.
  std::string fired() {
    if (committed == nullptr) return "";
    const tAOTimingControllerFields& words = committed->record<0>();
    const bool updating = words.word11 == 2 && words.word26 == 0 && engineArmed;
    std::string faults;
    updateAcks = 0;
    timedLooks = 0;
    nQoSim::clearSyncLog();
    tStatus2 waited;
    waiter = std::this_thread::get_id();
    waitMovesClock = true;
    clockMovedDuring([&] { code(*client, 401, {10, 0, 0, 0})(waited); });
    waitMovesClock = false;
    seen += "wait " + std::to_string(waited.code) + (updateAcks != 0 ? " polled\n" : "\n");
    const bool polls = words.word26 != 0;
    if (polls != (updateAcks != 0))
      faults += polls ? "an update wait of a commit of polled waits did not poll the board\n"
                      : "an update wait of a commit of blocking waits polled the board\n";
    if (updating && waited.code != 0)
      faults += "an update wait of a run whose update came answered " +
                std::to_string(waited.code) + "\n";
    return faults + waitedPast() + reload();
  }
  // A wait that waited past its time-out of 10 ms on the test clock: one
  // that blocked on the update event for longer, or a poll that looked at
  // the update flag again once the clock had passed it.
  std::string waitedPast() {
    std::string faults;
    if (timedLooks > 1) faults += "an update wait polled the board past its time-out\n";
    const std::vector<nQoSim::tSyncRecord> records = nQoSim::syncLog();
    for (const nQoSim::tSyncRecord& record : records)
      if (record.object == timing->updateEvent() && record.timeout != 10 &&
          (record.operation == nQoSim::tSyncRecord::kWait ||
           record.operation == nQoSim::tSyncRecord::kTimeout))
        faults += "an update wait blocked for " + std::to_string(record.timeout) +
                  " ms, past its time-out of 10\n";
    return faults;
  }
  std::string reload() {
    {
      const std::lock_guard<std::mutex> locked(loadsLock);
      loads.clear();
    }
    nQoSim::tByteParameterBlock in({0x40, 0, 0, 0}), out(std::vector<uint8_t>(4, 0));
    tStatus2 reloaded;
    client->control(262, &in, &out, reloaded);
    seen += "reload ";
    seen += std::to_string(reloaded.code);
    for (uint32_t each : out.written()) {
      seen += ' ';
      seen += std::to_string(each);
    }
    {
      const std::lock_guard<std::mutex> locked(loadsLock);
      for (uint32_t each : loads) {
        seen += ", ";
        seen += std::to_string(each);
      }
    }
    seen += "\n";
    if (reloaded.code != 0 || out.written().empty() || out.written()[0] != 1) return "";
    const std::lock_guard<std::mutex> locked(loadsLock);
    const uint32_t initial = static_cast<uint32_t>(committed->record<0>().word17) - 1;
    if (loads.size() != 2 || loads[0] != 0x3F || loads[1] != initial)
      return "a reload of the interval did not load the commit's initial count\n";
    return "";
  }
  // The start trigger, while its source is on, comes as the disarm strobes.
  void startLate() {
    if (!live || !watched.sourceOn(kStartTrigger)) return;
    const bool running = timing->state().isRunning();
    watched.fireSource(kStartTrigger);
    if (!running && timing->state().isRunning()) lateRun = true;
  }
  // So does the update, while its source is on, as the disarm sequence
  // strobes the interval load (the stop's disarm strobe comes in its run).
  void updateLate() {
    if (!live || !watched.sourceOn(kUpdateSource)) return;
    const unsigned sets = nQoSim::syncSets(timing->updateEvent());
    watched.fireSource(kUpdateSource);
    if (nQoSim::syncSets(timing->updateEvent()) != sets) lateUpdate = true;
  }
  // The update output as the board holds it: the pin's direction (bit 5 of
  // the bidirection register) over the output select (bits 1:0).
  uint32_t updateOutput() {
    return ((windows.written(window, kPins, 16) & kUpdatePin) != 0 ? 4 : 0) |
           (windows.written(window, kOutputControl, 16) & kOutputSelect);
  }
  // After a 2 that answered 0, what begins the run; after a stop of a run,
  // the warning of the run the board armed; a run that a late start trigger
  // began; what the client's reload met.
  std::string stepFaults(uint32_t step, const tStatus2& status) {
    std::string faults = std::exchange(clientFaults, "");
    if (lateRun.exchange(false)) faults += "a start trigger's pass after the disarm began a run\n";
    if (lateUpdate.exchange(false))
      faults += "an update pass after the disarm set the update event of the ended run\n";
    const bool strobed = startStrobes.exchange(0) != 0;
    if (step == kDestroyStep || !live) return faults;
    const uint32_t output = updateOutput();
    if (step != 1 || status.code != 0) {
      if (output != outputBefore)
        faults += "the update output changed at a step that programs nothing\n";
    } else if (committed->record<0>().word27 == 1 && output != kDriven) {
      faults += "a commit of word 27 left the update output undriven\n";
    }
    outputBefore = output;
    const bool boardTriggered = (windows.written(window, kTriggerSelect, 16) & kSelectBits) != 0 &&
                                watched.sourceOn(kStartTrigger);
    if (step == 2 && status.code == 0 && !wasRunning && armRecorded() && !strobed &&
        !boardTriggered)
      faults +=
          "a start that answered 0 strobed nothing, and the board selects no start trigger "
          "or has its source off\n";
    if (step == 3 && wasRunning) {
      const int owed = armedFinite ? kStoppedEarly : 0;
      if (status.code != owed)
        faults += std::string("a stop of a run the board armed ") +
                  (armedFinite ? "finite" : "counted") + " answered " +
                  std::to_string(status.code) + "\n";
    }
    // The board's run as its arm strobes found it: finite (mode 0) where
    // the update counter's flag is clear.
    if (armStrobes.exchange(0) != 0)
      armedFinite = (windows.written(window, kMode1, 16) & kCountedFlag) == 0;
    wasRunning = timing->state().isRunning();
    return faults;
  }
  bool armRecorded() { return timing->state().isArmed() || timing->state().isRunning(); }
  std::string boardRuns() { return engineArmed ? "the AO engine armed\n" : ""; }
  std::pair<const void*, size_t> primitiveBytes() { return {&*timing, sizeof(tHeldTiming)}; }
  void ready(tSupervisor& supervisor, tStatus2& status) {
    code(supervisor, 1)(status);
    if (status.code == 0) committed = deployed;
    outputBefore = updateOutput();
  }
  // Each bring-up on a board whose update output no task drove.
  void up(tSupervisor& supervisor, tStatus2& status) {
    tStatus2 undriven;
    map->IO_Bidirection_Pin.setBits(kUpdatePin, 5, 0, &undriven);
    map->IO_Bidirection_Pin.flush(&undriven, 1);
    map->AO_Output_Control.set_AO_Output_Select(nQoUdRLP100::nTavik::tAO_Output_Select{0},
                                                &undriven);
    map->AO_Output_Control.flush(&undriven, 0);
    wasRunning = false;
    startStrobes = 0;
    armStrobes = 0;
    armedFinite = true;
    client = &supervisor;
    seen.clear();
    deployed = &settings;
    committed = nullptr;
    upWith(supervisor, settings, status);
  }
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

  // tAO_Command_1: the arm strobes (interval, update and buffer counters),
  // the disarm strobe and the disarm sequence's interval load; tAO_Command_2
  // and its start strobe.
  static constexpr uint32_t kCommand1 = 0x112, kArms = 0x540, kDisarm = 0x2000,
                            kIntervalLoad = 0x200;
  static constexpr uint32_t kCommand2 = 0x10A, kStartStrobe = 0x1;
  static constexpr uint8_t kStartTrigger = 15;
  // tAO_Trigger_Select and its start-trigger select (0: a software start);
  // tAO_Mode_1 and its update counter's flag (a counted run).
  static constexpr uint32_t kTriggerSelect = 0x186, kSelectBits = 0x1F, kMode1 = 0x14C,
                            kCountedFlag = 0x2;
  std::atomic<int> armStrobes{0};
  bool armedFinite = true;
  // Interrupt_B_Ack and its update acknowledgement (the group-B status
  // and its update flag, read), the update's source; the interval load
  // registers.
  static constexpr uint32_t kAck = 0x106, kAckUpdate = 0x400, kUpdateFlag = 0x20, kLoadA = 0x150,
                            kLoadB = 0x154;
  static constexpr uint8_t kUpdateSource = 20;
  // The bidirection register and the update pin's bit, tAO_Output_Control and
  // its output select: driven, 7 (updateOutput()).
  static constexpr uint32_t kPins = 0x172, kUpdatePin = 0x20, kOutputControl = 0x1AC,
                            kOutputSelect = 0x3, kDriven = 7;
  uint32_t outputBefore = 0;
  tAOTimingControllerSettings settings, triggered, counted, updated;
  const tAOTimingControllerSettings* deployed = &settings;
  const tAOTimingControllerSettings* committed = nullptr;
  tSupervisor* client = nullptr;
  static constexpr uint64_t kPast = 3'600'000'000'000;  // an hour, in nanoseconds
  std::string clientFaults;
  std::atomic<int> updateAcks{0}, timedLooks{0};
  // The thread of the client's wait.
  std::atomic<std::thread::id> waiter{};
  std::atomic<bool> waitMovesClock{false};
  std::optional<tClockPastBlockedWaits> clockPast;
  std::mutex loadsLock;
  std::vector<uint32_t> loads;
  std::atomic<bool> engineArmed{false}, live{false}, lateRun{false}, lateUpdate{false};
  std::atomic<int> startStrobes{0};
  bool wasRunning = false;
  std::optional<tHeldTiming> timing;
  std::optional<tSingularResourcePool<nQoUdP100::tBaseAOTimingControllerPrimitive*>> pool;
};

// The AO timing engine walked with its runs fed by a FIFO, whose stop in
// mode 0 warns of the early end.
class tAOTimingWalkRow : public tAOTimingRow {
 protected:
  tAOTimingWalkRow() {
    for (tAOTimingControllerSettings* each : {&settings, &triggered, &counted, &updated})
      each->record<0>().word23 = 0;
  }
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
      if (onStarted) onStarted();
    }
    const tHoldPoint& hold;
    std::function<void()> onStarted;
  } held;
};

// Change detection of a buffered task with readable lines and a scheduler
// action, committed and started after each link: its reads block. Walked
// with a deploy of another buffer size; each start owes the action one
// release and the task's event one done report, and after a change a client
// reads without waiting. Before every code that ends the reads under way (a
// stop, an uncommit, a start under a run, a commit that replaces the buffer)
// a client's read with no time-out limit blocks on another thread: the code
// leaves it ended.
class tChangeDetectionRow : public tBoardRow {
 public:
  static constexpr const char* kName = "ChangeDetection";
  using tSupervisor = tChangeDetectionSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  static constexpr size_t kDeploys = 1;
  // Its unlinkResource takes back the run, the lines and the handler; its
  // linkResource opens the reads, which meet no hold point once ended.
  static constexpr bool kUnlinkRestores = true;
  static constexpr bool kLinkOpens = true;
  static constexpr bool kEndsBeforeHold = true;

 protected:
  tChangeDetectionRow() {
    name(settings.supervisorRecord().identifier, "ChangeDetection");
    auto& fields = settings.supervisorRecord();
    fields.firstEdgeMask = 0x0F;
    fields.secondEdgeMask = 0x30;
    fields.bufferSize = 4;
    fields.readableSupervisorKey = 1;
    fields.schedulerActionSupervisorKey = 2;
    larger = settings;
    larger.supervisorRecord().bufferSize = 8;
  }
  void SetUp() override {
    tBoardRow::SetUp();
    makePrimitive();
    pool.emplace(&*primitive);
    readable.readable.pattern = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    numberChanges();
    watched.watchSources({kSource});
    watched.watchStopSources({kSource});
    watched.watchReports(
        "scheduler action",
        [this] {
          using tCall = nQoSim::tSimSchedulerAction::tCall;
          std::string log;
          for (const tCall& call : scheduler.held.calls()) {
            if (call.kind == tCall::kStarted) log += 'a';
            if (call.kind == tCall::kReleased) log += 'r';
          }
          return log;
        },
        [this] { scheduler.held.clear(); });
    watchLog("done report", doneReports);
    scheduler.held.onStarted = [this] {
      doneReports.add('a');
      startedWithBuffer = holdsBuffer();
    };
    supervisors.entries[1] = &readable;
    supervisors.entries[2] = &scheduler;
    offer(settings.supervisorRecord().identifier, *pool);
    // The blocked client's read notes the event it waits on.
    nQoSim::onSyncWait([this](const iSync* object) {
      hold();
      if (std::this_thread::get_id() == blocked.thread.load()) blocked.event = object;
    });
  }
  void TearDown() override {
    letBlockedReadGo();
    primitive.reset();
    pool.reset();
    tBoardRow::TearDown();
  }
  void makePrimitive() { primitive.emplace(map, dispatcher, info, latching, 2, status); }
  void destroyPrimitive() {
    letBlockedReadGo();
    primitive.reset();
  }
  void ready(tSupervisor& supervisor, tStatus2& status) {
    code(supervisor, 1)(status);
    code(supervisor, 2)(status);
  }
  void up(tSupervisor& supervisor, tStatus2& status) {
    letBlockedReadGo();
    reader = &supervisor;
    seen.clear();
    changes = changesRead = lastRead = 0;
    deployedSize = settings.supervisorRecord().bufferSize;
    upWith(supervisor, settings, status);
  }
  void deployOther(tSupervisor& supervisor, size_t, tStatus2& status) {
    supervisor.deploy(larger, status);
    if (status.isNotFatal()) deployedSize = larger.supervisorRecord().bufferSize;
  }
  // A code, with a client's read blocked before it where the code ends the
  // reads under way.
  void walkCode(tSupervisor& supervisor, uint32_t code, tStatus2& status) {
    const bool ends = holdsBuffer() && !blocked.reading.joinable() &&
                      (code == 3 || code == 4 || (code == 2 && primitive->isRunning()) ||
                       (code == 1 && primitive->wouldReplaceBuffer(deployedSize)));
    if (ends) blockRead();
    // A read that took a change left unread answered before the code.
    blocked.checkAfter = ends && !blocked.done;
    if (ends && blocked.done) blocked.reading.join();
    supervisor.control(code, nullptr, nullptr, status);
  }
  // After a code that ended the reads under way: the blocked read has left
  // (with a change left unread that it took as the code came, or with
  // none). The release ends it too.
  std::string stepFaults(uint32_t step, const tStatus2&) {
    if (step == kReleaseStep) letBlockedReadGo();
    if (!std::exchange(blocked.checkAfter, false) || !blocked.reading.joinable()) return "";
    if (blocked.event != nullptr && nQoSim::syncBlocked(blocked.event) != 0)
      return "a read under way with no time-out limit was left waiting\n";
    blocked.reading.join();
    return "";
  }
  // A client's read with no time-out limit on a thread of its own, once it
  // blocks on the change event (or has answered).
  void blockRead() {
    blocked.event = nullptr;
    blocked.done = false;
    blocked.reading = std::thread([this] {
      blocked.thread = std::this_thread::get_id();
      uint8_t sample[8];
      tStatus2 answer;
      reader->read(1, iSync::kWaitForever, sample, nullptr, nullptr, answer);
      blocked.thread = std::thread::id();
      blocked.done = true;
    });
    boundedUntil([this] {
      return blocked.done || (blocked.event != nullptr && nQoSim::syncBlocked(blocked.event) != 0);
    });
  }
  // A blocked read that no step ended goes as a cancel ends it.
  void letBlockedReadGo() {
    if (!blocked.reading.joinable()) return;
    if (!blocked.done && primitive) primitive->abort();
    blocked.reading.join();
  }
  // Whether it holds a buffer (of any size: none is of size 0).
  bool holdsBuffer() { return primitive->wouldReplaceBuffer(0); }
  bool armRecorded() { return primitive->isRunning(); }
  // Beside the board's faults: the change interrupt of a run on after the
  // buffer that the run fills went.
  std::string boardFaults() {
    std::string faults = tBoardRow::boardFaults();
    if (primitive && startedWithBuffer && !holdsBuffer() && !watched.runs().empty())
      faults += "the change interrupt on for a run whose buffer went\n";
    return faults;
  }
  // Each change the board makes reads the lines as the next number of its
  // sequence (in the sample's first four bytes, the rest its complement).
  void numberChanges() {
    readable.readable.onRead = [this] {
      const uint32_t number = ++changes;
      std::vector<uint8_t>& lines = readable.readable.pattern;
      lines.assign(8, 0);
      for (size_t k = 0; k < 4; ++k) {
        lines[k] = static_cast<uint8_t>(number >> (8 * k));
        lines[k + 4] = static_cast<uint8_t>(~lines[k]);
      }
    };
  }
  // What a client reads after the change, without waiting, into memory that
  // nothing filled: the change the board just made, none read before, none
  // the board did not make; a change made while the run lasts is not lost.
  std::string fired() {
    // A read that a step left blocked takes the change's wake first.
    if (changes != changesRead && primitive->isRunning() && blocked.event != nullptr)
      boundedUntil([this] { return blocked.done || nQoSim::syncBlocked(blocked.event) == 0; });
    uint8_t sample[8];
    std::fill(std::begin(sample), std::end(sample), nQoSim::kFreshByte);
    tStatus2 status;
    const uint32_t copied = reader->read(1, 0, sample, nullptr, nullptr, status);
    seen += "read " + std::to_string(copied) + " " + std::to_string(status.code) + ", " +
            std::to_string(sample[0]) + "\n";
    const bool changed = changes != changesRead;
    std::string faults;
    if (copied == 0) {
      if (changed && primitive->isRunning())
        faults += "a change the board made while the run lasted was not handed over\n";
      return faults;
    }
    faults += freshBytesIn(sample, 4);
    uint32_t number = 0;
    for (size_t k = 0; k < 4; ++k) number |= uint32_t{sample[k]} << (8 * k);
    if (number == 0 || number > changes)
      faults += "a client read a change the board did not make\n";
    else if (number <= lastRead)
      faults += "a client read a change it had read before\n";
    else if (number != changes)
      faults += "a client read an older change, not the board's latest\n";
    lastRead = std::max(lastRead, number);
    changesRead = changes;
    return faults;
  }
  std::pair<const void*, size_t> primitiveBytes() {
    return {&*primitive, sizeof(tPCITavikChangeDetectionPrimitive)};
  }
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

  static constexpr uint8_t kSource = 28;
  tChangeDetectionSettings settings, larger;
  tSupervisor* reader = nullptr;
  // The buffer size the next commit takes.
  uint32_t deployedSize = 0;
  // The client's read blocked before a code, on its thread: the event it
  // waits on, whether it answered, and whether the step just run is to have
  // ended it.
  struct tBlockedRead {
    std::thread reading;
    std::atomic<std::thread::id> thread{};
    std::atomic<const iSync*> event{nullptr};
    std::atomic<bool> done{false};
    bool checkAfter = false;
  } blocked;
  std::atomic<bool> startedWithBuffer{false};
  // The changes the board made, those a client's read had seen made, and
  // the latest one it read.
  std::atomic<uint32_t> changes{0};
  uint32_t changesRead = 0, lastRead = 0;
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

// The change detection row with each fire's second pass left until after
// the next two codes (a stop and a start fit between): a pass of the run the
// change came in wakes that run's reader, and a pass of a run ended since
// wakes no reader of the next run, which then waits for a change of its own.
class tChangeDetectionLatePassRow : public tChangeDetectionRow {
 public:
  static constexpr const char* kName = "ChangeDetectionLatePass";

 protected:
  void SetUp() override {
    tChangeDetectionRow::SetUp();
    watched.leavePasses(true);
    scheduler.held.onStarted = [this, started = scheduler.held.onStarted] {
      started();
      ++starts;
    };
  }
  void up(tSupervisor& supervisor, tStatus2& status) {
    tChangeDetectionRow::up(supervisor, status);
    stepsLeft = 0;
  }
  // The change's pass is left: its run is the one started last.
  std::string fired() {
    startsAtChange = starts;
    return "";
  }
  // The passes a fire left run before the release or destruction. A deploy
  // counts no step, so an order walked with and without its deploys meets
  // the passes at the same code.
  std::string stepFaults(uint32_t step, const tStatus2& answer) {
    std::string faults = tChangeDetectionRow::stepFaults(step, answer);
    return faults + latePassFaults(step);
  }
  std::string latePassFaults(uint32_t step) {
    if (step == kReleaseStep || step == kDestroyStep) {
      watched.runPasses();
      return "";
    }
    if (step == kFireStep) {
      stepsLeft = 2;
      return "";
    }
    if ((step & 0xFFFF'0000) == kDeployStep || stepsLeft == 0 || --stepsLeft != 0) return "";
    watched.runPasses();
    if (!primitive->isRunning() || !holdsBuffer()) return "";
    if (starts == startsAtChange) return tChangeDetectionRow::fired();
    // A run with a buffer started after the change: a read that does not
    // wait finds no wake and copies nothing.
    uint8_t sample[8];
    std::fill(std::begin(sample), std::end(sample), nQoSim::kFreshByte);
    tStatus2 status;
    const uint32_t copied = reader->read(1, 0, sample, nullptr, nullptr, status);
    seen += "late read " + std::to_string(copied) + " " + std::to_string(status.code) + "\n";
    changesRead = changes;
    if (copied != 0 || status.code != nQoUdR100::kWaitTimeout)
      return "a late pass of an ended run woke a read of the next run (copied " +
             std::to_string(copied) + ", answered " + std::to_string(status.code) + ")\n";
    return "";
  }

  std::atomic<uint32_t> starts{0};
  uint32_t startsAtChange = 0;
  // The codes after which the passes of the last fire run, unless a fire
  // runs them first.
  int stepsLeft = 0;
};

// The task's event, whose posts (a code 3's done report) hold first and
// count apart from the registrations that the steps make; its done posts are
// the reports of a stream.
struct tHeldEvent : tScriptedEvent {
  tHeldEvent(tCallLog& log, const tHoldPoint& hold, tReportLog& reports)
      : tScriptedEvent(log, "event"), hold(hold), reports(reports) {}
  void post(const nQoMRL110::tSoftwareAction& action, tStatus2&) override {
    hold();
    if (action.getKind() == nQoMRL110::kDoneEvent) reports.add('r');
  }
  const tHoldPoint& hold;
  tReportLog& reports;
};

// The DAC transfer over two channel supervisors of the board's DACs, with
// done events: its linkResource fills the channel table that its writes and
// codes reach. A write reaches a DAC only between linkResource and
// unlinkResource (the DAC tests hold it there), so a code 3 is the entry
// held under every step. Walked through its codes and a deploy without done
// events, of which each stop owes the task's event one done report (its
// reservation registered the kind); it owns no primitive to destroy.
class tDACTransferRow : public tBoardRow {
 public:
  static constexpr const char* kName = "AO_DACTransfer";
  using tSupervisor = tBaseAO_DACTransferSupervisor;
  static constexpr uint32_t kCodes[] = {1, 3, 4};
  static constexpr size_t kDeploys = 1;

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
    watchLog("done report", doneReports);
    for (uint32_t k = 0; k < 2; ++k) {
      dacs[k].emplace(resources, k, 0, false, status);
      dacPools[k].emplace(&*dacs[k]);
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
    for (auto& pool : dacPools) pool.reset();
    for (auto& dac : dacs) dac.reset();
    tBoardRow::TearDown();
  }
  void makePrimitive() {}
  void destroyPrimitive() {}
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
  // Settings without done events, which the task's reservation does not see.
  void deployOther(tSupervisor& supervisor, size_t, tStatus2& status) {
    tAO_DACTransferSettings silent = settings;
    silent.word1 = 0;
    supervisor.deploy(silent, status);
  }
  void walkCode(tSupervisor& supervisor, uint32_t code, tStatus2& status) {
    if (code == 3) doneReports.add('a');
    supervisor.control(code, nullptr, nullptr, status);
  }
  std::vector<tEntry> entries(tSupervisor& supervisor) { return {{"3", code(supervisor, 3)}}; }
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {codes("committed", supervisor, {1})};
  }
  // The event kinds registered, which the release hands back.
  std::string primitiveState() { return kinds(); }

  tAO_DACTransferSettings settings;
  tHeldEvent heldEvent{eventLog, hold, doneReports};
  std::optional<nQoUdP100::tTavikAO_DACPrimitive> dacs[2];
  std::optional<tSingularResourcePool<nQoUdP100::tBaseAO_DACPrimitive*>> dacPools[2];
  tAO_DACSettings dacSettings[2];
  std::optional<tBaseAO_DACSupervisor> dacSupervisors[2];
};

// The DAC transfer walked with the board's AO timing engine at key 40 and a
// deploy that turns its update pulse after each scan on or off (kPulsed: on
// at bring-up, which links the engine). The board firing is a client's
// write of two scans: it answers both, puts the last scan on the DACs, and
// pulses the engine once per scan as the commit held asks, whatever a
// deploy wrote since.
template <bool kPulsed>
class tDACTransferWalkRow : public tDACTransferRow {
 public:
  static constexpr const char* kName = kPulsed ? "AO_DACTransferPulsed" : "AO_DACTransfer";
  static constexpr size_t kDeploys = 2;

 protected:
  tDACTransferWalkRow() {
    name(timingSettings.record<0>().identifier, "AO_Timing");
    settings.word4 = kTiming;
    settings.word2 = kPulsed ? 1 : 0;
  }
  void SetUp() override {
    tDACTransferRow::SetUp();
    windows.setWriteCallback(window, kCommand1, [this](unsigned, uint32_t value) {
      if ((value & kUpdatePulse) != 0) ++pulses;
    });
    tStatus2 built;
    timing.emplace(&description, resources, nullptr, built);
    timingPool.emplace(&*timing);
    offer(timingSettings.record<0>().identifier, *timingPool);
    timingSupervisor.emplace();
    upWith(*timingSupervisor, timingSettings, built);
    timingSupervisor->reserveResource(built);
    timingSupervisor->linkResource(built);
    supervisors.entries[kTiming] = &*timingSupervisor;
    ASSERT_EQ(built.code, 0);
  }
  void TearDown() override {
    tStatus2 down;
    timingSupervisor->unlinkResource(down);
    timingSupervisor->releaseResource(down);
    timingSupervisor.reset();
    timingPool.reset();
    timing.reset();
    tDACTransferRow::TearDown();
  }
  void up(tSupervisor& supervisor, tStatus2& status) {
    client = &supervisor;
    seen.clear();
    deployedPulse = kPulsed;
    committedPulse.reset();
    tDACTransferRow::up(supervisor, status);
  }
  // Without done events, or with the other pulse.
  void deployOther(tSupervisor& supervisor, size_t k, tStatus2& status) {
    tAO_DACTransferSettings other = settings;
    if (k == 0) other.word1 = 0;
    if (k == 1) other.word2 = kPulsed ? 0 : 1;
    supervisor.deploy(other, status);
    if (status.code == 0) deployedPulse = other.word2 != 0;
  }
  void walkCode(tSupervisor& supervisor, uint32_t code, tStatus2& status) {
    tDACTransferRow::walkCode(supervisor, code, status);
    if (status.code != 0) return;
    if (code == 1) committedPulse = deployedPulse;
    if (code == 4) committedPulse.reset();
  }
  // A commit with the pulse and no engine linked (the bring-up's settings
  // had none) refuses the writes.
  std::string fired() {
    if (!committedPulse) return "";
    const bool refused = *committedPulse && !kPulsed;
    const int16_t scans[4] = {static_cast<int16_t>(++written), 0x0102, 0x0203,
                              static_cast<int16_t>(0x0304 + written)};
    pulses = 0;
    tStatus2 status;
    const uint32_t wrote = client->write(2, 0, scans, nullptr, status);
    seen += "write " + std::to_string(wrote) + " " + std::to_string(status.code) + ", pulses " +
            std::to_string(pulses.load()) + "\n";
    if (refused && status.code == kNoEngine && wrote == 0 && pulses == 0) return "";
    if (refused || status.code != 0 || wrote != 2)
      return "a write of 2 scans answered " + std::to_string(wrote) + " with " +
             std::to_string(status.code) + "\n";
    std::string faults;
    if (windows.written(window, kDAC0, 32) != 0x0203 ||
        windows.written(window, kDAC1, 32) != static_cast<uint32_t>(scans[3]))
      faults += "a write left on the DACs values other than its last scan\n";
    const int owed = *committedPulse ? 2 : 0;
    if (pulses != owed)
      faults += "a write of 2 scans under a commit " +
                std::string(*committedPulse ? "with" : "without") + " the pulse pulsed " +
                std::to_string(pulses.load()) + " times\n";
    return faults;
  }

  // The engine's key, tAO_Command_1 and its update pulse, the DACs' data.
  static constexpr int kNoEngine = -50004;
  static constexpr uint32_t kTiming = 40, kCommand1 = 0x112, kUpdatePulse = 0x1, kDAC0 = 0xC0,
                            kDAC1 = 0xC4;
  bool deployedPulse = kPulsed;
  std::optional<bool> committedPulse;
  tSupervisor* client = nullptr;
  int16_t written = 0;
  std::atomic<int> pulses{0};
  tAOTimingControllerSettings timingSettings;
  std::optional<nQoUdP100::tTavikAOTimingControllerPrimitive> timing;
  std::optional<tSingularResourcePool<nQoUdP100::tBaseAOTimingControllerPrimitive*>> timingPool;
  std::optional<tBaseAOTimingControllerSupervisor> timingSupervisor;
};

// The board's DAC of channel 0: its writes, and codes 4 and 1 one after
// the other (a commit that writes its update mode), come from another
// thread and hold as they write its data register and as the commit sets
// the update mode. Walked with a deploy of the other update mode.
class tDACRow : public tBoardRow {
 public:
  static constexpr const char* kName = "AO_DAC";
  using tSupervisor = tBaseAO_DACSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  static constexpr size_t kDeploys = 1;

 protected:
  tDACRow() {
    name(settings.record<0>().identifier, "AO_DAC");
    immediate = settings;
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
  void deployOther(tSupervisor& supervisor, size_t, tStatus2& status) {
    supervisor.deploy(immediate, status);
  }
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

  tAO_DACSettings settings, immediate;
  std::optional<nQoUdP100::tTavikAO_DACPrimitive> dac;
  std::optional<tSingularResourcePool<nQoUdP100::tBaseAO_DACPrimitive*>> pool;
};

// The DAC walked committed for writes that wait for the serial update, with
// a deploy of the immediate update mode; the board firing is a client's
// write of the next number. The write puts its value on the DAC and waits
// for the serial update as the commit held asks (with no commit held, as
// the channel was last programmed: without the wait).
class tDACWalkRow : public tDACRow {
 protected:
  tDACWalkRow() {
    settings.record<0>().word2 = 2;
    settings.record<0>().word7 = 1;
  }
  void SetUp() override {
    tDACRow::SetUp();
    windows.setReadCallback(window, kSerialStatus, [this](unsigned) {
      ++serialPolls;
      return 0u;
    });
  }
  void up(tSupervisor& supervisor, tStatus2& status) {
    writer = &supervisor;
    seen.clear();
    deployedWaits = true;
    committedWaits.reset();
    tDACRow::up(supervisor, status);
  }
  void deployOther(tSupervisor& supervisor, size_t k, tStatus2& status) {
    tDACRow::deployOther(supervisor, k, status);
    if (status.code == 0) deployedWaits = false;
  }
  void walkCode(tSupervisor& supervisor, uint32_t each, tStatus2& status) {
    supervisor.control(each, nullptr, nullptr, status);
    if (status.code != 0) return;
    if (each == 1) committedWaits = deployedWaits;
    if (each == 4) committedWaits.reset();
  }
  std::string fired() {
    const int16_t value = ++written;
    tStatus2 status;
    serialPolls = 0;
    const uint32_t wrote = writer->write(1, 0, &value, nullptr, status);
    seen += "write " + std::to_string(wrote) + " " + std::to_string(status.code) +
            (serialPolls != 0 ? ", waited\n" : "\n");
    if (wrote != 1 || status.code != 0) return "";
    std::string faults;
    if (windows.written(window, kData, 16) != static_cast<uint16_t>(value))
      faults += "a write put on the DAC a value the client did not write\n";
    const bool waits = committedWaits.value_or(false);
    if (waits != (serialPolls != 0))
      faults += waits ? "a write did not wait for the serial update its commit asked for\n"
                      : "a write waited for a serial update its commit did not ask for\n";
    return faults;
  }

  // The DAC's data register and the serial update's status.
  static constexpr uint32_t kData = 0xC0, kSerialStatus = 0xA0;
  tSupervisor* writer = nullptr;
  bool deployedWaits = true;
  std::optional<bool> committedWaits;
  int16_t written = 0;
  std::atomic<int> serialPolls{0};
};

// The board's analog trigger with its two PWM level sources, whose codes 1
// and 4100 come from another thread and hold as they give back its lock.
// Walked with a deploy of another mode, source and levels, and one of other
// levels alone; what runs of it is its enable bit.
class tAnalogTriggerRow : public tBoardRow {
 public:
  static constexpr const char* kName = "AnalogTrigger";
  using tSupervisor = tBaseAnalogTriggerSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  static constexpr size_t kDeploys = 2;

 protected:
  tAnalogTriggerRow() {
    auto& words = settings.supervisorRecord();
    name(words.identifier, "AnalogTrigger");
    words.word1 = 0x100;
    words.word2 = 0x80;
    words.word3 = 3;
    words.word4 = 2;
    other = settings;
    other.supervisorRecord().word1 = 0x180;
    other.supervisorRecord().word2 = 0x40;
    otherLevels = other;
    other.supervisorRecord().word3 = 1;
    other.supervisorRecord().word4 = 1;
  }
  void SetUp() override {
    tBoardRow::SetUp();
    level0.emplace(map, 0, status);
    level1.emplace(map, 1, status);
    windows.setWriteCallback(window, kTrigger, [this](unsigned, uint32_t value) {
      if ((value & kArmedBit) != 0) ++armedBits;
    });
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
  void up(tSupervisor& supervisor, tStatus2& status) {
    armed = commitHeld = false;
    deployed = committed = 0;
    upWith(supervisor, settings, status);
  }
  // Its other mode, source and levels (0), or its other levels alone (1).
  void deployOther(tSupervisor& supervisor, size_t k, tStatus2& status) {
    supervisor.deploy(k == 0 ? other : otherLevels, status);
    if (status.code == 0) deployed = static_cast<int>(k) + 1;
  }
  const tAnalogTriggerSettings& settingsOf(int program) const {
    return program == 0 ? settings : program == 1 ? other : otherLevels;
  }
  // While a commit is held the board's mode (0x17A bits 2:0), source (0x8C
  // bits 1:0) and levels (general PWM 1 and 0) are those of the program it
  // took, whatever came since.
  std::string stepFaults(uint32_t step, const tStatus2& status) {
    std::string faults;
    if (commitHeld && step != kReleaseStep && step != kDestroyStep) {
      const auto& words = settingsOf(committed).supervisorRecord();
      static constexpr uint32_t kModeCodes[] = {0, 1, 2, 4, 6}, kSourceCodes[] = {1, 0, 1, 2};
      if ((windows.written(window, kTrigger, 16) & 0x07) != kModeCodes[words.word3])
        faults += "the board's trigger mode is not the one its commit programmed\n";
      if ((windows.written(window, 0x8C, 16) & 0x03) != kSourceCodes[words.word4])
        faults += "the board's trigger source is not the one its commit programmed\n";
      if (windows.written(window, kLevel1, 16) != static_cast<uint32_t>(words.word1) ||
          windows.written(window, kLevel2, 16) != static_cast<uint32_t>(words.word2))
        faults += "the board's trigger levels are not the ones its commit programmed\n";
    }
    return faults + armFaults(step, status);
  }
  // An arm that answered 0 writes the armed bit of a hysteresis mode (3 or
  // 4) as its commit programmed it (as deployed while no commit is held).
  std::string armFaults(uint32_t step, const tStatus2& status) {
    if (step != 4100 || status.code != 0) return "";
    const int program = commitHeld ? committed : deployed;
    const uint32_t mode = settingsOf(program).supervisorRecord().word3;
    const bool hysteresis = mode == 3 || mode == 4;
    if (hysteresis == (armedBits != 0)) return "";
    return hysteresis ? "an arm of a trigger committed in a hysteresis mode left it unarmed\n"
                      : "an arm wrote the armed bit of a mode its commit did not program\n";
  }
  // Its arm as its codes leave it (the state word tells of no arm): on from
  // a 4100 that answered 0 until an uncommit, or a commit of a program other
  // than the one its commit held when it armed.
  bool armRecorded() { return armed; }
  void walkCode(tSupervisor& supervisor, uint32_t each, tStatus2& status) {
    armedBits = 0;
    supervisor.control(each, nullptr, nullptr, status);
    if (status.code != 0) return;
    if (each == 4100) armed = true;
    if (each == 4) armed = commitHeld = false;
    if (each == 1) {
      armed = armed && commitHeld && committed == deployed;
      committed = deployed;
      commitHeld = true;
    }
  }
  std::string boardRuns() {
    return (windows.written(window, kTrigger, 16) & kEnable) != 0 ? "the analog trigger enabled\n"
                                                                  : "";
  }
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

  // Its register, with the enable and the hysteresis modes' armed bit.
  static constexpr uint32_t kTrigger = 0x17A, kEnable = 0x08, kArmedBit = 0x20;
  // The level registers: general PWM 1 holds level 1, general PWM 0 level 2.
  static constexpr uint32_t kLevel1 = 0x46, kLevel2 = 0x44;
  std::atomic<int> armedBits{0};
  tAnalogTriggerSettings settings, other, otherLevels;
  bool armed = false, commitHeld = false;
  int deployed = 0, committed = 0;  // the settings (0) or the other ones (1, 2)
  nQoUdP100::tAITriggerDescription description;
  std::optional<nQoUdP100::tTavikGeneralPWMPrimitive> level0, level1;
  std::optional<nQoUdP100::tTavikAnalogTriggerPrimitive> trigger;
  std::optional<tSingularResourcePool<nQoUdP100::tBaseAnalogTriggerPrimitive*>> pool;
};

// The board's frequency output: codes 1 and 2 hold as they give back the
// clock lock, code 3 as it posts the done report. Walked with a deploy of
// another timebase and divider: each time the output goes on, and each stop
// of an output that is off, owes the task's event one done report.
class tFREQOUTRow : public tBoardRow {
 public:
  static constexpr const char* kName = "FREQOUT";
  using tSupervisor = tTavikFREQOUTSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  static constexpr size_t kDeploys = 1;

 protected:
  tFREQOUTRow() {
    name(settings.supervisorRecord().identifier, "FREQOUT");
    other = settings;
    other.supervisorRecord().divisor = 5;
    settings.supervisorRecord().timebaseSelect = 1;
    settings.supervisorRecord().divisor = 0x12;
  }
  void SetUp() override {
    tBoardRow::SetUp();
    facade.eventObject = &heldEvent;
    windows.setWriteCallback(window, kOutput, [this](unsigned, uint32_t value) {
      const bool on = (value & kEnable) != 0;
      if (on && !outputOn) doneReports.add('a');
      outputOn = on;
    });
    watchLog("done report", doneReports);
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
  void up(tSupervisor& supervisor, tStatus2& status) {
    started = false;
    programmed = programOnBoard();
    upWith(supervisor, settings, status);
  }
  // What the output gives: its divider and timebase, and whether it is on.
  std::string clientData() {
    return std::to_string(programOnBoard()) + (outputOn ? " on" : " off");
  }
  uint32_t programOnBoard() {
    return windows.written(window, kOutput, 16) & (kDivider | kTimebase);
  }
  // The divider and timebase on the board change only at a commit, or at the
  // reset of an uncommit or release: a deploy under a running output reaches
  // the next commit, not the output.
  std::string stepFaults(uint32_t step, const tStatus2&) {
    const uint32_t before = std::exchange(programmed, programOnBoard());
    if (step == 1 || step == 4 || step == kReleaseStep || step == kDestroyStep) return "";
    if (programmed == before) return "";
    return std::string("the output's divider or timebase changed") +
           (outputOn ? " while it ran" : "") + " at a step that programs nothing\n";
  }
  void deployOther(tSupervisor& supervisor, size_t, tStatus2& status) {
    supervisor.deploy(other, status);
  }
  void walkCode(tSupervisor& supervisor, uint32_t code, tStatus2& status) {
    if (code == 3 && !outputOn) doneReports.add('a');
    supervisor.control(code, nullptr, nullptr, status);
    if (status.code != 0) return;
    if (code == 2) started = true;
    if (code == 3 || code == 4101 || code == 4) started = false;
  }
  // Its run as its codes leave it: from a 2 that answered 0 until a stop, a
  // disarm or an uncommit.
  bool armRecorded() { return started; }
  std::string boardRuns() { return outputOn ? "the frequency output on\n" : ""; }
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

  // Clock_and_FOUT: its enable, timebase and divider bits.
  static constexpr uint32_t kOutput = 0x170, kEnable = 0x8000, kTimebase = 0x4000,
                            kDivider = 0x000F;
  uint32_t programmed = 0;
  tTavikFREQOUTPrimitiveSettings settings, other;
  std::atomic<bool> outputOn{false};
  bool started = false;
  tHeldEvent heldEvent{eventLog, hold, doneReports};
  nQoUdP100::tDeviceInfo info;
  std::optional<nQoUdP100::tTavikFREQOUTPrimitive> output;
  std::optional<tSingularResourcePool<nQoUdP100::iTavikFREQOUTPrimitive*>> pool;
};

// The calibration PWM, whose request 256 sets the reference from another
// thread and holds as it writes the register. Its release only hands the
// reservation back: the reference is the calibration's, which sets it again.
// Walked through its one request.
class tCalPWMRow : public tBoardRow {
 public:
  static constexpr const char* kName = "CalPWM";
  using tSupervisor = tCalPWMSupervisor;
  static constexpr uint32_t kCodes[] = {256};

 protected:
  tCalPWMRow() { name(settings.record<0>().identifier, "CalPWM"); }
  void SetUp() override {
    tBoardRow::SetUp();
    makePrimitive();
    pool.emplace(&*reference);
    holdAtWrite(0x40);
    offer(settings.record<0>().identifier, *pool);
  }
  void TearDown() override {
    pool.reset();
    reference.reset();
    tBoardRow::TearDown();
  }
  void makePrimitive() { reference.emplace(map); }
  void destroyPrimitive() { reference.reset(); }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
  void walkCode(tSupervisor& supervisor, uint32_t request, tStatus2& status) {
    code(supervisor, request, {0x10, 0, 0, 0})(status);
  }
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
// the opening of the write access. Walked through its lifecycle codes, the
// requests that select an area and open and close its access, and its
// commit.
class tEEPROMRow : public tBoardRow {
 public:
  static constexpr const char* kName = "EEPROM";
  using tSupervisor = tEEPROMSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4, 255, 261, 262, 263, 269};

 protected:
  tEEPROMRow() { name(settings.record<0>().identifier, "EEPROM"); }
  void SetUp() override {
    tBoardRow::SetUp();
    nQoUdP100::tEEPROMHeader header;
    header.area14693Address = 0x200;
    header.area14693Size = 0x80;
    header.areaOtherAddress = 0x300;
    header.areaOtherSize = 0x80;
    contentMap.setHeader(header, status);
    reservedArea = contentMap.getSelectedArea();
    // The device and its write buffer hold other bytes at every address, and
    // each area other bytes than the next.
    for (size_t at = 0; at < device.image.size(); ++at) {
      device.image[at] = static_cast<uint8_t>(at * 7 + (at >> 8) * 31 + 1);
      device.shadow[at] = static_cast<uint8_t>(at * 13 + (at >> 8) * 17 + 5);
    }
    offer(settings.record<0>().identifier, pool);
  }
  void makePrimitive() { eeprom.emplace(&contentMap, &device); }
  void destroyPrimitive() { eeprom.reset(); }
  void up(tSupervisor& supervisor, tStatus2& status) {
    client = &supervisor;
    selected = reservedArea;
    upWith(supervisor, settings, status);
  }
  // Request 255 selects another area.
  void walkCode(tSupervisor& supervisor, uint32_t request, tStatus2& status) {
    std::vector<uint8_t> in;
    if (request == 255) in = {0x2A, 0, 0, 0};
    code(supervisor, request, in)(status);
  }
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
  // After every code and fire a client reads a field from the device (279)
  // and another from the write buffer (280): each read that answers 0 holds
  // the bytes the simulated EEPROM holds there, in the area the client
  // selected last; a read of a wrong size answers so and fills nothing.
  std::string stepFaults(uint32_t step, const tStatus2& status) {
    if (step == kReleaseStep || step == kDestroyStep) return "";
    if (step == 255 && status.code == 0) selected = 0x2A;
    const uint32_t base = selected == kArea ? 0x200 : 0x300;
    std::string faults = fieldFaults(279, 14688, 4, device.image, base + 8) +
                         fieldFaults(280, 14687, 8, device.shadow, base);
    tBytes out;
    const int wide = request(*client, 279, words({14688, 2}), 2, &out);
    if (wide != nQoUdR100::kValueTooWide || out != tBytes(2, 0))
      faults += "a field read of a wrong size answered " + std::to_string(wide) + "\n";
    return faults;
  }
  std::string fieldFaults(uint32_t request, uint32_t field, uint32_t size,
                          const std::vector<uint8_t>& memory, uint32_t address) {
    tBytes out;
    const int answered = nQoTest::request(*client, request, words({field, size}), size, &out);
    if (answered != 0)
      return "request " + std::to_string(request) + " answered " + std::to_string(answered) + "\n";
    const tBytes held(memory.begin() + address, memory.begin() + address + size);
    if (out != held)
      return "request " + std::to_string(request) + " read field " + std::to_string(field) +
             " other than the EEPROM holds\n";
    return "";
  }

  static constexpr uint32_t kArea = nQoUdP100::tPralEEPROMContentMap::kArea;
  tSupervisor* client = nullptr;
  uint32_t reservedArea = 0, selected = 0;
  tEEPROMSettings settings;
  tHeldMemoryEEPROM device{hold};
  nQoUdP100::tPralEEPROMContentMap contentMap{4};
  std::optional<nQoUdP100::tEEPROM> eeprom{std::in_place, &contentMap, &device};
  tEEPROMResourcePool<nQoUdP100::tEEPROM*> pool{&*eeprom};
};

// The board's AO ground reference, whose requests 258 and 257 (a
// connection that writes the register) come from another thread and hold as
// the connection is written.
class tGroundRefRow : public tBoardRow {
 public:
  static constexpr const char* kName = "AOGroundRef";
  using tSupervisor = tBaseAOGroundRefSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4, 257, 258};
  static constexpr size_t kDeploys = 1;
  static constexpr uint32_t kProgramming[] = {1, 257, 258};

 protected:
  tGroundRefRow() {
    name(settings.record<0>().identifier, "AOGroundRef");
    skipping = settings;
    skipping.record<0>().skipFlag = 1;
  }
  void SetUp() override {
    tBoardRow::SetUp();
    makePrimitive();
    pool.emplace(&*groundRef);
    holdAtWrite(0xA3, 1);
    offer(settings.record<0>().identifier, *pool);
  }
  void TearDown() override {
    pool.reset();
    groundRef.reset();
    tBoardRow::TearDown();
  }
  void makePrimitive() { groundRef.emplace(resources, status); }
  void destroyPrimitive() { groundRef.reset(); }
  void up(tSupervisor& supervisor, tStatus2& status) {
    client = &supervisor;
    seen.clear();
    connected = skipDeployed = skipHeld = false;
    upWith(supervisor, settings, status);
  }
  // The other settings leave the ground reference as it is.
  void deployOther(tSupervisor& supervisor, size_t, tStatus2& status) {
    supervisor.deploy(skipping, status);
    if (status.code == 0) skipDeployed = true;
  }
  // Codes 1, 257 and 258 program the skip flag deployed; 257 and 258 of a
  // program that does not skip connect and disconnect.
  void walkCode(tSupervisor& supervisor, uint32_t each, tStatus2& status) {
    code(supervisor, each)(status);
    if (status.code != 0 || each == 4) return;
    skipHeld = skipDeployed;
    if (!skipHeld && each == 257) connected = true;
    if (!skipHeld && each == 258) connected = false;
  }
  // After every step the board's connection bit is the one the codes left
  // (a release disconnects), and code 259 answers it (0 while the program
  // skips).
  std::string stepFaults(uint32_t step, const tStatus2&) {
    if (step == kDestroyStep) return "";
    if (step == kReleaseStep) connected = false;
    const bool bit = (windows.written(window, 0xA3, 8) & 1) != 0;
    std::string faults;
    if (bit != connected)
      faults += std::string("the board's ground reference is ") +
                (bit ? "connected" : "disconnected") + ", not as its codes left it\n";
    // A deploy asks nothing: the client's answers line up with an order
    // walked without its deploys.
    if (step == kReleaseStep || (step & 0xFFFF'0000) == kDeployStep) return faults;
    std::vector<uint32_t> answer;
    const int answered = request(*client, 259, std::nullopt, 4, nullptr, &answer);
    seen += "259 " + std::to_string(answered) +
            (answer.empty() ? "" : " " + std::to_string(answer[0])) + "\n";
    const std::vector<uint32_t> expected{skipHeld ? 0u : uint32_t{bit}};
    if (answered != 0 || answer != expected)
      faults +=
          "code 259 answered " + std::to_string(answered) + " and not the board's connection\n";
    return faults;
  }
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

  tAOGroundRefSettings settings, skipping;
  tSupervisor* client = nullptr;
  // What the codes left: the connection, and the skip flag deployed and programmed.
  bool connected = false, skipDeployed = false, skipHeld = false;
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
  static constexpr uint32_t kCodes[] = {1, 2, 3, 4};

 protected:
  tLineFilterRow() {
    name(settings.supervisorRecord().identifier, "LineFilter");
    settings.supervisorRecord().lineEntries.append({.lineGroup = 0, .line = 3, .filterSetting = 2});
  }
  void SetUp() override {
    tBoardRow::SetUp();
    makePrimitive();
    pool.emplace(&inUse, &*filters);
    holdAtWrite(0xB0);
    offer(settings.supervisorRecord().identifier, *pool);
  }
  void TearDown() override {
    pool.reset();
    filters.reset();
    tBoardRow::TearDown();
  }
  void makePrimitive() {
    filters.emplace(nQoUdP100::tLineFilterDescription{.pfiLines = 16, .rivoLines = 8}, map, status);
  }
  void destroyPrimitive() { filters.reset(); }
  void up(tSupervisor& supervisor, tStatus2& status) {
    upWith(supervisor, settings, status);
    filtersLeft = pfiFilters();
  }
  // The PFI filters as the board's register holds them: line n in bits
  // 2n+1:2n.
  uint32_t pfiFilters() { return windows.written(window, 0xB0, 32); }
  // A commit that answered 0 programs the task's line (PFI3, bits 7:6) with
  // its deployed filter and no other line; no other step changes them.
  std::string stepFaults(uint32_t step, const tStatus2& status) {
    if (step == kReleaseStep || step == kDestroyStep) return "";
    if (step == 1 && status.code == 0) filtersLeft = 2u << 6;
    if (pfiFilters() == filtersLeft) return "";
    return "the board's PFI filters are " + std::to_string(pfiFilters()) + ", not " +
           std::to_string(filtersLeft) + " as the steps left them\n";
  }
  std::vector<tEntry> entries(tSupervisor& supervisor) { return {{"1", code(supervisor, 1)}}; }
  // The task's line as the pool counts its users.
  std::string primitiveState() {
    return "PFI3 users " + std::to_string(pool->getStrategy().getUseCount(0, 3));
  }

  tTavikLineFilterSettings settings;
  uint32_t filtersLeft = 0;
  std::optional<nQoUdP100::tPCITavikLineFilterPrimitive> filters;
  tSyncAtomicU32 inUse;
  std::optional<tRefCountingResourcePoolWrapper<
      tTavikLineFilterResourcePool<nQoUdP100::tTavikLineFilterPrimitive*>,
      nQoUdP100::tTavikLineFilterPrimitive*>>
      pool;
};

// An end requested of an engine armed with no commit, which attached no
// handler, switches no source on: the walk's codes arm only a committed
// engine.
TEST_F(tAOTimingRow, AnEndRequestedWithoutACommitSwitchesNoSourceOn) {
  tStatus2 armed;
  timing->arm(armed);
  ASSERT_EQ(armed.code, 0);
  timing->requestEndA(&armed);
  timing->requestEndB(&armed);
  EXPECT_EQ(sourcesWithoutHandler(windows, window, *dispatcher), "");
  timing->disarm(armed);
  EXPECT_EQ(armed.code, 0);
}

using tPlainRows = ::testing::Types<tAOFIFORow, tChangeDetectionRow, tDACTransferRow>;
INSTANTIATE_TYPED_TEST_SUITE_P(Plain, Lifecycle, tPlainRows, tRowNames);
INSTANTIATE_TYPED_TEST_SUITE_P(Plain, FillLifecycle, tDACTransferRow, tRowNames);

using tHandBackRows = ::testing::Types<tAOTimingRow, tDACRow, tGroundRefRow, tAnalogTriggerRow,
                                       tFREQOUTRow, tCalPWMRow, tEEPROMRow, tLineFilterRow>;
INSTANTIATE_TYPED_TEST_SUITE_P(Plain, HandBackLifecycle, tHandBackRows, tRowNames);

using tWalkedRows =
    ::testing::Types<tAOFIFOWalkRow<false>, tAOFIFOWalkRow<true>, tAOTimingWalkRow,
                     tChangeDetectionRow, tChangeDetectionLatePassRow, tDACTransferWalkRow<false>,
                     tDACTransferWalkRow<true>, tDACWalkRow, tGroundRefRow, tAnalogTriggerRow,
                     tFREQOUTRow, tCalPWMRow, tEEPROMRow, tLineFilterRow>;
INSTANTIATE_TYPED_TEST_SUITE_P(Plain, CodeWalk, tWalkedRows, tRowNames);

}  // namespace
}  // namespace nQoTest
