// The correlated digital supervisors as rows of the lifecycle suite, over the
// real CDIO primitives of a simulated board: the immediate streams (whose
// reads and writes block on the FIFOs), the FIFOs (with a transfer's
// observers in their lists), the DMA and the interrupt transfers. Entries
// are the supervisors' own (codes, reads, writes); one holds at its first
// look at a FIFO's status or FIFO command, where it first waits on an event,
// sets an event or releases a lock on its own thread, or where a row's
// primitive holds it before an operation. Setups bring each primitive through the
// codes to every state they reach, also states a later code left partly
// given back; check (e) reads what the primitive and the board hold.
// In the code walk each row says what the board runs of it (the FIFO a
// transfer started, a FIFO's sources, the DMA select naming a channel) and
// watches what its run reports to its partner or done observer. Each row
// with a run deploys what the run reads (mode, total, chunk; a DMA transfer
// between an unlinkResource and the next linkResource, where it takes them)
// and checks each step's answer against what the run's commit, arm or start
// recorded; the streams and interrupt transfers also follow every sample
// their clients read or write (tSampleModel).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include "primitives/cdio/tTavikCDIOPort.h"
#include "reservation/tSingularResourcePool.h"
#include "sim/simAllocator.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "sim/simStreamAttributes.h"
#include "sim/simSync.h"
#include "sim/simThread.h"
#include "sim/simTime.h"
#include "supervisors/cdio/cdioImmediateSupervisors.h"
#include "supervisors/cdio/cdioSupervisors.h"
#include "supervisors/cdioBoard.h"
#include "supervisors/dioDoubles.h"
#include "supervisors/lifecycleSuite.h"
#include "support/boardChecks.h"
#include "support/brokerPools.h"
#include "support/outputTransferDoubles.h"
#include "support/reservationDoubles.h"

