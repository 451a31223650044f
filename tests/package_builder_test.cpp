// upgtool build end to end: trees in, a package out, applied by the engine.
#include "builder/package_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "apply/apply_upgrade.h"
#include "builder/suffix_array.h"
#include "builder/thorough_compression.h"
#include "builder/tree_diff.h"
#include "package/file_stamp.h"
#include "platform/code_page.h"
#include "tests/support/command_run.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/package_file.h"
#include "tests/support/scripted_user.h"
#include "tests/support/upgrade_fixture.h"
#include "tools/upgtool/commands.h"

using namespace streams;
using namespace package;
using namespace apply;
using namespace builder;
using namespace upgtool;

namespace {

namespace fs = std::filesystem;
using ByteVector = std::vector<std::uint8_t>;

void Put(const std::string& root, const std::string& name, const ByteVector& bytes) {
  const fs::path path(NativeTestPath(root + name));
  fs::create_directories(path.parent_path());
  WriteTestFile(path.string(), bytes);
}

CommandRun Build(std::vector<std::string> arguments) {
  return RunCommand(RunBuild, std::move(arguments));
}

// Two releases in a scratch folder: old\ and new\ with files in
// sub-folders that are added, removed, changed a little, replaced
// wholesale and left alone.
class Releases {
 public:
  Releases() : oldRoot(folder.Join("old\\")), newRoot(folder.Join("new\\")) {
    const ByteVector engine = RandomBytes(150000, 1);
    ByteVector engine2 = engine;
    for (std::size_t at = 5000; at < engine2.size(); at += 9000) engine2[at] ^= 0x5A;
    engine2.insert(engine2.begin() + 70000, 300, 0x42);
    Put(oldRoot, "bin\\engine.dll", engine);
    Put(newRoot, "bin\\engine.dll", engine2);
    Put(oldRoot, "readme.txt", Bytes("Release 1\r\nSame old notes.\r\n"));
    Put(newRoot, "readme.txt", Bytes("Release 2\r\nSame old notes.\r\nAnd a new line.\r\n"));
    Put(oldRoot, "gfx\\logo.bmp", RandomBytes(4000, 2));
    Put(newRoot, "gfx\\logo.bmp", RandomBytes(4100, 3));
    Put(oldRoot, "data\\same.dat", RandomBytes(3000, 4));
    Put(newRoot, "data\\same.dat", RandomBytes(3000, 4));
    Put(oldRoot, "data\\empty.dat", {});
    Put(newRoot, "data\\empty.dat", {});
    Put(oldRoot, "old\\legacy.cfg", Bytes("x=1\r\n"));
    Put(newRoot, "data\\levels\\new.map", RandomBytes(7000, 5));
    Put(newRoot, "data\\zero.txt", {});
  }

  std::string Package(const std::string& name) const { return folder.Join(name); }

  BuildOptions Options() const {
    BuildOptions options;
    options.oldRoot = oldRoot;
    options.newRoot = newRoot;
    return options;
  }

