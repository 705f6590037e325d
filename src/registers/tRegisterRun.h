// A catalogue of 32-bit registers written as runs: one run per register, or
// per array of registers 4 bytes apart, with what the map needs to know of it
// and, for a field-addressable register, its fields as {id, high bit, low bit
// [, served, count]} (see tFieldTable.h). makeRows turns the runs into the
// catalogue rows; tFieldsOf finds a register's fields in its run.
//
//   constexpr tRegisterRun kRuns[] = {
//       {0, 1, kNoOffset, tRegisterKind::kPlain, 0, tRestore::kForget},
//       {1, 4, 0x80, tRegisterKind::kPlain, 0, tRestore::kRewrite},       // 0x80..0x8C
//       {5, 1, 0x5C, tRegisterKind::kWriteFields, 3, tRestore::kRewrite, kSetRegister,
//        tPlacing::kAtInitialization, {{1, 5, 0}, {3, 13, 8}}}};
//   constexpr auto kRows = makeRows<6>(kRuns);
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "registers/tFieldTable.h"
#include "registers/tRegisterRow.h"

namespace nQoUdRLP100 {

// When an array element stores its offset and identifier: when the map is
// built, or when its registers are set up.
enum class tPlacing : uint8_t { kAtInitialization, kAtConstruction };

inline constexpr std::size_t kMostFieldRuns = 8;

struct tRegisterRun {
  uint32_t first;
  uint32_t count;
  uint32_t offset;  // of the first register; kNoOffset: none held
  tRegisterKind kind;
  uint8_t group;
  tRestore restore;
  uint8_t accessors = kNoAccessors;
  tPlacing placing = tPlacing::kAtInitialization;
  tFieldRun fields[kMostFieldRuns] = {};  // ended by an id of 0
};

// The rows of runs that follow one another from index 0 without gaps; a fault
// leaves a row out of index order, which checkCatalogue rejects.
template <std::size_t kCount, std::size_t kRuns>
constexpr std::array<tRegisterRow, kCount> makeRows(const tRegisterRun (&runs)[kRuns]) {
  std::array<tRegisterRow, kCount> rows{};
  for (auto& row : rows) row.index = kNoOffset;
  uint32_t next = 0;
  for (const tRegisterRun& run : runs) {
    if (run.first != next || run.first + run.count > kCount) return rows;
    for (uint32_t k = 0; k < run.count; ++k) {
      const uint32_t offset = run.offset == kNoOffset ? kNoOffset : run.offset + 4 * k;
      rows[next++] = {.index = run.first + k,
                      .offset = offset,
                      .width = 32,
                      .kind = run.kind,
                      .group = run.group,
                      .restore = run.restore,
                      .keep = kKeepAll,
                      .arrayFirst = run.first,
                      .accessors = run.accessors};
    }
  }
  return rows;
}

// The register count of runs that follow one another from index 0.
template <std::size_t kRuns>
constexpr uint32_t registerCountOf(const tRegisterRun (&runs)[kRuns]) {
  return runs[kRuns - 1].first + runs[kRuns - 1].count;
}

template <std::size_t kRuns>
constexpr bool hasPlainSoftCopies(const tRegisterRun (&runs)[kRuns]) {
  for (const tRegisterRun& run : runs)
    if (run.kind == tRegisterKind::kPlain) return true;
  return false;
}

// The run that holds register index.
template <std::size_t kRuns>
constexpr const tRegisterRun& runOf(const tRegisterRun (&runs)[kRuns], uint32_t index) {
  for (const tRegisterRun& run : runs)
    if (index >= run.first && index < run.first + run.count) return run;
  return runs[0];
}

// Fields found in the run of a map whose traits give its runs (kRuns); maps
// with field tables of their own specialise tFieldsOf instead.
template <class tTraits, uint32_t kIndex>
struct tFieldsOf {
  static constexpr const tFieldRun* kRunList = runOf(tTraits::kRuns, kIndex).fields;
  static constexpr auto kTable =
      makeFieldTable<tTraits::kRows[kIndex].width, fieldCount(kRunList, kMostFieldRuns)>(
          kRunList, kMostFieldRuns);
};

}  // namespace nQoUdRLP100
