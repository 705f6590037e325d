// The analog-input supervisors as rows of the lifecycle suite, over the
// real primitives of the simulated board's AI road.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "primitives/aiTransferFixture.h"
#include "sim/simParameterBlock.h"
#include "supervisors/ai/aiSupervisors.h"
#include "supervisors/lifecycleSuite.h"
#include "support/brokerPools.h"
#include "support/reservationDoubles.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;

// What every AI row brings: the AI road, a broker with the row's pool, a
// facade that lets callers block and a map.
class tAIRow : public tAIRoadTest {
 protected:
  void SetUp() override {
    tAIRoadTest::SetUp();
    nQoSim::resetResourceBroker();
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    tAIRoadTest::TearDown();
  }
  std::string handedBack() {
    return brokerAndBlocks() + ", bus " + std::to_string(bus.registrations());
  }

  tCallLog log;
  tScriptedFacade facade{log, "facade"};
  tScriptedSupervisorMap map{log, "map"};
  tHoldPoint hold;
};

// The sample-clock wait polling the converter's status register, which holds
// it.
class tWFNSCRow : public tAIRow {
 public:
  using tSupervisor = nQoUdR100::tBaseAI_WFNSCSupervisor;
  using tPrimitive = nQoUdP100::tBaseAI_WFNSCPrimitive;

 protected:
  void SetUp() override {
    tAIRow::SetUp();
    wfnsc.emplace(timing, converter);
    pool.emplace(&*wfnsc);
    offerPool(settings->supervisorRecord().identifier, {7, 9}, "AI_WFNSC", &*pool, status);
    windows.setReadCallback(window, 0x104, [this](unsigned) {
      hold();
      return nQoSim::tSimAIFifo::kEmptyBit;
    });
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override {
    settings.reset();
    pool.reset();
    wfnsc.reset();
    tAIRow::TearDown();
  }
  void up(tSupervisor& supervisor, tStatus2& status) {
    supervisor.initialize(*settings, &facade, status);
    supervisor.link(map, status);
  }
  void ready(tSupervisor& supervisor, tStatus2& status) {
    supervisor.control(1, nullptr, nullptr, status);
    supervisor.control(4100, nullptr, nullptr, status);
  }
  std::vector<tEntry> entries(tSupervisor& supervisor) {
    constexpr int kTimeout = -200474;
    auto code = [&supervisor](uint32_t code, std::vector<uint8_t> in) {
      return [&supervisor, code, in](tStatus2& status) {
        nQoSim::tByteParameterBlock block(in);
        supervisor.control(code, in.empty() ? nullptr : &block, nullptr, status);
      };
    };
    return {
        {"400", code(400, {}), true, 0, kTimeout},
        {"401", code(401, {5, 0, 0, 0}), true, 0, kTimeout},
        {"the second interface's wait",
         [&supervisor](tStatus2& status) { supervisor.waitForNextSampleClock(status); }, true, 0,
         kTimeout},
        {"4100 under way",
         [&supervisor, this](tStatus2& status) {
           supervisor.reach([&](tPrimitive& primitive) {
             hold();
             primitive.arm(status);
           });
         }},
    };
  }
  std::string primitiveState() { return "mode " + std::to_string(wfnsc->mode()); }

  std::optional<nQoUdR100::tAI_WFNSCSettings> settings{std::in_place};
  std::optional<tPrimitive> wfnsc;
  std::optional<nQoUdR100::tBaseAI_WFNSCSupervisorRow::tPool> pool;
};

INSTANTIATE_TYPED_TEST_SUITE_P(AI, Lifecycle, ::testing::Types<tWFNSCRow>);

}  // namespace
}  // namespace nQoTest