  TempFolder folder;
  std::string oldRoot;
  std::string newRoot;
};

std::vector<std::string> EntryLines(const BuildResult& result) {
  std::vector<std::string> lines;
  for (const PackageEntrySpec& entry : result.entries)
    lines.push_back(std::string(OperationName(entry.operation)) + " " + entry.fileName);
  return lines;
}

// Applies the package to the old release in place and checks that it became
// the new one: the same bytes everywhere, and the new stamps on every file
// the package wrote.
void ApplyAndCompare(const Releases& releases, const std::string& package,
                     const BuildResult& result) {
  const FolderSnapshot expected = TakeSnapshot(releases.newRoot);
  ScriptedUser user;
  {
    std::unique_ptr<UpgradeSession> session = OpenRunSession(package, releases.oldRoot);
    ASSERT_TRUE(session->IsValid());
    EXPECT_EQ(ApplyUpgrade(*session), 1);
  }
  EXPECT_TRUE(user.EntryBoxes().empty());
  const FolderSnapshot applied = TakeSnapshot(releases.oldRoot);
  EXPECT_EQ(applied.files, expected.files);
  for (const PackageEntrySpec& entry : result.entries) {
    if (!CarriesNewStamp(entry.operation)) continue;
    const FileStamp applied = StampOfFile(releases.oldRoot + entry.fileName);
    const FileStamp released = StampOfFile(releases.newRoot + entry.fileName);
    EXPECT_EQ(std::memcmp(&applied, &released, sizeof applied), 0) << entry.fileName;
  }
}

TEST(PackageBuilder, TreesRoundTripInEveryFormAndLayout) {
  struct Form {
    bool compressed;
    std::uint8_t version;
    bool verifyUnchanged;
    std::vector<std::string> entries;
    PackageKind kind = PackageKind::kClassic;
    bool best = false;
  };
  const std::vector<std::string> changes = {"Update bin\\engine.dll", "Add data\\levels\\new.map",
                                            "Add data\\zero.txt",     "Replace gfx\\logo.bmp",
                                            "Remove old\\legacy.cfg", "Update readme.txt"};
  const Form forms[] = {
      {true, 18, false, changes, PackageKind::kExtended},
      {false, 18, false, changes, PackageKind::kExtended, true},
      {true, 18, false, changes, PackageKind::kClassic, true},
      {true,
       18,
       false,
       {"Update bin\\engine.dll", "Add data\\levels\\new.map", "Add data\\zero.txt",
        "Replace gfx\\logo.bmp", "Remove old\\legacy.cfg", "Update readme.txt"}},
      {false,
       18,
       true,
       {"Update bin\\engine.dll", "Verify data\\empty.dat", "Add data\\levels\\new.map",
        "Verify data\\same.dat", "Add data\\zero.txt", "Replace gfx\\logo.bmp",
        "Remove old\\legacy.cfg", "Update readme.txt"}},
      {true,
       17,
       false,
       {"Update bin\\engine.dll", "Add data\\levels\\new.map", "Add data\\zero.txt",
        "Update gfx\\logo.bmp", "Remove old\\legacy.cfg", "Update readme.txt"}},
      {false,
       17,
       true,
       {"Update bin\\engine.dll", "Verify data\\empty.dat", "Add data\\levels\\new.map",
        "Verify data\\same.dat", "Add data\\zero.txt", "Update gfx\\logo.bmp",
        "Remove old\\legacy.cfg", "Update readme.txt"}},
  };
  for (const Form& form : forms) {
    SCOPED_TRACE(std::to_string(form.version) + (form.compressed ? " [KVZ]" : " plain") +
                 (form.verifyUnchanged ? " verify-unchanged" : "") +
                 (form.kind == PackageKind::kExtended ? " extended" : "") +
                 (form.best ? " best" : ""));
    // The Windows build writes neither (ThisBuildRefusesWhatItLacks).
    if ((form.kind == PackageKind::kExtended && !CanSortSuffixes()) ||
        (form.best && form.compressed && !CanCompressThoroughly()))
      continue;
    Releases releases;
    BuildOptions options = releases.Options();
    options.kind = form.kind;
    options.best = form.best;
    options.compressed = form.compressed;
    options.version = form.version;
    options.verifyUnchanged = form.verifyUnchanged;
    options.title = "Round trip";
    const BuildResult result = BuildPackage(options);
    ASSERT_TRUE(result.errors.empty()) << result.errors[0];
    EXPECT_EQ(EntryLines(result), form.entries);
    // The small edits of the engine travel as copies, not as the file.
    EXPECT_LT(result.literalBytes, 150000u / 4 + 7000 + 4100);
    const std::string package = releases.Package("p.upg");
    ASSERT_EQ(WriteBuiltPackage(options, result, package, true), "");
    EXPECT_FALSE(TestPathExists(package + ".partial"));
    EXPECT_EQ(ReadTestFile(package), result.bytes);
    ApplyAndCompare(releases, package, result);
  }
}

TEST(PackageBuilder, SameTreesAndOptionsGiveTheSameBytesWithEntriesInByteOrder) {
  Releases releases;
  Put(releases.newRoot, "a-b.txt", Bytes("1"));
  Put(releases.newRoot, "a\\x.txt", Bytes("2"));
  Put(releases.newRoot, "aa.txt", Bytes("3"));
  Put(releases.newRoot, "B.txt", Bytes("4"));
  const BuildResult first = BuildPackage(releases.Options());
  const BuildResult second = BuildPackage(releases.Options());
  ASSERT_TRUE(first.errors.empty());
  EXPECT_EQ(first.bytes, second.bytes);
  std::vector<std::string> names;
  for (const PackageEntrySpec& entry : first.entries) names.push_back(entry.fileName);
  EXPECT_EQ(names,
            (std::vector<std::string>{"B.txt", "a-b.txt", "a\\x.txt", "aa.txt", "bin\\engine.dll",
                                      "data\\levels\\new.map", "data\\zero.txt", "gfx\\logo.bmp",
                                      "old\\legacy.cfg", "readme.txt"}));
}

TEST(PackageBuilder, PoliciesFromDefaultsOptionsAndThePolicyFile) {
  Releases releases;
  const auto policiesOf = [](const BuildResult& result, const std::string& name) {
    for (const PackageEntrySpec& entry : result.entries) {
      if (entry.fileName == name)
        return std::to_string(static_cast<int>(entry.warningPolicy)) +
               std::to_string(static_cast<int>(entry.errorPolicy));
    }
    return std::string("missing");
  };
  BuildOptions options = releases.Options();
  const BuildResult defaults = BuildPackage(options);
  EXPECT_EQ(policiesOf(defaults, "bin\\engine.dll"), "12");
  EXPECT_EQ(policiesOf(defaults, "data\\zero.txt"), "12");
  EXPECT_EQ(policiesOf(defaults, "gfx\\logo.bmp"), "12");
  EXPECT_EQ(policiesOf(defaults, "old\\legacy.cfg"), "10");

  options.warningPolicy = Policy::kIgnore;
  std::string problem;
  WriteTestFile(releases.Package("rules.txt"),
                "# exceptions\r\n"
                "data/**     -        ask\r\n"
                "*.txt       critical -\r\n"
                "\r\n"
                "data\\levels\\*.map  ASK  ignore\r\n");
  ASSERT_TRUE(options.rules.Load(releases.Package("rules.txt"), &problem)) << problem;
  const BuildResult ruled = BuildPackage(options);
  EXPECT_EQ(policiesOf(ruled, "bin\\engine.dll"), "02");
  EXPECT_EQ(policiesOf(ruled, "data\\zero.txt"), "01");
  EXPECT_EQ(policiesOf(ruled, "data\\levels\\new.map"), "10");
  EXPECT_EQ(policiesOf(ruled, "readme.txt"), "22");
  EXPECT_EQ(policiesOf(ruled, "old\\legacy.cfg"), "00");
}

TEST(PackageBuilder, GlobsAndPolicyFileErrors) {
  EXPECT_TRUE(GlobMatches("*.txt", "readme.txt"));
  EXPECT_FALSE(GlobMatches("*.txt", "doc\\readme.txt"));
  EXPECT_TRUE(GlobMatches("**/*.txt", "readme.txt"));
  EXPECT_TRUE(GlobMatches("**\\*.txt", "doc\\deep\\readme.txt"));
  EXPECT_TRUE(GlobMatches("doc/?.txt", "doc\\a.txt"));
  EXPECT_FALSE(GlobMatches("doc/?.txt", "doc\\ab.txt"));
  EXPECT_FALSE(GlobMatches("*.TXT", "readme.txt"));
  EXPECT_TRUE(GlobMatches("bin/**", "bin\\x\\y.dll"));

  TempFolder folder;
  WriteTestFile(folder.Join("bad.txt"), "ok.txt ask ask\nbroken.txt ask\n");
  PolicyRules rules;
  std::string problem;
  EXPECT_FALSE(rules.Load(folder.Join("bad.txt"), &problem));
  EXPECT_NE(problem.find("bad.txt:2: expected GLOB WARNING ERROR"), std::string::npos) << problem;
  WriteTestFile(folder.Join("bad.txt"), "x.txt sometimes ask\n");
  EXPECT_FALSE(PolicyRules().Load(folder.Join("bad.txt"), &problem));
  EXPECT_NE(problem.find("bad.txt:1:"), std::string::npos) << problem;
  EXPECT_FALSE(PolicyRules().Load(folder.Join("none.txt"), &problem));
  EXPECT_NE(problem.find("cannot read the policy file"), std::string::npos) << problem;
}

TEST(PackageBuilder, CommandWritesASummaryOrJson) {
  Releases releases;
  const std::string package = releases.Package("cli.upg");
  const CommandRun text = Build({releases.oldRoot, releases.newRoot, "-o", package, "--title",
                                 "Tool 2.0", "--description=From the command line"});
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("Entries:       6 (2 Add, 2 Update, 1 Replace, 0 Verify, 1 Remove)"),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("Verified:      yes"), std::string::npos);
  {
    const PackageReader reader(package.c_str());
    EXPECT_TRUE(reader.IsValid());
    EXPECT_TRUE(reader.IsCompressed());
    EXPECT_STREQ(reader.title.get(), "Tool 2.0");
    EXPECT_STREQ(reader.description.get(), "From the command line");
  }

