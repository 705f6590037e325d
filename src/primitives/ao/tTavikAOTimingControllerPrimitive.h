// The AO timing engine of a Tavik board: programs the chip's AO timing
// section from the fields, runs commit, arm, start, stop and disarm, reads
// the update and buffer counters and serves four group-B sources:
//
//   code 0  start trigger   status bit 8, enable bit 1, source 15 (primary only)
//   code 1  end request A   status bit 6, enable bit 6, source 18
//   code 2  completion      status bit 7, enable bit 0, source 8
//   code 3  update          status bit 5, enable bit 2, source 20 (mode 2, blocking waits)
//
// Every task-level change of the tAO_Command_2 soft copy runs under the AO
// command lock as a bus atomic operation, since code 2 sets its bit 5 at
// interrupt level. The completion notifier is called at most once per arm.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tRuns.h"
#include "mdbg/tStatus2.h"
#include "primitives/ao/tAOResources.h"
#include "primitives/ao/tBaseAOTimingControllerPrimitive.h"
#include "primitives/ao/tInterruptDelegator.h"
#include "reservation/iInterruptHandler.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdP100 {

class tTavikAOTimingControllerPrimitive : public tBaseAOTimingControllerPrimitive {
 public:
  static inline void* ___classID = nullptr;
  using tAnswer = nQoMRTB100::iInterruptHandler::tAnswer;
  static constexpr uint32_t kCodeCount = 4;

  // Resets the AO section and programs the board's output control.
  tTavikAOTimingControllerPrimitive(const tAODescription* description,
                                    const tAOResources& resources, tBaseAO_FIFOPrimitive* fifo,
                                    tStatus2& status);
  // An arm that no disarm followed is switched off, then every attached
  // handler leaves the dispatcher's slots.
  ~tTavikAOTimingControllerPrimitive() override;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  // An armed or started engine is disarmed first, with its reports. A
  // record with updateOutput drives the update output (driveUpdateOutput).
  void commit(tStatus2& status) override;
  void uncommit(tStatus2& status) override;
  // Switches on only the sources whose handlers a commit attached.
  void arm(tStatus2& status) override;
  // A run still held ends first, as a stop ends it, without the warning.
  void disarm(tStatus2& status) override;
  void requestEndA(tStatus2* status) override;
  void requestEndB(tStatus2* status) override;
  void stop(tStatus2& status) override;
  void start(tStatus2& status) override;
  void setMode3Hold(uint32_t flag, tStatus2& status) override;
  uint32_t hold() const override { return _hold; }
  void softwareUpdatePulse(tStatus2& status) override;
  // -201261 when the AO status says the other load register is not free.
  // The new interval is the run's: the settings keep what was deployed.
  void setUpdateInterval(uint32_t ticks, tStatus2& status) override;
  uint32_t readCount120(tStatus2* status) override;
  uint32_t readUpdateCounter(tStatus2& status) override;
  uint32_t readBufferCounter(tStatus2& status) override;
  // Cached outside state 4 unless forced.
  uint32_t getUpdatesDone(tStatus2& status, uint32_t force) override;
  void driveUpdateOutput(tStatus2& status) override;
  bool isUpdateFlagSet(tStatus2* status) override;
  void acknowledgeUpdateFlag(tStatus2* status) override;
  void enableUpdateInterrupt(tStatus2& status) override;

  // The handlers' passes, at interrupt level and later.
  virtual tAnswer handleInterruptCode(uint32_t code);
  virtual void handleSecondaryInterruptCode(uint32_t code);

  bool isDone() const { return _done != 0; }
  uint32_t updatesDone() const { return _updatesDone; }
  // The interval the board was last loaded with: the commit's, or the last
  // reload's.
  uint32_t updateInterval() const { return _loadedInterval; }

 private:
  using tEnable = void (nQoUdRLP100::tTavikInterruptDispatcher::*)(tStatus2&);
  using tDisable = void (nQoUdRLP100::tTavikInterruptDispatcher::*)(tStatus2*);

