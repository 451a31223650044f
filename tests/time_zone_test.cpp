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
