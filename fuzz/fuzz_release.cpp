#include "fuzz/fuzz_release.h"

#include "builder/package_writer.h"
#include "platform/file_system.h"
#include "streams/file_utilities.h"
#include "streams/kv_file_stream.h"
#include "tests/support/package_file.h"

using namespace streams;
using namespace builder;

namespace {

using Bytes = std::vector<std::uint8_t>;

// 1 June 2020 10:00 and 1 July 2021 11:30, DOS format.
constexpr std::uint16_t kDates[] = {(40u << 9) | (6u << 5) | 1u, (41u << 9) | (7u << 5) | 1u};
constexpr std::uint16_t kTimes[] = {10u << 11, (11u << 11) | (30u << 5)};

Bytes Lines(int release) {
  std::string text;
  for (int i = 1; i <= 12; ++i) {
    text += "Line " + std::to_string(i) + " of the notes.\r\n";
    if (release == 2 && i % 4 == 0) text += "Changed in release 2.\r\n";
  }
  return Bytes(text.begin(), text.end());
}

}  // namespace

std::map<std::string, Bytes> ReleaseFiles(int release) {
  std::map<std::string, Bytes> files;
  files["notes.txt"] = Lines(release);
  files["data.bin"] = RandomBytes(release == 1 ? 300 : 320, static_cast<std::uint32_t>(release));
  files["same.txt"] = Bytes(40, 's');
  if (release == 1) files["old.txt"] = Bytes(30, 'o');
  if (release == 2) files["sub\\deeper\\new.dat"] = RandomBytes(90, 9);
  return files;
}

bool WriteRelease(const std::string& folder, int release) {
  if (!IsFolder(folder.c_str()) && !CreateFolder(folder.c_str())) return false;
  FileStamp stamp{};
  stamp.dosDate = kDates[release - 1];
  stamp.dosTime = kTimes[release - 1];
  for (const auto& [name, bytes] : ReleaseFiles(release)) {
    for (std::size_t at = name.find('\\'); at != std::string::npos; at = name.find('\\', at + 1)) {
      CreateFolder((folder + name.substr(0, at)).c_str());
    }
    const std::string path = folder + name;
    if (!WriteBytesToFile(path.c_str(), bytes)) return false;
    TKVFStream file(platform::kOpenReadWrite, path.c_str());
    if (!file.IsOpen() || !file.SetDosTime(stamp)) return false;
  }
  return true;
}
