// Destruction of intents.
#pragma once

namespace nQoDIM100 {

class iIntent;

class tIntentFactory {
 public:
  // Destroys the intent through its class. Null, or a status that holds an
  // error, does nothing.
  static void destroy(iIntent* intent, int& status);
};

}  // namespace nQoDIM100
