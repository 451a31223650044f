#include "platform/posix/native_path.h"

#include "platform/code_page.h"

namespace platform {

std::string NativePath(const char* path) {
  bool defined = true;
  std::string native = PackageTextToUtf8(path, &defined);
  if (!defined) return "";
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

}  // namespace platform
