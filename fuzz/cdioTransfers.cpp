// The correlated transfers' notifications from outside: the bytes choose a
// transfer (CDI or CDO, interrupt or DMA) and its settings, then a run of
// events (FIFO notifications, overrun and buffer-error notifications, stop,
// start, the end of the data), and they are the words that every read of the
// CDIO status (0x224) answers and what the partner answers for each move. It
// must hold that the partner hears of the end at most once per start, that no
// finite transfer passes its total, that every notification's loop ends within
// its limit, and that only the transfers' own codes occur.
//
// Layout (missing bytes read as 0): transfer (1), mode (1), width (1), chunk
// (1), total (2), limit (2), preload (1), FIFO depth (2); then one event byte
// each, with the status words and partner answers taken as they are read.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "frame/tDeviceInfo.h"
#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"
#include "primitives/cdio/tBaseCDIInterruptTransferPrimitive.h"
#include "primitives/cdio/tBaseCDI_DMATransferPrimitive.h"
#include "primitives/cdio/tBaseCDOInterruptTransferPrimitive.h"
#include "primitives/cdio/tBaseCDO_DMATransferPrimitive.h"
#include "primitives/cdio/tTavikCDIODispatcher.h"
#include "primitives/cdio/tTavikCDI_FIFOPrimitive.h"
#include "primitives/cdio/tTavikCDO_FIFOPrimitive.h"
#include "sim/simStatusLog.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "support/tFreshSimulation.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace {

using nQoMDBG100::tStatus2;
using W = nQoSim::tSimRegisterWindows;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_cdioTransfers: %s\n", what);
  std::abort();
}

bool known(int code) {
  switch (code) {
    case 0:
    case -200715:
    case -200716:
    case -200010:
    case -200016:
    case -200222:
    case -200290:
    case -200322:
    case 200010: return true;
    default: return false;
  }
}

class tBytes {
 public:
  tBytes(const uint8_t* data, size_t size) : _data(data), _size(size) {}
  uint32_t take(unsigned bytes) {
    uint32_t value = 0;
    for (unsigned at = 0; at < bytes; ++at, ++_at)
      if (_at < _size) value |= uint32_t(_data[_at]) << (8 * at);
    return value;
  }
  bool left() const { return _at < _size; }

 private:
  const uint8_t* _data;
  size_t _size;
  size_t _at = 0;
};

// Every partner of the four transfers: counts the ends since the last start
// and answers moves from the bytes (mostly what was asked).
class tPartner : public nQoUdP100::tBaseCDIInterruptTransferPrimitive::iDestination,
                 public nQoUdP100::tBaseCDOInterruptTransferPrimitive::iSource,
                 public nQoUdP100::tBaseCDI_DMATransferPrimitive::iDestination,
                 public nQoUdP100::tBaseCDO_DMATransferPrimitive::iSource {
 public:
  explicit tPartner(tBytes& bytes) : _bytes(bytes) {}
  uint32_t transferData(uint32_t asked, tStatus2&) override {
    const uint32_t choice = _bytes.take(1);
    return choice < 200 ? asked : _bytes.take(4);
  }
  void transferEnded(tStatus2& status) override {
    check(known(status.code), "a code the transfers do not set");
    ++endings;
    check(endings <= 1, "the end reported twice in one start");
  }
  void bindTransfer(nQoUdP100::tBaseCDI_DMATransferPrimitive*, tStatus2&) override {}
  void bindTransfer(nQoUdP100::tBaseCDO_DMATransferPrimitive*, tStatus2&) override {}
  int endings = 0;

 private:
  tBytes& _bytes;
};