namespace nQoTest {
namespace {

using namespace nQoUdR100;
using nQoMDBG100::tStatus2;

// A polling period of the test clock, then a host moment for the polling
// threads to look.
void moveTheClock() {
  nQoSim::advanceClock(20'000'000);
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

constexpr int kTimeout = -200474;
constexpr uint32_t kLong = 1000;  // ms on the test clock, which stands

// What a run reports to its partner (a transfer's partner or sink, an
// immediate transfer's done observer), as a report stream of the code walk:
// a start command that the board's FIFO gets while no report is owed opens
// one ('a'); a DMA transfer's link, which opens the end without a run, owes
// one only to the stop or error that claims it; each report answers one
// ('r'). Reports may come from the FIFO's polling thread.
class tRunReports {
 public:
  // A new bring-up: what earlier ones left owed counts no more.
  void restart() {
    const std::lock_guard<std::mutex> guard(_lock);
    _from = _events.size();
    _linkOpened = false;
  }
  void started() {
    const std::lock_guard<std::mutex> guard(_lock);
    if (owed() <= 0) _events += 'a';
    _linkOpened = false;
  }
  void linkOpened() {
    const std::lock_guard<std::mutex> guard(_lock);
    _linkOpened = true;
  }
  void reported() {
    const std::lock_guard<std::mutex> guard(_lock);
    if (_linkOpened && owed() <= 0) _events += 'a';
    _linkOpened = false;
    _events += 'r';
  }
  std::string log() const {
    const std::lock_guard<std::mutex> guard(_lock);
    return _events;
  }
  // Reports owed now, and reports since the bring-up.
  long owing() const {
    const std::lock_guard<std::mutex> guard(_lock);
    return owed();
  }
  long reports() const {
    const std::lock_guard<std::mutex> guard(_lock);
    return std::count(_events.begin() + static_cast<long>(_from), _events.end(), 'r');
  }

 private:
  long owed() const {
    const auto from = _events.begin() + static_cast<long>(_from);
    return std::count(from, _events.end(), 'a') - std::count(from, _events.end(), 'r');
  }

  mutable std::mutex _lock;
  std::string _events;
  std::size_t _from = 0;
  bool _linkOpened = false;
};

// A partner double whose transferEnded is a report of the run.
template <class Base>
struct tReporting : Base {
  tReporting(tRunReports& reports, tCallLog& log, const std::string& name)
      : Base(log, name), reports(reports) {}
  void transferEnded(tStatus2& status) override {
    Base::transferEnded(status);
    reports.reported();
  }
  tRunReports& reports;
};

// The task's event, whose done actions are the reports of an immediate run.
struct tReportingEvent : tScriptedEvent {
  tReportingEvent(tRunReports& reports, tCallLog& log, const std::string& name)
      : tScriptedEvent(log, name), reports(reports) {}
  void post(const nQoMRL110::tSoftwareAction& action, tStatus2& status) override {
    tScriptedEvent::post(action, status);
    if (action.getKind() == nQoMRL110::kDoneEvent) reports.reported();
  }
  tRunReports& reports;
};

// What the code walk follows of a transfer's samples. The board's
// input FIFO takes in a numbered sequence while started (kFed a firing) and
// drops what it holds at its reset; its FIFO condition holds while it has
// half its depth (mode flag set) or a sample (clear). The output FIFO's
// condition holds while it is at most half full, and a firing moves up to
// kFed of its words to the lines. The client (the partner) reads into fresh
// memory, or writes the next numbers of its own. A run goes by the mode and
// total that its commit or arm took (either, when a deploy came between).
struct tSampleRecord {
  uint32_t mode = 0;
  uint32_t total = 0;
};

class tSampleModel {
 public:
  static constexpr uint32_t kDepth = 32;
  static constexpr uint32_t kFed = 16;
  static constexpr uint32_t kFinite = 1;

  void restart(const tSampleRecord& linked) {
    const std::lock_guard<std::mutex> guard(_lock);
    _produced = 0;
    _nextRead = 1;
    _nextWrite = 1;
    _inFIFO.clear();
    _handed = 0;
    _dropped = false;
    _faults.clear();
    _client.clear();
    deployed = committed = armed = linked;
  }
  // The board's next numbers, as one-byte samples.
  std::vector<uint32_t> produce(uint32_t count) {
    const std::lock_guard<std::mutex> guard(_lock);
    std::vector<uint32_t> words;
    for (uint32_t k = 0; k < count; ++k) words.push_back(++_produced & 0xFF);
    return words;
  }
  // The input's reset dropped all it held.
  void inputReset() {
    const std::lock_guard<std::mutex> guard(_lock);
    _nextRead = _produced + 1;
  }
  // The output's reset dropped all it held, while a run owed its report or not.
  // Between runs it begins the next run's count (an arm's preload counts).
  void outputReset(bool underRun) {
    const std::lock_guard<std::mutex> guard(_lock);
    _dropped = _dropped || (underRun && !_inFIFO.empty());
    _inFIFO.clear();
    if (!underRun) _handed = 0;
  }
  // What the client was handed, into memory filled fresh before.
  // (A read that kept the newest samples skipped the older ones.)
  void read(const uint8_t* bytes, uint32_t count, uint32_t asked, bool skips = false) {
    const std::lock_guard<std::mutex> guard(_lock);
    _faults += freshBytesIn(bytes, std::min(count, asked));
    for (uint32_t k = 0; k < std::min(count, asked); ++k) {
      const uint32_t number = bytes[k];
      if (number == 0)
        _faults += "the client read a word from an empty FIFO\n";
      else if (number < (_nextRead & 0xFF))
        _faults += "the client read a sample twice or out of order\n";
      else if (number > (_nextRead & 0xFF) && !skips)
        _faults += "a sample was skipped while the run lasted\n";
      if (number != 0) _nextRead = std::max(_nextRead, number + 1);
    }
    _handed += count;
    _client += "read " + std::to_string(count) + " of " + std::to_string(asked);
    if (count != 0) _client += " from " + std::to_string(bytes[0]);
    _client += "\n";
    pastTotal();
  }
  // The client's next numbers, of which the sink took accepted.
  std::vector<uint8_t> toWrite(uint32_t count) {
    const std::lock_guard<std::mutex> guard(_lock);
    std::vector<uint8_t> bytes(count);
    for (uint32_t k = 0; k < count; ++k) bytes[k] = static_cast<uint8_t>(_nextWrite + k);
    return bytes;
  }
  void written(uint32_t accepted) {
    const std::lock_guard<std::mutex> guard(_lock);
    for (uint32_t k = 0; k < accepted; ++k) _inFIFO.push_back(_nextWrite++ & 0xFF);
    _handed += accepted;
    _client += "wrote " + std::to_string(accepted) + "\n";
    pastTotal();
  }
  // A word the board put on the lines: the oldest the client wrote and the
  // FIFO still holds.
  void onLines(uint32_t word) {
    const std::lock_guard<std::mutex> guard(_lock);
    if (_inFIFO.empty() || _inFIFO.front() != word) {
      _faults += "the lines got a word that was not the client's next\n";
      _inFIFO.clear();
      return;
    }
    _inFIFO.pop_front();
    _client += "lines " + std::to_string(word) + "\n";
  }
  // What the client read or wrote, and what reached the lines, since the
  // restart.
  std::string client() const {
    const std::lock_guard<std::mutex> guard(_lock);
    return _client;
  }
  bool outputDrained() const {
    const std::lock_guard<std::mutex> guard(_lock);
    return _inFIFO.empty();
  }
  uint32_t handed() const {
    const std::lock_guard<std::mutex> guard(_lock);
    return _handed;
  }
  void newRun() {
    const std::lock_guard<std::mutex> guard(_lock);
    _handed = 0;
  }
  // The faults met so far, and whether the output's reset dropped what the
  // client wrote while a run owed its report; both taken.
  std::string takeFaults() {
    const std::lock_guard<std::mutex> guard(_lock);
    return std::exchange(_faults, std::string());
  }
  bool takeDropped() {
    const std::lock_guard<std::mutex> guard(_lock);
    return std::exchange(_dropped, false);
  }
  // Whether the run's records make it finite: all, some.
  bool finite(bool all) const {
    const bool a = committed.mode == kFinite, b = armed.mode == kFinite;
    return all ? a && b : a || b;
  }
  bool continuous() const { return committed.mode == 0 && armed.mode == 0; }
  // A finite record whose total the client got or gave.
  bool delivered(uint32_t handed) const {
    return (committed.mode == kFinite && handed == committed.total) ||
           (armed.mode == kFinite && handed == armed.total);
  }

  // The settings as deployed, and the records of the last commit and arm.
  tSampleRecord deployed, committed, armed;

 private:
  // Locked: a finite run of every record asks for no more than its total.
  void pastTotal() {
    if (!finite(true)) return;
    if (_handed > std::max(committed.total, armed.total))
      _faults += "a finite run moved samples past its total\n";
  }

  mutable std::mutex _lock;
  uint32_t _produced = 0;
  uint32_t _nextRead = 1;
  uint32_t _nextWrite = 1;
  std::deque<uint32_t> _inFIFO;
  uint32_t _handed = 0;
  bool _dropped = false;
  std::string _faults;
  std::string _client;
};

// What every row brings: the board's CDIO side on the test clock, a broker,
// the task's event and the hold points.
class tCDIORow : public ::testing::Test, public tCDIOBoard<1> {
 protected:
  void SetUp() override {
    nQoSim::resetResourceBroker();
    nQoSim::clearStatusLog();
    nQoSim::useTestClock(1'000'000'000);
    facade.eventObject = &event;
    fifos.onStatusRead([this] { hold(); });
    // A FIFO command, once the windows are free again; a start opens a run.
    windows.onWritten([this](unsigned written, uint32_t offset, uint32_t value) {
      if (written != window || offset != 0x224) return;
      if ((value & startCommand) != 0) ends.started();
      noteStarted(value);
      if (commanded) commanded(value);
      if (!quiet) hold();
    });
    nQoSim::onSyncWait([this](const iSync*) { hold(); });
    hold.atSyncs();
    watched.watchBoard(windows, window, board, bus);
  }
  void TearDown() override {
    nQoSim::onSyncWait(nullptr);
    fifos.onStatusRead(nullptr);
    windows.onWritten(nullptr);
    nQoSim::resetResourceBroker();
    nQoSim::resetTime();
  }
  template <class Supervisor, class Settings>
  void upWith(Supervisor& supervisor, const Settings& settings, tStatus2& status) {
    ends.restart();
    supervisor.initialize(settings, &facade, status);
    supervisor.link(supervisors, status);
  }
  template <class Settings, class Pool>
  void offer(Settings& settings, Pool& pool, const char* name) {
    offerPool(settings.template record<0>().identifier, identity, name, &pool, status);
    ASSERT_EQ(status.code, 0);
  }
  std::string handedBack() {
    return brokerAndBlocks() + ", bus " + std::to_string(bus.registrations()) + ", events " +
           std::to_string(eventLog.calls.size());
  }
  std::string boardFaults() { return watched.faults(windows, window, board); }
  // What the board runs of a direction's FIFO: started, or linked to a DMA
  // channel by its nibble of the DMA select register.
  std::string fifoStarted(bool input) {
    if (!(input ? fifos.inputStarted() : fifos.outputStarted())) return "";
    return std::string(input ? "input" : "output") + " FIFO started\n";
  }
  std::string fifoSelected(bool input) {
    const auto& direction = input ? nQoUdP100::kCDIDirection : nQoUdP100::kCDODirection;
    const uint32_t code = windows.written(window, 0x07, 8) >> direction.selectShift & 0xF;
    if (code == 0) return "";
    return "DMA select names code " + std::to_string(code) + " for the " +
           (input ? "input" : "output") + " FIFO\n";
  }
  // The row's run reports, as a stream of that name: a start of the
  // direction's FIFO opens one.
  void watchEnds(bool input, std::string name) {
    startCommand = (input ? nQoUdP100::kCDIDirection : nQoUdP100::kCDODirection).startCommand;
    watched.watchReports(std::move(name), [this] { return ends.log(); });
  }
  // Whether each FIFO was last started, from the commands seen, for the
  // walk's model: another thread (a FIFO's polling thread) may command the
  // board meanwhile, which it does under the windows' lock.
  void noteStarted(uint32_t value) {
    for (const bool input : {true, false}) {
      const auto& direction = input ? nQoUdP100::kCDIDirection : nQoUdP100::kCDODirection;
      std::atomic<bool>& runs = input ? inputRuns : outputRuns;
      if ((value & direction.startCommand) != 0) runs = true;
      if ((value & direction.stopCommand) != 0) runs = false;
    }
  }
  // The board moves the output FIFO's oldest word to the lines, by its step
  // command; false when the FIFO held none. The model hears of each word.
  bool stepLines(tSampleModel& model, size_t& seen) {
    uint32_t value = 0;
    windows.readAt(window, 0x224, 32, 0, value);
    if ((value & 1) != 0) return false;
    quiet = true;
    windows.writeAt(window, 0x224, 32, 0x80000, 0);
    quiet = false;
    for (; seen < fifos.lines().size(); ++seen) model.onLines(fifos.lines()[seen]);
    return true;
  }
  // The board as a fresh primitive finds it: both FIFOs stopped (what a
  // destroyed one left running was checked already).
  void stopFIFOs() {
    quiet = true;
    windows.writeAt(window, 0x224, 32,
                    nQoUdP100::kCDIDirection.stopCommand | nQoUdP100::kCDODirection.stopCommand, 0);
    quiet = false;
  }
  // The row's settings with a change, deployed.
  template <class Supervisor, class Settings, class tChange>
  static void deployChanged(Supervisor& supervisor, const Settings& settings, tChange change,
                            tStatus2& status) {
    Settings other = settings;
    change(other.template record<0>());
    supervisor.deploy(other, status);
  }
  // A code from another thread, through the supervisor's control.
  template <class Supervisor>
  static tEntry code(Supervisor& supervisor, uint32_t code) {
    return {std::to_string(code), [&supervisor, code](tStatus2& status) {
              supervisor.control(code, nullptr, nullptr, status);
            }};
  }
  // A state the codes reach from the test's thread, each answering 0; then
  // what else brings it there.
  template <class Supervisor>
  static tSetup reached(std::string name, Supervisor& supervisor, std::vector<uint32_t> codes,
                        std::function<void()> then = {}) {
    return {std::move(name), [&supervisor, codes, then] {
              for (uint32_t each : codes) {
                tStatus2 status;
                supervisor.control(each, nullptr, nullptr, status);
                EXPECT_EQ(status.code, 0) << "code " << each;
              }
              if (then) then();
            }};
  }
  template <class Supervisor>
  static void runCodes(Supervisor& supervisor, std::initializer_list<uint32_t> codes,
                       tStatus2& status) {
    for (uint32_t each : codes) supervisor.control(each, nullptr, nullptr, status);
  }
  // What the board holds of the CDIO sources (the handlers in their slots,
  // the enabled flags, the bus registration) and of the FIFOs (their DMA
  // select register, whether they were left started).
  std::string boardState() {
    std::string held = "handlers ";
    for (uint32_t slot = 0; slot < nQoUdP100::kCDIOSourceCount; ++slot) {
      const uint32_t source = nQoUdRLP100::tTavikInterruptDispatcher::kCDIOSourceBase + slot;
      held += board.primaryHandlers[source] != nullptr ? '1' : '0';
      held += board.secondaryHandlers[source] != nullptr ? '1' : '0';
    }
    held += ", enabled ";
    for (uint32_t flag = nQoUdRLP100::kSource21Enabled; flag < nQoUdRLP100::kEnabledFlagCount;
         ++flag)
      held += std::to_string(board.enabledFlag(static_cast<nQoUdRLP100::tEnabledFlag>(flag)));
    return held + ", registered " + std::to_string(bus.registrations()) + ", DMA select " +
           std::to_string(windows.written(window, 0x07, 8)) + ", started " +
           std::to_string(fifos.inputStarted()) + std::to_string(fifos.outputStarted());
  }

  tCallLog eventLog, log;
  tRunReports ends;
  // The direction's FIFO start command, which opens a run of the row's
  // transfer (0: none).
  uint32_t startCommand = 0;
  // Every FIFO command, after the board carried it out (a row's model of
  // what the FIFOs hold).
  std::function<void(uint32_t)> commanded;
  tScriptedFacade facade{log, "facade"};
  tReportingEvent event{ends, eventLog, "event"};
  tScriptedSupervisorMap supervisors{log, "map"};
  tHoldPoint hold;
  tBoardWatch watched;
  // Set while an entry prepares the board before its call: no hold there.
  std::atomic<bool> quiet{false};
  std::atomic<bool> inputRuns{false}, outputRuns{false};
};

// An immediate stream, committed and started after each link: its reads or
// writes wait on the FIFO, and a new reservation opens them again. Its reads
// report their stamps (the client data keeps them), and a deploy changes the
// input's sample period. A step given with no run live meets a read or
// write given before it on another thread, with no time-out limit: the read
// takes the run a code 2 begins, and a code 3 or 4 ends it; the write is
// refused at once.
template <class Dir>
class tImmediateRow : public tCDIORow {
 public:
  using tSupervisor = tCorrelatedSupervisor<tCorrelatedImmediateRow<Dir>>;
  using tPrimitive = typename Dir::tPrimitive;
  static constexpr const char* kName = Dir::kStamped ? "CDIImmediate" : "CDOImmediate";
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  // A commit and a start (a run takes the settings as they stand) program it.
  static constexpr uint32_t kProgramming[] = {1, 2};
  // Its reads and writes, once ended, meet no hold point.
  static constexpr bool kEndsBeforeHold = true;

 protected:
  void SetUp() override {
    tCDIORow::SetUp();
    settings.template record<0>().transferMode = 0;
    settings.template record<0>().transferWord3 = 1;
    if constexpr (Dir::kStamped) settings.template record<0>().samplePeriod.integer = 1;
    fifos.setOutputDepth(4);
    watchEnds(Dir::kStamped, "done observer");
    makePrimitive();
    pool.emplace(&*transfer);
    offer(settings, *pool, "Immediate");
    // What the FIFO's resets drop.
    commanded = [this](uint32_t value) {
      if (Dir::kStamped && (value & nQoUdP100::kCDIDirection.resetCommand) != 0) {
        for (uint32_t word = 0; fifos.inputSize() != 0;) windows.readAt(window, 0x220, 32, 0, word);
        if (resetUnderRead)
          resetDeferred = true;
        else
          model.inputReset();
      }
      if (!Dir::kStamped && (value & nQoUdP100::kCDODirection.resetCommand) != 0)
        model.outputReset(ends.owing() > 0);
    };
    fifos.onStatusRead([this] {
      if (std::this_thread::get_id() == earlyCaller.load()) early.progress([&] { ++early.looks; });
      if (readsBeforeWait > 0 && --readsBeforeWait > 0) return;
      hold();
      if (!commitComes.exchange(false)) return;
      tStatus2 committed;
      transfer->commitChannel(committed);
    });
  }
  void makePrimitive() {
    stopFIFOs();
    if constexpr (Dir::kStamped)
      transfer.emplace(&deviceInfo, &description, &cdiFIFO, &identity, status);
    else
      transfer.emplace(&deviceInfo, &description, &cdoFIFO, &identity, status);
  }
  void destroyPrimitive() { transfer.reset(); }
  void up(tSupervisor& supervisor, tStatus2& status) {
    walked = &supervisor;
    upWith(supervisor, settings, status);
  }
  // The run that ready starts goes by the settings linked.
  void ready(tSupervisor& supervisor, tStatus2& status) {
    runCodes(supervisor, {1, 2}, status);
    model.restart(recordOf(settings));
    stamps.clear();
    fresh = false;
    linesSeen = fifos.lines().size();
    reportsSeen = ends.reports();
    owedBefore = ends.owing();
  }
  void TearDown() override {
    commanded = nullptr;
    tCDIORow::TearDown();
  }
  // A run: the state's, or the FIFO its start started.
  bool armRecorded() { return transfer->holdsRun(); }
  std::string boardRuns() { return fifoStarted(Dir::kStamped); }
  std::string clientData() { return model.client() + stamps; }
  std::pair<const void*, size_t> primitiveBytes() { return {&*transfer, sizeof(tPrimitive)}; }
  // A finite stream of four samples, and the other third word (the newest
  // samples, the write mode) with (input) another sample period.
  static constexpr size_t kDeploys = 2;
  void deployOther(tSupervisor& supervisor, size_t k, tStatus2& status) {
    typename Dir::tSettings other = settings;
    auto& fields = other.template record<0>();
    if (k == 0) {
      fields.transferMode = 1;
      fields.transferWord2 = 4;
    } else {
      fields.transferWord3 = 0;
      if constexpr (Dir::kStamped) fields.samplePeriod.integer = 3;
    }
    supervisor.deploy(other, status);
    if (status.isNotFatal()) model.deployed = recordOf(other);
  }
  // The input FIFO, while started, took in the board's next samples; the
  // client reads what is there, with no wait, into a buffer as fresh as a
  // new block. The output's client writes its next three with no wait, and
  // the board moves what the FIFO holds to the lines.
  std::string fired() {
    tStatus2 status;
    if constexpr (Dir::kStamped) {
      if (inputRuns) fifos.pushInput(model.produce(8));
      std::vector<uint8_t> samples(8, nQoSim::kFreshByte);
      const bool overtaken = overtakeAtLastWord();
      nQoSim::tSimStreamAttributes attributes;
      const uint32_t read = walked->read(8, 0, samples.data(), nullptr, &attributes, status);
      noteStamps(attributes);
      nQoSim::onSyncAcquire(nullptr);
      if (overtaking.joinable()) overtaking.join();
      resetUnderRead = false;
      model.read(samples.data(), read, 8, status.code == nQoUdR100::kNewestSamplesDrained);
      if (std::exchange(resetDeferred, false)) model.inputReset();
      if (!overtaken || !overtook) return "";
      // The start took the settings as they stand.
      model.committed = model.armed = model.deployed;
      model.newRun();
      return newRunReads();
    } else {
      const std::vector<uint8_t> next = model.toWrite(3);
      model.written(walked->write(3, 0, next.data(), nullptr, status));
      while (outputRuns && stepLines(model, linesSeen)) {
      }
    }
    return "";
  }
  // The stamps a read reported: its first sample's and the interval.
  void noteStamps(const nQoSim::tSimStreamAttributes& attributes) {
    for (const nQoSim::tSimStreamAttributes::tCall& call : attributes.log)
      stamps += (call.kind == nQoSim::tSimStreamAttributes::kStamp ? "stamp " : "interval ") +
                std::to_string(call.value.integer) + ":" + std::to_string(call.value.fraction) +
                "\n";
  }
  // A code 3 of a transfer uncommitted since its last start owes the done
  // report of no run. A step with no run live first meets a read or write
  // given on another thread, with no time-out limit, where it waits (or, a
  // write, once refused): a code 2, whose start begins the run the call takes
  // (the board's samples come after it), and (input) a code 3 or 4, which
  // ends the read. A call that goes on after many looks at the FIFO is
  // cancelled.
  void walkCode(tSupervisor& supervisor, uint32_t code, tStatus2& status) {
    if (code == 3 && fresh) ends.linkOpened();
    const bool across =
        !transfer->runUnderWay() && (code == 2 || (Dir::kStamped && (code == 3 || code == 4)));
    if (!across) {
      supervisor.control(code, nullptr, nullptr, status);
      return;
    }
    early.restart();
    std::vector<uint8_t> samples(kEarly, nQoSim::kFreshByte);
    if constexpr (!Dir::kStamped) samples = model.toWrite(kEarly);
    nQoSim::tSimStreamAttributes attributes;
    std::thread caller([&] {
      earlyCaller = std::this_thread::get_id();
      tStatus2 answer;
      if constexpr (Dir::kStamped)
        early.moved =
            supervisor.read(kEarly, kNoLimit, samples.data(), nullptr, &attributes, answer);
      else
        early.moved = supervisor.write(kEarly, kNoLimit, samples.data(), nullptr, answer);
      early.code = answer.code;
      early.progress([&] { early.returned = true; });
    });
    early.waitUntil([&] { return early.returned || early.looks > 0; });
    supervisor.control(code, nullptr, nullptr, status);
    if (Dir::kStamped && code == 2 && inputRuns) fifos.pushInput(model.produce(kEarly));
    const int from = early.seen().looks;
    early.waitUntil([&] { return early.returned || early.looks - from > kLooks; });
    early.waitedOn = !early.seen().returned;
    tStatus2 cancelled;
    if (early.waitedOn) supervisor.requestCancel(cancelled);
    caller.join();
    earlyCaller = std::thread::id();
    early.step = code;
    early.samples = std::move(samples);
    noteStamps(attributes);
  }
  // What the read or write given before the step met (at a code 2 once the
  // start took its record): its samples reach the model.
  std::string earlyFaults(uint32_t step) {
    if (early.step != step) return "";
    early.step = 0;
    const std::string answered =
        std::to_string(early.moved) + " answering " + std::to_string(early.code);
    if constexpr (Dir::kStamped) {
      model.read(early.samples.data(), early.moved, kEarly,
                 early.code == nQoUdR100::kNewestSamplesDrained);
      if (step != 2 && (early.waitedOn || early.moved != 0))
        return "a read given before it, with no time-out limit, took " + answered +
               (early.waitedOn ? ", and waited on after it\n" : "\n");
      if (step == 2 && (early.waitedOn || early.moved != kEarly))
        return "a read given before the start, with no time-out limit, took " + answered +
               " of the samples of the run the start began" +
               (early.waitedOn ? ", and waited on\n" : "\n");
    } else {
      model.written(early.moved);
      if (early.waitedOn)
        return "a write given with no run live, with no time-out limit, waited on\n";
      if (early.moved != 0 || early.code != nQoUdR100::kRefused)
        return "a write given with no run live wrote " + answered + ", not 0 answering -50150\n";
    }
    return "";
  }
  // A finite run's read that will take its run's last word meets, as it
  // goes to claim its run's end, a stop and a start from another client's
  // thread (bounded by elapsed time): it claims nothing of the new run.
  bool overtakeAtLastWord() {
    overtook = false;
    if (ends.owing() == 0 || !model.finite(true)) return false;
    const uint32_t handed = model.handed(), total = model.armed.total, before = fifos.inputSize();
    if (handed >= total || before < total - handed) return false;
    const uint32_t left = total - handed;
    const std::thread::id reader = std::this_thread::get_id();
    resetUnderRead = true;
    nQoSim::onSyncAcquire([this, reader, before, left](const iSync*, bool acquired) {
      if (acquired || overtook || std::this_thread::get_id() != reader ||
          before - fifos.inputSize() != left)
        return;
      overtook = true;
      std::atomic<bool> done{false};
      overtaking = std::thread([this, &done] {
        tStatus2 codes;
        runCodes(*walked, {3, 2}, codes);
        done = true;
      });
      const auto guard = std::chrono::steady_clock::now() + kAtOnce;
      while (!done && std::chrono::steady_clock::now() < guard) std::this_thread::yield();
      if (!done) overtaking.join();
      // The stop reported the run it ended.
      reportsSeen = ends.reports();
    });
    return true;
  }
  // The new run reads the board's next sample.
  std::string newRunReads() {
    fifos.pushInput(model.produce(1));
    uint8_t sample = nQoSim::kFreshByte;
    tStatus2 status;
    const uint32_t read = walked->read(1, 0, &sample, nullptr, nullptr, status);
    model.read(&sample, read, 1);
    if (read == 1) return "";
    return "a stop and a start overtook a read at its run's last word, and the new run read " +
           std::to_string(read) + " of the FIFO's sample, answering " +
           std::to_string(status.code) + "\n";
  }
  // Each step's answer against the run's record, which its start took, and
  // what the model met.
  std::string stepFaults(uint32_t step, const tStatus2& answer) {
    std::string faults = model.takeFaults();
    const long owed = ends.owing(), reports = ends.reports();
    if (step == 3 && owedBefore > 0 &&
        (answer.code == 0 || answer.code == nQoUdR100::kStoppedEarly) &&
        (answer.code == nQoUdR100::kStoppedEarly) != model.finite(true))
      faults += "3 answered " + std::to_string(answer.code) + " for a run of mode " +
                std::to_string(model.armed.mode) + "\n";
    if (step == 2 && answer.code == 0 && !(Dir::kStamped ? inputRuns : outputRuns))
      faults += "2 answered 0 and left the FIFO stopped\n";
    if (step == kFireStep && reports != reportsSeen && owedBefore > 0) {
      if (!model.finite(true))
        faults += "a run started continuous ended by itself\n";
      else if (!model.delivered(model.handed()))
        faults += "a finite run ended before it moved its total\n";
    }
    if (model.takeDropped() && owed > 0 && step != kDestroyStep)
      faults += "the output FIFO dropped what the client wrote while the run lasted\n";
    // A start of a run takes its record.
    if (step == 2 && answer.code == 0 && owedBefore == 0) {
      model.committed = model.armed = model.deployed;
      model.newRun();
    }
    faults += earlyFaults(step) + model.takeFaults();
    // A transfer uncommitted since its last start reports one done at its
    // next stop, and a stop after that none.
    if (step == 3 && fresh && reports - reportsSeen != 1)
      faults += "3 after an uncommit with no start since reported " +
                std::to_string(reports - reportsSeen) + " dones, not 1\n";
    if (step == 4) fresh = true;
    if (step == 2 || step == 3) fresh = false;
    reportsSeen = reports;
    owedBefore = owed;
    return faults;
  }
  static tSampleRecord recordOf(const typename Dir::tSettings& given) {
    const auto& fields = given.template record<0>();
    return {static_cast<uint32_t>(fields.transferMode), fields.transferWord2};
  }
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    tEntry stream;
    if constexpr (Dir::kStamped)
      stream = {"read", [&supervisor](tStatus2& status) {
                  uint8_t samples[4] = {};
                  supervisor.read(4, kLong, samples, nullptr, nullptr, status);
                }};
    else
      stream = {"write", [&supervisor](tStatus2& status) {
                  const uint8_t samples[3] = {0x11, 0x22, 0x33};
                  supervisor.write(3, kLong, samples, nullptr, status);
                }};
    // The same call while a commit under way reaches the primitive as it
    // waits, after the step's end: the commit clears the run's cancel.
    tEntry committedUnder{stream.name + " as a commit comes",
                          [this, call = stream.call](tStatus2& s) {
                            // An output FIFO emptied of what earlier calls left.
                            quiet = true;
                            windows.writeAt(window, 0x224, 32, 0x10, 0);
                            quiet = false;
                            readsBeforeWait = Dir::kStamped ? 1 : 3;
                            commitComes = true;
                            call(s);
                            commitComes = false;
                            readsBeforeWait = 0;
                          },
                          true, 0, kTimeout};
    stream.blocks = true;
    stream.waited = kTimeout;
    // (A cancel only marks the run: it holds nowhere. A write with no run
    // live is refused at once: it holds nowhere either.)
    if (!Dir::kStamped && !transfer->runUnderWay())
      return {code(supervisor, 2), code(supervisor, 3)};
    return {stream, committedUnder, code(supervisor, 2), code(supervisor, 3)};
  }
  // Running as ready left it, stopped, and uncommitted with the FIFO still
  // started.
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {reached("running", supervisor, {}), reached("stopped", supervisor, {3}),
            reached("running, then uncommitted", supervisor, {4})};
  }
  // The state, the run, the done observer and (output) the FIFO's polled
  // observer.
  std::string primitiveState() {
    std::string held = "state " + std::to_string(transfer->state()) + ", run " +
                       std::to_string(transfer->holdsRun()) + ", done observer " +
                       std::to_string(transfer->hasDoneObserver());
    if constexpr (!Dir::kStamped)
      held += ", polled observer " + std::to_string(cdoFIFO.hasPolledObserver());
    return held + ", " + boardState();
  }

  typename Dir::tSettings settings;
  // The supervisor of the code walk's bring-up, which a client reads through.
  tSupervisor* walked = nullptr;
  // Set by the entry that a commit meets: its status reads up to its wait
  // (a write looks twice first), and whether the commit is still to come.
  std::atomic<int> readsBeforeWait{0};
  std::atomic<bool> commitComes{false};
  // A stop and a start that overtook a fired read at its last word, on
  // their thread; a FIFO reset the model hears of after that read.
  std::thread overtaking;
  bool overtook = false, resetUnderRead = false, resetDeferred = false;
  // The read or write given before a step (walkCode): the step, its
  // samples, what it answered, and whether it waited on and was cancelled;
  // its looks at the FIFO, on its thread.
  static constexpr uint32_t kEarly = 2;
  static constexpr uint32_t kNoLimit = 0xFFFFFFFF;
  static constexpr int kLooks = 1000;
  struct tEarly {
    uint32_t step = 0;
    bool waitedOn = false;
    uint32_t moved = 0;
    int code = 0;
    std::vector<uint8_t> samples;
    // Its looks at the FIFO and its return, told as they come.
    int looks = 0;
    bool returned = false;
    std::mutex lock;
    std::condition_variable told;
    void restart() {
      step = moved = 0;
      code = looks = 0;
      waitedOn = returned = false;
    }
    template <class tChange>
    void progress(tChange change) {
      {
        const std::lock_guard<std::mutex> guard(lock);
        change();
      }
      told.notify_all();
    }
    template <class tDone>
    void waitUntil(tDone done) {
      std::unique_lock<std::mutex> held(lock);
      told.wait_for(held, tHeldCall::kGuard, done);
    }
    struct tSeen {
      bool returned;
      int looks;
    };
    tSeen seen() {
      const std::lock_guard<std::mutex> guard(lock);
      return {returned, looks};
    }
  } early;
  std::atomic<std::thread::id> earlyCaller{};
  // Uncommitted since its last start (code 4, no code 2 or 3 since).
  bool fresh = false;
  // The stamps the reads reported since the bring-up.
  std::string stamps;
  tSampleModel model;
  size_t linesSeen = 0;
  long reportsSeen = 0, owedBefore = 0;
  std::optional<tPrimitive> transfer;
  std::optional<tSingularResourcePool<tPrimitive*>> pool;
};

using tCDIImmediateRow = tImmediateRow<tCDIImmediateDirection>;
using tCDOImmediateRow = tImmediateRow<tCDOImmediateDirection>;

// The board's FIFO of a direction, its mode flag set, with an interrupt
// transfer's observers (FIFO, overrun) in its lists (as that transfer's
// linkResource leaves them), so that its commit attaches handlers and its
// arm enables sources. An arm before the commit, or after an uncommit, finds
// them in use with no handler attached, as it finds those of a link that
// came after the commit.
template <class Dir>
class tFIFORow : public tCDIORow {
 public:
  static constexpr bool kInput = std::is_same_v<Dir, tCDIDirection>;
  static constexpr const char* kName = kInput ? "CDI_FIFO" : "CDO_FIFO";
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  using tRow = tCorrelatedFIFORow<Dir>;
  using tSupervisor = tCorrelatedSupervisor<tRow>;

