// One instantiation of every reserver and linker of the list.
#include "device/reserverInstantiations.h"

#include "primitives/ai/tBaseAIImmediateDMATransferPrimitive.h"
#include "primitives/ai/tBaseAIImmediateTransferPrimitive.h"
#include "primitives/ai/tBaseAITimingControllerPrimitive.h"
#include "primitives/ai/tBaseAI_DMATransferPrimitive.h"

#define QOUDR_SINGULAR_RESERVER(Prim) \
  template class nQoMRTB100::tSingularReserver<Prim, nQoUdR100::tSingularResourcePool<Prim*>>;
#define QOUDR_EVENT_LINKER(Prim) \
  template class nQoMRTB100::tDoneAndErrorEventRegistrarAndLinker<Prim>;
#define QOUDR_SCHEDULER_LINKER(Prim) template class nQoMRTB100::tSchedulerActionLinker<Prim>;

QOUDR_SINGULAR_RESERVER_PRIMITIVES(QOUDR_SINGULAR_RESERVER)
QOUDR_EVENT_LINKER_PRIMITIVES(QOUDR_EVENT_LINKER)
QOUDR_SCHEDULER_LINKER_PRIMITIVES(QOUDR_SCHEDULER_LINKER)
template class nQoMRTB100::tSingularReserver<nQoUdP100::tEEPROM,
                                             nQoUdR100::tEEPROMResourcePool<nQoUdP100::tEEPROM*>>;
template class nQoMRTB100::tDMALinker<nQoUdP100::tBaseAI_DMATransferPrimitive>;
