#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/command_run.h"
#include "tests/support/upgrade_fixture.h"
#include "tools/upgtool/commands.h"

using namespace package;
using namespace upgtool;

namespace {

CommandRun Check(std::vector<std::string> arguments) {
  return RunCommand(RunCheck, std::move(arguments));
}

TEST(UpgtoolCheck, PrintsTheVerdictWithItsCounts) {
  SampleUpgrade sample(false, Policy::kAsk);
  CommandRun run = Check({"--json", sample.package, sample.target});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("\"valid\":true,\"matched\":4,\"mismatched\":0,\"criticalEntry\":-1"),
            std::string::npos)
      << run.out;
  WriteTestFile(sample.target + "a.txt", Bytes("changed"));
  WriteTestFile(sample.target + "v.txt", Bytes("changed"));
  WriteTestFile(sample.target + "c.txt", Bytes("changed"));
  run = Check({sample.package, sample.target});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("Verdict:     not valid\nMatched:     1\nMismatched:  3\n"),
            std::string::npos)
      << run.out;
}

TEST(UpgtoolCheck, RefusesWhatItCannotJudge) {
  SampleUpgrade sample;
  CommandRun run = Check({sample.package, sample.target + "nowhere"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("is not a folder"), std::string::npos);
  run = Check({sample.target + "a.txt", sample.target});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("not an upgrade package"), std::string::npos);
  EXPECT_EQ(Check({sample.package}).status, 2);
  EXPECT_EQ(Check({"--yes", sample.package, sample.target}).status, 2);
}

}  // namespace
