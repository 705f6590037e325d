// Module registration with the platform's abstraction layer.
#pragma once

#include <cstdint>

// The record a module registers; the platform keeps a pointer to it until
// unregistration and delivers module events to its callback.
struct _tLibLinuxModuleInfo {
  uint64_t first;
  uint64_t second;
  int (*callback)(unsigned message);
};

void libRegisterModuleWithQoPAL(_tLibLinuxModuleInfo* record, int* status);
void libUnregisterModuleWithQoPAL(_tLibLinuxModuleInfo* record, int* status);

// kind 0 logs a load, 1 an unload.
void pkgModulePackageEventLog(int kind, const char* fileName, const char* buildTag,
                              const char* name, int (*callback)(unsigned message));
