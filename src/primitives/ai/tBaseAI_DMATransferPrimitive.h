// The analog-input DMA transfer, device-independent part: the platform's DMA
// channel moves the samples; this primitive watches the converter (overrun),
// the FIFO (overflow) and the timing controller (last conversion) and reports
// the end of the transfer, or its first error, once per arm to the done sink.
// After the last conversion its worker thread polls the FIFO until the DMA
// channel has emptied it. The reservation framework's linkers write the event,
// the DMA channel number (kNoChannel when not linked) and the done sink.
//
//   transfer.link(status);      // worker started, observers registered
//   transfer.arm(status);       // channel selected, the end may come once
//   ...                         // last conversion: drain, then the sink hears it
//   transfer.disarm(status);    // waits up to 5000 for the worker
//   transfer.unlink(status);
//
// The default form (no converter, controller or FIFO) only holds what the
// linkers write; it is never ready.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/tDeployed.h"
#include "frame/tDeviceInfo.h"
#include "frame/tModuleObject.h"
#include "frame/tRuns.h"
#include "frame/tSingleActionOnceSignallableThread.h"
#include "frame/tSinkSlot.h"
#include "mdbg/tStatus2.h"
#include "mrl/iDMAChannelSupervisor.h"
#include "mrl/iEvent.h"
#include "primitives/ai/tAI_DMATransferPrimitiveConfig.h"
#include "primitives/ai/tBaseAIDeviceFIFOPrimitive.h"
#include "primitives/ai/tBaseAITimingControllerPrimitive.h"
#include "primitives/ai/tBaseAI_ADCPrimitive.h"
#include "sync/iSync.h"
#include "sync/tSyncAtomicU32.h"

