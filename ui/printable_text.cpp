#include "ui/printable_text.h"

#include <cctype>

#include "platform/code_page.h"

namespace ui {

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Whether the byte at `at` keeps its place as layout: it is printed, or, for
// the CR of a CR LF, dropped in favour of its LF.
bool IsLayout(const char* at, TextLayout layout) {
  if (layout != TextLayout::kLines) return false;
  return *at == '\n' || *at == '\t' || (*at == '\r' && at[1] == '\n');
}

bool IsEscaped(const char* at, TextLayout layout) {
  return *at != 0 && IsControl(static_cast<unsigned char>(*at)) && !IsLayout(at, layout);
}

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// A backslash in front of `next` would be read as the start of an escape.
bool NeedsDoubling(const char* next, TextLayout layout) {
  return *next == '\\' || IsEscaped(next, layout) ||
         (*next == 'x' && IsHexDigit(next[1]) && IsHexDigit(next[2]));
}

}  // namespace

std::string PrintableText(const char* text, TextLayout layout) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (const char* at = text; *at != 0; ++at) {
    const auto c = static_cast<unsigned char>(*at);
    if (IsEscaped(at, layout)) {
      shown += "\\x";
      shown += kHex[c >> 4];
      shown += kHex[c & 0x0F];
    } else if (c == '\r') {
      continue;  // the CR of a CR LF
    } else {
      if (c == '\\' && NeedsDoubling(at + 1, layout)) shown += '\\';
      shown += static_cast<char>(c);
    }
  }
  return shown;
}

std::string ConsoleText(const std::string& text, TextLayout layout) {
  return platform::PackageTextForConsole(PrintableText(text.c_str(), layout));
}

}  // namespace ui
