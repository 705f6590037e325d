#include "supervisors/ao/tBaseAO_FIFOSupervisor.h"

#include "mrl/iPrimitiveSupervisorMap.h"
#include "settings/copyCheck.h"

namespace nQoUdR100 {

namespace {

constexpr uint32_t kIsCommitted = 257;
constexpr uint32_t kIsArmed = 258;
constexpr uint32_t kMaxChannels = 259;
constexpr uint32_t kFIFODepth = 260;
constexpr uint32_t kHalfFIFODepth = 261;

}  // namespace

// The FIFO keeps the adapter as its data source until the release.
tBaseAO_FIFOSupervisor::~tBaseAO_FIFOSupervisor() {
  retire();
  delete _adapter;
}

void tBaseAO_FIFOSupervisor::initialize(const nQoMRL100::iPrimitiveSettings& settings,
                                        nQoMRL100::iRuntimeFacade* facade,
                                        nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _facade = facade;
  const tAO_FIFOSettings* own = castSettings(settings, status);
  if (own == nullptr) return;
  _identifier.deploy(own->identifier);
  checkCopy(status, tAO_FIFOSettings::kCopySite, _identifier);
  copySettings(*own, status);
  if (status.isNotFatal()) _state = kPlainInitialized;
}

void tBaseAO_FIFOSupervisor::deploy(const nQoMRL100::iPrimitiveSettings& settings,
                                    nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const tAO_FIFOSettings* own = castSettings(settings, status);
  if (own == nullptr) return;
  copySettings(*own, status);
  applySettings(status);
}

void tBaseAO_FIFOSupervisor::copySettings(const tAO_FIFOSettings& own,
                                          nQoMDBG100::tStatus2& status) {
  _settings.deploy(own);
  checkCopy(status, tAO_FIFOSettings::kCopySite, _settings.deploying());
}

void tBaseAO_FIFOSupervisor::link(nQoMRL100::iPrimitiveSupervisorMap& map,
                                  nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const tAO_FIFOSettings& deployed = _settings.deploying();
  if (mechanism(deployed) != nQoUdP100::tAOFIFOFields::kDirect) {
    _transfer = map.lookup(deployed.word7, status);
    _second = map.lookup(deployed.word8, status);
    if (mechanism(deployed) == nQoUdP100::tAOFIFOFields::kDMA)
      _dmaChannel = map.lookup(deployed.word6, status);
  }
  if (status.isNotFatal()) _state = kPlainLinked;
}

// The adapter is made once, unless nothing is transferred; a failure after
// the broker granted the FIFO hands it back. The FIFO goes into the slot,
// where writes and codes from other threads reach it, only once it has its
// settings and data source.
void tBaseAO_FIFOSupervisor::reserveResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (nQoUdP100::tBaseAO_FIFOPrimitive* fifo = reservePrimitive(status)) {
    if (_adapter == nullptr &&
        mechanism(_settings.deploying()) != nQoUdP100::tAOFIFOFields::kDirect) {
      _adapter = new (status) tAOStreamAdapter;
      if (_adapter != nullptr) _adapter->setIdentifier(_identifier.next());
    }
    applySettings(status);
    if (status.isFatal()) {
      nQoMDBG100::tStatus2 dropped;
      handBack(dropped);
      return;
    }
    hold(fifo);
  }
  if (status.isNotFatal()) _state = kPlainReserved;
}

// A channel list longer than the FIFO's table is refused before anything
// reaches the FIFO.
void tBaseAO_FIFOSupervisor::applySettings(nQoMDBG100::tStatus2& status) {
  nQoUdP100::tBaseAO_FIFOPrimitive* fifo = getPrimitive();
  if (fifo == nullptr || status.isFatal()) return;
  const tAO_FIFOSettings& deployed = _settings.deploying();
  const tSettingsWordList& channels = deployed.list;
  if (channels.size() > fifo->maxChannels()) {
    setCode(status, kRefused, {kFile, 236});
    return;
  }
  fifo->setRegenerateFromFIFO(deployed.word4, status);
  if (status.isFatal()) return;
  fifo->deploySettings({.transferMechanism = mechanism(deployed),
                        .pulseBeforeWrite = deployed.word10,
                        .channelCount = static_cast<uint32_t>(channels.size()),
                        .fifoMode = static_cast<uint32_t>(deployed.word2),
                        .refillChunk = deployed.word9,
                        .totalSamples = deployed.longWord});
  for (std::size_t k = 0; k < channels.size(); ++k) fifo->channelOrder()[k] = channels[k];
  if (_adapter != nullptr) fifo->setDataSource(_adapter);
}

