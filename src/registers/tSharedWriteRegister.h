// A field-addressable writable register whose hardware register another map
// may own. Until it is lent the owner's register it is the plain register of
// its row. Once lent (shareWith), it keeps no soft copy of its own: reads
// answer the owner's soft copy, setters and writes are refused with
// kCannotWrite and touch nothing, and flush and markAllDirty leave it alone,
// so the map never writes over what the owner programmed.
//
//   map.G0_DMA_Control.shareWith(board.Write_01B8);   // before markAllDirty
//   map.G0_DMA_Control.getField(1, &status);            // bit 0 of the board's copy
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "mdbg/tStatus2.h"
#include "registers/registerClassFor.h"
#include "registers/registerStatus.h"
#include "registers/tFieldAccess.h"

namespace nQoUdRLP100 {

template <class tTraits, uint32_t kIndex>
class tSharedWriteRegister : public tRegisterClassFor<tTraits, kIndex> {
  using tBase = tRegisterClassFor<tTraits, kIndex>;
  using tAccess = tFieldAccess<tTraits, kIndex>;
  static_assert(tTraits::kRows[kIndex].kind == tRegisterKind::kWriteFields);

 public:
  using tValue = tRegisterValue<tTraits::kRows[kIndex].width>;

  // Lends the owner's register (anything with getRegister()) for the life of
  // this register.
  template <class tOwner>
  void shareWith(const tOwner& owner) {
    _owner = &owner;
    _ownerSoftCopy = [](const void* lent) {
      return static_cast<uint32_t>(static_cast<const tOwner*>(lent)->getRegister());
    };
  }
  bool shared() const { return _owner != nullptr; }

  tValue getRegister() const {
    return shared() ? static_cast<tValue>(_ownerSoftCopy(_owner)) : tBase::getRegister();
  }
  void setRegister(tValue value, nQoMDBG100::tStatus2* status) {
    if (shared())
      refuse(status, tTraits::kSites.setFieldStub);
    else
      tBase::setRegister(value, status);
  }
  void flush(nQoMDBG100::tStatus2* status, unsigned force) override {
    if (!shared()) tBase::flush(status, force);
  }
  void setField(uint32_t field, uint32_t value, nQoMDBG100::tStatus2* status) override {
    if (shared())
      refuse(status, tTraits::kSites.setFieldStub);
    else
      tBase::setField(field, value, status);
  }
  void writeField(uint32_t field, uint32_t value, nQoMDBG100::tStatus2* status,
                  unsigned force) override {
    if (shared())
      refuse(status, tTraits::kSites.writeFieldStub);
    else
      tBase::writeField(field, value, status, force);
  }
  uint32_t getField(uint32_t field, nQoMDBG100::tStatus2* status) override {
    return shared() ? fromOwner(field, status, kGetFieldId) : tBase::getField(field, status);
  }
  uint32_t readField(uint32_t field, nQoMDBG100::tStatus2* status) override {
    return shared() ? fromOwner(field, status, kReadFieldId) : tBase::readField(field, status);
  }
  bool restore(nQoMDBG100::tStatus2* status) { return shared() || tBase::restore(status); }

 private:
  static void refuse(nQoMDBG100::tStatus2* status, unsigned line) {
    if (!failed(status))
      nQoUdR100::setCode(status, nQoUdR100::kCannotWrite, tTraits::kSites.at(line));
  }
  uint32_t fromOwner(uint32_t field, nQoMDBG100::tStatus2* status, tFieldCheck check) {
    if (failed(status) || !this->reachable(status)) return 0xFFFFFFFF;
    if (!tAccess::served(field)) return tAccess::refuse(status, check);
    return tAccess::extract(_ownerSoftCopy(_owner), field);
  }

  const void* _owner = nullptr;
  uint32_t (*_ownerSoftCopy)(const void*) = nullptr;
};

}  // namespace nQoUdRLP100
