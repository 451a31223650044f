#include "tests/support/upgrade_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "apply/apply_upgrade.h"
#include "apply/progress_state.h"
#include "builder/delta_writer.h"
#include "package/file_stamp.h"
#include "package/ui_strings.h"
#include "platform/resources.h"

namespace fs = std::filesystem;

FileStamp StampOf(const std::vector<std::uint8_t>& bytes, std::uint16_t dosDate,
                  std::uint16_t dosTime) {
  FileStamp stamp{};
  stamp.dosDate = dosDate;
  stamp.dosTime = dosTime;
  stamp.size = static_cast<std::uint32_t>(bytes.size());
  for (std::size_t at = 0; at < bytes.size(); at += kChecksumBlockSize) {
    const std::size_t count = std::min<std::size_t>(kChecksumBlockSize, bytes.size() - at);
    stamp.checksum = FoldChecksumBlock(stamp.checksum, bytes.data() + at, std::int32_t(count));
  }
  return stamp;
}

FileStamp StampOfFile(const std::string& path) {
  FileStamp stamp{};
  EXPECT_TRUE(ComputeFileStamp(path.c_str(), stamp)) << path;
  return stamp;
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> Pattern(std::size_t count, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 7 + seed * 13 + (i >> 8));
  }
  return bytes;
}

FolderSnapshot TakeSnapshot(const std::string& folder, const std::string& except) {
  FolderSnapshot snapshot;
  const fs::path root(NativeTestPath(folder));
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = entry.path().lexically_relative(root).generic_string();
    if (!except.empty() && name.rfind(except, 0) == 0) continue;
    if (entry.is_directory()) {
      snapshot.folders.push_back(name);
      continue;
    }
    snapshot.files[name] = ReadTestFile(entry.path().string());
    snapshot.times[name] = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               entry.last_write_time().time_since_epoch())
                               .count();
  }
  std::sort(snapshot.folders.begin(), snapshot.folders.end());
  return snapshot;
}

std::unique_ptr<UpgradeSession> OpenRunSession(const std::string& package,
                                               const std::string& folder) {
  auto session = std::make_unique<UpgradeSession>(platform::ProgramInstance(), nullptr,
                                                  package.c_str(), folder.c_str());
  session->uiStrings =
      std::make_unique<UiStrings>(platform::ProgramInstance(), kUiStringsResourceId);
  return session;
}

std::unique_ptr<UpgradeSession> OpenEmptySession(const TempFolder& folder) {
  const std::string path = folder.Join("empty.upg");
  WriteEntriesPackage(path, {});
  return OpenRunSession(path, folder.path());
}

int ApplyPackage(const std::string& package, const std::string& target, ApplyOutcome* outcome) {
  ResetProgressState();
  auto session = OpenRunSession(package, target);
  return ApplyUpgrade(*session, outcome);
}

PollingSession::PollingSession() {
  ResetProgressState();
  session->progressDialog = user.dialog();
  user.cancelQuestion = UiText(UiLine::kCancelQuestion);
}

std::string UiText(UiLine line) {
  const UiStrings strings(platform::ProgramInstance(), kUiStringsResourceId);
  return strings.GetString(line);
}

PackageEntrySpec CheckEntry(Operation operation, const std::string& name,
                            const FileStamp& oldStamp) {
  PackageEntrySpec entry;
  entry.operation = operation;
  entry.fileName = name;
  entry.oldStamp = oldStamp;
  return entry;
}

PackageEntrySpec UpdateEntry(const std::string& name, const std::vector<std::uint8_t>& oldBytes,
                             const FileStamp& oldStamp, const std::vector<std::uint8_t>& tail,
                             std::vector<std::uint8_t>* result) {
  const std::uint32_t kept = static_cast<std::uint32_t>(oldBytes.size() / 2);
  std::vector<std::uint8_t> bytes(oldBytes.begin(), oldBytes.begin() + kept);
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  if (result != nullptr) *result = bytes;
  DeltaWriter delta;
  if (kept > 0) delta.Copy(0, kept);
  delta.Insert(tail.data(), static_cast<std::uint32_t>(tail.size()));
  delta.End();
  PackageEntrySpec entry = CheckEntry(Operation::kUpdate, name, oldStamp);
  entry.description = "updated " + name;
  entry.newStamp = StampOf(bytes);
  entry.delta = delta.bytes();
  return entry;
}

// A new file is an update of nothing.
PackageEntrySpec NewFileEntry(Operation operation, const std::string& name,
                              const std::vector<std::uint8_t>& bytes) {
  PackageEntrySpec entry = UpdateEntry(name, {}, FileStamp{}, bytes);
  entry.operation = operation;
  entry.description = "new " + name;
  return entry;
}

void WriteEntriesPackage(const std::string& path, const std::vector<PackageEntrySpec>& entries) {
  PackageWriter writer;
  for (const PackageEntrySpec& entry : entries) writer.AddEntry(entry);
  EXPECT_TRUE(writer.WriteFile(path.c_str(), false)) << path;
}

void WriteEscapingPackage(const std::string& path) {
  WriteEntriesPackage(path, {NewFileEntry(Operation::kAdd, "..\\evil.dll", Bytes("evil"))});
}

SampleUpgrade::SampleUpgrade(bool compressed, Policy errorPolicy) {
  target = root.Join("app\\");
  fs::create_directory(NativeTestPath(target));
  const std::vector<std::uint8_t> a = Pattern(700, 1);
  const std::vector<std::uint8_t> v = Pattern(100, 4);
  WriteTestFile(target + "a.txt", a);
  WriteTestFile(target + "b.bin", Pattern(300, 2));
  WriteTestFile(target + "c.txt", Pattern(200, 3));
  WriteTestFile(target + "v.txt", v);
  const std::vector<std::uint8_t> newB = Pattern(520, 6);
  const std::vector<std::uint8_t> added = Pattern(600, 7);
  entries.push_back(
      UpdateEntry("a.txt", a, StampOfFile(target + "a.txt"), Pattern(400, 5), &expected["a.txt"]));
  entries.push_back(NewFileEntry(Operation::kReplace, "b.bin", newB));
  entries.push_back(CheckEntry(Operation::kRemove, "c.txt", StampOfFile(target + "c.txt")));
  entries.push_back(CheckEntry(Operation::kVerify, "v.txt", StampOfFile(target + "v.txt")));
  entries.push_back(NewFileEntry(Operation::kAdd, "sub\\deeper\\new.dat", added));
  PackageWriter writer;
  writer.SetTitle("Sample");
  for (PackageEntrySpec& entry : entries) {
    entry.errorPolicy = errorPolicy;
    writer.AddEntry(entry);
  }
  package = root.Join(compressed ? "sample.kvz.upg" : "sample.upg");
  EXPECT_TRUE(writer.WriteFile(package.c_str(), compressed));

  expected["b.bin"] = newB;
  expected["v.txt"] = v;
  expected["sub/deeper/new.dat"] = added;
}
