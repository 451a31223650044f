// A small writer of JSON text for upgtool's machine-readable output. Bytes
// outside printable ASCII are written as \u00XX, so every output is valid
// JSON whatever code page a package's texts were written in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace upgtool {

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray(const char* key = nullptr);
  JsonWriter& EndArray();
  JsonWriter& Key(const char* key);
  JsonWriter& String(const char* key, const char* value);
  JsonWriter& Number(const char* key, std::int64_t value);
  JsonWriter& Bool(const char* key, bool value);
  // A number with `decimals` digits after the point.
  JsonWriter& Decimal(const char* key, double value, int decimals);
  // An array of strings.
  JsonWriter& Strings(const char* key, const std::vector<std::string>& values);
  // Starts a nested object under `key`.
  JsonWriter& Object(const char* key);

  const std::string& text() const { return text_; }

 private:
  void Separate();
  void Quoted(const char* text);
  // `bracket` opens a value, under `key` unless it is null.
  JsonWriter& Open(const char* key, char bracket);
  JsonWriter& Close(char bracket);
  // A member whose value is `text` as it stands.
  JsonWriter& Member(const char* key, const std::string& text);

  std::string text_;
  bool needComma_ = false;
};

}  // namespace upgtool
