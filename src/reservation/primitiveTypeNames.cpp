#include "reservation/primitiveTypeNames.h"

#include "frame/moduleEntry.h"

namespace nQoUdR100 {

namespace {

constexpr const char* kTexts[kPrimitiveTypeNameCount] = {
    "AnalogTrigger",
    "CalibrationPWM",
    "AIScanningFrontEnd",
    "AITimingController",
    "AI_ADC",
    "AIDeviceFIFO",
    "AIImmediateTransfer",
    "AIImmediateDMATransfer",
    "AIInterruptTransfer",
    "AISubsystem",
    "AI_DMATransfer",
    "AI_WFNSCPrimitive",
    "AO_DAC",
    "AOGroundRef",
    "AO_FIFO",
    "AOTiming",
    "ZorbCartridgeMiscellaneous",
    "ZorbCartridgeProcessor",
    "ZorbCartridgeSPI",
    "CDI_DMATransfer",
    "CDI_FIFO",
    "CDIInterruptTransfer",
    "CDIImmediateTransfer",
    "CDO_DMATransfer",
    "CDO_FIFO",
    "CDOInterruptTransfer",
    "CDOImmediateTransfer",
    "ImmedDigWriteRedirector",
    "ImmedDigLatchingPrim",
    "ChangeDetectionPrim",
    "FREQ OUT",
    "SimpleEventCounterPrimitive",
    "tTavikLineFilterPrimitive",
    "tDMM",
    "tFGen",
    "tVPS",
    "tEEPROM",
    "QuorlEndpointManager",
    "TEDSCommunicator",
    "NetworkConnectionHandler",
    "ZrhRouteHandler",
};

constinit tString gNames[kPrimitiveTypeNameCount];

void destroyNames(void*) {
  for (uint32_t i = kPrimitiveTypeNameCount; i-- > 0;) gNames[i].reset();
}

}  // namespace

const tString& primitiveTypeName(tPrimitiveTypeName name) { return gNames[name]; }

int constructPrimitiveTypeNames() {
  bool built = true;
  for (uint32_t i = 0; i < kPrimitiveTypeNameCount; ++i) {
    built = gNames[i].assign(kTexts[i]) && built;
  }
  if (registerAtExit(destroyNames, nullptr, &gModuleAtExitHead) != 0) {
    destroyNames(nullptr);
    return -1;
  }
  return built ? 0 : -1;
}

}  // namespace nQoUdR100
