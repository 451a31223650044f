// A scratch folder for one test, made under the current directory and
// removed with everything in it when the test ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing backslash, as the core joins paths.
  const std::string& path() const { return path_; }
  // `relative` (backslash-separated) inside the folder.
  std::string Join(const std::string& relative) const { return path_ + relative; }

 private:
  std::string path_;
};

// Test-side file access, independent of the code under test.
std::string NativeTestPath(const std::string& path);
void WriteTestFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteTestFile(const std::string& path, const std::string& text);
std::vector<std::uint8_t> ReadTestFile(const std::string& path);
bool TestPathExists(const std::string& path);
// Sets or clears the read-only state: the read-only attribute on Windows, the
// write permission bits on POSIX.
void SetTestFileReadOnly(const std::string& path, bool readOnly);
