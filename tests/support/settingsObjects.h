// Settings objects by class name, and the checks their tests share:
//
//   nQoORB100::iCloneableExternalizable* settings =
//       nQoTest::createSettings("nQoUdR100::tEEPROMSettings");
//   nQoTest::expectNoStreamCalls(*settings, bytes, -7, -7);
//   nQoTest::destroy(settings);
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "orb/iCloneableExternalizable.h"
#include "orb/tClassImplementation.h"
#include "sim/simAllocator.h"
#include "sim/simStreams.h"

namespace nQoTest {

inline nQoORB100::iCloneableExternalizable* createSettings(const std::string& name) {
  int status = 0;
  nQoORB100::tObject* object = nQoORB100::tClassRegistry::createByName(name.c_str(), status);
  if (object == nullptr) return nullptr;
  return static_cast<nQoORB100::iCloneableExternalizable*>(
      object->___CPPKRLDynamicCast(&nQoORB100::iCloneableExternalizable::___classID));
}

inline void destroy(nQoORB100::tObject* object) {
  int status = 0;
  object->getClass(status).deleteInstance(object, status);
}

template <class T>
T* as(nQoORB100::tObject* object) {
  return object == nullptr ? nullptr
                           : static_cast<T*>(object->___CPPKRLDynamicCast(&T::___classID));
}

// The operations of the calls, without values.
inline std::vector<std::string> operations(const std::vector<nQoSim::tStreamCall>& calls) {
  std::vector<std::string> out;
  for (const nQoSim::tStreamCall& call : calls) out.push_back(call.operation);
  return out;
}

// The bytes settings write on a sound status.
template <class T>
std::vector<uint8_t> streamOf(const T& settings) {
  int status = 0;
  nQoSim::tRecordingOutputStream out;
  settings.writeExternal(out, status);
  EXPECT_EQ(status, 0);
  return out.bytes();
}

// Reads bytes and writes, each on a status of incoming: both end with
// expected and neither asks anything of its stream.
inline void expectNoStreamCalls(nQoORB100::iCloneableExternalizable& settings,
                                const std::vector<uint8_t>& bytes, int incoming, int expected) {
  int reading = incoming, writing = incoming;
  nQoSim::tScriptedInputStream in(bytes);
  nQoSim::tRecordingOutputStream out;
  settings.readExternal(in, reading);
  settings.writeExternal(out, writing);
  EXPECT_EQ(reading, expected);
  EXPECT_EQ(writing, expected);
  EXPECT_TRUE(in.calls().empty());
  EXPECT_TRUE(out.calls().empty());
}

// Settings that hold a failed allocation: reading bytes and writing end with
// -50352 without a stream call, and a clone is null with -50352 and allocates
// nothing.
inline void expectStoppedByAFailedAllocation(nQoORB100::iCloneableExternalizable& settings,
                                             const std::vector<uint8_t>& bytes) {
  expectNoStreamCalls(settings, bytes, 0, -50352);
  const uint64_t before = nQoSim::totalAllocations();
  int cloning = 0;
  EXPECT_EQ(settings.clone(cloning), nullptr);
  EXPECT_EQ(cloning, -50352);
  EXPECT_EQ(nQoSim::totalAllocations(), before);
}

}  // namespace nQoTest
