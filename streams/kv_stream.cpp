#include "streams/kv_stream.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

namespace streams {

namespace {

constexpr std::int32_t kCopyBufferSize = 32000;
constexpr std::uint32_t kSmallCopySize = 512;
constexpr int kFormatBufferSize = 256;
constexpr int kFloatBufferSize = 40;

}  // namespace

void TKVStream::SetError() { error_ = 1; }

void TKVStream::WriteByte(std::uint8_t) { SetError(); }

std::uint8_t TKVStream::ReadByte() {
  SetError();
  return 0;
}

int TKVStream::Seek(std::uint32_t) {
  SetError();
  return 0;
}

std::uint32_t TKVStream::GetPosition() {
  SetError();
  return 0;
}

std::uint32_t TKVStream::GetSize() {
  SetError();
  return 0;
}

void TKVStream::Flush() {}

int TKVStream::Rewind() {
  // A held write that fails must set the flag before it is cleared, as it
  // would have when the write was made.
  Flush();
  error_ = 0;
  return Seek(0);
}

int TKVStream::Clear() { return Rewind(); }

void TKVStream::ZeroFill(std::uint32_t count) {
  Clear();
  for (std::uint32_t i = 0; i < count; ++i) WriteByte(0);
  Rewind();
}

void TKVStream::WriteBlock(const void* buffer, std::int32_t count) {
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  for (std::int32_t i = 0; i < count; ++i) WriteByte(bytes[i]);
}

std::int32_t TKVStream::ReadBlock(void* buffer, std::int32_t count) {
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  for (std::int32_t i = 0; i < count; ++i) {
    bytes[i] = ReadByte();
    if (error_) return i;
  }
  return count < 0 ? 0 : count;
}

int TKVStream::ReadBool() { return ReadByte() != 0 ? 1 : 0; }

void TKVStream::WriteBool(int value) { WriteByte(value ? 1 : 0); }

std::uint16_t TKVStream::ReadWord() {
  std::uint8_t bytes[2] = {0, 0};
  ReadBlock(bytes, 2);
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t TKVStream::ReadDword() {
  std::uint8_t bytes[4] = {0, 0, 0, 0};
  ReadBlock(bytes, 4);
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) |
         (static_cast<std::uint32_t>(bytes[3]) << 24);
}

void TKVStream::WriteWord(std::uint16_t value) {
  const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value),
                                 static_cast<std::uint8_t>(value >> 8)};
  WriteBlock(bytes, 2);
}

void TKVStream::WriteDword(std::uint32_t value) {
  const std::uint8_t bytes[4] = {
      static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
      static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  WriteBlock(bytes, 4);
}

void TKVStream::ReadString(char* buffer, std::uint32_t capacity) {
  // Characters past the capacity keep overwriting the last slot, so the
  // terminating NUL always lands inside the buffer and the whole string is
  // consumed whatever the capacity.
  char* write = buffer;
  std::uint32_t room = capacity - 1;
  *write = static_cast<char>(ReadByte());
  while (*write != 0) {
    if (room > 0) {
      ++write;
      --room;
    }
    *write = static_cast<char>(ReadByte());
  }
}

void TKVStream::WriteString(const char* text) {
  if (text != nullptr) {
    while (*text != 0) WriteByte(static_cast<std::uint8_t>(*text++));
  }
  WriteByte(0);
}

int TKVStream::ReadLine(char* buffer, std::uint32_t capacity) {
  int count = 0;
  char* write = buffer;
  for (;;) {
    const std::uint8_t value = ReadByte();
    if (value == '\r') continue;
    if (value == '\n' || value == 0) {
      *write = 0;
      return count;
    }
    ++count;
    if (static_cast<std::uint32_t>(count) < capacity) *write++ = static_cast<char>(value);
  }
}

void TKVStream::WriteFormatted(const char* format, ...) {
  char text[kFormatBufferSize];
  va_list arguments;
  va_start(arguments, format);
  const int length = std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  if (length < 0 || length >= kFormatBufferSize) {
    SetError();
    return;
  }
  for (int i = 0; i < length; ++i) {
    if (text[i] == '\n') WriteByte('\r');
    WriteByte(static_cast<std::uint8_t>(text[i]));
  }
}

float TKVStream::ReadFloat() {
  char text[kFloatBufferSize];
  ReadString(text, sizeof text);
  float value = 0.0f;
  if (std::sscanf(text, "%f", &value) != 1) return 0.0f;
  return value;
}

void TKVStream::WriteFloat(float value, int decimals) {
  char text[kFloatBufferSize];
  const int length =
      std::snprintf(text, sizeof text, "%01.*f", decimals, static_cast<double>(value));
  if (length < 0 || length >= kFloatBufferSize) {
    SetError();
    return;
  }
  WriteString(text);
}

std::int32_t TKVStream::ReadBlockTo(TKVStream& destination, std::int32_t count,
                                    std::uint8_t* scratch) {
  const std::int32_t got = ReadBlock(scratch, count);
  if (got > 0) destination.WriteBlock(scratch, got);
  return got;
}

std::uint32_t TKVStream::CopyFrom(TKVStream& source, std::uint32_t count) {
  // The delta interpreter copies at most 256 bytes at a time, millions of
  // times a run: such a copy takes a small buffer on the stack, and a source
  // that holds the bytes in memory hands them over without using it.
  std::uint8_t small[kSmallCopySize];
  std::unique_ptr<std::uint8_t[]> large;
  std::uint8_t* buffer = small;
  if (count > kSmallCopySize) {
    large.reset(new (std::nothrow) std::uint8_t[kCopyBufferSize]);
    if (!large) return 0;
    buffer = large.get();
  }
  std::uint32_t copied = 0;
  for (;;) {
    const std::uint32_t wanted = count - copied;
    const std::int32_t ask = wanted < static_cast<std::uint32_t>(kCopyBufferSize)
                                 ? static_cast<std::int32_t>(wanted)
                                 : kCopyBufferSize;
    // A stream copied into itself reads the whole step before it writes.
    const std::int32_t got = &source == this ? TKVStream::ReadBlockTo(*this, ask, buffer)
                                             : source.ReadBlockTo(*this, ask, buffer);
    if (got > 0) copied += static_cast<std::uint32_t>(got);
    if (copied >= count || got != kCopyBufferSize || Error()) return copied;
  }
}

void TKVStream::CopyAll(TKVStream& source) {
  source.Rewind();
  const std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[kCopyBufferSize]);
  if (!buffer) return;
  std::int32_t got = 0;
  do {
    got = source.ReadBlock(buffer.get(), kCopyBufferSize);
    if (got > 0) WriteBlock(buffer.get(), got);
  } while (got == kCopyBufferSize);
}

}  // namespace streams
