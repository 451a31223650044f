// Package texts are in a Windows code page, and a name means the same file
// on every system: the POSIX platform converts at its boundary, Windows
// names files in that code page itself. The Windows build runs these under
// Wine in a locale whose ANSI code page is 1252 (cmake/wine-run.sh).
#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "builder/package_builder.h"
#include "platform/file_system.h"
#include "platform/program.h"
#include "tests/support/scripted_user.h"
#include "tests/support/upgrade_fixture.h"

namespace {

namespace fs = std::filesystem;

bool OnPosix() { return platform::NativeSeparator() == '/'; }

// The same text in code page 1252 and in UTF-8.
struct Spelling {
  const char* packageText;
  const char* utf8;
};

const Spelling kSpellings[] = {
    {"readme.txt", "readme.txt"},
    {"caf\xE9.txt", "caf\xC3\xA9.txt"},
    {"\xFC"
     "ber",
     "\xC3\xBC"
     "ber"},
    {"Stra\xDF"
     "e",
     "Stra\xC3\x9F"
     "e"},
    {"5 \x80", "5 \xE2\x82\xAC"},
    {"\x8A\x9F\xFF", "\xC5\xA0\xC5\xB8\xC3\xBF"},
};

// Every file and folder below `folder`, as the system spells it in UTF-8.
std::vector<std::string> SystemNames(const std::string& folder) {
  std::vector<std::string> names;
  const fs::path root(NativeTestPath(folder));
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
    names.push_back(fs::relative(entry.path(), root).generic_u8string());
  std::sort(names.begin(), names.end());
  return names;
}

// A file that the system names `utf8` below `folder`.
void MakeSystemFile(const std::string& folder, const std::string& utf8,
                    const std::string& contents = "x") {
  const fs::path path = fs::path(NativeTestPath(folder)) / fs::u8path(utf8);
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << contents;
}

class CodePage1252 : public testing::Test {
 protected:
  void SetUp() override {
    if (platform::PackageCodePage() != 1252)
      GTEST_SKIP() << "the code page here is " << platform::PackageCodePage();
  }
};

TEST_F(CodePage1252, TextsConvertToUtf8AndBack) {
  for (const Spelling& spelling : kSpellings) {
    SCOPED_TRACE(spelling.utf8);
    bool defined = false;
    EXPECT_EQ(platform::PackageTextToUtf8(spelling.packageText, &defined), spelling.utf8);
    EXPECT_TRUE(defined);
    std::string back;
    EXPECT_TRUE(platform::Utf8ToPackageText(spelling.utf8, &back));
    EXPECT_EQ(back, spelling.packageText);
  }
}

// Capitals as Windows compares names: a letter whose capital is not in the
// code page (sharp s, micro sign) stays.
TEST_F(CodePage1252, CapitalsOfTheCodePage) {
  const Spelling kCapitals[] = {
      {"caf\xE9.txt", "CAF\xC9.TXT"},
      {"Stra\xDF"
       "e",
       "STRA\xDF"
       "E"},
      {"\xFF\x9A\x9C\xB5", "\x9F\x8A\x8C\xB5"},
      {"5 \x80 \x81", "5 \x80 \x81"},
  };
  for (const Spelling& capitals : kCapitals)
    EXPECT_EQ(platform::PackageTextUpperCase(capitals.packageText), capitals.utf8);
}

TEST_F(CodePage1252, TextTheCodePageCannotWriteIsRefusedWithAMarkForEachCharacter) {
  const Spelling kRefused[] = {
      {"snow?", "snow\xE2\x98\x83"},  // U+2603, outside the code page
      {"?", "\xC4\x81"},              // U+0101, whose look-alike 'a' names another file
      {"bad?", "bad\xFF"},            // not UTF-8
      {"cut?", "cut\xC3"},            // a character cut short
      {"??", "\xC0\xAF"},             // an overlong '/'
      {"???", "\xED\xA0\x80"},        // a surrogate
  };
  for (const Spelling& refused : kRefused) {
    SCOPED_TRACE(refused.packageText);
    std::string text;
    EXPECT_FALSE(platform::Utf8ToPackageText(refused.utf8, &text));
    EXPECT_EQ(text, refused.packageText);
  }
  // Windows gives the five bytes 1252 leaves undefined characters of their
  // own; POSIX converters do not, and such a name reaches no file.
  if (!OnPosix()) return;
  bool defined = true;
  EXPECT_EQ(platform::PackageTextToUtf8("a\x81", &defined), "a\xEF\xBF\xBD");
  EXPECT_FALSE(defined);
  TempFolder folder;
  EXPECT_EQ(platform::Fs().Open(folder.Join("\x81.txt").c_str(), platform::kOpenWrite),
            platform::kInvalidFile);
  EXPECT_TRUE(SystemNames(folder.path()).empty());
}

TEST_F(CodePage1252, NamesMeetTheSystemInItsOwnSpelling) {
  TempFolder folder;
  std::vector<std::string> utf8Names;
  std::vector<std::string> packageNames;
  for (const Spelling& spelling : kSpellings) {
    const platform::FileHandle file =
        platform::Fs().Open(folder.Join(spelling.packageText).c_str(), platform::kOpenWrite);
    ASSERT_NE(file, platform::kInvalidFile) << spelling.utf8;
    platform::Fs().Close(file);
    utf8Names.push_back(spelling.utf8);
    packageNames.push_back(spelling.packageText);
  }
  std::sort(utf8Names.begin(), utf8Names.end());
  EXPECT_EQ(SystemNames(folder.path()), utf8Names);

  MakeSystemFile(folder.path(), "snow\xE2\x98\x83.txt");
  std::vector<platform::FolderItem> items;
  ASSERT_TRUE(platform::Fs().ListFolder(folder.path().c_str(), &items));
  std::vector<std::string> listed;
  for (const platform::FolderItem& item : items) {
    if (item.representable) {
      listed.push_back(item.name);
    } else {
      EXPECT_EQ(item.name, "snow?.txt");
    }
  }
  std::sort(listed.begin(), listed.end());
  std::sort(packageNames.begin(), packageNames.end());
  EXPECT_EQ(listed, packageNames);
  EXPECT_EQ(items.size(), listed.size() + 1);
}

// A release whose names the system spells in UTF-8 becomes a package of
// code-page names (é is the byte 0xE9), which creates the same names again.
TEST_F(CodePage1252, NamesRoundTripThroughTheBuilderAndTheEngine) {
  TempFolder root;
  const std::string oldRoot = root.Join("old\\");
  const std::string newRoot = root.Join("new\\");
  MakeSystemFile(oldRoot, "caf\xC3\xA9.txt");
  MakeSystemFile(newRoot, "caf\xC3\xA9.txt", "changed");
  MakeSystemFile(newRoot,
                 "\xC3\xBC"
                 "ber/Stra\xC3\x9F"
                 "e \xE2\x82\xAC.txt");
  BuildOptions options;
  options.oldRoot = oldRoot;
  options.newRoot = newRoot;
  const BuildResult result = BuildPackage(options);
  ASSERT_TRUE(result.errors.empty()) << result.errors[0];
  std::vector<std::string> entries;
  for (const PackageEntrySpec& entry : result.entries) entries.push_back(entry.fileName);
  EXPECT_EQ(entries, (std::vector<std::string>{"caf\xE9.txt",
                                               "\xFC"
                                               "ber\\Stra\xDF"
                                               "e \x80.txt"}));
  const std::string package = root.Join("names.upg");
  ASSERT_EQ(WriteBuiltPackage(options, result, package, true), "");
  ScriptedUser user;
  EXPECT_EQ(ApplyPackage(package, oldRoot), 1);
  EXPECT_EQ(SystemNames(oldRoot), SystemNames(newRoot));
}

// The single-byte code pages are offered on POSIX; Windows names files in
// its own ANSI code page and takes no other.
TEST(CodePage, OnlySingleByteCodePagesAndOnWindowsOnlyTheSystemsOwn) {
  struct Case {
    unsigned codePage;
    bool posix;
    const char* packageText;
    const char* utf8;
  };
  const Case kCases[] = {
      {1251, true, "\xCF", "\xD0\x9F"},  // Cyrillic Pe
      {1250, true, "\x8A", "\xC5\xA0"},  // S with caron, where 1252 has it too
      {874, true, "\xA1", "\xE0\xB8\x81"},
      {932, false, "", ""},
      {65001, false, "", ""},
      {437, false, "", ""},
  };
  const unsigned before = platform::PackageCodePage();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.codePage);
    std::string problem;
    const bool selected = platform::SelectPackageCodePage(c.codePage, &problem);
    EXPECT_EQ(selected, OnPosix() ? c.posix : c.codePage == before);
    EXPECT_EQ(problem.empty(), selected);
    if (selected) {
      EXPECT_EQ(platform::PackageCodePage(), c.codePage);
      EXPECT_EQ(platform::PackageTextToUtf8(c.packageText), c.utf8);
      ASSERT_TRUE(platform::SelectPackageCodePage(before, &problem));
    } else {
      EXPECT_EQ(platform::PackageCodePage(), before);
    }
  }
}

}  // namespace
