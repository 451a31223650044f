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

}  // namespace

int ChoosePackageFile(HWND owner, char* path) {
  char file[streams::kMaxPath] = "";
  ResetFileDialog();
  OPENFILENAMEA& dialog = FileDialog();
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kPackageFilter;
  dialog.lpstrDefExt = "UPG";
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof file;
  dialog.lpstrTitle = "Upgrade Applicator";
  dialog.Flags = kChooserFlags;
  dialog.lpfnHook = OldStyleCenteringHook;
  if (IsWindows4OrLater()) {
    dialog.Flags |= OFN_EXPLORER;
    dialog.lpfnHook = ExplorerCenteringHook;
  }
  if (::GetOpenFileNameA(&dialog) != 1) return 0;
  ::UpdateWindow(owner);
  return platform::CopyText(path, streams::kMaxPath, file) ? 1 : 0;
}

int ShowBrowseDialog(HWND owner, const char* start, char* returned) {
  char file[streams::kMaxPath] = "Target";
  ResetFileDialog();
  OPENFILENAMEA& dialog = FileDialog();
  dialog.hwndOwner = owner;
  dialog.hInstance = AppInstance;
  dialog.lpstrTitle = "Change Target Folder";
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof file;
  dialog.lpstrInitialDir = start;
  dialog.lpTemplateName = "BROWSE";
  dialog.Flags = kBrowseFlags;
  dialog.lpfnHook = OldStyleCenteringHook;
  // Never the explorer style, which would not take the template.
  if (IsWindows4OrLater()) dialog.Flags |= OFN_LONGNAMES;
  if (::GetSaveFileNameA(&dialog) != 1) return 0;
  ::UpdateWindow(owner);
  return platform::CopyText(returned, streams::kMaxPath, file) ? 1 : 0;
}

}  // namespace ui
