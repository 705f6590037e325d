// The owner of a board's correlated digital I/O parts: the CDIO dispatcher,
// the nine correlated primitives and the immediate-write redirector, all null
// until a board's subsystem builds them.
#pragma once

#include "primitives/cdio/tBaseCDIImmediateTransferPrimitive.h"
#include "primitives/cdio/tBaseCDIInterruptTransferPrimitive.h"
#include "primitives/cdio/tBaseCDI_DMATransferPrimitive.h"
#include "primitives/cdio/tBaseCDOImmediateTransferPrimitive.h"
#include "primitives/cdio/tBaseCDOInterruptTransferPrimitive.h"
#include "primitives/cdio/tBaseCDO_DMATransferPrimitive.h"
#include "primitives/cdio/tTavikCDIODispatcher.h"
#include "primitives/cdio/tTavikCDI_FIFOPrimitive.h"
#include "primitives/cdio/tTavikCDO_FIFOPrimitive.h"
#include "primitives/cdio/tTavikImmedDigWriteRedirector.h"

namespace nQoUdP100 {

class tBaseCDIOSubsystem {
 public:
  virtual ~tBaseCDIOSubsystem() = default;
  // Whether every part but the redirector was built.
  virtual bool isComplete() const = 0;

  tTavikCDIODispatcher* dispatcher() const { return _dispatcher; }
  tTavikCDI_FIFOPrimitive* cdiFIFO() const { return _cdiFIFO; }
  tBaseCDIInterruptTransferPrimitive* cdiInterruptTransfer() const { return _cdiInterrupt; }
  tBaseCDIImmediateTransferPrimitive* cdiImmediateTransfer() const { return _cdiImmediate; }
  tBaseCDI_DMATransferPrimitive* cdiDMATransfer() const { return _cdiDMA; }
  tTavikCDO_FIFOPrimitive* cdoFIFO() const { return _cdoFIFO; }
  tBaseCDOInterruptTransferPrimitive* cdoInterruptTransfer() const { return _cdoInterrupt; }
  tBaseCDO_DMATransferPrimitive* cdoDMATransfer() const { return _cdoDMA; }
  tBaseCDOImmediateTransferPrimitive* cdoImmediateTransfer() const { return _cdoImmediate; }
  tTavikImmedDigWriteRedirector* redirector() const { return _redirector; }

 protected:
  tBaseCDIOSubsystem() = default;

  tTavikCDIODispatcher* _dispatcher = nullptr;
  tTavikCDI_FIFOPrimitive* _cdiFIFO = nullptr;
  tBaseCDIInterruptTransferPrimitive* _cdiInterrupt = nullptr;
  tBaseCDIImmediateTransferPrimitive* _cdiImmediate = nullptr;
  tBaseCDI_DMATransferPrimitive* _cdiDMA = nullptr;
  tTavikCDO_FIFOPrimitive* _cdoFIFO = nullptr;
  tBaseCDOInterruptTransferPrimitive* _cdoInterrupt = nullptr;
  tBaseCDO_DMATransferPrimitive* _cdoDMA = nullptr;
  tBaseCDOImmediateTransferPrimitive* _cdoImmediate = nullptr;
  tTavikImmedDigWriteRedirector* _redirector = nullptr;
};

}  // namespace nQoUdP100
