// The settings a deploy writes for a part of the board, held apart from the
// record of what the board was last programmed with. A deploy writes the
// settings; only the steps that program the board from them (a commit, an
// arm that reprograms) take them, and each keeps the record of what it took;
// every other step, pass, read and answer reads that record, so a deploy
// reaches a run only through the next step that programs the board:
//
//   struct tTiming {                                 // the owner's lists
//     static constexpr const char* kDeploySteps[] = {"applySettings"};
//     static constexpr const char* kProgrammingSteps[] = {"commit"};
//   };
//   tDeployed<tTimingFields, tTiming> fields;
//   fields.deploy(settings);                      // anywhere: a whole write
//   fields.deploying().mode = 2;                  // a deploy step: a partial write
//   const tTimingFields& f = fields.program();    // a programming step
//   if (fields.programmed().mode == 0) ...        // anywhere
//   _pulse = fields.take().pulse;                 // a programming step with a
//                                                 // record of its own
//
// deploying(), program() and take() name their caller (the function that calls
// them, not a lambda inside it) and look it up in the owner's lists as the
// program compiles: from any other function, a read of the deployed settings
// does not compile under g++, and the error names
// deployedSettingsReadOutsideTheOwnersSteps. clang 14 takes the name of the
// declaration, not of the caller, so its builds skip the look-up (the test
// and thread-sanitizer builds are g++'s).
//
// The record changes only in a programming step, which no run overlaps (a
// step under a run stops it first); a pass that may run beside one copies
// what it needs at its arm. A record that holds vectors may lose an
// allocation in the copy: the programming step checks it.
#pragma once

#include <array>
#include <cstddef>
#include <type_traits>

namespace nQoUdR100 {

// Never defined: a call of it in a constant evaluation is the compile error
// that names a read of deployed settings outside the owner's steps.
void deployedSettingsReadOutsideTheOwnersSteps();

namespace nDeployedSteps {

constexpr bool sameName(const char* a, const char* b) {
  for (; *a != '\0' || *b != '\0'; ++a, ++b)
    if (*a != *b) return false;
  return true;
}

template <class tList>
constexpr bool listed(const tList& list, const char* name) {
  for (const char* entry : list)
    if (sameName(entry, name)) return true;
  return false;
}

// The caller of a checked accessor, as the accessor's default argument.
struct tDeploying {};
struct tProgramming {};

template <class tOwner, class tKind>
struct tCaller {
#if defined(__clang__)
  constexpr tCaller() = default;
#else
  consteval tCaller(const char* function = __builtin_FUNCTION()) {
    bool known = false;
    if constexpr (std::is_same_v<tKind, tDeploying>)
      known = listed(tOwner::kDeploySteps, function);
    else
      known = listed(tOwner::kProgrammingSteps, function);
    if (!known) deployedSettingsReadOutsideTheOwnersSteps();
  }
#endif
};

}  // namespace nDeployedSteps

// One list of steps from two, for an owner whose frame lists its own steps
// and lets the class add its own.
template <std::size_t N, std::size_t M>
constexpr std::array<const char*, N + M> joinSteps(const char* const (&first)[N],
                                                   const char* const (&second)[M]) {
  std::array<const char*, N + M> steps{};
  for (std::size_t i = 0; i < N; ++i) steps[i] = first[i];
  for (std::size_t i = 0; i < M; ++i) steps[N + i] = second[i];
  return steps;
}

template <class tFields, class tOwner>
class tDeployed {
 public:
  tDeployed() = default;
  tDeployed(const tDeployed&) = delete;
  tDeployed& operator=(const tDeployed&) = delete;

  // A deploy of the whole settings: writes them, reads nothing.
  void deploy(const tFields& fields) { _deployed = fields; }
  // A deploy step: the settings as deployed, to write part of them or to
  // hand them on to what it deploys (a held primitive, a link).
  tFields& deploying(nDeployedSteps::tCaller<tOwner, nDeployedSteps::tDeploying> = {}) {
    return _deployed;
  }
  // A programming step: the record takes the settings as deployed; answers
  // the record, which the step programs the board from.
  const tFields& program(nDeployedSteps::tCaller<tOwner, nDeployedSteps::tProgramming> = {}) {
    _record = _deployed;
    return _record;
  }
  // A programming step that keeps a record of its own (the part of the
  // settings that its later steps go by): the settings as deployed.
  const tFields& take(nDeployedSteps::tCaller<tOwner, nDeployedSteps::tProgramming> = {}) const {
    return _deployed;
  }
  // What the last programming step took.
  const tFields& programmed() const { return _record; }
  // The release's: the record goes back to the defaults, as a fresh
  // reservation finds it; the deployed settings stay for the next step.
  void forget() { _record = tFields{}; }

 private:
  tFields _deployed{};
  tFields _record{};
};

}  // namespace nQoUdR100
