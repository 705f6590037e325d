// The lifecycle suite that every supervisor class runs as a row: for every
// entry that another thread may call (codes, reads, writes, waits, cancel),
// held inside the real primitive under every lifecycle step, it checks that
// the step waited for the entry, that nothing was handed back, reset or
// freed while the entry was inside, that the blocking calls answer at once
// after the step's end (also after a code under way ran on the primitive)
// and wait again after the next linkResource or reservation, and that a
// release or destruction leaves the primitive as a fresh reservation finds
// it.
//
// A row is a fixture class (derived from an existing one, whose SetUp builds
// the board, the pools and the primitive) with:
//   static constexpr const char* kName = "...";  // the row's name in the test names
//   using tSupervisor = ...;                     // default-constructible
//   void up(tSupervisor&, tStatus2&);            // initialize and link
//   nQoTest::tHoldPoint hold;                    // the primitive's hold point calls hold()
//   std::vector<tEntry> entries(tSupervisor&);   // each bound to the supervisor
//   std::string handedBack();                    // broker log, bus registrations, live blocks
//   std::string primitiveState();                // what a fresh reservation finds
// and, where they apply:
//   void ready(tSupervisor&);       // codes after each reservation and linkResource
//   std::vector<tSetup> setups(tSupervisor&);  // each state the row's codes reach
//   void refuseLink(bool);          // the partner refuses the next linkResource
//   void window(std::function<void()> refused, std::function<void()> takingDown);
//       // with refuseLink: the partner's refusal runs refused, and the first
//       // operation that the failed link's take-down runs on the primitive
//       // runs takingDown, both on the step's thread (empty: nothing)
//   static constexpr bool kUnlinkRestores = true;  // unlinkResource leaves it as found, too
//   static constexpr bool kLinkOpens = true;       // linkResource, not the reservation, opens
//   static constexpr bool kEndsBeforeHold = true;  // an ended blocking call meets no hold point
// A file instantiates the suites for its rows under a prefix of its own:
//   INSTANTIATE_TYPED_TEST_SUITE_P(AI, Lifecycle, ::testing::Types<tWFNSCRow>, tRowNames);
//   INSTANTIATE_TYPED_TEST_SUITE_P(AI, FailedLinkLifecycle, ..., tRowNames);  // refuseLink
//   INSTANTIATE_TYPED_TEST_SUITE_P(AI, FillLifecycle, ..., tRowNames);  // linkResource fills
//   INSTANTIATE_TYPED_TEST_SUITE_P(AI, HandBackLifecycle, ..., tRowNames);  // unlinkResource
//                                                        // resets nothing: the hand-back steps
//   INSTANTIATE_TYPED_TEST_SUITE_P(AI, ArrivingEntryLifecycle, ..., tRowNames);  // window
//   INSTANTIATE_TYPED_TEST_SUITE_P(AI, CodeWalk, ..., tRowNames);  // every order of kCodes
//                                                  // (CodeWalk below says what it asks)
// Before every step that starts linked (unlinkResource, the releases, the
// destruction), the row's setups bring the primitive, one per run of the
// step, to each state its codes can reach (committed, armed, running, each
// registration its modes make), through the supervisor's own entries; the
// step "release after unlinkResource" runs them before its unlinkResource.
// A row without setups runs each step once, as linked.
// The window of a failed linkResource (ArrivingEntryLifecycle): from the
// partner's refusal on, an entry on another thread keeps calling until it
// reaches the primitive and holds there. The take-down of the failed link
// runs out of the entries' reach: its first operation on the primitive,
// which waits for the entry to hold (until the entry's thread has had a bound
// of its own time), never finds it inside; the entry gets in once the
// primitive is back.
// Waits go by the test clock; a call or step that would wait without end is
// let go by moving the test clock once its thread has had a guard of its own
// time (tThreadTime), and that is a failure.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "mdbg/tStatus2.h"
#include "sim/simAllocator.h"
#include "sim/simResourceBroker.h"
#include "sim/simSync.h"
#include "sim/simTime.h"
#include "support/boardChecks.h"
#include "support/heldCall.h"
#include "support/heldPass.h"
#include "support/threadTime.h"
#include "support/walkOrders.h"

