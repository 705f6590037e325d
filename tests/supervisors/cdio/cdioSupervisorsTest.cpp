// The correlated digital FIFO, DMA and interrupt supervisors over the real
// CDIO primitives: lifecycle words, control sites, the DMA and interrupt
// linking through their endpoints, commit-cancel, and reservations that the
// broker refuses or answers with a foreign pool.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "primitives/cdio/tBaseCDIInterruptTransferPrimitive.h"
#include "primitives/cdio/tBaseCDI_DMATransferPrimitive.h"
#include "primitives/cdio/tBaseCDOInterruptTransferPrimitive.h"
#include "primitives/cdio/tBaseCDO_DMATransferPrimitive.h"
#include "reservation/tSingularResourcePool.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "sim/simThread.h"
#include "supervisors/cdio/cdioSupervisors.h"
#include "supervisors/cdioBoard.h"
#include "supervisors/controlRequests.h"
#include "supervisors/dioDoubles.h"
#include "support/brokerPools.h"
#include "support/heldCancel.h"
#include "support/heldPass.h"
#include "support/outputTransferDoubles.h"
#include "support/statusRecords.h"
#include "support/unorderedCall.h"

namespace nQoTest {
namespace {

using namespace nQoUdR100;
using nQoUdP100::tBaseCDI_DMATransferPrimitive;
using nQoUdP100::tBaseCDIInterruptTransferPrimitive;
using nQoUdP100::tBaseCDO_DMATransferPrimitive;

constexpr char kCDIDMAFile[] = "source/qomiop/cdio/tBaseCDI_DMATransferPrimitive";
constexpr char kCDODMAFile[] = "source/qomiop/cdio/tBaseCDO_DMATransferPrimitive";

class CDIOSupervisorsTest : public ::testing::Test, public tCDIOBoard<4> {
 public:
  void SetUp() override {
    nQoSim::resetResourceBroker();
    nQoSim::clearStatusLog();
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override { nQoSim::resetResourceBroker(); }

  nQoUdP100::tTavikCDI_FIFOPrimitive* const cdi = &cdiFIFO;
  nQoUdP100::tTavikCDO_FIFOPrimitive* const cdo = &cdoFIFO;

  // Names the settings' resource and offers the pool under that name.
  template <class Settings, class Pool>
  void offer(Settings& settings, Pool& pool, const char* name) {
    tStatus2 s;
    offerPool(settings.template record<0>().identifier, identity, name, &pool, s);
    ASSERT_EQ(s.code, 0);
  }

  tCallLog log;
  tScriptedSupervisorMap supervisors{log, "map"};
};

// Control before reservation, then a code the FIFO does not serve.
template <class Supervisor, class Settings>
void expectNoPrimitiveSite(const char* file, unsigned line) {
  Supervisor supervisor;
  Settings settings;
  tStatus2 s;
  supervisor.initialize(settings, nullptr, s);
  supervisor.control(1, nullptr, nullptr, s);
  EXPECT_EQ(s.code, -50004) << file;
  EXPECT_TRUE(loggedAt(-50004, file, line));
  EXPECT_EQ(supervisor.getLifecycle(), 1u) << file;
}

TEST_F(CDIOSupervisorsTest, ControlWithoutPrimitiveAndUnservedCodes) {
  expectNoPrimitiveSite<tBaseCDI_FIFOSupervisor, tCDI_FIFOSettings>("tBaseCDI_FIFOSupervisor", 166);
  expectNoPrimitiveSite<tBaseCDO_FIFOSupervisor, tCDO_FIFOSettings>("tBaseCDO_FIFOSupervisor", 166);
  expectNoPrimitiveSite<tBaseCDI_DMATransferSupervisor, tCDI_DMATransferSettings>(
      "tBaseCDI_DMATransferSupervisor", 196);
  expectNoPrimitiveSite<tBaseCDO_DMATransferSupervisor, tCDO_DMATransferSettings>(
      "tBaseCDO_DMATransferSupervisor", 195);
  expectNoPrimitiveSite<tBaseCDIInterruptTransferSupervisor, tCDIInterruptTransferSettings>(
      "tBaseCDIInterruptTransferSupervisor", 224);
  expectNoPrimitiveSite<tBaseCDOInterruptTransferSupervisor, tCDOInterruptTransferSettings>(
      "tBaseCDOInterruptTransferSupervisor", 224);

  tCDI_FIFOSettings settings;
  settings.record<0>().fifoModeFlag = 1;
  tSingularResourcePool<nQoUdP100::tBaseCDI_FIFOPrimitive*> pool(cdi);
  offer(settings, pool, "CDI_FIFO");
  tBaseCDI_FIFOSupervisor fifo;
  tStatus2 s;
  fifo.initialize(settings, nullptr, s);
  fifo.link(supervisors, s);
  fifo.reserveResource(s);
  fifo.linkResource(s);
  fifo.control(1, nullptr, nullptr, s);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(fifo.getLifecycle(), 5u);
  for (uint32_t code : {2u, 3u, 77u}) {
    tStatus2 refused;
    fifo.control(code, nullptr, nullptr, refused);
    EXPECT_EQ(refused.code, -50256) << code;
    EXPECT_EQ(fifo.getLifecycle(), 5u);
  }
  EXPECT_TRUE(loggedAt(-50256, "tBaseCDI_FIFOSupervisor", 231));
  fifo.commitCancel(s);
  EXPECT_EQ(fifo.getLifecycle(), 4u);
  fifo.unlinkResource(s);
  fifo.releaseResource(s);
  EXPECT_EQ(fifo.getLifecycle(), 2u);
  EXPECT_EQ(brokerOperations(), (std::vector<int>{6, 7}));
}

// A refused request is -89000 and hands nothing back; a foreign pool is
// -89000 and handed back at once; release then hands back nothing more.
TEST_F(CDIOSupervisorsTest, RefusedOrForeignGrantIsNotReleasedTwice) {
  tCDO_FIFOSettings settings;
  tBaseCDO_FIFOSupervisor fifo;
  tStatus2 s;
  fifo.initialize(settings, nullptr, s);

  nQoSim::scriptBrokerReserve(nullptr);
  fifo.reserveResource(s);
  EXPECT_EQ(s.code, -89000);
  EXPECT_EQ(brokerOperations(), (std::vector<int>{6}));
  tStatus2 release;
  fifo.releaseResource(release);
  EXPECT_EQ(brokerOperations(), (std::vector<int>{6}));

  tSingularResourcePool<nQoUdP100::tBaseCDI_FIFOPrimitive*> foreign(cdi);
  nQoSim::scriptBrokerReserve(&foreign);
  tStatus2 again;
  fifo.reserveResource(again);
  EXPECT_EQ(again.code, -89000);
  EXPECT_EQ(fifo.getReservedPrimitive(), nullptr);
  EXPECT_EQ(brokerOperations(), (std::vector<int>{6, 6, 7}));
  tStatus2 last;
  fifo.releaseResource(last);
  EXPECT_EQ(last.code, 0);
  EXPECT_EQ(brokerOperations(), (std::vector<int>{6, 6, 7}));
  EXPECT_EQ(fifo.getLifecycle(), 2u);

  // Without a broker nothing is reserved and nothing reported.
  nQoSim::setResourceBrokerPresent(false);
  tStatus2 absent;
  fifo.reserveResource(absent);
  EXPECT_EQ(absent.code, 0);
  EXPECT_EQ(fifo.getReservedPrimitive(), nullptr);
}

// Deploys naming other pools while one is held change what the next
// reservation asks for, never what the release hands back.
TEST_F(CDIOSupervisorsTest, TheReleaseHandsBackTheFIFOItWasGranted) {
  tCDI_FIFOSettings namingA, namingB, namingC;
  namingA.record<0>().fifoModeFlag = 1;
  namingB.record<0>().fifoModeFlag = 1;
  namingC.record<0>().fifoModeFlag = 1;
  tSingularResourcePool<nQoUdP100::tBaseCDI_FIFOPrimitive*> a(cdi), b(cdi), c(cdi);
  offer(namingA, a, "CDI_FIFO");
  offer(namingB, b, "CDI_FIFO2");
  offer(namingC, c, "CDI_FIFO3");
  tBaseCDI_FIFOSupervisor fifo;
  expectOnlyTheGrantHandedBack(fifo, namingA, namingB, namingC, namingA.record<0>().identifier,
                               namingB.record<0>().identifier, namingC.record<0>().identifier,
                               nullptr, supervisors);
}

// The DMA supervisor's whole run, for either direction.
template <class Supervisor, class Settings, class Primitive>
void runDMA(CDIOSupervisorsTest& test, tCallLog& log, tScriptedSupervisorMap& map,
            Primitive& transfer, const char* poolName, const char* primitiveFile,
            unsigned modeLine) {
  nQoSim::resetResourceBroker();
  Settings settings;
  auto& fields = settings.template record<0>();
  fields.dmaChannelSupervisorKey = 5;
  fields.dmaTransferSupervisorKey = 6;
  fields.transferMode = 0;
  tSingularResourcePool<Primitive*> pool(&transfer);
  test.offer(settings, pool, poolName);
  tScriptedDMAChannel channel(log, "channel");
  channel.channelNumber = 3;
  tDMAHandlePartner partner(log, "partner");
  map.entries = {{5, &channel}, {6, &partner}};

  Supervisor supervisor;
  tStatus2 s;
  supervisor.initialize(settings, nullptr, s);
  supervisor.link(map, s);
  supervisor.reserveResource(s);
  EXPECT_EQ(supervisor.getLifecycle(), 3u);
  log.clear();
  supervisor.linkResource(s);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(log.operations(), "channel.getChannelNumber, partner.getPartnerHandle");
  EXPECT_EQ(supervisor.getLifecycle(), 4u);
  EXPECT_EQ(supervisor.getLinks().endpoint()->partnerHandle(), &partner.handle);
  EXPECT_EQ(transfer.state(), Primitive::kObserving);

  for (uint32_t code : {1u, 4100u, 2u}) supervisor.control(code, nullptr, nullptr, s);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(supervisor.getLifecycle(), 7u);
  EXPECT_EQ(transfer.state(), Primitive::kLinked);

  supervisor.commitCancel(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(supervisor.getLifecycle(), 4u);
  EXPECT_EQ(transfer.state(), Primitive::kObserving);
  nQoSim::clearStatusLog();
  log.clear();
  supervisor.commitCancel(s);
  EXPECT_EQ(transfer.state(), Primitive::kObserving);
  EXPECT_TRUE(log.calls.empty());

  supervisor.deploy(settings, s);
  EXPECT_EQ(s.code, -223748);
  EXPECT_TRUE(loggedAt(-223748, primitiveFile, modeLine));

  tStatus2 down;
  supervisor.unlinkResource(down);
  EXPECT_EQ(transfer.state(), Primitive::kBuilt);
  supervisor.releaseResource(down);
  supervisor.unlink(down);
  EXPECT_EQ(down.code, 0);
  EXPECT_EQ(supervisor.getLifecycle(), 1u);
}

TEST_F(CDIOSupervisorsTest, DMALinksChannelPartnerAndEndpointAndCancelsByWord) {
  tBaseCDI_DMATransferPrimitive input(&deviceInfo, cdi, &identity, status);
  runDMA<tBaseCDI_DMATransferSupervisor, tCDI_DMATransferSettings>(
      *this, log, supervisors, input, "CDI_DMATransfer", kCDIDMAFile, 235);
  tBaseCDO_DMATransferPrimitive output(&deviceInfo, cdo, &identity, status);
  runDMA<tBaseCDO_DMATransferSupervisor, tCDO_DMATransferSettings>(
      *this, log, supervisors, output, "CDO_DMATransfer", kCDODMAFile, 109);
}

// The input DMA transfer, noting its undo steps.
class tUndoNoting : public tBaseCDI_DMATransferPrimitive {
 public:
  using tBaseCDI_DMATransferPrimitive::tBaseCDI_DMATransferPrimitive;
  void stop(tStatus2& s) override {
    steps += "stop ";
    tBaseCDI_DMATransferPrimitive::stop(s);
  }
  void unlinkDMA(tStatus2& s) override {
    steps += "unlinkDMA ";
    tBaseCDI_DMATransferPrimitive::unlinkDMA(s);
  }
  void uncommit(tStatus2& s) override {
    steps += "uncommit ";
    tBaseCDI_DMATransferPrimitive::uncommit(s);
  }
  std::string steps;
};

// Commit-cancel runs the undo steps whose word lies below the word at entry,
// and none whose word equals it.
TEST_F(CDIOSupervisorsTest, DMACommitCancelUndoesOnlyTheStepsBelowTheWord) {
  const struct {
    std::vector<uint32_t> codes;
    uint32_t word;
    const char* steps;
  } rows[] = {{{1}, 5, "uncommit "},
              {{1, 4100}, 6, "unlinkDMA uncommit "},
              {{1, 4100, 2}, 7, "stop unlinkDMA uncommit "}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.word);
    nQoSim::resetResourceBroker();
    tUndoNoting transfer(&deviceInfo, cdi, &identity, status);
    tCDI_DMATransferSettings settings;
    auto& fields = settings.record<0>();
    fields.dmaChannelSupervisorKey = 5;
    fields.dmaTransferSupervisorKey = 6;
    fields.transferMode = 0;
    tSingularResourcePool<tBaseCDI_DMATransferPrimitive*> pool(&transfer);
    offer(settings, pool, "CDI_DMATransfer");
    tScriptedDMAChannel channel(log, "channel");
    tDMAHandlePartner partner(log, "partner");
    supervisors.entries = {{5, &channel}, {6, &partner}};
    tBaseCDI_DMATransferSupervisor supervisor;
    tStatus2 s, cancel, down;
    supervisor.initialize(settings, nullptr, s);
    supervisor.link(supervisors, s);
    supervisor.reserveResource(s);
    supervisor.linkResource(s);
    for (uint32_t code : row.codes) supervisor.control(code, nullptr, nullptr, s);
    ASSERT_EQ(supervisor.getLifecycle(), row.word);
    transfer.steps.clear();
    supervisor.commitCancel(cancel);
    EXPECT_EQ(transfer.steps, row.steps);
    EXPECT_EQ(supervisor.getLifecycle(), 4u);
    EXPECT_EQ(transfer.state(), tBaseCDI_DMATransferPrimitive::kObserving);
    supervisor.unlinkResource(down);
    supervisor.releaseResource(down);
  }
}

// Codes on another thread run the task to word 7; nothing but the word
// itself orders the test's commit-cancel, and then its destruction of the
// supervisor, after them. Each reads the word the codes left and undoes all
// three steps.
TEST_F(CDIOSupervisorsTest, CommitCancelAndTheDestructorUndoFromTheWordOfCodesOnAnotherThread) {
  tUndoNoting transfer(&deviceInfo, cdi, &identity, status);
  tCDI_DMATransferSettings settings;
  settings.record<0>().dmaChannelSupervisorKey = 5;
  settings.record<0>().dmaTransferSupervisorKey = 6;
  settings.record<0>().transferMode = 0;
  tSingularResourcePool<tBaseCDI_DMATransferPrimitive*> pool(&transfer);
  offer(settings, pool, "CDI_DMATransfer");
  tScriptedDMAChannel channel(log, "channel");
  tDMAHandlePartner partner(log, "partner");
  supervisors.entries = {{5, &channel}, {6, &partner}};
  auto owned = std::make_unique<tBaseCDI_DMATransferSupervisor>();
  tBaseCDI_DMATransferSupervisor* const supervisor = owned.get();
  tStatus2 s, codes, cancel;
  supervisor->initialize(settings, nullptr, s);
  supervisor->link(supervisors, s);
  supervisor->reserveResource(s);
  supervisor->linkResource(s);
  ASSERT_EQ(s.code, 0);
  const auto run = [supervisor, &codes] {
    for (uint32_t code : {1u, 4100u, 2u}) supervisor->control(code, nullptr, nullptr, codes);
  };
  {
    tUnorderedCall call(run);
    ASSERT_TRUE(call.run());
    supervisor->commitCancel(cancel);
  }
  EXPECT_EQ(codes.code, 0);
  EXPECT_EQ(cancel.code, 0);
  EXPECT_EQ(transfer.steps, "stop unlinkDMA uncommit ");
  EXPECT_EQ(supervisor->getLifecycle(), 4u);
  EXPECT_EQ(transfer.state(), tBaseCDI_DMATransferPrimitive::kObserving);

  transfer.steps.clear();
  {
    tUnorderedCall call(run);
    ASSERT_TRUE(call.run());
    owned.reset();
  }
  EXPECT_EQ(codes.code, 0);
  EXPECT_EQ(transfer.steps, "stop unlinkDMA uncommit ");
  EXPECT_EQ(transfer.state(), tBaseCDI_DMATransferPrimitive::kBuilt);
  EXPECT_EQ(brokerOperations(), (std::vector<int>{6, 7}));
}

// A task that no commit-cancel undid is brought down by unlinkResource, by
// what the transfer holds, before its records leave the FIFO's lists; a
// start after unlinkResource is stopped by the release. The next owner finds
// the transfer as built.
TEST_F(CDIOSupervisorsTest, TheReleaseUndoesWhatTheCodesLeftBeforeTheHandBack) {
  for (const bool codeAfterUnlink : {false, true}) {
    SCOPED_TRACE(codeAfterUnlink ? "a start after unlinkResource" : "no commit-cancel");
    nQoSim::resetResourceBroker();
    tUndoNoting transfer(&deviceInfo, cdi, &identity, status);
    tCDI_DMATransferSettings settings;
    auto& fields = settings.record<0>();
    fields.dmaChannelSupervisorKey = 5;
    fields.dmaTransferSupervisorKey = 6;
    fields.transferMode = 0;
    tSingularResourcePool<tBaseCDI_DMATransferPrimitive*> pool(&transfer);
    offer(settings, pool, "CDI_DMATransfer");
    tScriptedDMAChannel channel(log, "channel");
    tDMAHandlePartner partner(log, "partner");
    supervisors.entries = {{5, &channel}, {6, &partner}};
    tBaseCDI_DMATransferSupervisor supervisor;
    tStatus2 s, down;
    supervisor.initialize(settings, nullptr, s);
    supervisor.link(supervisors, s);
    supervisor.reserveResource(s);
    supervisor.linkResource(s);
    for (uint32_t code : {1u, 4100u}) supervisor.control(code, nullptr, nullptr, s);
    if (!codeAfterUnlink) supervisor.control(2, nullptr, nullptr, s);
    transfer.steps.clear();
    supervisor.unlinkResource(down);
    if (codeAfterUnlink) supervisor.control(2, nullptr, nullptr, s);
    ASSERT_EQ(s.code, 0);
    supervisor.releaseResource(down);
    EXPECT_EQ(down.code, 0);
    EXPECT_EQ(transfer.steps,
              codeAfterUnlink ? "unlinkDMA uncommit stop " : "stop unlinkDMA uncommit ");
    EXPECT_EQ(transfer.state(), tBaseCDI_DMATransferPrimitive::kBuilt);
    EXPECT_EQ(supervisor.getLifecycle(), 2u);
  }
}

// A release without unlinkResource looks at the transfer itself: it stops
// only a run that a start began and no stop ended (an arm opens the end, but
// starts no run), unlinks an armed one, uncommits a committed one, and takes
// its records out of the FIFO's lists, so the next owner finds it as built.
TEST_F(CDIOSupervisorsTest, TheReleaseBringsDownWhatTheTransferHolds) {
  const struct {
    std::vector<uint32_t> codes;
    const char* steps;
  } rows[] = {{{1}, "uncommit "},
              {{1, 4100}, "unlinkDMA uncommit "},
              {{1, 4100, 2}, "stop unlinkDMA uncommit "},
              {{1, 4100, 2, 3}, "unlinkDMA uncommit "}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.steps);
    nQoSim::resetResourceBroker();
    tUndoNoting transfer(&deviceInfo, cdi, &identity, status);
    tCDI_DMATransferSettings settings;
    auto& fields = settings.record<0>();
    fields.dmaChannelSupervisorKey = 5;
    fields.dmaTransferSupervisorKey = 6;
    fields.transferMode = 0;
    tSingularResourcePool<tBaseCDI_DMATransferPrimitive*> pool(&transfer);
    offer(settings, pool, "CDI_DMATransfer");
    tScriptedDMAChannel channel(log, "channel");
    tDMAHandlePartner partner(log, "partner");
    supervisors.entries = {{5, &channel}, {6, &partner}};
    tBaseCDI_DMATransferSupervisor supervisor;
    tStatus2 s, down;
    supervisor.initialize(settings, nullptr, s);
    supervisor.link(supervisors, s);
    supervisor.reserveResource(s);
    supervisor.linkResource(s);
    for (uint32_t code : row.codes) supervisor.control(code, nullptr, nullptr, s);
    ASSERT_EQ(s.code, 0);
    transfer.steps.clear();
    supervisor.releaseResource(down);
    EXPECT_EQ(down.code, 0);
    EXPECT_EQ(transfer.steps, row.steps);
    EXPECT_EQ(transfer.state(), tBaseCDI_DMATransferPrimitive::kBuilt);
    EXPECT_FALSE(transfer.isRunning());
  }
}

// A failed linkResource brings down a commit that reached the transfer
// before it, out of reach, and the word stays that of the reservation.
TEST_F(CDIOSupervisorsTest, AFailedLinkBringsDownACommitAndKeepsTheWord) {
  tUndoNoting transfer(&deviceInfo, cdi, &identity, status);
  tCDI_DMATransferSettings settings;
  auto& fields = settings.record<0>();
  fields.dmaChannelSupervisorKey = 5;
  fields.dmaTransferSupervisorKey = 6;
  fields.transferMode = 0;
  tSingularResourcePool<tBaseCDI_DMATransferPrimitive*> pool(&transfer);
  offer(settings, pool, "CDI_DMATransfer");
  tScriptedDMAChannel channel(log, "channel");
  tDMAHandlePartner partner(log, "partner");
  partner.answers["getPartnerHandle"] = -50103;
  supervisors.entries = {{5, &channel}, {6, &partner}};
  tBaseCDI_DMATransferSupervisor supervisor;
  tStatus2 s, refused;
  supervisor.initialize(settings, nullptr, s);
  supervisor.link(supervisors, s);
  supervisor.reserveResource(s);
  ASSERT_EQ(s.code, 0);
  supervisor.reach([](tBaseCDI_DMATransferPrimitive& held) {
    tStatus2 committed;
    held.commit(committed);
  });
  transfer.steps.clear();
  supervisor.linkResource(refused);
  EXPECT_NE(refused.code, 0);
  EXPECT_EQ(transfer.steps, "uncommit ");
  EXPECT_EQ(transfer.state(), tBaseCDI_DMATransferPrimitive::kBuilt);
  EXPECT_EQ(supervisor.getLifecycle(), 3u);
}

// The input DMA transfer, held inside its commit and its data done while a
// hold is set; counting its data-done calls and noting its state as a held
// commit goes on.
class tHeldDMA : public tBaseCDI_DMATransferPrimitive {
 public:
  using tBaseCDI_DMATransferPrimitive::tBaseCDI_DMATransferPrimitive;
  void commit(tStatus2& s) override {
    if (held != nullptr) held->hold();
    stateInCommit = state();
    tBaseCDI_DMATransferPrimitive::commit(s);
  }
  void markDataDone(tStatus2& s) override {
    ++dataDone;
    if (held != nullptr) held->hold();
    tBaseCDI_DMATransferPrimitive::markDataDone(s);
  }
  void uncommit(tStatus2& s) override {
    stateAtUncommit = state();
    tBaseCDI_DMATransferPrimitive::uncommit(s);
  }
  tHeldPass* held = nullptr;
  std::atomic<int> dataDone{0};
  uint32_t stateInCommit = 0;
  uint32_t stateAtUncommit = 0;
};

// The DMA supervisor over a held transfer, linked to a channel and a partner
// (finite when asked), with its resources linked.
struct tHeldDMABringUp {
  tHeldDMABringUp(CDIOSupervisorsTest& test, bool finite)
      : transfer(&test.deviceInfo, test.cdi, &test.identity, test.status),
        pool(&transfer),
        channel(test.log, "channel"),
        partner(test.log, "partner") {
    test.supervisors.entries = {{5, &channel}, {6, &partner}};
    tCDI_DMATransferSettings settings;
    settings.record<0>().dmaChannelSupervisorKey = 5;
    settings.record<0>().dmaTransferSupervisorKey = 6;
    settings.record<0>().transferMode = finite ? 1 : 0;
    test.offer(settings, pool, "CDI_DMATransfer");
    tStatus2 s;
    supervisor.initialize(settings, nullptr, s);
    supervisor.link(test.supervisors, s);
    supervisor.reserveResource(s);
    supervisor.linkResource(s);
    EXPECT_EQ(s.code, 0);
  }
  tHeldDMA transfer;
  tSingularResourcePool<tBaseCDI_DMATransferPrimitive*> pool;
  tScriptedDMAChannel channel;
  tDMAHandlePartner partner;
  tBaseCDI_DMATransferSupervisor supervisor;
};

// A code from another thread is inside the primitive when the release runs:
// the release hands the primitive back only once the code has left it, and
// a code after the release reaches nothing.
TEST_F(CDIOSupervisorsTest, TheReleaseWaitsForACodeUnderWayOnAnotherThread) {
  tHeldDMABringUp up(*this, false);
  tHeldDMA& transfer = up.transfer;
  tBaseCDI_DMATransferSupervisor& supervisor = up.supervisor;

  tHeldPass held;
  transfer.held = &held;
  tStatus2 committing;
  held.run([&] { supervisor.control(1, nullptr, nullptr, committing); });
  held.tearDown(releaseOf(supervisor, false));
  transfer.held = nullptr;
  EXPECT_TRUE(held.teardownWaited()) << "the release returned under the code";
  EXPECT_EQ(committing.code, 0);
  // The commit ran to its end before the release undid it for the hand-back;
  // with no unlinkResource before it, the release also took the records
  // that linkResource registered out of the FIFO's lists.
  EXPECT_EQ(transfer.stateAtUncommit, tBaseCDI_DMATransferPrimitive::kCommitted);
  EXPECT_EQ(transfer.state(), tBaseCDI_DMATransferPrimitive::kBuilt);
  EXPECT_EQ(supervisor.getReservedPrimitive(), nullptr);
  EXPECT_EQ(supervisor.getLifecycle(), 2u);

  tStatus2 late;
  supervisor.control(3, nullptr, nullptr, late);
  EXPECT_EQ(late.code, -50004);
  EXPECT_TRUE(loggedAt(-50004, "tBaseCDI_DMATransferSupervisor", 196));
  EXPECT_EQ(transfer.state(), tBaseCDI_DMATransferPrimitive::kBuilt);
  tStatus2 undo;
  transfer.uncommit(undo);
  transfer.unregisterObservers(undo);
}

// unlinkResource takes the transfer's records out of the FIFO's lists only
// once a code from another thread has left the transfer: the code still finds
// them, and the transfer stays held.
TEST_F(CDIOSupervisorsTest, UnlinkResourceUnregistersOnlyOnceACodeUnderWayHasLeft) {
  tHeldDMABringUp up(*this, false);
  tHeldPass held;
  up.transfer.held = &held;
  tStatus2 committing;
  held.run([&] { up.supervisor.control(1, nullptr, nullptr, committing); });
  held.tearDown([&] {
    tStatus2 down;
    up.supervisor.unlinkResource(down);
    EXPECT_EQ(down.code, 0);
  });
  up.transfer.held = nullptr;
  EXPECT_TRUE(held.teardownWaited()) << "unlinkResource returned under the code";
  EXPECT_EQ(up.transfer.stateInCommit, tBaseCDI_DMATransferPrimitive::kObserving);
  EXPECT_EQ(up.transfer.state(), tBaseCDI_DMATransferPrimitive::kBuilt);
  EXPECT_EQ(up.supervisor.getLifecycle(), 3u);
  tStatus2 again;
  up.supervisor.control(1, nullptr, nullptr, again);
  EXPECT_EQ(again.code, 0);
  EXPECT_EQ(up.transfer.state(), tBaseCDI_DMATransferPrimitive::kCommitted);
  up.supervisor.releaseResource(again);
}

// A finite input's partner tells of data done through the endpoint on its
// own thread: the release hands the primitive back only once such a call
// has left it, and one after the release reaches nothing.
TEST_F(CDIOSupervisorsTest, TheReleaseWaitsForADataDoneUnderWayThroughTheEndpoint) {
  tHeldDMABringUp up(*this, true);
  tHeldDMA& transfer = up.transfer;
  tBaseCDI_DMATransferSupervisor& supervisor = up.supervisor;
  tCDI_DMATransferDestination* endpoint = supervisor.getLinks().endpoint();
  ASSERT_EQ(endpoint->primitive(), &transfer);

  tHeldPass held;
  transfer.held = &held;
  tStatus2 done;
  held.run([&] { endpoint->transferEnded(tStatus2{}, done); });
  held.tearDown(releaseOf(supervisor, true));
  transfer.held = nullptr;
  EXPECT_TRUE(held.teardownWaited()) << "the release returned under the data done";
  EXPECT_EQ(done.code, 0);
  EXPECT_EQ(transfer.dataDone, 1);
  EXPECT_EQ(endpoint->primitive(), nullptr);

  tStatus2 late;
  endpoint->transferEnded(tStatus2{}, late);
  EXPECT_EQ(late.code, 0);
  EXPECT_EQ(transfer.dataDone, 1) << "a data done after the release reached the primitive";
}

// Unlinked endpoints forward nothing; a DMA supervisor without partners
// refuses linkResource; a finite input hands its endpoint to the partner.
TEST_F(CDIOSupervisorsTest, EndpointsForwardOnlyToLinkedTargets) {
  tStatus2 s;
  tCDI_DMATransferDestination destination;
  destination.transferEnded(s);
  destination.transferEnded(tStatus2{}, s);
  tCDIReadable readable;
  uint8_t byte = 0;
  EXPECT_EQ(readable.read(&byte, 1, s), 0u);
  EXPECT_EQ(readable.available(s), 0u);
  tCDOInterruptTransferSource source(s);
  EXPECT_EQ(source.transferData(8, s), 0u);
  EXPECT_EQ(s.code, 0);

  tBaseCDI_DMATransferPrimitive input(&deviceInfo, cdi, &identity, status);
  tCDI_DMATransferSettings settings;
  settings.record<0>().transferMode = 1;
  tSingularResourcePool<tBaseCDI_DMATransferPrimitive*> pool(&input);
  offer(settings, pool, "CDI_DMATransfer");
  tBaseCDI_DMATransferSupervisor supervisor;
  supervisor.initialize(settings, nullptr, s);
  supervisor.reserveResource(s);
  tStatus2 unlinked;
  supervisor.linkResource(unlinked);
  EXPECT_EQ(unlinked.code, -50004);
  EXPECT_EQ(supervisor.getLifecycle(), 3u);

  tScriptedDMAChannel channel(log, "channel");
  tDMAHandlePartner partner(log, "partner");
  supervisors.entries = {{0xFFFFFFFF, &channel}};
  tStatus2 foreign;
  supervisor.link(supervisors, foreign);
  EXPECT_EQ(foreign.code, -89000);
  EXPECT_EQ(supervisor.getLifecycle(), 3u);

  settings.record<0>().dmaChannelSupervisorKey = 1;
  settings.record<0>().dmaTransferSupervisorKey = 2;
  supervisors.entries = {{1, &channel}, {2, &partner}};
  supervisor.deploy(settings, s);
  supervisor.link(supervisors, s);
  log.clear();
  supervisor.linkResource(s);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(log.operations(),
            "channel.getChannelNumber, partner.getPartnerHandle, handle.bindEndpoint");
  EXPECT_EQ(partner.handle.endpoint,
            static_cast<nQoLMSDR100::iDMAEndpoint*>(supervisor.getLinks().endpoint()));
  // Partners reach the primitive through the supervisor's second face.
  auto* face = static_cast<iCDI_DMATransferSupervisor*>(
      supervisor.___CPPKRLDynamicCast(&iCDI_DMATransferSupervisor::___classID));
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->getPrimitive(), &input);
  log.clear();
  supervisor.getLinks().endpoint()->transferEnded(s);
  EXPECT_EQ(log.operations(), "handle.transferEnded");
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
}

TEST_F(CDIOSupervisorsTest, InterruptTransferReadsTheFIFOThroughItsReadable) {
  tCDI_FIFOSettings fifoSettings;
  tSingularResourcePool<nQoUdP100::tBaseCDI_FIFOPrimitive*> fifoPool(cdi);
  offer(fifoSettings, fifoPool, "CDI_FIFO");
  tBaseCDI_FIFOSupervisor fifo;
  tStatus2 s;
  fifo.initialize(fifoSettings, nullptr, s);
  fifo.reserveResource(s);

  tBaseCDIInterruptTransferPrimitive input(&deviceInfo, &description, cdi, status);
  tCDIInterruptTransferSettings settings;
  auto& fields = settings.record<0>();
  fields.firstPartnerSupervisorKey = 1;
  fields.secondPartnerSupervisorKey = 2;
  fields.transferWord1 = 8;
  fields.transferMode = 0;
  fields.transferWord2 = 16;
  tSingularResourcePool<tBaseCDIInterruptTransferPrimitive*> pool(&input);
  offer(settings, pool, "CDIInterruptTransfer");
  tBaseCDIInterruptTransferSupervisor supervisor;
  supervisor.initialize(settings, nullptr, s);

  // A first partner that is no input interrupt transfer.
  tScriptedSupervisor wrong(log, "wrong");
  tInputPartner partner(log, "partner");
  supervisors.entries = {{1, &wrong}, {2, &fifo}};
  supervisor.link(supervisors, s);
  supervisor.reserveResource(s);
  ASSERT_EQ(s.code, 0);
  tStatus2 refused;
  supervisor.linkResource(refused);
  EXPECT_EQ(refused.code, -89000);
  EXPECT_EQ(supervisor.getLifecycle(), 3u);
  EXPECT_EQ(input.state(), tBaseCDIInterruptTransferPrimitive::kBuilt);

  supervisors.entries = {{1, &partner}, {2, &fifo}};
  supervisor.link(supervisors, s);
  supervisor.linkResource(s);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(supervisor.getLifecycle(), 4u);
  EXPECT_EQ(input.state(), tBaseCDIInterruptTransferPrimitive::kObserving);
  auto* destination = supervisor.getLinks().endpoint();
  EXPECT_EQ(destination->stream()->sampleWidth(), 4u);

  fifos.pushInput({0x44332211, 0x88776655});
  log.clear();
  EXPECT_EQ(destination->transferData(8, s), 8u);
  EXPECT_EQ(log.operations(), "object.transfer 8");
  EXPECT_EQ(partner.object.stream, destination->stream());
  EXPECT_EQ(partner.object.bytes,
            (std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}));

