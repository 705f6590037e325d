// The analog-input immediate transfers over logging primitives: time stamps
// and intervals of stream reads, the operation behind each code, the
// reservation steps and their undo, and the DMA attributes.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "orb/tClassImplementation.h"
#include "primitives/ai/tAIImmediateDMATransferPrimitive.h"
#include "primitives/ai/tAIScanningFrontEndPrimitive.h"
#include "primitives/aiTransferFixture.h"
#include "sim/simAllocator.h"
#include "sim/simMemBlocks.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "sim/simStreamAttributes.h"
#include "sim/simSync.h"
#include "sim/simTime.h"
#include "supervisors/ai/aiImmediateTransferSupervisors.h"
#include "support/brokerPools.h"
#include "support/heldCall.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoSim::tSimStreamAttributes;
using tCall = tSimStreamAttributes::tCall;
constexpr uint64_t kSecond = 1'000'000'000;
constexpr uint64_t kHalf = 1ull << 63;

class tLoggedImmediate : public nQoUdP100::tBaseAIImmediateTransferPrimitive,
                         public nQoTest::tScriptedDouble {
 public:
  explicit tLoggedImmediate(nQoTest::tCallLog& log) : tScriptedDouble(log, "immediate") {}
  using tScriptedDouble::answer;
  void reserveTransfer(tStatus2& s) override { answer("reserveTransfer", s); }
  void commitTransfer(tStatus2& s) override { answer("commitTransfer", s); }
  void armTransfer(tStatus2& s) override { answer("armTransfer", s); }
  void startTransfer(tStatus2& s) override {
    answer("startTransfer", s);
    if (onStart) onStart();
    tBaseAIImmediateTransferPrimitive::startTransfer(s);
  }
  void stopTransfer(tStatus2& s) override { answer("stopTransfer", s); }
  void notifyDone(tStatus2& s) override { answer("notifyDone", s); }
  void disarmTransfer(tStatus2& s) override { answer("disarmTransfer", s); }
  void uncommitTransfer(tStatus2& s) override { answer("uncommitTransfer", s); }
  void unreserveTransfer(tStatus2& s) override { answer("unreserveTransfer", s); }
  void requestCancel() override {
    tStatus2 s;
    answer("requestCancel", s);
  }
  // Answers the count asked for, or samples when set.
  uint32_t read(void*, uint32_t count, tStatus2& s, uint32_t*, uint32_t timeout,
                tTimerTimeUnit unit) override {
    answer("read " + std::to_string(count) + " " + std::to_string(timeout) + " " +
               std::to_string(unit),
           s);
    if (onRead) onRead();
    return samples.value_or(count);
  }
  std::optional<uint32_t> samples;
  std::function<void()> onRead;
  std::function<void()> onStart;
};

class tLoggedImmediateDMA : public nQoUdP100::tBaseAIImmediateDMATransferPrimitive,
                            public nQoTest::tScriptedDouble {
 public:
  explicit tLoggedImmediateDMA(nQoTest::tCallLog& log) : tScriptedDouble(log, "dma") {}
  using tScriptedDouble::answer;
  void reserveDMAChannel(tStatus2& s) override { answer("reserveDMAChannel", s); }
  void releaseDMAChannel(tStatus2& s) override { answer("releaseDMAChannel", s); }
  void commitChannel(tStatus2& s) override { answer("commitChannel", s); }
  void uncommitChannel(tStatus2& s) override { answer("uncommitChannel", s); }
  void commit(tStatus2& s, const char*) override { answer("commit", s); }
  void uncommit(tStatus2& s) override { answer("uncommit", s); }
  void arm(tStatus2& s) override {
    answer("arm", s);
    if (onArm) onArm();
  }
  void disarm(tStatus2& s) override { answer("disarm", s); }
  // Keeps what the supervisor deploys of the header's words.
  void deployHeaderWords(const tDeployedWords& words) override {
    deployed = words;
    tBaseAIImmediateDMATransferPrimitive::deployHeaderWords(words);
  }
  std::function<void()> onArm;
  tDeployedWords deployed;

 protected:
  nQoUdRLP100::tVESKChannel* channelMapFor(uint32_t, tStatus2&) override { return nullptr; }
  void routeFIFO(uint32_t, tStatus2&) override {}
  void disconnectFIFO(tStatus2&) override {}
};

class AIImmediateTransferTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    nQoTest::tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
    nQoSim::useTestClock(1000 * kSecond);
    identifier.emplace();
    identifier->setDeviceGUID({7, 9});
    identifier->setString("AIImmediateTransfer", setup);
    facade.eventObject = &event;
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    nQoSim::resetTime();
    identifier.reset();
    settings.reset();
    nQoTest::tLeakCheckedTest::TearDown();
  }

  // initialize, link, and reserveResource plus linkResource when asked.
  template <class tSupervisor, class tPool>
  void bringUp(tSupervisor& supervisor, tPool& pool, bool reserve = true) {
    nQoMRL100::getResourceBroker(setup)->registerPool(&*identifier, &pool, setup);
    settings->supervisorRecord().identifier = *identifier;
    tStatus2 status;
    supervisor.initialize(*settings, &facade, status);
    supervisor.link(map, status);
    if (reserve) {
      supervisor.reserveResource(status);
      supervisor.linkResource(status);
    }
    ASSERT_EQ(status.code, 0);
    log.clear();
  }

  tStatus2 setup;
  nQoTest::tCallLog log;
  nQoTest::tScriptedFacade facade{log, "facade"};
  nQoTest::tScriptedEvent event{log, "event"};
  nQoTest::tScriptedSupervisorMap map{log, "map"};
  std::optional<nQoMRL100::tGeneralIdentifier> identifier;
  std::optional<nQoUdR100::tAIImmediateTransferSettings> settings{std::in_place};
};

