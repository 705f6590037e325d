// The AI timing engine of a Tavik board: programs the chip's AI timing
// section from the configuration record in timing modes 0 to 3, and arms,
// starts, stops and disarms it. The arm command, the hammer stop and a
// simulated record end run as bus atomic operations; interrupt sources are
// switched through the dispatcher's binders (sample start source 6, enable
// bit 3; sample end source 7, bit 4; record end source 3, bit 0).
//
//   tTavikAITimingControllerPrimitive timing(&entry, map, helper, dispatcher, status);
//   timing.setConfiguration(config, status);   // mode 3 chooses start 1 at 0x108
//   timing.commit(status);
//   timing.arm(status);
//   timing.start(status);
//   timing.stop(status);      // +200010 for a finite run stopped early
//   timing.disarm(status);
#pragma once

#include <atomic>
#include <cstdint>

#include "mdbg/tStatus2.h"
#include "primitives/ai/tBaseAITimingControllerPrimitive.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikHelper.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace nQoUdP100 {

class tTavikAITimingControllerPrimitive : public tBaseAITimingControllerPrimitive {
 public:
  static inline void* ___classID = nullptr;
  static constexpr uint32_t kRecordEndSource = 3;
  static constexpr uint32_t kSampleStartSource = 6;
  static constexpr uint32_t kSampleEndSource = 7;

  // How a mode-3 run ends.
  enum tRunKind : uint32_t { kFinite = 0, kFiniteSecondTrigger = 1, kContinuous = 2 };

  // The map, the command sequencer and the dispatcher are the board's,
  // borrowed; the bus is the map's. Closes the convert gate in a bracket.
  tTavikAITimingControllerPrimitive(const tAIFirstEntry* owner, nQoUdRLP100::nTavik::tTavik* map,
                                    nQoUdRLP100::tTavikHelper* helper,
                                    nQoUdRLP100::tTavikInterruptDispatcher* dispatcher,
                                    tStatus2& status);
  // An arm still held is ended and switched off, then every installed
  // handler leaves the dispatcher's slots.
  ~tTavikAITimingControllerPrimitive() override;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  bool isReady() const override;
  // Programs the soft copies, writes them, registers the timed loop, installs
  // the handlers the lists call for and the listener; state 2. A failure is
  // undone by uncommit on a fresh status. An arm that no disarm followed is
  // disarmed first.
  void commit(tStatus2& status) override;
  // When armed (idle flag clear): writeTimingRegisters.
  void rewriteRegisters(tStatus2& status) override;
  // Enables the sources the lists call for whose handlers the commit
  // installed and runs the arm command; state 3. A failure is undone by
  // disarm on a fresh status.
  void arm(tStatus2& status) override;
  // The start strobe of the mode that the last commit (or an arm with no
  // commit behind it) programmed, whatever a mode deployed since says; in
  // mode 0, or before either, only the record-end events and guards are
  // reset.
  void start(tStatus2& status) override;
  // By the mode of the last commit or arm, whatever a configuration since
  // says. Mode 3: unless the record end was served, a hammer stop and a
  // simulated record end (+200010 for a finite run unless quietStop); then
  // waits until both record-end passes have run. Nothing when no arm or
  // start since owes a record end. Below it: a hammer stop of a run that a
  // start began, and nothing else.
  void stop(tStatus2& status) override;
  // Only while an arm is held: a run still held stopped first (its answer
  // dropped), then the arm's run ended and its second passes under way
  // waited for, then hammer stop, sources off, convert gate closed; state 2.
  void disarm(tStatus2& status) override;
  // Handlers out, timed loop out, neutral values written, listener out;
  // state 1.
  void uncommit(tStatus2& status) override;
  void hammerStop(tStatus2& status) override;
  // Deploys the mode, whose start strobe (1 convert sync, 2 start: 4 to
  // 0x108, 3 start: 1 to 0x108) the start takes once a commit or an arm
  // programmed it.
  void setMode(int32_t mode, tStatus2& status) override;
  void enableSampleStartInterrupt(tStatus2& status) override;
  // In a bracket: tAI_Mode_2 bits 14 and 15 both bit 0 of gate, written.
  virtual void convertGating(uint32_t gate, tStatus2* status);
  virtual void writeTimingRegisters(tStatus2& status);

  tRunKind runKind() const { return _runKind; }
  bool isIdle() const { return _idle != 0; }

 private:
  using tStartCommand = void (nQoUdRLP100::tTavikHelper::*)(tStatus2*);

  // The strobe that starts a run of mode; none for another mode.
  static tStartCommand startCommandFor(int32_t mode);

  // The mode of the record a commit or an arm took, for the passes.
  void takeRunMode(const tAITimingFields& record);
  void programModes1And2(tStatus2* status);
  void programNeutralSelects(tStatus2* status);
  void programNeutralTrigger(tStatus2* status);
  void programMode3(tStatus2* status);
  template <class tHandlerType>
  void install(bool wanted, uint32_t source, tHandlerType& handler, uint32_t& installed,
               tStatus2& status);
  void uninstall(uint32_t source, uint32_t& installed, tStatus2& status);
  void switchSource(void (nQoUdRLP100::tTavikInterruptDispatcher::*enable)(tStatus2&),
                    tStatus2& status);
  void switchSourceOff(void (nQoUdRLP100::tTavikInterruptDispatcher::*disable)(tStatus2*),
                       tStatus2& status);
  void runRecordEndAtomically(tStatus2& status);
  // The board side of disarm: hammer stop, the sources arm switched on, the
  // gate and the mode-2 trigger select, each on a status of its own.
  void switchArmOff(tStatus2& status);

  nQoUdRLP100::nTavik::tTavik* _map;
  nQoUdRLP100::tTavikHelper* _helper;
  nQoUdRLP100::tTavikInterruptDispatcher* _dispatcher;
  tRunKind _runKind = kFinite;
  uint32_t _idle = 0;
  // The sample-start source switched on by the last arm or by
  // enableSampleStartInterrupt (a wait's, on its own thread).
  std::atomic<uint32_t> _sampleStartEnabled{0};
  // What the last arm switched on: the sample-end and record-end sources and
  // the mode-2 trigger select.
  uint32_t _sampleEndEnabled = 0;
  uint32_t _recordEndEnabled = 0;
  uint32_t _armTriggerSet = 0;
};

}  // namespace nQoUdP100
