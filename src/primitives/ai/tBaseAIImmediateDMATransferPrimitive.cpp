#include "primitives/ai/tBaseAIImmediateDMATransferPrimitive.h"

#include <cstddef>
#include <cstring>

#include "frame/freshStatus.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "frame/transferLock.h"

namespace nQoUdP100 {

using nQoMDBG100::tStatus2;
using nQoUdR100::onFreshStatus;
using nQoUdR100::setCode;

namespace {
constexpr const char kFile[] = "qomiop/ai/tBaseAIImmediateDMATransferPrimitive";
constexpr unsigned kStartLine = 891;
constexpr unsigned kStopLine = 974;
constexpr unsigned kOverflowLine = 1210;
constexpr unsigned kOverrunLine = 1250;
constexpr unsigned kNoMapLine = 310;
constexpr unsigned kNoScanLine = 420;
constexpr unsigned kAddressLine = 640;
constexpr unsigned kBufferLine = 560;
constexpr unsigned kEventLine = 700;
constexpr unsigned kLockLine = 1100;
constexpr unsigned kCommitLockLine = 520;
constexpr unsigned kUncommitLockLine = 760;
constexpr unsigned kArmLockLine = 860;
constexpr unsigned kDisarmLockLine = 940;
constexpr unsigned kQueryLockLine = 1390;
constexpr unsigned kScanSumLine = 430;
constexpr unsigned kRingLine = 570;
constexpr unsigned kMapLines[] = {1404, 1407, 1410};
constexpr unsigned kUnmapLines[] = {1426, 1431, 1436};
constexpr unsigned kKindLine = 1450;
constexpr uint8_t kFill = 0xAA;
constexpr uint32_t kExcludedChannelType = 271;
constexpr uint32_t kRoutingKindWord = 7;
// The DMA request line of each channel number.
constexpr uint32_t kRequestLines[] = {4, 5, 6, 7, 4, 5, 6, 7};
constexpr uint32_t kChannelCount = sizeof kRequestLines / sizeof kRequestLines[0];
// Channel registers.
constexpr uint32_t kStart = 1;
constexpr uint32_t kStop = 4;
constexpr uint32_t kAcknowledge = 0x20;
constexpr uint32_t kReset = 0x80000000;
constexpr uint32_t kDone = 0x80000;  // status bit 19
constexpr uint32_t kAttachBits = (1u << 16) | (1u << 19) | (1u << 24);
constexpr uint32_t kBit31 = 1u << 31;
constexpr uint32_t kBit30 = 1u << 30;
constexpr uint32_t kBit18 = 1u << 18;
constexpr uint32_t kNamedEventType = 46;
constexpr const char kListenerSuffix[] =
    "::tBaseAIImmediateDMATransferPrimitive::tLibSocketListener";

uint32_t field(uint32_t soft, uint32_t mask, uint32_t value) { return (soft & ~mask) | value; }
}  // namespace

tBaseAIImmediateDMATransferPrimitive::tBaseAIImmediateDMATransferPrimitive(
    iBus* bus, const tDeviceInfo* deviceInfo, tBaseAIScanningFrontEndPrimitive* frontEnd,
    tBaseAI_ADCPrimitive* adc, tBaseAITimingControllerPrimitive* timing,
    tBaseAIDeviceFIFOPrimitive* fifo, uint32_t sampleWidth, uint32_t portWidth, tStatus2& status)
    : _bus(bus),
      _deviceInfo(deviceInfo),
      _frontEnd(frontEnd),
      _adc(adc),
      _timing(timing),
      _fifo(fifo),
      _sampleWidth(sampleWidth),
      _portWidth(portWidth) {
  if (status.isNotFatal() && deviceInfo != nullptr)
    _transferLock = openTransferLock(*deviceInfo, status);
}

// Each step that takes a status on one of its own, dropped: a failed detach
// still closes the transfer lock. An end under way and a client's query under
// way are waited for before the event, the channel or the buffer goes; after
// that nothing else reaches them, so the rest runs without the lock.
tBaseAIImmediateDMATransferPrimitive::~tBaseAIImmediateDMATransferPrimitive() {
  closeRun();
  iLibSocketListener::unregisterSocketListener(_listenerHandle);
  _listenerHandle = 0;
  tStatus2 local;
  if (_transferState >= 4) detachResolver(local);
  if (_channelCommitted != 0) tBaseAIImmediateDMATransferPrimitive::uncommitChannel(local.clear());
  unmapClient();
  if (iSync* event = _event.exchange(nullptr)) syncClose(event);
  if (_dmaChannel != nullptr) _bus->releaseDMAChannel(&_dmaChannel, &local.clear().code);
  closeTransferLock(_transferLock, local.clear());
}

void* tBaseAIImmediateDMATransferPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return classID == &___classID ? this : nullptr;
}

const void* tBaseAIImmediateDMATransferPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tBaseAIImmediateDMATransferPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

bool tBaseAIImmediateDMATransferPrimitive::isReady() const {
  return _frontEnd != nullptr && _adc != nullptr && _timing != nullptr && _fifo != nullptr &&
         _transferState >= 1 && _transferState <= 5;
}

void tBaseAIImmediateDMATransferPrimitive::reserveDMAChannel(tStatus2& status) {
  if (status.isFatal()) return;
  _dmaChannel = _bus->reserveDMAChannel(0xFFFFFFFF, 0xFFFFFFFE, &status.code);
  if (_dmaChannel == nullptr) return;
  _channelNumber = _dmaChannel->number();
  _channelMap = _channelNumber < kChannelCount ? channelMapFor(_channelNumber, status) : nullptr;
  if (_channelMap == nullptr) {
    setCode(status, nQoUdR100::kRefused, {kFile, kNoMapLine});
    int code = 0;
    _bus->releaseDMAChannel(&_dmaChannel, &code);
    return;
  }
  resetChannel(status);
  _transferState = 2;
}

// A committed transfer is undone first: no resolver and no channel access
// outlives the channel's map, and no action of the task reaches the next.
void tBaseAIImmediateDMATransferPrimitive::releaseDMAChannel(tStatus2& status) {
  if (status.isFatal()) return;
  bringDown();
  _bus->releaseDMAChannel(&_dmaChannel, &status.code);
  _channelMap = nullptr;
  _transferState = 1;
  _schedulerAction.set(nullptr);
  _doneEvent.set(nullptr);
}

// Each undo goes by what the transfer holds, not by the state, which a
// channel uncommit before it moves to 2: the disarm by the arm's record (a
// disarm leaves its run live), the uncommit by the buffer and the resolver
// it frees.
void tBaseAIImmediateDMATransferPrimitive::bringDown() {
  closeRun();
  if (_armHeld != 0) {
    tStatus2 undo;
    disarm(undo);
  }
  if (_resolver != nullptr || _buffer.pointer() != nullptr || _linkChain.pointer() != nullptr) {
    tStatus2 undo;
    uncommit(undo);
  }
  iLibSocketListener::unregisterSocketListener(_listenerHandle);
  _listenerHandle = 0;
}

void tBaseAIImmediateDMATransferPrimitive::resetChannel(tStatus2& status) {
  if (_channelMap == nullptr) return;
  nQoUdRLP100::tVESKChannel& map = *_channelMap;
  map.Channel_Command.writeRegister(kReset, &status);
  map.Channel_Control.readRegister(&status);
  map.Channel_Register_2C.readRegister(&status);
  map.Channel_Register_08.readRegister(&status);
  map.Channel_Config_0C.readRegister(&status);
  map.Channel_Config_14.readRegister(&status);
  map.Channel_Config_1C.readRegister(&status);
  map.Channel_Chain_Address.readRegister(&status);
  map.Channel_Register_28.readRegister(&status);
  map.Channel_Register_10.readRegister(&status);
  map.Channel_Register_18.readRegister(&status);
}

// The scan the board strobes: what the engine's and the front end's last
// commits programmed (none yet: no scan, refused). Summed wide, so that a sum
// above 32 bits is refused before anything changes.
uint64_t tBaseAIImmediateDMATransferPrimitive::scanSamples() const {
  const auto& engine = _timing->programmed().configuration;
  const auto& timing = engine.timing;
  const int32_t kind = engine.routing.words[kRoutingKindWord];
  const auto& channels = _frontEnd->configuration().channels;
  uint64_t samples = 0;
  if (timing.timingMode == 1) {
    samples = 1;
  } else if (timing.timingMode == 2 || timing.timingMode == 3) {
    if (kind == 19) {
      for (const auto& channel : channels)
        if (channel.positiveInputCode != static_cast<int32_t>(kExcludedChannelType))
          samples += timing.strobeLoadValue;
    } else if (kind == 31) {
      samples = channels.size();
    }
  }
  return samples;
}

