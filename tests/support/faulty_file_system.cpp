#include "tests/support/faulty_file_system.h"

#include <utility>

using platform::NativeFs;

FaultyFileSystem::FaultyFileSystem(FaultKind kind, int nth, bool sticky, std::string pathPart)
    : kind_(kind), nth_(nth), sticky_(sticky), pathPart_(std::move(pathPart)) {
  platform::InstallFileSystem(this);
}

FaultyFileSystem::~FaultyFileSystem() { platform::InstallFileSystem(nullptr); }

bool FaultyFileSystem::Fails(FaultKind kind, const char* path) {
  if (kind != kind_) return false;
  if (!pathPart_.empty() && (path == nullptr || std::string(path).find(pathPart_) == std::string::npos)) {
    return false;
  }
  ++calls_;
  const bool fails = sticky_ ? calls_ >= nth_ : calls_ == nth_;
  if (fails) ++failures_;
  return fails;
}

platform::FileHandle FaultyFileSystem::Open(const char* path, unsigned flags) {
  const unsigned mode = flags & 3u;
  if (mode == platform::kOpenWrite && Fails(FaultKind::kOpenForWrite, path)) {
    return platform::kInvalidFile;
  }
  if ((mode == 0 || mode == platform::kOpenRead) && Fails(FaultKind::kOpenForRead, path)) {
    return platform::kInvalidFile;
  }
  return NativeFs().Open(path, flags);
}

void FaultyFileSystem::Close(platform::FileHandle file) { NativeFs().Close(file); }

std::int32_t FaultyFileSystem::Read(platform::FileHandle file, void* buffer, std::int32_t count) {
  if (kind_ == FaultKind::kUnreadableByte && count > 0) {
    const std::uint32_t at = NativeFs().Seek(file, 0, platform::SeekOrigin::kCurrent);
    const auto fault = static_cast<std::uint32_t>(nth_);
    if (at <= fault && fault - at < static_cast<std::uint32_t>(count)) {
      ++failures_;
      // The bytes before the fault arrive; a read that starts on it fails.
      const auto before = static_cast<std::int32_t>(fault - at);
      return before > 0 ? NativeFs().Read(file, buffer, before) : -1;
    }
  }
  return NativeFs().Read(file, buffer, count);
}

std::int32_t FaultyFileSystem::Write(platform::FileHandle file, const void* buffer,
                                     std::int32_t count) {
  if (kind_ == FaultKind::kFullFromByte && count > 0) {
    const std::uint32_t at = NativeFs().Seek(file, 0, platform::SeekOrigin::kCurrent);
    const auto full = static_cast<std::uint32_t>(nth_);
    const std::uint32_t room = at >= full ? 0 : full - at;
    if (room < static_cast<std::uint32_t>(count)) {
      ++failures_;
      return room > 0 ? NativeFs().Write(file, buffer, static_cast<std::int32_t>(room)) : -1;
    }
  }
  if (Fails(FaultKind::kWrite, nullptr)) {
    // Part of the bytes fit, then the disk is full.
    return NativeFs().Write(file, buffer, count / 2);
  }
  return NativeFs().Write(file, buffer, count);
}

std::uint32_t FaultyFileSystem::Seek(platform::FileHandle file, std::int32_t distance,
                                     platform::SeekOrigin origin) {
  return NativeFs().Seek(file, distance, origin);
}

std::uint32_t FaultyFileSystem::Size(platform::FileHandle file) { return NativeFs().Size(file); }

bool FaultyFileSystem::GetLastWriteTime(platform::FileHandle file, platform::FileTime* utc) {
  return NativeFs().GetLastWriteTime(file, utc);
}

bool FaultyFileSystem::SetTimes(platform::FileHandle file, platform::FileTime utc) {
  return NativeFs().SetTimes(file, utc);
}

std::uint32_t FaultyFileSystem::GetAttributes(const char* path) {
  return NativeFs().GetAttributes(path);
}

bool FaultyFileSystem::CreateFolder(const char* path) {
  if (Fails(FaultKind::kCreateFolder, path)) return false;
  return NativeFs().CreateFolder(path);
}

bool FaultyFileSystem::RemoveFolder(const char* path) { return NativeFs().RemoveFolder(path); }

bool FaultyFileSystem::DeleteFile(const char* path) {
  if (Fails(FaultKind::kDelete, path)) return false;
  return NativeFs().DeleteFile(path);
}

bool FaultyFileSystem::MoveFile(const char* from, const char* to) {
  if (Fails(FaultKind::kMove, to)) return false;
  return NativeFs().MoveFile(from, to);
}

bool FaultyFileSystem::FindStoredName(const char* path, char* name, std::uint32_t capacity) {
  return NativeFs().FindStoredName(path, name, capacity);
}

bool FaultyFileSystem::GetCurrentFolder(char* buffer, std::uint32_t capacity) {
  return NativeFs().GetCurrentFolder(buffer, capacity);
}

bool FaultyFileSystem::SetCurrentFolder(const char* path) {
  return NativeFs().SetCurrentFolder(path);
}
