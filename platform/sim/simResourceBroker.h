// Test controls of the resource broker: its absence, a scripted answer to the
// next reserve, and the log of reserve (6) and release (7) calls.
#pragma once

#include <vector>

namespace nQoMRL100 {
class iLeafResourcePool;
class iResourceIdentifier;
class iRuntimeFacade;
}  // namespace nQoMRL100

namespace nQoSim {

struct tBrokerCall {
  int operation;  // 6 reserve, 7 release
  const nQoMRL100::iResourceIdentifier* identifier;
  const nQoMRL100::iRuntimeFacade* facade;
};

std::vector<tBrokerCall> brokerLog();
// Forgets registrations, the script and the log; the broker is present.
void resetResourceBroker();
// Without a broker getResourceBroker answers null.
void setResourceBrokerPresent(bool present);
// The next reserve answers this pool (which may be null or of any class)
// without asking a registered pool.
void scriptBrokerReserve(nQoMRL100::iLeafResourcePool* answer);

}  // namespace nQoSim