  WriteTestFile(releases.Package("about.txt"), "Line one\r\nLine two");
  const CommandRun json =
      Build({"--json", "--plain", "--format", "17", "--verify-unchanged", "--description-file",
             releases.Package("about.txt"), releases.oldRoot, releases.newRoot, "-o", package});
  EXPECT_EQ(json.status, 0) << json.err;
  EXPECT_NE(json.out.find("\"written\":true,\"version\":17,\"compressed\":false"),
            std::string::npos)
      << json.out;
  EXPECT_NE(
      json.out.find("\"entries\":{\"Add\":2,\"Update\":3,\"Replace\":0,\"Verify\":2,\"Remove\":1}"),
      std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"packageBytes\":" + std::to_string(ReadTestFile(package).size())),
            std::string::npos);
  const PackageReader plain(package.c_str());
  EXPECT_FALSE(plain.IsCompressed());
  EXPECT_STREQ(plain.description.get(), "Line one\r\nLine two");
}

TEST(PackageBuilder, UsageErrors) {
  Releases releases;
  EXPECT_EQ(Build({releases.oldRoot, releases.newRoot}).status, 2);
  EXPECT_EQ(Build({releases.oldRoot, "-o", "x.upg"}).status, 2);
  EXPECT_EQ(Build({releases.oldRoot, releases.newRoot, "-o"}).status, 2);
  EXPECT_EQ(Build({"--bogus", releases.oldRoot, releases.newRoot, "-o", "x.upg"}).status, 2);
  const CommandRun format =
      Build({"--format", "16", releases.oldRoot, releases.newRoot, "-o", "x.upg"});
  EXPECT_EQ(format.status, 2);
  EXPECT_NE(format.err.find("--format 16: the builder writes version 17 or 18"), std::string::npos);
  const CommandRun policy =
      Build({"--error", "maybe", releases.oldRoot, releases.newRoot, "-o", "x.upg"});
  EXPECT_EQ(policy.status, 2);
  EXPECT_NE(policy.err.find("--error maybe: a policy is ignore, ask or critical"),
            std::string::npos);
  EXPECT_FALSE(TestPathExists("x.upg"));
}