// Out of the entries' reach: a code or write under way on another thread (a
// commit reads the channel's observable and registers with it) has left the
// FIFO before its fields and the adapter's links are filled.
void tBaseAO_FIFOSupervisor::linkResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const uint32_t linkedMechanism = mechanism(_settings.deploying());
  outOfReach([&](nQoUdP100::tBaseAO_FIFOPrimitive* fifo) {
    if (fifo == nullptr || _adapter == nullptr) return;
    if (linkedMechanism == nQoUdP100::tAOFIFOFields::kDMA) linkDMA(*fifo, status);
    if (linkedMechanism == nQoUdP100::tAOFIFOFields::kInterrupt) linkInterrupt(*fifo, status);
  });
  linked(status);
}

void tBaseAO_FIFOSupervisor::linkDMA(nQoUdP100::tBaseAO_FIFOPrimitive& fifo,
                                     nQoMDBG100::tStatus2& status) {
  auto* transfer =
      nQoMRTB100::castAnswer<nQoLMSDR100::iDMATransferSupervisor>(_transfer, status, {kFile, 300});
  if (transfer == nullptr) return;
  _adapter->linkDMA(transfer->getEndpoint(status));
  auto* channel =
      nQoMRTB100::castAnswer<nQoLMSDR100::iDMAChannelSupervisor>(_dmaChannel, status, {kFile, 306});
  if (channel == nullptr) return;
  _dmaChannelNumber = channel->getChannelNumber(status);
  fifo.setDMAChannel(_dmaChannelNumber);
  fifo.setDMAObservable(channel->getObservable(status));
}

void tBaseAO_FIFOSupervisor::linkInterrupt(nQoUdP100::tBaseAO_FIFOPrimitive& fifo,
                                           nQoMDBG100::tStatus2& status) {
  auto* fifoTransfer =
      nQoMRTB100::castAnswer<nQoMSRL100::iOutputFIFOTransfer>(_transfer, status, {kFile, 321});
  auto* interruptTransfer =
      nQoMRTB100::castAnswer<nQoMSRL100::iOutputInterruptTransfer>(_transfer, status, {kFile, 323});
  if (fifoTransfer == nullptr || interruptTransfer == nullptr) return;
  _adapter->linkInterrupt(&fifo, fifoTransfer, interruptTransfer);
}

// The FIFO is out of the slot while its field is reset, and the adapter's
// links go; the FIFO stays held.
void tBaseAO_FIFOSupervisor::unlinkResource(nQoMDBG100::tStatus2& status) {
  unlinkOutOfReach(status);
}

void tBaseAO_FIFOSupervisor::resetLinks(nQoUdP100::tBaseAO_FIFOPrimitive* fifo,
                                        nQoMDBG100::tStatus2& status) {
  if (_adapter != nullptr) _adapter->unlink();
  if (fifo != nullptr && status.isNotFatal()) fifo->setDMAObservable(nullptr);
}

// The FIFO comes down from whatever the codes left (a start after
// unlinkResource too) while its data source still serves the completion,
// then forgets what this task's commit programmed, as a fresh reservation
// finds it.
void tBaseAO_FIFOSupervisor::releaseResource(nQoMDBG100::tStatus2& status) {
  handBack(status, [&](nQoUdP100::tBaseAO_FIFOPrimitive* fifo) {
    if (fifo != nullptr) bringDown(*fifo, status);
    if (_adapter != nullptr) _adapter->unlink();
    if (fifo == nullptr) return;
    // The adapter dies with this supervisor; the FIFO outlives it.
    if (fifo->dataSource() == _adapter) fifo->setDataSource(nullptr);
    fifo->forget();
  });
  noteReleased();
}