void tBaseAIImmediateDMATransferPrimitive::commitChannel(tStatus2& status) {
  if (status.isFatal()) return;
  const uint64_t samples = scanSamples();
  if (samples > UINT32_MAX) {
    setCode(status, nQoUdR100::kCountTooLarge, {kFile, kScanSumLine});
    return;
  }
  // No scan yet is no refusal: the engine may be committed after the channel
  // (the subsystem commits its members after it); the commit takes the scan.
  _samplesPerScan = static_cast<uint32_t>(samples);
  if (_channelCommitted == 0) {
    _fifo->addOverflowObserver(this, status);
    _adc->addObserver(this, status);
    _timing->addLastConvertObserver(this, status);
    _channelCommitted = 1;
  }
  if (status.isNotFatal()) _transferState = 3;
}

void tBaseAIImmediateDMATransferPrimitive::uncommitChannel(tStatus2& status) {
  if (status.isFatal()) return;
  onFreshStatus(status, [&](tStatus2& s) { _timing->removeLastConvertObserver(this, s); });
  onFreshStatus(status, [&](tStatus2& s) { _adc->removeObserver(this, s); });
  onFreshStatus(status, [&](tStatus2& s) { _fifo->removeOverflowObserver(this, s); });
  _channelCommitted = 0;
  _transferState = 2;
}

void tBaseAIImmediateDMATransferPrimitive::unmapClient() {
  if (_userMapping == 0) return;
  int code = 0;
  _buffer.unmapMemoryFromUserMode(_userMapping, &code);
  _userMapping = 0;
}

void tBaseAIImmediateDMATransferPrimitive::deployHeaderWords(const tDeployedWords& words) {
  tHeaderWords& header = _client.deploying().header;
  header.word12 = words.word12;
  header.word16 = words.word16;
  header.word24 = words.word24;
  header.word32 = words.word32;
  if (words.setFlag8) header.flag8 = 1;
  if (words.setWord20) header.word20 = 1;
}

// Sizes are computed wide and refused above 32 bits before anything is
// allocated: blocks times samples per scan stays below 2^33, so the data size
// fits 64 bits for any sample width.
void tBaseAIImmediateDMATransferPrimitive::buildBuffer(tStatus2& status) {
  uint64_t blocks = (uint64_t{_fifo->size()} + _samplesPerScan - 1) / _samplesPerScan;
  if (blocks < 2) blocks = 2;
  const uint64_t data = uint64_t{_samplesPerScan} * blocks * _sampleWidth;
  if (data + kHeaderSize + kSlack > 0xFFFFFFFFu) {
    setCode(status, nQoUdR100::kCountTooLarge, {kFile, kBufferLine});
    return;
  }
  if (blocks * kDescriptorSize > 0xFFFFFFFFu) {
    setCode(status, nQoUdR100::kCountTooLarge, {kFile, kRingLine});
    return;
  }
  // A client still mapped to the old buffer loses it first.
  unmapClient();
  auto* bytes = static_cast<uint8_t*>(
      _buffer.allocate(static_cast<uint32_t>(data) + kHeaderSize + kSlack, kAlign, &status.code));
  if (bytes == nullptr) return;
  std::memset(bytes, 0, kHeaderSize);
  const tHeaderWords& header = _committed.header;
  const uint32_t words[] = {1,
                            0,
                            header.flag8,
                            header.word12,
                            header.word16,
                            header.word20,
                            header.word24,
                            0,
                            header.word32,
                            static_cast<uint32_t>(blocks),
                            _samplesPerScan};
  std::memcpy(bytes, words, sizeof words);
  std::memset(bytes + kHeaderSize, kFill, static_cast<size_t>(data));
  buildLinkChain(static_cast<uint32_t>(blocks), status);
}

