#include "frame/version.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mdbg/tTrace.h"

namespace nQoUdR100 {

namespace {

constexpr char kLocation[] = "codegen/qoudr/version";

const char* const kVersionRecord[] = {
    "nQoVersion_CompanyName=Ud Series driver developers",
    "nQoVersion_LegalNotice=Copyright the Ud Series driver developers",
    "nQoVersion_ProductName=Ud Series kernel runtime",
    "nQoVersion_OriginalFilename=qoudrk.o",
    "nQoVersion_FileDescription=Ud Series data-acquisition board runtime",
    "nQoVersion_ProductVersion=21.8.0f238",
    "nQoVersion_FileVersion=21.8.0f238",
    "nQoVersion_InternalName=QoUdR 21.8.0f238",
    "nQoVersion_Comments=built " __DATE__ " " __TIME__ " qoudrk host-x86_64",
    nullptr,
};

int rangeCode(uint32_t newest, uint32_t oldest) {
  if (newest < oldest) return kInvertedRange;
  if (newest < kOldestCompatibleVersionWord) return kVersionTooOld;
  if (oldest > kCurrentVersionWord) return kVersionTooNew;
  return 0;
}

void traceFailure(const tSSVersion& newest, const tSSVersion& oldest, int status,
                  const char* component) {
  char newestText[tSSVersion::kTextSize], oldestText[tSSVersion::kTextSize];
  char currentText[tSSVersion::kTextSize], compatibleText[tSSVersion::kTextSize];
  newest.toString(newestText);
  oldest.toString(oldestText);
  tSSVersion(kCurrentVersionWord).toString(currentText);
  tSSVersion(kOldestCompatibleVersionWord).toString(compatibleText);

  const unsigned line = component == nullptr ? 105 : 117;
  if (!nQoMDBG100::evalCheck("warning", kComponent, 0, line, kLocation)) return;
  nQoMDBG100::reportCheckFailure(kComponent, kLocation, line, "CHECK(palStatusIsNonfatal(status))");
  nQoMDBG100::finishCheckFailure();
  nQoMDBG100::tTraceLine* trace = nQoMDBG100::tTrace::beginLine(
      nQoMDBG100::tTrace::getInstance(nullptr), kComponent, kLocation, line);
  if (component == nullptr)
    nQoMDBG100::tTrace::putf(trace,
                             "version check failed with status = %d. The calling component desires "
                             "the range %s - %s however the installed range is %s - %s",
                             status, oldestText, newestText, compatibleText, currentText);
  else
    nQoMDBG100::tTrace::putf(trace,
                             "version check failed with status = %d. Component '%s' desires the "
                             "range %s - %s however the installed range is %s - %s",
                             status, component, oldestText, newestText, compatibleText,
                             currentText);
  nQoMDBG100::tTrace::endl(trace);
}

}  // namespace

tSSVersion& getCurrentVersion(tSSVersion& out) {
  out.setWord(kCurrentVersionWord);
  return out;
}

tSSVersion& getOldestCompatibleVersion(tSSVersion& out) {
  out.setWord(kOldestCompatibleVersionWord);
  return out;
}

void compareVersion(const tSSVersion& newest, const tSSVersion& oldest, int& status,
                    const char* component) {
  if (status < 0) return;
  const int code = rangeCode(newest.word(), oldest.word());
  mergeCode(status, code);
  if (code == 0) return;
  traceFailure(newest, oldest, status, component);
}

const char* const* getVersionRecord() { return kVersionRecord; }

}  // namespace nQoUdR100
