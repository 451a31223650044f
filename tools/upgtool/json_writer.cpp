#include "tools/upgtool/json_writer.h"

#include <cstdio>

#include "platform/code_page.h"

namespace upgtool {

void JsonWriter::Separate() {
  if (needComma_) text_ += ',';
  needComma_ = false;
}

// Texts are package text: each character of the code page goes out as
// itself or, beyond ASCII, as its \u escape, so the output stays ASCII.
void JsonWriter::Quoted(const char* text) {
  std::u32string characters;
  platform::DecodePackageText(text, &characters);
  text_ += '"';
  for (char32_t c : characters) {
    if (c == '"' || c == '\\') {
      text_ += '\\';
      text_ += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      text_ += escape;
    } else {
      text_ += static_cast<char>(c);
    }
  }
  text_ += '"';
}

JsonWriter& JsonWriter::Open(const char* key, char bracket) {
  if (key != nullptr) {
    Key(key);
  } else {
    Separate();
  }
  text_ += bracket;
  return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
  text_ += bracket;
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::Member(const char* key, const std::string& text) {
  Key(key);
  text_ += text;
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::BeginObject() { return Open(nullptr, '{'); }

JsonWriter& JsonWriter::EndObject() { return Close('}'); }

JsonWriter& JsonWriter::BeginArray(const char* key) { return Open(key, '['); }

JsonWriter& JsonWriter::EndArray() { return Close(']'); }

JsonWriter& JsonWriter::Object(const char* key) { return Open(key, '{'); }

JsonWriter& JsonWriter::Key(const char* key) {
  Separate();
  Quoted(key);
  text_ += ':';
  return *this;
}

JsonWriter& JsonWriter::String(const char* key, const char* value) {
  Key(key);
  Quoted(value);
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::Number(const char* key, std::int64_t value) {
  return Member(key, std::to_string(value));
}

JsonWriter& JsonWriter::Bool(const char* key, bool value) {
  return Member(key, value ? "true" : "false");
}

JsonWriter& JsonWriter::Decimal(const char* key, double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return Member(key, text);
}

JsonWriter& JsonWriter::Strings(const char* key, const std::vector<std::string>& values) {
  BeginArray(key);
  for (const std::string& value : values) {
    Separate();
    Quoted(value.c_str());
    needComma_ = true;
  }
  return EndArray();
}

}  // namespace upgtool
