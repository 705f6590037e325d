#include "supervisors/ao/tBaseAO_DACTransferSupervisor.h"

#include "mrl/iPrimitiveSupervisorMap.h"
#include "settings/copyCheck.h"
#include "supervisors/ao/tBaseAOTimingControllerSupervisor.h"
#include "supervisors/ao/tBaseAO_DACSupervisor.h"

namespace nQoUdR100 {

tBaseAO_DACTransferSupervisor::~tBaseAO_DACTransferSupervisor() {
  retire();
  freeChannels();
}

void tBaseAO_DACTransferSupervisor::freeChannels() {
  takeOut([&](tAOChannelTable*) {
    moduleFree(_table.channels);
    _table = {};
  });
}

void tBaseAO_DACTransferSupervisor::initialize(const nQoMRL100::iPrimitiveSettings& settings,
                                               nQoMRL100::iRuntimeFacade* facade,
                                               nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _facade = facade;
  deploy(settings, status);
  _event = lookUpEvent(status);
  if (status.isNotFatal()) _state = kPlainInitialized;
}

void tBaseAO_DACTransferSupervisor::deploy(const nQoMRL100::iPrimitiveSettings& settings,
                                           nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const tAO_DACTransferSettings* own = castSettings(settings, status);
  if (own == nullptr) return;
  _settings.deploy(*own);
  checkCopy(status, {kFile, 160}, _settings.deploying());
}

void tBaseAO_DACTransferSupervisor::link(nQoMRL100::iPrimitiveSupervisorMap& map,
                                         nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  freeChannels();
  const tAO_DACTransferSettings& deployed = _settings.deploying();
  const auto count = static_cast<uint32_t>(deployed.list.size());
  if (count != 0) {
    _table.channels = new (kModuleHeap) tAOChannelTable::tChannel[count];
    if (_table.channels == nullptr) {
      setCode(status, kOutOfMemory, {kFile, 188});
      return;
    }
    _table.count = count;
  }
  for (uint32_t k = 0; k < count; ++k)
    _table.channels[k] = {map.lookup(deployed.list[k], status), nullptr};
  if (usesTiming(deployed)) _timingSupervisor = map.lookup(deployed.word4, status);
  hold(&_table);
  if (status.isNotFatal()) _state = kPlainLinked;
}

void tBaseAO_DACTransferSupervisor::reserveResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _postsDone = _settings.deploying().word1 != 0;
  if (_postsDone && _event != nullptr) {
    _event->registerEvent(nQoMRL110::kDoneEvent, status);
    _event->registerEvent(nQoMRL110::kErrorEvent, status);
    _eventsRegistered = true;
  }
  if (status.isNotFatal()) _state = kPlainReserved;
}

// A channel whose supervisor is no DAC supervisor stays without a DAC. The
// table is out of the writes' reach while it is filled.
void tBaseAO_DACTransferSupervisor::linkResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const bool timed = usesTiming(_settings.deploying());
  outOfReach([&](tAOChannelTable*) {
    for (uint32_t k = 0; k < _table.count; ++k) {
      nQoMDBG100::tStatus2 local;
      auto* dac = nQoMRTB100::castAnswer<tBaseAO_DACSupervisor>(_table.channels[k].supervisor,
                                                                local, {kFile, 230});
      _table.channels[k].dac = dac != nullptr ? dac->getPrimitive() : nullptr;
      status.assign(local);
    }
    if (timed) {
      nQoMDBG100::tStatus2 local;
      auto* timing = nQoMRTB100::castAnswer<tBaseAOTimingControllerSupervisor>(_timingSupervisor,
                                                                               local, {kFile, 241});
      _table.timing = timing != nullptr ? timing->getPrimitive() : nullptr;
      status.assign(local);
    }
  });
  linked(status);
}

// The writes under way leave the borrowed DACs and engine before they go.
void tBaseAO_DACTransferSupervisor::unlinkResource(nQoMDBG100::tStatus2& status) {
  unlinkOutOfReach(status);
}

void tBaseAO_DACTransferSupervisor::resetLinks(tAOChannelTable*, nQoMDBG100::tStatus2&) {
  for (uint32_t k = 0; k < _table.count; ++k) _table.channels[k].dac = nullptr;
  _table.timing = nullptr;
}

