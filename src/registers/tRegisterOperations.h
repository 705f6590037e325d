// The first slots of a map's tRegister: the two destructors, flush, refresh,
// setField, writeField, getField, readField. A slot a register does not
// override reports its failure at the map's stub line: writes kCannotWrite,
// reads kCannotRead (the getters answer 0xDEADBEEF whatever the status holds).
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"

namespace nQoUdRLP100 {

template <class tTraits>
class tRegisterOperations {
 public:
  virtual ~tRegisterOperations() = default;

  virtual void flush(nQoMDBG100::tStatus2* status, unsigned) {
    stub(status, nQoUdR100::kCannotWrite, kSites.flushStub);
  }
  virtual uint32_t refresh(nQoMDBG100::tStatus2* status) {
    stub(status, nQoUdR100::kCannotRead, kSites.refreshStub);
    return kNotReadable;
  }
  virtual void setField(uint32_t, uint32_t, nQoMDBG100::tStatus2* status) {
    stub(status, nQoUdR100::kCannotWrite, kSites.setFieldStub);
  }
  virtual void writeField(uint32_t, uint32_t, nQoMDBG100::tStatus2* status, unsigned) {
    stub(status, nQoUdR100::kCannotWrite, kSites.writeFieldStub);
  }
  virtual uint32_t getField(uint32_t, nQoMDBG100::tStatus2* status) {
    stub(status, nQoUdR100::kCannotRead, kSites.getFieldStub);
    return kNotReadable;
  }
  virtual uint32_t readField(uint32_t, nQoMDBG100::tStatus2* status) {
    stub(status, nQoUdR100::kCannotRead, kSites.readFieldStub);
    return kNotReadable;
  }

 protected:
  static constexpr uint32_t kNotReadable = 0xDEADBEEF;
  static constexpr auto& kSites = tTraits::kSites;

  tRegisterOperations() = default;
  tRegisterOperations(const tRegisterOperations&) = delete;
  tRegisterOperations& operator=(const tRegisterOperations&) = delete;

 private:
  static void stub(nQoMDBG100::tStatus2* status, int code, unsigned line) {
    nQoUdR100::setCode(status, code, kSites.at(line));
  }
};

}  // namespace nQoUdRLP100
