#include "ui/console/console_front_end.h"

#include <cstring>
#include <string>

#include "platform/bounded_text.h"
#include "platform/code_page.h"
#include "platform/program.h"
#include "platform/resources.h"
#include "platform/user_interface.h"
#include "streams/file_utilities.h"
#include "ui/backdrop.h"
#include "ui/console/line_input.h"
#include "ui/printable_text.h"
#include "ui/shared_state.h"
#include "ui/wizard.h"

namespace ui {

namespace {

constexpr char kPageCaption[] = "Upgrade Applicator";
constexpr char kCancelQuestion[] = "Are you sure you want to cancel?";

// Folders are kept with the package's backslashes; people read them with
// the system's own separator. A folder's name can hold control bytes too.
std::string ShownFolder(const char* folder) {
  std::string shown = folder;
  for (char& c : shown) {
    if (c == '\\') c = platform::NativeSeparator();
  }
  return ConsoleText(shown);
}

bool IsYesNo(unsigned style) { return (style & platform::kMbButtonMask) == platform::kMbYesNo; }

void PrintRule(std::FILE* output) {
  std::fprintf(output, "------------------------------------------------------------------\n");
}

}  // namespace

ConsoleFrontEnd::ConsoleFrontEnd(std::FILE* input, std::FILE* output, bool terminal)
    : input_(input), output_(output), terminal_(terminal) {}

void ConsoleFrontEnd::PrintBanner() {
  std::fprintf(output_, "==================================================================\n");
  std::fprintf(output_, "  %s\n  %s\n", kProgramTitle, kVersionLine);
  std::fprintf(output_, "==================================================================\n");
}

platform::ModuleInstance ConsoleFrontEnd::Instance() { return platform::ProgramInstance(); }

bool ConsoleFrontEnd::Ask(const char* prompt, std::string* answer) {
  std::fprintf(output_, "%s", prompt);
  if (ReadAnswerLine(input_, output_, !terminal_, answer)) return true;
  std::fprintf(output_, "(end of input)\n");
  return false;
}

bool ConsoleFrontEnd::ChoosePackageFile(char* path) {
  std::fprintf(output_, "\n%s\nNo upgrade package was found. Upgrades (*.UPG)\n", kPageCaption);
  for (;;) {
    std::string answer;
    if (!Ask("Package file (Enter to cancel): ", &answer) || answer.empty()) return false;
    // Typed in the system's text; a path the code page cannot write names
    // no file.
    std::string typed;
    if (platform::SystemTextToPackageText(answer, &typed) && streams::IsFile(typed.c_str()) &&
        platform::CopyText(path, streams::kMaxPath, typed.c_str()))
      return true;
    std::fprintf(output_, "%s\nFile not found.\n", PrintableText(answer.c_str()).c_str());
  }
}

int ConsoleFrontEnd::MessageBox(platform::WindowHandle, const char* text, const char* caption,
                                unsigned style) {
  std::fprintf(output_, "\n[%s]\n%s\n", ConsoleText(caption).c_str(),
               ConsoleText(text, TextLayout::kLines).c_str());
  if (!IsYesNo(style)) return platform::kIdOk;
  for (;;) {
    std::string answer;
    if (!Ask("[y]es or [n]o? ", &answer)) {
      // Nobody is there to answer: a wish to cancel stands, and nothing
      // that would go on is agreed to.
      return std::strcmp(text, kCancelQuestion) == 0 ? platform::kIdYes : platform::kIdNo;
    }
    const int yesNo = YesNoAnswer(answer.c_str());
    if (yesNo != 0) return yesNo;
  }
}

void ConsoleFrontEnd::ShowSearchNotice() {
  std::fprintf(output_, "\nSearching for installed components...%s", terminal_ ? "" : "\n");
  std::fflush(output_);
}

void ConsoleFrontEnd::SearchProgress(unsigned long foldersVisited) {
  if (!terminal_ || foldersVisited % 64 != 1) return;
  std::fprintf(output_, "\rSearching for installed components... %lu folders", foldersVisited);
  std::fflush(output_);
}

void ConsoleFrontEnd::HideSearchNotice() {
  if (terminal_) std::fprintf(output_, "\n");
}

void ConsoleFrontEnd::PrintPage(int page) {
  std::fprintf(output_, "\n");
  PrintRule(output_);
  std::fprintf(output_, "%s - page %d of 3\n", kPageCaption, page);
  PrintRule(output_);
  if (page == 1) {
    std::string title = "UpdateTitle";
    std::string description;
    ReadPackageText(PackagePath, &title, &description);
    std::fprintf(output_, "Title: %s\n\nDescription:\n%s\n", ConsoleText(title).c_str(),
                 ConsoleText(description, TextLayout::kLines).c_str());
  } else if (page == 2) {
    std::fprintf(output_,
                 "Please select the target folder that contains the files which should be "
                 "upgraded.\n\n  %s\n\nPress the Next button to proceed with the upgrade, or Back "
                 "to review the details of the upgrade.\n",
                 ShownFolder(SelectedFolder).c_str());
  } else {
    std::fprintf(output_,
                 "Invalid target folder!\n\nThe selected directory (as shown below) does not "
                 "contain the necessary files to receive an upgrade.\n\n  %s\n\nPress the Next "
                 "button to try the upgrade anyway, the Back button to alter the target upgrade "
                 "folder, or Cancel to abort the upgrade.\n",
                 ShownFolder(SelectedFolder).c_str());
  }
  PrintRule(output_);
}

int ConsoleFrontEnd::RunPage(int page) {
  PrintPage(page);
  const char* prompt = page == 1   ? "[n]ext, [c]ancel? "
                       : page == 2 ? "[n]ext, [b]ack, b[r]owse, [c]ancel? "
                                   : "[n]ext, [b]ack, [c]ancel? ";
  for (;;) {
    std::string answer;
    const bool got = Ask(prompt, &answer);
    const std::string command = Lowered(answer);
    if (!got || command == "c" || command == "cancel") {
      if (ConfirmCancel(*this, nullptr)) return kPageCancel;
      PrintPage(page);
    } else if (command == "n" || command == "next") {
      return kPageNext;
    } else if (page > 1 && (command == "b" || command == "back")) {
      return kPageBack;
    } else if (page == 2 && (command == "r" || command == "browse")) {
      BrowseTargetFolder(*this, nullptr);
      PrintPage(page);
    }
  }
}

bool ConsoleFrontEnd::ChooseFolder(platform::WindowHandle, const char* start, char* returned) {
  std::fprintf(output_, "\nChange Target Folder\nNow: %s\n", ShownFolder(start).c_str());
  for (;;) {
    std::string answer;
    if (!Ask("Folder (Enter to cancel): ", &answer) || answer.empty()) return false;
    // A folder dialog returns a file name inside the chosen folder, which
    // the caller drops.
    std::string typed;
    if (platform::SystemTextToPackageText(answer, &typed) && streams::IsFolder(typed.c_str()) &&
        platform::CopyText(returned, streams::kMaxPath, typed.c_str()) &&
        platform::AppendText(returned, streams::kMaxPath, "\\Target"))
      return true;
    std::fprintf(output_, "%s\nThis folder does not exist.\n",
                 PrintableText(answer.c_str()).c_str());
  }
}

}  // namespace ui
