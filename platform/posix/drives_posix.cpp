#include <sys/vfs.h>

#include <cstring>

#include "platform/drives.h"
#include "platform/posix/native_path.h"

namespace platform {
namespace {

// File systems that hold no installed files: kernel views and device nodes.
// Memory-backed file systems are searched (/tmp may be one), except the
// run-time state under /run.
bool IsPseudoFileSystem(const std::string& path) {
  if (path == "/run") return true;
  static const long kPseudo[] = {
      0x9fa0,      // proc
      0x62656572,  // sysfs
      0x1373,      // devfs
      0x1cd1,      // devpts
      0x27e0eb,    // cgroup
      0x63677270,  // cgroup2
      0x64626720,  // debugfs
      0x74726163,  // tracefs
      0x73636673,  // securityfs
      0x6165676c,  // pstore
      0xcafe4a11,  // bpf
      0x62656570,  // configfs
      0x65735543,  // fusectl
      0x19800202,  // mqueue
      0x958458f6,  // hugetlbfs
      0x0187,      // autofs
      0x42494e4d,  // binfmt_misc
      0xde5e81e4,  // efivarfs
      0x6e736673,  // nsfs
  };
  struct statfs info;
  if (::statfs(path.c_str(), &info) != 0) return true;
  for (long type : kPseudo) {
    if (static_cast<long>(info.f_type) == type) return true;
  }
  return false;
}

}  // namespace

bool DriveRoot(int index, char* root, std::uint32_t capacity) {
  if (index != 0 || capacity < 2) return false;
  std::memcpy(root, "/", 2);
  return true;
}

bool IsFixedDrive(const char* root) { return std::strcmp(root, "/") == 0; }

bool IsSearchableFolder(const char* folder) { return !IsPseudoFileSystem(NativePath(folder)); }

}  // namespace platform
