// The byte-stream class library. A stream reports failure through a sticky
// error flag and zero results, never by exceptions: callers read a run of
// values and test Error() once afterwards.
//
// The virtual operations keep one fixed order; the defaults here make every
// data operation fail, so a subclass replaces exactly what it supports.
//
// A stream may hold bytes back in a buffer of its own (the file stream
// does), but never so that a caller could tell: Flush writes held bytes
// out, and everything that shows the flag or depends on the written bytes
// flushes first.
#pragma once

#include <cstdint>

namespace streams {

class TKVStream {
 public:
  TKVStream() = default;
  TKVStream(const TKVStream&) = delete;
  TKVStream& operator=(const TKVStream&) = delete;

  virtual ~TKVStream() = default;
  virtual void SetError();
  virtual void WriteByte(std::uint8_t value);
  // 0 and the error flag at the end of the data or on failure.
  virtual std::uint8_t ReadByte();
  // 1 when the position is now `position`.
  virtual int Seek(std::uint32_t position);
  virtual std::uint32_t GetPosition();
  virtual std::uint32_t GetSize();
  // Writes out bytes the stream holds back; a failure among them sets the
  // error flag. The base holds nothing and does nothing.
  virtual void Flush();
  // Flushes, clears the error flag, then seeks to 0.
  virtual int Rewind();
  virtual int Clear();
  virtual void ZeroFill(std::uint32_t count);
  virtual void WriteBlock(const void* buffer, std::int32_t count);
  // The bytes read. The default reads byte by byte and stops at the first
  // failing byte, which is stored but not counted.
  virtual std::int32_t ReadBlock(void* buffer, std::int32_t count);

  // The error flag (0 = good), after a Flush: a write that failed only
  // when held bytes went out shows here as it would have at once.
  int Error() {
    Flush();
    return error_;
  }

  int ReadBool();
  void WriteBool(int value);
  // Little-endian; bytes that could not be read count as zero.
  std::uint16_t ReadWord();
  std::uint32_t ReadDword();
  void WriteWord(std::uint16_t value);
  void WriteDword(std::uint32_t value);

  // Consumes one NUL-terminated string whole and keeps at most capacity - 1
  // characters of it (capacity at least 1).
  void ReadString(char* buffer, std::uint32_t capacity);
  // The text and its NUL; a null text writes the NUL alone.
  void WriteString(const char* text);
  // One line: CR dropped, LF, NUL or the end of the data ends it. Returns the
  // line's length without CRs, which may exceed what the buffer kept.
  int ReadLine(char* buffer, std::uint32_t capacity);
  // printf-style into 256 bytes, each LF written as CR LF, no terminator.
  // A text that does not fit is not written at all and sets the error flag.
  void WriteFormatted(const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;
  float ReadFloat();
  void WriteFloat(float value, int decimals);

  // Copies up to `count` bytes from `source` in 32000-byte steps; a short
  // read from the source ends the copy. Returns the bytes copied.
  std::uint32_t CopyFrom(TKVStream& source, std::uint32_t count);
  // Rewinds `source` and copies all of it.
  void CopyAll(TKVStream& source);

 protected:
  void ClearError() { error_ = 0; }
  // The flag as it stands, for a stream's own code that holds no writes.
  int ErrorFlag() const { return error_; }

  // What ReadBlock(scratch, count) followed by destination.WriteBlock of
  // the bytes read does, with the same result. A stream whose bytes are in
  // memory already may hand them over in several WriteBlock calls instead
  // of copying them into `scratch` (room for `count` bytes) first.
  // `destination` is never this stream.
  virtual std::int32_t ReadBlockTo(TKVStream& destination, std::int32_t count,
                                   std::uint8_t* scratch);

 private:
  std::int32_t error_ = 0;
};

}  // namespace streams
