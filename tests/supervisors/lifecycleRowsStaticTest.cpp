// The supervisors outside the frames as rows of the lifecycle suite: the
// TEDS supervisor over a communicator in its pool, and the static digital
// supervisors over the platform's immediate digital base (the CDIO one with
// the board's write redirector, the fixed-direction and 37-pin ones with
// their PFI terminals). Their unlinkResource resets nothing, so they run the
// steps that hand back, from each state their codes reach. An entry holds
// where the double it reaches runs its operation (the lines, also through
// the real redirector). The code walk runs each through its own codes (the
// CDIO one also through its mode-line codes) over no board: what it checks
// is the release, which hands the primitive back as a fresh reservation
// finds it, and the destruction of the primitive its pool holds.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mrl/iResourceBroker.h"
#include "mrl/tImmedDigResource.h"
#include "primitives/cdio/tTavikImmedDigWriteRedirector.h"
#include "reservation/tInfiniteResourcePool.h"
#include "reservation/tSingularResourcePool.h"
#include "settings/tEmptySettings.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "sim/simTerminalReservation.h"
#include "supervisors/calibration/tTEDSSupervisor.h"
#include "supervisors/controlRequests.h"
#include "supervisors/dio/tCDIOImmedDigSupervisor.h"
#include "supervisors/dio/tavikDigSupervisors.h"
#include "supervisors/dioDoubles.h"
#include "supervisors/lifecycleSuite.h"
#include "support/boardChecks.h"
#include "support/brokerPools.h"
#include "support/moduleFixture.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using namespace nQoUdR100;

constexpr nQoORB100::tGUID kDevice{0x61, 0x62};

class tStaticRow : public ::testing::Test {
 protected:
  void SetUp() override {
    nQoSim::resetResourceBroker();
    nQoSim::resetTerminalReservation();
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    nQoSim::resetTerminalReservation();
  }
  template <class Supervisor>
  static std::function<void(tStatus2&)> code(Supervisor& supervisor, uint32_t code,
                                             std::vector<uint8_t> in = {}) {
    return [&supervisor, code, in](tStatus2& status) {
      nQoSim::tByteParameterBlock block(in);
      supervisor.control(code, in.empty() ? nullptr : &block, nullptr, status);
    };
  }
  // The codes, one after another on the test's thread, each answering 0.
  template <class Supervisor>
  static std::function<void()> codes(Supervisor& supervisor, std::vector<uint32_t> codes) {
    return [&supervisor, codes] {
      for (uint32_t each : codes) {
        tStatus2 status;
        supervisor.control(each, nullptr, nullptr, status);
        EXPECT_EQ(status.code, 0) << "code " << each;
      }
    };
  }
  std::string handedBack() {
    return brokerAndBlocks() + ", terminals " + std::to_string(nQoSim::terminalLog().size());
  }
  // No board and no report stream: a static supervisor reports nothing.
  std::string boardFaults() { return watched.faults(); }

  tLoadedModule module;  // status descriptions copy their texts through the class registry
  tHoldPoint hold;
  tBoardWatch watched;
};

// What a communicator was told, kept apart from it so that one made again in
// its place (after the walk destroyed the one a supervisor held) finds it.
struct tCommunicatorRecord {
  std::atomic<bool> committed{false};
  std::atomic<bool> armed{false};
  std::atomic<bool> running{false};
  // Reverses of a step not done (a reverse run twice, or with no forward).
  std::atomic<int> unpairedReverses{0};
  // Reverses run while a later step still held (an uncommit of an armed
  // communicator, a disarm of a running one).
  std::atomic<int> reversesUnderALaterStep{0};
};

// A communicator whose operations hold first (the uncommit, which the release
// runs, does not); each forward step and its reverse move its state, and a
// reverse of a step not done, or under a later step, counts.
struct tHeldCommunicator : nQoUdP100::iTEDSCommunicator {
  tHeldCommunicator(const tHoldPoint& hold, tCommunicatorRecord& told) : hold(hold), told(told) {}
  void commit(tStatus2&) override {
    hold();
    told.committed = true;
  }
  void arm(tStatus2&) override {
    hold();
    told.armed = true;
  }
  void start(tStatus2&) override {
    hold();
    told.running = true;
  }
  void stop(tStatus2&) override {
    hold();
    reverse(told.running, false);
  }
  void disarm(tStatus2&) override {
    hold();
    reverse(told.armed, told.running);
  }
  void uncommit(tStatus2&) override { reverse(told.committed, told.armed || told.running); }
  void reverse(std::atomic<bool>& step, bool laterHeld) {
    if (laterHeld) ++told.reversesUnderALaterStep;
    if (!step.exchange(false)) ++told.unpairedReverses;
  }
  void cancel(tStatus2&) override { hold(); }
  void readEEPROM(uint32_t, uint32_t n, uint32_t, uint8_t* out, tStatus2&) override {
    hold();
    for (uint32_t i = 0; i < n; ++i) out[i] = 0;
  }
  void writeEEPROM(uint32_t, uint32_t, uint32_t, const uint8_t*, tStatus2&) override { hold(); }
  void get8ByteIDBlock(uint32_t, uint8_t*, tStatus2&) override { hold(); }
  void read8BytePROM(uint32_t, uint8_t*, tStatus2&) override { hold(); }
  void write8BytePROM(uint32_t, const uint8_t*, tStatus2&) override { hold(); }
  uint32_t isPROMWritten(uint32_t, tStatus2&) override {
    hold();
    return 0;
  }
  const tHoldPoint& hold;
  tCommunicatorRecord& told;
};

