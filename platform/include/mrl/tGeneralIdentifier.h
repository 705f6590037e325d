// Names one resource of a device: the device GUID, a primitive-type name and
// an index. A sub-identifier (not owned) may carry the request's details; the
// broker hands it to the pool in place of the general identifier.
//
//   nQoMRL100::tGeneralIdentifier id;
//   id.setDeviceGUID(guid);
//   id.setString("AI_ADC", status);   // -50352 when the name cannot be stored
//   id.setIndex(0);
#pragma once

#include <cstddef>
#include <cstdint>

#include "mdbg/tStatus2.h"
#include "mrl/iResourceIdentifier.h"
#include "orb/iExternalInputStream.h"
#include "orb/iExternalOutputStream.h"
#include "orb/tGUID.h"
#include "orb/tNarrowString.h"

namespace nQoMRL100 {

class tGeneralIdentifier : public iResourceIdentifier {
 public:
  static void* ___classID;
  tGeneralIdentifier() = default;
  ~tGeneralIdentifier() override;
  // A copy is an object of its own: the bases start fresh, the fields are copied.
  // NOLINTNEXTLINE(bugprone-copy-constructor-init): the bases hold object identity, not fields.
  tGeneralIdentifier(const tGeneralIdentifier& other) : tObject(), iResourceIdentifier() {
    *this = other;
  }
  // Copies device, name, index and sub-identifier; a name that cannot be
  // allocated keeps the old one and sets the sticky flag (-50352 at the next
  // setString or read). The name's flag is the source's unless the copy
  // fails, so only a copy of a sound identifier clears it.
  tGeneralIdentifier& operator=(const tGeneralIdentifier& other);
  // Device, name and index, as isEqual.
  bool operator==(const tGeneralIdentifier& other) const { return isEqual(other); }

  // The device GUID (through tGUID's stream), the name (a string) and the
  // index (u32). Nothing when the status holds an error; a read that fails
  // leaves the identifier as it was.
  void readExternal(nQoORB100::iExternalInputStream& stream, int& status);
  void writeExternal(nQoORB100::iExternalOutputStream& stream, int& status) const;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  // Device, name and index; the sub-identifier takes no part.
  uint64_t hash() const override;
  bool isEqual(const iResourceIdentifier& other) const override;

  // Nothing when the status holds an error. Copies the text into the name
  // (nothing to copy when it is the name itself); afterwards a failed
  // allocation of the name, now or before, gives -50352.
  void setString(const char* text, nQoMDBG100::tStatus2& status) {
    if (status.isFatal()) return;
    if (text != _name.c_str()) assignName(text);
    if (_name.allocationFailed()) status.setCode(-50352, "qoudrk", "qomrl/tStringIdentifier", 129);
  }
  const char* getString() const { return _name.c_str(); }
  // Whether a name could not be stored, now or before (the sticky flag).
  bool allocationFailed() const { return _name.allocationFailed(); }

  void setDeviceGUID(const nQoORB100::tGUID& guid) { _deviceGUID = guid; }
  const nQoORB100::tGUID& getDeviceGUID() const { return _deviceGUID; }
  void setIndex(uint32_t index) { _index = index; }
  uint32_t getIndex() const { return _index; }
  void setSubIdentifier(const iResourceIdentifier* sub) { _subIdentifier = sub; }
  const iResourceIdentifier* getSubIdentifier() const { return _subIdentifier; }

 private:
  // Copies text into the name; a failed allocation keeps the old name and
  // sets the sticky flag.
  void assignName(const char* text);

  nQoORB100::tGUID _deviceGUID;
  nQoORB100::tNarrowString _name;
  uint32_t _index = 0;
  const iResourceIdentifier* _subIdentifier = nullptr;
};

}  // namespace nQoMRL100
