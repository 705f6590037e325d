// The socket-listener registry behind iLibSocketListener: names to listeners,
// by handle.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "lib/iLibSocketListener.h"
#include "sim/simSocketListeners.h"

namespace {

struct tEntry {
  std::string name;
  iLibSocketListener* listener;
};

std::mutex gLock;
std::map<uint64_t, tEntry> gListeners;
uint64_t gNextHandle = 1;
int gFailure = 0;

}  // namespace

uint64_t iLibSocketListener::registerSocketListener(const char* name, iLibSocketListener* listener,
                                                    nQoMDBG100::tStatus2& status) {
  if (status.code < 0) return 0;
  std::lock_guard<std::mutex> lock(gLock);
  if (gFailure != 0) {
    status.setCode(gFailure, "qoplatform", "socketListeners", 33);
    gFailure = 0;
    return 0;
  }
  const uint64_t handle = gNextHandle++;
  gListeners[handle] = {name != nullptr ? name : "", listener};
  return handle;
}

void iLibSocketListener::unregisterSocketListener(uint64_t handle) {
  std::lock_guard<std::mutex> lock(gLock);
  gListeners.erase(handle);
}

namespace nQoSim {

iLibSocketListener* findSocketListener(const std::string& name) {
  std::lock_guard<std::mutex> lock(gLock);
  for (const auto& [handle, entry] : gListeners)
    if (entry.name == name) return entry.listener;
  return nullptr;
}

int registeredSocketListeners() {
  std::lock_guard<std::mutex> lock(gLock);
  return static_cast<int>(gListeners.size());
}

void failNextSocketRegistration(int code) {
  std::lock_guard<std::mutex> lock(gLock);
  gFailure = code;
}

}  // namespace nQoSim