// The TEDS supervisor: a commit, a sensor memory write and a cancel come
// from another thread.
class tTEDSRow : public tStaticRow {
 public:
  static constexpr const char* kName = "TEDS";
  using tSupervisor = tTEDSSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};

 protected:
  void SetUp() override {
    tStaticRow::SetUp();
    makePrimitive();
    pool.emplace(&*teds);
    tStatus2 status;
    offerPool(settings.record<1>().identifier, kDevice, "TEDS", &*pool, status);
    ASSERT_EQ(status.code, 0);
  }
  void makePrimitive() { teds.emplace(hold, told); }
  void destroyPrimitive() { teds.reset(); }
  // The reverses out of order count from each bring-up on.
  void up(tSupervisor& supervisor, tStatus2& status) {
    told.unpairedReverses = 0;
    told.reversesUnderALaterStep = 0;
    wasArmed = told.armed;
    wasCommitted = told.committed;
    supervisor.initialize(settings, nullptr, status);
    supervisor.link(map, status);
  }
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    return {{"1", code(supervisor, 1)},
            {"411", code(supervisor, 411, words({4, 2, 5}, {7, 8}))},
            {"cancel", [&supervisor](tStatus2& status) { supervisor.requestCancel(status); }}};
  }
  // Committed, armed, running: the commit, the arm and the start are what
  // the supervisor gives back, latest first; an uncommit after the commit
  // leaves it nothing to give back.
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {{"committed", codes(supervisor, {1})},
            {"committed, then uncommitted", codes(supervisor, {1, 4})},
            {"armed", codes(supervisor, {1, 4100})},
            {"running", codes(supervisor, {1, 4100, 2})}};
  }
  // After a code that answered 0, the communicator holds what the code
  // leaves: a start a run, a stop none; a disarm of an arm, and an uncommit
  // of a commit, nothing from that step on (a reverse with no forward step
  // before it reaches nothing).
  std::string stepFaults(uint32_t step, const tStatus2& status) {
    const bool armedBefore = std::exchange(wasArmed, told.armed.load());
    const bool committedBefore = std::exchange(wasCommitted, told.committed.load());
    if (status.code != 0 || !teds) return "";
    std::string faults;
    if (step == 2 && !told.running) faults += "a start that answered 0 began no run\n";
    if (step == 3 && told.running) faults += "a stop that answered 0 left a run\n";
    if ((step == 4101 && armedBefore) || (step == 4 && committedBefore)) {
      if (told.running || told.armed) faults += "a reverse that answered 0 left a later step\n";
      if (step == 4 && told.committed) faults += "an uncommit that answered 0 left the commit\n";
    }
    return faults;
  }
  // The tree has no communicator of its own: this one's commit, arm and
  // start as it was told them, and the reverses it was told out of order.
  std::string primitiveState() {
    return std::string(told.committed ? "committed" : "uncommitted") +
           (told.armed ? ", armed" : ", disarmed") + (told.running ? ", running" : ", stopped") +
           ", unpaired reverses " + std::to_string(told.unpairedReverses) +
           ", reverses under a later step " + std::to_string(told.reversesUnderALaterStep) +
           ", held " + std::to_string(nQoSim::brokerHoldsOf(&*pool));
  }

  tTEDSSettings settings;
  tCommunicatorRecord told;
  bool wasArmed = false, wasCommitted = false;
  std::optional<tHeldCommunicator> teds;
  std::optional<tSingularResourcePool<nQoUdP100::iTEDSCommunicator*>> pool;
  tEmptyMap map;
};

