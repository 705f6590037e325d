// The driver: initialize on the device tree, the answer codes and their block
// checks, refused codes, removal and re-arrival with the placeholder, whole-
// device reservation, load failures, and the idle count.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "device/tDriver.h"
#include "mrl/tGUIDIdentifier.h"
#include "mrl/tGeneralIdentifier.h"
#include "sim/simDevices.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "sim/tSimBoard.h"
#include "sim/tSimDeviceTable.h"
#include "support/moduleFixture.h"
#include "support/registerLogs.h"
#include "support/statusRecords.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoSim::tByteParameterBlock;
using nQoUdR100::tDriver;

constexpr nQoORB100::tGUID kGUID{1, 2};
constexpr uint32_t kHandle = 0;

tByteParameterBlock block(std::size_t size) {
  return tByteParameterBlock(std::vector<uint8_t>(size, 0));
}

class DriverTest : public tLeakCheckedTest {
 protected:
  explicit DriverTest(uint32_t productId = 0x5D01) : board(productId, 16) {}
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    driver = std::make_unique<tDriver>();
    nQoSim::resetResourceBroker();
    tree.setNode(kHandle, &board.node);
    nQoSim::setDeviceTree(&tree);
  }
  void TearDown() override {
    driver.reset();
    nQoSim::setDeviceTree(nullptr);
    nQoSim::resetResourceBroker();
    tLeakCheckedTest::TearDown();
  }
  tDriver& initialized() {
    driver->initialize(kGUID, kHandle, status);
    return *driver;
  }
  tDriver& broughtUp() {
    initialized().control(8, nullptr, nullptr, status);
    return *driver;
  }
  int code(uint32_t controlCode, nQoMRL100::iControlParameterBlock* out = nullptr) {
    tStatus2 local;
    driver->control(controlCode, nullptr, out, local);
    return local.code;
  }
  static nQoMRL100::tGeneralIdentifier identifier(const char* name, uint32_t index) {
    nQoMRL100::tGeneralIdentifier id;
    tStatus2 ignored;
    id.setDeviceGUID(kGUID);
    id.setString(name, ignored);
    id.setIndex(index);
    return id;
  }

  tLoadedModule module;
  nQoSim::tSimBoard board;
  nQoSim::tSimDeviceTable tree{{&board.device}};
  std::unique_ptr<tDriver> driver;
  tStatus2 status;
};

TEST_F(DriverTest, InitializeNeedsANodeAndAKnownProduct) {
  tree.setNode(kHandle, nullptr);
  driver->initialize(kGUID, kHandle, status);
  EXPECT_EQ(lastReport(), "-50300 qoudrk tDriver 317");

  tree.setNode(kHandle, &board.node);
  board.node.setNumber(2, 0x1234);
  tStatus2 unknown;
  driver->initialize(kGUID, kHandle, unknown);
  EXPECT_EQ(unknown.code, -223747);
}

TEST_F(DriverTest, AnswerCodesCheckTheirBlockAndWriteOneWord) {
  board.node.setFourCharacterCode(9, 0x41424344);
  initialized();
  ASSERT_EQ(status.code, 0);
  const struct {
    uint32_t code;
    unsigned missingLine;
    unsigned smallLine;
    uint32_t value;
  } rows[] = {{7, 2583, 2589, kHandle},     {11, 2560, 2566, 0x5D01}, {19, 2695, 2701, 0},
              {28, 2602, 2608, 0x41424344}, {32, 2667, 2673, 0},      {35, 3018, 3024, 0}};
  for (const auto& row : rows) {
    EXPECT_EQ(code(row.code), -50004) << row.code;
    EXPECT_EQ(lastReport(), "-50004 qoudrk tDriver " + std::to_string(row.missingLine));
    auto small = block(3);
    EXPECT_EQ(code(row.code, &small), -50150) << row.code;
    EXPECT_EQ(lastReport(), "-50150 qoudrk tDriver " + std::to_string(row.smallLine));
    auto out = block(4);
    EXPECT_EQ(code(row.code, &out), 0) << row.code;
    ASSERT_EQ(out.writer().operations().size(), 1u) << row.code;
    EXPECT_EQ(static_cast<uint32_t>(out.writer().operations()[0].value), row.value) << row.code;
  }
  EXPECT_TRUE(driver->isIdle(0, 0, nullptr));
}

