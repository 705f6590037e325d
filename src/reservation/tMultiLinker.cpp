#include "reservation/tMultiLinker.h"

#include "frame/statusCodes.h"

namespace nQoMRTB100 {

void tMultiLinker::addLinker(iLinker* linker, nQoMDBG100::tStatus2& status) {
  _members.add(linker, status, {"tMultiLinker", 52});
}

void tMultiLinker::checkAllocation(nQoMDBG100::tStatus2& status) const {
  _members.checkAllocation(status, {"tMultiLinker", 60});
}

uint32_t tMultiLinker::getCount(nQoMDBG100::tStatus2& status) const {
  if (_members.count() > UINT32_MAX) {
    nQoUdR100::setCode(status, nQoUdR100::kCountTooLarge, {"tMultiLinker", 71});
    return 0;
  }
  return static_cast<uint32_t>(_members.count());
}

void tMultiLinker::clear(nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) _members.clear();
}

void tMultiLinker::link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) {
  _members.runForward(
      status, [&map](iLinker& member, nQoMDBG100::tStatus2& s) { member.link(map, s); },
      [](iLinker& member, nQoMDBG100::tStatus2& s) { member.unlink(s); });
}

void tMultiLinker::linkResource(nQoMDBG100::tStatus2& status) {
  _members.runForward(
      status, [](iLinker& member, nQoMDBG100::tStatus2& s) { member.linkResource(s); },
      [](iLinker& member, nQoMDBG100::tStatus2& s) { member.unlinkResource(s); });
}

void tMultiLinker::linkResourceLeavingUndo(nQoMDBG100::tStatus2& status) {
  _members.runForward(
      status, [](iLinker& member, nQoMDBG100::tStatus2& s) { member.linkResource(s); },
      [](iLinker&, nQoMDBG100::tStatus2&) {});
}

void tMultiLinker::unlinkResource(nQoMDBG100::tStatus2& status) {
  _members.runReverse(status,
                      [](iLinker& member, nQoMDBG100::tStatus2& s) { member.unlinkResource(s); });
}

void tMultiLinker::unlink(nQoMDBG100::tStatus2& status) {
  _members.runReverse(status, [](iLinker& member, nQoMDBG100::tStatus2& s) { member.unlink(s); });
}

}  // namespace nQoMRTB100
