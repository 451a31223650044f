// Writes upgrade packages: header, title, description, entry table and the
// entries' delta streams, plain or in the "[KVZ]" container. Used by the
// tests and by upgtool; the reader never depends on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/package_format.h"
#include "streams/file_stamp_record.h"

namespace builder {

struct PackageEntrySpec {
  package::Operation operation = package::Operation::kAdd;
  package::Policy warningPolicy = package::Policy::kIgnore;
  package::Policy errorPolicy = package::Policy::kIgnore;
  std::string fileName;
  std::string description;
  streams::FileStamp oldStamp{};
  streams::FileStamp newStamp{};
  // The entry's delta stream, End included; only Add, Update and Replace
  // entries carry one.
  std::vector<std::uint8_t> delta;
};

class PackageWriter {
 public:
  explicit PackageWriter(std::uint8_t version = 18,
                         package::PackageKind kind = package::PackageKind::kClassic)
      : version_(version), kind_(kind) {}

  void SetTitle(const std::string& title) { title_ = title; }
  void SetDescription(const std::string& description) { description_ = description; }
  void AddEntry(const PackageEntrySpec& entry) { entries_.push_back(entry); }

  // The plain package; false when an entry cannot be expressed.
  bool Plain(std::vector<std::uint8_t>* bytes) const;
  // "[KVZ]", its NUL and the plain package as one zlib stream.
  bool Compressed(std::vector<std::uint8_t>* bytes, int level = 9) const;
  bool WriteFile(const char* path, bool compressed, int level = 9) const;

 private:
  std::uint8_t version_;
  package::PackageKind kind_;
  std::string title_;
  std::string description_;
  std::vector<PackageEntrySpec> entries_;
};

// Wraps already plain package bytes in the container.
bool CompressPackage(const std::vector<std::uint8_t>& plain, int level,
                     std::vector<std::uint8_t>* container);
// Writes bytes to a file through the platform layer.
bool WriteBytesToFile(const char* path, const std::vector<std::uint8_t>& bytes);

}  // namespace builder
