// Sends a static digital write through the CDO FIFO: the FIFO is reset, the
// present line values are read from the target, the merged word is written
// as one sample and stepped out at once. Until a target is set every
// operation gives -50004 and touches nothing.
//
//   tTavikImmedDigWriteRedirector redirector(cdoFIFO, status);
//   redirector.setRedirectTarget(&port);
//   redirector.writeLines(0x0F, 0x3, status);   // answers the sample width
#pragma once

#include <cstdint>

#include "cdp/iImmedDigPrim.h"
#include "mdbg/tStatus2.h"
#include "primitives/cdio/iImmedDigWriteRedirector.h"
#include "primitives/cdio/tBaseCDO_FIFOPrimitive.h"

namespace nQoUdP100 {

class tTavikImmedDigWriteRedirector : public iImmedDigWriteRedirector {
 public:
  tTavikImmedDigWriteRedirector(tBaseCDO_FIFOPrimitive* fifo, nQoMDBG100::tStatus2&)
      : _fifo(fifo) {}

  void setRedirectTarget(nQoCDP100::iImmedDigPrim* target) override { _target = target; }
  nQoCDP100::iImmedDigPrim* redirectTarget() const { return _target; }
  uint32_t readLines(uint32_t mask, uint32_t* value, nQoMDBG100::tStatus2& status) override;
  uint32_t writeLines(uint32_t mask, uint32_t value, nQoMDBG100::tStatus2& status) override;
  void setLineMode(uint32_t mask, int32_t mode, nQoMDBG100::tStatus2& status) override;

 private:
  // The target, or null with -50004 at the caller's site.
  nQoCDP100::iImmedDigPrim* target(nQoMDBG100::tStatus2& status, unsigned line);

  nQoCDP100::iImmedDigPrim* _target = nullptr;
  tBaseCDO_FIFOPrimitive* _fifo;
};

}  // namespace nQoUdP100
