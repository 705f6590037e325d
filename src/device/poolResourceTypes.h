// The primitive classes that the board's pools hand out. Pools and reservers
// hold only pointers to them.
#pragma once

namespace nQoUdP100 {
class iAIImmediateTransferPrimitive;
class iImmedDigWriteRedirector;
class iReferenceVoltagePrimitive;
class iTavikFREQOUTPrimitive;
class iTEDSCommunicator;
class tBaseAI_ADCPrimitive;
class tBaseAI_DMATransferPrimitive;
class tBaseAI_WFNSCPrimitive;
class tBaseAIDeviceFIFOPrimitive;
class tBaseAIImmediateDMATransferPrimitive;
class tBaseAIImmediateTransferPrimitive;
class tBaseAIInterruptTransferPrimitive;
class tBaseAIScanningFrontEndPrimitive;
class tBaseAISubsystem;
class tBaseAITimingControllerPrimitive;
class tBaseAnalogTriggerPrimitive;
class tBaseAO_DACPrimitive;
class tBaseAO_FIFOPrimitive;
class tBaseAOGroundRefPrimitive;
class tBaseAOTimingControllerPrimitive;
class tBaseCDI_DMATransferPrimitive;
class tBaseCDI_FIFOPrimitive;
class tBaseCDIImmediateTransferPrimitive;
class tBaseCDIInterruptTransferPrimitive;
class tBaseCDO_DMATransferPrimitive;
class tBaseCDO_FIFOPrimitive;
class tBaseCDOImmediateTransferPrimitive;
class tBaseCDOInterruptTransferPrimitive;
class tEEPROM;
class tTavikLineFilterPrimitive;
}  // namespace nQoUdP100

namespace nQoUdR100 {
class tChangeDetectionPrimitive;
}
