// upgtool build end to end: trees in, a package out, applied by the engine.
#include "builder/package_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
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

using namespace upgtool;

namespace {

namespace fs = std::filesystem;
using ByteVector = std::vector<std::uint8_t>;

void Put(const std::string& root, const std::string& name, const ByteVector& bytes) {
  const fs::path path(NativeTestPath(root + name));
  fs::create_directories(path.parent_path());
  WriteTestFile(path.string(), bytes);
}

// Two releases in a scratch folder: old\ and new\ with files in
// sub-folders that are added, removed, changed a little, replaced
// wholesale and left alone; the small ones (which the refusals start
// from) without the large files.
struct Releases {
  explicit Releases(bool small = false)
      : oldRoot(folder.Join("old\\")), newRoot(folder.Join("new\\")) {
    const ByteVector engine = RandomBytes(150000, 1);
    ByteVector engine2 = engine;
    for (std::size_t at = 5000; at < engine2.size(); at += 9000) engine2[at] ^= 0x5A;
    engine2.insert(engine2.begin() + 70000, 300, 0x42);
    const struct {
      bool large;
      const std::string& root;
      const char* name;
      ByteVector bytes;
    } files[] = {
        {false, oldRoot, "readme.txt", Bytes("Release 1\r\nSame old notes.\r\n")},
        {false, newRoot, "readme.txt",
         Bytes("Release 2\r\nSame old notes.\r\nAnd a new line.\r\n")},
        {false, oldRoot, "data\\empty.dat", {}},
        {false, newRoot, "data\\empty.dat", {}},
        {false, oldRoot, "old\\legacy.cfg", Bytes("x=1\r\n")},
        {false, newRoot, "data\\zero.txt", {}},
        {true, oldRoot, "bin\\engine.dll", engine},
        {true, newRoot, "bin\\engine.dll", engine2},
        {true, newRoot, "data\\levels\\new.map", RandomBytes(7000, 5)},
        {true, oldRoot, "gfx\\logo.bmp", RandomBytes(4000, 2)},
        {true, newRoot, "gfx\\logo.bmp", RandomBytes(4100, 3)},
        {true, oldRoot, "data\\same.dat", RandomBytes(3000, 4)},
        {true, newRoot, "data\\same.dat", RandomBytes(3000, 4)},
    };
    for (const auto& file : files)
      if (!small || !file.large) Put(file.root, file.name, file.bytes);
  }
  std::string Package(const std::string& name) const { return folder.Join(name); }
  BuildOptions Options() const {
    BuildOptions options;
    std::tie(options.oldRoot, options.newRoot) = std::tie(oldRoot, newRoot);
    return options;
  }
  TempFolder folder;
  std::string oldRoot, newRoot;
};

std::vector<std::string> EntryLines(const BuildResult& result) {
  std::vector<std::string> lines;
  for (const PackageEntrySpec& entry : result.entries)
    lines.push_back(std::string(OperationName(entry.operation)) + " " + entry.fileName);
  return lines;
}

// Applies the package to the old release in place and checks that it became
// the new one: the same bytes everywhere, and on every file the package wrote
// the stamp the build took (the new release may have been touched since).
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
  EXPECT_EQ(TakeSnapshot(releases.oldRoot).files, expected.files);
  for (const PackageEntrySpec& entry : result.entries) {
    if (!CarriesNewStamp(entry.operation)) continue;
    const FileStamp applied = StampOfFile(releases.oldRoot + entry.fileName);
    EXPECT_EQ(std::memcmp(&applied, &entry.newStamp, sizeof applied), 0) << entry.fileName;
  }
}

