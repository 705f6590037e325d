#include "supervisors/dio/immediateRegistrations.h"

#include "frame/tClassRegistration.h"
#include "supervisors/dio/cdioImmediateSupervisors.h"

namespace nQoUdR100 {

int constructCDIImmediateTransferSupervisor() {
  return tClassRegistration<tBaseCDIImmediateTransferSupervisor>::construct();
}
int constructCDOImmediateTransferSupervisor() {
  return tClassRegistration<tBaseCDOImmediateTransferSupervisor>::construct();
}

}  // namespace nQoUdR100
