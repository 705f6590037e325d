// A row of the counter product table: a product whose counters the counter
// engine drives, named by its identifier or, when that is kListedProducts, by
// a zero-terminated identifier list.
#pragma once

#include <cstdint>

namespace nQoUdR100 {

struct tCounterProductDescriptor {
  static constexpr uint32_t kListedProducts = 0xFFFFFFFF;

  const char* name;
  uint32_t productId;
  uint32_t familyTags[3];
  uint32_t flags[4];
  const uint32_t* productIds;  // read when productId is kListedProducts
  const char* helpTopic;
  const void* furtherTables[2];  // the product's counter and routing tables
};

}  // namespace nQoUdR100
