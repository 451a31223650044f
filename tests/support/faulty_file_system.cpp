#include "tests/support/faulty_file_system.h"

#include <utility>

using platform::FileHandle;
using platform::kInvalidFile;

FaultyFileSystem::FaultyFileSystem(FaultKind kind, int nth, FaultMode mode, std::string pathPart)
    : ForwardingFileSystem(platform::NativeFs()),
      kind_(kind),
      nth_(nth),
      mode_(mode),
      pathPart_(std::move(pathPart)) {
  platform::InstallFileSystem(this);
}

FaultyFileSystem::~FaultyFileSystem() { platform::InstallFileSystem(nullptr); }

bool FaultyFileSystem::OnFailedPath(const char* path, const char* second, FileHandle handle) const {
  if (handle != kInvalidFile) return handle == failedHandle_;
  return (path != nullptr && failedPath_ == path) || (second != nullptr && failedPath_ == second);
}

void FaultyFileSystem::Die() {
  dead_ = true;
  for (const FileHandle file : openFiles_) Forward::Close(file);
  for (const FileHandle lock : locks_) Forward::UnlockFolder(lock);
  openFiles_.clear();
  locks_.clear();
}

bool FaultyFileSystem::Fails(FaultKind kind, const char* path, const char* second,
                             FileHandle handle) {
  if (dead_) return true;
  if (failures_ > 0 && mode_ == FaultMode::kOnThatPath && OnFailedPath(path, second, handle)) {
    ++failures_;
    return true;
  }
  if (!armed || (kind != kind_ && kind_ != FaultKind::kAnyCall)) return false;
  const auto names = [&](const char* p) {
    return p != nullptr && std::string(p).find(pathPart_) != std::string::npos;
  };
  if (!pathPart_.empty() && !names(path) && !names(second)) return false;
  ++calls_;
  const bool fails = mode_ == FaultMode::kFromThenOn ? calls_ >= nth_ : calls_ == nth_;
  if (!fails) return false;
  ++failures_;
  if (mode_ == FaultMode::kDeath) Die();
  if (calls_ == nth_) {
    failedPath_ = path != nullptr ? path : "";
    failedHandle_ = handle;
  }
  return true;
}

FileHandle FaultyFileSystem::Open(const char* path, unsigned flags) {
  const unsigned mode = flags & 3u;
  FaultKind kind = FaultKind::kAnyCall;
  if (mode == platform::kOpenWrite) kind = FaultKind::kOpenForWrite;
  if (mode == 0 || mode == platform::kOpenRead) kind = FaultKind::kOpenForRead;
  if (Fails(kind, path)) return kInvalidFile;
  const FileHandle file = Forward::Open(path, flags);
  if (file != kInvalidFile) openFiles_.insert(file);
  return file;
}

void FaultyFileSystem::Close(FileHandle file) {
  // A dead process's files were closed when it died.
  if (openFiles_.erase(file) == 0) return;
  Forward::Close(file);
}

std::int32_t FaultyFileSystem::Read(FileHandle file, void* buffer, std::int32_t count) {
  if (Fails(FaultKind::kAnyCall, nullptr, nullptr, file)) return -1;
  if (kind_ == FaultKind::kUnreadableByte && count > 0) {
    // Asked of the native file system, so that it counts as no call.
    const std::uint32_t at = Forward::Seek(file, 0, platform::SeekOrigin::kCurrent);
    const auto fault = static_cast<std::uint32_t>(nth_);
    if (at <= fault && fault - at < static_cast<std::uint32_t>(count)) {
      ++failures_;
      // The bytes before the fault arrive; a read that starts on it fails.
      const auto before = static_cast<std::int32_t>(fault - at);
      return before > 0 ? Forward::Read(file, buffer, before) : -1;
    }
  }
  return Forward::Read(file, buffer, count);
}

std::int32_t FaultyFileSystem::Write(FileHandle file, const void* buffer, std::int32_t count) {
  if (kind_ == FaultKind::kFullFromByte && count > 0) {
    const std::uint32_t at = Forward::Seek(file, 0, platform::SeekOrigin::kCurrent);
    const auto full = static_cast<std::uint32_t>(nth_);
    const std::uint32_t room = at >= full ? 0 : full - at;
    if (room < static_cast<std::uint32_t>(count)) {
      ++failures_;
      return room > 0 ? Forward::Write(file, buffer, static_cast<std::int32_t>(room)) : -1;
    }
  }
  if (Fails(FaultKind::kWrite, nullptr, nullptr, file)) {
    // Part of the bytes fit, then the disk is full.
    return dead_ || kind_ == FaultKind::kAnyCall ? -1 : Forward::Write(file, buffer, count / 2);
  }
  return Forward::Write(file, buffer, count);
}

platform::LockResult FaultyFileSystem::LockFolder(const char* folder, const char* lockFile,
                                                  FileHandle* lock) {
  if (Fails(FaultKind::kAnyCall, folder)) return platform::LockResult::kFailed;
  const platform::LockResult result = Forward::LockFolder(folder, lockFile, lock);
  if (result == platform::LockResult::kLocked) locks_.insert(*lock);
  return result;
}

void FaultyFileSystem::UnlockFolder(FileHandle lock) {
  if (locks_.erase(lock) == 0) return;
  Forward::UnlockFolder(lock);
}