TEST_F(AIImmediateTransferTest, ReadsReportTheStampOfTheirFirstSampleAndAdvanceItExactly) {
  tLoggedImmediate primitive(log);
  nQoUdR100::tAIImmediateTransferSupervisorRow::tPool pool(&primitive);
  settings->supervisorRecord().word1 = 0;
  settings->supervisorRecord().sampleInterval.integer = 1;
  settings->supervisorRecord().sampleInterval.fraction = kHalf;  // 1.5 s
  nQoUdR100::tAIImmediateTransferSupervisor supervisor;
  bringUp(supervisor, pool);
  tStatus2 arm;
  supervisor.control(4100, nullptr, nullptr, arm);
  EXPECT_TRUE(primitive.isFirstRead());

  tSimStreamAttributes attributes;
  uint8_t buffer[16];
  tStatus2 status;
  EXPECT_EQ(supervisor.read(4, 1000, buffer, nullptr, &attributes, status), 4u);
  EXPECT_TRUE(primitive.isFirstRead()) << "the stamp's run is the supervisor's own record";
  nQoSim::advanceClock(3 * kSecond);  // the next stamp follows the interval, not the clock
  EXPECT_EQ(supervisor.read(2, 0, buffer, nullptr, &attributes, status), 2u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(attributes.log, (std::vector<tCall>{{tSimStreamAttributes::kStamp, {0, 1000}},
                                                {tSimStreamAttributes::kInterval, {kHalf, 1}},
                                                {tSimStreamAttributes::kStamp, {0, 1006}},
                                                {tSimStreamAttributes::kInterval, {kHalf, 1}}}));
  EXPECT_EQ(supervisor.getTimeStamp().words(), (tPALTime128{0, 1009}));
  EXPECT_EQ(log.operations(),
            "immediate.startTransfer, immediate.read 4 1000 3, immediate.read 2 0 3");

  primitive.samples = 0;
  attributes.log.clear();
  EXPECT_EQ(supervisor.read(5, 7, buffer, nullptr, &attributes, status), 0u);
  EXPECT_TRUE(attributes.log.empty()) << "no samples, no attributes";
  EXPECT_EQ(supervisor.getTimeStamp().words(), (tPALTime128{0, 1009}));
  supervisor.releaseResource(status);
}

TEST_F(AIImmediateTransferTest, WithTheSoftwareStampEachReadReportsItsStartAndNoInterval) {
  tLoggedImmediate primitive(log);
  nQoUdR100::tAIImmediateTransferSupervisorRow::tPool pool(&primitive);
  settings->supervisorRecord().sampleInterval.integer = 2;
  nQoUdR100::tAIImmediateTransferSupervisor supervisor;
  bringUp(supervisor, pool);

  tSimStreamAttributes attributes;
  attributes.failCode[tSimStreamAttributes::kStamp] = -7;
  uint8_t buffer[8];
  tStatus2 status;
  EXPECT_EQ(supervisor.read(3, 0, buffer, nullptr, &attributes, status), 3u);
  EXPECT_EQ(status.code, -7) << "a failing attribute call merges into the read's status";
  tStatus2 second;
  nQoSim::advanceClock(kSecond / 2);
  supervisor.read(1, 0, buffer, nullptr, &attributes, second);
  EXPECT_EQ(attributes.log, (std::vector<tCall>{{tSimStreamAttributes::kStamp, {0, 1000}},
                                                {tSimStreamAttributes::kInterval, {0, 0}},
                                                {tSimStreamAttributes::kStamp, {kHalf, 1000}},
                                                {tSimStreamAttributes::kInterval, {0, 0}}}));
  supervisor.releaseResource(status);
}

// A run is stamped by the clock its start (4100) took: a deploy under it
// reaches only the next run's stamps, also while a read is under way.
TEST_F(AIImmediateTransferTest, ReadsStampByTheClockTheirRunsStartTook) {
  tLoggedImmediate primitive(log);
  nQoUdR100::tAIImmediateTransferSupervisorRow::tPool pool(&primitive);
  auto& words = settings->supervisorRecord();
  words.word1 = 0;
  words.sampleInterval.integer = 1;
  words.sampleInterval.fraction = kHalf;  // 1.5 s
  nQoUdR100::tAIImmediateTransferSupervisor supervisor;
  bringUp(supervisor, pool);
  tStatus2 code;
  supervisor.control(4100, nullptr, nullptr, code);
  tSimStreamAttributes attributes;
  uint8_t buffer[16];
  tStatus2 status;
  EXPECT_EQ(supervisor.read(4, 0, buffer, nullptr, &attributes, status), 4u);
  words.word1 = 1;  // the software stamp and an interval of 2 s, for the next run
  words.sampleInterval.integer = 2;
  words.sampleInterval.fraction = 0;
  supervisor.deploy(*settings, status);
  nQoSim::advanceClock(3 * kSecond);
  EXPECT_EQ(supervisor.read(2, 0, buffer, nullptr, &attributes, status), 2u);

  // A read under way while a deploy and the next start come keeps its run's
  // clock; the read after it goes by the new run's and, as its first, takes
  // the system time afresh.
  nQoTest::tHeldCall held(nQoTest::tHeldCall::kGuard);
  primitive.onRead = [&] { held.hold(); };
  tStatus2 readStatus;
  std::thread reader([&] { supervisor.read(1, 0, buffer, nullptr, &attributes, readStatus); });
  ASSERT_TRUE(held.waitUntilInside());
  words.word1 = 0;
  words.sampleInterval.integer = 3;
  supervisor.deploy(*settings, status);
  tStatus2 next;
  supervisor.control(4100, nullptr, nullptr, next);
  EXPECT_EQ(next.code, -50256);
  held.letGo();
  reader.join();
  primitive.onRead = nullptr;
  EXPECT_EQ(supervisor.read(1, 0, buffer, nullptr, &attributes, status), 1u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(readStatus.code, 0);
  EXPECT_EQ(attributes.log, (std::vector<tCall>{{tSimStreamAttributes::kStamp, {0, 1000}},
                                                {tSimStreamAttributes::kInterval, {kHalf, 1}},
                                                {tSimStreamAttributes::kStamp, {0, 1006}},
                                                {tSimStreamAttributes::kInterval, {kHalf, 1}},
                                                {tSimStreamAttributes::kStamp, {0, 1009}},
                                                {tSimStreamAttributes::kInterval, {kHalf, 1}},
                                                {tSimStreamAttributes::kStamp, {0, 1003}},
                                                {tSimStreamAttributes::kInterval, {0, 3}}}));
  EXPECT_EQ(supervisor.getTimeStamp().words(), (tPALTime128{0, 1006}));
  supervisor.releaseResource(status);
}

TEST_F(AIImmediateTransferTest, ReadsWithoutAPrimitiveAnswerNothingAndTouchNothing) {
  tLoggedImmediate primitive(log);
  nQoUdR100::tAIImmediateTransferSupervisorRow::tPool pool(&primitive);
  nQoUdR100::tAIImmediateTransferSupervisor supervisor;
  bringUp(supervisor, pool, false);
  tSimStreamAttributes attributes;
  uint8_t buffer[4];
  tStatus2 before, after, status;
  EXPECT_EQ(supervisor.read(4, 0, buffer, nullptr, &attributes, before), 0u);
  EXPECT_EQ(before.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAIImmediateTransferSupervisor", 290));
  supervisor.reserveResource(status);
  supervisor.releaseResource(status);
  log.clear();
  EXPECT_EQ(supervisor.read(4, 0, buffer, nullptr, &attributes, after), 0u);
  EXPECT_EQ(after.code, -50004);
  EXPECT_TRUE(attributes.log.empty());
  EXPECT_EQ(log.operations(), "");
}

TEST_F(AIImmediateTransferTest, EachCodeReachesOneOperationAndEndsRefused) {
  tLoggedImmediate primitive(log);
  nQoUdR100::tAIImmediateTransferSupervisorRow::tPool pool(&primitive);
  nQoUdR100::tAIImmediateTransferSupervisor supervisor;
  bringUp(supervisor, pool);
  const struct {
    uint32_t code;
    const char* operation;
  } cases[] = {{1, "immediate.armTransfer"},    {4100, "immediate.startTransfer"},
               {3, "immediate.notifyDone"},     {4101, "immediate.stopTransfer"},
               {4, "immediate.disarmTransfer"}, {77, ""}};
  for (const auto& c : cases) {
    log.clear();
    nQoSim::clearStatusLog();
    tStatus2 status;
    supervisor.control(c.code, nullptr, nullptr, status);
    EXPECT_EQ(log.operations(), c.operation) << c.code;
    EXPECT_EQ(status.code, -50256) << c.code;
    EXPECT_TRUE(nQoTest::loggedAt(-50256, "tBaseAIImmediateTransferSupervisor", 214)) << c.code;
    EXPECT_EQ(supervisor.getTracker().getState(setup), 40) << c.code;
  }
  nQoSim::clearStatusLog();
  tStatus2 start;
  supervisor.control(2, nullptr, nullptr, start);
  EXPECT_EQ(start.code, -50256);
  EXPECT_TRUE(nQoTest::loggedAt(-50256, "qomiop/ai/tBaseAIImmediateTransferPrimitive", 1082));
  EXPECT_FALSE(nQoTest::loggedAt(-50256, "tBaseAIImmediateTransferSupervisor", 214));

  log.clear();
  tStatus2 cancel, available;
  supervisor.commitCancel(cancel);
  EXPECT_EQ(cancel.code, 0);
  EXPECT_EQ(log.operations(), "") << "no flag is set, so nothing is undone";
  uint8_t buffer[4];
  EXPECT_EQ(supervisor.readAvailable(4, buffer, available), 0u);
  EXPECT_EQ(available.code, -200455);
  EXPECT_TRUE(nQoTest::loggedAt(-200455, "tBaseAIImmediateTransferSupervisor", 332));
  EXPECT_EQ(supervisor.getInputStreamPtr(setup), &supervisor);
  log.clear();
  tStatus2 status;
  supervisor.requestCancel(status);
  EXPECT_EQ(log.operations(), "immediate.requestCancel");
  supervisor.unlinkResource(status);
  supervisor.releaseResource(status);
  log.clear();
  supervisor.requestCancel(status);
  EXPECT_EQ(log.operations(), "") << "nothing to cancel below state 40";
}

TEST_F(AIImmediateTransferTest, ReservingRegistersEventsTakesThePoolAndReservesThePrimitive) {
  tLoggedImmediate primitive(log);
  nQoUdR100::tAIImmediateTransferSupervisorRow::tPool pool(&primitive);
  nQoUdR100::tAIImmediateTransferSupervisor supervisor;
  bringUp(supervisor, pool, false);
  tStatus2 status;
  supervisor.reserveResource(status);
  EXPECT_EQ(log.operations(),
            "event.registerEvent 1, event.registerEvent 2, immediate.reserveTransfer, "
            "immediate.commitTransfer");
  EXPECT_EQ(nQoSim::brokerLog().size(), 1u);
  log.clear();
  supervisor.releaseResource(status);
  EXPECT_EQ(log.operations(),
            "immediate.uncommitTransfer, immediate.unreserveTransfer, event.unregisterEvent 1, "
            "event.unregisterEvent 2");
  EXPECT_EQ(nQoSim::brokerLog().back().operation, 7);
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);

  // A failing primitive reserve hands the pool back and ends the events.
  log.clear();
  primitive.answers["commitTransfer"] = -5;
  tStatus2 failing;
  supervisor.reserveResource(failing);
  EXPECT_EQ(failing.code, -5);
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
  EXPECT_EQ(nQoSim::brokerLog().back().operation, 7);
  EXPECT_EQ(log.operations(),
            "event.registerEvent 1, event.registerEvent 2, immediate.reserveTransfer, "
            "immediate.commitTransfer, event.unregisterEvent 1, event.unregisterEvent 2");

  // No broker: nothing reserved, no error, and no attributes to set.
  log.clear();
  settings->supervisorRecord().word19 = 1;  // no done or error events
  supervisor.deploy(*settings, status);
  nQoSim::setResourceBrokerPresent(false);
  tStatus2 absent;
  supervisor.reserveResource(absent);
  EXPECT_EQ(absent.code, 0);
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
  EXPECT_EQ(log.operations(), "");
}

// A deploy while the transfer is held changes which kinds the next
// reservation registers; the release ends exactly those of its own.
TEST_F(AIImmediateTransferTest, TheReleaseEndsTheRegistrationsOfItsReserveAfterADeploy) {
  const struct {
    const char* name;
    uint32_t reserved, deployed;
    const char* registered;
    const char* released;
  } cases[] = {
      {"a deploy that drops both kinds", 0, 1,
       "event.registerEvent 1, event.registerEvent 2, immediate.reserveTransfer, "
       "immediate.commitTransfer",
       "immediate.uncommitTransfer, immediate.unreserveTransfer, event.unregisterEvent 1, "
       "event.unregisterEvent 2"},
      {"a deploy that adds both kinds", 1, 0, "immediate.reserveTransfer, immediate.commitTransfer",
       "immediate.uncommitTransfer, immediate.unreserveTransfer"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    nQoSim::resetResourceBroker();
    tLoggedImmediate primitive(log);
    nQoUdR100::tAIImmediateTransferSupervisorRow::tPool pool(&primitive);
    settings->supervisorRecord().word19 = c.reserved;
    nQoUdR100::tAIImmediateTransferSupervisor supervisor;
    bringUp(supervisor, pool, false);
    tStatus2 status;
    supervisor.reserveResource(status);
    EXPECT_EQ(log.operations(), c.registered);
    settings->supervisorRecord().word19 = c.deployed;
    supervisor.deploy(*settings, status);
    log.clear();
    supervisor.releaseResource(status);
    EXPECT_EQ(log.operations(), c.released);
    EXPECT_EQ(status.code, 0);
    log.clear();
  }
}

TEST_F(AIImmediateTransferTest, APoolOfAnotherClassIsHandedBack) {
  tLoggedImmediateDMA other(log);
  nQoUdR100::tAIImmediateDMATransferSupervisorRow::tPool pool(&other);
  nQoUdR100::tAIImmediateTransferSupervisor supervisor;
  bringUp(supervisor, pool, false);
  tStatus2 status;
  supervisor.reserveResource(status);
  EXPECT_EQ(status.code, -89000);
  EXPECT_TRUE(nQoTest::loggedAt(-89000, "tSingularReserver", 107));
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
  EXPECT_EQ(nQoSim::brokerLog().back().operation, 7);
}

// The header words it deploys to the primitive: a sample size sets one flag
// or none.
TEST_F(AIImmediateTransferTest, TheDMATransferTakesItsWordsAndRefusesSampleSizesBelowOne) {
  const struct {
    uint32_t sampleSize;
    int code;
    bool flag8, word20;
  } cases[] = {{1, 0, false, false},
               {2, 0, true, false},
               {3, 0, false, true},
               {0, -50150, false, false},
               {0x80000000, -50150, false, false}};
  for (const auto& c : cases) {
    nQoSim::resetResourceBroker();
    nQoSim::clearStatusLog();
    tLoggedImmediateDMA primitive(log);
    nQoUdR100::tAIImmediateDMATransferSupervisorRow::tPool pool(&primitive);
    settings->supervisorRecord().longWord = 0x1234;
    settings->supervisorRecord().word2 = 9;
    settings->supervisorRecord().word3 = 50;
    settings->supervisorRecord().word4 = 6;
    settings->supervisorRecord().word6 = c.sampleSize;
    nQoUdR100::tAIImmediateDMATransferSupervisor supervisor;
    bringUp(supervisor, pool, false);
    tStatus2 status;
    supervisor.reserveResource(status);
    EXPECT_EQ(status.code, c.code) << c.sampleSize;
    const auto& words = primitive.deployed;
    EXPECT_EQ(words.word12, 1u);
    EXPECT_EQ(words.word16, 0u);
    EXPECT_EQ(words.word24, 50u);
    EXPECT_EQ(words.word32, 6u);
    EXPECT_EQ(words.setFlag8, c.flag8) << c.sampleSize;
    EXPECT_EQ(words.setWord20, c.word20) << c.sampleSize;
    if (c.code != 0) {
      EXPECT_TRUE(nQoTest::loggedAt(-50150, "tAIImmediateDMATransferSupervisor", 190));
      EXPECT_EQ(supervisor.getPrimitive(), nullptr) << "handed back";
      EXPECT_EQ(nQoSim::brokerLog().back().operation, 7);
      EXPECT_EQ(log.operations(),
                "event.registerEvent 1, event.registerEvent 2, dma.reserveDMAChannel, "
                "dma.commitChannel, dma.uncommitChannel, dma.releaseDMAChannel, "
                "event.unregisterEvent 1, event.unregisterEvent 2");
    }
    log.clear();
    tStatus2 code2;
    if (c.code == 0) {
      supervisor.control(2, nullptr, nullptr, code2);
      EXPECT_TRUE(nQoTest::loggedAt(-50256, "qomiop/ai/tBaseAIImmediateDMATransferPrimitive", 891));
    }
    supervisor.releaseResource(status);
    log.clear();
  }
}

// The template's own instances: made and destroyed by name, and their own
// transfer reservation refuses in both directions.
template <class tSupervisor>
void checkTemplateInstance(const char* name, nQoTest::tScriptedFacade& facade,
                           nQoTest::tScriptedSupervisorMap& map, nQoTest::tCallLog& log,
                           nQoUdR100::tAIImmediateTransferSettings& settings) {
  SCOPED_TRACE(name);
  const int64_t live = nQoSim::liveAllocations();
  int code = 0;
  nQoORB100::tObject* object = nQoORB100::tClassRegistry::createByName(name, code);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(name), 1);
  auto* supervisor =
      static_cast<tSupervisor*>(object->___CPPKRLDynamicCast(&tSupervisor::___classID));
  ASSERT_NE(supervisor, nullptr);

  tStatus2 status;
  supervisor->initialize(settings, &facade, status);
  supervisor->link(map, status);
  ASSERT_EQ(status.code, 0);
  log.clear();
  nQoSim::clearStatusLog();
  const std::size_t brokerCalls = nQoSim::brokerLog().size();
  tStatus2 reserve;
  supervisor->reserveResource(reserve);
  EXPECT_EQ(reserve.code, -50256);
  EXPECT_TRUE(nQoTest::loggedAt(-50256, "tBaseAIImmediateTransferSupervisor", 375));
  EXPECT_EQ(nQoSim::brokerLog().size(), brokerCalls);  // no pool asked for
  EXPECT_EQ(log.operations(),
            "event.registerEvent 1, event.registerEvent 2, event.unregisterEvent 1, "
            "event.unregisterEvent 2");
  EXPECT_EQ(supervisor->getTracker().getState(status), 20);
  EXPECT_EQ(supervisor->getPrimitive(), nullptr);
  tStatus2 release;
  supervisor->releaseResource(release);
  EXPECT_EQ(release.code, -50256);
  EXPECT_TRUE(nQoTest::loggedAt(-50256, "tBaseAIImmediateTransferSupervisor", 382));

  object->getClass(code).deleteInstance(object, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(nQoORB100::tClassRegistry::liveInstances(name), 0);
  EXPECT_EQ(nQoSim::liveAllocations(), live);
}

TEST_F(AIImmediateTransferTest, TheTemplatesOwnInstancesAreMadeByNameAndReserveNoTransfer) {
  nQoTest::tLoadedModule module;
  tLoggedImmediate primitive(log);
  nQoUdR100::tAIImmediateTransferSupervisorRow::tPool pool(&primitive);
  nQoMRL100::getResourceBroker(setup)->registerPool(&*identifier, &pool, setup);
  settings->supervisorRecord().identifier = *identifier;
  checkTemplateInstance<nQoUdR100::tBaseAIImmediateTransferSupervisorOfTransfer>(
      "nQoUdR100::tBaseAIImmediateTransferSupervisor<nQoMIOP::tBaseAIImmediateTransferPrimitive>",
      facade, map, log, *settings);
  checkTemplateInstance<nQoUdR100::tBaseAIImmediateTransferSupervisorOfDMATransfer>(
      "nQoUdR100::tBaseAIImmediateTransferSupervisor<nQoMIOP::"
      "tBaseAIImmediateDMATransferPrimitive>",
      facade, map, log, *settings);
}

// Deploys while the transfer is held name other pools for the next
// reservation only; the release hands back the one held.
TEST_F(AIImmediateTransferTest, TheReleaseHandsBackThePoolItWasGranted) {
  tLoggedImmediate first(log), second(log), third(log);
  nQoUdR100::tAIImmediateTransferSupervisorRow::tPool poolA(&first), poolB(&second), poolC(&third);
  nQoUdR100::tAIImmediateTransferSettings namingA, namingB, namingC;
  nQoTest::offerPool(namingA.supervisorRecord().identifier, {7, 9}, "AIImmediateTransfer", &poolA,
                     setup);
  nQoTest::offerPool(namingB.supervisorRecord().identifier, {7, 9}, "AIImmediateTransfer2", &poolB,
                     setup);
  nQoTest::offerPool(namingC.supervisorRecord().identifier, {7, 9}, "AIImmediateTransfer3", &poolC,
                     setup);
  ASSERT_EQ(setup.code, 0);
  nQoUdR100::tAIImmediateTransferSupervisor supervisor;
  nQoTest::expectOnlyTheGrantHandedBack(
      supervisor, namingA, namingB, namingC, namingA.supervisorRecord().identifier,
      namingB.supervisorRecord().identifier, namingC.supervisorRecord().identifier, &facade, map);
}

// A release with no unlinkResource before it takes back the done target
// that linkResource gave, as unlinkResource would, before the transfer goes
// back: the next owner's transfer posts to no event of this task.
TEST_F(AIImmediateTransferTest, AReleaseAloneTakesBackTheDoneTargetOfItsLink) {
  tLoggedImmediate primitive(log);
  nQoUdR100::tAIImmediateTransferSupervisorRow::tPool pool(&primitive);
  nQoUdR100::tAIImmediateTransferSupervisor supervisor;
  bringUp(supervisor, pool);
  ASSERT_EQ(primitive.getDoneTarget(), &event);
  tStatus2 status;
  supervisor.releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(primitive.getDoneTarget(), nullptr);
  EXPECT_EQ(log.operations(),
            "immediate.uncommitTransfer, immediate.unreserveTransfer, event.unregisterEvent 1, "
            "event.unregisterEvent 2");
}

// A stream read on the user's thread is inside the primitive when the
// release runs: the release takes the primitive out and hands it back only
// once the read has left it (the hold lets go at its bound, not by the
// test). A read after the release finds none.
TEST_F(AIImmediateTransferTest, TheReleaseHandsThePrimitiveBackOnlyAfterAReadUnderWayLeft) {
  tLoggedImmediate primitive(log);
  nQoUdR100::tAIImmediateTransferSupervisorRow::tPool pool(&primitive);
  nQoUdR100::tAIImmediateTransferSupervisor supervisor;
  bringUp(supervisor, pool);
  nQoTest::tHeldCall held;
  std::string inside;
  primitive.onRead = [&] {
    held.hold();
    inside = log.operations();
  };
  uint8_t buffer[16];
  tStatus2 readStatus;
  uint32_t samples = 0;
  std::thread reader(
      [&] { samples = supervisor.read(4, 0, buffer, nullptr, nullptr, readStatus); });
  ASSERT_TRUE(held.waitUntilInside());
  tStatus2 status;
  supervisor.releaseResource(status);
  held.letGo();
  reader.join();
  EXPECT_TRUE(held.expired()) << "the release returned while the read was inside the primitive";
  EXPECT_EQ(inside, "immediate.read 4 0 3") << "the primitive was released under the read";
  EXPECT_EQ(samples, 4u);
  EXPECT_EQ(readStatus.code, 0);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
  EXPECT_EQ(log.operations(),
            "immediate.read 4 0 3, immediate.uncommitTransfer, immediate.unreserveTransfer, "
            "event.unregisterEvent 1, event.unregisterEvent 2");
  tStatus2 after;
  EXPECT_EQ(supervisor.read(4, 0, buffer, nullptr, nullptr, after), 0u);
  EXPECT_EQ(after.code, -50004);
}

// The same for a code: 4100 from another thread is inside the primitive's
// start when the release runs; the release hands the primitive back only
// once the code has left it, and the code keeps its answer.
TEST_F(AIImmediateTransferTest, TheReleaseHandsThePrimitiveBackOnlyAfterACodeUnderWayLeft) {
  tLoggedImmediate primitive(log);
  nQoUdR100::tAIImmediateTransferSupervisorRow::tPool pool(&primitive);
  nQoUdR100::tAIImmediateTransferSupervisor supervisor;
  bringUp(supervisor, pool);
  nQoTest::tHeldCall held;
  std::string inside;
  primitive.onStart = [&] {
    held.hold();
    inside = log.operations();
  };
  tStatus2 armed;
  std::thread sender([&] { supervisor.control(4100, nullptr, nullptr, armed); });
  ASSERT_TRUE(held.waitUntilInside());
  tStatus2 status;
  supervisor.releaseResource(status);
  held.letGo();
  sender.join();
  EXPECT_TRUE(held.expired()) << "the release returned while the code was inside the primitive";
  EXPECT_EQ(inside, "immediate.startTransfer") << "the primitive was released under the code";
  EXPECT_EQ(armed.code, -50256);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(),
            "immediate.startTransfer, immediate.stopTransfer, immediate.uncommitTransfer, "
            "immediate.unreserveTransfer, event.unregisterEvent 1, event.unregisterEvent 2");
  tStatus2 after;
  supervisor.control(4100, nullptr, nullptr, after);
  EXPECT_EQ(after.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tAutoController", 30));
  EXPECT_EQ(log.calls.size(), 6u);
}

// The DMA row: an arm (4100) from another thread has passed its checks when
// the release runs; the channel is uncommitted and goes back to the bus only
// once the arm has left the primitive.
TEST_F(AIImmediateTransferTest, TheDMAChannelGoesBackOnlyAfterAnArmUnderWayLeft) {
  tLoggedImmediateDMA primitive(log);
  nQoUdR100::tAIImmediateDMATransferSupervisorRow::tPool pool(&primitive);
  settings->supervisorRecord().word6 = 2;
  nQoUdR100::tAIImmediateDMATransferSupervisor supervisor;
  bringUp(supervisor, pool);
  nQoTest::tHeldCall held;
  std::string inside;
  primitive.onArm = [&] {
    held.hold();
    inside = log.operations();
  };
  tStatus2 armed, status;
  std::thread sender([&] { supervisor.control(4100, nullptr, nullptr, armed); });
  ASSERT_TRUE(held.waitUntilInside());
  supervisor.releaseResource(status);
  held.letGo();
  sender.join();
  EXPECT_TRUE(held.expired()) << "the release returned while the arm was inside the primitive";
  EXPECT_EQ(inside, "dma.arm") << "the channel was released under the arm";
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(),
            "dma.arm, dma.uncommitChannel, dma.releaseDMAChannel, event.unregisterEvent 1, "
            "event.unregisterEvent 2");
}

// The DMA row over the real transfer on the AI road and a channel window,
// with the task's scheduler action: its resolver is on the bus from the
// commit on.
class AIImmediateDMAReleaseTest : public nQoTest::tAIRoadTest {
 protected:
  void SetUp() override {
    nQoTest::tAIRoadTest::SetUp();
    nQoSim::resetResourceBroker();
    channel = std::make_unique<nQoUdRLP100::tVESKChannel>(&bus, vesk, &status);
    channels.fill(channel.get());
    smallFIFO = std::make_unique<nQoUdP100::tAIDeviceFIFOPrimitive>(&smallDescription, map,
                                                                    dispatcher, status);
    frontEndDescription.rangeCodes = &anyRange;
    frontEnd = std::make_unique<nQoUdP100::tAIScanningFrontEndPrimitive>(&frontEndDescription, map,
                                                                         helper, status);
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.timing.timingMode = 2;
    config.timing.strobeLoadValue = 4;
    config.hasRouting = 1;
    config.routing.words[7] = 19;
    commitTiming(config);
    nQoUdP100::tAIScanningFrontEndPrimitiveConfig frontEndConfig;
    frontEndConfig.channels.append(nQoUdP100::tAIScanningFrontEndConfig{});
    commitChannels(*frontEnd, frontEndConfig);
    transfer = std::make_unique<nQoUdP100::tAIImmediateDMATransferPrimitive>(
        &bus, &deviceInfo, frontEnd.get(), converter, timing, smallFIFO.get(), map, channels.data(),
        8, status);
    pool.emplace(transfer.get());
    nQoTest::offerPool(*identifier, {7, 9}, "AIImmediateDMATransfer", &*pool, status);
    settings->supervisorRecord().identifier = *identifier;
    settings->supervisorRecord().word16 = kSchedulerKey;
    facade.eventObject = &event;
    supervisorMap.entries[kSchedulerKey] = &scheduler;
    bus.setDMAChannelNumber(4);
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    settings.reset();
    identifier.reset();
    pool.reset();
    transfer.reset();
    frontEnd.reset();
    smallFIFO.reset();
    channel.reset();
    EXPECT_EQ(nQoSim::liveMemBlocks(), 0);
    nQoTest::tAIRoadTest::TearDown();
  }
  // Up to resources linked.
  void bringUp(nQoUdR100::tAIImmediateDMATransferSupervisor& supervisor) {
    tStatus2 up;
    supervisor.initialize(*settings, &facade, up);
    supervisor.link(supervisorMap, up);
    supervisor.reserveResource(up);
    supervisor.linkResource(up);
    ASSERT_EQ(up.code, 0);
  }

  static constexpr uint32_t kSchedulerKey = 5;
  const unsigned vesk = windows.addWindow(0x84);
  nQoUdP100::tAIFIFODescription smallDescription{4, 4, 4};
  nQoUdP100::tAIFrontEndDescription frontEndDescription;
  std::unique_ptr<nQoUdRLP100::tVESKChannel> channel;
  std::array<nQoUdRLP100::tVESKChannel*, 8> channels{};
  std::unique_ptr<nQoUdP100::tAIDeviceFIFOPrimitive> smallFIFO;
  std::unique_ptr<nQoUdP100::tAIScanningFrontEndPrimitive> frontEnd;
  std::unique_ptr<nQoUdP100::tAIImmediateDMATransferPrimitive> transfer;
  std::optional<nQoUdR100::tAIImmediateDMATransferSupervisorRow::tPool> pool;
  std::optional<nQoMRL100::tGeneralIdentifier> identifier{std::in_place};
  std::optional<nQoUdR100::tAIImmediateTransferSettings> settings{std::in_place};
  nQoTest::tCallLog calls;
  nQoTest::tScriptedFacade facade{calls, "facade"};
  nQoTest::tScriptedEvent event{calls, "event"};
  nQoTest::tScriptedSupervisorMap supervisorMap{calls, "map"};
  nQoTest::tScriptedSchedulerSupervisor scheduler{calls, "scheduler"};
};

// A task cleared while committed (code 1) or armed (4100) reaches the release
// without a commit-cancel, since this supervisor enables no code: after
// unlinkResource, or (armed) alone. The release stops the channel, takes the
// resolver off the bus, frees the buffer and takes back the task's action
// and event before the channel goes back, so an interrupt on the line after
// it reaches no resolver and the next reservation finds the transfer fresh.
TEST_F(AIImmediateDMAReleaseTest, TheReleaseOfACommittedOrArmedTransferHandsBackAFreshChannel) {
  for (const bool armed : {false, true}) {
    SCOPED_TRACE(armed ? "armed" : "committed");
    nQoUdR100::tAIImmediateDMATransferSupervisor supervisor;
    bringUp(supervisor);
    tStatus2 code;
    supervisor.control(1, nullptr, nullptr, code);
    if (armed) supervisor.control(4100, nullptr, nullptr, code.clear());
    EXPECT_EQ(code.code, -50256);
    ASSERT_NE(transfer->resolver(), nullptr);
    const int registrations = bus.registrations();
    ASSERT_NE(transfer->buffer(), nullptr);
    windows.clearLog();
    tStatus2 down;
    if (!armed) supervisor.unlinkResource(down);
    supervisor.releaseResource(down);
    EXPECT_EQ(down.code, 0);
    EXPECT_EQ(transfer->getSchedulerAction(), nullptr);
    EXPECT_EQ(transfer->getEvent(), nullptr);
    EXPECT_EQ(bus.registrations(), registrations - 1) << "the resolver stayed on the bus";
    EXPECT_EQ(transfer->resolver(), nullptr);
    EXPECT_EQ(transfer->buffer(), nullptr);
    EXPECT_EQ(transfer->linkChain(), nullptr);
    EXPECT_EQ(nQoSim::liveMemBlocks(), 0);
    EXPECT_EQ(bus.reservedDMAChannels(), 0);
    EXPECT_EQ(transfer->transferState(), 1u);
    bool stopped = false;
    for (const nQoTest::tAccess& access : windows.writes())
      stopped = stopped || (access.window == vesk && access.offset == 0 && access.value == 4);
    EXPECT_TRUE(stopped) << "the channel went back started";
    windows.setRead(vesk, 0x3C, 32, 0x80000);
    bus.raise(1);

    nQoUdR100::tAIImmediateDMATransferSupervisor next;
    bringUp(next);
    EXPECT_EQ(transfer->transferState(), 3u);
    next.unlinkResource(down);
    next.releaseResource(down);
    supervisor.unlink(down);
    EXPECT_EQ(down.code, 0);
    EXPECT_EQ(bus.reservedDMAChannels(), 0);
  }
}

// The programmed-I/O row over the real transfer on the AI road: one channel
// of one sample a set, the supervisor's reads blocking on the transfer's own
// event, stamped by an interval of 1 s, and no done or error events.
class AIImmediateTransferRoadTest : public nQoTest::tAIRoadTest {
 protected:
  void SetUp() override {
    nQoTest::tAIRoadTest::SetUp();
    nQoSim::resetResourceBroker();
    nQoSim::setClock(1000 * kSecond);
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.timing.timingMode = 2;
    config.timing.strobeLoadValue = 1;
    config.hasRouting = 1;
    config.routing.words[7] = 19;
    commitTiming(config);
    frontEndDescription.rangeCodes = &anyRange;
    frontEnd = std::make_unique<nQoUdP100::tAIScanningFrontEndPrimitive>(&frontEndDescription, map,
                                                                         helper, status);
    nQoUdP100::tAIScanningFrontEndPrimitiveConfig channels;
    channels.channels.append(nQoUdP100::tAIScanningFrontEndConfig{});
    channels.channels[0].channelFlags = 1;
    commitChannels(*frontEnd, channels);
    wfnsc = std::make_unique<nQoUdP100::tBaseAI_WFNSCPrimitive>(timing, converter);
    description.fifo = &fifoDescription;
    description.firstEntry = &entry;
    transfer = std::make_unique<nQoUdP100::tBaseAIImmediateTransferPrimitive>(
        &bus, &deviceInfo, frontEnd.get(), wfnsc.get(), converter, timing, fifo, &description,
        status);
    pool.emplace(transfer.get());
    nQoTest::offerPool(*identifier, {7, 9}, "AIImmediateTransfer", &*pool, status);
    auto& words = settings->supervisorRecord();
    words.identifier = *identifier;
    words.word1 = 0;
    words.word6 = 2;
    words.word19 = 1;
    words.sampleInterval.integer = 1;
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    settings.reset();
    identifier.reset();
    pool.reset();
    transfer.reset();
    wfnsc.reset();
    frontEnd.reset();
    nQoTest::tAIRoadTest::TearDown();
  }
  // Reserved, with every code answering -50256 after its operation.
  void bringUp(nQoUdR100::tAIImmediateTransferSupervisor& supervisor) {
    tStatus2 up;
    supervisor.initialize(*settings, nullptr, up);
    supervisor.reserveResource(up);
    ASSERT_EQ(up.code, 0);
  }
  static void code(nQoUdR100::tAIImmediateTransferSupervisor& supervisor, uint32_t code) {
    tStatus2 answer;
    supervisor.control(code, nullptr, nullptr, answer);
    EXPECT_EQ(answer.code, -50256) << code;
  }
  // The event that the transfer's blocking waiter opened for itself last.
  static const iSync* ownEvent() {
    const iSync* opened = nullptr;
    for (const auto& record : nQoSim::syncLog())
      if (record.operation == nQoSim::tSyncRecord::kOpen && record.option == 44)
        opened = record.object;
    return opened;
  }

  nQoUdP100::tAIFrontEndDescription frontEndDescription;
  nQoUdP100::tAIDescription description;
  std::unique_ptr<nQoUdP100::tAIScanningFrontEndPrimitive> frontEnd;
  std::unique_ptr<nQoUdP100::tBaseAI_WFNSCPrimitive> wfnsc;
  std::unique_ptr<nQoUdP100::tBaseAIImmediateTransferPrimitive> transfer;
  std::optional<nQoUdR100::tAIImmediateTransferSupervisorRow::tPool> pool;
  std::optional<nQoMRL100::tGeneralIdentifier> identifier{std::in_place};
  std::optional<nQoUdR100::tAIImmediateTransferSettings> settings{std::in_place};
};

// A stream read given after a stop (4101), with no live run, waits for the
// run that the next 4100 begins and is stamped as that run's first read: by
// the system time at its start and the interval that the run's start took.
// The run's next read goes on from that stamp.
TEST_F(AIImmediateTransferRoadTest, AReadGivenWithNoLiveRunIsStampedByTheRunItTook) {
  nQoUdR100::tAIImmediateTransferSupervisor supervisor;
  bringUp(supervisor);
  code(supervisor, 1);
  const iSync* const event = ownEvent();
  ASSERT_NE(event, nullptr) << "code 1 made no blocking waiter";
  code(supervisor, 4100);
  tSimStreamAttributes attributes;
  uint32_t sample = 0;
  auto* const destination = reinterpret_cast<uint8_t*>(&sample);
  tStatus2 status;
  model.push(0x11);
  EXPECT_EQ(supervisor.read(1, 0, destination, nullptr, &attributes, status), 1u);
  code(supervisor, 4101);
  settings->supervisorRecord().sampleInterval.integer = 2;  // the next run's
  supervisor.deploy(*settings, status);
  nQoSim::advanceClock(5 * kSecond);

  tStatus2 joined;
  uint32_t joinedSamples = 0;
  std::atomic<bool> returned{false};
  std::thread reader([&] {
    joinedSamples = supervisor.read(1, 0xFFFFFFFF, destination, nullptr, &attributes, joined);
    returned = true;
  });
  const bool blocked = nQoTest::boundedUntil([&] { return nQoSim::syncBlocked(event) != 0; });
  nQoSim::advanceClock(5 * kSecond);
  model.push(0x22);
  code(supervisor, 4100);
  const bool took = nQoTest::boundedUntil([&] { return returned.load(); });
  if (!took) transfer->requestCancel();
  reader.join();
  EXPECT_TRUE(blocked) << "the read never waited";
  EXPECT_TRUE(took) << "the read waited on after the start";
  EXPECT_EQ(joinedSamples, 1u);
  EXPECT_EQ(sample, 0x22u);
  EXPECT_EQ(joined.code, 0);

  model.push(0x33);
  EXPECT_EQ(supervisor.read(1, 0, destination, nullptr, &attributes, status), 1u);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(attributes.log, (std::vector<tCall>{{tSimStreamAttributes::kStamp, {0, 1000}},
                                                {tSimStreamAttributes::kInterval, {0, 1}},
                                                {tSimStreamAttributes::kStamp, {0, 1005}},
                                                {tSimStreamAttributes::kInterval, {0, 2}},
                                                {tSimStreamAttributes::kStamp, {0, 1007}},
                                                {tSimStreamAttributes::kInterval, {0, 2}}}));
  supervisor.releaseResource(status);
  EXPECT_EQ(status.code, 0);
}

}  // namespace
