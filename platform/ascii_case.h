// The capitals of the 26 ASCII letters, for names the system compares
// without regard to case whatever the code page: the staging folder's, the
// device names, a file system's stored spelling. Package text in general
// goes through PackageTextUpperCase (platform/code_page.h).
#pragma once

namespace platform {

template <typename Character>
constexpr Character AsciiCapital(Character c) {
  return c >= 'a' && c <= 'z' ? static_cast<Character>(c - 'a' + 'A') : c;
}

}  // namespace platform
