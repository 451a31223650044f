// The search's containers in two hidden list boxes, as the Windows program
// keeps them: the queue of folders to visit and the listing that the
// system's LB_DIR writes, each sub-folder as "[name]". They exist, and the
// hourglass shows, from the start of a search to its end.
#pragma once

#include <memory>

#include "platform/win32/windows_api.h"
#include "ui/folder_search.h"
#include "ui/win32/wait_cursor.h"

namespace ui {

class ListBoxSearchHost final : public SearchHost {
 public:
  // The list boxes are owned by `owner`.
  ListBoxSearchHost(HINSTANCE instance, HWND owner);
  ~ListBoxSearchHost() override;
  ListBoxSearchHost(const ListBoxSearchHost&) = delete;
  ListBoxSearchHost& operator=(const ListBoxSearchHost&) = delete;

  void BeginSearch() override;
  void EndSearch() override;
  bool QueueEmpty() override;
  void QueueAppend(const char* folder) override;
  bool QueueTakeFirst(char* folder, std::size_t capacity) override;
  void FillListing(const char* folder) override;
  bool ListingTakeFirst(char* entry, std::size_t capacity) override;
  void Visited(unsigned long) override {}

 private:
  HINSTANCE instance_;
  HWND owner_;
  HWND queue_ = nullptr;
  HWND listing_ = nullptr;
  std::unique_ptr<WaitCursor> waitCursor_;
};

}  // namespace ui
