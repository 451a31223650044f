// A FileSystem that passes every call on to another one, so that a wrapper
// (a fault injector, a recorder) overrides only the calls it changes.
#pragma once

#include "platform/file_system.h"

namespace platform {

class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& next) : next_(next) {}

  FileHandle Open(const char* path, unsigned flags) override { return next_.Open(path, flags); }
  void Close(FileHandle file) override { next_.Close(file); }
  std::int32_t Read(FileHandle file, void* buffer, std::int32_t count) override {
    return next_.Read(file, buffer, count);
  }
  std::int32_t Write(FileHandle file, const void* buffer, std::int32_t count) override {
    return next_.Write(file, buffer, count);
  }
  std::uint32_t Seek(FileHandle file, std::int32_t distance, SeekOrigin origin) override {
    return next_.Seek(file, distance, origin);
  }
  std::uint32_t Size(FileHandle file) override { return next_.Size(file); }
  bool GetLastWriteTime(FileHandle file, FileTime* utc) override {
    return next_.GetLastWriteTime(file, utc);
  }
  bool SetTimes(FileHandle file, FileTime utc) override { return next_.SetTimes(file, utc); }
  std::uint32_t GetAttributes(const char* path) override { return next_.GetAttributes(path); }
  bool CreateFolder(const char* path) override { return next_.CreateFolder(path); }
  bool RemoveFolder(const char* path) override { return next_.RemoveFolder(path); }
  bool DeleteFile(const char* path) override { return next_.DeleteFile(path); }
  bool MoveFile(const char* from, const char* to) override { return next_.MoveFile(from, to); }
  bool FindStoredName(const char* path, char* name, std::uint32_t capacity) override {
    return next_.FindStoredName(path, name, capacity);
  }
  bool GetCurrentFolder(char* buffer, std::uint32_t capacity) override {
    return next_.GetCurrentFolder(buffer, capacity);
  }
  bool SetCurrentFolder(const char* path) override { return next_.SetCurrentFolder(path); }
  bool ListFolder(const char* folder, std::vector<FolderItem>* items) override {
    return next_.ListFolder(folder, items);
  }
  LinkFinding FindLinkBelow(const char* folder, const char* path) override {
    return next_.FindLinkBelow(folder, path);
  }
  LockResult LockFolder(const char* folder, const char* lockFile, FileHandle* lock) override {
    return next_.LockFolder(folder, lockFile, lock);
  }
  void UnlockFolder(FileHandle lock) override { next_.UnlockFolder(lock); }
  bool Flush(const char* path) override { return next_.Flush(path); }
  bool FlushFolder(const char* folder, FlushScope scope) override {
    return next_.FlushFolder(folder, scope);
  }

 private:
  FileSystem& next_;
};

}  // namespace platform