namespace nQoTest {

// An entry from another thread. One that blocks waits on the test clock
// until its time-out (answering waited) or an end (answering ended).
struct tEntry {
  std::string name;
  std::function<void(nQoMDBG100::tStatus2&)> call;
  bool blocks = false;
  int ended = 0;
  int waited = 0;
};

// A state the row's codes bring the primitive to before a step: its name and
// the codes, run through the supervisor's own entries on the test's thread.
struct tSetup {
  std::string name;
  std::function<void()> codes;
};

// Where the row's primitive holds an entry: only the entry's own thread
// holds, so the lifecycle steps and the board's other threads pass. A row
// calls it from a hook of its primitive's world (a scripted register read,
// which holds under the windows' lock, so only where the steps touch no
// register before they wait), or has it hold at every set of an event and
// release of a lock (atSyncs, after the release).
struct tHoldPoint {
  tHoldPoint() = default;
  tHoldPoint(const tHoldPoint&) = delete;
  tHoldPoint& operator=(const tHoldPoint&) = delete;
  ~tHoldPoint() {
    if (_atSyncs) nQoSim::onSyncSet(nullptr);
  }
  void operator()() const {
    if (std::this_thread::get_id() == entry.load() && inside) inside();
  }
  void atSyncs() {
    _atSyncs = true;
    nQoSim::onSyncSet([this](const iSync*, bool set) {
      if (set) (*this)();
    });
  }
  std::function<void()> inside;
  std::atomic<std::thread::id> entry{};

