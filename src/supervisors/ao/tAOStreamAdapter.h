// Between the AO FIFO primitive, which counts 16-bit samples, and the
// platform's transfer objects, which count bytes: the FIFO asks it for
// samples (it asks the interrupt transfer for twice the bytes) and reports
// the end of a generation (to the FIFO transfer, or the DMA transfer's
// endpoint in DMA mode); the interrupt transfer writes bytes into it, which it
// hands to the FIFO as samples. Every call without its object answers 0.
// Those calls come from the FIFO's passes and the transfer's thread: they
// reach the links as counted uses, which a new link and unlink wait for.
#pragma once

#include <cstdint>

#include "frame/iWriteable.h"
#include "frame/tModuleObject.h"
#include "frame/tSinkSlot.h"
#include "mrl/iDMAChannelSupervisor.h"
#include "mrl/iDMATransferSupervisor.h"
#include "mrl/iOutputTransfers.h"
#include "mrl/tGeneralIdentifier.h"
#include "msrl/iInterruptTransfer.h"
#include "primitives/ao/tBaseAO_FIFOPrimitive.h"

namespace nQoUdR100 {

class tAOStreamAdapter final : public nQoUdP100::iAODataSource,
                               public nQoMXSL100::iWriteable<unsigned char>,
                               public tModuleObject {
 public:
  enum tMode : uint32_t { kDMA = 0, kInterrupt = 1 };

  tAOStreamAdapter() = default;
  // A call under way through the links leaves them before the adapter goes.
  ~tAOStreamAdapter() override { unlink(); }
  tAOStreamAdapter(const tAOStreamAdapter&) = delete;
  tAOStreamAdapter& operator=(const tAOStreamAdapter&) = delete;

  // The interrupt transfer's bytes: 2 per sample, answered in samples.
  uint32_t writeSample(nQoMDBG100::tStatus2& status, uint64_t samplesWritten) override;
  uint32_t writeSamples(uint32_t count, nQoMDBG100::tStatus2& status) override;
  // Hands the FIFO's status to the transfer of the mode, on a status of its own.
  void finish(const nQoMDBG100::tStatus2& fifoStatus) override;
  uint32_t transferState(nQoMDBG100::tStatus2& status);

  // The byte sink: bytes in pairs to the FIFO as samples (a lone byte is
  // zero-extended), answered in bytes.
  uint32_t write(const unsigned char& byte, nQoMDBG100::tStatus2& status) override;
  uint32_t write(const unsigned char* bytes, uint32_t count, nQoMDBG100::tStatus2& status) override;
  void flush(nQoMDBG100::tStatus2&) override {}
  uint32_t space(nQoMDBG100::tStatus2&) override { return 0; }
  void close(const nQoMDBG100::tStatus2&, nQoMDBG100::tStatus2&) override {}

  // The links of a mode (the other mode's stay); each returns once the
  // calls under way on other threads have left the links.
  void linkInterrupt(nQoUdP100::tBaseAO_FIFOPrimitive* fifo,
                     nQoMSRL100::iOutputFIFOTransfer* fifoTransfer,
                     nQoMSRL100::iOutputInterruptTransfer* interruptTransfer);
  void linkDMA(nQoLMSDR100::iDMAEndpoint* dmaTransfer);
  // Takes the links out: once it returns, no call is under way through them
  // and none reaches them until the next link.
  void unlink() { _linked.set(nullptr); }
  void setIdentifier(const nQoMRL100::tGeneralIdentifier& identifier) { _identifier = identifier; }
  uint32_t getMode() const { return _links.mode; }

 private:
  struct tLinks {
    nQoUdP100::tBaseAO_FIFOPrimitive* fifo = nullptr;
    nQoMSRL100::iOutputFIFOTransfer* fifoTransfer = nullptr;
    nQoMSRL100::iOutputInterruptTransfer* interruptTransfer = nullptr;
    nQoLMSDR100::iDMAEndpoint* dmaTransfer = nullptr;
    uint32_t mode = kInterrupt;
  };

  // Runs change(_links) while no call reaches them, then links them.
  template <class tChange>
  void relink(tChange change) {
    _linked.setAfter([&] { change(_links); }, &_links);
  }
  uint32_t requestBytes(uint32_t byteCount, nQoMDBG100::tStatus2& status);

  tLinks _links;
  // The links as the calls reach them; null until the first link.
  tSinkSlot<tLinks> _linked;
  nQoMRL100::tGeneralIdentifier _identifier;
};

}  // namespace nQoUdR100
