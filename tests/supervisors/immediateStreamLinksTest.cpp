// The immediate supervisors as the platform reaches them: the CDI and CDO
// done hook on the task's event (the observer set up at initialize, the done
// kind registered only for a board that is not simulated and dropped after
// the hand-back), and the stream interfaces found by class identity.
#include <gtest/gtest.h>

#include <cstdint>

#include "msrl/iInputStreamPrimitiveSupervisor.h"
#include "msrl/iOutputStream.h"
#include "primitives/cdio/tTavikCDIODispatcher.h"
#include "primitives/cdio/tTavikCDI_FIFOPrimitive.h"
#include "primitives/cdio/tTavikCDO_FIFOPrimitive.h"
#include "reservation/tSingularResourcePool.h"
#include "sim/simAllocator.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "supervisors/ai/aiImmediateTransferSupervisors.h"
#include "supervisors/cdio/cdioImmediateSupervisors.h"
#include "support/brokerPools.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace nQoTest {
namespace {

using namespace nQoUdR100;

class ImmediateStreamLinksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    nQoSim::resetResourceBroker();
    nQoSim::clearStatusLog();
    facade.eventObject = &event;
    ASSERT_EQ(status.code, 0);
  }
  void TearDown() override { nQoSim::resetResourceBroker(); }

  // initialize and reserveResource over a pool of the primitive.
  template <class Supervisor, class Settings, class Primitive>
  void reserve(Supervisor& supervisor, Settings& settings, Primitive& transfer, tStatus2& s) {
    pool = new tSingularResourcePool<Primitive*>(&transfer);
    offerPool(settings.template record<0>().identifier, identity, "Immediate", pool, s);
    supervisor.initialize(settings, &facade, s);
    supervisor.reserveResource(s);
  }

  tCallLog calls;
  tScriptedFacade facade{calls, "facade"};
  tScriptedEvent event{calls, "event"};
  nQoSim::tSimRegisterWindows windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  tStatus2 status;
  nQoUdRLP100::nTavik::tTavik map{&bus, window, &status};
  nQoUdRLP100::tTavikInterruptDispatcher board{&map, 1, &status};
  nQoUdP100::tTavikCDIODispatcher cdio{&board};
  nQoUdP100::tCDIODescription description{.cdiFIFODepth = 1024, .sampleWidth = 1};
  nQoUdP100::tDeviceInfo deviceInfo;
  nQoORB100::tGUID identity{0x1111, 0x2222};
  nQoUdP100::tTavikCDI_FIFOPrimitive cdi{&cdio, &description, &map, status};
  nQoUdP100::tTavikCDO_FIFOPrimitive cdo{&cdio, &description, &map, status};
  nQoMRL100::iLeafResourcePool* pool = nullptr;
};

TEST_F(ImmediateStreamLinksTest, InputEndReachesTheTaskEventThroughTheObserver) {
  nQoUdP100::tBaseCDIImmediateTransferPrimitive transfer(&deviceInfo, &description, &cdi, &identity,
                                                         status);
  tCDIImmediateTransferSettings settings;
  settings.record<0>().transferMode = 0;
  {
    tBaseCDIImmediateTransferSupervisor supervisor;
    tStatus2 s;
    reserve(supervisor, settings, transfer, s);
    supervisor.linkResource(s);
    for (uint32_t code : {1u, 2u, 3u}) supervisor.control(code, nullptr, nullptr, s);
    ASSERT_EQ(s.code, 0);
    EXPECT_EQ(calls.operations(), "facade.getEventObject, event.registerEvent 1, event.post 1 0");
    calls.clear();
    supervisor.control(4, nullptr, nullptr, s);
    supervisor.unlinkResource(s);
    supervisor.releaseResource(s);
    EXPECT_EQ(s.code, 0);
    EXPECT_EQ(calls.operations(), "event.unregisterEvent 1");
    EXPECT_EQ(nQoSim::brokerLog().back().operation, 7);
    // A second release has no registration left to drop.
    calls.clear();
    supervisor.releaseResource(s);
    EXPECT_EQ(calls.operations(), "");
  }
  delete pool;
}

TEST_F(ImmediateStreamLinksTest, SimulatedBoardRegistersNoDoneKind) {
  deviceInfo.simulated = 1;
  nQoUdP100::tBaseCDOImmediateTransferPrimitive transfer(&deviceInfo, &description, &cdo, &identity,
                                                         status);
  tCDOImmediateTransferSettings settings;
  {
    tBaseCDOImmediateTransferSupervisor supervisor;
    tStatus2 s;
    reserve(supervisor, settings, transfer, s);
    supervisor.releaseResource(s);
    EXPECT_EQ(s.code, 0);
    EXPECT_EQ(calls.operations(), "facade.getEventObject");
  }
  delete pool;
}

TEST_F(ImmediateStreamLinksTest, InitializeFailsWithoutEventOrObserver) {
  tCDIImmediateTransferSettings settings;
  tBaseCDIImmediateTransferSupervisor missing;
  facade.eventObject = nullptr;
  tStatus2 noEvent;
  missing.initialize(settings, &facade, noEvent);
  EXPECT_EQ(noEvent.code, -89000);
  EXPECT_TRUE(loggedAt(-89000, "tBaseCDIImmediateTransferSupervisor", 118));
  EXPECT_EQ(missing.getLifecycle(), 0u);

  facade.eventObject = &event;
  tBaseCDOImmediateTransferSupervisor starved;
  tCDOImmediateTransferSettings output;
  nQoSim::failAllocation(1);
  tStatus2 noMemory;
  starved.initialize(output, &facade, noMemory);
  nQoSim::failAllocation(0);
  EXPECT_EQ(noMemory.code, -50352);
  EXPECT_EQ(starved.getLinks().observer(), nullptr);
  EXPECT_EQ(starved.getLifecycle(), 0u);
}

// Each immediate supervisor answers its stream interface by class identity;
// the stream is null once the status holds an error.
template <class Interface, class Supervisor, class Stream>
void expectStream(Supervisor& supervisor, Stream* (Interface::*get)(tStatus2&)) {
  auto* face = static_cast<Interface*>(supervisor.___CPPKRLDynamicCast(&Interface::___classID));
  ASSERT_NE(face, nullptr);
  tStatus2 good, failed;
  EXPECT_EQ((face->*get)(good), static_cast<Stream*>(&supervisor));
  failed.setCode(-1, "test", "test", 1);
  EXPECT_EQ((face->*get)(failed), nullptr);
  EXPECT_EQ(failed.code, -1);
}

TEST(ImmediateStreamInterfaces, EachSupervisorAnswersItsStream) {
  using nQoMSRL100::iInputStreamPrimitiveSupervisor;
  using nQoMSRL100::iOutputStreamPrimitiveSupervisor;
  tBaseCDIImmediateTransferSupervisor input;
  tBaseCDOImmediateTransferSupervisor output;
  tAIImmediateTransferSupervisor analog;
  tAIImmediateDMATransferSupervisor analogDMA;
  expectStream(input, &iInputStreamPrimitiveSupervisor::getInputStreamPtr);
  expectStream(output, &iOutputStreamPrimitiveSupervisor::getOutputStreamPtr);
  expectStream(analog, &iInputStreamPrimitiveSupervisor::getInputStreamPtr);
  expectStream(analogDMA, &iInputStreamPrimitiveSupervisor::getInputStreamPtr);
  // The output supervisor is no input stream.
  EXPECT_EQ(output.___CPPKRLDynamicCast(&iInputStreamPrimitiveSupervisor::___classID), nullptr);
}

}  // namespace
}  // namespace nQoTest