void tBaseAIImmediateDMATransferPrimitive::buildLinkChain(uint32_t blocks, tStatus2& status) {
  auto* ring =
      static_cast<uint32_t*>(_linkChain.allocate(blocks * kDescriptorSize, kAlign, &status.code));
  if (ring == nullptr) return;
  const uint32_t blockBytes = _samplesPerScan * _sampleWidth;
  const uint64_t ringPhysical = _linkChain.physicalAddress();
  bool fits = ringPhysical + uint64_t{blocks} * kDescriptorSize <= 0xFFFFFFFFull;
  for (uint32_t k = 0; k < blocks; ++k) {
    const uint64_t memory = _buffer.physicalAddress() + kHeaderSize + uint64_t{k} * blockBytes;
    const uint64_t next = ringPhysical + uint64_t{(k + 1) % blocks} * kDescriptorSize;
    fits = fits && memory + blockBytes <= 0xFFFFFFFFull;
    uint32_t* descriptor = ring + std::size_t{k} * (kDescriptorSize / sizeof *ring);
    descriptor[0] = blockBytes;
    descriptor[1] = static_cast<uint32_t>(memory);
    descriptor[2] = static_cast<uint32_t>(next);
  }
  if (!fits) setCode(status, nQoUdR100::kCountTooLarge, {kFile, kAddressLine});
}

