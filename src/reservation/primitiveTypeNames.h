// The primitive type names: with the device GUID and an index they name every
// resource pool of a board, and supervisors reserve primitives by the same
// names. Built at module load, freed at unload (empty strings while unloaded):
//
//   identifier.setString(primitiveTypeName(kAO_FIFOName).c_str(), status);
//
// Names compare as exact strings: case, underscores and the blank in
// "FREQ OUT" count.
#pragma once

#include <cstdint>

#include "frame/tBasicString.h"

namespace nQoUdR100 {

enum tPrimitiveTypeName : uint32_t {
  kAnalogTriggerName,
  kCalibrationPWMName,
  kAIScanningFrontEndName,
  kAITimingControllerName,
  kAI_ADCName,
  kAIDeviceFIFOName,
  kAIImmediateTransferName,
  kAIImmediateDMATransferName,
  kAIInterruptTransferName,
  kAISubsystemName,
  kAI_DMATransferName,
  kAI_WFNSCPrimitiveName,
  kAO_DACName,
  kAOGroundRefName,
  kAO_FIFOName,
  kAOTimingName,
  kZorbCartridgeMiscellaneousName,
  kZorbCartridgeProcessorName,
  kZorbCartridgeSPIName,
  kCDI_DMATransferName,
  kCDI_FIFOName,
  kCDIInterruptTransferName,
  kCDIImmediateTransferName,
  kCDO_DMATransferName,
  kCDO_FIFOName,
  kCDOInterruptTransferName,
  kCDOImmediateTransferName,
  kImmedDigWriteRedirectorName,
  kImmedDigLatchingPrimName,
  kChangeDetectionPrimName,
  kFREQ_OUTName,
  kSimpleEventCounterPrimitiveName,
  kTavikLineFilterPrimitiveName,
  kDMMName,
  kFGenName,
  kVPSName,
  kEEPROMName,
  kQuorlEndpointManagerName,
  kTEDSCommunicatorName,
  kNetworkConnectionHandlerName,
  kZrhRouteHandlerName,
  kPrimitiveTypeNameCount
};

const tString& primitiveTypeName(tPrimitiveTypeName name);

// The static constructor: builds the names in order and queues their
// destruction (reverse order); -1 when a name or the queue entry cannot be
// allocated.
int constructPrimitiveTypeNames();

}  // namespace nQoUdR100
