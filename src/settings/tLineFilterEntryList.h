// The per-line requests of a line filter settings object, in order: a
// circular doubly linked list of nodes from the module allocator behind a
// head node that the constructor allocates. A node that cannot be allocated
// sets a sticky flag and its entry is dropped; a list whose head could not be
// allocated is empty, takes no entry and has the flag set.
//
//   tLineFilterEntryList entries;
//   entries.append({.lineGroup = 1, .line = 3, .filterSetting = 2});
//   entries.forEach([](const tLineFilterEntry& entry) { ... });
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/tModuleObject.h"
#include "orb/iExternalInputStream.h"
#include "orb/iExternalOutputStream.h"

namespace nQoUdR100 {

// One line's request: its group (0 the 16 PFI lines, 1 the 8 RIVO lines),
// its number in the group and a filter setting code (4: no preference).
struct tLineFilterEntry {
  uint32_t lineGroup = 0;
  uint32_t line = 0;
  uint32_t filterSetting = 0;
  bool operator==(const tLineFilterEntry&) const = default;
};

class tLineFilterEntryList {
 public:
  tLineFilterEntryList();
  tLineFilterEntryList(const tLineFilterEntryList& other) : tLineFilterEntryList() {
    *this = other;
  }
  // Assigns the source's entries position by position, appends those it has
  // more (a node that cannot be allocated is skipped) and frees the surplus.
  tLineFilterEntryList& operator=(const tLineFilterEntryList& other);
  ~tLineFilterEntryList();

  // False, and the flag set, when no node can be had.
  bool append(const tLineFilterEntry& entry);
  std::size_t size() const { return _size; }
  bool allocationFailed() const { return _allocationFailed; }

  template <class Visit>
  void forEach(Visit visit) const {
    if (_head == nullptr) return;
    for (const tNode* node = _head->next; node != _head; node = node->next) visit(node->entry);
  }

  // Nothing when the status holds an error. The count, then lineGroup, line
  // and filterSetting of each entry, all u32; a count beyond 32 bits is
  // -50175 and its low bits are written.
  void writeExternal(nQoORB100::iExternalOutputStream& stream, int& status) const;
  // Nothing when the status holds an error. Appends the entries read to
  // those held. The loop ends at the first stream error, and an entry read
  // under an error is not appended; a set flag then gives -50352.
  void readExternal(nQoORB100::iExternalInputStream& stream, int& status);

 private:
  struct tNode : tModuleObject {
    tNode* previous;
    tNode* next;
    tLineFilterEntry entry;
  };

  // Unlinks and frees the last node.
  void dropLast();

  tNode* _head;
  std::size_t _size = 0;
  bool _allocationFailed = false;
};

}  // namespace nQoUdR100
