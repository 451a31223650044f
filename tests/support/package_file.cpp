#include "tests/support/package_file.h"

#include <random>

#include "builder/delta_writer.h"

std::string WritePackage(const TempFolder& folder, const std::string& name,
                         const std::vector<std::uint8_t>& bytes) {
  const std::string path = folder.Join(name);
  WriteTestFile(path, bytes);
  return path;
}

FileStamp MakeStamp(std::uint16_t dosDate, std::uint16_t dosTime, std::uint32_t size,
                    std::uint16_t checksum) {
  FileStamp stamp{};
  stamp.dosDate = dosDate;
  stamp.dosTime = dosTime;
  stamp.size = size;
  stamp.checksum = checksum;
  return stamp;
}

std::vector<std::uint8_t> InsertDelta(const std::string& text) {
  builder::DeltaWriter delta;
  delta.Insert(reinterpret_cast<const std::uint8_t*>(text.data()),
               static_cast<std::uint32_t>(text.size()));
  delta.End();
  return delta.bytes();
}

std::vector<std::uint8_t> RandomBytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 generator(seed);
  std::vector<std::uint8_t> bytes(size);
  for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(generator());
  return bytes;
}

std::vector<std::uint8_t> JoinBytes(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::vector<std::uint8_t> SliceBytes(const std::vector<std::uint8_t>& bytes, std::size_t from,
                                     std::size_t count) {
  return std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                                   bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

std::vector<std::uint8_t> ByteList(std::initializer_list<int> bytes) {
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> RawPackage(std::uint8_t version, int count,
                                     const std::vector<std::uint8_t>& table, const char* magic) {
  return JoinBytes({std::vector<std::uint8_t>(magic, magic + 8),
                    ByteList({version, count & 0xFF, (count >> 8) & 0xFF, 'T', 0, 0}), table});
}

std::vector<std::uint8_t> RawEntry(std::uint8_t flags, const std::string& name,
                                   std::initializer_list<std::vector<std::uint8_t>> stamps) {
  std::vector<std::uint8_t> bytes = JoinBytes(
      {ByteList({flags}), std::vector<std::uint8_t>(name.begin(), name.end()), ByteList({0, 0})});
  for (const auto& stamp : stamps) bytes.insert(bytes.end(), stamp.begin(), stamp.end());
  return bytes;
}

std::vector<std::uint8_t> RawStamp(std::uint32_t size) {
  return ByteList({0, 0, 0x21, 0, static_cast<int>(size & 0xFF),
                   static_cast<int>((size >> 8) & 0xFF), 0, 0, 0, 0});
}
