#include "ui/run_upgrade.h"

#include <new>

#include "apply/apply_upgrade.h"
#include "package/ui_strings.h"
#include "package/upgrade_session.h"

int IsPackageValid(const char* path) {
  const PackageReader reader(path);
  return reader.IsValid() ? 1 : 0;
}

int RunUpgrade(const char* packagePath, const char* folder, platform::ModuleInstance instance,
               platform::WindowHandle owner, ApplyOutcome* outcome) {
  UpgradeSession session(instance, owner, packagePath, folder);
  if (!session.IsValid()) return 0;
  session.uiStrings.reset(new (std::nothrow) UiStrings(instance, kUiStringsResourceId));
  return ApplyUpgrade(session, outcome);
}
