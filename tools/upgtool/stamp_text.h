// How upgtool shows names, policies and stamps to people and in JSON.
#pragma once

#include <cstdint>
#include <string>

#include "streams/file_stamp_record.h"

namespace upgtool {

class JsonWriter;

// "YYYY-MM-DD hh:mm:ss" from the DOS fields as stored, valid or not.
std::string DosDateTimeText(std::uint16_t dosDate, std::uint16_t dosTime);
// "2026-12-06 20:14:06, 3 bytes, checksum 0x6202".
std::string StampText(const streams::FileStamp& stamp);
// The stamp's four fields as members of the object being written.
JsonWriter& WriteStampFields(JsonWriter& json, const streams::FileStamp& stamp);
// The stamp as an object under `key`.
void WriteStampJson(JsonWriter& json, const char* key, const streams::FileStamp& stamp);

}  // namespace upgtool
