// A fresh folder under the system's temporary folder for one test, removed
// with everything in it when the object goes. It works the same on Windows
// and POSIX: the folder is made and cleared through the C++ library, and the
// paths it hands out are in the form the platform layer takes (backslash
// separators), so a test can pass them straight to platform::Fs().
#pragma once

#include <filesystem>
#include <string>

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // False when no folder could be made; the tests then fail at once.
  bool Ready() const { return !root_.empty(); }

  // The folder itself, without a trailing separator.
  std::string Path() const;
  // An entry of the folder: the folder, a backslash and `name`.
  std::string Path(const std::string& name) const;

  // Sets or clears the read-only state of an entry (the read-only attribute
  // on Windows, the write permission bits on POSIX).
  bool SetReadOnly(const std::string& name, bool readOnly) const;

 private:
  std::filesystem::path root_;
};

// Writes `bytes` into a new or emptied file through the platform layer.
bool WriteTestFile(const std::string& path, const std::string& bytes);
// The whole file through the platform layer; empty when it cannot be read.
std::string ReadTestFile(const std::string& path);
