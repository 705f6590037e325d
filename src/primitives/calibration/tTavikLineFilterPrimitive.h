// The digital input filters of the PFI lines (group 0, 0xB0) and trigger-bus
// lines (group 1, 0xB4): a 2-bit setting per line, deployed in a table per
// group until commit takes the tables and writes each line's field (when it
// changed) and flushes the bus. A second pair of tables has its own setter
// and apply operation.
//
//   tPCITavikLineFilterPrimitive filters(description, map, status);
//   filters.setLineFilter(3, 2, 0, status);   // PFI line 3
//   filters.commit(status);                   // 0xB0 <- 0x00000080
#pragma once

#include <cstdint>

#include "frame/tDeployed.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/calibration/tLineFilterDescription.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tTavikLineFilterPrimitive : public nQoUdR100::tModuleObject {
 public:
  static constexpr uint32_t kGroup0Lines = 16;
  static constexpr uint32_t kGroup1Lines = 8;

  virtual ~tTavikLineFilterPrimitive() = default;

  // A line at or above its group's count gives kBadIndex and stores nothing;
  // groups other than 0 and 1 are ignored.
  void setLineFilter(uint32_t line, uint32_t setting, int32_t group, nQoMDBG100::tStatus2& status) {
    store(_filter.deploying(), line, setting, group, status);
  }
  void setAltLineFilter(uint32_t line, uint32_t setting, int32_t group,
                        nQoMDBG100::tStatus2& status) {
    store(_altFilter.deploying(), line, setting, group, status);
  }
  // Each programs its tables and keeps the record of what it wrote.
  void commit(nQoMDBG100::tStatus2& status) {
    if (!status.isFatal()) apply(_filter.program(), status);
  }
  void applyAlt(nQoMDBG100::tStatus2& status) {
    if (!status.isFatal()) apply(_altFilter.program(), status);
  }
  void uncommit(nQoMDBG100::tStatus2&) {}

  virtual void program(const uint32_t* table0, uint32_t count0, const uint32_t* table1,
                       uint32_t count1, nQoMDBG100::tStatus2& status) = 0;

 protected:
  // Group counts above the chip's 16 and 8 lines give kRefused.
  tTavikLineFilterPrimitive(const tLineFilterDescription& description,
                            nQoMDBG100::tStatus2& status);

  static constexpr const char* kDeploySteps[] = {"setLineFilter", "setAltLineFilter"};
  static constexpr const char* kProgrammingSteps[] = {"commit", "applyAlt"};

 private:
  struct tTables {
    uint32_t group0[kGroup0Lines] = {};
    uint32_t group1[kGroup1Lines] = {};
  };

  void store(tTables& tables, uint32_t line, uint32_t setting, int32_t group,
             nQoMDBG100::tStatus2& status);
  void apply(const tTables& tables, nQoMDBG100::tStatus2& status) {
    program(tables.group0, _group0Count, tables.group1, _group1Count, status);
  }

  uint32_t _group0Count = 0;
  uint32_t _group1Count = 0;
  nQoUdR100::tDeployed<tTables, tTavikLineFilterPrimitive> _filter;
  nQoUdR100::tDeployed<tTables, tTavikLineFilterPrimitive> _altFilter;
};

class tPCITavikLineFilterPrimitive final : public tTavikLineFilterPrimitive {
 public:
  tPCITavikLineFilterPrimitive(const tLineFilterDescription& description,
                               nQoUdRLP100::nTavik::tTavik* map, nQoMDBG100::tStatus2& status)
      : tTavikLineFilterPrimitive(description, status), _map(map) {}

  void program(const uint32_t* table0, uint32_t count0, const uint32_t* table1, uint32_t count1,
               nQoMDBG100::tStatus2& status) override;

 private:
  nQoUdRLP100::nTavik::tTavik* _map;
};

}  // namespace nQoUdP100
