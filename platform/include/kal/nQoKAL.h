// Kernel abstraction layer: the platform's function interface to the kernel.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

extern "C" {

// One access of the given width to a mapped device register.
uint8_t nQoKAL100_memoryRead8(uintptr_t address);
uint16_t nQoKAL100_memoryRead16(uintptr_t address);
uint32_t nQoKAL100_memoryRead32(uintptr_t address);
void nQoKAL100_memoryWrite8(uintptr_t address, uint8_t value);
void nQoKAL100_memoryWrite16(uintptr_t address, uint16_t value);
void nQoKAL100_memoryWrite32(uintptr_t address, uint32_t value);

void* nQoKAL100_malloc(size_t size);
void nQoKAL100_free(void* block);

// Interrupt-safe spin locks.
void* nQoKAL100_createSpinLock(void);
void nQoKAL100_destroySpinLock(void* handle);
uint64_t nQoKAL110_acquireSpinLockInterrupt(void* handle);
void nQoKAL110_releaseSpinLockInterrupt(void* handle, uint64_t savedState);

// Blocking mutexes.
void* nQoKAL150_createMutex(void);
void nQoKAL150_destroyMutex(void* handle);
void nQoKAL150_acquireMutex(void* handle);
void nQoKAL150_releaseMutex(void* handle);
uint64_t nQoKAL100_getThreadHandle(void);
// Gives the processor to another ready thread.
void nQoKAL100_yieldThread(void);

// A single-use event lives in the waiter's own record. A release that comes
// before the wait makes the wait return at once.
struct nQoKAL100_tSingleUseEvent {
  volatile int32_t released;
  int32_t reserved;
};

// Called by the layer when a timed wait expires before the event is released;
// the callback is expected to release the event.
struct nQoKAL100_tTimeoutRecord {
  void (*callback)(void* argument);
  void* argument;
};

void nQoKAL100_initializeSingleUseEvent(nQoKAL100_tSingleUseEvent* event);
void nQoKAL100_releaseSingleUseEvent(nQoKAL100_tSingleUseEvent* event);
void nQoKAL100_waitForSingleUseEvent(nQoKAL100_tSingleUseEvent* event);
// Negative when the wait was interrupted, 0 otherwise.
int nQoKAL100_waitForSingleUseEventInterruptible(nQoKAL100_tSingleUseEvent* event);
// The time-out is in milliseconds. Returns 0.
int nQoKAL100_waitForSingleUseEventTimeout(nQoKAL100_tSingleUseEvent* event, uint32_t timeout,
                                           nQoKAL100_tTimeoutRecord* record);
// Negative when interrupted, 0 otherwise.
int nQoKAL100_waitForSingleUseEventTimeoutInterruptible(nQoKAL100_tSingleUseEvent* event,
                                                        uint32_t timeout,
                                                        nQoKAL100_tTimeoutRecord* record);

int nQoKAL100_vsprintf(char* buffer, const char* format, va_list arguments);
int nQoKAL100_vsnPrintf(char* buffer, size_t size, const char* format, va_list arguments);
void nQoKAL100_printToDebugger(const char* text);

[[noreturn]] void nQoKAL250_halt(const char* component, const char* file, uint32_t line,
                                 const char* message);

void* nQoKAL180_memCpy(void* destination, const void* source, size_t size);
void* nQoKAL180_memMove(void* destination, const void* source, size_t size);
void* nQoKAL240_memSet(void* destination, int value, size_t size);
int nQoKAL250_strCmp(const char* a, const char* b);
size_t nQoKAL250_strLen(const char* text);

}  // extern "C"
