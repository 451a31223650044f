#include "demo/output_folder.h"

#include <cstdio>

#include "platform/path_separator.h"
#include "streams/file_utilities.h"

namespace demo {

int TakeOutputFolder(int argc, char** argv, const char* program, std::string* folder) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", program);
    return 2;
  }
  // The folder itself, without the separator its name may end in; '/' and
  // '\\' separate alike, so the name is otherwise taken as given.
  std::string path = argv[1];
  while (path.size() > 1 && platform::IsPathSeparator(path.back())) path.pop_back();
  if (!streams::CreateFolder(path.c_str()) && !streams::IsFolder(path.c_str())) {
    std::fprintf(stderr, "%s: cannot create the folder %s\n", program, argv[1]);
    return 1;
  }
  *folder = path + '\\';
  return 0;
}

}  // namespace demo
