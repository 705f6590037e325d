#include "frame/portablePrint.h"

#include <cstdarg>

#include "frame/debugLine.h"
#include "kal/nQoKAL.h"

namespace nQoUdR100 {

namespace {

// Printing piece by piece into what is left of a buffer.
class tBoundedWriter {
 public:
  tBoundedWriter(char* buffer, size_t size) : _buffer(buffer), _size(size) {}

  template <class... tArguments>
  void print(const char* format, tArguments... arguments) {
    const int written = boundedPrintf(_buffer + (hasRoom() ? _used : _size),
                                      hasRoom() ? _size - _used : 0, format, arguments...);
    if (written < 0)
      _failed = true;
    else
      _used += static_cast<size_t>(written);
  }

  bool hasRoom() const { return !_failed && _used < _size; }
  int result() const { return hasRoom() ? static_cast<int>(_used) : -1; }

 private:
  char* _buffer;
  size_t _size;
  size_t _used = 0;
  bool _failed = false;
};

}  // namespace

int boundedPrintf(char* buffer, size_t size, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int written = gDebugSettings.boundedPrint(buffer, size, format, arguments);
  va_end(arguments);
  return written;
}

int unboundedPrintf(char* buffer, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int written = nQoKAL100_vsprintf(buffer, format, arguments);
  va_end(arguments);
  return written;
}

int formatStatusContents(const nQoAPALS100::tStatus& status, char* buffer, size_t size) {
  tBoundedWriter writer(buffer, size);
  writer.print("\ntStatus contents:\n\tcode = %ld\n", static_cast<long>(status.code));
  if (status.code == 0 || !status.isExtended()) return writer.result();
  const auto& extended = static_cast<const nQoAPALS100::tStatusExtended&>(status);
  if (!writer.hasRoom()) return -1;
  // Bounded by the fields' sizes, so a field without its NUL is not overrun.
  writer.print("\tcomponent name = %.*s\n\tfile name: %.*s\n\tline number = %lu\n\tstack trace:\n",
               static_cast<int>(sizeof extended.component), extended.component,
               static_cast<int>(sizeof extended.file), extended.file,
               static_cast<unsigned long>(extended.line));
  for (unsigned i = 0; i < nQoAPALS100::tStatusExtended::kStackTraceWords; ++i) {
    if (!writer.hasRoom()) return -1;
    const uint64_t word = extended.stackTrace[i];
    writer.print("\t\t0x%016lx\n", static_cast<unsigned long>(word));
    if (word == 0) break;
  }
  return writer.result();
}

}  // namespace nQoUdR100