TEST_F(DriverTest, ASimulatedTagReadThroughTheCodeAccessorAnswers1) {
  board.node.setFourCharacterCode(2, 0x2073696D);
  initialized();
  auto out = block(4);
  EXPECT_EQ(code(19, &out), 0);
  EXPECT_EQ(out.writer().operations()[0].value, 1);
  auto product = block(4);
  EXPECT_EQ(code(11, &product), 0);
  EXPECT_EQ(product.writer().operations()[0].value, 0x5D01);
}

TEST_F(DriverTest, RefusedCodesAndAnErrorStatusChangeNothing) {
  auto out = block(4);
  EXPECT_EQ(code(11, &out), -200324);  // before initialize
  EXPECT_EQ(lastReport(), "-200324 qoudrk tDriver 2572");
  EXPECT_EQ(out.writer().operations()[0].value, 0);
  initialized();
  for (uint32_t refused : {0u, 4u, 9u, 27u, 38u, 0xFFFFFFFFu}) {
    EXPECT_EQ(code(refused), -50256) << refused;
    EXPECT_EQ(lastReport(), "-50256 qoudrk tDriver 2998");
  }
  EXPECT_EQ(code(25), -50256);
  EXPECT_EQ(lastReport(), "-50256 qoudrk tDriver 2900");
  EXPECT_EQ(code(26), -50256);
  EXPECT_EQ(lastReport(), "-50256 qoudrk tDriver 2986");
  tStatus2 failed;
  failed.code = -7;
  auto untouched = block(4);
  driver->control(7, nullptr, &untouched, failed);
  EXPECT_EQ(failed.code, -7);
  EXPECT_TRUE(untouched.writer().operations().empty());
  EXPECT_TRUE(driver->isIdle(0, 0, nullptr));
}

TEST_F(DriverTest, RemovalWaitsForAFreeDeviceThenKeepsItReservedUntilRearrival) {
  broughtUp();
  ASSERT_EQ(status.code, 0);
  const auto adc = identifier("AI_ADC", 0);
  const std::size_t pools = nQoSim::registeredPools().size();
  ASSERT_GT(pools, 1u);

  tStatus2 held;
  ASSERT_NE(nQoSim::holdPoolAsTask(adc, held), nullptr);
  EXPECT_FALSE(driver->isIdle(0, 0, nullptr));
  EXPECT_EQ(code(2), -50103);
  EXPECT_EQ(nQoSim::registeredPools().size(), pools);  // nothing undone
  nQoSim::releasePoolAsTask(adc, held);
  EXPECT_TRUE(driver->isIdle(0, 0, nullptr));

  EXPECT_EQ(code(2), 0);
  EXPECT_TRUE(driver->removed());
  ASSERT_EQ(nQoSim::registeredPools().size(), 1u);  // the placeholder alone, held
  EXPECT_TRUE(nQoSim::isHeldByDevice(nQoSim::registeredPools()[0]));
  const auto registrations = nQoSim::brokerRegistrations();
  EXPECT_EQ(registrations.back().name, "");
  EXPECT_EQ(registrations.back().index, 1u);
  const struct {
    uint32_t code;
    unsigned line;
  } whileRemoved[] = {{1, 2208}, {5, 2395}, {6, 2424}, {8, 2190}, {12, 2622}, {13, 2643}};
  for (const auto& row : whileRemoved) {
    EXPECT_EQ(code(row.code), -200324) << row.code;
    EXPECT_EQ(lastReport(), "-200324 qoudrk tDriver " + std::to_string(row.line));
  }
  EXPECT_EQ(code(2), 0);  // again: nothing

  EXPECT_EQ(code(3), 0);
  EXPECT_FALSE(driver->removed());
  EXPECT_EQ(nQoSim::registeredPools().size(), pools);
  EXPECT_TRUE(driver->isIdle(0, 0, nullptr));

  EXPECT_EQ(code(8), -50006);  // brought up already: no second board
  EXPECT_EQ(lastReport(), "-50006 qoudrk tDriver 2194");
  EXPECT_EQ(nQoSim::registeredPools().size(), pools);
}

