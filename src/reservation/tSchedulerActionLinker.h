// Gives a primitive the scheduler action of a supervisor found in the map
// under a key (kNoKey: none, and then the linker does nothing).
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tDeployed.h"
#include "frame/tStatusSite.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/iSchedulerActionSupervisor.h"
#include "reservation/castAnswer.h"
#include "reservation/iLinker.h"

namespace nQoMRTB100 {

template <class Prim>
class tSchedulerActionLinker : public iLinker {
 public:
  static constexpr uint32_t kNoKey = 0xFFFFFFFF;

  // The key the next link looks the supervisor up under.
  void setKey(uint32_t key) { _key.deploy({key}); }
  void setPrimitive(Prim* primitive) { _primitive = primitive; }
  nQoMAS100::iSchedulerAction* getSchedulerAction() const { return _action; }

  // The supervisor under the key; null after a failure (kCastFailed for none or
  // one of another class).
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override {
    const uint32_t key = _key.take().value;
    if (status.isFatal() || key == kNoKey) return;
    _supervisor = castAnswer<nQoMAS100::iSchedulerActionSupervisor>(map.lookup(key, status), status,
                                                                    {kFile, 60});
  }

  void unlink(nQoMDBG100::tStatus2& status) override {
    if (status.isNotFatal()) _supervisor = nullptr;
  }

  // With a supervisor: its action goes to the primitive (kNullPointer without
  // one).
  void linkResource(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal() || _supervisor == nullptr) return;
    if (_primitive == nullptr) {
      nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kFile, 75});
      return;
    }
    _action = _supervisor->getSchedulerAction(status);
    _primitive->setSchedulerAction(_action, status);
  }

  // The primitive's action is cleared on a fresh status merged into the
  // caller's.
  void unlinkResource(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    if (_primitive == nullptr) {
      if (_supervisor != nullptr) nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kFile, 88});
      return;
    }
    nQoMDBG100::tStatus2 local;
    _primitive->setSchedulerAction(nullptr, local);
    status.assign(local);
    _action = nullptr;
  }

 private:
  static constexpr const char kFile[] = "tSchedulerActionLinker";

  // The deploys write the key; only the link takes it.
  struct tKey {
    uint32_t value = kNoKey;
  };
  struct tKeySteps {
    static constexpr const char* kProgrammingSteps[] = {"link"};
  };
  nQoUdR100::tDeployed<tKey, tKeySteps> _key;
  Prim* _primitive = nullptr;
  nQoMAS100::iSchedulerActionSupervisor* _supervisor = nullptr;
  nQoMAS100::iSchedulerAction* _action = nullptr;
};

}  // namespace nQoMRTB100
