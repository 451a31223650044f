#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/native_path.h"
#include "platform/private_file.h"

namespace platform {

FileHandle CreatePrivateFile(const char* path) {
  const int fd =
      ::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return kInvalidFile;
  // The umask may only have taken bits away; the lock keeps the file ours
  // alone while it is written, as every writing open does.
  if (::fchmod(fd, 0600) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    ::unlink(NativePath(path).c_str());
    return kInvalidFile;
  }
  return fd;
}

}  // namespace platform
