// The static digital supervisors over the platform's immediate digital base:
// the CDIO supervisor's redirector reservation and line programming, the
// PFI supervisors' terminal reservation (also refused and past the 37-pin
// tables), the fixed-direction control and the front-connector reserver.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "mrl/iResourceBroker.h"
#include "mrl/tImmedDigResource.h"
#include "mrl/tTESKMaskedIdentifier.h"
#include "mru/tTerminalReservation.h"
#include "primitives/dio/tTavikPFIDigReserver.h"
#include "reservation/tInfiniteResourcePool.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "sim/simTerminalReservation.h"
#include "supervisors/controlRequests.h"
#include "supervisors/dio/tCDIOImmedDigSupervisor.h"
#include "supervisors/dio/tavikDigSupervisors.h"
#include "supervisors/dioDoubles.h"
#include "support/brokerPools.h"
#include "support/heldPass.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"
#include "support/unorderedCall.h"

namespace nQoTest {
namespace {

using namespace nQoUdR100;
using tRedirectorPool = tInfiniteResourcePool<nQoUdP100::iImmedDigWriteRedirector*>;

constexpr nQoORB100::tGUID kDevice{0x51, 0x52};

class StaticDigitalSupervisorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    nQoSim::resetTerminalReservation();
    nQoSim::clearStatusLog();
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    nQoSim::resetTerminalReservation();
  }

  // The supervisor's base fields; a fresh broker offering the lines'
  // primitive and, unless told otherwise, the redirector.
  void prepare(nQoCDR110::tImmedDigSup& supervisor, uint32_t direction, uint32_t mask,
               nQoMRL100::iLeafResourcePool* redirectors = nullptr) {
    supervisor.deviceGUID = kDevice;
    supervisor.direction = direction;
    supervisor.lineMask = mask;
    supervisor.words.lineMask = mask;
    nQoSim::resetResourceBroker();
    primitivePool.emplace(&lines);
    tStatus2 s;
    for (auto* identifier : {&primitiveName, &redirectorName}) identifier->setDeviceGUID(kDevice);
    primitiveName.setString(nQoCDR100::kImmedDigPrimName, s);
    redirectorName.setString(tCDIOImmedDigSupervisor::kRedirectorName, s);
    auto* broker = nQoMRL100::getResourceBroker(s);
    broker->registerPool(&primitiveName, &*primitivePool, s);
    broker->registerPool(&redirectorName, redirectors != nullptr ? redirectors : &redirectorPool,
                         s);
    ASSERT_EQ(s.code, 0);
  }

  std::vector<std::string> terminalCalls() const {
    std::vector<std::string> calls;
    for (const auto& call : nQoSim::terminalLog())
      calls.push_back(call.function + " " + call.terminal);
    return calls;
  }

  static int control(nQoMRL100::iPrimitiveSupervisor& supervisor, uint32_t code,
                     std::vector<uint8_t> bytes) {
    nQoSim::tByteParameterBlock in(std::move(bytes));
    tStatus2 s;
    supervisor.control(code, &in, nullptr, s);
    return s.code;
  }

  tLoadedModule module;  // status descriptions copy their texts through the class registry
  tCallLog log;
  tLines lines{log, "base"};
  tRedirector redirector{log, "redirector"};
  std::optional<nQoCDR110::tImmedDigResource> primitivePool;
  tRedirectorPool redirectorPool{&redirector};
  nQoMRL100::tGeneralIdentifier primitiveName;
  nQoMRL100::tGeneralIdentifier redirectorName;
};

