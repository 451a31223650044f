#include "builder/windows_names.h"

#include <cstring>

#include "platform/ascii_case.h"
#include "platform/code_page.h"

namespace builder {

namespace {

// The device names that every folder holds on Windows. "COM" and "LPT" take
// a digit, and also the superscripts one to three, which the system counts
// as digits there.
bool IsDeviceName(const std::string& base) {
  std::u32string characters;
  platform::DecodePackageText(base, &characters);
  std::u32string upper;
  for (char32_t c : characters) upper.push_back(platform::AsciiCapital(c));
  for (const char32_t* name : {U"CON", U"PRN", U"AUX", U"NUL"}) {
    if (upper == name) return true;
  }
  if (upper.size() != 4) return false;
  const std::u32string prefix = upper.substr(0, 3);
  const char32_t last = upper[3];
  const bool numbered =
      (last >= U'0' && last <= U'9') || last == U'\u00B9' || last == U'\u00B2' || last == U'\u00B3';
  return numbered && (prefix == U"COM" || prefix == U"LPT");
}

std::string ComponentProblem(const std::string& name) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20)
      return "\"" + name + "\" holds a control character, which Windows refuses in names";
    if (std::strchr("<>:\"/|?*", c) != nullptr)
      return "\"" + name + "\" holds '" + c + "', which Windows refuses in names";
  }
  if (!name.empty() && (name.back() == '.' || name.back() == ' '))
    return "\"" + name + "\" ends in " + (name.back() == '.' ? "a dot" : "a blank") +
           ", which Windows drops from names";
  // The part before the first dot decides, with the blanks that end it
  // dropped as Windows drops them: "nul .txt" is the device too.
  std::string base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  if (IsDeviceName(base))
    return "\"" + name + "\" is the device " + base + " on Windows, with any extension";
  return "";
}

}  // namespace

std::string WindowsNameProblem(const std::string& path) {
  std::string::size_type start = 0;
  for (;;) {
    const std::string::size_type end = path.find('\\', start);
    const std::string problem = ComponentProblem(path.substr(start, end - start));
    if (!problem.empty() || end == std::string::npos) return problem;
    start = end + 1;
  }
}

}  // namespace builder
