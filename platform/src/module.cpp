// Module registration, the module event log and version text.
#include <atomic>
#include <cstdio>
#include <mutex>

#include "pal/nQoPALModule.h"
#include "pal/tSSVersion.h"
#include "sim/simModule.h"
#include "sim/tBoundedLog.h"

namespace {
std::mutex gModuleLock;
constinit nQoSim::tBoundedLog<nQoSim::tModuleActivity> gActivity;
_tLibLinuxModuleInfo* gRecord = nullptr;
int gRegistrationStatus = 0;

std::string text(const char* value) { return value == nullptr ? std::string() : value; }
}  // namespace

namespace nQoSim {
std::vector<tModuleActivity> moduleActivity() {
  std::lock_guard<std::mutex> lock(gModuleLock);
  return gActivity.records();
}
void clearModuleActivity() {
  std::lock_guard<std::mutex> lock(gModuleLock);
  gActivity.clear();
}
void setModuleRegistrationStatus(int code) {
  std::lock_guard<std::mutex> lock(gModuleLock);
  gRegistrationStatus = code;
}
bool moduleRegistered() {
  std::lock_guard<std::mutex> lock(gModuleLock);
  return gRecord != nullptr;
}
int deliverModuleEvent(unsigned message) {
  int (*callback)(unsigned) = nullptr;
  {
    std::lock_guard<std::mutex> lock(gModuleLock);
    if (gRecord != nullptr) callback = gRecord->callback;
  }
  return callback == nullptr ? -50004 : callback(message);
}
}  // namespace nQoSim

void libRegisterModuleWithQoPAL(_tLibLinuxModuleInfo* record, int* status) {
  std::lock_guard<std::mutex> lock(gModuleLock);
  gActivity.add({nQoSim::tModuleActivity::kRegister, 0, "", "", "",
                 record ? record->callback : nullptr, record, record ? record->first : 0,
                 record ? record->second : 0});
  if (gRegistrationStatus != 0 && status != nullptr && *status >= 0) *status = gRegistrationStatus;
  if (gRegistrationStatus >= 0) gRecord = record;
}

void libUnregisterModuleWithQoPAL(_tLibLinuxModuleInfo* record, int*) {
  std::lock_guard<std::mutex> lock(gModuleLock);
  gActivity.add({nQoSim::tModuleActivity::kUnregister, 0, "", "", "",
                 record ? record->callback : nullptr, record, 0, 0});
  if (gRecord == record) gRecord = nullptr;
}

void pkgModulePackageEventLog(int kind, const char* fileName, const char* buildTag,
                              const char* name, int (*callback)(unsigned message)) {
  std::lock_guard<std::mutex> lock(gModuleLock);
  gActivity.add({nQoSim::tModuleActivity::kEventLog, kind, text(fileName), text(buildTag),
                 text(name), callback, nullptr, 0, 0});
}

void tSSVersion::toString(char* buffer) const {
  static const char kPhases[] = {'d', 'a', 'b', 'f'};
  std::snprintf(buffer, kTextSize, "%u.%u.%u%c%u", major(), minor(), update(), kPhases[phase()],
                build());
}
