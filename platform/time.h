// Clocks and time conversions. Implemented per platform: on Windows by the
// system's own conversions, on POSIX by plain arithmetic over the offset
// that the C library reports for the present moment.
#pragma once

#include <cstdint>
#include <string>

#include "platform/handles.h"

namespace platform {

// Milliseconds since some start, wrapping at 2^32.
std::uint32_t TickCount();

// Universal to local time and back, in place, with the offset from UTC in
// force now (daylight saving included), not the one at the converted date.
bool UniversalToLocal(FileTime* time);
bool LocalToUniversal(FileTime* time);

// Makes local time, for every later conversion of this process, the time
// of the zone `name` (an IANA name such as "America/New_York") with the
// offset that zone has in force now: as a machine in that zone converts.
// An empty name goes back to the system's own zone. False, with `problem`
// set and nothing changed, for a zone this platform does not know; Windows
// has no database of IANA zones and knows none.
bool SelectTimeZone(const std::string& name, std::string* problem);

// A (local) file time to DOS date and time; false outside 1980-2107.
// Odd seconds are rounded down onto the two-second grid.
bool FileTimeToDos(FileTime time, std::uint16_t* dosDate, std::uint16_t* dosTime);
// DOS date and time to a (local) file time; false for a field out of range.
bool DosToFileTime(std::uint16_t dosDate, std::uint16_t dosTime, FileTime* time);

}  // namespace platform
