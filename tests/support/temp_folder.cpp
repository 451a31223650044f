#include "tests/support/temp_folder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/test_links.h"

namespace fs = std::filesystem;

namespace {

std::atomic<unsigned> counter{0};

}  // namespace

std::string NativeTestPath(const std::string& path) {
  std::string native = path;
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
}

TempFolder::TempFolder() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  for (;;) {
    const std::string name =
        "upgtest_" + std::to_string(now % 1000000007) + "_" + std::to_string(counter++);
    const fs::path folder = fs::current_path() / name;
    std::error_code error;
    if (fs::create_directory(folder, error)) {
      path_ = folder.string() + '\\';
      std::replace(path_.begin(), path_.end(), '/', '\\');
      return;
    }
  }
}

TempFolder::~TempFolder() {
  std::error_code error;
  const fs::path root(NativeTestPath(path_));
  // Read-only files left by a test must not keep the folder alive.
  for (auto it = fs::recursive_directory_iterator(root, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, error);
  }
  RemoveTestTree(path_.substr(0, path_.size() - 1));
}

void WriteTestFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(NativeTestPath(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void WriteTestFile(const std::string& path, const std::string& text) {
  WriteTestFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::uint8_t> ReadTestFile(const std::string& path) {
  std::ifstream in(NativeTestPath(path), std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
}

bool TestPathExists(const std::string& path) {
  std::error_code error;
  return fs::exists(fs::path(NativeTestPath(path)), error);
}

void SetTestFileReadOnly(const std::string& path, bool readOnly) {
  const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(fs::path(NativeTestPath(path)), readOnly ? write : fs::perms::owner_write,
                  readOnly ? fs::perm_options::remove : fs::perm_options::add);
}
