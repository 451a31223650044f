// upgtool list, check, keygen and sign as a publisher runs them: what each
// prints, its exit status, and what it refuses without changing anything.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/program.h"
#include "signing/key_files.h"
#include "tests/support/command_run.h"
#include "tests/support/package_file.h"
#include "tests/support/upgrade_fixture.h"
#include "tools/upgtool/commands.h"

using namespace package;
using namespace builder;
using namespace signing;
using namespace upgtool;

namespace {

namespace fs = std::filesystem;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(UpgtoolList, JsonOfAValidPackageOfEitherKind) {
  for (const PackageKind kind : {PackageKind::kClassic, PackageKind::kExtended}) {
    const std::string kindName = kind == PackageKind::kExtended ? "extended" : "classic";
    TempFolder folder;
    PackageWriter writer(18, kind);
    writer.SetTitle("Demo \xE9");
    PackageEntrySpec entry;
    std::tie(entry.operation, entry.fileName, entry.oldStamp, entry.newStamp, entry.delta) =
        std::make_tuple(Operation::kUpdate, "sub\\a.txt", MakeStamp(0x0021, 0, 2, 0x6162),
                        MakeStamp(0x0021, 0, 3, 0x6202), InsertDelta("abc"));
    writer.AddEntry(entry);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(writer.Compressed(&bytes));
    const std::string path = WritePackage(folder, "p.upg", bytes);
    const CommandRun run = RunCommand(RunList, {"--json", path});
    EXPECT_EQ(run.status, 0);
    for (const std::string& part : std::vector<std::string>{
             "\"compressed\":true", "\"valid\":true", "\"title\":\"Demo \\u00e9\"",
             "\"totalBytes\":4", "\"fileName\":\"sub\\\\a.txt\"", "\"operationName\":\"Update\"",
             "\"newStamp\":{\"dosTime\":0,\"dosDate\":33,\"size\":3,\"checksum\":25090}",
             "\"kind\":\"" + kindName + "\""})
      EXPECT_TRUE(Has(run.out, part)) << part << " in " << run.out;
    EXPECT_TRUE(Has(RunCommand(RunList, {path}).out, "Kind:         " + kindName + "\n"));
  }
}

TEST(UpgtoolList, BadPackagesExitOneWithTheReason) {
  TempFolder folder;
  std::vector<std::uint8_t> container;
  ASSERT_TRUE(CompressPackage(RawTestPackage(18, 0, {}), 9, &container));
  container.resize(container.size() - 6);
  const struct {
    std::vector<std::uint8_t> bytes;
    const char* reason;
  } cases[] = {
      {RandomBytes(300, 1), "not an upgrade package"},
      {SliceBytes(RawTestPackage(18, 0, {}), 0, 10), "truncated"},
      {RawTestPackage(19, 0, {}), "version 19 is too new"},
      {RawTestPackage(18, 10001, {}), "10001 entries, at most 10000"},
      {RawTestPackage(18, 1, RawEntry(0, "..\\..\\evil.dll", {RawStamp(1)})),
       "entry 0 names a file outside the target folder"},
      {RawTestPackage(18, 1, RawEntry(0, "__KVUPD_\\N00001.TMP", {RawStamp(1)})),
       "entry 0 names a file in the staging folder __KVUPD_"},
      {RawTestPackage(18, 1, RawEntry(1, "u")),
       "the file ends where the stamp of entry 0 should be"},
      {container, "truncated"},
  };
  for (const auto& c : cases) {
    const CommandRun run = RunCommand(RunList, {"--json", WritePackage(folder, "b.upg", c.bytes)});
    EXPECT_EQ(run.status, 1) << c.reason;
    EXPECT_TRUE(Has(run.err, c.reason)) << c.reason << " / " << run.err;
    EXPECT_TRUE(Has(run.out, "\"valid\":false")) << c.reason;
  }
  EXPECT_TRUE(Has(RunCommand(RunList, {folder.Join("none.upg")}).err, "cannot open"));
  EXPECT_EQ(RunCommand(RunList, {"a.upg", "b.upg"}).status, 2);
}

// One command run: its exit status (-1: any) and a part of what it prints.
struct Step {
  int (*command)(int, char**);
  std::vector<std::string> arguments;
  int status;
  std::string shows;
};

void RunSteps(const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    const CommandRun run = RunCommand(step.command, step.arguments);
    if (step.status >= 0) {
      EXPECT_EQ(run.status, step.status) << step.arguments[0] << " " << step.shows;
    }
    EXPECT_TRUE(Has(run.out + run.err, step.shows)) << step.shows << " in " << run.out << run.err;
  }
}

// check and apply refuse alike what they cannot judge, and change nothing.
TEST(UpgtoolCheck, CheckAndApplyRefuseWhatTheyCannotJudge) {
  SampleUpgrade sample;
  const std::string refused = sample.root.Join("refused.upg");
  WriteEscapingPackage(refused);
  const FolderSnapshot before = TakeSnapshot(sample.root.path());
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
  RunSteps({{RunCheck, {"--yes", sample.package, sample.target}, 2, ""}});
}

// check and apply judge as an applicator that trusts the key given.
TEST(UpgtoolSigning, KeygenSignListCheckAndApplyFollowTheKey) {
  SampleUpgrade sample(false, Policy::kAsk);
  const std::string key = sample.root.Join("publisher"), other = sample.root.Join("other"),
                    package = sample.package, target = sample.target;
  const CommandRun run = RunCommand(RunKeygen, {"-o", key});
  ASSERT_EQ(run.status, 0) << run.err;
  Ed25519PublicKey publicKey{};
  std::string problem;
  ASSERT_TRUE(ReadPublicKeyFile((key + ".pub").c_str(), &publicKey, &problem));
  const std::string id = KeyIdText(KeyIdOf(publicKey));
  EXPECT_TRUE(Has(run.out, "Key id:      " + id));
  // The secret is the owner's alone (Windows gets an access list instead).
  if (platform::NativeSeparator() == '/') {
    EXPECT_EQ(fs::status(NativeTestPath(key)).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
  }
  // A public key file in the way stops keygen before it makes anything.
  WriteTestFile(sample.root.Join("taken.pub"), "mine");
  const FolderSnapshot before = TakeSnapshot(target);
  RunSteps({{RunKeygen, {"-o", other}, 0, ""},
            {RunKeygen, {"-o", key}, 1, "exists already"},
            {RunKeygen, {"-o", sample.root.Join("taken")}, 1, ""},
            {RunCheck,
             {"--key", sample.root.Join("taken.pub"), package, target},
             -1,
             "is not a public key file"},
            {RunList, {package}, -1, "Signature:    none\n"},
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
