#include "ui/wizard.h"

#include "package/folder_validation.h"
#include "package/upgrade_session.h"
#include "platform/bounded_text.h"
#include "platform/user_interface.h"
#include "ui/folder_path.h"
#include "ui/shared_state.h"

namespace ui {

namespace {

constexpr char kCancelQuestion[] = "Are you sure you want to cancel?";
constexpr char kCancelCaption[] = "Upgrade Cancel Confirmation";

}  // namespace

int ShowWizard(FrontEnd& frontEnd) {
  int page = 1;
  while (page < 4) {
    int result = kPageNext;
    if (page == 3) {
      if (!CheckSelectedFolder(frontEnd, PackagePath, SelectedFolder)) result = frontEnd.RunPage(3);
    } else {
      result = frontEnd.RunPage(page);
    }
    if (result == kPageCancel) return 0;
    page += result == kPageBack ? -1 : 1;
  }
  return 1;
}

bool ConfirmCancel(FrontEnd& frontEnd, platform::WindowHandle page) {
  return frontEnd.MessageBox(page, kCancelQuestion, kCancelCaption,
                             platform::kMbIconQuestion | platform::kMbYesNo) != platform::kIdNo;
}

bool BrowseTargetFolder(FrontEnd& frontEnd, platform::WindowHandle page) {
  char returned[streams::kMaxPath];
  if (!frontEnd.ChooseFolder(page, SelectedFolder, returned)) return false;
  char folder[streams::kMaxPath];
  if (!FolderFromDialogPath(returned, folder)) return false;
  return platform::CopyText(SelectedFolder, folder);
}

bool ReadPackageText(const char* packagePath, std::string* title, std::string* description) {
  const package::PackageReader reader(packagePath);
  if (!reader.IsValid()) return false;
  *title = reader.title.get();
  *description = reader.description.get();
  return true;
}

int CheckSelectedFolder(FrontEnd& frontEnd, const char* packagePath, const char* folder) {
  package::UpgradeSession session(frontEnd.Instance(), frontEnd.MainWindow(), packagePath, folder);
  return session.IsValid() && package::ValidateTargetFolder(session) ? 1 : 0;
}

}  // namespace ui
