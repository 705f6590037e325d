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
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "reservation/tSingularResourcePool.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
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

constexpr int kTimeout = -200474;
constexpr uint32_t kLong = 1000;  // ms on the test clock, which stands

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
    // A FIFO command, once the windows are free again.
    windows.onWritten([this](unsigned written, uint32_t offset, uint32_t) {
      if (written == window && offset == 0x224 && !quiet) hold();
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
  tScriptedFacade facade{log, "facade"};
  tScriptedEvent event{eventLog, "event"};
  tScriptedSupervisorMap supervisors{log, "map"};
  tHoldPoint hold;
  tBoardWatch watched;
  // Set while an entry prepares the board before its call: no hold there.
  std::atomic<bool> quiet{false};
};

// An immediate stream, committed and started after each link: its reads or
// writes wait on the FIFO, and a new reservation opens them again.
template <class Dir>
class tImmediateRow : public tCDIORow {
 public:
  using tSupervisor = tCorrelatedSupervisor<tCorrelatedImmediateRow<Dir>>;
  using tPrimitive = typename Dir::tPrimitive;
  static constexpr const char* kName = Dir::kStamped ? "CDIImmediate" : "CDOImmediate";
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  // Its reads and writes, once ended, meet no hold point.
  static constexpr bool kEndsBeforeHold = true;

 protected:
  void SetUp() override {
    tCDIORow::SetUp();
    settings.template record<0>().transferMode = 0;
    settings.template record<0>().transferWord3 = 1;
    fifos.setOutputDepth(4);
    makePrimitive();
    pool.emplace(&*transfer);
    offer(settings, *pool, "Immediate");
    fifos.onStatusRead([this] {
      if (readsBeforeWait > 0 && --readsBeforeWait > 0) return;
      hold();
      if (!commitComes.exchange(false)) return;
      tStatus2 committed;
      transfer->commitChannel(committed);
    });
  }
  void makePrimitive() {
    if constexpr (Dir::kStamped)
      transfer.emplace(&deviceInfo, &description, &cdiFIFO, &identity, status);
    else
      transfer.emplace(&deviceInfo, &description, &cdoFIFO, &identity, status);
  }
  void destroyPrimitive() { transfer.reset(); }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
  void ready(tSupervisor& supervisor, tStatus2& status) { runCodes(supervisor, {1, 2}, status); }
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
    // (A cancel only marks the run: it holds nowhere.)
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
  // Set by the entry that a commit meets: its status reads up to its wait
  // (a write looks twice first), and whether the commit is still to come.
  std::atomic<int> readsBeforeWait{0};
  std::atomic<bool> commitComes{false};
  std::optional<tPrimitive> transfer;
  std::optional<tSingularResourcePool<tPrimitive*>> pool;
};

using tCDIImmediateRow = tImmediateRow<tCDIImmediateDirection>;
using tCDOImmediateRow = tImmediateRow<tCDOImmediateDirection>;

// The board's FIFO of a direction, its mode flag set, with an interrupt
// transfer's observers in its lists (as that transfer's linkResource leaves
// them), so that its commit attaches handlers and its arm enables sources.
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
  }
  // The board's FIFO, made again in its place.
  void destroyPrimitive() { std::destroy_at(boardFIFO()); }
  void makePrimitive() { std::construct_at(boardFIFO(), &cdio, &description, &map, status); }
  auto* boardFIFO() {
    if constexpr (kInput)
      return &cdiFIFO;
    else
      return &cdoFIFO;
  }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
  // The transfer's observers, again after a setup took them out.
  void ready(tSupervisor&, tStatus2& status) { transfer->registerObservers(status); }
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

  typename Dir::tFIFOSettings settings;
  tSingularResourcePool<typename Dir::tFIFO*> pool{fifo()};
  std::optional<typename Dir::tInterruptPrimitive> transfer;
};

// A DMA transfer of a direction linked to a channel and a partner; codes
// come under way, and the partner may refuse its handle.
template <class Dir>
class tDMARow : public tCDIORow {
 public:
  static constexpr const char* kName =
      std::is_same_v<Dir, tCDIDirection> ? "CDI_DMATransfer" : "CDO_DMATransfer";
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  using tRow = tCorrelatedDMARow<Dir>;
  using tSupervisor = tCorrelatedSupervisor<tRow>;
  // The transfer, whose commit holds first and whose unregistration (the
  // first operation of a failed link's take-down) runs the window's hook.
  struct tHeldTransfer : Dir::tDMAPrimitive {
    template <class... tArgs>
    tHeldTransfer(const tHoldPoint& hold, tArgs&&... args)
        : Dir::tDMAPrimitive(std::forward<tArgs>(args)...), hold(hold) {}
    void commit(tStatus2& status) override {
      hold();
      Dir::tDMAPrimitive::commit(status);
    }
    void unregisterObservers(tStatus2& status) override {
      if (takingDown) takingDown();
      Dir::tDMAPrimitive::unregisterObservers(status);
    }
    const tHoldPoint& hold;
    std::function<void()> takingDown;
  };
  // The partner, whose handle runs the window's hook when it refuses it.
  struct tRefusingPartner : tDMAHandlePartner {
    using tDMAHandlePartner::tDMAHandlePartner;
    nQoLMSDR100::iDMAPartnerHandle* getPartnerHandle(tStatus2& status) override {
      if (refused && answers.count("getPartnerHandle") != 0) refused();
      return tDMAHandlePartner::getPartnerHandle(status);
    }
    std::function<void()> refused;
  };

