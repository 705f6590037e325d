// Must not build: a plain supervisor's code that programs nothing (259, a
// query) takes the settings as deployed, in an entry of the class's own named
// as the frame's entry of every code. The record that codes 1, 257 and 258
// keep through the frame builds.
#include <cstdint>

#include "primitives/ao/tBaseAOGroundRefPrimitive.h"
#include "settings/aoDACSettings.h"
#include "supervisors/tPlainSupervisor.h"

namespace {

using nQoUdP100::tBaseAOGroundRefPrimitive;
using nQoUdR100::tAOGroundRefSettings;

class tGroundRefProbe final
    : public nQoUdR100::tReservingSupervisor<tGroundRefProbe, nQoMRL100::iPrimitiveSupervisor,
                                             tAOGroundRefSettings, tBaseAOGroundRefPrimitive> {
 public:
  static constexpr const char* kClassName = "tGroundRefProbe";
  static constexpr const char* kFile = "tGroundRefProbe";
  static constexpr uint32_t kProgrammingCodes[] = {1, 257, 258};
  static inline void* ___classID = nullptr;

  // 259: the skip flag, as deployed.
  bool control(uint32_t code) {
    const tAOGroundRefSettings& deployed = _settings.take();
    return code == 259 && deployed.record<0>().skipFlag != 0;
  }

 private:
  friend tPlainSupervisor;
  void onControl(tBaseAOGroundRefPrimitive*, uint32_t, nQoMRL100::iControlParameterBlock*,
                 nQoMRL100::iControlParameterBlock*, nQoMDBG100::tStatus2&) {}
  void takeRecord(const tAOGroundRefSettings& settings) {
    _skip = settings.record<0>().skipFlag != 0;
  }
  bool _skip = false;
};

}  // namespace

bool askGroundRef(nQoMDBG100::tStatus2& status) {
  tGroundRefProbe probe;
  nQoMRL100::iPrimitiveSupervisor& supervisor = probe;
  supervisor.control(1, nullptr, nullptr, status);
  return probe.control(259);
}