enum tEvent : uint32_t { kFIFO, kOverrun, kBufferError, kStop, kStart, kFIFOEmpty, kDataEnd, kArm };

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static W windows;
  static const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  static nQoSim::tSimBus bus(windows);
  bus.setLogging(false);
  windows.setLogging(false);
  windows.clearLog();
  nQoSim::setStatusLogging(false);

  tBytes bytes(data, size);
  const uint32_t which = bytes.take(1) % 4;
  const uint32_t mode = bytes.take(1) % 3;
  nQoUdP100::tCDIODescription description;
  description.sampleWidth = bytes.take(1) % 4 + 1;
  const uint32_t chunk = bytes.take(1);
  const uint32_t total = bytes.take(2);
  const uint32_t limit = bytes.take(2) % 4096;
  const uint32_t preload = bytes.take(1);
  description.cdiFIFODepth = bytes.take(2);
  uint64_t statusReads = 0;
  windows.setReadCallback(window, 0x224, [&](unsigned) {
    ++statusReads;
    return bytes.take(4);
  });

  {
    tStatus2 status;
    nQoUdP100::tDeviceInfo deviceInfo;
    nQoORB100::tGUID identity{1, 2};
    nQoUdRLP100::nTavik::tTavik map(&bus, window, &status);
    nQoUdRLP100::tTavikInterruptDispatcher board(&map, 1, &status);
    nQoUdP100::tTavikCDIODispatcher cdio(&board);
    nQoUdP100::tTavikCDI_FIFOPrimitive cdi(&cdio, &description, &map, status);
    nQoUdP100::tTavikCDO_FIFOPrimitive cdo(&cdio, &description, &map, status);
    nQoUdP100::tBaseCDIInterruptTransferPrimitive cdiInterrupt(&deviceInfo, &description, &cdi,
                                                               status);
    nQoUdP100::tBaseCDOInterruptTransferPrimitive cdoInterrupt(&deviceInfo, &description, &cdo,
                                                               status);
    nQoUdP100::tBaseCDI_DMATransferPrimitive cdiDMA(&deviceInfo, &cdi, &identity, status);
    nQoUdP100::tBaseCDO_DMATransferPrimitive cdoDMA(&deviceInfo, &cdo, &identity, status);
    tPartner partner(bytes);
    check(status.code == 0, "set-up failed");

    cdiInterrupt.setDestination(&partner);
    cdiInterrupt.setSampleMode(mode == 2 ? 0 : mode);
    cdiInterrupt.setChunkSize(chunk);
    cdiInterrupt.setTotal(total);
    cdiInterrupt.setLimit(limit);
    cdoInterrupt.setSource(&partner);
    cdoInterrupt.setSampleMode(mode);
    cdoInterrupt.setChunkSize(chunk);
    cdoInterrupt.setTotal(total);
    cdoInterrupt.setLimit(limit);
    cdoInterrupt.setPreload(preload);
    cdiDMA.setDestination(&partner, status);
    cdiDMA.setSampleMode(mode, status);
    cdiDMA.setDMAChannelNumber(chunk % 16);
    cdoDMA.setSource(&partner, status);
    cdoDMA.setSampleMode(mode, status);
    cdoDMA.setDMAChannelNumber(chunk % 16);
    // No polling thread: the FIFO-empty event comes from the bytes.
    switch (which) {
      case 0: cdiInterrupt.registerObservers(status); break;
      case 1: cdoInterrupt.registerObservers(status); break;
      case 2:
        cdiDMA.registerObservers(status);
        cdiDMA.commit(status);
        cdiDMA.linkDMA(status);
        break;
      default:
        cdoDMA.registerObservers(status);
        cdoDMA.commit(status);
        cdoDMA.linkDMA(status);
        break;
    }
    check(status.code == 0, "registration failed");

    for (int events = 0; events < 64 && bytes.left(); ++events) {
      const auto event = static_cast<tEvent>(bytes.take(1) % 8);
      tStatus2 local;
      statusReads = 0;
      if (event == kStart) partner.endings = 0;
      switch (which) {
        case 0:
          if (event == kFIFO) cdiInterrupt.handleFIFO(&cdi, local);
          if (event == kOverrun && cdiInterrupt.handleOverrun(&cdi, local) != 0)
            cdiInterrupt.handleOverrunSecondary(&cdi, local);
          if (event == kStop) cdiInterrupt.stop(local);
          if (event == kStart) cdiInterrupt.start(local);
          if (event == kArm) cdiInterrupt.arm(local);
          if (mode == 1) check(cdiInterrupt.transferred() <= total, "past the total");
          break;
        case 1:
          if (event == kFIFO && cdoInterrupt.handleFIFO(&cdo, local) != 0)
            cdoInterrupt.handleFIFOSecondary(&cdo, local);
          if (event == kOverrun && cdoInterrupt.handleOverrun(&cdo, local) != 0)
            cdoInterrupt.handleOverrunSecondary(&cdo, local);
          if (event == kFIFOEmpty) cdoInterrupt.handleFIFOEmptyPolled(&cdo, local);
          if (event == kStop) cdoInterrupt.stop(local);
          if (event == kStart) cdoInterrupt.start(local);
          if (event == kArm) cdoInterrupt.arm(local);
          if (mode != 0) check(cdoInterrupt.transferred() <= total, "past the total");
          break;
        case 2:
          if (event == kOverrun && cdiDMA.handleOverrun(&cdi, local) != 0)
            cdiDMA.handleOverrunSecondary(&cdi, local);
          if (event == kBufferError && cdiDMA.handleBufferError(&cdi, local) != 0)
            cdiDMA.handleBufferErrorSecondary(&cdi, local);
          if (event == kStop) cdiDMA.stop(local);
          if (event == kStart) cdiDMA.linkDMA(local);
          if (event == kDataEnd) cdiDMA.markDataDone(local);
          break;
        default:
          if (event == kOverrun && cdoDMA.handleOverrun(&cdo, local) != 0)
            cdoDMA.handleOverrunSecondary(&cdo, local);
          if (event == kBufferError && cdoDMA.handleBufferError(&cdo, local) != 0)
            cdoDMA.handleBufferErrorSecondary(&cdo, local);
          if (event == kFIFOEmpty) cdoDMA.handleFIFOEmptyPolled(&cdo, local);
          if (event == kStop) cdoDMA.stop(local);
          if (event == kStart) cdoDMA.start(local);
          if (event == kDataEnd) cdoDMA.markEndOfData(local);
          break;
      }
      check(known(local.code), "a code the transfers do not set");
      check(statusReads <= 3 * (uint64_t{limit} + 2) + 8, "a loop past its limit");
    }
  }
  windows.setReadCallback(window, 0x224, nullptr);
  return 0;
}
