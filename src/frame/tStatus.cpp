#include "frame/tStatus.h"

#include "mdbg/tStatus2.h"

namespace nQoAPALS100 {

namespace {

constexpr unsigned kPathKeep = 49;

unsigned textLength(const char* text) {
  unsigned n = 0;
  if (text != nullptr)
    while (text[n] != '\0') ++n;
  return n;
}

// Copies up to size bytes of the text, zero-fills the rest, forces the last
// byte to NUL.
void copyField(char* field, unsigned size, const char* text) {
  unsigned i = 0;
  if (text != nullptr)
    for (; i < size && text[i] != '\0'; ++i) field[i] = text[i];
  for (; i < size; ++i) field[i] = '\0';
  field[size - 1] = '\0';
}

void copyPath(char* field, const char* path) {
  const unsigned length = textLength(path);
  if (length <= tStatusExtended::kFileSize - 1) {
    copyField(field, tStatusExtended::kFileSize, path);
    return;
  }
  unsigned at = 0;
  for (unsigned i = 0; i < kPathKeep; ++i) field[at++] = path[i];
  field[at++] = '.';
  field[at++] = '.';
  for (unsigned i = length - kPathKeep; i < length; ++i) field[at++] = path[i];
  while (at < tStatusExtended::kFileSize) field[at++] = '\0';
}

}  // namespace

bool setStatusWithLocation(tStatus& status, int64_t code, const char* component, const char* file,
                           uint64_t line) {
  if (!nQoMDBG100::takesCode(status.code, code)) return false;
  status.code = code;
  if (!status.isExtended()) return true;
  tStatusExtended& extended = static_cast<tStatusExtended&>(status);
  copyField(extended.component, tStatusExtended::kComponentSize, component);
  copyPath(extended.file, file);
  extended.line = line;
  extended.stackTrace[0] = 0;
  return true;
}

bool mergeStatusWithLocation(tStatus& status, const tStatus& other) {
  const tStatusExtended* source =
      other.isExtended() ? static_cast<const tStatusExtended*>(&other) : nullptr;
  if (!setStatusWithLocation(status, other.code, source ? source->component : "",
                             source ? source->file : "", source ? source->line : 0))
    return false;
  if (source != nullptr && status.isExtended()) {
    tStatusExtended& target = static_cast<tStatusExtended&>(status);
    for (unsigned i = 0; i < tStatusExtended::kStackTraceWords; ++i) {
      target.stackTrace[i] = source->stackTrace[i];
      if (source->stackTrace[i] == 0) break;
    }
  }
  return true;
}

}  // namespace nQoAPALS100
