// A package opened for one use against one target folder: the reader's
// header and texts, the whole entry table, and the buffers, windows and
// counters that the folder check, the search and the apply engine share.
#pragma once

#include <cstdint>
#include <memory>

#include "package/entry_state.h"
#include "package/package_format.h"
#include "package/package_reader.h"
#include "platform/handles.h"
#include "streams/file_stamp_record.h"
#include "streams/file_utilities.h"

namespace package {

class UiStrings;
enum class UiLine : int;

constexpr std::uint32_t kEntryNameCapacity = 250;
constexpr std::uint32_t kEntryDescriptionCapacity = 80;
constexpr std::uint32_t kMessageBufferSize = 2048;

struct PackageEntry {
  Operation operation;
  Policy warningPolicy;
  Policy errorPolicy;
  EntryState state;
  char fileName[kEntryNameCapacity];
  char description[kEntryDescriptionCapacity];
  streams::FileStamp oldStamp;
  streams::FileStamp newStamp;
};

// Why ReadEntryTable gave up.
enum class TableProblem {
  kNone,
  kTooManyEntries,  // entryCount above kMaxEntries
  kNameTooLong,     // a file name longer than 249 characters
  kUnsafeName,      // a file name that leaves the target folder
  kStagingName,     // a file name inside the staging folder
  kStampMissing,    // the package ended where a stamp should be
  kFolderTooLong,   // the target folder does not fit its buffer
};

class UpgradeSession : public PackageReader {
 public:
  // `digest` as for PackageReader: given for a run that must check the
  // package file it read.
  UpgradeSession(platform::ModuleInstance instance, platform::WindowHandle ownerWindow,
                 const char* packagePath, const char* targetFolder,
                 streams::ByteDigest* digest = nullptr);
  ~UpgradeSession() override;

  // Reads entryCount entries from the package's position. Returns 1 plus the
  // sum of the new files' sizes, or 0 when the table cannot be used.
  std::uint32_t ReadEntryTable();

  TableProblem tableProblem = TableProblem::kNone;
  // The entry the problem was found in.
  std::int32_t problemEntry = -1;

  std::unique_ptr<PackageEntry*[]> entries;
  platform::ModuleInstance instance;
  platform::WindowHandle ownerWindow;
  platform::WindowHandle progressDialog = nullptr;
  std::uint32_t bytesDone = 1;
  std::uint32_t totalBytes = 0;
  // Always ends with a backslash. A folder whose path does not fit leaves
  // it empty and the session unusable (totalBytes 0, kFolderTooLong).
  char targetFolder[streams::kMaxPath] = {};
  char messageBuffer[kMessageBufferSize] = {};
  char pathBuffer[streams::kMaxPath] = {};
  char tempPathBuffer[streams::kMaxPath] = {};
  std::unique_ptr<UiStrings> uiStrings;

  const char* GetString(UiLine line) const;
  const char* GetListItem(UiLine line, int item) const;
};

}  // namespace package
