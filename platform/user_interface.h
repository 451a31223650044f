// What the apply engine asks of the user interface: the progress dialog, its
// owner window, message boxes and the message pump.
//
// The core calls Ui(), which returns the installed implementation. Two
// front-ends implement it: the Win32 one (the "UPGPROGRESS" dialog and real
// message boxes) and the console one in ui/console/ (a status line and
// questions on standard input). A test installs a scripted user. With
// nothing installed, a NullUserInterface (null_user_interface.h) answers
// every question No and shows nothing, so an unattended run never goes on
// by itself.
//
// Implementations keep these rules:
// - The engine resets its progress values (apply/progress_state.h) as soon
//   as CreateProgressDialog returns; a dialog needs not do it itself.
// - A command in the dialog (its Cancel button, Escape, the close box, or
//   Ctrl-C on a console) only sets CancelRequested, and only while
//   PumpMessages runs or a message box waits for its answer; the dialog does
//   not close by itself.
// - Message box styles and answers carry the values Windows gives them.
#pragma once

#include <cstdint>

#include "platform/handles.h"

namespace platform {

// Controls of the progress dialog.
constexpr int kProgressFileName = 101;
constexpr int kProgressDescription = 102;
constexpr int kProgressStatus = 103;
constexpr int kProgressBar = 105;
constexpr int kProgressCancelButton = 2;

// Message box styles.
constexpr unsigned kMbOk = 0x0000;
constexpr unsigned kMbYesNo = 0x0004;
constexpr unsigned kMbIconQuestion = 0x0020;
constexpr unsigned kMbIconInformation = 0x0040;
constexpr unsigned kMbTaskModal = 0x2000;
constexpr unsigned kMbButtonMask = 0x000F;

// Message box answers.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // Creates the progress dialog owned by `owner` (which may be null), shows
  // and paints it. Null when it cannot be created.
  virtual WindowHandle CreateProgressDialog(ModuleInstance instance, WindowHandle owner) = 0;
  virtual void DestroyProgressDialog(WindowHandle dialog) = 0;
  virtual void SetWindowTitle(WindowHandle window, const char* text) = 0;
  virtual void SetControlText(WindowHandle dialog, int control, const char* text) = 0;
  // Paints whatever of the window is out of date, at once.
  virtual void UpdateWindow(WindowHandle window) = 0;
  virtual void EnableWindow(WindowHandle window, bool enable) = 0;
  // A modal box; returns kIdYes, kIdNo or kIdOk.
  virtual int ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                             unsigned style) = 0;
  // Handles every message waiting for the thread's windows, passing the
  // dialog's keyboard messages to `dialog`, and returns when none is left.
  virtual void PumpMessages(WindowHandle dialog) = 0;
  // Draws the percentage bar (0 to 100) into `control` of `dialog`.
  virtual void DrawPercentBar(WindowHandle dialog, int control, int percent) = 0;
  // Milliseconds since some start, wrapping at 2^32: the clock that the
  // engine's pauses are measured with.
  virtual std::uint32_t TickCount() = 0;
};

// The user interface the core uses now. Inline: the engine asks for it
// twice in every poll of its pauses, tens of thousands of times a second.
extern UserInterface* currentUserInterface;
inline UserInterface& Ui() { return *currentUserInterface; }
// Installs `replacement` for every later call of Ui(); nullptr restores the
// silent one. The caller keeps ownership.
void InstallUserInterface(UserInterface* replacement);

}  // namespace platform
