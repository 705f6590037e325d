#include "frame/tStatus.h"

#include <cstring>

namespace nQoAPALS100 {

namespace {

constexpr unsigned kPathKeep = 49;

// Copies length bytes of the text and NUL-fills the rest of the field.
void fillField(char* field, size_t size, const char* text, size_t length) {
  if (length != 0) std::memcpy(field, text, length);
  std::memset(field + length, 0, size - length);
}

void copyPath(char* field, const char* path) {
  const size_t length = path == nullptr ? 0 : std::strlen(path);
  if (length <= tStatusExtended::kFileSize - 1) {
    fillField(field, tStatusExtended::kFileSize, path, length);
    return;
  }
  std::memcpy(field, path, kPathKeep);
  field[kPathKeep] = '.';
  field[kPathKeep + 1] = '.';
  std::memcpy(field + kPathKeep + 2, path + length - kPathKeep, kPathKeep);
  field[2 * kPathKeep + 2] = '\0';
}

}  // namespace

void storeCodeWithLocation(tStatus& status, int64_t code, const char* component, const char* file,
                           uint64_t line) {
  status.code = code;
  if (!status.isExtended()) return;
  tStatusExtended& extended = static_cast<tStatusExtended&>(status);
  // The component keeps at most its first 9 characters.
  fillField(extended.component, tStatusExtended::kComponentSize, component,
            component == nullptr ? 0 : strnlen(component, tStatusExtended::kComponentSize - 1));
  copyPath(extended.file, file);
  extended.line = line;
  extended.stackTrace[0] = 0;
}

void storeMergedStatus(tStatus& status, const tStatus& other) {
  const tStatusExtended* source =
      other.isExtended() ? static_cast<const tStatusExtended*>(&other) : nullptr;
  storeCodeWithLocation(status, other.code, source ? source->component : "",
                        source ? source->file : "", source ? source->line : 0);
  if (source != nullptr && status.isExtended()) {
    tStatusExtended& target = static_cast<tStatusExtended&>(status);
    for (unsigned i = 0; i < tStatusExtended::kStackTraceWords; ++i) {
      target.stackTrace[i] = source->stackTrace[i];
      if (source->stackTrace[i] == 0) break;
    }
  }
}

}  // namespace nQoAPALS100
