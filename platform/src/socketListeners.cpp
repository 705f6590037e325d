// The socket-listener registry behind iLibSocketListener: names to listeners,
// by handle. A request runs on the client's thread and is counted on its
// entry; unregistering takes the entry out and returns once the requests
// under way on other threads have left, so the listener's owner may go.
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "lib/iLibSocketListener.h"
#include "sim/simSocketListeners.h"

namespace {

struct tEntry {
  std::string name;
  iLibSocketListener* listener;
  int requests = 0;  // under way, on any thread; under gLock
};

// The requests of the calling thread, innermost first: a handler that takes
// its own listener out does not wait for itself.
struct tOwnRequest {
  const tEntry* entry;
  const tOwnRequest* outer;
};
thread_local const tOwnRequest* gInnermost = nullptr;

std::mutex gLock;
std::condition_variable gRequestLeft;
std::map<uint64_t, std::shared_ptr<tEntry>> gListeners;
uint64_t gNextHandle = 1;
int gFailure = 0;

int ownRequests(const tEntry* entry) {
  int own = 0;
  for (const tOwnRequest* request = gInnermost; request != nullptr; request = request->outer)
    if (request->entry == entry) ++own;
  return own;
}

std::shared_ptr<tEntry> findEntry(const std::string& name) {
  for (const auto& [handle, entry] : gListeners)
    if (entry->name == name) return entry;
  return nullptr;
}

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
  gListeners[handle] = std::make_shared<tEntry>(tEntry{name != nullptr ? name : "", listener});
  return handle;
}

void iLibSocketListener::unregisterSocketListener(uint64_t handle) {
  std::unique_lock<std::mutex> lock(gLock);
  const auto found = gListeners.find(handle);
  if (found == gListeners.end()) return;
  const std::shared_ptr<tEntry> entry = found->second;
  gListeners.erase(found);
  const int own = ownRequests(entry.get());
  gRequestLeft.wait(lock, [&] { return entry->requests <= own; });
}

namespace nQoSim {

iLibSocketListener* findSocketListener(const std::string& name) {
  std::lock_guard<std::mutex> lock(gLock);
  const std::shared_ptr<tEntry> entry = findEntry(name);
  return entry != nullptr ? entry->listener : nullptr;
}

bool sendSocketRequest(const std::string& name, const void* request, uint32_t requestSize,
                       void* reply, uint32_t replyCapacity, uint32_t* replySize, uint32_t code,
                       uint32_t secondWord, nQoMDBG100::tStatus2& status) {
  std::shared_ptr<tEntry> entry;
  {
    std::lock_guard<std::mutex> lock(gLock);
    entry = findEntry(name);
    if (entry == nullptr) return false;
    ++entry->requests;
  }
  const tOwnRequest own{entry.get(), gInnermost};
  gInnermost = &own;
  entry->listener->handleRequest(request, requestSize, reply, replyCapacity, replySize, code,
                                 secondWord, status);
  gInnermost = own.outer;
  {
    std::lock_guard<std::mutex> lock(gLock);
    --entry->requests;
  }
  gRequestLeft.notify_all();
  return true;
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
