// A stream over a disk file. It keeps no buffer: every ReadByte and
// WriteByte is one system call, so the file pointer always equals the bytes
// consumed. Short reads and reads at the end do not set the error flag in
// ReadBlock; ReadByte sets it.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "streams/file_stamp_record.h"
#include "streams/kv_stream.h"

class TKVFStream : public TKVStream {
 public:
  // Opens `path` with the platform::FileOpenFlags when one is given.
  explicit TKVFStream(unsigned flags = 0, const char* path = nullptr);
  ~TKVFStream() override;

  void WriteByte(std::uint8_t value) override;
  std::uint8_t ReadByte() override;
  int Seek(std::uint32_t position) override;
  std::uint32_t GetPosition() override;
  std::uint32_t GetSize() override;
  void WriteBlock(const void* buffer, std::int32_t count) override;
  std::int32_t ReadBlock(void* buffer, std::int32_t count) override;

  // Closes, clears the error flag, then opens; a failure sets the flag.
  void Open(unsigned flags, const char* path);
  // Leaves the error flag as it is.
  void Close();
  int IsOpen() const;
  int SeekRelative(std::int32_t distance);

  // The file's last-write time as local DOS date and time in bytes 0-3 of
  // `stamp`; on failure those bytes are zero.
  bool GetDosTime(FileStamp& stamp);
  // Sets every time of the file from the local DOS date and time in `stamp`.
  bool SetDosTime(const FileStamp& stamp);

 private:
  platform::FileHandle handle_ = platform::kInvalidFile;
};
