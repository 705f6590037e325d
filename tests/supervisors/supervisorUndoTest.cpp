// Failure and undo paths of the supervisors that keep a state word of their
// own: a pool of another class handed back at once, a stop whose done post
// fails still switching the output off, teardown steps that run on a failed
// status with fresh statuses of their own, a failed forward code whose reverse
// runs on a fresh status, and state words and code ranges on their bounds.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "mrl/iResourceBroker.h"
#include "primitives/calibration/pwmPrimitives.h"
#include "reservation/tSingularResourcePool.h"
#include "sim/simAllocator.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "supervisors/ai/aiTransferSupervisors.h"
#include "supervisors/ao/tBaseAO_DACSupervisor.h"
#include "supervisors/calibration/tTEDSSupervisor.h"
#include "supervisors/calibration/tTavikFREQOUTSupervisor.h"
#include "supervisors/controlRequests.h"
#include "supervisors/simBoardFixture.h"
#include "support/aiTransferDoubles.h"
#include "support/brokerPools.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"

namespace nQoTest {
namespace {

using nQoUdR100::tTavikFREQOUTSupervisor;
using tFREQOUTPool = nQoUdR100::tSingularResourcePool<nQoUdP100::iTavikFREQOUTPrimitive*>;
using tReferencePool = nQoUdR100::tSingularResourcePool<nQoUdP100::iReferenceVoltagePrimitive*>;

// ---- Frequency output --------------------------------------------------------

class FREQOUTUndoTest : public tSimBoardTest {
 protected:
  FREQOUTUndoTest() {
    settings.supervisorRecord().identifier.setDeviceGUID({0x0F, 0x7E});
    settings.supervisorRecord().identifier.setString("FREQOUT", status);
  }
  void SetUp() override {
    tSimBoardTest::SetUp();
    nQoSim::resetResourceBroker();
    primitive.emplace(map, &info);
    settings.supervisorRecord().timebaseSelect = 1;
    settings.supervisorRecord().divisor = 3;
    facade.eventObject = &event;
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    primitive.reset();
    tSimBoardTest::TearDown();
  }
  void offer(nQoMRL100::iLeafResourcePool& pool) {
    nQoMRL100::getResourceBroker(status)->registerPool(&settings.supervisorRecord().identifier,
                                                       &pool, status);
    ASSERT_EQ(status.code, 0);
  }
  int control(tTavikFREQOUTSupervisor& supervisor, uint32_t code) {
    tStatus2 result;
    supervisor.control(code, nullptr, nullptr, result);
    return result.code;
  }
  std::vector<int> brokerOperations() const {
    std::vector<int> operations;
    for (const auto& call : nQoSim::brokerLog()) operations.push_back(call.operation);
    return operations;
  }

