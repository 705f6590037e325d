#include "reservation/tGlobalDriverParametersImpl.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "kal/nQoKAL.h"

namespace nQoMRTB100 {

namespace {

constexpr const char kFile[] = "tGlobalDriverParametersImpl";

// Copies the key; kOutOfMemory when it cannot be stored.
bool copyKey(const wchar_t* key, nQoUdR100::tWString& copy, nQoMDBG100::tStatus2& status,
             unsigned line) {
  copy.assign(key);
  copy.checkAllocation(status, {kFile, line});
  return !copy.allocationFailed();
}

}  // namespace

tGlobalDriverParametersImpl::tGlobalDriverParametersImpl(
    iGlobalDriverParametersDataProvider& provider)
    : _mutex(nQoKAL150_createMutex()), _provider(&provider) {
  if (_mutex == nullptr)
    nQoAPALS100::setStatusWithLocation(_status, nQoUdR100::kPalOutOfMemory, nQoUdR100::kComponent,
                                       "synchronization", 884);
}

tGlobalDriverParametersImpl::~tGlobalDriverParametersImpl() {
  if (_mutex != nullptr) nQoKAL150_destroyMutex(_mutex);
}

bool tGlobalDriverParametersImpl::enter(nQoMDBG100::tStatus2& status, unsigned line) const {
  if (_status.code != 0) nQoUdR100::setCode(status, static_cast<int>(_status.code), {kFile, line});
  return status.isNotFatal();
}

void tGlobalDriverParametersImpl::lock() {
  const uint64_t self = nQoKAL100_getThreadHandle();
  if (_owner.load(std::memory_order_relaxed) != self) {
    nQoKAL150_acquireMutex(_mutex);
    _owner.store(self, std::memory_order_relaxed);
  }
  ++_recursion;
}

void tGlobalDriverParametersImpl::unlock() {
  if (--_recursion != 0) return;
  _owner.store(0, std::memory_order_relaxed);
  nQoKAL150_releaseMutex(_mutex);
}

void tGlobalDriverParametersImpl::set(const wchar_t* key, uint32_t value,
                                      nQoMDBG100::tStatus2& status) {
  if (!enter(status, 66)) return;
  if (key == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kFile, 60});
    return;
  }
  lock();
  nQoUdR100::tWString name;
  if (copyKey(key, name, status, 70)) {
    // A new key fails while the map holds a lost insertion, its own or an
    // earlier one.
    if (uint32_t* stored = _parameters.find(name)) {
      *stored = value;
    } else {
      _parameters.insert(name, value);
      if (_parameters.allocationFailed())
        nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, 75});
    }
  }
  unlock();
}

void tGlobalDriverParametersImpl::get(const wchar_t* key, uint32_t defaultValue, uint32_t* value,
                                      nQoMDBG100::tStatus2& status, uint32_t refresh,
                                      uint64_t context) {
  if (!enter(status, 38)) return;
  if (key == nullptr || value == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kFile, 32});
    return;
  }
  lock();
  nQoUdR100::tWString name;
  if (copyKey(key, name, status, 42)) {
    const uint32_t* stored = _parameters.find(name);
    if (stored != nullptr && refresh == 0) {
      *value = *stored;
    } else {
      if (_provider->getParameter(context, key, value, status) == 0) *value = defaultValue;
      if (status.isNotFatal() && !_parameters.assign(name, *value))
        nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, 52});
    }
  }
  unlock();
}

}  // namespace nQoMRTB100
