// Writes the apply benchmark's material into OUTPUT_FOLDER: old\big.dat, an
// "installed" file of SIZE_MB megabytes; new\big.dat, the same file with a
// stretch rewritten every 256 KiB and a few bytes inserted every 4 MiB; and
// plain.upg and kvz.upg, the Update that turns the one into the other,
// without and with the "[KVZ]" container. Contents are fixed by the size.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "builder/delta_writer.h"
#include "builder/package_writer.h"
#include "package/file_stamp.h"
#include "package/upgrade_session.h"
#include "platform/file_system.h"
#include "streams/file_utilities.h"
#include "streams/kv_file_stream.h"

using namespace streams;
using namespace package;
using namespace builder;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kChangeEvery = 256 * 1024;
constexpr std::uint32_t kChangeLength = 4096;
constexpr std::uint32_t kInsertEvery = 4 * 1024 * 1024;
constexpr std::uint32_t kInsertLength = 100;
// 2025-03-15 09:30:00.
constexpr std::uint16_t kNewDate = (45u << 9) | (3u << 5) | 15u;
constexpr std::uint16_t kNewTime = (9u << 11) | (30u << 5);

void Fill(std::uint8_t* bytes, std::size_t size, std::uint32_t seed) {
  for (std::size_t i = 0; i < size; ++i) {
    seed = seed * 1664525u + 1013904223u;
    bytes[i] = static_cast<std::uint8_t>(seed >> 24);
  }
}

// Builds the new file and its delta from the old one in one walk.
void Derive(const Bytes& old, Bytes* now, DeltaWriter* delta) {
  std::uint32_t at = 0;
  const std::uint32_t size = static_cast<std::uint32_t>(old.size());
  Bytes literal(kChangeLength);
  while (at < size) {
    const std::uint32_t keep = at + kChangeEvery <= size ? kChangeEvery - kChangeLength : size - at;
    now->insert(now->end(), old.begin() + at, old.begin() + at + keep);
    delta->Copy(at, keep);
    at += keep;
    if (at >= size) break;
    const std::uint32_t change = at + kChangeLength <= size ? kChangeLength : size - at;
    Fill(literal.data(), change, at);
    if (at % kInsertEvery < kChangeEvery) {
      // A few bytes more than were there: the rest of the file moves.
      Bytes grown(literal.begin(), literal.begin() + change);
      grown.resize(change + kInsertLength, 0x5A);
      now->insert(now->end(), grown.begin(), grown.end());
      delta->Insert(grown.data(), static_cast<std::uint32_t>(grown.size()));
    } else {
      now->insert(now->end(), literal.begin(), literal.begin() + change);
      delta->Insert(literal.data(), change);
    }
    at += change;
  }
  delta->End();
}

bool WriteStamped(const std::string& path, const Bytes& bytes, FileStamp* stamp) {
  if (!WriteBytesToFile(path.c_str(), bytes)) return false;
  if (stamp->dosDate != 0) {
    TKVFStream file(platform::kOpenReadWrite, path.c_str());
    if (!file.IsOpen() || !file.SetDosTime(*stamp)) return false;
  }
  return ComputeFileStamp(path.c_str(), *stamp);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || std::atoi(argv[2]) <= 0 || std::atoi(argv[2]) > 2000) {
    std::fprintf(stderr, "usage: make_bench_upgrade OUTPUT_FOLDER SIZE_MB\n");
    return 2;
  }
  std::string out = argv[1];
  if (out.back() != '\\' && out.back() != '/') out += '\\';
  CreateFolder(out.c_str());
  CreateFolder((out + "old").c_str());
  CreateFolder((out + "new").c_str());
  Bytes old(static_cast<std::size_t>(std::atoi(argv[2])) * 1024 * 1024);
  Fill(old.data(), old.size(), 12345);
  Bytes now;
  now.reserve(old.size() + old.size() / 1000);
  DeltaWriter delta;
  Derive(old, &now, &delta);

  PackageEntrySpec entry;
  entry.operation = Operation::kUpdate;
  entry.fileName = "big.dat";
  entry.description = "Benchmark file";
  entry.newStamp.dosDate = kNewDate;
  entry.newStamp.dosTime = kNewTime;
  if (!WriteStamped(out + "old\\big.dat", old, &entry.oldStamp) ||
      !WriteStamped(out + "new\\big.dat", now, &entry.newStamp)) {
    std::fprintf(stderr, "make_bench_upgrade: cannot write the files under %s\n", out.c_str());
    return 1;
  }
  entry.delta = delta.bytes();
  PackageWriter writer;
  writer.SetTitle("Apply benchmark");
  writer.AddEntry(entry);
  if (!writer.WriteFile((out + "plain.upg").c_str(), false) ||
      !writer.WriteFile((out + "kvz.upg").c_str(), true, 6)) {
    std::fprintf(stderr, "make_bench_upgrade: cannot write the packages\n");
    return 1;
  }
  std::printf("old %zu bytes, new %zu bytes, delta %zu bytes\n", old.size(), now.size(),
              entry.delta.size());
  return 0;
}
