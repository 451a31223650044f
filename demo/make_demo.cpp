// Writes the bundled demo into OUTPUT_FOLDER: release1\ (an "installed"
// release), release2\ (what the upgrade must make of it) and demo.upg, a
// "[KVZ]" package that upgrades release 1 to release 2 with every kind of
// entry, built from the two folders by the package builder as upgtool build
// does. Contents and dates are fixed, so every build writes the same bytes.
#include <cstdio>
#include <string>
#include <vector>

#include "builder/package_builder.h"
#include "demo/noise.h"
#include "demo/output_folder.h"
#include "package/upgrade_session.h"
#include "platform/file_system.h"
#include "streams/file_utilities.h"
#include "streams/kv_file_stream.h"

using namespace streams;
using namespace package;
using namespace builder;

namespace {

using Bytes = std::vector<std::uint8_t>;

// 2024-05-01 12:00:00 and 2025-03-15 09:30:00 in DOS format.
constexpr std::uint16_t kRelease1Date = (44u << 9) | (5u << 5) | 1u;
constexpr std::uint16_t kRelease1Time = 12u << 11;
constexpr std::uint16_t kRelease2Date = (45u << 9) | (3u << 5) | 15u;
constexpr std::uint16_t kRelease2Time = (9u << 11) | (30u << 5);

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string ReleaseText(int release) {
  std::string text = "Karvell Demo Suite, release " + std::to_string(release) + "\r\n\r\n";
  for (int i = 1; i <= 40; ++i) {
    text += "Line " + std::to_string(i) + ": the quick brown fox jumps over the lazy dog.\r\n";
    if (release == 2 && i % 10 == 0)
      text += "New in release 2: note " + std::to_string(i) + ".\r\n";
  }
  return text;
}

// The old file with a few stretches overwritten, as a new build would differ.
Bytes Patched(const Bytes& old) {
  Bytes patched = old;
  for (std::size_t at = 1000; at + 64 < patched.size(); at += 7000) {
    const Bytes change = demo::Noise(48, static_cast<std::uint32_t>(at));
    std::copy(change.begin(), change.end(), patched.begin() + static_cast<std::ptrdiff_t>(at));
  }
  return patched;
}

bool WriteDated(const std::string& path, const Bytes& bytes, std::uint16_t date,
                std::uint16_t time) {
  if (!WriteBytesToFile(path.c_str(), bytes)) return false;
  FileStamp stamp{};
  stamp.dosDate = date;
  stamp.dosTime = time;
  TKVFStream file(platform::kOpenReadWrite, path.c_str());
  return file.IsOpen() && file.SetDosTime(stamp);
}

bool MakeFolders(const std::string& root, const std::vector<std::string>& relative) {
  for (const std::string& folder : relative) {
    const std::string path = root + folder;
    if (!CreateFolder(path.c_str()) && IsFile(path.c_str())) return false;
  }
  return true;
}

// One file of the demo; the builder finds what becomes of it: Update for
// an edit, Replace for new contents, Verify for the same, Add, Remove.
struct DemoFile {
  std::string name;
  std::string description;
  Bytes release1;  // empty: not in release 1
  Bytes release2;  // empty: not in release 2
};

}  // namespace

int main(int argc, char** argv) {
  std::string out;
  if (const int status = demo::TakeOutputFolder(argc, argv, "make_demo", &out)) return status;
  const std::string r1 = out + "release1\\";
  const std::string r2 = out + "release2\\";
  const Bytes engine = demo::Noise(40000, 7);
  const std::vector<DemoFile> files = {
      {"readme.txt", "Release notes", Text(ReleaseText(1)), Text(ReleaseText(2))},
      {"bin\\engine.dat", "Game engine", engine, Patched(engine)},
      {"gfx\\logo.bmp", "Title picture", demo::Noise(3000, 11), demo::Noise(3500, 12)},
      {"data\\levels\\level1.map", "", demo::Noise(5000, 21), demo::Noise(5000, 21)},
      {"legacy.cfg", "Obsolete settings", Text("fullscreen=0\r\nsound=1\r\n"), {}},
      {"data\\levels\\level2.map", "New level", {}, demo::Noise(6000, 22)},
      {"addons\\music\\theme.mid", "Theme music", {}, demo::Noise(1200, 23)},
  };
  if (!MakeFolders(out, {"release1", "release2"}) ||
      !MakeFolders(r1, {"bin", "gfx", "data", "data\\levels"}) ||
      !MakeFolders(r2, {"bin", "gfx", "data", "data\\levels", "addons", "addons\\music"})) {
    std::fprintf(stderr, "make_demo: cannot create the folders under %s\n", out.c_str());
    return 1;
  }
  BuildOptions options;
  options.oldRoot = r1;
  options.newRoot = r2;
  options.title = "Karvell Demo Suite 2.0";
  options.description =
      "This upgrade brings the Karvell Demo Suite from release 1 to release 2.\r\n\r\n"
      "It updates the engine and the release notes, replaces the title picture, adds a "
      "new level and the theme music, and removes the obsolete settings file.";
  options.verifyUnchanged = true;
  options.warningPolicy = Policy::kAsk;
  options.errorPolicy = Policy::kCritical;
  for (const DemoFile& file : files) {
    options.descriptions[file.name] = file.description;
    // An unchanged file keeps its release 1 date in release 2.
    const bool same = file.release1 == file.release2;
    if ((!file.release1.empty() &&
         !WriteDated(r1 + file.name, file.release1, kRelease1Date, kRelease1Time)) ||
        (!file.release2.empty() &&
         !WriteDated(r2 + file.name, file.release2, same ? kRelease1Date : kRelease2Date,
                     same ? kRelease1Time : kRelease2Time))) {
      std::fprintf(stderr, "make_demo: cannot write %s\n", file.name.c_str());
      return 1;
    }
  }
  const BuildResult result = BuildPackage(options);
  for (const std::string& error : result.errors)
    std::fprintf(stderr, "make_demo: %s\n", error.c_str());
  if (!result.errors.empty()) return 1;
  const std::string failure = WriteBuiltPackage(options, result, out + "demo.upg", true);
  if (!failure.empty()) {
    std::fprintf(stderr, "make_demo: %s\n", failure.c_str());
    return 1;
  }
  return 0;
}
