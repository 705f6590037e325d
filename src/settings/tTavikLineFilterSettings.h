// What a task asks of the board's line filters: the line-filter resource and
// a list of per-line requests, kept as read whatever their group and line
// (the line filter supervisor turns them into a tTavikLineFilterIdentifier).
// The base part streams, and is assigned, first; then the identifier, the
// entry count and each entry as lineGroup, line, filterSetting.
//
//   tTavikLineFilterSettings settings;
//   settings.supervisorRecord().lineEntries.append({.lineGroup = 0, .line = 15});
//   copyFrom(held, &settings, status);   // what the supervisor does on deploy
#pragma once

#include <tuple>

#include "mdbg/tStatus2.h"
#include "mrl/iPrimitiveSettings.h"
#include "mrl/tGeneralIdentifier.h"
#include "settings/tFieldRecord.h"
#include "settings/tLineFilterEntryList.h"
#include "settings/tSettings.h"

namespace nQoUdR100 {

struct tTavikLineFilterSettingsFields {
  nQoMRL100::tGeneralIdentifier identifier;
  tLineFilterEntryList lineEntries;
  static constexpr auto kStreamOrder = std::tuple(&tTavikLineFilterSettingsFields::identifier,
                                                  &tTavikLineFilterSettingsFields::lineEntries);
};

struct tTavikLineFilterSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tTavikLineFilterSettings";
  using tRecords = std::tuple<tFieldRecord<tTavikLineFilterSettingsFields>>;
  static constexpr bool kBaseFirst = true;
};

using tTavikLineFilterSettings = tSettings<tTavikLineFilterSettingsRow>;

// Makes settings hold the identifier and the entries of source; the base part
// stays. Nothing when the status holds an error or source is settings itself;
// -89000 and no change when source is null or of another class; -50352 when
// the identifier's name or an entry could not be allocated, now or before.
void copyFrom(tTavikLineFilterSettings& settings, const nQoMRL100::iPrimitiveSettings* source,
              nQoMDBG100::tStatus2& status);

}  // namespace nQoUdR100