TEST(PackageBuilder, TreesRoundTripInEveryFormAndLayout) {
  struct Form {
    bool compressed;
    std::uint8_t version;
    bool verifyUnchanged;
    PackageKind kind;
    bool best;
  };
  const Form forms[] = {{true, 18, false, PackageKind::kExtended, false},
                        {false, 18, false, PackageKind::kExtended, true},
                        {true, 18, false, PackageKind::kClassic, true},
                        {true, 18, false, PackageKind::kClassic, false},
                        {false, 17, true, PackageKind::kClassic, false}};
  for (const Form& form : forms) {
    SCOPED_TRACE(std::to_string(&form - forms));
    // The Windows build writes neither (the refusals table checks it says so).
    if ((form.kind == PackageKind::kExtended && !CanSortSuffixes()) ||
        (form.best && form.compressed && !CanCompressThoroughly()))
      continue;
    Releases releases;
    BuildOptions options = releases.Options();
    std::tie(options.compressed, options.version, options.verifyUnchanged, options.kind,
             options.best) =
        std::tie(form.compressed, form.version, form.verifyUnchanged, form.kind, form.best);
    const BuildResult result = BuildPackage(options);
    ASSERT_TRUE(result.errors.empty()) << result.errors[0];
    // The same trees and options give the same bytes.
    EXPECT_EQ(BuildPackage(options).bytes, result.bytes);
    // Version 17 has no Replace; unchanged files are verified when asked.
    const std::string replace = form.version == 17 ? "Update" : "Replace";
    std::vector<std::string> entries = {"Update bin\\engine.dll", "Add data\\levels\\new.map",
                                        "Add data\\zero.txt",     replace + " gfx\\logo.bmp",
                                        "Remove old\\legacy.cfg", "Update readme.txt"};
    if (form.verifyUnchanged) {
      entries.insert(entries.begin() + 1, "Verify data\\empty.dat");
      entries.insert(entries.begin() + 3, "Verify data\\same.dat");
    }
    EXPECT_EQ(EntryLines(result), entries);
    // The small edits of the engine travel as copies, not as the file.
    EXPECT_LT(result.literalBytes, 150000u / 4 + 7000 + 4100);
    const std::string package = releases.Package("p.upg");
    // A new release changed after the build, in one letter, does not replay: the package is
    // written only unverified.
    const std::string readme = releases.newRoot + "readme.txt";
    const std::vector<std::uint8_t> released = ReadTestFile(readme);
    WriteTestFile(readme, "Release 2\r\nSame old notes.\r\nAnd a new Line.\r\n");
    EXPECT_EQ(WriteBuiltPackage(options, result, package, true),
              "verification failed, the package is not written: readme.txt: the rebuilt file "
              "differs from the new release");
    EXPECT_FALSE(TestPathExists(package) || TestPathExists(package + ".partial"));
    EXPECT_EQ(WriteBuiltPackage(options, result, package, false), "");
    WriteTestFile(readme, released);
    ASSERT_EQ(WriteBuiltPackage(options, result, package, true), "");
    EXPECT_FALSE(TestPathExists(package + ".partial"));
    EXPECT_EQ(ReadTestFile(package), result.bytes);
    ApplyAndCompare(releases, package, result);
  }
}

TEST(PackageBuilder, PoliciesFromDefaultsOptionsGlobsAndThePolicyFile) {
  Releases releases(true);
  Put(releases.newRoot, "data\\levels\\new.map", Bytes("map"));
  // Warning and error policy of each entry, in entry order.
  const auto policies = [](const BuildResult& result) {
    std::string all;
    for (const PackageEntrySpec& e : result.entries)
      all += std::to_string(static_cast<int>(e.warningPolicy)) +
             std::to_string(static_cast<int>(e.errorPolicy)) + " ";
    return all;
  };
  BuildOptions options = releases.Options();
  // new.map, zero.txt, legacy.cfg, readme.txt
  EXPECT_EQ(policies(BuildPackage(options)), "12 12 10 12 ");
  options.warningPolicy = Policy::kCritical;
  std::string problem;
  WriteTestFile(releases.Package("rules.txt"),
                "# exceptions\r\ndata/**     -        ask\r\n*.txt       critical "
                "-\r\n\r\ndata\\levels\\*.map  ASK  ignore\r\nold/**      ignore   -\r\n");
  ASSERT_TRUE(options.rules.Load(releases.Package("rules.txt"), &problem)) << problem;
  EXPECT_EQ(policies(BuildPackage(options)), "10 21 00 22 ");
  const struct {
    const char* glob;
    const char* name;
    bool matches;
  } kGlobs[] = {
      {"*.txt", "doc\\readme.txt", false},          {"**/*.txt", "readme.txt", true},
      {"**\\*.txt", "doc\\deep\\readme.txt", true}, {"doc/?.txt", "doc\\a.txt", true},
      {"doc/?.txt", "doc\\ab.txt", false},          {"*.TXT", "readme.txt", false},
  };
  for (const auto& g : kGlobs) EXPECT_EQ(GlobMatches(g.glob, g.name), g.matches) << g.glob;
  const struct {
    const char* text;
    const char* problem;
  } kFiles[] = {// text null: no file
                {"ok.txt ask ask\nbroken.txt ask\n", "bad.txt:2: expected GLOB WARNING ERROR"},
                {"x.txt sometimes ask\n", "bad.txt:1:"},
                {nullptr, "cannot read the policy file"}};
  for (const auto& f : kFiles) {
    const std::string path = releases.Package(f.text != nullptr ? "bad.txt" : "none.txt");
    if (f.text != nullptr) WriteTestFile(path, f.text);
    EXPECT_FALSE(PolicyRules().Load(path, &problem));
    EXPECT_NE(problem.find(f.problem), std::string::npos) << problem;
  }
}

