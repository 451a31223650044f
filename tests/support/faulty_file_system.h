// A file system that forwards to the native one and fails the Nth call of
// one kind, once or from then on, the way a database harness swaps in a
// failing virtual file system. Installs itself while it lives.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_system.h"

enum class FaultKind {
  kNone,
  kCreateFolder,
  kOpenForWrite,   // an open with flags 2 (create or empty)
  kWrite,          // writes only part of the bytes: the disk is full
  kOpenForRead,    // an open with flags 1 of a path containing `pathPart`
  kMove,
  kDelete,
  // Faults at a place rather than at a call, the same however the bytes are
  // cut into calls: `nth` is a byte offset in every file.
  kFullFromByte,   // no write reaches byte `nth` or beyond: the disk is full there
  kUnreadableByte, // byte `nth` cannot be read; a read ends just before it
};

class FaultyFileSystem final : public platform::FileSystem {
 public:
  // Fails call number `nth` (from 1) of `kind`; with `sticky`, every later
  // one as well. `pathPart`, when not empty, limits the counted calls to
  // paths that contain it.
  FaultyFileSystem(FaultKind kind, int nth, bool sticky = false, std::string pathPart = "");
  ~FaultyFileSystem() override;

  int failures() const { return failures_; }

  platform::FileHandle Open(const char* path, unsigned flags) override;
  void Close(platform::FileHandle file) override;
  std::int32_t Read(platform::FileHandle file, void* buffer, std::int32_t count) override;
  std::int32_t Write(platform::FileHandle file, const void* buffer, std::int32_t count) override;
  std::uint32_t Seek(platform::FileHandle file, std::int32_t distance,
                     platform::SeekOrigin origin) override;
  std::uint32_t Size(platform::FileHandle file) override;
  bool GetLastWriteTime(platform::FileHandle file, platform::FileTime* utc) override;
  bool SetTimes(platform::FileHandle file, platform::FileTime utc) override;
  std::uint32_t GetAttributes(const char* path) override;
  bool CreateFolder(const char* path) override;
  bool RemoveFolder(const char* path) override;
  bool DeleteFile(const char* path) override;
  bool MoveFile(const char* from, const char* to) override;
  bool FindStoredName(const char* path, char* name, std::uint32_t capacity) override;
  bool GetCurrentFolder(char* buffer, std::uint32_t capacity) override;
  bool SetCurrentFolder(const char* path) override;

 private:
  // Counts a call of `kind` and says whether it fails.
  bool Fails(FaultKind kind, const char* path);

  FaultKind kind_;
  int nth_;
  bool sticky_;
  std::string pathPart_;
  int calls_ = 0;
  int failures_ = 0;
};
