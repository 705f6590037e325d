// The owner and conductor of a board's analog-input primitives: it resets and
// initialises the AI section, builds the front end, converter, timing
// controller, FIFO, wait-for-next-sample-clock primitive and the transfers,
// and runs commit, arm, disarm and uncommit over them in a fixed order,
// undoing the completed steps in reverse when one fails. The configuration's
// transfer mechanism (0 immediate, 1 interrupt, 2 immediate DMA, 3 DMA; any
// other value none) chooses the transfer that takes part.
//
//   tAISubsystem subsystem(&description, resources, status);
//   subsystem.setConfiguration(config, status);
//   subsystem.commit(status);
//   subsystem.arm(status);
//   subsystem.start(status);
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "frame/tDeployed.h"
#include "frame/tDeviceInfo.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tAIDescription.h"
#include "primitives/ai/tAIDeviceFIFOPrimitive.h"
#include "primitives/ai/tAIImmediateDMATransferPrimitive.h"
#include "primitives/ai/tAIInterruptTransferPrimitive.h"
#include "primitives/ai/tAIScanningFrontEndPrimitive.h"
#include "primitives/ai/tAISubsystemPrimitiveConfig.h"
#include "primitives/ai/tAI_ADCPrimitive.h"
#include "primitives/ai/tAI_DMATransferPrimitive.h"
#include "primitives/ai/tBaseAIImmediateTransferPrimitive.h"
#include "primitives/ai/tBaseAI_WFNSCPrimitive.h"
#include "primitives/ai/tTavikAITimingControllerPrimitive.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace nQoUdP100 {

// What the board lends the AI subsystem.
struct tAIBoardResources {
  iBus* bus = nullptr;
  nQoUdRLP100::nTavik::tTavik* map = nullptr;
  nQoUdRLP100::tTavikHelper* helper = nullptr;
  nQoUdRLP100::tTavikInterruptDispatcher* dispatcher = nullptr;
  const tDeviceInfo* deviceInfo = nullptr;
  // The board's VESK channel maps, by channel number.
  nQoUdRLP100::tVESKChannel* const* channels = nullptr;
  uint32_t channelCount = 0;
};

// Who writes the settings and who takes them: the supervisor's record gives
// them, and the commit takes the transfer mechanism that its chain and every
// later step go by.
struct tAISubsystemSteps {
  static constexpr const char* kDeploySteps[] = {"setConfiguration"};
  static constexpr const char* kProgrammingSteps[] = {"commit"};
};

class tBaseAISubsystem : public nQoUdR100::tModuleObject {
 public:
  static inline void* ___classID = nullptr;
  using tStatus2 = nQoMDBG100::tStatus2;
  enum tMechanism : int32_t { kImmediate = 0, kInterrupt = 1, kImmediateDMA = 2, kDMA = 3 };

  tBaseAISubsystem() = default;
  virtual ~tBaseAISubsystem() = default;
  tBaseAISubsystem(const tBaseAISubsystem&) = delete;
  tBaseAISubsystem& operator=(const tBaseAISubsystem&) = delete;

  virtual void* ___CPPKRLDynamicCast(void* const* classID);
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const;

  virtual bool isReady() const { return true; }
  // Nothing on an error status.
  virtual void setConfiguration(const tAISubsystemPrimitiveConfig& configuration, tStatus2& status);
  virtual void commit(tStatus2& status) = 0;
  virtual void arm(tStatus2& status) = 0;
  virtual void start(tStatus2& status) = 0;
  virtual void stop(tStatus2& status) = 0;
  virtual void disarm(tStatus2& status) = 0;
  virtual void uncommit(tStatus2& status) = 0;
  virtual void initializeHardware(tStatus2& status) = 0;
  // Brings the subsystem down from whatever the codes left, by what it
  // holds, each step on a status of its own, dropped: a started run is
  // stopped, an arm that no disarm followed disarmed, a commit that no
  // uncommit followed uncommitted (its transfer unlinked).
  virtual void bringDown() = 0;

  // The transfer mechanism of the last commit (-1 before the first).
  int32_t mechanism() const { return _committedMechanism; }

 protected:
  nQoUdR100::tDeployed<tAISubsystemPrimitiveConfig, tAISubsystemSteps> _fields;
  // What the last commit took from the settings.
  int32_t _committedMechanism = -1;
};

