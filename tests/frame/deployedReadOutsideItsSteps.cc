// Must not compile: a step that is not in the owner's programming steps
// reads the deployed settings.
#include <cstdint>

#include "frame/tDeployed.h"

namespace {

struct tFields {
  uint32_t mode = 0;
};

struct tEngine {
  static constexpr const char* kDeploySteps[] = {"deployMode"};
  static constexpr const char* kProgrammingSteps[] = {"commit"};
  uint32_t commit() { return fields.program().mode; }
  uint32_t arm() { return fields.program().mode; }
  nQoUdR100::tDeployed<tFields, tEngine> fields;
};

}  // namespace

uint32_t armEngine() {
  tEngine engine;
  return engine.commit() + engine.arm();
}