  nQoUdP100::tDeviceInfo info;
  std::optional<nQoUdP100::tTavikFREQOUTPrimitive> primitive;
  nQoUdR100::tTavikFREQOUTPrimitiveSettings settings;
  tCallLog calls;
  tScriptedFacade facade{calls, "facade"};
  tScriptedEvent event{calls, "event"};
  tScriptedSupervisorMap supervisorMap{calls, "map"};
};

TEST_F(FREQOUTUndoTest, APoolOfAnotherClassIsHandedBackAtOnceAndNotAgainAtRelease) {
  nQoUdP100::tTavikCalibrationPWMPrimitive reference(map);
  tReferencePool foreign(&reference);
  offer(foreign);
  tTavikFREQOUTSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(settings, &facade, s);
  supervisor.link(supervisorMap, s);
  tStatus2 refused;
  supervisor.reserveResource(refused);
  EXPECT_EQ(refused.code, -89000);
  EXPECT_TRUE(loggedAt(-89000, "tTavikFREQOUTSupervisor", 190));
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
  EXPECT_EQ(supervisor.getState(), 2u);
  EXPECT_EQ(brokerOperations(), (std::vector<int>{6, 7}));
  supervisor.releaseResource(s);
  EXPECT_EQ(brokerOperations(), (std::vector<int>{6, 7}));
  EXPECT_EQ(calls.operations(), "facade.getEventObject");  // no kind registered or ended
  EXPECT_TRUE(windows.writes().empty());
  EXPECT_EQ(s.code, 0);
}

TEST_F(FREQOUTUndoTest, AStopWhoseDonePostFailsStillSwitchesTheOutputOff) {
  tFREQOUTPool pool(&*primitive);
  offer(pool);
  tTavikFREQOUTSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(settings, &facade, s);
  supervisor.link(supervisorMap, s);
  supervisor.reserveResource(s);
  supervisor.linkResource(s);
  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(control(supervisor, 2), 0);
  ASSERT_EQ(supervisor.getState(), 6u);
  windows.clearLog();
  event.answers["post 1 0"] = -50107;
  EXPECT_EQ(control(supervisor, 3), -50107);
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0x4003)}));  // the output goes off
  EXPECT_EQ(supervisor.getState(), 6u);                       // a failed stop moves nothing
  // Commit-cancel runs its steps whatever the post answers, and keeps the first error.
  windows.clearLog();
  calls.clear();
  tStatus2 cancel;
  supervisor.commitCancel(cancel);
  EXPECT_EQ(cancel.code, -50107);
  // The output is off already; the uncommit clears the register.
  EXPECT_EQ(windows.writes(), (tLog{wrote(0x170, 0x0001)}));
  EXPECT_EQ(calls.operations(), "event.post 1 0");
  EXPECT_EQ(supervisor.getState(), 4u);
  supervisor.releaseResource(s);
}

TEST_F(FREQOUTUndoTest, AStopWithoutObserverReportsAtItsOwnLineAndLeavesTheOutputRunning) {
  tFREQOUTPool pool(&*primitive);
  offer(pool);
  tTavikFREQOUTSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(settings, &facade, s);
  supervisor.link(supervisorMap, s);
  nQoSim::failAllocation(1);
  tStatus2 failed;
  supervisor.reserveResource(failed);
  nQoSim::failAllocation(0);
  ASSERT_EQ(failed.code, -50352);
  EXPECT_EQ(control(supervisor, 1), 0);
  EXPECT_EQ(control(supervisor, 2), 0);
  windows.clearLog();
  EXPECT_EQ(control(supervisor, 3), -50004);
  EXPECT_TRUE(loggedAt(-50004, "tTavikFREQOUTSupervisor", 315));
  EXPECT_TRUE(windows.writes().empty());
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

// ---- AO DAC ------------------------------------------------------------------

class tUndoDAC : public nQoUdP100::tBaseAO_DACPrimitive, public tScriptedDouble {
 public:
  explicit tUndoDAC(tCallLog& log) : tBaseAO_DACPrimitive(0, 0), tScriptedDouble(log, "dac") {}
  uint32_t writeValue(const int16_t*, tStatus2& s) override {
    answer("writeValue", s);
    return 0;
  }
  uint32_t writeValues(const int16_t*, uint32_t count, tStatus2& s) override {
    answer("writeValues", s);
    return count;
  }
  void reserve(tStatus2& s) override { answer("reserve", s); }
  void unreserve(tStatus2& s) override { answer("unreserve", s); }
  void commit(tStatus2& s) override { answer("commit", s); }
  void uncommit(tStatus2& s) override { answer("uncommit", s); }
};

class DACUndoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    nQoSim::failAllocation(0);
    nQoSim::clearStatusLog();
    nQoSim::resetResourceBroker();
    tStatus2 s;
    settings.emplace();
    offerPool(settings->record<0>().identifier, {0xDAC, 0x0A0}, "AO_DAC", &pool, s);
    ASSERT_EQ(s.code, 0);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    settings.reset();
  }
  // Brought up and committed: state 5.
  void commit(nQoUdR100::tBaseAO_DACSupervisor& supervisor) {
    tStatus2 s;
    supervisor.initialize(*settings, &facade, s);
    supervisor.link(map, s);
    supervisor.reserveResource(s);
    supervisor.linkResource(s);
    supervisor.control(1, nullptr, nullptr, s);
    ASSERT_EQ(s.code, 0);
    ASSERT_EQ(supervisor.getState(), 5u);
    log.clear();
  }
  // Each logged call as "operation:incoming code".
  std::string callsWithCodes() const {
    std::string out;
    for (const auto& call : log.calls)
      out += (out.empty() ? "" : ", ") + call.operation + ":" + std::to_string(call.incoming);
    return out;
  }

  tCallLog log;
  tUndoDAC dac{log};
  nQoUdR100::tSingularResourcePool<nQoUdP100::tBaseAO_DACPrimitive*> pool{&dac};
  std::optional<nQoUdR100::tAO_DACSettings> settings;
  tScriptedFacade facade{log, "facade"};
  tScriptedSupervisorMap map{log, "map"};
};

