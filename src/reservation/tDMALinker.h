// Links a transfer primitive to the platform's DMA channel supervisor and to
// its transfer partner, both found in the map by key: the primitive gets the
// channel's number and the partner's endpoint as its done sink.
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tDeployed.h"
#include "frame/tStatusSite.h"
#include "mrl/iDMAChannelSupervisor.h"
#include "mrl/iDMATransferSupervisor.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "reservation/castAnswer.h"
#include "reservation/iLinker.h"

namespace nQoMRTB100 {

template <class Prim>
class tDMALinker : public iLinker {
 public:
  static constexpr uint32_t kNoKey = 0xFFFFFFFF;
  static constexpr uint32_t kNoChannel = 0xFFFFFFFF;

  // The keys the next link looks the channel and the partner up under.
  void setChannelKey(uint32_t key) { _keys.deploying().channel = key; }
  void setPartnerKey(uint32_t key) { _keys.deploying().partner = key; }
  void setPrimitive(Prim* primitive) { _primitive = primitive; }

  // Looks up the channel, then the partner (also when the first failed);
  // either missing or of another class gives kCastFailed and stays null.
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    const tKeys& keys = _keys.take();
    _channel = castAnswer<nQoLMSDR100::iDMAChannelSupervisor>(map.lookup(keys.channel, status),
                                                              status, {kFile, 60});
    _partner = castAnswer<nQoLMSDR100::iDMATransferSupervisor>(map.lookup(keys.partner, status),
                                                               status, {kFile, 64});
  }

  void unlink(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    _channel = nullptr;
    _partner = nullptr;
  }

  // Without primitive, channel or partner: kNullPointer and no call. A
  // failure undoes nothing here: the supervisor runs unlinkResource once the
  // primitive is out of other threads' reach (an arm reads the number twice).
  void linkResource(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    if (_primitive == nullptr || _channel == nullptr || _partner == nullptr) {
      nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kFile, 80});
      return;
    }
    _channelEndpoint = _channel->getEndpoint(status);
    _partnerEndpoint = _partner->getEndpoint(status);
    const uint32_t number = _channel->getChannelNumber(status);
    if (status.isFatal()) return;
    _primitive->setDMAChannelNumber(number);
    _primitive->setDoneSink(_partnerEndpoint);
  }

  void unlinkResource(nQoMDBG100::tStatus2& status) override {
    if (status.isFatal()) return;
    if (_primitive == nullptr) {
      nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kFile, 100});
      return;
    }
    _primitive->setDMAChannelNumber(kNoChannel);
    _primitive->setDoneSink(nullptr);
    _channelEndpoint = nullptr;
    _partnerEndpoint = nullptr;
  }

 private:
  static constexpr const char kFile[] = "tDMALinker";

  // The deploys write the keys; only the link takes them.
  struct tKeys {
    uint32_t channel = kNoKey;
    uint32_t partner = kNoKey;
  };
  struct tKeySteps {
    static constexpr const char* kDeploySteps[] = {"setChannelKey", "setPartnerKey"};
    static constexpr const char* kProgrammingSteps[] = {"link"};
  };
  nQoUdR100::tDeployed<tKeys, tKeySteps> _keys;
  Prim* _primitive = nullptr;
  nQoLMSDR100::iDMAChannelSupervisor* _channel = nullptr;
  nQoLMSDR100::iDMATransferSupervisor* _partner = nullptr;
  nQoLMSDR100::iDMAEndpoint* _channelEndpoint = nullptr;
  nQoLMSDR100::iDMAEndpoint* _partnerEndpoint = nullptr;
};

}  // namespace nQoMRTB100
