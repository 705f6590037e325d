// Gives a task the chip's frequency output: reserves the primitive, hands
// it the timebase and the divisor, maps control codes 1 to 4 onto commit,
// start, stop and reset, and posts the task's done event at the stop
// through a done observer made at the first reserve. It keeps its own state
// word (ownStateWord.h).
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mrl/iEvent.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/tGeneralIdentifier.h"
#include "primitives/calibration/tTavikFREQOUTPrimitive.h"
#include "settings/tTavikFREQOUTPrimitiveSettings.h"
#include "supervisors/tDoneAndStatusObserver.h"

namespace nQoUdR100 {

class tTavikFREQOUTSupervisor final : public nQoMRL100::iPrimitiveSupervisor, public tModuleObject {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tTavikFREQOUTSupervisor";
  static inline void* ___classID = nullptr;

  tTavikFREQOUTSupervisor() = default;
  ~tTavikFREQOUTSupervisor() override;
  tTavikFREQOUTSupervisor(const tTavikFREQOUTSupervisor&) = delete;
  tTavikFREQOUTSupervisor& operator=(const tTavikFREQOUTSupervisor&) = delete;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tClass getClass(int& status) const override;

  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  nQoMDBG100::tStatus2& status) override;
  // With a primitive held the values go to it at once.
  void deploy(const nQoMRL100::iPrimitiveSettings& settings, nQoMDBG100::tStatus2& status) override;
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override;
  // A board that is not simulated registers the done and error kinds with
  // the task's event. An observer that cannot be made gives -50352, keeps
  // the primitive for the release and registers nothing.
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  void linkResource(nQoMDBG100::tStatus2& status) override;
  void unlinkResource(nQoMDBG100::tStatus2& status) override;
  // Runs whatever the status holds: hands back a held primitive, takes back
  // the kinds registered, ends linked.
  void releaseResource(nQoMDBG100::tStatus2& status) override;
  void unlink(nQoMDBG100::tStatus2& status) override;
  void control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
               nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status) override;
  void requestCancel(nQoMDBG100::tStatus2& status) override;
  void commitCancel(nQoMDBG100::tStatus2& status) override;

  uint32_t getState() const { return _state; }
  nQoUdP100::iTavikFREQOUTPrimitive* getPrimitive() const { return _primitive; }

 private:
  void applyValues(nQoMDBG100::tStatus2& status);
  void stop(nQoMDBG100::tStatus2& status);

  tDoneObserver* _observer = nullptr;
  nQoMRL110::iEvent* _event = nullptr;
  uint32_t _state = 0;
  nQoMRL100::iRuntimeFacade* _facade = nullptr;
  nQoMRL100::tGeneralIdentifier _identifier;
  tTavikFREQOUTPrimitiveSettings _settings;
  nQoUdP100::iTavikFREQOUTPrimitive* _primitive = nullptr;
  bool _kindsRegistered = false;
};

}  // namespace nQoUdR100
