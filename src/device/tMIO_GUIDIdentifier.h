// Names a whole device by its GUID: equal to any general identifier of the
// device (whatever primitive it names) and to a GUID identifier of it. The
// driver registers its load-failure pool under it, so that every reservation
// of the device meets the stored failure.
//
//   tMIO_GUIDIdentifier device;
//   device.setGUID(guid);
//   broker->registerPool(&device, &loadFailurePool, status);
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mrl/iResourceIdentifier.h"
#include "orb/iCloneable.h"
#include "orb/iExternalizable.h"
#include "orb/tGUID.h"

namespace nQoUdR100 {

class tMIO_GUIDIdentifier : public nQoMRL100::iResourceIdentifier,
                            public nQoORB100::iCloneable,
                            public nQoORB100::iExternalizable,
                            public tModuleObject {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tMIO_GUIDIdentifier";
  static void* ___classID;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tClass getClass(int& status) const override;

  // A new instance of the class with the same GUID; null with kCastFailed
  // when none can be made.
  nQoORB100::tObject* clone(int& status) const override;
  // The exclusive or of the GUID's four 32-bit words.
  uint64_t hash() const override;
  // The same device: a general identifier's device GUID, or the GUID of a
  // GUID identifier or of another identifier of this class.
  bool isEqual(const nQoMRL100::iResourceIdentifier& other) const override;
  // A u32 count of extra fields (0), then the GUID. Nothing when the status
  // holds an error.
  void writeExternal(nQoORB100::iExternalOutputStream& stream, int& status) const override;
  // The count, that many u32 reads whose values are dropped, then the GUID;
  // the first failed read ends it and leaves the GUID as it was.
  void readExternal(nQoORB100::iExternalInputStream& stream, int& status) override;

  const nQoORB100::tGUID& getGUID() const { return _guid; }
  void setGUID(const nQoORB100::tGUID& guid) { _guid = guid; }

 private:
  nQoORB100::tGUID _guid;
};

}  // namespace nQoUdR100