 protected:
  void SetUp() override {
    tCDIORow::SetUp();
    settings.template record<0>().fifoModeFlag = 1;
    offer(settings, pool, "FIFO");
    transfer.emplace(&deviceInfo, &description, fifo(), status);
    if constexpr (kInput)
      watched.watchSources({21, 22, 23});
    else
      watched.watchSources({24, 25, 26, 27});
  }
  // The board's FIFO, made again in its place, and the transfer, whose
  // records went with the FIFO that is gone.
  void destroyPrimitive() { std::destroy_at(boardFIFO()); }
  void makePrimitive() {
    std::construct_at(boardFIFO(), &cdio, &description, &map, status);
    emptyObserved = false;
    transfer.reset();
    transfer.emplace(&deviceInfo, &description, fifo(), status);
  }
  auto* boardFIFO() {
    if constexpr (kInput)
      return &cdiFIFO;
    else
      return &cdoFIFO;
  }
  void up(tSupervisor& supervisor, tStatus2& status) {
    upWith(supervisor, settings, status);
    deployedFlags = flagsOf(settings.template record<0>().fifoModeFlag,
                            settings.template record<0>().fifoSecondaryModeFlag);
    programmedFlags.clear();
  }
  // The transfer's observers, again after a setup took them out.
  // The output's FIFO-empty observer too, so that a commit attaches its
  // event and a destruction has its handler to take out of the slot.
  void ready(tSupervisor&, tStatus2& status) {
    transfer->registerObservers(status);
    if constexpr (!kInput) {
      if (emptyObserved) return;
      cdoFIFO.addObserver(
          static_cast<nQoUdP100::tCDO_FIFOEmptyObservable::iCDO_FIFOEmptyObserver*>(&emptyObserver),
          status);
      emptyObserved = status.isNotFatal();
    }
  }
  bool armRecorded() { return fifo()->isArmed(); }
  std::string boardRuns() { return fifoStarted(kInput) + fifoSelected(kInput); }
  std::pair<const void*, size_t> primitiveBytes() { return {boardFIFO(), sizeof(*boardFIFO())}; }
  // The other mode flags, which the next commit applies.
  static constexpr size_t kDeploys = 1;
  void deployOther(tSupervisor& supervisor, size_t, tStatus2& status) {
    deployChanged(
        supervisor, settings,
        [](auto& fields) {
          fields.fifoModeFlag = kInput ? 0 : 2;
          fields.fifoSecondaryModeFlag = 0;
        },
        status);
    if (status.isNotFatal()) deployedFlags = flagsOf(kInput ? 0 : 2, 0);
  }
  // After a commit that answered 0, the board's mode word holds the mode and
  // secondary flags deployed before it, whatever was deployed since.
  std::string stepFaults(uint32_t step, const tStatus2& answer) {
    if (step == 1 && answer.code == 0) programmedFlags = deployedFlags;
    if (programmedFlags.empty() || step == kDestroyStep) return "";
    const uint32_t word = windows.written(window, kInput ? 0x228 : 0x22C, 32);
    const std::string onBoard = flagsOf(word >> 11 & 1, word >> 9 & 1);
    if (onBoard == programmedFlags) return "";
    return "the board's mode word holds " + onBoard + ", the commit programmed " + programmedFlags +
           "\n";
  }
  // The mode flag (set: 1; the output's clear: 2) and the secondary flag,
  // as the board's bits.
  static std::string flagsOf(uint32_t mode, uint32_t secondary) {
    return "mode " + std::to_string(mode == 1 ? 1 : 0) + " secondary " + std::to_string(secondary);
  }
  // Each code where it works on the FIFO, and so holds: commit while the
  // lists hold observers and no commit holds their events already (a second
  // one takes nothing), arm while a commit holds them and no arm does (an arm
  // enables only the events whose handlers a commit attached), disarm and
  // uncommit while an arm or a commit is held.
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    std::vector<tEntry> offered;
    if (fifo()->hasObservers() && !fifo()->holdsCommit()) offered.push_back(code(supervisor, 1));
    if (fifo()->hasObservers() && fifo()->holdsCommit() && !fifo()->holdsArm())
      offered.push_back(code(supervisor, 4100));
    if (fifo()->holdsArm()) offered.push_back(code(supervisor, 4101));
    if (fifo()->holdsCommit()) offered.push_back(code(supervisor, 4));
    return offered;
  }
  // Committed, armed, and two arms that a later step left in place: an
  // uncommit without a disarm, and the transfer's unlinkResource, which
  // empties the lists that commit and arm went by.
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {reached("committed", supervisor, {1}), reached("armed", supervisor, {1, 4100}),
            reached("armed, then uncommitted", supervisor, {1, 4100, 4}),
            reached("armed, its transfer unlinked", supervisor, {1, 4100}, [this] {
              tStatus2 unlinked;
              transfer->unregisterObservers(unlinked);
            })};
  }
  std::string primitiveState() {
    return "state " + std::to_string(fifo()->state()) + ", " + boardState();
  }
  typename Dir::tFIFO* fifo() {
    if constexpr (kInput)
      return &cdiFIFO;
    else
      return &cdoFIFO;
  }

