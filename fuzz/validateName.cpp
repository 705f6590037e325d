// Name validation over fuzzed names and kinds, narrow (UTF-8) and into the
// system status: the code is one of the validation codes, the bad position
// lies in the name or is all ones, and a name failure carries a description.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "frame/moduleEntry.h"
#include "frame/nParseUtilities.h"
#include "mdbg/tStatus2Description.h"
#include "support/tFreshSimulation.h"

namespace {

using namespace nQoUdR100;
using namespace nQoUdR100::nQoKABBO_1_0::nParseUtilities;

bool isValidationCode(int64_t code) {
  switch (code) {
    case 0:
    case -200467:
    case -200552:
    case -200553:
    case -200554:
    case -200555:
    case -201337: return true;
    default: return false;
  }
}

// Loaded once: descriptions copy their properties through the class registry.
const int kLoaded = moduleMessageEntry(0);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  if (kLoaded != 0) std::abort();
  uint32_t kind = 0;
  if (size >= 1) {
    kind = data[0] < 0xF0 ? data[0] % 7 : data[0];
    ++data;
    --size;
  }
  const tString narrow(reinterpret_cast<const char*>(data), size);
  nQoAPALS100::tStatus status;
  uint64_t position = 0;
  validateName(narrow, &kind, status, &position);
  if (!isValidationCode(status.code) && status.code != -200811) std::abort();
  if (position != ~uint64_t{0} && position >= size) std::abort();

  tWString wide;
  for (size_t i = 0; i + 4 <= size; i += 4) {
    int32_t element;
    std::memcpy(&element, data + i, 4);
    wide.append(static_cast<wchar_t>(element));
  }
  nQoMDBG100::tStatus2 system;
  validateName(wide, &kind, system, &position);
  if (!isValidationCode(system.code)) std::abort();
  if (position != ~uint64_t{0} && position >= wide.size()) std::abort();
  const bool nameFailure = system.code <= -200552 && system.code >= -200555;
  if (nameFailure != (system.description != nullptr)) std::abort();
  if (nameFailure &&
      static_cast<const nQoMDBG100::tStatus2Description*>(system.description)->getProperty(177) ==
          nullptr)
    std::abort();
  return 0;
}
