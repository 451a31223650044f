// Windows opens files for exclusive use unless sharing is asked for; here
// a non-blocking flock stands in for that, so two programs of ours never hold
// one file at once. A file that is in use or read-only cannot be deleted,
// and a move never replaces its destination, as on Windows.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <memory>
#include <string>

#include "platform/bounded_text.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/link_walk.h"
#include "platform/posix/native_path.h"

namespace platform {
namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000ull;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::uint64_t kUnixEpochSeconds = 11644473600ull;

// A lock is shared or exclusive, where Windows weighs each open's access
// against the other's sharing. Any two readers that let others read may hold
// a file together on Windows too, so they share the lock; every other open
// takes the file for itself. That refuses a few pairs Windows would allow,
// never one it refuses: a writer never empties a file that a reader holds.
int LockFor(unsigned flags) {
  const bool readsOnly = (flags & 3u) == 0 || (flags & 3u) == kOpenRead;
  return readsOnly && (flags & kShareRead) != 0 ? LOCK_SH : LOCK_EX;
}

// True when another open of ours holds the file.
bool InUse(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool busy = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
  ::close(fd);
  return busy;
}

ComponentKind ExamineComponent(const std::string& prefix) {
  struct stat info;
  if (::lstat(NativePath(prefix.c_str()).c_str(), &info) != 0) {
    return errno == ENOENT || errno == ENOTDIR ? ComponentKind::kMissing
                                               : ComponentKind::kUnreadable;
  }
  if (S_ISLNK(info.st_mode)) return ComponentKind::kLink;
  return S_ISDIR(info.st_mode) ? ComponentKind::kFolder : ComponentKind::kFile;
}

class PosixFileSystem final : public FileSystem {
 public:
  FileHandle Open(const char* path, unsigned flags) override {
    const unsigned mode = flags & 3u;
    int openFlags = O_CLOEXEC;
    if (mode == kOpenWrite) {
      openFlags |= O_WRONLY | O_CREAT;
    } else if (mode == kOpenReadWrite) {
      openFlags |= O_RDWR;
    } else {
      openFlags |= O_RDONLY;
    }
    const std::string native = NativePath(path);
    const int fd = ::open(native.c_str(), openFlags, 0666);
    if (fd < 0) return kInvalidFile;
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode) ||
        ::flock(fd, LockFor(flags) | LOCK_NB) != 0) {
      ::close(fd);
      return kInvalidFile;
    }
    // Emptied only once the lock is held, so a refused open changes nothing;
    // and only when there is something to empty: ext4 takes a truncation
    // for a file being replaced and starts writing it to disk at its close,
    // which made every new file of a run wait for the disk.
    if (mode == kOpenWrite && info.st_size != 0 && ::ftruncate(fd, 0) != 0) {
      ::close(fd);
      return kInvalidFile;
    }
    return fd;
  }

  void Close(FileHandle file) override {
    if (file != kInvalidFile) ::close(static_cast<int>(file));
  }

  std::int32_t Read(FileHandle file, void* buffer, std::int32_t count) override {
    if (file == kInvalidFile || count < 0) return -1;
    std::int32_t total = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (total < count) {
      const ssize_t got =
          ::read(static_cast<int>(file), bytes + total, static_cast<std::size_t>(count - total));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return total > 0 ? total : -1;
      if (got == 0) break;
      total += static_cast<std::int32_t>(got);
    }
    return total;
  }

  std::int32_t Write(FileHandle file, const void* buffer, std::int32_t count) override {
    if (file == kInvalidFile || count < 0) return -1;
    std::int32_t total = 0;
    const auto* bytes = static_cast<const char*>(buffer);
    while (total < count) {
      const ssize_t put =
          ::write(static_cast<int>(file), bytes + total, static_cast<std::size_t>(count - total));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return total > 0 ? total : -1;
      total += static_cast<std::int32_t>(put);
    }
    return total;
  }

  std::uint32_t Seek(FileHandle file, std::int32_t distance, SeekOrigin origin) override {
    if (file == kInvalidFile) return 0xFFFFFFFFu;
    // From the start the distance is an unsigned position; from the current
    // place it is signed.
    const off_t offset = origin == SeekOrigin::kBegin
                             ? static_cast<off_t>(static_cast<std::uint32_t>(distance))
                             : static_cast<off_t>(distance);
    const off_t reached =
        ::lseek(static_cast<int>(file), offset, origin == SeekOrigin::kBegin ? SEEK_SET : SEEK_CUR);
    if (reached < 0 || reached >= static_cast<off_t>(0xFFFFFFFFu)) return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(reached);
  }

  std::uint32_t Size(FileHandle file) override {
    struct stat info;
    if (file == kInvalidFile || ::fstat(static_cast<int>(file), &info) != 0) return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(info.st_size));
  }

  bool GetLastWriteTime(FileHandle file, FileTime* utc) override {
    struct stat info;
    if (file == kInvalidFile || ::fstat(static_cast<int>(file), &info) != 0) return false;
    if (info.st_mtim.tv_sec < -static_cast<time_t>(kUnixEpochSeconds)) return false;
    *utc =
        (static_cast<std::uint64_t>(info.st_mtim.tv_sec + static_cast<time_t>(kUnixEpochSeconds))) *
            kTicksPerSecond +
        static_cast<std::uint64_t>(info.st_mtim.tv_nsec) / 100u;
    return true;
  }

  bool SetTimes(FileHandle file, FileTime utc) override {
    if (file == kInvalidFile) return false;
    const std::uint64_t seconds = utc / kTicksPerSecond;
    if (seconds < kUnixEpochSeconds) return false;
    struct timespec times[2];
    times[0].tv_sec = static_cast<time_t>(seconds - kUnixEpochSeconds);
    times[0].tv_nsec = static_cast<long>((utc % kTicksPerSecond) * 100u);
    times[1] = times[0];
    return ::futimens(static_cast<int>(file), times) == 0;
  }

  std::uint32_t GetAttributes(const char* path) override {
    struct stat info;
    if (::stat(NativePath(path).c_str(), &info) != 0) return kInvalidAttributes;
    std::uint32_t attributes = 0;
    if (S_ISDIR(info.st_mode)) attributes |= kAttrDirectory;
    if ((info.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
    return attributes != 0 ? attributes : kAttrNormal;
  }

  bool CreateFolder(const char* path) override {
    return ::mkdir(NativePath(path).c_str(), 0777) == 0;
  }

  bool RemoveFolder(const char* path) override { return ::rmdir(NativePath(path).c_str()) == 0; }

  bool DeleteFile(const char* path) override {
    const std::string native = NativePath(path);
    struct stat info;
    if (::lstat(native.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
    if (!S_ISLNK(info.st_mode) && ((info.st_mode & S_IWUSR) == 0 || InUse(native))) return false;
    return ::unlink(native.c_str()) == 0;
  }

  bool MoveFile(const char* from, const char* to) override {
    const std::string source = NativePath(from);
    const std::string destination = NativePath(to);
    struct stat info;
    if (::lstat(destination.c_str(), &info) == 0) return false;
    return ::rename(source.c_str(), destination.c_str()) == 0;
  }

  bool FindStoredName(const char* path, char* name, std::uint32_t capacity) override {
    // POSIX file systems keep names as given: the entry exists or it does not.
    struct stat info;
    if (::lstat(NativePath(path).c_str(), &info) != 0) return false;
    const std::string given = path;
    const std::string::size_type slash = given.find_last_of("\\/");
    const std::string stored = slash == std::string::npos ? given : given.substr(slash + 1);
    return CopyText(name, capacity, stored.c_str());
  }

  bool GetCurrentFolder(char* buffer, std::uint32_t capacity) override {
    char native[PATH_MAX];
    std::string current;
    return ::getcwd(native, sizeof native) != nullptr && Utf8ToPackageText(native, &current) &&
           CopyText(buffer, capacity, current.c_str());
  }

  bool SetCurrentFolder(const char* path) override {
    return ::chdir(NativePath(path).c_str()) == 0;
  }

  LinkFinding FindLinkBelow(const char* folder, const char* path) override {
    return WalkBelow(folder, path, ExamineComponent);
  }

  // A lock on the folder's own inode, so nothing is created in it; the
  // system drops it when the last descriptor closes, also at a kill.
  LockResult LockFolder(const char* folder, const char*, FileHandle* lock) override {
    const int fd = ::open(NativePath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return LockResult::kFailed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const bool held = errno == EWOULDBLOCK;
      ::close(fd);
      return held ? LockResult::kInUse : LockResult::kFailed;
    }
    *lock = fd;
    return LockResult::kLocked;
  }

  void UnlockFolder(FileHandle lock) override {
    if (lock != kInvalidFile) ::close(static_cast<int>(lock));
  }

  bool Flush(const char* path) override {
    const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool flushed = ::fsync(fd) == 0;
    ::close(fd);
    return flushed;
  }

  // An fsync per file or folder costs a journal commit apiece, some
  // milliseconds each; one syncfs covers them all.
  bool FlushFolder(const char* folder, FlushScope) override {
    const int fd = ::open(NativePath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool flushed = ::syncfs(fd) == 0;
    ::close(fd);
    return flushed;
  }
};

ItemKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return ItemKind::kFile;
  if (S_ISDIR(mode)) return ItemKind::kFolder;
  if (S_ISLNK(mode)) return ItemKind::kLink;
  return ItemKind::kOther;
}

// Closes the directory stream on every way out.
struct DirectoryCloser {
  void operator()(DIR* directory) const { ::closedir(directory); }
};

}  // namespace

bool ListNativeFolder(const char* folder, std::vector<FolderItem>* items) {
  const std::unique_ptr<DIR, DirectoryCloser> directory(::opendir(NativePath(folder).c_str()));
  if (!directory) return false;
  const int descriptor = ::dirfd(directory.get());
  for (;;) {
    errno = 0;
    const dirent* found = ::readdir(directory.get());
    if (found == nullptr) return errno == 0;
    const std::string native = found->d_name;
    if (native == "." || native == "..") continue;
    struct stat info;
    if (::fstatat(descriptor, native.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
    const ItemKind kind = KindOf(info.st_mode);
    const std::uint64_t size =
        kind == ItemKind::kFile ? static_cast<std::uint64_t>(info.st_size) : 0;
    std::string name;
    const bool representable = Utf8ToPackageText(native, &name);
    items->push_back(FolderItem{name, kind, size, representable});
  }
}

FileSystem& NativeFs() {
  static PosixFileSystem native;
  return native;
}

}  // namespace platform
