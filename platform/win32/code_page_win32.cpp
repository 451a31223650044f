// On Windows the package code page is the system's ANSI code page, in which
// the ANSI calls already take and give every name, argument and text: only
// the conversions to and from characters (for UTF-8) are needed.
#include <string>

#include "platform/code_page.h"
#include "platform/win32/windows_api.h"

namespace platform {

unsigned PackageCodePage() { return ::GetACP(); }

bool SelectPackageCodePage(unsigned codePage, std::string* problem) {
  if (codePage == ::GetACP()) return true;
  *problem = "code page " + std::to_string(codePage) +
             " cannot be used here: Windows programs name files in the system's ANSI code page, "
             "which is " +
             std::to_string(::GetACP());
  return false;
}

bool DecodePackageText(const std::string& text, std::u32string* characters) {
  characters->clear();
  bool defined = true;
  // One byte at a time, so that an undefined byte costs only itself.
  for (char byte : text) {
    wchar_t wide = 0;
    const bool one = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1) == 1;
    defined = defined && one;
    characters->push_back(one ? static_cast<char32_t>(wide) : 0xFFFD);
  }
  return defined;
}

bool EncodePackageText(const std::u32string& characters, std::string* text) {
  text->clear();
  bool written = true;
  for (char32_t c : characters) {
    char byte = '?';
    BOOL usedDefault = FALSE;
    const wchar_t wide = static_cast<wchar_t>(c);
    // Without WC_NO_BEST_FIT_CHARS a character outside the code page would
    // come back as a look-alike ('a' for U+0101), which names another file.
    const bool one = c <= 0xFFFF &&
                     ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wide, 1, &byte, 1,
                                           nullptr, &usedDefault) == 1 &&
                     !usedDefault;
    written = written && one;
    text->push_back(one ? byte : '?');
  }
  return written;
}

char32_t CapitalOf(char32_t c) {
  wchar_t wide = static_cast<wchar_t>(c);
  ::CharUpperBuffW(&wide, 1);
  return wide;
}

bool SystemTextToPackageText(const std::string& text, std::string* converted) {
  *converted = text;
  return true;
}

std::string PackageTextForConsole(const std::string& text) { return text; }

}  // namespace platform
