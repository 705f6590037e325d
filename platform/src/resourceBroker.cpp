// The resource broker: registered pools by identifier, one lock over every
// pool call, the holds it granted and its device reservations.
#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "mrl/iResourceBroker.h"
#include "mrl/tGUIDIdentifier.h"
#include "mrl/tGeneralIdentifier.h"
#include "sim/simResourceBroker.h"
#include "sim/tBoundedLog.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoMRL100::iLeafResourcePool;
using nQoMRL100::iResourceIdentifier;
using nQoSim::tBrokerRegistration;

constexpr const char kComponent[] = "qomrl";
constexpr const char kFile[] = "tResourceBroker";

template <class T>
const T* castTo(const iResourceIdentifier* identifier) {
  return identifier == nullptr
             ? nullptr
             : static_cast<const T*>(identifier->___CPPKRLDynamicCast(&T::___classID));
}

// A registration. A general identifier is kept as its values at registration
// (the caller may reuse the object for the next pool); any other identifier
// by its address.
struct tRegistration {
  const iResourceIdentifier* identifier;
  iLeafResourcePool* pool;
  bool general = false;
  nQoORB100::tGUID guid{};
  std::string name{};
  uint32_t index = 0;
  uint32_t holds = 0;         // reservations granted through the broker
  bool heldByDevice = false;  // by a reservation of its device's tGUIDIdentifier

  // True when the registered identifier is equal to the request.
  bool accepts(const iResourceIdentifier& request) const {
    if (!general) return identifier->isEqual(request);
    const auto* other = castTo<nQoMRL100::tGeneralIdentifier>(&request);
    return other != nullptr && other->getDeviceGUID() == guid && other->getIndex() == index &&
           name == other->getString();
  }
  bool ofDevice(const nQoMRL100::tGUIDIdentifier& device) const {
    return general ? guid == device.getGUID() : identifier->isEqual(device);
  }
};

// What the registration log keeps of an identifier.
tBrokerRegistration describe(tBrokerRegistration::tOperation operation,
                             const iResourceIdentifier* identifier, const iLeafResourcePool* pool) {
  tBrokerRegistration record{.operation = operation, .identifier = identifier, .pool = pool};
  if (const auto* general = castTo<nQoMRL100::tGeneralIdentifier>(identifier)) {
    record.kind = tBrokerRegistration::kGeneral;
    record.guid = general->getDeviceGUID();
    record.name = general->getString();
    record.index = general->getIndex();
  } else if (const auto* device = castTo<nQoMRL100::tGUIDIdentifier>(identifier)) {
    record.kind = tBrokerRegistration::kDeviceGUID;
    record.guid = device->getGUID();
  } else if (identifier != nullptr) {
    record.kind = tBrokerRegistration::kOther;
  }
  return record;
}

class tResourceBroker : public nQoMRL100::iResourceBroker {
 public:
  void registerPool(const iResourceIdentifier* identifier, iLeafResourcePool* pool,
                    tStatus2& status) override {
    std::lock_guard<std::mutex> lock(_lock);
    tLogged logged(*this, describe(tBrokerRegistration::kRegister, identifier, pool), status);
    if (!proceed(status, 30)) return;
    tRegistration entry{.identifier = identifier, .pool = pool};
    if (const auto* general = castTo<nQoMRL100::tGeneralIdentifier>(identifier)) {
      entry.general = true;
      entry.guid = general->getDeviceGUID();
      entry.name = general->getString();
      entry.index = general->getIndex();
    }
    _pools.push_back(std::move(entry));
  }

  void unregisterPool(const iLeafResourcePool* pool, tStatus2& status) override {
    std::lock_guard<std::mutex> lock(_lock);
    tLogged logged(*this, describe(tBrokerRegistration::kUnregisterPool, nullptr, pool), status);
    if (!armedFailure(status, 40)) return;
    std::erase_if(_pools, [pool](const tRegistration& entry) { return entry.pool == pool; });
  }

  void unregister(const iResourceIdentifier* identifier, tStatus2& status) override {
    std::lock_guard<std::mutex> lock(_lock);
    tLogged logged(*this, describe(tBrokerRegistration::kUnregister, identifier, nullptr), status);
    if (!proceed(status, 50)) return;
    const std::size_t before = _pools.size();
    if (identifier != nullptr)
      std::erase_if(_pools, [&](const tRegistration& entry) { return named(entry, *identifier); });
    if (_pools.size() == before) unknown(status, 56);
  }

