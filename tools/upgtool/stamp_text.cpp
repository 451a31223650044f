#include "tools/upgtool/stamp_text.h"

#include <cstdio>

#include "tools/upgtool/json_writer.h"

namespace upgtool {

std::string DosDateTimeText(std::uint16_t dosDate, std::uint16_t dosTime) {
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", 1980u + (dosDate >> 9),
                (dosDate >> 5) & 0x0Fu, dosDate & 0x1Fu, dosTime >> 11, (dosTime >> 5) & 0x3Fu,
                (dosTime & 0x1Fu) * 2u);
  return text;
}

std::string StampText(const streams::FileStamp& stamp) {
  char text[64];
  std::snprintf(text, sizeof text, ", %lu bytes, checksum 0x%04X",
                static_cast<unsigned long>(stamp.size), stamp.checksum);
  return DosDateTimeText(stamp.dosDate, stamp.dosTime) + text;
}

JsonWriter& WriteStampFields(JsonWriter& json, const streams::FileStamp& stamp) {
  return json.Number("dosTime", stamp.dosTime)
      .Number("dosDate", stamp.dosDate)
      .Number("size", stamp.size)
      .Number("checksum", stamp.checksum);
}

void WriteStampJson(JsonWriter& json, const char* key, const streams::FileStamp& stamp) {
  WriteStampFields(json.Object(key), stamp).EndObject();
}

}  // namespace upgtool
