// The platform allocator behind every allocation of the module.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nQoMDBG100 {
class tStatus2;
}

// Allocates size bytes; null when no storage can be had. With a status, a
// failure is reported there as -50352 by the merge rule.
void* _memNewUsingCRT(std::size_t size, uint32_t flags, nQoMDBG100::tStatus2* status);
void _memDelete(void* block);