  struct tEmptyObserver : nQoUdP100::tCDO_FIFOEmptyObservable::iCDO_FIFOEmptyObserver {
    uint32_t handleFIFOEmpty(nQoUdP100::tCDO_FIFOEmptyObservable*, tStatus2&) override { return 1; }
    void handleFIFOEmptySecondary(nQoUdP100::tCDO_FIFOEmptyObservable*, tStatus2&) override {}
  };

  typename Dir::tFIFOSettings settings;
  tSingularResourcePool<typename Dir::tFIFO*> pool{fifo()};
  std::optional<typename Dir::tInterruptPrimitive> transfer;
  tEmptyObserver emptyObserver;
  bool emptyObserved = false;
  // The flags deployed, and those the last commit programmed (empty: none).
  std::string deployedFlags, programmedFlags;
};

// A DMA transfer of a direction linked to a channel and a partner; codes
// come under way, and the partner may refuse its handle.
template <class Dir>
class tDMARow : public tCDIORow {
 public:
  static constexpr const char* kName =
      std::is_same_v<Dir, tCDIDirection> ? "CDI_DMATransfer" : "CDO_DMATransfer";
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  // The commit, the arm and the start, and the deploy that the next
  // linkResource takes.
  static constexpr uint32_t kProgramming[] = {1, 4100, 2, kDeployStep + 1};
  using tRow = tCorrelatedDMARow<Dir>;
  using tSupervisor = tCorrelatedSupervisor<tRow>;
  static constexpr bool kInput = std::is_same_v<Dir, tCDIDirection>;
  // The transfer, whose commit holds first and whose unregistration (the
  // first operation of a failed link's take-down) runs the window's hook; a
  // link opens the end that a stop reports (a run it met was stopped first,
  // with its own report).
  struct tHeldTransfer : Dir::tDMAPrimitive {
    template <class... tArgs>
    tHeldTransfer(const tHoldPoint& hold, tRunReports& reports, tArgs&&... args)
        : Dir::tDMAPrimitive(std::forward<tArgs>(args)...), hold(hold), reports(reports) {}
    void commit(tStatus2& status) override {
      hold();
      Dir::tDMAPrimitive::commit(status);
    }
    void linkDMA(tStatus2& status) override {
      Dir::tDMAPrimitive::linkDMA(status);
      if (status.isNotFatal()) reports.linkOpened();
    }
    void unregisterObservers(tStatus2& status) override {
      if (takingDown) takingDown();
      Dir::tDMAPrimitive::unregisterObservers(status);
    }
    const tHoldPoint& hold;
    tRunReports& reports;
    std::function<void()> takingDown;
  };
  // The partner, whose handle runs the window's hook when it refuses it and
  // reports the ends.
  struct tRefusingPartner : tDMAHandlePartner {
    tRefusingPartner(tRunReports& reports, tCallLog& log, const std::string& name)
        : tDMAHandlePartner(log, name), reporting(reports, log, "handle") {}
    nQoLMSDR100::iDMAPartnerHandle* getPartnerHandle(tStatus2& status) override {
      if (refused && answers.count("getPartnerHandle") != 0) refused();
      tDMAHandlePartner::getPartnerHandle(status);
      return &reporting;
    }
    std::function<void()> refused;
    tReporting<tPartnerHandle> reporting;
  };