  supervisor.unlinkResource(s);
  log.clear();
  EXPECT_EQ(destination->transferData(64, s), 0u);
  EXPECT_EQ(destination->stream()->fifo(), nullptr);
  EXPECT_TRUE(log.calls.empty());
  // The reservation gave the transfer the settings, for its next commit.
  input.commit(s);
  EXPECT_EQ(input.programmed().chunk, 16u);
  supervisor.releaseResource(s);
  EXPECT_EQ(input.state(), tBaseCDIInterruptTransferPrimitive::kBuilt);
  fifo.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

// A code 1 that reaches the interrupt transfer before linkResource, or after
// unlinkResource and before the next linkResource, leaves the registration
// to that linkResource: the FIFO's commit attaches the transfer's handler and
// a FIFO interrupt moves the samples to the partner.
TEST_F(CDIOSupervisorsTest, AnInterruptTransferCommittedBeforeItsLinkRegistersAndMovesData) {
  constexpr uint32_t kCDIFIFOSource = 21, kInputCondition = 0x40000;
  for (const bool linkedBefore : {false, true}) {
    SCOPED_TRACE(linkedBefore ? "linked, unlinked, code 1, linked" : "code 1, linked");
    nQoSim::resetResourceBroker();
    tCDI_FIFOSettings fifoSettings;
    tSingularResourcePool<nQoUdP100::tBaseCDI_FIFOPrimitive*> fifoPool(cdi);
    offer(fifoSettings, fifoPool, "CDI_FIFO");
    tBaseCDI_FIFOSupervisor fifo;
    tStatus2 s;
    fifo.initialize(fifoSettings, nullptr, s);
    fifo.reserveResource(s);

    tBaseCDIInterruptTransferPrimitive input(&deviceInfo, &description, cdi, status);
    tCDIInterruptTransferSettings settings;
    auto& fields = settings.record<0>();
    fields.firstPartnerSupervisorKey = 1;
    fields.secondPartnerSupervisorKey = 2;
    fields.transferWord1 = 1000;  // the limit
    fields.transferMode = 0;      // continuous
    fields.transferWord2 = 2;     // the chunk
    tSingularResourcePool<tBaseCDIInterruptTransferPrimitive*> pool(&input);
    offer(settings, pool, "CDIInterruptTransfer");
    tInputPartner partner(log, "partner");
    supervisors.entries = {{1, &partner}, {2, &fifo}};
    tBaseCDIInterruptTransferSupervisor supervisor;
    supervisor.initialize(settings, nullptr, s);
    supervisor.link(supervisors, s);
    supervisor.reserveResource(s);
    if (linkedBefore) {
      supervisor.linkResource(s);
      supervisor.unlinkResource(s);
    }
    supervisor.control(1, nullptr, nullptr, s);
    supervisor.linkResource(s);
    ASSERT_EQ(s.code, 0);
    EXPECT_EQ(supervisor.getLifecycle(), 4u);

    for (const uint32_t code : {1u, 4100u}) fifo.control(code, nullptr, nullptr, s);
    nQoMRTB100::iInterruptHandler* const handler = board.primaryHandlers[kCDIFIFOSource].load();
    EXPECT_NE(handler, nullptr) << "the FIFO's commit found no transfer observing it";
    for (const uint32_t code : {1u, 4100u, 2u}) supervisor.control(code, nullptr, nullptr, s);
    ASSERT_EQ(s.code, 0);
    fifos.pushInput({0x44332211, 0x88776655});
    fifos.scriptStatus({kInputCondition, 0, 0});  // one chunk, no buffer error, then none
    log.clear();
    if (handler != nullptr) handler->handleInterrupt();
    EXPECT_EQ(log.operations(), "object.transfer 8");
    EXPECT_EQ(partner.object.bytes,
              (std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}));
    EXPECT_EQ(input.transferred(), 2u);

    supervisor.unlinkResource(s);
    supervisor.releaseResource(s);
    fifo.releaseResource(s);
    EXPECT_EQ(s.code, 0);
    EXPECT_FALSE(cdi->hasObservers());
  }
}

