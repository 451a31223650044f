#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "signing/key_files.h"
#include "tests/support/command_run.h"
#include "tests/support/signed_package.h"
#include "tests/support/upgrade_fixture.h"
#include "tools/upgtool/commands.h"

using namespace package;
using namespace signing;
using namespace upgtool;

namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(UpgtoolSigning, KeygenSignListCheckAndApplyFollowTheKey) {
  SampleUpgrade sample(false, Policy::kAsk);
  const std::string key = sample.root.Join("publisher");
  const std::string other = sample.root.Join("other");
  CommandRun run = RunCommand(RunKeygen, {"-o", key});
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(RunCommand(RunKeygen, {"-o", other}).status, 0);
  Ed25519PublicKey publicKey{};
  std::string problem;
  ASSERT_TRUE(ReadPublicKeyFile((key + ".pub").c_str(), &publicKey, &problem));
  const std::string id = KeyIdText(KeyIdOf(publicKey));
  EXPECT_TRUE(Has(run.out, "Key id:      " + id));
  EXPECT_EQ(RunCommand(RunKeygen, {"-o", key}).status, 1);

  run = RunCommand(RunList, {sample.package});
  EXPECT_TRUE(Has(run.out, "Signature:    none\n")) << run.out;
  run = RunCommand(RunSign, {"--key", key + ".pub", sample.package});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Has(run.err, "is not a secret key file")) << run.err;
  run = RunCommand(RunSign, {"--key", key, sample.package});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Has(run.out, sample.package + ".sig (key " + id + ")")) << run.out;
  EXPECT_TRUE(Has(RunCommand(RunList, {sample.package}).out, "Signature:    present, key " + id));
  EXPECT_TRUE(Has(RunCommand(RunList, {"--json", sample.package}).out,
                  "\"signature\":\"present\",\"signatureKey\":\"" + id + "\""));

  // check and apply judge as an applicator that trusts the key given.
  const FolderSnapshot before = TakeSnapshot(sample.target);
  run = RunCommand(RunCheck, {"--key", other + ".pub", sample.package, sample.target});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Has(run.err, "is signed by another key")) << run.err;
  EXPECT_EQ(RunCommand(RunCheck, {"--key", key + ".pub", sample.package, sample.target}).status, 0);
  run = RunCommand(RunApply, {"--yes", "--key", other + ".pub", sample.package, sample.target});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(TakeSnapshot(sample.target) == before);
  run = RunCommand(RunApply, {"--yes", "--key", key + ".pub", sample.package, sample.target});
  EXPECT_EQ(run.status, 0) << run.err;
  for (const auto& [name, bytes] : sample.expected)
    EXPECT_EQ(ReadTestFile(sample.target + name), bytes);

  WriteTestFile(sample.package + ".sig", "short");
  EXPECT_TRUE(Has(RunCommand(RunList, {sample.package}).out, "Signature:    damaged\n"));
  EXPECT_EQ(RunCommand(RunVerify, {sample.package}).status, 2);
  EXPECT_EQ(RunCommand(RunKeygen, {}).status, 2);
  EXPECT_EQ(RunCommand(RunSign, {"--key", key}).status, 2);
}

}  // namespace
