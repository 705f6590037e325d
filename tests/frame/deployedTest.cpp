// The deployed settings and their record: a deploy reaches the record only
// through a programming step, and a release forgets the record.
#include <gtest/gtest.h>

#include <cstdint>

#include "frame/tDeployed.h"

namespace {

struct tFields {
  uint32_t mode = 7;
  uint32_t count = 0x1100;
};

class tEngine {
 public:
  static constexpr const char* kDeploySteps[] = {"deployMode"};
  static constexpr const char* kProgrammingSteps[] = {"commit"};

  void deployMode(uint32_t mode) { fields.deploying().mode = mode; }
  uint32_t commit() { return fields.program().mode; }

  nQoUdR100::tDeployed<tFields, tEngine> fields;
};

TEST(DeployedTest, ADeployReachesTheRecordOnlyThroughAProgrammingStep) {
  tEngine engine;
  EXPECT_EQ(engine.fields.programmed().mode, 7u);

  engine.fields.deploy({.mode = 1, .count = 0x1101});
  EXPECT_EQ(engine.fields.programmed().mode, 7u) << "a deploy changed the record";
  EXPECT_EQ(engine.fields.programmed().count, 0x1100u);
  EXPECT_EQ(engine.commit(), 1u);
  EXPECT_EQ(engine.fields.programmed().count, 0x1101u);

  // A partial deploy keeps the other deployed fields for the next step.
  engine.deployMode(2);
  EXPECT_EQ(engine.fields.programmed().mode, 1u);
  EXPECT_EQ(engine.commit(), 2u);
  EXPECT_EQ(engine.fields.programmed().count, 0x1101u);

  // The release forgets the record, not what is deployed.
  engine.fields.forget();
  EXPECT_EQ(engine.fields.programmed().mode, 7u);
  EXPECT_EQ(engine.fields.programmed().count, 0x1100u);
  EXPECT_EQ(engine.commit(), 2u);
}

}  // namespace
