// The six routable registrars, one per routing variant, created by class name
// from the board's capability record. Each is stateless and forwards to its
// variant's routing-node builder; addRoutingDevice lays the routables out in
// the variant's terminal groups: a 37-pin variant gives groups 0 and 1 the
// Tavik routable and groups 2 to 5 the four further routables, a 68-pin
// variant gives group 0 the Tavik routable and groups 1 to 4 the four further
// ones.
//
//   registrar->addRoutingDevice(driver, node, &tavik, nullptr, &ai, &ao, &pll, &counters,
//                               names, status);
//   ...
//   registrar->removeRoutingDevice(driver, status);
#pragma once

#include "device/routableInterfaces.h"
#include "device/routingVariants.h"

namespace nQoUdR100 {

// tRow: kClassName, the variant (tVariant) and its routing-node builder (tNodes).
template <class tRow>
class tRoutableRegistrar final : public iUdSeriesRoutableRegistrar {
  using tNodes = typename tRow::tNodes;
  using tRoutable = nQoMRU210::iRoutableResource;

 public:
  static constexpr const char* kClassName = tRow::kClassName;
  static inline void* ___classID = nullptr;

  void* ___CPPKRLDynamicCast(void* const* classID) override {
    return nQoORB100::castToClass<tRoutableRegistrar, iUdSeriesRoutableRegistrar>(this, classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<tRoutableRegistrar*>(this)->___CPPKRLDynamicCast(classID);
  }
  nQoORB100::tClass getClass(int& status) const override {
    return tClassRegistration<tRoutableRegistrar>::getClass(*this, status);
  }

  void removeRoutingDevice(const void* owner, nQoMDBG100::tStatus2& status) override {
    tNodes::removeRoutingDevice(owner, status);
  }
  void claim(const void* owner, nQoMDBG100::tStatus2& status) override {
    tNodes::claim(owner, status);
  }
  void unclaim(const void* owner, nQoMDBG100::tStatus2& status) override {
    tNodes::unclaim(owner, status);
  }
  void addRoutingDevice(const void* owner, iDeviceNode* deviceNode, tRoutable* main, void*,
                        tRoutable* routableA, tRoutable* routableB, tRoutable* routableC,
                        tRoutable* routableD, const char* const* subsystemNames,
                        nQoMDBG100::tStatus2& status) override {
    if constexpr (tRow::tVariant::k37Pin) {
      tRoutable* const groups[] = {main, main, routableA, routableB, routableC, routableD};
      tNodes::addRoutingDevice(deviceNode, owner, groups, subsystemNames, status);
    } else {
      tRoutable* const groups[] = {main, routableA, routableB, routableC, routableD};
      tNodes::addRoutingDevice(deviceNode, owner, groups, subsystemNames, status);
    }
  }
};

#define QOUDR_ROUTABLE_REGISTRARS(X)   \
  X(NoRIVO37Pin, nNoRIVOUdSeries37Pin) \
  X(NoRIVO, nNoRIVOUdSeries)           \
  X(PXI37Pin, nPXIUdSeries37Pin)       \
  X(PXI, nPXIUdSeries)                 \
  X(RIVO37Pin, nRIVOUdSeries37Pin)     \
  X(RIVO, nRIVOUdSeries)

#define QOUDR_DEFINE_REGISTRAR(variant, module)                                            \
  struct t##variant##RegistrarRow {                                                        \
    static constexpr const char* kClassName = "nQoUdR100::t" #variant "RoutableRegistrar"; \
    using tVariant = module::tVariant;                                                     \
    using tNodes = module::tRoutingNodes;                                                  \
  };                                                                                       \
  using t##variant##RoutableRegistrar = tRoutableRegistrar<t##variant##RegistrarRow>;
QOUDR_ROUTABLE_REGISTRARS(QOUDR_DEFINE_REGISTRAR)
#undef QOUDR_DEFINE_REGISTRAR

}  // namespace nQoUdR100
