// The platform's conversions between (local) file times and DOS dates and
// times, checked against fixed vectors and against the calendar arithmetic
// that stands in for them where the system has none. In the Windows build
// the platform's conversions are the system's own, so this also holds the
// arithmetic to what Windows does.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/dos_time_arithmetic.h"
#include "platform/time.h"

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

}  // namespace
