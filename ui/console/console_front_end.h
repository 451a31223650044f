// The applicator's front-end on a console: the main window is a banner, each
// wizard page prints its texts and asks for one of its buttons, the file and
// folder dialogs ask for a path, and message boxes print their caption and
// text (Yes/No boxes ask). Every question reads one line; at the end of the
// input each question gets the answer that stops without changing anything.
#pragma once

#include <cstdio>
#include <string>

#include "ui/front_end.h"

namespace ui {

class ConsoleFrontEnd final : public FrontEnd {
 public:
  ConsoleFrontEnd(std::FILE* input, std::FILE* output, bool terminal);

  void PrintBanner();

  platform::ModuleInstance Instance() override;
  platform::WindowHandle MainWindow() override { return nullptr; }
  bool ChoosePackageFile(char* path) override;
  int MessageBox(platform::WindowHandle owner, const char* text, const char* caption,
                 unsigned style) override;
  void ShowSearchNotice() override;
  void SearchProgress(unsigned long foldersVisited) override;
  void HideSearchNotice() override;
  void UpdateMainWindow() override {}
  int RunPage(int page) override;
  bool ChooseFolder(platform::WindowHandle owner, const char* start, char* returned) override;

 private:
  // Reads one answer; false at the end of the input.
  bool Ask(const char* prompt, std::string* answer);
  void PrintPage(int page);

  std::FILE* input_;
  std::FILE* output_;
  bool terminal_;
};

}  // namespace ui
