#include "frame/staticConstructors.h"

void runConstructorList(const tStaticConstructor* list, std::size_t count) {
  for (std::size_t i = count; i-- > 0;)
    if (list[i] != nullptr) list[i]();
}
