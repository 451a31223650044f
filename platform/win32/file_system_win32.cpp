// The Windows file system through the ANSI calls. A file is opened for
// exclusive use unless sharing is asked for; the system itself refuses to
// delete a file that is read-only or in use and to move onto an existing
// name, which is the behaviour the POSIX side imitates.
#include <string>

#include "platform/bounded_text.h"
#include "platform/file_system.h"
#include "platform/link_walk.h"
#include "platform/win32/file_time_win32.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

HANDLE ToSystemHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

bool IsMissingError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The attributes of a reparse point describe the point itself: the system
// does not follow it to answer.
ComponentKind ExamineComponent(const std::string& prefix) {
  const DWORD attributes = ::GetFileAttributesA(prefix.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return IsMissingError(::GetLastError()) ? ComponentKind::kMissing : ComponentKind::kUnreadable;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return ComponentKind::kLink;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? ComponentKind::kFolder
                                                      : ComponentKind::kFile;
}

class Win32FileSystem final : public FileSystem {
 public:
  FileHandle Open(const char* path, unsigned flags) override {
    DWORD access = GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    if ((flags & 3u) == kOpenWrite) {
      access = GENERIC_WRITE;
      disposition = CREATE_ALWAYS;
    } else if ((flags & 3u) == kOpenReadWrite) {
      access = GENERIC_READ | GENERIC_WRITE;
    }
    DWORD share = 0;
    if ((flags & kShareRead) != 0) share |= FILE_SHARE_READ;
    if ((flags & kShareWrite) != 0) share |= FILE_SHARE_WRITE;
    const HANDLE file =
        ::CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? kInvalidFile : reinterpret_cast<FileHandle>(file);
  }

  void Close(FileHandle file) override {
    if (file != kInvalidFile) ::CloseHandle(ToSystemHandle(file));
  }

  std::int32_t Read(FileHandle file, void* buffer, std::int32_t count) override {
    if (file == kInvalidFile || count < 0) return -1;
    DWORD got = 0;
    if (!::ReadFile(ToSystemHandle(file), buffer, static_cast<DWORD>(count), &got, nullptr)) {
      return got > 0 ? static_cast<std::int32_t>(got) : -1;
    }
    return static_cast<std::int32_t>(got);
  }

  std::int32_t Write(FileHandle file, const void* buffer, std::int32_t count) override {
    if (file == kInvalidFile || count < 0) return -1;
    DWORD put = 0;
    // A full disk fails the call after part of the bytes went out; the part
    // counts, as a short write does on POSIX.
    if (!::WriteFile(ToSystemHandle(file), buffer, static_cast<DWORD>(count), &put, nullptr)) {
      return put > 0 ? static_cast<std::int32_t>(put) : -1;
    }
    return static_cast<std::int32_t>(put);
  }

  std::uint32_t Seek(FileHandle file, std::int32_t distance, SeekOrigin origin) override {
    if (file == kInvalidFile) return 0xFFFFFFFFu;
    // From the start, the distance is an unsigned position: with a zero high
    // half the system reads it as 0 to 4 GiB - 1 instead of a negative move.
    // From the current place it stays a signed 32-bit move.
    LONG high = 0;
    const DWORD reached =
        origin == SeekOrigin::kBegin
            ? ::SetFilePointer(ToSystemHandle(file), distance, &high, FILE_BEGIN)
            : ::SetFilePointer(ToSystemHandle(file), distance, nullptr, FILE_CURRENT);
    if (reached == INVALID_SET_FILE_POINTER || high != 0) return 0xFFFFFFFFu;
    return reached;
  }

  std::uint32_t Size(FileHandle file) override {
    if (file == kInvalidFile) return 0xFFFFFFFFu;
    return ::GetFileSize(ToSystemHandle(file), nullptr);
  }

  bool GetLastWriteTime(FileHandle file, FileTime* utc) override {
    FILETIME written;
    if (file == kInvalidFile || !::GetFileTime(ToSystemHandle(file), nullptr, nullptr, &written)) {
      return false;
    }
    *utc = FromSystemTime(written);
    return true;
  }

  bool SetTimes(FileHandle file, FileTime utc) override {
    if (file == kInvalidFile) return false;
    const FILETIME time = ToSystemTime(utc);
    return ::SetFileTime(ToSystemHandle(file), &time, &time, &time) != 0;
  }

  std::uint32_t GetAttributes(const char* path) override { return ::GetFileAttributesA(path); }

  bool CreateFolder(const char* path) override { return ::CreateDirectoryA(path, nullptr) != 0; }

  bool RemoveFolder(const char* path) override { return ::RemoveDirectoryA(path) != 0; }

  bool DeleteFile(const char* path) override { return ::DeleteFileA(path) != 0; }

  bool MoveFile(const char* from, const char* to) override { return ::MoveFileA(from, to) != 0; }

  bool FindStoredName(const char* path, char* name, std::uint32_t capacity) override {
    WIN32_FIND_DATAA found;
    const HANDLE search = ::FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    ::FindClose(search);
    return CopyText(name, capacity, found.cFileName);
  }

  bool GetCurrentFolder(char* buffer, std::uint32_t capacity) override {
    // The call answers with the length it needs (terminator included) when
    // the buffer is too small, and with the length without it on success.
    const DWORD length = ::GetCurrentDirectoryA(capacity, buffer);
    return length != 0 && length < capacity;
  }

  bool SetCurrentFolder(const char* path) override { return ::SetCurrentDirectoryA(path) != 0; }

  LinkFinding FindLinkBelow(const char* folder, const char* path) override {
    return WalkBelow(folder, path, ExamineComponent);
  }

  // Without sharing, a second open fails; deleted on close, the file goes
  // with the last handle, which the system closes also when the process is
  // killed.
  LockResult LockFolder(const char*, const char* lockFile, FileHandle* lock) override {
    const HANDLE file =
        ::CreateFileA(lockFile, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      *lock = reinterpret_cast<FileHandle>(file);
      return LockResult::kLocked;
    }
    // A lock file that is there but cannot be opened is held, or is being
    // deleted by a holder that just let go.
    const DWORD error = ::GetLastError();
    const bool held =
        error == ERROR_SHARING_VIOLATION ||
        (error == ERROR_ACCESS_DENIED && ::GetFileAttributesA(lockFile) != INVALID_FILE_ATTRIBUTES);
    return held ? LockResult::kInUse : LockResult::kFailed;
  }

  void UnlockFolder(FileHandle lock) override {
    if (lock != kInvalidFile) ::CloseHandle(ToSystemHandle(lock));
  }

  // The flush wants a handle with write access.
  bool Flush(const char* path) override {
    const HANDLE file = ::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool flushed = ::FlushFileBuffers(file) != 0;
    ::CloseHandle(file);
    return flushed;
  }

  // NTFS keeps the names of a folder durable by itself.
  bool FlushFolder(const char* folder, FlushScope scope) override {
    const DWORD attributes = ::GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      return false;
    }
    if (scope == FlushScope::kNames) return true;
    std::vector<FolderItem> items;
    if (!ListFolder(folder, &items)) return false;
    const std::string prefix = std::string(folder) + "\\";
    bool flushed = true;
    for (const FolderItem& item : items) {
      if (item.kind == ItemKind::kFile) flushed = Flush((prefix + item.name).c_str()) && flushed;
    }
    return flushed;
  }
};

}  // namespace

FileSystem& NativeFs() {
  static Win32FileSystem native;
  return native;
}

}  // namespace platform
