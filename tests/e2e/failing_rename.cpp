// Preloaded into a real program by the end-to-end tests (LD_PRELOAD) so
// that its file moves begin to fail at a chosen point: the first
// UPG_RENAMES_ALLOWED calls of rename() go through, every later one fails
// with EIO. Set low enough, a commit fails and so does its undo, which no
// honest folder on a test machine does on demand.
#include <dlfcn.h>

#include <cerrno>
#include <cstdlib>

namespace {

using RenameFunction = int (*)(const char*, const char*);

long RenamesAllowed() {
  const char* text = std::getenv("UPG_RENAMES_ALLOWED");
  return text != nullptr ? std::strtol(text, nullptr, 10) : -1;
}

}  // namespace

extern "C" int rename(const char* from, const char* to) {
  static const long allowed = RenamesAllowed();
  static long made = 0;
  static const RenameFunction next = reinterpret_cast<RenameFunction>(dlsym(RTLD_NEXT, "rename"));
  if (next == nullptr || (allowed >= 0 && made >= allowed)) {
    errno = EIO;
    return -1;
  }
  ++made;
  return next(from, to);
}
