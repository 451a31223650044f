#include "apply/progress.h"

#include "apply/progress_state.h"
#include "package/ui_strings.h"
#include "package/upgrade_session.h"
#include "platform/user_interface.h"

namespace apply {

std::int32_t LastPercent = 0;
int CancelRequested = 0;
int Aborted = 0;

namespace {

constexpr std::uint32_t kRedrawPauseMs = 100;
constexpr std::uint32_t kPollsPerMillisecond = 500;

// The counts of bytes done that show `percent` for `total`, remembered so
// that the call after nearly every piece, which changes nothing, costs a few
// comparisons instead of two divisions.
struct ShownRange {
  std::uint32_t total = 0;
  std::int32_t percent = -1;
  std::uint32_t from = 0;
  std::uint64_t below = 0;
};
ShownRange shown;

void RememberRange(std::uint32_t total, std::int32_t percent) {
  const std::uint64_t divisor = total / 100 + 1;
  shown.total = total;
  shown.percent = percent;
  shown.from = static_cast<std::uint32_t>(divisor * static_cast<std::uint32_t>(percent - 1));
  // From 100 on every count shows 100.
  shown.below =
      percent >= 100 ? std::uint64_t{1} << 32 : divisor * static_cast<std::uint32_t>(percent);
}

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

void UpdateProgress(package::UpgradeSession& session) {
  if (LastPercent == shown.percent && session.totalBytes == shown.total &&
      session.bytesDone >= shown.from && session.bytesDone < shown.below) {
    return;
  }
  const std::int32_t percent = ProgressPercent(session.bytesDone, session.totalBytes);
  if (percent == LastPercent) {
    RememberRange(session.totalBytes, percent);
    return;
  }
  LastPercent = percent;
  platform::Ui().DrawPercentBar(session.progressDialog, platform::kProgressBar, percent);
  PumpFor(session, kRedrawPauseMs);
}

void PumpFor(package::UpgradeSession& session, std::uint32_t milliseconds) {
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

int PollCancel(package::UpgradeSession& session) {
  if (Aborted) return 1;
  platform::Ui().PumpMessages(session.progressDialog);
  if (!CancelRequested) return 0;
  const int answer = platform::Ui().ShowMessageBox(
      session.progressDialog, session.GetString(package::UiLine::kCancelQuestion),
      session.GetString(package::UiLine::kCaption),
      platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbTaskModal);
  if (answer != platform::kIdYes) {
    CancelRequested = 0;
    return 0;
  }
  MarkAborted();
  return 1;
}

void MarkAborted() { Aborted = 1; }

}  // namespace apply
