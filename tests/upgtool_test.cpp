// upgtool check, apply, keygen and sign as a publisher runs them: what each
// prints, its exit status, and what it refuses without changing anything.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/program.h"
#include "signing/key_files.h"
#include "tests/support/command_run.h"
#include "tests/support/package_file.h"
#include "tests/support/upgrade_fixture.h"
#include "tools/upgtool/commands.h"

using namespace signing;
using namespace upgtool;

namespace {

namespace fs = std::filesystem;

// check and apply refuse alike what they cannot judge, and change nothing;
// given a key, they judge as an applicator that trusts it.
TEST(Upgtool, CheckAndApplyRefuseWhatTheyCannotJudgeAndFollowTheKey) {
  SampleUpgrade sample(false, Policy::kAsk);
  const std::string refused = sample.root.Join("refused.upg");
  WriteEscapingPackage(refused);
  FolderSnapshot before = TakeSnapshot(sample.root.path());
  const struct {
    std::string package, folder;
    const char* reason;
  } cases[] = {{sample.package, sample.target + "nowhere", "is not a folder"},
               {sample.target + "a.txt", sample.target, "not an upgrade package"},
               {refused, sample.target, "entry 0 names a file outside the target folder"}};
  for (const auto& c : cases)
    RunSteps({{RunCheck, {c.package, c.folder}, 1, c.reason},
              {RunApply, {"--yes", c.package, c.folder}, 1, c.reason}});
  EXPECT_TRUE(TakeSnapshot(sample.root.path()) == before);
  const std::string key = sample.root.Join("publisher"), other = sample.root.Join("other"),
                    package = sample.package, target = sample.target;
  const CommandRun run = RunCommand(RunKeygen, {"-o", key});
  ASSERT_EQ(run.status, 0) << run.err;
  Ed25519PublicKey publicKey{};
  std::string problem;
  ASSERT_TRUE(ReadPublicKeyFile((key + ".pub").c_str(), &publicKey, &problem));
  const std::string id = KeyIdText(KeyIdOf(publicKey));
  // The secret is the owner's alone (Windows gets an access list instead).
  if (platform::NativeSeparator() == '/') {
    EXPECT_EQ(fs::status(NativeTestPath(key)).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
  }
  // A public key file in the way stops keygen before it makes anything.
  WriteTestFile(sample.root.Join("taken.pub"), "mine");
  before = TakeSnapshot(target);
  RunSteps({{RunCheck, {"--yes", package, target}, 2, ""},
            {RunList, {"a.upg", "b.upg"}, 2, ""},
            {RunKeygen, {"-o", other}, 0, ""},
            {RunKeygen, {"-o", key}, 1, "exists already"},
            {RunKeygen, {"-o", sample.root.Join("taken")}, 1, ""},
            {RunCheck,
             {"--key", sample.root.Join("taken.pub"), package, target},
             -1,
             "is not a public key file"},
            {RunSign, {"--key", key + ".pub", package}, 1, "is not a secret key file"},
            {RunSign, {"--key", key, package}, 0, package + ".sig (key " + id + ")"},
            {RunList,
             {"--json", package},
             -1,
             "\"signature\":\"present\",\"signatureKey\":\"" + id + "\""},
            {RunCheck, {"--key", other + ".pub", package, target}, 1, "is signed by another key"},
            {RunCheck,
             {"--json", "--key", key + ".pub", package, target},
             0,
             "\"valid\":true,\"matched\":4,\"mismatched\":0,\"criticalEntry\":-1"},
            {RunApply, {"--yes", "--key", other + ".pub", package, target}, 1, ""}});
  EXPECT_TRUE(TakeSnapshot(target) == before);
  RunSteps({{RunApply, {"--yes", "--key", key + ".pub", package, target}, 0, ""}});
  EXPECT_FALSE(TestPathExists(sample.root.Join("taken")));
  for (const auto& [name, bytes] : sample.expected) EXPECT_EQ(ReadTestFile(target + name), bytes);
  RunSteps({{RunCheck, {package, target}, 1, "Verdict:     not valid\nMatched:     "}});
  WriteTestFile(package + ".sig", "short");
  RunSteps({{RunList, {package}, -1, "Signature:    damaged\n"},
            {RunVerify, {package}, 2, ""},
            {RunSign, {"--key", key}, 2, ""}});
}

}  // namespace
