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
  return FileStamp{dosTime, dosDate, size, checksum};
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
