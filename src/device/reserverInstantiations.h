// The reservers and linkers of the analog-input supervisors and the EEPROM
// supervisor, by primitive class. reserverInstantiations.cpp instantiates
// each.
#pragma once

#include "device/poolResourceTypes.h"
#include "reservation/tDMALinker.h"
#include "reservation/tDoneAndErrorEventRegistrarAndLinker.h"
#include "reservation/tEEPROMResourcePool.h"
#include "reservation/tSchedulerActionLinker.h"
#include "reservation/tSingularReserver.h"
#include "reservation/tSingularResourcePool.h"

// Primitive classes reserved from a tSingularResourcePool<Prim*>.
#define QOUDR_SINGULAR_RESERVER_PRIMITIVES(X)        \
  X(nQoUdP100::tBaseAISubsystem)                     \
  X(nQoUdP100::tBaseAITimingControllerPrimitive)     \
  X(nQoUdP100::tBaseAIScanningFrontEndPrimitive)     \
  X(nQoUdP100::tBaseAI_ADCPrimitive)                 \
  X(nQoUdP100::tBaseAI_WFNSCPrimitive)               \
  X(nQoUdP100::tBaseAIDeviceFIFOPrimitive)           \
  X(nQoUdP100::tBaseAI_DMATransferPrimitive)         \
  X(nQoUdP100::tBaseAIInterruptTransferPrimitive)    \
  X(nQoUdP100::tBaseAIImmediateDMATransferPrimitive) \
  X(nQoUdP100::iAIImmediateTransferPrimitive)        \
  X(nQoUdP100::iTEDSCommunicator)

// Primitive classes that get done and error events.
#define QOUDR_EVENT_LINKER_PRIMITIVES(X)             \
  X(nQoUdP100::tBaseAI_DMATransferPrimitive)         \
  X(nQoUdP100::tBaseAIImmediateDMATransferPrimitive) \
  X(nQoUdP100::tBaseAIImmediateTransferPrimitive)

// Primitive classes that get a scheduler action.
#define QOUDR_SCHEDULER_LINKER_PRIMITIVES(X)     \
  X(nQoUdP100::tBaseAITimingControllerPrimitive) \
  X(nQoUdP100::tBaseAIImmediateDMATransferPrimitive)
