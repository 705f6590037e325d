#include "device/tDMMCaps.h"

#include "device/tAIFrontEndCaps.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100 {

namespace {
constexpr const char kFile[] = "tDMMCaps";
}  // namespace

bool tDMMCaps::hasMode(const tDMMCaps* holder, uint32_t mode, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return false;
  if (holder == nullptr || holder->modes == nullptr || holder->ranges == nullptr) {
    setCode(status, kRefused, {kFile, 69});
    return false;
  }
  for (const tDMMMode* row = holder->modes; row->mode() != 0; ++row)
    if (row->mode() == mode) return true;
  return false;
}

void tDMMCaps::findRange(const tDMMCaps* holder, const nQoUdRLP100::tInterval* range,
                         bool wantFlagged, tDMMRange* entry, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (range == nullptr) {
    setCode(status, kBadArgument, {kFile, 28});
    return;
  }
  if (holder == nullptr || holder->modes == nullptr || holder->ranges == nullptr) {
    setCode(status, kRefused, {kFile, 34});
    return;
  }
  for (const tDMMRange* row = holder->ranges; row->range != nullptr; ++row) {
    if ((row->flagged != 0) != wantFlagged) continue;
    if (tAIFrontEndCaps::matches(*row->range, *range, status, {kFile, 45})) {
      *entry = *row;
      return;
    }
    if (status.isFatal()) return;
  }
  setCode(status, kRefused, {kFile, 56});
}

}  // namespace nQoUdR100