// Out of the entries' reach (a code under way, whose stop posts its done
// report to the kinds, has left first): still linked, the borrowed DACs and
// engine go, as unlinkResource lets them go, since their owners may hand
// them back once this task is released; then the kinds that reserve
// registered go, whatever word 1 says now.
void tBaseAO_DACTransferSupervisor::releaseResource(nQoMDBG100::tStatus2& status) {
  resetOutOfReach([&](tAOChannelTable* table) {
    unlinkAtRelease(table);
    if (!_eventsRegistered) return;
    for (uint32_t kind : {nQoMRL110::kDoneEvent, nQoMRL110::kErrorEvent}) {
      nQoMDBG100::tStatus2 local;
      _event->unregisterEvent(kind, local);
      status.assign(local);
    }
    _eventsRegistered = false;
  });
  noteReleased();
}

void tBaseAO_DACTransferSupervisor::unlink(nQoMDBG100::tStatus2&) {
  freeChannels();
  _timingSupervisor = nullptr;
  _state = kPlainInitialized;
}

void tBaseAO_DACTransferSupervisor::onControl(tAOChannelTable*, uint32_t code,
                                              nQoMRL100::iControlParameterBlock*,
                                              nQoMRL100::iControlParameterBlock*,
                                              nQoMDBG100::tStatus2& status) {
  if (code == 1) {
    _state = kPlainCommitted;
  } else if (code == 3) {
    if (_postsDone) {
      if (_event == nullptr) {
        setCode(status, kNullPointer, {kFile, 345});
        return;
      }
      _event->post(nQoMRL110::tSoftwareActionForIsDoneEvent(status), status);
    }
    _state = kPlainCommitted;
  } else if (code == 4) {
    _state = kPlainResourcesLinked;
  } else {
    setCode(status, kNotSupported, {kFile, 357});
  }
}

bool tBaseAO_DACTransferSupervisor::ready(const tAOChannelTable& table, bool pulse) const {
  for (uint32_t k = 0; k < table.count; ++k)
    if (table.channels[k].dac == nullptr) return false;
  return !pulse || table.timing != nullptr;
}

// Word 2 is read once: the whole write pulses by the value its check saw.
uint32_t tBaseAO_DACTransferSupervisor::write(uint32_t scans, uint32_t, const void* buffer,
                                              const void* extra, nQoMDBG100::tStatus2& status) {
  const auto* mask = static_cast<const uint16_t*>(extra);
  if (status.isFatal()) return 0;
  return use([&](const tAOChannelTable* table) -> uint32_t {
    const uint32_t channels = table != nullptr ? table->count : 0;
    if (channels == 0) return 0;
    const bool pulse = _pulse;
    if (!ready(*table, pulse)) {
      setCode(status, kNullPointer, {kFile, 392});
      return 0;
    }
    uint64_t written = 0;
    const auto* scan = static_cast<const int16_t*>(buffer);
    for (uint32_t s = 0; s < scans; ++s, scan += channels) {
      for (uint32_t k = 0; k < channels; ++k) {
        if (mask != nullptr && mask[k] == 0) continue;
        table->channels[k].dac->writeValue(scan + k, status);
        ++written;
      }
      if (pulse) table->timing->softwareUpdatePulse(status);
    }
    return static_cast<uint32_t>(written / channels);
  });
}

uint32_t tBaseAO_DACTransferSupervisor::getAvailable(nQoMDBG100::tStatus2& status) {
  setCode(status, kOutputStreamOperationNotOffered, {kFile, 422});
  return 0;
}

void tAORoutable::route(uint32_t selector, uint32_t value, nQoMDBG100::tStatus2&) {
  if (selector >= 2 * kPairs) return;
  tPair& pair = _pairs[selector / 2];
  (selector % 2 == 0 ? pair.a : pair.b) = value;
  pair.pending = 1;
}

void tAORoutable::routeList(const nQoMRU210::tRouteList& list, nQoMDBG100::tStatus2& status) {
  for (const nQoMRU210::tRoute* route = list.begin; route != list.end; ++route)
    this->route(route->fieldId, route->value, status);
}

void tAORoutable::apply(nQoMDBG100::tStatus2& status) {
  for (uint32_t k = 0; k < kPairs; ++k) {
    if (_pairs[k].pending == 0) continue;
    if (status.isNotFatal()) _owner->deployPair(k, _pairs[k].a, _pairs[k].b);
    _pairs[k].pending = 0;
  }
}

}  // namespace nQoUdR100