 private:
  bool _atSyncs = false;
};

// Runs body on this thread. Once this thread has had after of its own time
// in body (tThreadTime: it ran or lay blocked, however long the machine kept
// it off the processor), another thread moves the test clock on until body
// returns, so a wait without end runs into its time-out. True when the clock
// had to move.
template <class tBody>
bool clockMovedDuring(tBody body, std::chrono::milliseconds after = tHeldCall::kGuard) {
  std::atomic<bool> done{false}, moved{false};
  std::thread watcher([&, caller = thisThread()] {
    tThreadTime had(caller);
    while (!done) {
      if (had.since() >= after) {
        moved = true;
        nQoSim::advanceClock(3'600'000'000'000);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  body();
  done = true;
  watcher.join();
  return moved;
}

// The broker's calls and the live blocks and sync objects, for a row's
// handedBack.
inline std::string brokerAndBlocks() {
  return "broker " + std::to_string(nQoSim::brokerLog().size()) + ", blocks " +
         std::to_string(nQoSim::liveAllocations()) + ", syncs " +
         std::to_string(nQoSim::liveSyncObjects());
}

// Far more of its own time than a call that answers at once takes.
constexpr std::chrono::milliseconds kAtOnce{2000};

// Names each row of an instantiation by its kName.
struct tRowNames {
  template <class Row>
  static std::string GetName(int) {
    return Row::kName;
  }
};

enum class tStep { kUnlink, kRelease, kUnlinkRelease, kDestroy, kFailedLink, kFill };

template <class Row>
class Lifecycle : public Row {
 protected:
  using tSupervisor = typename Row::tSupervisor;
  using tStatus2 = nQoMDBG100::tStatus2;

  // The row's initialize and link, reserveResource, linkResource when asked,
  // then the row's codes.
  void bringUp(bool link) {
    supervisor.emplace();
    tStatus2 status;
    this->up(*supervisor, status);
    supervisor->reserveResource(status);
    if (link) supervisor->linkResource(status);
    ASSERT_EQ(status.code, 0);
    runCodes();
  }
  void relink(tStatus2& status) {
    supervisor->linkResource(status);
    runCodes();
  }
  // The row's codes, each answering as the row expects.
  void runCodes() {
    tStatus2 status;
    if constexpr (requires { this->ready(*supervisor); })
      this->ready(*supervisor);
    else if constexpr (requires { this->ready(*supervisor, status); })
      this->ready(*supervisor, status);
  }
  // The platform's teardown: commit-cancel, unlinkResource, release.
  void tearDownSupervisor() {
    if (!supervisor) return;
    tStatus2 status;
    supervisor->commitCancel(status);
    supervisor->unlinkResource(status);
    supervisor->releaseResource(status);
    supervisor.reset();
  }

  // Each entry that the row offers, from each state its setups reach.
  void runStep(tStep step) {
    for (size_t setup = 0, setups = 1; setup < setups; ++setup) {
      for (size_t i = 0, count = 1; i < count; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        count = checkEntryUnder(step, setup, i, setups);
        tearDownSupervisor();
      }
    }
  }

 private:
  // A row whose unlinkResource takes back all that linkResource and the codes
  // set up in the primitive says so (kUnlinkRestores): (e) then holds after
  // it too.
  static constexpr bool unlinkRestores() {
    if constexpr (requires { Row::kUnlinkRestores; })
      return Row::kUnlinkRestores;
    else
      return false;
  }

  // The row's setups for the supervisor, or one that runs nothing.
  std::vector<tSetup> setupsOf(tSupervisor& bound) {
    if constexpr (requires { this->setups(bound); })
      return this->setups(bound);
    else
      return {{"as linked", [] {}}};
  }

  void runStepCall(tStep step) {
    tStatus2 status;
    switch (step) {
      case tStep::kUnlink: supervisor->unlinkResource(status); break;
      case tStep::kRelease:
      case tStep::kUnlinkRelease: supervisor->releaseResource(status); break;
      case tStep::kDestroy: supervisor.reset(); break;
      case tStep::kFailedLink:
      case tStep::kFill: supervisor->linkResource(status); break;
    }
    if (step == tStep::kFailedLink)
      EXPECT_NE(status.code, 0) << "the partner's refusal was not reported";
    else
      EXPECT_EQ(status.code, 0);
  }

  // The entry held under the step, from the state the setup reaches: (a)
  // and (b), then (c), (d) and (e). Answers how many entries the row offers
  // there, and sets setups to how many setups it offers.
  size_t checkEntryUnder(tStep step, size_t setup, size_t index, size_t& setups) {
    const std::string fresh = this->primitiveState();
    const bool linked = step != tStep::kFailedLink && step != tStep::kFill;
    bringUp(linked);
    if (::testing::Test::HasFatalFailure()) return 0;
    // The steps that start from the reservation run no setup.
    const std::vector<tSetup> reached =
        linked ? setupsOf(*supervisor) : std::vector<tSetup>{{"as reserved", [] {}}};
    setups = reached.size();
    if (setup >= reached.size()) return 0;
    const ::testing::ScopedTrace trace(__FILE__, __LINE__, "from " + reached[setup].name);
    reached[setup].codes();
    if (::testing::Test::HasFatalFailure()) return 0;
    tStatus2 status;
    if (step == tStep::kUnlinkRelease) {
      // Codes from another thread after the unlinkResource reach the primitive.
      supervisor->unlinkResource(status);
      runCodes();
    }
    if constexpr (requires { this->refuseLink(true); })
      if (step == tStep::kFailedLink) this->refuseLink(true);
    std::vector<tEntry> entries = this->entries(*supervisor);
    if (index >= entries.size()) return entries.size();
    const tEntry& entry = entries[index];
    SCOPED_TRACE(entry.name);
    // A row whose blocking calls, once an unlinkResource ended them, answer
    // before they reach a hold point (kEndsBeforeHold): (c) checks them.
    if constexpr (requires { Row::kEndsBeforeHold; })
      if (step == tStep::kUnlinkRelease && entry.blocks) return entries.size();

    std::string before;
    tSeenInside<std::string> inside;
    tStatus2 entered;
    std::atomic<bool> left{false};
    const bool stuck = clockMovedDuring([&] {
      inside = seenInside(
          this->hold.inside,
          [&] {
            this->hold.entry = std::this_thread::get_id();
            entry.call(entered);
            this->hold.entry = std::thread::id();
          },
          [&] {
            runStepCall(step);
            // A destruction that did not wait would leave the entry to go on
            // in a destroyed supervisor: it goes on in a fresh one instead,
            // so the fault is reported, not a crash of the whole run.
            if (step == tStep::kDestroy && !left) supervisor.emplace();
          },
          [&] {
            left = true;
            return this->handedBack();
          },
          // Read on the entry's thread as it reaches its hold, before the
          // step begins: a hold inside a bus atomic run keeps the bus lock,
          // which the step's thread would wait for and read only once the
          // entry went on.
          [&] { before = this->handedBack(); });
    });
    EXPECT_FALSE(stuck) << "the step or the entry waited without end";
    EXPECT_TRUE(inside.waited) << "the step did not wait for the entry";
    EXPECT_EQ(inside.seen, before) << "handed back, reset or freed while the entry was inside";

    if (step == tStep::kUnlink && unlinkRestores()) {
      EXPECT_EQ(this->primitiveState(), fresh) << "unlinkResource left the primitive set up";
    }

    // (c) The step's end holds, also after the entry and the row's codes ran
    // on the primitive.
    if (step != tStep::kDestroy && step != tStep::kFill) {
      runCodes();
      for (const tEntry& blocking : this->entries(*supervisor)) {
        if (!blocking.blocks) continue;
        SCOPED_TRACE("after the end: " + blocking.name);
        tStatus2 answer;
        EXPECT_FALSE(clockMovedDuring([&] { blocking.call(answer); }, kAtOnce))
            << "a blocking call waited after the end";
        if (step == tStep::kUnlink || step == tStep::kFailedLink) {
          EXPECT_EQ(answer.code, blocking.ended);
        }
      }
    }
    // (e) A release or destruction hands the primitive back as it was found.
    const bool handsBack =
        step == tStep::kRelease || step == tStep::kUnlinkRelease || step == tStep::kDestroy;
    if (handsBack) {
      EXPECT_EQ(this->primitiveState(), fresh) << "not handed back as a fresh reservation finds it";
    }

    // (d) The next reservation, or linkResource, opens the waits again.
    tStatus2 next;
    switch (step) {
      case tStep::kUnlink: relink(next); break;
      case tStep::kRelease:
      case tStep::kUnlinkRelease:
        supervisor->reserveResource(next);
        // A row whose calls the next linkResource opens (kLinkOpens).
        if constexpr (requires { Row::kLinkOpens; }) supervisor->linkResource(next);
        runCodes();
        break;
      case tStep::kDestroy: bringUp(false); break;
      case tStep::kFailedLink:
        if constexpr (requires { this->refuseLink(false); }) this->refuseLink(false);
        relink(next);
        break;
      case tStep::kFill: runCodes(); break;
    }
    EXPECT_EQ(next.code, 0) << "the next linkResource or reservation failed";
    for (const tEntry& blocking : this->entries(*supervisor)) {
      if (!blocking.blocks) continue;
      SCOPED_TRACE("after the next link: " + blocking.name);
      tStatus2 answer;
      clockMovedDuring([&] { blocking.call(answer); }, std::chrono::milliseconds(0));
      EXPECT_EQ(answer.code, blocking.waited) << "a blocking call did not wait";
    }
    return entries.size();
  }

 protected:
  std::optional<tSupervisor> supervisor;
};

TYPED_TEST_SUITE_P(Lifecycle);
TYPED_TEST_P(Lifecycle, UnlinkResource) { this->runStep(tStep::kUnlink); }
TYPED_TEST_P(Lifecycle, Release) { this->runStep(tStep::kRelease); }
TYPED_TEST_P(Lifecycle, ReleaseAfterUnlinkResource) { this->runStep(tStep::kUnlinkRelease); }
TYPED_TEST_P(Lifecycle, DestructionWithoutARelease) { this->runStep(tStep::kDestroy); }
REGISTER_TYPED_TEST_SUITE_P(Lifecycle, UnlinkResource, Release, ReleaseAfterUnlinkResource,
                            DestructionWithoutARelease);

template <class Row>
class FailedLinkLifecycle : public Lifecycle<Row> {};
TYPED_TEST_SUITE_P(FailedLinkLifecycle);
TYPED_TEST_P(FailedLinkLifecycle, LinkResourceRefusedByThePartner) {
  this->runStep(tStep::kFailedLink);
}
REGISTER_TYPED_TEST_SUITE_P(FailedLinkLifecycle, LinkResourceRefusedByThePartner);

template <class Row>
class FillLifecycle : public Lifecycle<Row> {};
TYPED_TEST_SUITE_P(FillLifecycle);
TYPED_TEST_P(FillLifecycle, LinkResourceThatFillsTheSlot) { this->runStep(tStep::kFill); }
REGISTER_TYPED_TEST_SUITE_P(FillLifecycle, LinkResourceThatFillsTheSlot);
// The steps that hand back, for a row whose unlinkResource resets nothing
// and so ends no call.
template <class Row>
class HandBackLifecycle : public Lifecycle<Row> {};
TYPED_TEST_SUITE_P(HandBackLifecycle);
TYPED_TEST_P(HandBackLifecycle, Release) { this->runStep(tStep::kRelease); }
TYPED_TEST_P(HandBackLifecycle, ReleaseAfterUnlinkResource) {
  this->runStep(tStep::kUnlinkRelease);
}
TYPED_TEST_P(HandBackLifecycle, DestructionWithoutARelease) { this->runStep(tStep::kDestroy); }
REGISTER_TYPED_TEST_SUITE_P(HandBackLifecycle, Release, ReleaseAfterUnlinkResource,
                            DestructionWithoutARelease);
template <class Row>
class ArrivingEntryLifecycle : public Lifecycle<Row> {
 protected:
  using tStatus2 = nQoMDBG100::tStatus2;
  // How much of the arriving entry's own time the take-down looks for it
  // inside: far more than an entry that gets in needs to reach its hold.
  static constexpr std::chrono::milliseconds kArrival{200};

  void runArriving() {
    for (size_t i = 0, count = 1; i < count; ++i) {
      SCOPED_TRACE("entry " + std::to_string(i));
      count = arriveUnder(i);
      this->tearDownSupervisor();
    }
  }

 private:
  size_t arriveUnder(size_t index) {
    using std::chrono::steady_clock;
    this->bringUp(false);
    if (::testing::Test::HasFatalFailure()) return 0;
    std::vector<tEntry> entries = this->entries(*this->supervisor);
    if (index >= entries.size()) return entries.size();
    const tEntry& entry = entries[index];
    SCOPED_TRACE(entry.name);
    std::atomic<bool> held{false}, inside{false}, done{false};
    bool insideAtTakeDown = false;
    std::thread arriving;
    std::atomic<pid_t> arrivingThread{0};
    // The entry holds once, until the step is over or the step's thread has
    // had a hold's time of its own since.
    this->hold.inside = [&, step = thisThread()] {
      if (held.exchange(true)) return;
      inside = true;
      tThreadTime stepping(step);
      while (!done && stepping.since() < tHeldCall::kHold) std::this_thread::yield();
      inside = false;
    };
    this->refuseLink(true);
    this->window(
        [&] {
          if (arriving.joinable()) return;
          arriving = std::thread([&] {
            arrivingThread = thisThread();
            this->hold.entry = std::this_thread::get_id();
            const auto guard = steady_clock::now() + tHeldCall::kGuard;
            while (!held && steady_clock::now() < guard) {
              tStatus2 answer;
              entry.call(answer);
            }
            this->hold.entry = std::thread::id();
          });
        },
        [&] {
          while (arrivingThread == 0) std::this_thread::yield();
          tThreadTime arrival(arrivingThread);
          while (!inside && arrival.since() < kArrival) std::this_thread::yield();
          insideAtTakeDown = insideAtTakeDown || inside;
        });
    tStatus2 status;
    this->supervisor->linkResource(status);
    EXPECT_NE(status.code, 0) << "the partner's refusal was not reported";
    // The entry gets in once the primitive is back.
    const auto guard = steady_clock::now() + tHeldCall::kGuard;
    while (arriving.joinable() && !held && steady_clock::now() < guard) std::this_thread::yield();
    done = true;
    if (arriving.joinable()) arriving.join();
    this->window({}, {});
    this->hold.inside = nullptr;
    this->refuseLink(false);
    EXPECT_TRUE(held) << "the entry never reached the primitive";
    EXPECT_FALSE(insideAtTakeDown) << "the failed link was taken down while an entry was inside";
    return entries.size();
  }
};
TYPED_TEST_SUITE_P(ArrivingEntryLifecycle);
TYPED_TEST_P(ArrivingEntryLifecycle, LinkResourceRefusedAsAnEntryArrives) { this->runArriving(); }
REGISTER_TYPED_TEST_SUITE_P(ArrivingEntryLifecycle, LinkResourceRefusedAsAnEntryArrives);
// The walk over every order of a row's steps up to three long from the
// linked row (four long where one step is a deploy), each order followed by
// the release, and once more by the primitive's own destruction with nothing
// brought down first (what a board's teardown meets). The steps are the
// row's own codes (Row::kCodes, of 1, 4100, 2, 3, 4101 and 4), the board
// firing (every source that is on raises its interrupt once and its passes
// run; then the row's fired(): a worker drains, a client reads) and, where
// the row has other settings, a deploy of each. After every step:
//   - the board holds nothing that no step may leave (the row's boardFaults:
//     a source on without its handler, a started DMA channel on a chain or
//     buffer in freed memory, a report that no arm was owed);
//   - the board runs nothing of the primitive (its watched sources and
//     channels, and the row's boardRuns) while it records itself below
//     armed (armRecorded), nor after a code 4101 that answered 0, until a
//     code 4100 or 2; after a code 3 that answered 0, no channel and nothing
//     of the row's boardRuns (the arm's sources may stay on until a disarm);
//     a row whose 3 or 4101 ends less names its stops (kStops);
//   - a client's read (the row's fired) handed over no byte nothing filled;
//   - a deploy wrote no register of any window and left the supervisor's
//     lifecycle record (its tracker's state and control flags, or its state
//     word) as it found it.
// The release must leave the primitive as a fresh reservation finds it, with
// every arm answered once. The destruction must tell no report stream
// anything, leave nothing of the primitive running and no slot holding a
// handler of the primitive that is gone (primitiveBytes). Each fault is
// reported once, with the first order that met it and how many orders did.
// A row adds:
//   static constexpr uint32_t kCodes[] = {...};
//   std::string boardFaults();
//   tBoardWatch watched;               // its board, sources, channels and reports
//   void destroyPrimitive();           // the primitive its pool holds
//   void makePrimitive();              // a fresh one in the same place
// and, where they apply:
//   bool armRecorded();                // the primitive records itself armed or running
//   std::string boardRuns();           // more that the board runs of it, from the board alone
//   std::string fired();               // after the board fired: a drain, a client's read
//   static constexpr size_t kDeploys = n;
//   void deployOther(tSupervisor&, size_t k, tStatus2&);  // its k-th other settings
//   void walkCode(tSupervisor&, uint32_t code, tStatus2&); // a code with its blocks
//   static constexpr uint32_t kStops[] = {...};  // its stops, if not 3 and 4101
//   std::pair<const void*, size_t> primitiveBytes();     // where the primitive lies
//   std::string stepFaults(uint32_t step, const tStatus2&);
//       // after every step (a code, kFireStep, a deploy, kReleaseStep,
//       // kDestroyStep) with its answer: what the row checks beyond the board
//       // (the warning a stop answered, the samples its client read so far)
//   static constexpr uint32_t kProgramming[] = {...};  // its codes that program the
//                                      // board from the deployed settings, if not {1};
//                                      // a deploy step among them runs more than its
//                                      // deploy, and the row checks that deploy itself
//                                      // (tBeforeDeploy)
//   static constexpr bool kDeployReachesAtOnce = true; // its deploy itself programs
//                                      // the board: no comparison (below)
//   std::string clientData();          // what the client got since the bring-up
//                                      // (values read, counts, stamps, words seen)
// A run goes by what the board was programmed with: every order whose deploys
// all come after its last programming code is compared with the same order
// without those deploys (walked too). Every other step must answer the same
// code, leave the same report streams' events and the same clientData(); a
// difference is a fault line of the step, the first order noting both sides.
constexpr uint32_t kFireStep = 0xF100'0000;
constexpr uint32_t kDeployStep = 0xD000'0000;  // + k: the row's k-th other settings
constexpr uint32_t kReleaseStep = 0xF200'0000;
constexpr uint32_t kDestroyStep = 0xF300'0000;

// What a supervisor keeps of its lifecycle: its state tracker's state and
// control-enable flags (bit n: the n-th of codes 1, 4100, 2, 3, 4101, 4 takes
// part), or the state word of a frame without a tracker.
struct tLifecycleRecord {
  int64_t state = 0;
  uint32_t flags = 0;
  bool tracked = false;
};
template <class tSupervisor>
tLifecycleRecord lifecycleOf(tSupervisor& supervisor) {
  nQoMDBG100::tStatus2 asked;
  if constexpr (requires { supervisor.getTracker(); }) {
    auto& tracker = supervisor.getTracker();
    const uint32_t flags = tracker.getFlag0(asked) | tracker.getFlag1(asked) << 1 |
                           tracker.getFlag2(asked) << 2 | tracker.getFlag3(asked) << 3 |
                           tracker.getFlag4(asked) << 4 | tracker.getFlag5(asked) << 5;
    return {tracker.getState(asked), flags, true};
  } else if constexpr (requires { supervisor.getState(); }) {
    return {supervisor.getState()};
  } else if constexpr (requires { supervisor.getLifecycle(); }) {
    return {supervisor.getLifecycle()};
  } else {
    return {};
  }
}

// Taken before a deploy: what the deploy must leave as it found it, the
// board's registers (none written) and the supervisor's lifecycle record.
// changed answers a line per kind that the deploy changed.
template <class tSupervisor>
class tBeforeDeploy {
 public:
  tBeforeDeploy(const tBoardWatch& board, tSupervisor& supervisor)
      : _mark(board.accessMark()), _record(lifecycleOf(supervisor)) {}
  std::string changed(const tBoardWatch& board, tSupervisor& supervisor) const {
    std::string faults;
    const std::string written = board.firstWriteSince(_mark);
    if (!written.empty()) faults += "the deploy wrote register " + written + "\n";
    const tLifecycleRecord now = lifecycleOf(supervisor);
    if (now.state != _record.state)
      faults += std::string("the deploy changed the ") +
                (now.tracked ? "tracker's state" : "supervisor's state word") + " from " +
                std::to_string(_record.state) + " to " + std::to_string(now.state) + "\n";
    if (now.flags != _record.flags)
      faults += "the deploy changed the tracker's control flags from " + hex(_record.flags) +
                " to " + hex(now.flags) + "\n";
    return faults;
  }

 private:
  static std::string hex(uint32_t value) {
    std::ostringstream text;
    text << "0x" << std::hex << std::uppercase << value;
    return text.str();
  }
  uint64_t _mark;
  tLifecycleRecord _record;
};

template <class Row>
class CodeWalk : public Lifecycle<Row> {
 protected:
  void walk() {
    const std::string fresh = this->primitiveState();
    std::vector<uint32_t> steps(std::begin(Row::kCodes), std::end(Row::kCodes));
    steps.push_back(kFireStep);
    for (size_t k = 0; k < deploys(); ++k) steps.push_back(kDeployStep + static_cast<uint32_t>(k));
    const std::vector<std::vector<uint32_t>> orders = ordersOf(steps, isDeploy);
    for (const std::vector<uint32_t>& order : orders)
      for (bool destroyed : {false, true}) {
        walkOne(order, destroyed, fresh);
        if (::testing::Test::HasFatalFailure()) return;
      }
    if constexpr (!deployReachesAtOnce())
      for (const auto& [walked, steps] : _traces) compareWithoutDeploys(walked, steps);
    _faults.report(2 * orders.size());
  }

 private:
  using tStatus2 = nQoMDBG100::tStatus2;

  static bool isDeploy(uint32_t step) { return (step & 0xFFFF'0000) == kDeployStep; }
  static std::string nameOf(uint32_t step) {
    if (step == kFireStep) return "fire";
    if (isDeploy(step)) return "deploy " + std::to_string(step - kDeployStep);
    return std::to_string(step);
  }
  size_t deploys() {
    if constexpr (requires { Row::kDeploys; })
      return Row::kDeploys;
    else
      return 0;
  }
  static constexpr bool deployReachesAtOnce() {
    if constexpr (requires { Row::kDeployReachesAtOnce; })
      return Row::kDeployReachesAtOnce;
    else
      return false;
  }
  static bool programs(uint32_t step) {
    if constexpr (requires { Row::kProgramming; })
      return std::ranges::find(Row::kProgramming, step) != std::end(Row::kProgramming);
    else
      return step == 1;
  }

  // A step as the client met it: its answer, the report streams' events
  // since the mark and what the client got.
  struct tTraced {
    uint32_t step = 0;
    int code = 0;
    std::string reports, client;
  };
  using tWalked = std::pair<std::vector<uint32_t>, bool>;  // the order, destroyed

  void traceStep(uint32_t step, const tStatus2& status) {
    std::string client;
    if constexpr (requires { this->clientData(); }) client = this->clientData();
    _trace.push_back({step, status.code, this->watched.reportLog(), std::move(client)});
  }
  static std::string describe(const tWalked& walked) {
    std::string text = "bring-up";
    for (uint32_t step : walked.first) text += ", " + nameOf(step);
    return text + (walked.second ? ", destruction" : ", release");
  }
  // An order whose deploys all come after its last programming code, against
  // the same order without them: its steps but the deploys, one by one.
  void compareWithoutDeploys(const tWalked& walked, const std::vector<tTraced>& steps) {
    const std::vector<uint32_t>& order = walked.first;
    const auto deploy = std::ranges::find_if(order, isDeploy);
    if (deploy == order.end() || std::any_of(deploy, order.end(), programs)) return;
    tWalked without{{}, walked.second};
    std::ranges::copy_if(order, std::back_inserter(without.first),
                         [](uint32_t step) { return !isDeploy(step); });
    const auto found = _traces.find(without);
    if (found == _traces.end()) return;
    std::vector<tTraced> with;
    std::ranges::copy_if(steps, std::back_inserter(with),
                         [](const tTraced& traced) { return !isDeploy(traced.step); });
    const std::vector<tTraced>& plain = found->second;
    const std::string both = describe(walked) + " against " + describe(without);
    // The first step that differs: the steps after it go on from there.
    for (size_t i = 0; i < std::min(with.size(), plain.size()); ++i) {
      const std::string step = stepName(with[i].step);
      const std::string after = " after the deploys than without them";
      if (with[i].code != plain[i].code)
        check(step, both,
              "answered " + std::to_string(with[i].code) + " after the deploys, " +
                  std::to_string(plain[i].code) + " without them\n");
      else if (with[i].reports != plain[i].reports)
        check(step,
              both + " (" + flat(with[i].reports) + " against " + flat(plain[i].reports) + ")",
              "the report streams told other events" + after + "\n");
      else if (with[i].client != plain[i].client)
        check(step, both + " (" + flat(with[i].client) + " against " + flat(plain[i].client) + ")",
              "the client got other data" + after + "\n");
      else
        continue;
      return;
    }
  }
  static std::string stepName(uint32_t step) {
    if (step == 0) return "bring-up";
    if (step == kReleaseStep) return "release";
    if (step == kDestroyStep) return "destruction";
    return nameOf(step);
  }
  // Lines joined by "; ", for a note of one line.
  static std::string flat(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at))
      text.replace(at, 1, "; ");
    return text;
  }

  void walkOne(const std::vector<uint32_t>& order, bool destroyed, const std::string& fresh) {
    std::string walked = "bring-up";
    for (uint32_t step : order) walked += ", " + nameOf(step);
    walked += destroyed ? ", destruction" : ", release";
    this->watched.mark();
    this->bringUp(true);
    if (::testing::Test::HasFatalFailure()) return;
    tEnded ended = tEnded::kNo;
    check("bring-up", walked, this->boardFaults() + runsAgainst(ended));
    _trace.clear();
    traceStep(0, tStatus2{});
    for (uint32_t step : order) {
      tStatus2 status;
      std::string faults;
      if (step == kFireStep) {
        this->watched.fire();
        if constexpr (requires { this->fired(); }) faults = this->fired();
      } else if (isDeploy(step)) {
        if constexpr (requires { Row::kDeploys; }) {
          const tBeforeDeploy before(this->watched, *this->supervisor);
          this->deployOther(*this->supervisor, step - kDeployStep, status);
          // A deploy step that the row counts among its programming steps
          // runs steps beside its deploy: the row checks the deploy inside.
          if (!programs(step)) faults = before.changed(this->watched, *this->supervisor);
        }
      } else {
        runCode(step, status);
        if (step == 4101 && stops(step) && status.code == 0)
          ended = tEnded::kDisarm;
        else if (step == 3 && stops(step) && status.code == 0 && ended == tEnded::kNo)
          ended = tEnded::kStop;
        else if (step == 4100 || step == 2)
          ended = tEnded::kNo;
      }
      check(nameOf(step), walked,
            faults + this->boardFaults() + runsAgainst(ended) + rowFaults(step, status));
      traceStep(step, status);
    }
    if (destroyed) {
      const size_t reports = this->watched.reports();
      std::pair<const void*, size_t> bytes{nullptr, 0};
      if constexpr (requires { this->primitiveBytes(); }) bytes = this->primitiveBytes();
      this->destroyPrimitive();
      check("destruction", walked,
            this->boardFaults() + this->watched.runs() + rowRuns() +
                this->watched.slotsInside(bytes.first, bytes.second) +
                rowFaults(kDestroyStep, tStatus2{}));
      if (this->watched.reports() != reports)
        check("destruction", walked, "a report stream was told\n");
      traceStep(kDestroyStep, tStatus2{});
      this->makePrimitive();
    } else {
      tStatus2 status;
      this->supervisor->releaseResource(status);
      check("release", walked,
            this->boardFaults() + runsAgainst(tEnded::kNo) + this->watched.unanswered() +
                rowFaults(kReleaseStep, status));
      const std::string left = this->primitiveState();
      if (left != fresh) check("release", walked, "left " + left + ", not " + fresh + "\n");
      traceStep(kReleaseStep, status);
    }
    this->tearDownSupervisor();
    _traces[{order, destroyed}] = std::move(_trace);
  }
  // The row's own call of a code (one that takes a parameter block, or that
  // the row notes for a report stream), else the supervisor's control with no
  // blocks.
  void runCode(uint32_t code, tStatus2& status) {
    if constexpr (requires { this->walkCode(*this->supervisor, code, status); })
      this->walkCode(*this->supervisor, code, status);
    else
      this->supervisor->control(code, nullptr, nullptr, status);
  }
  // The codes after which, answered 0, nothing of the primitive runs (3: no
  // run; 4101: no arm either): 3 and 4101, or the row's kStops (a stop that
  // leaves its primitive running as armed is none).
  static bool stops(uint32_t code) {
    if constexpr (requires { Row::kStops; })
      return std::ranges::find(Row::kStops, code) != std::end(Row::kStops);
    else
      return code == 3 || code == 4101;
  }
  // What the row checks of a step beyond the board.
  std::string rowFaults(uint32_t step, const tStatus2& status) {
    if constexpr (requires { this->stepFaults(step, status); })
      return this->stepFaults(step, status);
    else
      return "";
  }
  // What the board runs of the primitive beyond its watched sources and channels.
  std::string rowRuns() {
    if constexpr (requires { this->boardRuns(); })
      return this->boardRuns();
    else
      return "";
  }
  // The last code that ended what the codes before began, answering 0: a
  // stop leaves the arm (its sources) but no run; a disarm leaves nothing.
  enum class tEnded { kNo, kStop, kDisarm };
  // What the board runs of a primitive that records itself below armed, or
  // that a stop or disarm answered 0 for.
  std::string runsAgainst(tEnded ended) {
    bool armed = true;
    if constexpr (requires { this->armRecorded(); }) armed = this->armRecorded();
    if (armed && ended == tEnded::kNo) return "";
    const bool arm = !armed || ended == tEnded::kDisarm;
    const char* after = !armed                   ? "below armed: "
                        : ended == tEnded::kStop ? "after a stop that answered 0: "
                                                 : "after a disarm that answered 0: ";
    std::istringstream lines(this->watched.runs(arm) + rowRuns());
    std::string faults;
    for (std::string line; std::getline(lines, line);) faults += after + line + "\n";
    return faults;
  }
  void check(const std::string& step, const std::string& walked, const std::string& faults) {
    _faults.note(step, walked, faults);
  }

  tFaultTally _faults;
  // The walk under way, and every walk's, by its order.
  std::vector<tTraced> _trace;
  std::map<tWalked, std::vector<tTraced>> _traces;
};
TYPED_TEST_SUITE_P(CodeWalk);
TYPED_TEST_P(CodeWalk, EveryOrderOfItsCodesLeavesTheBoardSound) { this->walk(); }
REGISTER_TYPED_TEST_SUITE_P(CodeWalk, EveryOrderOfItsCodesLeavesTheBoardSound);

// A program whose rows have no such step instantiates none of these.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FailedLinkLifecycle);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FillLifecycle);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(HandBackLifecycle);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ArrivingEntryLifecycle);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CodeWalk);

}  // namespace nQoTest
