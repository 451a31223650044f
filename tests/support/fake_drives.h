// A search host whose drives C and D are folders of the test; no other
// drive is fixed. It records the search's beginning and end.
#pragma once

#include <string>
#include <vector>

#include "ui/folder_search.h"

using namespace ui;

class FakeDrives : public PlatformSearchHost {
 public:
  // An empty path stands for a drive that is not fixed.
  FakeDrives(std::string c, std::string d) : c_(std::move(c)), d_(std::move(d)) {}
  bool DriveRoot(int index, char* root, std::size_t capacity) override;
  bool IsFixedDrive(const char* root) override;
  void BeginSearch() override { events.push_back("begin"); }
  void EndSearch() override { events.push_back("end"); }

  std::vector<std::string> events;

 private:
  std::string c_;
  std::string d_;
};
