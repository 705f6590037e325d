// Settings streams and parameter blocks from outside. The first byte picks
// the allocation to fail (0: none), the second how many parameter-block reads
// to make, the rest is the stream. Every registered settings class (a name
// ending in "Settings"; besides the module's own, a flat class with every
// field width and an identifier registered here) is created by name, reads
// the input, writes, a second instance reads that back and writes again:
// when the first read succeeded both writes are byte-equal. Failures end in
// codes (end of stream, out of memory, a failed cast), never in a leak. The
// same bytes as an in block go through checkNotNull, reads and
// mergeValidationStatus, which may only give 0, -50004 or -50150.
// The supervisors' settings classes are named here: each must be registered,
// and each also reads its own default stream with the input laid over it, so
// that most reads succeed and the byte-equal check bites; counts in it are
// hostile.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <array>
#include <tuple>

#include "frame/moduleEntry.h"
#include "frame/tClassRegistration.h"
#include "mrl/tGeneralIdentifier.h"
#include "orb/iCloneableExternalizable.h"
#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"
#include "orb/tClassImplementation.h"
#include "settings/tFieldRecord.h"
#include "settings/tParameterBlockValidateHelper.h"
#include "settings/tSettings.h"
#include "sim/simAllocator.h"
#include "sim/simParameterBlock.h"
#include "sim/simStatusLog.h"
#include "support/tFreshSimulation.h"