void tBaseAIImmediateDMATransferPrimitive::programChannel(tStatus2& status) {
  _channelReset = false;
  nQoUdRLP100::tVESKChannel& map = *_channelMap;
  const uint32_t port = (_portWidth == 4 ? 3u : 2u) << 8;
  auto& c0C = map.Channel_Config_0C;
  c0C.setRegister(field(c0C.getRegister(), 0x0007'3F40u, port | (1u << 10)) | 0x00E0'0000u);
  c0C.writeRegister(&status);
  auto& c14 = map.Channel_Config_14;
  const uint32_t line = kRequestLines[_channelNumber] << 16;
  c14.setRegister(field(c14.getRegister(), 0x0007'3F00u, port | (1u << 10) | line) | 0x00E0'0040u);
  c14.writeRegister(&status);
  auto& control = map.Channel_Control;
  control.setRegister(field(control.getRegister(), 0x0000'4007u, 4u) | 0x8008u);
  control.writeRegister(&status);
  auto& c1C = map.Channel_Config_1C;
  c1C.setRegister(field(c1C.getRegister(), 0x0001'0C40u, 1u << 10) | 0x00E0'0300u);
  c1C.writeRegister(&status);
  map.Channel_Register_18.setRegister(0);
  map.Channel_Register_18.writeRegister(&status);
}

void tBaseAIImmediateDMATransferPrimitive::attachResolver(tStatus2& status) {
  if (status.isFatal() || _resolver != nullptr) return;
  if (_committed.header.word12 == 0)
    _resolver = _schedulerAction.get() != nullptr ? &_schedule : nullptr;
  else if (_event.load() != nullptr)
    _resolver = _schedulerAction.get() != nullptr
                    ? static_cast<iBusInterruptResolver*>(&_unblockAndSchedule)
                    : &_unblock;
  if (_resolver == nullptr) return;
  _interruptCount = 0;
  _resolverHandle = _bus->registerInterrupt(0x7FFFFFFF, 1, _resolver, nullptr, &status.code);
  if (_resolverHandle == 0) _resolver = nullptr;
}

void tBaseAIImmediateDMATransferPrimitive::detachResolver(tStatus2& status) {
  if (_resolver == nullptr) return;
  if (_channelMap != nullptr) {
    auto& control = _channelMap->Channel_Control;
    control.setRegister(control.getRegister() | kBit18);
    control.writeRegister(&status);
  }
  _bus->unregisterInterrupt(&_resolverHandle, &status.code);
  _resolver = nullptr;
  if (iSync* event = _event.exchange(nullptr)) syncClose(event);
}

void tBaseAIImmediateDMATransferPrimitive::commit(tStatus2& status, const char* listenerName) {
  if (status.isFatal()) return;
  if (_channelMap == nullptr) {
    setCode(status, nQoUdR100::kRefused, {kFile, kNoMapLine});
    return;
  }
  // No channel commit: there is no buffer to build.
  if (_channelCommitted == 0) {
    setCode(status, nQoUdR100::kRefused, {kFile, kNoScanLine});
    return;
  }
  // The run's scan is taken now, before anything changes, from what the
  // engine's and the front end's last commits programmed: a commit of theirs
  // since the channel commit reaches this run, one under the run the next.
  const uint64_t samples = scanSamples();
  if (samples > UINT32_MAX) {
    setCode(status, nQoUdR100::kCountTooLarge, {kFile, kScanSumLine});
    return;
  }
  if (samples == 0) {
    setCode(status, nQoUdR100::kRefused, {kFile, kNoScanLine});
    return;
  }
  // The buffer and the ring are replaced: an arm that no disarm followed
  // stops its channel first, an end of the run before has left them, and a
  // client's query is shut out while they change.
  if (_armHeld != 0) onFreshStatus(status, [&](tStatus2& s) { disarm(s); });
  closeRun();
  const tClient& deployed = _client.take();
  underLock(_transferLock,
            [&] {
              if (status.isFatal()) return;
              // What the client's queries go by until the next commit: the
              // key it registers under and whether the client names an event.
              _committed = deployed;
              _samplesPerScan = static_cast<uint32_t>(samples);
              buildBuffer(status);
              if (status.isNotFatal()) programChannel(status);
              attachResolver(status);
            },
            status, {kFile, kCommitLockLine});
  // Every commit takes out the listener of the commit before, which would
  // answer a key given since, and with a key registers it anew: under the
  // caller's name, else under the device's GUID and the suffix. Outside the
  // lock: taking the listener out waits for a query, which takes the lock.
  if (status.isNotFatal()) {
    iLibSocketListener::unregisterSocketListener(_listenerHandle);
    _listenerHandle = 0;
  }
  const bool wantsListener = status.isNotFatal() && _committed.listenerKey != 0;
  if (wantsListener && listenerName != nullptr) {
    _listenerHandle = iLibSocketListener::registerSocketListener(listenerName, &_listener, status);
  } else if (wantsListener && _deviceInfo != nullptr && _deviceInfo->identity != nullptr) {
    char guid[nQoORB100::tGUID::kTextLength];
    _deviceInfo->identity->toString(guid);
    char name[sizeof guid + sizeof kListenerSuffix];
    std::memcpy(name, guid, sizeof guid);
    std::memcpy(name + std::strlen(name), kListenerSuffix, sizeof kListenerSuffix);
    _listenerHandle = iLibSocketListener::registerSocketListener(name, &_listener, status);
  }
  if (status.isFatal()) {
    tStatus2 undo;
    uncommit(undo);
    return;
  }
  _transferState = 4;
}

// Each step of uncommit and disarm on a status of its own: a failed detach
// still stops the channel. A client's query is shut out while the resolver,
// the event, the mapping and the buffer go; without the lock they go still.
void tBaseAIImmediateDMATransferPrimitive::uncommit(tStatus2& status) {
  if (status.isFatal()) return;
  // An arm that no disarm followed is disarmed first (a commit since lowers
  // the state): the FIFO leaves the channel and the action hears the disarm.
  if (_armHeld != 0) onFreshStatus(status, [&](tStatus2& s) { disarm(s); });
  closeRun();
  underLock(_transferLock,
            [&] {
              onFreshStatus(status, [&](tStatus2& s) { detachResolver(s); });
              if (_channelMap != nullptr)
                onFreshStatus(status, [&](tStatus2& s) {
                  _channelMap->Channel_Command.writeRegister(kStop, &s);
                });
              onFreshStatus(status, [&](tStatus2& s) { resetChannel(s); });
              unmapClient();
              _buffer.free();
              _linkChain.free();
            },
            status, {kFile, kUncommitLockLine});
  _transferState = 3;
}

void tBaseAIImmediateDMATransferPrimitive::arm(tStatus2& status) {
  if (status.isFatal()) return;
  if (header() == nullptr || _channelMap == nullptr) {
    setCode(status, nQoUdR100::kRefused, {kFile, kBufferLine});
    return;
  }
  // An arm still held is disarmed first, with its report: each arm is
  // answered once. A run still live ends before its header is cleared.
  onFreshStatus(status, [&](tStatus2& s) { disarm(s); });
  closeRun();
  _schedulerAction.call([&](nQoMAS100::iSchedulerAction& action) { action.armed(status); });
  _armHeld = 1;
  // A client's query may attach the resolver: it waits until the run starts.
  underLock(_transferLock,
            [&] {
              if (status.isFatal()) return;
              if (_channelReset) programChannel(status);
              auto& address = _channelMap->Channel_Chain_Address;
              address.setRegister(static_cast<uint32_t>(_linkChain.physicalAddress()));
              address.writeRegister(&status);
              routeFIFO(_channelNumber, status);
              header()[kDoneWord] = 0;
              header()[kStatusWord] = 0;
              header()[kReadCountWord] = 0;
              _runs.begin();
              if (_resolver != nullptr) {
                auto& control = _channelMap->Channel_Control;
                control.setRegister(control.getRegister() | kAttachBits);
                const uint32_t soft = control.getRegister();
                control.setRegister(soft | kBit31);
                control.writeRegister(&status);
              }
              _channelMap->Channel_Command.writeRegister(kStart, &status);
            },
            status, {kFile, kArmLockLine});
  if (status.isFatal()) {
    tStatus2 undo;
    disarm(undo);
    return;
  }
  _transferState = 5;
}

// The run stays open: a cancel or a second pass of it still ends it, marks
// the header done and tells the client. The channel and the FIFO are stopped
// under the transfer lock, so such an end never falls between their writes.
// It goes by the arm's record: with no arm held it stops and tells nothing.
void tBaseAIImmediateDMATransferPrimitive::disarm(tStatus2& status) {
  if (status.isFatal() || _armHeld == 0) return;
  _armHeld = 0;
  switchArmOff(status);
  onFreshStatus(status, [&](tStatus2& s) {
    _schedulerAction.call([&](nQoMAS100::iSchedulerAction& action) { action.disarmed(s); });
  });
  _transferState = 4;
}

void tBaseAIImmediateDMATransferPrimitive::switchOffArmHeld() {
  if (_armHeld == 0) return;
  _armHeld = 0;
  tStatus2 local;
  switchArmOff(local);
}

void tBaseAIImmediateDMATransferPrimitive::switchArmOff(tStatus2& status) {
  underLock(_transferLock,
            [&] {
              if (_channelMap != nullptr) {
                onFreshStatus(status, [&](tStatus2& s) {
                  _channelMap->Channel_Command.writeRegister(kStop, &s);
                });
                auto& control = _channelMap->Channel_Control;
                for (const uint32_t bit : {kBit30, kBit18})
                  onFreshStatus(status, [&](tStatus2& s) {
                    control.setRegister(control.getRegister() | bit);
                    control.writeRegister(&s);
                  });
              }
              onFreshStatus(status, [&](tStatus2& s) { disconnectFIFO(s); });
            },
            status, {kFile, kDisarmLockLine});
}

void tBaseAIImmediateDMATransferPrimitive::start(tStatus2& status) {
  setCode(status, nQoUdR100::kNotSupported, {kFile, kStartLine});
}

void tBaseAIImmediateDMATransferPrimitive::stop(tStatus2& status) {
  setCode(status, nQoUdR100::kNotSupported, {kFile, kStopLine});
}

void tBaseAIImmediateDMATransferPrimitive::countRead() {
  uint32_t* words = header();
  if (words == nullptr || words[5] == 0 || words[kReadCountWord] > words[6]) return;
  ++words[kReadCountWord];
}

void tBaseAIImmediateDMATransferPrimitive::requestCancel(const tStatus2& reason, tStatus2& status) {
  endUnderLock(reason, _runs.live(), status);
}

// The whole call, the lock's release included, is a pass of _ends: a
// destruction waits for it. Without the lock nothing ends; an error the
// caller holds stops nothing.
void tBaseAIImmediateDMATransferPrimitive::endUnderLock(const tStatus2& reason, uint32_t run,
                                                        tStatus2& status) {
  const nQoUdR100::tPassCount::tInside inside(_ends);
  tStatus2 ending;
  underLock(_transferLock,
            [&] {
              if (ending.isNotFatal()) endOnce(reason, run, ending);
            },
            ending, {kFile, kLockLine});
  status.assign(ending);
}

void tBaseAIImmediateDMATransferPrimitive::closeRun() {
  _runs.end();
  _ends.waitForPasses();
}

void tBaseAIImmediateDMATransferPrimitive::endOnce(const tStatus2& reason, uint32_t run,
                                                   tStatus2& status) {
  // Only the end that takes the live run out finishes it; a closed run or
  // one of the past touches nothing.
  if (_runs.endIfLive(run)) {
    resetChannel(status);
    _channelReset = true;
    _timing->hammerStop(status);
    if (iSync* event = _event.load()) {
      int ignored = 0;
      event->releaseOrSet(&ignored);
    }
    _doneEvent.call([&](nQoMRL110::iEvent& event) {
      tStatus2 posted;
      if (reason.isFatal()) event.post(nQoMRL110::tSoftwareActionForStatusEvent(reason), posted);
      event.post(nQoMRL110::tSoftwareActionForIsDoneEvent(reason), posted);
      status.assign(posted);
    });
    if (header() != nullptr) {
      header()[kStatusWord] = static_cast<uint32_t>(reason.code);
      header()[kDoneWord] = 1;
    }
  }
}

void tBaseAIImmediateDMATransferPrimitive::endFromNotification(int code, unsigned line,
                                                               uint32_t run) {
  tStatus2 reason;
  setCode(reason, code, {kFile, line});
  tStatus2 status;
  endUnderLock(reason, run, status);
}

// Each first pass notes the live run for its second pass.
uint32_t tBaseAIImmediateDMATransferPrimitive::overflowed(tBaseAIDeviceFIFOPrimitive*, tStatus2&) {
  ++_counts[0];
  _passRuns[kOverflowPass].store(_runs.live(), std::memory_order_relaxed);
  return 1;
}
void tBaseAIImmediateDMATransferPrimitive::overflowedSecondary(tBaseAIDeviceFIFOPrimitive*,
                                                               tStatus2&) {
  ++_counts[1];
  endFromNotification(nQoUdR100::kFIFOOverflow, kOverflowLine,
                      _passRuns[kOverflowPass].load(std::memory_order_relaxed));
}
uint32_t tBaseAIImmediateDMATransferPrimitive::handleOverrun(tBaseAI_ADCPrimitive*, tStatus2&) {
  ++_counts[2];
  _passRuns[kOverrunPass].store(_runs.live(), std::memory_order_relaxed);
  return 1;
}
void tBaseAIImmediateDMATransferPrimitive::handleOverrunSecondary(tBaseAI_ADCPrimitive*,
                                                                  tStatus2&) {
  ++_counts[3];
  endFromNotification(nQoUdR100::kConverterOverrun, kOverrunLine,
                      _passRuns[kOverrunPass].load(std::memory_order_relaxed));
}
uint32_t tBaseAIImmediateDMATransferPrimitive::lastConverted(tBaseAITimingControllerPrimitive*,
                                                             tStatus2&) {
  ++_counts[4];
  _passRuns[kLastConvertPass].store(_runs.live(), std::memory_order_relaxed);
  return 1;
}
void tBaseAIImmediateDMATransferPrimitive::lastConvertedSecondary(tBaseAITimingControllerPrimitive*,
                                                                  tStatus2&) {
  ++_counts[5];
  endFromNotification(0, 0, _passRuns[kLastConvertPass].load(std::memory_order_relaxed));
}

uint32_t tBaseAIImmediateDMATransferPrimitive::resolve(bool unblock, bool schedule) {
  tStatus2 status;
  if ((_channelMap->Channel_Status.readRegister(&status) & kDone) == 0) return 0;
  _channelMap->Channel_Command.writeRegister(kAcknowledge, &status);
  iSync* const event = unblock ? _event.load(std::memory_order_relaxed) : nullptr;
  if (event != nullptr) {
    int code = 0;
    event->releaseOrSet(&code);
  }
  if (schedule)
    _schedulerAction.call(
        [&](nQoMAS100::iSchedulerAction& action) { action.runAction(&_interruptCount, 0); });
  if (schedule) ++_interruptCount;
  return 2;
}

void tBaseAIImmediateDMATransferPrimitive::tLibSocketListener::handleRequest(
    const void* request, uint32_t requestSize, void* reply, uint32_t replyCapacity,
    uint32_t* replySize, uint32_t code, uint32_t, tStatus2& status) {
  _owner->answer(request, requestSize, reply, replyCapacity, replySize, code, status);
}

// A query runs on the client's thread, under the transfer lock: commit,
// uncommit and arm change what it reads and writes only under the same lock,
// and destruction takes the listener out (waiting for a query under way)
// before anything goes. A lock refused is reported and answers nothing.
void tBaseAIImmediateDMATransferPrimitive::answer(const void* request, uint32_t requestSize,
                                                  void* reply, uint32_t replyCapacity,
                                                  uint32_t* replySize, uint32_t kind,
                                                  tStatus2& status) {
  if (status.isFatal()) return;
  underLock(_transferLock,
            [&] {
              if (status.isNotFatal())
                answerUnderLock(request, requestSize, reply, replyCapacity, replySize, kind,
                                status);
            },
            status, {kFile, kQueryLockLine});
}

void tBaseAIImmediateDMATransferPrimitive::answerUnderLock(const void* request,
                                                           uint32_t requestSize, void* reply,
                                                           uint32_t replyCapacity,
                                                           uint32_t* replySize, uint32_t kind,
                                                           tStatus2& status) {
  uint64_t key = 0;
  if (request != nullptr && requestSize >= kRequestSize) std::memcpy(&key, request, sizeof key);
  if (request == nullptr || requestSize < kRequestSize || key != _committed.listenerKey) {
    setCode(status, nQoUdR100::kBadArgument, {kFile, kMapLines[0]});
    return;
  }
  const auto* bytes = static_cast<const uint8_t*>(request);
  switch (kind) {
    case kMap: {
      if (reply == nullptr || replySize == nullptr || replyCapacity != kReplySize) {
        setCode(status, nQoUdR100::kBadArgument, {kFile, kMapLines[1]});
        return;
      }
      // Nothing committed: no buffer to map.
      if (_buffer.pointer() == nullptr) {
        setCode(status, nQoUdR100::kBadArgument, {kFile, kMapLines[2]});
        return;
      }
      // A second map replaces the first: the first is undone.
      unmapClient();
      _userMapping = _buffer.mapMemoryToUserMode(&status.code);
      if (_userMapping == 0) {
        setCode(status, nQoUdR100::kBadArgument, {kFile, kMapLines[2]});
        return;
      }
      const uint32_t size = _buffer.size();
      std::memcpy(reply, &_userMapping, sizeof _userMapping);
      std::memcpy(static_cast<uint8_t*>(reply) + 8, &size, sizeof size);
      std::memset(static_cast<uint8_t*>(reply) + 12, 0, 4);
      *replySize = kReplySize;
      return;
    }
    case kUnmap: {
      uint64_t address = 0;
      uint32_t size = 0;
      std::memcpy(&address, bytes + 8, sizeof address);
      std::memcpy(&size, bytes + 16, sizeof size);
      if (_userMapping == 0)
        return setCode(status, nQoUdR100::kBadArgument, {kFile, kUnmapLines[0]});
      if (address != _userMapping)
        return setCode(status, nQoUdR100::kBadArgument, {kFile, kUnmapLines[1]});
      if (size != _buffer.size())
        return setCode(status, nQoUdR100::kBadArgument, {kFile, kUnmapLines[2]});
      unmapClient();
      return;
    }
    case kNameEvent: {
      iSync::tParam param;
      param.kind = 2;
      param.option = kNamedEventType;
      std::memcpy(&param.reserved[0], bytes + 8, 8);
      if (_resolver != nullptr || _event.load() != nullptr) {
        setCode(status, nQoUdR100::kBadArgument, {kFile, kKindLine});
        return;
      }
      int code = 0;
      _event.store(syncOpen(param, &code));
      setCode(status, code, {kFile, kEventLine});
      // Committed: the buffer stands from commit to uncommit.
      if (_buffer.pointer() != nullptr) attachResolver(status);
      return;
    }
    default: setCode(status, nQoUdR100::kBadArgument, {kFile, kKindLine});
  }
}

}  // namespace nQoUdP100
