// Must not compile: the sample-clock wait's codes 400 and 401 read the fifth
// settings value as deployed, not as the last code 1 took it.
#include <cstdint>

#include "supervisors/ai/aiSupervisors.h"

namespace {

struct tPlantedWaitRow : nQoUdR100::tBaseAI_WFNSCSupervisorRow {
  template <class tSupervisor>
  static bool controlOwn(tSupervisor& supervisor, tPrimitive& primitive, uint32_t code,
                         nQoMRL100::iControlParameterBlock* in,
                         nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status) {
    if ((code == 400 || code == 401) && supervisor.getSettings().supervisorRecord().word5 != 0)
      return true;
    return tBaseAI_WFNSCSupervisorRow::controlOwn(supervisor, primitive, code, in, out, status);
  }
};

}  // namespace

template class nQoUdR100::tSupervisor<tPlantedWaitRow>;