TEST_F(DriverTest, TheWholeDeviceIsReservedAndReleasedOnce) {
  broughtUp();
  EXPECT_EQ(code(13), 0);  // not reserved: nothing
  EXPECT_EQ(code(12), 0);
  EXPECT_EQ(code(12), 0);  // already reserved: nothing
  tStatus2 task;
  EXPECT_EQ(nQoSim::holdPoolAsTask(identifier("AI_ADC", 0), task), nullptr);
  EXPECT_EQ(task.code, -50103);
  EXPECT_EQ(code(13), 0);
  tStatus2 after;
  EXPECT_NE(nQoSim::holdPoolAsTask(identifier("AI_ADC", 0), after), nullptr);
  nQoSim::releasePoolAsTask(identifier("AI_ADC", 0), after);
}

TEST_F(DriverTest, ALoadFailureAnswersEveryReservationUntilReleased) {
  initialized();
  tStatus2 failure;
  failure.code = -50150;
  driver->registerLoadFailure(failure, status);
  ASSERT_EQ(status.code, 0);
  tStatus2 task;
  EXPECT_EQ(nQoSim::holdPoolAsTask(identifier("AI_ADC", 0), task), nullptr);
  EXPECT_EQ(task.code, -50150);
  EXPECT_EQ(lastReport(), "-50150 qoudrk ./source/qomior/tDriverLoadFailureResourcePool 83");
  EXPECT_EQ(code(37), -50150);
  EXPECT_EQ(code(1), -50150);
  driver->releaseLoadFailure(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(code(37), 0);

  tDriver blank;
  tStatus2 zero;
  blank.releaseLoadFailure(zero);
  EXPECT_EQ(lastReport(), "-50002 qoudrk tDriver 3283");
}

TEST_F(DriverTest, NoLoadFailurePoolOutlivesItsDriver) {
  tStatus2 failure;
  failure.code = -50150;
  driver.reset();
  const int64_t live = nQoSim::liveAllocations();
  {
    SCOPED_TRACE("registered, then the device removed");
    driver = std::make_unique<tDriver>();
    initialized().registerLoadFailure(failure, status);
    EXPECT_EQ(code(2), 0);
    ASSERT_TRUE(driver->removed());
    driver.reset();
    EXPECT_TRUE(nQoSim::registeredPools().empty());
    EXPECT_EQ(nQoSim::liveAllocations(), live);
  }
  {
    SCOPED_TRACE("registered twice: the newer failure replaces the older");
    driver = std::make_unique<tDriver>();
    initialized().registerLoadFailure(failure, status);
    tStatus2 newer;
    newer.code = -50004;
    driver->registerLoadFailure(newer, status);
    ASSERT_EQ(status.code, 0);
    EXPECT_EQ(nQoSim::registeredPools().size(), 1u);
    EXPECT_EQ(code(37), -50004);
    driver->releaseLoadFailure(status);
    EXPECT_EQ(status.code, 0);
    EXPECT_TRUE(nQoSim::registeredPools().empty());
    driver->registerLoadFailure(failure, status);
    driver.reset();
    EXPECT_EQ(nQoSim::liveAllocations(), live);
  }
  {
    SCOPED_TRACE("an all-zero device GUID");
    driver = std::make_unique<tDriver>();
    driver->initialize(nQoORB100::tGUID{0, 0}, kHandle, status);
    driver->registerLoadFailure(failure, status);
    ASSERT_EQ(status.code, 0);
    ASSERT_EQ(nQoSim::registeredPools().size(), 1u);
    tStatus2 zero;
    driver->releaseLoadFailure(zero);
    EXPECT_EQ(zero.code, -50002);
    EXPECT_EQ(lastReport(), "-50002 qoudrk tDriver 3283");
    EXPECT_EQ(nQoSim::registeredPools().size(), 1u);  // refused: still held
    driver.reset();
    EXPECT_TRUE(nQoSim::registeredPools().empty());
    EXPECT_EQ(nQoSim::liveAllocations(), live);
  }
}

// The broker refuses to give a load-failure pool back: the driver keeps the
// pool, which goes on answering, and drops it at its next release; a driver
// with an all-zero GUID unregisters it by its identifier at destruction.
TEST_F(DriverTest, ALoadFailurePoolIsFreedOnlyOnceTheBrokerGaveItBack) {
  tStatus2 failure;
  failure.code = -50150;
  driver.reset();
  const int64_t live = nQoSim::liveAllocations();
  {
    SCOPED_TRACE("released while the broker refuses");
    driver = std::make_unique<tDriver>();
    initialized().registerLoadFailure(failure, status);
    ASSERT_EQ(status.code, 0);
    nQoSim::failNextBrokerCall(-50001);
    driver->releaseLoadFailure(status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(nQoSim::registeredPools().size(), 1u);
    tStatus2 task;
    EXPECT_EQ(nQoSim::holdPoolAsTask(identifier("AI_ADC", 0), task), nullptr);
    EXPECT_EQ(task.code, -50150);
    EXPECT_EQ(code(37), -50150);
    driver->releaseLoadFailure(status);
    EXPECT_TRUE(nQoSim::registeredPools().empty());
    EXPECT_EQ(code(37), 0);
    driver.reset();
    EXPECT_EQ(nQoSim::liveAllocations(), live);
  }
  {
    SCOPED_TRACE("an all-zero device GUID destroyed while the broker refuses");
    driver = std::make_unique<tDriver>();
    driver->initialize(nQoORB100::tGUID{0, 0}, kHandle, status);
    driver->registerLoadFailure(failure, status);
    ASSERT_EQ(status.code, 0);
    nQoSim::clearBrokerLogs();
    nQoSim::failNextBrokerCall(-50001);
    driver.reset();
    EXPECT_TRUE(nQoSim::registeredPools().empty());
    const auto calls = nQoSim::brokerRegistrations();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].operation, nQoSim::tBrokerRegistration::kUnregisterPool);
    EXPECT_EQ(calls[0].code, -50001);
    EXPECT_EQ(calls[1].operation, nQoSim::tBrokerRegistration::kUnregister);
    EXPECT_EQ(calls[1].code, 0);
    EXPECT_EQ(nQoSim::liveAllocations(), live);
  }
}

