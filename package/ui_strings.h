// The apply engine's 21-line message table, read from the program's text
// resource. Lines 1 and 2 are lists whose items were separated by '|'.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/handles.h"
#include "streams/kv_stream.h"

namespace package {

// The lines of the table by what they say.
enum class UiLine : int {
  kLanguage = 0,
  kOperationNames = 1,  // a list, by Operation
  kLabels = 2,          // a list: "Operation: ", "Filename: ", "Description: "
  kCaption = 3,
  kCancel = 4,
  kInitializing = 5,
  kInstalling = 6,
  kContinue = 7,
  kCancelQuestion = 8,
  kExists = 9,
  kTimeDiffers = 10,
  kRemoveChanged = 11,
  kCannotCreateReadOnly = 12,
  kNotFound = 13,
  kChanged = 14,
  kReadOnly = 15,
  kCriticalBefore = 16,
  kCriticalRebuild = 17,
  kRebuildSkipped = 18,
  kMoreInformation = 19,
  kCriticalExplanation = 20,
};
constexpr int kUiStringLines = 21;
constexpr std::uint32_t kUiStringLineCapacity = 256;
constexpr int kUiStringsResourceId = 101;

class UiStrings {
 public:
  // RCDATA `resourceId` of `instance`, else RCDATA "UPGAPPLYUI", else the
  // text "N/A". Always yields a full table.
  UiStrings(platform::ModuleInstance instance, int resourceId);
  // The table read from `stream`.
  explicit UiStrings(streams::TKVStream& stream);

  // No range check.
  const char* GetString(UiLine line) const { return lines_[static_cast<int>(line)]; }
  // Item `item` (from 0) of list line `line`.
  const char* GetListItem(UiLine line, int item) const;

 private:
  void Parse(streams::TKVStream& stream);

  std::unique_ptr<char[]> buffer_;
  const char* lines_[kUiStringLines] = {};
};

}  // namespace package
