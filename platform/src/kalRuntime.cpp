// Register access, formatting, debugger output, halt and the memory and
// string helpers of the kernel abstraction layer.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "kal/nQoKAL.h"
#include "sim/simKal.h"
#include "sim/simModule.h"
#include "sim/tBoundedLog.h"

namespace {
std::atomic<nQoSim::iRegisterBus*> gBus{nullptr};
char gHaltMessage[512];
std::mutex gDebuggerLock;
constinit nQoSim::tBoundedLog<std::string> gDebuggerLines;

uint32_t busRead(uintptr_t address, unsigned width) {
  nQoSim::iRegisterBus* bus = gBus.load();
  uint32_t value = 0;
  if (bus == nullptr || !bus->read(address, width, value))
    nQoKAL250_halt("qoplatform", "kalRuntime", 30, "register read outside every mapped window");
  return value;
}

void busWrite(uintptr_t address, unsigned width, uint32_t value) {
  nQoSim::iRegisterBus* bus = gBus.load();
  if (bus == nullptr || !bus->write(address, width, value))
    nQoKAL250_halt("qoplatform", "kalRuntime", 37, "register write outside every mapped window");
}
}  // namespace

namespace nQoSim {
void setRegisterBus(iRegisterBus* bus) { gBus = bus; }
iRegisterBus* registerBus() { return gBus.load(); }
const char* lastHaltMessage() { return gHaltMessage; }
std::vector<std::string> debuggerLines() {
  std::lock_guard<std::mutex> lock(gDebuggerLock);
  return gDebuggerLines.records();
}
void clearDebuggerLines() {
  std::lock_guard<std::mutex> lock(gDebuggerLock);
  gDebuggerLines.clear();
}
}  // namespace nQoSim

extern "C" {

uint8_t nQoKAL100_memoryRead8(uintptr_t address) {
  return static_cast<uint8_t>(busRead(address, 8));
}
uint16_t nQoKAL100_memoryRead16(uintptr_t address) {
  return static_cast<uint16_t>(busRead(address, 16));
}
uint32_t nQoKAL100_memoryRead32(uintptr_t address) { return busRead(address, 32); }
void nQoKAL100_memoryWrite8(uintptr_t address, uint8_t value) { busWrite(address, 8, value); }
void nQoKAL100_memoryWrite16(uintptr_t address, uint16_t value) { busWrite(address, 16, value); }
void nQoKAL100_memoryWrite32(uintptr_t address, uint32_t value) { busWrite(address, 32, value); }

int nQoKAL100_vsprintf(char* buffer, const char* format, va_list arguments) {
  return std::vsprintf(buffer, format, arguments);
}

int nQoKAL100_vsnPrintf(char* buffer, size_t size, const char* format, va_list arguments) {
  return std::vsnprintf(buffer, size, format, arguments);
}

void nQoKAL100_printToDebugger(const char* text) {
  std::lock_guard<std::mutex> lock(gDebuggerLock);
  gDebuggerLines.add(text == nullptr ? "" : text);
}

void nQoKAL250_halt(const char* component, const char* file, uint32_t line, const char* message) {
  std::snprintf(gHaltMessage, sizeof gHaltMessage, "%s|%s|%u|%s", component ? component : "",
                file ? file : "", line, message ? message : "");
  std::fprintf(stderr, "halt: %s\n", gHaltMessage);
  std::abort();
}

void* nQoKAL180_memCpy(void* destination, const void* source, size_t size) {
  return size == 0 ? destination : std::memcpy(destination, source, size);
}
void* nQoKAL180_memMove(void* destination, const void* source, size_t size) {
  return size == 0 ? destination : std::memmove(destination, source, size);
}
void* nQoKAL240_memSet(void* destination, int value, size_t size) {
  return size == 0 ? destination : std::memset(destination, value, size);
}
int nQoKAL250_strCmp(const char* a, const char* b) { return std::strcmp(a, b); }
size_t nQoKAL250_strLen(const char* text) { return std::strlen(text); }

}  // extern "C"
