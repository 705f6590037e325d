// The analog-output data FIFO, device-independent part: the fields the AO
// FIFO supervisor deploys and the record of what the commit programmed, the
// channel order, the data source, the data-loaded event with its DMA
// observer registration, and the primitive state. The board class does the
// register work.
//
//   fifo.deploy(settings);                  // settings.channelCount = 2:
//                                           // channelOrder()[0..1] name them
//   fifo.setDataSource(&source);
//   fifo.commit(status);                    // -223749 for a bad channel order
//   fifo.arm(status);
//   fifo.start(status);
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tDeployed.h"
#include "mdbg/tStatus2.h"
#include "mrl/iDMAObservable.h"
#include "primitives/ao/outputPrimitiveInterfaces.h"
#include "primitives/ao/tAODescription.h"
#include "primitives/common/tPrimitiveState.h"
#include "sync/iSync.h"

namespace nQoUdP100 {

// Where the FIFO's samples come from: the AO transfer supervisors' object.
class iAODataSource {
 public:
  virtual ~iAODataSource() = default;
  // One sample into the FIFO: 1 when written.
  virtual uint32_t writeSample(nQoMDBG100::tStatus2& status, uint64_t samplesWritten) = 0;
  // Up to count samples: the number written.
  virtual uint32_t writeSamples(uint32_t count, nQoMDBG100::tStatus2& status) = 0;
  // Once per generation: the FIFO's own status.
  virtual void finish(const nQoMDBG100::tStatus2& fifoStatus) = 0;
};

struct tAOFIFOFields {
  enum tMechanism : uint32_t { kDMA = 0, kInterrupt = 1, kDirect = 2 };

  uint32_t transferMechanism = kInterrupt;
  uint32_t regenerateFromFIFO = 0;
  uint32_t pulseBeforeWrite = 0;
  uint32_t channelCount = 0;
  uint32_t fifoMode = 0;
  uint32_t refillChunk = 1;
  uint64_t totalSamples = 0;  // 0: no limit
  uint32_t dmaChannel = 0;
};

// Who writes the fields and who takes them: the FIFO's own deploy steps
// write the supervisor's settings, the regeneration and the DMA channel its
// link gives, and the commit programs the board from them (the channel order
// with them, which only the commit reads).
struct tAOFIFOSteps {
  static constexpr const char* kDeploySteps[] = {"deploySettings", "setRegenerateFromFIFO",
                                                 "setDMAChannel"};
  static constexpr const char* kProgrammingSteps[] = {"commit"};
};

class tBaseAO_FIFOPrimitive : public iOutputFIFOPrimitive, public nQoLMSDR100::iDMAObserver {
 public:
  static inline void* ___classID = nullptr;
  using tStatus2 = nQoMDBG100::tStatus2;
  static constexpr uint32_t kDataLoadedTimeout = 10000;  // milliseconds

  // Takes words 1, 2, 3 and 5 of the AO part; the channel order 0, 1, 2, …
  tBaseAO_FIFOPrimitive(const tAODescription* description, tStatus2& status);
  ~tBaseAO_FIFOPrimitive() override;
  tBaseAO_FIFOPrimitive(const tBaseAO_FIFOPrimitive&) = delete;
  tBaseAO_FIFOPrimitive& operator=(const tBaseAO_FIFOPrimitive&) = delete;

  virtual void* ___CPPKRLDynamicCast(void* const* classID) {
    return classID == &___classID ? this : nullptr;
  }

  void signalDataLoaded() override;
  virtual void setUp(tStatus2&) {}
  virtual void commit(tStatus2& status) = 0;
  virtual void uncommit(tStatus2& status) = 0;
  virtual void arm(tStatus2& status) = 0;
  virtual void complete(tStatus2& status) = 0;
  virtual void start(tStatus2& status) = 0;
  virtual void restoreArmed(tStatus2& status) = 0;
  virtual uint32_t writeSample(const int16_t* sample, tStatus2& status) = 0;
  virtual uint32_t writeSamples(const int16_t* samples, uint32_t count, tStatus2& status) = 0;
  virtual void clearFIFO(tStatus2& status) = 0;