// A finite output transfer's link registers its polled observer with the
// FIFO: code 1 and code 4100, each run twice, answer success and keep what
// the first run took (the handlers, the polling thread, the state), and the
// undo codes then give all of it back.
TEST_F(CDIOSupervisorsTest, ASecondCommitOrArmOfTheOutputFIFOKeepsWhatTheFirstTook) {
  constexpr uint32_t kCDOFIFOSource = 24, kCDOOverrunSource = 26;
  tCDO_FIFOSettings fifoSettings;
  fifoSettings.record<0>().fifoModeFlag = 1;
  tSingularResourcePool<nQoUdP100::tBaseCDO_FIFOPrimitive*> fifoPool(cdo);
  offer(fifoSettings, fifoPool, "CDO_FIFO");
  tBaseCDO_FIFOSupervisor fifo;
  tStatus2 s;
  fifo.initialize(fifoSettings, nullptr, s);
  fifo.reserveResource(s);

  nQoUdP100::tBaseCDOInterruptTransferPrimitive output(&deviceInfo, &description, cdo, status);
  tCDOInterruptTransferSettings settings;
  auto& fields = settings.record<0>();
  fields.firstPartnerSupervisorKey = 1;
  fields.secondPartnerSupervisorKey = 2;
  fields.transferWord1 = 8;  // the limit
  fields.transferMode = 1;   // finite
  fields.transferWord2 = 2;  // the chunk
  fields.transferWord3 = 4;  // the total
  tSingularResourcePool<nQoUdP100::tBaseCDOInterruptTransferPrimitive*> pool(&output);
  offer(settings, pool, "CDOInterruptTransfer");
  tScriptedOutputTransfer partner(log, "partner");
  supervisors.entries = {{1, &partner}, {2, &fifo}};
  tBaseCDOInterruptTransferSupervisor supervisor;
  supervisor.initialize(settings, nullptr, s);
  supervisor.link(supervisors, s);
  supervisor.reserveResource(s);
  supervisor.linkResource(s);
  ASSERT_EQ(s.code, 0);
  ASSERT_TRUE(cdo->hasPolledObserver());

  const struct {
    uint32_t code;
    uint32_t word;
    uint32_t state;
  } runs[] = {{1, 5, 2}, {1, 5, 2}, {4100, 6, 3}, {4100, 6, 3}};
  for (const auto& run : runs) {
    SCOPED_TRACE(run.code);
    tStatus2 ran;
    fifo.control(run.code, nullptr, nullptr, ran);
    EXPECT_EQ(ran.code, 0);
    EXPECT_EQ(fifo.getLifecycle(), run.word);
    EXPECT_EQ(cdo->state(), run.state);
    EXPECT_NE(board.primaryHandlers[kCDOFIFOSource], nullptr);
    EXPECT_NE(board.primaryHandlers[kCDOOverrunSource], nullptr);
    EXPECT_EQ(bus.registrations(), 1);
    EXPECT_EQ(nQoSim::liveThreads(), 1);
  }
  for (const uint32_t code : {4101u, 4u}) fifo.control(code, nullptr, nullptr, s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(board.primaryHandlers[kCDOFIFOSource], nullptr);
  EXPECT_EQ(board.primaryHandlers[kCDOOverrunSource], nullptr);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(nQoSim::liveThreads(), 0);
  EXPECT_EQ(cdo->state(), 1u);

  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  fifo.releaseResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_FALSE(cdo->hasPolledObserver());
}

// An output linked while its settings ask for a continuous run, then given
// a finite one before code 1: code 1 gives the FIFO the polled record that a
// finite run ends by, so that the run goes out in full, its FIFO runs empty
// and the partner hears the end, once; the release takes every record out.
TEST_F(CDIOSupervisorsTest, AnOutputMadeFiniteAfterItsLinkReportsItsEndWhenItsFIFORunsEmpty) {
  constexpr uint32_t kCDOFIFOSource = 24, kOutputCondition = 0x4;
  tCDO_FIFOSettings fifoSettings;
  fifoSettings.record<0>().fifoModeFlag = 1;
  tSingularResourcePool<nQoUdP100::tBaseCDO_FIFOPrimitive*> fifoPool(cdo);
  offer(fifoSettings, fifoPool, "CDO_FIFO");
  tBaseCDO_FIFOSupervisor fifo;
  tStatus2 s;
  fifo.initialize(fifoSettings, nullptr, s);
  fifo.reserveResource(s);

  nQoUdP100::tBaseCDOInterruptTransferPrimitive output(&deviceInfo, &description, cdo, status);
  tCDOInterruptTransferSettings settings;
  auto& fields = settings.record<0>();
  fields.firstPartnerSupervisorKey = 1;
  fields.secondPartnerSupervisorKey = 2;
  fields.transferWord1 = 8;  // the limit
  fields.transferMode = 0;   // continuous
  fields.transferWord2 = 2;  // the chunk
  fields.transferWord4 = 2;  // the preload
  tSingularResourcePool<nQoUdP100::tBaseCDOInterruptTransferPrimitive*> pool(&output);
  offer(settings, pool, "CDOInterruptTransfer");
  struct tEndingPartner : tScriptedOutputTransfer {
    using tScriptedOutputTransfer::tScriptedOutputTransfer;
    void transferEnded(tStatus2& ended) override { ends.push_back(ended.code); }
    std::vector<int> ends;
  } partner(log, "partner");
  fifos.setOutputDepth(8);
  partner.bytes = {0x11, 0, 0, 0, 0x22, 0, 0, 0, 0x33, 0, 0, 0, 0x44, 0, 0, 0};
  supervisors.entries = {{1, &partner}, {2, &fifo}};
  tBaseCDOInterruptTransferSupervisor supervisor;
  supervisor.initialize(settings, nullptr, s);
  supervisor.link(supervisors, s);
  supervisor.reserveResource(s);
  supervisor.linkResource(s);
  ASSERT_EQ(s.code, 0);
  ASSERT_FALSE(cdo->hasPolledObserver());

  fields.transferMode = 1;   // finite
  fields.transferWord3 = 4;  // the total
  supervisor.deploy(settings, s);
  supervisor.control(1, nullptr, nullptr, s);
  EXPECT_TRUE(cdo->hasPolledObserver());
  for (const uint32_t code : {1u, 4100u}) fifo.control(code, nullptr, nullptr, s);
  for (const uint32_t code : {4100u, 2u}) supervisor.control(code, nullptr, nullptr, s);
  ASSERT_EQ(s.code, 0);
  fifos.scriptStatus({kOutputCondition, 0, 0});  // one chunk, no buffer error, then none
  board.primaryHandlers[kCDOFIFOSource].load()->handleInterrupt();
  board.secondaryHandlers[kCDOFIFOSource].load()->handleSecondaryInterrupt();
  for (int word = 0; word < 4; ++word) fifos.stepOutput();
  EXPECT_EQ(cdo->waitForDone(5000, s), 1u);
  EXPECT_EQ(fifos.lines(), (std::vector<uint32_t>{0x11, 0x22, 0x11, 0x22}));
  EXPECT_EQ(partner.ends, std::vector<int>{0});
  EXPECT_EQ(output.transferred(), 4u);

  supervisor.control(3, nullptr, nullptr, s);
  EXPECT_EQ(s.code, 0) << "the run saw its FIFO run empty";
  EXPECT_EQ(partner.ends, std::vector<int>{0});
  for (const uint32_t code : {4101u, 4u}) fifo.control(code, nullptr, nullptr, s);
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  fifo.releaseResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_FALSE(cdo->hasPolledObserver());
  EXPECT_FALSE(cdo->hasObservers());
}

}  // namespace
}  // namespace nQoTest
