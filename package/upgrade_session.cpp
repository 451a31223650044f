#include "package/upgrade_session.h"

#include <cstring>
#include <new>

#include "package/entry_path.h"
#include "package/package_format.h"
#include "package/ui_strings.h"
#include "platform/bounded_text.h"
#include "platform/user_interface.h"

namespace package {

namespace {}  // namespace

UpgradeSession::UpgradeSession(platform::ModuleInstance instance,
                               platform::WindowHandle ownerWindow, const char* packagePath,
                               const char* folder, streams::ByteDigest* digest)
    : PackageReader(packagePath, digest),
      entries(new (std::nothrow) PackageEntry*[kMaxEntries]()),
      instance(instance),
      ownerWindow(ownerWindow) {
  const std::size_t length = std::strlen(folder);
  const bool endsInSeparator = length > 0 && folder[length - 1] == '\\';
  if (!platform::CopyText(targetFolder, folder) ||
      (!endsInSeparator && !platform::AppendText(targetFolder, "\\"))) {
    targetFolder[0] = 0;
    tableProblem = TableProblem::kFolderTooLong;
    return;
  }
  if (!entries) return;
  totalBytes = ReadEntryTable();
}

UpgradeSession::~UpgradeSession() {
  if (entries) {
    for (std::int32_t i = 0; i < kMaxEntries; ++i) delete entries[i];
  }
  // The owner first, so that the system hands the activation back to it and
  // not to some other program's window when the dialog goes.
  if (progressDialog != nullptr) {
    if (ownerWindow != nullptr) platform::Ui().EnableWindow(ownerWindow, true);
    platform::Ui().DestroyProgressDialog(progressDialog);
  }
  uiStrings.reset();
}

std::uint32_t UpgradeSession::ReadEntryTable() {
  if (entryCount > kMaxEntries) {
    tableProblem = TableProblem::kTooManyEntries;
    return 0;
  }
  std::uint32_t sum = 0;
  for (std::int32_t i = 0; i < entryCount; ++i) {
    if (entries[i] == nullptr) {
      entries[i] = new (std::nothrow) PackageEntry;
      if (entries[i] == nullptr) return 0;
    }
    PackageEntry& entry = *entries[i];
    std::memset(&entry, 0, sizeof entry);
    const EntryFlags flags = DecodeEntryFlags(package->ReadByte(), version);
    entry.operation = flags.operation;
    entry.warningPolicy = flags.warningPolicy;
    entry.errorPolicy = flags.errorPolicy;
    // One character more than the entry keeps tells a long name from one
    // that fits exactly; a cut name would name another file.
    char name[kEntryNameCapacity + 1];
    package->ReadString(name, sizeof name);
    if (std::strlen(name) > kMaxEntryName) {
      tableProblem = TableProblem::kNameTooLong;
      problemEntry = i;
      return 0;
    }
    if (!IsSafeEntryName(name)) {
      tableProblem = TableProblem::kUnsafeName;
      problemEntry = i;
      return 0;
    }
    // The run's own files live there: an entry that named one could put
    // its file over another entry's checked new version.
    if (NamesStagingFolder(name)) {
      tableProblem = TableProblem::kStagingName;
      problemEntry = i;
      return 0;
    }
    platform::CopyText(entry.fileName, name);
    package->ReadString(entry.description, kEntryDescriptionCapacity);
    if (CarriesOldStamp(entry.operation) &&
        package->ReadBlock(&entry.oldStamp, sizeof entry.oldStamp) == 0) {
      tableProblem = TableProblem::kStampMissing;
      problemEntry = i;
      return 0;
    }
    if (CarriesNewStamp(entry.operation)) {
      if (package->ReadBlock(&entry.newStamp, sizeof entry.newStamp) == 0) {
        tableProblem = TableProblem::kStampMissing;
        problemEntry = i;
        return 0;
      }
      sum += entry.newStamp.size;
    }
  }
  return sum + 1;
}

const char* UpgradeSession::GetString(UiLine line) const { return uiStrings->GetString(line); }

const char* UpgradeSession::GetListItem(UiLine line, int item) const {
  return uiStrings->GetListItem(line, item);
}

}  // namespace package
