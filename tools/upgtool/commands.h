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

// Each command's usage line, printed by its usage error and by
// upgtool --help.
constexpr char kListUsage[] = "list [--json] PACKAGE";
constexpr char kStampUsage[] = "stamp [--json] [--time-zone ZONE] FILE...";
constexpr char kCheckUsage[] = "check [--json] [--key KEYFILE.pub] PACKAGE FOLDER";
constexpr char kApplyUsage[] = "apply [--yes | --no] [--key KEYFILE.pub] PACKAGE FOLDER";
constexpr char kKeygenUsage[] = "keygen -o KEYFILE";
constexpr char kSignUsage[] = "sign --key KEYFILE PACKAGE";
constexpr char kVerifyUsage[] = "verify --key KEYFILE.pub PACKAGE";

// Prints "usage: upgtool USAGE" on standard error and returns 2.
int UsageError(const char* usage);

}  // namespace upgtool