// Each refusal: exit 1, the reason on standard error, and no package.
void ExpectRefused(const Releases& releases, std::vector<std::string> extra,
                   const std::string& reason) {
  const std::string package = releases.Package("refused.upg");
  extra.insert(extra.end(), {releases.oldRoot, releases.newRoot, "-o", package});
  const CommandRun run = Build(extra);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("upgtool: error: " + reason), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("upgtool: no package written"), std::string::npos);
  EXPECT_FALSE(TestPathExists(package));
  EXPECT_FALSE(TestPathExists(package + ".partial"));
}

TEST(PackageBuilder, ThisBuildRefusesWhatItLacks) {
  if (CanSortSuffixes() && CanCompressThoroughly()) GTEST_SKIP() << "this build lacks nothing";
  Releases releases;
  if (!CanSortSuffixes())
    ExpectRefused(releases, {"--extended"}, "this build of upgtool cannot write extended packages");
  if (!CanCompressThoroughly())
    ExpectRefused(releases, {"--best"}, "this build of upgtool cannot compress with --best");
}

// Where '\\' separates folders (Windows), a file name cannot hold it, nor a
// ':', nor make a path of 250 characters below a scratch folder.
bool WindowsNames() { return fs::path("a\\b").has_parent_path(); }

TEST(PackageBuilder, RefusesNamesThatCannotBeStored) {
  if (WindowsNames()) GTEST_SKIP() << "such names cannot be made here";
  {
    Releases releases;
    Put(releases.newRoot, std::string(250, 'n'), Bytes("x"));
    ExpectRefused(releases, {},
                  std::string(250, 'n') +
                      ": cannot be stored: the path has 250 characters, at most 249 can be stored");
  }
  {
    Releases releases;
    Put(releases.newRoot, "sub\\c:stream", Bytes("x"));
    ExpectRefused(releases, {},
                  "sub\\c:stream: cannot be stored: the applicator refuses names with ':'");
  }
  {
    Releases releases;
    Put(releases.newRoot, "back\\slash", Bytes("x"));
    fs::rename(NativeTestPath(releases.newRoot + "back/slash"),
               NativeTestPath(releases.newRoot) + "back\\slash.txt");
    ExpectRefused(releases, {},
                  releases.newRoot + "back\\slash.txt: cannot be stored: a backslash in a name");
  }
}