 protected:
  void SetUp() override {
    tCDIORow::SetUp();
    channel.channelNumber = 3;
    supervisors.entries = {{5, &channel}, {6, &partner}};
    settings.template record<0>().dmaChannelSupervisorKey = 5;
    settings.template record<0>().dmaTransferSupervisorKey = 6;
    settings.template record<0>().transferMode = 0;
    makePrimitive();
    pool.emplace(&*transfer);
    offer(settings, *pool, "DMATransfer");
  }
  void makePrimitive() { transfer.emplace(hold, &deviceInfo, &fifo(), &identity, status); }
  void destroyPrimitive() { transfer.reset(); }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
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
  tRefusingPartner partner{log, "partner"};
  std::optional<tHeldTransfer> transfer;
  std::optional<tSingularResourcePool<typename Dir::tDMAPrimitive*>> pool;
};

// An interrupt transfer of a direction over its FIFO's supervisor and the
// platform's transfer partner; codes come under way, and the input's
// partner may refuse its transfer object.
template <class Dir>
class tInterruptRow : public tCDIORow {
 public:
  static constexpr const char* kName =
      std::is_same_v<Dir, tCDIDirection> ? "CDIInterruptTransfer" : "CDOInterruptTransfer";
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};
  using tRow = tCorrelatedInterruptRow<Dir>;
  using tSupervisor = tCorrelatedSupervisor<tRow>;
  static constexpr bool kInput = std::is_same_v<Dir, tCDIDirection>;
  using tPartner = std::conditional_t<kInput, tInputPartner, tScriptedOutputTransfer>;

 protected:
  void SetUp() override {
    tCDIORow::SetUp();
    typename Dir::tFIFO* fifo;
    if constexpr (kInput)
      fifo = &cdiFIFO;
    else
      fifo = &cdoFIFO;
    fifoPool.emplace(fifo);
    offer(fifoSettings, *fifoPool, "FIFO");
    fifoSupervisor.emplace();
    fifoSupervisor->initialize(fifoSettings, nullptr, status);
    fifoSupervisor->reserveResource(status);
    supervisors.entries = {{1, &partner}, {2, &*fifoSupervisor}};
    auto& fields = settings.template record<0>();
    fields.firstPartnerSupervisorKey = 1;
    fields.secondPartnerSupervisorKey = 2;
    fields.transferWord1 = 8;
    fields.transferMode = 0;
    fields.transferWord2 = 16;
    makePrimitive();
    pool.emplace(&*transfer);
    offer(settings, *pool, "InterruptTransfer");
  }
  void makePrimitive() {
    if constexpr (kInput)
      transfer.emplace(&deviceInfo, &description, &cdiFIFO, status);
    else
      transfer.emplace(&deviceInfo, &description, &cdoFIFO, status);
  }
  void destroyPrimitive() { transfer.reset(); }
  void TearDown() override {
    fifoSupervisor.reset();
    tCDIORow::TearDown();
  }
  void up(tSupervisor& supervisor, tStatus2& status) { upWith(supervisor, settings, status); }
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

  typename Dir::tFIFOSettings fifoSettings;
  typename Dir::tInterruptSettings settings;
  tPartner partner{log, "partner"};
  std::optional<tSingularResourcePool<typename Dir::tFIFO*>> fifoPool;
  std::optional<tCorrelatedSupervisor<tCorrelatedFIFORow<Dir>>> fifoSupervisor;
  std::optional<typename Dir::tInterruptPrimitive> transfer;
  std::optional<tSingularResourcePool<typename Dir::tInterruptPrimitive*>> pool;
};

using tCorrelatedRows =
    ::testing::Types<tCDIImmediateRow, tCDOImmediateRow, tFIFORow<tCDIDirection>,
                     tFIFORow<tCDODirection>, tDMARow<tCDIDirection>, tDMARow<tCDODirection>,
                     tInterruptRow<tCDIDirection>, tInterruptRow<tCDODirection>>;
INSTANTIATE_TYPED_TEST_SUITE_P(Correlated, Lifecycle, tCorrelatedRows, tRowNames);
INSTANTIATE_TYPED_TEST_SUITE_P(Correlated, CodeWalk, tCorrelatedRows, tRowNames);
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
