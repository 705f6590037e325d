// Gives a task the chip's frequency output: reserves the primitive, hands
// it the timebase and the divisor, maps control codes 1 to 4 onto commit,
// start, stop and reset, and posts the task's done event at the stop
// through a done observer made at the first reserve. A row of the plain
// frame, whose slot holds the primitive; with a primitive held, deploy hands
// it the values at once.
#pragma once

#include <atomic>
#include <cstdint>

#include "mrl/iPrimitiveSupervisor.h"
#include "primitives/calibration/tTavikFREQOUTPrimitive.h"
#include "settings/tTavikFREQOUTPrimitiveSettings.h"
#include "supervisors/tDoneAndStatusObserver.h"
#include "supervisors/tPlainSupervisor.h"

namespace nQoUdR100 {

class tTavikFREQOUTSupervisor final
    : public tPlainSupervisor<tTavikFREQOUTSupervisor, nQoMRL100::iPrimitiveSupervisor,
                              tTavikFREQOUTPrimitiveSettings, nQoUdP100::iTavikFREQOUTPrimitive> {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tTavikFREQOUTSupervisor";
  static constexpr const char* kFile = "tTavikFREQOUTSupervisor";
  // Hands the deployed values on to the output, which a commit programs.
  static constexpr const char* kSettingsDeploySteps[] = {"applyValues"};
  static inline void* ___classID = nullptr;
  static constexpr unsigned kEventLine = 120;
  static constexpr unsigned kCastLine = 140;

  tTavikFREQOUTSupervisor() = default;
  ~tTavikFREQOUTSupervisor() override;
  tTavikFREQOUTSupervisor(const tTavikFREQOUTSupervisor&) = delete;
  tTavikFREQOUTSupervisor& operator=(const tTavikFREQOUTSupervisor&) = delete;

  // A board that is not simulated registers the done and error kinds with
  // the task's event. An observer that cannot be made gives -50352, keeps
  // the primitive for the release and registers nothing.
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  // Runs whatever the status holds: takes the primitive out of the slot (the
  // codes under way leave), stops a run the codes left on (with its done
  // report) and resets the output, hands back a granted pool under the
  // identifier it was granted under, takes back the kinds registered, ends
  // linked.
  void releaseResource(nQoMDBG100::tStatus2& status) override;

  nQoUdP100::iTavikFREQOUTPrimitive* getPrimitive() const { return held(); }

 private:
  friend tPlainSupervisor;
  void onControl(nQoUdP100::iTavikFREQOUTPrimitive* primitive, uint32_t code,
                 nQoMRL100::iControlParameterBlock* in, nQoMRL100::iControlParameterBlock* out,
                 nQoMDBG100::tStatus2& status);
  void applySettings(nQoMDBG100::tStatus2& status) override;
  // The observer made, the kinds registered and the values handed over.
  void prepare(nQoUdP100::iTavikFREQOUTPrimitive& primitive, nQoMDBG100::tStatus2& status);
  void applyValues(nQoUdP100::iTavikFREQOUTPrimitive& primitive, nQoMDBG100::tStatus2& status);
  void stop(nQoUdP100::iTavikFREQOUTPrimitive& primitive, nQoMDBG100::tStatus2& status);

  // The two values a commit programs.
  struct tValues {
    uint32_t timebaseSelect, divisor;
    bool operator==(const tValues&) const = default;
  };
  // Code 1 keeps the values it programs.
  void takeRecord(const tTavikFREQOUTPrimitiveSettings& settings) {
    _taken = {settings.supervisorRecord().timebaseSelect, settings.supervisorRecord().divisor};
  }
  tValues values() const { return _taken; }
  // Whether code stops a run first: an uncommit, and a commit of other values
  // than the last commit programmed.
  bool stopsTheRun(uint32_t code) const {
    return code == kPlainUncommit ||
           (code == kPlainCommit && !(_holdsCommit && _committed == values()));
  }

  tDoneObserver* _observer = nullptr;
  bool _kindsRegistered = false;
  // Whether the codes left the output on: a start sets it, a stop or reset
  // that reached the output clears it, and unlinkResource, which moves the
  // word down, leaves it, so the release stops a run by it.
  std::atomic<bool> _on{false};
  // What the last commit programmed, until an uncommit or the release reset
  // the output.
  tValues _committed{};
  // What the last code 1 took, before it ran.
  tValues _taken{};
  bool _holdsCommit = false;
};

}  // namespace nQoUdR100
