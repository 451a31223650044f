// A stream over a disk file, buffered. Nothing a caller can see differs
// from a stream that makes one system call per byte: results, positions,
// sizes, the error flag, short counts of ReadBlock at the end of the data,
// seeks past the end and the bytes on disk after Close are the same. The
// file is held for exclusive use, so no other program sees that the system's
// file pointer is not where the stream stands.
//
// Reads fill read windows (read_windows.h), and a seek that lands in one
// costs no system call. Writes are held and go out when the holding buffer
// is full and before anything that shows the flag or depends on them
// (Flush, Error, Close, Seek, GetPosition, GetSize, a read, the file
// times). Reads and writes of a window's size or more go straight between
// the caller's memory and the file. Short reads and reads at the end do not
// set the error flag in ReadBlock; ReadByte sets it.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/handles.h"
#include "streams/file_stamp_record.h"
#include "streams/kv_stream.h"
#include "streams/read_windows.h"

namespace streams {

class TKVFStream : public TKVStream {
 public:
  // Opens `path` with the platform::FileOpenFlags when one is given.
  explicit TKVFStream(unsigned flags = 0, const char* path = nullptr);
  ~TKVFStream() override;

  void WriteByte(std::uint8_t value) override {
    if (heldCount_ < heldRoom_) {
      held_[heldCount_++] = value;
      return;
    }
    WriteByteSlowly(value);
  }
  std::uint8_t ReadByte() override {
    if (index_ < end_) return readBytes_[index_++];
    return ReadByteSlowly();
  }
  int Seek(std::uint32_t position) override;
  std::uint32_t GetPosition() override;
  std::uint32_t GetSize() override;
  void Flush() override;
  void WriteBlock(const void* buffer, std::int32_t count) override;
  std::int32_t ReadBlock(void* buffer, std::int32_t count) override;

  // Closes, clears the error flag, then opens; a failure sets the flag.
  void Open(unsigned flags, const char* path);
  // Writes out what is held, then closes. Leaves the error flag as it is,
  // or sets it when those last bytes cannot be written.
  void Close();
  int IsOpen() const;
  int SeekRelative(std::int32_t distance);

  // The file's last-write time as local DOS date and time in bytes 0-3 of
  // `stamp`; on failure those bytes are zero.
  bool GetDosTime(FileStamp& stamp);
  // Sets every time of the file from the local DOS date and time in `stamp`.
  bool SetDosTime(const FileStamp& stamp);

 protected:
  std::int32_t ReadBlockTo(TKVStream& destination, std::int32_t count,
                           std::uint8_t* scratch) override;

 private:
  enum class Readable { kYes, kNothing, kUncached };

  void WriteByteSlowly(std::uint8_t value);
  std::uint8_t ReadByteSlowly();
  // Writes the held bytes out; a short write sets the flag.
  void WriteOut();
  // Ends reading from a window; with `reposition` the system's file pointer
  // is moved to the stream's position.
  void StopReading(bool reposition);
  // Ends holding writes and reading, ready for bytes to be held.
  void StartWriting();
  // Makes the bytes at the stream's position readable from a window: one
  // held already or one loaded now. kNothing at the end of the data or on
  // a failure; kUncached when no window can take them (no memory, or a
  // position the system cannot name in 32 bits).
  Readable MakeReadable();
  void Enter(ReadWindows::Window* window, std::uint64_t position);
  // Hands over up to `count` bytes of the current window, to memory or to
  // another stream; returns how many.
  template <class Sink>
  std::int32_t TakeBuffered(Sink& sink, std::int32_t count);
  // ReadBlock's work, whether the bytes go to memory or to another stream.
  template <class Sink>
  std::int32_t ReadInto(Sink& sink, std::int32_t count);
  // True when the current window is used up and ended short, where the
  // file ended or failed: a read needs not look further.
  bool AtShortEnd() const;
  // The system's calls, keeping track of where its file pointer stands.
  std::int32_t SystemRead(void* bytes, std::int32_t count);
  std::int32_t SystemWrite(const void* bytes, std::int32_t count);
  std::uint32_t SystemSeek(std::int32_t distance, bool fromStart);

  platform::FileHandle handle_ = platform::kInvalidFile;

  ReadWindows windows_;
  ReadWindows::Window* current_ = nullptr;
  // The current window's bytes; index_ up to end_ are still to be read.
  // Both are 0 when no window is read from.
  const std::uint8_t* readBytes_ = nullptr;
  std::uint32_t index_ = 0;
  std::uint32_t end_ = 0;

  // Written bytes not yet out; heldRoom_ is 0 unless writes are held.
  std::unique_ptr<std::uint8_t[]> held_;
  std::uint32_t heldCount_ = 0;
  std::uint32_t heldRoom_ = 0;

  // Where the system's file pointer stands, when that is known: after the
  // open and every call whose result says how far it moved. 64 bits, so
  // that a file read past 4 GiB is seen to be there.
  std::uint64_t filePointer_ = 0;
  bool filePointerKnown_ = false;
};

}  // namespace streams
