// The objects the module builds at load, in link order; each later class adds
// its registration here.
#include "frame/staticConstructors.h"

#include "device/routableInterfaces.h"
#include "device/routingVariants.h"
#include "device/tCounterProductTable.h"
#include "device/tDriver.h"
#include "device/tMIO_GUIDIdentifier.h"
#include "device/tRoutableRegistrar.h"
#include "frame/tClassRegistration.h"
#include "frame/tIntrinsicTypeReportable.h"
#include "frame/wideDigitString.h"
#include "primitives/dio/tChangeDetectionPrimitive.h"
#include "primitives/dio/tPCITavikChangeDetectionPrimitive.h"
#include "reservation/globalDriverParameters.h"
#include "reservation/primitiveTypeNames.h"
#include "settings/aiSettings.h"
#include "settings/aiTransferSettings.h"
#include "settings/aoDACSettings.h"
#include "settings/aoTimingSettings.h"
#include "settings/tAOImmedTransferSettings.h"
#include "settings/tAOInterruptTransferSettings.h"
#include "settings/tAOWaitForNextSampleClockSettings.h"
#include "settings/tAO_DACTransferSettings.h"
#include "settings/tAO_FIFOSettings.h"
#include "settings/tCDIImmediateTransferSettings.h"
#include "settings/tCDIInterruptTransferSettings.h"
#include "settings/tCDI_DMATransferSettings.h"
#include "settings/tCDI_FIFOSettings.h"
#include "settings/tCDOImmediateTransferSettings.h"
#include "settings/tCDOInterruptTransferSettings.h"
#include "settings/tCDO_DMATransferSettings.h"
#include "settings/tCDO_FIFOSettings.h"
#include "settings/tCalPWMSettings.h"
#include "settings/tChangeDetectionSettings.h"
#include "settings/tEEPROMSettings.h"
#include "settings/tEmptySettings.h"
#include "settings/tOutputDMATransferSettings.h"
#include "settings/tRemoteChildDeviceDisablerSettings.h"
#include "settings/tRemotingCalibrationManagerSettings.h"
#include "settings/tTavikFREQOUTPrimitiveSettings.h"
#include "settings/tTavikLineFilterIdentifier.h"
#include "settings/tTavikLineFilterSettings.h"
#include "settings/triggerTEDSSettings.h"
#include "supervisors/ai/aiImmediateTransferSupervisors.h"
#include "supervisors/ai/aiSupervisors.h"
#include "supervisors/ai/aiTransferSupervisors.h"
#include "supervisors/ao/tBaseAOTimingControllerSupervisor.h"
#include "supervisors/ao/tBaseAO_DACSupervisor.h"
#include "supervisors/ao/tBaseAO_DACTransferSupervisor.h"
#include "supervisors/ao/tBaseAO_FIFOSupervisor.h"
#include "supervisors/calibration/tBaseAnalogTriggerSupervisor.h"
#include "supervisors/calibration/tCalPWMSupervisor.h"
#include "supervisors/calibration/tTEDSSupervisor.h"
#include "supervisors/calibration/tTavikFREQOUTSupervisor.h"
#include "supervisors/calibration/tTavikLineFilterSupervisor.h"
#include "supervisors/cdio/cdioImmediateSupervisors.h"
#include "supervisors/cdio/cdioSupervisors.h"
#include "supervisors/dio/tCDIOImmedDigSupervisor.h"
#include "supervisors/dio/tChangeDetectionSupervisor.h"
#include "supervisors/dio/tavikDigSupervisors.h"
#include "supervisors/eeprom/tEEPROMSupervisor.h"
#include "supervisors/iOutputTimingControllerSupervisor.h"

// Each routing variant's topography class and routing-node builder.
#define QOUDR_VARIANT_CONSTRUCTORS(module, is37Pin) \
  module::tTopography::construct, module::tRoutingNodes::construct,
