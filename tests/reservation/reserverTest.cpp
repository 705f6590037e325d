// The singular reserver against the platform's resource broker: reserving by
// identifier, casting the pool by identity, handing back what it cannot use.
#include <gtest/gtest.h>

#include <optional>

#include "mrl/tGUIDIdentifier.h"
#include "mrl/tGeneralIdentifier.h"
#include "primitives/ai/tBaseAI_DMATransferPrimitive.h"
#include "reservation/poolInstantiations.h"
#include "reservation/reserverInstantiations.h"
#include "sim/simResourceBroker.h"
#include "support/moduleFixture.h"
#include "support/runtimeDoubles.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tBaseAI_DMATransferPrimitive;
using tDMAPool = nQoUdR100::tSingularResourcePool<tBaseAI_DMATransferPrimitive*>;
using tWrappedDMAPool =
    nQoUdR100::tRefCountingResourcePoolWrapper<tDMAPool, tBaseAI_DMATransferPrimitive*>;
using tDMAReserver = nQoMRTB100::tSingularReserver<tBaseAI_DMATransferPrimitive, tDMAPool>;

class ReserverTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    nQoTest::tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
    identifier.emplace();
    identifier->setDeviceGUID({7, 9});
    identifier->setString("AI_DMA", setup);
    reserver.setIdentifier(&*identifier);
    reserver.setRuntimeFacade(&facade);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    identifier.reset();  // its name is a platform allocation
    nQoTest::tLeakCheckedTest::TearDown();
  }

  // Every broker call was a release with the reserver's identifier and facade.
  void expectReleasesOnly(std::size_t count) {
    const auto log = nQoSim::brokerLog();
    std::size_t releases = 0;
    for (const nQoSim::tBrokerCall& call : log) {
      if (call.operation != 7) continue;
      ++releases;
      EXPECT_EQ(call.identifier, &*identifier);
      EXPECT_EQ(call.facade, &facade);
    }
    EXPECT_EQ(releases, count);
  }

  tStatus2 setup;
  nQoTest::tCallLog log;
  nQoTest::tScriptedFacade facade{log, "facade"};
  std::optional<nQoMRL100::tGeneralIdentifier> identifier;
  tSyncAtomicU32 inUse;
  tBaseAI_DMATransferPrimitive primitive;
  tDMAReserver reserver;
};

TEST_F(ReserverTest, ReservesThePrimitiveOfTheRegisteredPoolAndGivesItBack) {
  tWrappedDMAPool pool(&inUse, &primitive);
  nQoMRL100::getResourceBroker(setup)->registerPool(&*identifier, &pool, setup);
  ASSERT_EQ(setup.code, 0);

  tStatus2 status;
  reserver.reserveResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(reserver.getPrimitive(), &primitive);
  EXPECT_EQ(inUse.get(), 1u);
  const auto reserved = nQoSim::brokerLog();
  ASSERT_EQ(reserved.size(), 1u);
  EXPECT_EQ(reserved[0].operation, 6);
  EXPECT_EQ(reserved[0].identifier, &*identifier);
  EXPECT_EQ(reserved[0].facade, &facade);

  tDMAReserver second;  // the pool is exclusive: the broker answers null
  second.setIdentifier(&*identifier);
  tStatus2 refused;
  second.reserveResource(refused);
  EXPECT_EQ(refused.code, -50103);
  EXPECT_EQ(second.getPrimitive(), nullptr);

  reserver.releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(reserver.getPrimitive(), nullptr);
  EXPECT_EQ(inUse.get(), 0u);
  expectReleasesOnly(1);

  reserver.reserveResource(status);
  nQoSim::resetResourceBroker();  // the pool is gone: the broker's refusal is merged
  tStatus2 warned(3);
  reserver.releaseResource(warned);
  EXPECT_EQ(warned.code, nQoMRL100::kUnknownResource);
  EXPECT_EQ(reserver.getPrimitive(), nullptr);
}

