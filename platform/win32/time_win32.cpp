// Time conversions by the system's own calls. Wine's DOS conversions are
// laxer than Windows': a year after 2107 wraps round to 1980, and 29 February
// passes in every year and becomes 1 March. Each conversion is therefore
// checked by converting back: a DOS date and time that names no real moment,
// or a moment that has no DOS date, does not come back as it went in.
#include "platform/time.h"
#include "platform/win32/file_time_win32.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

constexpr FileTime kTwoSeconds = 20000000;

bool SystemFileTimeToDos(FileTime time, WORD* dosDate, WORD* dosTime) {
  const FILETIME local = ToSystemTime(time);
  return ::FileTimeToDosDateTime(&local, dosDate, dosTime) != 0;
}

bool SystemDosToFileTime(WORD dosDate, WORD dosTime, FileTime* time) {
  FILETIME local;
  if (!::DosDateTimeToFileTime(dosDate, dosTime, &local)) return false;
  *time = FromSystemTime(local);
  return true;
}

}  // namespace

std::uint32_t TickCount() { return ::GetTickCount(); }

bool UniversalToLocal(FileTime* time) {
  const FILETIME universal = ToSystemTime(*time);
  FILETIME local;
  if (!::FileTimeToLocalFileTime(&universal, &local)) return false;
  *time = FromSystemTime(local);
  return true;
}

bool LocalToUniversal(FileTime* time) {
  const FILETIME local = ToSystemTime(*time);
  FILETIME universal;
  if (!::LocalFileTimeToFileTime(&local, &universal)) return false;
  *time = FromSystemTime(universal);
  return true;
}

bool SelectTimeZone(const std::string& name, std::string* problem) {
  if (name.empty()) return true;
  *problem = "time zone " + name +
             " cannot be chosen here: Windows has no database of IANA "
             "time zones, and the Windows programs convert with this machine's own zone";
  return false;
}

bool FileTimeToDos(FileTime time, std::uint16_t* dosDate, std::uint16_t* dosTime) {
  WORD date = 0;
  WORD clock = 0;
  FileTime back = 0;
  // The DOS value is the time brought down onto the two-second grid.
  if (!SystemFileTimeToDos(time, &date, &clock) || !SystemDosToFileTime(date, clock, &back) ||
      back > time || time - back >= kTwoSeconds) {
    return false;
  }
  *dosDate = date;
  *dosTime = clock;
  return true;
}

bool DosToFileTime(std::uint16_t dosDate, std::uint16_t dosTime, FileTime* time) {
  FileTime converted = 0;
  WORD date = 0;
  WORD clock = 0;
  if (!SystemDosToFileTime(dosDate, dosTime, &converted) ||
      !SystemFileTimeToDos(converted, &date, &clock) || date != dosDate || clock != dosTime) {
    return false;
  }
  *time = converted;
  return true;
}

}  // namespace platform
