#include <sys/time.h>

#include <cstdlib>
#include <ctime>
#include <fstream>

#include "platform/dos_time_arithmetic.h"
#include "platform/time.h"

namespace platform {
namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;

// The offset of a zone chosen by SelectTimeZone, fixed when it was chosen.
bool zoneSelected = false;
std::int64_t selectedOffset = 0;

// The offset from UTC in force now, in seconds east of Greenwich.
bool CurrentOffset(std::int64_t* seconds) {
  if (zoneSelected) {
    *seconds = selectedOffset;
    return true;
  }
  const std::time_t now = std::time(nullptr);
  struct tm local;
  if (::localtime_r(&now, &local) == nullptr) return false;
  *seconds = local.tm_gmtoff;
  return true;
}

bool Shift(FileTime* time, std::int64_t seconds) {
  const std::int64_t ticks = seconds * kTicksPerSecond;
  if (ticks < 0 && *time < static_cast<FileTime>(-ticks)) return false;
  *time = static_cast<FileTime>(static_cast<std::int64_t>(*time) + ticks);
  return true;
}

// True when `name` is a zone file of the database: a relative name that
// stays inside it, and a file that begins as zone files do. The C library
// takes any other TZ value as a rule or as UTC without a word.
bool IsKnownZone(const std::string& name) {
  if (name.empty() || name[0] == '/' || name.find("..") != std::string::npos) return false;
  const char* database = std::getenv("TZDIR");
  const std::string folder =
      database != nullptr && *database != 0 ? database : "/usr/share/zoneinfo";
  std::ifstream file(folder + "/" + name, std::ios::binary);
  char magic[4] = {};
  return file.read(magic, sizeof magic) && std::string(magic, 4) == "TZif";
}

// The offset of `zone` now, found by making it the process's zone for a
// moment.
bool OffsetOfZone(const std::string& zone, std::int64_t* seconds) {
  const char* system = std::getenv("TZ");
  const std::string saved = system != nullptr ? system : "";
  ::setenv("TZ", (":" + zone).c_str(), 1);
  ::tzset();
  const std::time_t now = std::time(nullptr);
  struct tm local;
  const bool found = ::localtime_r(&now, &local) != nullptr;
  if (found) *seconds = local.tm_gmtoff;
  if (system != nullptr) {
    ::setenv("TZ", saved.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
  return found;
}

}  // namespace

// The coarse clock where there is one: like the tick count of Windows it
// moves in steps of a few milliseconds, and it is read without asking the
// hardware, which matters to the engine's pauses that read it in a loop.
#ifdef CLOCK_MONOTONIC_COARSE
constexpr clockid_t kTickClock = CLOCK_MONOTONIC_COARSE;
#else
constexpr clockid_t kTickClock = CLOCK_MONOTONIC;
#endif

std::uint32_t TickCount() {
  struct timespec now;
  ::clock_gettime(kTickClock, &now);
  const std::uint64_t milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                     static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(milliseconds);
}

bool UniversalToLocal(FileTime* time) {
  std::int64_t offset = 0;
  return CurrentOffset(&offset) && Shift(time, offset);
}

bool LocalToUniversal(FileTime* time) {
  std::int64_t offset = 0;
  return CurrentOffset(&offset) && Shift(time, -offset);
}

bool SelectTimeZone(const std::string& name, std::string* problem) {
  if (name.empty()) {
    zoneSelected = false;
    return true;
  }
  std::int64_t offset = 0;
  if (!IsKnownZone(name) || !OffsetOfZone(name, &offset)) {
    *problem = "time zone " + name +
               " is not in the time-zone database (an IANA name such as "
               "America/New_York)";
    return false;
  }
  zoneSelected = true;
  selectedOffset = offset;
  return true;
}

bool FileTimeToDos(FileTime time, std::uint16_t* dosDate, std::uint16_t* dosTime) {
  return ArithmeticFileTimeToDos(time, dosDate, dosTime);
}

bool DosToFileTime(std::uint16_t dosDate, std::uint16_t dosTime, FileTime* time) {
  return ArithmeticDosToFileTime(dosDate, dosTime, time);
}

}  // namespace platform