// The command's options and JSON, and its usage errors (exit 2, nothing
// written).
TEST(PackageBuilder, CommandWritesJsonOrRefusesItsUsage) {
  Releases releases(true);
  const std::string o = releases.oldRoot, n = releases.newRoot, package = releases.Package("c.upg");
  RunSteps({{RunBuild,
             {"--json", "--plain", "--format", "17", "--verify-unchanged", o, n, "-o", package},
             0,
             "\"written\":true,\"version\":17,\"compressed\":false"},
            {RunBuild, {o, n, "-o", package, "--title", "Tool 2.0", "--description=D"}, 0, ""},
            {RunBuild, {o, n}, 2, ""},
            {RunBuild, {"--bogus", o, n, "-o", "x.upg"}, 2, ""},
            {RunBuild,
             {"--format", "16", o, n, "-o", "x.upg"},
             2,
             "--format 16: the builder writes version 17 or 18"},
            {RunBuild,
             {"--error", "maybe", o, n, "-o", "x.upg"},
             2,
             "--error maybe: a policy is ignore, ask or critical"}});
  EXPECT_STREQ(PackageReader(package.c_str()).description.get(), "D");
  EXPECT_FALSE(TestPathExists("x.upg"));
}

// Where '\\' separates folders (Windows), a file name cannot hold it, nor a
// ':', nor make a path of 250 characters below a scratch folder; nor do
// two names differ only in case.
bool WindowsNames() { return fs::path("a\\b").has_parent_path(); }

// Each refusal: exit 1, the reason on standard error, and no package. With
// `lenientWarning`, the run without --strict first writes the package and
// warns. setUp gives false where the case cannot be made here; a reason
// starting with '@' follows the new tree's root.
struct Refusal {
  const char* label;
  std::function<bool(Releases&)> setUp;
  std::vector<std::string> options;
  std::string reason, lenientWarning = "";
};

std::string Expand(const Releases& releases, const std::string& text) {
  return !text.empty() && text[0] == '@' ? releases.newRoot + text.substr(1) : text;
}

// A file of the new release, where names may hold what Windows refuses.
bool PutPosix(Releases& r, const std::string& name, const std::string& text = "x") {
  if (WindowsNames()) return false;
  std::ofstream(fs::path(NativeTestPath(r.newRoot)) / fs::u8path(name)) << text;
  return true;
}

