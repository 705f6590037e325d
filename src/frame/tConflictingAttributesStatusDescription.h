// A property-list status description that names conflicting attributes and
// their values: each attribute adds its id (property 43) and its value
// (property 25). Failures while filling it go into its own status:
//
//   auto* description = new tConflictingAttributesStatusDescription;
//   addConflictingAttribute(*description, attributeID, value);
//   if (!description->isStatusOK()) ...
#pragma once

#include <cstdint>

#include "frame/tBasicString.h"
#include "mdbg/tStatus2.h"
#include "mdbg/tStatus2Description.h"

namespace nQoUdR100::nQoKABBO_1_0 {

// The 32-bit value of an enumerated attribute, kept apart from plain
// unsigned values.
enum class tEnumeratedAttributeValue : int32_t {};

class tConflictingAttributesStatusDescription : public nQoMDBG100::tStatus2Description {
 public:
  tConflictingAttributesStatusDescription() = default;

  // True while the own status holds no error.
  bool isStatusOK() const { return _status.isNotFatal(); }
  nQoMDBG100::tStatus2& getStatus() { return _status; }
  // Empties the own status, then drops every property.
  void reset();

 private:
  nQoMDBG100::tStatus2 _status;
};

void addConflictingAttribute(tConflictingAttributesStatusDescription& description,
                             uint32_t attributeID, uint32_t value);
void addConflictingAttribute(tConflictingAttributesStatusDescription& description,
                             uint32_t attributeID, uint64_t value);
void addConflictingAttribute(tConflictingAttributesStatusDescription& description,
                             uint32_t attributeID, const tWString& value);
// The value goes with its attribute id in one enum-property reportable.
void addConflictingAttribute(tConflictingAttributesStatusDescription& description,
                             uint32_t attributeID, tEnumeratedAttributeValue value);

}  // namespace nQoUdR100::nQoKABBO_1_0
