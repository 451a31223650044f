// The three values that the engine shares with the progress dialog for the
// whole process. One thread reads and writes them: the dialog's side only
// while the engine pumps messages or waits for a message box.
#pragma once

#include <cstdint>

namespace apply {

// The percentage last drawn; a repaint of the dialog draws the bar with it.
extern std::int32_t LastPercent;
// The user has asked to cancel and not yet answered the confirmation.
extern int CancelRequested;
// The run is to end; stays set until the next progress dialog is created.
extern int Aborted;

// All three back to 0, as every new progress dialog starts.
void ResetProgressState();

}  // namespace apply
