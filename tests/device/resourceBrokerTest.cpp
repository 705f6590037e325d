// The resource broker's registrations: general identifiers kept by value and
// answered by the newest equal registration, a device identifier that holds,
// releases and unregisters every pool of its device all or nothing, the
// registration log and an armed failure.
#include <gtest/gtest.h>

#include <vector>

#include "device/tMIO_GUIDIdentifier.h"
#include "mrl/iResourceBroker.h"
#include "mrl/tGUIDIdentifier.h"
#include "mrl/tGeneralIdentifier.h"
#include "reservation/tSingularResourcePool.h"
#include "sim/simResourceBroker.h"
#include "support/moduleFixture.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoMRL100::iLeafResourcePool;
using nQoSim::tBrokerRegistration;
using tPool = nQoUdR100::tSingularResourcePool<int*>;

const nQoORB100::tGUID kDevice{7, 9};
const nQoORB100::tGUID kOtherDevice{7, 10};

nQoMRL100::tGeneralIdentifier named(const nQoORB100::tGUID& device, const char* name,
                                    uint32_t index) {
  nQoMRL100::tGeneralIdentifier identifier;
  identifier.setDeviceGUID(device);
  tStatus2 status;
  identifier.setString(name, status);
  identifier.setIndex(index);
  return identifier;
}

class ResourceBrokerTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
    broker = nQoMRL100::getResourceBroker(status);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    tLeakCheckedTest::TearDown();
  }
  // Registers each pool under the one identifier, renamed in between.
  void registerNamed(std::initializer_list<std::pair<tPool*, nQoMRL100::tGeneralIdentifier>> rows) {
    nQoMRL100::tGeneralIdentifier reused;
    for (const auto& [pool, identifier] : rows) {
      reused = identifier;
      broker->registerPool(&reused, pool, status);
    }
  }
  iLeafResourcePool* holdAsTask(const nQoMRL100::iResourceIdentifier& identifier,
                                tStatus2& result) {
    return nQoSim::holdPoolAsTask(identifier, result);
  }

  tStatus2 status;
  nQoMRL100::iResourceBroker* broker = nullptr;
  int primitive = 0;
  tPool adc{&primitive}, dma{&primitive}, other{&primitive}, failure{&primitive};
  const nQoMRL100::tGUIDIdentifier device{kDevice};
};

TEST_F(ResourceBrokerTest, AGeneralIdentifierReachesTheNewestRegistrationEqualToItsValues) {
  registerNamed({{&adc, named(kDevice, "AI_ADC", 0)},
                 {&dma, named(kDevice, "AI_DMATransfer", 0)},
                 {&other, named(kOtherDevice, "AI_ADC", 0)}});
  tStatus2 result;
  EXPECT_EQ(holdAsTask(named(kDevice, "AI_ADC", 0), result), &adc);
  EXPECT_EQ(holdAsTask(named(kOtherDevice, "AI_ADC", 0), result), &other);
  EXPECT_EQ(holdAsTask(named(kDevice, "AI_ADC", 1), result), nullptr);
  EXPECT_EQ(result.code, nQoMRL100::kUnknownResource);
  EXPECT_EQ(nQoSim::brokerHoldsOf(&adc), 1u);

  // A device-wide identifier registered later answers every general
  // identifier of its device until it is unregistered.
  nQoUdR100::tMIO_GUIDIdentifier loadFailure;
  loadFailure.setGUID(kDevice);
  broker->registerPool(&loadFailure, &failure, status);
  tStatus2 later;
  EXPECT_EQ(holdAsTask(named(kDevice, "AI_DMATransfer", 0), later), &failure);
  EXPECT_EQ(holdAsTask(named(kOtherDevice, "AI_ADC", 0), later), nullptr);
  EXPECT_EQ(later.code, -50103);
  broker->unregister(&loadFailure, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(nQoSim::registeredPools(), (std::vector<const iLeafResourcePool*>{&adc, &dma, &other}));

  const auto log = nQoSim::brokerRegistrations();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[1].operation, tBrokerRegistration::kRegister);
  EXPECT_EQ(log[1].kind, tBrokerRegistration::kGeneral);
  EXPECT_EQ(log[1].guid, kDevice);
  EXPECT_EQ(log[1].name, "AI_DMATransfer");
  EXPECT_EQ(log[1].pool, &dma);
  EXPECT_EQ(log[2].index, 0u);
  EXPECT_EQ(log[2].guid, kOtherDevice);
  EXPECT_EQ(log[3].kind, tBrokerRegistration::kOther);
  EXPECT_EQ(log[3].identifier, &loadFailure);
  EXPECT_EQ(log[4].operation, tBrokerRegistration::kUnregister);
  EXPECT_EQ(log[4].pool, nullptr);
}