TEST_F(StaticDigitalSupervisorsTest, CDIOSupervisorProgramsModeLinesAndCommitsThroughRedirector) {
  tCDIOImmedDigSupervisor supervisor;
  prepare(supervisor, 1, 0xFF);
  tStatus2 s;
  supervisor.reserveResource(s);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(supervisor.getRedirector(), &redirector);
  EXPECT_EQ(redirector.target, &lines);

  supervisor.words.mode = 7;
  EXPECT_EQ(control(supervisor, 257, {0x0F, 0, 0, 0}), 0);
  EXPECT_EQ(control(supervisor, 256, {0x03, 0, 0, 0}), 0);
  EXPECT_EQ(supervisor.words.modeSetLines, 0x0Cu);
  EXPECT_EQ(log.operations(), "redirector.setLineMode 0xF 7, redirector.setLineMode 0x3 0");

  supervisor.words.writeMask = 0xFF;
  supervisor.words.presetMask = 0xF0;
  supervisor.words.presetValues = 0xA0;
  lines.lines = 0x35;
  log.clear();
  supervisor.control(1, nullptr, nullptr, s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(log.operations(),
            "redirector.setLineMode 0xF3 0, base.readLines 0xFF, redirector.writeLines 0xFF 0xA5, "
            "redirector.setLineMode 0xC 7");
  EXPECT_EQ(supervisor.state, 3u);

  // Mode 1 writes through the base primitive, masked by the write mask.
  supervisor.words.mode = 1;
  supervisor.words.writeMask = 0x0F;
  log.clear();
  supervisor.control(1, nullptr, nullptr, s);
  EXPECT_EQ(log.operations(),
            "redirector.setLineMode 0xF3 0, base.readLines 0xFF, base.writeLines 0xF 0xA5, "
            "redirector.setLineMode 0xC 1");

  // Bad blocks; other codes go to the base.
  EXPECT_EQ(control(supervisor, 257, {1, 2, 3}), -50150);
  EXPECT_TRUE(loggedAt(-50150, "tCDIOImmedDigSupervisor", 358));
  EXPECT_EQ(control(supervisor, 256, {1, 2, 3}), -50150);
  EXPECT_TRUE(loggedAt(-50150, "tCDIOImmedDigSupervisor", 322));
  tStatus2 noBlock;
  supervisor.control(256, nullptr, nullptr, noBlock);
  EXPECT_EQ(noBlock.code, -50004);
  EXPECT_TRUE(loggedAt(-50004, "tCDIOImmedDigSupervisor", 316));
  supervisor.control(9, nullptr, nullptr, s);
  EXPECT_EQ(supervisor.controlCalls, 1u);
  EXPECT_EQ(supervisor.lastControlCode, 9u);

  supervisor.releaseResource(s);
  EXPECT_EQ(supervisor.getRedirector(), nullptr);
  EXPECT_EQ(brokerOperations(), (std::vector<int>{6, 6, 7, 7}));
  log.clear();
  supervisor.words.skip = 1;
  supervisor.state = 0;
  supervisor.control(1, nullptr, nullptr, s);
  EXPECT_EQ(supervisor.state, 3u);
  EXPECT_TRUE(log.calls.empty());
  supervisor.words.skip = 0;
  supervisor.control(1, nullptr, nullptr, s);
  EXPECT_EQ(s.code, -50150);
  EXPECT_TRUE(loggedAt(-50150, "tCDIOImmedDigSupervisor", 222));
  tStatus2 unreserved;
  supervisor.control(257, nullptr, nullptr, unreserved);
  EXPECT_TRUE(loggedAt(-50004, "tCDIOImmedDigSupervisor", 352));
}

TEST_F(StaticDigitalSupervisorsTest, RedirectorPoolWithoutRedirectorOrOfAnotherClassIsHandedBack) {
  tRedirectorPool empty(nullptr);
  tCDIOImmedDigSupervisor supervisor;
  prepare(supervisor, 0, 0xFF, &empty);
  tStatus2 s;
  supervisor.reserveResource(s);
  EXPECT_EQ(s.code, -88708);
  EXPECT_TRUE(loggedAt(-88708, "tCDIOImmedDigSupervisor", 130));
  EXPECT_EQ(brokerOperations(), (std::vector<int>{6, 6, 7}));

  nQoCDR110::tImmedDigResource foreignPool(&lines);
  prepare(supervisor, 0, 0xFF, &foreignPool);
  supervisor.primitive = nullptr;
  tStatus2 foreign;
  supervisor.reserveResource(foreign);
  EXPECT_EQ(foreign.code, -89000);
  EXPECT_EQ(supervisor.getRedirector(), nullptr);
  EXPECT_EQ(brokerOperations(), (std::vector<int>{6, 6, 7}));
}

// Fields that a deploy changes while the redirector is held name the device
// of the next reservation: the release hands back the one reserved.
TEST_F(StaticDigitalSupervisorsTest, CDIOSupervisorReleasesTheRedirectorOfItsReservation) {
  tCDIOImmedDigSupervisor supervisor;
  prepare(supervisor, 1, 0xFF);
  tRedirector otherRedirector{log, "other"};
  tRedirectorPool otherPool{&otherRedirector};
  nQoMRL100::tGeneralIdentifier otherName;
  tStatus2 s;
  offerPool(otherName, {0x61, 0x62}, tCDIOImmedDigSupervisor::kRedirectorName, &otherPool, s);
  supervisor.reserveResource(s);
  ASSERT_EQ(s.code, 0);
  ASSERT_EQ(nQoSim::brokerHoldsOf(&redirectorPool), 1u);
  supervisor.deviceGUID = {0x61, 0x62};
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(nQoSim::brokerHoldsOf(&redirectorPool), 0u);
  EXPECT_EQ(nQoSim::brokerHoldsOf(&otherPool), 0u);
}

// Fields that a deploy changes while the terminals are held name the lines
// of the next reservation: the release gives back the terminals reserved,
// and none that were not.
TEST_F(StaticDigitalSupervisorsTest, PFISupervisorReleasesTheTerminalsOfItsReservation) {
  tTavikPFIDigSupervisor supervisor;
  prepare(supervisor, 1, 0x0005);
  tStatus2 s;
  supervisor.reserveResource(s);
  ASSERT_EQ(nQoSim::heldTerminals(), (std::vector<std::string>{"PFI0", "PFI2"}));
  supervisor.lineMask = 0x0003;
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_TRUE(nQoSim::heldTerminals().empty());

  // Input lines that took no terminal, then output lines.
  nQoSim::resetTerminalReservation();
  tStatus2 other;
  nQoMRU210::tTerminalReservation::reserve({9, 9}, "PFI2", 0, L"other", other);
  prepare(supervisor, 0, 0x0005);
  supervisor.noTerminal = 1;
  supervisor.reserveResource(s);
  supervisor.direction = 1;
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(nQoSim::heldTerminals(), (std::vector<std::string>{"PFI2"})) << "the other task's";
  EXPECT_EQ(terminalCalls(), (std::vector<std::string>{"reserve PFI2"})) << "nothing released";
}

TEST_F(StaticDigitalSupervisorsTest, PFISupervisorReservesTheTerminalsOfItsLines) {
  tTavikPFIDigSupervisor supervisor;
  prepare(supervisor, 1, 0x0005);
  tStatus2 s;
  supervisor.reserveResource(s);
  ASSERT_EQ(s.code, 0);
  EXPECT_EQ(supervisor.primitive, &lines);
  EXPECT_EQ(nQoSim::heldTerminals(), (std::vector<std::string>{"PFI0", "PFI2"}));
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_TRUE(nQoSim::heldTerminals().empty());
  EXPECT_EQ(terminalCalls(), (std::vector<std::string>{"reserveByName PFI0", "reserveByName PFI2",
                                                       "release PFI0", "release PFI2"}));

  // Input lines that need no terminal.
  nQoSim::resetTerminalReservation();
  prepare(supervisor, 0, 0x0005);
  supervisor.noTerminal = 1;
  supervisor.reserveResource(s);
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
  EXPECT_TRUE(nQoSim::terminalLog().empty());
}

TEST_F(StaticDigitalSupervisorsTest, HeldTerminalIsNamedAndEverythingGivenBack) {
  tStatus2 other;
  nQoMRU210::tTerminalReservation::reserve({9, 9}, "PFI3", 0, L"other", other);
  tTavikPFIDigSupervisor supervisor;
  prepare(supervisor, 0, 0x000F);
  tStatus2 s;
  supervisor.reserveResource(s);
  EXPECT_EQ(s.code, -200022);
  EXPECT_TRUE(loggedAt(-200022, "tTavikPFIDigReserver", 75));
  EXPECT_EQ(guidProperty(s.description, 1), kDevice);
  EXPECT_EQ(textProperty(s.description, 2), L"PFI3");
  EXPECT_EQ(nQoSim::heldTerminals(), (std::vector<std::string>{"PFI3"}));
  std::vector<std::string> calls = terminalCalls();
  EXPECT_EQ(std::vector<std::string>(calls.begin() + 1, calls.end()),
            (std::vector<std::string>{"reserveByName PFI0", "reserveByName PFI1",
                                      "reserveByName PFI2", "reserveByName PFI3", "release PFI0",
                                      "release PFI1", "release PFI2"}));
  EXPECT_EQ(supervisor.primitive, nullptr);
  EXPECT_EQ(brokerOperations(), (std::vector<int>{6, 7}));
}

TEST_F(StaticDigitalSupervisorsTest, ThirtySevenPinTablesAndLinesPastThem) {
  tTavik37PinDigSupervisor supervisor;
  prepare(supervisor, 1, 0x3);
  tStatus2 s;
  supervisor.reserveResource(s);
  EXPECT_EQ(nQoSim::heldTerminals(), (std::vector<std::string>{"PFI6", "PFI7"}));
  supervisor.releaseResource(s);
  prepare(supervisor, 0, 0x3);
  supervisor.reserveResource(s);
  EXPECT_EQ(nQoSim::heldTerminals(), (std::vector<std::string>{"PFI0", "PFI1"}));
  supervisor.releaseResource(s);
  ASSERT_EQ(s.code, 0);

  // Line 6 has no input terminal; line 4 no output terminal.
  for (auto [direction, mask] : {std::pair{0u, 0x40u}, std::pair{1u, 0x10u}}) {
    nQoSim::resetTerminalReservation();
    prepare(supervisor, direction, mask);
    tStatus2 refused;
    supervisor.reserveResource(refused);
    EXPECT_EQ(refused.code, -50150);
    EXPECT_TRUE(loggedAt(-50150, "tTavikPFIDigReserver", 60));
    EXPECT_TRUE(nQoSim::terminalLog().empty());
    EXPECT_EQ(supervisor.primitive, nullptr);
    EXPECT_EQ(brokerOperations(), (std::vector<int>{6, 7}));
  }
  // Release ignores lines past the table.
  tTavikPFIDigReserver reserver(kDevice, nullptr, 16);
  tStatus2 r;
  reserver.release(0xFFFF0001, r);
  EXPECT_EQ(terminalCalls(), (std::vector<std::string>{"release PFI0"}));
}

TEST_F(StaticDigitalSupervisorsTest, FixedDirectionControlOnlySetsTheDirection) {
  tTavikFixedDirectionDigSupervisor supervisor;
  tStatus2 s;
  supervisor.control(1, nullptr, nullptr, s);
  EXPECT_EQ(s.code, -224629);
  EXPECT_TRUE(loggedAt(-224629, "tTavikFixedDirectionDigSupervisor", 64));

  prepare(supervisor, 0, 0x3F);
  supervisor.outputLineMask = 0x30;
  tStatus2 good;
  supervisor.reserveResource(good);
  supervisor.control(1, nullptr, nullptr, good);
  EXPECT_EQ(good.code, 0);
  EXPECT_EQ(supervisor.state, 3u);
  supervisor.direction = 1;
  supervisor.control(1, nullptr, nullptr, good);
  EXPECT_EQ(log.operations(), "base.setLineMode 0xF 0, base.setLineMode 0x30 1");

  const std::pair<uint32_t, unsigned> refused[] = {{256, 90}, {257, 96}, {2, 102}};
  for (auto [code, line] : refused) {
    tStatus2 r;
    supervisor.control(code, nullptr, nullptr, r);
    EXPECT_EQ(r.code, -50256) << code;
    EXPECT_TRUE(loggedAt(-50256, "tTavikFixedDirectionDigSupervisor", line));
  }
  EXPECT_EQ(supervisor.controlCalls, 0u);
  supervisor.releaseResource(good);
}

// A code held inside the lines while the release runs: the release waits
// for it, and the lines and their terminals are still held when it leaves.
// A code after the release answers that there are no lines and touches none.
TEST_F(StaticDigitalSupervisorsTest, FixedDirectionReleaseWaitsForACodeInsideTheLines) {
  tTavikFixedDirectionDigSupervisor supervisor;
  prepare(supervisor, 1, 0x5);
  supervisor.outputLineMask = 0x5;
  tStatus2 s;
  supervisor.reserveResource(s);
  ASSERT_EQ(s.code, 0);
  const auto inside = seenInside(
      lines.inside,
      [&] {
        tStatus2 code;
        supervisor.control(1, nullptr, nullptr, code);
      },
      [&] { supervisor.releaseResource(s); },
      [&] { return std::pair(nQoSim::brokerHoldsOf(&*primitivePool), nQoSim::heldTerminals()); });
  EXPECT_TRUE(inside.waited);
  EXPECT_EQ(inside.seen, std::pair(1u, std::vector<std::string>{"PFI0", "PFI2"}));
  EXPECT_EQ(s.code, 0);
  EXPECT_TRUE(nQoSim::heldTerminals().empty());
  tStatus2 late;
  supervisor.control(1, nullptr, nullptr, late);
  EXPECT_EQ(late.code, -224629);
  EXPECT_TRUE(loggedAt(-224629, "tTavikFixedDirectionDigSupervisor", 64));
  EXPECT_EQ(log.operations(), "base.setLineMode 0x5 1");
}

// Code 1 from another thread sets the state word to 3 inside the lines;
// unlinkResource, which nothing but the word orders after it, moves the same
// word to 3.
TEST_F(StaticDigitalSupervisorsTest, AStepAfterACodeOnAnotherThreadMovesTheWordItSet) {
  tTavikFixedDirectionDigSupervisor supervisor;
  prepare(supervisor, 1, 0x5);
  supervisor.outputLineMask = 0x5;
  tStatus2 s, code;
  supervisor.reserveResource(s);
  supervisor.linkResource(s);
  ASSERT_EQ(supervisor.state, 4u);
  {
    tUnorderedCall commit([&] { supervisor.control(1, nullptr, nullptr, code); });
    ASSERT_TRUE(commit.run());
    supervisor.unlinkResource(s);
  }
  EXPECT_EQ(code.code, 0);
  EXPECT_EQ(supervisor.state, 3u);
  EXPECT_EQ(log.operations(), "base.setLineMode 0x5 1");
  supervisor.releaseResource(s);
  EXPECT_EQ(s.code, 0);
}

// Records the two line words of every masked request it sees.
class tMaskRecorder : public nQoMRL100::iLeafResourcePool {
 public:
  bool isPartiallyReserved(tStatus2&) const override { return false; }
  uint32_t reserve(const nQoMRL100::iResourceIdentifier* identifier, tStatus2&) override {
    record("reserve", identifier);
    return 1;
  }
  void release(const nQoMRL100::iResourceIdentifier* identifier, tStatus2&) override {
    record("release", identifier);
  }
  std::vector<std::string> seen;

 private:
  void record(const char* operation, const nQoMRL100::iResourceIdentifier* identifier) {
    auto* lines = static_cast<const nQoCDR100::tTESKMaskedIdentifier*>(
        identifier->___CPPKRLDynamicCast(&nQoCDR100::tTESKMaskedIdentifier::___classID));
    seen.push_back(lines == nullptr ? std::string(operation) + " ?"
                                    : std::string(operation) + " " + hex(lines->getLines(0)) + " " +
                                          hex(lines->getLines(1)));
  }
};

TEST_F(StaticDigitalSupervisorsTest, FrontConnectorReservesMaskedLinesWithoutFacade) {
  tMaskRecorder pool;
  nQoMRL100::tGeneralIdentifier name;
  tStatus2 s;
  nQoSim::resetResourceBroker();
  name.setDeviceGUID(kDevice);
  name.setString(nQoCDR100::kImmedDigPrimName, s);
  nQoMRL100::getResourceBroker(s)->registerPool(&name, &pool, s);
  tTavikFrontConnectorDigReserver reserver(kDevice);
  reserver.reserve(0xF, s);
  reserver.release(0xF, s);
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(pool.seen, (std::vector<std::string>{"reserve 0xF 0x1", "release 0xF 0x1"}));
  const auto calls = nQoSim::brokerLog();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].operation, 6);
  EXPECT_EQ(calls[0].facade, nullptr);
  EXPECT_EQ(calls[1].facade, nullptr);
}

}  // namespace
}  // namespace nQoTest
