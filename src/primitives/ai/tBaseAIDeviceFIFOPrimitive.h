// The analog-input data FIFO, device-independent part: the configuration,
// the threshold and its test, the two observer lists (data and overflow) and
// the two handlers that the board dispatcher calls. The board class programs
// the FIFO mode, reads samples and status bits and switches the sources.
//
//   fifo.addOverflowObserver(&transfer, status);
//   fifo.setConfiguration(config, status);   // deployed: nothing set
//   fifo.commit(status);                     // handler in, mode and threshold set, mode written
//   fifo.arm(status);                        // overflow source on
//
// The overflow handler's passes act only on the arm's run they were taken
// in: the arm that switches the overflow source on begins one, the disarm
// (also the one a commit or an uncommit runs) ends it and waits for a second
// pass under way, and what a first pass leaves pending reaches no second
// pass of a later arm.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tDeployed.h"
#include "frame/tModuleObject.h"
#include "frame/tRuns.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tAIDescription.h"
#include "primitives/ai/tAIDeviceFIFOPrimitiveConfig.h"
#include "primitives/common/tObserverList.h"
#include "primitives/common/tPrimitiveState.h"
#include "reservation/iInterruptHandler.h"
#include "reservation/iSecondaryInterruptHandler.h"

namespace nQoUdP100 {

// Who writes the settings and who takes them: the supervisor's record gives
// them, and the commit programs the FIFO mode from them and keeps the record.
struct tAIDeviceFIFOSteps {
  static constexpr const char* kDeploySteps[] = {"setConfiguration"};
  static constexpr const char* kProgrammingSteps[] = {"commit"};
};

class tBaseAIDeviceFIFOPrimitive : public nQoUdR100::tModuleObject {
 public:
  static inline void* ___classID = nullptr;
  using tStatus2 = nQoMDBG100::tStatus2;
  using tAnswer = nQoMRTB100::iInterruptHandler::tAnswer;
  static constexpr uint32_t kInitialObserverRoom = 3;
  static constexpr uint32_t kNoThreshold = 0xFFFFFFFF;

  // Observers of the data interrupt and of the overflow interrupt. The first
  // pass answers non-zero for the second.
  class iAIFIFOObserver {
   public:
    virtual ~iAIFIFOObserver() = default;
    virtual uint32_t fifoReady(tBaseAIDeviceFIFOPrimitive*, tStatus2&) { return 0; }
    virtual void fifoReadySecondary(tBaseAIDeviceFIFOPrimitive*, tStatus2&) {}
  };
  class iAIOverflowObserver {
   public:
    virtual ~iAIOverflowObserver() = default;
    virtual uint32_t overflowed(tBaseAIDeviceFIFOPrimitive*, tStatus2&) { return 0; }
    virtual void overflowedSecondary(tBaseAIDeviceFIFOPrimitive*, tStatus2&) {}
  };

  // The data handler tells every observer and, when one of them fails,
  // switches the data source off; it always answers kHandled.
  class tAIFIFOHandler final : public nQoMRTB100::iInterruptHandler,
                               public nQoMRTB100::iSecondaryInterruptHandler {
   public:
    explicit tAIFIFOHandler(tBaseAIDeviceFIFOPrimitive* fifo) : _fifo(fifo) {}
    tAnswer handleInterrupt() override;
    uint32_t handleSecondaryInterrupt() override { return 0; }

   private:
    tBaseAIDeviceFIFOPrimitive* _fifo;
  };
  // The overflow handler's two passes: the first switches the source off when
  // an observer wants the second, which switches it on again while its run
  // is live.
  class tAIOverflowHandler final : public nQoMRTB100::iInterruptHandler,
                                   public nQoMRTB100::iSecondaryInterruptHandler {
   public:
    explicit tAIOverflowHandler(tBaseAIDeviceFIFOPrimitive* fifo) : _fifo(fifo) {}
    tAnswer handleInterrupt() override;
    uint32_t handleSecondaryInterrupt() override;

   private:
    tBaseAIDeviceFIFOPrimitive* _fifo;
  };

