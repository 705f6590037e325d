// The static digital supervisor of the lines that the CDIO port shares: the
// platform's immediate digital supervisor plus the board's write redirector,
// through which commit programs the lines (writes go through the CDO FIFO
// while correlated output owns them). Codes 256 and 257 take lines out of and
// into the mode word's programming; commit (1) then applies it. The codes may
// come from another thread: they reach the lines and the redirector through
// a slot that the release takes them out of, waiting for the codes under
// way, before it hands them back.
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "frame/tSinkSlot.h"
#include "mdbg/tStatus2.h"
#include "mrl/iControlParameterBlock.h"
#include "mrl/tImmedDigSup.h"
#include "orb/tGUID.h"
#include "primitives/cdio/iImmedDigWriteRedirector.h"

namespace nQoUdR100 {

class tCDIOImmedDigSupervisor : public nQoCDR110::tImmedDigSup, public tModuleObject {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tCDIOImmedDigSupervisor";
  static inline void* ___classID = nullptr;
  static constexpr const char* kRedirectorName = "ImmedDigWriteRedirector";

  tCDIOImmedDigSupervisor() = default;
  ~tCDIOImmedDigSupervisor() override;
  tCDIOImmedDigSupervisor(const tCDIOImmedDigSupervisor&) = delete;
  tCDIOImmedDigSupervisor& operator=(const tCDIOImmedDigSupervisor&) = delete;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tClass getClass(int& status) const override;

  void reserveResource(nQoMDBG100::tStatus2& status) override;
  void releaseResource(nQoMDBG100::tStatus2& status) override;
  void control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
               nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status) override;

  nQoUdP100::iImmedDigWriteRedirector* getRedirector() const { return _redirector; }

 private:
  // What the codes reach: the base's lines and the redirector, as reserve
  // left them.
  struct tReserved {
    nQoCDP100::iImmedDigPrim* lines = nullptr;
    nQoUdP100::iImmedDigWriteRedirector* redirector = nullptr;
  };

  void reserveRedirector(nQoMDBG100::tStatus2& status);
  void releaseRedirector(nQoMDBG100::tStatus2& status);
  void commit(const tReserved& reserved, nQoMDBG100::tStatus2& status);
  // Codes 256 (take the block's lines out of the mode programming) and 257
  // (put them in).
  void setModeLines(bool on, nQoUdP100::iImmedDigWriteRedirector* redirector,
                    nQoMRL100::iControlParameterBlock* in, nQoMDBG100::tStatus2& status);

  nQoUdP100::iImmedDigWriteRedirector* _redirector = nullptr;
  tReserved _reserved;
  // Holds _reserved from reserve to release.
  tSinkSlot<tReserved> _reached;
  // The device whose redirector is held: its release names it.
  nQoORB100::tGUID _redirectorDevice{};
};

}  // namespace nQoUdR100
