// The board data that tools/boardgen generates from src/device/boards/: the
// capability records, the counter product rows and, per routing variant, the
// packed topography and routing-node tables with the node layout.
#pragma once

#include <cstddef>

#include "device/boardParts.h"
#include "device/tCounterProductDescriptor.h"
#include "device/tPackedTable.h"
#include "frame/tProductDescriptor.h"

// Every routing variant: X(topography module, true for a 37-pin connector).
#define QOUDR_ROUTING_VARIANTS(X) \
  X(nNoRIVOUdSeries37Pin, true)   \
  X(nNoRIVOUdSeries, false)       \
  X(nPXIUdSeries37Pin, true)      \
  X(nPXIUdSeries, false)          \
  X(nRIVOUdSeries37Pin, true)     \
  X(nRIVOUdSeries, false)

#define QOUDR_DECLARE_VARIANT_TABLES(module, is37Pin)     \
  namespace module {                                      \
  extern const nQoUdR100::tPackedTable kTopographyTable;  \
  extern const nQoUdR100::tPackedTable kRoutingNodeTable; \
  extern const nQoUdR100::tNodeLayout kNodeLayout;        \
  }
QOUDR_ROUTING_VARIANTS(QOUDR_DECLARE_VARIANT_TABLES)
#undef QOUDR_DECLARE_VARIANT_TABLES

namespace nQoUdR100 {

extern const tProductDescriptor kCapabilityRecords[];
extern const tProductDescriptor* const kCapabilityTable[];
extern const std::size_t kCapabilityCount;

extern const tCounterProductDescriptor* const kCounterProductRows[];
extern const std::size_t kCounterProductCount;
// The counter product table that the module fills from the rows at load.
extern const tCounterProductDescriptor* gCounterProductTable[];

}  // namespace nQoUdR100