 protected:
  void SetUp() override {
    tCDIORow::SetUp();
    channel.channelNumber = 3;
    supervisors.entries = {{5, &channel}, {6, &partner}};
    settings.template record<0>().dmaChannelSupervisorKey = 5;
    settings.template record<0>().dmaTransferSupervisorKey = 6;
    settings.template record<0>().transferMode = 0;
    watchEnds(kInput, "partner");
    makePrimitive();
    pool.emplace(&*transfer);
    offer(settings, *pool, "DMATransfer");
  }
  void makePrimitive() {
    stopFIFOs();
    transfer.emplace(hold, ends, &deviceInfo, &fifo(), &identity, status);
  }
  void destroyPrimitive() { transfer.reset(); }
  void up(tSupervisor& supervisor, tStatus2& status) {
    upWith(supervisor, settings, status);
    takenMode = 0;
    runningBefore = false;
  }
  // Linked to the channel (by the state or the link's record), or running.
  bool armRecorded() {
    return transfer->isRunning() || transfer->isDMALinked() ||
           transfer->state() == tHeldTransfer::kLinked;
  }
  // The FIFO started, and the DMA select naming a channel where no link of
  // the transfer (alive) holds it.
  std::string boardRuns() {
    const bool linked = transfer && transfer->isDMALinked();
    return fifoStarted(kInput) + (linked ? "" : fifoSelected(kInput));
  }
  std::pair<const void*, size_t> primitiveBytes() { return {&*transfer, sizeof(tHeldTransfer)}; }
  // The finite sample mode, which the primitive takes only before its link:
  // refused all through a walk; and the same between an unlinkResource and
  // the next linkResource, where the primitive takes it (the output also
  // its counts), so that the codes after it go by a mode deployed.
  static constexpr size_t kDeploys = 2;
  void deployOther(tSupervisor& supervisor, size_t k, tStatus2& status) {
    const auto finite = [](auto& fields) {
      fields.transferMode = 1;
      if constexpr (!kInput) fields.transferWord1 = fields.transferWord2 = 8;
    };
    if (k == 0) {
      deployChanged(supervisor, settings, finite, status);
      return;
    }
    supervisor.unlinkResource(status);
    const tBeforeDeploy before(watched, supervisor);
    deployChanged(supervisor, settings, finite, status);
    deployFaults = before.changed(watched, supervisor);
    supervisor.linkResource(status);
    if (status.isNotFatal()) takenMode = 1;
  }
  // A stop of a run warns of its early end by the mode the run took (no
  // data moves in the walk); a start that answered 0 started the FIFO.
  std::string stepFaults(uint32_t step, const tStatus2& answer) {
    std::string faults = std::exchange(deployFaults, "");
    if (step == 3 && runningBefore &&
        (answer.code == 0 || answer.code == nQoUdR100::kStoppedEarly) &&
        (answer.code == nQoUdR100::kStoppedEarly) != (takenMode == 1))
      faults += "3 answered " + std::to_string(answer.code) + " for a run of mode " +
                std::to_string(takenMode) + "\n";
    if (step == 2 && answer.code == 0 && fifoStarted(kInput).empty())
      faults += "2 answered 0 and left the FIFO stopped\n";
    runningBefore = transfer && transfer->isRunning();
    return faults;
  }
  void refuseLink(bool refused) {
    if (refused)
      partner.answers["getPartnerHandle"] = -50103;
    else
      partner.answers.clear();
  }
  void window(std::function<void()> refused, std::function<void()> takingDown) {
    partner.refused = std::move(refused);
    transfer->takingDown = std::move(takingDown);
  }
  // The stop while a run is there to end (without one it holds nowhere).
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    std::vector<tEntry> offered = {code(supervisor, 1), code(supervisor, 4100),
                                   code(supervisor, 2)};
    if (transfer->isRunning()) offered.push_back(code(supervisor, 3));
    return offered;
  }
  // Committed, linked to the channel, running, and linked with the commit
  // undone since.
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {reached("committed", supervisor, {1}), reached("linked", supervisor, {1, 4100}),
            reached("running", supervisor, {1, 4100, 2}),
            reached("linked, then uncommitted", supervisor, {1, 4100, 4})};
  }
  // The state, the run, the FIFO's link to the channel, the endpoint it was
  // given, its records in the FIFO's lists, and the board.
  std::string primitiveState() {
    return "state " + std::to_string(transfer->state()) + ", run " +
           std::to_string(transfer->isRunning()) + ", linked " +
           std::to_string(transfer->isDMALinked()) + ", endpoint " +
           std::to_string(transfer->partner() != nullptr) + ", observers " +
           std::to_string(fifo().hasObservers()) + ", " + boardState();
  }
  auto& fifo() {
    if constexpr (std::is_same_v<Dir, tCDIDirection>)
      return cdiFIFO;
    else
      return cdoFIFO;
  }

  typename Dir::tDMASettings settings;
  tScriptedDMAChannel channel{log, "channel"};
  tRefusingPartner partner{ends, log, "partner"};
  std::optional<tHeldTransfer> transfer;
  std::optional<tSingularResourcePool<typename Dir::tDMAPrimitive*>> pool;
  // The sample mode the primitive took, and whether a run went on before
  // the step.
  uint32_t takenMode = 0;
  bool runningBefore = false;
  // What the deploy between the unlinkResource and the linkResource changed.
  std::string deployFaults;
};

