// The linking part of a DMA transfer supervisor: a DMA linker (channel and
// partner found in the supervisor map) and a done/error event registrar,
// run in that order by a multi linker; the singular reserver and the
// registrar's reserving side, run in that order by a multi reserver. Every
// member is added once, however often initialize runs. The reverse steps run
// on fresh statuses merged into the caller's; a failed linkResource is undone
// by the frame's unlinkResource, out of the entries' reach.
#pragma once

#include "frame/freshStatus.h"
#include "mdbg/tStatus2.h"
#include "reservation/tDMALinker.h"
#include "reservation/tDoneAndErrorEventRegistrarAndLinker.h"
#include "reservation/tMultiLinker.h"
#include "reservation/tMultiReserver.h"

namespace nQoUdR100 {

template <class Prim>
class tDMAEventLinks {
 public:
  nQoMRTB100::tDMALinker<Prim>& dmaLinker() { return _dma; }
  nQoMRTB100::tDoneAndErrorEventRegistrarAndLinker<Prim>& registrar() { return _registrar; }

  // -50352 for a member list that failed to grow before.
  void addLinkers(nQoMDBG100::tStatus2& status) {
    _linkers.checkAllocation(status);
    addLinkerOnce(&_dma, status);
    addLinkerOnce(&_registrar, status);
  }
  void addReservers(nQoMRTB100::iReserver& singular, nQoMDBG100::tStatus2& status) {
    _reservers.checkAllocation(status);
    addReserverOnce(&singular, status);
    addReserverOnce(&_registrar, status);
  }
  void setRuntimeFacade(nQoMRL100::iRuntimeFacade* facade) { _registrar.setRuntimeFacade(facade); }
  void setPrimitive(Prim* primitive) {
    _dma.setPrimitive(primitive);
    _registrar.setPrimitive(primitive);
  }

  void reserve(nQoMRTB100::iReserver&, nQoMDBG100::tStatus2& status) {
    _reservers.reserveResource(status);
  }
  void release(nQoMRTB100::iReserver&, nQoMDBG100::tStatus2& status) {
    if (status.isNotFatal())
      onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { _reservers.releaseResource(s); });
  }
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) {
    _linkers.link(map, status);
  }
  // A failure undoes nothing: the frame runs unlinkResource out of reach.
  void linkResource(nQoMDBG100::tStatus2& status) { _linkers.linkResourceLeavingUndo(status); }
  void unlinkResource(nQoMDBG100::tStatus2& status) {
    if (status.isNotFatal())
      onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { _linkers.unlinkResource(s); });
  }
  void unlink(nQoMDBG100::tStatus2& status) {
    if (status.isNotFatal())
      onFreshStatus(status, [&](nQoMDBG100::tStatus2& s) { _linkers.unlink(s); });
  }

 private:
  void addLinkerOnce(nQoMRTB100::iLinker* linker, nQoMDBG100::tStatus2& status) {
    for (uint32_t i = 0; _linkers.getLinker(i) != nullptr; ++i)
      if (_linkers.getLinker(i) == linker) return;
    _linkers.addLinker(linker, status);
  }
  void addReserverOnce(nQoMRTB100::iReserver* reserver, nQoMDBG100::tStatus2& status) {
    for (uint32_t i = 0; _reservers.getReserver(i) != nullptr; ++i)
      if (_reservers.getReserver(i) == reserver) return;
    _reservers.addReserver(reserver, status);
  }
  nQoMRTB100::tDMALinker<Prim> _dma;
  nQoMRTB100::tDoneAndErrorEventRegistrarAndLinker<Prim> _registrar;
  nQoMRTB100::tMultiLinker _linkers;
  nQoMRTB100::tMultiReserver _reservers;
};

}  // namespace nQoUdR100