const Refusal kRefusals[] = {
    {"a name of 250 characters",
     [](Releases& r) { return PutPosix(r, std::string(250, 'n')); },
     {},
     std::string(250, 'n') +
         ": cannot be stored: the path has 250 characters, at most 249 can be stored"},
    {"a ':' in a name",
     [](Releases& r) { return PutPosix(r, "c:stream"); },
     {},
     "c:stream: cannot be stored: the applicator refuses names with ':'"},
    {"a backslash in a name",
     [](Releases& r) { return PutPosix(r, "back\\slash.txt"); },
     {},
     "@back\\slash.txt: cannot be stored: a backslash in a name"},
    {"a name the code page cannot write",
     [](Releases& r) {
       return platform::PackageCodePage() == 1252 && PutPosix(r, "\xE2\x98\x83 snow");
     },
     {},
     "@? snow: cannot be stored: code page 1252 has no character for each '?' in the name"},
    {"a file that cannot be read",
     [](Releases& r) { return Put(r.newRoot, "secret.key", Bytes("k")), true; },
     {},
     "@secret.key: cannot be stamped (unreadable, locked, or dated outside 1980-2107)"},
    {"a title of 80 characters",
     [](Releases&) { return true; },
     {"--title", std::string(80, 't')},
     "the title has 80 characters; the applicator shows at most 79"},
    {"names differing in the case of 'z'",
     [](Releases& r) { return PutPosix(r, "z.txt") && PutPosix(r, "Z.txt"); },
     {},
     "z.txt: differs from Z.txt only in case; both would name one file on Windows"},
    {"names differing in the case of a letter beyond ASCII, shown in the system's text",
     [](Releases& r) {
       return PutPosix(r, "\xC3\x89t\xC3\xA9.txt") && PutPosix(r, "\xC3\xA9t\xC3\xA9.txt");
     },
     {},
     "\xC3\xA9t\xC3\xA9.txt: differs from \xC3\x89t\xC3\xA9.txt only in case"},
    {"a file in the old release that is a folder in the new",
     [](Releases& r) {
       return fs::remove(NativeTestPath(r.newRoot + "readme.txt")) &&
              (Put(r.newRoot, "readme.txt\\in", {}), true);
     },
     {},
     "readme.txt\\in: readme.txt is a file in "},
    // An empty folder in both releases needs nothing and is not mentioned.
    {"an empty folder",
     [](Releases& r) {
       for (const std::string& f :
            {r.newRoot + "logs/empty", r.oldRoot + "cache", r.newRoot + "cache"})
         fs::create_directories(NativeTestPath(f));
       return true;
     },
     {"--strict"},
     "@logs: empty folder left out",
     "@logs\\empty: empty folder left out"},
    {"a symbolic link",
     [](Releases& r) {
       std::error_code error;
       fs::create_symlink("readme.txt", NativeTestPath(r.newRoot + "link.txt"), error);
       return !error;
     },
     {"--strict"},
     "@link.txt: symbolic link left out",
     "@link.txt: symbolic link left out (a package carries only files)"},
    {"an extended package from a build without suffix sorting",
     [](Releases&) { return !CanSortSuffixes(); },
     {"--extended"},
     "this build of upgtool cannot write extended packages"},
    {"--best from a build without thorough compression",
     [](Releases&) { return !CanCompressThoroughly(); },
     {"--best"},
     "this build of upgtool cannot compress with --best"},
};

TEST(PackageBuilder, RefusalsNameTheirReasonAndWriteNothing) {
  for (const Refusal& refusal : kRefusals) {
    SCOPED_TRACE(refusal.label);
    Releases releases(true);
    if (!refusal.setUp(releases)) continue;
    const std::string package = releases.Package("refused.upg");
    const std::vector<std::string> trees = {releases.oldRoot, releases.newRoot, "-o", package};
    if (!refusal.lenientWarning.empty()) {
      const CommandRun lenient = RunCommand(RunBuild, trees);
      EXPECT_EQ(lenient.status, 0) << lenient.err;
      EXPECT_NE(lenient.err.find("upgtool: warning: " + Expand(releases, refusal.lenientWarning)),
                std::string::npos)
          << lenient.err;
      EXPECT_EQ(lenient.err.find("cache"), std::string::npos);
      ASSERT_TRUE(TestPathExists(package));
      fs::remove(NativeTestPath(package));
    }
    std::vector<std::string> arguments = refusal.options;
    arguments.insert(arguments.end(), trees.begin(), trees.end());
    FaultyFileSystem faults(FaultKind::kOpenForRead, 1, FaultMode::kFromThenOn, "secret");
    const CommandRun run = RunCommand(RunBuild, arguments);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("upgtool: error: " + Expand(releases, refusal.reason)),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("upgtool: no package written"), std::string::npos);
    EXPECT_FALSE(TestPathExists(package) || TestPathExists(package + ".partial"));
  }
}

