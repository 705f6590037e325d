// The correlated digital supervisors: one row per position (FIFO, DMA
// transfer, interrupt transfer) over a direction (CDI, CDO), each a
// tCorrelatedSupervisor. The direction rows hold the types, names, sites and
// settings stores in which input and output differ.
#pragma once

#include <cstdint>

#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "msrl/iInterruptTransfer.h"
#include "primitives/cdio/tBaseCDIInterruptTransferPrimitive.h"
#include "primitives/cdio/tBaseCDI_DMATransferPrimitive.h"
#include "primitives/cdio/tBaseCDI_FIFOPrimitive.h"
#include "primitives/cdio/tBaseCDOInterruptTransferPrimitive.h"
#include "primitives/cdio/tBaseCDO_DMATransferPrimitive.h"
#include "primitives/cdio/tBaseCDO_FIFOPrimitive.h"
#include "settings/tCDIInterruptTransferSettings.h"
#include "settings/tCDI_DMATransferSettings.h"
#include "settings/tCDI_FIFOSettings.h"
#include "settings/tCDOInterruptTransferSettings.h"
#include "settings/tCDO_DMATransferSettings.h"
#include "settings/tCDO_FIFOSettings.h"
#include "supervisors/cdio/correlatedLinks.h"
#include "supervisors/cdio/digitalEndpoints.h"
#include "supervisors/cdio/iCDI_DMATransferSupervisor.h"
#include "supervisors/cdio/tCorrelatedSupervisor.h"

namespace nQoUdR100 {

struct tCDIDirection {
  using tFIFO = nQoUdP100::tBaseCDI_FIFOPrimitive;
  using tFIFOSettings = tCDI_FIFOSettings;
  static constexpr const char* kFIFOName = "nQoUdR100::tBaseCDI_FIFOSupervisor";
  static constexpr const char* kFIFOFile = "tBaseCDI_FIFOSupervisor";

  using tDMAPrimitive = nQoUdP100::tBaseCDI_DMATransferPrimitive;
  using tDMASettings = tCDI_DMATransferSettings;
  using tDMAEndpoint = tCDI_DMATransferDestination;
  template <class Self>
  using tDMABase = tCDI_DMATransferSupervisorBase<Self>;
  static constexpr const char* kDMAName = "nQoUdR100::tBaseCDI_DMATransferSupervisor";
  static constexpr const char* kDMAFile = "tBaseCDI_DMATransferSupervisor";
  static constexpr unsigned kDMANoPrimitiveLine = 196;
  static constexpr unsigned kDMANotSupportedLine = 289;
  static void applyDMA(tDMAPrimitive& transfer, const tCDI_DMATransferSettingsFields& fields,
                       nQoMDBG100::tStatus2& status) {
    transfer.setSampleMode(static_cast<uint32_t>(fields.transferMode), status);
  }
  static void setEndpoint(tDMAPrimitive& transfer, tDMAEndpoint* endpoint,
                          nQoMDBG100::tStatus2& status) {
    transfer.setDestination(endpoint, status);
  }

  using tInterruptPrimitive = nQoUdP100::tBaseCDIInterruptTransferPrimitive;
  using tInterruptSettings = tCDIInterruptTransferSettings;
  using tInterruptEndpoint = tCDIInterruptTransferDestination;
  using tInterruptPartner = nQoMSRL100::iInputInterruptTransfer;
  static constexpr const char* kInterruptName = "nQoUdR100::tBaseCDIInterruptTransferSupervisor";
  static constexpr const char* kInterruptFile = "tBaseCDIInterruptTransferSupervisor";
  // Limit, mode, chunk and total, each only on a good status.
  static void applyInterrupt(tInterruptPrimitive& transfer,
                             const tCDIInterruptTransferSettingsFields& fields,
                             nQoMDBG100::tStatus2& status) {
    if (status.isNotFatal()) transfer.setLimit(fields.transferWord1);
    if (status.isNotFatal()) transfer.setSampleMode(static_cast<uint32_t>(fields.transferMode));
    if (status.isNotFatal()) transfer.setChunkSize(fields.transferWord2);
    if (status.isNotFatal()) transfer.setTotal(fields.transferWord3);
  }
  static void setEndpoint(tInterruptPrimitive& transfer, tInterruptEndpoint* endpoint) {
    transfer.setDestination(endpoint);
  }
};

struct tCDODirection {
  using tFIFO = nQoUdP100::tBaseCDO_FIFOPrimitive;
  using tFIFOSettings = tCDO_FIFOSettings;
  static constexpr const char* kFIFOName = "nQoUdR100::tBaseCDO_FIFOSupervisor";
  static constexpr const char* kFIFOFile = "tBaseCDO_FIFOSupervisor";