TEST_F(ResourceBrokerTest, TheDeviceIdentifierHoldsEveryPoolOfItsDeviceOrNone) {
  registerNamed({{&adc, named(kDevice, "AI_ADC", 0)},
                 {&dma, named(kDevice, "AI_DMATransfer", 0)},
                 {&other, named(kOtherDevice, "AI_ADC", 0)}});
  tStatus2 task;
  holdAsTask(named(kDevice, "AI_ADC", 0), task);
  tStatus2 refused;
  EXPECT_EQ(broker->reserve(&device, nullptr, refused), nullptr);
  EXPECT_EQ(refused.code, -50103);
  EXPECT_FALSE(nQoSim::isHeldByDevice(&dma));

  nQoSim::releasePoolAsTask(named(kDevice, "AI_ADC", 0), task);
  EXPECT_EQ(task.code, 0);
  EXPECT_EQ(nQoSim::brokerHoldsOf(&adc), 0u);
  EXPECT_NE(broker->reserve(&device, nullptr, status), nullptr);
  EXPECT_EQ(status.code, 0);
  EXPECT_TRUE(nQoSim::isHeldByDevice(&adc));
  EXPECT_TRUE(nQoSim::isHeldByDevice(&dma));
  EXPECT_FALSE(nQoSim::isHeldByDevice(&other));
  tStatus2 whileHeld;
  EXPECT_EQ(holdAsTask(named(kDevice, "AI_DMATransfer", 0), whileHeld), nullptr);
  EXPECT_EQ(whileHeld.code, -50103);
  EXPECT_FALSE(dma.isPartiallyReserved(whileHeld));
  tStatus2 twice;
  EXPECT_EQ(broker->reserve(&device, nullptr, twice), nullptr);
  EXPECT_EQ(twice.code, -50103);

  broker->release(&device, nullptr, status);
  EXPECT_FALSE(nQoSim::isHeldByDevice(&adc));
  EXPECT_EQ(holdAsTask(named(kDevice, "AI_DMATransfer", 0), status), &dma);
  nQoSim::releasePoolAsTask(named(kDevice, "AI_DMATransfer", 0), status);

  // Unregistering the device forgets its pools and their holds; a pool
  // registered afterwards starts free.
  EXPECT_NE(broker->reserve(&device, nullptr, status), nullptr);
  broker->unregister(&device, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(nQoSim::registeredPools(), std::vector<const iLeafResourcePool*>{&other});
  registerNamed({{&adc, named(kDevice, "", 1)}});
  EXPECT_FALSE(nQoSim::isHeldByDevice(&adc));
  EXPECT_EQ(broker->reserve(&device, nullptr, status), &adc);
  broker->unregisterPool(&adc, status);
  registerNamed({{&adc, named(kDevice, "", 1)}});
  EXPECT_FALSE(nQoSim::isHeldByDevice(&adc));
  EXPECT_EQ(status.code, 0);

  const nQoMRL100::tGUIDIdentifier nobody(nQoORB100::tGUID{1, 1});
  for (int operation = 0; operation < 3; ++operation) {
    SCOPED_TRACE(operation);
    tStatus2 unknown;
    if (operation == 0) {
      EXPECT_EQ(broker->reserve(&nobody, nullptr, unknown), nullptr);
    }
    if (operation == 1) broker->release(&nobody, nullptr, unknown);
    if (operation == 2) broker->unregister(&nobody, unknown);
    EXPECT_EQ(unknown.code, nQoMRL100::kUnknownResource);
  }
}

TEST_F(ResourceBrokerTest, AnArmedFailureTakesTheNextCallAndTheDeviceGUIDIsLogged) {
  nQoSim::failNextBrokerCall(-50004);
  registerNamed({{&adc, named(kDevice, "AI_ADC", 0)}});
  EXPECT_EQ(status.code, -50004);
  EXPECT_TRUE(nQoSim::registeredPools().empty());

  status.clear();
  tStatus2 next;
  registerNamed({{&adc, named(kDevice, "AI_ADC", 0)}});
  nQoMRL100::unregisterDeviceGUID(kDevice, next);
  nQoSim::failNextBrokerCall(-50150);
  nQoMRL100::unregisterDeviceGUID(kOtherDevice, next);
  tStatus2 failed(-7);
  nQoMRL100::unregisterDeviceGUID(kDevice, failed);

  const auto log = nQoSim::brokerRegistrations();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[0].code, -50004);
  EXPECT_EQ(log[2].operation, tBrokerRegistration::kUnregisterDeviceGUID);
  EXPECT_EQ(log[2].guid, kDevice);
  EXPECT_EQ(log[2].code, 0);
  EXPECT_EQ(log[3].guid, kOtherDevice);
  EXPECT_EQ(log[3].code, -50150);
  EXPECT_EQ(log[4].code, -7);
  EXPECT_EQ(nQoSim::registeredPools(), std::vector<const iLeafResourcePool*>{&adc});
}

}  // namespace
