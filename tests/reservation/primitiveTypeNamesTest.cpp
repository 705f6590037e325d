// The primitive type names: built in order at load, exact as identifiers,
// freed at unload.
#include <gtest/gtest.h>

#include <string>

#include "mrl/iResourceBroker.h"
#include "mrl/tGeneralIdentifier.h"
#include "reservation/primitiveTypeNames.h"
#include "reservation/tSingularResourcePool.h"
#include "sim/simResourceBroker.h"
#include "support/moduleFixture.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::primitiveTypeName;
using nQoUdR100::tPrimitiveTypeName;

class PrimitiveTypeNamesTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    nQoTest::tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    nQoTest::tLeakCheckedTest::TearDown();
  }
};

TEST_F(PrimitiveTypeNamesTest, AllFortyOneAreBuiltInOrderAndFreedAtUnload) {
  {
    nQoTest::tLoadedModule module;
    ASSERT_EQ(module.loadResult(), 0);
    std::string all;
    for (uint32_t i = 0; i < nQoUdR100::kPrimitiveTypeNameCount; ++i)
      all += std::string(primitiveTypeName(static_cast<tPrimitiveTypeName>(i)).c_str()) + "|";
    EXPECT_EQ(all,
              "AnalogTrigger|CalibrationPWM|AIScanningFrontEnd|AITimingController|AI_ADC|"
              "AIDeviceFIFO|AIImmediateTransfer|AIImmediateDMATransfer|AIInterruptTransfer|"
              "AISubsystem|AI_DMATransfer|AI_WFNSCPrimitive|AO_DAC|AOGroundRef|AO_FIFO|AOTiming|"
              "ZorbCartridgeMiscellaneous|ZorbCartridgeProcessor|ZorbCartridgeSPI|"
              "CDI_DMATransfer|CDI_FIFO|CDIInterruptTransfer|CDIImmediateTransfer|"
              "CDO_DMATransfer|CDO_FIFO|CDOInterruptTransfer|CDOImmediateTransfer|"
              "ImmedDigWriteRedirector|ImmedDigLatchingPrim|ChangeDetectionPrim|FREQ OUT|"
              "SimpleEventCounterPrimitive|tTavikLineFilterPrimitive|tDMM|tFGen|tVPS|tEEPROM|"
              "QuorlEndpointManager|TEDSCommunicator|NetworkConnectionHandler|ZrhRouteHandler|");
  }
  EXPECT_EQ(primitiveTypeName(nQoUdR100::kAO_FIFOName).size(), 0u);
}

TEST_F(PrimitiveTypeNamesTest, APoolIsFoundOnlyUnderItsExactName) {
  nQoTest::tLoadedModule module;
  tStatus2 status;
  nQoMRL100::tGeneralIdentifier registered;
  registered.setDeviceGUID({3, 4});
  registered.setString(primitiveTypeName(nQoUdR100::kAO_FIFOName).c_str(), status);
  int resource = 0;
  nQoUdR100::tSingularResourcePool<int*> pool(&resource);
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
  broker->registerPool(&registered, &pool, status);
  ASSERT_EQ(status.code, 0);

  const struct {
    const char* name;
    bool found;
  } cases[] = {{"AO_FIFO", true}, {"AO_FIFO ", false}, {"ao_fifo", false}};
  for (const auto& c : cases) {
    nQoMRL100::tGeneralIdentifier wanted;
    wanted.setDeviceGUID({3, 4});
    wanted.setString(c.name, status);
    wanted.setIndex(0);
    tStatus2 reserve;
    nQoMRL100::iLeafResourcePool* answer = broker->reserve(&wanted, nullptr, reserve);
    EXPECT_EQ(answer != nullptr, c.found) << c.name;
    EXPECT_EQ(reserve.code, c.found ? 0 : nQoMRL100::kUnknownResource) << c.name;
    if (answer != nullptr) broker->release(&wanted, nullptr, reserve);
  }
  broker->unregisterPool(&pool, status);
}

}  // namespace