  using tDMAPrimitive = nQoUdP100::tBaseCDO_DMATransferPrimitive;
  using tDMASettings = tCDO_DMATransferSettings;
  using tDMAEndpoint = tCDO_DMATransferSource;
  template <class Self>
  using tDMABase = nQoMRL100::iPrimitiveSupervisor;
  static constexpr const char* kDMAName = "nQoUdR100::tBaseCDO_DMATransferSupervisor";
  static constexpr const char* kDMAFile = "tBaseCDO_DMATransferSupervisor";
  static constexpr unsigned kDMANoPrimitiveLine = 195;
  static constexpr unsigned kDMANotSupportedLine = 288;
  // The mode (refused past the primitive's first state), then the two
  // counts while the status holds no error.
  static void applyDMA(tDMAPrimitive& transfer, const tCDO_DMATransferSettingsFields& fields,
                       nQoMDBG100::tStatus2& status) {
    transfer.setSampleMode(static_cast<uint32_t>(fields.transferMode), status);
    if (status.isNotFatal()) transfer.setCounts(fields.transferWord1, fields.transferWord2);
  }
  static void setEndpoint(tDMAPrimitive& transfer, tDMAEndpoint* endpoint,
                          nQoMDBG100::tStatus2& status) {
    transfer.setSource(endpoint, status);
  }

