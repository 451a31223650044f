#include "ui/win32/list_box_search_host.h"

#include "platform/bounded_text.h"
#include "streams/file_utilities.h"

namespace ui {

namespace {

// Sub-folders only: no files, and no hidden or system entries asked for.
constexpr WPARAM kFoldersOnly = DDL_EXCLUSIVE | DDL_DIRECTORY;

HWND CreateHiddenListBox(HINSTANCE instance, HWND owner) {
  // Neither a child nor visible: never shown. Not sorted: the order is the
  // order of arrival.
  return ::CreateWindowExA(0, "LISTBOX", "", LBS_HASSTRINGS, 0, 0, 100, 100, owner, nullptr,
                           instance, nullptr);
}

bool TakeFirst(HWND list, char* text, std::size_t capacity) {
  if (list == nullptr || ::SendMessageA(list, LB_GETCOUNT, 0, 0) <= 0) return false;
  const LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, 0, 0);
  char entry[streams::kMaxPath];
  // A text that does not fit is given as empty rather than cut: a cut path
  // would name another folder.
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof entry) {
    entry[0] = 0;
  } else {
    ::SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(entry));
  }
  ::SendMessageA(list, LB_DELETESTRING, 0, 0);
  if (!platform::CopyText(text, capacity, entry)) text[0] = 0;
  return true;
}

}  // namespace

ListBoxSearchHost::ListBoxSearchHost(HINSTANCE instance, HWND owner)
    : instance_(instance), owner_(owner) {}

ListBoxSearchHost::~ListBoxSearchHost() { EndSearch(); }

void ListBoxSearchHost::BeginSearch() {
  waitCursor_ = std::make_unique<WaitCursor>(true);
  listing_ = CreateHiddenListBox(instance_, owner_);
  queue_ = CreateHiddenListBox(instance_, owner_);
}

void ListBoxSearchHost::EndSearch() {
  if (listing_ != nullptr) ::DestroyWindow(listing_);
  if (queue_ != nullptr) ::DestroyWindow(queue_);
  listing_ = nullptr;
  queue_ = nullptr;
  waitCursor_.reset();
}

bool ListBoxSearchHost::QueueEmpty() {
  return queue_ == nullptr || ::SendMessageA(queue_, LB_GETCOUNT, 0, 0) <= 0;
}

void ListBoxSearchHost::QueueAppend(const char* folder) {
  if (queue_ != nullptr) ::SendMessageA(queue_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folder));
}

bool ListBoxSearchHost::QueueTakeFirst(char* folder, std::size_t capacity) {
  return TakeFirst(queue_, folder, capacity);
}

void ListBoxSearchHost::FillListing(const char* folder) {
  if (listing_ == nullptr) return;
  ::SendMessageA(listing_, LB_RESETCONTENT, 0, 0);
  char pattern[streams::kMaxPath];
  if (!platform::CopyText(pattern, folder) || !platform::AppendText(pattern, "*.*")) return;
  ::SendMessageA(listing_, LB_DIR, kFoldersOnly, reinterpret_cast<LPARAM>(pattern));
}

bool ListBoxSearchHost::ListingTakeFirst(char* entry, std::size_t capacity) {
  return TakeFirst(listing_, entry, capacity);
}

}  // namespace ui
