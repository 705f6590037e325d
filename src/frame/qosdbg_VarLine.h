// A debug line object: name, number and suffix for debugVarLinePrint.
#pragma once

#include "frame/debugLine.h"

namespace nQoUdR100 {

class qosdbg_VarLine {
 public:
  explicit qosdbg_VarLine(const tDebugLine& line) : line(line) {}
  virtual ~qosdbg_VarLine() {}

  tDebugLine line;
};

void debugVarLinePrint(const qosdbg_VarLine& line, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

}  // namespace nQoUdR100