  using tInterruptPrimitive = nQoUdP100::tBaseCDOInterruptTransferPrimitive;
  using tInterruptSettings = tCDOInterruptTransferSettings;
  using tInterruptEndpoint = tCDOInterruptTransferSource;
  using tInterruptPartner = nQoMSRL100::iOutputInterruptTransfer;
  static constexpr const char* kInterruptName = "nQoUdR100::tBaseCDOInterruptTransferSupervisor";
  static constexpr const char* kInterruptFile = "tBaseCDOInterruptTransferSupervisor";
  // Limit, mode, chunk, total and preload, each only on a good status.
  static void applyInterrupt(tInterruptPrimitive& transfer,
                             const tCDOInterruptTransferSettingsFields& fields,
                             nQoMDBG100::tStatus2& status) {
    if (status.isNotFatal()) transfer.setLimit(fields.transferWord1);
    if (status.isNotFatal()) transfer.setSampleMode(static_cast<uint32_t>(fields.transferMode));
    if (status.isNotFatal()) transfer.setChunkSize(fields.transferWord2);
    if (status.isNotFatal()) transfer.setTotal(fields.transferWord3);
    if (status.isNotFatal()) transfer.setPreload(fields.transferWord4);
  }
  static void setEndpoint(tInterruptPrimitive& transfer, tInterruptEndpoint* endpoint) {
    transfer.setSource(endpoint);
  }
};

template <class Dir>
struct tCorrelatedFIFORow {
  static constexpr const char* kClassName = Dir::kFIFOName;
  template <class Self>
  using tBase = nQoMRL100::iPrimitiveSupervisor;
  using tSettings = typename Dir::tFIFOSettings;
  using tPrimitive = typename Dir::tFIFO;
  using tLinks = tCorrelatedFIFOLinks<Dir>;
  static constexpr tStatusSite kNoPrimitive{Dir::kFIFOFile, 166};
  static constexpr tStatusSite kNotSupported{Dir::kFIFOFile, 231};
  using P = tPrimitive;
  static constexpr tCorrelatedControls<P> kControls = {{
      {[](P& p, nQoMDBG100::tStatus2& s) { p.commit(s); }, nullptr, 5},
      {[](P& p, nQoMDBG100::tStatus2& s) { p.arm(s); }, nullptr, 6},
      {},
      {},
      {.first = [](P& p, nQoMDBG100::tStatus2& s) { p.disarm(s); },
       .word = 5,
       .holds = [](const P& p) { return p.holdsArm(); }},
      {.first = [](P& p, nQoMDBG100::tStatus2& s) { p.uncommit(s); },
       .word = 4,
       .holds = [](const P& p) { return p.holdsCommit(); }},
  }};
};

template <class Dir>
struct tCorrelatedDMARow {
  static constexpr const char* kClassName = Dir::kDMAName;
  template <class Self>
  using tBase = typename Dir::template tDMABase<Self>;
  using tSettings = typename Dir::tDMASettings;
  using tPrimitive = typename Dir::tDMAPrimitive;
  using tLinks = tCorrelatedDMALinks<Dir>;
  static constexpr tStatusSite kNoPrimitive{Dir::kDMAFile, Dir::kDMANoPrimitiveLine};
  static constexpr tStatusSite kNotSupported{Dir::kDMAFile, Dir::kDMANotSupportedLine};
  using P = tPrimitive;
  // Arm and disarm link and unlink the DMA channel.
  static constexpr tCorrelatedControls<P> kControls = {{
      {[](P& p, nQoMDBG100::tStatus2& s) { p.commit(s); }, nullptr, 5},
      {[](P& p, nQoMDBG100::tStatus2& s) { p.linkDMA(s); }, nullptr, 6},
      {[](P& p, nQoMDBG100::tStatus2& s) { p.start(s); }, nullptr, 7},
      {.first = [](P& p, nQoMDBG100::tStatus2& s) { p.stop(s); },
       .word = 6,
       .holds = [](const P& p) { return p.isRunning(); }},
      {.first = [](P& p, nQoMDBG100::tStatus2& s) { p.unlinkDMA(s); },
       .word = 5,
       .holds = [](const P& p) { return p.isDMALinked(); }},
      {.first = [](P& p, nQoMDBG100::tStatus2& s) { p.uncommit(s); },
       .word = 4,
       .holds = [](const P& p) { return p.state() == P::kCommitted; }},
  }};
};

template <class Dir>
struct tCorrelatedInterruptRow {
  static constexpr const char* kClassName = Dir::kInterruptName;
  template <class Self>
  using tBase = nQoMRL100::iPrimitiveSupervisor;
  using tSettings = typename Dir::tInterruptSettings;
  using tPrimitive = typename Dir::tInterruptPrimitive;
  using tLinks = tCorrelatedInterruptLinks<Dir, tCorrelatedSupervisor<tCorrelatedFIFORow<Dir>>>;
  static constexpr tStatusSite kNoPrimitive{Dir::kInterruptFile, 224};
  static constexpr tStatusSite kNotSupported{Dir::kInterruptFile, 317};
  using P = tPrimitive;
  static constexpr tCorrelatedControls<P> kControls = {{
      {[](P& p, nQoMDBG100::tStatus2& s) { p.commit(s); }, nullptr, 5},
      {[](P& p, nQoMDBG100::tStatus2& s) { p.arm(s); }, nullptr, 6},
      {[](P& p, nQoMDBG100::tStatus2& s) { p.start(s); }, nullptr, 7},
      {.first = [](P& p, nQoMDBG100::tStatus2& s) { p.stop(s); },
       .word = 6,
       .holds = [](const P& p) { return p.isRunning(); }},
      {.first = [](P& p, nQoMDBG100::tStatus2& s) { p.disarm(s); },
       .word = 5,
       .holds = [](const P& p) { return p.state() == P::kArmed; }},
      {.first = [](P& p, nQoMDBG100::tStatus2& s) { p.uncommit(s); },
       .word = 4,
       .holds = [](const P& p) { return p.state() == P::kCommitted; }},
  }};
};

using tBaseCDI_FIFOSupervisor = tCorrelatedSupervisor<tCorrelatedFIFORow<tCDIDirection>>;
using tBaseCDO_FIFOSupervisor = tCorrelatedSupervisor<tCorrelatedFIFORow<tCDODirection>>;
using tBaseCDI_DMATransferSupervisor = tCorrelatedSupervisor<tCorrelatedDMARow<tCDIDirection>>;
using tBaseCDO_DMATransferSupervisor = tCorrelatedSupervisor<tCorrelatedDMARow<tCDODirection>>;
using tBaseCDIInterruptTransferSupervisor =
    tCorrelatedSupervisor<tCorrelatedInterruptRow<tCDIDirection>>;
using tBaseCDOInterruptTransferSupervisor =
    tCorrelatedSupervisor<tCorrelatedInterruptRow<tCDODirection>>;

}  // namespace nQoUdR100
