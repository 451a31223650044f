// The file stream as it was before it kept a buffer: every ReadByte and
// WriteByte is one call of the file system, and the system's file pointer
// is always where the stream stands. The buffered TKVFStream is checked
// against it operation by operation.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "streams/kv_stream.h"

using namespace streams;

class UnbufferedFileStream : public TKVStream {
 public:
  UnbufferedFileStream(unsigned flags, const char* path);
  ~UnbufferedFileStream() override;

  void WriteByte(std::uint8_t value) override;
  std::uint8_t ReadByte() override;
  int Seek(std::uint32_t position) override;
  std::uint32_t GetPosition() override;
  std::uint32_t GetSize() override;
  void WriteBlock(const void* buffer, std::int32_t count) override;
  std::int32_t ReadBlock(void* buffer, std::int32_t count) override;

  void Open(unsigned flags, const char* path);
  void Close();
  int IsOpen() const { return handle_ != platform::kInvalidFile ? 1 : 0; }
  int SeekRelative(std::int32_t distance);

 private:
  // Sets the error flag unless `done`; 1 if done, else 0.
  int Succeeded(bool done);
  platform::FileHandle handle_ = platform::kInvalidFile;
};
