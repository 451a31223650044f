// A front-end for the flow's tests: pages end with scripted results, boxes
// are recorded and every question is answered No, the dialogs are cancelled.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/scripted_user.h"
#include "ui/front_end.h"

using namespace ui;

class FakeFrontEnd final : public FrontEnd {
 public:
  // Results of RunPage in order; when they run out the page is cancelled.
  std::deque<int> pageResults;
  // Called with the page's number as each page is shown, before it ends.
  std::function<void(int page)> onPage;

  std::vector<int> pagesShown;
  std::vector<RecordedBox> boxes;
  std::vector<std::string> events;

  platform::ModuleInstance Instance() override;
  platform::WindowHandle MainWindow() override { return &mainWindow_; }
  bool ChoosePackageFile(char*) override { return false; }
  int MessageBox(platform::WindowHandle owner, const char* text, const char* caption,
                 unsigned style) override;
  void ShowSearchNotice() override { events.push_back("search shown"); }
  void SearchProgress(unsigned long) override {}
  void HideSearchNotice() override { events.push_back("search hidden"); }
  void UpdateMainWindow() override { events.push_back("update"); }
  int RunPage(int page) override;
  bool ChooseFolder(platform::WindowHandle, const char*, char*) override { return false; }

 private:
  int mainWindow_ = 0;
};
