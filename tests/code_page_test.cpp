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

#include "platform/file_system.h"
#include "platform/program.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

bool OnPosix() { return platform::NativeSeparator() == '/'; }

// One text in code page 1252, in UTF-8, and in capitals as Windows compares
// names (sharp s has no capital in the code page); no capitals: the code
// page cannot write it, with a '?' for each character. Octal escapes,
// because a hexadecimal one would take the letters after it.
struct Spelling {
  const char *packageText, *utf8, *capitals;
};

const Spelling kSpellings[] = {
    {"\374ber Stra\337e", "\303\274ber Stra\303\237e", "\334BER STRA\337E"},
    {"\212\237\377", "\305\240\305\270\303\277", "\212\237\237"},
    {"snow?", "snow\342\230\203", nullptr},  // U+2603, outside the code page
    {"?", "\304\201", nullptr},              // U+0101, whose look-alike 'a' names another file
    {"bad?", "bad\377", nullptr},            // not UTF-8
    {"??", "\300\257", nullptr},             // an overlong '/'
};

// Each file below `folder` by its name as the core lists it, marked where
// the code page cannot write it, and as the system spells it in UTF-8.
std::vector<std::string> Names(const std::string& folder, bool system) {
  std::vector<std::string> names;
  std::vector<platform::FolderItem> items;
  if (system)
    for (const fs::directory_entry& entry : fs::directory_iterator(NativeTestPath(folder)))
      names.push_back(entry.path().filename().u8string());
  if (!system && platform::Fs().ListFolder(folder.c_str(), &items))
    for (const platform::FolderItem& item : items)
      names.push_back(item.name + (item.representable ? "" : " (not representable)"));
  std::sort(names.begin(), names.end());
  return names;
}

// Conversions both ways and to capitals; then what the core creates the
// system lists in its own spelling, and the core's listing gives back the
// code page's, or marks what it cannot write.
TEST(CodePage1252, TextsAndNamesMeetTheSystemInItsOwnSpelling) {
  if (platform::PackageCodePage() != 1252) GTEST_SKIP() << platform::PackageCodePage();
  TempFolder folder;
  std::vector<std::string> utf8Names, packageNames;
  for (const Spelling& spelling : kSpellings) {
    SCOPED_TRACE(spelling.utf8);
    std::string back;
    EXPECT_EQ(platform::Utf8ToPackageText(spelling.utf8, &back), spelling.capitals != nullptr);
    EXPECT_EQ(back, spelling.packageText);
    if (spelling.capitals == nullptr) continue;
    bool defined = false;
    EXPECT_EQ(platform::PackageTextToUtf8(spelling.packageText, &defined), spelling.utf8);
    EXPECT_TRUE(defined);
    EXPECT_EQ(platform::PackageTextUpperCase(spelling.packageText), spelling.capitals);
    const platform::FileHandle file =
        platform::Fs().Open(folder.Join(spelling.packageText).c_str(), platform::kOpenWrite);
    ASSERT_NE(file, platform::kInvalidFile);
    platform::Fs().Close(file);
    utf8Names.push_back(spelling.utf8);
    packageNames.push_back(spelling.packageText);
  }
  std::sort(utf8Names.begin(), utf8Names.end());
  EXPECT_EQ(Names(folder.path(), true), utf8Names);
  std::ofstream(fs::path(NativeTestPath(folder.path())) / fs::u8path("snow\342\230\203.txt"));
  packageNames.push_back("snow?.txt (not representable)");
  std::sort(packageNames.begin(), packageNames.end());
  EXPECT_EQ(Names(folder.path(), false), packageNames);
  // Windows gives the five bytes that 1252 leaves undefined characters of
  // their own; POSIX converters do not, and such a name reaches no file.
  if (!OnPosix()) return;
  bool defined = true;
  EXPECT_EQ(platform::PackageTextToUtf8("a\201", &defined), "a\357\277\275");
  EXPECT_FALSE(defined);
  EXPECT_EQ(platform::Fs().Open(folder.Join("\201.txt").c_str(), platform::kOpenWrite),
            platform::kInvalidFile);
}

// The single-byte code pages are offered on POSIX; Windows names files in
// its own ANSI code page and takes no other.
TEST(CodePage, OnlySingleByteCodePagesAndOnWindowsOnlyTheSystemsOwn) {
  // utf8 null: never offered.
  const struct {
    unsigned codePage;
    const char *packageText, *utf8;
  } kCases[] = {{1251, "\317", "\320\237"}, {932, "", nullptr}, {65001, "", nullptr}};
  const unsigned before = platform::PackageCodePage();
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.codePage);
    std::string problem;
    const bool selected = platform::SelectPackageCodePage(c.codePage, &problem);
    EXPECT_EQ(selected, OnPosix() && c.utf8 != nullptr);
    EXPECT_EQ(problem.empty(), selected);
    EXPECT_EQ(platform::PackageCodePage(), selected ? c.codePage : before);
    if (!selected) continue;
    EXPECT_EQ(platform::PackageTextToUtf8(c.packageText), c.utf8);
    ASSERT_TRUE(platform::SelectPackageCodePage(before, &problem));
  }
}

}  // namespace
