#include "reservation/globalDriverParameters.h"

#include "frame/statusCodes.h"
#include "frame/tModuleStatic.h"
#include "frame/tStatusSite.h"
#include "reservation/tGlobalDriverParametersImpl.h"
#include "reservation/tNoopDriverParametersDataProvider.h"

namespace nQoMRTB100 {

namespace {

nQoUdR100::tModuleStatic<tNoopDriverParametersDataProvider> gProvider;
nQoUdR100::tModuleStatic<tGlobalDriverParametersImpl> gStore;

tGlobalDriverParametersImpl* store(nQoMDBG100::tStatus2& status) {
  tGlobalDriverParametersImpl* instance = gStore.get();
  if (instance == nullptr)
    nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {"globalDriverParameters", 20});
  return instance;
}

}  // namespace

void setGlobalDriverParameter(const wchar_t* key, uint32_t value, nQoMDBG100::tStatus2& status,
                              uint64_t) {
  if (status.isFatal()) return;
  if (tGlobalDriverParametersImpl* instance = store(status)) instance->set(key, value, status);
}

void getGlobalDriverParameter(const wchar_t* key, uint32_t defaultValue, uint32_t* value,
                              nQoMDBG100::tStatus2& status, uint32_t refresh, uint64_t context) {
  if (status.isFatal()) return;
  if (tGlobalDriverParametersImpl* instance = store(status))
    instance->get(key, defaultValue, value, status, refresh, context);
}

int constructGlobalDriverParameters() {
  const int provider = gProvider.construct();
  if (provider != 0) return provider;
  return gStore.construct(*gProvider.get());
}

}  // namespace nQoMRTB100