class tAISubsystem : public tBaseAISubsystem {
 public:
  static inline void* ___classID = nullptr;

  // Resets and initialises the AI section, then builds the members; a member
  // that cannot be built stays null (isReady answers false).
  tAISubsystem(const tAIDescription* description, const tAIBoardResources& resources,
               tStatus2& status);
  // Interrupt, DMA, immediate DMA, immediate, FIFO, wait, timing controller,
  // converter, front end.
  ~tAISubsystem() override;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  bool isReady() const override;
  // Disarms first while an arm is held; undoes the transfer of the commit
  // held when the configuration names another mechanism; then the commit
  // chain.
  void commit(tStatus2& status) override;
  // Only while a commit is held; disarms first while an arm is held.
  void arm(tStatus2& status) override;
  void start(tStatus2& status) override;
  // The controller's stop; with the immediate transfer its done report.
  void stop(tStatus2& status) override;
  // Only while an arm is held: a run still held is stopped first.
  void disarm(tStatus2& status) override;
  // Disarms first while an arm is held, then the uncommit chain.
  void uncommit(tStatus2& status) override;
  // aiReset, the output control in a bracket, bit 0 of 0xBC; the bus flushed
  // also after a failed step.
  void initializeHardware(tStatus2& status) override;
  void bringDown() override;
  // What the codes left that no undo code took back: bit 0 a commit, bit 1
  // an arm, bit 2 a started run.
  uint32_t heldSteps() const { return _commitHeld | _armHeld << 1 | _runHeld << 2; }

  tAIScanningFrontEndPrimitive* frontEnd() const { return _frontEnd; }
  tAI_ADCPrimitive* converter() const { return _converter; }
  tTavikAITimingControllerPrimitive* timing() const { return _timing; }
  tAIDeviceFIFOPrimitive* fifo() const { return _fifo; }
  tBaseAI_WFNSCPrimitive* wfnsc() const { return _wfnsc; }
  tBaseAIImmediateTransferPrimitive* immediate() const { return _immediate; }
  tAIInterruptTransferPrimitive* interrupt() const { return _interrupt; }
  tAI_DMATransferPrimitive* dma() const { return _dma; }
  tAIImmediateDMATransferPrimitive* immediateDMA() const { return _immediateDMA; }

 private:
  static constexpr uint32_t kAllStages = 5;
  static constexpr uint32_t kTimingStage = 2;

  // The undo chains: stage A counts the member steps done (kTimingStage in
  // disarm: the controller's own disarm too), stage B 5 the transfer's first
  // commit step.
  void runUncommit(uint32_t stageA, uint32_t stageB, tStatus2& status);
  void runDisarm(uint32_t stageA, tStatus2& status);
  // The transfer's part of each step by the mechanism of the last commit, so
  // that a configuration given later changes the next commit only; nothing
  // for none.
  void transferLink(tStatus2& status);
  void transferCommit(tStatus2& status);
  void transferArm(tStatus2& status);
  void transferDisarm(tStatus2& status);
  void transferUncommit(tStatus2& status);
  void transferUnlink(tStatus2& status);
  // Undoes the transfer of the last commit, by its mechanism.
  void leaveTransfer(tStatus2& status);

  const tAIDescription* _description;
  tAIBoardResources _resources;
  // What the codes left that no undo code took back: a commit, an arm, a
  // started run.
  uint32_t _commitHeld = 0;
  uint32_t _armHeld = 0;
  uint32_t _runHeld = 0;
  tAIScanningFrontEndPrimitive* _frontEnd = nullptr;
  tAI_ADCPrimitive* _converter = nullptr;
  tTavikAITimingControllerPrimitive* _timing = nullptr;
  tAIDeviceFIFOPrimitive* _fifo = nullptr;
  tBaseAI_WFNSCPrimitive* _wfnsc = nullptr;
  tBaseAIImmediateTransferPrimitive* _immediate = nullptr;
  tAIInterruptTransferPrimitive* _interrupt = nullptr;
  tAI_DMATransferPrimitive* _dma = nullptr;
  tAIImmediateDMATransferPrimitive* _immediateDMA = nullptr;
};

}  // namespace nQoUdP100
