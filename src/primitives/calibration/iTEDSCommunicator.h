// The primitive through which the TEDS supervisor reaches the data sheets of
// attached sensors. No board of this system implements it; its operations
// report that they are not offered (-50256) unless a communicator supplies
// them.
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tModuleObject.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

class iTEDSCommunicator : public nQoUdR100::tModuleObject {
 public:
  static inline void* ___classID = nullptr;
  virtual ~iTEDSCommunicator() = default;
  virtual void* ___CPPKRLDynamicCast(void* const* classID) {
    return classID == &___classID ? this : nullptr;
  }
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const {
    return classID == &___classID ? this : nullptr;
  }
  virtual void commit(nQoMDBG100::tStatus2& status) { refuse(status); }
  virtual void arm(nQoMDBG100::tStatus2& status) { refuse(status); }
  virtual void start(nQoMDBG100::tStatus2& status) { refuse(status); }
  virtual void stop(nQoMDBG100::tStatus2& status) { refuse(status); }
  virtual void disarm(nQoMDBG100::tStatus2& status) { refuse(status); }
  virtual void uncommit(nQoMDBG100::tStatus2& status) { refuse(status); }
  virtual void cancel(nQoMDBG100::tStatus2& status) { refuse(status); }
  // a selects the sensor memory, n counts bytes, c is the communicator's own.
  virtual void readEEPROM(uint32_t, uint32_t, uint32_t, uint8_t*, nQoMDBG100::tStatus2& status) {
    refuse(status);
  }
  virtual void writeEEPROM(uint32_t, uint32_t, uint32_t, const uint8_t*,
                           nQoMDBG100::tStatus2& status) {
    refuse(status);
  }
  // Eight bytes each.
  virtual void get8ByteIDBlock(uint32_t, uint8_t*, nQoMDBG100::tStatus2& status) { refuse(status); }
  virtual void read8BytePROM(uint32_t, uint8_t*, nQoMDBG100::tStatus2& status) { refuse(status); }
  virtual void write8BytePROM(uint32_t, const uint8_t*, nQoMDBG100::tStatus2& status) {
    refuse(status);
  }
  virtual uint32_t isPROMWritten(uint32_t, nQoMDBG100::tStatus2& status) {
    refuse(status);
    return 0;
  }

 private:
  static void refuse(nQoMDBG100::tStatus2& status) {
    nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {"iTEDSCommunicator", 1});
  }
};

}  // namespace nQoUdP100