TEST_F(ReserverTest, APoolOfAnotherClassOrWithoutPrimitiveIsHandedBackOnce) {
  nQoUdR100::tEEPROMResourcePool<nQoUdP100::tEEPROM*> other(nullptr);
  nQoSim::scriptBrokerReserve(&other);
  tStatus2 status(5);  // a warning gives way
  reserver.reserveResource(status);
  EXPECT_EQ(status.code, -89000);
  EXPECT_TRUE(nQoTest::loggedAt(-89000, "tSingularReserver", 107));
  EXPECT_EQ(reserver.getPrimitive(), nullptr);
  expectReleasesOnly(1);

  tWrappedDMAPool empty(&inUse, nullptr);
  nQoMRL100::getResourceBroker(setup)->registerPool(&*identifier, &empty, setup);
  tStatus2 none;
  reserver.reserveResource(none);
  EXPECT_EQ(none.code, -1);
  EXPECT_TRUE(nQoTest::loggedAt(-1, "tSingularReserver", 94));
  expectReleasesOnly(2);
  EXPECT_FALSE(empty.isPartiallyReserved(none)) << "the pool is free again";
  EXPECT_EQ(inUse.get(), 0u);
}

TEST_F(ReserverTest, WithoutBrokerOrGrantNothingIsHeldAndALaterLinkRefuses) {
  nQoSim::setResourceBrokerPresent(false);
  tStatus2 status;
  reserver.reserveResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(reserver.getPrimitive(), nullptr);
  EXPECT_TRUE(nQoSim::brokerLog().empty());

  nQoMRTB100::tDoneAndErrorEventRegistrarAndLinker<tBaseAI_DMATransferPrimitive> events;
  events.setPrimitive(reserver.getPrimitive());
  events.linkResource(status);
  EXPECT_EQ(status.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tDoneAndErrorEventRegistrarAndLinker", 82));

  nQoSim::setResourceBrokerPresent(true);
  nQoSim::scriptBrokerReserve(nullptr);  // a broker that grants nothing
  tStatus2 quiet;
  reserver.reserveResource(quiet);
  EXPECT_EQ(quiet.code, 0);
  EXPECT_EQ(reserver.getPrimitive(), nullptr);
  expectReleasesOnly(0);

  reserver.releaseResource(quiet);  // nothing held: no call
  EXPECT_EQ(nQoSim::brokerLog().size(), 1u);

  tStatus2 failed(-3);  // a stored error: no call at all
  reserver.reserveResource(failed);
  EXPECT_EQ(nQoSim::brokerLog().size(), 1u);
}

TEST_F(ReserverTest, BrokerHandsAGeneralIdentifiersSubIdentifierToThePool) {
  class tSeenPool : public nQoUdR100::tInfiniteResourcePool<void*> {
   public:
    tSeenPool() : tInfiniteResourcePool(nullptr) {}
    uint32_t reserve(const nQoMRL100::iResourceIdentifier* id, tStatus2&) override {
      seen = id;
      return granted;
    }
    void release(const nQoMRL100::iResourceIdentifier* id, tStatus2&) override { seen = id; }
    const nQoMRL100::iResourceIdentifier* seen = nullptr;
    uint32_t granted = 1;
  } pool;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(setup);
  broker->registerPool(&*identifier, &pool, setup);

  nQoMRL100::tGeneralIdentifier asked;  // equal by device, name and index
  asked.setDeviceGUID({7, 9});
  asked.setString("AI_DMA", setup);
  tStatus2 status;
  EXPECT_EQ(broker->reserve(&asked, &facade, status), &pool);
  EXPECT_EQ(pool.seen, &asked);

  const nQoMRL100::tGUIDIdentifier sub(nQoORB100::tGUID{1, 1});
  asked.setSubIdentifier(&sub);
  broker->release(&asked, &facade, status);
  EXPECT_EQ(pool.seen, &sub);
  pool.granted = 0;
  EXPECT_EQ(broker->reserve(&asked, &facade, status), nullptr);

  broker->unregisterPool(&pool, status);
  EXPECT_EQ(broker->reserve(&*identifier, &facade, status), nullptr);
  EXPECT_EQ(status.code, nQoMRL100::kUnknownResource);
}

TEST_F(ReserverTest, SetStringStoresTheNameOrReportsItsFailedAllocation) {
  nQoMRL100::tGeneralIdentifier named;
  tStatus2 status;
  named.setString("AI_ADC", status);
  EXPECT_STREQ(named.getString(), "AI_ADC");
  named.setString(named.getString(), status);  // its own name: only the check
  EXPECT_STREQ(named.getString(), "AI_ADC");
  EXPECT_EQ(status.code, 0);

  nQoSim::failAllocation(1);
  named.setString("a longer name than before", status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "qomrl/tStringIdentifier", 129));
  EXPECT_STREQ(named.getString(), "AI_ADC");
  tStatus2 sticky;  // the flag stays set
  named.setString(named.getString(), sticky);
  EXPECT_EQ(sticky.code, -50352);
}

}  // namespace