TEST_F(DACUndoTest, AFailedUncommitStillLeavesTheResourcesLinkedState) {
  nQoUdR100::tBaseAO_DACSupervisor supervisor;
  commit(supervisor);
  dac.answers["uncommit"] = -50103;
  tStatus2 s;
  supervisor.control(4, nullptr, nullptr, s);
  EXPECT_EQ(s.code, -50103);
  EXPECT_EQ(supervisor.getState(), 4u);
  // A failed commit moves nothing.
  dac.answers["commit"] = -50104;
  tStatus2 refused;
  supervisor.control(1, nullptr, nullptr, refused);
  EXPECT_EQ(refused.code, -50104);
  EXPECT_EQ(supervisor.getState(), 4u);
  EXPECT_EQ(log.operations(), "dac.uncommit, dac.commit");
}

TEST_F(DACUndoTest, TeardownStepsRunOnAFailedStatusWithFreshStatusesOfTheirOwn) {
  nQoUdR100::tBaseAO_DACSupervisor supervisor;
  commit(supervisor);
  tStatus2 failed;
  failed.code = -7;
  supervisor.commitCancel(failed);
  EXPECT_EQ(supervisor.getState(), 4u);
  supervisor.unlinkResource(failed);
  EXPECT_EQ(supervisor.getState(), 3u);
  supervisor.releaseResource(failed);
  EXPECT_EQ(supervisor.getState(), 2u);
  supervisor.unlink(failed);
  EXPECT_EQ(supervisor.getState(), 1u);
  EXPECT_EQ(failed.code, -7);
  EXPECT_EQ(callsWithCodes(), "dac.uncommit:0, dac.unreserve:0");
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
  // The first error stays when an undo step fails too.
  nQoUdR100::tBaseAO_DACSupervisor second;
  commit(second);
  dac.answers["uncommit"] = -50103;
  tStatus2 cancel;
  second.commitCancel(cancel);
  EXPECT_EQ(cancel.code, -50103);
  EXPECT_EQ(second.getState(), 4u);
  second.commitCancel(cancel);  // state 4: nothing more
  EXPECT_EQ(log.operations(), "dac.uncommit");
  tStatus2 s;
  second.releaseResource(s);
}

// ---- Supervisor frame with linkers ---------------------------------------------

