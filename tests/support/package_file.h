// Writes test packages into a scratch folder.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "builder/package_writer.h"
#include "tests/support/temp_folder.h"

using namespace streams;

// Writes `bytes` as `name` inside `folder` and returns the path.
std::string WritePackage(const TempFolder& folder, const std::string& name,
                         const std::vector<std::uint8_t>& bytes);
// A stamp with the given fields.
FileStamp MakeStamp(std::uint16_t dosDate, std::uint16_t dosTime, std::uint32_t size,
                    std::uint16_t checksum);
// `size` bytes of noise, the same for the same seed.
std::vector<std::uint8_t> RandomBytes(std::size_t size, std::uint32_t seed);
// The parts one after another.
std::vector<std::uint8_t> JoinBytes(std::initializer_list<std::vector<std::uint8_t>> parts);
// `count` bytes of `bytes` from `from`.
std::vector<std::uint8_t> SliceBytes(const std::vector<std::uint8_t>& bytes, std::size_t from,
                                     std::size_t count);
// The bytes given, each 0-255.
std::vector<std::uint8_t> ByteList(std::initializer_list<int> bytes);
// A delta stream that inserts `text` and ends.
std::vector<std::uint8_t> InsertDelta(const std::string& text);
