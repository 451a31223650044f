#include "apply/progress.h"

#include <gtest/gtest.h>

#include "apply/progress_state.h"
#include "tests/support/scripted_user.h"
#include "tests/support/upgrade_fixture.h"

using namespace package;
using namespace apply;

namespace {

TEST(ProgressPercent, DividesTheTotalFirstAndAddsOneTwice) {
  EXPECT_EQ(ProgressPercent(1, 1000001), 1);
  EXPECT_EQ(ProgressPercent(500000, 1000001), 50);
  EXPECT_EQ(ProgressPercent(1000001, 1000001), 100);
  // A divisor of 3: the bar never gets past 84.
  EXPECT_EQ(ProgressPercent(251, 251), 84);
  // A divisor of 1: from 2 to 52.
  EXPECT_EQ(ProgressPercent(1, 51), 2);
  EXPECT_EQ(ProgressPercent(51, 51), 52);
  EXPECT_EQ(ProgressPercent(0xFFFFFFFFu, 0xFFFFFFFFu), 100);
  EXPECT_EQ(ProgressPercent(5000, 51), 100);
}

class ProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgressState();
    session_ = OpenEmptySession(folder_);
    session_->progressDialog = user_.dialog();
    user_.cancelQuestion = UiText(UiLine::kCancelQuestion);
  }

  TempFolder folder_;
  ScriptedUser user_;
  std::unique_ptr<UpgradeSession> session_;
};

// Counts on both sides of every step of the bar, up and back down, for
// totals with large and small divisors; the same total twice, since a new
// dialog starts again from 0 and must draw at once.
TEST_F(ProgressTest, DrawsExactlyWhenThePercentageChanges) {
  for (std::uint32_t total : {1000001u, 251u, 51u, 12345u, 12345u, 0xFFFFFFFFu}) {
    ResetProgressState();
    user_.draws.clear();
    session_->totalBytes = total;
    const std::uint64_t divisor = total / 100 + 1;
    std::vector<std::uint64_t> counts;
    for (std::uint64_t step = 0; step <= 101; ++step) {
      for (std::uint64_t count : {step * divisor - 1, step * divisor, step * divisor + 1}) {
        if (count <= 0xFFFFFFFFu) counts.push_back(count);
      }
    }
    counts.insert(counts.end(), counts.rbegin(), counts.rend());
    // The count at which each draw came, and the percentage drawn.
    std::vector<std::pair<std::uint64_t, int>> expected;
    std::vector<std::pair<std::uint64_t, int>> drawn;
    int last = 0;
    for (std::uint64_t count : counts) {
      session_->bytesDone = static_cast<std::uint32_t>(count);
      const std::size_t drawsBefore = user_.draws.size();
      UpdateProgress(*session_);
      if (user_.draws.size() != drawsBefore) drawn.emplace_back(count, user_.draws.back());
      const int percent = ProgressPercent(session_->bytesDone, total);
      if (percent != last) expected.emplace_back(count, percent);
      last = percent;
    }
    EXPECT_EQ(drawn, expected) << "total " << total;
    EXPECT_EQ(LastPercent, last);
  }
}

// How many polls a pause of 100 ms makes: at most the budget when the clock
// stands, none when the deadline wraps, and up to a confirmed cancel, which
// ends every later poll as well.
TEST(Progress, APauseEndsAtItsBudgetItsDeadlineOrACancel) {
  const struct {
    const char* label;
    std::uint32_t clock;
    std::uint32_t clockStep;
    int cancelAtPump;
    int pumps;
  } cases[] = {
      {"the budget, the clock standing", 1000, 0, 0, 49998},
      {"a wrapping deadline", 0xFFFFFFF0u, 0, 0, 0},
      {"a confirmed cancel", 1000, 0, 3, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ResetProgressState();
    TempFolder folder;
    ScriptedUser user;
    auto session = OpenEmptySession(folder);
    session->progressDialog = user.dialog();
    user.cancelQuestion = UiText(UiLine::kCancelQuestion);
    user.clock = c.clock;
    user.clockStep = c.clockStep;
    user.cancelAtPump = c.cancelAtPump;
    PumpFor(*session, 100);
    EXPECT_EQ(user.pumps, c.pumps);
    EXPECT_EQ(Aborted, c.cancelAtPump != 0 ? 1 : 0);
    if (c.cancelAtPump == 0) continue;
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].text, UiText(UiLine::kCancelQuestion));
    EXPECT_EQ(user.boxes[0].caption, UiText(UiLine::kCaption));
    EXPECT_EQ(user.boxes[0].owner, user.dialog());
    EXPECT_EQ(user.boxes[0].style,
              platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbTaskModal);
    // Aborted answers without touching the queue.
    EXPECT_EQ(PollCancel(*session), 1);
    EXPECT_EQ(user.pumps, c.pumps);
  }
}

TEST_F(ProgressTest, ARedrawPumpsUntilTheDeadline) {
  session_->totalBytes = 101;
  user_.clockStep = 10;
  UpdateProgress(*session_);
  EXPECT_EQ(user_.pumps, 9);
}

TEST_F(ProgressTest, ARefusedCancelIsClearedAndCanBeAskedAgain) {
  user_.cancelAnswer = platform::kIdNo;
  user_.cancelAtPump = 1;
  EXPECT_EQ(PollCancel(*session_), 0);
  EXPECT_EQ(CancelRequested, 0);
  EXPECT_EQ(PollCancel(*session_), 0);
  EXPECT_EQ(user_.boxes.size(), 1u);
  user_.cancelAnswer = platform::kIdYes;
  user_.cancelAtPump = 3;
  EXPECT_EQ(PollCancel(*session_), 1);
  EXPECT_EQ(user_.boxes.size(), 2u);
  EXPECT_EQ(CancelRequested, 1);
}

TEST_F(ProgressTest, MarkAbortedEndsTheRunFromWithin) {
  MarkAborted();
  EXPECT_EQ(PollCancel(*session_), 1);
  EXPECT_EQ(user_.pumps, 0);
}

}  // namespace
