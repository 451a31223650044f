// The main window of class "UpgApply32": a maximised blue backdrop that runs
// the whole job from the one start command it posts to itself.
#pragma once

#include "platform/win32/windows_api.h"

namespace ui {

// Registers the class, shows the window maximised and painted, and posts
// the start command; the job will take `commandLine` (the text after the
// program's name) and `builtInKey` (the trusted key compiled into the
// program, or empty), both kept until the job has run. False when the
// window cannot be made.
bool OpenMainWindow(HINSTANCE instance, const char* commandLine, const char* builtInKey);

// The job's exit status once it has run; 1 (not applied) before.
int JobStatus();

}  // namespace ui
