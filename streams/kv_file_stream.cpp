#include "streams/kv_file_stream.h"

#include "platform/file_system.h"
#include "platform/time.h"

using platform::Fs;

TKVFStream::TKVFStream(unsigned flags, const char* path) {
  if (path != nullptr) Open(flags, path);
}

TKVFStream::~TKVFStream() { Close(); }

void TKVFStream::WriteByte(std::uint8_t value) {
  if (Fs().Write(handle_, &value, 1) != 1) SetError();
}

std::uint8_t TKVFStream::ReadByte() {
  std::uint8_t value = 0;
  if (Fs().Read(handle_, &value, 1) != 1) {
    SetError();
    return 0;
  }
  return value;
}

int TKVFStream::Seek(std::uint32_t position) {
  // The offset travels as a signed 32-bit value; the system reads it back as
  // the unsigned position from the start of the file.
  const std::uint32_t reached =
      Fs().Seek(handle_, static_cast<std::int32_t>(position), platform::SeekOrigin::kBegin);
  if (reached != position || reached == 0xFFFFFFFFu) {
    SetError();
    return 0;
  }
  return 1;
}

std::uint32_t TKVFStream::GetPosition() {
  return Fs().Seek(handle_, 0, platform::SeekOrigin::kCurrent);
}

std::uint32_t TKVFStream::GetSize() {
  const std::uint32_t size = Fs().Size(handle_);
  if (size & 0x80000000u) {
    SetError();
    return 0;
  }
  return size;
}

void TKVFStream::WriteBlock(const void* buffer, std::int32_t count) {
  if (Fs().Write(handle_, buffer, count) != count) SetError();
}

std::int32_t TKVFStream::ReadBlock(void* buffer, std::int32_t count) {
  const std::int32_t got = Fs().Read(handle_, buffer, count);
  return got < 0 ? 0 : got;
}

void TKVFStream::Open(unsigned flags, const char* path) {
  Close();
  ClearError();
  handle_ = Fs().Open(path, flags);
  if (handle_ == platform::kInvalidFile) SetError();
}

void TKVFStream::Close() {
  if (handle_ != platform::kInvalidFile) Fs().Close(handle_);
  handle_ = platform::kInvalidFile;
}

int TKVFStream::IsOpen() const { return handle_ != platform::kInvalidFile ? 1 : 0; }

int TKVFStream::SeekRelative(std::int32_t distance) {
  if (Fs().Seek(handle_, distance, platform::SeekOrigin::kCurrent) == 0xFFFFFFFFu) {
    SetError();
    return 0;
  }
  return 1;
}

bool TKVFStream::GetDosTime(FileStamp& stamp) {
  stamp.dosTime = 0;
  stamp.dosDate = 0;
  platform::FileTime time = 0;
  std::uint16_t date = 0;
  std::uint16_t clock = 0;
  if (!Fs().GetLastWriteTime(handle_, &time)) return false;
  if (!platform::UniversalToLocal(&time)) return false;
  if (!platform::FileTimeToDos(time, &date, &clock)) return false;
  stamp.dosTime = clock;
  stamp.dosDate = date;
  return true;
}

bool TKVFStream::SetDosTime(const FileStamp& stamp) {
  platform::FileTime time = 0;
  if (!platform::DosToFileTime(stamp.dosDate, stamp.dosTime, &time)) return false;
  if (!platform::LocalToUniversal(&time)) return false;
  return Fs().SetTimes(handle_, time);
}