namespace nQoUdP100 {

class tBaseAI_DMATransferPrimitive : public nQoUdR100::tModuleObject,
                                     public tBaseAIDeviceFIFOPrimitive::iAIOverflowObserver,
                                     public tBaseAI_ADCPrimitive::iObserver,
                                     public tBaseAITimingControllerPrimitive::iLastConvertObserver {
 public:
  static inline void* ___classID = nullptr;
  using tStatus2 = nQoMDBG100::tStatus2;
  static constexpr uint32_t kNoChannel = 0xFFFFFFFF;
  static constexpr uint32_t kChannelCount = 16;
  static constexpr uint32_t kDisarmWait = 5000;
  static constexpr uint32_t kPollInterval = 10;

  // What the passes counted since construction.
  struct tCounts {
    uint32_t overflow = 0;
    uint32_t overflowSecondary = 0;
    uint32_t overrun = 0;
    uint32_t overrunSecondary = 0;
    uint32_t lastConvert = 0;
    uint32_t lastConvertSecondary = 0;
  };

  tBaseAI_DMATransferPrimitive() = default;
  // The converter, controller and FIFO are the board's, borrowed; the device
  // information chooses the transfer lock.
  tBaseAI_DMATransferPrimitive(tBaseAI_ADCPrimitive* converter,
                               tBaseAITimingControllerPrimitive* timing,
                               tBaseAIDeviceFIFOPrimitive* fifo, const tDeviceInfo& deviceInfo,
                               tStatus2& status);
  // Unlinks a transfer still linked, so no list keeps its records; the
  // worker it joins reports nothing.
  ~tBaseAI_DMATransferPrimitive() override;
  tBaseAI_DMATransferPrimitive(const tBaseAI_DMATransferPrimitive&) = delete;
  tBaseAI_DMATransferPrimitive& operator=(const tBaseAI_DMATransferPrimitive&) = delete;

  virtual void* ___CPPKRLDynamicCast(void* const* classID);
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const;

  void setEvent(nQoMRL110::iEvent* event, tStatus2&) { _event = event; }
  nQoMRL110::iEvent* getEvent() const { return _event; }
  void setDMAChannelNumber(uint32_t number) { _dmaChannelNumber = number; }
  uint32_t getDMAChannelNumber() const { return _dmaChannelNumber; }
  // Clearing or replacing the sink waits for an end being reported to it on
  // another thread.
  void setDoneSink(nQoLMSDR100::iDMAEndpoint* sink) { _doneSink.set(sink); }
  nQoLMSDR100::iDMAEndpoint* getDoneSink() const { return _doneSink.get(); }

  // Controller, worker and transfer lock present.
  virtual bool isReady() const;
  void setConfiguration(const tAI_DMATransferPrimitiveConfig& configuration, tStatus2& status);
  // Worker started, observers of FIFO, converter and controller registered; a
  // failure is undone by unlink on a fresh status. Nothing while linked, so
  // that one unlink takes every record out.
  void link(tStatus2& status);
  // The second commit step: nothing to do. The first uncommit step: an arm
  // that no disarm followed is disarmed first, with its end.
  void commit(tStatus2&) {}
  void uncommit(tStatus2& status);
  // Selects the linked channel (kRefused, nothing written, for a channel past
  // 15 or none) after disarming an arm still held; a worker that an error
  // stopped is started again; the worker reset and the end armed. A failure
  // is undone by disarm on a fresh status.
  void arm(tStatus2& status);
  // Not supported: -50256.
  void start(tStatus2& status);
  void stop(tStatus2& status);
  // Channel deselected, the worker signalled and waited for; without a
  // worker (not linked) the run's end reported here.
  void disarm(tStatus2& status);
  // An arm that no disarm followed: its channel may still be selected.
  bool isArmed() const { return _armed.get() != 0; }
  // A cancel: the worker drains what the FIFO still holds, then reports the
  // end. Nothing on an error status.
  void wakeThread(tStatus2& status);
  void unlink(tStatus2& status);

  uint32_t overflowed(tBaseAIDeviceFIFOPrimitive*, tStatus2&) override;
  void overflowedSecondary(tBaseAIDeviceFIFOPrimitive*, tStatus2& status) override;
  uint32_t handleOverrun(tBaseAI_ADCPrimitive*, tStatus2&) override;
  void handleOverrunSecondary(tBaseAI_ADCPrimitive*, tStatus2& status) override;
  uint32_t lastConverted(tBaseAITimingControllerPrimitive*, tStatus2&) override;
  // Waits for the board to finish its last conversion, then wakes the worker.
  void lastConvertedSecondary(tBaseAITimingControllerPrimitive*, tStatus2& status) override;

  const tCounts& counts() const { return _counts; }
  bool isDone() const { return _runs.live() == 0; }

 protected:
  // The board's part: the select code into the DMA select register (written
  // even when unchanged), and the wait for the last conversion to leave the
  // converter (its failure in the status). Without a board there is neither.
  virtual void selectChannel(uint8_t /*code*/, tStatus2&) {}
  virtual void waitForLastConversion(tStatus2&) {}
  // For the most-derived destructor, first thing, while the select is still
  // its own: from here on no end reaches the sink (one under way is waited
  // for), then an arm that no disarm followed deselects its channel.
  void switchOffArmHeld();

 private:
  // The worker: polls the FIFO until it is empty, then ends the transfer.
  class tWorker final : public tSingleActionOnceSignallableThread, public nQoUdR100::tModuleObject {
   public:
    tWorker(tBaseAI_DMATransferPrimitive* owner, tStatus2& status)
        : tSingleActionOnceSignallableThread(status, 0), _owner(owner) {}
    // The thread calls action: it is joined before this class goes.
    ~tWorker() override { endThread(); }
    uint32_t action(tStatus2& status) override { return _owner->drain(status); }

   private:
    tBaseAI_DMATransferPrimitive* _owner;
  };

  uint32_t drain(tStatus2& status);
  // Wakes the worker for run under the transfer lock, where arm resets the
  // worker: a run that an arm has overtaken wakes nothing.
  void wakeWorker(uint32_t run, tStatus2& status);
  // Under the transfer lock, so that a report under way has left: no end is
  // reported any more (the destruction has begun).
  void silence();
  // The run's end, under the transfer lock, only while run is the live run:
  // stops the controller on an error; reports to the sink when its end has
  // not been reported yet and no destruction has begun.
  void endTransfer(uint32_t run, const tStatus2& reason, tStatus2& status);
  // Runs step under the transfer lock; what the lock reports merges into the
  // status.
  template <class tStep>
  void underTransferLock(tStep step, tStatus2& status);
  // Ends run with the code unless an arm has overtaken it.
  void failTransfer(uint32_t run, int code, unsigned line);

  tBaseAI_ADCPrimitive* _converter = nullptr;
  tBaseAITimingControllerPrimitive* _timing = nullptr;
  tBaseAIDeviceFIFOPrimitive* _fifo = nullptr;
  nQoMRL110::iEvent* _event = nullptr;
  nQoUdR100::tSinkSlot<nQoLMSDR100::iDMAEndpoint> _doneSink;
  // What the supervisor deploys; the board's DMA transfer programs nothing
  // from it.
  struct tConfigurationSteps {
    static constexpr const char* kDeploySteps[] = {"setConfiguration"};
  };
  nQoUdR100::tDeployed<tAI_DMATransferPrimitiveConfig, tConfigurationSteps> _configuration;
  // The linkers write it while an arm may read it on another thread.
  std::atomic<uint32_t> _dmaChannelNumber{kNoChannel};
  tCounts _counts;
  // The runs that arms began under the transfer lock, each live until its
  // end is reported; a drain polls the FIFO inside its run's accesses.
  nQoUdR100::tRuns _runs;
  // The run the worker was last woken for, written and read under the
  // transfer lock: a drain ends that run alone, never one an arm began after
  // the wake.
  tSyncAtomicU32 _wakeRun;
  // The runs that the last overflow's, overrun's and last conversion's first
  // passes saw live.
  tSyncAtomicU32 _overflowRun;
  tSyncAtomicU32 _overrunRun;
  tSyncAtomicU32 _lastConvertRun;
  // Whether link started the worker; a code may read it on another thread.
  tSyncAtomicU32 _linked;
  tSyncAtomicU32 _armed;
  // Set under the transfer lock as the destruction begins; read there too.
  tSyncAtomicU32 _destroying;
  iSync* _transferLock = nullptr;
  tWorker* _worker = nullptr;
};

}  // namespace nQoUdP100
