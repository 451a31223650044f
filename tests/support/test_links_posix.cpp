#include <unistd.h>

#include <filesystem>

#include "tests/support/temp_folder.h"
#include "tests/support/test_links.h"

bool MakeTestLink(const std::string& link, const std::string& target) {
  return ::symlink(NativeTestPath(target).c_str(), NativeTestPath(link).c_str()) == 0;
}

void RemoveTestTree(const std::string& folder) {
  std::error_code error;
  std::filesystem::remove_all(NativeTestPath(folder), error);
}