namespace {

struct tEveryWidthFields {
  uint32_t count = 7;
  int32_t offset = -1;
  uint16_t mode = 2;
  int16_t trim = -3;
  uint64_t stamp = 0;
  nQoORB100::tNarrowString label;
  std::array<uint32_t, 3> words{};
  nQoMRL100::tGeneralIdentifier identifier;
  static constexpr auto kStreamOrder =
      std::tuple(&tEveryWidthFields::count, &tEveryWidthFields::offset, &tEveryWidthFields::mode,
                 &tEveryWidthFields::trim, &tEveryWidthFields::stamp, &tEveryWidthFields::label,
                 &tEveryWidthFields::words, &tEveryWidthFields::identifier);
};

struct tEveryWidthSettingsRow {
  static constexpr const char* kClassName = "nQoUdR100::tFuzzEveryWidthSettings";
  using tRecords = std::tuple<nQoUdR100::tFieldRecord<tEveryWidthFields>>;
  static constexpr nQoUdR100::tStatusSite kBracket{"tFuzzEveryWidthSettings", 1};
};
using tEveryWidthSettings = nQoUdR100::tSettings<tEveryWidthSettingsRow>;

constexpr const char* kNamedClasses[] = {
    "nQoUdR100::tAISubsystemSettings",
    "nQoUdR100::tAITimingControllerSettings",
    "nQoUdR100::tAIScanningFrontEndSettings",
    "nQoUdR100::tAI_ADCSettings",
    "nQoUdR100::tAI_DMATransferSettings",
    "nQoUdR100::tAIDeviceFIFOSettings",
    "nQoUdR100::tAIInterruptTransferSettings",
    "nQoUdR100::tAIImmediateTransferSettings",
    "nQoUdR100::tAI_WFNSCSettings",
    "nQoUdR100::tAnalogTriggerSettings",
    "nQoUdR100::tTEDSSettings",
    "nQoUdR100::tAO_DACSettings",
    "nQoUdR100::tAOGroundRefSettings",
    "nQoUdR100::tAOTimingControllerSettings",
    "nQoUdR100::tOutputTimingControllerSettings",
    "nQoUdR100::tAO_FIFOSettings",
    "nQoUdR100::tAO_DACTransferSettings",
};

void check(bool condition) {
  if (!condition) std::abort();
}

bool allowedStreamCode(int code) {
  return code >= 0 || code == nQoORB100::kEndOfStream || code == -50352 || code == -89000;
}

bool isSettingsClass(const char* name) {
  const std::size_t length = std::strlen(name);
  return length >= 8 && std::strcmp(name + length - 8, "Settings") == 0;
}

nQoORB100::iCloneableExternalizable* create(const char* name, int& status) {
  nQoORB100::tObject* object = nQoORB100::tClassRegistry::createByName(name, status);
  if (object == nullptr) return nullptr;
  auto* settings = static_cast<nQoORB100::iCloneableExternalizable*>(
      object->___CPPKRLDynamicCast(&nQoORB100::iCloneableExternalizable::___classID));
  check(settings != nullptr);
  return settings;
}

void destroy(nQoORB100::iCloneableExternalizable* settings) {
  if (settings == nullptr) return;
  int status = 0;
  settings->getClass(status).deleteInstance(settings, status);
}

void roundTrip(const char* name, const uint8_t* bytes, size_t size) {
  int status = 0;
  nQoORB100::iCloneableExternalizable* first = create(name, status);
  nQoORB100::iCloneableExternalizable* second = create(name, status);
  if (first != nullptr && second != nullptr) {
    nQoORB100::tByteInputStream in(bytes, size);
    first->readExternal(in, status);
    const bool readWell = status >= 0;
    nQoORB100::tByteOutputStream once, twice;
    first->writeExternal(once, status);
    nQoORB100::tByteInputStream back(once.bytes().data(), once.bytes().size());
    second->readExternal(back, status);
    second->writeExternal(twice, status);
    if (readWell && status >= 0) check(once.bytes() == twice.bytes());
  }
  check(allowedStreamCode(status));
  destroy(first);
  destroy(second);
}

// The registered settings classes, listed once after load (the registry does
// not change afterwards).
std::vector<const char*>& settingsClasses() {
  static std::vector<const char*> names;
  return names;
}

bool registered(const char* name) {
  for (std::size_t i = 0; i < nQoORB100::tClassRegistry::count(); ++i)
    if (std::strcmp(nQoORB100::tClassRegistry::nameAt(i), name) == 0) return true;
  return false;
}

// The class's default stream with the input laid over it from its start.
std::vector<uint8_t> overlaid(const char* name, const uint8_t* bytes, size_t size) {
  int status = 0;
  nQoORB100::iCloneableExternalizable* settings = create(name, status);
  check(settings != nullptr);
  nQoORB100::tByteOutputStream out;
  settings->writeExternal(out, status);
  destroy(settings);
  std::vector<uint8_t> stream = out.bytes();
  for (size_t i = 0; i < size && i < stream.size(); ++i) stream[i] ^= bytes[i];
  return stream;
}

void readBlock(const uint8_t* bytes, size_t size, uint8_t reads) {
  nQoSim::tByteParameterBlock block(std::vector<uint8_t>(bytes, bytes + size));
  nQoMDBG100::tStatus2 status;
  nQoUdR100::tParameterBlockValidateHelper::checkNotNull(reads % 7 == 0 ? nullptr : &block, status);
  for (uint8_t i = 0; i < reads && status.isNotFatal(); ++i) {
    nQoMDBG100::tStatus2 local;
    switch ((bytes[i % size] + i) % 3) {
      case 0: block.readU16(local.code); break;
      case 1: block.readI32(local.code); break;
      default: block.readU32(local.code); break;
    }
    nQoUdR100::tParameterBlockValidateHelper::mergeValidationStatus(local, status);
  }
  check(status.code == 0 || status.code == -50004 || status.code == -50150);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static const bool loaded = [] {
    nQoSim::setStatusLogging(false);
    if (moduleMessageEntry(0) != 0 ||
        nQoUdR100::tClassRegistration<tEveryWidthSettings>::construct() != 0)
      return false;
    for (const char* name : kNamedClasses)
      if (!registered(name)) return false;
    for (std::size_t i = 0; i < nQoORB100::tClassRegistry::count(); ++i)
      if (isSettingsClass(nQoORB100::tClassRegistry::nameAt(i)))
        settingsClasses().push_back(nQoORB100::tClassRegistry::nameAt(i));
    return true;
  }();
  check(loaded);
  if (size < 2) return 0;
  const int64_t liveBefore = nQoSim::liveAllocations();
  for (const char* name : settingsClasses()) {
    nQoSim::failAllocation(data[0]);
    roundTrip(name, data + 2, size - 2);
    nQoSim::failAllocation(0);
  }
  for (const char* name : kNamedClasses) {
    const std::vector<uint8_t> stream = overlaid(name, data + 2, size - 2);
    nQoSim::failAllocation(data[0]);
    roundTrip(name, stream.data(), stream.size());
    nQoSim::failAllocation(0);
  }
  check(nQoSim::liveAllocations() == liveBefore);
  readBlock(data + 1, size - 1, data[1]);
  return 0;
}
