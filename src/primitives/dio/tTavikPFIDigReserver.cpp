#include "primitives/dio/tTavikPFIDigReserver.h"

#include "frame/statusCodes.h"
#include "frame/tGenericStatusDescription.h"
#include "frame/tStatusSite.h"
#include "mdbg/tGUIDReportable.h"
#include "mrl/iResourceBroker.h"
#include "mrl/tGeneralIdentifier.h"
#include "mrl/tTESKMaskedIdentifier.h"
#include "mru/tTerminalReservation.h"
#include "msts/tUsageType.h"

namespace nQoUdR100 {

namespace {

constexpr const char kFile[] = "tTavikPFIDigReserver";

constexpr const char* kPFINames[tTavikPFIDigReserver::kTerminals] = {
    "PFI0", "PFI1", "PFI2",  "PFI3",  "PFI4",  "PFI5",  "PFI6",  "PFI7",
    "PFI8", "PFI9", "PFI10", "PFI11", "PFI12", "PFI13", "PFI14", "PFI15"};

}  // namespace

const char* tTavikPFIDigReserver::terminalName(uint32_t line) const {
  const uint32_t terminal = _table == nullptr ? line : _table[line];
  return terminal < kTerminals ? kPFINames[terminal] : "";
}

void tTavikPFIDigReserver::reserve(uint32_t mask, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (lines() < 32 && (mask >> lines()) != 0) {
    setCode(status, kRefused, {kFile, 60});
    return;
  }
  uint32_t reserved = 0;
  for (uint32_t line = 0; line < kTerminals && status.isNotFatal(); ++line) {
    if ((mask & (1u << line)) == 0) continue;
    nQoMRU210::tTerminalReservation::reserveByName(_device, terminalName(line), status);
    if (status.isNotFatal()) {
      reserved |= 1u << line;
      continue;
    }
    // Without a description the conflict is still reported.
    auto* description = new nQoKABBO_1_0::tGenericStatusDescription;
    if (description != nullptr) {
      nQoMDBG100::tStatus2 own;
      description->addProperty(1, nQoMDBG100::tGUIDReportable(_device), own);
      description->set(nQoMSTS100::kUsageResourceName, terminalName(line));
    }
    status.clear();
    setCode(status, kResourceReserved, {kFile, 75}, description);
    nQoMDBG100::tStatus2 local;
    release(reserved, local);
  }
}

void tTavikPFIDigReserver::release(uint32_t mask, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  for (uint32_t line = 0; line < lines() && line < kTerminals; ++line) {
    if ((mask & (1u << line)) == 0) continue;
    nQoMDBG100::tStatus2 local;
    nQoMRU210::tTerminalReservation::release(_device, terminalName(line), local);
    status.assign(local);
  }
}

template <class Request>
void tTavikFrontConnectorDigReserver::request(uint32_t mask, nQoMDBG100::tStatus2& status,
                                              Request ask) {
  if (status.isFatal()) return;
  nQoCDR100::tTESKMaskedIdentifier lines(mask, 1);
  nQoMRL100::tGeneralIdentifier identifier;
  identifier.setDeviceGUID(_device);
  identifier.setString(nQoCDR100::kImmedDigPrimName, status);
  identifier.setIndex(0);
  identifier.setSubIdentifier(&lines);
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
  if (broker != nullptr && status.isNotFatal()) ask(*broker, identifier);
}

void tTavikFrontConnectorDigReserver::reserve(uint32_t mask, nQoMDBG100::tStatus2& status) {
  request(mask, status, [&](nQoMRL100::iResourceBroker& broker, const auto& identifier) {
    broker.reserve(&identifier, nullptr, status);
  });
}

void tTavikFrontConnectorDigReserver::release(uint32_t mask, nQoMDBG100::tStatus2& status) {
  request(mask, status, [&](nQoMRL100::iResourceBroker& broker, const auto& identifier) {
    broker.release(&identifier, nullptr, status);
  });
}

}  // namespace nQoUdR100