// An interrupt transfer of a direction over its FIFO's supervisor and the
// platform's transfer partner; codes come under way, and the input's
// partner may refuse its transfer object. In the code walk a firing brings
// the FIFO up through its own supervisor, raises its FIFO interrupt once
// (when its source is on) and, for an output, moves words to the lines and
// gives a finite run that has run empty its end, its FIFO then left armed
// for the steps after it; the row follows every sample (tSampleModel) and
// checks each step's answer against the run's records.
template <class Dir>
class tInterruptRow : public tCDIORow {
 public:
  static constexpr const char* kName =
      std::is_same_v<Dir, tCDIDirection> ? "CDIInterruptTransfer" : "CDOInterruptTransfer";
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  // The commit, an arm and a start with nothing recorded, the re-arm
  // deployed, and (input) a firing, whose FIFO commit programs the FIFO's flag.
  static constexpr uint32_t kProgramming[] = {1, 4100, 2, kDeployStep + 2,
                                              std::is_same_v<Dir, tCDIDirection> ? kFireStep : 1};
  using tRow = tCorrelatedInterruptRow<Dir>;
  using tSupervisor = tCorrelatedSupervisor<tRow>;
  static constexpr bool kInput = std::is_same_v<Dir, tCDIDirection>;
  // The input partner's transfer object reads into fresh memory and hands
  // the model what it read; the output partner writes the model's next
  // numbers. Both report the ends.
  struct tRecordingObject : tReporting<tInputObject> {
    tRecordingObject(tSampleModel& model, tRunReports& reports, tCallLog& log,
                     const std::string& name)
        : tReporting(reports, log, name), model(model) {}
    uint32_t transfer(nQoMXSL100::iReadable<unsigned char>* given, uint32_t count,
                      tStatus2& s) override {
      answer("transfer " + std::to_string(count), s);
      std::vector<uint8_t> into(count, nQoSim::kFreshByte);
      const uint32_t read = given->read(into.data(), count, s);
      model.read(into.data(), read, count);
      return read;
    }
    tSampleModel& model;
  };
  struct tReportingInputPartner : tInputPartner {
    tReportingInputPartner(tSampleModel& model, tRunReports& reports, tCallLog& log,
                           const std::string& name)
        : tInputPartner(log, name), reporting(model, reports, log, "object") {}
    nQoMSRL100::iInputTransferObject* getTransferObject(tStatus2& status) override {
      tInputPartner::getTransferObject(status);
      return &reporting;
    }
    tRecordingObject reporting;
  };
  struct tWritingPartner : tReporting<tScriptedOutputTransfer> {
    tWritingPartner(tSampleModel& model, tRunReports& reports, tCallLog& log,
                    const std::string& name)
        : tReporting(reports, log, name), model(model) {}
    uint32_t transfer(nQoMXSL100::iWriteable<unsigned char>* sink, uint32_t byteCount,
                      tStatus2& s) override {
      answer("transfer " + std::to_string(byteCount), s);
      const std::vector<uint8_t> next = model.toWrite(byteCount);
      const uint32_t accepted = sink->write(next.data(), byteCount, s);
      model.written(std::min(accepted, byteCount));
      return accepted;
    }
    tSampleModel& model;
  };
  using tPartner = std::conditional_t<kInput, tReportingInputPartner, tWritingPartner>;

