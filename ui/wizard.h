// The wizard: up to three pages before anything is changed. Page 1 shows
// the package, page 2 the target folder (with Browse), page 3 warns that
// the folder does not hold what the package expects; it is shown only when
// that check fails.
#pragma once

#include <string>

#include "platform/handles.h"
#include "ui/front_end.h"

namespace ui {

// 1 when the user left the last page with Next, 0 after a confirmed Cancel.
int ShowWizard(FrontEnd& frontEnd);

// Cancel on a page (also Escape and the close box): true when the user
// confirmed that the wizard is to end.
bool ConfirmCancel(FrontEnd& frontEnd, platform::WindowHandle page);

// Browse on page 2: true when the user chose a folder, now SelectedFolder.
bool BrowseTargetFolder(FrontEnd& frontEnd, platform::WindowHandle page);

// The package's title and description, when it reads as valid.
bool ReadPackageText(const char* packagePath, std::string* title, std::string* description);

// Nonzero when `folder` holds what the package needs.
int CheckSelectedFolder(FrontEnd& frontEnd, const char* packagePath, const char* folder);

}  // namespace ui
