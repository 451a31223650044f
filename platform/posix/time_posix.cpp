#include <sys/time.h>

#include <ctime>

#include "platform/dos_time_arithmetic.h"
#include "platform/time.h"

namespace platform {
namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;

// The offset from UTC in force now, in seconds east of Greenwich.
bool CurrentOffset(std::int64_t* seconds) {
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

bool FileTimeToDos(FileTime time, std::uint16_t* dosDate, std::uint16_t* dosTime) {
  return ArithmeticFileTimeToDos(time, dosDate, dosTime);
}

bool DosToFileTime(std::uint16_t dosDate, std::uint16_t dosTime, FileTime* time) {
  return ArithmeticDosToFileTime(dosDate, dosTime, time);
}

}  // namespace platform
