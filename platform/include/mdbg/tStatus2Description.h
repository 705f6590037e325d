// The platform's property-list status description: a reference count and a
// copy of each property's reportable by id.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>

#include "mdbg/iStatus2Description.h"
#include "mdbg/iVariantReportable.h"
#include "mdbg/tStatus2.h"

namespace nQoMDBG100 {

class tStatus2Description : public iStatus2Description {
 public:
  tStatus2Description() = default;
  explicit tStatus2Description(int& status);
  ~tStatus2Description() override;
  tStatus2Description(const tStatus2Description&) = delete;
  tStatus2Description& operator=(const tStatus2Description&) = delete;

  void retain() override;
  void release() override;
  int references() const { return _references.load(); }

  // Stores a copy of the reportable under the id, replacing one stored
  // before. A copy that cannot be made leaves the property out and sets
  // -50352 (or the copy's own code) on the status by the merge rule.
  void addProperty(uint32_t id, const iVariantReportable& reportable, tStatus2& status);
  // Drops every property; nothing when the status holds an error.
  void reset(tStatus2& status);
  // Read-back: the stored copy, or null.
  const iVariantReportable* getProperty(uint32_t id) const;
  std::size_t propertyCount() const { return _properties.size(); }

 private:
  std::atomic<int> _references{1};
  std::map<uint32_t, iVariantReportable*> _properties;
};

}  // namespace nQoMDBG100
