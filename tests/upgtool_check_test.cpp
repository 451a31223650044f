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

// check and apply refuse alike what they cannot judge, and change nothing.
TEST(UpgtoolCheck, CheckAndApplyRefuseWhatTheyCannotJudge) {
  SampleUpgrade sample;
  const std::string refused = sample.root.Join("refused.upg");
  WriteEscapingPackage(refused);
  const FolderSnapshot before = TakeSnapshot(sample.root.path());
  const struct {
    std::string package;
    std::string folder;
    const char* reason;
  } cases[] = {
      {sample.package, sample.target + "nowhere", "is not a folder"},
      {sample.target + "a.txt", sample.target, "not an upgrade package"},
      {refused, sample.target, "entry 0 names a file outside the target folder"},
  };
  for (const auto& c : cases) {
    for (const bool apply : {false, true}) {
      SCOPED_TRACE(std::string(apply ? "apply: " : "check: ") + c.reason);
      const CommandRun run = apply ? RunCommand(RunApply, {"--yes", c.package, c.folder})
                                   : Check({c.package, c.folder});
      EXPECT_EQ(run.status, 1);
      EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
      EXPECT_TRUE(TakeSnapshot(sample.root.path()) == before);
    }
  }
  EXPECT_EQ(Check({sample.package}).status, 2);
  EXPECT_EQ(Check({"--yes", sample.package, sample.target}).status, 2);
}

}  // namespace
