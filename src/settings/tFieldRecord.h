// A plain record of a settings class, made from a row: a struct whose members
// carry their defaults, and the list of those members in stream order. The
// supervisor-level records and the own fields of flat settings classes are
// such rows:
//
//   struct tAI_ADCSupervisorFields {
//     nQoMRL100::tGeneralIdentifier identifier;   // the resource it names
//     uint32_t partnerKey = 0xFFFFFFFF;
//     static constexpr auto kStreamOrder =
//         std::tuple(&tAI_ADCSupervisorFields::identifier, &tAI_ADCSupervisorFields::partnerKey);
//   };
//   using tAI_ADCSupervisorConfig = tFieldRecord<tAI_ADCSupervisorFields>;
//
// Each stream operation runs checkStatus, does nothing more when the status
// holds an error, then streams every field in order (a read runs checkStatus
// again at the end). Copy and comparison cover every listed field. A string
// member (tString) that failed to grow makes checkStatus report -50352;
// lostAllocation also answers for the identifier and any other member with
// a sticky allocation-failed flag, for the check after a copy (copyCheck.h).
#pragma once

#include <tuple>
#include <type_traits>

#include "frame/statusCodes.h"
#include "frame/tBasicString.h"
#include "frame/tStatusSite.h"
#include "mdbg/tStatus2.h"
#include "settings/copyCheck.h"
#include "settings/settingsFields.h"

namespace nQoUdR100 {

template <class Fields>
class tFieldRecord : public Fields {
 public:
  tFieldRecord() = default;
  tFieldRecord(const tFieldRecord& other) : Fields() { *this = other; }
  tFieldRecord& operator=(const tFieldRecord& other) {
    if (this == &other) return *this;
    std::apply([&](auto... member) { ((this->*member = other.*member), ...); },
               Fields::kStreamOrder);
    return *this;
  }
  ~tFieldRecord() = default;

  bool operator==(const tFieldRecord& other) const {
    return std::apply([&](auto... member) { return ((this->*member == other.*member) && ...); },
                      Fields::kStreamOrder);
  }

  // -50352 when a string member failed to grow; a stored error stays.
  void checkStatus(int& status) const {
    if (stringFailed()) mergeCode(status, kOutOfMemory);
  }
  void checkStatus(nQoMDBG100::tStatus2& status) const {
    if (stringFailed()) setCode(status, kOutOfMemory, {"tFieldRecord", 53});
  }

  // Whether a member lost an allocation: a string, an identifier's name, a
  // list.
  bool lostAllocation() const {
    return std::apply(
        [&](auto... member) { return (nQoUdR100::lostAllocation(this->*member) || ...); },
        Fields::kStreamOrder);
  }

  void readExternal(nQoORB100::iExternalInputStream& in, int& status) {
    checkStatus(status);
    if (status < 0) return;
    std::apply([&](auto... member) { (readField(in, this->*member, status), ...); },
               Fields::kStreamOrder);
    checkStatus(status);
  }

  void writeExternal(nQoORB100::iExternalOutputStream& out, int& status) const {
    checkStatus(status);
    if (status < 0) return;
    std::apply([&](auto... member) { (writeField(out, this->*member, status), ...); },
               Fields::kStreamOrder);
  }

 private:
  template <class T>
  static bool failedString(const T& field) {
    if constexpr (std::is_same_v<T, tString>)
      return field.allocationFailed();
    else
      return false;
  }
  bool stringFailed() const {
    return std::apply([&](auto... member) { return (failedString(this->*member) || ...); },
                      Fields::kStreamOrder);
  }
};

}  // namespace nQoUdR100
