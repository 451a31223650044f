#include "ui/win32/main_window.h"

#include "platform/program.h"
#include "resources/resource_ids.h"
#include "streams/file_utilities.h"
#include "ui/backdrop.h"
#include "ui/closing_message.h"
#include "ui/job.h"
#include "ui/win32/backdrop_paint.h"
#include "ui/win32/dialog_helpers.h"
#include "ui/win32/exported_procedures.h"
#include "ui/win32/list_box_search_host.h"
#include "ui/win32/win32_front_end.h"

namespace ui {

namespace {

constexpr char kClassName[] = "UpgApply32";

const char* jobCommandLine = "";
const char* jobBuiltInKey = "";
int jobStatus = kExitNotApplied;
bool jobStarted = false;

void RunTheJob(HWND window) {
  // The program runs one job: a second command, from wherever, is ignored.
  if (jobStarted) return;
  jobStarted = true;
  char programPath[streams::kMaxPath];
  if (!platform::ProgramPath(programPath, sizeof programPath)) programPath[0] = 0;
  {
    Win32FrontEnd frontEnd(window);
    ListBoxSearchHost search(AppInstance, window);
    jobStatus = RunJob(frontEnd, search, jobCommandLine, programPath, jobBuiltInKey);
  }
  // The quit carries the outcome out of the message loop as the exit code.
  ::PostQuitMessage(jobStatus);
}

LRESULT Paint(HWND window) {
  PAINTSTRUCT request;
  const HDC dc = ::BeginPaint(window, &request);
  PaintBackground(dc, request);
  ::EndPaint(window, &request);
  return 0;
}

}  // namespace

bool OpenMainWindow(HINSTANCE instance, const char* commandLine, const char* builtInKey) {
  jobCommandLine = commandLine;
  jobBuiltInKey = builtInKey;
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WndProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_UPGAPPLY));
  windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = ::CreateSolidBrush(RGB(0, 0, 255));
  windowClass.lpszClassName = kClassName;
  if (::RegisterClassA(&windowClass) == 0) return false;
  const HWND window = ::CreateWindowExA(0, kClassName, kProgramTitle, WS_OVERLAPPEDWINDOW,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                        nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return false;
  ::ShowWindow(window, SW_SHOWMAXIMIZED);
  ::UpdateWindow(window);
  ::PostMessageA(window, WM_COMMAND, IDM_START_JOB, 0);
  return true;
}

int JobStatus() { return jobStatus; }

extern "C" LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      RunTheJob(window);
      return 0;
    case WM_PAINT:
      return Paint(window);
    case WM_DESTROY:
      ::PostQuitMessage(jobStatus);
      return 0;
    default:
      return ::DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace ui
