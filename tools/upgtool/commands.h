// upgtool's commands. Each takes the arguments after its own name and
// returns the process exit code: 0 success, 1 a negative verdict or failure,
// 2 a usage error (after printing the command's usage line); apply adds 3,
// applied but some files could not be put in place or removed.
#pragma once

namespace upgtool {

int RunBuild(int argc, char** argv);
int RunList(int argc, char** argv);
int RunStamp(int argc, char** argv);
int RunCheck(int argc, char** argv);
int RunApply(int argc, char** argv);
int RunKeygen(int argc, char** argv);
int RunSign(int argc, char** argv);
int RunVerify(int argc, char** argv);

struct Command {
  const char* name;
  int (*run)(int argc, char** argv);
  const char* usage;
};

// Prints "usage: upgtool USAGE" on standard error and returns 2.
int UsageError(const char* usage);

}  // namespace upgtool