// Names are created on Windows as stored: what Windows would refuse or
// change is refused with its reason, and the names beside those pass.
std::string Device(const std::string& name, const std::string& device) {
  return "\"" + name + "\" is the device " + device + " on Windows, with any extension";
}
std::string Holds(const std::string& name, const std::string& what) {
  return "\"" + name + "\" holds " + what + ", which Windows refuses in names";
}

TEST(PackageBuilder, NamesWindowsWouldRefuseOrChangeAreRefusedWithTheirReason) {
  const struct {
    const char* name;
    std::string reason;
  } kCases[] = {
      {"CON", Device("CON", "CON")},
      {"docs\\con.txt", Device("con.txt", "con")},
      {"Nul.tar.gz", Device("Nul.tar.gz", "Nul")},
      {"nul .txt", Device("nul .txt", "nul")},
      {"com0", Device("com0", "com0")},
      {"LPT\271.txt", Device("LPT\271.txt", "LPT\271")},
      {"dir.\\file", "\"dir.\" ends in a dot, which Windows drops from names"},
      {"notes ", "\"notes \" ends in a blank, which Windows drops from names"},
      {"a<b", Holds("a<b", "'<'")},
      {"*.txt", Holds("*.txt", "'*'")},
      {"tab\tname", Holds("tab\tname", "a control character")},
      {"CONSOLE.txt", ""},
      {"x\\CONx\\.profile", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(UnstorableNameReason(c.name), c.reason) << c.name;
}

// The limits at their edges, without reading or writing 4 GiB: the sizes
// come from listings and sparse files, and a file that became a folder
// stops each build before any file is read, so only the limits can add
// errors to it.
TEST(PackageBuilder, EntryCountAndSizeLimitsAtTheirEdges) {
  // The small trees, with readme.txt a folder now: 4 entries, no new bytes.
  const auto block = [](const Releases& r) {
    fs::remove(NativeTestPath(r.newRoot + "readme.txt"));
    Put(r.newRoot, "readme.txt\\x", {});
    return "readme.txt: a file in one release and a folder in " + r.newRoot +
           "; a package cannot turn one into the other\nreadme.txt\\x: readme.txt is a file in " +
           r.oldRoot + "; a package cannot turn one into the other\n";
  };
  const auto errors = [](const Releases& r) {
    std::string all;
    for (const std::string& error : BuildPackage(r.Options()).errors) all += error + "\n";
    return all;
  };
  {
    Releases releases(true);
    const std::string blocker = block(releases);
    for (int i = 0; i < 9996; ++i) Put(releases.newRoot, "many\\" + std::to_string(i), {});
    EXPECT_EQ(errors(releases), blocker);
    Put(releases.newRoot, "many\\last", {});
    EXPECT_EQ(errors(releases),
              blocker + "the package would have 10001 entries; at most 10000 can be read\n");
  }
  {
    Releases releases(true);
    const std::string blocker = block(releases);
    std::error_code error;
    for (const char* name : {"part1.bin", "part2.bin"}) {
      Put(releases.newRoot, name, {});
      fs::resize_file(NativeTestPath(releases.newRoot + name), 0x7FFFFFFFull, error);
    }
    if (error) GTEST_SKIP() << "no room for sparse files of 2 GiB";
    // The longest name that can be stored is no error either.
    if (!WindowsNames()) Put(releases.newRoot, std::string(249, 'n'), {});
    EXPECT_EQ(errors(releases), blocker);
    fs::resize_file(NativeTestPath(releases.newRoot + "part2.bin"), 0x80000000ull);
    EXPECT_EQ(
        errors(releases),
        blocker +
            "the new files add up to 4294967295 bytes; a package can write less than 4 GiB\n");
  }
  TreeListing old, now;
  old.files = {{"a.bin", 0xFFFFFFFFull}, {"b.bin", 0x100000000ull}};
  now.files = {{"a.bin", 0x100000000ull}, {"b.bin", 0xFFFFFFFFull}};
  const std::string outside = " bytes; files of 4 GiB and more are outside the package format";
  EXPECT_EQ(DiffTrees(old, now, "old\\", "new\\").errors,
            (std::vector<std::string>{"new\\a.bin: 4294967296" + outside,
                                      "old\\b.bin: 4294967296" + outside}));
}

}  // namespace
