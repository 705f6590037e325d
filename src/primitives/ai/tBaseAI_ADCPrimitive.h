// The analog-input converter, device-independent part: it keeps the observers
// that want to hear of converter overruns (the AI transfers) and the overrun
// handler that the board interrupt dispatcher calls in two passes. While any
// observer is registered, commit attaches the handler and arm enables the
// overrun source; with none, the hardware steps touch nothing.
//
//   converter.addObserver(&transfer, status);
//   converter.commit(status);     // handler in the dispatcher's slots
//   converter.arm(status);        // overrun source enabled
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tDeployed.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tAIDescription.h"
#include "primitives/ai/tAI_ADCPrimitiveConfig.h"
#include "primitives/common/tObserverList.h"
#include "reservation/iInterruptHandler.h"
#include "reservation/iSecondaryInterruptHandler.h"

namespace nQoUdP100 {

class tBaseAI_ADCPrimitive : public nQoUdR100::tModuleObject {
 public:
  static inline void* ___classID = nullptr;
  static constexpr uint32_t kInitialObserverRoom = 3;

  class iObserver {
   public:
    virtual ~iObserver() = default;
    // Non-zero asks for the secondary pass.
    virtual uint32_t handleOverrun(tBaseAI_ADCPrimitive* converter,
                                   nQoMDBG100::tStatus2& status) = 0;
    virtual void handleOverrunSecondary(tBaseAI_ADCPrimitive*, nQoMDBG100::tStatus2&) {}
  };

  // The converter's overrun handler: the primary pass notifies every observer
  // and, when one answers non-zero, disables the overrun source and asks for
  // the secondary pass, which notifies those observers again and enables the
  // source once more.
  class tAIOverrunHandler final : public nQoMRTB100::iInterruptHandler,
                                  public nQoMRTB100::iSecondaryInterruptHandler {
   public:
    explicit tAIOverrunHandler(tBaseAI_ADCPrimitive* converter) : _converter(converter) {}
    tAnswer handleInterrupt() override;
    // The status code the enable left.
    uint32_t handleSecondaryInterrupt() override;

   private:
    tBaseAI_ADCPrimitive* _converter;
  };

  explicit tBaseAI_ADCPrimitive(const tAIFirstEntry* owner);
  virtual ~tBaseAI_ADCPrimitive() = default;
  tBaseAI_ADCPrimitive(const tBaseAI_ADCPrimitive&) = delete;
  tBaseAI_ADCPrimitive& operator=(const tBaseAI_ADCPrimitive&) = delete;

  virtual void* ___CPPKRLDynamicCast(void* const* classID);
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const;

  virtual bool isReady() const { return _owner != nullptr; }
  // Whether the handler is attached now.
  virtual bool commit(nQoMDBG100::tStatus2& status) = 0;
  virtual void arm(nQoMDBG100::tStatus2& status) = 0;
  // Not supported: -50256.
  virtual void start(nQoMDBG100::tStatus2& status);
  virtual void stop(nQoMDBG100::tStatus2& status);
  virtual void disarm(nQoMDBG100::tStatus2& status) = 0;
  virtual void uncommit(nQoMDBG100::tStatus2& status) = 0;
  virtual uint32_t readStatusBit11(nQoMDBG100::tStatus2* status) = 0;
  // Nothing on an error status; a list that cannot grow reports -50352.
  virtual void addObserver(iObserver* observer, nQoMDBG100::tStatus2& status);
  virtual void removeObserver(iObserver* observer, nQoMDBG100::tStatus2& status);
  virtual void acknowledgeBit11(nQoMDBG100::tStatus2* status) = 0;
  virtual uint32_t readStatusBit5(nQoMDBG100::tStatus2* status) = 0;
  virtual void enableOverrunInterrupt(nQoMDBG100::tStatus2& status) = 0;
  virtual void disableOverrunInterrupt(nQoMDBG100::tStatus2* status) = 0;

  // Nothing on an error status.
  void setConfiguration(const tAI_ADCPrimitiveConfig& configuration, nQoMDBG100::tStatus2& status);
  bool isAttached() const { return _attached != 0; }
  // An arm that no disarm followed switched the overrun source on.
  bool isOverrunEnabled() const { return _enabled != 0; }

 protected:
  using tRecord = tObserverRecord<iObserver>;

  bool anyObserver() const { return _observers.any(); }

  const tAIFirstEntry* _owner;
  uint32_t _attached = 0;
  // The overrun source is on, from an arm to the disarm; the enable turns it
  // on only while so, looked at inside its atomic run, and the disarm clears
  // it before the switch-off.
  std::atomic<uint32_t> _enabled{0};
  tAIOverrunHandler _overrunHandler{this};
  tObserverList<tRecord> _observers{kInitialObserverRoom};

 private:
  // What the supervisor deploys; the converter programs nothing from it.
  struct tConfigurationSteps {
    static constexpr const char* kDeploySteps[] = {"setConfiguration"};
  };
  nQoUdR100::tDeployed<tAI_ADCPrimitiveConfig, tConfigurationSteps> _configuration;
};

}  // namespace nQoUdP100
