#include "reservation/tStatusChainingSupStateTracker.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoMRTB100 {

namespace {

constexpr uint32_t kNo = 0xFFFFFFFF;  // refused in this state

// One event: for the control codes its own flag bit must be set (else refused
// at flagLine); then, per state 0, 10, ..., 70, the flags that must be clear
// (kNo: refused in that state) or refused at stateLine.
struct tAcceptance {
  int32_t event;
  int flagBit;  // -1: no flag bit to test
  unsigned flagLine;
  unsigned stateLine;
  uint32_t mustBeClear[8];
};

// clang-format off
constexpr tAcceptance kAcceptance[] = {
  //  event                  bit flag state     0    10    20    30     40    50    60    70
  {kEventInitialize,         -1,   0,  44, {   0,  kNo,  kNo,  kNo,   kNo,  kNo,  kNo,  kNo}},
  {kEventLink,               -1,   0,  49, { kNo,    0,  kNo,  kNo,   kNo,  kNo,  kNo,  kNo}},
  {kEventReserveResource,    -1,   0,  54, { kNo,  kNo,    0,  kNo,   kNo,  kNo,  kNo,  kNo}},
  {kEventLinkResource,       -1,   0,  59, { kNo,  kNo,  kNo,    0,   kNo,  kNo,  kNo,  kNo}},
  {kEventReleaseResource,    -1,   0, 271, { kNo,  kNo,  kNo,    0,   kNo,  kNo,  kNo,  kNo}},
  {kEventUnlink,             -1,   0, 276, { kNo,  kNo,    0,  kNo,   kNo,  kNo,  kNo,  kNo}},
  {kEventUnlinkResource,     -1,   0, 265, { kNo,  kNo,  kNo,  kNo,     0, 0x20, 0x30, 0x38}},
  {kControlCommit,            0,  89,  84, { kNo,  kNo,  kNo,  kNo,     0, 0x20, 0x30, 0x38}},
  {kControlArm,               1, 119, 114, { kNo,  kNo,  kNo,  kNo,  0x01,    0, 0x10, 0x18}},
  {kControlStart,             2, 149, 144, { kNo,  kNo,  kNo,  kNo,  0x03, 0x02,    0, 0x08}},
  {kControlStop,              3, 180, 175, { kNo,  kNo,  kNo,  kNo,  0x07, 0x06, 0x04,    0}},
  {kControlDisarm,            4, 210, 205, { kNo,  kNo,  kNo,  kNo,  0x03, 0x02,    0, 0x08}},
  {kControlUncommit,          5, 240, 235, { kNo,  kNo,  kNo,  kNo,  0x01,    0, 0x10, 0x18}},
};
// clang-format on

bool accepts(const tAcceptance& rule, int32_t state, uint32_t flags) {
  if (state < 0 || state > kStateRunning || state % 10 != 0) return false;
  const uint32_t mustBeClear = rule.mustBeClear[state / 10];
  return mustBeClear != kNo && (flags & mustBeClear) == 0;
}

}  // namespace

void tStatusChainingSupStateTracker::validateEvent(int32_t event, nQoMDBG100::tStatus2& status) {
  for (const tAcceptance& rule : kAcceptance) {
    if (rule.event != event) continue;
    if (rule.flagBit >= 0 && ((flags() >> rule.flagBit) & 1) == 0)
      nQoUdR100::setCode(status, nQoUdR100::kRefused,
                         {"tStatusChainingSupStateTracker", rule.flagLine});
    else if (!accepts(rule, state(), flags()))
      nQoUdR100::setCode(status, nQoUdR100::kRefused,
                         {"tStatusChainingSupStateTracker", rule.stateLine});
    return;
  }
}

}  // namespace nQoMRTB100
