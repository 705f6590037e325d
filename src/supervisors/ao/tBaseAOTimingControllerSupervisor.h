// The AO timing-controller supervisor: gives the timing engine its 28
// settings words, links its done and error reports to the task's event
// object through a done observer, maps the six lifecycle codes and the
// class's own (257 to 267, 400, 401) onto the engine, and paces software-timed
// output through its wait operation. Settings word 28 (skip) keeps the
// class's own codes off the hardware; queries then answer from the state
// word. Codes, a cancel and the wait operation may come from another thread:
// they reach the engine as uses of the frame's slot, and the release first
// ends the waits (the wait operation's, or codes 400 and 401) by the
// engine's end mark, which only the next reservation clears, and then waits
// for the uses before it hands the engine back, its cancel's stop cleared.
#pragma once

#include <atomic>
#include <cstdint>

#include "mrl/iEvent.h"
#include "primitives/ao/tBaseAOTimingControllerPrimitive.h"
#include "settings/aoTimingSettings.h"
#include "supervisors/iWaitForNextSampleClockSupervisor.h"
#include "supervisors/tDoneAndStatusObserver.h"
#include "supervisors/tPlainSupervisor.h"

namespace nQoUdR100 {

class tBaseAOTimingControllerSupervisor final
    : public iWaitForNextSampleClockSupervisor,
      public tReservingSupervisor<tBaseAOTimingControllerSupervisor,
                                  nQoMRL100::iPrimitiveSupervisor, tAOTimingControllerSettings,
                                  nQoUdP100::tBaseAOTimingControllerPrimitive> {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tBaseAOTimingControllerSupervisor";
  static constexpr const char* kFile = "tBaseAOTimingControllerSupervisor";
  static inline void* ___classID = nullptr;
  // The started state of the supervisor's word.
  static constexpr uint32_t kStarted = 6;
  // The identifier taken at initialize is the one reserved; deploy leaves it.
  static constexpr bool kFixedIdentifier = true;

  tBaseAOTimingControllerSupervisor() = default;
  ~tBaseAOTimingControllerSupervisor() override;
  tBaseAOTimingControllerSupervisor(const tBaseAOTimingControllerSupervisor&) = delete;
  tBaseAOTimingControllerSupervisor& operator=(const tBaseAOTimingControllerSupervisor&) = delete;

  // With a clean status and a caller that may block: one software update
  // (unless skip), then the facade's end of blocking.
  void waitForNextSampleClock(nQoMDBG100::tStatus2& status) override;

  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  nQoMDBG100::tStatus2& status) override;
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  void releaseResource(nQoMDBG100::tStatus2& status) override;
  void commitCancel(nQoMDBG100::tStatus2& status) override;

  nQoMRL110::iEvent* getEvent() const { return _event; }

 private:
  friend tPlainSupervisor;
  using tEngine = nQoUdP100::tBaseAOTimingControllerPrimitive;
  // The six lifecycle codes and the class's own on the engine as held.
  void onControl(tEngine* timing, uint32_t code, nQoMRL100::iControlParameterBlock* in,
                 nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status);
  // With word 23: the engine's stop, which ends its update wait.
  void onCancel(tEngine& timing, nQoMDBG100::tStatus2& status);
  // Before the release takes the engine out: its waits end, also those an
  // arm under way would let wait again.
  void endCalls(tEngine& timing);
  // Code 1 keeps the skip word (28) and whether a cancel stops the engine
  // (23), which the codes, answers and cancels go by.
  void takeRecord(const tAOTimingControllerSettings& settings) {
    _skip = settings.record<0>().word28 != 0;
    _cancelStops = settings.record<0>().word23 != 0;
  }
  bool skip() const { return _skip; }
  void applySettings(nQoMDBG100::tStatus2& status) override;
  // waitForNextUpdate when the engine's commit took word 26 as 0 (its
  // update handler attached), else pollForNextUpdate, whatever a deploy
  // wrote since.
  void softwareUpdate(nQoUdP100::tBaseAOTimingControllerPrimitive& timing,
                      nQoMDBG100::tStatus2& status);
  // Ends the waits, brings the engine down and clears its completion
  // notifier out of reach, hands the reservation back and, when registered, unregisters the events;
  // on the caller's status.
  void giveUp(bool registered, nQoMDBG100::tStatus2& status);
  // Stop, disarm and uncommit, each when the engine is then in its state,
  // each on a fresh status merged into the caller's: the commit-cancel's
  // undo, and the release's from whatever the codes left.
  void bringDown(tEngine& timing, nQoMDBG100::tStatus2& status);
  // Unregisters done and error events, each on a fresh status merged.
  void unregisterEvents(nQoMDBG100::tStatus2& status);
  // The codes 257 to 267, 400 and 401 on a held primitive; false for others.
  bool controlOwn(tEngine& timing, uint32_t code, nQoMRL100::iControlParameterBlock* in,
                  nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status);
  uint32_t query(const tEngine& timing, uint32_t code) const;

  tDoneObserver* _observer = nullptr;
  // What code 1 kept; codes and cancels on other threads read it.
  std::atomic<bool> _skip{false};
  std::atomic<bool> _cancelStops{false};
};

}  // namespace nQoUdR100
