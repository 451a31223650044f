// The search for the installed files: every fixed drive, folder by folder,
// breadth first, until a folder passes the folder validation.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "ui/front_end.h"

namespace package {
class UpgradeSession;
}  // namespace package

namespace ui {

// The drives and the two containers that the search walks with: a queue of
// folders to visit (first in, first out) and the listing of the folder
// being visited. The Win32 program keeps them in hidden list boxes.
class SearchHost {
 public:
  virtual ~SearchHost() = default;

  // Around one search: the Windows program makes its list boxes and shows
  // the hourglass for exactly that long.
  virtual void BeginSearch() {}
  virtual void EndSearch() {}

  // The root of drive `index` (0 to 25); false when there is none. Both
  // ask the platform unless a test stands in for the drives.
  virtual bool DriveRoot(int index, char* root, std::size_t capacity);
  virtual bool IsFixedDrive(const char* root);
  virtual bool QueueEmpty() = 0;
  virtual void QueueAppend(const char* folder) = 0;
  // The first folder, removed from the queue; false when the queue is empty.
  virtual bool QueueTakeFirst(char* folder, std::size_t capacity) = 0;
  // Replaces the listing by `folder`'s sub-folders, each as "[name]".
  virtual void FillListing(const char* folder) = 0;
  // The first entry, removed from the listing; false when it is empty.
  virtual bool ListingTakeFirst(char* entry, std::size_t capacity) = 0;
  // Called for every folder visited.
  virtual void Visited(unsigned long count) = 0;
};

// A host over the platform's drives and folder listing, with its containers
// in memory.
class PlatformSearchHost : public SearchHost {
 public:
  explicit PlatformSearchHost(FrontEnd* frontEnd = nullptr) : frontEnd_(frontEnd) {}

  bool QueueEmpty() override;
  void QueueAppend(const char* folder) override;
  bool QueueTakeFirst(char* folder, std::size_t capacity) override;
  void FillListing(const char* folder) override;
  bool ListingTakeFirst(char* entry, std::size_t capacity) override;
  void Visited(unsigned long count) override;

 private:
  FrontEnd* frontEnd_;
  std::deque<std::string> queue_;
  std::deque<std::string> listing_;
};

// 1 when a folder passed; it is then in the session's targetFolder, with its
// trailing separator.
int SearchFixedDrives(package::UpgradeSession& session, SearchHost& host);

// 1 when a folder was found and copied into `folder` (kMaxPath bytes, its
// last component spelled as the file system stores it), else 0 with
// `folder` unchanged.
int FindInstalledFolder(const char* packagePath, char* folder, platform::ModuleInstance instance,
                        platform::WindowHandle owner, SearchHost& host);

}  // namespace ui
