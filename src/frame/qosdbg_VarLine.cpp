#include "frame/qosdbg_VarLine.h"

namespace nQoUdR100 {

void debugVarLinePrint(const qosdbg_VarLine& line, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  debugWriteLine(line.line, format, arguments);
  va_end(arguments);
}

}  // namespace nQoUdR100
