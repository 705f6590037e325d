// Test control of the class registry: the next newInstance of any class
// answers a scripted object instead of calling the factory (null, or an
// instance of another class that the test made), and sets a code by the merge
// rule (0: none).
//
//   nQoSim::scriptNextNewInstance(nullptr, 0);            // clean null answer
//   nQoSim::scriptNextNewInstance(otherClassObject, 0);   // a stray instance
#pragma once

namespace nQoORB100 {
class tObject;
}

namespace nQoSim {

void scriptNextNewInstance(nQoORB100::tObject* answer, int code);
// Drops a script that no newInstance took.
void clearNewInstanceScript();

}  // namespace nQoSim
