// Test controls of the routing library: an ordered log of every call, a
// failure armed on the nth call, the unpacked tables still held and the node
// registered per owner.
//
//   nQoSim::failRoutingCall(2, -50150);   // the second routing call from now fails
//   ... code under test ...
//   EXPECT_EQ(nQoSim::routingLog()[0].function, "unpackTopographyTable");
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nQoMRU210 {
class tRoutingDeviceNode;
}

namespace nQoSim {

struct tRoutingRecord {
  std::string function{};         // "unpackRoutingNodeTable", "setName", ...
  const void* object = nullptr;   // the node, table or owner the call is about
  std::vector<uint64_t> words{};  // the numeric and pointer arguments in order
  std::string text{};             // setName's name
  int incoming = 0;               // the status code at the call
  int outgoing = 0;               // the status code after it
};
// The most recent calls, oldest first (tBoundedLog keeps them).
std::vector<tRoutingRecord> routingLog();

// Makes the nth routing call from now (1: the next) set the code and do
// nothing else; 0 disarms.
void failRoutingCall(unsigned nth, int code);

// Tables unpacked and not yet freed.
int liveRoutingTables();
// The node registered for the owner, or null.
nQoMRU210::tRoutingDeviceNode* routingNodeOf(const void* owner);

// Called with each node once addRoutingDeviceNode has registered it, as the
// routing library applies a node's first routes; empty: nothing is called.
void onRoutingNodeAdded(std::function<void(nQoMRU210::tRoutingDeviceNode*)> hook);

// Empties the log, drops the hook and disarms the failure (held tables and
// nodes stay).
void resetRouting();
// Logging is on by default; benchmarks turn it off.
void setRoutingLogging(bool on);

}  // namespace nQoSim
