// An object that both copies itself and streams its fields.
#pragma once

#include "orb/iCloneable.h"
#include "orb/iExternalizable.h"

namespace nQoORB100 {

class iCloneableExternalizable : public iCloneable, public iExternalizable {};

}  // namespace nQoORB100
