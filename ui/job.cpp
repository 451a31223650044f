#include "ui/job.h"

#include <string>

#include "platform/bounded_text.h"
#include "platform/program.h"
#include "platform/user_interface.h"
#include "ui/closing_message.h"
#include "ui/folder_search.h"
#include "ui/package_trust.h"
#include "ui/run_upgrade.h"
#include "ui/shared_state.h"
#include "ui/startup.h"
#include "ui/wizard.h"

namespace ui {

namespace {

constexpr unsigned kMbIconError = 0x10;

}  // namespace

int RunJob(FrontEnd& frontEnd, SearchHost& search, const char* commandLine, const char* programPath,
           const char* builtInKey) {
  // A command line too long for a path cannot name the package; it is
  // refused like any other path that does not open.
  const bool fits = PackagePathFromCommandLine(commandLine, PackagePath);
  if (fits && PackagePath[0] == 0) FindPackageBesideProgram(programPath, PackagePath);
  if (fits && PackagePath[0] == 0) {
    char chosen[streams::kMaxPath];
    if (!frontEnd.ChoosePackageFile(chosen) || !platform::CopyText(PackagePath, chosen))
      return kExitNotApplied;
  }
  // The signature is checked before anything else of the package is read.
  const PackageTrust trust(programPath, builtInKey);
  std::string refusal;
  if (!fits || !trust.Admits(PackagePath, &refusal) || !IsPackageValid(PackagePath)) {
    std::string text = "Upgrade is invalid!";
    if (!refusal.empty()) text += "\n\n" + refusal;
    frontEnd.MessageBox(frontEnd.MainWindow(), text.c_str(), "Error", kMbIconError);
    return kExitInvalidPackage;
  }
  frontEnd.ShowSearchNotice();
  if (!platform::SystemFolder(SelectedFolder, streams::kMaxPath)) SelectedFolder[0] = 0;
  FindInstalledFolder(PackagePath, SelectedFolder, frontEnd.Instance(), frontEnd.MainWindow(),
                      search);
  frontEnd.HideSearchNotice();
  if (!ShowWizard(frontEnd)) return kExitNotApplied;
  frontEnd.UpdateMainWindow();
  apply::ApplyOutcome outcome;
  const int applied = RunUpgrade(PackagePath, SelectedFolder, frontEnd.Instance(),
                                 frontEnd.MainWindow(), &outcome, trust.Key());
  const ClosingMessage closing = ClosingMessageFor(applied, outcome);
  frontEnd.MessageBox(frontEnd.MainWindow(), closing.text.c_str(), closing.caption.c_str(),
                      platform::kMbIconInformation);
  return closing.exitStatus;
}

}  // namespace ui
