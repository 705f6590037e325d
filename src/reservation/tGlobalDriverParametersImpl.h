// The module's store of named 32-bit driver parameters. A name the store does
// not hold is asked of the data provider, else it takes the caller's default;
// every answer is kept. A kernel mutex with an owner thread and a recursion
// count serialises callers and lets a provider call back in.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tStatus.h"
#include "mdbg/tStatus2.h"
#include "reservation/iGlobalDriverParametersDataProvider.h"
#include "reservation/tDriverParameterMap.h"

namespace nQoMRTB100 {

class tGlobalDriverParametersImpl {
 public:
  // A mutex that cannot be created leaves kPalOutOfMemory in the store's own
  // status, which every later call reports.
  explicit tGlobalDriverParametersImpl(iGlobalDriverParametersDataProvider& provider);
  ~tGlobalDriverParametersImpl();
  tGlobalDriverParametersImpl(const tGlobalDriverParametersImpl&) = delete;
  tGlobalDriverParametersImpl& operator=(const tGlobalDriverParametersImpl&) = delete;

  void set(const wchar_t* key, uint32_t value, nQoMDBG100::tStatus2& status);
  // The stored value, unless refresh is set or the key is missing: then the
  // provider's answer or the default, which is stored.
  void get(const wchar_t* key, uint32_t defaultValue, uint32_t* value, nQoMDBG100::tStatus2& status,
           uint32_t refresh, uint64_t context);

 private:
  // Reports the store's own code; false when the caller then holds an error.
  bool enter(nQoMDBG100::tStatus2& status, unsigned line) const;
  void lock();
  void unlock();

  nQoAPALS100::tStatus _status;
  void* _mutex;
  std::atomic<uint64_t> _owner{0};
  uint32_t _recursion = 0;
  iGlobalDriverParametersDataProvider* _provider;
  tDriverParameterMap _parameters;
};

}  // namespace nQoMRTB100
