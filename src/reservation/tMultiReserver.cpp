#include "reservation/tMultiReserver.h"

namespace nQoMRTB100 {

void tMultiReserver::addReserver(iReserver* reserver, nQoMDBG100::tStatus2& status) {
  _members.add(reserver, status, {"tMultiReserver", 61});
}

void tMultiReserver::checkAllocation(nQoMDBG100::tStatus2& status) const {
  _members.checkAllocation(status, {"tMultiReserver", 93});
}

void tMultiReserver::reserveResource(nQoMDBG100::tStatus2& status) {
  _members.runForward(
      status, [](iReserver& member, nQoMDBG100::tStatus2& s) { member.reserveResource(s); },
      [](iReserver& member, nQoMDBG100::tStatus2& s) { member.releaseResource(s); });
}

void tMultiReserver::releaseResource(nQoMDBG100::tStatus2& status) {
  _members.runReverse(
      status, [](iReserver& member, nQoMDBG100::tStatus2& s) { member.releaseResource(s); });
}

}  // namespace nQoMRTB100
