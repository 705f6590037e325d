// The polymorphic base of a map's field-addressable registers (a map names it
// tRegister). Slots in order: the two destructors, flush, refresh, setField,
// writeField, getField, readField, getLockGroup, isWritable, isReadable. A slot
// a register does not override reports its failure at the map's stub line:
// writes -50012, reads -50009 (the getters answer 0xDEADBEEF).
#pragma once

#include <cstdint>

#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "registers/tRegisterLockGroup.h"

namespace nQoUdRLP100 {

template <class tTraits>
class tRegisterBase {
 public:
  virtual ~tRegisterBase() = default;

  virtual void flush(nQoMDBG100::tStatus2* status, unsigned) {
    stub(status, -50012, kSites.flushStub);
  }
  virtual uint32_t refresh(nQoMDBG100::tStatus2* status) {
    stub(status, -50009, kSites.refreshStub);
    return kNotReadable;
  }
  virtual void setField(uint32_t, uint32_t, nQoMDBG100::tStatus2* status) {
    stub(status, -50012, kSites.setFieldStub);
  }
  virtual void writeField(uint32_t, uint32_t, nQoMDBG100::tStatus2* status, unsigned) {
    stub(status, -50012, kSites.writeFieldStub);
  }
  virtual uint32_t getField(uint32_t, nQoMDBG100::tStatus2* status) {
    stub(status, -50009, kSites.getFieldStub);
    return kNotReadable;
  }
  virtual uint32_t readField(uint32_t, nQoMDBG100::tStatus2* status) {
    stub(status, -50009, kSites.readFieldStub);
    return kNotReadable;
  }
  virtual tRegisterLockGroup* getLockGroup() { return nullptr; }
  virtual uint32_t isWritable() { return 0; }
  virtual uint32_t isReadable() { return 0; }

 protected:
  static constexpr uint32_t kNotReadable = 0xDEADBEEF;
  static constexpr auto& kSites = tTraits::kSites;

  tRegisterBase() = default;
  tRegisterBase(const tRegisterBase&) = delete;
  tRegisterBase& operator=(const tRegisterBase&) = delete;

 private:
  static void stub(nQoMDBG100::tStatus2* status, int code, unsigned line) {
    nQoUdR100::setCode(status, code, kSites.at(line));
  }
};

}  // namespace nQoUdRLP100