// What the static digital rows share: the lines' primitive, holding in
// setLineMode, and the board's write redirector aimed at them, offered under
// the device.
class tDigitalRow : public tStaticRow {
 protected:
  void SetUp() override {
    tStaticRow::SetUp();
    makePrimitive();
    linesPool.emplace(&*lines);
    redirectorPool.emplace(&*redirector);
    tStatus2 status;
    for (auto* identifier : {&linesName, &redirectorName}) identifier->setDeviceGUID(kDevice);
    linesName.setString(nQoCDR100::kImmedDigPrimName, status);
    redirectorName.setString(tCDIOImmedDigSupervisor::kRedirectorName, status);
    auto* broker = nQoMRL100::getResourceBroker(status);
    broker->registerPool(&linesName, &*linesPool, status);
    broker->registerPool(&redirectorName, &*redirectorPool, status);
    ASSERT_EQ(status.code, 0);
  }
  // The lines and the redirector, which the board points at them once it is
  // built.
  void makePrimitive() {
    lines.emplace(log, "lines");
    lines->inside = [this] { hold(); };
    redirector.emplace(nullptr, built);
    redirector->setRedirectTarget(&*lines);
  }
  void destroyPrimitive() {
    redirector.reset();
    lines.reset();
  }
  // The task's lines: output lines 0xC of 0xF (PFI8 and PFI9 on the 37-pin
  // connector).
  void upLines(nQoCDR110::tImmedDigSup& supervisor, tStatus2& status) {
    supervisor.deviceGUID = kDevice;
    supervisor.direction = 1;
    supervisor.lineMask = supervisor.words.lineMask = 0x0F;
    supervisor.outputLineMask = 0x0C;
    supervisor.initialize(settings, nullptr, status);
    supervisor.link(map, status);
  }

  // The broker's holds of the lines and the redirector.
  std::string held() {
    return "held " + std::to_string(nQoSim::brokerHoldsOf(&*linesPool)) + " " +
           std::to_string(nQoSim::brokerHoldsOf(&*redirectorPool));
  }

  tCallLog log;
  std::optional<tLines> lines;
  tStatus2 built;
  std::optional<nQoUdP100::tTavikImmedDigWriteRedirector> redirector;
  std::optional<nQoCDR110::tImmedDigResource> linesPool;
  std::optional<tInfiniteResourcePool<nQoUdP100::iImmedDigWriteRedirector*>> redirectorPool;
  nQoMRL100::tGeneralIdentifier linesName, redirectorName;
  tEmptySettings settings;
  tEmptyMap map;
};

// The CDIO lines: commit and the mode-line codes reach the redirector from
// another thread.
class tCDIODigitalRow : public tDigitalRow {
 public:
  static constexpr const char* kName = "CDIOImmedDig";
  using tSupervisor = tCDIOImmedDigSupervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4, 256, 257};

 protected:
  void up(tSupervisor& supervisor, tStatus2& status) {
    upLines(supervisor, status);
    supervisor.words.mode = 7;
  }
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    return {{"1", code(supervisor, 1)}, {"257", code(supervisor, 257, {0x0F, 0, 0, 0})}};
  }
  // The mode-line codes take the output lines out of and into the mode
  // programming; the others come without a block.
  void walkCode(tSupervisor& supervisor, uint32_t each, tStatus2& status) {
    std::vector<uint8_t> lines;
    if (each == 256 || each == 257) lines = {0x0C, 0, 0, 0};
    code(supervisor, each, lines)(status);
  }
  // Committed, and committed with mode lines taken into the programming.
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {{"committed", codes(supervisor, {1})},
            {"mode lines programmed", [&supervisor] {
               tStatus2 status;
               code(supervisor, 257, {0x0C, 0, 0, 0})(status);
               codes(supervisor, {1})();
               EXPECT_EQ(status.code, 0);
             }}};
  }
  // The broker's holds of the lines and the redirector, and the redirector's
  // target, which the board set.
  std::string primitiveState() {
    return held() + ", target " + (redirector->redirectTarget() == &*lines ? "the lines" : "other");
  }
};

// The fixed-direction and 37-pin lines: code 1 sets the direction from
// another thread; the release hands back the PFI terminals.
template <class Supervisor, const char* name>
class tPFIDigitalRow : public tDigitalRow {
 public:
  static constexpr const char* kName = name;
  using tSupervisor = Supervisor;
  static constexpr uint32_t kCodes[] = {1, 4100, 2, 3, 4101, 4};

 protected:
  void up(tSupervisor& supervisor, tStatus2& status) { upLines(supervisor, status); }
  std::vector<tEntry> entries(tSupervisor& supervisor) { return {{"1", code(supervisor, 1)}}; }
  std::vector<tSetup> setups(tSupervisor& supervisor) {
    return {{"committed", codes(supervisor, {1})}};
  }
  // The broker's holds and the terminals held.
  std::string primitiveState() {
    std::string state = held() + ", terminals";
    for (const std::string& terminal : nQoSim::heldTerminals()) state += " " + terminal;
    return state;
  }
};
constexpr char kFixedName[] = "FixedDirectionDig";
constexpr char k37PinName[] = "37PinDig";

using tStaticRows = ::testing::Types<tTEDSRow, tCDIODigitalRow,
                                     tPFIDigitalRow<tTavikFixedDirectionDigSupervisor, kFixedName>,
                                     tPFIDigitalRow<tTavik37PinDigSupervisor, k37PinName>>;
INSTANTIATE_TYPED_TEST_SUITE_P(Static, HandBackLifecycle, tStaticRows, tRowNames);
INSTANTIATE_TYPED_TEST_SUITE_P(Static, CodeWalk, tStaticRows, tRowNames);

}  // namespace
}  // namespace nQoTest