// The AI DMA transfer supervisor with its FIFO supervisor (key 1), DMA channel
// (2) and partner (3) in the map.
class LinkedFrameUndoTest : public tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
    fifo.emplace(log, &fifoDescription, setup);
    fifoPool.emplace(&*fifo);
    offer("FIFO", &*fifoPool);
    offer("DMA", &dmaPool);
    nQoUdR100::tAIDeviceFIFOSettings fifoSettings;
    fifoSettings.supervisorRecord().identifier = identifiers[0];
    fifoSupervisor.emplace();
    fifoSupervisor->initialize(fifoSettings, &facade, setup);
    map.entries = {{1, &*fifoSupervisor}, {2, &channel}, {3, &partner}};
    facade.eventObject = &event;
    ASSERT_EQ(setup.code, 0);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    fifoSupervisor.reset();
    fifoPool.reset();
    fifo.reset();
    identifiers.clear();
    tLeakCheckedTest::TearDown();
  }
  void offer(const char* name, nQoMRL100::iLeafResourcePool* pool) {
    identifiers.emplace_back().setString(name, setup);
    nQoMRL100::getResourceBroker(setup)->registerPool(&identifiers.back(), pool, setup);
  }

  tStatus2 setup;
  tCallLog log;
  tScriptedFacade facade{log, "facade"};
  tScriptedSupervisorMap map{log, "map"};
  tScriptedEvent event{log, "event"};
  tScriptedDMAChannel channel{log, "channel"};
  tReadingDMATransfer partner{log, "partner"};
  nQoUdP100::tAIFIFODescription fifoDescription{64, 0, 0};
  std::optional<tBytesFIFO> fifo;
  std::optional<nQoUdR100::tBaseAIDeviceFIFOSupervisorRow::tPool> fifoPool;
  nQoUdP100::tBaseAI_DMATransferPrimitive dma;
  nQoUdR100::tBaseAI_DMATransferSupervisorRow::tPool dmaPool{&dma};
  std::deque<nQoMRL100::tGeneralIdentifier> identifiers;
  std::optional<nQoUdR100::tBaseAIDeviceFIFOSupervisor> fifoSupervisor;
};

TEST_F(LinkedFrameUndoTest, AReleasedPrimitiveIsForgottenByEveryLinker) {
  nQoUdR100::tAI_DMATransferSettings settings;
  auto& words = settings.supervisorRecord();
  words.identifier1 = identifiers[1];
  words.word1 = 1;
  words.word2 = 2;
  words.word3 = 3;
  words.word5 = 1;  // done events
  nQoUdR100::tBaseAI_DMATransferSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(settings, &facade, s);
  supervisor.link(map, s);
  supervisor.reserveResource(s);
  supervisor.linkResource(s);
  supervisor.unlinkResource(s);
  supervisor.releaseResource(s);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
  // Linking again without a reservation reaches no primitive of the last one.
  log.clear();
  tStatus2 relinked;
  supervisor.linkResource(relinked);
  EXPECT_EQ(relinked.code, -50004);
  EXPECT_EQ(log.operations(), "");
  tStatus2 down;
  supervisor.unlinkResource(down);
  supervisor.unlink(down);
}

// ---- TEDS ------------------------------------------------------------------

// Logs each call with the code its status held on entry; the operations named
// in `fail` set their code.
class tUndoCommunicator : public nQoUdP100::iTEDSCommunicator {
 public:
  void commit(tStatus2& s) override { call("commit", s); }
  void arm(tStatus2& s) override { call("arm", s); }
  void start(tStatus2& s) override { call("start", s); }
  void stop(tStatus2& s) override { call("stop", s); }
  void disarm(tStatus2& s) override { call("disarm", s); }
  void uncommit(tStatus2& s) override { call("uncommit", s); }
  void cancel(tStatus2& s) override { call("cancel", s); }
  void readEEPROM(uint32_t, uint32_t, uint32_t, uint8_t*, tStatus2& s) override {
    call("readEEPROM", s);
  }
  void writeEEPROM(uint32_t, uint32_t, uint32_t, const uint8_t*, tStatus2& s) override {
    call("writeEEPROM", s);
  }
  void get8ByteIDBlock(uint32_t, uint8_t*, tStatus2& s) override { call("get8ByteIDBlock", s); }
  void read8BytePROM(uint32_t, uint8_t*, tStatus2& s) override { call("read8BytePROM", s); }
  void write8BytePROM(uint32_t, const uint8_t*, tStatus2& s) override { call("write8BytePROM", s); }
  uint32_t isPROMWritten(uint32_t, tStatus2& s) override {
    call("isPROMWritten", s);
    return 1;
  }

