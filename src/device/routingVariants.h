// The six routing variants of the board family, each in its own namespace:
// its topography class (tTopography, registered as "<namespace>::tTopography")
// and its routing-device node builder (tRoutingNodes), both over the tables
// that tools/boardgen generates for it.
#pragma once

#include "device/boardTables.h"
#include "device/tRoutingNodeModule.h"
#include "device/tTopography.h"

#define QOUDR_DEFINE_ROUTING_VARIANT(module, is37Pin)                                              \
  namespace module {                                                                               \
  struct tVariant {                                                                                \
    static constexpr const char* kTopographyClassName = #module "::tTopography";                   \
    static constexpr bool k37Pin = is37Pin;                                                        \
    static constexpr const nQoUdR100::tPackedTable& kTopographyTable = module::kTopographyTable;   \
    static constexpr const nQoUdR100::tPackedTable& kRoutingNodeTable = module::kRoutingNodeTable; \
    static constexpr const nQoUdR100::tNodeLayout& kNodeLayout = module::kNodeLayout;              \
  };                                                                                               \
  using tTopography = nQoUdR100::tTopographyOf<tVariant>;                                          \
  using tRoutingNodes = nQoUdR100::tRoutingNodeModule<tVariant>;                                   \
  }
QOUDR_ROUTING_VARIANTS(QOUDR_DEFINE_ROUTING_VARIANT)
#undef QOUDR_DEFINE_ROUTING_VARIANT
