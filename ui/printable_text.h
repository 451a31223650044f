// Package texts and names as a person reads them in a terminal or a log.
// A package can carry any byte, and control bytes printed raw would move
// the cursor, retitle the window or hide what surrounds them.
//
// Each byte below 0x20, and 0x7F, is shown as \xHH (two upper-case hex
// digits). A backslash is doubled only where it would otherwise read as the
// start of an escape: before another backslash, before an escaped byte, and
// before an x and two hex digits. Read back, "\\" is one backslash, "\x"
// with two hex digits is that byte, and any other backslash is itself, so
// the shown text names exactly one original and paths read as stored.
// Bytes 0x80 and above are passed on unchanged.
#pragma once

#include <string>

namespace ui {

enum class TextLayout {
  kOneLine,  // a title or a name: every control byte is escaped
  kLines,    // a description or a message: line feeds and tabs are its layout
             // and stay, a CR before an LF is dropped, the rest is escaped
};

std::string PrintableText(const char* text, TextLayout layout = TextLayout::kOneLine);

// Package text as this system's console shows it: PrintableText, then in
// the system's characters (platform::PackageTextForConsole). Every human
// output of package texts and names goes through here.
std::string ConsoleText(const std::string& text, TextLayout layout = TextLayout::kOneLine);

}  // namespace ui
