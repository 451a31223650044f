// The platform's time conversions. Between (local) file times and DOS
// dates and times: checked against fixed vectors and against the calendar
// arithmetic that stands in for them where the system has none. In the
// Windows build the platform's conversions are the system's own, so this
// also holds the arithmetic to what Windows does.
//
// The shift between universal and local time: the offset in force at the
// moment of the call, applied to every date alike, whatever offset that
// date had. CTest runs the TimeZone tests again under fixed TZ settings and
// tells the expected offset in UPG_TEST_UTC_OFFSET_MINUTES (Wine processes
// honour TZ as POSIX ones do).
#include "platform/time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/dos_time_arithmetic.h"
#include "platform/program.h"

namespace {

struct ToDosCase {
  const char* what;
  platform::FileTime time;
  bool converts;
  std::uint16_t dosDate, dosTime;
};

// File times counted from 1601-01-01 00:00:00; DOS fields worked out by hand
// from the bit layout (year - 1980 << 9 | month << 5 | day, hour << 11 |
// minute << 5 | second / 2).
const ToDosCase kToDos[] = {
    {"1980-01-01 00:00:00, the first DOS time", 0x01A8E79FE1D58000ull, true, 0x0021, 0x0000},
    {"1980-01-01 00:00:00.9999999 rounds down", 0x01A8E79FE1D58000ull + 9999999, true, 0x0021,
     0x0000},
    {"1979-12-31 23:59:59 is before the range", 0x01A8E79FE13CE980ull, false, 0, 0},
    {"2000-02-29 12:34:56, leap day of a century year", 0x01BF82B162519800ull, true, 0x285D,
     0x645C},
    {"1996-02-29 23:59:59, leap day, odd second", 0x01BB07020818E980ull, true, 0x205D, 0xBF7D},
    {"2100-03-01 00:00:00, 2100 has no leap day", 0x022F9FC03DC34000ull, true, 0xF061, 0x0000},
    {"2107-12-31 23:59:58, the last DOS time", 0x023868B866D29300ull, true, 0xFF9F, 0xBF7D},
    {"2107-12-31 23:59:59 rounds down to it", 0x023868B8676B2980ull, true, 0xFF9F, 0xBF7D},
    {"2108-01-01 00:00:00 is after the range", 0x023868B86803C000ull, false, 0, 0},
};

// To DOS, by the system and by the arithmetic: the file time brought down
// onto the two-second grid.
TEST(DosTime, ToDosMatchesTheVectors) {
  for (const ToDosCase& row : kToDos) {
    SCOPED_TRACE(row.what);
    std::uint16_t date[2] = {0xAAAA, 0xAAAA}, time[2] = {0xAAAA, 0xAAAA};
    ASSERT_EQ(platform::FileTimeToDos(row.time, &date[0], &time[0]), row.converts);
    ASSERT_EQ(platform::ArithmeticFileTimeToDos(row.time, &date[1], &time[1]), row.converts);
    if (!row.converts) continue;
    // Date and time in one number, the date above.
    for (int i = 0; i < 2; ++i)
      EXPECT_EQ(date[i] << 16 | time[i], row.dosDate << 16 | row.dosTime) << i;
  }
}

TEST(DosTime, FieldsOutOfRangeFail) {
  const struct {
    const char* what;
    std::uint16_t dosDate, dosTime;
  } kBadDos[] = {{"month 0", (5 << 9) | (0 << 5) | 1, 0},
                 {"month 13", (5 << 9) | (13 << 5) | 1, 0},
                 {"day 0", (5 << 9) | (1 << 5) | 0, 0},
                 {"April 31", (5 << 9) | (4 << 5) | 31, 0},
                 {"hour 24", (5 << 9) | (1 << 5) | 1, 24 << 11},
                 {"minute 60", (5 << 9) | (1 << 5) | 1, 60 << 5},
                 {"second 60", (5 << 9) | (1 << 5) | 1, 30},
                 {"February 29 of 1997", (17 << 9) | (2 << 5) | 29, 0},
                 {"February 29 of 2100, no leap year", (120 << 9) | (2 << 5) | 29, 0}};
  for (const auto& row : kBadDos) {
    SCOPED_TRACE(row.what);
    platform::FileTime time = 0;
    EXPECT_FALSE(platform::DosToFileTime(row.dosDate, row.dosTime, &time));
    EXPECT_FALSE(platform::ArithmeticDosToFileTime(row.dosDate, row.dosTime, &time));
  }
}

// Every day of the DOS range at a few times of day: both conversions agree
// both ways and each DOS value comes back unchanged.
TEST(DosTime, WholeRangeRoundTripsAndAgrees) {
  const platform::FileTime kDay = 86400ull * 10000000ull,
                           dayTimes[] = {0, 1 * 10000000ull, 43199 * 10000000ull,
                                         86399 * 10000000ull};
  int days = 0;
  for (platform::FileTime day = kToDos[0].time; day < 0x023868B86803C000ull; day += kDay, ++days) {
    for (platform::FileTime offset : dayTimes) {
      std::uint16_t date = 0, time = 0, arithmeticDate = 0, arithmeticTime = 0;
      ASSERT_TRUE(platform::FileTimeToDos(day + offset, &date, &time)) << day + offset;
      ASSERT_TRUE(
          platform::ArithmeticFileTimeToDos(day + offset, &arithmeticDate, &arithmeticTime));
      ASSERT_EQ(date << 16 | time, arithmeticDate << 16 | arithmeticTime) << day + offset;
      platform::FileTime back = 0, arithmeticBack = 0;
      ASSERT_TRUE(platform::DosToFileTime(date, time, &back));
      ASSERT_TRUE(platform::ArithmeticDosToFileTime(date, time, &arithmeticBack));
      ASSERT_EQ(back, day + offset - offset % 20000000u) << day + offset;
      ASSERT_EQ(arithmeticBack, back) << day + offset;
    }
  }
  EXPECT_EQ(days, 46751);  // 1980-01-01 to 2107-12-31
}

constexpr std::int64_t kTicksPerMinute = 60ll * 10000000ll;
// 2021-01-15 12:00:00 and 2021-07-15 12:00:00: one in each half of the
// year, so that a zone with daylight saving has a different offset at one.
constexpr platform::FileTime kWinter = 0x01D6EB35F332E000ull, kSummer = 0x01D77970EFF7A000ull;

// The shift UniversalToLocal applies in winter, in minutes, after checking
// that summer gets the same and that LocalToUniversal takes it back exactly.
std::int64_t Shift() {
  std::int64_t shifts[2];
  for (const platform::FileTime universal : {kWinter, kSummer}) {
    platform::FileTime time = universal;
    EXPECT_TRUE(platform::UniversalToLocal(&time));
    shifts[universal == kSummer] = static_cast<std::int64_t>(time - universal);
    EXPECT_TRUE(platform::LocalToUniversal(&time) && time == universal);
  }
  EXPECT_EQ(shifts[0], shifts[1]);
  EXPECT_EQ(shifts[0] % (15 * kTicksPerMinute), 0);
  return shifts[0] / kTicksPerMinute;
}

// The system's zone, and a chosen one, convert with the offset in force
// now, for every date; only zones of the database are taken, and none on
// Windows, which has none. The empty name goes back to the system's zone.
TEST(TimeZone, EveryDateGetsTheOffsetInForceNow) {
  // Each zone's standard and daylight-saving offsets in minutes; none: refused.
  const struct {
    const char* zone;
    std::int64_t offsets[2];
  } kCases[] = {{"America/New_York", {-300, -240}},
                {"Asia/Kolkata", {330, 330}},
                {"../zoneinfo/UTC", {}},
                {"/usr/share/zoneinfo/UTC", {}},
                {"zone.tab", {}},
                {"EST5", {}}};
  const std::int64_t system = Shift();
  EXPECT_LE(system < 0 ? -system : system, 14 * 60);
  const char* configured = std::getenv("UPG_TEST_UTC_OFFSET_MINUTES");
  if (configured != nullptr) {
    EXPECT_EQ(system, std::strtol(configured, nullptr, 10));
  }
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.zone);
    std::string problem;
    const bool chosen = platform::SelectTimeZone(c.zone, &problem);
    EXPECT_EQ(chosen, c.offsets[0] != 0 && platform::NativeSeparator() == '/');
    EXPECT_EQ(problem.empty(), chosen);
    const std::int64_t shift = Shift();
    EXPECT_TRUE(chosen ? shift == c.offsets[0] || shift == c.offsets[1] : shift == system) << shift;
    ASSERT_TRUE(platform::SelectTimeZone("", &problem));
    EXPECT_EQ(Shift(), system);
  }
}

}  // namespace
