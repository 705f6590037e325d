#include "frame/moduleEntry.h"

#include "apal/nQoAPALMemory.h"
#include "frame/staticConstructors.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "pal/nQoPALModule.h"

namespace {

// The platform keeps a pointer to this record from registration to
// unregistration.
_tLibLinuxModuleInfo gModuleInfo;
unsigned gLoadCount = 0;

const char kObjectFileName[] = "qoudrk.o";
const char kBuildTag[] = "21.8.0f238 " __DATE__ " " __TIME__ " qoudrk host-x86_64";

}  // namespace

tAtExitNode* gModuleAtExitHead = nullptr;
int (*gModuleMessageHandler)(unsigned message) = moduleMessageNoop;

unsigned moduleLoadCount() { return gLoadCount; }

extern "C" int nQoPAL100_ckalcbInitModule(uint64_t first, uint64_t second) {
  int status = 0;
  pkgModulePackageEventLog(0, kObjectFileName, kBuildTag, "ssMain", moduleMessageEntry);
  gModuleInfo = {first, second, moduleMessageEntry};
  libRegisterModuleWithQoPAL(&gModuleInfo, &status);
  if (status >= 0) return 0;
  return status == nQoUdR100::kOutOfMemory ? -12 : -19;
}

extern "C" void nQoPAL100_ckalcbCleanupModule(void) {
  int status = 0;
  libUnregisterModuleWithQoPAL(&gModuleInfo, &status);
  pkgModulePackageEventLog(1, kObjectFileName, kBuildTag, "ssMain", moduleMessageEntry);
}

int moduleMessageEntry(unsigned message) {
  int status = 0;
  switch (message) {
    case 0:
      status = runStaticConstructors();
      nQoUdRLP100::onModuleLoad(&status);
      nQoUdR100::mergeCode(status, moduleMessageHook(0));
      if (status < 0) runAtExitList();
      return status;
    case 1:
      nQoUdR100::mergeCode(status, moduleMessageHook(1));
      runAtExitList();
      return status;
    default: nQoUdR100::mergeCode(status, moduleMessageHook(message)); return status;
  }
}

int runStaticConstructors() {
  if (gLoadCount++ != 0) return 0;
  return runConstructorList(kStaticConstructors, kStaticConstructorCount);
}

void runAtExitList() {
  // An unload without a load changes nothing.
  if (gLoadCount == 0 || --gLoadCount != 0) return;
  while (gModuleAtExitHead != nullptr) {
    tAtExitNode* node = gModuleAtExitHead;
    gModuleAtExitHead = node->next;
    node->function(node->argument);
    _memDelete(node);
  }
}

int registerAtExit(void (*function)(void* argument), void* argument, tAtExitNode** head) {
  auto* node = static_cast<tAtExitNode*>(_memNewUsingCRT(sizeof(tAtExitNode), 0, nullptr));
  if (node == nullptr) return -1;
  *node = {*head, function, argument};
  *head = node;
  return 0;
}

int moduleMessageHook(unsigned message) { return gModuleMessageHandler(message); }

int moduleMessageNoop(unsigned) { return 0; }

namespace nQoUdRLP100 {
void onModuleLoad(int*) {}
}  // namespace nQoUdRLP100
