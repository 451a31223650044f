// A file system that forwards to the native one and fails the Nth call of
// one kind, the way a database harness swaps in a failing virtual file
// system. Installs itself while it lives.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "platform/forwarding_file_system.h"

enum class FaultKind {
  kNone,
  kCreateFolder,
  kOpenForWrite,  // an open with flags 2 (create or empty)
  kWrite,         // writes only part of the bytes: the disk is full
  kOpenForRead,   // an open with flags 1 of a path containing `pathPart`
  kMove,
  kDelete,
  kAnyCall,  // every call but Close and UnlockFolder counts
  // Faults at a place rather than at a call, the same however the bytes are
  // cut into calls: `nth` is a byte offset in every file.
  kFullFromByte,    // no write reaches byte `nth` or beyond: the disk is full there
  kUnreadableByte,  // byte `nth` cannot be read; a read ends just before it
};

enum class FaultMode {
  kOnce,        // only call N fails
  kFromThenOn,  // call N and every later call of the kind
  kOnThatPath,  // call N, and from then on every call on its path or handle
  kDeath,       // the process "dies" at call N: its files and lock are
                // closed as the system would close them, and from then on
                // every call fails without reaching the disk
};

class FaultyFileSystem final : public platform::ForwardingFileSystem {
  using Forward = platform::ForwardingFileSystem;

 public:
  // Fails call number `nth` (from 1) of `kind` as `mode` says. `pathPart`,
  // when not empty, limits the counted calls to paths that contain it (a
  // move counts when either of its paths does).
  FaultyFileSystem(FaultKind kind, int nth, FaultMode mode = FaultMode::kOnce,
                   std::string pathPart = "");
  ~FaultyFileSystem() override;

  // While false, no call is counted; a test sets it when the part of the
  // run it sweeps begins.
  bool armed = true;

  int failures() const { return failures_; }
  bool dead() const { return dead_; }

  platform::FileHandle Open(const char* path, unsigned flags) override;
  void Close(platform::FileHandle file) override;
  std::int32_t Read(platform::FileHandle file, void* buffer, std::int32_t count) override;
  std::int32_t Write(platform::FileHandle file, const void* buffer, std::int32_t count) override;
  std::uint32_t Seek(platform::FileHandle file, std::int32_t distance,
                     platform::SeekOrigin origin) override {
    return Fails(FaultKind::kAnyCall, nullptr, nullptr, file)
               ? 0xFFFFFFFFu
               : Forward::Seek(file, distance, origin);
  }
  std::uint32_t Size(platform::FileHandle file) override {
    return Fails(FaultKind::kAnyCall, nullptr, nullptr, file) ? 0xFFFFFFFFu : Forward::Size(file);
  }
  bool GetLastWriteTime(platform::FileHandle file, platform::FileTime* utc) override {
    return !Fails(FaultKind::kAnyCall, nullptr, nullptr, file) &&
           Forward::GetLastWriteTime(file, utc);
  }
  bool SetTimes(platform::FileHandle file, platform::FileTime utc) override {
    return !Fails(FaultKind::kAnyCall, nullptr, nullptr, file) && Forward::SetTimes(file, utc);
  }
  std::uint32_t GetAttributes(const char* path) override {
    return Fails(FaultKind::kAnyCall, path) ? platform::kInvalidAttributes
                                            : Forward::GetAttributes(path);
  }
  bool CreateFolder(const char* path) override {
    return !Fails(FaultKind::kCreateFolder, path) && Forward::CreateFolder(path);
  }
  bool RemoveFolder(const char* path) override {
    return !Fails(FaultKind::kAnyCall, path) && Forward::RemoveFolder(path);
  }
  bool DeleteFile(const char* path) override {
    return !Fails(FaultKind::kDelete, path) && Forward::DeleteFile(path);
  }
  // A move is counted by its destination, the name a test can predict.
  bool MoveFile(const char* from, const char* to) override {
    return !Fails(FaultKind::kMove, to, from) && Forward::MoveFile(from, to);
  }
  bool FindStoredName(const char* path, char* name, std::uint32_t capacity) override {
    return !Fails(FaultKind::kAnyCall, path) && Forward::FindStoredName(path, name, capacity);
  }
  bool ListFolder(const char* folder, std::vector<platform::FolderItem>* items) override {
    return !Fails(FaultKind::kAnyCall, folder) && Forward::ListFolder(folder, items);
  }
  platform::LinkFinding FindLinkBelow(const char* folder, const char* path) override {
    return Fails(FaultKind::kAnyCall, path) ? platform::LinkFinding::kUnknown
                                            : Forward::FindLinkBelow(folder, path);
  }
  platform::LockResult LockFolder(const char* folder, const char* lockFile,
                                  platform::FileHandle* lock) override;
  void UnlockFolder(platform::FileHandle lock) override;
  // Counted and failed like any other call, but never passed on: a flush only matters to a
  // power cut, which no test makes, and at some milliseconds each it would make the sweeps slow.
  bool Flush(const char* path) override { return !Fails(FaultKind::kAnyCall, path); }
  bool FlushFolder(const char* folder, platform::FlushScope) override {
    return !Fails(FaultKind::kAnyCall, folder);
  }

 private:
  // Counts a call of `kind` on `path` (or `second`, or `handle`) and says
  // whether it fails.
  bool Fails(FaultKind kind, const char* path, const char* second = nullptr,
             platform::FileHandle handle = platform::kInvalidFile);
  bool OnFailedPath(const char* path, const char* second, platform::FileHandle handle) const;
  void Die();

  FaultKind kind_;
  int nth_;
  FaultMode mode_;
  std::string pathPart_;
  int calls_ = 0;
  int failures_ = 0;
  bool dead_ = false;
  std::string failedPath_;
  platform::FileHandle failedHandle_ = platform::kInvalidFile;
  std::set<platform::FileHandle> openFiles_;
  std::set<platform::FileHandle> locks_;
};
