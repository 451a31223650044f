// upgtool stamp: each file's stamp as the applicator computes it.
#include <cstdio>
#include <string>

#include "package/file_stamp.h"
#include "platform/time.h"
#include "tools/upgtool/arguments.h"
#include "tools/upgtool/commands.h"
#include "tools/upgtool/json_writer.h"
#include "tools/upgtool/stamp_text.h"
#include "ui/printable_text.h"

namespace upgtool {

int RunStamp(int argc, char** argv) {
  const Arguments arguments(argc, argv, {"--json"}, {"--time-zone"});
  if (!arguments.parsed || arguments.operands.empty()) return UsageError(kStampUsage);
  std::string problem;
  if (arguments.HasValue("--time-zone") &&
      !platform::SelectTimeZone(arguments.Value("--time-zone"), &problem)) {
    std::fprintf(stderr, "upgtool: %s\n", problem.c_str());
    return 2;
  }
  const bool asJson = arguments.Has("--json");
  JsonWriter json;
  json.BeginObject().BeginArray("files");
  int result = 0;
  for (const std::string& path : arguments.operands) {
    streams::FileStamp stamp;
    const bool ok = package::ComputeFileStamp(path.c_str(), stamp);
    if (!ok) result = 1;
    if (asJson) {
      WriteStampFields(json.BeginObject().String("path", path.c_str()).Bool("ok", ok), stamp)
          .EndObject();
    } else if (ok) {
      std::printf("%s: %s\n", ui::ConsoleText(path).c_str(), StampText(stamp).c_str());
    } else {
      std::printf(
          "%s: cannot be stamped (missing, locked, unreadable or dated outside 1980-2107)\n",
          ui::ConsoleText(path).c_str());
    }
  }
  if (asJson) std::printf("%s\n", json.EndArray().EndObject().text().c_str());
  return result;
}

}  // namespace upgtool