  // The description is the board's (not owned); its size is kept.
  tBaseAIDeviceFIFOPrimitive(const tAIFIFODescription* description, tStatus2& status);
  virtual ~tBaseAIDeviceFIFOPrimitive() = default;
  tBaseAIDeviceFIFOPrimitive(const tBaseAIDeviceFIFOPrimitive&) = delete;
  tBaseAIDeviceFIFOPrimitive& operator=(const tBaseAIDeviceFIFOPrimitive&) = delete;

  virtual void* ___CPPKRLDynamicCast(void* const* classID);
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const;

  virtual bool isReady() const;
  // The settings, whose count of all ones becomes the description's default
  // count. They change neither the mode, the threshold nor the soft copy,
  // which other steps write: the next commit takes them into the record and
  // sets the mode and the threshold from it.
  virtual void setConfiguration(const tAIDeviceFIFOPrimitiveConfig& configuration,
                                tStatus2& status);
  virtual void commit(tStatus2& status) = 0;
  virtual void arm(tStatus2& status) = 0;
  // Not supported: -50256.
  virtual void start(tStatus2& status);
  virtual void stop(tStatus2& status);
  virtual void disarm(tStatus2& status) = 0;
  virtual void uncommit(tStatus2& status) = 0;
  // 0 none, 1 half, 2 full.
  virtual uint32_t getFIFOMode() const = 0;
  virtual void setFIFOMode(int32_t code, tStatus2& status, bool write) = 0;
  virtual void setThreshold(uint32_t count, tStatus2& status, bool write) = 0;
  virtual uint32_t readStatusBit10(tStatus2* status) = 0;
  virtual uint32_t isEmpty(tStatus2* status) = 0;
  virtual uint32_t readStatusBit14(tStatus2* status) = 0;
  virtual uint32_t readStatusBit13(tStatus2* status) = 0;
  virtual void enableFIFOInterrupt(tStatus2& status) = 0;
  virtual void disableFIFOInterrupt(tStatus2* status) = 0;
  // One sample into a u32 (32-bit samples) or a u16; 1 when the status is good.
  virtual uint32_t readSample(void* destination, tStatus2& status) = 0;
  // The number of samples stored.
  virtual uint32_t readSamples(void* buffer, uint32_t count, tStatus2& status) = 0;
  virtual void clearFIFO(tStatus2* status) = 0;
  // An operation of the FIFO interface that this board does not support: -50256.
  virtual void reserved24(tStatus2& status);
  virtual void programFIFOMode(tStatus2* status) = 0;
  virtual void enableOverflowInterrupt(tStatus2& status) = 0;
  virtual void disableOverflowInterrupt(tStatus2* status) = 0;

  uint32_t isNotEmpty(tStatus2* status) { return isEmpty(status) == 0 ? 1 : 0; }
  // The sample format as the transfers see it: the FIFO mode that the last
  // commit programmed (0, 1 or 2), not one a configuration gave since; all
  // ones on an error status.
  uint32_t getDataFormat(const tStatus2& status) const {
    if (status.isFatal()) return 0xFFFFFFFF;
    const int32_t mode = _fields.programmed().fifoMode;
    return mode == 1 || mode == 2 ? static_cast<uint32_t>(mode) : 0;
  }
  // Bytes per sample: 4 for 32-bit samples, else 2.
  uint32_t sampleWidth() const {
    return _description != nullptr &&
                   _description->sampleWidthCode == tAIFIFODescription::k32BitSamples
               ? 4
               : 2;
  }
  // The threshold test that the commit writing the FIFO mode took, which a
  // transfer's pass asks whether to keep draining: a configuration given
  // under the run reaches the next commit only.
  uint32_t meetsThreshold(tStatus2* status) { return (this->*_runThresholdTest)(status); }
  // Each sets state 1, also when it failed (-50352 for a list that cannot
  // grow), but under an arm whose sources are on, which keeps state 3.
  void addFIFOObserver(iAIFIFOObserver* observer, tStatus2& status);
  void removeFIFOObserver(iAIFIFOObserver* observer, tStatus2& status);
  void addOverflowObserver(iAIOverflowObserver* observer, tStatus2& status);
  void removeOverflowObserver(iAIOverflowObserver* observer, tStatus2& status);
  // All ones on an error status.
  uint32_t getThreshold(const tStatus2& status) const;
  uint32_t getLevel(const tStatus2& status) const;
  // Mode 0 below a quarter of the FIFO, 1 below three quarters, else 2.
  void setFIFOModeForLevel(uint32_t level, tStatus2& status, bool write);