// Names are created on Windows as stored: what Windows would refuse or
// change is refused with its reason, and the names beside those pass.
TEST(PackageBuilder, NamesWindowsWouldRefuseOrChangeAreRefusedWithTheirReason) {
  const struct {
    const char* name;
    const char* reason;
  } kCases[] = {
      {"CON", "\"CON\" is the device CON on Windows, with any extension"},
      {"docs\\con.txt", "\"con.txt\" is the device con on Windows, with any extension"},
      {"Nul.tar.gz", "\"Nul.tar.gz\" is the device Nul on Windows, with any extension"},
      {"nul .txt", "\"nul .txt\" is the device nul on Windows, with any extension"},
      {"prn", "\"prn\" is the device prn on Windows, with any extension"},
      {"AUX.h", "\"AUX.h\" is the device AUX on Windows, with any extension"},
      {"COM1.log", "\"COM1.log\" is the device COM1 on Windows, with any extension"},
      {"lpt9", "\"lpt9\" is the device lpt9 on Windows, with any extension"},
      {"LPT\271.txt", "\"LPT\271.txt\" is the device LPT\271 on Windows, with any extension"},
      {"dir.\\file", "\"dir.\" ends in a dot, which Windows drops from names"},
      {"notes ", "\"notes \" ends in a blank, which Windows drops from names"},
      {"a<b", "\"a<b\" holds '<', which Windows refuses in names"},
      {"a>b", "\"a>b\" holds '>', which Windows refuses in names"},
      {"say \"hi\"", "\"say \"hi\"\" holds '\"', which Windows refuses in names"},
      {"in|out", "\"in|out\" holds '|', which Windows refuses in names"},
      {"what?", "\"what?\" holds '?', which Windows refuses in names"},
      {"*.txt", "\"*.txt\" holds '*', which Windows refuses in names"},
      {"tab\tname", "\"tab\tname\" holds a control character, which Windows refuses in names"},
      {"CONSOLE.txt", ""},
      {"COM10", ""},
      {"aux_notes.txt", ""},
      {"x\\CONx\\.profile", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(UnstorableNameReason(c.name), c.reason) << c.name;
}

// A name the code page cannot write is refused wherever it stands, on
// every system: a '?' marks each character that the code page lacks.
TEST(PackageBuilder, RefusesNamesTheCodePageCannotWrite) {
  if (platform::PackageCodePage() != 1252) GTEST_SKIP() << "names here are not in code page 1252";
  Releases releases;
  const fs::path folder =
      fs::path(NativeTestPath(releases.newRoot)) / fs::u8path("\xE2\x98\x83 snow");
  fs::create_directories(folder);
  std::ofstream(folder / "inside.txt") << "x";
  ExpectRefused(releases, {},
                releases.newRoot +
                    "? snow: cannot be stored: code page 1252 has no character for "
                    "each '?' in the name");
}

TEST(PackageBuilder, RefusesMoreThan10000Entries) {
  Releases releases;
  for (int i = 0; i < 9996; ++i) Put(releases.newRoot, "many\\" + std::to_string(i), {});
  ExpectRefused(releases, {}, "the package would have 10002 entries; at most 10000 can be read");
}

// Sparse files: the sizes are listed, never read.
TEST(PackageBuilder, RefusesFilesOf4GiBAndNewFilesAddingUpTo4GiB) {
  {
    Releases releases;
    Put(releases.newRoot, "huge.bin", {});
    std::error_code error;
    fs::resize_file(NativeTestPath(releases.newRoot + "huge.bin"), 0x100000000ull, error);
    if (error) GTEST_SKIP() << "no room for a sparse file of 4 GiB";
    ExpectRefused(
        releases, {},
        releases.newRoot +
            "huge.bin: 4294967296 bytes; files of 4 GiB and more are outside the package format");
  }
  {
    Releases releases;
    for (const char* name : {"part1.bin", "part2.bin"}) {
      Put(releases.newRoot, name, {});
      fs::resize_file(NativeTestPath(releases.newRoot + name), 0xA0000000ull);
    }
    ExpectRefused(releases, {},
                  "the new files add up to 5368870565 bytes; a package can write less than 4 GiB");
  }
}

TEST(PackageBuilder, RefusesUnreadableFilesLongTextsAndNamesDifferingInCase) {
  {
    Releases releases;
    Put(releases.newRoot, "secret.key", Bytes("k"));
    FaultyFileSystem faults(FaultKind::kOpenForRead, 1, FaultMode::kFromThenOn, "secret");
    ExpectRefused(
        releases, {},
        releases.newRoot +
            "secret.key: cannot be stamped (unreadable, locked, or dated outside 1980-2107)");
  }
  {
    Releases releases;
    ExpectRefused(releases, {"--title", std::string(80, 't')},
                  "the title has 80 characters; the applicator shows at most 79");
  }
  if (!WindowsNames()) {
    Releases releases;
    Put(releases.newRoot, "README.TXT", Bytes("shouting"));
    ExpectRefused(
        releases, {},
        "readme.txt: differs from README.TXT only in case; both would name one file on Windows");
    const fs::path folder(NativeTestPath(releases.newRoot));
    std::ofstream(folder / fs::u8path("\xC3\x89t\xC3\xA9.txt")) << "summer";
    std::ofstream(folder / fs::u8path("\xC3\xA9t\xC3\xA9.txt")) << "summer";
    // Messages are printed in the system's text.
    ExpectRefused(releases, {},
                  "\xC3\xA9t\xC3\xA9.txt: differs from \xC3\x89t\xC3\xA9.txt only in case");
  }
}

TEST(PackageBuilder, FileAndFolderOfOneNameAreRefused) {
  Releases releases;
  // readme.txt is a file in the old release and a folder in the new one.
  fs::remove(NativeTestPath(releases.newRoot + "readme.txt"));
  Put(releases.newRoot, "readme.txt\\inside.txt", Bytes("now a folder"));
  ExpectRefused(releases, {},
                "readme.txt\\inside.txt: readme.txt is a file in " + releases.oldRoot +
                    "; a package cannot turn one into the other");
}

TEST(PackageBuilder, EmptyFoldersAreLeftOutWithAWarningOrRefusedWhenStrict) {
  Releases releases;
  fs::create_directories(NativeTestPath(releases.newRoot + "logs/empty"));
  // An empty folder in both releases needs nothing and is not mentioned.
  fs::create_directories(NativeTestPath(releases.oldRoot + "cache"));
  fs::create_directories(NativeTestPath(releases.newRoot + "cache"));
  const std::string package = releases.Package("empty.upg");
  const CommandRun lenient = Build({releases.oldRoot, releases.newRoot, "-o", package});
  EXPECT_EQ(lenient.status, 0);
  EXPECT_NE(
      lenient.err.find("upgtool: warning: " + releases.newRoot + "logs: empty folder left out"),
      std::string::npos)
      << lenient.err;
  EXPECT_NE(lenient.err.find(releases.newRoot + "logs\\empty: empty folder left out"),
            std::string::npos);
  EXPECT_EQ(lenient.err.find("cache"), std::string::npos);
  EXPECT_TRUE(TestPathExists(package));
  fs::remove(NativeTestPath(package));
  ExpectRefused(releases, {"--strict"}, releases.newRoot + "logs: empty folder left out");
}

TEST(PackageBuilder, LinksAreLeftOutWithAWarningOrRefusedWhenStrict) {
  Releases releases;
  std::error_code error;
  fs::create_symlink("readme.txt", NativeTestPath(releases.newRoot + "link.txt"), error);
  if (error) GTEST_SKIP() << "symbolic links cannot be made here";
  const std::string package = releases.Package("links.upg");
  const CommandRun lenient = Build({releases.oldRoot, releases.newRoot, "-o", package});
  EXPECT_EQ(lenient.status, 0);
  EXPECT_NE(lenient.err.find("upgtool: warning: " + releases.newRoot +
                             "link.txt: symbolic link left out (a package carries only files)"),
            std::string::npos)
      << lenient.err;
  EXPECT_TRUE(TestPathExists(package));
  fs::remove(NativeTestPath(package));
  ExpectRefused(releases, {"--strict"}, releases.newRoot + "link.txt: symbolic link left out");
}

TEST(PackageBuilder, APackageThatDoesNotReplayIsNotWritten) {
  Releases releases;
  const BuildOptions options = releases.Options();
  const BuildResult result = BuildPackage(options);
  ASSERT_TRUE(result.errors.empty());
  // The new release changes after the build: the replay no longer matches.
  ByteVector changed = ReadTestFile(releases.newRoot + "bin\\engine.dll");
  changed[100] ^= 1;
  WriteTestFile(releases.newRoot + "bin\\engine.dll", changed);
  const std::string package = releases.Package("bad.upg");
  EXPECT_EQ(WriteBuiltPackage(options, result, package, true),
            "verification failed, the package is not written: bin\\engine.dll: the rebuilt file "
            "differs from the new release");
  EXPECT_FALSE(TestPathExists(package));
  EXPECT_FALSE(TestPathExists(package + ".partial"));
  EXPECT_EQ(WriteBuiltPackage(options, result, package, false), "");
  EXPECT_TRUE(TestPathExists(package));
}

}  // namespace
