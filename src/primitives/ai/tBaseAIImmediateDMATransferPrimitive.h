// The analog-input immediate DMA transfer: one DMA channel of the VESK chip
// fills a shared buffer from the AI data FIFO, block by block around a ring of
// link descriptors; a client maps the buffer through the socket listener and
// reads it directly. Header words (little-endian u32 at these offsets):
// 0 done (1 at commit and when the transfer ended, 0 from arm), 4 the final
// status code, 8 to 32 the client's words, 36 the block count, 40 samples per
// scan, 44 on the sample data. Whether the transfer ended is the kernel's own
// flag; the client may write the header, which only mirrors it.
//
//   transfer.reserveDMAChannel(status);
//   transfer.commitChannel(status);   // samples per scan, observers
//   transfer.commit(status);          // buffer, ring, resolver, listener
//   transfer.arm(status);             // the channel runs
//
// The done-event object and the scheduler action are written by the linkers.
#pragma once

#include <atomic>
#include <cstdint>

#include "apal/tMemBlockReferenceBase.h"
#include "bus/iBus.h"
#include "bus/iBusInterruptResolver.h"
#include "frame/tDeployed.h"
#include "frame/tDeviceInfo.h"
#include "frame/tModuleObject.h"
#include "frame/tPassCount.h"
#include "frame/tRuns.h"
#include "frame/tSinkSlot.h"
#include "lib/iLibSocketListener.h"
#include "mdbg/tStatus2.h"
#include "mrl/iEvent.h"
#include "mrl/iSchedulerActionSupervisor.h"
#include "orb/tGUID.h"
#include "primitives/ai/tBaseAIDeviceFIFOPrimitive.h"
#include "primitives/ai/tBaseAIScanningFrontEndPrimitive.h"
#include "primitives/ai/tBaseAITimingControllerPrimitive.h"
#include "primitives/ai/tBaseAI_ADCPrimitive.h"
#include "sync/iSync.h"
#include "time/tTimerTimeUnit.h"
#include "vesk/tVESKChannel.h"

