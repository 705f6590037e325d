// Every pool class that a board hands out, in one list. poolInstantiations.cpp
// instantiates each class from it, which gives each its class identity; the
// driver builds its pools from it.
//
//   QOUDR_SINGULAR_POOL_RESOURCES(WRAPPED, BARE): the resource types T of the
//   exclusive pools tSingularResourcePool<T*>; WRAPPED rows are built inside
//   tRefCountingResourcePoolWrapper<tSingularResourcePool<T*>, T*> with the
//   driver's in-use count, BARE rows are not (the analog trigger's
//   reservations leave the count alone; the TEDS communicator's pool is only
//   named by a reserver, no board builds it).
//
//   QOUDR_OTHER_WRAPPED_POOLS(X): X(pool class, resource pointer type) of the
//   other pools that the driver wraps.
//
// The pool over a port's shared strategy (tImmedDigPortPool) is built bare
// and counts through its own count pointer.
#pragma once

#include "device/poolResourceTypes.h"
#include "mrl/tImmedDigResource.h"
#include "mrl/tProgPowerupReservationStrategy.h"
#include "reservation/iReservationStrategy2.h"
#include "reservation/tDigSingularResourcePool.h"
#include "reservation/tEEPROMResourcePool.h"
#include "reservation/tGenericResourcePool.h"
#include "reservation/tGenericResourcePoolExtStrategy.h"
#include "reservation/tInfiniteResourcePool.h"
#include "reservation/tRefCountingResourcePoolWrapper.h"
#include "reservation/tSingularResourcePool.h"
#include "supervisors/calibration/tTavikLineFilterResourcePool.h"

namespace nQoUdR100 {
using tProgPowerupPool = nQoSDR000::tGenericResourcePool<nQoSDR000::tProgPowerupReservationStrategy,
                                                         nQoSDR000::iProgPowerupPrim>;
using tImmedDigPortPool =
    tGenericResourcePoolExtStrategy<nQoCDP100::iImmedDigPrim, iReservationStrategy2>;
}  // namespace nQoUdR100

#define QOUDR_SINGULAR_POOL_RESOURCES(WRAPPED, BARE)       \
  WRAPPED(void)                                            \
  BARE(nQoUdP100::tBaseAnalogTriggerPrimitive)             \
  WRAPPED(nQoUdP100::tBaseAI_ADCPrimitive)                 \
  WRAPPED(nQoUdP100::tBaseAIDeviceFIFOPrimitive)           \
  WRAPPED(nQoUdP100::tBaseAI_DMATransferPrimitive)         \
  WRAPPED(nQoUdP100::iAIImmediateTransferPrimitive)        \
  WRAPPED(nQoUdP100::tBaseAIImmediateDMATransferPrimitive) \
  WRAPPED(nQoUdP100::tBaseAIInterruptTransferPrimitive)    \
  WRAPPED(nQoUdP100::tBaseAIScanningFrontEndPrimitive)     \
  WRAPPED(nQoUdP100::tBaseAITimingControllerPrimitive)     \
  WRAPPED(nQoUdP100::tBaseAISubsystem)                     \
  WRAPPED(nQoUdP100::tBaseAI_WFNSCPrimitive)               \
  WRAPPED(nQoUdP100::tBaseAO_DACPrimitive)                 \
  WRAPPED(nQoUdP100::tBaseAO_FIFOPrimitive)                \
  WRAPPED(nQoUdP100::tBaseAOGroundRefPrimitive)            \
  WRAPPED(nQoUdP100::tBaseAOTimingControllerPrimitive)     \
  WRAPPED(nQoUdP100::tBaseCDI_DMATransferPrimitive)        \
  WRAPPED(nQoUdP100::tBaseCDI_FIFOPrimitive)               \
  WRAPPED(nQoUdP100::tBaseCDIImmediateTransferPrimitive)   \
  WRAPPED(nQoUdP100::tBaseCDIInterruptTransferPrimitive)   \
  WRAPPED(nQoUdP100::tBaseCDO_DMATransferPrimitive)        \
  WRAPPED(nQoUdP100::tBaseCDO_FIFOPrimitive)               \
  WRAPPED(nQoUdP100::tBaseCDOImmediateTransferPrimitive)   \
  WRAPPED(nQoUdP100::tBaseCDOInterruptTransferPrimitive)   \
  WRAPPED(nQoUdR100::tChangeDetectionPrimitive)            \
  WRAPPED(nQoUdP100::iTavikFREQOUTPrimitive)               \
  WRAPPED(nQoUdP100::iReferenceVoltagePrimitive)           \
  BARE(nQoUdP100::iTEDSCommunicator)

#define QOUDR_OTHER_WRAPPED_POOLS(X)                                                \
  X(nQoCDR120::tDigSingularResourcePool<nQoCDP100::iTESK_HWTimingController*>,      \
    nQoCDP100::iTESK_HWTimingController*)                                           \
  X(nQoCDR120::tDigSingularResourcePool<nQoCDP100::iTESK_SWTimingController*>,      \
    nQoCDP100::iTESK_SWTimingController*)                                           \
  X(nQoCDR120::tDigSingularResourcePool<nQoCDP100::iTESKCommRoutingPrim*>,          \
    nQoCDP100::iTESKCommRoutingPrim*)                                               \
  X(nQoUdR100::tInfiniteResourcePool<nQoUdP100::iImmedDigWriteRedirector*>,         \
    nQoUdP100::iImmedDigWriteRedirector*)                                           \
  X(nQoUdR100::tEEPROMResourcePool<nQoUdP100::tEEPROM*>, nQoUdP100::tEEPROM*)       \
  X(nQoUdR100::tTavikLineFilterResourcePool<nQoUdP100::tTavikLineFilterPrimitive*>, \
    nQoUdP100::tTavikLineFilterPrimitive*)                                          \
  X(nQoUdR100::tProgPowerupPool, nQoSDR000::iProgPowerupPrim*)                      \
  X(nQoCDR110::tImmedDigResource, nQoCDP100::iImmedDigPrim*)