 protected:
  void SetUp() override {
    tCDIORow::SetUp();
    description.cdiFIFODepth = tSampleModel::kDepth;
    fifos.setOutputDepth(tSampleModel::kDepth);
    typename Dir::tFIFO* fifo;
    if constexpr (kInput)
      fifo = &cdiFIFO;
    else
      fifo = &cdoFIFO;
    fifoSettings.template record<0>().fifoModeFlag = 1;
    // The output FIFO, armed across steps, is raised by fired() alone.
    if constexpr (!kInput) watched.fireLeaves({24, 25, 26, 27});
    fifoPool.emplace(fifo);
    offer(fifoSettings, *fifoPool, "FIFO");
    fifoSupervisor.emplace();
    fifoSupervisor->initialize(fifoSettings, nullptr, status);
    fifoSupervisor->reserveResource(status);
    supervisors.entries = {{1, &partner}, {2, &*fifoSupervisor}};
    // A limit of eight chunks; the input is finite, of two and a half (its
    // first firing switches it to single samples), the output continuous,
    // preloading half a chunk.
    auto& fields = settings.template record<0>();
    fields.firstPartnerSupervisorKey = 1;
    fields.secondPartnerSupervisorKey = 2;
    fields.transferWord1 = 64;
    fields.transferMode = kInput ? 1 : 0;
    fields.transferWord2 = 8;
    fields.transferWord3 = kInput ? 20 : 0;
    if constexpr (!kInput) fields.transferWord4 = 4;
    watchEnds(kInput, "partner");
    makePrimitive();
    pool.emplace(&*transfer);
    offer(settings, *pool, "InterruptTransfer");
    // The board's FIFOs: their conditions as each status read finds them,
    // and what their resets drop.
    fifos.onStatusRead([this] {
      hold();
      if constexpr (kInput) {
        const bool half = (windows.written(window, 0x228, 32) >> 11 & 1) != 0;
        const size_t threshold = half ? tSampleModel::kDepth / 2 : 1;
        fifos.setInputBits(fifos.inputSize() >= threshold ? 0x40000 : 0);
      } else {
        fifos.setOutputBits(fifos.output().size() <= tSampleModel::kDepth / 2 ? 0x4 : 0);
      }
    });
    commanded = [this](uint32_t value) {
      if (kInput && (value & nQoUdP100::kCDIDirection.resetCommand) != 0) {
        for (uint32_t word = 0; fifos.inputSize() != 0;) windows.readAt(window, 0x220, 32, 0, word);
        model.inputReset();
      }
      if (!kInput && (value & nQoUdP100::kCDODirection.resetCommand) != 0)
        model.outputReset(ends.owing() > 0);
    };
  }
  void makePrimitive() {
    stopFIFOs();
    if constexpr (kInput)
      transfer.emplace(&deviceInfo, &description, &cdiFIFO, status);
    else
      transfer.emplace(&deviceInfo, &description, &cdoFIFO, status);
  }
  void destroyPrimitive() { transfer.reset(); }
  void TearDown() override {
    commanded = nullptr;
    fifoSupervisor.reset();
    tCDIORow::TearDown();
  }
  void up(tSupervisor& supervisor, tStatus2& status) {
    takeOutputFIFODown();
    upWith(supervisor, settings, status);
    // A board whose FIFOs hold nothing of an earlier walk.
    quiet = true;
    windows.writeAt(window, 0x224, 32,
                    nQoUdP100::kCDIDirection.resetCommand | nQoUdP100::kCDODirection.resetCommand,
                    0);
    quiet = false;
    model.restart(recordOf(settings));
    linesSeen = fifos.lines().size();
    reportsSeen = 0;
    owedBefore = 0;
    armedSinceRun = false;
    recordedSinceUp = false;
    armedBefore = false;
    programmed = model.deployed;
    // The FIFO's mode flag as the row sets it, deployed again.
    tStatus2 deployed;
    fifoSupervisor->deploy(fifoSettings, deployed);
    EXPECT_EQ(deployed.code, 0);
    fifoFlag = 1;
  }
  bool armRecorded() {
    return transfer->isRunning() || transfer->state() == Dir::tInterruptPrimitive::kArmed;
  }
  std::string boardRuns() { return fifoStarted(kInput); }
  std::string clientData() { return model.client(); }
  std::pair<const void*, size_t> primitiveBytes() {
    return {&*transfer, sizeof(typename Dir::tInterruptPrimitive)};
  }
  // The other sample modes, for the next step that programs the board: the
  // input continuous, or finite of five chunks of 16, or continuous and
  // committed and armed at once (a run's re-arm); the output finite of
  // one chunk, or without FIFO interrupts. And the input FIFO's mode flag
  // clear, for the FIFO's next commit (a firing's).
  static constexpr size_t kDeploys = kInput ? 4 : 2;
  void deployOther(tSupervisor& supervisor, size_t k, tStatus2& status) {
    if (kInput && k == 3) {
      typename Dir::tFIFOSettings clear = fifoSettings;
      clear.template record<0>().fifoModeFlag = 0;
      fifoSupervisor->deploy(clear, status);
      if (status.isNotFatal()) fifoFlag = 0;
      return;
    }
    typename Dir::tInterruptSettings other = settings;
    const tBeforeDeploy before(watched, supervisor);
    auto& fields = other.template record<0>();
    if constexpr (kInput) {
      fields.transferMode = k == 1 ? 1 : 0;
      if (k == 1) fields.transferWord2 = 16;
      if (k == 1) fields.transferWord3 = 40;
    } else {
      fields.transferMode = static_cast<int32_t>(k + 1);
      fields.transferWord3 = 8;
    }
    supervisor.deploy(other, status);
    if (status.isNotFatal()) model.deployed = recordOf(other);
    if (k != 2) return;
    deployFaults = before.changed(watched, supervisor);
    runCodes(supervisor, {1, 4100}, status);
  }
  // The FIFO's supervisor brings the FIFO up; the board fires its FIFO
  // interrupt once, an input taking in samples first; an output moves words
  // to the lines, and a finite run whose last samples left is given the time
  // its end takes; then the input FIFO goes down again. The output FIFO
  // stays armed, its polling thread waiting, across the steps after the
  // fire: it goes down before the next fire brings it up, and at the release.
  std::string fired() {
    takeOutputFIFODown();
    runCodes(*fifoSupervisor, {1, 4100}, status);
    status.clear();
    std::string faults = fifoFlagFaults("a firing's");
    if (kInput && inputRuns) fifos.pushInput(model.produce(tSampleModel::kFed));
    runOwedPasses();
    const bool passed = raise(
        kInput ? 21 : 24, kInput ? nQoUdRLP100::kSource21Enabled : nQoUdRLP100::kSource24Enabled);
    // A late row's input also raises its overrun, whose second pass ends
    // the run it served.
    if (kInput && latePasses) raise(23, nQoUdRLP100::kSource23Enabled);
    // Only a finite run near its end takes single samples.
    if (kInput && (windows.written(window, 0x228, 32) >> 11 & 1) != fifoFlag &&
        !model.finite(false))
      faults += "a run of continuous records switched the FIFO to single samples\n";
    if constexpr (!kInput) {
      // A continuous run fills its FIFO past its condition at every pass.
      uint32_t condition = 0;
      windows.readAt(window, 0x224, 32, 0, condition);
      if (passed && ends.owing() > 0 && model.continuous() && outputRuns && (condition & 4) != 0)
        faults += "a continuous run left its FIFO short at a pass\n";
      for (uint32_t k = 0; k < tSampleModel::kFed / 2 && outputRuns; ++k)
        if (!stepLines(model, linesSeen)) break;
      if (!latePasses && ends.owing() > 0 && model.finite(false) &&
          model.delivered(model.handed()) && model.outputDrained() && !endCame())
        faults += "a finite run's FIFO ran empty and its end never reached the partner\n";
      outputFIFOUp = true;
    } else {
      runCodes(*fifoSupervisor, {4101, 4}, status);
      status.clear();
    }
    return faults;
  }
  void takeOutputFIFODown() {
    if (!std::exchange(outputFIFOUp, false)) return;
    tStatus2 down;
    runCodes(*fifoSupervisor, {4101, 4}, down);
  }
  // Each step's answer against the run's records, and what the model met.
  std::string stepFaults(uint32_t step, const tStatus2& answer) {
    if (step == kReleaseStep || step == kDestroyStep) takeOutputFIFODown();
    std::string faults = model.takeFaults() + std::exchange(deployFaults, "");
    const long owed = ends.owing(), reports = ends.reports();
    const bool reported = reports != reportsSeen;
    const bool answered = answer.code == 0 || answer.code == nQoUdR100::kStoppedEarly;
    if (step == 3 && owedBefore > 0 && answered) {
      // A run still going at the stop: finite (of a record that is) warns
      // that it stopped early.
      const bool warned = answer.code == nQoUdR100::kStoppedEarly;
      if (warned && !model.finite(false))
        faults += "3 warned of an early stop of a run armed continuous\n";
      if (!warned && model.finite(true))
        faults += "3 answered no early stop for a finite run stopped early\n";
    }
    if (step == 2 && answer.code == 0 && !(kInput ? inputRuns : outputRuns))
      faults += "2 answered 0 and left the FIFO stopped\n";
    if (step == 4100 && answer.code == 0 && owed > 0) faults += "4100 left a run going\n";
    if (step == kFireStep && reported && owedBefore > 0) {
      // A run that ended by itself: a finite one once it moved its total.
      if (!model.finite(false))
        faults += "a run armed continuous ended by itself\n";
      else if (!model.delivered(model.handed()))
        faults += "a finite run ended before it moved its total\n";
    }
    // (A destruction ends its run with no report.)
    if (model.takeDropped() && owed > 0 && step != kDestroyStep)
      faults += "the output FIFO dropped what the client wrote while the run lasted\n";
    // A stop of an arm whose run is not going warns by the arm's record.
    if (step == 3 && owedBefore == 0 && armedBefore && answer.code == nQoUdR100::kStoppedEarly &&
        model.armed.mode != tSampleModel::kFinite)
      faults += "3 warned of an early stop of an arm that took a continuous record\n";
    // The board's FIFO as the FIFO's next commit programs it.
    if (kInput && (step == kReleaseStep || step == kDestroyStep)) {
      tStatus2 committed;
      fifoSupervisor->control(1, nullptr, nullptr, committed);
      if (committed.code != 0)
        faults += "the FIFO's commit answered " + std::to_string(committed.code) + "\n";
      faults += fifoFlagFaults("the next");
      fifoSupervisor->control(4, nullptr, nullptr, committed.clear());
    }
    // The records a commit and an arm take; the count of a run.
    // What the board was last programmed with: a commit's record (also one
    // under a run, for the next arm), or an arm's or a start's with nothing
    // committed or armed since the reservation, as a commit would.
    const bool committed = (step == 1 || step == kDeployStep + 2) && answered;
    const bool first = (step == 4100 || step == 2) && answered && !recordedSinceUp;
    if (committed || first) programmed = model.deployed;
    // A commit with no arm held: a run started next goes by its record.
    if (committed && owedBefore == 0) {
      model.committed = model.deployed;
      if (transfer->state() != Dir::tInterruptPrimitive::kArmed) model.armed = model.deployed;
    }
    if (first && owedBefore == 0) model.committed = model.armed = model.deployed;
    if (committed || first) recordedSinceUp = true;
    // An arm copies what was last programmed into its run's record; a run
    // counts from its arm (an output's preload), else from its start, which
    // with no arm held goes by what was last programmed.
    if ((step == 4100 || step == kDeployStep + 2) && answered) {
      model.committed = model.armed = programmed;
      armedSinceRun = true;
    }
    if (step == 2 && answered && owedBefore == 0) {
      if (!armedBefore) model.committed = model.armed = programmed;
      if (kInput || !armedSinceRun) model.newRun();
      armedSinceRun = false;
    }
    reportsSeen = reports;
    owedBefore = owed;
    armedBefore = transfer && transfer->state() == Dir::tInterruptPrimitive::kArmed;
    return faults;
  }
  void refuseLink(bool refused) {
    if (!refused)
      partner.answers.clear();
    else if constexpr (kInput)
      partner.answers["getTransferObject"] = -50103;
  }
  // Start, and the stop while a run is there to end (commit and arm only
  // move the state: they hold nowhere).
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    std::vector<tEntry> offered = {code(supervisor, 2)};
    if (transfer->isRunning()) offered.push_back(code(supervisor, 3));
    return offered;
  }
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {reached("committed", supervisor, {1}), reached("armed", supervisor, {1, 4100}),
            reached("running", supervisor, {1, 4100, 2})};
  }
  // The state, the run, the endpoint it was given, its records in the FIFO's
  // lists, and the board.
  std::string primitiveState() {
    return "state " + std::to_string(transfer->state()) + ", run " +
           std::to_string(transfer->isRunning()) + ", endpoint " +
           std::to_string(transfer->partner() != nullptr) + ", observers " +
           std::to_string(fifoSupervisor->getReservedPrimitive()->hasObservers()) + ", " +
           boardState();
  }

 private:
  static tSampleRecord recordOf(const typename Dir::tInterruptSettings& given) {
    const auto& fields = given.template record<0>();
    return {static_cast<uint32_t>(fields.transferMode), fields.transferWord3};
  }
  // The input FIFO's mode flag on the board after the FIFO's commit: the
  // flag last deployed to its supervisor, whatever a run did to the board.
  std::string fifoFlagFaults(const std::string& whose) {
    if constexpr (!kInput) return "";
    const uint32_t onBoard = windows.written(window, 0x228, 32) >> 11 & 1;
    if (onBoard == fifoFlag) return "";
    return whose + " FIFO commit programmed mode flag " + std::to_string(onBoard) + ", deployed " +
           std::to_string(fifoFlag) + "\n";
  }
  // The board raises a source: its first pass runs when the source is on
  // and a handler attached; the second pass it asks for runs now, or, in a
  // late row, is owed by the handler. Whether the first pass ran.
  bool raise(uint32_t source, nQoUdRLP100::tEnabledFlag flag) {
    auto* primary = board.primaryHandlers[source].load();
    if (board.enabledFlag(flag) == 0 || primary == nullptr) return false;
    if (primary->handleInterrupt() != nQoMRTB100::iInterruptHandler::kHandledWantsSecondary)
      return true;
    auto* secondary = board.secondaryHandlers[source].load();
    if (latePasses)
      passesOwed.push_back(secondary);
    else
      secondary->handleSecondaryInterrupt();
    return true;
  }

 protected:
  // The second passes owed, each through the handler its first pass found
  // (the FIFO's, which it keeps while the FIFO goes down).
  void runOwedPasses() {
    for (auto* secondary : std::exchange(passesOwed, {})) secondary->handleSecondaryInterrupt();
  }

 private:
  // The polling thread's look at the emptied FIFO, on the test clock, until
  // the end reached the partner or the board's threads had a guard of their
  // own time.
  bool endCame() {
    return untilDoneOrHad([&] { return ends.owing() == 0; }, nQoSim::platformThreads, kAtOnce,
                          moveTheClock);
  }

 protected:
  typename Dir::tFIFOSettings fifoSettings;
  typename Dir::tInterruptSettings settings;
  tSampleModel model;
  tPartner partner{model, ends, log, "partner"};
  std::optional<tSingularResourcePool<typename Dir::tFIFO*>> fifoPool;
  std::optional<tCorrelatedSupervisor<tCorrelatedFIFORow<Dir>>> fifoSupervisor;
  std::optional<typename Dir::tInterruptPrimitive> transfer;
  std::optional<tSingularResourcePool<typename Dir::tInterruptPrimitive*>> pool;
  size_t linesSeen = 0;
  long reportsSeen = 0, owedBefore = 0;
  bool armedSinceRun = false;
  // What the deploy before a re-arm changed.
  std::string deployFaults;
  // Whether a commit, an arm or a start gave the primitive a record since
  // the walk reserved it; what the last of them programmed; whether an arm
  // was held before the step; the FIFO's mode flag deployed.
  bool recordedSinceUp = false;
  tSampleRecord programmed;
  bool armedBefore = false;
  uint32_t fifoFlag = 1;
  // Set by a late row: a fire's second passes wait, owed by their handlers.
  bool latePasses = false;
  // The output FIFO armed since the last fire.
  bool outputFIFOUp = false;
  std::vector<nQoMRTB100::iSecondaryInterruptHandler*> passesOwed;
};