  // What the last commit took (defaults before the first and after an
  // uncommit): what the transfers' commits and arms go by, never the
  // settings given since.
  const tAIDeviceFIFOPrimitiveConfig& configuration() const { return _fields.programmed(); }
  // The FIFO's depth in samples.
  uint32_t size() const { return _size; }
  const tPrimitiveState& state() const { return _state; }
  // The sources whose handlers a commit attached, and those an arm switched
  // on, until the uncommit and the disarm: bit 0 data, bit 1 overflow.
  uint32_t attachedSources() const { return _fifoAttached | _overflowAttached << 1; }
  uint32_t armedSources() const { return _fifoArmed.load() | _overflowArmed.load() << 1; }

 protected:
  using tThresholdTest = uint32_t (tBaseAIDeviceFIFOPrimitive::*)(tStatus2*);

  // 0 without threshold, else the FIFO mode.
  uint32_t thresholdState() const { return _threshold == 0 ? 0 : getFIFOMode(); }
  // State 1 after an observer change, unless an arm's sources are on.
  void lowerUnlessArmed();
  // The commit's: the FIFO mode (in the soft copy, which programFIFOMode
  // writes), the threshold and its test, as the record it took asks.
  void setModeAndThreshold(const tAIDeviceFIFOPrimitiveConfig& record, tStatus2& status);

  uint32_t _fifoAttached = 0;
  uint32_t _overflowAttached = 0;
  // The sources an arm switched on, until the disarm, which clears them before
  // it switches them off: the enables read them inside their atomic runs, a
  // code 1 after the arm leaves them.
  std::atomic<uint32_t> _fifoArmed{0};
  std::atomic<uint32_t> _overflowArmed{0};
  // The overflow source's runs: the arm that switches it on begins one, the
  // disarm that takes it back ends it and then waits for the second passes
  // under way, which look at their run inside their count. Each first pass
  // keeps the run it took for its second pass, and the pending words it
  // leaves carry it.
  nQoUdR100::tRuns _runs;
  std::atomic<uint32_t> _overflowRun{0};
  const tAIFIFODescription* _description;
  // The settings a configuration gives, and the record of the last commit.
  nQoUdR100::tDeployed<tAIDeviceFIFOPrimitiveConfig, tAIDeviceFIFOSteps> _fields;
  uint32_t _size;
  tPrimitiveState _state;
  uint32_t _threshold = 0;
  tThresholdTest _thresholdTest = &tBaseAIDeviceFIFOPrimitive::isNotEmpty;
  tThresholdTest _runThresholdTest = &tBaseAIDeviceFIFOPrimitive::isNotEmpty;
  tAIOverflowHandler _overflowHandler{this};
  tAIFIFOHandler _fifoHandler{this};
  tObserverList<tObserverRecord<iAIOverflowObserver>> _overflowObservers{kInitialObserverRoom};
  tObserverList<tObserverRecord<iAIFIFOObserver>> _fifoObservers{kInitialObserverRoom};
};

}  // namespace nQoUdP100
