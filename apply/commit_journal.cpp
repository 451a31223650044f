#include "apply/commit_journal.h"

#include <zlib.h>

#include <cstring>

#include "package/entry_path.h"
#include "package/package_format.h"
#include "package/upgrade_session.h"
#include "platform/file_system.h"
#include "streams/kv_file_stream.h"

namespace apply {

namespace {

constexpr char kMagic[8] = {'K', 'V', 'J', 'O', 'U', 'R', 'N', '1'};
// Far above any journal of 10000 entries; a larger file is not one.
constexpr std::uint32_t kMaxJournalSize = 16u << 20;
constexpr std::int32_t kReadBlock = 65536;

std::uint32_t Crc(const std::uint8_t* bytes, std::size_t count) {
  return static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), bytes, static_cast<uInt>(count)));
}

class Writer {
 public:
  void Byte(std::uint8_t value) { bytes.push_back(value); }
  void Word(std::uint16_t value) {
    Byte(static_cast<std::uint8_t>(value));
    Byte(static_cast<std::uint8_t>(value >> 8));
  }
  void Dword(std::uint32_t value) {
    Word(static_cast<std::uint16_t>(value));
    Word(static_cast<std::uint16_t>(value >> 16));
  }
  void Name(const std::string& name) {
    Word(static_cast<std::uint16_t>(name.size()));
    bytes.insert(bytes.end(), name.begin(), name.end());
  }
  std::vector<std::uint8_t> bytes;
};

// Reads within the bytes; any read past their end makes ok false.
class Reader {
 public:
  explicit Reader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  std::uint8_t Byte() {
    if (at_ >= bytes_.size()) {
      ok = false;
      return 0;
    }
    return bytes_[at_++];
  }
  std::uint16_t Word() {
    const std::uint16_t low = Byte();
    return static_cast<std::uint16_t>(low | (Byte() << 8));
  }
  std::uint32_t Dword() {
    const std::uint32_t low = Word();
    return low | (static_cast<std::uint32_t>(Word()) << 16);
  }
  // An entry name a package may carry, or ok false.
  std::string Name() {
    const std::uint16_t length = Word();
    if (length > package::kMaxEntryName || bytes_.size() - at_ < length) {
      ok = false;
      return "";
    }
    std::string name(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                     bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + length));
    at_ += length;
    if (name.find('\0') != std::string::npos || !package::IsSafeEntryName(name.c_str()) ||
        package::NamesStagingFolder(name.c_str())) {
      ok = false;
    }
    return name;
  }
  bool AtEnd() const { return at_ == bytes_.size(); }
  bool ok = true;

 private:
  const std::vector<std::uint8_t>& bytes_;
  std::size_t at_ = 0;
};

bool IsCommittedOperation(package::Operation operation) {
  return operation == package::Operation::kAdd || operation == package::Operation::kUpdate ||
         operation == package::Operation::kReplace || operation == package::Operation::kRemove;
}

}  // namespace

std::vector<std::uint8_t> EncodeJournal(const CommitPlan& plan) {
  Writer out;
  out.bytes.assign(kMagic, kMagic + sizeof kMagic);
  out.Dword(plan.package.size);
  out.Dword(plan.package.crc);
  out.Dword(static_cast<std::uint32_t>(plan.steps.size()));
  for (const CommitStep& step : plan.steps) {
    out.Dword(static_cast<std::uint32_t>(step.entry));
    out.Byte(static_cast<std::uint8_t>(step.operation));
    out.Byte(step.movesOld ? 1 : 0);
    out.Word(step.newStamp.dosTime);
    out.Word(step.newStamp.dosDate);
    out.Dword(step.newStamp.size);
    out.Word(step.newStamp.checksum);
    out.Name(step.fileName);
  }
  out.Dword(static_cast<std::uint32_t>(plan.newFolders.size()));
  for (const std::string& folder : plan.newFolders) out.Name(folder);
  out.Dword(Crc(out.bytes.data(), out.bytes.size()));
  return out.bytes;
}

bool DecodeJournal(const std::vector<std::uint8_t>& bytes, CommitPlan* plan) {
  if (bytes.size() < sizeof kMagic + 4 || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
    return false;
  }
  const std::size_t body = bytes.size() - 4;
  const std::uint32_t stored = static_cast<std::uint32_t>(bytes[body]) |
                               static_cast<std::uint32_t>(bytes[body + 1]) << 8 |
                               static_cast<std::uint32_t>(bytes[body + 2]) << 16 |
                               static_cast<std::uint32_t>(bytes[body + 3]) << 24;
  if (stored != Crc(bytes.data(), body)) return false;
  const std::vector<std::uint8_t> content(bytes.begin() + sizeof kMagic,
                                          bytes.begin() + static_cast<std::ptrdiff_t>(body));
  Reader in(content);
  CommitPlan read;
  read.package.size = in.Dword();
  read.package.crc = in.Dword();
  const std::uint32_t stepCount = in.Dword();
  if (stepCount > static_cast<std::uint32_t>(package::kMaxEntries)) return false;
  for (std::uint32_t i = 0; i < stepCount && in.ok; ++i) {
    CommitStep step;
    step.entry = static_cast<std::int32_t>(in.Dword());
    step.operation = static_cast<package::Operation>(in.Byte());
    const std::uint8_t movesOld = in.Byte();
    step.newStamp.dosTime = in.Word();
    step.newStamp.dosDate = in.Word();
    step.newStamp.size = in.Dword();
    step.newStamp.checksum = in.Word();
    step.fileName = in.Name();
    if (step.entry < 0 || step.entry >= package::kMaxEntries ||
        !IsCommittedOperation(step.operation) || movesOld > 1 ||
        (step.operation == package::Operation::kRemove && movesOld == 0)) {
      return false;
    }
    step.movesOld = movesOld == 1;
    read.steps.push_back(step);
  }
  const std::uint32_t folderCount = in.Dword();
  for (std::uint32_t i = 0; i < folderCount && in.ok; ++i) read.newFolders.push_back(in.Name());
  if (!in.ok || !in.AtEnd()) return false;
  *plan = read;
  return true;
}

bool WriteJournal(const char* path, const CommitPlan& plan) {
  const std::vector<std::uint8_t> bytes = EncodeJournal(plan);
  {
    streams::TKVFStream file(platform::kOpenWrite, path);
    if (!file.IsOpen()) return false;
    file.WriteBlock(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    file.Flush();
    if (file.Error()) return false;
  }
  return platform::Fs().Flush(path);
}

bool ReadJournal(const char* path, CommitPlan* plan) {
  streams::TKVFStream file(platform::kOpenRead, path);
  if (!file.IsOpen()) return false;
  std::vector<std::uint8_t> bytes;
  std::vector<std::uint8_t> block(kReadBlock);
  for (;;) {
    const std::int32_t got = file.ReadBlock(block.data(), kReadBlock);
    if (got <= 0) break;
    bytes.insert(bytes.end(), block.begin(), block.begin() + got);
    if (bytes.size() > kMaxJournalSize) return false;
  }
  return DecodeJournal(bytes, plan);
}

}  // namespace apply