namespace nQoUdP100 {

class tBaseAIImmediateDMATransferPrimitive
    : public nQoUdR100::tModuleObject,
      public tBaseAIDeviceFIFOPrimitive::iAIOverflowObserver,
      public tBaseAI_ADCPrimitive::iObserver,
      public tBaseAITimingControllerPrimitive::iLastConvertObserver {
 public:
  static inline void* ___classID = nullptr;
  using tStatus2 = nQoMDBG100::tStatus2;
  static constexpr uint32_t kHeaderSize = 44;
  static constexpr uint32_t kSlack = 3;
  static constexpr uint32_t kDescriptorSize = 12;
  static constexpr uint32_t kAlign = 16;
  static constexpr uint32_t kRequestSize = 24;
  static constexpr uint32_t kReplySize = 16;
  enum tRequest : uint32_t { kMap = 1, kUnmap = 2, kNameEvent = 3 };
  enum tHeaderWord : uint32_t {
    kDoneWord = 0,
    kStatusWord = 1,
    kReadCountWord = 7,
    kBlockCountWord = 9,
    kSamplesPerScanWord = 10,
  };

  // The three bus resolvers of the channel's completion interrupt.
  template <bool kUnblock, bool kSchedule>
  class tResolver final : public iBusInterruptResolver {
   public:
    explicit tResolver(tBaseAIImmediateDMATransferPrimitive* owner) : _owner(owner) {}
    uint32_t resolve() override { return _owner->resolve(kUnblock, kSchedule); }

   private:
    tBaseAIImmediateDMATransferPrimitive* _owner;
  };
  using tUnblockAndScheduleInterruptResolver = tResolver<true, true>;
  using tUnblockInterruptResolver = tResolver<true, false>;
  using tScheduleInterruptResolver = tResolver<false, true>;

  class tLibSocketListener final : public iLibSocketListener, public iLibSocket {
   public:
    explicit tLibSocketListener(tBaseAIImmediateDMATransferPrimitive* owner) : _owner(owner) {}
    iLibSocket* getSocket() override { return this; }
    void releaseSocket(uint32_t* word) override { *word = 0; }
    void handleRequest(const void* request, uint32_t requestSize, void* reply,
                       uint32_t replyCapacity, uint32_t* replySize, uint32_t code,
                       uint32_t secondWord, tStatus2& status) override;

   private:
    tBaseAIImmediateDMATransferPrimitive* _owner;
  };

  // The words copied into the header at commit.
  struct tHeaderWords {
    uint32_t flag8 = 1;
    uint32_t word12 = 0;  // non-zero: the client blocks on its event
    uint32_t word16 = 0;
    uint32_t word20 = 1;
    uint32_t word24 = 100;
    uint32_t word32 = 0;
  };
  // The header words a deploy gives: 12, 16, 24 and 32 as they are, and the
  // sample-size flags (words 8 and 20) set where asked, else kept.
  struct tDeployedWords {
    uint32_t word12 = 0;
    uint32_t word16 = 0;
    uint32_t word24 = 100;
    uint32_t word32 = 0;
    bool setFlag8 = false;
    bool setWord20 = false;
  };

  tBaseAIImmediateDMATransferPrimitive() = default;
  // Everything borrowed; sample and data-port widths in bytes.
  tBaseAIImmediateDMATransferPrimitive(iBus* bus, const tDeviceInfo* deviceInfo,
                                       tBaseAIScanningFrontEndPrimitive* frontEnd,
                                       tBaseAI_ADCPrimitive* adc,
                                       tBaseAITimingControllerPrimitive* timing,
                                       tBaseAIDeviceFIFOPrimitive* fifo, uint32_t sampleWidth,
                                       uint32_t portWidth, tStatus2& status);
  // Undoes a channel commit still in place: no list keeps its records.
  ~tBaseAIImmediateDMATransferPrimitive() override;
  tBaseAIImmediateDMATransferPrimitive(const tBaseAIImmediateDMATransferPrimitive&) = delete;
  tBaseAIImmediateDMATransferPrimitive& operator=(const tBaseAIImmediateDMATransferPrimitive&) =
      delete;

  virtual void* ___CPPKRLDynamicCast(void* const* classID);
  virtual const void* ___CPPKRLDynamicCast(void* const* classID) const;

  // The done-event object that requestCancel's actions go to (null: none).
  // Clearing or replacing it, or the action, waits for a pass calling it on
  // another thread.
  void setEvent(nQoMRL110::iEvent* event, tStatus2&) { _doneEvent.set(event); }
  nQoMRL110::iEvent* getEvent() const { return _doneEvent.get(); }
  // Stores the action (null: none) when the status holds no error.
  void setSchedulerAction(nQoMAS100::iSchedulerAction* action, tStatus2& status) {
    if (status.isNotFatal()) _schedulerAction.set(action);
  }
  nQoMAS100::iSchedulerAction* getSchedulerAction() const { return _schedulerAction.get(); }
  // The deploys of the client's side, which the next commit takes: the key
  // its listener registers under and the header's words.
  void setListenerKey(uint64_t key) { _client.deploying().listenerKey = key; }
  virtual void deployHeaderWords(const tDeployedWords& words);

  virtual bool isReady() const;
  // A channel from the bus (kRefused and given back when the board has no map
  // for its number), reset; state 2.
  virtual void reserveDMAChannel(tStatus2& status);
  // Brings the transfer down first (bringDown), then gives the channel back
  // and takes back the action and the done-event object; state 1.
  virtual void releaseDMAChannel(tStatus2& status);
  // Brings the transfer down to its reserved channel from whatever the codes
  // left, each step by what it holds now and on a status of its own, dropped:
  // an armed run disarmed, a buffer or a resolver uncommitted, the client's
  // listener taken out.
  void bringDown();
  // Samples per scan from what the engine's and the front end's commits
  // programmed (0 before them; kCountTooLarge, nothing changed, for a sum
  // above 32 bits), the observers
  // registered unless a commit before did (one uncommit takes them out);
  // state 3.
  virtual void commitChannel(tStatus2& status);
  virtual void uncommitChannel(tStatus2& status);
  // Buffer, header, channel programming, resolver, listener; state 4. A failure
  // is undone by uncommit on a fresh status. Without a channel, or with no
  // samples per scan: kRefused, nothing done; a buffer or ring above 32 bits:
  // kCountTooLarge, nothing allocated. The listener takes the given
  // name, or without one the device GUID's text and the class's suffix. An
  // arm that no disarm followed is disarmed first: its channel runs on the
  // buffer and the ring that the commit replaces.
  virtual void commit(tStatus2& status, const char* listenerName = nullptr);
  // An arm that no disarm followed disarmed first. Without a channel only
  // the channel's registers are left alone.
  virtual void uncommit(tStatus2& status);
  // kRefused without a buffer or a channel.
  virtual void arm(tStatus2& status);
  // The channel stopped, the FIFO disconnected, the action told.
  virtual void disarm(tStatus2& status);
  // Not supported: -50256.
  virtual void start(tStatus2& status);
  virtual void stop(tStatus2& status);
  // The client reads the shared buffer itself: nothing is read here.
  virtual uint32_t read(void*, uint32_t, tStatus2&, uint32_t* bytesOut, uint32_t, tTimerTimeUnit) {
    if (bytesOut != nullptr) *bytesOut = 0;
    return 0;
  }
  // Ends a running transfer once: the channel reset, the controller stopped,
  // the client woken, the done event told; header words 4 and 0, whatever the
  // status holds (it keeps its error). Nothing when the transfer lock refused
  // (its code is reported) or no run is live.
  // Uncommit, commit, arm, the channel's release and destruction close the
  // run and wait for an end under way on another thread; a disarm leaves it
  // to be ended. A second pass ends only the run its first pass saw.
  virtual void requestCancel(const tStatus2& reason, tStatus2& status);
  // The client's read count (word 28) while word 20 allows and word 28 <= 24.
  void countRead();

  uint32_t overflowed(tBaseAIDeviceFIFOPrimitive*, tStatus2&) override;
  void overflowedSecondary(tBaseAIDeviceFIFOPrimitive*, tStatus2&) override;
  uint32_t handleOverrun(tBaseAI_ADCPrimitive*, tStatus2&) override;
  void handleOverrunSecondary(tBaseAI_ADCPrimitive*, tStatus2&) override;
  uint32_t lastConverted(tBaseAITimingControllerPrimitive*, tStatus2&) override;
  void lastConvertedSecondary(tBaseAITimingControllerPrimitive*, tStatus2&) override;

  uint32_t transferState() const { return _transferState; }
  // An arm that no disarm followed.
  bool holdsArm() const { return _armHeld != 0; }
  uint32_t samplesPerScan() const { return _samplesPerScan; }
  uint32_t channelNumber() const { return _channelNumber; }
  const uint8_t* buffer() const { return static_cast<const uint8_t*>(_buffer.pointer()); }
  uint32_t bufferSize() const { return _buffer.size(); }
  uint64_t bufferPhysical() const { return _buffer.physicalAddress(); }
  const uint8_t* linkChain() const { return static_cast<const uint8_t*>(_linkChain.pointer()); }
  uint64_t linkChainPhysical() const { return _linkChain.physicalAddress(); }
  iBusInterruptResolver* resolver() const { return _resolver; }
  tLibSocketListener& listener() { return _listener; }

 protected:
  // The board's part: the register map of a channel (null when it has none),
  // the FIFO routed to a channel, and disconnected again.
  virtual nQoUdRLP100::tVESKChannel* channelMapFor(uint32_t number, tStatus2& status) = 0;
  virtual void routeFIFO(uint32_t number, tStatus2& status) = 0;
  virtual void disconnectFIFO(tStatus2& status) = 0;
  // For the most-derived destructor, while the FIFO's route is still its
  // own: an arm that no disarm followed is switched off by its record, with
  // no report to a scheduler action that may be gone.
  void switchOffArmHeld();

 private:
  uint32_t resolve(bool unblock, bool schedule);
  // The board side of disarm, under the transfer lock: the channel stopped,
  // the FIFO disconnected; each on a status of its own.
  void switchArmOff(tStatus2& status);
  uint32_t* header() const { return static_cast<uint32_t*>(_buffer.pointer()); }
  void resetChannel(tStatus2& status);
  // The first end of the run numbered run while it is live: stop the channel
  // and the engine, post done. Under the transfer lock, inside a pass of _ends.
  void endOnce(const tStatus2& reason, uint32_t run, tStatus2& status);
  // endOnce on a status of its own, merged into the caller's: only the lock's
  // refusal holds the end back.
  void endUnderLock(const tStatus2& reason, uint32_t run, tStatus2& status);
  // The run ends no more; returns once an end under way on another thread
  // has left. Never with the transfer lock held.
  void closeRun();
  // The samples of one scan as the engine's and the front end's
  // configurations give them now.
  uint64_t scanSamples() const;
  void buildBuffer(tStatus2& status);
  void programChannel(tStatus2& status);
  void buildLinkChain(uint32_t blocks, tStatus2& status);
  void attachResolver(tStatus2& status);
  void detachResolver(tStatus2& status);
  void unmapClient();
  // A client's query, on its thread: the answer runs under the transfer lock.
  void answer(const void* request, uint32_t requestSize, void* reply, uint32_t replyCapacity,
              uint32_t* replySize, uint32_t kind, tStatus2& status);
  void answerUnderLock(const void* request, uint32_t requestSize, void* reply,
                       uint32_t replyCapacity, uint32_t* replySize, uint32_t kind,
                       tStatus2& status);
  void endFromNotification(int code, unsigned line, uint32_t run);

  iBus* _bus = nullptr;
  const tDeviceInfo* _deviceInfo = nullptr;
  // The client's event: named by a query, set by an end and the resolver.
  std::atomic<iSync*> _event{nullptr};
  nQoUdRLP100::tVESKChannel* _channelMap = nullptr;
  tUnblockAndScheduleInterruptResolver _unblockAndSchedule{this};
  tUnblockInterruptResolver _unblock{this};
  tScheduleInterruptResolver _schedule{this};
  iBusInterruptResolver* _resolver = nullptr;
  tBaseAIScanningFrontEndPrimitive* _frontEnd = nullptr;
  tBaseAI_ADCPrimitive* _adc = nullptr;
  tBaseAITimingControllerPrimitive* _timing = nullptr;
  tBaseAIDeviceFIFOPrimitive* _fifo = nullptr;
  uint32_t _sampleWidth = 0;
  uint32_t _portWidth = 0;
  uint32_t _transferState = 1;
  iBus::iDMAChannel* _dmaChannel = nullptr;
  uint32_t _channelNumber = 0;
  // Taken by the channel commit, then by each commit for its run's buffer.
  uint32_t _samplesPerScan = 0;
  tMemBlockReferenceBase _buffer;
  tMemBlockReferenceBase _linkChain;
  nQoUdR100::tSinkSlot<nQoMAS100::iSchedulerAction> _schedulerAction;
  nQoUdR100::tSinkSlot<nQoMRL110::iEvent> _doneEvent;
  uint64_t _interruptCount = 0;
  uint64_t _resolverHandle = 0;
  // The client's side as deployed, and as the last commit took it under the
  // lock: the key the client's queries go by, and the header words, of which
  // word 12 chooses the resolver. A deploy since reaches the next commit.
  struct tClient {
    uint64_t listenerKey = 0;
    tHeaderWords header;
  };
  struct tClientSteps {
    static constexpr const char* kDeploySteps[] = {"setListenerKey", "deployHeaderWords"};
    static constexpr const char* kProgrammingSteps[] = {"commit"};
  };
  nQoUdR100::tDeployed<tClient, tClientSteps> _client;
  tClient _committed;
  tLibSocketListener _listener{this};
  uint64_t _listenerHandle = 0;
  uint64_t _userMapping = 0;
  iSync* _transferLock = nullptr;
  // The runs: an arm begins one under the transfer lock; the end that
  // finishes it claims it there (endIfLive), and closeRun ends it. The
  // kernel's word, never the client's header.
  nQoUdR100::tRuns _runs;
  // The ends under way (a cancel or a second pass), which closeRun waits for.
  nQoUdR100::tPassCount _ends;
  // The live run each notification's first pass saw: overflow, overrun, last
  // conversion. Its second pass ends only that run.
  enum tPassSource : uint32_t { kOverflowPass, kOverrunPass, kLastConvertPass, kPassSources };
  std::atomic<uint32_t> _passRuns[kPassSources] = {};
  // The observers are registered (channel commit not undone).
  uint32_t _channelCommitted = 0;
  // Set by arm, cleared by disarm: commit, uncommit, the bring-down and the
  // destruction disarm by it, whatever state a commit set since.
  uint32_t _armHeld = 0;
  // A run's own end reset the channel, and with it the program the commit
  // wrote: the next arm writes that program again. Under the transfer lock.
  bool _channelReset = false;
  uint32_t _counts[6] = {};
};

}  // namespace nQoUdP100
