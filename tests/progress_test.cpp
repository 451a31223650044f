// The progress bar's percentage and when it is drawn, and the pauses that poll for a cancel: how
// long they poll, what the user is asked, and what a confirmed or refused cancel leaves.
#include "apply/progress.h"

#include <gtest/gtest.h>

#include "apply/progress_state.h"
#include "tests/support/scripted_user.h"
#include "tests/support/upgrade_fixture.h"

namespace {

TEST(ProgressPercent, DividesTheTotalFirstAndAddsOneTwice) {
  // A divisor of 3 never gets past 84; a divisor of 1 goes from 2 to 52.
  const std::uint32_t cases[][3] = {
      {500000, 1000001, 50}, {251, 251, 84},  {1, 51, 2},
      {51, 51, 52},          {5000, 51, 100}, {0xFFFFFFFFu, 0xFFFFFFFFu, 100}};
  for (const auto& c : cases) EXPECT_EQ(ProgressPercent(c[0], c[1]), int(c[2])) << c[0] << c[1];
}

// Counts on both sides of every step of the bar, up and back down, for totals with large and
// small divisors; the same total twice, since a new dialog starts again from 0 and must draw at
// once.
TEST(Progress, DrawsExactlyWhenThePercentageChanges) {
  PollingSession p;
  for (std::uint32_t total : {1000001u, 251u, 51u, 12345u, 12345u, 0xFFFFFFFFu}) {
    ResetProgressState();
    p.session->totalBytes = total;
    const std::uint64_t divisor = total / 100 + 1;
    std::vector<std::uint64_t> counts;
    for (std::uint64_t step = 0; step <= 101; ++step) {
      for (std::uint64_t count : {step * divisor - 1, step * divisor, step * divisor + 1}) {
        if (count <= 0xFFFFFFFFu) counts.push_back(count);
      }
    }
    counts.insert(counts.end(), counts.rbegin(), counts.rend());
    // The count at which each draw came, and the percentage drawn.
    std::vector<std::pair<std::uint64_t, int>> expected, drawn;
    int last = 0;
    for (std::uint64_t count : counts) {
      p.session->bytesDone = static_cast<std::uint32_t>(count);
      const std::size_t drawsBefore = p.user.draws.size();
      UpdateProgress(*p.session);
      if (p.user.draws.size() != drawsBefore) drawn.emplace_back(count, p.user.draws.back());
      const int percent = ProgressPercent(p.session->bytesDone, total);
      if (percent != last) expected.emplace_back(count, percent);
      last = percent;
    }
    EXPECT_EQ(drawn, expected) << "total " << total;
    EXPECT_EQ(LastPercent, last);
  }
  // A redraw pumps until its deadline: 100 ms on a clock that moves 10 ms a reading.
  ResetProgressState();
  p.user.pumps = 0;
  p.user.clockStep = 10;
  p.session->totalBytes = 101;
  p.session->bytesDone = 0;
  UpdateProgress(*p.session);
  EXPECT_EQ(p.user.pumps, 9);
}

// How many polls a pause of 100 ms makes: at most the budget when the clock stands, none when the
// deadline wraps or the run was aborted from within, and up to a confirmed cancel, which ends
// every later poll as well. A refused cancel is cleared and can be asked again.
TEST(Progress, APauseEndsAtItsBudgetItsDeadlineOrACancel) {
  const struct {
    const char* label;
    std::uint32_t clock;
    int cancelAtPump;
    int cancelAnswer;
    bool markedAborted;
    int pumps;
  } cases[] = {
      {"the budget, the clock standing", 1000, 0, platform::kIdYes, false, 49998},
      {"a wrapping deadline", 0xFFFFFFF0u, 0, platform::kIdYes, false, 0},
      {"a confirmed cancel", 1000, 3, platform::kIdYes, false, 3},
      {"a refused cancel", 1000, 3, platform::kIdNo, false, 49998},
      {"aborted from within", 1000, 0, platform::kIdYes, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    PollingSession p;
    p.user.clock = c.clock;
    p.user.clockStep = 0;
    p.user.cancelAtPump = c.cancelAtPump;
    p.user.cancelAnswer = c.cancelAnswer;
    if (c.markedAborted) MarkAborted();
    PumpFor(*p.session, 100);
    EXPECT_EQ(p.user.pumps, c.pumps);
    const int confirmed = c.cancelAtPump != 0 && c.cancelAnswer == platform::kIdYes ? 1 : 0;
    const int aborted = Aborted;
    EXPECT_EQ(aborted, confirmed == 1 || c.markedAborted ? 1 : 0);
    EXPECT_EQ(CancelRequested, confirmed);
    const std::vector<RecordedBox> asked = {
        {UiText(UiLine::kCancelQuestion), UiText(UiLine::kCaption), 0x2024u, p.user.dialog()}};
    EXPECT_EQ(p.user.boxes, c.cancelAtPump != 0 ? asked : std::vector<RecordedBox>());
    // Aborted answers without touching the queue; otherwise a second press asks again.
    p.user.cancelAnswer = platform::kIdYes;
    p.user.cancelAtPump = p.user.pumps + 1;
    EXPECT_EQ(PollCancel(*p.session), 1);
    EXPECT_EQ(p.user.pumps, aborted != 0 ? c.pumps : c.pumps + 1);
  }
}

}  // namespace
