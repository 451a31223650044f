// The conversions between package text and UTF-8, the same on every
// platform over the platform's own decoding and encoding.
#include "platform/code_page.h"

namespace platform {
namespace {

void AppendUtf8(char32_t c, std::string* utf8) {
  if (c < 0x80) {
    utf8->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    utf8->push_back(static_cast<char>(0xC0 | (c >> 6)));
    utf8->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    utf8->push_back(static_cast<char>(0xE0 | (c >> 12)));
    utf8->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    utf8->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    utf8->push_back(static_cast<char>(0xF0 | (c >> 18)));
    utf8->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    utf8->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    utf8->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// The bytes that follow a lead byte of UTF-8, or -1 for a byte that leads
// nothing.
int TrailBytes(unsigned char lead) {
  if (lead < 0x80) return 0;
  if ((lead & 0xE0) == 0xC0) return 1;
  if ((lead & 0xF0) == 0xE0) return 2;
  if ((lead & 0xF8) == 0xF0) return 3;
  return -1;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
// Each byte that does not belong to a character becomes U+FFFD.
bool DecodeUtf8(const std::string& utf8, std::u32string* characters) {
  static const char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  characters->clear();
  bool valid = true;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const int trail = TrailBytes(lead);
    bool whole = trail >= 0 && utf8.size() - i > static_cast<std::size_t>(trail);
    char32_t c = trail <= 0 ? lead : lead & (0x3F >> trail);
    for (int k = 1; whole && k <= trail; ++k) {
      const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
      whole = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    if (!whole || c < kLeast[trail] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      valid = false;
      characters->push_back(0xFFFD);
      ++i;
      continue;
    }
    characters->push_back(c);
    i += static_cast<std::size_t>(trail) + 1;
  }
  return valid;
}

bool IsAscii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::string PackageTextToUtf8(const std::string& text, bool* defined) {
  bool allDefined = true;
  std::string utf8;
  if (IsAscii(text)) {
    utf8 = text;
  } else {
    std::u32string characters;
    allDefined = DecodePackageText(text, &characters);
    for (char32_t c : characters) AppendUtf8(c, &utf8);
  }
  if (defined != nullptr) *defined = allDefined;
  return utf8;
}

bool Utf8ToPackageText(const std::string& utf8, std::string* text) {
  if (IsAscii(utf8)) {
    *text = utf8;
    return true;
  }
  std::u32string characters;
  const bool valid = DecodeUtf8(utf8, &characters);
  return EncodePackageText(characters, text) && valid;
}

std::string PackageTextUpperCase(const std::string& text) {
  std::u32string characters;
  DecodePackageText(text, &characters);
  std::string upper = text;
  for (std::size_t i = 0; i < characters.size(); ++i) {
    std::string capital;
    if (EncodePackageText(std::u32string(1, CapitalOf(characters[i])), &capital))
      upper[i] = capital[0];
  }
  return upper;
}

}  // namespace platform
