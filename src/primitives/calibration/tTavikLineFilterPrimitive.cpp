#include "primitives/calibration/tTavikLineFilterPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

namespace {
constexpr const char kFile[] = "tTavikLineFilterPrimitive";
}  // namespace

tTavikLineFilterPrimitive::tTavikLineFilterPrimitive(const tLineFilterDescription& description,
                                                     nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (description.pfiLines > kGroup0Lines || description.rivoLines > kGroup1Lines) {
    nQoUdR100::setCode(status, nQoUdR100::kRefused, {kFile, 14});
    return;
  }
  _group0Count = description.pfiLines;
  _group1Count = description.rivoLines;
}

void tTavikLineFilterPrimitive::store(tTables& tables, uint32_t line, uint32_t setting,
                                      int32_t group, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  uint32_t* table = nullptr;
  uint32_t count = 0;
  if (group == 0) {
    table = tables.group0;
    count = _group0Count;
  } else if (group == 1) {
    table = tables.group1;
    count = _group1Count;
  } else {
    return;
  }
  if (line >= count) {
    nQoUdR100::setCode(status, nQoUdR100::kBadIndex, {kFile, 38});
    return;
  }
  table[line] = setting;
}

void tPCITavikLineFilterPrimitive::program(const uint32_t* table0, uint32_t count0,
                                           const uint32_t* table1, uint32_t count1,
                                           nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  for (uint32_t i = 0; i < count0 && !status.isFatal(); ++i)
    _map->PFI_Filter.writeField(i + 1, table0[i], &status, 0);
  for (uint32_t i = 0; i < count1 && !status.isFatal(); ++i)
    _map->RIVO_Filter.writeField(i + 1, table1[i], &status, 0);
  _map->flushBus(&status);
}

}  // namespace nQoUdP100
