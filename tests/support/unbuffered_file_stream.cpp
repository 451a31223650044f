#include "tests/support/unbuffered_file_stream.h"

#include "platform/file_system.h"

using platform::Fs;

UnbufferedFileStream::UnbufferedFileStream(unsigned flags, const char* path) { Open(flags, path); }

UnbufferedFileStream::~UnbufferedFileStream() { Close(); }

void UnbufferedFileStream::WriteByte(std::uint8_t value) { WriteBlock(&value, 1); }

std::uint8_t UnbufferedFileStream::ReadByte() {
  std::uint8_t value = 0;
  if (Fs().Read(handle_, &value, 1) == 1) return value;
  SetError();
  return 0;
}

int UnbufferedFileStream::Seek(std::uint32_t position) {
  const std::uint32_t reached =
      Fs().Seek(handle_, static_cast<std::int32_t>(position), platform::SeekOrigin::kBegin);
  return Succeeded(reached == position && reached != 0xFFFFFFFFu);
}

std::uint32_t UnbufferedFileStream::GetPosition() {
  return Fs().Seek(handle_, 0, platform::SeekOrigin::kCurrent);
}

std::uint32_t UnbufferedFileStream::GetSize() {
  const std::uint32_t size = Fs().Size(handle_);
  return Succeeded((size & 0x80000000u) == 0) ? size : 0;
}

void UnbufferedFileStream::WriteBlock(const void* buffer, std::int32_t count) {
  Succeeded(Fs().Write(handle_, buffer, count) == count);
}

std::int32_t UnbufferedFileStream::ReadBlock(void* buffer, std::int32_t count) {
  const std::int32_t got = Fs().Read(handle_, buffer, count);
  return got < 0 ? 0 : got;
}

void UnbufferedFileStream::Open(unsigned flags, const char* path) {
  Close();
  ClearError();
  handle_ = Fs().Open(path, flags);
  Succeeded(handle_ != platform::kInvalidFile);
}

void UnbufferedFileStream::Close() {
  if (handle_ != platform::kInvalidFile) Fs().Close(handle_);
  handle_ = platform::kInvalidFile;
}

int UnbufferedFileStream::SeekRelative(std::int32_t distance) {
  return Succeeded(Fs().Seek(handle_, distance, platform::SeekOrigin::kCurrent) != 0xFFFFFFFFu);
}

int UnbufferedFileStream::Succeeded(bool done) {
  if (!done) SetError();
  return done ? 1 : 0;
}
