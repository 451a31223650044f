// Writes upgrade packages: header, title, description, entry table and the
// entries' delta streams, plain or in the "[KVZ]" container. Used by the
// tests and by upgtool; the reader never depends on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/package_reader.h"
#include "streams/file_stamp_record.h"

struct PackageEntrySpec {
  std::uint8_t operation = 0;
  std::uint8_t warningPolicy = 0;
  std::uint8_t errorPolicy = 0;
  std::string fileName;
  std::string description;
  FileStamp oldStamp{};
  FileStamp newStamp{};
  // The entry's delta stream, End included; only Add, Update and Replace
  // entries carry one.
  std::vector<std::uint8_t> delta;
};

// The flag byte of an entry in the layout of `version`. False when the
// layout cannot express the operation (Replace before version 18).
bool EncodeEntryFlags(std::uint8_t version, const PackageEntrySpec& entry, std::uint8_t* flags);

// Which stamps an entry carries on disk, by the operation as held in memory.
bool CarriesOldStamp(std::uint8_t operation);
bool CarriesNewStamp(std::uint8_t operation);
bool CarriesDelta(std::uint8_t operation);

class PackageWriter {
 public:
  explicit PackageWriter(std::uint8_t version = 18, PackageKind kind = PackageKind::kClassic)
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
  PackageKind kind_;
  std::string title_;
  std::string description_;
  std::vector<PackageEntrySpec> entries_;
};

// Wraps already plain package bytes in the container.
bool CompressPackage(const std::vector<std::uint8_t>& plain, int level,
                     std::vector<std::uint8_t>* container);
// Writes bytes to a file through the platform layer.
bool WriteBytesToFile(const char* path, const std::vector<std::uint8_t>& bytes);