void tBaseAO_FIFOSupervisor::onControl(nQoUdP100::tBaseAO_FIFOPrimitive* fifo, uint32_t code,
                                       nQoMRL100::iControlParameterBlock*,
                                       nQoMRL100::iControlParameterBlock* out,
                                       nQoMDBG100::tStatus2& status) {
  if (fifo == nullptr) {
    setCode(status, kNullPointer, {kFile, 401});
    return;
  }
  // The FIFO stops back to armed (restoreArmed) and disarms by completing.
  const nQoUdP100::tPrimitiveState& state = fifo->state();
  // A step that moves the word only when the status stays clean.
  auto step = [&](void (nQoUdP100::tBaseAO_FIFOPrimitive::*operation)(nQoMDBG100::tStatus2&),
                  uint32_t next) {
    (fifo->*operation)(status);
    if (status.isNotFatal()) _state = next;
  };
  switch (code) {
    case 1: step(&nQoUdP100::tBaseAO_FIFOPrimitive::commit, kPlainCommitted); return;
    case 4100: step(&nQoUdP100::tBaseAO_FIFOPrimitive::arm, kArmed); return;
    case 2: step(&nQoUdP100::tBaseAO_FIFOPrimitive::start, kStarted); return;
    case 3:
      if (state.isRunning()) fifo->restoreArmed(status);
      _state = kArmed;
      return;
    case 4101:
      // A started FIFO is completed too: nothing of its arm stays on.
      if (state.isArmed() || state.isRunning()) fifo->complete(status);
      _state = kPlainCommitted;
      return;
    case 4:
      fifo->uncommit(status);
      _state = kPlainResourcesLinked;
      return;
    case kIsCommitted: answer(out, state.isCommitted() ? 1 : 0, status); return;
    case kIsArmed: answer(out, state.isArmed() ? 1 : 0, status); return;
    case kMaxChannels: answer(out, fifo->maxChannels(), status); return;
    case kFIFODepth: answer(out, fifo->fifoDepth(), status); return;
    case kHalfFIFODepth: answer(out, fifo->halfFIFODepth(), status); return;
    default: setCode(status, kNotSupported, {kFile, 600});
  }
}

void tBaseAO_FIFOSupervisor::commitCancel(nQoMDBG100::tStatus2& status) {
  if (_state <= kPlainResourcesLinked) return;
  if (nQoUdP100::tBaseAO_FIFOPrimitive* fifo = getPrimitive()) bringDown(*fifo, status);
  _state = kPlainResourcesLinked;
}

// The FIFO stops back to armed and disarms by completing.
void tBaseAO_FIFOSupervisor::bringDown(nQoUdP100::tBaseAO_FIFOPrimitive& fifo,
                                       nQoMDBG100::tStatus2& status) {
  auto undo = [&](bool due, void (nQoUdP100::tBaseAO_FIFOPrimitive::*step)(nQoMDBG100::tStatus2&)) {
    if (!due) return;
    nQoMDBG100::tStatus2 local;
    (fifo.*step)(local);
    status.assign(local);
  };
  undo(fifo.state().isRunning(), &nQoUdP100::tBaseAO_FIFOPrimitive::restoreArmed);
  undo(fifo.state().isArmed(), &nQoUdP100::tBaseAO_FIFOPrimitive::complete);
  undo(fifo.state().isCommitted(), &nQoUdP100::tBaseAO_FIFOPrimitive::uncommit);
}

uint32_t tBaseAO_FIFOSupervisor::write(uint32_t count, uint32_t, const void* buffer, const void*,
                                       nQoMDBG100::tStatus2& status) {
  const auto* source = static_cast<const int16_t*>(buffer);
  if (status.isFatal() || count == 0) return 0;
  return use([&](nQoUdP100::tBaseAO_FIFOPrimitive* fifo) -> uint32_t {
    if (fifo == nullptr) {
      setCode(status, kNullPointer, {kFile, 652});
      return 0;
    }
    const uint32_t channels = fifo->writeChannels();
    if (channels == 0) return 0;
    const uint64_t samples = static_cast<uint64_t>(count) * channels;
    if (samples > 0xFFFFFFFFu) {
      setCode(status, kRefused, {kFile, 660});
      return 0;
    }
    // A write answers what the FIFO wrote: none outside a commit's run.
    if (samples == 1) return fifo->writeSample(source, status);
    return fifo->writeSamples(source, static_cast<uint32_t>(samples), status) / channels;
  });
}

}  // namespace nQoUdR100
