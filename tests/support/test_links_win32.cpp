// Windows makes symbolic links only with a privilege, and Wine's calls make
// none at all; Wine shows a link made on its Unix side as a reparse point,
// and runs Unix programs, so there the link is made with ln. Wine also acts
// on what a link points to when asked to remove the link, so there a tree
// with links in it is finished off with rm.
#include <windows.h>

#include <filesystem>
#include <string>

#include "tests/support/test_links.h"

namespace {

bool IsReparsePoint(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The Unix path of a Windows path, where Wine can tell it.
bool UnixPath(const std::string& path, std::string* unix) {
  using Convert = char* (*)(const wchar_t*);
  const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  wchar_t wide[MAX_PATH];
  if (convert == nullptr ||
      ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) == 0) {
    return false;
  }
  char* converted = convert(wide);
  if (converted == nullptr) return false;
  *unix = converted;
  ::HeapFree(::GetProcessHeap(), 0, converted);
  return true;
}

// Runs `command` (a Unix program and Unix paths) on Wine's Unix side, and
// waits until `done(path)` holds: Wine gives no handle to wait on for a
// Unix process.
// The Unix program gets the null device as its standard handles: left to
// share the test program's own, it took the test program's output with it.
bool RunOnUnixSide(std::string command, bool (*done)(const std::string&), const std::string& path) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE null =
      ::CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherited, OPEN_EXISTING, 0, nullptr);
  if (null == INVALID_HANDLE_VALUE) return false;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = null;
  PROCESS_INFORMATION process{};
  const BOOL started = ::CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
  ::CloseHandle(null);
  if (!started) return false;
  if (process.hThread != nullptr) ::CloseHandle(process.hThread);
  if (process.hProcess != nullptr) ::CloseHandle(process.hProcess);
  for (int wait = 0; wait < 1000; ++wait) {
    if (done(path)) return true;
    ::Sleep(10);
  }
  return false;
}

bool Exists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Gone(const std::string& path) { return !Exists(path); }

}  // namespace

bool MakeTestLink(const std::string& link, const std::string& target) {
  const std::string folder = link.substr(0, link.find_last_of('\\') + 1);
  const DWORD attributes = ::GetFileAttributesA((folder + target).c_str());
  const DWORD flags =
      (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
          ? SYMBOLIC_LINK_FLAG_DIRECTORY
          : 0;
  if (::CreateSymbolicLinkA(link.c_str(), target.c_str(), flags) && IsReparsePoint(link)) {
    return true;
  }
  std::string unixLink;
  std::string unixTarget = target;
  for (char& c : unixTarget) {
    if (c == '\\') c = '/';
  }
  return UnixPath(link, &unixLink) &&
         RunOnUnixSide("/bin/ln -s \"" + unixTarget + "\" \"" + unixLink + "\"", Exists, link) &&
         IsReparsePoint(link);
}

void RemoveTestTree(const std::string& folder) {
  std::error_code error;
  std::filesystem::remove_all(folder, error);
  // Wine stops at a link, having followed it to what the test put beside
  // it; what is left goes from the Unix side.
  std::string unixFolder;
  if (Exists(folder) && UnixPath(folder, &unixFolder)) {
    RunOnUnixSide("/bin/rm -rf \"" + unixFolder + "\"", Gone, folder);
  }
}
