// The code page's characters come from the C library's iconv, one byte at a
// time, into a table made once per code page: a conversion is then a lookup,
// and the converters that combine characters (1255, 1258) cannot hold a
// byte back waiting for the next.
#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <map>
#include <string>

#include "platform/ascii_case.h"
#include "platform/code_page.h"

namespace platform {
namespace {

struct CodePageTable {
  unsigned codePage = 0;
  // The character of each byte; 0 for a byte the code page leaves undefined
  // (byte 0 is the terminator and never part of a text).
  char32_t characters[256] = {};
  std::map<char32_t, unsigned char> bytes;
};

// Closes the converter on every way out.
class Converter {
 public:
  explicit Converter(unsigned codePage)
      : descriptor_(::iconv_open("UTF-32LE", ("CP" + std::to_string(codePage)).c_str())) {}
  ~Converter() {
    if (IsOpen()) ::iconv_close(descriptor_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool IsOpen() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

  // The one character that `byte` stands for alone, or 0.
  char32_t CharacterOf(unsigned char byte) {
    ::iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
    char in[1] = {static_cast<char>(byte)};
    unsigned char out[16] = {};
    char* inAt = in;
    char* outAt = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    if (::iconv(descriptor_, &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1) ||
        ::iconv(descriptor_, nullptr, nullptr, &outAt, &outLeft) == static_cast<std::size_t>(-1) ||
        sizeof out - outLeft != 4) {
      return 0;
    }
    return static_cast<char32_t>(out[0]) | static_cast<char32_t>(out[1]) << 8 |
           static_cast<char32_t>(out[2]) << 16 | static_cast<char32_t>(out[3]) << 24;
  }

 private:
  iconv_t descriptor_;
};

bool IsSingleByteCodePage(unsigned codePage) {
  return codePage == 874 || (codePage >= 1250 && codePage <= 1258);
}

// False when the C library cannot convert the code page; the table then
// knows ASCII alone.
bool MakeTable(unsigned codePage, CodePageTable* table) {
  *table = CodePageTable();
  table->codePage = codePage;
  for (unsigned byte = 1; byte < 0x80; ++byte) {
    table->characters[byte] = byte;
    table->bytes.emplace(byte, static_cast<unsigned char>(byte));
  }
  if (!IsSingleByteCodePage(codePage)) return false;
  Converter converter(codePage);
  if (!converter.IsOpen()) return false;
  for (unsigned byte = 1; byte < 256; ++byte) {
    const char32_t c = converter.CharacterOf(static_cast<unsigned char>(byte));
    // Every Windows code page keeps ASCII as it is; a converter that does
    // not is not the code page's.
    if (byte < 0x80 && c != byte) return false;
    if (byte < 0x80 || c == 0) continue;
    table->characters[byte] = c;
    table->bytes.emplace(c, static_cast<unsigned char>(byte));
  }
  return true;
}

unsigned& SelectedCodePage() {
  static unsigned selected = UPG_DEFAULT_CODE_PAGE;
  return selected;
}

// The table of the selected code page, made on first use.
const CodePageTable& Table() {
  static CodePageTable table;
  if (table.codePage != SelectedCodePage()) MakeTable(SelectedCodePage(), &table);
  return table;
}

}  // namespace

unsigned PackageCodePage() { return SelectedCodePage(); }

bool SelectPackageCodePage(unsigned codePage, std::string* problem) {
  CodePageTable table;
  if (!MakeTable(codePage, &table)) {
    *problem = "code page " + std::to_string(codePage) +
               " cannot be used: package texts are in a single-byte Windows code page "
               "(874, 1250 to 1258) that this system's iconv knows";
    return false;
  }
  SelectedCodePage() = codePage;
  return true;
}

bool DecodePackageText(const std::string& text, std::u32string* characters) {
  const CodePageTable& table = Table();
  characters->clear();
  bool defined = true;
  for (char byte : text) {
    const char32_t c = table.characters[static_cast<unsigned char>(byte)];
    defined = defined && c != 0;
    characters->push_back(c != 0 ? c : 0xFFFD);
  }
  return defined;
}

bool EncodePackageText(const std::u32string& characters, std::string* text) {
  const CodePageTable& table = Table();
  text->clear();
  bool written = true;
  for (char32_t c : characters) {
    const auto found = table.bytes.find(c);
    written = written && found != table.bytes.end();
    text->push_back(found != table.bytes.end() ? static_cast<char>(found->second) : '?');
  }
  return written;
}

// Whatever the process's own locale; of ASCII letters only when the C
// library has no Unicode locale.
char32_t CapitalOf(char32_t c) {
  static const locale_t unicode = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  if (unicode != nullptr)
    return static_cast<char32_t>(::towupper_l(static_cast<wint_t>(c), unicode));
  return AsciiCapital(c);
}

bool SystemTextToPackageText(const std::string& text, std::string* converted) {
  return Utf8ToPackageText(text, converted);
}

std::string PackageTextForConsole(const std::string& text) { return PackageTextToUtf8(text); }

}  // namespace platform
