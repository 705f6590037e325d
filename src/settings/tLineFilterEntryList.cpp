#include "settings/tLineFilterEntryList.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdR100 {

tLineFilterEntryList::tLineFilterEntryList() : _head(new tNode) {
  if (_head == nullptr) {
    _allocationFailed = true;
    return;
  }
  _head->previous = _head->next = _head;
}

tLineFilterEntryList& tLineFilterEntryList::operator=(const tLineFilterEntryList& other) {
  // A list without a head has its flag set already and takes nothing.
  if (this == &other || _head == nullptr) return *this;
  tNode* target = _head->next;
  other.forEach([&](const tLineFilterEntry& entry) {
    if (target != _head) {
      target->entry = entry;
      target = target->next;
    } else {
      append(entry);
    }
  });
  while (_size > other._size) dropLast();
  return *this;
}

tLineFilterEntryList::~tLineFilterEntryList() {
  if (_head == nullptr) return;
  while (_size > 0) dropLast();
  delete _head;
}

bool tLineFilterEntryList::append(const tLineFilterEntry& entry) {
  tNode* node = _head == nullptr ? nullptr : new tNode;
  if (node == nullptr) {
    _allocationFailed = true;
    return false;
  }
  node->entry = entry;
  node->next = _head;
  node->previous = _head->previous;
  _head->previous->next = node;
  _head->previous = node;
  ++_size;
  return true;
}

void tLineFilterEntryList::dropLast() {
  tNode* last = _head->previous;
  last->previous->next = _head;
  _head->previous = last->previous;
  delete last;
  --_size;
}

void tLineFilterEntryList::writeExternal(nQoORB100::iExternalOutputStream& stream,
                                         int& status) const {
  if (status < 0) return;
  if (_size > UINT32_MAX) mergeCode(status, kCountTooLarge);
  stream.writeU32(static_cast<uint32_t>(_size), status);
  forEach([&](const tLineFilterEntry& entry) {
    stream.writeU32(entry.lineGroup, status);
    stream.writeU32(entry.line, status);
    stream.writeU32(entry.filterSetting, status);
  });
}

void tLineFilterEntryList::readExternal(nQoORB100::iExternalInputStream& stream, int& status) {
  if (status < 0) return;
  const uint32_t count = stream.readU32(status);
  for (uint32_t i = 0; i < count && status >= 0; ++i) {
    tLineFilterEntry entry;
    entry.lineGroup = stream.readU32(status);
    entry.line = stream.readU32(status);
    entry.filterSetting = stream.readU32(status);
    if (status >= 0) append(entry);
  }
  if (_allocationFailed) mergeCode(status, kOutOfMemory);
}

}  // namespace nQoUdR100
