#include "support/statusRecords.h"

#include "frame/tIntrinsicTypeReportable.h"
#include "mdbg/tGUIDReportable.h"
#include "mdbg/tStatus2Description.h"
#include "sim/simStatusLog.h"

namespace nQoTest {

::testing::AssertionResult loggedAt(int code, const std::string& file, unsigned line,
                                    const std::string& component) {
  auto failure = ::testing::AssertionFailure() << code << " not at " << file << ":" << line;
  for (const nQoSim::tStatusRecord& record : nQoSim::statusLog()) {
    if (record.code == code && record.file == file && record.line == line &&
        record.component == component)
      return ::testing::AssertionSuccess();
    failure << " {" << record.code << " " << record.file << ":" << record.line << "}";
  }
  return failure;
}

namespace {
template <class Reportable>
const Reportable* property(const nQoMDBG100::iStatus2Description* description, uint32_t id) {
  const auto* value =
      description == nullptr
          ? nullptr
          : static_cast<const nQoMDBG100::tStatus2Description*>(description)->getProperty(id);
  if (value == nullptr) return nullptr;
  return static_cast<const Reportable*>(value->___CPPKRLDynamicCast(&Reportable::___classID));
}
}  // namespace

std::optional<std::wstring> textProperty(const nQoMDBG100::iStatus2Description* description,
                                         uint32_t id) {
  const auto* text =
      property<nQoMDBG100::tIntrinsicTypeReportable<nQoUdR100::tWString>>(description, id);
  if (text == nullptr || text->values().size() != 1) return std::nullopt;
  const nQoUdR100::tWString& value = text->values()[0];
  return std::wstring(value.c_str(), value.size());
}

std::optional<nQoORB100::tGUID> guidProperty(const nQoMDBG100::iStatus2Description* description,
                                             uint32_t id) {
  const auto* guid = property<nQoMDBG100::tGUIDReportable>(description, id);
  return guid == nullptr ? std::nullopt : std::optional<nQoORB100::tGUID>(guid->getValue());
}

}  // namespace nQoTest
