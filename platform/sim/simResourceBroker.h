// Test controls of the resource broker: its absence, a scripted answer to the
// next reserve, a failure of the next call, the log of reserve (6) and release
// (7) calls, the log of registrations, and pools held as a task would hold
// them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "orb/tGUID.h"

namespace nQoMDBG100 {
class tStatus2;
}

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

// The most recent reserve and release calls, oldest first.
std::vector<tBrokerCall> brokerLog();
// Forgets registrations, holds, the script, the armed failure and both logs;
// the broker is present and logs again.
void resetResourceBroker();
// Turned off, the broker records neither calls nor registrations (benchmarks).
void setBrokerLogging(bool on);
// Without a broker getResourceBroker answers null.
void setResourceBrokerPresent(bool present);
// The next reserve answers this pool (which may be null or of any class)
// without asking a registered pool.
void scriptBrokerReserve(nQoMRL100::iLeafResourcePool* answer);
// The next broker call (register, unregister, reserve, release, or
// unregisterDeviceGUID) sets the code and does nothing else.
void failNextBrokerCall(int code);

// One registration, unregistration or unregisterDeviceGUID, with what the
// identifier said at the call.
struct tBrokerRegistration {
  enum tOperation { kRegister, kUnregisterPool, kUnregister, kUnregisterDeviceGUID };
  enum tKind { kNone, kGeneral, kDeviceGUID, kOther };
  tOperation operation;
  tKind kind = kNone;
  nQoORB100::tGUID guid{};  // general: the device GUID; GUID identifier or call: the GUID
  std::string name{};       // general only
  uint32_t index = 0;       // general only
  const nQoMRL100::iResourceIdentifier* identifier = nullptr;
  const nQoMRL100::iLeafResourcePool* pool = nullptr;
  int code = 0;  // the status code after the call
};
// The most recent registration calls, oldest first.
std::vector<tBrokerRegistration> brokerRegistrations();
// Empties the call log and the registration log between calls (long runs keep
// them from growing); registrations and holds stay.
void clearBrokerLogs();
// The pools registered now, oldest first.
std::vector<const nQoMRL100::iLeafResourcePool*> registeredPools();

// Reserves (releases) by the identifier through the broker, as a task's
// supervisor would.
nQoMRL100::iLeafResourcePool* holdPoolAsTask(const nQoMRL100::iResourceIdentifier& identifier,
                                             nQoMDBG100::tStatus2& status);
void releasePoolAsTask(const nQoMRL100::iResourceIdentifier& identifier,
                       nQoMDBG100::tStatus2& status);
// Reservations the broker counts on the pool, and whether its device's
// reservation holds it.
uint32_t brokerHoldsOf(const nQoMRL100::iLeafResourcePool* pool);
bool isHeldByDevice(const nQoMRL100::iLeafResourcePool* pool);

}  // namespace nQoSim
