#include "apply/progress.h"

#include "apply/progress_state.h"
#include "package/upgrade_session.h"
#include "platform/user_interface.h"

std::int32_t LastPercent = 0;
int CancelRequested = 0;
int Aborted = 0;

namespace {

constexpr int kCaptionLine = 3;
constexpr int kCancelQuestionLine = 8;
constexpr std::uint32_t kRedrawPauseMs = 100;
constexpr std::uint32_t kPollsPerMillisecond = 500;

}  // namespace

void ResetProgressState() {
  LastPercent = 0;
  CancelRequested = 0;
  Aborted = 0;
}

std::int32_t ProgressPercent(std::uint32_t bytesDone, std::uint32_t totalBytes) {
  // Divides first and never multiplies, so nothing can overflow; both
  // additions of 1 are part of the figures users have always seen.
  const std::uint32_t divisor = totalBytes / 100 + 1;
  const std::uint32_t percent = bytesDone / divisor + 1;
  return percent > 100 ? 100 : static_cast<std::int32_t>(percent);
}

void UpdateProgress(UpgradeSession& session) {
  const std::int32_t percent = ProgressPercent(session.bytesDone, session.totalBytes);
  if (percent == LastPercent) return;
  LastPercent = percent;
  platform::Ui().DrawPercentBar(session.progressDialog, platform::kProgressBar, percent);
  PumpFor(session, kRedrawPauseMs);
}

void PumpFor(UpgradeSession& session, std::uint32_t milliseconds) {
  const std::uint32_t deadline = platform::Ui().TickCount() + milliseconds;
  std::int64_t budget = static_cast<std::int64_t>(milliseconds) * kPollsPerMillisecond;
  for (;;) {
    // A deadline that wrapped past 2^32 is already "not above" the clock.
    if (deadline <= platform::Ui().TickCount()) return;
    --budget;
    if (budget <= 1) return;
    if (PollCancel(session) == 1) return;
  }
}

int PollCancel(UpgradeSession& session) {
  if (Aborted) return 1;
  platform::Ui().PumpMessages(session.progressDialog);
  if (!CancelRequested) return 0;
  const int answer = platform::Ui().ShowMessageBox(
      session.progressDialog, session.GetString(kCancelQuestionLine),
      session.GetString(kCaptionLine),
      platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbTaskModal);
  if (answer != platform::kIdYes) {
    CancelRequested = 0;
    return 0;
  }
  MarkAborted();
  return 1;
}

void MarkAborted() { Aborted = 1; }
