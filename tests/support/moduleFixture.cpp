#include "support/moduleFixture.h"

#include "frame/moduleEntry.h"

namespace nQoTest {

tLoadedModule::tLoadedModule() : _loadResult(moduleMessageEntry(0)) {}

tLoadedModule::~tLoadedModule() { moduleMessageEntry(1); }

}  // namespace nQoTest
