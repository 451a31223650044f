#include "ui/win32/file_dialogs.h"

#include "platform/bounded_text.h"
#include "streams/file_utilities.h"
#include "ui/win32/dialog_helpers.h"

namespace ui {

namespace {

constexpr char kPackageFilter[] = "Upgrades (*.UPG)\0*.UPG\0";
constexpr DWORD kChooserFlags =
    OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
constexpr DWORD kBrowseFlags =
    OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_PATHMUSTEXIST;
static_assert(kChooserFlags == 0x182C && kBrowseFlags == 0x86C, "the dialogs' flags");

// The shared record, cleared, for a dialog owned by `owner` that returns
// its choice in `file`.
OPENFILENAMEA& StartFileDialog(HWND owner, char (&file)[streams::kMaxPath]) {
  ResetFileDialog();
  OPENFILENAMEA& dialog = FileDialog();
  dialog.hwndOwner = owner;
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof file;
  dialog.lpfnHook = OldStyleCenteringHook;
  return dialog;
}

// 1 with the choice copied out when the dialog was closed by OK, after the
// owner has repainted what the dialog covered.
int TakeChoice(BOOL chosen, HWND owner, const char* file, char* out) {
  if (chosen != 1) return 0;
  ::UpdateWindow(owner);
  return platform::CopyText(out, streams::kMaxPath, file) ? 1 : 0;
}

}  // namespace

int ChoosePackageFile(HWND owner, char* path) {
  char file[streams::kMaxPath] = "";
  OPENFILENAMEA& dialog = StartFileDialog(owner, file);
  dialog.lpstrFilter = kPackageFilter;
  dialog.lpstrDefExt = "UPG";
  dialog.lpstrTitle = "Upgrade Applicator";
  dialog.Flags = kChooserFlags;
  if (IsWindows4OrLater()) {
    dialog.Flags |= OFN_EXPLORER;
    dialog.lpfnHook = ExplorerCenteringHook;
  }
  return TakeChoice(::GetOpenFileNameA(&dialog), owner, file, path);
}

int ShowBrowseDialog(HWND owner, const char* start, char* returned) {
  char file[streams::kMaxPath] = "Target";
  OPENFILENAMEA& dialog = StartFileDialog(owner, file);
  dialog.hInstance = AppInstance;
  dialog.lpstrTitle = "Change Target Folder";
  dialog.lpstrInitialDir = start;
  dialog.lpTemplateName = "BROWSE";
  dialog.Flags = kBrowseFlags;
  // Never the explorer style, which would not take the template.
  if (IsWindows4OrLater()) dialog.Flags |= OFN_LONGNAMES;
  return TakeChoice(::GetSaveFileNameA(&dialog), owner, file, returned);
}

}  // namespace ui
