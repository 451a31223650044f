// Keeps the progress dialog alive while the engine works on the program's
// only thread: the bar follows the byte count, and a cancel request is
// settled with a confirmation at the next poll.
#pragma once

#include <cstdint>

namespace package {
class UpgradeSession;
}  // namespace package

namespace apply {

// Shows the percentage of bytesDone in totalBytes, drawing and pumping only
// when the whole number changed.
void UpdateProgress(package::UpgradeSession& session);
// 1 when the run is aborted (now or earlier), 0 to go on. Drains the
// message queue and asks UiStrings line 8 when a cancel was requested.
int PollCancel(package::UpgradeSession& session);
// Keeps polling for up to `milliseconds`, ending early on an abort.
void PumpFor(package::UpgradeSession& session, std::uint32_t milliseconds);
// Ends the run from within: every later PollCancel returns 1.
void MarkAborted();

// The percentage UpdateProgress shows for these counts: never more than
// 100, never an intermediate value above 32 bits.
std::int32_t ProgressPercent(std::uint32_t bytesDone, std::uint32_t totalBytes);

}  // namespace apply
