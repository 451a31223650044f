#include "builder/package_writer.h"

#include <zlib.h>

#include <cstring>

#include "platform/file_system.h"
#include "streams/kv_file_stream.h"
#include "streams/kv_zlib_in_stream.h"

namespace builder {

namespace {

void Append(std::vector<std::uint8_t>& out, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  out.insert(out.end(), bytes, bytes + size);
}

void AppendText(std::vector<std::uint8_t>& out, const std::string& text) {
  Append(out, text.c_str(), text.size() + 1);
}

void AppendStamp(std::vector<std::uint8_t>& out, const streams::FileStamp& stamp) {
  const std::uint8_t bytes[10] = {
      static_cast<std::uint8_t>(stamp.dosTime),    static_cast<std::uint8_t>(stamp.dosTime >> 8),
      static_cast<std::uint8_t>(stamp.dosDate),    static_cast<std::uint8_t>(stamp.dosDate >> 8),
      static_cast<std::uint8_t>(stamp.size),       static_cast<std::uint8_t>(stamp.size >> 8),
      static_cast<std::uint8_t>(stamp.size >> 16), static_cast<std::uint8_t>(stamp.size >> 24),
      static_cast<std::uint8_t>(stamp.checksum),   static_cast<std::uint8_t>(stamp.checksum >> 8)};
  Append(out, bytes, sizeof bytes);
}

}  // namespace

bool PackageWriter::Plain(std::vector<std::uint8_t>* bytes) const {
  std::vector<std::uint8_t> out;
  Append(out, package::MagicOf(kind_), package::kMagicSize);
  out.push_back(version_);
  const std::uint16_t count = static_cast<std::uint16_t>(entries_.size());
  out.push_back(static_cast<std::uint8_t>(count));
  out.push_back(static_cast<std::uint8_t>(count >> 8));
  AppendText(out, title_);
  AppendText(out, description_);
  for (const PackageEntrySpec& entry : entries_) {
    std::uint8_t flags = 0;
    if (!package::EncodeEntryFlags(
            version_, {entry.operation, entry.warningPolicy, entry.errorPolicy}, &flags))
      return false;
    out.push_back(flags);
    AppendText(out, entry.fileName);
    AppendText(out, entry.description);
    if (package::CarriesOldStamp(entry.operation)) AppendStamp(out, entry.oldStamp);
    if (package::CarriesNewStamp(entry.operation)) AppendStamp(out, entry.newStamp);
  }
  for (const PackageEntrySpec& entry : entries_) {
    if (package::CarriesNewStamp(entry.operation))
      out.insert(out.end(), entry.delta.begin(), entry.delta.end());
  }
  bytes->swap(out);
  return true;
}

bool CompressPackage(const std::vector<std::uint8_t>& plain, int level,
                     std::vector<std::uint8_t>* container) {
  constexpr std::size_t kMarkerSize = sizeof streams::kContainerMarker;
  uLongf bound = compressBound(static_cast<uLong>(plain.size()));
  std::vector<std::uint8_t> out(kMarkerSize + bound);
  std::memcpy(out.data(), streams::kContainerMarker, kMarkerSize);
  if (compress2(out.data() + kMarkerSize, &bound, plain.data(), static_cast<uLong>(plain.size()),
                level) != Z_OK)
    return false;
  out.resize(kMarkerSize + bound);
  container->swap(out);
  return true;
}

bool PackageWriter::Compressed(std::vector<std::uint8_t>* bytes, int level) const {
  std::vector<std::uint8_t> plain;
  return Plain(&plain) && CompressPackage(plain, level, bytes);
}

bool PackageWriter::WriteFile(const char* path, bool compressed, int level) const {
  std::vector<std::uint8_t> bytes;
  if (!(compressed ? Compressed(&bytes, level) : Plain(&bytes))) return false;
  return WriteBytesToFile(path, bytes);
}

bool WriteBytesToFile(const char* path, const std::vector<std::uint8_t>& bytes) {
  streams::TKVFStream file(platform::kOpenWrite, path);
  if (!file.IsOpen()) return false;
  std::size_t done = 0;
  while (done < bytes.size() && !file.Error()) {
    const std::size_t chunk = bytes.size() - done < 0x40000000u ? bytes.size() - done : 0x40000000u;
    file.WriteBlock(bytes.data() + done, static_cast<std::int32_t>(chunk));
    done += chunk;
  }
  return file.Error() == 0;
}

}  // namespace builder
