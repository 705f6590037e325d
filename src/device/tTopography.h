// The routing topography of one board variant, made by class name: its
// objects hold nothing of their own and share one counted table per class.
//
//   tObject* object = tClassRegistry::createByName("nRIVOUdSeries::tTopography", status);
//   auto* topography = static_cast<nQoMRU230::iReferenceCountingTopography*>(...cast...);
//   topography->acquireTable(status);   // the first acquire of the class unpacks
//   ... topography->getTable() ...
//   topography->releaseTable(status);   // the last release frees
//
// tVariant names the class (kTopographyClassName) and its packed table
// (kTopographyTable); each variant's namespace calls its instance tTopography.
#pragma once

#include "device/tSharedTable.h"
#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tModuleObject.h"
#include "frame/tModuleStatic.h"
#include "frame/tStatusSite.h"
#include "mru/iReferenceCountingTopography.h"
#include "orb/castToClass.h"

namespace nQoUdR100 {

template <class tVariant>
class tTopographyOf final : public nQoMRU230::iReferenceCountingTopography, public tModuleObject {
 public:
  static constexpr const char* kClassName = tVariant::kTopographyClassName;
  static inline void* ___classID = nullptr;

  // The static constructor: builds the class's shared-table record, then
  // registers the class. 0, or -1 when either could not be queued.
  static int construct() {
    if (_record.construct(tVariant::kTopographyTable, tSharedTable::kTopography, &___classID) != 0)
      return -1;
    return tClassRegistration<tTopographyOf>::construct();
  }
  // Null while the module is not loaded.
  static tSharedTable* record() { return _record.get(); }

  void* ___CPPKRLDynamicCast(void* const* classID) override {
    return nQoORB100::castToClass<tTopographyOf, nQoORB100::tObject>(this, classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<tTopographyOf*>(this)->___CPPKRLDynamicCast(classID);
  }
  nQoORB100::tClass getClass(int& status) const override {
    return tClassRegistration<tTopographyOf>::getClass(*this, status);
  }

  // A new default object of the class, made through its registration; null
  // when the status holds an error or the allocation fails (-50352).
  nQoORB100::tObject* clone(int& status) const override {
    return getClass(status).newInstance(status);
  }

  const void* getTable() const override {
    const tSharedTable* shared = record();
    return shared == nullptr ? nullptr : shared->table();
  }
  void acquireTable(nQoMDBG100::tStatus2& status) override {
    if (tSharedTable* shared = recordOrCode(status, 60)) shared->acquire(status);
  }
  void releaseTable(nQoMDBG100::tStatus2& status) override {
    if (tSharedTable* shared = recordOrCode(status, 63)) shared->release(status);
  }

  // A topography carries no streamed state.
  void writeExternal(nQoORB100::iExternalOutputStream&, int&) const override {}
  void readExternal(nQoORB100::iExternalInputStream&, int&) override {}

 private:
  static tSharedTable* recordOrCode(nQoMDBG100::tStatus2& status, unsigned line) {
    tSharedTable* shared = record();
    if (shared == nullptr && status.isNotFatal())
      setCode(status, kNullPointer, {"tTopography", line});
    return shared;
  }

  static inline tModuleStatic<tSharedTable> _record;
};

}  // namespace nQoUdR100
