#include <dirent.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <cstring>

#include "platform/drives.h"
#include "platform/posix/native_path.h"

namespace platform {
namespace {

// File systems that hold no installed files: kernel views, device nodes and
// memory-backed run-time state.
bool IsPseudoFileSystem(const std::string& path) {
  static const long kPseudo[] = {
      0x9fa0,      // proc
      0x62656572,  // sysfs
      0x1373,      // devfs
      0x1cd1,      // devpts
      0x01021994,  // tmpfs
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

bool ListSubfolders(const char* folder, std::vector<std::string>* names) {
  std::string base = NativePath(folder);
  DIR* listing = ::opendir(base.c_str());
  if (listing == nullptr) return false;
  if (base.empty() || base.back() != '/') base += '/';
  while (const struct dirent* entry = ::readdir(listing)) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    const std::string path = base + name;
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) continue;
    if (IsPseudoFileSystem(path)) continue;
    names->emplace_back(name);
  }
  ::closedir(listing);
  return true;
}

}  // namespace platform
