#include "apply/staging_names.h"

#include "package/entry_path.h"
#include "platform/bounded_text.h"

namespace apply {

namespace {

// `letter`, the index in five digits with leading zeros (the table holds at
// most 10000 entries) and ".TMP", inside the staging folder.
bool IndexedName(const char* targetFolder, char letter, std::int32_t index,
                 char (&out)[streams::kMaxPath]) {
  char name[] = "\\X00000.TMP";
  name[1] = letter;
  std::uint32_t value = static_cast<std::uint32_t>(index);
  for (int i = 6; i >= 2; --i) {
    name[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return value == 0 && StagingFolderName(targetFolder, out) && platform::AppendText(out, name);
}

bool StagedName(const char* targetFolder, const char* name, char (&out)[streams::kMaxPath]) {
  return StagingFolderName(targetFolder, out) && platform::AppendText(out, "\\") &&
         platform::AppendText(out, name);
}

}  // namespace

bool StagingFolderName(const char* targetFolder, char (&out)[streams::kMaxPath]) {
  return platform::CopyText(out, targetFolder) &&
         platform::AppendText(out, package::kStagingFolderName);
}

bool TemporaryFileName(const char* targetFolder, std::int32_t index,
                       char (&out)[streams::kMaxPath]) {
  return IndexedName(targetFolder, 'N', index, out);
}

bool BackupFileName(const char* targetFolder, std::int32_t index, char (&out)[streams::kMaxPath]) {
  return IndexedName(targetFolder, 'O', index, out);
}

bool JournalFileName(const char* targetFolder, char (&out)[streams::kMaxPath]) {
  return StagedName(targetFolder, kJournalName, out);
}

bool JournalDraftName(const char* targetFolder, char (&out)[streams::kMaxPath]) {
  return StagedName(targetFolder, "COMMIT.NEW", out);
}

std::string LockFileName(const char* targetFolder) {
  return std::string(targetFolder) + package::kStagingFolderName + ".LCK";
}

std::string JournalDisplayName() {
  return std::string(package::kStagingFolderName) + "\\" + kJournalName;
}

}  // namespace apply
