// The abstract routable faces: the registrar base is known by name but never
// created, and the Tavik routable destroys through the routing base.
#include <gtest/gtest.h>

#include <cstdint>

#include "device/routableInterfaces.h"
#include "orb/tClassImplementation.h"
#include "support/moduleFixture.h"

namespace {

TEST(RoutableInterfacesTest, TheRegistrarBaseIsNeverCreated) {
  nQoTest::tLoadedModule module;
  int status = 0;
  EXPECT_EQ(
      nQoORB100::tClassRegistry::createByName("nQoUdR100::iUdSeriesRoutableRegistrar", status),
      nullptr);
  EXPECT_EQ(status, -88306);
  int earlier = -7;
  EXPECT_EQ(
      nQoORB100::tClassRegistry::createByName("nQoUdR100::iUdSeriesRoutableRegistrar", earlier),
      nullptr);
  EXPECT_EQ(earlier, -7);
  int destroyed = 0;
  nQoUdR100::tClassRegistration<nQoUdR100::iUdSeriesRoutableRegistrar>::destroy(nullptr, destroyed);
  EXPECT_EQ(destroyed, -88306);

  nQoORB100::tClass registered;
  EXPECT_EQ(nQoUdR100::iUdSeriesRoutableRegistrar::staticGetClass(registered).implementation(),
            nQoUdR100::tClassRegistration<nQoUdR100::iUdSeriesRoutableRegistrar>::implementation());
  EXPECT_NE(registered.implementation(), nullptr);
}

TEST(RoutableInterfacesTest, TheTavikRoutableDestroysThroughTheBase) {
  struct tRoutes : nQoUdR100::iTavikRoutable {
    bool* destroyed;
    explicit tRoutes(bool* flag) : destroyed(flag) {}
    ~tRoutes() override { *destroyed = true; }
    void route(uint32_t, uint32_t, nQoMDBG100::tStatus2&) override {}
    void routeList(const nQoMRU210::tRouteList&, nQoMDBG100::tStatus2&) override {}
    void apply(nQoMDBG100::tStatus2&) override {}
    int commit(nQoMDBG100::tStatus2& status) override { return status.code; }
  };
  bool destroyed = false;
  nQoMRU210::iRoutableResource* routes = new tRoutes(&destroyed);
  delete routes;
  EXPECT_TRUE(destroyed);
}

}  // namespace
