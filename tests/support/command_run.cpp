#include "tests/support/command_run.h"

#include <gtest/gtest.h>

CommandRun RunCommand(int (*command)(int argc, char** argv), std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& a : arguments) argv.push_back(a.data());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int status = command(static_cast<int>(argv.size()), argv.data());
  return {status, testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
}

void RunSteps(const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    const CommandRun run = RunCommand(step.command, step.arguments);
    if (step.status >= 0) {
      EXPECT_EQ(run.status, step.status) << step.arguments[0] << " " << step.shows;
    }
    EXPECT_NE((run.out + run.err).find(step.shows), std::string::npos)
        << step.shows << " in " << run.out << run.err;
  }
}
