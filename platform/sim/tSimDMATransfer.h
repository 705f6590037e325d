// The platform's side of a DMA transfer on the simulated board: a channel
// supervisor for channel n, and the transfer partner whose endpoint receives
// the stream to read and the end of the transfer. While the Tavik window's
// DMA select register (0x09) holds the channel's select code in bits 3:0,
// move() carries the stream's bytes into the task buffer, as the channel
// would. tReadable is the stream type the endpoint is handed (the platform
// knows it only by name).
//
//   nQoSim::tSimDMAChannel channel(2, 4, board.windows, board.tavikWindow);
//   nQoSim::tSimDMATransferPartner<nQoMXSL100::iReadable<unsigned char>> partner;
//   ... link the transfer supervisor over a map holding both ...
//   partner.move(channel);                // in the wait loop
//   ... partner.buffer, partner.endpoint.ended, partner.endpoint.reason ...
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "mdbg/tStatus2.h"
#include "mrl/iDMAChannelSupervisor.h"
#include "mrl/iDMATransferSupervisor.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "sim/tSimRegisterWindows.h"

namespace nQoSim {

// A platform supervisor with nothing to do in its lifecycle.
class tSimIdleSupervisor : public nQoMRL100::iPrimitiveSupervisor {
 public:
  void initialize(const nQoMRL100::iPrimitiveSettings&, nQoMRL100::iRuntimeFacade*,
                  nQoMDBG100::tStatus2&) override {}
  void deploy(const nQoMRL100::iPrimitiveSettings&, nQoMDBG100::tStatus2&) override {}
  void link(nQoMRL100::iPrimitiveSupervisorMap&, nQoMDBG100::tStatus2&) override {}
  void reserveResource(nQoMDBG100::tStatus2&) override {}
  void linkResource(nQoMDBG100::tStatus2&) override {}
  void unlinkResource(nQoMDBG100::tStatus2&) override {}
  void releaseResource(nQoMDBG100::tStatus2&) override {}
  void unlink(nQoMDBG100::tStatus2&) override {}
  void control(uint32_t, nQoMRL100::iControlParameterBlock*, nQoMRL100::iControlParameterBlock*,
               nQoMDBG100::tStatus2&) override {}
  void requestCancel(nQoMDBG100::tStatus2&) override {}
  void commitCancel(nQoMDBG100::tStatus2&) override {}
};

class tSimDMAChannel : public tSimIdleSupervisor, public nQoLMSDR100::iDMAChannelSupervisor {
 public:
  static constexpr uint32_t kSelectRegister = 0x09;

  tSimDMAChannel(uint32_t number, uint8_t selectCode, const tSimRegisterWindows& windows,
                 unsigned tavikWindow)
      : _number(number), _selectCode(selectCode), _windows(windows), _window(tavikWindow) {}
  void* ___CPPKRLDynamicCast(void* const* id) override {
    if (id == &nQoLMSDR100::iDMAChannelSupervisor::___classID)
      return static_cast<nQoLMSDR100::iDMAChannelSupervisor*>(this);
    return tSimIdleSupervisor::___CPPKRLDynamicCast(id);
  }
  nQoLMSDR100::iDMAEndpoint* getEndpoint(nQoMDBG100::tStatus2&) override { return &_endpoint; }
  uint32_t getChannelNumber(nQoMDBG100::tStatus2&) override { return _number; }
  // The Tavik window routes the AI FIFO to this channel.
  bool selected() const {
    return (_windows.written(_window, kSelectRegister, 8) & 0xF) == _selectCode;
  }

 private:
  uint32_t _number;
  uint8_t _selectCode;
  const tSimRegisterWindows& _windows;
  unsigned _window;
  nQoLMSDR100::iDMAEndpoint _endpoint;
};

// Keeps the stream it is handed and the first end it receives. The end comes
// on the transfer's worker thread while the host polls it: reason is stored
// before ended, so a poller that sees ended reads the reason that came with it.
class tSimDMAEndpoint : public nQoLMSDR100::iDMAEndpoint {
 public:
  void transferEnded(const nQoMDBG100::tStatus2& why, nQoMDBG100::tStatus2&) override {
    if (_received.exchange(true)) return;
    reason = why.code;
    ended = true;
  }
  // Waits for a move under way through the stream it replaces.
  void setReadable(nQoMXSL100::iReadable<unsigned char>* stream, nQoMDBG100::tStatus2&) override {
    const std::lock_guard<std::mutex> lock(reading);
    readable = stream;
  }
  // Held by a move for as long as it reads through the stream.
  std::mutex reading;
  nQoMXSL100::iReadable<unsigned char>* readable = nullptr;
  std::atomic<bool> ended{false};
  std::atomic<int> reason{0};

 private:
  std::atomic<bool> _received{false};
};

template <class tReadable>
class tSimDMATransferPartner : public tSimIdleSupervisor,
                               public nQoLMSDR100::iDMATransferSupervisor {
 public:
  void* ___CPPKRLDynamicCast(void* const* id) override {
    if (id == &nQoLMSDR100::iDMATransferSupervisor::___classID)
      return static_cast<nQoLMSDR100::iDMATransferSupervisor*>(this);
    return tSimIdleSupervisor::___CPPKRLDynamicCast(id);
  }
  nQoLMSDR100::iDMAEndpoint* getEndpoint(nQoMDBG100::tStatus2&) override { return &endpoint; }
  // Appends what the stream holds now to buffer while the channel is
  // selected, as long as the stream offers bytes; answers the bytes moved (0
  // when not selected or without a stream).
  uint32_t move(const tSimDMAChannel& channel, nQoMDBG100::tStatus2& status) {
    const std::lock_guard<std::mutex> lock(endpoint.reading);
    if (!channel.selected() || endpoint.readable == nullptr) return 0;
    tReadable* stream = static_cast<tReadable*>(endpoint.readable);
    uint32_t total = 0;
    for (uint32_t count; status.code >= 0 && (count = stream->available(status)) != 0;) {
      const size_t at = buffer.size();
      buffer.resize(at + count);
      const uint32_t moved = stream->read(buffer.data() + at, count, status);
      buffer.resize(at + moved);
      if (moved == 0) break;
      total += moved;
    }
    return total;
  }

  tSimDMAEndpoint endpoint;
  std::vector<unsigned char> buffer;  // the task buffer
};

}  // namespace nQoSim
