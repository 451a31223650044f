// What the start-up flow and the wizard need from a front-end. The logic in
// ui/ decides what happens; a front-end only shows and asks. Two implement
// it: the Win32 program (ui/win32/) and the console program (ui/console/).
#pragma once

#include "platform/handles.h"

namespace ui {

// Results of a wizard page: the identifier of the button that ended it.
constexpr int kPageBack = 300;
constexpr int kPageNext = 301;
constexpr int kPageCancel = 2;

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  virtual platform::ModuleInstance Instance() = 0;
  // The main window: owner of the job's boxes, dialogs and the progress
  // dialog. May be null on a front-end without windows.
  virtual platform::WindowHandle MainWindow() = 0;

  // The open-file dialog for a package. True with the chosen path in `path`
  // (kMaxPath bytes); false when the user cancelled.
  virtual bool ChoosePackageFile(char* path) = 0;
  // A message box owned by `owner`; returns IDOK, IDYES or IDNO.
  virtual int MessageBox(platform::WindowHandle owner, const char* text, const char* caption,
                         unsigned style) = 0;
  virtual void ShowSearchNotice() = 0;
  // Called for every folder the search visits.
  virtual void SearchProgress(unsigned long foldersVisited) = 0;
  virtual void HideSearchNotice() = 0;
  virtual void UpdateMainWindow() = 0;
  // Runs wizard page 1, 2 or 3 until it ends; returns kPageBack, kPageNext
  // or kPageCancel. A page calls ConfirmCancel and BrowseTargetFolder
  // (wizard.h) for its Cancel and Browse buttons.
  virtual int RunPage(int page) = 0;
  // The folder dialog, starting at `start`. True with the path it returns
  // in `returned` (kMaxPath bytes): the chosen folder, a backslash and a
  // file name, which the caller drops.
  virtual bool ChooseFolder(platform::WindowHandle owner, const char* start, char* returned) = 0;
};

}  // namespace ui