  // The deploys: each writes the settings, which the next commit programs,
  // and reads nothing of them. deploy writes them whole; deploySettings the
  // supervisor's fields, all but the regeneration and the DMA channel, which
  // setRegenerateFromFIFO and setDMAChannel deploy (a board without an
  // output FIFO keeps FIFO mode 2 and refills of one sample whatever is
  // given). setRegenerateFromFIFO refuses regeneration without an output
  // FIFO with -223749, and deploys nothing then.
  void deploy(const tAOFIFOFields& settings) { _fields.deploy(settings); }
  void deploySettings(const tAOFIFOFields& settings);
  void setRegenerateFromFIFO(uint32_t value, tStatus2& status);
  void setDMAChannel(uint32_t channel) { _fields.deploying().dmaChannel = channel; }
  // What the last commit programmed.
  const tAOFIFOFields& programmed() const { return _fields.programmed(); }
  void setUpdateWaitStarted() { _updateWaitStarted = 1; }

  // The links the supervisor gives: where the samples come from, and the
  // DMA channel's observable, which a commit for regeneration by DMA
  // registers with.
  void setDataSource(iAODataSource* source) { _dataSource = source; }
  iAODataSource* dataSource() const { return _dataSource; }
  void setDMAObservable(nQoLMSDR100::iDMAObservable* observable) { _dmaObservable = observable; }
  nQoLMSDR100::iDMAObservable* dmaObservable() const { return _dmaObservable; }

  // The channels a write's scans hold: as the last commit programmed them,
  // whatever a deploy set since.
  uint32_t writeChannels() const { return _programmedChannels; }
  // The release's: the record goes back to the defaults, as a fresh
  // reservation finds it.
  void forget() {
    _fields.forget();
    _programmedChannels = _fields.programmed().channelCount;
  }
  // maxChannels entries; the first channelCount name the task's channels.
  uint32_t* channelOrder() { return _channelOrder; }
  uint32_t maxChannels() const { return _maxChannels; }
  uint32_t fifoDepth() const { return _fifoDepth; }
  uint32_t halfFIFODepth() const { return _halfFIFODepth; }
  const tPrimitiveState& state() const { return _state; }

 protected:
  // The settings a deploy wrote and the record of what the commit took:
  // the board class's commit programs from them, everyone else reads the
  // record through programmed().
  nQoUdR100::tDeployed<tAOFIFOFields, tAOFIFOSteps> _fields;
  // A commit's, once the record took the settings: what writes on other
  // threads read of it.
  void noteProgrammed(const tAOFIFOFields& record) { _programmedChannels = record.channelCount; }
  // Registers with the DMA channel's observable and records it, unless a
  // registration is recorded already.
  void registerDataLoadedObserver(tStatus2& status);
  // Unregisters from the observable recorded, whatever the link holds now
  // (an unlink nulls it), and clears the record once it went.
  void unregisterDataLoadedObserver(tStatus2& status);
  // Clears a report of the run before: an arm calls it before it turns the
  // DMA requests on, so a load from then on, also one before the start,
  // belongs to its run.
  void resetDataLoaded();
  // -50400 when the event is not set within kDataLoadedTimeout.
  void waitForDataLoaded(tStatus2& status);

  const tAODescription* _description;
  uint32_t _fifoDepth;
  uint32_t _halfFIFODepth;
  uint32_t _bit13RefillChunk;
  uint32_t _maxChannels;
  uint32_t* _channelOrder = nullptr;
  uint32_t _updateWaitStarted = 0;
  uint32_t _completionReported = 0;
  // The observable that registerDataLoadedObserver registered with: only
  // unregisterDataLoadedObserver clears it.
  nQoLMSDR100::iDMAObservable* _observed = nullptr;
  iAODataSource* _dataSource = nullptr;
  nQoLMSDR100::iDMAObservable* _dmaObservable = nullptr;
  // The record's channel count, read by writes on other threads.
  std::atomic<uint32_t> _programmedChannels{0};
  iSync* _dataLoaded = nullptr;
  tPrimitiveState _state;
};

}  // namespace nQoUdP100