  iLeafResourcePool* reserve(const iResourceIdentifier* identifier,
                             nQoMRL100::iRuntimeFacade* facade, tStatus2& status) override {
    std::lock_guard<std::mutex> lock(_lock);
    if (_logging) _log.add({6, identifier, facade});
    if (_script) {
      iLeafResourcePool* answer = *_script;
      _script.reset();
      return answer;
    }
    if (!proceed(status, 70)) return nullptr;
    if (const auto* device = castTo<nQoMRL100::tGUIDIdentifier>(identifier))
      return reserveDevice(*device, status);
    tRegistration* entry = find(identifier, status);
    if (entry == nullptr) return nullptr;
    if (entry->heldByDevice) {
      status.setCode(nQoMRL100::kResourceHeld, kComponent, kFile, 78);
      return nullptr;
    }
    if (entry->pool->reserve(forPool(identifier), status) == 0) return nullptr;
    ++entry->holds;
    return entry->pool;
  }

  void release(const iResourceIdentifier* identifier, nQoMRL100::iRuntimeFacade* facade,
               tStatus2& status) override {
    std::lock_guard<std::mutex> lock(_lock);
    if (_logging) _log.add({7, identifier, facade});
    if (!armedFailure(status, 90)) return;
    if (const auto* device = castTo<nQoMRL100::tGUIDIdentifier>(identifier)) {
      releaseDevice(*device, status);
      return;
    }
    tRegistration* entry = find(identifier, status);
    if (entry == nullptr) return;
    entry->pool->release(forPool(identifier), status);
    if (entry->holds > 0) --entry->holds;
  }

  void unregisterDeviceGUID(const nQoORB100::tGUID& device, tStatus2& status) {
    std::lock_guard<std::mutex> lock(_lock);
    tBrokerRegistration record{.operation = tBrokerRegistration::kUnregisterDeviceGUID,
                               .kind = tBrokerRegistration::kDeviceGUID,
                               .guid = device};
    tLogged logged(*this, record, status);
    proceed(status, 110);
  }

  std::vector<nQoSim::tBrokerCall> log() {
    std::lock_guard<std::mutex> lock(_lock);
    return _log.records();
  }
  std::vector<tBrokerRegistration> registrations() {
    std::lock_guard<std::mutex> lock(_lock);
    return _registrations.records();
  }
  void clearLogs() {
    std::lock_guard<std::mutex> lock(_lock);
    _log.clear();
    _registrations.clear();
  }
  std::vector<const iLeafResourcePool*> pools() {
    std::lock_guard<std::mutex> lock(_lock);
    std::vector<const iLeafResourcePool*> pools;
    for (const tRegistration& entry : _pools) pools.push_back(entry.pool);
    return pools;
  }
  // A copy of the first registration of the pool.
  std::optional<tRegistration> registrationOf(const iLeafResourcePool* pool) {
    std::lock_guard<std::mutex> lock(_lock);
    for (const tRegistration& entry : _pools)
      if (entry.pool == pool) return entry;
    return std::nullopt;
  }

  void reset() {
    std::lock_guard<std::mutex> lock(_lock);
    _pools.clear();
    _log.clear();
    _registrations.clear();
    _script.reset();
    _failure = 0;
    _logging = true;
  }

  void setLogging(bool on) {
    std::lock_guard<std::mutex> lock(_lock);
    _logging = on;
  }

  void script(iLeafResourcePool* answer) {
    std::lock_guard<std::mutex> lock(_lock);
    _script = answer;
  }
  void failNext(int code) {
    std::lock_guard<std::mutex> lock(_lock);
    _failure = code;
  }

 private:
  // Appends a registration record now and completes its code when the call
  // ends (when the log still keeps it).
  class tLogged {
   public:
    tLogged(tResourceBroker& broker, const tBrokerRegistration& record, tStatus2& status)
        : _broker(broker), _status(status) {
      if (broker._logging) _logged = broker._registrations.add(record);
    }
    ~tLogged() {
      if (!_logged) return;
      if (tBrokerRegistration* logged = _broker._registrations.find(*_logged))
        logged->code = _status.code;
    }
    tLogged(const tLogged&) = delete;
    tLogged& operator=(const tLogged&) = delete;

   private:
    tResourceBroker& _broker;
    tStatus2& _status;
    std::optional<uint64_t> _logged;
  };

  // False when the armed failure takes this call (its code is then set).
  bool armedFailure(tStatus2& status, unsigned line) {
    if (_failure == 0) return true;
    status.setCode(_failure, kComponent, kFile, line);
    _failure = 0;
    return false;
  }
  // The status holds no error and the call is not the armed failure.
  bool proceed(tStatus2& status, unsigned line) {
    return !status.isFatal() && armedFailure(status, line);
  }
  static void unknown(tStatus2& status, unsigned line) {
    status.setCode(nQoMRL100::kUnknownResource, kComponent, kFile, line);
  }

