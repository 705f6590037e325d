// One row of a register catalogue, and the compile-time checks that every
// catalogue passes.
//
//   constexpr std::array<tRegisterRow, 2> kRows{{
//       {0, 0x110, 16, tRegisterKind::kWrite, 1, tRestore::kRewrite, 0x0000, 0},
//       {1, 0x104, 16, tRegisterKind::kRead, 0, tRestore::kForget, kKeepAll, 1}}};
//   static_assert(checkCatalogue(kRows, 0x200, 1));
//
// (tRegisterRun.h writes a catalogue of 32-bit registers as runs.)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "registers/registerWidth.h"

namespace nQoUdRLP100 {

// How the register is reached. The *Fields kinds are in addition addressable by
// field identifier through the map's tRegister base.
enum class tRegisterKind : uint8_t {
  kWrite,   // soft copy and dirty byte, written by flush
  kRead,    // soft copy loaded by refresh, never written
  kStrobe,  // no soft copy, each write goes out at once
  kWriteFields,
  kReadFields,
  kStrobeFields,
  kReadWriteFields,  // a written register that is also read back (pins)
  kPlain,            // soft copy and dirty byte, no offset: its users reach it
  kPlainNoSoftCopy,  // only a place in the map (and in a lock group)
};

// What markAllDirty does to the register; in maps without dirty bytes, what
// the set-up does (kZero, kForget: soft copy 0; kLoad: read from the board).
enum class tRestore : uint8_t {
  kRewrite,  // marked dirty, soft copy kept
  kZero,     // soft copy set to 0, then marked dirty
  kForget,   // soft copy set to 0, not marked (read-only registers)
  kNone,     // nothing (no soft copy)
  kLoad,     // soft copy read from the board (maps without dirty bytes only)
};

// The view field of a register that is no other register's view.
inline constexpr uint32_t kNoView = 0xFFFFFFFF;
// Keep mask of a register without strobe bits: the soft copy stays whole.
inline constexpr uint32_t kKeepAll = 0xFFFFFFFF;
// The offset of a register whose place in the window the map does not hold.
inline constexpr uint32_t kNoOffset = 0xFFFFFFFF;

// The whole-register accessors a register class offers besides its field
// operations (a catalogue that lists its classes' accessors names them).
inline constexpr uint8_t kNoAccessors = 0;
inline constexpr uint8_t kSetRegister = 1;
inline constexpr uint8_t kGetRegister = 2;
inline constexpr uint8_t kWriteRegister = 4;
inline constexpr uint8_t kAllAccessors = kSetRegister | kGetRegister | kWriteRegister;

struct tRegisterRow {
  uint32_t index;
  uint32_t offset;  // byte offset in the window
  uint8_t width;    // bits of every access: 8, 16 or 32
  tRegisterKind kind;
  uint8_t group;  // lock group, 0 for none
  tRestore restore;
  uint32_t keep;        // bits of the soft copy that survive a write
  uint32_t arrayFirst;  // first index of its register array (its own index when single)
  uint8_t accessors = kAllAccessors;
  // The earlier register whose bytes this one reaches too (a second write view
  // of one register, or a half of a wider read register), or kNoView.
  uint32_t viewOf = kNoView;
};

constexpr tRegisterKind baseKind(tRegisterKind kind) {
  switch (kind) {
    case tRegisterKind::kWriteFields:
    case tRegisterKind::kReadWriteFields: return tRegisterKind::kWrite;
    case tRegisterKind::kReadFields: return tRegisterKind::kRead;
    case tRegisterKind::kStrobeFields: return tRegisterKind::kStrobe;
    default: return kind;
  }
}

constexpr bool fieldAddressable(tRegisterKind kind) { return baseKind(kind) != kind; }
constexpr bool plain(tRegisterKind kind) {
  return kind == tRegisterKind::kPlain || kind == tRegisterKind::kPlainNoSoftCopy;
}

namespace nCatalogueCheck {

template <std::size_t kCount>
constexpr bool indexOrder(const std::array<tRegisterRow, kCount>& rows) {
  for (std::size_t i = 0; i < kCount; ++i)
    if (rows[i].index != i || rows[i].arrayFirst > i) return false;
  return true;
}

// Every access lies inside the window and is aligned to its width; only plain
// registers may hold no offset.
template <std::size_t kCount>
constexpr bool insideWindow(const std::array<tRegisterRow, kCount>& rows, uint32_t length) {
  for (const auto& row : rows) {
    if (row.width != 8 && row.width != 16 && row.width != 32) return false;
    if (plain(row.kind) && row.offset == kNoOffset) continue;
    if (row.offset % (row.width / 8) != 0 || row.offset + row.width / 8 > length) return false;
  }
  return true;
}

// Read-only registers are forgotten, strobes and registers without soft copy
// left alone, writable registers rewritten; plain registers are rewritten or
// forgotten; only writable registers have strobe bits to drop.
template <std::size_t kCount>
constexpr bool restoreAndKeepFitKind(const std::array<tRegisterRow, kCount>& rows) {
  for (const auto& row : rows) {
    switch (baseKind(row.kind)) {
      case tRegisterKind::kRead:
        if (row.restore != tRestore::kForget || row.keep != kKeepAll) return false;
        break;
      case tRegisterKind::kStrobe:
      case tRegisterKind::kPlainNoSoftCopy:
        if (row.restore != tRestore::kNone || row.keep != kKeepAll) return false;
        break;
      case tRegisterKind::kPlain:
        if (row.restore != tRestore::kRewrite && row.restore != tRestore::kForget) return false;
        if (row.keep != kKeepAll) return false;
        break;
      default:
        if (row.restore != tRestore::kRewrite && row.restore != tRestore::kZero &&
            row.restore != tRestore::kLoad)
          return false;
        if (row.keep != kKeepAll && row.keep > allOnes(row.width)) return false;
    }
  }
  return true;
}

// Two registers share an offset only as a read side and a write side, or as a
// register and its view.
template <std::size_t kCount>
constexpr bool sharedOffsetsPairReadWithWrite(const std::array<tRegisterRow, kCount>& rows) {
  for (std::size_t i = 0; i < kCount; ++i) {
    for (std::size_t j = i + 1; j < kCount; ++j) {
      if (rows[i].offset == kNoOffset || rows[i].offset != rows[j].offset) continue;
      if (rows[j].viewOf == i) continue;
      const bool iReads = baseKind(rows[i].kind) == tRegisterKind::kRead;
      const bool jReads = baseKind(rows[j].kind) == tRegisterKind::kRead;
      if (iReads == jReads) return false;
    }
  }
  return true;
}

// Groups run 1..count, each has a member, read-only registers have none.
template <std::size_t kCount>
constexpr bool groupsValid(const std::array<tRegisterRow, kCount>& rows, uint32_t groups) {
  for (const auto& row : rows) {
    if (row.group > groups) return false;
    if (row.group != 0 && baseKind(row.kind) == tRegisterKind::kRead) return false;
  }
  for (uint32_t group = 1; group <= groups; ++group) {
    bool used = false;
    for (const auto& row : rows) used = used || row.group == group;
    if (!used) return false;
  }
  return true;
}

// The elements of one array share everything but offset and index.
template <std::size_t kCount>
constexpr bool arraysUniform(const std::array<tRegisterRow, kCount>& rows) {
  for (const auto& row : rows) {
    const auto& first = rows[row.arrayFirst];
    if (first.arrayFirst != first.index) return false;
    if (row.width != first.width || row.kind != first.kind || row.group != first.group ||
        row.restore != first.restore || row.keep != first.keep || row.accessors != first.accessors)
      return false;
  }
  return true;
}

// A view names an earlier register of its own kind and lies inside its bytes.
template <std::size_t kCount>
constexpr bool viewsInsideTheirRegister(const std::array<tRegisterRow, kCount>& rows) {
  for (const auto& row : rows) {
    if (row.viewOf == kNoView) continue;
    if (row.viewOf >= row.index) return false;
    const auto& viewed = rows[row.viewOf];
    if (baseKind(viewed.kind) != baseKind(row.kind) || viewed.offset == kNoOffset) return false;
    if (row.offset < viewed.offset || row.offset + row.width / 8 > viewed.offset + viewed.width / 8)
      return false;
  }
  return true;
}

}  // namespace nCatalogueCheck

template <std::size_t kCount>
constexpr bool checkCatalogue(const std::array<tRegisterRow, kCount>& rows, uint32_t length,
                              uint32_t groups) {
  return nCatalogueCheck::indexOrder(rows) && nCatalogueCheck::insideWindow(rows, length) &&
         nCatalogueCheck::restoreAndKeepFitKind(rows) &&
         nCatalogueCheck::sharedOffsetsPairReadWithWrite(rows) &&
         nCatalogueCheck::groupsValid(rows, groups) && nCatalogueCheck::arraysUniform(rows) &&
         nCatalogueCheck::viewsInsideTheirRegister(rows);
}

// The members of each lock group by register index, ascending; a register
// array counts once, by its first element.
template <std::size_t kCount, uint32_t kGroups>
struct tGroupMembers {
  uint32_t indexes[kCount];
  uint32_t start[kGroups + 2];
  constexpr const uint32_t* of(uint32_t group) const { return indexes + start[group]; }
  constexpr uint32_t countOf(uint32_t group) const { return start[group + 1] - start[group]; }
};

template <uint32_t kGroups, std::size_t kCount>
constexpr tGroupMembers<kCount, kGroups> groupMembers(
    const std::array<tRegisterRow, kCount>& rows) {
  tGroupMembers<kCount, kGroups> members{};
  uint32_t next = 0;
  for (uint32_t group = 0; group <= kGroups; ++group) {
    members.start[group] = next;
    if (group == 0) continue;
    for (const auto& row : rows)
      if (row.group == group && row.arrayFirst == row.index) members.indexes[next++] = row.index;
  }
  members.start[kGroups + 1] = next;
  return members;
}

}  // namespace nQoUdRLP100
