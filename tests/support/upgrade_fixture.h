// Target folders, packages and sessions for the apply engine's tests.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "apply/apply_outcome.h"
#include "builder/package_writer.h"
#include "package/ui_strings.h"
#include "package/upgrade_session.h"
#include "tests/support/scripted_user.h"
#include "tests/support/temp_folder.h"

using namespace streams;
using namespace package;
using namespace apply;
using namespace builder;

// A date and time that no freshly written file carries: 3 Feb 2001 04:05:06.
constexpr std::uint16_t kNewDosDate = ((2001 - 1980) << 9) | (2 << 5) | 3;
constexpr std::uint16_t kNewDosTime = (4 << 11) | (5 << 5) | 3;

// The stamp of `bytes` with the given date and time.
FileStamp StampOf(const std::vector<std::uint8_t>& bytes, std::uint16_t dosDate = kNewDosDate,
                  std::uint16_t dosTime = kNewDosTime);
// The stamp of a file as it is on disk now.
FileStamp StampOfFile(const std::string& path);
std::vector<std::uint8_t> Bytes(const std::string& text);
// `count` bytes of a pattern that differs by `seed`.
std::vector<std::uint8_t> Pattern(std::size_t count, std::uint8_t seed);

// Every file and folder below a folder, with contents and modification time.
struct FolderSnapshot {
  std::map<std::string, std::vector<std::uint8_t>> files;
  std::map<std::string, std::int64_t> times;
  std::vector<std::string> folders;
  bool operator==(const FolderSnapshot& other) const {
    return files == other.files && times == other.times && folders == other.folders;
  }
};
// Names that begin with `except` are left out.
FolderSnapshot TakeSnapshot(const std::string& folder, const std::string& except = "");

// A session on `package` and `folder` with the program's UiStrings loaded,
// as the front-ends open it for a run.
std::unique_ptr<UpgradeSession> OpenRunSession(const std::string& package,
                                               const std::string& folder);
// A run session on a package without entries, written into `folder`,
// whose target is `folder` itself.
std::unique_ptr<UpgradeSession> OpenEmptySession(const TempFolder& folder);
// Resets the progress values and runs ApplyUpgrade on a fresh run session.
int ApplyPackage(const std::string& package, const std::string& target,
                 ApplyOutcome* outcome = nullptr);
// Line `line` of the program's message table.
std::string UiText(UiLine line);

// An Update entry that keeps the first half of `oldBytes` and appends `tail`; `result`, when
// given, receives the file it makes.
PackageEntrySpec UpdateEntry(const std::string& name, const std::vector<std::uint8_t>& oldBytes,
                             const FileStamp& oldStamp, const std::vector<std::uint8_t>& tail,
                             std::vector<std::uint8_t>* result = nullptr);
// An Add or Replace entry that inserts `bytes`.
PackageEntrySpec NewFileEntry(Operation operation, const std::string& name,
                              const std::vector<std::uint8_t>& bytes);
// A Verify or Remove entry against the file's present stamp.
PackageEntrySpec CheckEntry(Operation operation, const std::string& name,
                            const FileStamp& oldStamp);
// Writes `path`, a plain package of `entries`.
void WriteEntriesPackage(const std::string& path, const std::vector<PackageEntrySpec>& entries);
// Writes `path`, a package whose one Add names a file beside the target
// folder: a reader refuses its entry table.
void WriteEscapingPackage(const std::string& path);

// A target folder at version 1 and a package that brings it to version 2
// with every operation: Update a.txt, Replace b.bin, Remove c.txt, Verify
// v.txt and Add sub\deeper\new.dat, each a few hundred bytes, all with the
// given errorPolicy.
struct SampleUpgrade {
  TempFolder root;
  std::string target;
  std::string package;
  // Contents after the upgrade, by relative name (absent: removed).
  std::map<std::string, std::vector<std::uint8_t>> expected;
  std::vector<PackageEntrySpec> entries;

  explicit SampleUpgrade(bool compressed = false, Policy errorPolicy = Policy::kIgnore);
  std::string Staging() const { return target + "__KVUPD_"; }
  // `name` inside the staging folder.
  std::string Staged(const std::string& name) const { return Staging() + "\\" + name; }
  // Whether the folder, the staging folder left out, holds version 2.
  bool IsNew() const { return TakeSnapshot(target, "__KVUPD_").files == expected; }
};

// A run session on an empty package with the progress values reset, its dialog the scripted
// user's, whose cancel confirmation is the program's: the stage for polls and pieces.
struct PollingSession {
  TempFolder folder;
  ScriptedUser user;
  std::unique_ptr<UpgradeSession> session = OpenEmptySession(folder);
  PollingSession();
};
