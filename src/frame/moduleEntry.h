// The module's load and unload entries, its event callback, the static
// constructor runner and the module's at-exit list.
#pragma once

#include <cstdint>

extern "C" {
// Returns 0, -12 when registration ran out of memory, -19 on any other failure.
int nQoPAL100_ckalcbInitModule(uint64_t first, uint64_t second);
void nQoPAL100_ckalcbCleanupModule(void);
}

// Messages: 0 load, 1 unload; every other value only reaches the hook.
int moduleMessageEntry(unsigned message);
// Runs the constructor list on the first load only; answers the first
// failed constructor's code, or 0.
int runStaticConstructors();
// Undoes one load; the last unload runs the at-exit list, newest entry first.
void runAtExitList();

struct tAtExitNode {
  tAtExitNode* next;
  void (*function)(void* argument);
  void* argument;
};

// Pushes a node; 0, or -1 when the node cannot be allocated (list unchanged).
int registerAtExit(void (*function)(void* argument), void* argument, tAtExitNode** head);

// The module's at-exit list head and load count.
extern tAtExitNode* gModuleAtExitHead;
unsigned moduleLoadCount();

int moduleMessageHook(unsigned message);
int moduleMessageNoop(unsigned message);
// What moduleMessageHook calls: moduleMessageNoop, unless a test replaces it.
extern int (*gModuleMessageHandler)(unsigned message);

namespace nQoUdRLP100 {
// Load hook; leaves the status untouched.
void onModuleLoad(int* status);
}  // namespace nQoUdRLP100
