#include "tests/scratch_folder.h"

#include <random>
#include <system_error>

#include "platform/file_system.h"

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
  std::error_code error;
  const fs::path base = fs::temp_directory_path(error);
  if (error) return;
  // Test programs run in parallel; a random name keeps their folders apart,
  // and create_directory refuses a name that is already taken.
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = base / ("upg-test-" + std::to_string(random() % 100000000u));
    if (fs::create_directory(candidate, error)) {
      // The platform's current-folder calls report the resolved path; the
      // folder is named the same way so that the two compare equal.
      root_ = fs::canonical(candidate, error);
      if (error) root_ = candidate;
      return;
    }
  }
}

ScratchFolder::~ScratchFolder() {
  if (root_.empty()) return;
  std::error_code error;
  // Windows refuses to delete read-only files; make everything writable first.
  for (const auto& entry : fs::recursive_directory_iterator(root_, error)) {
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, error);
  }
  fs::remove_all(root_, error);
}

std::string ScratchFolder::Path() const { return root_.string(); }

std::string ScratchFolder::Path(const std::string& name) const { return Path() + "\\" + name; }

bool ScratchFolder::SetReadOnly(const std::string& name, bool readOnly) const {
  std::error_code error;
  const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(root_ / name, readOnly ? write : fs::perms::owner_write,
                  readOnly ? fs::perm_options::remove : fs::perm_options::add, error);
  return !error;
}

bool WriteTestFile(const std::string& path, const std::string& bytes) {
  platform::FileSystem& files = platform::Fs();
  const platform::FileHandle file = files.Open(path.c_str(), platform::kOpenWrite);
  if (file == platform::kInvalidFile) return false;
  const auto count = static_cast<std::int32_t>(bytes.size());
  const bool written = files.Write(file, bytes.data(), count) == count;
  files.Close(file);
  return written;
}

std::string ReadTestFile(const std::string& path) {
  platform::FileSystem& files = platform::Fs();
  const platform::FileHandle file = files.Open(path.c_str(), platform::kOpenRead);
  if (file == platform::kInvalidFile) return std::string();
  std::string bytes;
  char block[512];
  std::int32_t got = 0;
  while ((got = files.Read(file, block, sizeof block)) > 0) bytes.append(block, got);
  files.Close(file);
  return bytes;
}
