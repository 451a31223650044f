#include "streams/kv_file_stream.h"

#include <cstring>
#include <new>

#include "platform/file_system.h"
#include "platform/time.h"

namespace streams {

using platform::Fs;

namespace {

constexpr std::uint32_t kSeekFailed = 0xFFFFFFFFu;
constexpr std::uint32_t kHoldSize = 64 * 1024;
constexpr std::uint32_t kWindowSize = ReadWindows::kWindowSize;
// Windows stay where an unsigned 32-bit seek can reach their every byte.
constexpr std::uint64_t kWindowLimit = kSeekFailed - kWindowSize;

// Where ReadBlock and ReadBlockTo put what they read: bytes from a window
// (Put), or bytes the system reads into Room (Filled).
struct IntoMemory {
  std::uint8_t* next;
  void Put(const std::uint8_t* bytes, std::int32_t count) {
    std::memcpy(next, bytes, static_cast<std::size_t>(count));
    next += count;
  }
  std::uint8_t* Room() { return next; }
  void Filled(std::int32_t count) { next += count; }
};

struct IntoStream {
  TKVStream& destination;
  std::uint8_t* scratch;
  void Put(const std::uint8_t* bytes, std::int32_t count) { destination.WriteBlock(bytes, count); }
  std::uint8_t* Room() { return scratch; }
  void Filled(std::int32_t count) { destination.WriteBlock(scratch, count); }
};

}  // namespace

TKVFStream::TKVFStream(unsigned flags, const char* path) {
  if (path != nullptr) Open(flags, path);
}

TKVFStream::~TKVFStream() { Close(); }

std::int32_t TKVFStream::SystemRead(void* bytes, std::int32_t count) {
  const std::int32_t got = Fs().Read(handle_, bytes, count);
  if (got > 0) filePointer_ += static_cast<std::uint32_t>(got);
  if (got < 0) filePointerKnown_ = false;
  return got;
}

std::int32_t TKVFStream::SystemWrite(const void* bytes, std::int32_t count) {
  const std::int32_t put = Fs().Write(handle_, bytes, count);
  if (put > 0) filePointer_ += static_cast<std::uint32_t>(put);
  if (put < 0) filePointerKnown_ = false;
  return put;
}

std::uint32_t TKVFStream::SystemSeek(std::int32_t distance, bool fromStart) {
  const std::uint32_t reached = Fs().Seek(
      handle_, distance, fromStart ? platform::SeekOrigin::kBegin : platform::SeekOrigin::kCurrent);
  filePointerKnown_ = reached != kSeekFailed;
  filePointer_ = reached;
  return reached;
}

void TKVFStream::WriteOut() {
  if (heldCount_ == 0) return;
  const auto held = static_cast<std::int32_t>(heldCount_);
  heldCount_ = 0;
  // The bytes that did not fit are lost, as each write of them would have
  // failed on its own.
  if (SystemWrite(held_.get(), held) != held) SetError();
}

void TKVFStream::StopReading(bool reposition) {
  if (current_ == nullptr) return;
  const std::uint64_t position = current_->start + index_;
  current_ = nullptr;
  readBytes_ = nullptr;
  index_ = 0;
  end_ = 0;
  if (reposition && (!filePointerKnown_ || filePointer_ != position)) {
    SystemSeek(static_cast<std::int32_t>(position), true);
  }
}

void TKVFStream::StartWriting() {
  StopReading(true);
  // Held bytes may be written over what a window holds.
  windows_.Forget();
  if (!held_) held_.reset(new (std::nothrow) std::uint8_t[kHoldSize]);
  heldRoom_ = held_ ? kHoldSize : 0;
}

void TKVFStream::Enter(ReadWindows::Window* window, std::uint64_t position) {
  windows_.Touch(window);
  current_ = window;
  readBytes_ = window->bytes.get();
  index_ = static_cast<std::uint32_t>(position - window->start);
  end_ = window->length;
}

TKVFStream::Readable TKVFStream::MakeReadable() {
  std::uint64_t position = filePointer_;
  ReadWindows::Window* replacing = current_;
  if (current_ != nullptr) {
    position = current_->start + current_->length;
  } else if (!filePointerKnown_ && SystemSeek(0, false) == kSeekFailed) {
    return Readable::kUncached;
  }
  if (ReadWindows::Window* held = windows_.Find(position)) {
    Enter(held, position);
    return Readable::kYes;
  }
  if (position >= kWindowLimit) return Readable::kUncached;
  ReadWindows::Window* slot = windows_.Slot(replacing);
  if (slot == nullptr) return Readable::kUncached;
  current_ = nullptr;
  readBytes_ = nullptr;
  index_ = 0;
  end_ = 0;
  if ((!filePointerKnown_ || filePointer_ != position) &&
      SystemSeek(static_cast<std::int32_t>(position), true) != position) {
    return Readable::kNothing;
  }
  const std::int32_t got = SystemRead(slot->bytes.get(), static_cast<std::int32_t>(kWindowSize));
  if (got <= 0) return Readable::kNothing;
  slot->start = position;
  slot->length = static_cast<std::uint32_t>(got);
  Enter(slot, position);
  return Readable::kYes;
}

bool TKVFStream::AtShortEnd() const {
  return current_ != nullptr && index_ == end_ && end_ < kWindowSize;
}

template <class Sink>
std::int32_t TKVFStream::TakeBuffered(Sink& sink, std::int32_t count) {
  const std::uint32_t unread = end_ - index_;
  const std::uint32_t taken =
      static_cast<std::uint32_t>(count) < unread ? static_cast<std::uint32_t>(count) : unread;
  if (taken == 0) return 0;
  // Moved on before the bytes are handed over: a stream that takes them
  // may take any time, but never touches this one.
  const std::uint8_t* bytes = readBytes_ + index_;
  index_ += taken;
  sink.Put(bytes, static_cast<std::int32_t>(taken));
  return static_cast<std::int32_t>(taken);
}

template <class Sink>
std::int32_t TKVFStream::ReadInto(Sink& sink, std::int32_t count) {
  if (count <= 0 || handle_ == platform::kInvalidFile) return 0;
  std::int32_t total = TakeBuffered(sink, count);
  WriteOut();
  heldRoom_ = 0;
  // Each window read the most the system gave; a window that ended short
  // met the end of the data or a failure, and so would one unbuffered read
  // of all the bytes.
  while (total < count && !AtShortEnd()) {
    const std::int32_t left = count - total;
    Readable readable = Readable::kUncached;
    if (static_cast<std::uint32_t>(left) < kWindowSize) readable = MakeReadable();
    if (readable == Readable::kNothing) break;
    if (readable == Readable::kUncached) {
      StopReading(true);
      const std::int32_t got = SystemRead(sink.Room(), left);
      if (got <= 0) return total;
      sink.Filled(got);
      return total + got;
    }
    total += TakeBuffered(sink, left);
  }
  return total;
}

void TKVFStream::WriteByteSlowly(std::uint8_t value) {
  if (handle_ == platform::kInvalidFile) {
    SetError();
    return;
  }
  if (heldRoom_ == 0) StartWriting();
  WriteOut();
  if (heldRoom_ == 0) {
    if (SystemWrite(&value, 1) != 1) SetError();
    return;
  }
  held_[heldCount_++] = value;
}

std::uint8_t TKVFStream::ReadByteSlowly() {
  if (handle_ == platform::kInvalidFile) {
    SetError();
    return 0;
  }
  WriteOut();
  heldRoom_ = 0;
  switch (MakeReadable()) {
    case Readable::kYes:
      return readBytes_[index_++];
    case Readable::kNothing:
      break;
    case Readable::kUncached: {
      StopReading(true);
      std::uint8_t value = 0;
      if (SystemRead(&value, 1) == 1) return value;
      break;
    }
  }
  SetError();
  return 0;
}

int TKVFStream::Seek(std::uint32_t position) {
  // The system's seek to a byte that a window holds cannot fail, so it is
  // not made: reading goes on from the window.
  if (current_ != nullptr && position >= current_->start &&
      position - current_->start <= current_->length) {
    index_ = static_cast<std::uint32_t>(position - current_->start);
    return 1;
  }
  if (heldRoom_ == 0 && handle_ != platform::kInvalidFile) {
    if (ReadWindows::Window* held = windows_.Find(position)) {
      Enter(held, position);
      return 1;
    }
  }
  WriteOut();
  StopReading(false);
  // The offset travels as a signed 32-bit value; the system reads it back as
  // the unsigned position from the start of the file.
  const std::uint32_t reached = SystemSeek(static_cast<std::int32_t>(position), true);
  if (reached != position || reached == kSeekFailed) {
    SetError();
    return 0;
  }
  return 1;
}

std::uint32_t TKVFStream::GetPosition() {
  WriteOut();
  if (current_ != nullptr) return static_cast<std::uint32_t>(current_->start + index_);
  // As the system reports a pointer beyond what 32 bits can say.
  if (filePointerKnown_) {
    return filePointer_ >= kSeekFailed ? kSeekFailed : static_cast<std::uint32_t>(filePointer_);
  }
  return SystemSeek(0, false);
}

std::uint32_t TKVFStream::GetSize() {
  WriteOut();
  const std::uint32_t size = Fs().Size(handle_);
  if (size & 0x80000000u) {
    SetError();
    return 0;
  }
  return size;
}

void TKVFStream::Flush() { WriteOut(); }

void TKVFStream::WriteBlock(const void* buffer, std::int32_t count) {
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  if (count > 0 && heldRoom_ - heldCount_ >= static_cast<std::uint32_t>(count)) {
    std::memcpy(held_.get() + heldCount_, bytes, static_cast<std::size_t>(count));
    heldCount_ += static_cast<std::uint32_t>(count);
    return;
  }
  if (heldRoom_ == 0 && handle_ != platform::kInvalidFile) StartWriting();
  WriteOut();
  // Nothing to hold, a block too large to hold, or nowhere to hold it: the
  // system answers as for an unbuffered stream, odd counts included.
  if (count <= 0 || static_cast<std::uint32_t>(count) >= heldRoom_) {
    if (SystemWrite(bytes, count) != count) SetError();
    return;
  }
  std::memcpy(held_.get(), bytes, static_cast<std::size_t>(count));
  heldCount_ = static_cast<std::uint32_t>(count);
}

std::int32_t TKVFStream::ReadBlock(void* buffer, std::int32_t count) {
  IntoMemory sink{static_cast<std::uint8_t*>(buffer)};
  return ReadInto(sink, count);
}

std::int32_t TKVFStream::ReadBlockTo(TKVStream& destination, std::int32_t count,
                                     std::uint8_t* scratch) {
  IntoStream sink{destination, scratch};
  return ReadInto(sink, count);
}

void TKVFStream::Open(unsigned flags, const char* path) {
  Close();
  ClearError();
  handle_ = Fs().Open(path, flags);
  if (handle_ == platform::kInvalidFile) {
    SetError();
    return;
  }
  filePointer_ = 0;
  filePointerKnown_ = true;
}

void TKVFStream::Close() {
  if (handle_ != platform::kInvalidFile) {
    WriteOut();
    Fs().Close(handle_);
  }
  handle_ = platform::kInvalidFile;
  StopReading(false);
  windows_.Forget();
  heldRoom_ = 0;
  filePointerKnown_ = false;
}

int TKVFStream::IsOpen() const { return handle_ != platform::kInvalidFile ? 1 : 0; }

int TKVFStream::SeekRelative(std::int32_t distance) {
  WriteOut();
  StopReading(true);
  if (SystemSeek(distance, false) == kSeekFailed) {
    SetError();
    return 0;
  }
  return 1;
}

bool TKVFStream::GetDosTime(FileStamp& stamp) {
  stamp.dosTime = 0;
  stamp.dosDate = 0;
  // Held writes change the last-write time when they go out.
  WriteOut();
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
  // Written out first, or they would move the last-write time again.
  WriteOut();
  platform::FileTime time = 0;
  if (!platform::DosToFileTime(stamp.dosDate, stamp.dosTime, &time)) return false;
  if (!platform::LocalToUniversal(&time)) return false;
  return Fs().SetTimes(handle_, time);
}

}  // namespace streams
