// Windows makes symbolic links only with a privilege, and Wine's calls make
// none at all; Wine shows a link made on its Unix side as a reparse point,
// and runs Unix programs, so there the link is made with ln.
#include <windows.h>

#include <string>

#include "tests/support/test_links.h"

namespace {

bool IsReparsePoint(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
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

bool LinkOnUnixSide(const std::string& link, std::string target) {
  std::string unixLink;
  if (!UnixPath(link, &unixLink)) return false;
  for (char& c : target) {
    if (c == '\\') c = '/';
  }
  std::string command = "/bin/ln -s '" + target + "' '" + unixLink + "'";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return false;
  }
  ::WaitForSingleObject(process.hProcess, 10000);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return true;
}

}  // namespace

bool MakeTestLink(const std::string& link, const std::string& target) {
  std::string folder = link.substr(0, link.find_last_of('\\') + 1);
  const DWORD attributes = ::GetFileAttributesA((folder + target).c_str());
  const DWORD flags = (attributes != INVALID_FILE_ATTRIBUTES &&
                       (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                          ? SYMBOLIC_LINK_FLAG_DIRECTORY
                          : 0;
  if (::CreateSymbolicLinkA(link.c_str(), target.c_str(), flags) && IsReparsePoint(link)) {
    return true;
  }
  return LinkOnUnixSide(link, target) && IsReparsePoint(link);
}
