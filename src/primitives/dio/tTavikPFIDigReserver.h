// Reserves the PFI terminals of a task's static digital lines by name, so
// that no other use takes them meanwhile. Mask bit i is the task's line i;
// its terminal is table[i], or PFI i without a table:
//
//   tTavikPFIDigReserver pfi(guid, nullptr, 16);   // the device's own: identity
//   pfi.reserve(0x5, status);                     // PFI0 and PFI2
//   pfi.release(0x5, status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"
#include "primitives/dio/iDigReserver.h"

namespace nQoUdR100 {

class tTavikPFIDigReserver : public nQoUdP100::iDigReserver {
 public:
  static constexpr uint32_t kTerminals = 16;

  tTavikPFIDigReserver(const nQoORB100::tGUID& device, const uint32_t* table, uint32_t count)
      : _device(device), _table(table), _count(count) {}

  // A line past the table is refused (-50150) before anything is reserved.
  // The first terminal held elsewhere ends the call with -200022 naming it;
  // the terminals taken before it are given back.
  void reserve(uint32_t mask, nQoMDBG100::tStatus2& status) override;
  // Every line of the table is tried, each on a fresh status merged into the
  // caller's; lines past the table are ignored.
  void release(uint32_t mask, nQoMDBG100::tStatus2& status) override;

 private:
  // Lines the table covers.
  uint32_t lines() const { return _table == nullptr ? kTerminals : _count; }
  const char* terminalName(uint32_t line) const;

  nQoORB100::tGUID _device;
  const uint32_t* _table;
  uint32_t _count;
};

// Reserves the front connector's static lines as one masked request to the
// immediate digital primitive's pool, without a facade.
class tTavikFrontConnectorDigReserver : public nQoUdP100::iDigReserver {
 public:
  explicit tTavikFrontConnectorDigReserver(const nQoORB100::tGUID& device) : _device(device) {}

  void reserve(uint32_t mask, nQoMDBG100::tStatus2& status) override;
  void release(uint32_t mask, nQoMDBG100::tStatus2& status) override;

 private:
  template <class Request>
  void request(uint32_t mask, nQoMDBG100::tStatus2& status, Request ask);

  nQoORB100::tGUID _device;
};

}  // namespace nQoUdR100