  // (soft & ~clear) | set written, as a bus atomic operation.
  void changeCommand2(uint32_t set, uint32_t clear, tStatus2* status);
  // changeCommand2 under the AO command lock.
  void command2Locked(uint32_t set, uint32_t clear, tStatus2* status);
  uint32_t readLatched(uint32_t latch, uint32_t (tTavikAOTimingControllerPrimitive::*read)(),
                       tStatus2& status);
  uint32_t readUpdateRegister() { return _map->Read_0128.refresh(_readStatus); }
  uint32_t readBufferRegister() { return _map->Read_0124.refresh(_readStatus); }
  // The counters the record says, and the wrap the waits judge by.
  void loadCounters(const tAOTimingFields& record, tStatus2& status);
  // Runs inside() as one atomic run of the map's bus, which the interrupt
  // routine runs under: inside answers into status.
  template <class tInside>
  void onTheBus(tInside inside, tStatus2& status);
  void attach(uint32_t code, tStatus2& status);
  void detach(uint32_t code, tStatus2& status);
  void enable(tEnable which, tStatus2& status);
  // The source on only while the live run at the call is live still, looked
  // at inside the atomic run that switches it on: a disarm ends the run
  // before its own atomic switch-off.
  void enableInRun(tEnable which, tStatus2& status);
  // An end request: the end's acknowledge, the source of the code's handler
  // enabled, its strobe.
  void requestEnd(uint16_t ack, uint32_t code, tEnable which, uint32_t strobe, tStatus2* status);
  void disable(tDisable which, tStatus2& status);
  // Whether a source of group B is on, read inside a pass (which holds the
  // lock that the soft copy is written under).
  bool enabled(uint32_t bit) const;
  // The rest of a disarm once its record went: the arm switched off, the
  // state back to committed, then, for an arm still due, the FIFO of a run
  // that ends here completed and the done report.
  void endArm(bool due, bool runEnds, tStatus2& status);
  // The board side of disarm: the disarm sequence, then every source of the
  // four codes that is on switched off, each on a status of its own.
  void switchArmOff(tStatus2& status);

  nQoUdRLP100::nTavik::tTavik* _map;
  nQoUdRLP100::tTavikHelper* _helper;
  nQoUdRLP100::tTavikInterruptDispatcher* _dispatcher;
  const nQoORB100::tGUID* _device;
  uint32_t _loadToggle = 0;
  uint32_t _done = 0;
  // Written by commit and uncommit on the codes' thread; the first blocking
  // wait of a run, on another, reads the update handler's.
  std::atomic<uint32_t> _attached[kCodeCount] = {};
  // Whether the run started: set by the start of an armed engine (a start
  // trigger's pass too), cleared by the stop, the completion's pass and the
  // disarm, which ends a run still held as a stop ends it.
  std::atomic<uint32_t> _started{0};
  uint32_t _updatesDone = 0;
  uint32_t _armNotAnUpdate = 1;
  uint32_t _firstArmAfterCommit = 1;
  uint32_t _hold = 0;
  // What the last arm took for its run from the commit's record: whether it
  // is fed by the FIFO (its stop and its completion complete the FIFO),
  // whether a start trigger starts it, its mode and the counts the board
  // counts down from. The start, the stop, the passes and the counts go by
  // them; the passes read them on the interrupt's side.
  tSyncAtomicU32 _fifoFed;
  std::atomic<uint32_t> _runTriggered{0};
  std::atomic<uint32_t> _runMode{0};
  std::atomic<uint32_t> _runFirst{0};
  std::atomic<uint32_t> _runEach{0};
  std::atomic<uint32_t> _runBuffers{0};
  std::atomic<uint32_t> _loadedInterval{tAOTimingFields{}.updateInterval};
  // The arms' runs: an arm begins one and a disarm ends it, each inside an
  // atomic run of the bus, where the start trigger's pass looks at it; the
  // completion's second pass ends the run its first pass saw, claiming it
  // once. While it is live a wait or an end request switches its source on,
  // and uncommit and the destructor disarm by it, whatever state a commit
  // set since.
  nQoUdR100::tRuns _runs;
  // The run whose end the first pass of an end or of the completion saw.
  std::atomic<uint32_t> _endedRun{0};
  tStatus2* _readStatus = nullptr;
  tInterruptDelegator<tTavikAOTimingControllerPrimitive, 0> _startHandler{this};
  tInterruptDelegator<tTavikAOTimingControllerPrimitive, 1> _endRequestHandler{this};
  tInterruptDelegator<tTavikAOTimingControllerPrimitive, 2> _completionHandler{this};
  tInterruptDelegator<tTavikAOTimingControllerPrimitive, 3> _updateHandler{this};
};

}  // namespace nQoUdP100