// An interrupt transfer whose fire leaves its second passes (the FIFO's
// and, input, the overrun's) to the next code step or fire. A late pass of
// a run that ended since (stopped, or stopped and opened again by an arm)
// reports, moves and stops nothing of the run after it; one of a run still
// going may end it, as a pass in time would.
template <class Dir>
class tInterruptLatePassRow : public tInterruptRow<Dir> {
  using tBase = tInterruptRow<Dir>;

 public:
  static constexpr const char* kName =
      tBase::kInput ? "CDIInterruptLatePass" : "CDOInterruptLatePass";

 protected:
  void SetUp() override {
    tBase::SetUp();
    this->latePasses = true;
  }
  // The passes owed run first, so that the fire's checks see what it did.
  std::string fired() {
    std::string faults = owedPasses();
    faults += tBase::fired();
    // A run goes from its start, or from the arm that opened it for one.
    reportsAtFire = this->ends.reports();
    liveAtFire =
        this->ends.owing() > 0 || this->transfer->state() == Dir::tInterruptPrimitive::kArmed;
    return faults;
  }
  std::string stepFaults(uint32_t step, const tStatus2& answer) {
    std::string faults = tBase::stepFaults(step, answer);
    if (step == kReleaseStep || step == kDestroyStep) this->passesOwed.clear();
    if (step == kFireStep || (step & 0xFFFF'0000) == kDeployStep) return faults;
    // A stop, an arm, a disarm and an uncommit end the run they meet.
    if (step == 3 || step == 4100 || step == 4101 || step == 4) liveAtFire = false;
    return faults + owedPasses();
  }
  // The passes the last fire owes, of its run or of one that ended since.
  std::string owedPasses() {
    if (this->passesOwed.empty()) return "";
    const bool ended = !liveAtFire || this->ends.reports() != reportsAtFire;
    const long reports = this->ends.reports();
    const uint32_t handed = this->model.handed();
    const std::string runs = this->boardRuns();
    this->runOwedPasses();
    // The board moves what the output FIFO holds to the lines, so that an
    // end left owed to the run after it would come by the emptied FIFO.
    if (!tBase::kInput && ended)
      while (this->outputRuns && this->stepLines(this->model, this->linesSeen)) {
      }
    settle(ended);
    std::string faults;
    if (ended && this->ends.reports() != reports)
      faults += "a late pass of an ended run reported an end to the run after it\n";
    if (ended && this->model.handed() != handed)
      faults += "a late pass of an ended run moved samples of the run after it\n";
    if (ended && this->boardRuns() != runs)
      faults += "a late pass of an ended run changed what the board runs\n";
    this->reportsSeen = this->ends.reports();
    this->owedBefore = this->ends.owing();
    return faults;
  }
  // The output's end comes through the FIFO's polling thread once the FIFO
  // of a run is empty: its look, on the test clock, until the board's threads
  // had a bound of their own time (a run still going may end before it).
  void settle(bool ended) {
    if (tBase::kInput || !this->fifos.output().empty() || !this->transfer->isRunning()) return;
    untilDoneOrHad([&] { return !ended && this->ends.owing() == 0; }, nQoSim::platformThreads,
                   std::chrono::milliseconds(20), moveTheClock);
  }

  long reportsAtFire = 0;
  bool liveAtFire = false;
};

using tCorrelatedRows =
    ::testing::Types<tCDIImmediateRow, tCDOImmediateRow, tFIFORow<tCDIDirection>,
                     tFIFORow<tCDODirection>, tDMARow<tCDIDirection>, tDMARow<tCDODirection>,
                     tInterruptRow<tCDIDirection>, tInterruptRow<tCDODirection>>;
INSTANTIATE_TYPED_TEST_SUITE_P(Correlated, Lifecycle, tCorrelatedRows, tRowNames);
INSTANTIATE_TYPED_TEST_SUITE_P(Correlated, CodeWalk, tCorrelatedRows, tRowNames);
using tLatePassRows =
    ::testing::Types<tInterruptLatePassRow<tCDIDirection>, tInterruptLatePassRow<tCDODirection>>;
INSTANTIATE_TYPED_TEST_SUITE_P(CorrelatedLate, CodeWalk, tLatePassRows, tRowNames);
using tRefusedRows =
    ::testing::Types<tDMARow<tCDIDirection>, tDMARow<tCDODirection>, tInterruptRow<tCDIDirection>>;
INSTANTIATE_TYPED_TEST_SUITE_P(Correlated, FailedLinkLifecycle, tRefusedRows, tRowNames);
// The DMA transfers' failed link with an entry arriving as it is taken down.
using tArrivingRows = ::testing::Types<tDMARow<tCDIDirection>, tDMARow<tCDODirection>>;
INSTANTIATE_TYPED_TEST_SUITE_P(Correlated, ArrivingEntryLifecycle, tArrivingRows, tRowNames);
// The interrupt transfers' linkResource gives the primitive the FIFO and the
// transfer object that a code reads, and its observers. (A DMA transfer
// takes its endpoint only before a commit, so a commit under way refuses
// its link.)
using tFillingRows = ::testing::Types<tInterruptRow<tCDIDirection>, tInterruptRow<tCDODirection>>;
INSTANTIATE_TYPED_TEST_SUITE_P(Correlated, FillLifecycle, tFillingRows, tRowNames);

}  // namespace
}  // namespace nQoTest
