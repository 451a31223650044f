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

JsonWriter& JsonWriter::BeginObject() {
  Separate();
  text_ += '{';
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  text_ += '}';
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::BeginArray(const char* key) {
  if (key != nullptr) {
    Key(key);
  } else {
    Separate();
  }
  text_ += '[';
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  text_ += ']';
  needComma_ = true;
  return *this;
}

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
  Key(key);
  text_ += std::to_string(value);
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::Bool(const char* key, bool value) {
  Key(key);
  text_ += value ? "true" : "false";
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::Decimal(const char* key, double value, int decimals) {
  Key(key);
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  text_ += text;
  needComma_ = true;
  return *this;
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

JsonWriter& JsonWriter::Object(const char* key) {
  Key(key);
  text_ += '{';
  return *this;
}

}  // namespace upgtool
