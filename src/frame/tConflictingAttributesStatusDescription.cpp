#include "frame/tConflictingAttributesStatusDescription.h"

#include <type_traits>

#include "frame/statusCodes.h"
#include "frame/tIntrinsicTypeReportable.h"
#include "mdbg/tEnumPropertyReportable.h"
#include "mdbg/tPropertyIDReportable.h"

namespace nQoUdR100::nQoKABBO_1_0 {

namespace {

constexpr uint32_t kAttributeProperty = 43;
constexpr uint32_t kValueProperty = 25;

void addAttributeID(tConflictingAttributesStatusDescription& description, uint32_t attributeID) {
  description.addProperty(kAttributeProperty, nQoMDBG100::tPropertyIDReportable(attributeID),
                          description.getStatus());
}

template <class T>
void addAttribute(tConflictingAttributesStatusDescription& description, uint32_t attributeID,
                  const T& value) {
  nQoMDBG100::tStatus2& status = description.getStatus();
  addAttributeID(description, attributeID);
  nQoMDBG100::tIntrinsicTypeReportable<T> reportable;
  if (!reportable.values().append(value)) {
    setCode(status, kOutOfMemory, {nQoMDBG100::kReportableFile, 71});
  } else if constexpr (std::is_same_v<T, tWString>) {
    if (reportable.values()[0].allocationFailed())
      setCode(status, kOutOfMemory, {nQoMDBG100::kReportableFile, 319});
  }
  description.addProperty(kValueProperty, reportable, status);
}

}  // namespace

void tConflictingAttributesStatusDescription::reset() {
  _status.clear();
  tStatus2Description::reset(_status);
}

void addConflictingAttribute(tConflictingAttributesStatusDescription& description,
                             uint32_t attributeID, uint32_t value) {
  addAttribute(description, attributeID, value);
}

void addConflictingAttribute(tConflictingAttributesStatusDescription& description,
                             uint32_t attributeID, uint64_t value) {
  addAttribute(description, attributeID, value);
}

void addConflictingAttribute(tConflictingAttributesStatusDescription& description,
                             uint32_t attributeID, const tWString& value) {
  addAttribute(description, attributeID, value);
}

void addConflictingAttribute(tConflictingAttributesStatusDescription& description,
                             uint32_t attributeID, tEnumeratedAttributeValue value) {
  addAttributeID(description, attributeID);
  const nQoMDBG100::tEnumPropertyReportable reportable(attributeID, static_cast<int32_t>(value),
                                                       description.getStatus());
  description.addProperty(kValueProperty, reportable, description.getStatus());
}

}  // namespace nQoUdR100::nQoKABBO_1_0
