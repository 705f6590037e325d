// Names a whole device by its GUID.
#pragma once

#include "mrl/iResourceIdentifier.h"
#include "orb/tGUID.h"

namespace nQoMRL100 {

class tGUIDIdentifier : public iResourceIdentifier {
 public:
  static void* ___classID;
  explicit tGUIDIdentifier(const nQoORB100::tGUID& guid) : _guid(guid) {}
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  uint64_t hash() const override;
  bool isEqual(const iResourceIdentifier& other) const override;
  const nQoORB100::tGUID& getGUID() const { return _guid; }

 private:
  nQoORB100::tGUID _guid;
};

}  // namespace nQoMRL100
