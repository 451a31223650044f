// Everything the core asks of the operating system's files and folders.
//
// The core never calls the system directly: it calls Fs(), which returns the
// installed FileSystem. The native one (file_system_posix.cpp or
// file_system_win32.cpp, whichever the build picked) is installed from the
// start; a test may install a wrapper that fails chosen calls and forwards the
// rest, and uninstall it again by installing nullptr.
//
// Paths are narrow, NUL-terminated and use the backslash as separator, in
// the package code page, as packages store them. The POSIX implementation
// turns every backslash into '/' and the text into UTF-8 at the system-call
// boundary, and names that come back into the code page.
//
// Both implementations keep the same contract:
// - a short read returns the bytes read, a read at the end returns 0;
// - a write that cannot write everything (disk full) returns fewer bytes;
// - a failure returns the failure value stated below and changes nothing else.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace platform {

// The two low bits choose access and disposition (0 and 1: read an existing
// file; 2: write, creating or emptying it; 3: read and write an existing
// file). Bit 2 allows others to read, bit 3 allows others to write; without
// them the file is held for exclusive use.
enum FileOpenFlags : unsigned {
  kOpenRead = 1,
  kOpenWrite = 2,
  kOpenReadWrite = 3,
  kShareRead = 4,
  kShareWrite = 8,
};

// Attribute word bits, as Windows reports them.
constexpr std::uint32_t kAttrReadOnly = 0x01;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrNormal = 0x80;
constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFFu;

enum class SeekOrigin { kBegin, kCurrent };

// What a folder listing says of one entry. A symbolic link (or, on Windows,
// any reparse point) is reported as a link and never followed; devices,
// pipes and sockets are kOther.
enum class ItemKind { kFile, kFolder, kLink, kOther };

struct FolderItem {
  std::string name;
  ItemKind kind;
  // Files only: the full size, which may exceed 32 bits.
  std::uint64_t size;
  // False when the package code page (code_page.h) cannot write the name:
  // `name` then shows a '?' for each character it lacks, and no path
  // reaches the entry.
  bool representable = true;
};

// What lies on the way from a folder down to a path below it.
enum class LinkFinding {
  kNone,       // no component below the folder is a link
  kLast,       // only the last component is: it names the link itself,
               // which can be moved or removed without following it
  kInFolders,  // a folder on the way is a link: the path leads elsewhere
  kUnknown,    // a component could not be examined, or the path does not
               // begin with the folder
};

enum class LockResult { kLocked, kInUse, kFailed };

enum class FlushScope { kNames, kNamesAndFiles };

// The native listing of `folder`; the implementation lives beside the
// platform's FileSystem (folder_listing_win32.cpp, file_system_posix.cpp).
bool ListNativeFolder(const char* folder, std::vector<FolderItem>* items);

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // kInvalidFile when the file cannot be opened or created.
  virtual FileHandle Open(const char* path, unsigned flags) = 0;
  virtual void Close(FileHandle file) = 0;
  // Bytes read (0 at the end of the file), or -1 on failure.
  virtual std::int32_t Read(FileHandle file, void* buffer, std::int32_t count) = 0;
  // Bytes written, or -1 on failure.
  virtual std::int32_t Write(FileHandle file, const void* buffer, std::int32_t count) = 0;
  // The new file pointer, or 0xFFFFFFFF on failure.
  virtual std::uint32_t Seek(FileHandle file, std::int32_t distance, SeekOrigin origin) = 0;
  // The low 32 bits of the size, or 0xFFFFFFFF on failure.
  virtual std::uint32_t Size(FileHandle file) = 0;
  // Last-write time in universal time.
  virtual bool GetLastWriteTime(FileHandle file, FileTime* utc) = 0;
  // Creation (where the system keeps one), last-access and last-write time.
  virtual bool SetTimes(FileHandle file, FileTime utc) = 0;

  // kInvalidAttributes when the path does not exist or cannot be examined.
  virtual std::uint32_t GetAttributes(const char* path) = 0;
  // One level; fails when the folder exists or its parent does not.
  virtual bool CreateFolder(const char* path) = 0;
  // Fails unless the folder is empty.
  virtual bool RemoveFolder(const char* path) = 0;
  virtual bool DeleteFile(const char* path) = 0;
  // Fails when the destination exists.
  virtual bool MoveFile(const char* from, const char* to) = 0;
  // The name of the entry that `path` finds, as the file system stores it
  // (the last component only). False when nothing is found or it does not fit.
  virtual bool FindStoredName(const char* path, char* name, std::uint32_t capacity) = 0;
  // False when the current directory does not fit.
  virtual bool GetCurrentFolder(char* buffer, std::uint32_t capacity) = 0;
  virtual bool SetCurrentFolder(const char* path) = 0;
  // Every entry of `folder` but "." and "..", in no particular order. False
  // when the folder cannot be read; `items` then holds what was listed.
  virtual bool ListFolder(const char* folder, std::vector<FolderItem>* items) {
    return ListNativeFolder(folder, items);
  }

  // Examines the components of `path` after `folder` (which ends with a
  // backslash and begins `path`) one by one, following none of them. A
  // symbolic link counts as a link; on Windows every reparse point does
  // (junction, mount point, symbolic link). The walk ends at the first
  // component that does not exist or is a file. The folder itself may be
  // reached through links.
  virtual LinkFinding FindLinkBelow(const char* folder, const char* path) = 0;
  // Takes `folder` (ending with a backslash) for this process alone until
  // UnlockFolder, or until the process ends, however it ends. kInUse when
  // another holder has it. Nothing of the lock stays in the folder after
  // it is released (POSIX: a flock on the folder itself; Windows: the
  // hidden file `lockFile`, named by the caller, opened without sharing and
  // deleted when closed). Every holder of one folder names the same file.
  virtual LockResult LockFolder(const char* folder, const char* lockFile, FileHandle* lock) = 0;
  virtual void UnlockFolder(FileHandle lock) = 0;
  // Makes what was written to the file at `path` durable.
  virtual bool Flush(const char* path) = 0;
  // Makes durable the names created, moved or deleted below `folder` and,
  // with kNamesAndFiles, the data of the files directly in it. POSIX does
  // it with one syncfs of the file system that holds the folder, which
  // does more than asked at the cost of one flush however many files and
  // folders changed; Windows flushes the files one by one, and NTFS keeps
  // the names durable by itself.
  virtual bool FlushFolder(const char* folder, FlushScope scope) = 0;
};

// The file system the core uses now.
FileSystem& Fs();
// The implementation of this platform, whatever is installed.
FileSystem& NativeFs();
// Installs `replacement` for every later call of Fs(); nullptr restores the
// native one. The caller keeps ownership.
void InstallFileSystem(FileSystem* replacement);

}  // namespace platform
