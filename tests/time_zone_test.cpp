// The shift between universal and local time. It is the offset in force at
// the moment of the call, applied to every date alike, whatever offset that
// date had. CTest runs these tests again under fixed TZ settings and tells
// the expected offset in UPG_TEST_UTC_OFFSET_MINUTES (Wine processes honour
// TZ as POSIX ones do).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/program.h"
#include "platform/time.h"

namespace {

constexpr std::int64_t kTicksPerMinute = 60ll * 10000000ll;
// 2021-01-15 12:00:00 and 2021-07-15 12:00:00: one in each half of the
// year, so that a zone with daylight saving has a different offset at one.
constexpr platform::FileTime kWinter = 0x01D6EB35F332E000ull;
constexpr platform::FileTime kSummer = 0x01D77970EFF7A000ull;

// The shift UniversalToLocal applies to `universal`, in ticks; checks on the
// way that LocalToUniversal takes it back exactly.
std::int64_t ShiftAt(platform::FileTime universal) {
  platform::FileTime time = universal;
  EXPECT_TRUE(platform::UniversalToLocal(&time));
  const std::int64_t shift = static_cast<std::int64_t>(time - universal);
  EXPECT_TRUE(platform::LocalToUniversal(&time));
  EXPECT_EQ(time, universal);
  return shift;
}

TEST(TimeZone, EveryDateGetsTheOffsetInForceNow) {
  const std::int64_t winter = ShiftAt(kWinter);
  const std::int64_t summer = ShiftAt(kSummer);
  EXPECT_EQ(winter, summer);
  EXPECT_EQ(winter % (15 * kTicksPerMinute), 0);
  EXPECT_LE(winter, 14 * 60 * kTicksPerMinute);
  EXPECT_GE(winter, -14 * 60 * kTicksPerMinute);
}

TEST(TimeZone, OffsetIsTheConfiguredOne) {
  const char* configured = std::getenv("UPG_TEST_UTC_OFFSET_MINUTES");
  if (configured == nullptr) GTEST_SKIP() << "runs under a TZ set by CTest";
  const std::int64_t minutes = std::strtol(configured, nullptr, 10);
  EXPECT_EQ(ShiftAt(kWinter), minutes * kTicksPerMinute);
}

// A chosen zone converts with the offset it has in force now, for every
// date; only zones of the database are taken, and none on Windows, which
// has none. The empty name goes back to the system's zone.
TEST(TimeZone, AChosenZoneConvertsWithItsOffsetInForceNow) {
  const struct {
    const char* zone;
    bool known;
    // The zone's offsets in minutes: standard and daylight-saving time.
    std::int64_t offsets[2];
  } kCases[] = {
      {"America/New_York", true, {-300, -240}},
      {"Asia/Kolkata", true, {330, 330}},
      {"Mars/Olympus_Mons", false, {}},
      {"../zoneinfo/UTC", false, {}},
      {"/usr/share/zoneinfo/UTC", false, {}},
      {"zone.tab", false, {}},
      {"EST5", false, {}},
  };
  const std::int64_t system = ShiftAt(kWinter);
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.zone);
    std::string problem;
    const bool chosen = platform::SelectTimeZone(c.zone, &problem);
    EXPECT_EQ(chosen, c.known && platform::NativeSeparator() == '/');
    EXPECT_EQ(problem.empty(), chosen);
    const std::int64_t shift = ShiftAt(kWinter);
    EXPECT_EQ(ShiftAt(kSummer), shift);
    if (chosen) {
      EXPECT_TRUE(shift == c.offsets[0] * kTicksPerMinute ||
                  shift == c.offsets[1] * kTicksPerMinute)
          << shift / kTicksPerMinute;
    } else {
      EXPECT_EQ(shift, system);
    }
    ASSERT_TRUE(platform::SelectTimeZone("", &problem));
    EXPECT_EQ(ShiftAt(kWinter), system);
  }
}

}  // namespace
