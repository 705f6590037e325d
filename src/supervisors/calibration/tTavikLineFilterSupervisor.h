// Gives a task the board's line filters: turns its settings into a
// per-line request (tTavikLineFilterIdentifier, attached to the pool's
// identifier), reserves the shared line filter primitive with it, hands the
// requested lines to the primitive and commits them on control 1. A row of
// the plain frame that can be initialized once; its slot holds the primitive.
#pragma once

#include <cstdint>

#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/tGeneralIdentifier.h"
#include "primitives/calibration/tTavikLineFilterPrimitive.h"
#include "settings/tTavikLineFilterIdentifier.h"
#include "settings/tTavikLineFilterSettings.h"
#include "supervisors/tPlainSupervisor.h"

namespace nQoUdR100 {

class tTavikLineFilterSupervisor final
    : public tPlainSupervisor<tTavikLineFilterSupervisor, nQoMRL100::iPrimitiveSupervisor,
                              tTavikLineFilterSettings, nQoUdP100::tTavikLineFilterPrimitive> {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tTavikLineFilterSupervisor";
  static constexpr const char* kFile = "tTavikLineFilterSupervisor";
  // Copies the settings and builds the reservation's request from them.
  static constexpr const char* kSettingsDeploySteps[] = {"deploy"};
  static inline void* ___classID = nullptr;

  ~tTavikLineFilterSupervisor() override { this->retire(); }

  // A second initialize gives -50150.
  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  nQoMDBG100::tStatus2& status) override;
  // Copies the settings and builds the request from their line list (a
  // later record for a line wins); a line outside its group gives -50150
  // and ends the deploy. A list that lost an entry, given or copied, gives
  // -50352 and leaves every line without preference.
  void deploy(const nQoMRL100::iPrimitiveSettings& settings, nQoMDBG100::tStatus2& status) override;
  // The request as it is now is kept as the one granted; the lines asked
  // for go to the primitive.
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  // Takes the primitive out of the slot (the codes under way leave), hands
  // back only a granted reservation, with the request it was granted for;
  // runs whatever the status holds and ends linked.
  void releaseResource(nQoMDBG100::tStatus2& status) override;

  nQoUdP100::tTavikLineFilterPrimitive* getPrimitive() const { return held(); }
  const tTavikLineFilterIdentifier& getRequest() const { return _request; }

 private:
  friend tPlainSupervisor;
  void onControl(nQoUdP100::tTavikLineFilterPrimitive* primitive, uint32_t code,
                 nQoMRL100::iControlParameterBlock* in, nQoMRL100::iControlParameterBlock* out,
                 nQoMDBG100::tStatus2& status);
  void applyLineFilters(nQoUdP100::tTavikLineFilterPrimitive& primitive,
                        nQoMDBG100::tStatus2& status);

  // The pool's identifier with the request attached, in place of the
  // frame's: a grant keeps a copy of both.
  nQoMRL100::tGeneralIdentifier _identifier;
  tTavikLineFilterIdentifier _request;
  // What the broker granted, kept until it is handed back.
  bool _granted = false;
  nQoMRL100::tGeneralIdentifier _grantedIdentifier;
  tTavikLineFilterIdentifier _grantedRequest;
};

}  // namespace nQoUdR100