  std::vector<std::string> calls;
  std::map<std::string, int> fail;

 private:
  void call(const std::string& what, tStatus2& s) {
    calls.push_back(what + ":" + std::to_string(s.code));
    if (auto found = fail.find(what); found != fail.end())
      s.setCode(found->second, "test", "tUndoCommunicator", 1);
  }
};

class TEDSUndoTest : public tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
    nQoSim::clearStatusLog();
    pool.emplace(&teds);
    settings.emplace();
    offerPool(settings->record<1>().identifier, {0x7ED5, 3}, "TEDS", &*pool, setup);
    ASSERT_EQ(setup.code, 0);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    settings.reset();
    pool.reset();
    tLeakCheckedTest::TearDown();
  }
  void bringUp(nQoUdR100::tTEDSSupervisor& supervisor) {
    tStatus2 up;
    supervisor.initialize(*settings, nullptr, up);
    supervisor.link(map, up);
    supervisor.reserveResource(up);
    supervisor.linkResource(up);
    ASSERT_EQ(up.code, 0);
  }

  tStatus2 setup;
  tUndoCommunicator teds;
  std::optional<nQoUdR100::tSingularResourcePool<nQoUdP100::iTEDSCommunicator*>> pool;
  std::optional<nQoUdR100::tTEDSSettings> settings;
  tEmptyMap map;
};

// A failed forward code is undone by its reverse, whatever reverses the
// tracker declares: the record holds no failed step for the release to undo.
TEST_F(TEDSUndoTest, AFailedForwardCodeRunsItsReverseOnAFreshStatusAndKeepsTheFirstError) {
  const struct {
    uint32_t code;
    std::map<std::string, int> fail;
    std::vector<std::string> calls;
    int result;
  } rows[] = {
      {1, {{"commit", -50101}}, {"commit:0", "uncommit:0"}, -50101},
      {1, {{"commit", -50101}, {"uncommit", -50102}}, {"commit:0", "uncommit:0"}, -50101},
      {4100, {{"arm", -50103}}, {"arm:0", "disarm:0"}, -50103},
      {2, {{"start", -50104}}, {"start:0", "stop:0"}, -50104},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    nQoUdR100::tTEDSSupervisor supervisor;
    bringUp(supervisor);
    teds.calls.clear();
    teds.fail = row.fail;
    tStatus2 s;
    supervisor.control(row.code, nullptr, nullptr, s);
    EXPECT_EQ(s.code, row.result);
    EXPECT_EQ(teds.calls, row.calls);
    EXPECT_EQ(supervisor.getTracker().getState(setup), 40);
    teds.fail.clear();
    tStatus2 down;
    supervisor.releaseResource(down);
  }
}

TEST_F(TEDSUndoTest, CodesJustOutsideTheSensorMemoryRangeAreRefused) {
  nQoUdR100::tTEDSSupervisor supervisor;
  bringUp(supervisor);
  teds.calls.clear();
  for (uint32_t code : {409u, 416u}) {
    SCOPED_TRACE(code);
    nQoSim::clearStatusLog();
    nQoSim::tByteParameterBlock in(std::vector<uint8_t>(16, 0));
    nQoSim::tByteParameterBlock out(std::vector<uint8_t>(16, 0));
    tStatus2 s;
    supervisor.control(code, &in, &out, s);
    EXPECT_EQ(s.code, -50256);
    EXPECT_TRUE(loggedAt(-50256, "tTEDSSupervisor", 315));
    EXPECT_TRUE(out.written().empty());
  }
  EXPECT_TRUE(teds.calls.empty());
  tStatus2 down;
  supervisor.releaseResource(down);
}

}  // namespace
}  // namespace nQoTest