// A second load failure that cannot be recorded leaves the first answering.
TEST_F(DriverTest, ASecondLoadFailureThatCannotBeRegisteredKeepsTheFirst) {
  tStatus2 first, second;
  first.code = -50150;
  second.code = -50004;
  initialized().registerLoadFailure(first, status);
  ASSERT_EQ(status.code, 0);
  const auto pools = nQoSim::registeredPools();
  tStatus2 unmade, refused, task;
  nQoSim::failAllocation(1);
  driver->registerLoadFailure(second, unmade);
  EXPECT_EQ(unmade.code, -50352);
  EXPECT_EQ(nQoSim::holdPoolAsTask(identifier("AI_ADC", 0), task), nullptr);
  EXPECT_EQ(task.code, -50150);
  nQoSim::failNextBrokerCall(-50001);
  driver->registerLoadFailure(second, refused);
  EXPECT_EQ(refused.code, -50001);
  EXPECT_EQ(nQoSim::registeredPools(), pools);
  EXPECT_EQ(code(37), -50150);
}

TEST_F(DriverTest, ACallBlockedInItsWriterDuringARebuildLeavesTheDriverIdle) {
  broughtUp();
  ASSERT_EQ(status.code, 0);
  std::atomic<bool> entered{false};
  std::atomic<bool> go{false};
  struct tBlockingWriter : tByteParameterBlock {
    tBlockingWriter(std::atomic<bool>& in, std::atomic<bool>& proceed)
        : tByteParameterBlock(std::vector<uint8_t>(4, 0)), entered(in), go(proceed) {}
    nQoORB100::iExternalOutputStream* getWriter() override {
      entered = true;
      while (!go) std::this_thread::yield();
      return tByteParameterBlock::getWriter();
    }
    std::atomic<bool>& entered;
    std::atomic<bool>& go;
  } out(entered, go);
  std::thread query([&] { code(19, &out); });
  while (!entered) std::this_thread::yield();
  EXPECT_EQ(code(1), 0);
  go = true;
  query.join();
  EXPECT_TRUE(driver->isIdle(0, 0, nullptr));
}

}  // namespace
}  // namespace nQoTest
