// The apply engine's 21-line message table, read from the program's text
// resource. Lines 1 and 2 are lists whose items were separated by '|'.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/handles.h"
#include "streams/kv_stream.h"

constexpr int kUiStringLines = 21;
constexpr std::uint32_t kUiStringLineCapacity = 256;
constexpr int kUiStringsResourceId = 101;

class UiStrings {
 public:
  // RCDATA `resourceId` of `instance`, else RCDATA "UPGAPPLYUI", else the
  // text "N/A". Always yields a full table.
  UiStrings(platform::ModuleInstance instance, int resourceId);
  // The table read from `stream`.
  explicit UiStrings(TKVStream& stream);

  // Line 0 to 20; no range check.
  const char* GetString(int line) const { return lines_[line]; }
  // Item `item` (from 0) of list line `line`.
  const char* GetListItem(int line, int item) const;

 private:
  void Parse(TKVStream& stream);

  std::unique_ptr<char[]> buffer_;
  const char* lines_[kUiStringLines] = {};
};
