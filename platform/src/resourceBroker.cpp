// The resource broker: registered pools by identifier, one lock over every
// pool call.
#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

#include "mrl/iResourceBroker.h"
#include "mrl/tGeneralIdentifier.h"
#include "sim/simResourceBroker.h"

namespace {

struct tRegistration {
  const nQoMRL100::iResourceIdentifier* identifier;
  nQoMRL100::iLeafResourcePool* pool;
};

class tResourceBroker : public nQoMRL100::iResourceBroker {
 public:
  void registerPool(const nQoMRL100::iResourceIdentifier* identifier,
                    nQoMRL100::iLeafResourcePool* pool, nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    std::lock_guard<std::mutex> lock(_lock);
    _pools.push_back({identifier, pool});
  }

  void unregisterPool(const nQoMRL100::iLeafResourcePool* pool, nQoMDBG100::tStatus2&) override {
    std::lock_guard<std::mutex> lock(_lock);
    std::erase_if(_pools, [pool](const tRegistration& entry) { return entry.pool == pool; });
  }

  nQoMRL100::iLeafResourcePool* reserve(const nQoMRL100::iResourceIdentifier* identifier,
                                        nQoMRL100::iRuntimeFacade* facade,
                                        nQoMDBG100::tStatus2& status) override {
    std::lock_guard<std::mutex> lock(_lock);
    _log.push_back({6, identifier, facade});
    if (_script) {
      nQoMRL100::iLeafResourcePool* answer = *_script;
      _script.reset();
      return answer;
    }
    if (status.isFatal()) return nullptr;
    nQoMRL100::iLeafResourcePool* pool = find(identifier, status);
    if (pool == nullptr) return nullptr;
    return pool->reserve(forPool(identifier), status) != 0 ? pool : nullptr;
  }

  void release(const nQoMRL100::iResourceIdentifier* identifier, nQoMRL100::iRuntimeFacade* facade,
               nQoMDBG100::tStatus2& status) override {
    std::lock_guard<std::mutex> lock(_lock);
    _log.push_back({7, identifier, facade});
    nQoMRL100::iLeafResourcePool* pool = find(identifier, status);
    if (pool != nullptr) pool->release(forPool(identifier), status);
  }

  std::vector<nQoSim::tBrokerCall> log() {
    std::lock_guard<std::mutex> lock(_lock);
    return _log;
  }

  void reset() {
    std::lock_guard<std::mutex> lock(_lock);
    _pools.clear();
    _log.clear();
    _script.reset();
  }

  void script(nQoMRL100::iLeafResourcePool* answer) {
    std::lock_guard<std::mutex> lock(_lock);
    _script = answer;
  }

 private:
  // The pool under an equal identifier; null and kUnknownResource when none.
  nQoMRL100::iLeafResourcePool* find(const nQoMRL100::iResourceIdentifier* identifier,
                                     nQoMDBG100::tStatus2& status) const {
    if (identifier != nullptr)
      for (const tRegistration& entry : _pools)
        if (entry.identifier->isEqual(*identifier)) return entry.pool;
    status.setCode(nQoMRL100::kUnknownResource, "qomrl", "tResourceBroker", 80);
    return nullptr;
  }

  // What the pool sees: a general identifier's sub-identifier when it has one.
  static const nQoMRL100::iResourceIdentifier* forPool(
      const nQoMRL100::iResourceIdentifier* identifier) {
    const auto* general = static_cast<const nQoMRL100::tGeneralIdentifier*>(
        identifier->___CPPKRLDynamicCast(&nQoMRL100::tGeneralIdentifier::___classID));
    if (general == nullptr || general->getSubIdentifier() == nullptr) return identifier;
    return general->getSubIdentifier();
  }

  std::mutex _lock;
  std::vector<tRegistration> _pools;
  std::vector<nQoSim::tBrokerCall> _log;
  std::optional<nQoMRL100::iLeafResourcePool*> _script;
};

tResourceBroker gBroker;
std::atomic<bool> gBrokerPresent{true};

}  // namespace

namespace nQoMRL100 {
iResourceBroker* getResourceBroker(nQoMDBG100::tStatus2&) {
  return gBrokerPresent ? &gBroker : nullptr;
}
}  // namespace nQoMRL100

namespace nQoSim {
std::vector<tBrokerCall> brokerLog() { return gBroker.log(); }
void resetResourceBroker() {
  gBroker.reset();
  gBrokerPresent = true;
}
void setResourceBrokerPresent(bool present) { gBrokerPresent = present; }
void scriptBrokerReserve(nQoMRL100::iLeafResourcePool* answer) { gBroker.script(answer); }
}  // namespace nQoSim
