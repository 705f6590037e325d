// The module's static-constructor list: a null word, the constructors in link
// order, a null word. It runs from the last entry to the first. The top of the
// module (src/device/staticConstructors.cpp) defines the list; the frame only runs it.
#pragma once

#include <cstddef>

using tStaticConstructor = int (*)();

extern const tStaticConstructor kStaticConstructors[];
extern const std::size_t kStaticConstructorCount;

// Calls every non-null entry from the last to the first, even after one
// failed; answers the first negative result, or 0.
int runConstructorList(const tStaticConstructor* list, std::size_t count);
