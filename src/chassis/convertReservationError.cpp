#include "chassis/convertReservationError.h"

#include <cstddef>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2Description.h"

namespace nQoUdR100 {

namespace {

constexpr const char kFile[] = "ZorbReservationErrorUtilities";

// An incoming code, the code set in its place, and the line of that site.
struct tMapping {
  int from;
  int to;
  unsigned line;
};

constexpr tMapping kPlain[] = {
    {kAlreadyReserved, kResourceReserved, 53}, {kChassisReserved, kResourceReserved, 53},
    {kDeviceGone, kDeviceNotPresent, 61},      {kChassisNotPresent, kDeviceNotPresent, 61},
    {kChassisRemoved, kDeviceNotPresent, 61},  {kChassisNotReady, kDeviceNotPresent, 61}};

constexpr tMapping kWithDevice[] = {
    {kResourceReserved, kResourceReserved, 32}, {kCartridgeReserved, kResourceReserved, 32},
    {kChassisReserved, kResourceReserved, 32},  {kAlreadyReserved, kResourceReserved, 32},
    {kDeviceGone, kDeviceNotPresent, 41},       {kCartridgeNotPresent, kDeviceNotPresent, 41},
    {kChassisNotReady, kDeviceNotPresent, 41},  {kChassisRemoved, kDeviceNotPresent, 41},
    {kChassisNotPresent, kDeviceNotPresent, 41}};

template <std::size_t N>
const tMapping* find(const tMapping (&table)[N], int code) {
  for (const tMapping& mapping : table)
    if (mapping.from == code) return &mapping;
  return nullptr;
}

}  // namespace

int convertReservationError(nQoMDBG100::tStatus2& status) {
  const tMapping* mapping = find(kPlain, status.code);
  if (mapping != nullptr) setCode(status.clear(), mapping->to, {kFile, mapping->line});
  return status.code;
}

int convertReservationError(const nQoMDBG100::iVariantReportable& device,
                            nQoMDBG100::tStatus2& status) {
  auto* description = new nQoMDBG100::tStatus2Description;
  nQoMDBG100::tStatus2 local;
  if (description != nullptr) description->addProperty(1, device, local);
  const tMapping* mapping = find(kWithDevice, status.code);
  if (mapping != nullptr) {
    if (description != nullptr) description->retain();
    setCode(status.clear(), mapping->to, {kFile, mapping->line}, description);
  }
  if (description != nullptr) description->release();
  return status.code;
}

}  // namespace nQoUdR100
