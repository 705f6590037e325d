// The per-board driver interface: the platform creates a driver by class name
// for each board it finds, binds it to the board's device-tree node with
// initialize, and then sends it control codes. tBaseDriver is the part the
// platform asks, before unloading, whether the board is idle.
//
//   nQoMRL100::iDriver* driver = ...;   // created through the class registry
//   driver->initialize(guid, handle, status);
//   driver->control(8, nullptr, nullptr, status);   // bring the board up
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"
#include "orb/tObject.h"

namespace nQoMRL100 {

class iControlParameterBlock;

class tBaseDriver {
 public:
  virtual ~tBaseDriver() = default;
  // True when nothing is in use. A non-zero code given is reported on a
  // local status and dropped.
  virtual bool isIdle(uint32_t first, uint32_t second, const int* code) const = 0;
};

class iDriver : public virtual nQoORB100::tObject {
 public:
  static void* ___classID;
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  ~iDriver() override;
  virtual void initialize(const nQoORB100::tGUID& identifier, uint32_t deviceHandle,
                          nQoMDBG100::tStatus2& status) = 0;
  // Either block may be null; the driver reads nothing from the in block.
  virtual void control(uint32_t code, iControlParameterBlock* in, iControlParameterBlock* out,
                       nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRL100
