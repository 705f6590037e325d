// The frame of every settings class: a cloneable, streamable value object on
// the platform's settings base (tSettingsClass: casts, class and clone),
// created by class name. A class is one row:
//
//   struct tEmptySettingsRow {
//     static constexpr const char* kClassName = "nQoUdR100::tEmptySettings";
//     using tRecords = std::tuple<tEmptyRuntimeData>;
//   };
//   using tEmptySettings = tSettings<tEmptySettingsRow>;
//   // in the constructor list: tClassRegistration<tEmptySettings>::construct
//
// The records, in stream order, give the class its shape:
// - empty: one tEmptyRuntimeData;
// - flat: one tFieldRecord of the own fields and the identifier (last unless
//   the class streams it elsewhere);
// - record-based: the primitive-level configuration record, then the
//   supervisor-level record, which holds the identifier.
// Every stream operation checks every record, then streams each record, then
// the base part (a row with kBaseFirst = true streams and assigns the base
// part first). A row with a kBracket site (a tStatusSite), or with the pair
// kReadBracket and kWriteBracket, streams on a local status that starts with
// the caller's warning set at that site.
#pragma once

#include <cstddef>
#include <tuple>

#include "frame/tStatusSite.h"
#include "settings/copyCheck.h"
#include "settings/tSettingsClass.h"
#include "settings/withLocalStatus.h"

namespace nQoUdR100 {

template <class Row>
class tSettings final : public tSettingsClass<tSettings<Row>> {
 public:
  static constexpr const char* kClassName = Row::kClassName;
  static inline void* ___classID = nullptr;
  using tRecords = typename Row::tRecords;
  static constexpr std::size_t kRecordCount = std::tuple_size_v<tRecords>;
  static constexpr bool kBaseFirst = [] {
    if constexpr (requires { Row::kBaseFirst; })
      return Row::kBaseFirst;
    else
      return false;
  }();

  tSettings() = default;
  tSettings(const tSettings& other) : tSettings() { *this = other; }
  // The records, then the base part (or the other way round).
  tSettings& operator=(const tSettings& other) {
    if (this == &other) return *this;
    if constexpr (kBaseFirst) nQoMRL100::tPrimitiveSettings::operator=(other);
    _records = other._records;
    if constexpr (!kBaseFirst) nQoMRL100::tPrimitiveSettings::operator=(other);
    return *this;
  }
  ~tSettings() override = default;

  // Before a clone: every record's check, so that no instance is made of a
  // failed one.
  void checkBeforeClone(int& status) const { checkRecords(status); }

  // Whether a record lost an allocation (copyCheck.h).
  bool lostAllocation() const {
    return std::apply(
        [](const auto&... record) { return (nQoUdR100::lostAllocation(record) || ...); }, _records);
  }

  void readExternal(nQoORB100::iExternalInputStream& in, int& status) override {
    stream(status, bracket(true), [&](int& code) {
      if constexpr (kBaseFirst) nQoMRL100::tPrimitiveSettings::readExternal(in, code);
      forEachRecord([&](auto& record) { record.readExternal(in, code); });
      if constexpr (!kBaseFirst) nQoMRL100::tPrimitiveSettings::readExternal(in, code);
    });
  }

  void writeExternal(nQoORB100::iExternalOutputStream& out, int& status) const override {
    stream(status, bracket(false), [&](int& code) {
      if constexpr (kBaseFirst) nQoMRL100::tPrimitiveSettings::writeExternal(out, code);
      forEachRecord([&](const auto& record) { record.writeExternal(out, code); });
      if constexpr (!kBaseFirst) nQoMRL100::tPrimitiveSettings::writeExternal(out, code);
    });
  }

  template <std::size_t I>
  auto& record() {
    return std::get<I>(_records);
  }
  template <std::size_t I>
  const auto& record() const {
    return std::get<I>(_records);
  }
  // The record that holds the resource identifier: the last one.
  auto& supervisorRecord() { return record<kRecordCount - 1>(); }
  const auto& supervisorRecord() const { return record<kRecordCount - 1>(); }

 private:
  // Calls step on each record in stream order.
  template <class Step>
  void forEachRecord(Step step) {
    std::apply([&](auto&... record) { (step(record), ...); }, _records);
  }
  template <class Step>
  void forEachRecord(Step step) const {
    std::apply([&](const auto&... record) { (step(record), ...); }, _records);
  }

  void checkRecords(int& status) const {
    forEachRecord([&](const auto& record) { record.checkStatus(status); });
  }

  // The row's bracket site for reading or for writing; null without one.
  static constexpr const tStatusSite* bracket(bool reading) {
    if constexpr (requires { Row::kBracket; })
      return &Row::kBracket;
    else if constexpr (requires { Row::kReadBracket; })
      return reading ? &Row::kReadBracket : &Row::kWriteBracket;
    else
      return nullptr;
  }

  // Nothing when the status holds an error; otherwise the records' checks,
  // and when they pass, body on the caller's code or in the bracket.
  template <class Body>
  void stream(int& status, const tStatusSite* site, Body body) const {
    if (status < 0) return;
    auto checked = [&](int& code) {
      checkRecords(code);
      if (code >= 0) body(code);
    };
    if (site != nullptr)
      withLocalStatus(status, *site, checked);
    else
      checked(status);
  }

  tRecords _records;
};

}  // namespace nQoUdR100