  // Whether unregistering the identifier removes the registration.
  static bool named(const tRegistration& entry, const iResourceIdentifier& identifier) {
    if (const auto* device = castTo<nQoMRL100::tGUIDIdentifier>(&identifier))
      return entry.ofDevice(*device);
    return entry.accepts(identifier);
  }

  // The newest registration whose identifier is equal to the request; null
  // and kUnknownResource when none.
  tRegistration* find(const iResourceIdentifier* identifier, tStatus2& status) {
    if (identifier != nullptr)
      for (auto entry = _pools.rbegin(); entry != _pools.rend(); ++entry)
        if (entry->accepts(*identifier)) return &*entry;
    unknown(status, 80);
    return nullptr;
  }

  std::vector<tRegistration*> poolsOf(const nQoMRL100::tGUIDIdentifier& device) {
    std::vector<tRegistration*> members;
    for (tRegistration& entry : _pools)
      if (entry.ofDevice(device)) members.push_back(&entry);
    return members;
  }

  iLeafResourcePool* reserveDevice(const nQoMRL100::tGUIDIdentifier& device, tStatus2& status) {
    const std::vector<tRegistration*> members = poolsOf(device);
    if (members.empty()) {
      unknown(status, 150);
      return nullptr;
    }
    for (const tRegistration* entry : members)
      if (entry->holds > 0 || entry->heldByDevice) {
        status.setCode(nQoMRL100::kResourceHeld, kComponent, kFile, 155);
        return nullptr;
      }
    for (tRegistration* entry : members) entry->heldByDevice = true;
    return members.front()->pool;
  }

  void releaseDevice(const nQoMRL100::tGUIDIdentifier& device, tStatus2& status) {
    const std::vector<tRegistration*> members = poolsOf(device);
    if (members.empty()) unknown(status, 165);
    for (tRegistration* entry : members) entry->heldByDevice = false;
  }

  // What the pool sees: a general identifier's sub-identifier when it has one.
  static const iResourceIdentifier* forPool(const iResourceIdentifier* identifier) {
    const auto* general = castTo<nQoMRL100::tGeneralIdentifier>(identifier);
    if (general == nullptr || general->getSubIdentifier() == nullptr) return identifier;
    return general->getSubIdentifier();
  }

  std::mutex _lock;
  std::vector<tRegistration> _pools;
  nQoSim::tBoundedLog<nQoSim::tBrokerCall> _log;
  nQoSim::tBoundedLog<tBrokerRegistration> _registrations;
  bool _logging = true;
  std::optional<iLeafResourcePool*> _script;
  int _failure = 0;
};

tResourceBroker gBroker;
std::atomic<bool> gBrokerPresent{true};

}  // namespace

namespace nQoMRL100 {
iResourceBroker* getResourceBroker(tStatus2&) { return gBrokerPresent ? &gBroker : nullptr; }

void unregisterDeviceGUID(const nQoORB100::tGUID& device, tStatus2& status) {
  gBroker.unregisterDeviceGUID(device, status);
}
}  // namespace nQoMRL100

namespace nQoSim {
std::vector<tBrokerCall> brokerLog() { return gBroker.log(); }
void resetResourceBroker() {
  gBroker.reset();
  gBrokerPresent = true;
}
void setResourceBrokerPresent(bool present) { gBrokerPresent = present; }
void setBrokerLogging(bool on) { gBroker.setLogging(on); }
void scriptBrokerReserve(iLeafResourcePool* answer) { gBroker.script(answer); }
void failNextBrokerCall(int code) { gBroker.failNext(code); }
std::vector<tBrokerRegistration> brokerRegistrations() { return gBroker.registrations(); }
void clearBrokerLogs() { gBroker.clearLogs(); }
std::vector<const iLeafResourcePool*> registeredPools() { return gBroker.pools(); }

iLeafResourcePool* holdPoolAsTask(const iResourceIdentifier& identifier, tStatus2& status) {
  return gBroker.reserve(&identifier, nullptr, status);
}
void releasePoolAsTask(const iResourceIdentifier& identifier, tStatus2& status) {
  gBroker.release(&identifier, nullptr, status);
}
uint32_t brokerHoldsOf(const iLeafResourcePool* pool) {
  const std::optional<tRegistration> entry = gBroker.registrationOf(pool);
  return entry ? entry->holds : 0;
}
bool isHeldByDevice(const iLeafResourcePool* pool) {
  const std::optional<tRegistration> entry = gBroker.registrationOf(pool);
  return entry && entry->heldByDevice;
}
}  // namespace nQoSim
