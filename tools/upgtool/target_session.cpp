#include "tools/upgtool/target_session.h"

#include "platform/file_system.h"
#include "tools/upgtool/package_problem.h"

namespace upgtool {

std::string TargetSessionProblem(const package::UpgradeSession& session, const char* folder) {
  const std::string problem = PackageProblemText(session);
  if (!problem.empty()) return problem;
  if (session.tableProblem == package::TableProblem::kFolderTooLong) {
    return std::string("the path of the folder ") + folder + " is too long";
  }
  const std::uint32_t attributes = platform::Fs().GetAttributes(folder);
  if (attributes == platform::kInvalidAttributes || (attributes & platform::kAttrDirectory) == 0) {
    return std::string(folder) + " is not a folder";
  }
  return "";
}

}  // namespace upgtool
