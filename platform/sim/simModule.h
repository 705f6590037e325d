// Test controls of module registration, the module event log, trace lines,
// checks and debugger output.
#pragma once

#include <string>
#include <vector>

namespace nQoSim {

// One entry per call, in call order.
struct tModuleActivity {
  enum tKind { kEventLog, kRegister, kUnregister } kind;
  int eventKind;  // kEventLog: 0 load, 1 unload
  std::string fileName;
  std::string buildTag;
  std::string name;
  int (*callback)(unsigned message);
  const void* record;  // kRegister / kUnregister
  unsigned long long first, second;
};

// The most recent activity, oldest first (tBoundedLog keeps it); so for the
// trace lines, the failed checks and the debugger lines below.
std::vector<tModuleActivity> moduleActivity();
void clearModuleActivity();
// The status the next registrations report (0 by default); a negative one
// keeps no record.
void setModuleRegistrationStatus(int code);
bool moduleRegistered();
// Calls the registered module's event callback; -50004 when none is registered.
int deliverModuleEvent(unsigned message);

struct tTraceRecord {
  std::string component;
  std::string location;
  unsigned line;
  std::string text;
};
std::vector<tTraceRecord> traceLines();
void clearTraceLines();
// What evalCheck answers (true by default); failed checks are recorded.
void setCheckAnswer(bool report);
std::vector<std::string> checkFailures();

std::vector<std::string> debuggerLines();
void clearDebuggerLines();

}  // namespace nQoSim
