#include "tests/support/fake_drives.h"

#include "platform/bounded_text.h"

bool FakeDrives::DriveRoot(int index, char* root, std::size_t capacity) {
  const std::string* path = index == 2 ? &c_ : index == 3 ? &d_ : nullptr;
  if (path == nullptr) return platform::CopyText(root, capacity, "Q:\\");
  return platform::CopyText(root, capacity, path->c_str());
}

bool FakeDrives::IsFixedDrive(const char* root) {
  return std::string(root) != "Q:\\" && root[0] != 0;
}
