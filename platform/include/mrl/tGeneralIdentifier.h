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
#include "orb/tGUID.h"

namespace nQoMRL100 {

class tGeneralIdentifier : public iResourceIdentifier {
 public:
  static void* ___classID;
  tGeneralIdentifier() = default;
  ~tGeneralIdentifier() override;
  tGeneralIdentifier(const tGeneralIdentifier&) = delete;
  tGeneralIdentifier& operator=(const tGeneralIdentifier&) = delete;

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
    if (text != _name) assignName(text);
    if (_nameAllocationFailed) status.setCode(-50352, "qoudrk", "qomrl/tStringIdentifier", 129);
  }
  const char* getString() const { return _name != nullptr ? _name : ""; }

  void setDeviceGUID(const nQoORB100::tGUID& guid) { _deviceGUID = guid; }
  const nQoORB100::tGUID& getDeviceGUID() const { return _deviceGUID; }
  void setIndex(uint32_t index) { _index = index; }
  uint32_t getIndex() const { return _index; }
  void setSubIdentifier(const iResourceIdentifier* sub) { _subIdentifier = sub; }
  const iResourceIdentifier* getSubIdentifier() const { return _subIdentifier; }

 private:
  // Copies text into the name, growing it as needed; a failed allocation
  // keeps the old name and sets the sticky flag.
  void assignName(const char* text);

  nQoORB100::tGUID _deviceGUID;
  char* _name = nullptr;
  std::size_t _capacity = 0;
  bool _nameAllocationFailed = false;
  uint32_t _index = 0;
  const iResourceIdentifier* _subIdentifier = nullptr;
};

}  // namespace nQoMRL100
