// Settings classes of the tests, one row each: a flat class with every field
// width and a bracket site, and a record-based class whose primitive-level
// record can report a failed allocation.
#pragma once

#include <cstdint>
#include <tuple>

#include "frame/tStatusSite.h"
#include "mrl/tGeneralIdentifier.h"
#include "settings/tFieldRecord.h"
#include "settings/tSettings.h"

namespace nQoTest {

struct tProbeFields {
  uint32_t count = 7;
  int32_t offset = -1;
  uint16_t mode = 2;
  int16_t trim = -3;
  uint64_t stamp = 0x1122334455667788ull;
  nQoORB100::tNarrowString label;
  nQoMRL100::tGeneralIdentifier identifier;
  static constexpr auto kStreamOrder = std::tuple(
      &tProbeFields::count, &tProbeFields::offset, &tProbeFields::mode, &tProbeFields::trim,
      &tProbeFields::stamp, &tProbeFields::label, &tProbeFields::identifier);
};

struct tProbeSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tProbeSettings";
  using tRecords = std::tuple<nQoUdR100::tFieldRecord<tProbeFields>>;
  static constexpr nQoUdR100::tStatusSite kBracket{"tProbeSettings", 120};
};
using tProbeSettings = nQoUdR100::tSettings<tProbeSettingsRow>;

// A configuration record that holds a vector: a failed growth is reported
// as -50352 by its checks.
struct tProbePrimitiveRecord {
  uint32_t word = 5;
  bool allocationFailed = false;

  void checkStatus(int& status) const {
    if (allocationFailed) nQoUdR100::mergeCode(status, -50352);
  }
  void checkStatus(nQoMDBG100::tStatus2& status) const { checkStatus(status.code); }
  void readExternal(nQoORB100::iExternalInputStream& in, int& status) {
    checkStatus(status);
    if (status < 0) return;
    word = in.readU32(status);
    checkStatus(status);
  }
  void writeExternal(nQoORB100::iExternalOutputStream& out, int& status) const {
    checkStatus(status);
    if (status >= 0) out.writeU32(word, status);
  }
};

// The supervisor-level record: the identifier, the events to register (bit
// 0 done, bit 1 error) and the map keys of the DMA channel and partner.
struct tProbeSupervisorFields {
  nQoMRL100::tGeneralIdentifier identifier;
  uint32_t flags = 0;
  uint32_t channelKey = 0xFFFFFFFF;
  uint32_t partnerKey = 0xFFFFFFFF;
  static constexpr auto kStreamOrder =
      std::tuple(&tProbeSupervisorFields::identifier, &tProbeSupervisorFields::flags,
                 &tProbeSupervisorFields::channelKey, &tProbeSupervisorFields::partnerKey);
};

struct tProbeRecordSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tProbeRecordSettings";
  using tRecords =
      std::tuple<tProbePrimitiveRecord, nQoUdR100::tFieldRecord<tProbeSupervisorFields>>;
};
using tProbeRecordSettings = nQoUdR100::tSettings<tProbeRecordSettingsRow>;

}  // namespace nQoTest
