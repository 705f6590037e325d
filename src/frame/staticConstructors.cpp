#include "frame/staticConstructors.h"

#include "frame/tStatusSite.h"

int runConstructorList(const tStaticConstructor* list, std::size_t count) {
  int status = 0;
  for (std::size_t i = count; i-- > 0;)
    if (list[i] != nullptr) nQoUdR100::mergeCode(status, list[i]());
  return status;
}
