// The driver-parameter store: through the module's free functions after a
// load, and over a provider of the test's own.
#include <gtest/gtest.h>

#include <string>

#include "reservation/globalDriverParameters.h"
#include "reservation/tGlobalDriverParametersImpl.h"
#include "sim/simKal.h"
#include "sim/simStatusLog.h"
#include "support/moduleFixture.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoMRTB100::getGlobalDriverParameter;
using nQoMRTB100::setGlobalDriverParameter;

uint32_t get(const wchar_t* key, uint32_t defaultValue, uint32_t refresh = 0) {
  tStatus2 status;
  uint32_t value = 0xDEAD;
  getGlobalDriverParameter(key, defaultValue, &value, status, refresh, 0);
  EXPECT_EQ(status.code, 0);
  return value;
}

class GlobalDriverParametersTest : public nQoTest::tLeakCheckedTest {};

TEST_F(GlobalDriverParametersTest, MissesTakeTheDefaultAndKeepIt) {
  nQoTest::tLoadedModule module;
  EXPECT_EQ(get(L"k", 7), 7u);
  EXPECT_EQ(get(L"k", 9), 7u);

  tStatus2 status;
  setGlobalDriverParameter(L"k", 3, status, 0);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(get(L"k", 9), 3u);
  EXPECT_EQ(get(L"k", 9, 1), 9u) << "refresh asks the provider, which knows nothing";
  EXPECT_EQ(get(L"k", 5), 9u) << "the refreshed default was stored";

  setGlobalDriverParameter(L"abc", 2, status, 0);
  setGlobalDriverParameter(L"ab", 1, status, 0);
  EXPECT_EQ(get(L"ab", 0), 1u);
  EXPECT_EQ(get(L"abc", 0), 2u);
  EXPECT_EQ(get(L"a", 4), 4u);
}

TEST_F(GlobalDriverParametersTest, AFailedMutexFailsEveryCall) {
  nQoSim::failNextMutex();
  nQoTest::tLoadedModule module;
  EXPECT_EQ(nQoSim::liveMutexes(), 0);
  tStatus2 got(+5);
  uint32_t value = 11;
  getGlobalDriverParameter(L"k", 7, &value, got, 0, 0);
  EXPECT_EQ(got.code, -52000);
  EXPECT_EQ(value, 11u);
  tStatus2 set;
  setGlobalDriverParameter(L"k", 3, set, 0);
  EXPECT_EQ(set.code, -52000);

  EXPECT_TRUE(nQoTest::loggedAt(-52000, "tGlobalDriverParametersImpl", 38));
  EXPECT_TRUE(nQoTest::loggedAt(-52000, "tGlobalDriverParametersImpl", 66));

  tStatus2 held(-7);
  getGlobalDriverParameter(L"k", 7, &value, held, 0, 0);
  EXPECT_EQ(held.code, -7);
}

TEST_F(GlobalDriverParametersTest, BadArgumentsAndFailedAllocationsStoreNothing) {
  uint32_t value = 11;
  tStatus2 unloaded;
  getGlobalDriverParameter(L"k", 7, &value, unloaded, 0, 0);
  EXPECT_EQ(unloaded.code, -50004);

  nQoTest::tLoadedModule module;
  tStatus2 nullKey, nullOut;
  getGlobalDriverParameter(nullptr, 7, &value, nullKey, 0, 0);
  getGlobalDriverParameter(L"k", 7, nullptr, nullOut, 0, 0);
  EXPECT_EQ(nullKey.code, -50004);
  EXPECT_EQ(nullOut.code, -50004);
  EXPECT_EQ(value, 11u);

  // The key's copy, the entry's copy of it, the entry array.
  const wchar_t* keys[] = {L"k1", L"k2", L"k3"};
  for (uint64_t nth : {1u, 2u, 3u}) {
    tStatus2 status;
    nQoSim::failAllocation(nth);
    setGlobalDriverParameter(keys[nth - 1], 3, status, 0);
    EXPECT_EQ(status.code, -50352) << nth;
    EXPECT_EQ(get(keys[nth - 1], 8), 8u) << nth;
  }
}

// The map keeps its lost insertion: every later set of a new key answers
// -50352 (the pair is stored all the same); a known key's set and a get of a
// new key do not see it.
TEST_F(GlobalDriverParametersTest, AFailedInsertionFailsEveryLaterSetOfANewKey) {
  nQoTest::tLoadedModule module;
  tStatus2 known, lost, later, replaced;
  setGlobalDriverParameter(L"a", 1, known, 0);
  nQoSim::failAllocation(2);  // the entry's copy of the key
  setGlobalDriverParameter(L"b", 2, lost, 0);
  EXPECT_EQ(lost.code, -50352);
  nQoSim::clearStatusLog();
  setGlobalDriverParameter(L"c", 3, later, 0);
  EXPECT_EQ(later.code, -50352);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tGlobalDriverParametersImpl", 75));
  EXPECT_EQ(get(L"c", 9), 3u);
  setGlobalDriverParameter(L"a", 4, replaced, 0);
  EXPECT_EQ(replaced.code, 0);
  EXPECT_EQ(get(L"a", 9), 4u);
  EXPECT_EQ(get(L"d", 5), 5u);
  EXPECT_EQ(get(L"b", 6), 6u);
}

// Answers through the store itself for one key, so the store is re-entered
// on the same thread.
class tReenteringProvider : public nQoMRTB100::iGlobalDriverParametersDataProvider {
 public:
  uint32_t getParameter(uint64_t, const wchar_t* key, uint32_t* value, tStatus2& status) override {
    ++calls;
    if (std::wstring(key) != L"outer") return 0;
    store->get(L"inner", 41, value, status, 0, 0);
    ++*value;
    return 1;
  }
  nQoMRTB100::tGlobalDriverParametersImpl* store = nullptr;
  int calls = 0;
};

TEST_F(GlobalDriverParametersTest, AProviderMayCallBackIntoTheStore) {
  tReenteringProvider provider;
  nQoMRTB100::tGlobalDriverParametersImpl store(provider);
  provider.store = &store;
  tStatus2 status;
  uint32_t value = 0;
  store.get(L"outer", 1, &value, status, 0, 0x77);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(value, 42u);
  store.get(L"inner", 1, &value, status, 0, 0);
  EXPECT_EQ(value, 41u);
  EXPECT_EQ(provider.calls, 2);
}

}  // namespace
