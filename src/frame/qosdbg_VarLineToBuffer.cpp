#include "frame/qosdbg_VarLineToBuffer.h"

namespace nQoUdR100 {

size_t debugVarLineToBufferPrint(qosdbg_VarLineToBuffer& object, const char* format, ...) {
  if (object.buffer == nullptr || object.size == 0) return object.size;
  object.buffer[0] = '\0';
  if (format != nullptr) {
    va_list arguments;
    va_start(arguments, format);
    gDebugSettings.boundedPrint(object.buffer, object.size, format, arguments);
    va_end(arguments);
  }
  object.buffer[object.size - 1] = '\0';
  return object.size;
}

}  // namespace nQoUdR100