// Each routing variant's registrar class.
#define QOUDR_REGISTRAR_CONSTRUCTORS(variant, module) \
  nQoUdR100::tClassRegistration<nQoUdR100::t##variant##RoutableRegistrar>::construct,

// The variant list expands to entries of its own.
// clang-format off
const tStaticConstructor kStaticConstructors[] = {
    nullptr,
    nQoMRTB100::constructGlobalDriverParameters,
    nQoUdR100::constructWideDigitString,
    nQoMDBG100::tIntrinsicTypeReportable<unsigned int>::tRegistration::construct,
    nQoMDBG100::tIntrinsicTypeReportable<unsigned long>::tRegistration::construct,
    nQoMDBG100::tIntrinsicTypeReportable<nQoUdR100::tWString>::tRegistration::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tTavikLineFilterIdentifier>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tEmptySettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAISubsystemSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAITimingControllerSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAIScanningFrontEndSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAI_ADCSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAI_DMATransferSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAIDeviceFIFOSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAIInterruptTransferSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAIImmediateTransferSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAI_WFNSCSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAnalogTriggerSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tTEDSSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAO_DACSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAOGroundRefSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAOTimingControllerSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tOutputTimingControllerSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAO_FIFOSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAO_DACTransferSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tCalPWMSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tRemotingCalibrationManagerSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAOImmedTransferSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAOInterruptTransferSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAOWaitForNextSampleClockSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tOutputDMATransferSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tCDI_DMATransferSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tCDI_FIFOSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tCDIImmediateTransferSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tCDIInterruptTransferSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tCDO_DMATransferSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tCDO_FIFOSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tCDOImmediateTransferSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tCDOInterruptTransferSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tEEPROMSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tTavikFREQOUTPrimitiveSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tChangeDetectionSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tChangeDetectionPrimitive>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tTavikLineFilterSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tRemoteChildDeviceDisablerSettings>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::iOutputTimingControllerSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tCalPWMSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseEEPROMSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tEEPROMSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tTEDSSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::iUdSeriesRoutableRegistrar>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseAI_ADCSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseAISubsystemSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseAIScanningFrontEndSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseAITimingControllerSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseAIDeviceFIFOSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseAI_WFNSCSupervisor>::construct,
    nQoUdR100::constructPrimitiveTypeNames,
    nQoUdR100::tClassRegistration<nQoUdR100::tAIImmediateTransferSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tAIImmediateDMATransferSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseAIImmediateTransferSupervisorOfTransfer>::construct,
    nQoUdR100::tClassRegistration<
        nQoUdR100::tBaseAIImmediateTransferSupervisorOfDMATransfer>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseAI_DMATransferSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseAIInterruptTransferSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseAnalogTriggerSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseAO_DACSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseAOGroundRefSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseAOTimingControllerSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseAO_FIFOSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseAO_DACTransferSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::iCDI_DMATransferSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseCDI_FIFOSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseCDO_FIFOSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseCDI_DMATransferSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseCDO_DMATransferSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseCDIInterruptTransferSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseCDOInterruptTransferSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tCDIOImmedDigSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tTavikPFIDigSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tTavikFixedDirectionDigSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tTavik37PinDigSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseCDIImmediateTransferSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tBaseCDOImmediateTransferSupervisor>::construct,
    QOUDR_ROUTING_VARIANTS(QOUDR_VARIANT_CONSTRUCTORS)
    QOUDR_ROUTABLE_REGISTRARS(QOUDR_REGISTRAR_CONSTRUCTORS)
    nQoUdR100::tClassRegistration<nQoUdR100::tMIO_GUIDIdentifier>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tPCITavikChangeDetectionPrimitive>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tChangeDetectionSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tTavikLineFilterSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tTavikFREQOUTSupervisor>::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tDriver>::construct,
    nQoUdR100::tCounterProductTable::construct,
    nullptr,
};
// clang-format on

const std::size_t kStaticConstructorCount =
    sizeof kStaticConstructors / sizeof kStaticConstructors[0];
