// The common form of the configuration records that primitives take as their
// programming input: a plain struct of fields with their defaults and the
// list of its fields in kFields; this base gives it field-wise equality, the
// status check and stream operations in declaration order:
//
//   struct tAISubsystemPrimitiveConfig : tConfigRecord<tAISubsystemPrimitiveConfig> {
//     int32_t transferMechanism = -1;
//     static constexpr auto kFields = std::tuple{&tAISubsystemPrimitiveConfig::transferMechanism};
//   };
//
// Copy and assignment are the record's own (memberwise).
#pragma once

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "orb/iExternalInputStream.h"
#include "orb/iExternalOutputStream.h"
#include "primitives/common/recordFields.h"

namespace nQoUdP100 {

template <class tSelf>
class tConfigRecord {
 public:
  friend bool operator==(const tSelf& a, const tSelf& b) { return nRecordFields::equalField(a, b); }

  // -50352 when a vector of the record failed to grow (a stored error stays);
  // nothing otherwise.
  void checkStatus(nQoMDBG100::tStatus2& status) const {
    if (nRecordFields::allocationFailed(self()))
      nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {"tConfigRecord", 36});
  }
  void checkStatus(int& status) const {
    if (nRecordFields::allocationFailed(self()))
      nQoUdR100::mergeCode(status, nQoUdR100::kOutOfMemory);
  }

  // Both do nothing when the status holds an error or a vector of the record
  // failed to grow (-50352). A read checks again at its end: an element's
  // copy into its vector may lose the element's own vectors, and that read
  // is -50352 too.
  void readExternal(nQoORB100::iExternalInputStream& stream, int& status) {
    if (status < 0) return;
    checkStatus(status);
    nRecordFields::readField(stream, self(), status);
    checkStatus(status);
  }
  void writeExternal(nQoORB100::iExternalOutputStream& stream, int& status) const {
    if (status < 0) return;
    checkStatus(status);
    nRecordFields::writeField(stream, self(), status);
  }

 private:
  const tSelf& self() const { return static_cast<const tSelf&>(*this); }
  tSelf& self() { return static_cast<tSelf&>(*this); }
};

}  // namespace nQoUdP100
