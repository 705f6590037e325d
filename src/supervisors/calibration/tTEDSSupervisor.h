// Reaches the memory of sensors with a transducer electronic data sheet
// through the TEDS communicator the broker hands out: the six common control
// codes run the communicator's operations (a failed forward step is undone
// by its reverse; a reverse runs only on a step its record holds, after the
// later steps it holds), and codes 410 to 415 move data between the control
// blocks and the sensor memory. Codes and requestCancel may come from
// another thread at any step: they reach the communicator through a slot
// that the release takes it out of, waiting for the calls under way, before
// it undoes everything the codes did, latest first (its own record: the
// communicator tells no state), and hands the communicator back.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tClassRegistration.h"
#include "frame/tModuleObject.h"
#include "frame/tSinkSlot.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "primitives/calibration/iTEDSCommunicator.h"
#include "reservation/tReservationIdentifier.h"
#include "reservation/tSingularReserver.h"
#include "reservation/tSingularResourcePool.h"
#include "reservation/tSupStateTracker.h"
#include "settings/triggerTEDSSettings.h"

namespace nQoUdR100 {

class tTEDSSupervisor : public nQoMRL100::iPrimitiveSupervisor, public tModuleObject {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tTEDSSupervisor";
  static inline void* ___classID = nullptr;

  tTEDSSupervisor() = default;
  ~tTEDSSupervisor() override;
  tTEDSSupervisor(const tTEDSSupervisor&) = delete;
  tTEDSSupervisor& operator=(const tTEDSSupervisor&) = delete;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tClass getClass(int& status) const override;

  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  nQoMDBG100::tStatus2& status) override;
  void deploy(const nQoMRL100::iPrimitiveSettings& settings, nQoMDBG100::tStatus2& status) override;
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override;
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  void linkResource(nQoMDBG100::tStatus2& status) override;
  void unlinkResource(nQoMDBG100::tStatus2& status) override;
  void releaseResource(nQoMDBG100::tStatus2& status) override;
  void unlink(nQoMDBG100::tStatus2& status) override;
  void control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
               nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status) override;
  void requestCancel(nQoMDBG100::tStatus2& status) override;
  void commitCancel(nQoMDBG100::tStatus2& status) override;

  nQoMRTB100::tSupStateTracker& getTracker() { return _tracker; }
  nQoUdP100::iTEDSCommunicator* getPrimitive() const { return _reserver.getPrimitive(); }

 private:
  void runCommon(nQoUdP100::iTEDSCommunicator& primitive, int bit, nQoMDBG100::tStatus2& status);
  void undoDownTo(nQoUdP100::iTEDSCommunicator& primitive, int reverse,
                  nQoMDBG100::tStatus2& status);
  void undoRecorded(nQoUdP100::iTEDSCommunicator& primitive);

  nQoMRTB100::tSingularReserver<nQoUdP100::iTEDSCommunicator,
                                tSingularResourcePool<nQoUdP100::iTEDSCommunicator*>>
      _reserver;
  nQoMRTB100::tReservationIdentifier _identifier;
  nQoMRTB100::tSupStateTracker _tracker;
  // The reserved communicator as codes and a cancel reach it.
  tSinkSlot<nQoUdP100::iTEDSCommunicator> _reached;
  // The forward codes (flag bits 0 to 2: commit, arm, start) that took on
  // the communicator held and that no reverse code undid since; codes on
  // other threads set and clear it.
  std::atomic<uint32_t> _done{0};
};

}  // namespace nQoUdR100
