#include "frame/tModuleObject.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100 {

void* tModuleObject::operator new(std::size_t size) noexcept {
  return _memNewUsingCRT(size, 0, nullptr);
}

void* tModuleObject::operator new(std::size_t size, nQoMDBG100::tStatus2& status) noexcept {
  return _memNewUsingCRT(size, 0, &status);
}

void* tModuleObject::operator new(std::size_t size, int& status) noexcept {
  void* block = _memNewUsingCRT(size, 0, nullptr);
  if (block == nullptr) mergeCode(status, kOutOfMemory);
  return block;
}

void* tModuleObject::operator new[](std::size_t size) noexcept {
  return _memNewUsingCRT(size, 0, nullptr);
}

void* tModuleObject::operator new[](std::size_t size, nQoMDBG100::tStatus2& status) noexcept {
  return _memNewUsingCRT(size, 0, &status);
}

void tModuleObject::operator delete(void* block) noexcept { _memDelete(block); }
void tModuleObject::operator delete(void* block, nQoMDBG100::tStatus2&) noexcept {
  _memDelete(block);
}
void tModuleObject::operator delete(void* block, int&) noexcept { _memDelete(block); }
void tModuleObject::operator delete[](void* block) noexcept { _memDelete(block); }
void tModuleObject::operator delete[](void* block, nQoMDBG100::tStatus2&) noexcept {
  _memDelete(block);
}

}  // namespace nQoUdR100

void* operator new(std::size_t size, const nQoUdR100::tModuleHeap&) noexcept {
  return _memNewUsingCRT(size, 0, nullptr);
}
void* operator new[](std::size_t size, const nQoUdR100::tModuleHeap&) noexcept {
  return _memNewUsingCRT(size, 0, nullptr);
}
void operator delete(void* block, const nQoUdR100::tModuleHeap&) noexcept { _memDelete(block); }
void operator delete[](void* block, const nQoUdR100::tModuleHeap&) noexcept { _memDelete(block); }
